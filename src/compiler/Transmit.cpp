#include "compiler/Transmit.h"

#include "compiler/CommandCheck.h"
#include "compiler/ModuleCompile.h"
#include "compiler/Translate.h"
#include "model/AppState.h"
#include "model/BusyPointer.h"
#include "model/Notifier.h"
#include "model/Grid.h"
#include "model/Messages.h"
#include "model/Phantom.h"

namespace {

const QString kEnd = QStringLiteral("End of transmission");

// The selected commands of the grid under their grid keys, in cell order:
// column 0 rows 1 to 40, then column 1.
CommandCollection selectedInCellOrder(const CommandCollection& commands)
{
    CommandCollection out;
    const GridCells cells(commands);
    for (int col = 0; col < GridCells::kColumns; ++col)
        for (int row = 1; row <= GridCells::kRows; ++row) {
            const std::shared_ptr<clsCommand>* c = cells.at(col, row);
            if (c && (*c)->PicSelected)
                out.Add(*c, ColKey(col, row));
        }
    return out;
}

const clsTask* taskNamed(const AppState& app, const QString& name)
{
    for (const auto& e : app.TaskList())
        if (e.item->Name.compare(name, Qt::CaseInsensitive) == 0)
            return e.item.get();
    return nullptr;
}

void transmitJoystick(AppState& a, CommandCollection& commands, const ImmediateSeams& seams)
{
    CommandCollection selection = selectedInCellOrder(commands);
    if (!InitRCX(a))
        return;
    a.StopRun = False;
    ImmediateRunner(a, seams).RunImmediate(&selection, 2, true);
    a.StopRun = True;
    ShowMessage(*a.Presenter, kEnd, MsgStyle::Information);
}

// False when the selection may not go down (after its message).
bool selectionAccepted(AppState& a, CommandCollection& commands)
{
    bool refused = false;
    QString report;
    for (const auto& e : commands) {
        const clsCommand& c = *e.item;
        if (!c.PicSelected)
            continue;
        if (a.ImmediateCommands.Item(c.KeyText()) == 0) {
            ShowMessage(*a.Presenter, QStringLiteral("One of the selected command is not an immediat command and cannot be transmitted"),
                        MsgStyle::Exclamation);
            return false;
        }
        const QString text = CheckCommand(a, c, 0);
        if (!text.isEmpty()) {
            // Every refused command is named, one after another.
            if (refused)
                report += QStringLiteral("\r\n");
            refused = true;
            report += c.KeyText().mid(2) + QStringLiteral("\r\n") + text;
        }
    }
    if (refused) {
        ShowMessage(*a.Presenter, QStringLiteral("Command error:\r\n") + report, MsgStyle::Exclamation);
        return false;
    }
    return true;
}

void sendOne(AppState& a, const clsCommand& c, const Variant& s1, const Variant& v1, const Variant& s2,
             const Variant& v2)
{
    IBrickDevice& pb = PB(a);
    switch (c.CommandKey) {
    case CommandKey::M_ON: pb.On(c.MotorList); break;
    case CommandKey::M_OFF:
        if (c.Op == 1)
            pb.Off(c.MotorList);
        else
            pb.Float(c.MotorList);
        break;
    case CommandKey::M_FWD: pb.SetFwd(c.MotorList); break;
    case CommandKey::M_RWD: pb.SetRwd(c.MotorList); break;
    case CommandKey::M_ALTDIR: pb.AlterDir(c.MotorList); break;
    case CommandKey::M_SETPWR: pb.SetPower(c.MotorList, s2.toLong(), v2.toInteger()); break;
    case CommandKey::G_SOUND: {
        const Long sound = ResolveValue(a.ObjectList(), c.Speed);
        if (!IsTone(sound))
            pb.PlaySystemSound(vb::CInt(sound));
        else
            pb.PlayTone(vb::CInt(sound), vb::CInt(double(ResolveValue(a.ObjectList(), c.Time)) * v1.toDouble()));
        break;
    }
    case CommandKey::G_TXPOWER: pb.PBTxPower(v1.toInteger()); break;
    case CommandKey::G_WAIT:
    case CommandKey::A_REM:
        // The wait follows; a remark does nothing.
        break;
    case CommandKey::L_VAR: SendVarOperation(pb, c.Op, v1.toInteger(), s2.toLong(), v2.toInteger()); break;
    case CommandKey::L_ZERO: {
        const double s = s1.toDouble();
        if (s == double(OperandSource::SensorValue))
            pb.ClearSensorValue(v1.toInteger());
        else if (s == double(OperandSource::Timer))
            pb.ClearTimer(v1.toInteger());
        else if (s == double(OperandSource::Message))
            ShowMessage(*a.Presenter, QStringLiteral("Sorry! Can't ClearPBMessage in immediat mode!"), MsgStyle::Exclamation);
        break;
    }
    case CommandKey::L_START:
        if (const clsTask* t = taskNamed(a, c.Param1Value.toString())) {
            Integer n = t->mNumber;
            pb.StartTask(n);
        }
        break;
    case CommandKey::L_STOP: {
        const QString name = c.Param1Value.toString();
        if (vb::SameText(name, "Stop program")) {
            pb.StopAllTasks();
        } else if (const clsTask* t = taskNamed(a, name)) {
            Integer n = t->mNumber;
            pb.StopTask(n);
        }
        break;
    }
    case CommandKey::G_WATCH: pb.SetWatch(v1.toInteger(), v2.toInteger()); break;
    case CommandKey::G_PBOFF: pb.PBTurnOff(); break;
    case CommandKey::G_DISPLAY: pb.SelectDisplay(s1.toLong(), v1.toInteger()); break;
    case CommandKey::L_SENTYPE: pb.SetSensorType(v1.toInteger(), v2.toInteger()); break;
    case CommandKey::L_SENMODE: pb.SetSensorMode(v1.toInteger(), v2.toInteger(), 0); break;
    default:
        ShowMessage(*a.Presenter, QStringLiteral("The command ") + c.KeyText() + QStringLiteral(" Does not exist in the immediat command table"),
                    MsgStyle::Exclamation);
        break;
    }
}

void waitAfter(AppState& a, const clsCommand& c, const Variant& s1, const Variant& v1, const ImmediateSeams& seams)
{
    const Long time = ResolveValue(a.ObjectList(), c.Time);
    if (time <= 0 || !TakesDuration(c.CommandKey))
        return;
    const double s = s1.toDouble();
    if (s == double(OperandSource::Random)) {
        seams.sleepFor(vb::Int(v1.toDouble() * Rnd() * 10));
    } else if (s == double(OperandSource::Variable)) {
        Integer number = v1.toInteger();
        const Integer value = PB(a).Poll(OperandSource::Variable, number);
        seams.yield();
        seams.sleepFor(double(value) * 10);
    } else {
        seams.yield();
        seams.sleepFor(double(time) * v1.toDouble() * 10);
    }
}

void transmitRcx(AppState& a, CommandCollection& commands, const ImmediateSeams& seams)
{
    if (!selectionAccepted(a, commands))
        return;
    if (!InitRCX(a))
        return;
    if (!PB(a).PBAlive()) {
        ShowMessage(*a.Presenter, QStringLiteral("No communication with the RCX"), MsgStyle::Exclamation);
        return;
    }
    {
        // A command that fails to go leaves no hourglass behind.
        BusyPointer busy(*a.Notifier);
        for (const auto& e : selectedInCellOrder(commands)) {
            const clsCommand& c = *e.item;
            Variant s1, v1, s2, v2;
            ResolveOperands(a, c, s1, v1, s2, v2, CompileMode::Download);
            seams.yield();
            sendOne(a, c, s1, v1, s2, v2);
            waitAfter(a, c, s1, v1, seams);
        }
    }
    ShowMessage(*a.Presenter, kEnd, MsgStyle::Information);
}

}  // namespace

void TransmitCommands(AppState& app, CommandCollection& commands)
{
    TransmitCommands(app, commands, ImmediateSeams::Real(app));
}

void TransmitCommands(AppState& app, CommandCollection& commands, const ImmediateSeams& seams)
{
    try {
        if (app.ProjectType() == ProjectType::JoystickKeyboard)
            transmitJoystick(app, commands, seams);
        else
            transmitRcx(app, commands, seams);
    } catch (const VbError& e) {
        ShowImmediateFailure(app, e);
    }
}
