#include "model/NamedValues.h"

#include "model/CommandCatalogue.h"

#include "model/AppState.h"

namespace {

// Button n's bit is 2^(n-1); the 32nd would not fit a signed 32-bit value.
constexpr int kMaxJoystickButtons = 31;

struct Row {
    const char* name;
    Integer source;
    Long value;
    Integer number;
};

template <std::size_t N>
void addRows(Collection<ObjectPtr>& list, const Row (&rows)[N])
{
    for (const Row& r : rows)
        AddNamedValue(list, QString::fromLatin1(r.name), r.source, r.value, r.number);
}

ObjectPtr makeNamedValue(const QString& name, Integer source, Long value, Integer number)
{
    auto o = std::make_shared<clsObject>();
    o->Name = name;
    o->Source = source;
    o->Value = value;
    o->Number = number;
    return o;
}

// The open project's named values take what a builder adds to a list, one by
// one, so that a name there already fails as it comes (457), after the ones
// before it have been added.
template <class Build>
void addToOpenProject(Build build)
{
    Collection<ObjectPtr> made;
    build(made);
    AppState& app = App();
    for (const auto& e : made) {
        app.CurrentObject = e.item;
        app.AddObject(e.item, e.key);
    }
}

using namespace OperandSource;

const Row kInfiniteLoop[] = {
    {"Infinite loop", Constant, 0, 0},
};

const Row kDisplayRows[] = {
    {"Display normal", Display, 0, 1},
    {"Display sensor 1", Display, 1, 2},
    {"Display sensor 2", Display, 2, 3},
    {"Display sensor 3", Display, 3, 4},
    {"Display motor 1", Display, 4, 5},
    {"Display motor 2", Display, 5, 6},
    {"Display motor 3", Display, 6, 7},
};

const Row kRcxSensorRows[] = {
    {"No sensor", SensorTypeName, 0, 8},
    {"Touch sensor", SensorTypeName, 1, 9},
    {"Temperature sensor", SensorTypeName, 2, 10},
    {"Light sensor", SensorTypeName, 3, 11},
    {"Rotation sensor", SensorTypeName, 4, 12},
    {"Raw", SensorModeName, 0, 13},
    {"Boolean", SensorModeName, 1, 14},
    {"Trans", SensorModeName, 2, 15},
    {"Period", SensorModeName, 3, 16},
    {"Percentage", SensorModeName, 4, 17},
    {"Celsius", SensorModeName, 5, 18},
    {"Fahrenheit", SensorModeName, 6, 19},
    {"Rotation", SensorModeName, 7, 20},
};

const Row kMotorStateRows[] = {
    {"Motor-on", SystemConstant, 128, 0},
    {"Motor-off", SystemConstant, 64, 0},
    {"Motor-float", SystemConstant, 0, 0},
    {"Motor-forward", SystemConstant, 8, 0},
    {"Motor-backward", SystemConstant, 0, 0},
};

const Row kRcxSourceRows[] = {
    {"Timer 1", Timer, 0, 0},
    {"Timer 2", Timer, 0, 1},
    {"Timer 3", Timer, 0, 2},
    {"Timer 4", Timer, 0, 3},
    {"RCX message", Message, 0, 0},
    {"Random number", Random, 0, 0},
    {"Current time", Clock, 0, 0},
};

const Row kTimeUnitRows[] = {
    {"Second", TimeUnit, 100, 0},
    {"Tenth", TimeUnit, 10, 0},
    {"Hundredth", TimeUnit, 1, 0},
};

const Row kRcxSoundRows[] = {
    {"Click", Sound, 0, 0},
    {"Beep", Sound, 1, 0},
    {"Down sound", Sound, 2, 0},
    {"Up sound", Sound, 3, 0},
    {"Error", Sound, 4, 0},
    {"Rapid sound", Sound, 5, 0},
};

// The joystick set names sound 2 with a trailing blank.
const Row kJoystickSoundRows[] = {
    {"Click", Sound, 0, 0},
    {"Beep", Sound, 1, 0},
    {"Down sound ", Sound, 2, 0},
    {"Up sound", Sound, 3, 0},
    {"Error", Sound, 4, 0},
    {"Rapid sound", Sound, 5, 0},
};

const Row kPowerRows[] = {
    {"Short", TransmitPower, 0, 0},
    {"Long", TransmitPower, 1, 0},
};

}  // namespace

QString SensorValueName(Long type, int port)
{
    const char* word = nullptr;
    switch (type) {
    case 1: word = "Touch sensor "; break;
    case 2: word = "Temperature sensor "; break;
    case 3: word = "Light sensor "; break;
    case 4: word = "Rotation sensor "; break;
    default: return QString();
    }
    return QLatin1String(word) + QLatin1Char(' ') + QString::number(port + 1);
}

QString SensorStatusName(Integer source, int port)
{
    const char* word = nullptr;
    switch (source) {
    case SensorType: word = "S. Type "; break;
    case SensorMode: word = "S. Mode "; break;
    case SensorBoolean: word = "S. Boolean "; break;
    case SensorRaw: word = "S. Raw value "; break;
    default: return QString();
    }
    return QLatin1String(word) + QString::number(port + 1);
}

void AddSensorStatusObjects(Collection<ObjectPtr>& list, int port)
{
    const Integer p = Integer(port);
    for (const Integer source : {SensorType, SensorMode, SensorBoolean, SensorRaw})
        AddNamedValue(list, SensorStatusName(source, port), source, 0, p);
}

void AddSensorStatusObjects(int port)
{
    addToOpenProject([port](Collection<ObjectPtr>& list) { AddSensorStatusObjects(list, port); });
}

Variant CurrentOperandName(const Variant& source, const Variant& name)
{
    static const QString kOldRawValue = QStringLiteral("S. raw val ");
    if (!name.isText() || source.kind() != Variant::Kind::Number || source.toDouble() != double(SensorRaw))
        return name;
    const QString& text = name.text();
    if (text.size() != kOldRawValue.size() + 1 || !text.startsWith(kOldRawValue, Qt::CaseInsensitive))
        return name;
    const QChar digit = text.back();
    if (digit < QLatin1Char('1') || digit > QLatin1Char('3'))
        return name;
    return SensorStatusName(SensorRaw, digit.unicode() - u'1');
}

ObjectPtr AddNamedValue(Collection<ObjectPtr>& list, const QString& name, Integer source, Long value, Integer number)
{
    ObjectPtr o = makeNamedValue(name, source, value, number);
    list.Add(o, o->Name);
    return o;
}

ObjectPtr AddNamedValue(const QString& name, Integer source, Long value, Integer number)
{
    AppState& app = App();
    app.CurrentObject = makeNamedValue(name, source, value, number);
    app.AddObject(app.CurrentObject, app.CurrentObject->Name);
    return app.CurrentObject;
}

void BuildRcxObjects(Collection<ObjectPtr>& list)
{
    addRows(list, kInfiniteLoop);
    addRows(list, kDisplayRows);
    addRows(list, kRcxSensorRows);
    addRows(list, kMotorStateRows);
    addRows(list, kRcxSourceRows);
    addRows(list, kTimeUnitRows);
    addRows(list, kRcxSoundRows);
    addRows(list, kPowerRows);
}

void BuildRcxObjects()
{
    addToOpenProject([](Collection<ObjectPtr>& list) { BuildRcxObjects(list); });
}

void BuildJoystickObjects()
{
    addToOpenProject([](Collection<ObjectPtr>& list) { BuildJoystickObjects(list); });
}

void BuildJoystickObjects(Collection<ObjectPtr>& list)
{
    addRows(list, kInfiniteLoop);
    addRows(list, kDisplayRows);
    AddNamedValue(list, QStringLiteral("Random number"), Random, 0, 0);
    addRows(list, kMotorStateRows);
    AddNamedValue(list, QStringLiteral("Keyboard key"), KeyboardKey, 0, 1);
    addRows(list, kTimeUnitRows);
    addRows(list, kJoystickSoundRows);
    addRows(list, kPowerRows);
    AddNamedValue(list, QStringLiteral("Button-on"), SystemConstant, 1, 0);

    const JoystickCaps caps = App().Joystick->GetDevCaps();
    int buttons = 8;
    bool hasZ = false;
    bool hasR = false;
    if (caps.ok) {
        buttons = qBound(0, caps.buttons, kMaxJoystickButtons);
        hasZ = caps.hasZ;
        hasR = caps.hasR;
    }
    for (int n = 1; n <= buttons; ++n)
        AddNamedValue(list, QStringLiteral("Button %1").arg(n), JoystickButton, Long(1) << (n - 1), Integer(n));
    if (hasZ)
        AddNamedValue(list, QStringLiteral("Axle Z"), JoystickAxis, 0, 3);
    if (hasR)
        AddNamedValue(list, QStringLiteral("Axle R"), JoystickAxis, 0, 4);
    AddNamedValue(list, QStringLiteral("Horizontal axle"), JoystickAxis, 0, 1);
    AddNamedValue(list, QStringLiteral("Vertical axle"), JoystickAxis, 0, 2);
}

void BuildBuiltInObjects(Collection<ObjectPtr>& list, ProjectType type)
{
    if (type == ProjectType::Rcx)
        BuildRcxObjects(list);
    else
        BuildJoystickObjects(list);
}

void FillNameTables()
{
    AppState& app = App();
    app.SensorTypeName = {QString(), QStringLiteral("Touch sensor"), QStringLiteral("Temperature sensor"),
                          QStringLiteral("Light sensor"), QStringLiteral("Rotation sensor ")};
    app.VarOpCaption = {QStringLiteral("ADD"),      QStringLiteral("SUBTRACT"), QStringLiteral("DIVIDE"),
                        QStringLiteral("MULTIPLY"), QStringLiteral("SGN"),      QStringLiteral("ABSOLUTE"),
                        QStringLiteral("AND"),      QStringLiteral("OR"),       QStringLiteral("SET VALUE")};
    app.VarOpMethod = {QStringLiteral(".SumVar"), QStringLiteral(".SubVar"), QStringLiteral(".DivVar"),
                       QStringLiteral(".MulVar"), QStringLiteral(".SgnVar"), QStringLiteral(".AbsVar"),
                       QStringLiteral(".AndVar"), QStringLiteral(".OrVar"),  QStringLiteral(".SetVar")};
    app.CompareSymbol = {QStringLiteral(">"), QStringLiteral("<"), QStringLiteral("="), QStringLiteral("#"),
                         QStringLiteral("{..}")};
    app.CompareCaption = {QStringLiteral("is Greater than "), QStringLiteral("is Less than "),
                          QStringLiteral("is Equals to "), QStringLiteral("is Different from "),
                          QStringLiteral("is In the range of ")};

    app.ImmediateCommands.Clear();
    // In the table's own order; the flags are the catalogue's.
    using K = CommandKey;
    static const CommandKey kOrder[] = {
        K::A_REM,  K::M_ON,   K::M_OFF,  K::G_SOUND,   K::M_FWD,      K::M_RWD,     K::M_ALTDIR,
        K::M_SETPWR, K::G_WAIT, K::L_IF,  K::L_WHILE,   K::L_LOOP,     K::L_SUB,     K::L_VAR,
        K::L_START, K::L_STOP, K::L_ZERO, K::L_DATALOG, K::L_SENDMESS, K::G_TXPOWER, K::G_DISPLAY,
        K::G_PBOFF, K::G_WATCH, K::L_SENTYPE, K::L_SENMODE,
    };
    for (const CommandKey key : kOrder) {
        const CommandInfo* c = FindCommand(key);
        app.ImmediateCommands.Add(c->immediate, c->key);
    }
}
