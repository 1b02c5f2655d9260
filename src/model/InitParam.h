#pragma once
// The user's preferences, InitParams: four settings of the settings store
// (model/Config.h), read when the object is made.
#include "model/Variant.h"

class Config;
class IMessagePresenter;

class clsInitParam {
public:
    // Reads the preferences at once (ReadParam).
    clsInitParam(Config& config, IMessagePresenter& presenter);

    // A preference set is this run's; WriteParam saves the four.
    Integer ConfirmDelete() const;  // 1: ask before deleting IF, WHILE and LOOP commands
    void setConfirmDelete(Integer value);
    Integer ConfirmDownload() const;  // 1: ask that the RCX be on and in range before a download
    void setConfirmDownload(Integer value);
    QString TransmitPower() const;  // "Short" or "Long", set after a firmware download
    void setTransmitPower(const QString& value);
    Long TimeToShutDown() const;  // minutes before the brick switches off, 0 never
    void setTimeToShutDown(Long value);

    // Takes the stored preferences again in turn; the first whose stored text
    // can't be read ends it with a message (that preference reads as its
    // default, model/Config.h).
    void ReadParam();
    void WriteParam();

private:
    Config& mConfig;
    IMessagePresenter& mPresenter;
};
