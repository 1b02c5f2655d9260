// Checking commands before they are compiled, typed parameters, and the
// value a name stands for.
#include "CompilerFixture.h"

#include "compiler/CommandCheck.h"
#include "model/TaskFile.h"

#include <QTemporaryDir>

namespace {

class CheckCommandTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        connectMotor(1);  // only B is connected
        addObject("Count", 0, 0, 2);
        addObject("Limit", 100, 50);
        addObject("Bumper", 9, 0, 0);
        addObject("S. type 1", 10, 0, 0);
        addObject("Motor state B", 3, 192, 1);
        addObject("Near", 220, -5, 0, -1);
        addTask("Drive", 1);
        addSub("Blink", 1);
    }
};

struct CheckCase {
    const char* name;
    Cmd command;
    Long kind;
    const char* expected;
};

TEST_F(CheckCommandTest, TextsOfTheCheck)
{
    const CheckCase cases[] = {
        {"motor without list", Cmd("M_ON"), 1, " -> ERROR: No motor list !"},
        {"motor on B passes", Cmd("M_ON").motors("1"), 1, ""},
        {"last unconnected port of 02 is named", Cmd("M_FWD").motors("02"), 1,
         " -> ERROR: Nothing connected to output port C"},
        {"unconnected port before a connected one", Cmd("M_OFF").motors("01"), 1,
         " -> ERROR: Nothing connected to output port A"},
        {"IF missing its second value", Cmd("L_IF").p1(0, "Count").p2(2, -1), 1,
         " -> ERROR: Missing command details !"},
        {"VAR missing a source", Cmd("L_VAR").p1(0, "Count").p2(-1, "3"), 1,
         " -> ERROR: Missing command details !"},
        {"WHILE on a typed range", Cmd("L_WHILE").p1(0, "Count").p2(230, "1_5").op(2), 1,
         " -> ERROR: Range can't be used in WHILE !"},
        {"WHILE on a named range", Cmd("L_WHILE").p1(0, "Count").p2(220, "Band").op(2), 1,
         " -> ERROR: Range can't be used in WHILE !"},
        {"LOOP with nothing chosen", Cmd("L_LOOP"), 1, " -> ERROR: Missing command details !"},
        {"LOOP with Infinite loop passes", Cmd("L_LOOP").p1(2, "Infinite loop"), 1, ""},
        {"DATALOG without source", Cmd("L_DATALOG").p1(-1, "Count"), 1,
         " -> ERROR: Missing command details !"},
        {"SENDMESS typed value passes", Cmd("L_SENDMESS").p1(2, "7"), 1, ""},
        {"START without task", Cmd("L_START"), 1, " -> ERROR: Missing command details !"},
        {"START of an unknown task", Cmd("L_START").p1(2, "Nowhere"), 1,
         " -> ERROR: Undefined task: Nowhere! -"},
        {"task names compare exactly", Cmd("L_START").p1(2, "drive"), 1,
         " -> ERROR: Undefined task: drive! -"},
        {"STOP program passes without a task", Cmd("L_STOP").p1(2, "Stop program"), 1, ""},
        {"STOP of a known task", Cmd("L_STOP").p1(2, "Drive"), 1, ""},
        {"SUB in a sub's own grid", Cmd("L_SUB").p1(2, "Blink"), 5,
         " -> ERROR: SUB cannot be called from another SUB!"},
        {"SUB inside an IF body of a sub", Cmd("L_SUB").p1(2, "Blink"), 2, ""},
        {"SUB unset in a sub", Cmd("L_SUB"), 5, " -> ERROR: Missing command details !"},
        {"SUB unknown in a sub", Cmd("L_SUB").p1(2, "Nope"), 5, " -> ERROR: Undefined sub: Nope!"},
        {"ZERO unset", Cmd("L_ZERO").p1(9, -1), 1, " -> ERROR: Missing command details !"},
        {"SENTYPE without type", Cmd("L_SENTYPE").p1(9, "Bumper"), 1,
         " -> ERROR: Missing command details !"},
        {"WAIT without a time unit", Cmd("G_WAIT").p1(2, 5), 1, " -> ERROR: Time Parameter is 0 !"},
        {"WAIT in seconds passes", Cmd("G_WAIT").p1(2, 5).time("Second"), 1, ""},
        {"TXPOWER unset", Cmd("G_TXPOWER"), 1, " -> ERROR: Power not selected !"},
        {"DISPLAY unset", Cmd("G_DISPLAY"), 1, " -> ERROR: Display not selected !"},
        {"WATCH without minutes", Cmd("G_WATCH").p1(-1, 10), 1, " -> ERROR: Missing command details !"},
        {"SOUND without sound", Cmd("G_SOUND"), 1, " -> ERROR: Missing command details !"},
        {"PBOFF has no check", Cmd("G_PBOFF"), 1, ""},
        {"REM has no check", Cmd("A_REM"), 1, ""},
        {"deleted variable", Cmd("L_IF").p1(0, "Gone").p2(2, "1").op(0), 1, "-> ERROR: Undefined var: Gone"},
        {"deleted constant as second operand", Cmd("L_IF").p1(0, "Count").p2(100, "Old").op(0), 1,
         "-> ERROR: Undefined constant: Old"},
        {"deleted sensor", Cmd("L_ZERO").p1(9, "Eye"), 1, "-> ERROR: Undefined sensor: Eye"},
        {"sensor type of an empty port", Cmd("L_DATALOG").p1(11, "S. mode 3"), 1,
         "-> ERROR: Nothing connected to sensor port: S. mode 3"},
        {"deleted motor item", Cmd("L_DATALOG").p1(3, "Motor state C"), 1,
         "-> ERROR: Undefined motor: Motor state C"},
        {"raw value of an empty port", Cmd("L_IF").p1(12, "S. Raw value 2").p2(2, "1").op(0), 1,
         "-> ERROR: Nothing connected to sensor port: S. Raw value 2"},
        {"boolean value of an empty port", Cmd("L_VAR").op(8).p1(0, "Count").p2(13, "S. Boolean 3"), 1,
         "-> ERROR: Nothing connected to sensor port: S. Boolean 3"},
        {"a timer the project does not have", Cmd("L_ZERO").p1(1, "Timer 9"), 1,
         "-> ERROR: Undefined timer: Timer 9"},
        {"a timer it has", Cmd("L_ZERO").p1(1, "Timer 2"), 1, ""},
        {"deleted range", Cmd("L_IF").p1(0, "Count").p2(220, "Band").op(4), 1, "-> ERROR: Undefined range: Band"},
        {"a range that is there", Cmd("L_IF").p1(0, "Count").p2(220, "Near").op(4), 1, ""},
        {"a typed range names nothing", Cmd("L_IF").p1(0, "Count").p2(230, "1_5").op(4), 1, ""},
        {"motor command with a deleted duration variable", Cmd("M_ON").motors("1").p1(0, "Old").time("Tenth"),
         1, "-> ERROR: Undefined var: Old"},
        {"names found without regard to case", Cmd("L_IF").p1(0, "count").p2(100, "LIMIT").op(0), 1, ""},
        // Tested group by group: the variable's test comes before the constant's.
        {"missing constant first, missing variable second", Cmd("L_IF").p1(100, "Old").p2(0, "Gone").op(0),
         1, "-> ERROR: Undefined var: Gone"},
        {"sensor group before variables", Cmd("L_IF").p1(0, "Gone").p2(9, "Eye").op(0), 1,
         "-> ERROR: Undefined sensor: Eye"},
    };
    for (const CheckCase& c : cases)
        EXPECT_EQ(CheckCommand(*c.command.c, c.kind), QString::fromLatin1(c.expected)) << c.name;
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(CheckCommandTest, ConversionFailureShowsMessageAndPasses)
{
    // A time unit that is neither a name nor a number can't be converted.
    Cmd wait = Cmd("G_WAIT").p1(2, 5).time("Fortnight");
    EXPECT_EQ(CheckCommand(*wait.c, 1), QString());
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Error:Type mismatch"));
    EXPECT_EQ(presenter.shown[0].style, 48);
}

TEST_F(CheckCommandTest, MotorPortOutsideTheBrickShowsMessage)
{
    Cmd on = Cmd("M_ON").motors("5");
    EXPECT_EQ(CheckCommand(*on.c, 1), QString());
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Error:Subscript out of range"));
}

struct ValidateCase {
    const char* text;
    const char* key;
    int projectType;
    bool expected;
};

TEST_F(CompilerTest, ValidateParamRanges)
{
    const ValidateCase cases[] = {
        {"", "M_SETPWR", 0, false},
        {"-5", "M_SETPWR", 0, false},
        {" 7 ", "M_SETPWR", 0, true},
        {"8", "M_SETPWR", 0, false},
        {"-", "M_SETPWR", 0, true},  // a lone minus reads as 0
        {"   ", "M_SETPWR", 0, true},
        {"\t5", "M_SETPWR", 0, false},  // only blanks are trimmed
        {"5\n", "M_SETPWR", 0, false},
        {"1.5", "M_SETPWR", 0, false},
        {"5-", "G_WAIT", 0, false},
        {"0", "G_WAIT", 0, false},
        {"32767", "G_WAIT", 0, true},
        {"7", "G_DISPLAY", 0, false},
        {"6", "G_DISPLAY", 0, true},
        {"255", "L_LOOP", 0, true},
        {"256", "L_SENDMESS", 0, false},
        {"-32768", "integer", 0, false},
        {"-32767", "integer", 0, true},
        {"-32768", "L_IF", 0, true},
        {"32768", "L_VAR", 0, false},
        {"65000", "L_IF", 0, false},
        {"65000", "L_IF", 1, true},
        {"65001", "L_WHILE", 1, false},
        {"99999", "", 0, true},
        {"12a", "", 0, false},
        {"--1", "", 0, false},
    };
    for (const ValidateCase& c : cases) {
        App().ProjectType = Integer(c.projectType);
        EXPECT_EQ(ValidateParam(QString::fromLatin1(c.text), QString::fromLatin1(c.key)), c.expected)
            << '"' << c.text << "\" " << c.key << " type " << c.projectType;
    }
    EXPECT_FALSE(ValidateParam(Variant(), QStringLiteral("L_IF")));
    EXPECT_TRUE(ValidateParam(Variant(5), QStringLiteral("M_SETPWR")));
}

TEST_F(CompilerTest, ResolveValueOfNamesNumbersAndNothing)
{
    EXPECT_EQ(ResolveValue(QStringLiteral("Second")), 100);
    EXPECT_EQ(ResolveValue(QStringLiteral("tenth")), 10);
    EXPECT_EQ(ResolveValue(QStringLiteral("250")), 250);
    EXPECT_EQ(ResolveValue(Variant(440)), 440);
    EXPECT_EQ(ResolveValue(Variant()), 0);
    EXPECT_EQ(ResolveValueCopy(QStringLiteral("Hundredth")), 1);
    try {
        ResolveValue(QStringLiteral("Fortnight"));
        FAIL() << "a text that is no name and no number must fail";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), Err::TypeMismatch);
    }
}

// A typed -1 keeps its kind through the task file: read back, it is still a
// value, and a never-edited command's -1 is still the unset marker.
TEST_F(CheckCommandTest, ATypedMinusOneStillCompilesAfterASaveAndARead)
{
    QTemporaryDir data;
    App().DataFolder = data.path();
    App().RcxSetup->ProjectName = QStringLiteral("Robot");
    TaskPtr task = App().TaskList.Item(QStringLiteral("Drive"));
    Cmd::place(*task->Commands(), 0, {Cmd("L_IF").p1(0, "Count").op(3).p2(2, "-1"), Cmd("L_IF").p1(0, "Count").op(3)});
    QDir().mkpath(ProjectFolderPath());
    ASSERT_TRUE(SaveTask(*task));

    auto again = std::make_shared<clsTask>();
    again->Name = task->Name;
    App().CurrentTask = again;
    App().TaskList.Remove(task->Name);
    ASSERT_TRUE(ReadTask(*again, 0));
    const auto& grid = *App().TaskList.Item(QStringLiteral("Drive"))->Commands();
    ASSERT_EQ(grid.Count(), 2);
    EXPECT_EQ(grid.Item(QStringLiteral("0001"))->Param2Value, Variant(QStringLiteral("-1")));
    EXPECT_EQ(CheckCommand(*grid.Item(QStringLiteral("0001")), 1), QString());
    EXPECT_EQ(CheckCommand(*grid.Item(QStringLiteral("0002")), 1), QStringLiteral(" -> ERROR: Missing command details !"));
}

}  // namespace
