#include "desktop/core/FrameControls.h"

#include "compiler/CommandCheck.h"
#include "model/AppState.h"
#include "model/Twips.h"
#include "model/ModuleManagement.h"
#include "model/Messages.h"
#include "model/VbError.h"

#include <QGuiApplication>
#include <QFontMetricsF>

#include <cmath>

SourceNameTable StandardSourceNames()
{
    static const struct {
        int code;
        const char* title;
    } names[] = {
        {0, "Variables"},        {1, "Timers"},          {2, "Constant"},
        {3, "Motors"},           {4, "Random"},          {9, "Sensors"},
        {10, "Sensor type "},    {11, "Sensor mode"},    {12, "Sensor raw value"},
        {13, "Sensor boolean value"}, {14, "Clock"},     {15, "RCX message"},
        {100, "Constants"},      {110, "System constants"}, {130, "RCX display"},
        {140, "Sensor types"},   {150, "Sensor modes"},  {160, "Joystick button"},
        {170, "Joystick axle"},  {180, "Keyboard key"},  {190, "Time unit"},
        {200, "RCX sound"},      {210, "Transmit power"}, {220, "Range"},
    };
    SourceNameTable table;
    for (const auto& n : names)
        table[n.code] = QString::fromLatin1(n.title);
    return table;
}

// ---- the image combo

void FrameCombo::Clear()
{
    Items.clear();
    Selected = -1;
    Text.clear();
    Typed.clear();
}

void FrameCombo::AddHeading(const QString& key, const QString& text)
{
    Items.push_back(ComboItem{key, text, key, 0, QString()});
}

void FrameCombo::AddValue(const QString& text, const QString& tag)
{
    Items.push_back(ComboItem{QString(), text, QStringLiteral("DOT"), 1, tag});
}

void FrameCombo::Choose(int index)
{
    if (index < -1 || index >= int(Items.size()))
        raiseError(Err::InvalidPropertyValue);
    Selected = index;
    Text = index < 0 ? QString() : Items[size_t(index)].Text;
    Typed.clear();
}

void FrameCombo::Type(const QString& text)
{
    Selected = -1;
    Text = text;
}

int FrameCombo::IndexOfText(const QString& text) const
{
    for (int i = 0; i < int(Items.size()); ++i)
        if (Items[size_t(i)].Text.compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void FrameCombo::SetText(const QString& text)
{
    Typed.clear();
    if (FreeText) {
        Selected = -1;
        Text = text;
        return;
    }
    if (text.isEmpty()) {
        Selected = -1;
        Text.clear();
        return;
    }
    const int i = IndexOfText(text);
    if (i < 0)
        raiseError(Err::ReadOnlyProperty, QStringLiteral("'Text' property is read-only"));
    Choose(i);
}

const ComboItem* FrameCombo::SelectedItem() const
{
    if (Selected < 0 || Selected >= int(Items.size()))
        return nullptr;
    return &Items[size_t(Selected)];
}

// ---- filling and selecting

void FillSourceCombo(FrameCombo& combo, const std::vector<int>& sources, const SourceNameTable& names,
                     const Collection<ObjectPtr>& objects)
{
    combo.Clear();
    for (const int s : sources) {
        if (s < 0 || s >= int(names.size()))
            raiseError(Err::SubscriptOutOfRange);
        combo.AddHeading(QStringLiteral("K") + QString::number(s), names[size_t(s)]);
        bool any = false;
        for (const auto& e : objects) {
            if (e.item && e.item->Source == s) {
                combo.AddValue(e.item->Name);
                any = true;
            }
        }
        if (!any)
            combo.Items.pop_back();
    }
}

void FillSourceCombo(FrameCombo& combo, std::initializer_list<int> sources, const SourceNameTable& names,
                     const Collection<ObjectPtr>& objects)
{
    FillSourceCombo(combo, std::vector<int>(sources), names, objects);
}

bool SelectComboItem(FrameCombo& combo, const QString& text)
{
    for (int i = 0; i < int(combo.Items.size()); ++i) {
        const ComboItem& item = combo.Items[size_t(i)];
        if (!item.IsHeading() && item.Text.compare(text, Qt::CaseInsensitive) == 0) {
            combo.Choose(i);
            return true;
        }
    }
    if (!combo.FreeText && !text.isEmpty())
        raiseError(Err::ReadOnlyProperty, QStringLiteral("'Text' property is read-only"));
    combo.SetText(text);
    return false;
}

// ---- Cancel's copy

SavedCommand SavedCommand::Of(const clsCommand& c)
{
    SavedCommand s;
    s.Param1Source = c.Param1Source;
    s.Param1Value = c.Param1Value;
    s.Param2Source = c.Param2Source;
    s.Param2Value = c.Param2Value;
    s.MotorList = c.MotorList;
    s.Op = c.Op;
    s.Speed = c.Speed;
    s.Time = c.Time;
    return s;
}

void SavedCommand::RestoreInto(clsCommand& c) const
{
    c.Param1Source = Param1Source;
    c.Param1Value = Param1Value;
    c.Param2Source = Param2Source;
    c.Param2Value = Param2Value;
    c.MotorList = MotorList;
    c.Op = Op;
    c.Speed = Speed;
    c.Time = Time;
}

void FrameEditing::FinishWrite(clsCommand& co)
{
    if (Written)
        Written(co);
    MarkModuleDirty(ParentTaskName);
}

void FrameEditing::RestoreCommand()
{
    if (Command)
        Saved.RestoreInto(*Command);
}

// ---- random limits

void AskRandomLimit(IMessagePresenter& presenter, const QString& prompt, int upper, Integer& limit, FrameCombo& combo)
{
    const QString answer =
        presenter.InputBox(prompt, QStringLiteral("Random number upper limit"), QString::number(limit));
    if (answer.isEmpty() && limit != 0)
        return;
    // An empty answer with no limit known reads as 0, out of range.
    const double v = vb::Val(answer);
    if (v < 1 || v > upper) {
        ShowMessage(presenter, QStringLiteral("Invalid value"), MsgStyle::Exclamation);
        combo.Text.clear();
        combo.Selected = -1;
        return;
    }
    limit = vb::CInt(v);
}

// ---- typed ranges

QString ParseRange(const QString& text)
{
    try {
        static const QString digits = QStringLiteral("-0123456789");
        QString first, second;
        bool inSecond = false;
        for (const QChar ch : text) {
            if (digits.contains(ch)) {
                (inSecond ? second : first) += ch;
            } else {
                inSecond = true;
            }
        }
        if (!ValidateParam(App(), first, CommandKey::L_IF) || !ValidateParam(App(), second, CommandKey::L_IF))
            return QStringLiteral("false");
        if (vb::Val(first) < vb::Val(second))
            return first + QLatin1Char('_') + second;
        return second + QLatin1Char('_') + first;
    } catch (const VbError&) {
        return QStringLiteral("false");
    }
}

const std::vector<int>& CompareSources()
{
    using namespace OperandSource;
    static const std::vector<int> s = {SensorValue, SensorRaw,    SensorType,     SensorMode,   SensorBoolean,
                                       Timer,       Variable,     UserConstant,   MotorStatus,  Clock,
                                       Message,     JoystickButton, JoystickAxis, KeyboardKey, SystemConstant};
    return s;
}

ObjectPtr FindObject(const Collection<ObjectPtr>& objects, const QString& name)
{
    if (name.isEmpty() || !objects.Exists(name))
        return nullptr;
    return objects.Item(name);
}

bool IsSource(const Variant& source, double code)
{
    return source.isNumeric() && source.toDouble() == code;
}

const FrameCombo* ListWithTypedName(std::initializer_list<const FrameCombo*> lists)
{
    for (const FrameCombo* c : lists)
        if (c->Visible && !c->FreeText && !c->Typed.isEmpty())
            return c;
    return nullptr;
}

QString ComboToolTip(const FrameCombo& combo)
{
    const QFontMetricsF fm(QGuiApplication::font());
    const double textWidth = TwipX(fm.horizontalAdvance(combo.Text + QStringLiteral("   ")));
    return combo.Width < textWidth ? combo.Text : QString();
}

bool ComboChoice(FrameCombo& combo)
{
    const ComboItem* item = combo.SelectedItem();
    if (item && item->IsHeading()) {
        combo.DropDownAgain = true;
        combo.Selected = -1;
        combo.Text.clear();
        return false;
    }
    combo.ToolTipText = ComboToolTip(combo);
    return true;
}

double CaptionWidth(const QString& text, bool bold)
{
    QFont f = QGuiApplication::font();
    f.setBold(bold);
    const QFontMetricsF fm(f);
    return TwipX(fm.horizontalAdvance(text) + 2);
}
