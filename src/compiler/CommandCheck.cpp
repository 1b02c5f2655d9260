#include "compiler/CommandCheck.h"

#include "model/AppState.h"
#include "model/Messages.h"

#include <optional>

namespace {

bool codeIn(double source, std::initializer_list<int> codes)
{
    for (int c : codes)
        if (source == c)
            return true;
    return false;
}

bool sourceIn(const Variant& source, std::initializer_list<int> codes) { return codeIn(source.toDouble(), codes); }

QString checkMotors(const clsCommand& c)
{
    if (c.MotorList.isEmpty())
        return QStringLiteral(" -> ERROR: No motor list !");
    QString text;
    for (QChar ch : c.MotorList) {
        // The port a letter of the list reads as: its digit, 0 for anything else.
        const int port = ch >= u'0' && ch <= u'9' ? ch.unicode() - u'0' : 0;
        if (App().RcxSetup->PortMotor(port)->MotorType() == 0)
            text = QStringLiteral(" -> ERROR: Nothing connected to output port ") + QChar(65 + port);
    }
    return text;
}

QString checkLogic(const clsCommand& c, Long kind)
{
    const QString& key = c.CommandKey;
    const QString missing = QStringLiteral(" -> ERROR: Missing command details !");
    if (IsWord(key, u"L_IF") || IsWord(key, u"L_WHILE") || IsWord(key, u"L_VAR")) {
        if (IsUnsetOperand(c.Param1Source) || IsUnsetOperand(c.Param1Value) || IsUnsetOperand(c.Param2Source) ||
            IsUnsetOperand(c.Param2Value))
            return missing;
        // A range has no translation in a WHILE.
        if (IsWord(key, u"L_WHILE") &&
            sourceIn(c.Param2Source, {OperandSource::NamedRange, OperandSource::TypedRange}))
            return QStringLiteral(" -> ERROR: Range can't be used in WHILE !");
        return {};
    }
    if (IsWord(key, u"L_DATALOG") || IsWord(key, u"L_LOOP") ||
        IsWord(key, u"L_SENDMESS")) {
        if (IsUnsetOperand(c.Param1Source) || IsUnsetOperand(c.Param1Value))
            return missing;
        return {};
    }
    if (IsWord(key, u"L_START") || IsWord(key, u"L_STOP")) {
        if (IsUnsetOperand(c.Param1Value))
            return missing;
        const QString name = c.Param1Value.toString();
        if (IsWord(name, u"Stop program"))
            return {};
        for (const auto& e : App().TaskList)
            if (e.item->Name == name)
                return {};
        return QStringLiteral(" -> ERROR: Undefined task: ") + name + QStringLiteral("! -");
    }
    if (IsWord(key, u"L_SUB")) {
        QString text;
        if (kind == ModuleKind::Sub)
            text = QStringLiteral(" -> ERROR: SUB cannot be called from another SUB!");
        if (IsUnsetOperand(c.Param1Value))
            return missing;
        const QString name = c.Param1Value.toString();
        for (const auto& e : App().SubList)
            if (e.item->Name == name)
                return text;
        return QStringLiteral(" -> ERROR: Undefined sub: ") + name + QStringLiteral("!");
    }
    if (IsWord(key, u"L_ZERO")) {
        if (IsUnsetOperand(c.Param1Value))
            return missing;
        return {};
    }
    if (IsWord(key, u"L_SENTYPE") || IsWord(key, u"L_SENMODE")) {
        if (IsUnsetOperand(c.Param1Value) || IsUnsetOperand(c.Param2Value))
            return missing;
        return {};
    }
    return {};
}

QString checkGeneral(const clsCommand& c)
{
    const QString& key = c.CommandKey;
    if (IsWord(key, u"G_WAIT")) {
        if (ResolveValueCopy(c.Time) == 0)
            return QStringLiteral(" -> ERROR: Time Parameter is 0 !");
    } else if (IsWord(key, u"G_TXPOWER")) {
        if (IsUnsetOperand(c.Param1Value))
            return QStringLiteral(" -> ERROR: Power not selected !");
    } else if (IsWord(key, u"G_DISPLAY")) {
        if (IsUnsetOperand(c.Param1Value))
            return QStringLiteral(" -> ERROR: Display not selected !");
    } else if (IsWord(key, u"G_WATCH")) {
        if (IsUnsetOperand(c.Param1Value) || IsUnsetOperand(c.Param2Value))
            return QStringLiteral(" -> ERROR: Missing command details !");
    } else if (IsWord(key, u"G_SOUND")) {
        if (c.Speed.toString().isEmpty())
            return QStringLiteral(" -> ERROR: Missing command details !");
    }
    return {};
}

// Operands that name a sensor or one of its status values, a motor item, a
// variable, a constant, a timer or a range must name a value that still
// exists, or the translation would have nothing to put in its place; tested
// group by group, first operand first.
QString checkNamedOperands(const clsCommand& c, OperandObjects& objects)
{
    struct Test {
        std::initializer_list<int> sources;
        const char* text;
    };
    static const Test tests[] = {
        {{OperandSource::SensorType, OperandSource::SensorMode, OperandSource::SensorRaw,
          OperandSource::SensorBoolean},
         "-> ERROR: Nothing connected to sensor port: "},
        {{OperandSource::SensorValue}, "-> ERROR: Undefined sensor: "},
        {{OperandSource::MotorStatus}, "-> ERROR: Undefined motor: "},
        {{OperandSource::Variable}, "-> ERROR: Undefined var: "},
        {{OperandSource::UserConstant}, "-> ERROR: Undefined constant: "},
        {{OperandSource::Timer}, "-> ERROR: Undefined timer: "},
        {{OperandSource::NamedRange}, "-> ERROR: Undefined range: "},
    };
    const double first = c.Param1Source.toDouble();
    std::optional<double> second;  // read once the first operand has passed a group
    for (const Test& t : tests) {
        if (codeIn(first, t.sources) && !objects.first())
            return QString::fromLatin1(t.text) + c.Param1Value.toString();
        if (!second)
            second = c.Param2Source.toDouble();
        if (codeIn(*second, t.sources) && !objects.second())
            return QString::fromLatin1(t.text) + c.Param2Value.toString();
    }
    return {};
}

}  // namespace

QString CheckCommand(const clsCommand& command, Long kind)
{
    OperandObjects objects(command);
    return CheckCommand(command, kind, objects);
}

QString CheckCommand(const clsCommand& command, Long kind, OperandObjects& objects)
{
    try {
        const QString& key = command.CommandKey;
        const char16_t family = key.isEmpty() ? u'\0' : key[0].unicode();
        QString text;
        if (family == u'M')
            text = checkMotors(command);
        else if (family == u'L')
            text = checkLogic(command, kind);
        else if (family == u'G')
            text = checkGeneral(command);
        if (!text.isEmpty())
            return text;
        return checkNamedOperands(command, objects);
    } catch (const VbError& e) {
        ShowMessage(QStringLiteral("Error:") + e.description(), MsgStyle::Exclamation);
        return {};
    }
}

bool ValidateParam(const Variant& text, const QString& key)
{
    if (text.toString().isEmpty())
        return false;
    // Only blanks are trimmed: a tab or a line break is a character like any other.
    const QString t = vb::Trim(text.toString());
    for (int i = 0; i < t.size(); ++i) {
        const QChar ch = t[i];
        const bool digit = ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
        if (!digit && !(ch == QLatin1Char('-') && i == 0))
            return false;
    }
    const double v = vb::Val(t);
    auto within = [v](double lo, double hi) { return v >= lo && v <= hi; };
    if (IsWord(key, u"M_SETPWR"))
        return within(0, 7);
    if (IsWord(key, u"G_DISPLAY"))
        return within(0, 6);
    if (IsWord(key, u"L_LOOP") || IsWord(key, u"L_SENDMESS"))
        return within(0, 255);
    if (IsWord(key, u"G_WAIT"))
        return within(1, 32767);
    if (IsWord(key, u"integer"))
        return within(-32767, 32767);
    if (IsWord(key, u"L_IF") || IsWord(key, u"L_WHILE") || IsWord(key, u"L_VAR"))
        return App().ProjectType == 1 ? within(-32768, 65000) : within(-32768, 32767);
    return true;
}

Long ResolveValue(const Variant& operand)
{
    if (operand.isEmpty())
        return 0;
    if (const ObjectPtr* o = FindNamedObject(operand))
        return (*o)->Value;
    return operand.toLong();
}

Long ResolveValueCopy(const Variant& operand)
{
    return ResolveValue(operand);
}

const ObjectPtr* FindNamedObject(const Variant& name)
{
    if (name.isText())
        return name.text().isEmpty() ? nullptr : App().ObjectList.find(name.text());
    if (name.isEmpty())
        return nullptr;
    return App().ObjectList.find(name.toString());
}

const ObjectPtr* OperandObjects::first()
{
    if (!mFirst)
        mFirst = FindNamedObject(mCommand.Param1Value);
    return *mFirst;
}

const ObjectPtr* OperandObjects::second()
{
    if (!mSecond)
        mSecond = FindNamedObject(mCommand.Param2Value);
    return *mSecond;
}
