#include "model/InitParam.h"

#include "model/Config.h"
#include "model/Services.h"
#include "model/VbError.h"

clsInitParam::clsInitParam(Config& config, IMessagePresenter& presenter) : mConfig(config), mPresenter(presenter)
{
    ReadParam();
}

Integer clsInitParam::ConfirmDelete() const { return mConfig.Value(Setting::ConfirmDelete); }
void clsInitParam::setConfirmDelete(Integer value) { mConfig.SetForRun(Setting::ConfirmDelete, value); }
Integer clsInitParam::ConfirmDownload() const { return mConfig.Value(Setting::ConfirmDownload); }
void clsInitParam::setConfirmDownload(Integer value) { mConfig.SetForRun(Setting::ConfirmDownload, value); }
QString clsInitParam::TransmitPower() const { return mConfig.Value(Setting::TransmitPower); }
void clsInitParam::setTransmitPower(const QString& value) { mConfig.SetForRun(Setting::TransmitPower, value); }
Long clsInitParam::TimeToShutDown() const { return mConfig.Value(Setting::ShutDownTime); }
void clsInitParam::setTimeToShutDown(Long value) { mConfig.SetForRun(Setting::ShutDownTime, value); }

void clsInitParam::ReadParam()
{
    try {
        mConfig.Reload(Setting::ShutDownTime);
        mConfig.Reload(Setting::TransmitPower);
        mConfig.Reload(Setting::ConfirmDownload);
        mConfig.Reload(Setting::ConfirmDelete);
    } catch (const VbError& e) {
        mPresenter.MsgBox(e.description() + QStringLiteral("  #") + QString::number(e.number()) +
                              QStringLiteral("\r\nTrying to read Quillomat init parameters."),
                          MsgStyle::Critical);
    }
}

void clsInitParam::WriteParam()
{
    try {
        mConfig.Save(Setting::ShutDownTime);
        mConfig.Save(Setting::TransmitPower);
        mConfig.Save(Setting::ConfirmDownload);
        mConfig.Save(Setting::ConfirmDelete);
    } catch (const VbError& e) {
        mPresenter.MsgBox(e.description() + QStringLiteral("\r\nTrying to write init parameters."),
                          MsgStyle::Critical);
    }
}
