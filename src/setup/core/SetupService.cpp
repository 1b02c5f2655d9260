#include "setup/core/SetupService.h"

#include "compiler/CommandCheck.h"
#include "compiler/ModuleCompile.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/FirmwareImage.h"
#include "model/Messages.h"
#include "model/NamedValues.h"
#include "model/Phantom.h"
#include "model/Records.h"
#include "model/SettingsKeys.h"
#include "model/VbError.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <initializer_list>

namespace {

const QString kNoCommunication = QStringLiteral("No communication with the RCX");

clsRcx& Rcx() { return *App().RcxSetup; }

QChar PortLetter(int port) { return QChar(QLatin1Char('A').unicode() + port); }

// Removes every named value of one of the sources whose number is the port.
void RemoveObjects(int port, std::initializer_list<Integer> sources)
{
    Collection<ObjectPtr>& list = App().ObjectList;
    QStringList keys;
    for (const auto& e : list) {
        const clsObject& o = *e.item;
        if (o.Number == port && std::find(sources.begin(), sources.end(), o.Source) != sources.end())
            keys.append(e.key);
    }
    for (const QString& key : keys)
        list.Remove(key);
}

// Removes the value, type, mode, raw and boolean objects of a sensor port.
void RemoveSensorObjects(int port)
{
    RemoveObjects(port, {OperandSource::SensorValue, OperandSource::SensorType, OperandSource::SensorMode,
                         OperandSource::SensorRaw, OperandSource::SensorBoolean});
}

ObjectPtr FindObject(const QString& name)
{
    Collection<ObjectPtr>& list = App().ObjectList;
    return list.Exists(name) ? list.Item(name) : ObjectPtr();
}

Integer PollBrick(Long source, Integer number)
{
    Integer n = number;
    return PB().Poll(source, n);
}

QString StatusText(int value, const char* on, const char* floating, const char* off, const QString& old)
{
    switch (value) {
    case 128: return QString::number(value) + QLatin1String(on);
    case 0: return QString::number(value) + QLatin1String(floating);
    case 64: return QString::number(value) + QLatin1String(off);
    default: return old;
    }
}

QString DirectionText(int m)
{
    return QString::number(m) + (m == 8 ? QStringLiteral("-Forword") : QStringLiteral("-Backword"));
}

// A failure of the sensor dialog: the pointer back to normal, then the
// missing brick as such or the failure's description.
void ShowDialogFailure(const VbError& e)
{
    App().Notifier->SetPointer(0);
    if (e.number() == Err::DeviceUnavailable)
        ShowMessage(kNoCommunication, MsgStyle::Exclamation);
    else
        ShowMessage(e.description(), MsgStyle::Critical);
}

// Runs a brick tool once the tower is found; a failure on the way is shown
// in the brick tools' words.
void RunBrickTool(const std::function<void()>& tool)
{
    try {
        if (InitRCX(Rcx()))
            tool();
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}

}  // namespace

QString SetupFailureText(const VbError& e)
{
    if (e.number() == Err::DeviceUnavailable)
        return kNoCommunication;
    return QStringLiteral("Error:  ") + QString::number(e.number()) + QLatin1Char(' ') + e.description();
}

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
        clsMotor& m = *Rcx().PortMotor(port);
        m.Purpose = QStringLiteral("Motor ") + x;
        m.setMotorType(1);
        m.MotorStartState = 1;
        m.MotorPort = port;
        m.MotorDirection = 1;
        m.Power = 7;
        Rcx().Dirty = True;
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
        clsSensor& s = *Rcx().PortSensor(port);
        s.setSensorType(picture);
        RemoveSensorObjects(port);
        const Integer p = Integer(port);
        const QString name = SensorValueName(picture, port);
        AddNamedValue(name, OperandSource::SensorValue, 0, p);
        s.Purpose = name;
        AddSensorStatusObjects(port);
        Rcx().Dirty = True;
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Critical);
    }
    return true;
}

void RemoveMotor(int port)
{
    RemoveObjects(port, {OperandSource::MotorStatus});
    clsMotor& m = *Rcx().PortMotor(port);
    m.setMotorType(0);
    m.Purpose.clear();
    m.MotorDirection = 1;
    m.MotorStartState = 0;
    m.Power = 0;
    Rcx().Dirty = True;
}

void RemoveSensor(int port)
{
    RemoveSensorObjects(port);
    clsSensor& s = *Rcx().PortSensor(port);
    s.setSensorType(0);
    s.Purpose.clear();
    s.Dark = 40;
    s.PollCheck = 0;
    Rcx().Dirty = True;
}

bool ProgramSlotKey(QChar key)
{
    if (key < QLatin1Char('1') || key > QLatin1Char('5'))
        return false;
    Rcx().ProgramNumber = Integer(key.unicode() - '1');
    Rcx().Dirty = True;
    return true;
}

// ------------------------------------------------------------------ polling

void PollingState::ProjectOpened()
{
    for (int i = 1; i <= 4; ++i)
        PollFilter[i] = 1;
}

PollingState& PollState() { return AppScoped<PollingState>(); }

void PollPanel::AddRow(const QString& caption, const QString& tag, Integer tick, bool editable)
{
    if (PollState().PollFilter[0] != 0 && tick == 0)
        return;
    PollRow row;
    row.Caption = caption;
    row.Tag = tag;
    row.Tick = tick;
    row.Editable = editable;
    Rows.append(row);
}

void PollPanel::Build()
{
    AppState& a = App();
    Rows.clear();
    const PollingState& state = PollState();
    const bool motors = state.PollFilter[1] != 0;
    const bool sensors = state.PollFilter[2] != 0;
    const bool variables = state.PollFilter[3] != 0;
    const bool timers = state.PollFilter[4] != 0;
    if (timers)
        for (int n = 1; n <= 4; ++n)
            AddRow(QStringLiteral("Timer %1").arg(n), QStringLiteral("T%1").arg(n), state.TimerPollCheck[n - 1]);
    if (sensors)
        for (int p = 0; p <= 2; ++p) {
            const clsSensor& s = *a.RcxSetup->PortSensor(p);
            if (s.SensorType() != 0)
                AddRow(s.Purpose, QStringLiteral("S%1").arg(p), s.PollCheck);
        }
    if (motors)
        for (const auto& e : a.ObjectList) {
            const clsObject& o = *e.item;
            if (o.Source != OperandSource::MotorStatus)
                continue;
            const char* letter = o.Value == 192 ? "A" : o.Value == 8 ? "D" : o.Value == 7 ? "W" : nullptr;
            if (letter)
                AddRow(o.Name, QLatin1String(letter) + o.Name, o.PollCheck);
        }
    for (const auto& e : a.ObjectList) {
        const clsObject& o = *e.item;
        if (o.Source == OperandSource::Message)
            AddRow(o.Name, QStringLiteral("P") + o.Name, o.PollCheck);
    }
    if (sensors)
        for (const auto& e : a.ObjectList) {
            const clsObject& o = *e.item;
            const char* letter = nullptr;
            switch (o.Source) {
            case OperandSource::SensorBoolean: letter = "B"; break;
            case OperandSource::SensorMode: letter = "O"; break;
            case OperandSource::SensorRaw: letter = "R"; break;
            case OperandSource::SensorType: letter = "Y"; break;
            default: break;
            }
            if (letter)
                AddRow(o.Name, QLatin1String(letter) + o.Name, o.PollCheck);
        }
    if (variables)
        for (const auto& e : a.ObjectList) {
            const clsObject& o = *e.item;
            if (o.Source == OperandSource::Variable)
                AddRow(o.Name, QStringLiteral("V") + o.Name, o.PollCheck, true);
        }
}

namespace {

void SetRowPollCheck(const QString& tag, Integer value)
{
    if (tag.isEmpty())
        return;
    const QChar letter = tag[0];
    const QString key = tag.mid(1);
    if (letter == QLatin1Char('T')) {
        const int n = key.toInt();
        if (n >= 1 && n <= 4)
            PollState().TimerPollCheck[n - 1] = value;
    } else if (letter == QLatin1Char('S')) {
        Rcx().PortSensor(key.toInt())->PollCheck = value;
    } else if (QStringLiteral("ADWPROYBV").contains(letter)) {
        if (ObjectPtr o = FindObject(key))
            o->PollCheck = value;
    }
}

}  // namespace

void PollPanel::SetTick(int row, Integer tick)
{
    if (row < 0 || row >= Rows.size())
        return;
    Rows[row].Tick = tick;
    if (tick == 0)
        Rows[row].Value.clear();
    for (const PollRow& r : Rows)
        SetRowPollCheck(r.Tag, r.Tick);
}

bool PollPanel::AnyTicked() const
{
    return std::any_of(Rows.begin(), Rows.end(), [](const PollRow& r) { return r.Tick != 0; });
}

void PollPanel::UnselectAll()
{
    for (int i = 0; i < Rows.size(); ++i)
        if (Rows[i].Tick != 0)
            SetTick(i, 0);
}

void PollPanel::SetFilter(int index, Integer value)
{
    if (index < 0 || index > 4)
        return;
    PollState().PollFilter[index] = value;
    Build();
}

void PollPanel::SensorSetup()
{
    for (const PollRow& r : Rows) {
        if (r.Tick == 0 || r.Tag.isEmpty() || !QStringLiteral("SROYB").contains(r.Tag[0]))
            continue;
        int port = -1;
        if (r.Tag[0] == QLatin1Char('S')) {
            port = r.Tag.mid(1).toInt();
        } else if (ObjectPtr o = FindObject(r.Tag.mid(1))) {
            port = o->Number;
        }
        if (port < 0 || port > 2)
            continue;
        const clsSensor& s = *Rcx().PortSensor(port);
        UpdateSensor(Rcx(), Integer(port), Integer(s.SensorType()), Integer(s.SensorMode));
    }
}

QString PollPanel::PollButtonCaption() const
{
    return mPolling ? QStringLiteral("Stop polling") : QStringLiteral("Start polling");
}

// After a failed tower check or read, polling stops without setting the
// sensors again: that would only ask the missing brick once more and show a
// second message.
void PollPanel::StopAfterFailure()
{
    const bool was = mPolling;
    mPolling = false;
    if (was && PollingChanged)
        PollingChanged();
}

// Both poll buttons check the tower before they set the sensors, so that the
// first reading of a run does not ask a brick not yet found.
QVector<int> PollPanel::PollOnce()
{
    try {
        if (!InitRCX(Rcx())) {
            StopAfterFailure();
            return {};
        }
        SensorSetup();
        return PollPass();
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
    }
    return {};
}

void PollPanel::TogglePolling()
{
    try {
        if (!mPolling && !InitRCX(Rcx()))
            return;
        if (Rcx().IsInit)
            SensorSetup();
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
    }
    mPolling = !mPolling;
    if (PollingChanged)
        PollingChanged();
}

QString PollPanel::RowText(const PollRow& row, const QString& old)
{
    const AppState& a = App();
    const QChar letter = row.Tag[0];
    const QString key = row.Tag.mid(1);
    const bool rcx = a.ProjectType == 0;
    auto object = [&]() -> clsObject& {
        ObjectPtr o = FindObject(row.Caption);
        if (!o)
            raiseError(Err::InvalidCall);
        return *o;
    };
    switch (letter.unicode()) {
    case 'T': return QString::number(PollBrick(OperandSource::Timer, Integer(key.toInt() - 1)));
    case 'S': return QString::number(PollBrick(OperandSource::SensorValue, Integer(key.toInt())));
    case 'P': return QString::number(PollBrick(OperandSource::Message, 0));
    case 'R': return QString::number(PollBrick(OperandSource::SensorRaw, object().Number));
    case 'B': return QString::number(PollBrick(OperandSource::SensorBoolean, object().Number));
    case 'O': {
        const Integer v = PollBrick(OperandSource::SensorMode, object().Number);
        const Integer k = vb::CInt(v / 32.0);
        for (const auto& e : a.ObjectList)
            if (e.item->Source == OperandSource::SensorModeName && e.item->Value == k)
                return QString::number(k * 32) + QLatin1Char('-') + e.item->Name;
        return old;
    }
    case 'Y': {
        const Integer k = PollBrick(OperandSource::SensorType, object().Number);
        if (k < 0 || k > 4 || k >= a.SensorTypeName.size())
            raiseError(Err::SubscriptOutOfRange);
        return QString::number(k) + QStringLiteral(" - ") + a.SensorTypeName[k];
    }
    case 'V': {
        clsObject& o = object();
        return rcx ? QString::number(PollBrick(OperandSource::Variable, o.Number)) : QString::number(o.Value);
    }
    case 'A': case 'D': case 'W': {
        clsObject& o = object();
        if (rcx) {
            const int s = PollBrick(OperandSource::MotorStatus, o.Number);
            switch (o.Value) {
            case 192: return StatusText(s & 0xC0, "-ON", "-FLOAT", "-OFF", old);
            case 8: return DirectionText(s & 8);
            case 7: return QString::number(s & 7);
            default: return old;
            }
        }
        const int aux = int(o.AuxValue);
        if (letter == QLatin1Char('A'))
            return StatusText(aux, "-ON", "-FLOAT", "-OFF", old);
        if (letter == QLatin1Char('D'))
            return aux == 8 ? DirectionText(8) : QString::number(aux) + QStringLiteral("-Backword");
        return QString::number(aux);
    }
    default:
        return old;
    }
}

QStringList PollPanel::PossibleTexts(const PollRow& row)
{
    const AppState& a = App();
    QStringList out;
    switch (row.Tag.isEmpty() ? 0 : row.Tag[0].unicode()) {
    case 'O':
        for (const auto& e : a.ObjectList)
            if (e.item->Source == OperandSource::SensorModeName)
                out << QString::number(e.item->Value * 32) + QLatin1Char('-') + e.item->Name;
        break;
    case 'Y':
        for (int k = 0; k <= 4 && k < a.SensorTypeName.size(); ++k)
            out << QString::number(k) + QStringLiteral(" - ") + a.SensorTypeName[k];
        break;
    case 'A':
        for (int m : {128, 0, 64})
            out << StatusText(m, "-ON", "-FLOAT", "-OFF", QString());
        break;
    case 'D':
        out << DirectionText(8) << DirectionText(0);
        break;
    default:
        break;
    }
    out << QString::number(-32768);  // any number
    return out;
}

QVector<int> PollPanel::PollPass()
{
    QVector<int> read;
    if (!InitRCX(Rcx())) {
        StopAfterFailure();
        return read;
    }
    try {
        for (int i = 0; i < Rows.size(); ++i) {
            PollRow& row = Rows[i];
            if (row.Tick == 0 || row.Tag.isEmpty())
                continue;
            row.Value = RowText(row, row.Value);
            read.append(i);
        }
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
        StopAfterFailure();
    }
    return read;
}

void PollPanel::WriteVariable(int row, const QString& text)
{
    if (row < 0 || row >= Rows.size() || !Rows[row].Editable)
        return;
    if (!ValidateParam(Variant(text), QStringLiteral("integer"))) {
        ShowMessage(QStringLiteral("Invalid value"), MsgStyle::Exclamation);
        return;
    }
    if (!InitRCX(Rcx()))
        return;
    try {
        const Integer v = vb::CInt(vb::Trim(text));
        ObjectPtr o = FindObject(Rows[row].Caption);
        if (!o)
            raiseError(Err::InvalidCall);
        if (App().ProjectType == 0)
            PB().SetVar(o->Number, OperandSource::Constant, v);
        else
            o->Value = v;
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}

// ------------------------------------------------------------------ brick tools

bool BrickTools::ChooseFirmwareFile()
{
    AppState& a = App();
    const QString folder = a.FirmwarePath.isEmpty() ? QStringLiteral("c:") : a.FirmwarePath;
    const QString name = a.FirmwareName.isEmpty() ? QStringLiteral("firm0309.lgo") : a.FirmwareName;
    if (!Chooser)
        return false;
    const FirmwareChoice choice = Chooser(folder, name);
    if (choice.canceled)
        return false;
    if (choice.makeDefault) {
        SettingsKeys::SaveFirmware(*a.Settings, choice.folder, choice.name);
    }
    a.FirmwarePath = choice.folder;
    a.FirmwareName = choice.name;
    return true;
}

void BrickTools::FirmwareDownload()
{
    RunBrickTool([this] {
        AppState& a = App();
        if ((a.FirmwareName.isEmpty() || a.FirmwarePath.isEmpty()) && !ChooseFirmwareFile())
            return;
        const QString path = QDir(a.FirmwarePath).filePath(a.FirmwareName);
        // A broken file is never sent: the brick would be left without firmware.
        const FirmwareImage image = FirmwareImage::ReadFile(path);
        if (!image.isValid()) {
            ShowMessage(image.describeFault(path), MsgStyle::Exclamation);
            return;
        }
        if (a.InitParams && a.InitParams->ConfirmDownload == 1) {
            const int answer = a.Presenter->MsgBox(QStringLiteral("Please have the RCX ready for Firmware downloading."),
                                                   MsgStyle::OkCancel | MsgStyle::Information,
                                                   QStringLiteral("RCX Firmware download"));
            if (answer == MsgResult::Cancel)
                return;
        }
        Q_EMIT a.Notifier->StatusCleared();
        if (!PB().DownloadFirmware(path))
            ShowMessage(QStringLiteral("RCX Firmware download failed! Please check IR & RCX batteries."),
                        MsgStyle::Exclamation);
        else
            Q_EMIT a.Notifier->StatusPrinted(QStringLiteral("Download in progress please wait..."), 700);
    });
}

QString BrickTools::BatteryCaption(double volts)
{
    QString text = QString::number(volts, 'f', 1);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    return QStringLiteral("Battery state: ") + text + QStringLiteral(" Volt");
}

BatteryReading BrickTools::Battery()
{
    BatteryReading r;
    RunBrickTool([&r] {
        float v = float(PB().PBBattery()) / 1000.0f;
        if (v >= 9.0f) {
            // The first reading after a pause tends to be high: read again.
            App().Shell->DoEvents();
            v = float(PB().PBBattery()) / 1000.0f;
        }
        r.shown = true;
        r.volts = v;
        r.fill = std::clamp(double(v) / 9.0, 0.0, 1.0);
        r.caption = BatteryCaption(v);
    });
    return r;
}

void BrickTools::PowerOff()
{
    RunBrickTool([] {
        AppState& a = App();
        const QString deflt = a.InitParams ? QString::number(a.InitParams->TimeToShutDown) : QString();
        const QString answer =
            a.Presenter->InputBox(QStringLiteral("Time in minuts 1-255 or  0 = Never "), QString(), deflt);
        if (answer.isEmpty())
            return;
        const double minutes = vb::Val(answer);
        if (minutes < 0 || minutes > 255) {
            ShowMessage(QStringLiteral("The time must be between 0 and 255 minutes"), MsgStyle::Exclamation);
            return;
        }
        const Integer sent = vb::CInt(minutes);
        if (!PB().PBPowerDownTime(sent))
            ShowMessage(kNoCommunication, MsgStyle::Exclamation);
        else if (sent != 0)
            ShowMessage(QStringLiteral("RCX shutdown after ") + answer + QStringLiteral(" minutes"),
                        MsgStyle::Information);
        else
            ShowMessage(QStringLiteral("RCX never shutdown itself"), MsgStyle::Information);
    });
}

void BrickTools::ShowFirmwareVersion()
{
    try {
        if (!Rcx().IsInit)
            InitRCX(Rcx());
        const QString version = PB().FirmwareVersion();
        if (!version.isEmpty())
            App().Presenter->MsgBox(QStringLiteral("Current firmware version is: ") + version, MsgStyle::OkOnly);
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}

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
    switch (Rcx().PortSensor(SensorIndex)->SensorType()) {
    case 1: return QStringLiteral("Touch sensor");
    case 2: return QStringLiteral("Temperature sensor");
    case 3: return QStringLiteral("Light sensor");
    case 4: return QStringLiteral("Rotation sensor");
    default: return QString();
    }
}

QString SensorProperties::PortCaption() const
{
    return QStringLiteral("Port number: ") + QString::number(Rcx().PortSensor(SensorIndex)->SensorPort + 1);
}

Long SensorProperties::Mode() const { return Rcx().PortSensor(SensorIndex)->SensorMode; }
QString SensorProperties::Purpose() const { return Rcx().PortSensor(SensorIndex)->Purpose; }

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
        for (const auto& e : a.ObjectList) {
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
        clsSensor& s = *Rcx().PortSensor(SensorIndex);
        s.SensorMode = mode;
        RemoveObjects(SensorIndex, {OperandSource::SensorValue});
        AddNamedValue(purpose, OperandSource::SensorValue, 0, Integer(SensorIndex));
        s.Purpose = purpose;
        if (Changed)
            Rcx().Dirty = True;
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
        if (!InitRCX(Rcx()))
            return;
        UpdateSensor(Rcx(), Integer(SensorIndex), Integer(Rcx().PortSensor(SensorIndex)->SensorType()), Integer(mode));
        Polling = true;
    } catch (const VbError& e) {
        ShowDialogFailure(e);
    }
}

void SensorProperties::PollTick()
{
    if (!Polling)
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
    const clsMotor& m = *Rcx().PortMotor(motorIndex);
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
    clsMotor& m = *Rcx().PortMotor(MotorIndex);
    m.MotorDirection = Direction;
    m.MotorStartState = StartState;
    m.Power = Speed;
    m.Purpose = Purpose;
    m.MotorFwdMeening = FwdMeaning;
    m.MotorRwdMeening = RwdMeaning;
    if (Changed)
        Rcx().Dirty = True;
    return true;
}

void MotorProperties::TestMotor()
{
    try {
        if (!InitRCX(Rcx()))
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
