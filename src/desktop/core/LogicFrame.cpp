#include "desktop/core/LogicFrame.h"

#include "compiler/CommandCheck.h"
#include "compiler/CommandRules.h"
#include "model/Twips.h"
#include "model/AppState.h"
#include "model/Messages.h"
#include "model/VbError.h"

#include <algorithm>

namespace {

const QString CrLf = QStringLiteral("\r\n");

bool In(int code, std::initializer_list<int> codes)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

QString Entry(const QStringList& table, int index)
{
    if (index < 0 || index >= table.size())
        raiseError(Err::SubscriptOutOfRange);
    return table[index];
}

}  // namespace

// ---- captions

QString TranslateToCaption2(const AppState& app, CommandKey ComKey, Integer p1s, const Variant& p1v, Integer Op,
                            Integer p2s, const Variant& p2v)
{
    auto is = [&](CommandKey k) { return ComKey == k; };
    using namespace OperandSource;
    const QString v1 = p1v.toString(), v2 = p2v.toString();
    QString a, b;
    const QString v = v1;

    if (In(p1s, {Variable, UserConstant, SystemConstant})) {
        a = v1;
        if (is(CommandKey::L_LOOP))
            a = a + CrLf + QStringLiteral("Times ");
    } else if (p1s == Constant) {
        if (is(CommandKey::L_START) || is(CommandKey::L_STOP)) {
            if (v1.compare(QLatin1String("Stop program"), Qt::CaseInsensitive) == 0)
                a = CrLf + QStringLiteral("Stop program");
            else
                a = CrLf + app.TaskList().Item(v1)->Name;
        } else if (is(CommandKey::L_SUB)) {
            a = CrLf + app.SubList().Item(v1)->Name;
        } else if (is(CommandKey::L_LOOP)) {
            if (v1.compare(QLatin1String("Infinite loop"), Qt::CaseInsensitive) == 0)
                a = v1;
            else
                a = v1 + CrLf + QStringLiteral("Times ");
        } else {
            a = v1;
        }
    } else if (In(p1s, {Timer, MotorStatus, SensorValue, SensorType, SensorMode, SensorRaw, SensorBoolean, Clock,
                        Message, JoystickButton, JoystickAxis, KeyboardKey})) {
        a = v1;
    } else if (p1s == Random) {
        a = QStringLiteral("Random number (upto ") + v1 + QLatin1Char(')');
    }

    if (Op >= 0 && !is(CommandKey::L_VAR))
        a = a + CrLf + Entry(app.CompareCaption, Op) + CrLf;

    if (p2s >= 0) {
        if (In(p2s, {Variable, Timer, Constant, MotorStatus, SensorValue, SensorType, SensorMode, SensorRaw,
                     SensorBoolean, Clock, Message, UserConstant, SystemConstant, JoystickButton, JoystickAxis,
                     KeyboardKey, NamedRange, TypedRange})) {
            a += v2;
            b = v2;
        } else if (p2s == Random) {
            b = QStringLiteral("Random number (upto ") + v2 + QLatin1Char(')');
            a += b;
        } else if (p2s == SensorTypeName) {
            a = a + CrLf + QStringLiteral("Work type") + CrLf + v2;
        } else if (p2s == SensorModeName) {
            a = a + CrLf + QStringLiteral("Work mode") + CrLf + v2;
        }
    }

    if (is(CommandKey::L_VAR) && Op >= 0 && Op <= 8) {
        const QString c = Entry(app.VarOpCaption, Op);
        switch (Op) {
        case 0: return c + CrLf + b + CrLf + QStringLiteral("to ") + v;
        case 1: return c + CrLf + b + CrLf + QStringLiteral("from ") + v;
        case 2:
        case 3: return c + CrLf + v + CrLf + QStringLiteral("by ") + b;
        case 4:
        case 5: return QStringLiteral("Set ") + v + CrLf + QStringLiteral("to ") + c + QStringLiteral(" of") + CrLf + b;
        case 6:
        case 7:
            return QStringLiteral("Set ") + v + CrLf + QStringLiteral("to ") + v + QLatin1Char(' ') + c + CrLf + b;
        default: return c + QStringLiteral(" of ") + v + CrLf + QStringLiteral("to ") + b;
        }
    }
    return a;
}

// ---- the operator

OperatorStepResult OperatorStep(int index, bool isWhile)
{
    // The index stays within the cycle whatever the command held before.
    int shown = index + 1;
    if (shown < 0 || shown > 4)
        shown = 0;
    int next = shown;
    if (isWhile) {
        if (shown >= 3)
            next = -1;
    } else if (shown == 4) {
        next = -1;
    }
    return {shown, next};
}

// ---- the frame

LogicFrame::LogicFrame(AppState& app, const SourceNameTable& sourceNames) : FrameEditing(app), mNames(sourceNames)
{
    cmbParam1.Move(60, 540, 2265, 330);
    lblOperator.Caption = QStringLiteral("=");
    lblOperator.Move(2415, 510, 345, 375);
    cmbParam2.Move(2895, 555, 2265, 330);
    cmbVar1.Move(45, 705, 2370, 330);
    cmbVar2.Move(45, 1125, 2370, 330);
    cmbTaskAndOp.Move(2790, 1020, 2370, 330);
    lblG.Caption = QStringLiteral("cvn");
    lblG.Move(3615, 195, 270, 195);
    lblG1.Caption = QStringLiteral("Label1");
    lblG1.Move(2520, 210, 480, 195);
    lblG2.Caption = QStringLiteral("Label1");
    lblG2.Move(1650, 210, 480, 195);
    cmdOkLogic.Caption = QStringLiteral("Ok");
    cmdOkLogic.Move(675, 1530, 750, 315);
    cmdOkOpenLogic.Caption = QStringLiteral("Ok and open window");
    cmdOkOpenLogic.Move(1732, 1530, 1815, 315);
    cmdCancelLogic.Caption = QStringLiteral("Cancel");
    cmdCancelLogic.Move(3855, 1530, 750, 315);
    mParam1Design = cmbParam1;
    mParam2Design = cmbParam2;
}

CommandKey LogicFrame::Key() const
{
    return Command ? Command->CommandKey : CommandKey::None;
}

bool LogicFrame::Fail(const QString& message, const QString& focus)
{
    ShowMessage(*mApp.Presenter, message, MsgStyle::Exclamation);
    if (!focus.isEmpty())
        Focus = focus;
    return false;
}

bool LogicFrame::Open(const std::shared_ptr<clsCommand>& command)
{
    Command = command;
    Focus.clear();
    cmdOkOpenLogic.Visible = false;
    InitCommandFrame(command->CommandKey, command->Op);
    if (!LoadLogicFrame(*command))
        return false;
    for (FrameLabel* l : {&lblG, &lblG1, &lblG2, &lblOperator})
        l->Visible = false;
    for (FrameCombo* c : {&cmbTaskAndOp, &cmbVar1, &cmbVar2, &cmbParam1, &cmbParam2})
        c->Visible = false;
    LayOut(command->CommandKey);
    return true;
}

void LogicFrame::lblOperator_Click()
{
    const OperatorStepResult r = OperatorStep(OperatorIndex, Key() == CommandKey::L_WHILE);
    lblOperator.Caption = Entry(mApp.CompareSymbol, r.shown);
    lblOperator.Tag = QString::number(r.shown);
    lblOperator.ToolTipText = Entry(mApp.CompareCaption, r.shown);
    OperatorIndex = Integer(r.next);
    if (Key() == CommandKey::L_WHILE)
        return;
    if (r.shown == 4 || r.shown == 0) {
        const QString remembered = cmbParam2.Text;
        if (r.shown == 4)
            FillSourceCombo(cmbParam2, {OperandSource::NamedRange}, mNames, mApp.ObjectList());
        else
            FillSourceCombo(cmbParam2, CompareSources(), mNames, mApp.ObjectList());
        SelectComboItem(cmbParam2, remembered);
    }
}

void LogicFrame::InitCommandFrame(CommandKey CoName, Integer lCoOp)
{
    auto is = [&](CommandKey k) { return CoName == k; };
    using namespace OperandSource;
    OperatorIndex = -1;
    lblOperator_Click();

    if (is(CommandKey::L_IF) || is(CommandKey::L_WHILE)) {
        FillSourceCombo(cmbParam1, CompareSources(), mNames, mApp.ObjectList());
        if (lCoOp == 4)
            FillSourceCombo(cmbParam2, {OperandSource::NamedRange}, mNames, mApp.ObjectList());
        else
            FillSourceCombo(cmbParam2, CompareSources(), mNames, mApp.ObjectList());
    } else if (is(CommandKey::L_LOOP)) {
        FillSourceCombo(cmbVar2, {Variable, UserConstant, Random, Constant}, mNames, mApp.ObjectList());
    } else if (is(CommandKey::L_START) || is(CommandKey::L_STOP)) {
        cmbTaskAndOp.Clear();
        cmbTaskAndOp.AddHeading(QStringLiteral("TASK"), QStringLiteral("Tasks"));
        for (const auto& e : mApp.TaskList())
            cmbTaskAndOp.AddValue(e.item->Name);
        if (is(CommandKey::L_STOP))
            cmbTaskAndOp.AddValue(QStringLiteral("Stop program"));
    } else if (is(CommandKey::L_SUB)) {
        cmbTaskAndOp.Clear();
        cmbTaskAndOp.AddHeading(QStringLiteral("SUB"), QStringLiteral("Subs"));
        for (const auto& e : mApp.SubList())
            cmbTaskAndOp.AddValue(e.item->Name);
    } else if (is(CommandKey::L_VAR)) {
        cmbTaskAndOp.Clear();
        cmbTaskAndOp.AddHeading(QStringLiteral("MATH"), QStringLiteral("Math"));
        for (int i = 0; i <= 8; ++i)
            cmbTaskAndOp.AddValue(Entry(mApp.VarOpCaption, i), QString::number(i));
        FillSourceCombo(cmbVar2,
                        {SensorValue, SensorType, SensorMode, SensorRaw, SensorBoolean, Timer, Variable, UserConstant,
                         MotorStatus, Clock, Message, JoystickButton, KeyboardKey, JoystickAxis, Random, SystemConstant},
                        mNames, mApp.ObjectList());
        FillSourceCombo(cmbVar1, {Variable}, mNames, mApp.ObjectList());
    } else if (is(CommandKey::L_ZERO)) {
        FillSourceCombo(cmbParam1, {SensorValue, Message, Timer}, mNames, mApp.ObjectList());
    } else if (is(CommandKey::L_SENDMESS)) {
        FillSourceCombo(cmbParam1, {Variable, UserConstant}, mNames, mApp.ObjectList());
    } else if (is(CommandKey::L_DATALOG)) {
        FillSourceCombo(cmbParam1, {Variable, Timer, SensorValue, MotorStatus, Clock}, mNames, mApp.ObjectList());
    } else if (is(CommandKey::L_SENTYPE)) {
        FillSourceCombo(cmbTaskAndOp, {SensorValue}, mNames, mApp.ObjectList());
        FillSourceCombo(cmbVar1, {SensorTypeName}, mNames, mApp.ObjectList());
    } else if (is(CommandKey::L_SENMODE)) {
        FillSourceCombo(cmbTaskAndOp, {SensorValue}, mNames, mApp.ObjectList());
        FillSourceCombo(cmbVar1, {SensorModeName}, mNames, mApp.ObjectList());
    }
}

bool LogicFrame::LoadLogicFrame(clsCommand& cmd)
{
    const bool result = true;
    Saved = SavedCommand::Of(cmd);
    // A command never set (compared as text) keeps the lists as filled.
    if (cmd.Param1Value.toString() == QLatin1String("-1") || cmd.Param1Value.isEmpty() ||
        cmd.Param1Value.toString().isEmpty())
        return result;
    RandomLimit = 0;
    const CommandKey key = cmd.CommandKey;
    auto is = [&](CommandKey k) { return key == k; };
    const QString v1 = cmd.Param1Value.toString(), v2 = cmd.Param2Value.toString();
    const bool p2Random = IsSource(cmd.Param2Source, OperandSource::Random);
    const bool p1Random = IsSource(cmd.Param1Source, OperandSource::Random);

    // A list that has no item of the stored text says so and the load goes
    // on; any other failure ends it. The frame opens in both cases.
    std::vector<std::function<void()>> steps;
    if (is(CommandKey::L_IF) || is(CommandKey::L_WHILE)) {
        steps.push_back([&] { SelectComboItem(cmbParam1, v1); });
        steps.push_back([&] { SelectComboItem(cmbParam2, v2); });
        steps.push_back([&] {
            OperatorIndex = Integer(cmd.Op == -1 ? -1 : cmd.Op - 1);
            lblOperator_Click();
        });
    } else if (is(CommandKey::L_LOOP)) {
        steps.push_back([&] {
            if (p1Random) {
                SelectComboItem(cmbVar2, QStringLiteral("Random number"));
                RandomLimit = cmd.Param1Value.toInteger();
            } else {
                SelectComboItem(cmbVar2, v1);
            }
        });
    } else if (is(CommandKey::L_START) || is(CommandKey::L_STOP) || is(CommandKey::L_SUB)) {
        steps.push_back([&] { SelectComboItem(cmbTaskAndOp, v1); });
    } else if (is(CommandKey::L_VAR)) {
        steps.push_back([&] { SelectComboItem(cmbTaskAndOp, Entry(mApp.VarOpCaption, cmd.Op)); });
        steps.push_back([&] { SelectComboItem(cmbVar1, v1); });
        steps.push_back([&] {
            if (p2Random) {
                SelectComboItem(cmbVar2, QStringLiteral("Random number"));
                RandomLimit = vb::CInt(vb::Val(v2));
            } else {
                SelectComboItem(cmbVar2, v2);
            }
        });
    } else if (is(CommandKey::L_ZERO) || is(CommandKey::L_DATALOG) || is(CommandKey::L_SENDMESS)) {
        steps.push_back([&] { SelectComboItem(cmbParam1, v1); });
    } else if (is(CommandKey::L_SENTYPE) || is(CommandKey::L_SENMODE)) {
        steps.push_back([&] { SelectComboItem(cmbTaskAndOp, v1); });
        steps.push_back([&] { SelectComboItem(cmbVar1, v2); });
    }
    for (const auto& s : steps) {
        try {
            s();
        } catch (const VbError& e) {
            if (e.number() == Err::ReadOnlyProperty) {
                ShowMessage(*mApp.Presenter, QStringLiteral("No such object"), MsgStyle::Exclamation);
                continue;
            }
            ShowMessage(*mApp.Presenter, e.description(), MsgStyle::Exclamation);
            break;
        }
    }
    return result;
}

void LogicFrame::LayOut(CommandKey key)
{
    auto is = [&](CommandKey k) { return key == k; };
    auto caption = [](FrameLabel& l, const QString& text) {
        l.Caption = text;
        l.Width = CaptionWidth(text);
        l.Visible = true;
    };
    if (is(CommandKey::L_IF) || is(CommandKey::L_WHILE)) {
        lblOperator.Visible = true;
        cmbParam1.Visible = true;
        cmbParam2.Visible = true;
        cmdOkOpenLogic.Visible = true;
    } else if (is(CommandKey::L_LOOP)) {
        cmbVar2.Left = mParam1Design.Left;
        cmbVar2.Top = mParam1Design.Top;
        cmbVar2.Visible = true;
        caption(lblG, QStringLiteral("Times"));
        lblG.Top = cmbVar2.Top;
        lblG.Left = cmbVar2.Left + cmbVar2.Width + TwipX(5);
        cmdOkOpenLogic.Visible = true;
    } else if (is(CommandKey::L_START) || is(CommandKey::L_STOP) || is(CommandKey::L_SUB)) {
        cmbTaskAndOp.Left = mParam1Design.Left;
        cmbTaskAndOp.Top = mParam1Design.Top;
        cmbTaskAndOp.Width = FrameWidth - TwipX(20);
        cmbTaskAndOp.Visible = true;
        caption(lblG, is(CommandKey::L_SUB) ? QStringLiteral("Sub name") : QStringLiteral("Task name"));
        lblG.Left = cmbTaskAndOp.Left;
        lblG.Top = cmbTaskAndOp.Top - lblG.Height - TwipX(1);
    } else if (is(CommandKey::L_VAR)) {
        cmbTaskAndOp.Left = mParam1Design.Left;
        cmbTaskAndOp.Top = mParam1Design.Top;
        cmbTaskAndOp.Width = FrameWidth / 2.3;
        cmbVar1.Width = cmbTaskAndOp.Width;
        cmbVar2.Width = cmbTaskAndOp.Width;
        cmbVar1.Left = mParam2Design.Left;
        cmbVar1.Top = mParam2Design.Top;
        cmbVar2.Left = cmbVar1.Left;
        cmbVar2.Top = cmbVar1.Top + cmbVar1.Height + TwipY(4);
        for (FrameCombo* c : {&cmbTaskAndOp, &cmbVar1, &cmbVar2})
            c->Visible = true;
        caption(lblG, QStringLiteral("To"));
        lblG.Top = cmbVar2.Top + TwipY(4);
        // The word before the value stands in the gap left of it, inside the frame.
        lblG.Left = cmbVar2.Left - lblG.Width - TwipX(4);
    } else if (is(CommandKey::L_ZERO) || is(CommandKey::L_DATALOG) || is(CommandKey::L_SENDMESS)) {
        cmbParam1.Visible = true;
        caption(lblG, is(CommandKey::L_ZERO) ? QStringLiteral("Select sensor") : QStringLiteral("Select object"));
        lblG.Left = cmbParam1.Left;
        lblG.Top = cmbParam1.Top - TwipY(4) - lblG.Height;
    } else if (is(CommandKey::L_SENTYPE) || is(CommandKey::L_SENMODE)) {
        caption(lblG1, is(CommandKey::L_SENTYPE) ? QStringLiteral("Set type to") : QStringLiteral("Set mode to"));
        caption(lblG2, QStringLiteral("Select sensor"));
        const double w = std::max(lblG1.Width, lblG2.Width);
        cmbTaskAndOp.Left = mParam1Design.Left + w + TwipX(10);
        cmbTaskAndOp.Top = mParam1Design.Top;
        cmbTaskAndOp.Width = FrameWidth / 2;
        lblG2.Left = mParam1Design.Left;
        lblG2.Top = cmbTaskAndOp.Top + TwipY(3);
        cmbVar1.Top = cmbTaskAndOp.Top + cmbTaskAndOp.Height + TwipY(6);
        cmbVar1.Left = cmbTaskAndOp.Left;
        cmbVar1.Width = cmbTaskAndOp.Width;
        lblG1.Left = lblG2.Left;
        lblG1.Top = cmbVar1.Top + TwipY(3);
        cmbTaskAndOp.Visible = true;
        cmbVar1.Visible = true;
    }
}

// ---- choosing in the combos

void LogicFrame::cmbParam1_Click()
{
    try {
        ComboChoice(cmbParam1);
    } catch (const VbError&) {
    }
}

void LogicFrame::cmbParam2_Click()
{
    try {
        ComboChoice(cmbParam2);
    } catch (const VbError&) {
    }
}

void LogicFrame::cmbVar1_Click()
{
    try {
        ComboChoice(cmbVar1);
    } catch (const VbError&) {
    }
}

void LogicFrame::cmbTaskAndOp_Click()
{
    try {
        ComboChoice(cmbTaskAndOp);
        if (cmbTaskAndOp.Text.isEmpty() || !cmbVar1.Visible)
            return;
        const ComboItem* item = cmbTaskAndOp.SelectedItem();
        if (!item)
            return;
        static const char* words[9] = {"", "", "With", "With", "Of", "Of", "With", "With", "To"};
        const int code = int(vb::Val(item->Tag));
        if (code >= 0 && code <= 8 && !item->Tag.isEmpty()) {
            lblG.Caption = QString::fromLatin1(words[code]);
            lblG.Width = CaptionWidth(lblG.Caption);
            lblG.Left = cmbVar2.Left - lblG.Width - TwipX(4);
        }
    } catch (const VbError&) {
    }
}

void LogicFrame::cmbVar2_Click()
{
    try {
        ComboChoice(cmbVar2);
        const ObjectPtr o = FindObject(mApp.ObjectList(), cmbVar2.Text);
        if (!o)
            raiseError(Err::InvalidCall);
        if (o->Source == OperandSource::Random) {
            const int limit = int(Key() == CommandKey::L_LOOP ? CommandRule::Byte.high : CommandRule::Short.high);
            AskRandomLimit(*mApp.Presenter, QStringLiteral("Type a number between 1 to ") + QString::number(limit),
                           limit, RandomLimit, cmbVar2);
        }
    } catch (const VbError& e) {
        if (e.number() != Err::InvalidCall && e.number() != Err::ObjectNotSet)
            ShowMessage(*mApp.Presenter, e.description(), MsgStyle::Exclamation);
    }
}

// ---- Ok and Cancel

bool LogicFrame::cmdOkLogic_Click()
{
    if (!Command)
        return Fail(QStringLiteral("No such object"));
    // A name typed into a list that has no such item is refused, rather than
    // the item the list still shows being written.
    if (const FrameCombo* typed = ListWithTypedName({&cmbTaskAndOp, &cmbVar1}))
        return Fail(QStringLiteral("No such object"),
                    typed == &cmbTaskAndOp ? QStringLiteral("cmbTaskAndOp") : QStringLiteral("cmbVar1"));
    return UpdateLogicObject(*Command);
}

bool LogicFrame::WriteVar2Operand(CommandKey key, Variant& source, Variant& value)
{
    if (const ObjectPtr o = FindObject(mApp.ObjectList(), cmbVar2.Text)) {
        if (o->Source == OperandSource::Random) {
            source = OperandSource::Random;
            value = RandomLimit;
        } else {
            source = o->Source;
            value = o->Name;
        }
        return true;
    }
    if (!ValidateParam(mApp, cmbVar2.Text, key))
        return Fail(QStringLiteral("Invalid value"), QStringLiteral("cmbVar2"));
    source = OperandSource::Constant;
    value = cmbVar2.Text;
    return true;
}

bool LogicFrame::UpdateLogicObject(clsCommand& Co)
{
    try {
        const CommandKey key = Co.CommandKey;
        auto is = [&](CommandKey k) { return key == k; };
        if (is(CommandKey::L_IF) || is(CommandKey::L_WHILE)) {
            if (cmbParam1.Text.isEmpty() || cmbParam2.Text.isEmpty())
                return Fail(QStringLiteral("Wrong value"));
            if (const ObjectPtr o = FindObject(mApp.ObjectList(), cmbParam1.Text)) {
                Co.Param1Source = o->Source;
                Co.Param1Value = o->Name;
            } else {
                if (!ValidateParam(mApp, cmbParam1.Text, key))
                    return Fail(QStringLiteral("Invalid value"), QStringLiteral("cmbParam1"));
                Co.Param1Source = OperandSource::Constant;
                Co.Param1Value = cmbParam1.Text;
            }
            const ObjectPtr o2 = FindObject(mApp.ObjectList(), cmbParam2.Text);
            if (o2)
                Co.Param2Source = o2->Source;
            const int p = int(vb::Val(lblOperator.Tag));
            const bool rangeObject =
                o2 && (o2->Source == OperandSource::NamedRange || o2->Source == OperandSource::TypedRange);
            if (o2 && p == 4) {
                if (!rangeObject)
                    return Fail(QStringLiteral("Invalid object for this operation"), QStringLiteral("cmbParam2"));
                Co.Param2Value = o2->Name;
            } else if (o2) {
                if (rangeObject)
                    return Fail(QStringLiteral("Invalid object for this operation"), QStringLiteral("cmbParam2"));
                Co.Param2Value = o2->Name;
            } else if (p == 4) {
                const QString range = ParseRange(cmbParam2.Text);
                if (range == QLatin1String("false"))
                    return Fail(QStringLiteral("Invalid range"), QStringLiteral("cmbParam2"));
                Co.Param2Source = OperandSource::TypedRange;
                Co.Param2Value = range;
            } else {
                if (!ValidateParam(mApp, cmbParam2.Text, key))
                    return Fail(QStringLiteral("Invalid value"), QStringLiteral("cmbParam2"));
                Co.Param2Source = OperandSource::Constant;
                Co.Param2Value = cmbParam2.Text;
            }
            Co.Op = Integer(p);
        } else if (is(CommandKey::L_LOOP)) {
            if (cmbVar2.Text.isEmpty())
                return Fail(QStringLiteral("Wrong value"));
            if (!WriteVar2Operand(CommandKey::L_LOOP, Co.Param1Source, Co.Param1Value))
                return false;
        } else if (is(CommandKey::L_START) || is(CommandKey::L_STOP) || is(CommandKey::L_SUB)) {
            const ComboItem* item = cmbTaskAndOp.SelectedItem();
            if (!item || item->IsHeading())
                return Fail(QStringLiteral("Wrong value"));
            // The task or sub may have left the project since the list was
            // filled; nothing is written for a module that is gone.
            const QString& name = cmbTaskAndOp.Text;
            const bool known = is(CommandKey::L_SUB)
                                   ? mApp.SubList().Exists(name)
                                   : mApp.TaskList().Exists(name) || (is(CommandKey::L_STOP) && vb::SameText(name, "Stop program"));
            if (!known)
                return Fail(QStringLiteral("No such object"), QStringLiteral("cmbTaskAndOp"));
            Co.Param1Source = OperandSource::Constant;
            Co.Param1Value = cmbTaskAndOp.Text;
        } else if (is(CommandKey::L_VAR)) {
            const ComboItem* op = cmbTaskAndOp.SelectedItem();
            if (cmbTaskAndOp.Text.isEmpty() || cmbVar1.Text.isEmpty() || cmbVar2.Text.isEmpty() || !op ||
                op->IsHeading())
                return Fail(QStringLiteral("Wrong value"));
            const ObjectPtr var = FindObject(mApp.ObjectList(), cmbVar1.Text);
            if (!var)
                return Fail(QStringLiteral("No such object"), QStringLiteral("cmbVar1"));
            Co.Param1Source = var->Source;
            Co.Param1Value = var->Name;
            if (!WriteVar2Operand(CommandKey::L_VAR, Co.Param2Source, Co.Param2Value))
                return false;
            Co.Op = vb::CInt(vb::Val(op->Tag));
        } else if (is(CommandKey::L_ZERO) || is(CommandKey::L_DATALOG) || is(CommandKey::L_SENDMESS)) {
            if (cmbParam1.Text.isEmpty())
                return Fail(QStringLiteral("Wrong value"));
            if (const ObjectPtr o = FindObject(mApp.ObjectList(), cmbParam1.Text)) {
                Co.Param1Source = o->Source;
                Co.Param1Value = o->Name;
            } else if (!is(CommandKey::L_SENDMESS)) {
                return Fail(QStringLiteral("Invalid value for this command! Please select from the list"));
            } else {
                if (!ValidateParam(mApp, cmbParam1.Text, CommandKey::L_SENDMESS))
                    return Fail(QStringLiteral("Invalid value"), QStringLiteral("cmbParam1"));
                Co.Param1Source = OperandSource::Constant;
                Co.Param1Value = cmbParam1.Text;
            }
        } else if (is(CommandKey::L_SENTYPE) || is(CommandKey::L_SENMODE)) {
            if (cmbTaskAndOp.Text.isEmpty())
                return Fail(QStringLiteral("Invalid value"), QStringLiteral("cmbTaskAndOp"));
            if (cmbVar1.Text.isEmpty())
                return Fail(QStringLiteral("Invalid value"), QStringLiteral("cmbVar1"));
            Co.Param1Source = OperandSource::SensorValue;
            Co.Param1Value = cmbTaskAndOp.Text;
            Co.Param2Source = is(CommandKey::L_SENTYPE) ? OperandSource::SensorTypeName : OperandSource::SensorModeName;
            Co.Param2Value = cmbVar1.Text;
        }

        auto source = [](const Variant& v) { return v.isEmpty() ? Integer(0) : v.toInteger(); };
        Co.setPicCaption(1, TranslateToCaption2(mApp, key, source(Co.Param1Source), Co.Param1Value, Co.Op,
                                                source(Co.Param2Source), Co.Param2Value));
        FinishWrite(Co);
        return true;
    } catch (const VbError& e) {
        ShowMessage(*mApp.Presenter, e.description(), MsgStyle::Exclamation);
        return false;
    }
}

void LogicFrame::cmdCancelLogic_Click()
{
    RestoreCommand();
}
