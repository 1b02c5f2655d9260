#include "compiler/CommandCheck.h"

#include "link/protocol/RcxBrick.h"
#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Messages.h"

#include <cmath>
#include <optional>
#include <utility>

namespace {

bool codeIn(double source, std::initializer_list<int> codes)
{
    for (int c : codes)
        if (source == c)
            return true;
    return false;
}

bool sourceIn(const Variant& source, std::initializer_list<int> codes) { return codeIn(source.toDouble(), codes); }

QString checkMotors(const clsCommand& c, const AppState& app)
{
    if (c.MotorList.isEmpty())
        return QStringLiteral(" -> ERROR: No motor list !");
    QString text;
    for (QChar ch : c.MotorList) {
        // The port a letter of the list reads as: its digit, 0 for anything else.
        const int port = ch >= u'0' && ch <= u'9' ? ch.unicode() - u'0' : 0;
        if (app.RcxSetup().PortMotor(port).MotorType() == 0)
            text = QStringLiteral(" -> ERROR: Nothing connected to output port ") + QChar(65 + port);
    }
    return text;
}

QString checkLogic(const clsCommand& c, Long kind, const AppState& app)
{
    const CommandKey key = c.CommandKey;
    const QString missing = QStringLiteral(" -> ERROR: Missing command details !");
    if (key == CommandKey::L_IF || key == CommandKey::L_WHILE || key == CommandKey::L_VAR) {
        if (IsUnsetOperand(c.Param1Source) || IsUnsetOperand(c.Param1Value) || IsUnsetOperand(c.Param2Source) ||
            IsUnsetOperand(c.Param2Value))
            return missing;
        // A range has no translation in a WHILE.
        if (key == CommandKey::L_WHILE &&
            sourceIn(c.Param2Source, {OperandSource::NamedRange, OperandSource::TypedRange}))
            return QStringLiteral(" -> ERROR: Range can't be used in WHILE !");
        return {};
    }
    if (key == CommandKey::L_DATALOG || key == CommandKey::L_LOOP ||
        key == CommandKey::L_SENDMESS) {
        if (IsUnsetOperand(c.Param1Source) || IsUnsetOperand(c.Param1Value))
            return missing;
        return {};
    }
    if (key == CommandKey::L_START || key == CommandKey::L_STOP) {
        if (IsUnsetOperand(c.Param1Value))
            return missing;
        const QString name = c.Param1Value.toString();
        if (IsWord(name, u"Stop program"))
            return {};
        for (const auto& e : app.TaskList())
            if (e.item->Name == name)
                return {};
        return QStringLiteral(" -> ERROR: Undefined task: ") + name + QStringLiteral("! -");
    }
    if (key == CommandKey::L_SUB) {
        QString text;
        if (kind == ModuleKind::Sub)
            text = QStringLiteral(" -> ERROR: SUB cannot be called from another SUB!");
        if (IsUnsetOperand(c.Param1Value))
            return missing;
        const QString name = c.Param1Value.toString();
        for (const auto& e : app.SubList())
            if (e.item->Name == name)
                return text;
        return QStringLiteral(" -> ERROR: Undefined sub: ") + name + QStringLiteral("!");
    }
    if (key == CommandKey::L_ZERO) {
        if (IsUnsetOperand(c.Param1Value))
            return missing;
        return {};
    }
    if (key == CommandKey::L_SENTYPE || key == CommandKey::L_SENMODE) {
        if (IsUnsetOperand(c.Param1Value) || IsUnsetOperand(c.Param2Value))
            return missing;
        return {};
    }
    return {};
}

QString checkGeneral(const clsCommand& c, OperandObjects& objects)
{
    const CommandKey key = c.CommandKey;
    if (key == CommandKey::G_WAIT) {
        if (objects.time() == 0)
            return QStringLiteral(" -> ERROR: Time Parameter is 0 !");
    } else if (key == CommandKey::G_TXPOWER) {
        if (IsUnsetOperand(c.Param1Value))
            return QStringLiteral(" -> ERROR: Power not selected !");
    } else if (key == CommandKey::G_DISPLAY) {
        if (IsUnsetOperand(c.Param1Value))
            return QStringLiteral(" -> ERROR: Display not selected !");
    } else if (key == CommandKey::G_WATCH) {
        if (IsUnsetOperand(c.Param1Value) || IsUnsetOperand(c.Param2Value))
            return QStringLiteral(" -> ERROR: Missing command details !");
    } else if (key == CommandKey::G_SOUND) {
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
        SourceSet sources;
        const char* text;
    };
    static constexpr Test tests[] = {
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
    const int first = objects.firstSource();
    for (const Test& t : tests) {
        if (t.sources.has(first) && !objects.first())
            return QString::fromLatin1(t.text) + c.Param1Value.toString();
        // read once the first operand has passed a group
        if (t.sources.has(objects.secondSource()) && !objects.second())
            return QString::fromLatin1(t.text) + c.Param2Value.toString();
    }
    return {};
}

// ---- What the brick takes

// An operand as the translation hands it to the brick: its source, with the
// named constant groups read as constants and a motor item as the variable
// it is loaded into, and the number of a constant (nullopt for anything the
// brick reads itself, or a text that reads as no number).
struct Resolved {
    int source = -1;
    std::optional<double> constant;
};

// A value as a number, or nullopt for a text that is none.
std::optional<double> numberOf(const Variant& value)
{
    if (IsInfiniteLoop(value))
        return 0;
    if (!value.isNumeric())
        return std::nullopt;
    return value.toDouble();
}

// The command's first operand, or its second.
Resolved resolved(const clsCommand& c, OperandObjects& objects, bool firstOperand)
{
    const int s = firstOperand ? objects.firstSource() : objects.secondSource();
    const Variant& value = firstOperand ? c.Param1Value : c.Param2Value;
    if (s == OperandSource::Constant)
        return {OperandSource::Constant, numberOf(value)};
    if (kConstantGroups.has(s)) {
        const ObjectPtr* named = firstOperand ? objects.first() : objects.second();
        return {OperandSource::Constant, named ? std::optional<double>((*named)->Value) : std::nullopt};
    }
    if (s == OperandSource::MotorStatus)
        return {OperandSource::Variable, std::nullopt};
    if (s == OperandSource::Random)
        return {OperandSource::Random, numberOf(value)};  // the upper limit
    return {s, std::nullopt};
}

// The number goes to the brick rounded as the translation rounds it.
bool within(double value, ValueRange range)
{
    return range.contains(std::nearbyint(value));
}

// A whole number an operand resolves to without a failure (a time unit, a
// sound), or nullopt: the translation reports a value it can't read itself.
template <class Resolve>
std::optional<double> quietly(Resolve resolve)
{
    try {
        return double(resolve());
    } catch (const VbError&) {
        return std::nullopt;
    }
}

QString refusal(const char* text)
{
    return QStringLiteral(" -> ERROR: ") + QLatin1String(text);
}

const char* const kInvalid = "Invalid value";

// The brick's sources a place takes, one bit each (0: any).
constexpr unsigned sources(std::initializer_list<int> codes)
{
    unsigned bits = 0;
    for (int c : codes)
        bits |= 1u << c;
    return bits;
}

// One operand of a command against what the brick takes in its place: a
// source among those allowed, a constant and a random limit within their
// ranges.
struct Bound {
    unsigned sources;
    ValueRange constant;
    ValueRange random;  // a random number's upper limit
};

bool fits(const Resolved& r, const Bound& b)
{
    if (b.sources != 0 && (r.source < 0 || r.source > 15 || (b.sources & (1u << r.source)) == 0))
        return false;
    if (r.source == OperandSource::Constant && r.constant)
        return within(*r.constant, b.constant);
    if (r.source == OperandSource::Random && r.constant)
        return within(*r.constant, b.random);
    return true;
}

using CommandRule::Short;

// A duration in hundredths that the brick takes as a constant of [0, high].
QString checkDuration(double hundredths, double high, const char* tooMuch)
{
    if (within(hundredths, {0, high}))
        return {};
    return refusal(std::nearbyint(hundredths) < 0 ? CommandRule::NegativeTime : tooMuch);
}

// Whether a range's bounds read as shorts once margin is taken off the low
// one and added to the high one; an operand that is no range fits. A range
// named by nothing has been refused before; a typed one without its "_" has
// no bounds.
bool rangeFits(const clsCommand& c, OperandObjects& objects, double margin)
{
    double low = 0, high = 0;
    const int source = objects.secondSource();
    if (source == OperandSource::NamedRange) {
        const ObjectPtr* o = objects.second();
        if (!o)
            return true;
        low = double((*o)->Value);
        high = double((*o)->AuxValue);
    } else if (source == OperandSource::TypedRange) {
        const QString text = c.Param2Value.toString();
        const qsizetype bar = text.indexOf(QLatin1Char('_'));
        if (bar < 0)
            return false;
        low = vb::Val(text.left(bar));
        high = vb::Val(text.mid(bar + 1));
    } else {
        return true;
    }
    return within(low - margin, Short) && within(high + margin, Short);
}

// The two operands of a command as the brick takes them, each resolved when
// a bound first asks for it.
class BoundOperands {
public:
    BoundOperands(const clsCommand& c, OperandObjects& objects) : mCommand(c), mObjects(objects) {}
    const Resolved& first()
    {
        if (!mFirst)
            mFirst = resolved(mCommand, mObjects, true);
        return *mFirst;
    }
    const Resolved& second()
    {
        if (!mSecond)
            mSecond = resolved(mCommand, mObjects, false);
        return *mSecond;
    }

private:
    const clsCommand& mCommand;
    OperandObjects& mObjects;
    std::optional<Resolved> mFirst, mSecond;
};

// On the PC the sources are read there; only the value goes to the brick.
constexpr unsigned kAnySource = 0;

// The bounds both project types keep: what goes to the brick on either.
QString checkSharedBounds(const clsCommand& c, OperandObjects& objects, BoundOperands& p, bool onBrick)
{
    const CommandKey key = c.CommandKey;
    using namespace OperandSource;
    if (key == CommandKey::M_SETPWR) {
        const ValueRange speed = CommandRule::MotorSpeed;
        if (!fits(p.second(), {onBrick ? sources({Variable, Constant, Random}) : kAnySource, speed, speed}))
            return refusal(CommandRule::MotorSpeedRefusal);
    } else if (key == CommandKey::G_DISPLAY) {
        if (!fits(p.first(), {onBrick ? sources({Variable, Constant}) : kAnySource, CommandRule::Display, {0, 0}}))
            return refusal(CommandRule::DisplayRefusal);
    } else if (key == CommandKey::G_TXPOWER) {
        if (!fits(p.first(), {kAnySource, {0, 1}, {0, 1}}))
            return refusal(kInvalid);
    } else if (key == CommandKey::G_SOUND) {
        const std::optional<double> sound = quietly([&] { return objects.speed(); });
        if (sound && !within(*sound, {0, Short.high}))
            return refusal(kInvalid);
        // A tone's duration goes as a byte of hundredths: the unit times the count.
        const std::optional<double> unit = quietly([&] { return objects.time(); });
        if (sound && IsTone(Long(*sound)) && unit && p.first().constant &&
            (p.first().source == Constant || p.first().source == Random)) {
            const QString text =
                checkDuration(*unit * *p.first().constant, CommandRule::MaxToneDuration, CommandRule::ToneTooLong);
            if (!text.isEmpty())
                return text;
        }
    }
    // The brick tests a range as value > low - 1 and value < high + 1; the PC
    // reads the bounds themselves. Either way they are shorts.
    if ((key == CommandKey::L_IF || key == CommandKey::L_WHILE) && !rangeFits(c, objects, onBrick ? 1 : 0))
        return refusal(kInvalid);
    return {};
}

// The bounds of the operands an RCX project's program hands the brick.
QString checkBrickBounds(const clsCommand& c, BoundOperands& p)
{
    const CommandKey key = c.CommandKey;
    using namespace OperandSource;
    if (key == CommandKey::G_WATCH) {
        // The frame stores the hours and minutes as plain numbers.
        const std::optional<double> hours = numberOf(c.Param1Value);
        const std::optional<double> minutes = numberOf(c.Param2Value);
        if ((hours && !within(*hours, CommandRule::Hours)) || (minutes && !within(*minutes, CommandRule::Minutes)))
            return refusal(kInvalid);
    } else if (key == CommandKey::L_SENDMESS) {
        if (!fits(p.first(), {sources({Variable, Constant}), CommandRule::Byte, {0, 0}}))
            return refusal(kInvalid);
    } else if (key == CommandKey::L_DATALOG) {
        // A motor item is logged through a variable.
        if (!fits(p.first(), {sources({Variable, Timer, SensorValue, Clock}), {0, 0}, {0, 0}}))
            return refusal(kInvalid);
    } else if (key == CommandKey::L_LOOP) {
        // A constant count of any size is loaded into a variable; a random
        // limit goes as the counter's byte.
        if (!fits(p.first(), {sources({Variable, Constant, Random}), Short, CommandRule::Byte}))
            return refusal(kInvalid);
    } else if (key == CommandKey::L_IF || key == CommandKey::L_WHILE) {
        const Bound value{kAnySource, Short, {0, Short.high}};
        if (!fits(p.first(), value) || !fits(p.second(), value))
            return refusal(kInvalid);
    } else if (key == CommandKey::L_VAR) {
        if (!fits(p.second(), {kAnySource, Short, {0, Short.high}}))
            return refusal(kInvalid);
    }
    return {};
}

// The command's wait on the brick: a variable's number, a random limit, or
// the unit times a constant count, in hundredths of a second held in a short.
QString checkBrickWait(const clsCommand& c, OperandObjects& objects, BoundOperands& p)
{
    const CommandKey key = c.CommandKey;
    if (!TakesDuration(key))
        return {};
    const std::optional<double> unit = c.Time.isEmpty() ? std::nullopt : quietly([&] { return objects.time(); });
    if (!unit || *unit <= 0 || !p.first().constant)
        return {};
    const Resolved& first = p.first();
    if (first.source != OperandSource::Constant && first.source != OperandSource::Random)
        return {};
    const double hundredths = first.source == OperandSource::Random ? *first.constant : *unit * *first.constant;
    return checkDuration(hundredths, CommandRule::MaxWait, CommandRule::TooMuchTime);
}

// Every operand the brick takes in a byte or a bounded range: a constant
// outside it (typed, or the value of a named constant) is refused, so that
// what goes down is what the listing shows. A Joystick & Keyboard project
// sends the brick only what it carries out at once; the rest runs on the PC.
QString checkBounds(const clsCommand& c, OperandObjects& objects)
{
    const bool onBrick = objects.app().ProjectType() == ProjectType::Rcx;
    BoundOperands operands(c, objects);
    QString text = checkSharedBounds(c, objects, operands, onBrick);
    if (!text.isEmpty() || !onBrick)
        return text;
    text = checkBrickBounds(c, operands);
    if (!text.isEmpty())
        return text;
    return checkBrickWait(c, objects, operands);
}

// ---- The compiler's scratch variables

// Bit n set: the command's translation writes brick variable n (0 or 1) on
// its own, to load an operand the brick can't read in place; the choices are
// the translation's.
int scratchOf(const clsCommand& c, OperandObjects& objects)
{
    const int s1 = objects.firstSource();
    const int s2 = objects.secondSource();
    int used = 0;
    // A motor item: first operand into variable 1, second into variable 0.
    if (s1 == OperandSource::MotorStatus)
        used |= 2;
    if (s2 == OperandSource::MotorStatus)
        used |= 1;
    // An arithmetic operation reads a brick source through variable 0.
    if (ReadsThroughVariable(c.CommandKey, c.Op, s2))
        used |= 1;
    return used;
}

// The same for the brick code of a block, as the link assembles it: a
// constant loop count that is no byte goes through variable 0; a test reads
// a random number through variable 1 (first operand) or 0 (second), a
// constant standing first.
int blockScratchOf(const clsCommand& c, OperandObjects& objects)
{
    const CommandKey key = c.CommandKey;
    const bool loop = key == CommandKey::L_LOOP;
    if (!loop && key != CommandKey::L_IF && key != CommandKey::L_WHILE)
        return 0;
    const Resolved first = resolved(c, objects, true);
    if (loop) {
        if (first.source == OperandSource::Constant && first.constant) {
            const double count = std::nearbyint(*first.constant);
            if (count != 0 && (count < 0 || count > 255))
                return 1;
        }
        return 0;
    }
    const int s2 = objects.secondSource();
    const bool range = s2 == OperandSource::NamedRange || s2 == OperandSource::TypedRange;
    int a = first.source;
    int b = range ? int(OperandSource::Constant) : resolved(c, objects, false).source;
    auto loaded = [](int source) { return source == OperandSource::Random || source == rcx::Src::Program; };
    if (a == OperandSource::Constant && b == OperandSource::Constant)
        return 0;
    if (b == OperandSource::Constant)
        std::swap(a, b);
    return (loaded(a) ? 2 : 0) | (loaded(b) ? 1 : 0);
}

// A user variable numbered like a scratch variable the command writes would
// be overwritten by it.
QString checkScratch(const clsCommand& c, OperandObjects& objects)
{
    const AppState& app = objects.app();
    if (app.ProjectType() != ProjectType::Rcx)
        return {};
    const int used = scratchOf(c, objects) | blockScratchOf(c, objects);
    if (used == 0)
        return {};
    // The first variable in the list on a number the command writes.
    const ScratchOwners& owners = objects.scratchOwners();
    const clsObject* o = nullptr;
    for (int n = 0; n < 2; ++n)
        if ((used & (1 << n)) && owners.owner[n] && (!o || owners.at[n] < owners.at[1 - n]))
            o = owners.owner[n];
    if (!o)
        return {};
    return QStringLiteral(" -> ERROR: Variable ") + o->Name + QStringLiteral(" has number ") +
           QString::number(o->Number) +
           QStringLiteral(", which the compiler uses for this command: give the variable another number "
                          "(define it again)");
}

}  // namespace

int SourceCode(const Variant& source)
{
    const double s = source.toDouble();
    if (!(s > -1e6 && s < 1e6))
        return -1000000;
    const int code = int(s);
    return double(code) == s ? code : -1000000;
}

QString CheckCommand(const AppState& app, const clsCommand& command, Long kind)
{
    OperandObjects objects(app, command);
    return CheckCommand(command, kind, objects);
}

QString CheckCommand(const clsCommand& command, Long kind, OperandObjects& objects)
{
    try {
        QString text;
        switch (FamilyOf(command.CommandKey)) {
        case CommandFamily::Motor: text = checkMotors(command, objects.app()); break;
        case CommandFamily::Logic: text = checkLogic(command, kind, objects.app()); break;
        case CommandFamily::General: text = checkGeneral(command, objects); break;
        default: break;
        }
        if (!text.isEmpty())
            return text;
        text = checkNamedOperands(command, objects);
        if (text.isEmpty())
            text = checkBounds(command, objects);
        if (text.isEmpty())
            text = checkScratch(command, objects);
        return text;
    } catch (const VbError& e) {
        ShowMessage(*objects.app().Presenter, QStringLiteral("Error:") + e.description(), MsgStyle::Exclamation);
        return {};
    }
}

namespace {

// The values a number typed for a command may take; nullopt for any.
std::optional<ValueRange> typedRange(const AppState& app, CommandKey key)
{
    switch (key) {
    case CommandKey::M_SETPWR: return CommandRule::MotorSpeed;
    case CommandKey::G_DISPLAY: return CommandRule::Display;
    case CommandKey::L_LOOP:
    case CommandKey::L_SENDMESS: return CommandRule::Byte;
    case CommandKey::G_WAIT: return ValueRange{1, CommandRule::MaxWait};
    case CommandKey::L_IF:
    case CommandKey::L_WHILE:
    case CommandKey::L_VAR:
        // A Joystick & Keyboard project compares its values on the PC.
        return app.ProjectType() == ProjectType::JoystickKeyboard ? ValueRange{CommandRule::Short.low, 65000} : CommandRule::Short;
    default: return std::nullopt;
    }
}

// A whole number, as a text of digits with an optional leading minus, within
// the range (nullopt: any).
bool typedNumberWithin(const Variant& text, std::optional<ValueRange> range)
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
    return !range || range->contains(vb::Val(t));
}

}  // namespace

bool ValidateParam(const AppState& app, const Variant& text, CommandKey key)
{
    return typedNumberWithin(text, typedRange(app, key));
}

bool ValidateParam(const AppState& app, const Variant& text, const QString& key)
{
    if (IsWord(key, u"integer"))
        return typedNumberWithin(text, ValueRange{-32767, CommandRule::Short.high});
    return ValidateParam(app, text, CommandKeyOf(key));
}

Long ResolveValue(const Collection<ObjectPtr>& objects, const Variant& operand)
{
    if (operand.isEmpty())
        return 0;
    if (const ObjectPtr* o = FindNamedObject(objects, operand))
        return (*o)->Value;
    return operand.toLong();
}

const ObjectPtr* FindNamedObject(const Collection<ObjectPtr>& objects, const Variant& name)
{
    if (name.isText())
        return name.text().isEmpty() ? nullptr : objects.find(name.text());
    if (name.isEmpty())
        return nullptr;
    return objects.find(name.toString());
}

const ObjectPtr* OperandObjects::first()
{
    if (!mFirst)
        mFirst = FindNamedObject(mApp.ObjectList(), mCommand.Param1Value);
    return *mFirst;
}

const ObjectPtr* OperandObjects::second()
{
    if (!mSecond)
        mSecond = FindNamedObject(mApp.ObjectList(), mCommand.Param2Value);
    return *mSecond;
}

int OperandObjects::readFirstSource()
{
    mFirstSource = SourceCode(mCommand.Param1Source);
    return *mFirstSource;
}

int OperandObjects::readSecondSource()
{
    mSecondSource = SourceCode(mCommand.Param2Source);
    return *mSecondSource;
}

Long OperandObjects::time()
{
    if (!mTime)
        mTime = ResolveValue(mApp.ObjectList(), mCommand.Time);
    return *mTime;
}

Long OperandObjects::speed()
{
    if (!mSpeed)
        mSpeed = ResolveValue(mApp.ObjectList(), mCommand.Speed);
    return *mSpeed;
}

const ScratchOwners& OperandObjects::scratchOwners()
{
    if (!*mScratch)
        *mScratch = FindScratchOwners(mApp);
    return **mScratch;
}

ScratchOwners FindScratchOwners(const AppState& app)
{
    ScratchOwners owners;
    qsizetype at = 0;
    for (const auto& e : app.ObjectList()) {
        const clsObject* o = e.item.get();
        if (o && o->Source == OperandSource::Variable && (o->Number == 0 || o->Number == 1) &&
            !owners.owner[o->Number]) {
            owners.owner[o->Number] = o;
            owners.at[o->Number] = at;
        }
        ++at;
    }
    return owners;
}
