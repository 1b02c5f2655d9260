#include "compiler/ModuleCompile.h"

#include "compiler/Translate.h"
#include "link/PortScan.h"
#include "model/AppState.h"
#include "model/Messages.h"
#include "model/Phantom.h"

namespace {

const QString kDashes = QStringLiteral("'-------------------------------");

// The listing of a task (kind 1) or a sub (kind 5).
bool compileModule(clsModule& module, Long kind, const char* begin, const char* end,
                   const char* failure)
{
    try {
        AppendListingLine(QStringLiteral(" "));
        AppendListingLine(QStringLiteral("'***  "), {module.Name, "   ***"});
        AppendListingLine(kDashes);
        AppendListingLine(QString(), {begin, module.mNumber});
        if (!DLCommands(module.Commands().get(), kind, CompileMode::Listing, module.mLoop, module.Name, 0))
            return false;
        AppendListingLine(QString(), {end});
        return true;
    } catch (const VbError& e) {
        ShowMessage(QStringLiteral("Error: ") + QString::number(e.number()) + QLatin1String(failure),
                    MsgStyle::Critical);
        return false;
    }
}

bool passedOver(const VbError& e)
{
    return e.number() == Err::InvalidCall || e.number() == Err::ObjectNotSet;
}

}  // namespace

bool Compile(clsTask& task)
{
    return compileModule(task, ModuleKind::Task, ".BeginOfTask", ".EndOfTask", " in compile task");
}

bool Compile(clsSub& sub)
{
    return compileModule(sub, ModuleKind::Sub, ".BeginOfSub", ".EndOfSub", " in compile sub");
}

bool DownLoad(clsTask& task)
{
    bool result = true;
    try {
        Integer number = task.mNumber;
        PB().BeginOfTask(number);
        if (!DLCommands(task.Commands().get(), ModuleKind::Task, CompileMode::Download, task.mLoop,
                        QString(), 0))
            result = false;
        // Closed even after a failure, so the control is not left inside the task.
        PB().EndOfTask();
        return result;
    } catch (const VbError& e) {
        if (passedOver(e))
            return result;
        ShowMessage(QStringLiteral("Error: ") + QString::number(e.number()) + QStringLiteral(" in Download"),
                    MsgStyle::Critical);
        return false;
    }
}

bool DownLoad(clsSub& sub)
{
    bool result = true;
    try {
        Integer number = sub.mNumber;
        PB().BeginOfSub(number);
        if (!DLCommands(sub.Commands().get(), ModuleKind::Sub, CompileMode::Download, sub.mLoop,
                        QString(), 0))
            return false;
        PB().EndOfSub();
        return result;
    } catch (const VbError& e) {
        if (passedOver(e))
            return result;
        ShowMessage(QStringLiteral("Error: ") + QString::number(e.number()) +
                        QStringLiteral(" in Download sub"),
                    MsgStyle::Critical);
        return false;
    }
}

bool InitRCX(clsRcx& rcx)
{
    try {
        if (rcx.IsInit)
            return true;
        if (!VerifyCommPort(App().ComPortNumber)) {
            ShowMessage(QStringLiteral("Can't communicate with the RCX Transmission Tower!\r\n"
                                       "Check cable connection and the Tower battery."),
                        MsgStyle::Critical);
            return false;
        }
        rcx.IsInit = True;
        return true;
    } catch (const VbError&) {
        ShowMessage(QStringLiteral("No communication with the IR Tower"), MsgStyle::Exclamation);
        return false;
    }
}

bool DownLoad(clsRcx& rcx, Long action)
{
    AppState& app = App();
    const bool send = action == CompileMode::Download;
    const bool list = action == CompileMode::Listing;

    if (list) {
        if (app.ProjectType == 0)
            app.ListingText.clear();
        AppendListingLine(QStringLiteral("'"), {rcx.ProjectName});
        AppendListingLine(kDashes);
        AppendListingLine(QStringLiteral(" "));
    }

    if (send) {
        Integer slot = rcx.ProgramNumber;
        PB().SelectPrgm(slot);
        Integer setup = 0;
        PB().BeginOfTask(setup);
    } else if (list) {
        AppendListingLine(QString(), {".SelectPrgm", rcx.ProgramNumber});
        AppendListingLine(QString(), {".BeginOfTask 0 "});
    }

    for (int i = 0; i < 3; ++i) {
        const clsSensor& s = *rcx.PortSensor(i);
        if (send) {
            PB().SetSensorType(vb::CInt(s.SensorPort), vb::CInt(s.SensorType()));
            PB().SetSensorMode(vb::CInt(s.SensorPort), vb::CInt(s.SensorMode), 0);
        } else if (list) {
            AppendListingLine(QString(), {".SetSensorType", s.SensorPort, s.SensorType()});
            AppendListingLine(QString(), {".SetSensorMode", s.SensorPort, s.SensorMode, 0});
        }
    }

    for (int i = 0; i < 3; ++i) {
        const clsMotor& m = *rcx.PortMotor(i);
        if (m.MotorType() != 1)
            continue;
        const QString port = QString::number(i);
        const bool forward = m.MotorDirection == 1;
        const bool start = m.MotorStartState == 1;
        if (send) {
            PB().SetPower(port, 2, m.Power);
            if (forward)
                PB().SetFwd(port);
            else
                PB().SetRwd(port);
            if (start)
                PB().On(port);
        } else if (list) {
            AppendListingLine(QString(), {".SetPower", port, 2, m.Power});
            AppendListingLine(QString(), {forward ? ".SetFwd" : ".SetRwd", port});
            if (start)
                AppendListingLine(QString(), {".On", port});
        }
    }

    // The variables' initial values, loaded as constants.
    for (const auto& e : app.ObjectList) {
        const clsObject& o = *e.item;
        if (o.Source != OperandSource::Variable)
            continue;
        if (send)
            PB().SetVar(o.Number, 2, vb::CInt(o.Value));
        else if (list)
            AppendListingLine(QString(), {".SetVar", o.Number, 2, o.Value});
    }

    for (const auto& e : app.TaskList) {
        const clsTask& t = *e.item;
        if (t.StartOnStartup != 1)
            continue;
        if (send) {
            Integer number = t.mNumber;
            PB().StartTask(number);
        } else if (list) {
            AppendListingLine(QString(), {".StartTask", t.mNumber});
        }
    }

    if (send)
        PB().EndOfTask();
    else if (list)
        AppendListingLine(QString(), {".EndOfTask"});
    return true;
}

void UpdateSensor(clsRcx& /*rcx*/, Integer sensorIndex, Integer lType, Integer lMode)
{
    IWindowServices& windows = *App().Windows;
    try {
        windows.SetPointer(11);
        Integer number = sensorIndex;
        const double mode = PB().Poll(OperandSource::SensorMode, number) / 32.0;
        number = sensorIndex;
        const Integer type = PB().Poll(OperandSource::SensorType, number);
        if (type != lType || mode != double(lMode)) {
            PB().SetSensorType(sensorIndex, lType);
            PB().SetSensorMode(sensorIndex, lMode, 0);
        }
        windows.SetPointer(0);
    } catch (const VbError&) {
        windows.SetPointer(0);
        ShowMessage(QStringLiteral("No comunication with the RCX!"), MsgStyle::Exclamation);
    }
}
