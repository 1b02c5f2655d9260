// The logic frame without widgets: its lists and layout per key, loading a
// command, the operator label, the random limit of the second value, the
// checks of its Ok with their messages and focus, and what the compiler then
// lists.
#include "support/ProjectSetup.h"
#include "FrameFixture.h"

#include "desktop/core/LogicFrame.h"

namespace {

class LogicFrameTest : public FrameTest {
protected:
    LogicFrame& open(const Cmd& cmd, bool expectOpen = true)
    {
        frame = std::make_unique<LogicFrame>(App(), names);
        frame->ParentTaskName = QStringLiteral("Main");
        EXPECT_EQ(frame->Open(cmd.c), expectOpen);
        return *frame;
    }
    static QStringList headings(const FrameCombo& c)
    {
        QStringList t;
        for (const auto& i : c.Items)
            if (i.IsHeading())
                t.append(i.Text);
        return t;
    }
    static QStringList values(const FrameCombo& c)
    {
        QStringList t;
        for (const auto& i : c.Items)
            if (!i.IsHeading())
                t.append(i.Text);
        return t;
    }
    std::unique_ptr<LogicFrame> frame;
};

const QString nl = QStringLiteral("\r\n");

TEST_F(LogicFrameTest, ListsAndLayoutPerKey)
{
    struct Case {
        const char* key;
        QStringList shown;
        const char* label;  // lblG's caption when shown
        bool openWindow;
    };
    const Case cases[] = {
        {"L_IF", {"lblOperator", "cmbParam1", "cmbParam2"}, "", true},
        {"L_WHILE", {"lblOperator", "cmbParam1", "cmbParam2"}, "", true},
        {"L_LOOP", {"cmbVar2", "lblG"}, "Times", true},
        {"L_START", {"cmbTaskAndOp", "lblG"}, "Task name", false},
        {"L_STOP", {"cmbTaskAndOp", "lblG"}, "Task name", false},
        {"L_SUB", {"cmbTaskAndOp", "lblG"}, "Sub name", false},
        {"L_VAR", {"cmbTaskAndOp", "cmbVar1", "cmbVar2", "lblG"}, "To", false},
        {"L_ZERO", {"cmbParam1", "lblG"}, "Select sensor", false},
        {"L_DATALOG", {"cmbParam1", "lblG"}, "Select object", false},
        {"L_SENDMESS", {"cmbParam1", "lblG"}, "Select object", false},
        {"L_SENTYPE", {"cmbTaskAndOp", "cmbVar1", "lblG1", "lblG2"}, "", false},
        {"L_SENMODE", {"cmbTaskAndOp", "cmbVar1", "lblG1", "lblG2"}, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        LogicFrame& f = open(Cmd(c.key));
        const std::pair<const char*, bool> visible[] = {
            {"lblOperator", f.lblOperator.Visible}, {"cmbParam1", f.cmbParam1.Visible},
            {"cmbParam2", f.cmbParam2.Visible},     {"cmbTaskAndOp", f.cmbTaskAndOp.Visible},
            {"cmbVar1", f.cmbVar1.Visible},         {"cmbVar2", f.cmbVar2.Visible},
            {"lblG", f.lblG.Visible},               {"lblG1", f.lblG1.Visible},
            {"lblG2", f.lblG2.Visible},
        };
        QStringList shown;
        for (const auto& v : visible)
            if (v.second)
                shown.append(QString::fromLatin1(v.first));
        EXPECT_EQ(shown, c.shown);
        if (*c.label) {
            EXPECT_EQ(f.lblG.Caption, QString::fromLatin1(c.label));
        }
        EXPECT_EQ(f.cmdOkOpenLogic.Visible, c.openWindow);
        // A new command opens with ">" and nothing chosen.
        EXPECT_EQ(f.lblOperator.Caption, QStringLiteral(">"));
        EXPECT_EQ(f.lblOperator.Tag, QStringLiteral("0"));
        // What shows stays inside the frame.
        for (const FrameGeometry* g : {static_cast<FrameGeometry*>(&f.lblG), static_cast<FrameGeometry*>(&f.cmbVar1),
                                       static_cast<FrameGeometry*>(&f.cmbVar2), static_cast<FrameGeometry*>(&f.cmbTaskAndOp)})
            EXPECT_LE(g->Left + g->Width, LogicFrame::FrameWidth + 1);
    }
    EXPECT_EQ(open(Cmd("L_SENTYPE")).lblG1.Caption, QStringLiteral("Set type to"));
    EXPECT_EQ(open(Cmd("L_SENMODE")).lblG1.Caption, QStringLiteral("Set mode to"));

    LogicFrame& iff = open(Cmd("L_IF"));
    // In the comparison order; a project without motors, joysticks or keys shows none of them.
    EXPECT_EQ(headings(iff.cmbParam1),
              QStringList({"Sensors", "Timers", "Variables", "Constants", "Clock", "RCX message", "System constants"}));
    EXPECT_EQ(headings(iff.cmbParam2), headings(iff.cmbParam1));
    EXPECT_EQ(values(open(Cmd("L_START")).cmbTaskAndOp), QStringList({"Main", "Second"}));
    EXPECT_EQ(values(open(Cmd("L_STOP")).cmbTaskAndOp), QStringList({"Main", "Second", "Stop program"}));
    EXPECT_EQ(values(open(Cmd("L_SUB")).cmbTaskAndOp), QStringList({"Blink"}));
    LogicFrame& var = open(Cmd("L_VAR"));
    EXPECT_EQ(values(var.cmbTaskAndOp), App().VarOpCaption);
    EXPECT_EQ(var.cmbTaskAndOp.Items[9].Tag, QStringLiteral("8"));
    EXPECT_EQ(values(var.cmbVar1), QStringList({"Count", "Delay"}));
    EXPECT_EQ(headings(open(Cmd("L_LOOP")).cmbVar2), QStringList({"Variables", "Constants", "Random", "Constant"}));
    EXPECT_EQ(values(open(Cmd("L_SENTYPE")).cmbVar1), QStringList({"No sensor", "Touch sensor", "Temperature sensor", "Light sensor", "Rotation sensor"}));
    EXPECT_EQ(values(open(Cmd("L_SENMODE")).cmbVar1).value(0), QStringLiteral("Raw"));
}

TEST_F(LogicFrameTest, JoystickProjectHasNoTimerHeading)
{
    RemoveAllObjects();
    App().SetProjectType(ProjectType::JoystickKeyboard);
    BuildJoystickObjects();
    EXPECT_FALSE(headings(open(Cmd("L_IF")).cmbParam1).contains(QStringLiteral("Timers")));
}

TEST_F(LogicFrameTest, OperatorLabelCycles)
{
    LogicFrame& f = open(Cmd("L_IF"));
    f.cmbParam2.Type(QStringLiteral("Band"));
    QStringList symbols;
    QStringList firstHeadings;
    for (int i = 0; i < 5; ++i) {
        f.lblOperator_Click();
        symbols.append(f.lblOperator.Caption);
        firstHeadings.append(headings(f.cmbParam2).value(0));
        // The text stays through both refills: selected when the new list has it.
        EXPECT_EQ(f.cmbParam2.Text, QStringLiteral("Band"));
    }
    EXPECT_EQ(symbols, QStringList({"<", "=", "#", "{..}", ">"}));
    EXPECT_EQ(firstHeadings, QStringList({"Sensors", "Sensors", "Sensors", "Range", "Sensors"}));
    EXPECT_EQ(f.lblOperator.ToolTipText, App().CompareCaption[0]);

    LogicFrame& w = open(Cmd("L_WHILE"));
    symbols.clear();
    for (int i = 0; i < 8; ++i) {
        w.lblOperator_Click();
        symbols.append(w.lblOperator.Caption);
    }
    EXPECT_EQ(symbols, QStringList({"<", "=", "#", ">", "<", "=", "#", ">"}));

    // A double click is two steps.
    LogicFrame& d = open(Cmd("L_IF"));
    d.lblOperator_Click();
    d.lblOperator_DblClick();
    EXPECT_EQ(d.lblOperator.Caption, QStringLiteral("="));
    EXPECT_EQ(d.lblOperator.Tag, QStringLiteral("2"));
}

TEST_F(LogicFrameTest, StoredCommandsOpenAsStored)
{
    LogicFrame& range = open(Cmd("L_IF").p1(9, "Eye").op(4).p2(220, "Band"));
    EXPECT_EQ(range.lblOperator.Caption, QStringLiteral("{..}"));
    EXPECT_EQ(headings(range.cmbParam2), QStringList({"Range"}));
    EXPECT_EQ(range.cmbParam2.SelectedItem()->Text, QStringLiteral("Band"));
    EXPECT_EQ(range.cmbParam1.SelectedItem()->Text, QStringLiteral("Eye"));
    range.lblOperator_Click();
    EXPECT_EQ(range.lblOperator.Caption, QStringLiteral(">"));

    LogicFrame& typed = open(Cmd("L_IF").p1(1, "Timer 1").op(2).p2(2, "-1"));
    EXPECT_EQ(typed.cmbParam2.Text, QStringLiteral("-1"));
    EXPECT_EQ(typed.lblOperator.Caption, QStringLiteral("="));

    // A WHILE carrying the range shows it and goes on at ">" with the next click.
    LogicFrame& w = open(Cmd("L_WHILE").p1(9, "Eye").op(4).p2(220, "Band"));
    EXPECT_EQ(w.lblOperator.Caption, QStringLiteral("{..}"));
    w.lblOperator_Click();
    EXPECT_EQ(w.lblOperator.Caption, QStringLiteral(">"));

    LogicFrame& var = open(Cmd("L_VAR").p1(0, "Count").op(3).p2(4, 20));
    EXPECT_EQ(var.cmbTaskAndOp.Text, QStringLiteral("MULTIPLY"));
    EXPECT_EQ(var.cmbVar1.Text, QStringLiteral("Count"));
    EXPECT_EQ(var.cmbVar2.Text, QStringLiteral("Random number"));
    EXPECT_EQ(var.RandomLimit, 20);
    EXPECT_TRUE(var.UpdateLogicObject(*var.Command));
    EXPECT_EQ(var.Command->Param2Value, Variant(20));

    LogicFrame& loop = open(Cmd("L_LOOP").p1(100, "Deleted"));
    EXPECT_EQ(loop.cmbVar2.Text, QStringLiteral("Deleted"));
    EXPECT_TRUE(presenter.shown.isEmpty());

    // A task deleted since: the list takes no typed text; the frame still opens.
    open(Cmd("L_START").p1(2, "Gone"));
    EXPECT_EQ(presenter.texts(), QStringList{"No such object"});
    EXPECT_EQ(open(Cmd("L_SENTYPE").p1(9, "Eye").p2(140, "Light sensor")).cmbVar1.Text, QStringLiteral("Light sensor"));
}

TEST_F(LogicFrameTest, RandomSecondValueLimitDependsOnTheCommand)
{
    LogicFrame& loop = open(Cmd("L_LOOP"));
    auto choose = [](FrameCombo& c) { c.Choose(c.IndexOfText(QStringLiteral("Random number"))); };
    presenter.inputs = QStringList{QStringLiteral("255")};
    choose(loop.cmbVar2);
    loop.cmbVar2_Click();
    EXPECT_EQ(presenter.prompts.last(), QStringLiteral("Type a number between 1 to 255"));
    EXPECT_EQ(loop.RandomLimit, 255);
    presenter.inputs = QStringList{QStringLiteral("256")};
    loop.cmbVar2_Click();
    EXPECT_EQ(presenter.texts(), QStringList{"Invalid value"});
    EXPECT_EQ(loop.RandomLimit, 255);

    LogicFrame& var = open(Cmd("L_VAR"));
    presenter.inputs = QStringList{QStringLiteral("32767")};
    choose(var.cmbVar2);
    var.cmbVar2_Click();
    EXPECT_EQ(presenter.prompts.last(), QStringLiteral("Type a number between 1 to 32767"));
    EXPECT_EQ(var.RandomLimit, 32767);
}

TEST_F(LogicFrameTest, OperationSetsTheWordBeforeTheValue)
{
    LogicFrame& f = open(Cmd("L_VAR"));
    const char* words[9] = {"", "", "With", "With", "Of", "Of", "With", "With", "To"};
    for (int code = 0; code <= 8; ++code) {
        f.lblG.Caption = QStringLiteral("before");
        f.cmbTaskAndOp.Choose(code + 1);
        f.cmbTaskAndOp_Click();
        EXPECT_EQ(f.lblG.Caption, QString::fromLatin1(words[code])) << code;
    }
    f.lblG.Caption = QStringLiteral("before");
    f.cmbTaskAndOp.Choose(0);  // the heading
    f.cmbTaskAndOp_Click();
    EXPECT_EQ(f.lblG.Caption, QStringLiteral("before"));
    EXPECT_TRUE(f.cmbTaskAndOp.DropDownAgain);
}

TEST_F(LogicFrameTest, OkChecksGiveTheirMessageAndFocus)
{
    struct Case {
        const char* name;
        const char* key;
        std::function<void(LogicFrame&)> edit;
        QString message;
        QString focus;
    };
    auto cmp = [](const char* a, int clicks, const char* b) {
        return [=](LogicFrame& f) {
            for (int i = 0; i < clicks; ++i)
                f.lblOperator_Click();
            SelectComboItem(f.cmbParam1, QString::fromLatin1(a));
            SelectComboItem(f.cmbParam2, QString::fromLatin1(b));
        };
    };
    auto var2 = [](const char* v) { return [=](LogicFrame& f) { SelectComboItem(f.cmbVar2, QString::fromLatin1(v)); }; };
    auto p1 = [](const char* v) { return [=](LogicFrame& f) { SelectComboItem(f.cmbParam1, QString::fromLatin1(v)); }; };
    auto setVar = [](const char* op, const char* var, const char* value) {
        return [=](LogicFrame& f) {
            if (*op)
                SelectComboItem(f.cmbTaskAndOp, QString::fromLatin1(op));
            if (*var)
                SelectComboItem(f.cmbVar1, QString::fromLatin1(var));
            SelectComboItem(f.cmbVar2, QString::fromLatin1(value));
        };
    };
    const Case cases[] = {
        {"if empty", "L_IF", cmp("Eye", 0, ""), "Wrong value", ""},
        {"if typed first", "L_IF", cmp("5", 0, "Count"), "", ""},
        {"if typed -1", "L_IF", cmp("Timer 1", 2, "-1"), "", ""},
        {"if out of range", "L_IF", cmp("Eye", 0, "32768"), "Invalid value", "cmbParam2"},
        {"if first word", "L_IF", cmp("nothing", 0, "1"), "Invalid value", "cmbParam1"},
        {"if range object with >", "L_IF", cmp("Eye", 0, "Band"), "Invalid object for this operation", "cmbParam2"},
        {"if variable with range", "L_IF", cmp("Eye", 4, "Count"), "Invalid object for this operation", "cmbParam2"},
        {"if typed range", "L_IF", cmp("Eye", 4, "10 3"), "", ""},
        {"if letters as range", "L_IF", cmp("Eye", 4, "abc"), "Invalid range", "cmbParam2"},
        {"loop empty", "L_LOOP", var2(""), "Wrong value", ""},
        {"loop 255", "L_LOOP", var2("255"), "", ""},
        {"loop 256", "L_LOOP", var2("256"), "Invalid value", "cmbVar2"},
        {"loop infinite", "L_LOOP", var2("Infinite loop"), "", ""},
        {"start nothing chosen", "L_START", nullptr, "Wrong value", ""},
        {"start heading", "L_START", [](LogicFrame& f) { f.cmbTaskAndOp.Choose(0); }, "Wrong value", ""},
        {"var empty", "L_VAR", setVar("ADD", "", "5"), "Wrong value", ""},
        {"var out of range", "L_VAR", setVar("ADD", "Count", "40000"), "Invalid value", "cmbVar2"},
        {"var typed -1", "L_VAR", setVar("SET VALUE", "Count", "-1"), "", ""},
        {"var variable gone", "L_VAR",
         [&](LogicFrame& f) {
             setVar("ADD", "Count", "5")(f);
             App().RemoveObject(QStringLiteral("Count"));
         },
         "No such object", "cmbVar1"},
        {"zero typed", "L_ZERO", p1("3"), "Invalid value for this command! Please select from the list", ""},
        {"datalog typed", "L_DATALOG", p1("3"), "Invalid value for this command! Please select from the list", ""},
        {"sendmess 255", "L_SENDMESS", p1("255"), "", ""},
        {"sendmess 256", "L_SENDMESS", p1("256"), "Invalid value", "cmbParam1"},
        {"sendmess empty", "L_SENDMESS", p1(""), "Wrong value", ""},
        {"sentype no sensor", "L_SENTYPE", nullptr, "Invalid value", "cmbTaskAndOp"},
        {"sentype no type", "L_SENTYPE", [](LogicFrame& f) { SelectComboItem(f.cmbTaskAndOp, "Eye"); },
         "Invalid value", "cmbVar1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogicFrame& f = open(Cmd(c.key));
        if (c.edit)
            c.edit(f);
        presenter.shown.clear();
        f.Focus.clear();
        EXPECT_EQ(f.cmdOkLogic_Click(), c.message.isEmpty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join(QLatin1Char('|')).toStdString();
            continue;
        }
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, c.message);
        EXPECT_EQ(presenter.shown[0].style, 48);
        EXPECT_EQ(f.Focus, c.focus);
    }
}

TEST_F(LogicFrameTest, OkWritesWhatTheCompilerLists)
{
    struct Case {
        const char* name;
        const char* key;
        std::function<void(LogicFrame&)> edit;
        Variant p1s, p1v, p2s, p2v;
        int op;
        QStringList listing;
    };
    const Case cases[] = {
        {"if timer = typed -1", "L_IF",
         [](LogicFrame& f) {
             SelectComboItem(f.cmbParam1, "timer 1");
             f.lblOperator_Click();
             f.lblOperator_Click();
             f.cmbParam2.Type("-1");
         },
         1, "Timer 1", 2, "-1", 2, {" .If 1,0,2,2,-1", " .Else", " .EndIf"}},
        {"if eye in typed range", "L_IF",
         [](LogicFrame& f) {
             SelectComboItem(f.cmbParam1, "Eye");
             for (int i = 0; i < 4; ++i)
                 f.lblOperator_Click();
             f.cmbParam2.Type("10 to 3");
         },
         9, "Eye", 230, "3_10", 4,
         {" .If 9,1,0,2,2", "\t .If 9,1,1,2,11", "\t .Else", "\t .EndIf", " .Else", " .EndIf"}},
        {"loop 10", "L_LOOP", [](LogicFrame& f) { f.cmbVar2.Type("10"); }, 2, "10", -1, -1, -1, {" .Loop 2,10", " .EndLoop"}},
        {"loop random", "L_LOOP",
         [](LogicFrame& f) {
             SelectComboItem(f.cmbVar2, "Random number");
             f.RandomLimit = 9;
         },
         4, 9, -1, -1, -1, {" .Loop 4,9", " .EndLoop"}},
        {"set value -1", "L_VAR",
         [](LogicFrame& f) {
             SelectComboItem(f.cmbTaskAndOp, "SET VALUE");
             SelectComboItem(f.cmbVar1, "Count");
             f.cmbVar2.Type("-1");
         },
         0, "Count", 2, "-1", 8, {" .SetVar 4,2,-1"}},
        {"start second", "L_START", [](LogicFrame& f) { SelectComboItem(f.cmbTaskAndOp, "Second"); }, 2, "Second",
         -1, -1, -1, {" .StartTask 2"}},
        {"sub", "L_SUB", [](LogicFrame& f) { SelectComboItem(f.cmbTaskAndOp, "Blink"); }, 2, "Blink", -1, -1, -1, {" .GoSub 1"}},
        {"sendmess typed", "L_SENDMESS", [](LogicFrame& f) { f.cmbParam1.Type("7"); }, 2, "7", -1, -1, -1, {" .SendPBMessage 2,7"}},
        {"while eye < count", "L_WHILE",
         [](LogicFrame& f) {
             SelectComboItem(f.cmbParam1, "Eye");
             f.lblOperator_Click();
             SelectComboItem(f.cmbParam2, "Count");
         },
         9, "Eye", 0, "Count", 1, {" .While 9,1,1,0,4", " .EndWhile"}},
        {"stop program", "L_STOP", [](LogicFrame& f) { SelectComboItem(f.cmbTaskAndOp, "Stop program"); }, 2,
         "Stop program", -1, -1, -1, {" .StopAllTasks"}},
        {"zero timer", "L_ZERO", [](LogicFrame& f) { SelectComboItem(f.cmbParam1, "Timer 2"); }, 1, "Timer 2", -1,
         -1, -1, {" .ClearTimer 1"}},
        {"datalog count", "L_DATALOG", [](LogicFrame& f) { SelectComboItem(f.cmbParam1, "Count"); }, 0, "Count", -1,
         -1, -1, {" .DatalogNext 0,4"}},
        {"senmode", "L_SENMODE",
         [](LogicFrame& f) {
             SelectComboItem(f.cmbTaskAndOp, "Eye");
             SelectComboItem(f.cmbVar1, "Percentage");
         },
         9, "Eye", 150, "Percentage", -1, {" .PB.SetSensorMode 1,4,0"}},
        {"sentype", "L_SENTYPE",
         [](LogicFrame& f) {
             SelectComboItem(f.cmbTaskAndOp, "Eye");
             SelectComboItem(f.cmbVar1, "Light sensor");
         },
         9, "Eye", 140, "Light sensor", -1, {" .PB.SetSensorType 1,3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cmd cmd(c.key);
        LogicFrame& f = open(cmd);
        c.edit(f);
        ASSERT_TRUE(f.cmdOkLogic_Click()) << presenter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(cmd.c->Param1Source, c.p1s);
        EXPECT_EQ(cmd.c->Param1Value, c.p1v);
        EXPECT_EQ(cmd.c->Param2Source, c.p2s);
        EXPECT_EQ(cmd.c->Param2Value, c.p2v);
        EXPECT_EQ(cmd.c->Op, c.op);
        const QStringList lines = listingOf(cmd.c);
        EXPECT_TRUE(compiled) << compileError.toStdString();
        EXPECT_EQ(lines, c.listing) << lines.join(QLatin1Char('|')).toStdString();
    }
}

TEST_F(LogicFrameTest, CancelAfterAFailedOkRestoresTheCommand)
{
    Cmd cmd("L_IF");
    cmd.p1(9, "Eye").op(1).p2(2, "5").caption("Eye");
    LogicFrame& f = open(cmd);
    SelectComboItem(f.cmbParam1, QStringLiteral("Timer 1"));
    f.cmbParam2.Type(QStringLiteral("Band"));  // a range with "=": refused after the first operand was written
    f.lblOperator_Click();
    EXPECT_FALSE(f.cmdOkLogic_Click());
    EXPECT_EQ(cmd.c->Param1Value, Variant("Timer 1"));
    f.cmdCancelLogic_Click();
    EXPECT_EQ(cmd.c->Param1Source, Variant(9));
    EXPECT_EQ(cmd.c->Param1Value, Variant("Eye"));
    EXPECT_EQ(cmd.c->Param2Source, Variant(2));
    EXPECT_EQ(cmd.c->Param2Value, Variant("5"));
    EXPECT_EQ(cmd.c->Op, 1);
    EXPECT_EQ(cmd.c->PicCaption(1), QStringLiteral("Eye"));
}

TEST_F(LogicFrameTest, ANameTypedInAnotherCaseIsStoredAsTheObjectHasIt)
{
    Cmd cmd("L_IF");
    LogicFrame& f = open(cmd);
    f.cmbParam1.Type(QStringLiteral("EYE"));
    f.cmbParam2.Type(QStringLiteral("count"));
    ASSERT_TRUE(f.cmdOkLogic_Click());
    EXPECT_EQ(cmd.c->Param1Value, Variant("Eye"));
    EXPECT_EQ(cmd.c->Param2Value, Variant("Count"));
    EXPECT_EQ(cmd.c->Param2Source, Variant(0));
    EXPECT_EQ(cmd.c->PicCaption(1), "Eye" + nl + "is Greater than " + nl + "Count");
}

}  // namespace
