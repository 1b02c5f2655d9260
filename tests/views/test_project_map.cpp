// The map's tree: node keys, texts, images and tags, IF/WHILE bodies, the
// partial rebuild, expansion of the active module and name clashes.
#include "ViewsFixture.h"
#include "views/core/ProjectMap.h"

namespace {

// "key(parent)" of every node in index order.
QStringList Shape(const ProjectMap& map)
{
    QStringList out;
    for (int i = 0; i < map.Tree.Count(); ++i) {
        const TreeNode& n = map.Tree.At(i);
        out << n.Key + QLatin1Char('(') + n.Parent + QLatin1Char(')');
    }
    return out;
}

}  // namespace

using MapTest = ViewsTest;

TEST_F(MapTest, OneTaskWithTwoMotorCommands)
{
    auto main = AddTaskNamed("main");
    Put(*main->Commands(), Cmd("M_ON", 0, 1, "On A", "Speed 7"));
    Put(*main->Commands(), Cmd("M_ON", 0, 2, "On B", "Speed\r\n3"));
    ProjectMap map{App()};
    map.UpdateMap();
    EXPECT_EQ(Shape(map), QStringList({"main()", "M_ON0(main)", "M_ON1(main)"}));
    const TreeNode* m = map.Tree.Find("main");
    EXPECT_EQ(m->Image, "TASK");
    EXPECT_EQ(m->Tag, "TASK");
    EXPECT_EQ(m->Text, "main");
    EXPECT_EQ(map.Tree.Find("M_ON0")->Tag, "0001");
    EXPECT_EQ(map.Tree.Find("M_ON1")->Tag, "0002");
    EXPECT_EQ(map.Tree.Find("M_ON0")->Text, "On A Speed 7");
    EXPECT_EQ(map.Tree.Find("M_ON1")->Text, "On B Speed  3");
    EXPECT_TRUE(map.colMap.Exists("main"));
    EXPECT_EQ(map.colMap.Count(), 1);
    EXPECT_EQ(map.NodeCounter, 2);
}

TEST_F(MapTest, ImagesByKeyAndStopKind)
{
    struct Case {
        const char* key;
        Integer op;
        const char* image;
    } cases[] = {{"M_OFF", 0, "M_OFF_FLOAT"}, {"M_OFF", 1, "M_OFF"}, {"M_OFF", 2, "M_OFF"},
                 {"m_off", 0, "M_OFF_FLOAT"}, {"G_WAIT", 0, "G_WAIT"},   {"L_VAR", 3, "L_VAR"}};
    for (const Case& c : cases) {
        auto cmd = Cmd(c.key, 0, 1);
        cmd->Op = c.op;
        EXPECT_EQ(ProjectMap::NodeImage(*cmd), c.image) << c.key << " " << c.op;
    }
}

TEST_F(MapTest, AColumnEndsAtItsFirstGap)
{
    auto main = AddTaskNamed("main");
    Put(*main->Commands(), Cmd("M_ON", 0, 1));
    Put(*main->Commands(), Cmd("G_WAIT", 0, 3));  // below the gap at row 2
    Put(*main->Commands(), Cmd("M_FWD", 1, 1));
    ProjectMap map{App()};
    map.UpdateMap();
    EXPECT_EQ(Shape(map), QStringList({"main()", "M_ON0(main)", "M_FWD1(main)"}));
    EXPECT_EQ(map.Tree.Find("M_FWD1")->Tag, "0101");
}

TEST_F(MapTest, IfBodiesHangUnderYesAndNo)
{
    auto main = AddTaskNamed("main");
    auto iff = Put(*main->Commands(), Cmd("L_IF", 0, 1));
    PutBody(iff, Cmd("M_ON", 0, 1));
    PutBody(iff, Cmd("M_OFF", 1, 1));
    PutBody(iff, Cmd("M_FWD", 1, 2));
    auto empty = Put(*main->Commands(), Cmd("L_IF", 0, 2));  // no body at all
    ProjectMap map{App()};
    map.UpdateMap();
    EXPECT_EQ(Shape(map), QStringList({"main()", "L_IF0(main)", "YES1(L_IF0)", "M_ON2(YES1)", "NO3(L_IF0)",
                                       "M_OFF4(NO3)", "M_FWD5(NO3)", "L_IF6(main)", "YES7(L_IF6)",
                                       "NO8(L_IF6)"}));
    EXPECT_EQ(map.Tree.Find("YES1")->Image, "YES");
    EXPECT_EQ(map.Tree.Find("NO3")->Image, "NO");
    EXPECT_TRUE(map.Tree.Find("YES1")->Text.isEmpty());
    EXPECT_TRUE(map.Tree.Find("YES7")->Children.isEmpty());
    EXPECT_TRUE(map.Tree.Find("NO8")->Children.isEmpty());
    // The YES node comes before the NO node under the IF.
    EXPECT_EQ(map.Tree.Find("L_IF0")->Children, QStringList({"YES1", "NO3"}));
    EXPECT_EQ(map.colMap.Item("L_IF0").get(), iff.get());
    EXPECT_EQ(map.colMap.Item("L_IF6").get(), empty.get());
}

TEST_F(MapTest, WhileAndLoopBodiesHangUnderTheirCommandBothColumns)
{
    auto main = AddTaskNamed("main");
    auto loop = Put(*main->Commands(), Cmd("L_LOOP", 0, 1));
    PutBody(loop, Cmd("M_ON", 0, 1));
    PutBody(loop, Cmd("M_RWD", 1, 1));
    auto whil = Put(*main->Commands(), Cmd("L_WHILE", 0, 2));
    PutBody(whil, Cmd("G_SOUND", 0, 1));
    ProjectMap map{App()};
    map.UpdateMap();
    EXPECT_EQ(Shape(map), QStringList({"main()", "L_LOOP0(main)", "M_ON1(L_LOOP0)", "M_RWD2(L_LOOP0)",
                                       "L_WHILE3(main)", "G_SOUND4(L_WHILE3)"}));
    EXPECT_EQ(map.colMap.Count(), 3);
}

TEST_F(MapTest, TasksComeBeforeSubs)
{
    AddSubNamed("beep");
    AddTaskNamed("main");
    AddTaskNamed("second");
    ProjectMap map{App()};
    map.UpdateMap();
    EXPECT_EQ(map.Tree.Roots(), QStringList({"main", "second", "beep"}));
    EXPECT_EQ(map.Tree.Find("beep")->Image, "SUB");
    EXPECT_EQ(map.Tree.Find("beep")->Tag, "SUB");
}

TEST_F(MapTest, UpdateNodeOnlyKeepsThePlaceAndContinuesTheNumbers)
{
    auto main = AddTaskNamed("main");
    Put(*main->Commands(), Cmd("M_ON", 0, 1));
    auto second = AddTaskNamed("second");
    Put(*second->Commands(), Cmd("M_OFF", 0, 1));
    auto sub = AddSubNamed("beep");
    Put(*sub->Commands(), Cmd("G_SOUND", 0, 1));
    ProjectMap map{App()};
    map.UpdateMap();
    map.curNode = "M_ON0";
    ASSERT_EQ(map.NodeCounter, 3);

    Put(*main->Commands(), Cmd("G_WAIT", 0, 2));
    map.UpdateNodeOnly("MAIN", 1);
    EXPECT_EQ(map.Tree.Roots(), QStringList({"main", "second", "beep"}));
    EXPECT_EQ(map.Tree.Find("main")->Children, QStringList({"M_ON3", "G_WAIT4"}));
    EXPECT_TRUE(map.Tree.Find("main")->Expanded);
    EXPECT_TRUE(map.curNode.isEmpty());
    // The rebuilt branch comes last in index order.
    EXPECT_EQ(map.Tree.At(map.Tree.Count() - 1).Key, "G_WAIT4");

    map.UpdateNodeOnly("beep", 5);
    EXPECT_EQ(map.Tree.Roots(), QStringList({"main", "second", "beep"}));
    EXPECT_EQ(map.Tree.Find("beep")->Image, "SUB");
    EXPECT_EQ(map.Tree.Find("beep")->Children, QStringList({"G_SOUND5"}));

    // A module not on the map changes nothing.
    AddTaskNamed("later");
    const int count = map.Tree.Count();
    map.UpdateNodeOnly("later", 1);
    EXPECT_EQ(map.Tree.Count(), count);
}

TEST_F(MapTest, TheActiveModuleOpensFullyTheOthersStayClosed)
{
    auto main = AddTaskNamed("main");
    auto iff = Put(*main->Commands(), Cmd("L_IF", 0, 1));
    PutBody(iff, Cmd("M_ON", 0, 1));
    auto other = AddTaskNamed("other");
    Put(*other->Commands(), Cmd("M_ON", 0, 1));
    FakeCommandWindow front;
    front.caption = "MAIN";
    windows.activeDeskTop = &front;
    ProjectMap map{App()};
    map.UpdateMap();
    for (const char* k : {"main", "L_IF0", "YES1", "M_ON2", "NO3"})
        EXPECT_TRUE(map.Tree.Find(k)->Expanded) << k;
    EXPECT_FALSE(map.Tree.Find("other")->Expanded);
    EXPECT_FALSE(map.Tree.Find("M_ON4")->Expanded);

    windows.activeDeskTop = nullptr;
    map.UpdateMap();
    EXPECT_FALSE(map.Tree.Find("main")->Expanded);
}

TEST_F(MapTest, NameClashesShowTheModuleOnceAndSaySo)
{
    auto task = AddTaskNamed("Drive");
    Put(*task->Commands(), Cmd("M_ON", 0, 1));
    AddSubNamed("drive");
    AddSubNamed("M_ON0");   // named like the task's command node
    AddTaskNamed("G_WAIT1");  // named like a node key still to come
    Put(*App().TaskList().Item("G_WAIT1")->Commands(), Cmd("G_WAIT", 0, 1));
    Put(*App().TaskList().Item("G_WAIT1")->Commands(), Cmd("G_WAIT", 0, 2));
    ProjectMap map{App()};
    ASSERT_NO_THROW(map.UpdateMap());
    EXPECT_EQ(map.Tree.Roots(), QStringList({"Drive", "G_WAIT1"}));
    EXPECT_EQ(map.Clashes, QStringList({"drive", "M_ON0"}));
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_TRUE(presenter.shown[0].text.contains("drive, M_ON0"));
    EXPECT_EQ(presenter.shown[0].style, 48);
    // The command nodes skip the key the task holds.
    EXPECT_EQ(map.Tree.Find("G_WAIT1")->Children, QStringList({"G_WAIT2", "G_WAIT3"}));
}
