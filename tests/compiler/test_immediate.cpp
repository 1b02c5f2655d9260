// The PC-side interpreter walked tick by tick against a scripted joystick and
// keys and the recording control.
#include "ImmediateFixture.h"

#include "link/protocol/RcxLink.h"
#include "link/vbrick/InProcessTower.h"
#include "support/LinkPorts.h"

#include <cstdlib>

namespace {

QStringList marks(std::initializer_list<int> ns)
{
    QStringList out;
    for (int n : ns)
        out.append(QStringLiteral("PBTxPower(%1)").arg(n));
    return out;
}

TEST_F(ImmediateTest, AGapEndsAColumnInARunAndIsSkippedInASelection)
{
    auto g = grid({mark(1), mark(2), mark(3)}, {mark(10)});
    Cmd::place(*g, 0, {mark(5)}, 5);  // row 4 stays empty
    const struct {
        int columns;
        bool gap;
        QStringList sent;
    } cases[] = {
        {2, false, marks({1, 2, 3, 10})}, {2, true, marks({1, 2, 3, 5, 10})},
        {0, false, marks({1, 2, 3})},     {0, true, marks({1, 2, 3, 5})},
        {1, false, marks({10})},          {7, true, marks({1, 2, 3, 5})},
    };
    for (const auto& c : cases) {
        pb.clearCalls();
        EXPECT_TRUE(run(g, c.columns, c.gap));
        EXPECT_EQ(pb.calls(), c.sent) << c.columns << " " << c.gap;
    }
}

TEST_F(ImmediateTest, ARunStoppedBeforeItsWalkSendsNothingButASelectionIgnoresTheFlag)
{
    auto g = grid({mark(1)});
    App().StopRun = True;
    EXPECT_FALSE(run(g, 2, false));
    EXPECT_TRUE(pb.calls().isEmpty());
    EXPECT_TRUE(run(g, 2, true));
    EXPECT_EQ(pb.calls(), marks({1}));
}

TEST_F(ImmediateTest, IfWalksThenOrElseByItsOperator)
{
    const struct {
        int op;
        Variant v1;
        int s2;
        Variant v2;
        bool then;
    } cases[] = {
        {0, 5, 2, 3, true},        {0, 3, 2, 3, false},       {1, 2, 2, 3, true},
        {1, 3, 2, 3, false},       {2, 3, 2, 3, true},        {2, 4, 2, 3, false},
        {3, 4, 2, 3, true},        {3, 3, 2, 3, false},       {4, 3, 230, "3_7", true},
        {4, 7, 230, "3_7", true},  {4, 2, 230, "3_7", false}, {4, 8, 230, "3_7", false},
        {4, -5, 230, "-5_-1", true},
    };
    for (const auto& c : cases) {
        pb.clearCalls();
        auto g = grid({Cmd("L_IF").op(c.op).p1(2, c.v1).p2(c.s2, c.v2).body({mark(1)}).orElse({mark(2)})});
        EXPECT_TRUE(run(g));
        EXPECT_EQ(pb.calls(), marks({c.then ? 1 : 2})) << c.op << " " << c.v1.toString().toStdString();
    }
}

TEST_F(ImmediateTest, ANamedRangeIsInclusive)
{
    addObject("Middle", 220, 3, 0, 7);
    auto g = grid({Cmd("L_IF").op(4).p1(2, 7).p2(220, "Middle").body({mark(1)}).orElse({mark(2)})});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), marks({1}));
}

TEST_F(ImmediateTest, AnIfWithOnlyAnElseBranchDoesNothingWhenTrue)
{
    auto g = grid({Cmd("L_IF").op(2).p1(2, 1).p2(2, 1).orElse({mark(2)}), mark(3)});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), marks({3}));
}

TEST_F(ImmediateTest, LoopsRunTheirCountAndInfiniteLoopRunsNoTime)
{
    auto g = grid({Cmd("L_LOOP").p1(2, 3).body({mark(1)}), Cmd("L_LOOP").p1(2, 3).body({mark(2)}),
                   Cmd("L_LOOP").p1(2, "Infinite loop").body({mark(3)}), Cmd("L_LOOP").p1(2, -2).body({mark(4)})});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), marks({1, 1, 1, 2, 2, 2}));
}

TEST_F(ImmediateTest, WhileRereadsItsOperandsAndOperatorFourNeverRuns)
{
    addObject("Count", 0, 3);
    auto g = grid({Cmd("L_WHILE").op(0).p1(0, "Count").p2(2, 0).body({Cmd("L_VAR").op(1).p1(0, "Count").p2(2, 1), mark(1)}),
                   Cmd("L_WHILE").op(4).p1(2, 5).p2(230, "1_9").body({mark(2)})});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), marks({1, 1, 1}));
    EXPECT_EQ(value("Count"), 0);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(ImmediateTest, AStopAskedInsideALoopEndsTheWalk)
{
    auto g = grid({Cmd("L_LOOP").p1(2, 5).body({mark(1)}), mark(2)});
    // The stop button, clicked while the body's first command yields.
    onYield = [this] {
        if (yields == 2)
            App().StopRun = True;
    };
    EXPECT_FALSE(run(g));
    EXPECT_EQ(pb.calls(), marks({1}));
}

TEST_F(ImmediateTest, MotorCommandsAreSentOnlyWhenTheRecordChanges)
{
    App().ObjectList().Item(QStringLiteral("Motor state B"))->AuxValue = 0;  // B floats
    auto g = grid({Cmd("M_ON").motors("01"), Cmd("M_ON").motors("01"), Cmd("M_OFF").op(1).motors("1"),
                   Cmd("M_FWD").motors("0"), Cmd("M_RWD").motors("0"), Cmd("M_RWD").motors("0"),
                   Cmd("M_SETPWR").motors("0").p2(2, 7), Cmd("M_SETPWR").motors("0").p2(2, 3),
                   Cmd("M_OFF").op(0).motors("0"), Cmd("M_OFF").op(1).motors("0")});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"01\")", "Off(\"1\")", "SetRwd(\"0\")", "SetPower(\"0\", L2, 3)",
                                       "Float(\"0\")"}));
    EXPECT_EQ(aux("Motor state A"), 0);
    EXPECT_EQ(aux("Motor state B"), 64);
    EXPECT_EQ(aux("Motor direction A"), 0);
    EXPECT_EQ(aux("Motor speed A"), 3);
}

TEST_F(ImmediateTest, OffOnAFloatingMotorSendsNothing)
{
    App().ObjectList().Item(QStringLiteral("Motor state A"))->AuxValue = 0;
    EXPECT_TRUE(run(grid({Cmd("M_OFF").op(1).motors("0")})));
    EXPECT_TRUE(pb.calls().isEmpty());
    EXPECT_EQ(aux("Motor state A"), 0);
}

TEST_F(ImmediateTest, AlterDirIsAlwaysSentAndFlipsTheRecord)
{
    auto g = grid({Cmd("M_ALTDIR").motors("0")});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(aux("Motor direction A"), 0);
    EXPECT_TRUE(run(g));
    EXPECT_EQ(aux("Motor direction A"), 8);
    EXPECT_EQ(pb.calls(), (QStringList{"AlterDir(\"0\")", "AlterDir(\"0\")"}));
}

TEST_F(ImmediateTest, AVariableOperandOfAMotorCommandIsSentAsAConstant)
{
    addObject("Speed", 0, 4);
    EXPECT_TRUE(run(grid({Cmd("M_SETPWR").motors("1").p2(0, "Speed")})));
    EXPECT_EQ(pb.calls(), (QStringList{"SetPower(\"1\", L2, 4)"}));
}

TEST_F(ImmediateTest, AMotorWithoutARecordEndsTheWalkQuietly)
{
    auto g = grid({mark(1), Cmd("M_ON").motors("2"), mark(2)});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), marks({1}));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(ImmediateTest, VariableOperations)
{
    const struct {
        int op;
        Long start;
        Variant operand;
        Long result;
    } cases[] = {
        {0, 5, 3, 8},   {1, 5, 7, -2},  {2, 7, 2, 4},   {2, 5, 2, 2},  {2, -7, 2, -4}, {3, 6, -3, -18},
        {4, 9, -4, -1}, {4, 9, 0, 0},   {4, -9, 6, 1},  {5, 1, -12, 12}, {6, 12, 10, 8}, {7, 12, 3, 15},
        {8, 1, 42, 42}, {9, 5, 1, 5},
    };
    for (const auto& c : cases) {
        restart();
        addObject("X", 0, c.start);
        EXPECT_TRUE(run(grid({Cmd("L_VAR").op(c.op).p1(0, "X").p2(2, c.operand)})));
        EXPECT_EQ(value("X"), c.result) << c.op << " " << c.start;
        EXPECT_TRUE(pb.calls().isEmpty());
    }
}

TEST_F(ImmediateTest, AVariableOperationTakesAnotherVariable)
{
    addObject("X", 0, 2);
    addObject("Y", 0, 40);
    EXPECT_TRUE(run(grid({Cmd("L_VAR").op(0).p1(0, "X").p2(0, "Y")})));
    EXPECT_EQ(value("X"), 42);
}

TEST_F(ImmediateTest, FailuresEndTheWalkWithTheirMessage)
{
    const struct {
        Cmd command;
        QString text;
    } cases[] = {
        {Cmd("L_VAR").op(2).p1(0, "X").p2(2, 0), "Error: 11 Division by zero"},
        {Cmd("L_VAR").op(3).p1(0, "X").p2(2, 65000), "Error: 6 Overflow"},
        {Cmd("L_IF").op(2).p1(2, 1).p2(2, 1).noBody(), "Error: 91 Object variable or With block variable not set"},
        {Cmd("L_IF").op(4).p1(2, 1).p2(230, "1_99999"), "Error: 6 Overflow"},
    };
    for (const auto& c : cases) {
        restart();
        addObject("X", 0, 65000);
        EXPECT_FALSE(run(grid({c.command, mark(1)})));
        ASSERT_EQ(presenter.shown.size(), 1) << c.text.toStdString();
        EXPECT_EQ(presenter.shown[0].text, c.text);
        EXPECT_EQ(presenter.shown[0].style, MsgStyle::OkOnly);
        EXPECT_TRUE(pb.calls().isEmpty());
        EXPECT_TRUE(windows.pointers.contains(0));
    }
}

// A value the brick can't take, reached on the PC (a power of 9 from a
// variable): the brick refuses it, and the run ends with the failure's
// message as any failure does; a missing named value alone ends it quietly.
TEST_F(ImmediateTest, AnOperationTheBrickRefusesEndsTheRunWithItsMessage)
{
    vbrick::SoftRcx brick;
    vbrick::InProcessTower tower(brick);
    RcxLink link(tower);
    LinkPorts ports(link);
    App().Ports = &ports;
    addObject("Power", 0, 9);
    EXPECT_FALSE(run(grid({Cmd("M_SETPWR").motors("0").p2(0, "Power"), mark(1)})));
    App().Ports = &pb;
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: 5 Invalid procedure call or argument"}));
    EXPECT_EQ(brick.output(0).power, 7);
    EXPECT_EQ(brick.transmitterRange(), 0) << "nothing after it ran";

    presenter.shown.clear();
    App().RemoveObject(QStringLiteral("Motor speed A"));
    EXPECT_TRUE(run(grid({Cmd("M_SETPWR").motors("0").p2(2, 5), mark(1)})));
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_TRUE(pb.calls().isEmpty());
}

TEST_F(ImmediateTest, ACommandWithoutAnImmediateActionIsRefused)
{
    EXPECT_FALSE(run(grid({Cmd("L_SUB").p1(2, 1), mark(1)})));
    EXPECT_EQ(presenter.texts(),
              QStringList{"The command: L_SUB does not exist in the immediate command table"});
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
    EXPECT_TRUE(pb.calls().isEmpty());
}

TEST_F(ImmediateTest, KeysAddUpTheirCodes)
{
    ImmediateRunner runner(App(), seams);
    EXPECT_EQ(runner.ReadJoystickOrKeys(180, 1, 0), 0);
    joystick.keys = {37, 38};
    EXPECT_EQ(runner.ReadJoystickOrKeys(180, 1, 0), 75);
    joystick.keys = {30, 251, 65};  // outside 31..250 nothing counts
    EXPECT_EQ(runner.ReadJoystickOrKeys(180, 1, 0), 65);

    joystick.keys = {38, 65};
    auto g = grid({Cmd("L_IF").op(2).p1(180, "Keyboard key").p2(2, 103).body({mark(1)}).orElse({mark(2)})});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), marks({1}));
}

TEST_F(ImmediateTest, ButtonsAndAxesAreRead)
{
    ImmediateRunner runner(App(), seams);
    joystick.state.buttons = 0b101;
    joystick.state.x = 100;
    joystick.state.y = 200;
    joystick.state.z = 300;
    joystick.state.r = 400;
    EXPECT_EQ(runner.ReadJoystickOrKeys(160, 1, 1), 1);
    EXPECT_EQ(runner.ReadJoystickOrKeys(160, 2, 2), 0);
    EXPECT_EQ(runner.ReadJoystickOrKeys(160, 3, 4), 1);
    EXPECT_EQ(runner.ReadJoystickOrKeys(160, 20, Long(1) << 19), 0);
    const Long axes[] = {0, 100, 200, 300, 400, 0};
    for (int n = 0; n <= 5; ++n)
        EXPECT_EQ(runner.ReadJoystickOrKeys(170, Integer(n), 0), axes[n]) << n;

    auto g = grid({Cmd("L_IF").op(2).p1(160, "Button 3").p2(110, "Button-on").body({mark(1)}).orElse({mark(2)}),
                   Cmd("L_IF").op(0).p1(170, "Horizontal axle").p2(2, 150).body({mark(3)}).orElse({mark(4)})});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), marks({1, 4}));
}

TEST_F(ImmediateTest, AnUnpluggedJoystickStopsTheRunAtItsNextCheck)
{
    joystick.unplug();
    auto g = grid({Cmd("M_SETPWR").motors("0").p2(170, "Horizontal axle"), mark(3)});
    // The operand keeps -1 and the command goes on with it; the walk checks
    // the flag only at its start and after loop iterations.
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), (QStringList{"SetPower(\"0\", L170, -1)", "PBTxPower(3)"}));
    EXPECT_EQ(presenter.texts(), QStringList{"Can't detect the joystick"});
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
    EXPECT_EQ(App().StopRun, True);
    EXPECT_FALSE(run(g));  // the next tick

    restart();
    joystick.unplug();
    // A body walked after the failure is such a check.
    EXPECT_FALSE(run(grid({Cmd("L_IF").op(2).p1(160, "Button 1").p2(2, -1).body({mark(1)}), mark(2)})));
    EXPECT_TRUE(pb.calls().isEmpty());
    restart();
    joystick.unplug();
    EXPECT_FALSE(run(grid({Cmd("L_LOOP").p1(2, 5).body({Cmd("L_VAR").op(8).p1(0, "Count").p2(170, "Vertical axle")}), mark(2)})));
    EXPECT_TRUE(pb.calls().isEmpty());
}

TEST_F(ImmediateTest, CancelAtNotRespondingEndsEveryLevelAndRetryGoesOn)
{
    auto g = grid({Cmd("L_LOOP").p1(2, 2).body({Cmd("L_IF").op(2).p1(2, 1).p2(2, 1).body({Cmd("M_ON").motors("0"), mark(1)})}),
                   mark(2)});
    pb.pushResult("On", false);
    presenter.answers = {MsgResult::Cancel};
    EXPECT_FALSE(run(g));
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"0\")"}));
    EXPECT_EQ(presenter.texts(), QStringList{"The RCX is not responding!\r\n Press RETRY to continue."});
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::RetryCancel + MsgStyle::Exclamation);

    restart();
    pb.pushResult("On", false);
    presenter.answers = {MsgResult::Retry};
    EXPECT_TRUE(run(g));
    // The failed On is not sent again: the record says the motor is on.
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"0\")", "PBTxPower(1)", "PBTxPower(1)", "PBTxPower(2)"}));
}

TEST_F(ImmediateTest, WaitsSleepInHundredths)
{
    addObject("Pause", 0, 50);
    auto g = grid({Cmd("G_WAIT").p1(0, "Pause").time(1), Cmd("G_WAIT").p1(2, 10).time(3),
                   Cmd("G_WAIT").p1(190, "Second").time(2), Cmd("M_ON").motors("0").p1(2, 10).time(5),
                   Cmd("M_OFF").op(1).motors("0"), Cmd("G_WAIT").p1(2, 10), mark(1).time(4)});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(sleeps, (QList<Long>{500, 300, 2000, 500}));
}

TEST_F(ImmediateTest, SoundsDisplayAndPowerOff)
{
    auto g = grid({Cmd("G_SOUND").speed("Beep"), Cmd("G_SOUND").speed(440).p1(2, 10).time(5),
                   Cmd("G_DISPLAY").p1(130, "Display sensor 2"), Cmd("G_PBOFF"), Cmd("A_REM")});
    EXPECT_TRUE(run(g));
    EXPECT_EQ(pb.calls(), (QStringList{"PlaySystemSound(1)", "PlayTone(440, 50)", "SelectDisplay(L2, 2)",
                                       "PBTurnOff()"}));
}

TEST_F(ImmediateTest, RandomOperandsRepeatAfterEverySeed)
{
    auto g = grid({Cmd("G_TXPOWER").p1(4, 1000), Cmd("M_SETPWR").motors("0").p2(4, 6)});
    auto draw = [&] {
        std::srand(1);
        pb.clearCalls();
        App().ObjectList().Item(QStringLiteral("Motor speed A"))->AuxValue = 99;
        EXPECT_TRUE(run(g));
        return pb.calls();
    };
    const QStringList first = draw();
    EXPECT_EQ(draw(), first);
    ASSERT_EQ(first.size(), 2);
    EXPECT_TRUE(first[1].startsWith(QStringLiteral("SetPower(\"0\", L2, "))) << first[1].toStdString();
}

TEST_F(ImmediateTest, OperandsAreResolvedForThePc)
{
    ImmediateRunner runner(App(), seams);
    addObject("Count", 0, 12);
    addObject("Limit", 100, 30);
    Variant s1, v1, s2, v2;
    runner.ResolveOperandsImmediate(*Cmd("L_IF").p1(0, "Count").p2(100, "Limit").c, s1, v1, s2, v2);
    EXPECT_EQ(v1, Variant(12.0));
    EXPECT_EQ(s2, Variant(2));
    EXPECT_EQ(v2, Variant(30.0));
    runner.ResolveOperandsImmediate(*Cmd("L_VAR").p1(0, "Count").p2(3, "Motor speed A").c, s1, v1, s2, v2);
    EXPECT_EQ(v1, Variant("Count"));  // the variable to change keeps its name
    EXPECT_EQ(v2, Variant(7.0));
    EXPECT_EQ(s2, Variant(3));  // a motor record stays source 3 outside motor commands
    runner.ResolveOperandsImmediate(*Cmd("L_IF").p1(2, "-12").p2(2, "Nowhere").c, s1, v1, s2, v2);
    EXPECT_EQ(v1, Variant(-12.0));
    EXPECT_EQ(v2, Variant("Nowhere"));
}

// ---------------------------------------------------------------- preparing and ticking a run

TEST_F(ImmediateTest, ResetMotorObjectsWithoutMotorsOnlyResetsVariables)
{
    ResetApp();
    CompilerTest::SetUp();
    App().SetProjectType(ProjectType::JoystickKeyboard);
    auto def = std::make_shared<clsObject>();
    def->Name = QStringLiteral("Count");
    def->Value = 5;
    App().AddVariableDef(def, def->Name);
    addObject("Count", 0, 99);
    ResetMotorObjects(App());
    EXPECT_EQ(value("Count"), 5);
    EXPECT_TRUE(pb.calls().isEmpty());
}

TEST_F(ImmediateTest, ResetMotorObjectsSwitchesTheMotorsAndReadsThemBack)
{
    ResetApp();
    CompilerTest::SetUp();
    App().SetProjectType(ProjectType::JoystickKeyboard);
    connectMotor(1, 5, 1, 1);
    addObject("Motor state B", 3, 192, 1, 0);
    addObject("Motor direction B", 3, 8, 1, 0);
    addObject("Motor speed B", 3, 7, 1, 0);
    pb.setPollValue(3, 1, Integer(128 + 8 + 5));
    ResetMotorObjects(App());
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"1\")", "SetFwd(\"1\")", "SetPower(\"1\", L2, 5)", "Poll(L3, &1)"}));
    EXPECT_EQ(aux("Motor state B"), 128);
    EXPECT_EQ(aux("Motor direction B"), 8);
    EXPECT_EQ(aux("Motor speed B"), 5);

    pb.clearCalls();
    connectMotor(1, 2, 0, 0);
    ResetMotorObjects(App());
    EXPECT_EQ(pb.calls(), (QStringList{"Off(\"1\")", "SetRwd(\"1\")", "SetPower(\"1\", L2, 2)", "Poll(L3, &1)"}));
}

TEST_F(ImmediateTest, TicksPassUntilAStopThenSwitchEveryMotorOffOnce)
{
    TaskPtr task = addTask("Main", 1);
    Cmd::place(*task->Commands(), 0, {Cmd("M_ON").motors("0")});
    PcRun runner(App(), seams);
    EXPECT_EQ(runner.tmrJoy_Timer(), PcRun::Tick::Passed);
    EXPECT_EQ(runner.tmrJoy_Timer(), PcRun::Tick::Passed);
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"0\")"}));  // the steady program costs nothing more
    App().StopRun = True;  // the stop button between two ticks
    EXPECT_EQ(runner.tmrJoy_Timer(), PcRun::Tick::Ended);
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"0\")", "Off(\"012\")"}));
    EXPECT_EQ(aux("Motor state A"), 64);  // the record says what the brick was told
    EXPECT_EQ(aux("Motor state B"), 64);
}

TEST_F(ImmediateTest, ATickWaitsForARequestedSetupWindowAndForThePassUnderWay)
{
    TaskPtr task = addTask("Main", 1);
    Cmd::place(*task->Commands(), 0, {mark(1)});
    PcRun runner(App(), seams);
    App().RcxWindowRequested = True;
    EXPECT_EQ(runner.tmrJoy_Timer(), PcRun::Tick::Skipped);
    EXPECT_EQ(App().RunCycleEnded, True);
    EXPECT_TRUE(pb.calls().isEmpty());

    App().RcxWindowRequested = False;
    PcRun::Tick inner = PcRun::Tick::Passed;
    onYield = [&] { inner = runner.tmrJoy_Timer(); };  // the timer fires while the pass yields
    EXPECT_EQ(runner.tmrJoy_Timer(), PcRun::Tick::Passed);
    EXPECT_EQ(inner, PcRun::Tick::Skipped);
    EXPECT_EQ(App().RunCycleEnded, False);
    EXPECT_EQ(pb.calls(), marks({1}));
}

TEST_F(ImmediateTest, APassThatFailsEndsTheRun)
{
    TaskPtr task = addTask("Main", 1);
    Cmd::place(*task->Commands(), 0, {Cmd("M_ON").motors("0")});
    pb.pushResult("On", false);
    presenter.answers = {MsgResult::Cancel};
    PcRun runner(App(), seams);
    EXPECT_EQ(runner.tmrJoy_Timer(), PcRun::Tick::Ended);
    EXPECT_EQ(App().StopRun, True);
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"0\")", "Off(\"012\")"}));
}

}  // namespace
