// Translating one grid into listing lines and control operations, and the
// resolution of operands.
#include "CompilerFixture.h"

#include "compiler/CompileContext.h"
#include "compiler/Translate.h"

namespace {

class TranslateTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        connectMotor(0);
        connectMotor(2);
        addObject("Count", 0, 0, 4);
        addObject("Eye", 9, 0, 1);
        addObject("Motor state A", 3, 192, 0);
        addObject("Motor speed C", 3, 7, 2);
        addObject("Motor direction C", 3, 8, 2);
        addObject("Band", 220, 10, 0, 20);
        addObject("Limit", 100, 50);
    }

    // The grid of one task (column 0 from row 1) in listing lines, without
    // tabs' meaning lost: the lines as written.
    QStringList listing(const std::vector<Cmd>& cmds, std::optional<Integer> loop = 0,
                        Long kind = ModuleKind::Task)
    {
        CommandCollection grid;
        Cmd::place(grid, 0, cmds);
        compile.ListingText.clear();
        lastResult = DLCommands(App(), &grid, kind, CompileMode::Listing, loop, QStringLiteral("Main"), 0, &compile);
        QStringList lines = compile.ListingText.split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.takeLast(), QString());
        return lines;
    }
    QStringList download(const std::vector<Cmd>& cmds, std::optional<Integer> loop = 0,
                         Long kind = ModuleKind::Task)
    {
        CommandCollection grid;
        Cmd::place(grid, 0, cmds);
        pb.clearCalls();
        lastResult = DLCommands(App(), &grid, kind, CompileMode::Download, loop, QString(), 0);
        return pb.calls();
    }

    bool lastResult = false;
    // The compile the listings are written to.
    CompileContext compile{App()};
};

TEST_F(TranslateTest, ListingLineFormat)
{
    compile.BlockDepth = 1;
    ListingLine(compile, QString(), ".SetPower", "01", 2, 7);
    compile.BlockDepth = 0;
    ListingLine(compile, QStringLiteral("'***  "), "Main", "   ***");
    ListingLine(compile, QStringLiteral(" "));
    ListingLine(compile, QString(), ".EndOfTask");
    EXPECT_EQ(compile.ListingText,
              QStringLiteral("\t .SetPower 01,2,7\r\n'***   Main    ***\r\n \r\n .EndOfTask\r\n"));
}

// A line comes out whole whatever its length: texts of every length up to
// several hundred letters, at depths up to more tabs than a line's own text,
// with numbers, a Variant and a word beyond ASCII after them.
TEST_F(TranslateTest, LinesOfAnyLengthComeOutWhole)
{
    for (int depth : {0, 3, 250}) {
        for (int length = 0; length <= 420; ++length) {
            const QString text(length, QLatin1Char('x'));
            compile.ListingText = QStringLiteral("before\r\n");
            compile.BlockDepth = Integer(depth);
            ListingLine(compile, text, ".If", Variant(QStringLiteral("Gr\u00fc\u00dfe")), 2, -7.5, "Gr\xc3\xbc\xc3\x9f");
            const QString expected = QStringLiteral("before\r\n") + QString(depth, QLatin1Char('\t')) + text +
                                     QStringLiteral(" .If Gr\u00fc\u00dfe,2,-7.5,Gr\u00fc\u00df\r\n");
            ASSERT_EQ(compile.ListingText, expected) << "depth " << depth << ", length " << length;
        }
    }
    compile.BlockDepth = 0;
}

TEST_F(TranslateTest, JoystickProjectWritesNoListing)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    compile.ListingText = QStringLiteral("kept");
    ListingLine(compile, QStringLiteral("'"), "x", 1, 2);
    EXPECT_EQ(compile.ListingText, QStringLiteral("kept"));
}

TEST_F(TranslateTest, EmptyGridWithAndWithoutLoop)
{
    EXPECT_EQ(listing({}), QStringList());
    EXPECT_TRUE(lastResult);
    EXPECT_EQ(download({}), QStringList());

    compile.BlockDepth = 3;  // a looping module starts its listing at depth 0
    EXPECT_EQ(listing({}, 1), (QStringList{" .LOOP  2,0", " .EndLoop"}));
    EXPECT_EQ(compile.BlockDepth, 0);
    EXPECT_EQ(download({}, 1), (QStringList{"Loop(L2, 0)", "EndLoop()"}));
    // Block bodies never loop, whatever flag they are given.
    EXPECT_EQ(listing({}, 1, ModuleKind::LoopBody), QStringList());
}

TEST_F(TranslateTest, GapEndsTheColumn)
{
    CommandCollection grid;
    Cmd::place(grid, 0, {Cmd("M_ON").motors("0")});
    Cmd::place(grid, 0, {Cmd("M_OFF").motors("0").op(1), Cmd("M_ON")}, 3);  // row 3 after a gap; the last would fail its check
    Cmd::place(grid, 1, {Cmd("M_FWD").motors("2")});
    compile.ListingText.clear();
    EXPECT_TRUE(DLCommands(App(), &grid, ModuleKind::Task, CompileMode::Listing, 0, QStringLiteral("Main"), 0, &compile));
    EXPECT_EQ(compile.ListingText, QStringLiteral(" .On 0\r\n .SetFwd 2\r\n"));
    pb.clearCalls();
    EXPECT_TRUE(DLCommands(App(), &grid, ModuleKind::Task, CompileMode::Download, 0, QString(), 0));
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"0\")", "SetFwd(\"2\")"}));
}

TEST_F(TranslateTest, WaitAfterMotorCommands)
{
    EXPECT_EQ(download({Cmd("M_ON").motors("0").p1(2, 100)}), (QStringList{"On(\"0\")"}));
    EXPECT_EQ(download({Cmd("M_ON").motors("0").p1(2, 100).time(5)}),
              (QStringList{"On(\"0\")", "Wait(L2, 500)"}));
    EXPECT_EQ(download({Cmd("M_RWD").motors("0").p1(0, "Count").time("Tenth")}),
              (QStringList{"SetRwd(\"0\")", "Wait(L0, 4)"}));
    EXPECT_EQ(download({Cmd("M_ALTDIR").motors("0").p1(4, 70).time("Hundredth")}),
              (QStringList{"AlterDir(\"0\")", "Wait(L4, 70)"}));
    EXPECT_EQ(download({Cmd("G_WAIT").p1(100, "Limit").time("Second")}), (QStringList{"Wait(L2, 5000)"}));
    EXPECT_EQ(listing({Cmd("G_WAIT").p1(2, "3").time("Tenth")}), (QStringList{" .Wait 2,30"}));
    // Sounds take their duration themselves.
    EXPECT_EQ(download({Cmd("G_SOUND").speed("440").p1(2, 50).time("Hundredth")}),
              (QStringList{"PlayTone(440, 50)"}));
}

TEST_F(TranslateTest, SystemSoundsBelowSixTonesAbove)
{
    EXPECT_EQ(download({Cmd("G_SOUND").speed(5)}), (QStringList{"PlaySystemSound(5)"}));
    EXPECT_EQ(download({Cmd("G_SOUND").speed("Rapid sound")}), (QStringList{"PlaySystemSound(5)"}));
    EXPECT_EQ(download({Cmd("G_SOUND").speed(6).p1(2, 20).time("Hundredth")}), (QStringList{"PlayTone(6, 20)"}));
    EXPECT_EQ(listing({Cmd("G_SOUND").speed("Beep")}), (QStringList{" .PlaySystemSound 1"}));
}

TEST_F(TranslateTest, MotorItemsLoadScratchVariables)
{
    // State of A against the system constant Motor-on.
    Cmd test = Cmd("L_IF").p1(3, "Motor state A").op(2).p2(110, "Motor-on");
    EXPECT_EQ(download({test}),
              (QStringList{"SetVar(1, L3, 0)", "AndVar(1, L2, 192)", "If(L0, 1, 2, L2, 128)", "Else()", "EndIf()"}));
    EXPECT_EQ(listing({test}),
              (QStringList{" .SetVar 1,3,0 'from Compiler", " .AndVar 1,2,192 'from Compiler", " .If 0,1,2,2,128",
                           " .Else", " .EndIf"}));
    // A motor item as second operand goes into variable 0, untagged.
    EXPECT_EQ(download({Cmd("L_WHILE").p1(1, "Timer 1").op(1).p2(3, "Motor direction C")}),
              (QStringList{"SetVar(0, L3, 2)", "AndVar(0, L2, 8)", "While(L1, 0, 1, L0, 0)", "EndWhile()"}));
}

TEST_F(TranslateTest, DatalogTagsMotorItems)
{
    EXPECT_EQ(download({Cmd("L_DATALOG").p1(3, "Motor speed C")}),
              (QStringList{"SetVar(1, L3, 2)", "AndVar(1, L2, 7)", "OrVar(1, L2, 0)", "OrVar(1, L2, 2048)",
                           "DatalogNext(L0, 1)"}));
    EXPECT_EQ(download({Cmd("L_DATALOG").p1(3, "Motor direction C")}),
              (QStringList{"SetVar(1, L3, 2)", "AndVar(1, L2, 8)", "OrVar(1, L2, 256)", "OrVar(1, L2, 2048)",
                           "DatalogNext(L0, 1)"}));
    EXPECT_EQ(listing({Cmd("L_DATALOG").p1(3, "Motor state A")}),
              (QStringList{" .SetVar 1,3,0 'from Compiler", " .AndVar 1,2,192 'from Compiler",
                           " .OrVar 1,2,512 'from Compiler", " .OrVar 1,2,0 'from Compiler", " .DatalogNext 0,1"}));
}

TEST_F(TranslateTest, ArithmeticReadsBrickSourcesThroughVariableZero)
{
    EXPECT_EQ(download({Cmd("L_VAR").op(0).p1(0, "Count").p2(9, "Eye")}),
              (QStringList{"SetVar(0, L9, 1)", "SumVar(4, L0, 0)"}));
    EXPECT_EQ(download({Cmd("L_VAR").op(8).p1(0, "Count").p2(9, "Eye")}), (QStringList{"SetVar(4, L9, 1)"}));
    EXPECT_EQ(download({Cmd("L_VAR").op(3).p1(0, "Count").p2(14, "Current time")}),
              (QStringList{"SetVar(0, L14, 0)", "MulVar(4, L0, 0)"}));
    EXPECT_EQ(download({Cmd("L_VAR").op(7).p1(0, "Count").p2(4, 9)}),
              (QStringList{"SetVar(0, L4, 9)", "OrVar(4, L0, 0)"}));
    EXPECT_EQ(download({Cmd("L_VAR").op(2).p1(0, "Count").p2(100, "Limit")}), (QStringList{"DivVar(4, L2, 50)"}));
    EXPECT_EQ(listing({Cmd("L_VAR").op(1).p1(0, "Count").p2(1, "Timer 3")}),
              (QStringList{" .SetVar 0,1,2 'from Compiler", " .SubVar 4,0,0"}));
    // A VAR without an operation writes its odd line and sends nothing.
    EXPECT_EQ(download({Cmd("L_VAR").p1(0, "Count").p2(2, "1")}), QStringList());
    EXPECT_EQ(listing({Cmd("L_VAR").p1(0, "Count").p2(2, "1")}), (QStringList{" In VAR Command"}));
}

TEST_F(TranslateTest, EveryVariableOperationListsWhatItSends)
{
    // The listing word of each operation names the operation the download sends.
    const char* sent[] = {"SumVar", "SubVar", "DivVar", "MulVar", "SgnVar", "AbsVar", "AndVar", "OrVar", "SetVar"};
    for (int op = 0; op <= 8; ++op) {
        Cmd var = Cmd("L_VAR").op(op).p1(0, "Count").p2(2, "3");
        const QString name = QString::fromLatin1(sent[op]);
        EXPECT_EQ(download({var}), (QStringList{name + QStringLiteral("(4, L2, 3)")})) << "op " << op;
        EXPECT_EQ(listing({var}), (QStringList{QStringLiteral(" .") + name + QStringLiteral(" 4,2,3")})) << "op " << op;
    }
}

TEST_F(TranslateTest, OperandResolution)
{
    struct Case {
        const char* name;
        Cmd command;
        Variant p1src, p1val, p2src, p2val;
    };
    const Case cases[] = {
        {"named range", Cmd("L_IF").p1(0, "Count").op(4).p2(220, "Band"), 0, 4, 230, "10_20"},
        {"infinite loop", Cmd("L_LOOP").p1(2, "Infinite loop"), 2, 0, -1, -1},
        {"typed constant", Cmd("L_LOOP").p1(2, "12"), 2, "12", -1, -1},
        {"clock and message", Cmd("L_IF").p1(14, "Current time").op(0).p2(15, "RCX message"), 14, 0, 15, 0},
        {"display name", Cmd("G_DISPLAY").p1(130, "Display sensor 2"), 2, 2, -1, -1},
        {"transmit power first", Cmd("G_TXPOWER").p1(210, "Long"), 2, 1, -1, -1},
        {"transmit power second", Cmd("L_IF").p1(2, "1").op(2).p2(210, "Long"), 2, "1", 2, 1},
        {"sensor type and mode", Cmd("L_SENMODE").p1(9, "Eye").p2(150, "Celsius"), 9, 1, 2, 5},
        {"random stays", Cmd("L_LOOP").p1(4, 30), 4, 30, -1, -1},
        // A missing name is kept; a missing motor item still becomes variable 1.
        {"missing variable", Cmd("L_IF").p1(0, "Gone").op(0).p2(2, "1"), 0, "Gone", 2, "1"},
        {"missing motor item", Cmd("L_IF").p1(3, "Motor speed B").op(0).p2(3, "Gone"), 0, 1, 0, 0},
        {"missing system constant", Cmd("L_IF").p1(2, "1").op(0).p2(110, "Motor-sideways"), 2, "1", 2,
         "Motor-sideways"},
    };
    for (const Case& c : cases) {
        Variant a, b, d, e;
        pb.clearCalls();
        ResolveOperands(App(), *c.command.c, a, b, d, e, CompileMode::Download);
        EXPECT_EQ(a, c.p1src) << c.name;
        EXPECT_EQ(b, c.p1val) << c.name;
        EXPECT_EQ(d, c.p2src) << c.name;
        EXPECT_EQ(e, c.p2val) << c.name;
    }
    // Only the existing object of the last case's pair was loaded... none here.
    EXPECT_EQ(pb.calls(), QStringList());
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(TranslateTest, ResolutionFailureShowsItsDescriptionAndKeepsTheOperands)
{
    // The control fails while the motor item is being loaded: the operands
    // stay as they were when it failed, the rest of the loading is not sent.
    pb.failOperation(QStringLiteral("AndVar"), Err::DeviceUnavailable, 1);
    Cmd item = Cmd("L_DATALOG").p1(3, "Motor speed C");
    Variant a, b, d, e;
    ResolveOperands(App(), *item.c, a, b, d, e, CompileMode::Download);
    EXPECT_EQ(pb.calls(), (QStringList{"SetVar(1, L3, 2)", "AndVar(1, L2, 7)"}));
    EXPECT_EQ(a, Variant(3));
    EXPECT_EQ(b, Variant("Motor speed C"));
    EXPECT_EQ(presenter.texts(), (QStringList{"Device unavailable"}));
    EXPECT_EQ(presenter.shown[0].style, 48);
}

TEST_F(TranslateTest, OtherModesEmitNothing)
{
    Cmd item = Cmd("L_DATALOG").p1(3, "Motor speed C");
    Variant a, b, d, e;
    ResolveOperands(App(), *item.c, a, b, d, e, 2);
    EXPECT_EQ(a, Variant(0));
    EXPECT_EQ(b, Variant(1));
    CommandCollection grid;
    Cmd::place(grid, 0, {item, Cmd("M_ON").motors("0")});
    compile.ListingText.clear();
    EXPECT_TRUE(DLCommands(App(), &grid, ModuleKind::Task, 2, 1, QString(), 0));
    EXPECT_EQ(pb.calls(), QStringList());
    EXPECT_EQ(compile.ListingText, QString());
}

TEST_F(TranslateTest, IfBodiesAndElse)
{
    // An empty body still has its Else; the bodies run one level deeper.
    EXPECT_EQ(listing({Cmd("L_IF").p1(0, "Count").op(0).p2(2, "3")}),
              (QStringList{" .If 0,4,0,2,3", " .Else", " .EndIf"}));
    EXPECT_EQ(listing({Cmd("L_IF").p1(0, "Count").op(3).p2(2, "3").body({Cmd("M_ON").motors("0")})
                           .orElse({Cmd("M_OFF").motors("0").op(1)})}),
              (QStringList{" .If 0,4,3,2,3", "\t .On 0", " .Else", "\t .Off 0", " .EndIf"}));
    // A body that was never created is walked as an empty one.
    EXPECT_EQ(download({Cmd("L_IF").p1(0, "Count").op(0).p2(2, "3").noBody()}),
              (QStringList{"If(L0, 4, 0, L2, 3)", "Else()", "EndIf()"}));
    EXPECT_TRUE(lastResult);
    EXPECT_EQ(download({Cmd("L_LOOP").p1(2, "3").noBody()}), (QStringList{"Loop(L2, 3)", "EndLoop()"}));
}

TEST_F(TranslateTest, RangeIfWalksTheElseColumnTwice)
{
    Cmd range = Cmd("L_IF").p1(9, "Eye").op(4).p2(230, "10_20").body({Cmd("M_ON").motors("0")})
                    .orElse({Cmd("M_OFF").motors("0")});
    EXPECT_EQ(download({range}),
              (QStringList{"If(L9, 1, 0, L2, 9)", "If(L9, 1, 1, L2, 21)", "On(\"0\")", "Else()", "Float(\"0\")",
                           "EndIf()", "Else()", "Float(\"0\")", "EndIf()"}));
    EXPECT_EQ(listing({range}),
              (QStringList{" .If 9,1,0,2,9", "\t .If 9,1,1,2,21", "\t\t .On 0", "\t .Else", "\t\t .Float 0",
                           "\t .EndIf", " .Else", "\t .Float 0", " .EndIf"}));
    EXPECT_EQ(compile.BlockDepth, 0);
    // A named range and a negative one.
    EXPECT_EQ(download({Cmd("L_IF").p1(0, "Count").op(4).p2(220, "Band")}),
              (QStringList{"If(L0, 4, 0, L2, 9)", "If(L0, 4, 1, L2, 21)", "Else()", "EndIf()", "Else()", "EndIf()"}));
    EXPECT_EQ(download({Cmd("L_IF").p1(0, "Count").op(4).p2(230, "-5_-2")}),
              (QStringList{"If(L0, 4, 0, L2, -6)", "If(L0, 4, 1, L2, -1)", "Else()", "EndIf()", "Else()", "EndIf()"}));
}

TEST_F(TranslateTest, ModuleNumbersOfStartStopAndSub)
{
    addTask("Drive", 1);
    addTask("Steer", 2);
    addSub("Blink", 3);
    EXPECT_EQ(download({Cmd("L_START").p1(2, "Steer"), Cmd("L_STOP").p1(2, "Drive"),
                        Cmd("L_STOP").p1(2, "Stop program"), Cmd("L_SUB").p1(2, "Blink")}),
              (QStringList{"StartTask(&2)", "StopTask(&1)", "StopAllTasks()", "GoSub(&3)"}));
    // A name not found keeps the number of the command before.
    EXPECT_EQ(download({Cmd("L_START").p1(2, "Steer"), Cmd("L_START").p1(2, "Nowhere")}),
              (QStringList{"StartTask(&2)", "StartTask(&2)"}));
    EXPECT_EQ(download({Cmd("L_SUB").p1(2, "Nowhere")}), (QStringList{"GoSub(&0)"}));
}

TEST_F(TranslateTest, ZeroBySource)
{
    addObject("Bumper", 9, 0, 0);
    EXPECT_EQ(download({Cmd("L_ZERO").p1(9, "Bumper"), Cmd("L_ZERO").p1(1, "Timer 4"),
                        Cmd("L_ZERO").p1(15, "RCX message"), Cmd("L_ZERO").p1(0, "Count")}),
              (QStringList{"ClearSensorValue(0)", "ClearTimer(3)", "ClearPBMessage()"}));
}

// A key is read as the command it names whatever its letter case (a task
// file edited by hand may hold "m_on"): it is checked, listed and sent as
// that command, never passed over as if the cell were empty.
TEST_F(TranslateTest, AKeyInAnotherLetterCaseIsTheSameCommand)
{
    Cmd lower = Cmd("M_ON").motors("0");
    lower.c->SetKeyText(QStringLiteral("m_on"));
    EXPECT_EQ(lower.c->CommandKey, CommandKey::M_ON);
    EXPECT_EQ(download({lower}), QStringList{"On(\"0\")"});
    EXPECT_TRUE(lastResult);
    EXPECT_EQ(listing({lower}), QStringList{" .On 0"});

    Cmd unset = Cmd("M_ON");
    unset.c->SetKeyText(QStringLiteral("m_On"));
    listing({unset});
    EXPECT_FALSE(lastResult);
    EXPECT_EQ(compile.CompileError, QStringLiteral(" -> ERROR: No motor list !"));

    // A key no command has sends and lists nothing, and keeps its text.
    Cmd unknown = Cmd("M_ON").motors("0");
    unknown.c->SetKeyText(QStringLiteral("M_SPIN"));
    EXPECT_EQ(unknown.c->CommandKey, CommandKey::None);
    EXPECT_EQ(unknown.c->KeyText(), QStringLiteral("M_SPIN"));
    EXPECT_EQ(download({unknown}), QStringList());
}

TEST_F(TranslateTest, CheckFailureStopsAtTheFaultyCell)
{
    const QStringList lines =
        listing({Cmd("M_ON").motors("0"), Cmd("L_LOOP").p1(2, "2").body({Cmd("M_ON").motors("0")}), Cmd("M_ON")},
                1);
    EXPECT_FALSE(lastResult);
    // No closing line of the loop wrap.
    EXPECT_EQ(lines, (QStringList{" .LOOP  2,0", "\t .On 0", "\t .Loop 2,2", "\t\t .On 0", "\t .EndLoop"}));
    EXPECT_EQ(compile.CompileError, QStringLiteral(" -> ERROR: No motor list !"));
    EXPECT_EQ(compile.ErrorCell, QStringLiteral("0003"));
    EXPECT_TRUE(compile.CompileFailed);
    // The fault is at the module's own level: the project compile names the module.
    EXPECT_FALSE(compile.ErrorWindow.isSet());
    EXPECT_EQ(windows.createDeskTopCount, 0);
}

TEST_F(TranslateTest, ConversionFailureStopsTheWalk)
{
    // A typed value the brick can't hold.
    EXPECT_EQ(download({Cmd("M_ON").motors("0"), Cmd("L_LOOP").p1(2, "40000"), Cmd("M_ON").motors("2")}),
              (QStringList{"On(\"0\")"}));
    EXPECT_FALSE(lastResult);
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Error: Overflow in DLCommands"));
    EXPECT_EQ(presenter.shown[0].style, 16);
}

TEST_F(TranslateTest, DeviceFailureStopsWithMessage)
{
    pb.failOperation(QStringLiteral("SetFwd"), Err::DeviceUnavailable);
    EXPECT_EQ(download({Cmd("M_ON").motors("0"), Cmd("M_FWD").motors("0"), Cmd("M_ON").motors("2")}),
              (QStringList{"On(\"0\")", "SetFwd(\"0\")"}));
    EXPECT_FALSE(lastResult);
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: Device unavailable in DLCommands"}));
}

// Only the grid ends a column (an empty cell, a body that is not there): an
// operation the control refuses (5) or can't reach (91) fails the walk with
// its message, however deep, and nothing after it goes.
TEST_F(TranslateTest, AFailingOperationFailsTheWalkWhateverItsNumber)
{
    for (int number : {Err::InvalidCall, Err::ObjectNotSet}) {
        SCOPED_TRACE(number);
        presenter.shown.clear();
        pb.failOperation(QStringLiteral("On"), number, 1);
        EXPECT_EQ(download({Cmd("L_IF").p1(0, "Count").op(0).p2(2, "1")
                                .body({Cmd("M_ON").motors("0"), Cmd("M_FWD").motors("0")})
                                .orElse({Cmd("M_RWD").motors("0")}),
                            Cmd("M_OFF").motors("2").op(1)}),
                  (QStringList{"If(L0, 4, 0, L2, 1)", "On(\"0\")"}));
        EXPECT_FALSE(lastResult);
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text,
                  QStringLiteral("Error: ") + errorDescription(number) + QStringLiteral(" in DLCommands"));
        EXPECT_EQ(presenter.shown[0].style, 16);
    }
    // The loop around a looping task fails the same way.
    presenter.shown.clear();
    pb.failOperation(QStringLiteral("Loop"), Err::InvalidCall, 1);
    EXPECT_EQ(download({Cmd("M_ON").motors("0")}, 1), (QStringList{"Loop(L2, 0)"}));
    EXPECT_FALSE(lastResult);
    EXPECT_EQ(presenter.shown.size(), 1);
}

// A range whose tests fall outside a short is refused at its cell, typed or
// named, in the compile; the widest one the brick takes compiles and goes
// down. A Joystick & Keyboard project lists and sends nothing: the widest
// range the PC reads compiles too.
TEST_F(TranslateTest, ARangeAtTheEdgesOfAShort)
{
    addObject("Lowest", 220, -32768, 0, 5);
    EXPECT_EQ(listing({Cmd("L_IF").p1(0, "Count").op(4).p2(230, "-32767_32766")}),
              (QStringList{" .If 0,4,0,2,-32768", "\t .If 0,4,1,2,32767", "\t .Else", "\t .EndIf", " .Else", " .EndIf"}));
    EXPECT_TRUE(lastResult);
    EXPECT_EQ(download({Cmd("L_IF").p1(0, "Count").op(4).p2(230, "-32767_32766")}).mid(0, 2),
              (QStringList{"If(L0, 4, 0, L2, -32768)", "If(L0, 4, 1, L2, 32767)"}));
    for (const Cmd& c : {Cmd("L_IF").p1(0, "Count").op(4).p2(230, "1_32767"),
                         Cmd("L_IF").p1(0, "Count").op(4).p2(220, "Lowest")}) {
        SCOPED_TRACE(c.c->Param2Value.toString().toStdString());
        EXPECT_EQ(listing({Cmd("M_ON").motors("0"), c}), QStringList{" .On 0"});
        EXPECT_FALSE(lastResult);
        EXPECT_EQ(compile.CompileError, QStringLiteral(" -> ERROR: Invalid value"));
        EXPECT_EQ(compile.ErrorCell, QStringLiteral("0002"));
    }
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();

    App().SetProjectType(ProjectType::JoystickKeyboard);
    compile.CompileFailed = False;
    EXPECT_EQ(listing({Cmd("L_IF").p1(0, "Count").op(4).p2(230, "-32768_32767")}), QStringList());
    EXPECT_TRUE(lastResult);
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
}

TEST_F(TranslateTest, WhileWithRangeIsRefusedBeforeTranslation)
{
    EXPECT_EQ(listing({Cmd("L_WHILE").p1(0, "Count").op(0).p2(220, "Band")}), QStringList());
    EXPECT_FALSE(lastResult);
    EXPECT_EQ(compile.CompileError, QStringLiteral(" -> ERROR: Range can't be used in WHILE !"));
}

// A typed -1 is the value -1: it compiles like any typed number, in the
// listing and in the download; only the untouched marker is a missing detail.
TEST_F(TranslateTest, ATypedMinusOneIsAValueNotAMissingDetail)
{
    struct Case {
        const char* what;
        Cmd command;
        const char* listed;  // the operation's line, "" when it is refused
        const char* sent;
        const char* refusal = " -> ERROR: Missing command details !";
    };
    const Case cases[] = {
        {"IF compares with it", Cmd("L_IF").p1(0, "Count").op(3).p2(2, "-1"), " .If 0,4,3,2,-1", "If(L0, 4, 3, L2, -1)"},
        {"WHILE compares with it", Cmd("L_WHILE").p1(0, "Count").op(3).p2(2, "-1"), " .While 0,4,3,2,-1",
         "While(L0, 4, 3, L2, -1)"},
        {"SET VALUE stores it", Cmd("L_VAR").op(8).p1(0, "Count").p2(2, "-1"), " .SetVar 4,2,-1", "SetVar(4, L2, -1)"},
        {"ADD adds it", Cmd("L_VAR").op(0).p1(0, "Count").p2(2, "-1"), " .SumVar 4,2,-1", "SumVar(4, L2, -1)"},
        {"MULTIPLY by it", Cmd("L_VAR").op(3).p1(0, "Count").p2(2, "-1"), " .MulVar 4,2,-1", "MulVar(4, L2, -1)"},
        {"LOOP count", Cmd("L_LOOP").p1(2, "-1"), " .Loop 2,-1", "Loop(L2, -1)"},
        // A message is a byte: -1 would go down as 255.
        {"message", Cmd("L_SENDMESS").p1(2, "-1"), "", "", " -> ERROR: Invalid value"},
        {"a never-edited IF", Cmd("L_IF").p1(0, "Count").op(3), "", ""},
        {"a never-edited SET VALUE", Cmd("L_VAR").op(8).p1(0, "Count"), "", ""},
        {"a never-edited LOOP", Cmd("L_LOOP"), "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList lines = listing({c.command});
        if (!*c.listed) {
            EXPECT_FALSE(lastResult);
            EXPECT_EQ(compile.CompileError, QString::fromLatin1(c.refusal));
            continue;
        }
        EXPECT_TRUE(lastResult);
        EXPECT_TRUE(lines.contains(QString::fromLatin1(c.listed))) << lines.join(QLatin1Char('|')).toStdString();
        const QStringList calls = download({c.command});
        EXPECT_TRUE(lastResult);
        EXPECT_TRUE(calls.contains(QString::fromLatin1(c.sent))) << calls.join(QLatin1Char('|')).toStdString();
    }
}

}  // namespace
