// Transmit: the selected commands of a window carried out at once, in an RCX
// project as immediate operations after the checks, in a Joystick & Keyboard
// project through the PC-side interpreter.
#include "ImmediateFixture.h"

#include "compiler/Transmit.h"

namespace {

class TransmitTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        connectMotor(0);
        connectMotor(2);
        App().SetRcxInit(True);  // the tower answered before
        seams.Sleep = [this](Long ms) { sleeps.append(ms); };
        seams.Yield = [] {};
    }
    static Cmd selected(Cmd c)
    {
        c.c->PicSelected = True;
        return c;
    }
    void transmit() { TransmitCommands(App(), grid, seams); }

    CommandCollection grid;
    ImmediateSeams seams;
    QList<Long> sleeps;
};

const QString kEnd = QStringLiteral("End of transmission");

TEST_F(TransmitTest, ABlockCommandIsNotImmediateAndNothingGoes)
{
    Cmd::place(grid, 0, {selected(Cmd("M_ON").motors("0")), selected(Cmd("L_IF").op(2).p1(2, 1).p2(2, 1))});
    transmit();
    EXPECT_EQ(presenter.texts(),
              QStringList{"One of the selected command is not an immediat command and cannot be transmitted"});
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
    EXPECT_TRUE(pb.calls().isEmpty());
}

TEST_F(TransmitTest, CommandsFailingTheCheckAreNamedAndNothingGoes)
{
    Cmd::place(grid, 0, {selected(Cmd("M_ON").motors("1")), selected(Cmd("M_FWD")), Cmd("M_RWD")});
    transmit();
    EXPECT_EQ(presenter.texts(), QStringList{"Command error:\r\nON\r\n -> ERROR: Nothing connected to output port B"
                                             "\r\nFWD\r\n -> ERROR: No motor list !"});
    EXPECT_TRUE(pb.calls().isEmpty());
}

TEST_F(TransmitTest, TheTowerAndTheBrickAreAskedFirst)
{
    App().SetRcxInit(False);
    pb.setDefaultResult("TowerCheck1", false);
    pb.setDefaultResult("TowerCheck2", false);
    pb.setDefaultResult("TowerCheck3", false);
    Cmd::place(grid, 0, {selected(Cmd("M_ON").motors("0"))});
    transmit();
    EXPECT_EQ(pb.count("On"), 0);
    EXPECT_EQ(pb.count("PBAlive"), 0);

    presenter.shown.clear();
    App().SetRcxInit(True);
    pb.pushResult("PBAlive", false);
    transmit();
    EXPECT_EQ(presenter.texts(), QStringList{"No communication with the RCX"});
    EXPECT_EQ(pb.count("On"), 0);
}

TEST_F(TransmitTest, SelectedCommandsGoInCellOrder)
{
    Cmd::place(grid, 1, {selected(Cmd("M_OFF").op(0).motors("2"))});
    Cmd::place(grid, 0, {selected(Cmd("M_ON").motors("02"))}, 7);
    Cmd::place(grid, 0, {selected(Cmd("G_SOUND").speed("Beep")), Cmd("M_RWD").motors("0")}, 2);
    transmit();
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()", "PlaySystemSound(1)", "On(\"02\")", "Float(\"2\")"}));
    EXPECT_EQ(presenter.texts(), QStringList{kEnd});
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Information);
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));
    EXPECT_TRUE(sleeps.isEmpty());
}

TEST_F(TransmitTest, NothingSelectedStillAsksAndEnds)
{
    Cmd::place(grid, 0, {Cmd("M_ON").motors("0")});
    transmit();
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()"}));
    EXPECT_EQ(presenter.texts(), QStringList{kEnd});
}

TEST_F(TransmitTest, TasksStartAndStopByName)
{
    addTask("Drive", 3);
    Cmd::place(grid, 0,
               {selected(Cmd("L_START").p1(2, "Drive")), selected(Cmd("L_STOP").p1(2, "Drive")),
                selected(Cmd("L_STOP").p1(2, "Stop program"))});
    transmit();
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()", "StartTask(&3)", "StopTask(&3)", "StopAllTasks()"}));
}

TEST_F(TransmitTest, ClearingTheMessageIsRefusedAndTheRestStillGoes)
{
    Cmd::place(grid, 0,
               {selected(Cmd("L_ZERO").p1(15, "RCX message")), selected(Cmd("L_ZERO").p1(1, "Timer 2")),
                selected(Cmd("G_TXPOWER").p1(210, "Long"))});
    transmit();
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()", "ClearTimer(1)", "PBTxPower(1)"}));
    EXPECT_EQ(presenter.texts(), (QStringList{"Sorry! Can't ClearPBMessage in immediat mode!", kEnd}));
}

TEST_F(TransmitTest, VariableOperationsGoToTheBrick)
{
    addObject("Count", 0, 0, 5);
    Cmd::place(grid, 0, {selected(Cmd("L_VAR").op(8).p1(0, "Count").p2(2, 12)),
                         selected(Cmd("L_VAR").op(2).p1(0, "Count").p2(2, 4))});
    transmit();
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()", "SetVar(5, L2, 12)", "DivVar(5, L2, 4)"}));
}

TEST_F(TransmitTest, WaitsReadAVariableFromTheBrick)
{
    addObject("Pause", 0, 0, 4);
    pb.setPollValue(0, 4, 25);
    Cmd::place(grid, 0, {selected(Cmd("G_WAIT").p1(0, "Pause").time(1)), selected(Cmd("G_WAIT").p1(2, 10).time(3)),
                         selected(Cmd("M_ON").motors("0").p1(2, 100).time(2))});
    transmit();
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()", "Poll(L0, &4)", "On(\"0\")"}));
    EXPECT_EQ(sleeps, (QList<Long>{250, 300, 2000}));

    // A random count: up to ten times the limit in milliseconds, drawn anew each time.
    grid.Clear();
    sleeps.clear();
    Cmd::place(grid, 0, {selected(Cmd("G_WAIT").p1(4, 100).time(1)), selected(Cmd("G_WAIT").p1(4, 100).time(1))});
    transmit();
    ASSERT_EQ(sleeps.size(), 2);
    for (Long ms : sleeps) {
        EXPECT_GE(ms, 0);
        EXPECT_LT(ms, 1000);
    }
}

TEST_F(TransmitTest, AFailureStopsTheTransmission)
{
    pb.failOperation("On", Err::DeviceUnavailable);
    Cmd::place(grid, 0, {selected(Cmd("M_ON").motors("0")), selected(Cmd("M_FWD").motors("0"))});
    transmit();
    EXPECT_EQ(presenter.texts(), QStringList{"Error: 68 Device unavailable"});
    EXPECT_EQ(pb.count("SetFwd"), 0);
    EXPECT_EQ(windows.pointers.last(), 0);
}

// In a Joystick & Keyboard project the PC carries the selection out.
class TransmitJoystickTest : public ImmediateTest {
protected:
    static Cmd selected(Cmd c)
    {
        c.c->PicSelected = True;
        return c;
    }
};

TEST_F(TransmitJoystickTest, ABlockIsEvaluatedOnThePc)
{
    App().StopRun = True;  // no run going
    CommandCollection grid;
    Cmd::place(grid, 0,
               {selected(Cmd("L_IF").op(0).p1(2, 5).p2(2, 1).body({Cmd("M_ON").motors("1")})), Cmd("M_ON").motors("0")});
    Cmd::place(grid, 0, {selected(mark(4))}, 9);
    std::optional<Boolean> duringRun;
    onYield = [&] { duringRun = App().StopRun; };
    TransmitCommands(App(), grid, seams);
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"1\")", "PBTxPower(4)"}));
    EXPECT_EQ(duringRun, std::optional<Boolean>(False));
    EXPECT_EQ(App().StopRun, True);
    EXPECT_EQ(presenter.texts(), QStringList{"End of transmission"});
    EXPECT_EQ(pb.count("PBAlive"), 0);  // the interpreter asks Retry/Cancel itself
}

}  // namespace
