#include "compiler/Immediate.h"

#include "compiler/CommandCheck.h"
#include "model/CommandCatalogue.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Grid.h"
#include "model/Messages.h"
#include "model/Phantom.h"

#include <QThread>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

int code(const Variant& source)
{
    const double s = source.toDouble();
    if (s != std::floor(s) || s < std::numeric_limits<int>::min() || s > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::min();
    return int(s);
}

// Source as a code; a text that is no number matches no code.
int sourceOf(const Variant& source)
{
    if (source.isText() && !source.isNumeric())
        return std::numeric_limits<int>::min();
    return code(source);
}

bool isNumeric(const Variant& v)
{
    return v.isEmpty() || v.isNumeric();
}

// -1, 0, 1 as the two values compare: as numbers when both are, else as texts.
int compare(const Variant& a, const Variant& b)
{
    if (isNumeric(a) && isNumeric(b)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (isNumeric(a) != isNumeric(b))  // a number sorts before a text
        return isNumeric(a) ? -1 : 1;
    const int c = QString::compare(a.toString(), b.toString(), Qt::CaseSensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// The run's values live in the project's named values: what the run changes
// is their value, never the list.
clsObject& namedValue(const Collection<ObjectPtr>& objects, const QString& name)
{
    const ObjectPtr* o = objects.find(name);
    if (!o)
        raiseError(Err::InvalidCall);  // a missing entry
    return **o;
}

// The named value an operand names, or nullptr; only a text names one.
clsObject* named(const Collection<ObjectPtr>& objects, const Variant& v)
{
    const ObjectPtr* o = v.isText() ? FindNamedObject(objects, v) : nullptr;
    return o ? o->get() : nullptr;
}

// The names of the PC's record of the motor on port 0, 1, 2.
struct MotorNames {
    QString state, direction, speed;
};
const MotorNames& motorNames(int port)
{
    static const MotorNames names[3] = {
        {QStringLiteral("Motor state A"), QStringLiteral("Motor direction A"), QStringLiteral("Motor speed A")},
        {QStringLiteral("Motor state B"), QStringLiteral("Motor direction B"), QStringLiteral("Motor speed B")},
        {QStringLiteral("Motor state C"), QStringLiteral("Motor direction C"), QStringLiteral("Motor speed C")},
    };
    return names[port];
}

bool motorCommand(const clsCommand& c)
{
    return FamilyOf(c.CommandKey) == CommandFamily::Motor;
}

// A failure of the control while a command is carried out: a refused
// operation is never passed over as a missing named value is.
struct ControlFailure {
    VbError error;
};

// The operand becomes its number when it is written as digits with an
// optional leading minus.
void toNumber(const AppState& app, Variant& v)
{
    if (v.isText() && ValidateParam(app, v, QString()))
        v = vb::Val(v.toString());
}

}  // namespace

double Rnd()
{
    return double(std::rand()) / (double(RAND_MAX) + 1.0);
}

void ShowImmediateFailure(AppState& app, const VbError& e)
{
    // Not a busy pointer of its own: no scope here set the hourglass. A
    // transmission's busy pointer has ended by the time its failure comes
    // here, and a run holds none; what the box must not stand under is an
    // hourglass some other work left on (a download waits with one for the
    // brick's last report), so the default comes back whoever set it.
    app.Notifier->SetPointer(PointerShape::Default);
    app.Presenter->MsgBox(QStringLiteral("Error: ") + QString::number(e.number()) + QLatin1Char(' ') + e.description(),
                          MsgStyle::OkOnly);
}

ImmediateSeams ImmediateSeams::Real(AppState& app)
{
    ImmediateSeams s;
    s.Sleep = [](Long ms) {
        if (ms > 0)
            QThread::msleep(ulong(ms));
    };
    s.Yield = [&app] { app.Shell->DoEvents(); };
    return s;
}

void ImmediateSeams::sleepFor(double ms) const
{
    if (Sleep)
        Sleep(vb::CLng(ms));
}

void ImmediateSeams::yield() const
{
    if (Yield)
        Yield();
}

// ---------------------------------------------------------------- reading the joystick and the keys

Long ImmediateRunner::ReadJoystickOrKeys(Integer source, Integer number, Long mask)
{
    IJoystick& js = *mApp.Joystick;
    if (source == OperandSource::KeyboardKey) {
        Long sum = 0;
        for (int k = 31; k <= 250; ++k)
            if (js.KeyDown(k))
                sum += k;
        return sum;
    }
    const JoystickState pos = js.GetPos();
    if (!pos.ok) {
        ShowMessage(*mApp.Presenter, QStringLiteral("Can't detect the joystick"), MsgStyle::Exclamation);
        return -1;
    }
    if (source == OperandSource::JoystickAxis) {
        switch (number) {
        case 1: return pos.x;
        case 2: return pos.y;
        case 3: return pos.z;
        case 4: return pos.r;
        default: return 0;
        }
    }
    return (quint32(pos.buttons) & quint32(mask)) != 0 ? 1 : 0;
}

// ---------------------------------------------------------------- operands

void ImmediateRunner::ResolveOperandsImmediate(const clsCommand& c, Variant& s1, Variant& v1, Variant& s2,
                                               Variant& v2)
{
    s1 = c.Param1Source;
    v1 = c.Param1Value;
    s2 = c.Param2Source;
    v2 = c.Param2Value;
    AppState& a = mApp;
    try {
        // One operand; false when the joystick failed and the resolution ends.
        auto resolve = [&](Variant& s, Variant& v, bool first) {
            const int source = sourceOf(s);
            if (source == OperandSource::TypedRange)
                return true;
            clsObject* const o = named(mApp.ObjectList(), v);
            switch (source) {
            case OperandSource::JoystickButton:
            case OperandSource::JoystickAxis:
            case OperandSource::KeyboardKey: {
                if (!o)
                    return true;
                v = ReadJoystickOrKeys(Integer(source), o->Number, o->Value);
                if (v.toDouble() == -1) {
                    a.StopRun = True;
                    return false;
                }
                return true;
            }
            case OperandSource::Variable:
                if (first && c.CommandKey == CommandKey::L_VAR)
                    return true;  // the variable to change keeps its name
                if (o) {
                    v = o->Value;
                    if (!first && motorCommand(c))
                        s = OperandSource::Constant;
                }
                return true;
            case OperandSource::MotorStatus:
                if (o) {
                    v = o->AuxValue;
                    if (!first && motorCommand(c))
                        s = OperandSource::Constant;
                }
                return true;
            case OperandSource::Constant:
                if (IsInfiniteLoop(v))
                    v = 0;
                return true;
            case OperandSource::Random: {
                const double limit = v.toDouble();
                s = OperandSource::Constant;
                v = first ? vb::Int(limit * Rnd()) : double(vb::CLng(limit * Rnd()));
                return true;
            }
            case OperandSource::UserConstant: case OperandSource::SystemConstant:
            case OperandSource::UntitledConstant: case OperandSource::Display:
            case OperandSource::SensorTypeName: case OperandSource::SensorModeName:
            case OperandSource::TransmitPower:
                if (o) {
                    v = o->Value;
                    s = OperandSource::Constant;
                }
                return true;
            case OperandSource::NamedRange:
                if (!first) {
                    if (o) {
                        v = QString::number(o->Value) + QLatin1Char('_') + QString::number(o->AuxValue);
                        s = OperandSource::TypedRange;
                    }
                }
                return true;
            default:
                return true;
            }
        };
        if (!resolve(s1, v1, true))
            return;
        if (!resolve(s2, v2, false))
            return;
        toNumber(mApp, v1);
        toNumber(mApp, v2);
    } catch (const VbError& e) {
        ShowMessage(*mApp.Presenter, e.description(), MsgStyle::Exclamation);
    }
}

// ---------------------------------------------------------------- the PC's record of the motors

bool ImmediateRunner::UpdateMotorState(const clsCommand& c, const Variant& value)
{
    const CommandKey key = c.CommandKey;
    bool changed = false;
    for (QChar ch : c.MotorList) {
        const int port = ch.unicode() - '0';
        if (port < 0 || port > 2)
            raiseError(Err::InvalidCall);  // no such port, so no record of it
        const MotorNames& names = motorNames(port);
        clsObject& state = namedValue(mApp.ObjectList(), names.state);
        clsObject& direction = namedValue(mApp.ObjectList(), names.direction);
        clsObject& speed = namedValue(mApp.ObjectList(), names.speed);
        auto set = [&changed](clsObject& o, Long v) {
            o.AuxValue = v;
            changed = true;
        };
        if (key == CommandKey::M_ON) {
            if (state.AuxValue != 128)
                set(state, 128);
        } else if (key == CommandKey::M_OFF) {
            // A motor already off or floating counts as unchanged either way.
            if (state.AuxValue != 64 && state.AuxValue != 0)
                set(state, c.Op == 1 ? 64 : 0);
        } else if (key == CommandKey::M_FWD) {
            if (direction.AuxValue != 8)
                set(direction, 8);
        } else if (key == CommandKey::M_RWD) {
            if (direction.AuxValue != 0)
                set(direction, 0);
        } else if (key == CommandKey::M_ALTDIR) {
            set(direction, direction.AuxValue == 8 ? 0 : 8);
        } else if (key == CommandKey::M_SETPWR) {
            const Long v = value.toLong();
            if (speed.AuxValue != v)
                set(speed, v);
        }
    }
    return changed;
}

// ---------------------------------------------------------------- the walk

bool ImmediateRunner::RunImmediate(CommandCollection* commands, Integer columns, bool gapMode)
{
    if (!gapMode && mApp.StopRun)
        return false;
    try {
        if (!commands)
            raiseError(Err::ObjectNotSet);
        return walk(commands, columns, gapMode);
    } catch (const ControlFailure& f) {
        ShowImmediateFailure(mApp, f.error);
        return false;
    } catch (const VbError& e) {
        // A named value or motor record that is missing ends this walk as an
        // empty cell would; anything else ends it with a message.
        if (e.number() == Err::InvalidCall)
            return true;
        ShowImmediateFailure(mApp, e);
        return false;
    }
}

namespace {

// The commands of a grid by cell, read once per walk and held, so that a
// command deleted while the walk yields stays alive until the walk is done.
struct Cells {
    std::shared_ptr<clsCommand> at[2][41];

    explicit Cells(const CommandCollection& commands)
    {
        const GridCells cells(commands);
        for (int col = 0; col < 2; ++col)
            for (int row = 1; row <= 40; ++row)
                if (const std::shared_ptr<clsCommand>* c = cells.at(col, row))
                    at[col][row] = *c;
    }
};

}  // namespace

bool ImmediateRunner::walk(CommandCollection* commands, Integer columns, bool gapMode)
{
    bool answered = true;
    const int firstColumn = columns == 1 ? 1 : 0;
    const int lastColumn = columns == 1 || columns == 2 ? 1 : 0;
    const Cells cells(*commands);
    for (int col = firstColumn; col <= lastColumn; ++col) {
        for (int row = 1; row <= 40; ++row) {
            const clsCommand* found = cells.at[col][row].get();
            if (!found) {
                if (gapMode)
                    continue;
                break;  // this column ends here
            }
            const clsCommand& c = *found;
            Variant s1, v1, s2, v2;
            ResolveOperandsImmediate(c, s1, v1, s2, v2);
            mSeams.yield();
            if (!carryOut(c, s1, v1, s2, v2, gapMode, answered))
                return false;
            if (!answered) {
                const int button =
                    mApp.Presenter->MsgBox(QStringLiteral("The RCX is not responding!\r\n Press RETRY to continue."),
                                           MsgStyle::RetryCancel + MsgStyle::Exclamation);
                if (button == MsgResult::Cancel)
                    return false;
                answered = true;  // Retry: go on; what failed is not sent again
            }
            wait(c, s1, v1);
        }
    }
    return true;
}

bool ImmediateRunner::condition(const clsCommand& c, const Variant& v1, const Variant& v2, bool rangeAllowed)
{
    switch (c.Op) {
    case Comparison::Greater: return compare(v1, v2) > 0;
    case Comparison::Less: return compare(v1, v2) < 0;
    case Comparison::Equal: return compare(v1, v2) == 0;
    case Comparison::Different: return compare(v1, v2) != 0;
    case Comparison::InRange: {
        if (!rangeAllowed)
            return false;
        const QString range = v2.toString();
        const int cut = range.indexOf(QLatin1Char('_'));
        if (cut < 0)
            raiseError(Err::InvalidCall);
        const Integer low = Variant(range.left(cut)).toInteger();
        const Integer high = Variant(range.mid(cut + 1)).toInteger();
        const double v = v1.toDouble();
        return v > double(low) - 1 && v < double(high) + 1;
    }
    default: return false;
    }
}

// One operation of the control at a time for one command, the brick found
// once; whether the brick answered goes to the walk.
class ImmediateRunner::Sender {
public:
    Sender(const AppState& app, bool& answered) : mApp(app), mAnswered(answered) {}
    template <class Operation>
    void operator()(Operation&& operation)
    {
        try {
            if (!mPb)
                mPb = &PB(mApp);
            mAnswered = operation(*mPb);
        } catch (const VbError& e) {
            throw ControlFailure{e};
        }
    }

private:
    const AppState& mApp;
    bool& mAnswered;
    IBrickDevice* mPb = nullptr;
};

bool ImmediateRunner::carryOut(const clsCommand& c, Variant& s1, Variant& v1, Variant& s2, Variant& v2,
                               bool gapMode, bool& answered)
{
    const CommandKey key = c.CommandKey;
    if (OpensBlock(key))
        return block(c, s1, v1, s2, v2, gapMode);
    Sender send(mApp, answered);
    switch (key) {
    case CommandKey::G_SOUND: {
        const Long sound = ResolveValue(mApp.ObjectList(), c.Speed);
        const Integer number = vb::CInt(sound);
        if (!IsTone(sound)) {
            send([&](IBrickDevice& p) { return p.PlaySystemSound(number); });
        } else {
            const Integer duration = vb::CInt(double(ResolveValue(mApp.ObjectList(), c.Time)) * v1.toDouble());
            send([&](IBrickDevice& p) { return p.PlayTone(number, duration); });
        }
        break;
    }
    case CommandKey::G_TXPOWER: {
        const Integer power = v1.toInteger();
        send([&](IBrickDevice& p) { return p.PBTxPower(power); });
        break;
    }
    case CommandKey::G_DISPLAY: {
        const Long source = s1.toLong();
        const Integer value = v1.toInteger();
        send([&](IBrickDevice& p) { return p.SelectDisplay(source, value); });
        break;
    }
    case CommandKey::G_PBOFF: send([&](IBrickDevice& p) { return p.PBTurnOff(); }); break;
    case CommandKey::L_VAR: variable(c, v1, v2); break;
    case CommandKey::G_WAIT:
    case CommandKey::A_REM:
        // Nothing to send; a wait follows.
        break;
    default:
        if (FamilyOf(key) == CommandFamily::Motor) {
            motor(c, s2, v2, send);
            break;
        }
        ShowMessage(*mApp.Presenter,
                    QStringLiteral("The command: ") + c.KeyText() +
                        QStringLiteral(" does not exist in the immediate command table"),
                    MsgStyle::Exclamation);
        return false;
    }
    return true;
}

bool ImmediateRunner::block(const clsCommand& c, Variant& s1, Variant& v1, Variant& s2, Variant& v2, bool gapMode)
{
    // A block without its body fails once it is to be walked.
    const auto body = [&c] {
        if (!c.Commands)
            raiseError(Err::ObjectNotSet);
        return c.Commands.get();
    };
    switch (c.CommandKey) {
    case CommandKey::L_IF:
        if (c.Op < 0 || c.Op > 4)
            return true;
        return RunImmediate(body(), condition(c, v1, v2, true) ? 0 : 1, gapMode);
    case CommandKey::L_WHILE: {
        if (c.Op < 0 || c.Op > 3)
            return true;
        CommandCollection* b = body();
        while (condition(c, v1, v2, false)) {
            mSeams.yield();
            if (!RunImmediate(b, 2, gapMode) || mApp.StopRun)
                return false;
            ResolveOperandsImmediate(c, s1, v1, s2, v2);
        }
        return true;
    }
    default: {
        CommandCollection* b = body();
        Integer counter = 0;
        while (double(counter) < v1.toDouble()) {
            if (!RunImmediate(b, 2, gapMode) || mApp.StopRun)
                return false;
            ResolveOperandsImmediate(c, s1, v1, s2, v2);  // the count may change
            if (counter == std::numeric_limits<Integer>::max())
                raiseError(Err::Overflow);
            ++counter;
        }
        return true;
    }
    }
}

void ImmediateRunner::motor(const clsCommand& c, const Variant& s2, const Variant& v2, Sender& send)
{
    const QString& motors = c.MotorList;
    switch (c.CommandKey) {
    case CommandKey::M_ALTDIR:
        // Always sent: the PC's record follows what the brick did.
        send([&](IBrickDevice& p) { return p.AlterDir(motors); });
        UpdateMotorState(c, v2);
        return;
    case CommandKey::M_SETPWR:
        if (UpdateMotorState(c, v2)) {
            const Long source = s2.toLong();
            const Integer power = v2.toInteger();
            send([&](IBrickDevice& p) { return p.SetPower(motors, source, power); });
        }
        return;
    default: break;
    }
    // The others go only when they change the PC's record of a motor.
    if (!UpdateMotorState(c, v2))
        return;
    switch (c.CommandKey) {
    case CommandKey::M_ON: send([&](IBrickDevice& p) { return p.On(motors); }); break;
    case CommandKey::M_OFF: send([&](IBrickDevice& p) { return c.Op == 1 ? p.Off(motors) : p.Float(motors); }); break;
    case CommandKey::M_FWD: send([&](IBrickDevice& p) { return p.SetFwd(motors); }); break;
    case CommandKey::M_RWD: send([&](IBrickDevice& p) { return p.SetRwd(motors); }); break;
    default: break;
    }
}

void ImmediateRunner::variable(const clsCommand& c, const Variant& v1, const Variant& v2)
{
    if (c.Op < 0 || c.Op > 8)
        return;
    clsObject& var = namedValue(mApp.ObjectList(), v1.toString());
    const double value = double(var.Value);
    const double operand = v2.toDouble();
    double result = 0;
    switch (c.Op) {
    case VarOperation::Add: result = value + operand; break;
    case VarOperation::Subtract: result = value - operand; break;
    case VarOperation::Divide:
        if (operand == 0)
            raiseError(Err::DivisionByZero);
        result = value / operand;
        break;
    case VarOperation::Multiply: result = value * operand; break;
    case VarOperation::Sign: result = operand > 0 ? 1 : operand < 0 ? -1 : 0; break;
    case VarOperation::Absolute: result = std::fabs(operand); break;
    case VarOperation::And: result = double(var.Value & vb::CLng(operand)); break;
    case VarOperation::Or: result = double(var.Value | vb::CLng(operand)); break;
    case VarOperation::SetValue: result = operand; break;
    }
    var.Value = vb::CLng(result);  // a quotient rounds half to even
}

void ImmediateRunner::wait(const clsCommand& c, const Variant& s1, const Variant& v1)
{
    const Long time = ResolveValue(mApp.ObjectList(), c.Time);
    if (time <= 0)
        return;
    if (!TakesDuration(c.CommandKey))
        return;
    mSeams.yield();
    // A variable holds hundredths; otherwise V1 is the unit in hundredths.
    const double hundredths = sourceOf(s1) == OperandSource::Variable
                                  ? ResolveValue(mApp.ObjectList(), v1)
                                  : double(ResolveValue(mApp.ObjectList(), v1)) * double(time);
    mSeams.sleepFor(hundredths * 10);
}

// ---------------------------------------------------------------- the run

void ResetMotorObjects(AppState& a)
{
    for (const auto& e : a.VariableDefs()) {
        const clsObject& def = *e.item;
        if (def.Source != OperandSource::Variable)
            continue;
        if (a.ObjectList().Exists(def.Name))
            a.ObjectList().Item(def.Name)->Value = def.Value;
    }
    IBrickDevice& pb = PB(a);
    const clsRcx& rcx = a.RcxSetup();
    for (int port = 0; port < 3; ++port) {
        const clsMotor& m = rcx.PortMotor(port);
        if (m.MotorType() != 1)
            continue;
        const QString list = QString::number(port);
        if (m.MotorStartState == 1)
            pb.On(list);
        else
            pb.Off(list);
        if (m.MotorDirection == 1)
            pb.SetFwd(list);
        else
            pb.SetRwd(list);
        pb.SetPower(list, OperandSource::Constant, m.Power);
    }
    for (int port = 0; port < 3; ++port) {
        if (rcx.PortMotor(port).MotorType() != 1)
            continue;
        Integer number = Integer(port);
        const Integer status = pb.Poll(OperandSource::MotorStatus, number);
        const QString letter(QChar(ushort(65 + port)));
        auto record = [&a](const QString& name, Long value) {
            if (a.ObjectList().Exists(name))
                a.ObjectList().Item(name)->AuxValue = value;
        };
        record(QStringLiteral("Motor state ") + letter, status & 192);
        record(QStringLiteral("Motor direction ") + letter, status & 8);
        record(QStringLiteral("Motor speed ") + letter, status & 7);
    }
}

PcRun::Tick PcRun::tmrJoy_Timer()
{
    AppState& a = mRunner.app();
    // A tick that comes while a pass yields to the event loop starts no second pass.
    if (mBusy)
        return Tick::Skipped;
    if (a.RcxWindowRequested) {
        a.RunCycleEnded = True;
        return Tick::Skipped;
    }
    a.RunCycleEnded = False;
    bool passed = false;
    if (a.TaskList().Count() > 0) {
        mBusy = true;
        const TaskPtr task = a.TaskList().Item(1);
        passed = mRunner.RunImmediate(task->Commands().get(), 2, false);
        mBusy = false;
    }
    if (passed)
        return Tick::Passed;
    try {
        PB(a).Off(QStringLiteral("012"));
    } catch (const VbError&) {
        // Not tested: the run ends whatever the brick says.
    }
    // The PC's record follows: every motor is off now (the set-up window's
    // polling panel shows this record in a Joystick & Keyboard project).
    for (int port = 0; port < 3; ++port)
        if (const ObjectPtr* state = a.ObjectList().find(motorNames(port).state))
            (*state)->AuxValue = 64;
    a.StopRun = True;
    return Tick::Ended;
}
