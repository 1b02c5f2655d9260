#include "setup/core/SetupService.h"
#include "setup/core/SetupShared.h"

#include "compiler/ModuleCompile.h"
#include "link/BrickHold.h"
#include "model/AppState.h"
#include "model/Messages.h"
#include "model/NamedValues.h"
#include "model/Notifier.h"
#include "model/Records.h"
#include "model/VbError.h"

#include <QStringList>

#include <algorithm>

using namespace setupcore;

namespace {

// A failure of the sensor dialog: the pointer back to normal, then the
// missing brick as such or the failure's description. The dialog's own work
// holds its hourglass in scoped busy pointers (the sensor update's, the port
// search's), gone by the time a failure gets here; what can still be up is an
// hourglass that outlives its work's scope on purpose, a download's waiting
// for the brick to report its last module, and the message must not show it.
// So the pointer is put back by hand, not by a scope.
void ShowDialogFailure(const VbError& e)
{
    App().Notifier->SetPointer(PointerShape::Default);
    if (e.number() == Err::DeviceUnavailable)
        ShowMessage(kNoCommunication, MsgStyle::Exclamation);
    else
        ShowMessage(e.description(), MsgStyle::Critical);
}

}  // namespace

// ------------------------------------------------------------------ sensor dialog

SensorProperties::SensorProperties(int sensorIndex) : SensorIndex(sensorIndex) {}

QStringList SensorProperties::ModeNames()
{
    return {QStringLiteral("Raw"), QStringLiteral("Boolean"), QStringLiteral("Trans"), QStringLiteral("Period"),
            QStringLiteral("Percentage"), QStringLiteral("Celsius"), QStringLiteral("Fahrenheit"),
            QStringLiteral("Rotation")};
}

QString SensorProperties::TypeCaption() const
{
    switch (Rcx().PortSensor(SensorIndex).SensorType()) {
    case 1: return QStringLiteral("Touch sensor");
    case 2: return QStringLiteral("Temperature sensor");
    case 3: return QStringLiteral("Light sensor");
    case 4: return QStringLiteral("Rotation sensor");
    default: return QString();
    }
}

QString SensorProperties::PortCaption() const
{
    return QStringLiteral("Port number: ") + QString::number(Rcx().PortSensor(SensorIndex).SensorPort + 1);
}

Long SensorProperties::Mode() const { return Rcx().PortSensor(SensorIndex).SensorMode; }
QString SensorProperties::Purpose() const { return Rcx().PortSensor(SensorIndex).Purpose; }

QString SensorProperties::PollCaption() const
{
    return Polling ? QStringLiteral("Stop polling") : QStringLiteral("Poll sensor value");
}

void SensorProperties::Edited(Long mode)
{
    Changed = true;
    if (Polling)
        TogglePoll(mode);
}

bool SensorProperties::Update(Long mode, const QString& purpose)
{
    if (Polling)
        TogglePoll(mode);
    AppState& a = App();
    try {
        const QString trimmed = vb::Trim(purpose);
        if (trimmed.isEmpty()) {
            ShowMessage(QStringLiteral("Missing purpose"), MsgStyle::Exclamation);
            return false;
        }
        // The purpose is kept in a port line and names the datalog's items.
        if (const QString refusal = StoredTextRefusal(purpose, TextField::Split); !refusal.isEmpty()) {
            ShowMessage(refusal, MsgStyle::Exclamation);
            return false;
        }
        // Both the trimmed name and the name as it will be stored are checked,
        // so the old value object is never removed for a name that can't be added.
        for (const auto& e : a.ObjectList()) {
            const clsObject& o = *e.item;
            const bool same = o.Name.compare(trimmed, Qt::CaseInsensitive) == 0 ||
                              o.Name.compare(purpose, Qt::CaseInsensitive) == 0 ||
                              e.key.compare(purpose, Qt::CaseInsensitive) == 0;
            if (!same)
                continue;
            if (o.Source == OperandSource::SensorValue && o.Number == SensorIndex)
                continue;
            ShowMessage(QStringLiteral("Object by that name already exist"), MsgStyle::Exclamation);
            return false;
        }
        App().EditSensor(SensorIndex, [&](clsSensor& s) { s.SensorMode = mode; });
        RemoveObjects(SensorIndex, {OperandSource::SensorValue});
        AddNamedValue(purpose, OperandSource::SensorValue, 0, Integer(SensorIndex));
        App().EditSensor(SensorIndex, [&](clsSensor& s) { s.Purpose = purpose; });
        if (Changed)
            App().SetSetupDirty(True);
        WasCanceled = false;
        return true;
    } catch (const VbError& e) {
        ShowDialogFailure(e);
        return false;
    }
}

void SensorProperties::Cancel()
{
    WasCanceled = true;
}

void SensorProperties::TogglePoll(Long mode)
{
    if (Polling) {
        Polling = false;
        return;
    }
    try {
        if (!InitRCX(App()))
            return;
        UpdateSensor(App(), Integer(SensorIndex), Integer(Rcx().PortSensor(SensorIndex).SensorType()), Integer(mode));
        Polling = true;
    } catch (const VbError& e) {
        ShowDialogFailure(e);
    }
}

void SensorProperties::PollTick()
{
    // While a transfer holds the brick, the ticks read nothing and say nothing.
    if (!Polling || !BrickBusyWith(App()).isEmpty())
        return;
    try {
        SensorValue = QString::number(PollBrick(OperandSource::SensorValue, Integer(SensorIndex)));
    } catch (const VbError& e) {
        if (e.number() == Err::DeviceUnavailable)
            ShowMessage(kNoCommunication, MsgStyle::Question);
        else
            ShowMessage(e.description(), MsgStyle::Critical);
        Polling = false;
    }
}

void SensorProperties::Closing(Long mode)
{
    if (Polling)
        TogglePoll(mode);
}

// ------------------------------------------------------------------ motor dialog

MotorProperties::MotorProperties(int motorIndex) : MotorIndex(motorIndex)
{
    const clsMotor& m = Rcx().PortMotor(motorIndex);
    Speed = Integer(std::clamp<int>(m.Power, 0, 7));
    FwdMeaning = m.MotorFwdMeening;
    RwdMeaning = m.MotorRwdMeening;
    Direction = m.MotorDirection == 1 ? 1 : 0;
    StartState = m.MotorStartState == 1 ? 1 : 0;
    Purpose = m.Purpose;
    mLoading = false;
}

QString MotorProperties::Title() const { return QStringLiteral("Motor ") + PortLetter(MotorIndex); }

QString MotorProperties::DirectionCaption() const
{
    return Direction == 1 ? QStringLiteral("Forward") : QStringLiteral("Backward");
}

QString MotorProperties::MeaningCaption() const
{
    return Direction == 1 ? QStringLiteral("Forward meaning :") : QStringLiteral("Backward meaning :");
}

QString MotorProperties::StartCaption() const { return StartState == 1 ? QStringLiteral("On") : QStringLiteral("Off"); }

QString MotorProperties::TestCaption() const
{
    return Running ? QStringLiteral("Stop motor") : QStringLiteral("Start motor");
}

void MotorProperties::setSpeed(Integer value)
{
    Speed = value;
    if (!mLoading)
        Changed = true;
    if (Running) {
        try {
            PB().SetPower(MotorList(), OperandSource::Constant, value);
        } catch (const VbError& e) {
            ShowMessage(e.description(), MsgStyle::Exclamation);
        }
    }
}

void MotorProperties::setDirection(Long value)
{
    Direction = value == 1 ? 1 : 0;
    if (Running) {
        try {
            if (Direction == 1)
                PB().SetFwd(MotorList());
            else
                PB().SetRwd(MotorList());
        } catch (const VbError& e) {
            ShowMessage(e.description(), MsgStyle::Exclamation);
        }
    }
    if (!mLoading)
        Changed = true;
}

void MotorProperties::setStartState(Long value)
{
    StartState = value == 1 ? 1 : 0;
    if (!mLoading)
        Changed = true;
}

void MotorProperties::setPurpose(const QString& text)
{
    Purpose = text;
    if (!mLoading)
        Changed = true;
}

bool MotorProperties::Update()
{
    if (vb::Trim(Purpose).isEmpty()) {
        ShowMessage(QStringLiteral("Missing purpose"), MsgStyle::Exclamation);
        return false;
    }
    for (const QString* text : {&Purpose, &FwdMeaning, &RwdMeaning}) {
        if (const QString refusal = StoredTextRefusal(*text, TextField::Split); !refusal.isEmpty()) {
            ShowMessage(refusal, MsgStyle::Exclamation);
            return false;
        }
    }
    App().EditMotor(MotorIndex, [&](clsMotor& m) {
        m.MotorDirection = Direction;
        m.MotorStartState = StartState;
        m.Power = Speed;
        m.Purpose = Purpose;
        m.MotorFwdMeening = FwdMeaning;
        m.MotorRwdMeening = RwdMeaning;
    });
    if (Changed)
        App().SetSetupDirty(True);
    return true;
}

void MotorProperties::TestMotor()
{
    try {
        if (!InitRCX(App()))
            return;
        const QString list = MotorList();
        if (Running) {
            Running = false;
            PB().Off(list);
        } else {
            Running = true;
            PB().SetPower(list, OperandSource::Constant, Speed);
            if (Direction == 1)
                PB().SetFwd(list);
            else
                PB().SetRwd(list);
            PB().On(list);
        }
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
    }
}

void MotorProperties::Closing()
{
    if (Running)
        TestMotor();
}
