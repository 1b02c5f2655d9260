#include "model/AppState.h"
#include "model/NamedValues.h"
#include "model/VbError.h"

#include "support/Failures.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class FakeJoystick : public IJoystick {
public:
    JoystickCaps caps;
    int queries = 0;
    JoystickCaps GetDevCaps() override
    {
        ++queries;
        return caps;
    }
};


QStringList names()
{
    QStringList n;
    for (const auto& e : App().ObjectList())
        n.append(e.item->Name);
    return n;
}

struct Expected {
    const char* name;
    Integer source;
    Long value;
    Integer number;
};

void expectRow(int index, const Expected& x)
{
    SCOPED_TRACE(testing::Message() << "row " << index << " " << x.name);
    const ObjectPtr o = App().ObjectList().Item(index);
    EXPECT_EQ(o->Name, QString::fromLatin1(x.name));
    EXPECT_EQ(App().ObjectList().KeyAt(index), QString::fromLatin1(x.name));
    EXPECT_EQ(o->Source, x.source);
    EXPECT_EQ(o->Value, x.value);
    EXPECT_EQ(o->Number, x.number);
    EXPECT_EQ(o->AuxValue, 0);
    EXPECT_EQ(o->PollCheck, 0);
}

class NamedValuesTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ResetApp();
        App().Joystick = &joystick;
    }
    void TearDown() override { ResetApp(); }
    void addUser(const QString& name)
    {
        auto o = std::make_shared<clsObject>();
        o->Name = name;
        o->Source = OperandSource::UserConstant;
        App().AddObject(o, name);
    }
    FakeJoystick joystick;
};

TEST_F(NamedValuesTest, RcxSetInItsOrder)
{
    BuildRcxObjects();
    ASSERT_EQ(App().ObjectList().Count(), 44);
    const std::pair<int, Expected> rows[] = {
        {1, {"Infinite loop", 2, 0, 0}},
        {2, {"Display normal", 130, 0, 1}},
        {8, {"Display motor 3", 130, 6, 7}},
        {9, {"No sensor", 140, 0, 8}},
        {13, {"Rotation sensor", 140, 4, 12}},
        {14, {"Raw", 150, 0, 13}},
        {21, {"Rotation", 150, 7, 20}},
        {22, {"Motor-on", 110, 128, 0}},
        {23, {"Motor-off", 110, 64, 0}},
        {25, {"Motor-forward", 110, 8, 0}},
        {26, {"Motor-backward", 110, 0, 0}},
        {27, {"Timer 1", 1, 0, 0}},
        {30, {"Timer 4", 1, 0, 3}},
        {31, {"RCX message", 15, 0, 0}},
        {32, {"Random number", 4, 0, 0}},
        {33, {"Current time", 14, 0, 0}},
        {34, {"Second", 190, 100, 0}},
        {36, {"Hundredth", 190, 1, 0}},
        {37, {"Click", 200, 0, 0}},
        {39, {"Down sound", 200, 2, 0}},
        {42, {"Rapid sound", 200, 5, 0}},
        {43, {"Short", 210, 0, 0}},
        {44, {"Long", 210, 1, 0}},
    };
    for (const auto& [i, x] : rows)
        expectRow(i, x);
    // Number runs 1..20 over the display, sensor type and sensor mode rows.
    for (int i = 2; i <= 21; ++i)
        EXPECT_EQ(App().ObjectList().Item(i)->Number, i - 1);
    EXPECT_EQ(App().CurrentObject, App().ObjectList().Item(44));
}

struct JoystickCase {
    const char* what;
    JoystickCaps caps;
    int buttons;
    bool z, r;
};

TEST_F(NamedValuesTest, JoystickRowsFollowTheCapabilities)
{
    const JoystickCase cases[] = {
        {"no joystick", {false, 4, true, true}, 8, false, false},
        {"four buttons and Z", {true, 4, true, false}, 4, true, false},
        {"R only", {true, 2, false, true}, 2, false, true},
        {"Z and R", {true, 6, true, true}, 6, true, true},
        {"no buttons", {true, 0, false, false}, 0, false, false},
        {"negative count", {true, -3, false, false}, 0, false, false},
        {"32 buttons", {true, 32, false, false}, 31, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        joystick.caps = c.caps;
        joystick.queries = 0;
        BuildJoystickObjects();
        EXPECT_EQ(joystick.queries, 1);
        const QStringList n = names();
        ASSERT_EQ(n.size(), 27 + c.buttons + int(c.z) + int(c.r) + 2);
        EXPECT_EQ(n[26], QStringLiteral("Button-on"));
        for (int b = 1; b <= c.buttons; ++b) {
            const ObjectPtr o = App().ObjectList().Item(27 + b);
            EXPECT_EQ(o->Name, QStringLiteral("Button %1").arg(b));
            EXPECT_EQ(o->Source, 160);
            EXPECT_EQ(o->Value, Long(1) << (b - 1));
            EXPECT_GT(o->Value, 0);
            EXPECT_EQ(o->Number, b);
        }
        int at = 28 + c.buttons;
        if (c.z)
            expectRow(at++, {"Axle Z", 170, 0, 3});
        if (c.r)
            expectRow(at++, {"Axle R", 170, 0, 4});
        expectRow(at++, {"Horizontal axle", 170, 0, 1});
        expectRow(at++, {"Vertical axle", 170, 0, 2});
        EXPECT_EQ(App().ObjectList().Exists(QStringLiteral("Axle Z")), c.z);
        EXPECT_EQ(App().ObjectList().Exists(QStringLiteral("Axle R")), c.r);
    }
}

TEST_F(NamedValuesTest, JoystickFixedRows)
{
    joystick.caps = {true, 0, false, false};
    BuildJoystickObjects();
    const std::pair<int, Expected> rows[] = {
        {1, {"Infinite loop", 2, 0, 0}},
        {2, {"Display normal", 130, 0, 1}},
        {8, {"Display motor 3", 130, 6, 7}},
        {9, {"Random number", 4, 0, 0}},
        {10, {"Motor-on", 110, 128, 0}},
        {14, {"Motor-backward", 110, 0, 0}},
        {15, {"Keyboard key", 180, 0, 1}},
        {16, {"Second", 190, 100, 0}},
        {18, {"Hundredth", 190, 1, 0}},
        {19, {"Click", 200, 0, 0}},
        {21, {"Down sound ", 200, 2, 0}},
        {24, {"Rapid sound", 200, 5, 0}},
        {25, {"Short", 210, 0, 0}},
        {26, {"Long", 210, 1, 0}},
        {27, {"Button-on", 110, 1, 0}},
    };
    for (const auto& [i, x] : rows)
        expectRow(i, x);
    for (const char* absent : {"Timer 1", "RCX message", "Current time", "No sensor", "Raw", "Boolean",
                               "Down sound"})
        EXPECT_FALSE(App().ObjectList().Exists(QString::fromLatin1(absent))) << absent;
}

TEST_F(NamedValuesTest, BuildersAppendWithoutEmptying)
{
    addUser(QStringLiteral("Speed"));
    BuildRcxObjects();
    EXPECT_EQ(App().ObjectList().Count(), 45);
    EXPECT_EQ(App().ObjectList().Item(1)->Name, QStringLiteral("Speed"));
    EXPECT_EQ(App().ObjectList().Item(2)->Name, QStringLiteral("Infinite loop"));
}

TEST_F(NamedValuesTest, BuildingTwiceFailsAtTheFirstRow)
{
    const std::function<void()> builders[] = {[] { BuildRcxObjects(); }, [] { BuildJoystickObjects(); }};
    for (const auto& build : builders) {
        SetUp();
        build();
        const int count = App().ObjectList().Count();
        EXPECT_EQ(failureNumber(build), Err::DuplicateKey);
        EXPECT_EQ(App().ObjectList().Count(), count);
        // The object made for the refused row is the first row's.
        EXPECT_EQ(App().CurrentObject->Name, QStringLiteral("Infinite loop"));
        EXPECT_NE(App().CurrentObject, App().ObjectList().Item(1));
    }
}

TEST_F(NamedValuesTest, UserNamesCollideInAnyLetterCase)
{
    struct Case {
        const char* userName;
        bool joystickSet;
        int rowsBefore;  // built rows that stay in the list
    };
    const Case cases[] = {
        {"TIMER 1", false, 26},
        {"timer 3", false, 28},
        {"down sound", false, 38},
        {"down sound ", true, 20},
        {"BUTTON 2", true, 28},
        {"vertical AXLE", true, 27 + 8 + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.userName);
        SetUp();
        addUser(QString::fromLatin1(c.userName));
        EXPECT_EQ(failureNumber([&] { c.joystickSet ? BuildJoystickObjects() : BuildRcxObjects(); }), Err::DuplicateKey);
        EXPECT_EQ(App().ObjectList().Count(), 1 + c.rowsBefore);
    }
    // The other way round: a user value after the built-in set.
    SetUp();
    BuildJoystickObjects();
    EXPECT_EQ(failureNumber([this] { addUser(QStringLiteral("DOWN SOUND ")); }), Err::DuplicateKey);
    addUser(QStringLiteral("down sound"));  // without the blank it is another name
}

TEST_F(NamedValuesTest, NameTables)
{
    FillNameTables();
    const AppState& a = App();
    EXPECT_EQ(a.SensorTypeName, (QStringList{QString(), QStringLiteral("Touch sensor"),
                                             QStringLiteral("Temperature sensor"), QStringLiteral("Light sensor"),
                                             QStringLiteral("Rotation sensor ")}));
    EXPECT_EQ(a.VarOpCaption, (QStringList{QStringLiteral("ADD"), QStringLiteral("SUBTRACT"),
                                           QStringLiteral("DIVIDE"), QStringLiteral("MULTIPLY"),
                                           QStringLiteral("SGN"), QStringLiteral("ABSOLUTE"), QStringLiteral("AND"),
                                           QStringLiteral("OR"), QStringLiteral("SET VALUE")}));
    EXPECT_EQ(a.VarOpMethod, (QStringList{QStringLiteral(".SumVar"), QStringLiteral(".SubVar"),
                                          QStringLiteral(".DivVar"), QStringLiteral(".MulVar"),
                                          QStringLiteral(".SgnVar"), QStringLiteral(".AbsVar"),
                                          QStringLiteral(".AndVar"), QStringLiteral(".OrVar"),
                                          QStringLiteral(".SetVar")}));
    EXPECT_EQ(a.CompareSymbol, (QStringList{QStringLiteral(">"), QStringLiteral("<"), QStringLiteral("="),
                                            QStringLiteral("#"), QStringLiteral("{..}")}));
    EXPECT_EQ(a.CompareCaption,
              (QStringList{QStringLiteral("is Greater than "), QStringLiteral("is Less than "),
                           QStringLiteral("is Equals to "), QStringLiteral("is Different from "),
                           QStringLiteral("is In the range of ")}));
}

TEST_F(NamedValuesTest, ImmediateCommandsInTheirOrder)
{
    FillNameTables();
    const auto& ic = App().ImmediateCommands;
    const std::pair<const char*, Integer> expected[] = {
        {"A_REM", 1},   {"M_ON", 1},       {"M_OFF", 1},      {"G_SOUND", 1},   {"M_FWD", 1},
        {"M_RWD", 1},   {"M_ALTDIR", 1},   {"M_SETPWR", 1},   {"G_WAIT", 1},    {"L_IF", 0},
        {"L_WHILE", 0}, {"L_LOOP", 0},     {"L_SUB", 0},      {"L_VAR", 1},     {"L_START", 1},
        {"L_STOP", 1},  {"L_ZERO", 1},     {"L_DATALOG", 0},  {"L_SENDMESS", 0}, {"G_TXPOWER", 1},
        {"G_DISPLAY", 1}, {"G_PBOFF", 1},  {"G_WATCH", 1},    {"L_SENTYPE", 1}, {"L_SENMODE", 1},
    };
    ASSERT_EQ(ic.Count(), 25);
    int i = 1;
    for (const auto& [key, flag] : expected) {
        SCOPED_TRACE(key);
        EXPECT_EQ(ic.KeyAt(i), QString::fromLatin1(key));
        EXPECT_EQ(ic.Item(i), flag);
        ++i;
    }
    EXPECT_EQ(ic.Item(QStringLiteral("l_if")), 0);
    EXPECT_EQ(ic.Item(QStringLiteral("m_on")), 1);
    EXPECT_EQ(failureNumber([&] { ic.Item(QStringLiteral("CURSOR")); }), Err::InvalidCall);

    FillNameTables();  // filling again gives the same table
    EXPECT_EQ(App().ImmediateCommands.Count(), 25);
}

}  // namespace
