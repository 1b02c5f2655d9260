// The motor and general frame without widgets: its layout per key, loading a
// command, the checks of its Ok with their messages and focus, the captions
// it writes, and what the compiler then lists.
#include "FrameFixture.h"

#include "compiler/CommandCheck.h"
#include "desktop/core/MotorFrame.h"

namespace {

class MotorFrameTest : public FrameTest {
protected:
    MotorFrame& open(const Cmd& cmd)
    {
        frame = std::make_unique<MotorFrame>(App(), names);
        frame->ParentTaskName = QStringLiteral("Main");
        frame->Open(cmd.c);
        return *frame;
    }
    // Chooses the item of that text in the combo as a click does.
    static void choose(FrameCombo& combo, const char* text)
    {
        const int i = combo.IndexOfText(QString::fromLatin1(text));
        ASSERT_GE(i, 0) << text;
        combo.Choose(i);
    }
    std::unique_ptr<MotorFrame> frame;
};

QString nl = QStringLiteral("\r\n");

TEST_F(MotorFrameTest, LayoutPerKey)
{
    struct Case {
        const char* key;
        const char* title;
        const char* side;  // lblSpeed's caption, "" when hidden
        const char* shown;  // the key's own controls shown
        const char* timeWord;
    };
    const Case cases[] = {
        {"M_ON", "Start motor", "", "", "And wait"},
        {"M_OFF", "Stop motor", "", "", "And wait"},
        {"M_FWD", "Forward", "", "", "And wait"},
        {"M_RWD", "Backward", "", "", "And wait"},
        {"M_ALTDIR", "Change direction", "", "", "And wait"},
        {"M_SETPWR", "Motor speed", "Speed:", "cmbSpeed", "And wait"},
        {"G_WAIT", "Wait", "", "", "For"},
        {"G_SOUND", "Play sound", "Type frequency or select from the list", "cmbSound", "For"},
        {"G_TXPOWER", "Transmit power", "RCX transmit power:", "cmbTime", "And wait"},
        {"G_WATCH", "Set RCX clock", "Set RCX clock:", "txtTime", "And wait"},
        {"G_DISPLAY", "Select RCX display", "RCX display:", "cmbSpeed", "And wait"},
        {"A_REM", "Comment", "", "txtRem", "And wait"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        MotorFrame& f = open(Cmd(c.key));
        const QString key = QString::fromLatin1(c.key), shown = QString::fromLatin1(c.shown);
        EXPECT_EQ(f.lblMotor.Caption, QString::fromLatin1(c.title));
        EXPECT_EQ(f.lblSpeed.Visible, *c.side != 0);
        if (*c.side) {
            EXPECT_EQ(f.lblSpeed.Caption, QString::fromLatin1(c.side));
        }
        EXPECT_EQ(f.lblTime.Caption, QString::fromLatin1(c.timeWord));
        EXPECT_EQ(f.cmbSpeed.Visible, shown == QLatin1String("cmbSpeed"));
        EXPECT_EQ(f.cmbSound.Visible, shown == QLatin1String("cmbSound"));
        EXPECT_EQ(f.txtTime[0].Visible, shown == QLatin1String("txtTime"));
        EXPECT_EQ(f.txtTime[1].Visible, shown == QLatin1String("txtTime"));
        EXPECT_EQ(f.txtRem.Visible, shown == QLatin1String("txtRem"));
        // Motors are on A and C only: B's box never shows.
        const bool motor = key.startsWith(QLatin1Char('M'));
        EXPECT_EQ(f.chkMotor[0].Visible, motor);
        EXPECT_FALSE(f.chkMotor[1].Visible);
        EXPECT_EQ(f.chkMotor[2].Visible, motor);
        EXPECT_EQ(f.chkStopFloat.Visible, key == QLatin1String("M_OFF"));
        EXPECT_EQ(f.chkTime.Visible, motor);
        // Every label stays inside the frame.
        EXPECT_GE(f.lblSpeed.Left, 0);
        EXPECT_LE(f.lblSpeed.Left + f.lblSpeed.Width, MotorFrame::FrameWidth);
    }
    EXPECT_EQ(frame->chkMotor[0].ToolTipText, QStringLiteral("Left wheel"));
    EXPECT_EQ(frame->Focus, QStringLiteral("txtRem"));
}

TEST_F(MotorFrameTest, NewCommandsOpenWithTheirDefaults)
{
    MotorFrame& wait = open(Cmd("G_WAIT"));
    EXPECT_EQ(wait.chkTime.Value, 0);
    EXPECT_TRUE(wait.cmbTimeCount.Visible);
    EXPECT_EQ(wait.cmbTimeCount.Text, QString());
    EXPECT_EQ(wait.cmbTime.Text, QStringLiteral("Second"));
    EXPECT_TRUE(wait.cmbTime.Enabled);

    MotorFrame& on = open(Cmd("M_ON"));
    EXPECT_EQ(on.chkTime.Value, 1);
    EXPECT_FALSE(on.cmbTimeCount.Visible);
    EXPECT_FALSE(on.cmbTime.Visible);

    MotorFrame& sound = open(Cmd("G_SOUND"));
    EXPECT_EQ(sound.chkTime.Value, 1);
    EXPECT_EQ(sound.Focus, QStringLiteral("cmbSound"));
    EXPECT_EQ(sound.cmbSound.Text, QStringLiteral("Click"));

    MotorFrame& pwr = open(Cmd("M_SETPWR"));
    EXPECT_EQ(pwr.cmbSpeed.Text, QString());

    MotorFrame& watch = open(Cmd("G_WATCH"));
    EXPECT_EQ(watch.txtTime[0].Text, QString());
    EXPECT_EQ(watch.txtTime[1].Text, QString());

    MotorFrame& rem = open(Cmd("A_REM"));
    EXPECT_EQ(rem.txtRem.Text, QString());
}

TEST_F(MotorFrameTest, StoredCommandsOpenAsStored)
{
    // Port C's motor left the set-up since the command was written.
    App().EditMotor(2, [&](clsMotor& m) { m.setMotorType(0); });
    MotorFrame& on = open(Cmd("M_ON").motors("02"));
    EXPECT_EQ(on.chkMotor[0].Value, 1);
    EXPECT_EQ(on.chkMotor[2].Value, 0);
    EXPECT_FALSE(on.chkMotor[2].Visible);
    App().EditMotor(2, [&](clsMotor& m) { m.setMotorType(1); });

    MotorFrame& var = open(Cmd("M_FWD").motors("0").p1(0, "Delay").time("Hundredth"));
    EXPECT_EQ(var.chkTime.Value, 0);
    EXPECT_EQ(var.cmbTimeCount.Text, QStringLiteral("Delay"));
    EXPECT_EQ(var.cmbTime.Text, QStringLiteral("Hundredth"));
    EXPECT_FALSE(var.cmbTime.Enabled);

    MotorFrame& rnd = open(Cmd("G_WAIT").p1(4, 40).time("Hundredth"));
    EXPECT_EQ(rnd.cmbTimeCount.Text, QStringLiteral("Random number"));
    EXPECT_FALSE(rnd.cmbTime.Enabled);
    EXPECT_EQ(rnd.RandomLimit, 40);

    MotorFrame& typed = open(Cmd("G_WAIT").p1(2, 3).time("Tenth"));
    EXPECT_EQ(typed.cmbTimeCount.Text, QStringLiteral("3"));
    EXPECT_EQ(typed.cmbTime.Text, QStringLiteral("Tenth"));

    // A variable that was deleted since leaves the count empty.
    MotorFrame& gone = open(Cmd("G_WAIT").p1(0, "Gone").time("Hundredth"));
    EXPECT_EQ(gone.cmbTimeCount.Text, QString());

    MotorFrame& beep = open(Cmd("G_SOUND").speed("Beep"));
    EXPECT_EQ(beep.cmbSound.Text, QStringLiteral("Beep"));
    EXPECT_EQ(beep.chkTime.Value, 1);
    EXPECT_FALSE(beep.cmbTimeCount.Visible);

    MotorFrame& tone = open(Cmd("G_SOUND").speed("440").p1(2, 50).time("Hundredth"));
    EXPECT_EQ(tone.cmbSound.Text, QStringLiteral("440"));
    EXPECT_EQ(tone.chkTime.Value, 0);
    EXPECT_TRUE(tone.cmbTimeCount.Visible);
    EXPECT_EQ(tone.cmbTimeCount.Text, QStringLiteral("50"));

    MotorFrame& speed = open(Cmd("M_SETPWR").motors("0").p2(4, 5));
    EXPECT_EQ(speed.cmbSpeed.Text, QStringLiteral("Random number"));
    EXPECT_EQ(speed.RandomSpeedLimit, 5);

    MotorFrame& brake = open(Cmd("M_OFF").motors("2").op(1));
    EXPECT_EQ(brake.chkStopFloat.Value, 1);
    EXPECT_EQ(open(Cmd("M_OFF").motors("2").op(0)).chkStopFloat.Value, 0);

    MotorFrame& power = open(Cmd("G_TXPOWER").p1(210, "Long"));
    EXPECT_TRUE(power.cmbTime.Visible);
    EXPECT_EQ(power.cmbTime.Text, QStringLiteral("Long"));

    MotorFrame& watch = open(Cmd("G_WATCH").p1(-1, 0).p2(-1, 5));
    EXPECT_EQ(watch.txtTime[0].Text, QStringLiteral("0"));
    EXPECT_EQ(watch.txtTime[1].Text, QStringLiteral("5"));

    MotorFrame& display = open(Cmd("G_DISPLAY").p1(130, "Display sensor 1"));
    EXPECT_EQ(display.cmbSpeed.Text, QStringLiteral("Display sensor 1"));
    EXPECT_EQ(display.chkTime.Value, 1);

    EXPECT_EQ(open(Cmd("A_REM").p1(-1, "Turn here")).txtRem.Text, QStringLiteral("Turn here"));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(MotorFrameTest, SoundAndTimeHandlers)
{
    MotorFrame& f = open(Cmd("G_SOUND"));
    f.cmbSound.Type(QStringLiteral("440"));
    f.cmbSound_KeyPress();
    EXPECT_EQ(f.chkTime.Value, 0);
    EXPECT_TRUE(f.cmbTimeCount.Visible);
    choose(f.cmbSound, "Beep");
    f.cmbSound_Click();
    EXPECT_EQ(f.chkTime.Value, 1);
    EXPECT_FALSE(f.cmbTimeCount.Visible);

    MotorFrame& w = open(Cmd("G_WAIT"));
    presenter.inputs = QStringList{QStringLiteral("50")};
    choose(w.cmbTimeCount, "Random number");
    w.cmbTimeCount_Click();
    EXPECT_EQ(presenter.prompts, QStringList{"Type a number between 1 to 32767"});
    EXPECT_EQ(w.RandomLimit, 50);
    EXPECT_EQ(w.cmbTime.Text, QStringLiteral("Hundredth"));
    EXPECT_FALSE(w.cmbTime.Enabled);
    choose(w.cmbTimeCount, "Limit");
    w.cmbTimeCount_Click();
    EXPECT_TRUE(w.cmbTime.Enabled);
    presenter.inputs = QStringList{QStringLiteral("0")};
    choose(w.cmbTimeCount, "Random number");
    w.cmbTimeCount_Click();
    EXPECT_EQ(presenter.texts(), QStringList{"Invalid value"});
    EXPECT_EQ(w.cmbTimeCount.Text, QString());
    EXPECT_EQ(w.RandomLimit, 50);
    w.cmbTime.Enabled = false;
    w.cmbTimeCount_KeyPress();
    EXPECT_TRUE(w.cmbTime.Enabled);

    MotorFrame& s = open(Cmd("M_SETPWR"));
    presenter.prompts.clear();
    presenter.inputs = QStringList{QStringLiteral("7")};
    choose(s.cmbSpeed, "Random number");
    s.cmbSpeed_Click();
    EXPECT_EQ(presenter.prompts, QStringList{"Type a number between 1 to  7"});
    EXPECT_EQ(s.RandomSpeedLimit, 7);
    presenter.inputs = QStringList{QStringLiteral("8")};
    s.cmbSpeed_Click();
    EXPECT_EQ(s.RandomSpeedLimit, 7);
    EXPECT_EQ(s.cmbSpeed.Text, QString());
}

// Each case sets the frame up as a user would and presses Ok.
TEST_F(MotorFrameTest, OkChecksGiveTheirMessageAndFocus)
{
    struct Case {
        const char* name;
        Cmd cmd;
        std::function<void(MotorFrame&)> edit;
        QString message;  // "" when the Ok passes
        int style;
        QString focus;
    };
    auto sound = [](const char* freq, const char* count, const char* unit) {
        return [=](MotorFrame& f) {
            f.cmbSound.Type(QString::fromLatin1(freq));
            f.cmbSound_KeyPress();
            f.cmbTimeCount.Type(QString::fromLatin1(count));
            SelectComboItem(f.cmbTime, QString::fromLatin1(unit));
        };
    };
    auto count = [](const char* n, const char* unit) {
        return [=](MotorFrame& f) {
            f.setChkTime(0);
            f.cmbTimeCount.Type(QString::fromLatin1(n));
            SelectComboItem(f.cmbTime, QString::fromLatin1(unit));
        };
    };
    auto motorA = [](std::function<void(MotorFrame&)> then) {
        return [=](MotorFrame& f) {
            f.chkMotor[0].Value = 1;
            if (then)
                then(f);
        };
    };
    auto speed = [](const char* text) {
        return [=](MotorFrame& f) {
            f.chkMotor[0].Value = 1;
            SelectComboItem(f.cmbSpeed, QString::fromLatin1(text));
        };
    };
    auto display = [](const char* text) {
        return [=](MotorFrame& f) { SelectComboItem(f.cmbSpeed, QString::fromLatin1(text)); };
    };
    auto clock = [](const char* h, const char* m) {
        return [=](MotorFrame& f) {
            f.txtTime[0].Text = QString::fromLatin1(h);
            f.txtTime[1].Text = QString::fromLatin1(m);
        };
    };
    const QString tooLong = QStringLiteral("Sound duration can't be more then 2.55 seconds");
    const QString freq = QStringLiteral("Frequency must be an integer between 20 to 20000  ");
    const Case cases[] = {
        {"no motor", Cmd("M_ON"), nullptr, "No motor selected", 48, ""},
        {"wait needs no motor", Cmd("G_WAIT"), count("2", "Second"), "", 0, ""},
        {"comment needs no motor", Cmd("A_REM"), nullptr, "", 0, ""},
        {"comment the task file can't carry", Cmd("A_REM"),
         [](MotorFrame& f) { f.txtRem.Text = QString::fromUtf8("costs 5 \xe2\x82\xac"); },
         "The character \u20ac (U+20AC) can't be used here", 48, "txtRem"},
        {"comment in Latin-1", Cmd("A_REM"),
         [](MotorFrame& f) { f.txtRem.Text = QString::fromUtf8("d\xc3\xa9j\xc3\xa0 vu, \xc3\xbf"); }, "", 0, ""},
        {"no frequency", Cmd("G_SOUND"), sound("", "1", "Second"), "No frequency", 48, "cmbSound"},
        {"frequency 19", Cmd("G_SOUND"), sound("19", "1", "Hundredth"), freq, 48, "cmbSound"},
        {"frequency 20001", Cmd("G_SOUND"), sound("20001", "1", "Hundredth"), freq, 48, "cmbSound"},
        {"frequency 440.5", Cmd("G_SOUND"), sound("440.5", "1", "Hundredth"), freq, 48, "cmbSound"},
        {"frequency 20", Cmd("G_SOUND"), sound("20", "1", "Hundredth"), "", 0, ""},
        {"frequency 20000", Cmd("G_SOUND"), sound("20000", "1", "Hundredth"), "", 0, ""},
        {"sound count 0", Cmd("G_SOUND"), sound("440", " 0 ", "Hundredth"), "For how long", 32, "cmbTimeCount"},
        {"sound count empty", Cmd("G_SOUND"), sound("440", "", "Hundredth"), "For how long", 32, "cmbTimeCount"},
        {"3 seconds", Cmd("G_SOUND"), sound("440", "3", "Second"), tooLong, 48, "cmbTimeCount"},
        {"25 tenths", Cmd("G_SOUND"), sound("440", "25", "Tenth"), "", 0, ""},
        {"255 hundredths", Cmd("G_SOUND"), sound("440", "255", "Hundredth"), "", 0, ""},
        {"256 hundredths", Cmd("G_SOUND"), sound("440", "256", "Hundredth"), tooLong, 48, "cmbTimeCount"},
        {"constant too long", Cmd("G_SOUND"), sound("440", "Limit", "Tenth"),
         "Sound duration can't be more than 2.55 seconds\r\nCheck the constant value", 48, "cmbTimeCount"},
        {"constant short", Cmd("G_SOUND"), sound("440", "Limit", "Hundredth"), "", 0, ""},
        {"built-in sound", Cmd("G_SOUND"), [](MotorFrame& f) { SelectComboItem(f.cmbSound, "Error"); }, "", 0, ""},
        {"no power", Cmd("G_TXPOWER"), [](MotorFrame& f) { f.cmbTime.Choose(-1); }, "Power not selected", 48,
         "cmbTime"},
        {"no count", Cmd("G_WAIT"), count("", "Second"), "For how long?", 32, "cmbTimeCount"},
        {"speed empty", Cmd("M_SETPWR"), speed(""), "Wrong value", 48, ""},
        {"speed 8", Cmd("M_SETPWR"), speed("8"), "Speed must be between 0 to 7", 48, "cmbSpeed"},
        {"speed 7", Cmd("M_SETPWR"), speed("7"), "", 0, ""},
        {"speed constant 9", Cmd("M_SETPWR"), speed("Nine"), "Constant contains invalid value", 48, "cmbSpeed"},
        {"speed variable", Cmd("M_SETPWR"), speed("Count"), "", 0, ""},
        {"display 7", Cmd("G_DISPLAY"), display("7"), "RCX display must be between 0 to 6", 48, "cmbSpeed"},
        {"display motor 3", Cmd("G_DISPLAY"), display("Display motor 3"), "", 0, ""},
        {"display constant 9", Cmd("G_DISPLAY"), display("Nine"), "Constant contain invalid value", 48, "cmbSpeed"},
        {"clock 23:59", Cmd("G_WATCH"), clock("23", "59"), "", 0, ""},
        {"clock 24 hours", Cmd("G_WATCH"), clock("24", "0"), "Invalid value", 48, "txtTime(0)"},
        {"clock 25 hours", Cmd("G_WATCH"), clock("25", "0"), "Invalid value", 48, "txtTime(0)"},
        {"clock 60 minutes", Cmd("G_WATCH"), clock("1", "60"), "Invalid value", 48, "txtTime(1)"},
        {"clock no hours", Cmd("G_WATCH"), clock("", "5"), "Invalid value", 48, "txtTime(0)"},
        {"clock minutes word", Cmd("G_WATCH"), clock("5", "x"), "Invalid value", 48, "txtTime(1)"},
        {"400 seconds", Cmd("M_ON"), motorA(count("400", "Second")), "Too much time", 48, "cmbTimeCount"},
        {"327 seconds", Cmd("M_ON"), motorA(count("327", "Second")), "", 0, ""},
        {"328 seconds", Cmd("M_ON"), motorA(count("328", "Second")), "Too much time", 48, "cmbTimeCount"},
        {"negative time", Cmd("M_ON"), motorA(count("-1", "Second")), "Time can't be negative!", 48, ""},
        {"time 1.5", Cmd("M_ON"), motorA(count("1.5", "Second")), "Invalid value", 48, "cmbTimeCount"},
        {"time word", Cmd("M_ON"), motorA(count("soon", "Second")), "Invalid value", 48, "cmbTimeCount"},
        {"big constant", Cmd("M_ON"), motorA(count("Big", "Second")), "Too much time", 48, "cmbTimeCount"},
        {"negative constant", Cmd("G_WAIT"), count("Minus", "Second"), "Error: Constant containes negatine value!",
         48, ""},
        {"no unit", Cmd("G_WAIT"), [](MotorFrame& f) { f.cmbTimeCount.Type("2"); f.cmbTime.Choose(-1); },
         "Time unit not selected", 48, "cmbTime"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MotorFrame& f = open(c.cmd);
        if (c.edit)
            c.edit(f);
        presenter.shown.clear();
        f.Focus.clear();
        const bool closed = f.cmdOkMotor_Click();
        EXPECT_EQ(closed, c.message.isEmpty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join(QLatin1Char('|')).toStdString();
            continue;
        }
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, c.message);
        EXPECT_EQ(presenter.shown[0].style, c.style);
        EXPECT_EQ(f.Focus, c.focus);
    }
}

TEST_F(MotorFrameTest, OkWritesTheStoredFormAndTheCaption)
{
    struct Case {
        const char* name;
        Cmd cmd;
        std::function<void(MotorFrame&)> edit;
        QString caption;
    };
    const Case cases[] = {
        {"on", Cmd("M_ON"), [](MotorFrame& f) { f.chkMotor[0].Value = 1; f.chkMotor[2].Value = 1; }, "AC "},
        {"forward 2 s", Cmd("M_FWD"),
         [](MotorFrame& f) {
             f.chkMotor[1].Value = 1;
             f.setChkTime(0);
             f.cmbTimeCount.Type("2");
         },
         "B " + nl + "And wait 2 " + nl + "Seconds"},
        {"speed 5", Cmd("M_SETPWR"), [](MotorFrame& f) { f.chkMotor[0].Value = 1; f.cmbSpeed.Type("5"); }, "A  5 "},
        {"random speed", Cmd("M_SETPWR"),
         [](MotorFrame& f) {
             f.chkMotor[0].Value = 1;
             SelectComboItem(f.cmbSpeed, "Random number");
             f.RandomSpeedLimit = 7;
         },
         "A  Random number (upto 7)"},
        {"wait 1 s", Cmd("G_WAIT"), [](MotorFrame& f) { f.cmbTimeCount.Type("1"); }, " " + nl + "For 1 " + nl + "Second"},
        {"wait 0 s", Cmd("G_WAIT"), [](MotorFrame& f) { f.cmbTimeCount.Type("0"); }, " " + nl + "For 0 " + nl + "Second"},
        {"wait variable", Cmd("G_WAIT"),
         [](MotorFrame& f) {
             SelectComboItem(f.cmbTimeCount, "Delay");
             SelectComboItem(f.cmbTime, "Hundredth");
         },
         " " + nl + "For Delay " + nl + "Hundredths"},
        {"wait random", Cmd("G_WAIT"),
         [](MotorFrame& f) {
             SelectComboItem(f.cmbTimeCount, "Random number");
             SelectComboItem(f.cmbTime, "Hundredth");
             f.RandomLimit = 50;
         },
         " " + nl + "For Random number " + nl + "Hundredths (upto 50)"},
        {"tone", Cmd("G_SOUND"),
         [](MotorFrame& f) {
             f.cmbSound.Type("440");
             f.cmbSound_KeyPress();
             f.cmbTimeCount.Type("50");
             SelectComboItem(f.cmbTime, "Hundredth");
         },
         "Frequency 440" + nl + "For 50 " + nl + "Hundredths"},
        {"beep", Cmd("G_SOUND"), [](MotorFrame& f) { SelectComboItem(f.cmbSound, "Beep"); }, "Beep"},
        {"power", Cmd("G_TXPOWER"), [](MotorFrame& f) { SelectComboItem(f.cmbTime, "Long"); }, "Long"},
        {"clock", Cmd("G_WATCH"), [](MotorFrame& f) { f.txtTime[0].Text = "7"; f.txtTime[1].Text = "30"; }, "To 7:30"},
        {"display", Cmd("G_DISPLAY"), [](MotorFrame& f) { SelectComboItem(f.cmbSpeed, "Display sensor 1"); },
         "  Display sensor 1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MotorFrame& f = open(c.cmd);
        c.edit(f);
        EXPECT_TRUE(f.cmdOkMotor_Click()) << presenter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(c.cmd.c->PicCaption(1), c.caption);
    }
}

TEST_F(MotorFrameTest, FieldsAsTheCompilerReadsThem)
{
    struct Case {
        const char* name;
        Cmd cmd;
        std::function<void(MotorFrame&)> edit;
        QStringList listing;
    };
    const Case cases[] = {
        {"forward A and C for 2 seconds", Cmd("M_FWD"),
         [](MotorFrame& f) {
             f.chkMotor[0].Value = 1;
             f.chkMotor[2].Value = 1;
             f.setChkTime(0);
             f.cmbTimeCount.Type("2");
         },
         {" .SetFwd 02", " .Wait 2,200"}},
        {"on A", Cmd("M_ON"), [](MotorFrame& f) { f.chkMotor[0].Value = 1; }, {" .On 0"}},
        {"backward C", Cmd("M_RWD"), [](MotorFrame& f) { f.chkMotor[2].Value = 1; }, {" .SetRwd 2"}},
        {"turn A", Cmd("M_ALTDIR"), [](MotorFrame& f) { f.chkMotor[0].Value = 1; }, {" .AlterDir 0"}},
        {"brake A", Cmd("M_OFF"),
         [](MotorFrame& f) {
             f.chkMotor[0].Value = 1;
             f.chkStopFloat.Value = 1;
         },
         {" .Off 0"}},
        {"random speed", Cmd("M_SETPWR"),
         [](MotorFrame& f) {
             f.chkMotor[0].Value = 1;
             SelectComboItem(f.cmbSpeed, "Random number");
             f.RandomSpeedLimit = 6;
         },
         {" .SetPower 0,4,6"}},
        {"wait random", Cmd("G_WAIT"),
         [](MotorFrame& f) {
             SelectComboItem(f.cmbTimeCount, "Random number");
             SelectComboItem(f.cmbTime, "Hundredth");
             f.RandomLimit = 80;
         },
         {" .Wait 4,80"}},
        {"wait constant", Cmd("G_WAIT"),
         [](MotorFrame& f) {
             SelectComboItem(f.cmbTimeCount, "Limit");
             SelectComboItem(f.cmbTime, "Tenth");
         },
         {" .Wait 2,500"}},
        {"float C", Cmd("M_OFF"),
         [](MotorFrame& f) {
             f.chkMotor[2].Value = 1;
             f.chkStopFloat.Value = 0;
         },
         {" .Float 2"}},
        {"speed 5", Cmd("M_SETPWR"), [](MotorFrame& f) { f.chkMotor[0].Value = 1; f.cmbSpeed.Type("5"); },
         {" .SetPower 0,2,5"}},
        {"wait variable", Cmd("G_WAIT"),
         [](MotorFrame& f) {
             SelectComboItem(f.cmbTimeCount, "Delay");
             SelectComboItem(f.cmbTime, "Hundredth");
         },
         {" .Wait 0,5"}},
        {"tone", Cmd("G_SOUND"),
         [](MotorFrame& f) {
             f.cmbSound.Type("440");
             f.cmbSound_KeyPress();
             f.cmbTimeCount.Type("50");
             SelectComboItem(f.cmbTime, "Hundredth");
         },
         {" .PlayTone 440,50"}},
        {"beep", Cmd("G_SOUND"), [](MotorFrame& f) { SelectComboItem(f.cmbSound, "Beep"); },
         {" .PlaySystemSound 1"}},
        {"power", Cmd("G_TXPOWER"), [](MotorFrame& f) { SelectComboItem(f.cmbTime, "Long"); }, {" .PBTxPower 1"}},
        {"clock", Cmd("G_WATCH"), [](MotorFrame& f) { f.txtTime[0].Text = "7"; f.txtTime[1].Text = "30"; },
         {" .PB.SetWatch 7,30"}},
        {"display", Cmd("G_DISPLAY"), [](MotorFrame& f) { f.cmbSpeed.Type("3"); }, {" .PB.SelectDisplay 2,3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MotorFrame& f = open(c.cmd);
        c.edit(f);
        ASSERT_TRUE(f.cmdOkMotor_Click()) << presenter.texts().join(QLatin1Char('|')).toStdString();
        QStringList lines = listingOf(c.cmd.c);
        EXPECT_TRUE(compiled) << compileError.toStdString();
        EXPECT_EQ(lines, c.listing) << lines.join(QLatin1Char('|')).toStdString();
    }
}

TEST_F(MotorFrameTest, CancelAfterChangingEveryFieldRestoresTheCommand)
{
    Cmd cmd("M_OFF");
    cmd.motors("2").op(1).p1(2, 3).time("Second").caption("C  old");
    cmd.c->Param2Source = 2;
    cmd.c->Param2Value = QStringLiteral("4");
    cmd.c->Speed = QStringLiteral("Beep");
    MotorFrame& f = open(cmd);
    f.chkMotor[0].Value = 1;
    f.chkMotor[2].Value = 0;
    f.chkStopFloat.Value = 0;
    f.cmbTimeCount.Type(QStringLiteral("400"));  // fails after the motors and Op were written
    EXPECT_FALSE(f.cmdOkMotor_Click());
    EXPECT_EQ(cmd.c->MotorList, QStringLiteral("0"));
    EXPECT_EQ(cmd.c->Op, 0);
    f.cmdCancelMotor_Click();
    EXPECT_EQ(cmd.c->MotorList, QStringLiteral("2"));
    EXPECT_EQ(cmd.c->Op, 1);
    EXPECT_EQ(cmd.c->Param1Source, Variant(2));
    EXPECT_EQ(cmd.c->Param1Value, Variant(3));
    EXPECT_EQ(cmd.c->Param2Value, Variant("4"));
    EXPECT_EQ(cmd.c->Time, Variant("Second"));
    EXPECT_EQ(cmd.c->Speed, Variant("Beep"));
    EXPECT_EQ(cmd.c->PicCaption(1), QStringLiteral("C  old"));
}

TEST_F(MotorFrameTest, OkMarksTheModuleChangedAndAQuoteInACommentBecomesASingleQuote)
{
    App().TaskList().Item("Main")->Dirty = False;
    Cmd cmd("A_REM");
    MotorFrame& f = open(cmd);
    QString written;
    f.Written = [&](clsCommand& c) { written = c.KeyText(); };
    f.txtRem.Text = QStringLiteral("say \"hi\"");
    EXPECT_TRUE(f.cmdOkMotor_Click());
    EXPECT_EQ(cmd.c->Param1Value, Variant("say 'hi'"));
    EXPECT_EQ(written, QStringLiteral("A_REM"));
    EXPECT_EQ(App().TaskList().Item("Main")->Dirty, True);
}

}  // namespace

namespace {

// The limits the frame and the check share: what the frame takes at a limit
// compiles, and one step past it the frame refuses in the words the check
// uses for a command that holds such a value (a file or a named value
// changed since may bring one in without the frame).
TEST_F(MotorFrameTest, TheFrameAndTheCheckDrawEachSharedLimitInOnePlace)
{
    using Enter = std::function<void(MotorFrame&, const QString&)>;
    const Enter speed = [](MotorFrame& f, const QString& v) {
        f.chkMotor[0].Value = 1;
        f.cmbSpeed.Type(v);
    };
    const Enter display = [](MotorFrame& f, const QString& v) { f.cmbSpeed.Type(v); };
    const Enter tone = [](MotorFrame& f, const QString& v) {
        f.cmbSound.Type(QStringLiteral("440"));
        f.cmbSound_KeyPress();
        f.cmbTimeCount.Type(v);
        SelectComboItem(f.cmbTime, QStringLiteral("Hundredth"));
    };
    const Enter seconds = [](MotorFrame& f, const QString& v) {
        f.chkMotor[0].Value = 1;
        f.setChkTime(0);
        f.cmbTimeCount.Type(v);
        SelectComboItem(f.cmbTime, QStringLiteral("Second"));
    };
    struct Case {
        const char* name;
        const char* key;
        Enter enter;
        const char* atLimit;
        const char* past;
        Cmd holding;  // the value past the limit, as the frame would have written it
        const char* refusal;
    };
    const Case cases[] = {
        {"motor speed", "M_SETPWR", speed, "7", "8", Cmd("M_SETPWR").motors("0").p2(2, "8"),
         "Speed must be between 0 to 7"},
        {"display", "G_DISPLAY", display, "6", "7", Cmd("G_DISPLAY").p1(2, "7"), "RCX display must be between 0 to 6"},
        {"tone's duration", "G_SOUND", tone, "255", "256", Cmd("G_SOUND").speed("440").p1(2, 256).time("Hundredth"),
         "Sound duration can't be more then 2.55 seconds"},
        {"wait", "M_ON", seconds, "327", "328", Cmd("M_ON").motors("0").p1(2, 328).time("Second"), "Too much time"},
        {"negative wait", "M_ON", seconds, "0", "-1", Cmd("M_ON").motors("0").p1(2, -1).time("Second"),
         "Time can't be negative!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cmd at(c.key);
        MotorFrame& f = open(at);
        c.enter(f, QString::fromLatin1(c.atLimit));
        presenter.shown.clear();
        ASSERT_TRUE(f.cmdOkMotor_Click()) << presenter.texts().join(QLatin1Char('|')).toStdString();
        listingOf(at.c);
        EXPECT_TRUE(compiled) << compileError.toStdString();

        MotorFrame& g = open(Cmd(c.key));
        c.enter(g, QString::fromLatin1(c.past));
        EXPECT_FALSE(g.cmdOkMotor_Click());
        EXPECT_EQ(presenter.texts(), QStringList{QString::fromLatin1(c.refusal)});
        EXPECT_EQ(CheckCommand(App(), *c.holding.c, ModuleKind::Task),
                  QStringLiteral(" -> ERROR: ") + QString::fromLatin1(c.refusal));
    }
}

}  // namespace
