#include "compiler/ModuleCompile.h"

#include "compiler/CompileContext.h"
#include "compiler/Translate.h"
#include "link/BrickHold.h"
#include "link/PortScan.h"
#include "model/AppState.h"
#include "model/BusyPointer.h"
#include "model/Messages.h"
#include "model/Phantom.h"

namespace {

const QString kDashes = QStringLiteral("'-------------------------------");

// What tells a task from a sub when it is listed or sent.
struct ModuleWords {
    Long kind;
    const char* begin;  // listing words
    const char* end;
    const char* compileFailure;
    void (IBrickDevice::*beginOp)(Integer&);
    void (IBrickDevice::*endOp)();
    bool endAfterFailure;  // a task is closed even after a failure, so the control is not left inside it
    const char* downloadFailure;
};

const ModuleWords kTaskWords{ModuleKind::Task, ".BeginOfTask", ".EndOfTask", " in compile task",
                             &IBrickDevice::BeginOfTask, &IBrickDevice::EndOfTask, true, " in Download"};
const ModuleWords kSubWords{ModuleKind::Sub, ".BeginOfSub", ".EndOfSub", " in compile sub",
                            &IBrickDevice::BeginOfSub, &IBrickDevice::EndOfSub, false, " in Download sub"};

// Shows the failure; a compile's failure is also the text its error report tells.
void showFailure(const AppState& app, const VbError& e, const char* where, CompileContext* context)
{
    const QString text = QStringLiteral("Error: ") + QString::number(e.number()) + QLatin1String(where);
    ShowMessage(*app.Presenter, text, MsgStyle::Critical);
    if (context)
        context->CompileError = text;
}

// A task or sub between its begin and end: into the compile's listing (mode
// 3) with its header lines, or through the control (mode 1). One walk of its
// grid serves both.
bool walkModule(AppState& app, clsModule& module, const ModuleWords& w, Long mode, CompileContext* context)
{
    const bool listing = mode == CompileMode::Listing;
    bool result = true;
    try {
        if (listing) {
            ListingLine(*context, QStringLiteral(" "));
            ListingLine(*context, QStringLiteral("'***  "), module.Name, "   ***");
            ListingLine(*context, kDashes);
            ListingLine(*context, QString(), w.begin, module.mNumber);
        } else {
            // The hourglass the project's download set stays on after the
            // module has gone: the brick reports each module done later, and
            // the report of the last puts the default pointer back. A tower
            // slow to answer meanwhile nests its busy pointer in it.
            Integer number = module.mNumber;
            (PB(app).*w.beginOp)(number);
        }
        if (!DLCommands(app, module.Commands().get(), w.kind, mode, module.mLoop, listing ? module.Name : QString(), 0,
                        context)) {
            result = false;
            if (listing || !w.endAfterFailure)
                return false;
        }
        if (listing)
            ListingLine(*context, QString(), w.end);
        else
            (PB(app).*w.endOp)();
        return result;
    } catch (const VbError& e) {
        // Whatever the control fails or refuses (its begin or end of the
        // module among them) fails the module: a module that did not go
        // down whole is never reported as sent.
        showFailure(app, e, listing ? w.compileFailure : w.downloadFailure, listing ? context : nullptr);
        return false;
    }
}

// The set-up task's parts; op sends or lists one operation (EmitOperation).
template <class Op>
void setUpSensors(const clsRcx& rcx, const Op& op)
{
    for (int i = 0; i < 3; ++i) {
        const clsSensor& s = rcx.PortSensor(i);
        op([&](IBrickDevice& pb) { pb.SetSensorType(vb::CInt(s.SensorPort), vb::CInt(s.SensorType())); },
           ".SetSensorType", s.SensorPort, s.SensorType());
        op([&](IBrickDevice& pb) { pb.SetSensorMode(vb::CInt(s.SensorPort), vb::CInt(s.SensorMode), 0); },
           ".SetSensorMode", s.SensorPort, s.SensorMode, 0);
    }
}

// The motors the set-up connects: their power, direction and start state.
template <class Op>
void setUpMotors(const clsRcx& rcx, const Op& op)
{
    const Long constant = OperandSource::Constant;
    for (int i = 0; i < 3; ++i) {
        const clsMotor& m = rcx.PortMotor(i);
        if (m.MotorType() != 1)
            continue;
        const QString port = QString::number(i);
        op([&](IBrickDevice& pb) { pb.SetPower(port, constant, m.Power); }, ".SetPower", port, constant, m.Power);
        if (m.MotorDirection == 1)
            op([&](IBrickDevice& pb) { pb.SetFwd(port); }, ".SetFwd", port);
        else
            op([&](IBrickDevice& pb) { pb.SetRwd(port); }, ".SetRwd", port);
        if (m.MotorStartState == 1)
            op([&](IBrickDevice& pb) { pb.On(port); }, ".On", port);
    }
}

// The variables' initial values, loaded as constants.
template <class Op>
void setUpVariables(const AppState& app, const Op& op)
{
    const Long constant = OperandSource::Constant;
    for (const auto& e : app.ObjectList()) {
        const clsObject& o = *e.item;
        if (o.Source != OperandSource::Variable)
            continue;
        op([&](IBrickDevice& pb) { pb.SetVar(o.Number, constant, vb::CInt(o.Value)); }, ".SetVar", o.Number,
           constant, o.Value);
    }
}

// The tasks that start with the program.
template <class Op>
void startTasks(const AppState& app, const Op& op)
{
    for (const auto& e : app.TaskList()) {
        const clsTask& t = *e.item;
        if (t.StartOnStartup != 1)
            continue;
        op(
            [&](IBrickDevice& pb) {
                Integer number = t.mNumber;
                pb.StartTask(number);
            },
            ".StartTask", t.mNumber);
    }
}

}  // namespace

bool Compile(AppState& app, clsTask& task, CompileContext& context)
{
    return walkModule(app, task, kTaskWords, CompileMode::Listing, &context);
}

bool Compile(AppState& app, clsSub& sub, CompileContext& context)
{
    return walkModule(app, sub, kSubWords, CompileMode::Listing, &context);
}

bool DownLoad(AppState& app, clsTask& task) { return walkModule(app, task, kTaskWords, CompileMode::Download, nullptr); }

bool DownLoad(AppState& app, clsSub& sub) { return walkModule(app, sub, kSubWords, CompileMode::Download, nullptr); }

bool InitRCX(AppState& app)
{
    try {
        // A transfer holds the brick: nothing else may reach it, the tower search neither.
        if (TellWhenBrickBusy(app))
            return false;
        if (app.RcxSetup().IsInit)
            return true;
        if (!VerifyCommPort(app)) {
            ShowMessage(*app.Presenter, QStringLiteral("Can't communicate with the RCX Transmission Tower!\r\n"
                                       "Check cable connection and the Tower battery."),
                        MsgStyle::Critical);
            return false;
        }
        app.SetRcxInit(True);
        return true;
    } catch (const VbError& e) {
        ShowMessage(*app.Presenter, IsBrickBusy(e) ? e.description() : QStringLiteral("No communication with the IR Tower"),
                    MsgStyle::Exclamation);
        return false;
    }
}

bool DownLoad(AppState& app, const clsRcx& rcx, Long action, CompileContext* context)
{
    const auto op = [&](auto send, const auto&... fields) { EmitOperation(app, context, action, send, fields...); };
    if (action == CompileMode::Listing) {
        CompileContext& listing = ListingOf(context);
        if (app.ProjectType() == ProjectType::Rcx) {
            listing.ListingText.clear();
            listing.Listed = True;
        }
        ListingLine(listing, QStringLiteral("'"), rcx.ProjectName);
        ListingLine(listing, kDashes);
        ListingLine(listing, QStringLiteral(" "));
    }
    if (action == CompileMode::Download) {
        IBrickDevice& pb = PB(app);
        Integer slot = rcx.ProgramNumber;
        pb.SelectPrgm(slot);
        Integer setup = 0;
        pb.BeginOfTask(setup);
    } else if (action == CompileMode::Listing) {
        ListingLine(*context, QString(), ".SelectPrgm", rcx.ProgramNumber);
        ListingLine(*context, QString(), ".BeginOfTask 0 ");
    }
    setUpSensors(rcx, op);
    setUpMotors(rcx, op);
    setUpVariables(app, op);
    startTasks(app, op);
    op([](IBrickDevice& pb) { pb.EndOfTask(); }, ".EndOfTask");
    return true;
}

void UpdateSensor(AppState& app, Integer sensorIndex, Integer lType, Integer lMode)
{
    try {
        BusyPointer busy(*app.Notifier);
        IBrickDevice& pb = PB(app);
        Integer number = sensorIndex;
        const double mode = pb.Poll(OperandSource::SensorMode, number) / 32.0;
        number = sensorIndex;
        const Integer type = pb.Poll(OperandSource::SensorType, number);
        if (type != lType || mode != double(lMode)) {
            pb.SetSensorType(sensorIndex, lType);
            pb.SetSensorMode(sensorIndex, lMode, 0);
        }
    } catch (const VbError& e) {
        ShowMessage(*app.Presenter, IsBrickBusy(e) ? e.description() : QStringLiteral("No comunication with the RCX!"),
                    MsgStyle::Exclamation);
    }
}
