#include "model/InitParam.h"

#include "model/Services.h"
#include "model/SettingsKeys.h"
#include "model/VbError.h"

clsInitParam::clsInitParam(ISettingsStore& store, IMessagePresenter& presenter)
    : mStore(store), mPresenter(presenter)
{
    ReadParam();
}

void clsInitParam::ReadParam()
{
    try {
        TimeToShutDown = SettingsKeys::ReadShutDownTime(mStore);
        TransmitPower = SettingsKeys::ReadTransmitPower(mStore);
        ConfirmDownload = SettingsKeys::ReadConfirmDownload(mStore);
        ConfirmDelete = SettingsKeys::ReadConfirmDelete(mStore);
    } catch (const VbError& e) {
        mPresenter.MsgBox(e.description() + QStringLiteral("  #") + QString::number(e.number()) +
                              QStringLiteral("\r\nTrying to read Quillomat init parameters."),
                          MsgStyle::Critical);
    }
}

void clsInitParam::WriteParam()
{
    try {
        SettingsKeys::SaveShutDownTime(mStore, TimeToShutDown);
        SettingsKeys::SaveTransmitPower(mStore, TransmitPower);
        SettingsKeys::SaveConfirmDownload(mStore, ConfirmDownload);
        SettingsKeys::SaveConfirmDelete(mStore, ConfirmDelete);
    } catch (const VbError& e) {
        mPresenter.MsgBox(e.description() + QStringLiteral("\r\nTrying to write init parameters."),
                          MsgStyle::Critical);
    }
}
