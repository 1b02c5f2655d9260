#include "setup/core/SetupService.h"
#include "setup/core/SetupShared.h"

#include "link/BrickHold.h"
#include "model/AppState.h"
#include "model/Config.h"
#include "model/Messages.h"
#include "model/NamedValues.h"
#include "model/VbError.h"

#include <QStringList>

#include <algorithm>
#include <initializer_list>
#include <optional>

using namespace setupcore;

namespace setupcore {

// Removes every named value of one of the sources whose number is the port.
void RemoveObjects(int port, std::initializer_list<Integer> sources)
{
    AppState& app = App();
    QStringList keys;
    for (const auto& e : app.ObjectList()) {
        const clsObject& o = *e.item;
        if (o.Number == port && std::find(sources.begin(), sources.end(), o.Source) != sources.end())
            keys.append(e.key);
    }
    for (const QString& key : keys)
        app.RemoveObject(key);
}

// Removes the value, type, mode, raw and boolean objects of a sensor port.
void RemoveSensorObjects(int port)
{
    RemoveObjects(port, {OperandSource::SensorValue, OperandSource::SensorType, OperandSource::SensorMode,
                         OperandSource::SensorRaw, OperandSource::SensorBoolean});
}

}  // namespace setupcore

QString SetupFailureText(const VbError& e)
{
    if (e.number() == Err::DeviceUnavailable)
        return kNoCommunication;
    if (IsBrickBusy(e))
        return e.description();
    return QStringLiteral("Error:  ") + QString::number(e.number()) + QLatin1Char(' ') + e.description();
}

// ------------------------------------------------------------------ the window's width

namespace {

// The width the user chose in this run; none yet: as the setting says.
struct AdvancedWidth {
    std::optional<bool> chosen;
};

std::optional<bool>& advancedChosen() { return AppScoped<AdvancedWidth>().chosen; }

}  // namespace

bool AdvancedShown(const Config& config)
{
    return advancedChosen().value_or(config.Value(Setting::AdvancedMode));
}

void SetAdvancedShown(bool shown) { advancedChosen() = shown; }

// ------------------------------------------------------------------ ports

bool DropOnOutput(int port, int picture)
{
    if (picture != SetupPicture::Motor) {
        ShowMessage(QStringLiteral("Only Motors here!"), MsgStyle::Exclamation);
        return false;
    }
    try {
        RemoveObjects(port, {OperandSource::MotorStatus});
        const QString x(PortLetter(port));
        const Integer n = Integer(port);
        AddNamedValue(QStringLiteral("Motor state ") + x, OperandSource::MotorStatus, 192, n);
        AddNamedValue(QStringLiteral("Motor Direction ") + x, OperandSource::MotorStatus, 8, n);
        AddNamedValue(QStringLiteral("Motor speed ") + x, OperandSource::MotorStatus, 7, n);
        App().EditMotor(port, [&](clsMotor& m) {
            m.Purpose = QStringLiteral("Motor ") + x;
            m.setMotorType(1);
            m.MotorStartState = 1;
            m.MotorPort = port;
            m.MotorDirection = 1;
            m.Power = 7;
        });
        App().SetSetupDirty(True);
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Critical);
    }
    return true;
}

bool DropOnSensor(int port, int picture)
{
    if (picture < SetupPicture::Touch || picture > SetupPicture::Rotation) {
        ShowMessage(QStringLiteral("Only Sensors here"), MsgStyle::Exclamation);
        return false;
    }
    try {
        App().EditSensor(port, [&](clsSensor& s) { s.setSensorType(picture); });
        RemoveSensorObjects(port);
        const Integer p = Integer(port);
        const QString name = SensorValueName(picture, port);
        AddNamedValue(name, OperandSource::SensorValue, 0, p);
        App().EditSensor(port, [&](clsSensor& s) { s.Purpose = name; });
        AddSensorStatusObjects(port);
        App().SetSetupDirty(True);
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Critical);
    }
    return true;
}

void RemoveMotor(int port)
{
    RemoveObjects(port, {OperandSource::MotorStatus});
    App().EditMotor(port, [](clsMotor& m) {
        m.setMotorType(0);
        m.Purpose.clear();
        m.MotorDirection = 1;
        m.MotorStartState = 0;
        m.Power = 0;
    });
    App().SetSetupDirty(True);
}

void RemoveSensor(int port)
{
    RemoveSensorObjects(port);
    App().EditSensor(port, [](clsSensor& s) {
        s.setSensorType(0);
        s.Purpose.clear();
        s.Dark = 40;
        s.PollCheck = 0;
    });
    App().SetSetupDirty(True);
}

bool ProgramSlotKey(QChar key)
{
    if (key < QLatin1Char('1') || key > QLatin1Char('5'))
        return false;
    App().SetProgramNumber(Integer(key.unicode() - '1'));
    App().SetSetupDirty(True);
    return true;
}
