#pragma once
// A Joystick & Keyboard project for the PC-side interpreter's tests: the
// joystick's named values, motors on A and B with the PC's record of them, a
// scripted joystick and keys, and seams that record the waits.
#include "CompilerFixture.h"
#include "support/ProjectSetup.h"
#include "support/ScriptedJoystick.h"

#include "compiler/Immediate.h"

class ImmediateTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        AppState& a = App();
        a.Joystick = &joystick;
        a.SetProjectType(ProjectType::JoystickKeyboard);
        RemoveAllObjects();
        BuildJoystickObjects();
        motorRecord(0, 64, 8, 7);
        motorRecord(1, 64, 8, 7);
        a.SetRcxInit(True);
        a.StopRun = False;
        seams.Sleep = [this](Long ms) { sleeps.append(ms); };
        seams.Yield = [this] {
            ++yields;
            if (onYield)
                onYield();
        };
    }

    // A fresh project and fakes, for the next case of a table.
    void restart()
    {
        presenter.shown.clear();
        presenter.answers.clear();
        pb.clearCalls();
        windows.pointers.clear();
        sleeps.clear();
        yields = 0;
        onYield = nullptr;
        ResetApp();
        SetUp();
    }

    // The PC's record of the motor on a port, as a run keeps it.
    void motorRecord(int port, Long state, Long direction, Long speed)
    {
        connectMotor(port);
        const QByteArray letter(1, char('A' + port));
        addObject(("Motor state " + letter).constData(), 3, 192, port, state);
        addObject(("Motor direction " + letter).constData(), 3, 8, port, direction);
        addObject(("Motor speed " + letter).constData(), 3, 7, port, speed);
    }
    Long aux(const char* name) { return App().ObjectList().Item(QString::fromLatin1(name))->AuxValue; }
    Long value(const char* name) { return App().ObjectList().Item(QString::fromLatin1(name))->Value; }

    // A grid from columns of commands.
    static CommandCollectionPtr grid(const std::vector<Cmd>& column0, const std::vector<Cmd>& column1 = {})
    {
        auto g = std::make_shared<CommandCollection>();
        Cmd::place(*g, 0, column0);
        Cmd::place(*g, 1, column1);
        return g;
    }
    // A command that sends its number, to see what ran: PBTxPower(n).
    static Cmd mark(int n) { return Cmd("G_TXPOWER").p1(2, n); }

    bool run(const CommandCollectionPtr& g, int columns = 2, bool gapMode = false)
    {
        return ImmediateRunner(App(), seams).RunImmediate(g.get(), Integer(columns), gapMode);
    }

    ScriptedJoystick joystick;
    ImmediateSeams seams;
    QList<Long> sleeps;
    int yields = 0;
    std::function<void()> onYield;
};
