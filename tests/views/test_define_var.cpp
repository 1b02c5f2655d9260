// Define Variables: every check and message of Add, Delete and Update on the
// three tabs, and the numbering of new variables.
#include "ViewsFixture.h"
#include "compiler/CompileContext.h"
#include "compiler/ModuleCompile.h"
#include "model/ProjectFile.h"
#include "views/core/DefineVar.h"

#include <QRegularExpression>

class DefineVarTest : public ViewsTest {
protected:
    // Adds through the boxes of a tab; true when it was added.
    bool add(int tab, const QString& name, const QString& v1 = QString(), const QString& v2 = QString())
    {
        d.Box[tab][0] = name;
        d.Box[tab][1] = v1;
        d.Box[tab][2] = v2;
        return d.Add(tab);
    }
    std::shared_ptr<clsObject> object(const QString& name) { return App().ObjectList().Item(name); }
    DefineVarLogic d{App()};
};

TEST_F(DefineVarTest, ANewVariableEntersBothListsWithTheLowestFreeNumberFromTwo)
{
    d.Load();
    ASSERT_TRUE(add(0, "speed", "007"));
    EXPECT_EQ(d.List[0], QStringList({"speed = 7"}));
    const auto o = object("speed");
    EXPECT_EQ(o->Source, 0);
    EXPECT_EQ(o->Number, 2);
    EXPECT_EQ(o->Value, 7);
    ASSERT_TRUE(App().VariableDefs().Exists("speed"));
    EXPECT_NE(App().VariableDefs().Item("speed").get(), o.get());
    EXPECT_EQ(App().VariableDefs().Item("speed")->Number, 2);
    EXPECT_TRUE(App().RcxSetup().Dirty);
    EXPECT_TRUE(d.Box[0][0].isEmpty());
    EXPECT_TRUE(d.Box[0][1].isEmpty());
    EXPECT_EQ(d.FocusBox, 0);

    ASSERT_TRUE(add(0, "b", "1"));
    ASSERT_TRUE(add(0, "c", "1"));
    EXPECT_EQ(object("c")->Number, 4);
    d.Selected[0] = 1;  // b, number 3
    ASSERT_TRUE(d.Delete(0));
    ASSERT_TRUE(add(0, "d", "1"));
    EXPECT_EQ(object("d")->Number, 3);
}

TEST_F(DefineVarTest, VariablesReadFromAProjectKeepTheirNumbers)
{
    auto old = std::make_shared<clsObject>();
    old->Name = "legacy";
    old->Number = 1;
    old->Value = 4;
    App().AddObject(old, "legacy");
    App().AddVariableDef(std::make_shared<clsObject>(*old), "legacy");
    d.Load();
    EXPECT_EQ(d.List[0], QStringList({"legacy = 4"}));
    ASSERT_TRUE(add(0, "x", "1"));
    EXPECT_EQ(object("legacy")->Number, 1);
    EXPECT_EQ(object("x")->Number, 2);
}

TEST_F(DefineVarTest, InvalidVariableValuesBecomeZero)
{
    for (const char* v : {"abc", "", "32768", "1-2", "+3", "1.5"}) {
        ASSERT_TRUE(add(0, QString("v") + v, v)) << v;
        EXPECT_EQ(d.List[0].last(), QString("v") + v + " = 0") << v;
    }
    ASSERT_TRUE(add(0, "low", "-32768"));
    EXPECT_EQ(object("low")->Value, -32768);
    ASSERT_TRUE(add(0, "blank", "   "));
    ASSERT_TRUE(add(0, "minus", "-"));
    EXPECT_EQ(object("minus")->Value, 0);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DefineVarTest, NamesMustHoldLetters)
{
    struct Case {
        int tab;
        const char* name;
        const char* message;
    } cases[] = {{0, "", "Missing name"},        {1, "", "Missing description"},
                 {2, "", "Missing description"}, {0, "12", "Name must contain letters"},
                 {0, "-5", "Name must contain letters"}, {1, "   ", "Name must contain letters"},
                 {2, "7", "Name must contain letters"}};
    for (const Case& c : cases) {
        presenter.shown.clear();
        EXPECT_FALSE(add(c.tab, c.name, "1", "2")) << c.name;
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, c.message);
        EXPECT_EQ(presenter.shown[0].style, 48);
        EXPECT_EQ(d.FocusTab, c.tab);
        EXPECT_EQ(d.FocusBox, 0);
    }
    EXPECT_TRUE(add(0, "x1", "1"));
    EXPECT_TRUE(add(1, "1.5", "1"));
}

// Every name is kept between quotes in the project file; a variable's also
// names its items in the datalog list, whose lines are cut at commas. A name
// those files can't carry is refused with the characters named, by Add and by
// Update; the names taken come back from a save and a reopen as typed.
TEST_F(DefineVarTest, NamesTheFilesCantCarryAreRefusedTheOthersComeBackFromASave)
{
    const char* const quotesAndCommas = "Commas and double quotes can't be used here";
    const char* const quotes = "Double quotes can't be used here";
    struct Case {
        int tab;
        const char* name;  // UTF-8
        const char* message;
    } refused[] = {
        {0, "left,right", quotesAndCommas},
        {0, "the \"big\" one", quotesAndCommas},
        {0, "two\nlines", "Line breaks can't be used here"},
        {1, "the \"max\"", quotes},
        {2, "\"near", quotes},
        {1, "cost \xe2\x82\xac", "The character \u20ac (U+20AC) can't be used here"},
    };
    for (const Case& c : refused) {
        const QString name = QString::fromUtf8(c.name);
        SCOPED_TRACE(c.name);
        presenter.shown.clear();
        EXPECT_FALSE(add(c.tab, name, "1", "2"));
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(presenter.shown[0].style, 48);
        EXPECT_EQ(d.FocusTab, c.tab);
        EXPECT_EQ(d.FocusBox, 0);
        EXPECT_EQ(d.Box[c.tab][0], name);
        EXPECT_FALSE(App().ObjectList().Exists(name));
    }
    ASSERT_TRUE(add(0, "speed", "3"));
    presenter.shown.clear();
    d.Select(0, 0);
    d.Box[0][0] = "speed, max";
    EXPECT_FALSE(d.Update(0));
    EXPECT_EQ(presenter.texts(), QStringList({quotesAndCommas}));
    EXPECT_EQ(d.List[0], QStringList({"speed = 3"}));
    EXPECT_TRUE(App().VariableDefs().Exists("speed"));

    // Commas stay in constants and ranges, blanks and Latin-1 letters anywhere.
    const QString accepted[][2] = {{"0", QString::fromUtf8(" D\xc3\xa9p\xc3\xb4t x'y ")},
                                   {"1", "Ticks, per turn"},
                                   {"1", QString::fromUtf8("\xc3\xbf top")},
                                   {"2", "near, far"}};
    for (const auto& [tab, name] : accepted)
        ASSERT_TRUE(add(tab.toInt(), name, "-4", "12")) << name.toStdString();
    AddTaskNamed("Main");
    App().ProjectAction = 2;
    const QStringList before[3] = {d.List[0], d.List[1], d.List[2]};
    presenter.shown.clear();
    ASSERT_TRUE(SaveProject());
    App().ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join("\n").toStdString();
    d.Load();
    for (int tab = 0; tab < 3; ++tab)
        EXPECT_EQ(d.List[tab], before[tab]) << tab;
}

TEST_F(DefineVarTest, ConstantAndRangeValues)
{
    App().SetProjectType(ProjectType::Rcx);
    struct Case {
        int tab;
        const char* v1;
        const char* v2;
        const char* message;  // empty: accepted
        int focusBox;
    } cases[] = {
        {1, "32767", "", "", 0},          {1, "-32768", "", "", 0},       {1, "32768", "", "Invalid value", 1},
        {1, "", "", "Invalid value", 1},  {1, "1.5", "", "Invalid value", 1},
        {2, "x", "6", "Invalid value", 1}, {2, "5", "", "Invalid value", 2},
        {2, "5", "5", "Invalid range", 1}, {2, "6", "5", "Invalid range", 1}, {2, "5", "6", "", 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        presenter.shown.clear();
        const QString name = QString("n%1").arg(n++);
        const bool ok = add(c.tab, name, c.v1, c.v2);
        EXPECT_EQ(ok, QString(c.message).isEmpty());
        EXPECT_EQ(presenter.texts(), QString(c.message).isEmpty() ? QStringList() : QStringList({c.message}));
        EXPECT_EQ(d.FocusBox, c.focusBox);
        if (!ok) {
            EXPECT_EQ(d.Box[c.tab][0], name);  // the boxes keep their text
        }
    }
    EXPECT_EQ(d.List[1], QStringList({"n0 = 32767", "n1 = -32768"}));
    EXPECT_EQ(d.List[2], QStringList({"n9 = 5_6"}));
    EXPECT_EQ(object("n9")->Source, 220);
    EXPECT_EQ(object("n9")->Value, 5);
    EXPECT_EQ(object("n9")->AuxValue, 6);
    EXPECT_EQ(object("n0")->Source, 100);
}

TEST_F(DefineVarTest, JoystickProjectsTakeLargerValuesAndMoreVariables)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    EXPECT_TRUE(add(1, "big", "65000"));
    EXPECT_FALSE(add(1, "bigger", "65001"));
    for (int i = 0; i < 31; ++i)
        ASSERT_TRUE(add(0, QString("v%1").arg(i), "1"));
    EXPECT_EQ(d.List[0].size(), 31);
}

TEST_F(DefineVarTest, TheThirtyFirstVariableOfAnRcxProjectIsRefused)
{
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(add(0, QString("v%1").arg(i), "1"));
    EXPECT_EQ(object("v29")->Number, 31);  // brick variables 2 to 31
    EXPECT_FALSE(add(0, "v30", "1"));
    EXPECT_EQ(presenter.texts(), QStringList({"Can't add more Variables. Please delete one first"}));
    EXPECT_EQ(presenter.shown[0].style, 64);
}

TEST_F(DefineVarTest, NamesAlreadyUsedAreRefused)
{
    auto timer = std::make_shared<clsObject>();
    timer->Name = "Timer 1";
    timer->Source = 1;
    App().AddObject(timer, "Timer 1");
    ASSERT_TRUE(add(0, "count", "1"));
    for (const char* name : {"COUNT", "timer 1"}) {
        presenter.shown.clear();
        EXPECT_FALSE(add(1, name, "3"));
        EXPECT_EQ(presenter.texts(), QStringList({"object by that name already exist"}));
        EXPECT_EQ(d.Box[1][0], name);
    }
    EXPECT_TRUE(d.List[1].isEmpty());
}

TEST_F(DefineVarTest, DeleteNeedsASelectionAndRemovesFromBothLists)
{
    EXPECT_FALSE(d.Delete(0));
    EXPECT_EQ(presenter.texts(), QStringList({"No item selected"}));
    EXPECT_EQ(presenter.shown[0].style, 64);
    ASSERT_TRUE(add(0, "count", "1"));
    ASSERT_TRUE(add(2, "span", "1", "9"));
    d.Select(2, 0);
    EXPECT_EQ(d.Box[2][0], "span");
    EXPECT_EQ(d.Box[2][1], "1");
    EXPECT_EQ(d.Box[2][2], "9");
    ASSERT_TRUE(d.Delete(2));
    EXPECT_FALSE(App().ObjectList().Exists("span"));
    EXPECT_EQ(d.Box[2][0], "span");  // the boxes keep their text
    d.Select(0, 0);
    ASSERT_TRUE(d.Delete(0));
    EXPECT_FALSE(App().ObjectList().Exists("count"));
    EXPECT_FALSE(App().VariableDefs().Exists("count"));
    EXPECT_TRUE(d.List[0].isEmpty());
}

TEST_F(DefineVarTest, UpdateReplacesAndARefusedUpdateKeepsTheOldDefinition)
{
    ASSERT_TRUE(add(1, "limit", "10"));
    d.Select(1, 0);
    d.Box[1][1] = "20";
    ASSERT_TRUE(d.Update(1));
    EXPECT_EQ(d.List[1], QStringList({"limit = 20"}));
    EXPECT_EQ(object("limit")->Value, 20);

    d.Select(1, 0);
    d.Box[1][1] = "99999";
    EXPECT_FALSE(d.Update(1));
    EXPECT_EQ(presenter.texts(), QStringList({"Invalid value"}));
    EXPECT_EQ(d.List[1], QStringList({"limit = 20"}));
    EXPECT_EQ(object("limit")->Value, 20);

    // Renamed onto another name: refused before anything is deleted.
    ASSERT_TRUE(add(1, "other", "1"));
    presenter.shown.clear();
    d.Select(1, 0);
    d.Box[1][0] = "other";
    EXPECT_FALSE(d.Update(1));
    EXPECT_EQ(presenter.texts(), QStringList({"object by that name already exist"}));
    EXPECT_TRUE(App().ObjectList().Exists("limit"));

    // Nothing selected: the message, then the boxes are added.
    presenter.shown.clear();
    d.Selected[1] = -1;
    d.Box[1][0] = "third";
    d.Box[1][1] = "3";
    EXPECT_TRUE(d.Update(1));
    EXPECT_EQ(presenter.texts(), QStringList({"No item selected"}));
    EXPECT_TRUE(App().ObjectList().Exists("third"));
}

TEST_F(DefineVarTest, AFullVariableListCanStillUpdateOneOfItsEntries)
{
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(add(0, QString("v%1").arg(i), "1"));
    d.Select(0, 0);
    d.Box[0][1] = "5";
    EXPECT_TRUE(d.Update(0));
    EXPECT_EQ(object("v0")->Value, 5);
    EXPECT_EQ(d.List[0].size(), 30);
}

// The compiler works in brick variables 0 and 1: a motor item compared in an
// IF goes through them, and a variable defined here must not be one of them.
TEST_F(DefineVarTest, AnIfOnAMotorItemLeavesTheUsersVariableAlone)
{
    AppState& a = App();
    a.EditMotor(0, [](clsMotor& motor) {
        motor = clsMotor();
        motor.setMotorType(1);
    });
    auto state = std::make_shared<clsObject>();
    state->Name = "Motor state A";
    state->Source = OperandSource::MotorStatus;
    a.AddObject(state, state->Name);
    ASSERT_TRUE(add(0, "speed", "5"));
    const Integer number = object("speed")->Number;

    auto task = AddTaskNamed("main");
    auto iff = Put(*task->Commands(), Cmd("L_IF", 0, 1));
    iff->Param1Source = Integer(OperandSource::MotorStatus);
    iff->Param1Value = QStringLiteral("Motor state A");
    iff->Op = 2;
    iff->Param2Source = Integer(OperandSource::Variable);
    iff->Param2Value = QStringLiteral("speed");
    auto on = PutBody(iff, Cmd("M_ON", 0, 1));
    on->MotorList = "0";
    for (Variant* v : {&on->Param1Source, &on->Param2Source, &on->Param1Value, &on->Param2Value})
        *v = -1;
    CompileContext compile(App());
    ASSERT_TRUE(Compile(App(), *task, compile)) << compile.CompileError.toStdString();
    int scratch = 0;
    for (const QString& line : compile.ListingText.split(QRegularExpression("[\r\n]+"))) {
        if (!line.contains("'from Compiler"))
            continue;
        ++scratch;
        const QString target = line.trimmed().section(' ', 1).section(',', 0, 0);
        EXPECT_NE(target.toInt(), number) << line.toStdString();
    }
    EXPECT_GT(scratch, 0);
    // The IF reads the user's variable itself.
    EXPECT_TRUE(compile.ListingText.contains(QString(",0,%1\r\n").arg(number))) << compile.ListingText.toStdString();
}
