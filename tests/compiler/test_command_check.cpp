// Checking commands before they are compiled, typed parameters, and the
// value a name stands for; operands against what the brick takes.
#include "CompilerFixture.h"

#include "compiler/CommandCheck.h"
#include "compiler/Translate.h"
#include "link/protocol/RcxLink.h"
#include "link/vbrick/InProcessTower.h"
#include "model/TaskFile.h"
#include "support/LinkPorts.h"

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
        EXPECT_EQ(CheckCommand(App(), *c.command.c, c.kind), QString::fromLatin1(c.expected)) << c.name;
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(CheckCommandTest, ConversionFailureShowsMessageAndPasses)
{
    // A time unit that is neither a name nor a number can't be converted.
    Cmd wait = Cmd("G_WAIT").p1(2, 5).time("Fortnight");
    EXPECT_EQ(CheckCommand(App(), *wait.c, 1), QString());
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Error:Type mismatch"));
    EXPECT_EQ(presenter.shown[0].style, 48);
}

TEST_F(CheckCommandTest, MotorPortOutsideTheBrickShowsMessage)
{
    Cmd on = Cmd("M_ON").motors("5");
    EXPECT_EQ(CheckCommand(App(), *on.c, 1), QString());
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
        App().SetProjectType(ProjectTypeOfNumber(Integer(c.projectType)));
        EXPECT_EQ(ValidateParam(App(), QString::fromLatin1(c.text), QString::fromLatin1(c.key)), c.expected)
            << '"' << c.text << "\" " << c.key << " type " << c.projectType;
    }
    EXPECT_FALSE(ValidateParam(App(), Variant(), QStringLiteral("L_IF")));
    EXPECT_TRUE(ValidateParam(App(), Variant(5), QStringLiteral("M_SETPWR")));
}

TEST_F(CompilerTest, ResolveValueOfNamesNumbersAndNothing)
{
    EXPECT_EQ(ResolveValue(App().ObjectList(), QStringLiteral("Second")), 100);
    EXPECT_EQ(ResolveValue(App().ObjectList(), QStringLiteral("tenth")), 10);
    EXPECT_EQ(ResolveValue(App().ObjectList(), QStringLiteral("250")), 250);
    EXPECT_EQ(ResolveValue(App().ObjectList(), Variant(440)), 440);
    EXPECT_EQ(ResolveValue(App().ObjectList(), Variant()), 0);
    EXPECT_EQ(ResolveValue(App().ObjectList(), QStringLiteral("Hundredth")), 1);
    try {
        ResolveValue(App().ObjectList(), QStringLiteral("Fortnight"));
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
    App().SetProjectName(QStringLiteral("Robot"));
    TaskPtr task = App().TaskList().Item(QStringLiteral("Drive"));
    Cmd::place(*task->Commands(), 0, {Cmd("L_IF").p1(0, "Count").op(3).p2(2, "-1"), Cmd("L_IF").p1(0, "Count").op(3)});
    QDir().mkpath(ProjectFolderPath());
    ASSERT_TRUE(SaveTask(*task));

    auto again = std::make_shared<clsTask>();
    again->Name = task->Name;
    App().CurrentTask = again;
    App().RemoveTask(task->Name);
    ASSERT_TRUE(ReadTask(*again, 0));
    const auto& grid = *App().TaskList().Item(QStringLiteral("Drive"))->Commands();
    ASSERT_EQ(grid.Count(), 2);
    EXPECT_EQ(grid.Item(QStringLiteral("0001"))->Param2Value, Variant(QStringLiteral("-1")));
    EXPECT_EQ(CheckCommand(App(), *grid.Item(QStringLiteral("0001")), 1), QString());
    EXPECT_EQ(CheckCommand(App(), *grid.Item(QStringLiteral("0002")), 1), QStringLiteral(" -> ERROR: Missing command details !"));
}

// The modules the link reports done, with their errors.
struct DoneLog : IPhantomEvents {
    QStringList events;
    void PB_CommError(const QString&) override {}
    void PB_DownloadStart(Long, Long, Long) override {}
    void PB_DownloadProgress(Long) override {}
    void PB_DownloadDone(Long e, Long n) override { events.append(QStringLiteral("Done %1 %2").arg(e).arg(n)); }
};

// A project whose commands are checked against what the brick takes, and
// sent, when they pass, through the link into brick code.
class BoundsTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        connectMotor(0);
        App().EditSensor(0, [&](clsSensor& s) { s.setSensorType(1); });
        addObject("Count", 0, 0, 2);
        addObject("Bumper", 9, 0, 0);
        addObject("Big", 100, 300);
        addObject("Eight", 100, 8);
        addObject("Many", 100, 400);
        addObject("Motor state A", 3, 192, 0);
        link.setEventSink(&log);
    }

    // The command alone in task 1, through the link: whether it was stored.
    bool sendsWhole(const Cmd& command)
    {
        CommandCollection grid;
        Cmd::place(grid, 0, {command});
        App().Ports = &ports;
        log.events.clear();
        Integer task = 1;
        link.BeginOfTask(task);
        const bool walked = DLCommands(App(), &grid, ModuleKind::Task, CompileMode::Download, 0, QString(), 0);
        link.EndOfTask();
        App().Ports = &pb;
        return walked && log.events == QStringList{"Done 0 1"} &&
               !brick.taskCode(0, 1).isEmpty();
    }

    vbrick::SoftRcx brick;
    vbrick::InProcessTower tower{brick};
    RcxLink link{tower};
    LinkPorts ports{link};
    DoneLog log;
};

struct Edge {
    const char* name;
    Cmd command;
    const char* refusal;  // "" when it passes
};

// Every operand the brick takes in a byte or a bounded range, at its edges:
// the largest and the smallest constant it takes pass the check and go down
// whole; one past either is refused at the check with the frame's message.
TEST_F(BoundsTest, EveryBoundedOperandAtItsEdges)
{
    const char* const invalid = " -> ERROR: Invalid value";
    const char* const missing = " -> ERROR: Missing command details !";
    const char* const speed = " -> ERROR: Speed must be between 0 to 7";
    const char* const display = " -> ERROR: RCX display must be between 0 to 6";
    const char* const tone = " -> ERROR: Sound duration can't be more then 2.55 seconds";
    const char* const negative = " -> ERROR: Time can't be negative!";
    const char* const tooMuch = " -> ERROR: Too much time";
    const auto power = [](const Variant& source, const Variant& value) {
        return Cmd("M_SETPWR").motors("0").p2(source.toLong(), value);
    };
    const auto message = [](int source, const Variant& value) { return Cmd("L_SENDMESS").p1(source, value); };
    const auto watch = [](int h, int m) { return Cmd("G_WATCH").p1(-1, h).p2(-1, m); };
    const auto loop = [](int source, const Variant& count) { return Cmd("L_LOOP").p1(source, count); };
    const auto toneOf = [](const Variant& count, const char* unit) {
        return Cmd("G_SOUND").speed("440").p1(2, count).time(unit);
    };
    const auto wait = [](int source, const Variant& count, const char* unit) {
        return Cmd("G_WAIT").p1(source, count).time(unit);
    };
    // The brick tests a range as value > low - 1 and value < high + 1.
    const char* const inWhile = " -> ERROR: Range can't be used in WHILE !";
    const auto range = [](const char* key, int source, const char* value) {
        return Cmd(key).p1(0, "Count").op(4).p2(source, QString::fromLatin1(value));
    };
    addObject("Widest", 220, -32767, 0, 32766);
    addObject("Lowest", 220, -32768, 0, 5);
    addObject("Highest", 220, 5, 0, 32767);
    const Edge cases[] = {
        {"power 7", power(2, "7"), ""},
        {"power 8", power(2, "8"), speed},
        {"power 0", power(2, "0"), ""},
        {"power -1", power(2, "-1"), speed},
        {"power of a constant of 8", power(100, "Eight"), speed},
        {"random power up to 7", power(4, 7), ""},
        {"random power up to 8", power(4, 8), speed},
        {"power never chosen", Cmd("M_SETPWR").motors("0"), speed},
        {"display 6", Cmd("G_DISPLAY").p1(2, "6"), ""},
        {"display 7", Cmd("G_DISPLAY").p1(2, "7"), display},
        {"display 0", Cmd("G_DISPLAY").p1(130, "Display normal"), ""},
        {"display -1", Cmd("G_DISPLAY").p1(2, "-1"), display},
        {"transmitter long", Cmd("G_TXPOWER").p1(210, "Long"), ""},
        {"transmitter 2", Cmd("G_TXPOWER").p1(2, "2"), invalid},
        {"transmitter short", Cmd("G_TXPOWER").p1(210, "Short"), ""},
        {"transmitter -1", Cmd("G_TXPOWER").p1(2, "-1"), invalid},
        {"system sound 0", Cmd("G_SOUND").speed("Click"), ""},
        {"system sound -1", Cmd("G_SOUND").speed("-1"), invalid},
        {"tone of 32767 Hz", Cmd("G_SOUND").speed("32767").p1(2, 1).time("Hundredth"), ""},
        {"tone of 32768 Hz", Cmd("G_SOUND").speed("32768").p1(2, 1).time("Hundredth"), invalid},
        {"tone of 255 hundredths", toneOf(255, "Hundredth"), ""},
        {"tone of 256 hundredths", toneOf(256, "Hundredth"), tone},
        {"tone of 300 hundredths", toneOf(3, "Second"), tone},
        {"tone of no time", toneOf(0, "Tenth"), ""},
        {"tone of -1 hundredths", toneOf(-1, "Hundredth"), negative},
        {"tone of a constant of 300 tenths", Cmd("G_SOUND").speed("440").p1(100, "Big").time("Tenth"), tone},
        {"clock 23:59", watch(23, 59), ""},
        {"clock 24:00", watch(24, 0), invalid},
        {"clock 0:60", watch(0, 60), invalid},
        {"clock 0:00", watch(0, 0), ""},
        {"clock -1:00", watch(-1, 0), missing},  // -1 is what a command never edited holds
        {"clock -2:00", watch(-2, 0), invalid},
        {"clock 0:-2", watch(0, -2), invalid},
        {"message 255", message(2, "255"), ""},
        {"message 256", message(2, "256"), invalid},
        {"message 298", message(2, 298), invalid},
        {"message 0", message(2, "0"), ""},
        {"message -3", message(2, "-3"), invalid},
        {"message of a constant of 300", message(100, "Big"), invalid},
        {"message of a variable", message(0, "Count"), ""},
        {"message of a sensor", message(9, "Bumper"), invalid},
        {"datalog of a motor item", Cmd("L_DATALOG").p1(3, "Motor state A"), ""},
        {"datalog of a constant", Cmd("L_DATALOG").p1(100, "Big"), invalid},
        {"loop 32767 times", loop(2, "32767"), ""},
        {"loop 32768 times", loop(2, "32768"), invalid},
        {"loop -32768 times", loop(2, "-32768"), ""},
        {"loop -32769 times", loop(2, "-32769"), invalid},
        {"random loop up to 255", loop(4, 255), ""},
        {"random loop up to 256", loop(4, 256), invalid},
        {"random loop up to 300", loop(4, 300), invalid},
        {"IF with 32767", Cmd("L_IF").p1(0, "Count").op(0).p2(2, "32767"), ""},
        {"IF with 32768", Cmd("L_IF").p1(0, "Count").op(0).p2(2, "32768"), invalid},
        {"IF with -32768 first", Cmd("L_IF").p1(2, "-32768").op(1).p2(0, "Count"), ""},
        {"IF with -32769 first", Cmd("L_IF").p1(2, "-32769").op(1).p2(0, "Count"), invalid},
        {"WHILE with 32768", Cmd("L_WHILE").p1(9, "Bumper").op(1).p2(2, "32768"), invalid},
        {"IF in -32767 to 32766", range("L_IF", 230, "-32767_32766"), ""},
        {"IF in -32768 to 5", range("L_IF", 230, "-32768_5"), invalid},
        {"IF in 5 to 32767", range("L_IF", 230, "5_32767"), invalid},
        {"IF in -32768 to 32767", range("L_IF", 230, "-32768_32767"), invalid},
        {"IF in a range without its _", range("L_IF", 230, "5"), invalid},
        {"IF in a named -32767 to 32766", range("L_IF", 220, "Widest"), ""},
        {"IF in a named -32768 to 5", range("L_IF", 220, "Lowest"), invalid},
        {"IF in a named 5 to 32767", range("L_IF", 220, "Highest"), invalid},
        {"WHILE in 5 to 32767", range("L_WHILE", 230, "5_32767"), inWhile},
        {"WHILE in a named -32768 to 5", range("L_WHILE", 220, "Lowest"), inWhile},
        {"VAR with 32767", Cmd("L_VAR").op(0).p1(0, "Count").p2(2, "32767"), ""},
        {"VAR with -32769", Cmd("L_VAR").op(8).p1(0, "Count").p2(2, "-32769"), invalid},
        {"wait of 32767 hundredths", wait(2, 32767, "Hundredth"), ""},
        {"wait of 32768 hundredths", wait(2, 32768, "Hundredth"), tooMuch},
        {"wait of 328 seconds", wait(2, 328, "Second"), tooMuch},
        {"wait of a constant of 400 seconds", wait(100, "Many", "Second"), tooMuch},
        {"wait of 0", wait(2, 0, "Second"), ""},
        {"wait of -1", wait(2, -1, "Second"), negative},
        {"random wait up to 32767", wait(4, 32767, "Hundredth"), ""},
        {"random wait up to -1", wait(4, -1, "Hundredth"), negative},
        {"motor for 327 seconds", Cmd("M_ON").motors("0").p1(2, 327).time("Second"), ""},
        {"motor for 328 seconds", Cmd("M_ON").motors("0").p1(2, 328).time("Second"), tooMuch},
    };
    for (const Edge& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.shown.clear();
        EXPECT_EQ(CheckCommand(App(), *c.command.c, ModuleKind::Task), QString::fromLatin1(c.refusal));
        if (!*c.refusal) {
            EXPECT_TRUE(sendsWhole(c.command));
        }
        EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join(QLatin1Char('|')).toStdString();
    }
}

// A Joystick & Keyboard project sends the brick only what it carries out at
// once: those operands are bounded, a loop or a message runs on the PC.
TEST_F(BoundsTest, AJoystickProjectBoundsOnlyWhatTheBrickCarriesOut)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    EXPECT_EQ(CheckCommand(App(), *Cmd("M_SETPWR").motors("0").p2(2, "8").c, ModuleKind::Task),
              QStringLiteral(" -> ERROR: Speed must be between 0 to 7"));
    EXPECT_EQ(CheckCommand(App(), *Cmd("G_SOUND").speed("440").p1(2, 256).time("Hundredth").c, ModuleKind::Task),
              QStringLiteral(" -> ERROR: Sound duration can't be more then 2.55 seconds"));
    EXPECT_EQ(CheckCommand(App(), *Cmd("L_LOOP").p1(2, "300").c, ModuleKind::Task), QString());
    EXPECT_EQ(CheckCommand(App(), *Cmd("L_SENDMESS").p1(2, "300").c, ModuleKind::Task), QString());
    EXPECT_EQ(CheckCommand(App(), *Cmd("L_IF").p1(0, "Count").op(0).p2(2, "65000").c, ModuleKind::Task), QString());
    // The PC compares with a range's bounds themselves, read as shorts.
    addObject("Over", 220, 0, 0, 32768);
    const struct {
        int source;
        const char* value;
        const char* refusal;
    } ranges[] = {
        {230, "-32768_32767", ""},
        {230, "0_65000", " -> ERROR: Invalid value"},
        {230, "-32769_0", " -> ERROR: Invalid value"},
        {220, "Over", " -> ERROR: Invalid value"},
    };
    for (const auto& r : ranges) {
        SCOPED_TRACE(r.value);
        const Cmd c = Cmd("L_IF").p1(0, "Count").op(4).p2(r.source, QString::fromLatin1(r.value));
        EXPECT_EQ(CheckCommand(App(), *c.c, ModuleKind::Task), QString::fromLatin1(r.refusal));
    }
}

struct ScratchCase {
    const char* name;
    Cmd command;
    int scratch;  // the compiler's variable the command writes, -1 for none
};

// Variables 0 and 1 are the compiler's scratch: a command that writes one of
// them is refused while a user variable has its number, and names it; with
// the variable numbered from 2, or without such a command, all passes.
TEST_F(BoundsTest, AUserVariableOnACompilerScratchVariable)
{
    addObject("Motor speed C", 3, 7, 2);
    const ScratchCase cases[] = {
        {"motor item first", Cmd("L_IF").p1(3, "Motor state A").op(2).p2(110, "Motor-on"), 1},
        {"motor item second", Cmd("L_WHILE").p1(0, "Count").op(1).p2(3, "Motor speed C"), 0},
        {"motor item logged", Cmd("L_DATALOG").p1(3, "Motor speed C"), 1},
        {"sensor added", Cmd("L_VAR").op(0).p1(0, "Count").p2(9, "Bumper"), 0},
        {"random multiplied", Cmd("L_VAR").op(3).p1(0, "Count").p2(4, 10), 0},
        {"sensor set", Cmd("L_VAR").op(8).p1(0, "Count").p2(9, "Bumper"), -1},
        {"loop 256 times", Cmd("L_LOOP").p1(2, "256"), 0},
        {"loop of a constant of 300", Cmd("L_LOOP").p1(100, "Big"), 0},
        {"loop -1 times", Cmd("L_LOOP").p1(2, "-2"), 0},
        {"loop 255 times", Cmd("L_LOOP").p1(2, "255"), -1},
        {"loop for ever", Cmd("L_LOOP").p1(2, "Infinite loop"), -1},
        {"random first", Cmd("L_IF").p1(4, 10).op(0).p2(0, "Count"), 1},
        {"random second", Cmd("L_IF").p1(0, "Count").op(0).p2(4, 10), 0},
        {"random against a constant", Cmd("L_WHILE").p1(4, 10).op(0).p2(2, "5"), 0},
        {"random in a range", Cmd("L_IF").p1(4, 10).op(4).p2(230, "2_5"), 0},
        {"variable against a constant", Cmd("L_IF").p1(0, "Count").op(0).p2(2, "5"), -1},
        {"motor on", Cmd("M_ON").motors("0"), -1},
    };
    for (const ScratchCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int number : {0, 1}) {
            addObject("Low", 0, 0, number);
            const QString expected =
                c.scratch == number
                    ? QStringLiteral(" -> ERROR: Variable Low has number %1, which the compiler uses for this "
                                     "command: give the variable another number (define it again)")
                          .arg(number)
                    : QString();
            EXPECT_EQ(CheckCommand(App(), *c.command.c, ModuleKind::Task), expected) << number;
            App().RemoveObject(QStringLiteral("Low"));
        }
        EXPECT_EQ(CheckCommand(App(), *c.command.c, ModuleKind::Task), QString()) << "no variable on 0 or 1";
    }
    // A Joystick & Keyboard project runs on the PC: no scratch variables.
    App().SetProjectType(ProjectType::JoystickKeyboard);
    addObject("Low", 0, 0, 1);
    EXPECT_EQ(CheckCommand(App(), *cases[0].command.c, ModuleKind::Task), QString());
    EXPECT_TRUE(presenter.shown.isEmpty());
}

}  // namespace
