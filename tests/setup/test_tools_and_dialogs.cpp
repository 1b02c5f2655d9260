#include "SetupFixture.h"

#include "model/Config.h"
#include "model/ProjectFile.h"
#include "model/VbError.h"
#include "setup/core/SetupService.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace {

// A firmware file with one correct data record, or a broken second line.
QByteArray firmwareText(bool broken)
{
    // A record for 8000 with the bytes 00..0F and its checksum.
    QByteArray bytes = QByteArray::fromHex("13800000");
    bytes.append(QByteArray::fromHex("0102030405060708090A0B0C0D0E0F"));
    unsigned sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    bytes.append(char(~sum & 0xFF));
    QByteArray data = "S1" + bytes.toHex().toUpper();
    if (broken)
        data[5] = data[5] == '0' ? '1' : '0';
    return "S00600004844521B\r\n" + data + "\r\nS90380007C\r\n";
}

}  // namespace

using SetupTools = SetupFixture;

TEST_F(SetupTools, BatteryAbove9VoltIsReadTwice)
{
    RecordingControl& recorder = useRecorder();
    BrickTools tools;
    recorder.pushResults(QStringLiteral("PBBattery"), {9430, 9100});
    const BatteryReading high = tools.Battery();
    EXPECT_EQ(recorder.count(QStringLiteral("PBBattery")), 2);
    EXPECT_EQ(windows.doEventsCount, 1);
    EXPECT_TRUE(high.shown);
    EXPECT_DOUBLE_EQ(high.fill, 1.0);
    EXPECT_EQ(high.caption, QStringLiteral("Battery state: 9.1 Volt"));

    recorder.pushResult(QStringLiteral("PBBattery"), 8700);
    const BatteryReading usual = tools.Battery();
    EXPECT_EQ(recorder.count(QStringLiteral("PBBattery")), 3);
    EXPECT_NEAR(usual.fill, 8.7 / 9, 1e-6);
    EXPECT_EQ(usual.caption, QStringLiteral("Battery state: 8.7 Volt"));
    EXPECT_EQ(BrickTools::BatteryCaption(0.8), QStringLiteral("Battery state: .8 Volt"));

    recorder.failOperation(QStringLiteral("PBBattery"), Err::DeviceUnavailable);
    EXPECT_FALSE(tools.Battery().shown);
    EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("No communication with the RCX")});
}

TEST_F(SetupTools, PowerOffAnswers)
{
    struct Case {
        const char* answer;
        int sent;  // -1: nothing sent
        const char* message;
        int style;
    } cases[] = {
        {"0", 0, "RCX never shutdown itself", MsgStyle::Information},
        {"255", 255, "RCX shutdown after 255 minutes", MsgStyle::Information},
        {"256", -1, "The time must be between 0 and 255 minutes", MsgStyle::Exclamation},
        {"-1", -1, "The time must be between 0 and 255 minutes", MsgStyle::Exclamation},
        {"abc", 0, "RCX never shutdown itself", MsgStyle::Information},
        {"12.4", 12, "RCX shutdown after 12.4 minutes", MsgStyle::Information},
        {" 30 min", 30, "RCX shutdown after  30 min minutes", MsgStyle::Information},
        {"", -1, nullptr, 0},
    };
    App().InitParams->setTimeToShutDown(15);
    for (const Case& c : cases) {
        RecordingControl recorder;
        App().Ports = &recorder;
        App().SetRcxInit(True);
        presenter.shown.clear();
        presenter.inputs = {QLatin1String(c.answer)};
        BrickTools().PowerOff();
        EXPECT_EQ(presenter.prompts.last(), QStringLiteral("Time in minuts 1-255 or  0 = Never "));
        EXPECT_EQ(presenter.inputDefaults.last(), QStringLiteral("15"));
        if (c.sent < 0)
            EXPECT_EQ(recorder.count(QStringLiteral("PBPowerDownTime")), 0) << c.answer;
        else
            EXPECT_EQ(recorder.calls().last(), QStringLiteral("PBPowerDownTime(%1)").arg(c.sent)) << c.answer;
        if (c.message) {
            ASSERT_EQ(presenter.shown.size(), 1) << c.answer;
            EXPECT_EQ(presenter.shown[0].text, QLatin1String(c.message));
            EXPECT_EQ(presenter.shown[0].style, c.style);
        } else {
            EXPECT_TRUE(presenter.shown.isEmpty());
        }
    }
    RecordingControl refusing;
    App().Ports = &refusing;
    refusing.pushResult(QStringLiteral("PBPowerDownTime"), false);
    presenter.shown.clear();
    presenter.inputs = {QStringLiteral("10")};
    BrickTools().PowerOff();
    EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("No communication with the RCX")});
    App().Ports = nullptr;
}

TEST_F(SetupTools, FirmwareVersionIsShownOnlyWhenThereIsOne)
{
    RecordingControl& recorder = useRecorder();
    BrickTools tools;
    tools.ShowFirmwareVersion();
    EXPECT_TRUE(presenter.shown.isEmpty());
    recorder.pushResult(QStringLiteral("FirmwareVersion"), QStringLiteral("3.9"));
    tools.ShowFirmwareVersion();
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Current firmware version is: 3.9"));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::OkOnly);
}

class SetupFirmware : public SetupFixture {
protected:
    void SetUp() override
    {
        SetupFixture::SetUp();
        tools.Chooser = [this](const QString& folder, const QString& name) {
            asked.append(folder + QLatin1Char('|') + name);
            return choice;
        };
    }
    QString write(const QString& name, const QByteArray& text)
    {
        writeFile(dir.filePath(name), text);
        return dir.filePath(name);
    }

    QTemporaryDir dir;
    BrickTools tools;
    FirmwareChoice choice;
    QStringList asked;
};

TEST_F(SetupFirmware, TheFirstDownloadAsksForTheFileOnItsDefaults)
{
    RecordingControl& recorder = useRecorder();
    tools.FirmwareDownload();  // cancelled
    EXPECT_EQ(asked, QStringList{QStringLiteral("c:|firm0309.lgo")});
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(recorder.count(QStringLiteral("DownloadFirmware")), 0);

    write(QStringLiteral("fast.lgo"), firmwareText(false));
    choice = {false, dir.path(), QStringLiteral("fast.lgo"), true};
    App().InitParams->setConfirmDownload(0);
    tools.FirmwareDownload();
    EXPECT_EQ(settings.values.value(QStringLiteral("firmware/path")), dir.path());
    EXPECT_EQ(settings.values.value(QStringLiteral("firmware/name")), QStringLiteral("fast.lgo"));
    EXPECT_EQ(recorder.calls().last(), QStringLiteral("DownloadFirmware(\"%1/fast.lgo\")").arg(dir.path()));
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(windows.statusTexts().last(), QStringLiteral("Download in progress please wait..."));

    // Remembered for the run: the next download does not ask.
    tools.FirmwareDownload();
    EXPECT_EQ(asked.size(), 2);
    // Choosing again starts on the remembered file; without the default box nothing is saved.
    settings.values.clear();
    choice.makeDefault = false;
    EXPECT_TRUE(tools.ChooseFirmwareFile());
    EXPECT_EQ(asked.last(), dir.path() + QStringLiteral("|fast.lgo"));
    EXPECT_TRUE(settings.values.isEmpty());
}

TEST_F(SetupFirmware, ABrokenFileSendsNothingAndNamesItsBadLine)
{
    RecordingControl& recorder = useRecorder();
    const QString path = write(QStringLiteral("bad.lgo"), firmwareText(true));
    App().Config->SetForRun(Setting::FirmwarePath, dir.path());
    App().Config->SetForRun(Setting::FirmwareName, QStringLiteral("bad.lgo"));
    App().InitParams->setConfirmDownload(1);
    tools.FirmwareDownload();
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("The firmware file %1 is damaged at line 2: its checksum is "
                                                      "wrong. Nothing was sent to the RCX.").arg(path));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
    EXPECT_EQ(recorder.count(QStringLiteral("DownloadFirmware")), 0);

    presenter.shown.clear();
    App().Config->SetForRun(Setting::FirmwareName, QStringLiteral("missing.lgo"));
    tools.FirmwareDownload();
    EXPECT_TRUE(presenter.shown.value(0).text.contains(QLatin1String("missing.lgo can't be used")));
    EXPECT_EQ(recorder.count(QStringLiteral("DownloadFirmware")), 0);
}

TEST_F(SetupFirmware, TheQuestionAndARefusingBrick)
{
    RecordingControl& recorder = useRecorder();
    write(QStringLiteral("firm.lgo"), firmwareText(false));
    App().Config->SetForRun(Setting::FirmwarePath, dir.path());
    App().Config->SetForRun(Setting::FirmwareName, QStringLiteral("firm.lgo"));
    App().InitParams->setConfirmDownload(1);
    presenter.answers = {MsgResult::Cancel};
    tools.FirmwareDownload();
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Please have the RCX ready for Firmware downloading."));
    EXPECT_EQ(presenter.shown[0].title, QStringLiteral("RCX Firmware download"));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::OkCancel | MsgStyle::Information);
    EXPECT_EQ(recorder.count(QStringLiteral("DownloadFirmware")), 0);

    presenter.shown.clear();
    recorder.pushResult(QStringLiteral("DownloadFirmware"), false);
    tools.FirmwareDownload();
    EXPECT_EQ(presenter.texts().last(), QStringLiteral("RCX Firmware download failed! Please check IR & RCX batteries."));
    EXPECT_EQ(recorder.count(QStringLiteral("DownloadFirmware")), 1);
}

TEST_F(SetupFirmware, TheVirtualBrickTakesTheFirmware)
{
    vbrick::SoftRcx& brick = useBrick();
    write(QStringLiteral("firm0332.lgo"), firmwareText(false));
    App().Config->SetForRun(Setting::FirmwarePath, dir.path());
    App().Config->SetForRun(Setting::FirmwareName, QStringLiteral("firm0332.lgo"));
    App().InitParams->setConfirmDownload(0);
    tools.FirmwareDownload();
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
    // The blocks go from the event loop.
    EXPECT_FALSE(brick.hasFirmware());
    for (int i = 0; i < 1000 && !brick.hasFirmware(); ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(brick.hasFirmware());
    EXPECT_EQ(PB().FirmwareVersion(), QStringLiteral("3.09"));
}

// While the firmware's blocks go from the event loop, the brick tools, a
// second firmware download and the polling buttons say the brick is busy,
// the polling timers read nothing and say nothing, and nothing reaches the
// brick; once the firmware is in, they work again.
TEST_F(SetupFirmware, WhileTheFirmwareGoesTheBrickIsBusy)
{
    vbrick::SoftRcx& brick = useBrick();
    DropOnSensor(0, SetupPicture::Touch);
    write(QStringLiteral("firm.lgo"), firmwareText(false));
    App().Config->SetForRun(Setting::FirmwarePath, dir.path());
    App().Config->SetForRun(Setting::FirmwareName, QStringLiteral("firm.lgo"));
    App().InitParams->setConfirmDownload(0);
    PollPanel panel;
    panel.Build();
    ASSERT_FALSE(panel.Rows.isEmpty());
    panel.SetTick(0, 1);
    panel.TogglePolling();
    ASSERT_TRUE(panel.Polling());
    SensorProperties sensor(0);
    sensor.TogglePoll(sensor.Mode());
    ASSERT_TRUE(sensor.Polling);
    presenter.shown.clear();

    tools.FirmwareDownload();
    ASSERT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
    const qint64 sent = control.virtualDevice().bytesSent();
    const QString busy = QStringLiteral("The RCX is busy: firmware download");
    const struct {
        const char* name;
        std::function<void()> action;
        bool told;
    } actions[] = {
        {"battery", [&] { EXPECT_FALSE(tools.Battery().shown); }, true},
        {"power off", [&] { tools.PowerOff(); }, true},
        {"version", [&] { tools.ShowFirmwareVersion(); }, true},
        {"firmware again", [&] { tools.FirmwareDownload(); }, true},
        {"single poll", [&] { EXPECT_TRUE(panel.PollOnce().isEmpty()); }, true},
        {"polling timer", [&] { EXPECT_TRUE(panel.PollPass().isEmpty()); }, false},
        {"sensor timer", [&] { sensor.PollTick(); }, false},
    };
    for (const auto& a : actions) {
        SCOPED_TRACE(a.name);
        presenter.shown.clear();
        a.action();
        EXPECT_EQ(presenter.texts(), a.told ? QStringList{busy} : QStringList());
        EXPECT_EQ(control.virtualDevice().bytesSent(), sent);
    }
    EXPECT_TRUE(presenter.prompts.isEmpty()) << "no time asked for";
    // The timers keep going, to read again once the brick is free.
    EXPECT_TRUE(sensor.Polling);
    EXPECT_FALSE(brick.hasFirmware());

    for (int i = 0; i < 1000 && !brick.hasFirmware(); ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(brick.hasFirmware());
    brick.sensor(0).value = 1;
    presenter.shown.clear();
    sensor.PollTick();
    EXPECT_EQ(sensor.SensorValue, QStringLiteral("1"));
    EXPECT_EQ(tools.Battery().caption, QStringLiteral("Battery state: 9.3 Volt"));
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
}

// ------------------------------------------------------------------ sensor dialog

using SensorDialog = SetupFixture;

TEST_F(SensorDialog, PurposeChecks)
{
    DropOnSensor(0, SetupPicture::Touch);
    DropOnSensor(1, SetupPicture::Light);
    AddNamedValue(QStringLiteral(" Padded"), OperandSource::Variable, 0, 1);
    struct Case {
        const char* purpose;
        const char* message;
    } cases[] = {
        {"   ", "Missing purpose"},
        {"Left, front", "Commas and double quotes can't be used here"},
        {"the \"big\" one", "Commas and double quotes can't be used here"},
        {"Timer 1", "Object by that name already exist"},
        {"light SENSOR  2", "Object by that name already exist"},
        {"s. type 1", "Object by that name already exist"},
        {" Padded", "Object by that name already exist"},  // as it would be stored
    };
    for (const Case& c : cases) {
        presenter.shown.clear();
        SensorProperties dialog(0);
        dialog.Edited(1);
        EXPECT_FALSE(dialog.Update(1, QLatin1String(c.purpose))) << c.purpose;
        EXPECT_EQ(presenter.texts(), QStringList{QLatin1String(c.message)}) << c.purpose;
        EXPECT_EQ(presenter.shown.value(0).style, MsgStyle::Exclamation);
        EXPECT_TRUE(object(QStringLiteral("Touch sensor  1"))) << c.purpose;
        EXPECT_EQ(rcx().PortSensor(0).Purpose, QStringLiteral("Touch sensor  1"));
    }
}

TEST_F(SensorDialog, UpdateRenamesTheValueObjectAndMarksOnlyRealChanges)
{
    DropOnSensor(2, SetupPicture::Light);
    App().SetSetupDirty(False);
    {
        SensorProperties dialog(2);
        EXPECT_EQ(dialog.TypeCaption(), QStringLiteral("Light sensor"));
        EXPECT_EQ(dialog.PortCaption(), QStringLiteral("Port number: 3"));
        EXPECT_EQ(dialog.Mode(), 4);
        EXPECT_TRUE(dialog.Update(dialog.Mode(), dialog.Purpose()));  // nothing edited
        EXPECT_FALSE(rcx().Dirty);
        EXPECT_TRUE(object(QStringLiteral("Light sensor  3")));
    }
    {
        SensorProperties dialog(2);
        dialog.Edited(0);
        EXPECT_TRUE(dialog.Update(0, dialog.Purpose()));  // only the mode
        EXPECT_EQ(rcx().PortSensor(2).SensorMode, 0);
        EXPECT_TRUE(rcx().Dirty);
    }
    {
        SensorProperties dialog(2);
        dialog.Edited(0);
        EXPECT_TRUE(dialog.Update(0, QStringLiteral("Floor ")));
        EXPECT_FALSE(dialog.WasCanceled);
        EXPECT_FALSE(object(QStringLiteral("Light sensor  3")));
        ObjectPtr o = object(QStringLiteral("Floor "));
        ASSERT_TRUE(o);
        EXPECT_EQ(o->Source, OperandSource::SensorValue);
        EXPECT_EQ(o->Number, 2);
        EXPECT_EQ(rcx().PortSensor(2).Purpose, QStringLiteral("Floor "));
        EXPECT_TRUE(object(QStringLiteral("S. Type 3")));  // the status objects stay
    }
}

TEST_F(SensorDialog, PollingTheLiveValue)
{
    vbrick::SoftRcx& brick = useBrick();
    DropOnSensor(0, SetupPicture::Light);
    brick.sensor(0).value = 63;
    SensorProperties dialog(0);
    EXPECT_EQ(dialog.PollCaption(), QStringLiteral("Poll sensor value"));
    dialog.TogglePoll(0);  // the mode chosen in the list, before Update
    ASSERT_TRUE(dialog.Polling);
    EXPECT_EQ(dialog.PollCaption(), QStringLiteral("Stop polling"));
    EXPECT_EQ(brick.sensor(0).type, 3);
    EXPECT_EQ(brick.sensor(0).mode, 0);
    dialog.PollTick();
    EXPECT_EQ(dialog.SensorValue, QStringLiteral("63"));
    dialog.Edited(0);  // editing stops polling
    EXPECT_FALSE(dialog.Polling);

    dialog.TogglePoll(4);
    brick.setOn(false);
    dialog.PollTick();
    EXPECT_FALSE(dialog.Polling);
    EXPECT_EQ(dialog.PollCaption(), QStringLiteral("Poll sensor value"));
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("No communication with the RCX"));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Question);
}

// ------------------------------------------------------------------ motor dialog

using MotorDialog = SetupFixture;

TEST_F(MotorDialog, UpdateChecksAndStores)
{
    DropOnOutput(2, SetupPicture::Motor);
    App().SetSetupDirty(False);
    {
        MotorProperties dialog(2);
        EXPECT_EQ(dialog.Title(), QStringLiteral("Motor C"));
        dialog.setPurpose(QStringLiteral("  "));
        EXPECT_FALSE(dialog.Update());
        dialog.setPurpose(QStringLiteral("Lift"));
        dialog.RwdMeaning = QStringLiteral("down, slowly");
        EXPECT_FALSE(dialog.Update());
        EXPECT_EQ(presenter.texts(), (QStringList{QStringLiteral("Missing purpose"),
                                                  QStringLiteral("Commas and double quotes can't be used here")}));
        EXPECT_EQ(rcx().PortMotor(2).Purpose, QStringLiteral("Motor C"));
    }
    {
        MotorProperties dialog(2);
        dialog.FwdMeaning = QStringLiteral("up");  // a meaning alone is no change
        EXPECT_TRUE(dialog.Update());
        EXPECT_EQ(rcx().PortMotor(2).MotorFwdMeening, QStringLiteral("up"));
        EXPECT_FALSE(rcx().Dirty);
    }
    {
        MotorProperties dialog(2);
        EXPECT_EQ(dialog.DirectionCaption(), QStringLiteral("Forward"));
        dialog.setDirection(0);
        dialog.setStartState(0);
        dialog.setSpeed(3);
        EXPECT_EQ(dialog.MeaningCaption(), QStringLiteral("Backward meaning :"));
        EXPECT_EQ(dialog.StartCaption(), QStringLiteral("Off"));
        EXPECT_TRUE(dialog.Update());
        const clsMotor& m = rcx().PortMotor(2);
        EXPECT_EQ(m.MotorDirection, 0);
        EXPECT_EQ(m.MotorStartState, 0);
        EXPECT_EQ(m.Power, 3);
        EXPECT_TRUE(rcx().Dirty);
    }
    EXPECT_TRUE(object(QStringLiteral("Motor state C")));  // nothing renamed
}

TEST_F(MotorDialog, TheTestMotor)
{
    RecordingControl& recorder = useRecorder();
    DropOnOutput(1, SetupPicture::Motor);
    MotorProperties dialog(1);
    dialog.setSpeed(4);  // not running: nothing sent
    EXPECT_TRUE(recorder.calls().isEmpty());
    dialog.TestMotor();
    EXPECT_TRUE(dialog.Running);
    EXPECT_EQ(dialog.TestCaption(), QStringLiteral("Stop motor"));
    dialog.setSpeed(6);
    dialog.setDirection(0);
    dialog.Closing();  // the close box
    EXPECT_FALSE(dialog.Running);
    EXPECT_EQ(recorder.calls(), (QStringList{"SetPower(\"1\", L2, 4)", "SetFwd(\"1\")", "On(\"1\")",
                                             "SetPower(\"1\", L2, 6)", "SetRwd(\"1\")", "Off(\"1\")"}));

    recorder.failOperation(QStringLiteral("On"), Err::DeviceUnavailable);
    dialog.TestMotor();
    EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("Device unavailable")});
}

// ------------------------------------------------------------------ port texts in the project file

using PortTexts = SetupFixture;

// The port texts are kept in the project file's port lines, which are read cut
// at commas with the quotes dropped; the purposes also name datalog items. A
// text those lines can't carry is refused by Update with the characters named;
// the texts taken come back from a save and a reopen as typed.
TEST_F(PortTexts, TextsTheProjectFileCantCarryAreRefusedTheOthersComeBackFromASave)
{
    DropOnSensor(0, SetupPicture::Light);
    DropOnOutput(1, SetupPicture::Motor);
    enum Place { SensorPurpose, MotorPurpose, Forward, Backward };
    struct Case {
        Place place;
        const char* text;  // UTF-8
        const char* message;
    } cases[] = {
        {SensorPurpose, "left\r\nfront", "Line breaks can't be used here"},
        {SensorPurpose, "floor \xe2\x82\xac", "The character \u20ac (U+20AC) can't be used here"},
        {MotorPurpose, "arm \"A\"", "Commas and double quotes can't be used here"},
        {MotorPurpose, "arm\n", "Line breaks can't be used here"},
        {Forward, "up, fast", "Commas and double quotes can't be used here"},
        {Backward, "down \xe2\x86\x93", "The character \u2193 (U+2193) can't be used here"},
    };
    auto update = [&](Place place, const QString& text) {
        if (place == SensorPurpose) {
            SensorProperties dialog(0);
            dialog.Edited(4);
            return dialog.Update(4, text);
        }
        MotorProperties dialog(1);
        if (place == MotorPurpose)
            dialog.setPurpose(text);
        else
            (place == Forward ? dialog.FwdMeaning : dialog.RwdMeaning) = text;
        return dialog.Update();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        presenter.shown.clear();
        EXPECT_FALSE(update(c.place, QString::fromUtf8(c.text)));
        EXPECT_EQ(presenter.texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(presenter.shown.value(0).style, MsgStyle::Exclamation);
    }
    EXPECT_EQ(rcx().PortSensor(0).Purpose, QStringLiteral("Light sensor  1"));
    EXPECT_EQ(rcx().PortMotor(1).Purpose, QStringLiteral("Motor B"));

    QTemporaryDir folder;
    App().DataFolder = folder.path();
    App().ProgramFolder = folder.path();
    App().SetProjectName(QStringLiteral("Robot"));
    const QString floor = QString::fromUtf8("Floor (l\xc3\xa9" "ft) 'x' \xc3\xbf");
    ASSERT_TRUE(update(SensorPurpose, floor));
    ASSERT_TRUE(update(MotorPurpose, QStringLiteral("Lift; arm")));
    ASSERT_TRUE(update(Forward, QString::fromUtf8("up \xc2\xbb fast")));
    ASSERT_TRUE(update(Backward, QStringLiteral("down/slow")));
    presenter.shown.clear();
    App().ProjectAction = 2;
    ASSERT_TRUE(SaveProject());
    App().ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rcx().PortSensor(0).Purpose, floor);
    EXPECT_TRUE(object(floor));
    const clsMotor& m = rcx().PortMotor(1);
    EXPECT_EQ(m.Purpose, QStringLiteral("Lift; arm"));
    EXPECT_EQ(m.MotorFwdMeening, QString::fromUtf8("up \xc2\xbb fast"));
    EXPECT_EQ(m.MotorRwdMeening, QStringLiteral("down/slow"));
}
