#pragma once
// The user's preferences, read from the settings store when created.
#include "model/Variant.h"

class ISettingsStore;
class IMessagePresenter;

class clsInitParam {
public:
    // Reads the preferences at once (ReadParam).
    clsInitParam(ISettingsStore& store, IMessagePresenter& presenter);

    Integer ConfirmDelete = 0;
    Integer ConfirmDownload = 0;
    QString TransmitPower;
    Long TimeToShutDown = 0;

    void ReadParam();
    void WriteParam();

private:
    ISettingsStore& mStore;
    IMessagePresenter& mPresenter;
};
