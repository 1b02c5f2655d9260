// Finding nodes by text with its wrap and single message, opening a branch,
// and the jump from a node to its command's editor window.
#include "ViewsFixture.h"
#include "views/core/ProjectMap.h"

class MapFindTest : public ViewsTest {
protected:
    void SetUp() override
    {
        ViewsTest::SetUp();
        main = AddTaskNamed("main");
        Put(*main->Commands(), Cmd("G_WAIT", 0, 1, "Wait", "2 sec"));
        Put(*main->Commands(), Cmd("M_ON", 0, 2, "Motor on", "A"));
        iff = Put(*main->Commands(), Cmd("L_IF", 0, 3, "If", "Touch 1 = 1"));
        PutBody(iff, Cmd("M_FWD", 0, 1, "Forward", "A"));
        PutBody(iff, Cmd("M_RWD", 1, 1, "Backward", "A"));
        PutBody(iff, Cmd("G_WAIT", 1, 2, "WAIT", "1 sec"));
        loop = Put(*main->Commands(), Cmd("L_WHILE", 0, 4, "While", "Timer 1 < 10"));
        PutBody(loop, Cmd("G_SOUND", 1, 1, "Sound", "Beep"));
        sub = AddSubNamed("beep");
        Put(*sub->Commands(), Cmd("G_SOUND", 0, 1, "Sound", "Click"));
        map.UpdateMap();
        // main, G_WAIT0, M_ON1, L_IF2, YES3, M_FWD4, NO5, M_RWD6, G_WAIT7, L_WHILE8, G_SOUND9, beep, G_SOUND10
    }

    TaskPtr main;
    SubPtr sub;
    std::shared_ptr<clsCommand> iff, loop;
    ProjectMap map{App()};
};

TEST_F(MapFindTest, FindSelectsTheNextMatchWrapsOnceAndTellsOnce)
{
    EXPECT_TRUE(map.FindNextNode("wait", false));
    EXPECT_EQ(map.curNode, "G_WAIT0");
    EXPECT_TRUE(map.FindNextNode(map.LastSearch, false));  // F3
    EXPECT_EQ(map.curNode, "G_WAIT7");
    EXPECT_TRUE(map.Tree.Find("NO5")->Expanded);  // made visible
    EXPECT_TRUE(map.Tree.Find("L_IF2")->Expanded);
    EXPECT_TRUE(map.FindNextNode(map.LastSearch, false));  // wraps
    EXPECT_EQ(map.curNode, "G_WAIT0");
    EXPECT_TRUE(presenter.shown.isEmpty());

    EXPECT_FALSE(map.FindNextNode("nowhere", false));
    EXPECT_EQ(presenter.texts(), QStringList({"Can't find - \"nowhere\""}));
    EXPECT_EQ(map.curNode, "G_WAIT0");
    EXPECT_FALSE(map.SearchWrapped);
    // The current node itself is found on the second pass.
    EXPECT_TRUE(map.FindNextNode("2 sec", false));
    EXPECT_EQ(map.curNode, "G_WAIT0");
    EXPECT_EQ(presenter.shown.size(), 1);
}

TEST_F(MapFindTest, ThePromptOffersTheLastTextAndABlankAnswerDoesNothing)
{
    presenter.inputs = {"beep", "   ", ""};
    EXPECT_TRUE(map.Find());
    EXPECT_EQ(map.curNode, "G_SOUND9");
    EXPECT_FALSE(map.Find());
    EXPECT_FALSE(map.Find());
    EXPECT_EQ(map.LastSearch, "beep");
    EXPECT_EQ(presenter.prompts, QStringList({"Find what ", "Find what ", "Find what "}));
    EXPECT_EQ(presenter.inputDefaults, QStringList({"", "beep", "beep"}));
    EXPECT_EQ(map.curNode, "G_SOUND9");
}

TEST_F(MapFindTest, FindInAnEmptyMapOnlyRemembersTheText)
{
    ProjectMap empty{App()};
    EXPECT_FALSE(empty.FindNextNode("x", false));
    EXPECT_EQ(empty.LastSearch, "x");
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(MapFindTest, OpenBranchExpandsEverythingBelowTheCurrentNode)
{
    map.curNode = "main";
    map.OpenBranch();
    for (const char* k : {"main", "L_IF2", "YES3", "NO5", "L_WHILE8"})
        EXPECT_TRUE(map.Tree.Find(k)->Expanded) << k;
    EXPECT_FALSE(map.Tree.Find("beep")->Expanded);
    map.curNode.clear();
    EXPECT_NO_THROW(map.OpenBranch());
}

TEST_F(MapFindTest, DoubleClickOnANodeWithChildrenOpensNoWindow)
{
    map.curNode = "L_IF2";
    EXPECT_EQ(map.GoToCommand(true), nullptr);
    EXPECT_EQ(windows.createDeskTopCount, 0);
}

TEST_F(MapFindTest, JumpsOpenTheWindowThatHoldsTheCommandAtItsCell)
{
    struct Case {
        const char* node;
        Long kind;
        CommandOwner* owner;
        const char* parentTaskName;
        const char* parentCaption;
        const char* cursor;
    } cases[] = {
        {"L_IF2", 1, main.get(), "main", "", "0003"},                   // the IF in its module's grid
        {"M_FWD4", 2, iff.get(), "main", "Touch 1 = 1", "0001"},        // THEN
        {"G_WAIT7", 2, iff.get(), "main", "Touch 1 = 1", "0102"},       // ELSE
        {"YES3", 2, iff.get(), "main", "Touch 1 = 1", ""},              // YES node: its empty tag
        {"NO5", 2, iff.get(), "main", "Touch 1 = 1", ""},
        {"G_SOUND9", 3, loop.get(), "main", "Timer 1 < 10", "0101"},    // WHILE body
        {"G_SOUND10", 5, sub.get(), "beep", "", "0001"},                // a sub's command
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node);
        for (const auto& w : windows.windows)
            w->Close();
        map.curNode = c.node;
        ICommandWindow* w = map.GoToCommand(false);
        ASSERT_NE(w, nullptr);
        auto* fw = windows.lastWindow();
        EXPECT_EQ(w, fw);
        EXPECT_EQ(fw->owner, c.owner);
        EXPECT_EQ(fw->formType, c.kind);
        EXPECT_EQ(fw->parentTaskName, c.parentTaskName);
        EXPECT_EQ(fw->parentCaption, c.parentCaption);
        EXPECT_EQ(fw->cursorPos, c.cursor);
    }
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(MapFindTest, AModuleNodeOpensItsWindowWithoutMovingTheCursor)
{
    map.curNode = "beep";
    map.Jump(true);  // no children? it has: a double click only opens the node
    EXPECT_EQ(windows.createDeskTopCount, 0);
    map.curNode = "beep";
    ASSERT_NE(map.GoToCommand(false), nullptr);
    EXPECT_EQ(windows.lastWindow()->formType, 5);
    EXPECT_EQ(windows.lastWindow()->count("setCursorPos"), 0);
    EXPECT_TRUE(map.Tree.Find("beep")->Expanded);
}

TEST_F(MapFindTest, TasksNamedLikeYesOrNoJumpLikeAnyOther)
{
    for (const char* name : {"Normal", "Yesterday"}) {
        auto t = AddTaskNamed(name);
        Put(*t->Commands(), Cmd("M_ON", 0, 1));
    }
    map.UpdateMap();
    for (const char* name : {"Normal", "Yesterday"}) {
        SCOPED_TRACE(name);
        map.curNode = map.Tree.Find(name)->Children.first();
        ASSERT_NE(map.GoToCommand(true), nullptr);
        EXPECT_EQ(windows.lastWindow()->owner, App().TaskList().Item(name).get());
        EXPECT_EQ(windows.lastWindow()->formType, 1);
        EXPECT_EQ(windows.lastWindow()->cursorPos, "0001");
    }
}

TEST_F(MapFindTest, AnIfWithoutABodyGetsAnEmptyOneBeforeItsWindowOpens)
{
    auto bare = Put(*main->Commands(), Cmd("L_IF", 0, 5, "If", "x"));
    map.UpdateMap();
    const QString ifKey = map.Tree.Find("main")->Children.last();
    map.curNode = map.Tree.Find(ifKey)->Children.first();  // its YES node
    ASSERT_FALSE(bare->Commands);
    ASSERT_NE(map.GoToCommand(false), nullptr);
    ASSERT_TRUE(bare->Commands);
    EXPECT_EQ(bare->Commands->Count(), 0);
    EXPECT_EQ(windows.lastWindow()->owner, bare.get());
}

TEST_F(MapFindTest, NoCurrentNodeJumpsNowhere)
{
    map.curNode.clear();
    EXPECT_EQ(map.GoToCommand(false), nullptr);
    EXPECT_NO_THROW(map.Jump(false));
    EXPECT_EQ(windows.createDeskTopCount, 0);
}
