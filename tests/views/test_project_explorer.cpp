// The explorer's tree, opening modules, and removing a module with the
// remaining modules renumbered and its save question.
#include "ViewsFixture.h"
#include "model/ModuleManagement.h"
#include "model/TaskFile.h"
#include "views/core/ProjectExplorer.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

class ExplorerTest : public ViewsTest {
protected:
    void SetUp() override
    {
        ViewsTest::SetUp();
        for (const char* n : {"one", "two", "three"}) {
            AddTaskNamed(n);
        }
        for (const char* n : {"s1", "s2"})
            AddSubNamed(n);
        exp.Load("Demo");
        for (const auto& e : App().TaskList())
            exp.AddNewModul(e.item->Name, 1);
        for (const auto& e : App().SubList())
            exp.AddNewModul(e.item->Name, 5);
        exp.OpenWindows = [this] {
            QList<ICommandWindow*> out;
            for (const auto& w : windows.windows)
                if (!w->closed)
                    out << w.get();
            return out;
        };
    }
    ProjectExplorer exp{App()};
};

TEST_F(ExplorerTest, TheTreeHoldsTheProjectItsFoldersAndModules)
{
    EXPECT_EQ(exp.Tree.Roots(), QStringList({"root"}));
    EXPECT_EQ(exp.Tree.Find("root")->Text, "Demo");
    EXPECT_EQ(exp.Tree.Find("root")->Image, "PROJECT_CLOSE");
    EXPECT_EQ(exp.Tree.Find("root")->Children, QStringList({"task", "sub"}));
    EXPECT_EQ(exp.Tree.Find("task")->Text, "Task");
    EXPECT_EQ(exp.Tree.Find("sub")->Text, "Sub");
    EXPECT_EQ(exp.Tree.Find("task")->Children, QStringList({"one", "two", "three"}));
    EXPECT_EQ(exp.Tree.Find("two")->Tag, "1");
    EXPECT_EQ(exp.Tree.Find("s1")->Tag, "5");
    EXPECT_EQ(exp.Tree.Find("s1")->Image, "SUB");
    EXPECT_TRUE(exp.Tree.Find("task")->Expanded);
    // A module announced twice fails for its caller.
    EXPECT_THROW(exp.AddNewModul("two", 1), VbError);
}

TEST_F(ExplorerTest, OnlyModuleNodesOpenAndHaveTheMenu)
{
    for (const char* k : {"root", "task", "sub"}) {
        exp.curNode = k;
        exp.Open();
        EXPECT_FALSE(exp.MenuApplies()) << k;
    }
    EXPECT_EQ(windows.createDeskTopCount, 0);
    exp.curNode = "two";
    EXPECT_TRUE(exp.MenuApplies());
    exp.Open();
    ASSERT_EQ(windows.createDeskTopCount, 1);
    EXPECT_EQ(windows.lastWindow()->formType, 1);
    EXPECT_EQ(windows.lastWindow()->owner, App().TaskList().Item("two").get());
    exp.curNode = "s2";
    exp.Open();
    EXPECT_EQ(windows.lastWindow()->formType, 5);

    EXPECT_TRUE(exp.RemoveEnabled());
    App().SetProjectType(ProjectType::JoystickKeyboard);
    EXPECT_FALSE(exp.RemoveEnabled());
}

TEST_F(ExplorerTest, RemovingTheMiddleTaskRenumbersClosesWindowsAndKeepsTheFile)
{
    auto two = App().TaskList().Item("two");
    exp.curNode = "two";
    exp.Open();
    FakeCommandWindow* taskWindow = windows.lastWindow();
    // A block's body window carries the module's name as its caption.
    auto iff = std::make_shared<clsCommand>();
    iff->SetKeyText("L_IF");
    OpenCommandWindow(2, iff.get(), "two", "x");
    FakeCommandWindow* bodyWindow = windows.lastWindow();
    ASSERT_EQ(bodyWindow->caption, "two");
    const QString path = TaskFilePath("two");
    writeFile(path, QByteArray());

    ASSERT_TRUE(exp.RemoveModule());
    EXPECT_FALSE(App().TaskList().Exists("two"));
    EXPECT_EQ(App().TaskList().Item("one")->mNumber, 1);
    EXPECT_EQ(App().TaskList().Item("three")->mNumber, 2);
    EXPECT_TRUE(taskWindow->closed);
    EXPECT_TRUE(bodyWindow->closed);
    ASSERT_EQ(windows.removedModules.size(), 1);
    EXPECT_EQ(windows.removedModules[0].name, "two");
    EXPECT_EQ(windows.removedModules[0].type, 1);
    EXPECT_TRUE(App().RcxSetup().Dirty);
    EXPECT_EQ(exp.Tree.Find("task")->Children, QStringList({"one", "three"}));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(presenter.shown.isEmpty());  // not changed: no question
}

TEST_F(ExplorerTest, RemovingASubRenumbersTheSubs)
{
    exp.curNode = "s1";
    ASSERT_TRUE(exp.RemoveModule());
    EXPECT_EQ(App().SubList().Item("s2")->mNumber, 1);
    EXPECT_EQ(App().TaskList().Count(), 3);
    EXPECT_FALSE(exp.Tree.Exists("s1"));
}

TEST_F(ExplorerTest, TheSaveQuestionOfAChangedModule)
{
    auto two = App().TaskList().Item("two");
    two->Dirty = True;
    exp.curNode = "two";
    presenter.answers = {MsgResult::Cancel};
    EXPECT_FALSE(exp.RemoveModule());
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, "Save task befor removing it?");
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::YesNoCancel | MsgStyle::Question);
    EXPECT_TRUE(App().TaskList().Exists("two"));
    EXPECT_FALSE(App().RcxSetup().Dirty);
    EXPECT_TRUE(exp.Tree.Exists("two"));
    EXPECT_TRUE(windows.removedModules.isEmpty());

    presenter.answers = {MsgResult::No};
    EXPECT_TRUE(exp.RemoveModule());
    EXPECT_FALSE(App().TaskList().Exists("two"));
    EXPECT_FALSE(QFile::exists(TaskFilePath("two")));

    auto s2 = App().SubList().Item("s2");
    s2->Dirty = True;
    exp.curNode = "s2";
    presenter.answers = {MsgResult::Yes};
    EXPECT_TRUE(exp.RemoveModule());
    EXPECT_EQ(presenter.shown.last().text, "Save sub befor removing it?");
    EXPECT_FALSE(App().SubList().Exists("s2"));
}
