// One pass of a full Joystick & Keyboard task, as the run timer walks it every
// 20 ms: 80 commands with nested blocks reading the joystick and the keys,
// with the brick traffic going to the recording control. The pass must stay
// well below the tick (1 % of it is 200 microseconds).
#include "compiler/Immediate.h"
#include "model/AppState.h"
#include "model/Grid.h"
#include "model/NamedValues.h"
#include "RecordingControl.h"
#include "BenchCommands.h"

#include <benchmark/benchmark.h>

namespace {

// Keys and buttons that change from pass to pass, so that motors go on and off.
class MovingJoystick : public IJoystick {
public:
    int pass = 0;
    JoystickCaps GetDevCaps() override { return {true, 8, true, true}; }
    JoystickState GetPos() override
    {
        return {true, Long((pass * 997) % 65536), Long((pass * 31) % 65536), 0, 0, Long(pass % 4)};
    }
    bool KeyDown(int code) override { return (pass & 1) ? code == 38 : code == 37 || code == 65; }
};

using bench::command;

std::shared_ptr<clsCommand> block(const char* key, int column, int row, int op, int s1, const Variant& v1, int s2,
                                  const Variant& v2)
{
    auto c = command(key, column, row);
    c->Op = Integer(op);
    c->Param1Source = s1;
    c->Param1Value = v1;
    c->Param2Source = s2;
    c->Param2Value = v2;
    c->Commands = std::make_shared<CommandCollection>();
    return c;
}

void put(CommandCollection& grid, const std::shared_ptr<clsCommand>& c)
{
    grid.Add(c, ColKey(c->x, c->y));
}

std::shared_ptr<clsCommand> motor(const char* key, int column, int row, const char* motors, int op = 0)
{
    auto c = command(key, column, row);
    c->MotorList = QString::fromLatin1(motors);
    c->Op = Integer(op);
    return c;
}

// A variables command working the variable "Count" with a constant.
std::shared_ptr<clsCommand> countCommand(int column, int row, int op, int constant)
{
    auto c = command("L_VAR", column, row);
    c->Op = Integer(op);
    c->Param1Source = 0;
    c->Param1Value = QStringLiteral("Count");
    c->Param2Source = 2;
    c->Param2Value = constant;
    return c;
}

// A plain command of the kind the row picks.
std::shared_ptr<clsCommand> simple(int column, int row)
{
    switch (row % 5) {
    case 0: return countCommand(column, row, 0, 1);
    case 1: {
        auto c = motor("M_SETPWR", column, row, "0");
        c->Param2Source = 4;  // a random speed 0 to 7
        c->Param2Value = 7;
        return c;
    }
    case 2: return motor("M_ALTDIR", column, row, "1");
    case 3: return countCommand(column, row, 6, 255);
    default: {
        auto c = command("A_REM", column, row);
        return c;
    }
    }
}

void buildProject()
{
    ResetApp();
    AppState& a = App();
    a.SetProjectType(ProjectType::JoystickKeyboard);
    FillNameTables();
    BuildJoystickObjects();
    for (int port = 0; port < 3; ++port) {
        a.EditMotor(port, [&](clsMotor& m) { m.setMotorType(1); });
        const QString letter(QChar(ushort('A' + port)));
        AddNamedValue(QStringLiteral("Motor state ") + letter, 3, 192, Integer(port));
        AddNamedValue(QStringLiteral("Motor direction ") + letter, 3, 8, Integer(port));
        AddNamedValue(QStringLiteral("Motor speed ") + letter, 3, 7, Integer(port));
    }
    AddNamedValue(QStringLiteral("Count"), 0, 0, 1);
    AddNamedValue(QStringLiteral("Keyboard-Up"), 100, 38, 0);

    auto task = std::make_shared<clsTask>();
    task->Name = QStringLiteral("Main");
    task->mNumber = 1;
    a.AddModule(task);
    CommandCollection& grid = *task->Commands();
    // 40 cells in each column: every fourth an IF on the keys or a button
    // holding motor commands, a LOOP over a small body, or a WHILE that ends.
    int count = 0;
    for (int column = 0; column <= 1; ++column)
        for (int row = 1; row <= 40; ++row) {
            std::shared_ptr<clsCommand> c;
            switch (row % 8) {
            case 1: {
                c = block("L_IF", column, row, 2, 180, QStringLiteral("Keyboard key"), 100,
                          QStringLiteral("Keyboard-Up"));
                put(*c->Commands, motor("M_ON", 0, 1, "0"));
                put(*c->Commands, motor("M_FWD", 0, 2, "0"));
                put(*c->Commands, motor("M_OFF", 1, 1, "0", 1));
                put(*c->Commands, motor("M_RWD", 1, 2, "0"));
                break;
            }
            case 3: {
                c = block("L_LOOP", column, row, 0, 2, 2, -1, -1);
                put(*c->Commands, simple(0, 5));
                put(*c->Commands, simple(0, 3));
                auto inner = block("L_IF", 0, 3, 1, 170, QStringLiteral("Vertical axle"), 2, 32768);
                c->Commands->Remove(ColKey(0, 3));
                put(*c->Commands, inner);
                put(*inner->Commands, motor("M_ON", 0, 1, "2"));
                put(*inner->Commands, motor("M_OFF", 1, 1, "2", 0));
                break;
            }
            case 5: {
                c = block("L_IF", column, row, 2, 160, QStringLiteral("Button 2"), 110, QStringLiteral("Button-on"));
                put(*c->Commands, motor("M_SETPWR", 0, 1, "1"));
                c->Commands->Item(ColKey(0, 1))->Param2Source = 2;
                c->Commands->Item(ColKey(0, 1))->Param2Value = 3;
                break;
            }
            case 7: {
                // Count is at most 255 after the AND, so this WHILE runs no time
                // or a few and ends.
                c = block("L_WHILE", column, row, 0, 0, QStringLiteral("Count"), 2, 300);
                put(*c->Commands, simple(0, 1));
                break;
            }
            default:
                c = simple(column, row);
            }
            put(grid, c);
            ++count;
        }
    Q_ASSERT(count == 80);
}

// Any message means the task is not what it should be.
class FailingPresenter : public IMessagePresenter {
public:
    QString last;
    int MsgBox(const QString& text, int, const QString&) override
    {
        last = text;
        return MsgResult::Cancel;
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
};

void BM_JoystickPass(benchmark::State& state)
{
    buildProject();
    RecordingControl pb;
    MovingJoystick joystick;
    App().Ports = &pb;
    App().Joystick = &joystick;
    App().StopRun = False;
    ImmediateSeams seams;  // no waits in the task; the yield is free here
    seams.Yield = [] {};
    FailingPresenter presenter;
    App().Presenter = &presenter;
    PcRun run(App(), seams);
    qint64 sent = 0;
    for (auto _ : state) {
        ++joystick.pass;
        if (run.tmrJoy_Timer() != PcRun::Tick::Passed)
            state.SkipWithError(("the pass ended the run: " + presenter.last.toStdString()).c_str());
        sent += pb.calls().size();
        pb.clearCalls();
    }
    state.counters["operations_per_pass"] = benchmark::Counter(double(sent) / double(state.iterations()));
    App().Ports = nullptr;
    ResetApp();
}
BENCHMARK(BM_JoystickPass)->Unit(benchmark::kMicrosecond);

}  // namespace
