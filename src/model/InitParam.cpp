#include "model/InitParam.h"

#include "model/Services.h"
#include "model/VbError.h"

namespace {
const QString kSection = QStringLiteral("Preferences");
}

clsInitParam::clsInitParam(ISettingsStore& store, IMessagePresenter& presenter)
    : mStore(store), mPresenter(presenter)
{
    ReadParam();
}

void clsInitParam::ReadParam()
{
    try {
        TimeToShutDown = vb::CLng(mStore.GetSetting(kSection, QStringLiteral("ShutDownTime"), QStringLiteral("30")));
        TransmitPower = mStore.GetSetting(kSection, QStringLiteral("TransmitPower"), QStringLiteral("short"));
        ConfirmDownload = vb::CInt(mStore.GetSetting(kSection, QStringLiteral("ConfirmDownload"), QStringLiteral("1")));
        ConfirmDelete = vb::CInt(mStore.GetSetting(kSection, QStringLiteral("ConfirmDelete"), QStringLiteral("1")));
    } catch (const VbError& e) {
        mPresenter.MsgBox(e.description() + QStringLiteral("  #") + QString::number(e.number()) +
                              QStringLiteral("\r\nTrying to read Quillomat init parameters."),
                          MsgStyle::Critical);
    }
}

void clsInitParam::WriteParam()
{
    try {
        mStore.SaveSetting(kSection, QStringLiteral("ShutDownTime"), QString::number(TimeToShutDown));
        mStore.SaveSetting(kSection, QStringLiteral("TransmitPower"), TransmitPower);
        mStore.SaveSetting(kSection, QStringLiteral("ConfirmDownload"), QString::number(ConfirmDownload));
        mStore.SaveSetting(kSection, QStringLiteral("ConfirmDelete"), QString::number(ConfirmDelete));
    } catch (const VbError& e) {
        mPresenter.MsgBox(e.description() + QStringLiteral("\r\nTrying to write init parameters."),
                          MsgStyle::Critical);
    }
}
