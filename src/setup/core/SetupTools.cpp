#include "setup/core/SetupService.h"
#include "setup/core/SetupShared.h"

#include "compiler/ModuleCompile.h"
#include "model/AppState.h"
#include "model/Config.h"
#include "model/FirmwareImage.h"
#include "model/Messages.h"
#include "model/Notifier.h"
#include "model/VbError.h"

#include <QDir>

#include <algorithm>
#include <functional>

using namespace setupcore;

namespace {

// Runs a brick tool once the tower is found; a failure on the way is shown
// in the brick tools' words.
void RunBrickTool(const std::function<void()>& tool)
{
    try {
        if (InitRCX(App()))
            tool();
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}

}  // namespace

// ------------------------------------------------------------------ brick tools

bool BrickTools::ChooseFirmwareFile()
{
    Config& config = *App().Config;
    const QString path = config.Value(Setting::FirmwarePath);
    const QString file = config.Value(Setting::FirmwareName);
    if (!Chooser)
        return false;
    const FirmwareChoice choice =
        Chooser(path.isEmpty() ? QStringLiteral("c:") : path, file.isEmpty() ? QStringLiteral("firm0309.lgo") : file);
    if (choice.canceled)
        return false;
    // Made the default, the file is kept for the next start too; else for this run.
    if (choice.makeDefault) {
        config.Set(Setting::FirmwarePath, choice.folder);
        config.Set(Setting::FirmwareName, choice.name);
    } else {
        config.SetForRun(Setting::FirmwarePath, choice.folder);
        config.SetForRun(Setting::FirmwareName, choice.name);
    }
    return true;
}

void BrickTools::FirmwareDownload()
{
    RunBrickTool([this] {
        AppState& a = App();
        const Config& config = *a.Config;
        if ((config.Value(Setting::FirmwareName).isEmpty() || config.Value(Setting::FirmwarePath).isEmpty()) &&
            !ChooseFirmwareFile())
            return;
        const QString path = QDir(config.Value(Setting::FirmwarePath)).filePath(config.Value(Setting::FirmwareName));
        // A broken file is never sent: the brick would be left without firmware.
        const FirmwareImage image = FirmwareImage::ReadFile(path);
        if (!image.isValid()) {
            ShowMessage(image.describeFault(path), MsgStyle::Exclamation);
            return;
        }
        if (a.InitParams && a.InitParams->ConfirmDownload() == 1) {
            const int answer = a.Presenter->MsgBox(QStringLiteral("Please have the RCX ready for Firmware downloading."),
                                                   MsgStyle::OkCancel | MsgStyle::Information,
                                                   QStringLiteral("RCX Firmware download"));
            if (answer == MsgResult::Cancel)
                return;
        }
        Q_EMIT a.Notifier->StatusCleared();
        if (!PB().DownloadFirmware(path))
            ShowMessage(QStringLiteral("RCX Firmware download failed! Please check IR & RCX batteries."),
                        MsgStyle::Exclamation);
        else
            Q_EMIT a.Notifier->StatusPrinted(QStringLiteral("Download in progress please wait..."), 700);
    });
}

QString BrickTools::BatteryCaption(double volts)
{
    QString text = QString::number(volts, 'f', 1);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    return QStringLiteral("Battery state: ") + text + QStringLiteral(" Volt");
}

BatteryReading BrickTools::Battery()
{
    BatteryReading r;
    RunBrickTool([&r] {
        float v = float(PB().PBBattery()) / 1000.0f;
        if (v >= 9.0f) {
            // The first reading after a pause tends to be high: read again.
            App().Shell->DoEvents();
            v = float(PB().PBBattery()) / 1000.0f;
        }
        r.shown = true;
        r.volts = v;
        r.fill = std::clamp(double(v) / 9.0, 0.0, 1.0);
        r.caption = BatteryCaption(v);
    });
    return r;
}

void BrickTools::PowerOff()
{
    RunBrickTool([] {
        AppState& a = App();
        const QString deflt = a.InitParams ? QString::number(a.InitParams->TimeToShutDown()) : QString();
        const QString answer =
            a.Presenter->InputBox(QStringLiteral("Time in minuts 1-255 or  0 = Never "), QString(), deflt);
        if (answer.isEmpty())
            return;
        const double minutes = vb::Val(answer);
        if (minutes < 0 || minutes > 255) {
            ShowMessage(QStringLiteral("The time must be between 0 and 255 minutes"), MsgStyle::Exclamation);
            return;
        }
        const Integer sent = vb::CInt(minutes);
        if (!PB().PBPowerDownTime(sent))
            ShowMessage(kNoCommunication, MsgStyle::Exclamation);
        else if (sent != 0)
            ShowMessage(QStringLiteral("RCX shutdown after ") + answer + QStringLiteral(" minutes"),
                        MsgStyle::Information);
        else
            ShowMessage(QStringLiteral("RCX never shutdown itself"), MsgStyle::Information);
    });
}

void BrickTools::ShowFirmwareVersion()
{
    try {
        if (!Rcx().IsInit)
            InitRCX(App());
        const QString version = PB().FirmwareVersion();
        if (!version.isEmpty())
            App().Presenter->MsgBox(QStringLiteral("Current firmware version is: ") + version, MsgStyle::OkOnly);
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}
