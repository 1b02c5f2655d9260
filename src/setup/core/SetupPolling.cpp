#include "setup/core/SetupService.h"
#include "setup/core/SetupShared.h"

#include "compiler/CommandCheck.h"
#include "compiler/ModuleCompile.h"
#include "link/BrickHold.h"
#include "model/AppState.h"
#include "model/Messages.h"
#include "model/NamedValues.h"
#include "model/VbError.h"

#include <QStringList>

#include <algorithm>

using namespace setupcore;

namespace {

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

}  // namespace

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
            const clsSensor& s = a.RcxSetup().PortSensor(p);
            if (s.SensorType() != 0)
                AddRow(s.Purpose, QStringLiteral("S%1").arg(p), s.PollCheck);
        }
    if (motors)
        for (const auto& e : a.ObjectList()) {
            const clsObject& o = *e.item;
            if (o.Source != OperandSource::MotorStatus)
                continue;
            const char* letter = o.Value == 192 ? "A" : o.Value == 8 ? "D" : o.Value == 7 ? "W" : nullptr;
            if (letter)
                AddRow(o.Name, QLatin1String(letter) + o.Name, o.PollCheck);
        }
    for (const auto& e : a.ObjectList()) {
        const clsObject& o = *e.item;
        if (o.Source == OperandSource::Message)
            AddRow(o.Name, QStringLiteral("P") + o.Name, o.PollCheck);
    }
    if (sensors)
        for (const auto& e : a.ObjectList()) {
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
        for (const auto& e : a.ObjectList()) {
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
        // Every row is written at each tick: only a sensor whose check changes
        // is edited, so one tick tells the set-up's change once, not per row.
        const int port = key.toInt();
        if (App().RcxSetup().PortSensor(port).PollCheck != value)
            App().EditSensor(port, [value](clsSensor& s) { s.PollCheck = value; });
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
        const clsSensor& s = Rcx().PortSensor(port);
        UpdateSensor(App(), Integer(port), Integer(s.SensorType()), Integer(s.SensorMode));
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
        if (!InitRCX(App())) {
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
        if (!mPolling && !InitRCX(App()))
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
    const bool rcx = a.ProjectType() == ProjectType::Rcx;
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
        for (const auto& e : a.ObjectList())
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
        for (const auto& e : a.ObjectList())
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
    // While a transfer holds the brick, the ticks read nothing and say
    // nothing; polling goes on once the brick is free.
    if (!BrickBusyWith(App()).isEmpty())
        return read;
    if (!InitRCX(App())) {
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
    if (!ValidateParam(App(), Variant(text), QStringLiteral("integer"))) {
        ShowMessage(QStringLiteral("Invalid value"), MsgStyle::Exclamation);
        return;
    }
    if (!InitRCX(App()))
        return;
    try {
        const Integer v = vb::CInt(vb::Trim(text));
        ObjectPtr o = FindObject(Rows[row].Caption);
        if (!o)
            raiseError(Err::InvalidCall);
        if (App().ProjectType() == ProjectType::Rcx)
            PB().SetVar(o->Number, OperandSource::Constant, v);
        else
            o->Value = v;
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}
