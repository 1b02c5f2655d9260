// The map, explorer and Define Variables windows in a main window: reached
// through the toolbar keys and the notifier, held in the main window's area,
// locked during a PC-side run, and showing the headless trees.
#include "ViewsFixture.h"
#include "model/ModuleManagement.h"
#include "model/ProjectFile.h"
#include "shell/MainWindow.h"
#include "model/Notifier.h"
#include "shell/ShellRequests.h"
#include "views/DefineVarDialog.h"
#include "views/ExplorerWindow.h"
#include "views/MapWindow.h"
#include "views/TreePresenter.h"
#include "views/ViewWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <functional>

class ViewWindowsTest : public ViewsTest {
protected:
    void SetUp() override
    {
        ViewsTest::SetUp();
        shell.Install();
        main = std::make_unique<mdiMain>();
        shell.setMainWindow(main.get());
        ConnectViewWindows(*main);
        main->resize(1000, 700);
        main->show();
        auto t = AddTaskNamed("main");
        Put(*t->Commands(), Cmd("M_ON", 0, 1, "Motor on", "A"));
        Put(*t->Commands(), Cmd("G_WAIT", 0, 2, "Wait", "1 sec"));
        AddTaskNamed("second");
        AddSubNamed("beep");
    }
    void TearDown() override
    {
        shell.setMainWindow(nullptr);
        main.reset();
        Flush();
        ViewsTest::TearDown();
    }
    static void Flush()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    static QStringList TopTexts(QTreeWidget* tree)
    {
        QStringList out;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            out << tree->topLevelItem(i)->text(0);
        return out;
    }
    // The window sits in the main window's MDI area.
    template <class Window>
    bool InMainArea(Window* w) const
    {
        return w->SubWindow() && w->SubWindow()->mdiArea() == main->MdiArea();
    }

    ShellRequests shell;
    std::unique_ptr<mdiMain> main;
};

TEST_F(ViewWindowsTest, TheMapKeyShowsTheMapAndEditsReachIt)
{
    main->TB1_ButtonClick("MAP");
    frmMap* map = MapWindow();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(InMainArea(map));
    EXPECT_EQ(map->windowTitle(), "Project map");
    EXPECT_EQ(map->Tag(), "map");
    EXPECT_EQ(TopTexts(map->TV1), QStringList({"main", "second", "beep"}));
    EXPECT_EQ(map->TV1->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(map->TV1->topLevelItem(0)->child(1)->text(0), "Wait 1 sec");
    ASSERT_NE(map->SubWindow(), nullptr);
    EXPECT_TRUE(map->SubWindow()->isVisible());
    EXPECT_EQ(map->mnuFile->actions().size(), 12);  // nine items and three separators

    // An edit in a window refreshes the module's branch.
    Put(*App().TaskList().Item("second")->Commands(), Cmd("M_OFF", 0, 1, "Motor off", "A"));
    MarkModuleDirty("second");
    ASSERT_EQ(map->TV1->topLevelItem(1)->childCount(), 1);
    EXPECT_TRUE(map->TV1->topLevelItem(1)->isExpanded());
    EXPECT_EQ(TopTexts(map->TV1), QStringList({"main", "second", "beep"}));

    // Find selects the item in the tree.
    presenter.inputs = {"wait"};
    map->mnuFind_Click();
    ASSERT_NE(map->TV1->currentItem(), nullptr);
    EXPECT_EQ(map->TV1->currentItem()->text(0), "Wait 1 sec");
    // F3 finds again: the only match, once more, and no message.
    presenter.inputs.clear();
    map->Map.curNode = "main";
    QTest::keyClick(map->TV1, Qt::Key_F3);
    ASSERT_NE(map->TV1->currentItem(), nullptr);
    EXPECT_EQ(map->TV1->currentItem()->text(0), "Wait 1 sec");
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(presenter.prompts.size(), 1);

    // Locked during a PC-side run.
    main->EnableProjectCommands(false);
    EXPECT_FALSE(map->TV1->isEnabled());
    main->EnableProjectCommands(true);
    EXPECT_TRUE(map->TV1->isEnabled());

    App().RemoveTask("second");
    Flush();
    EXPECT_EQ(MapWindow(), nullptr);
}

// The map follows what the project tells: a grid's edit, or an update asked
// for, makes the module's branch afresh (the branch open, the node made
// current forgotten); an edit of the heading (the map shows no titles)
// leaves the tree as it is; a module added or taken out, or another project,
// takes the map away, to be made afresh by the next MAP.
TEST_F(ViewWindowsTest, TheMapFollowsWhatTheProjectTells)
{
    struct Case {
        const char* what;
        std::function<void()> tell;
        bool refreshed;
        bool gone;
    };
    const TaskPtr second = App().TaskList().Item("second");
    const Case cases[] = {
        {"a command of the grid edited", [] { MarkModuleDirty("second"); }, true, false},
        {"the title edited", [] { MarkModuleDirty("second", ModulePart::Heading); }, false, false},
        {"a module nobody has", [] { MarkModuleDirty("nobody"); }, false, false},
        {"an update asked for", [&] { Q_EMIT App().Notifier->MapUpdateRequested(*second, ModuleKind::Task); },
         true, false},
        {"a task added",
         [] {
             auto t = std::make_shared<clsTask>();
             t->Name = "third";
             App().AddModule(t);
         },
         false, true},
        {"a sub taken out", [] { App().RemoveSub("beep"); }, false, true},
        {"another project", [] { App().ReplaceProject(ProjectContent()); }, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        main->TB1_ButtonClick("MAP");
        frmMap* map = MapWindow();
        ASSERT_NE(map, nullptr);
        map->TV1->topLevelItem(1)->setExpanded(false);
        map->Map.curNode = "main";
        c.tell();
        Flush();
        ASSERT_EQ(MapWindow() == nullptr, c.gone);
        if (c.gone)
            continue;
        EXPECT_EQ(map->TV1->topLevelItem(1)->isExpanded(), c.refreshed);
        EXPECT_EQ(map->Map.curNode.isEmpty(), c.refreshed);
        map->Unload();
        Flush();
    }
}

TEST_F(ViewWindowsTest, TheRightButtonMakesTheNodeThereCurrent)
{
    main->TB1_ButtonClick("MAP");
    frmMap* map = MapWindow();
    QTreeWidgetItem* item = map->TV1->topLevelItem(2);
    map->TV1_MouseUp(map->TV1->visualItemRect(item).center(), false);
    EXPECT_EQ(map->Map.curNode, "beep");
    map->TV1_MouseUp(QPoint(5, 2000), false);
    EXPECT_TRUE(map->Map.curNode.isEmpty());
}

TEST_F(ViewWindowsTest, TheExplorerListsModulesKeepsRightAndOnlyHidesOnClose)
{
    Q_EMIT App().Notifier->ProjectReplaced();
    for (const auto& e : App().TaskList())
        Q_EMIT App().Notifier->ModuleAdded(*e.item, 1);
    Q_EMIT App().Notifier->ModuleAdded(*App().SubList().Item("beep"), 5);
    frmProjExp* exp = ExplorerWindow();
    ASSERT_NE(exp, nullptr);
    EXPECT_TRUE(InMainArea(exp));
    EXPECT_EQ(exp->windowTitle(), "Demo");
    ASSERT_EQ(exp->TVExp->topLevelItemCount(), 1);
    QTreeWidgetItem* root = exp->TVExp->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Demo");
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->childCount(), 2);
    EXPECT_EQ(root->child(1)->child(0)->text(0), "beep");

    QMdiSubWindow* sub = exp->SubWindow();
    const int areaWidth = main->MdiArea()->viewport()->width();
    EXPECT_EQ(sub->geometry().right() + 1, areaWidth);
    main->resize(800, 600);
    Flush();
    EXPECT_EQ(sub->geometry().right() + 1, main->MdiArea()->viewport()->width());

    sub->close();
    Flush();
    EXPECT_EQ(ExplorerWindow(), exp);
    EXPECT_FALSE(sub->isVisible());
    main->TB1_ButtonClick("PROJEXP");
    EXPECT_TRUE(sub->isVisible());

    main->EnableProjectCommands(false);
    EXPECT_FALSE(exp->TVExp->isEnabled());

    // Opening a project starts with empty folders.
    Q_EMIT App().Notifier->ProjectReplaced();
    ASSERT_NE(ExplorerWindow(), nullptr);
    EXPECT_EQ(ExplorerWindow()->TVExp->topLevelItem(0)->child(0)->childCount(), 0);
}

// The explorer shown with every module, for clicks on its tree.
class ExplorerClicksTest : public ViewWindowsTest {
protected:
    void SetUp() override
    {
        ViewWindowsTest::SetUp();
        Q_EMIT App().Notifier->ProjectReplaced();
        for (const auto& e : App().TaskList())
            Q_EMIT App().Notifier->ModuleAdded(*e.item, 1);
        Q_EMIT App().Notifier->ModuleAdded(*App().SubList().Item("beep"), 5);
        exp = ExplorerWindow();
        ASSERT_NE(exp, nullptr);
        Flush();
        ASSERT_TRUE(exp->TVExp->isVisible());
    }
    QTreeWidgetItem* Item(const QString& key) const { return ItemOfKey(exp->TVExp, key); }
    // A click of the button at a point of the tree's viewport, sent to the
    // window as the system sends it, so the right button brings the context
    // menu event with it.
    void ClickAt(Qt::MouseButton button, const QPoint& pos)
    {
        QWidget* top = exp->TVExp->window();
        const QPoint at = exp->TVExp->viewport()->mapTo(top, pos);
        QTest::mouseClick(top->windowHandle(), button, {}, at);
        Flush();
    }
    void Click(Qt::MouseButton button, const QString& key)
    {
        ClickAt(button, exp->TVExp->visualItemRect(Item(key)).center());
    }
    // Whether the pop-up menu shows; it is closed again.
    bool MenuShown()
    {
        const bool shown = exp->mnuFile->isVisible();
        exp->mnuFile->hide();
        return shown;
    }

    frmProjExp* exp = nullptr;
};

TEST_F(ExplorerClicksTest, TheMenuIsForTheNodeRightClicked)
{
    struct Case {
        const char* leftClicked;  // before the right click
        const char* rightClicked;
        bool menu;
    };
    const Case cases[] = {
        {"main", "task", false}, {"main", "root", false}, {"task", "second", true},
        {"root", "beep", true},  {"second", "main", true},
    };
    for (const Case& c : cases) {
        Click(Qt::LeftButton, c.leftClicked);
        ASSERT_EQ(exp->Explorer.curNode, c.leftClicked);
        Click(Qt::RightButton, c.rightClicked);
        EXPECT_EQ(exp->Explorer.curNode, c.rightClicked) << c.leftClicked << " " << c.rightClicked;
        EXPECT_EQ(exp->TVExp->currentItem(), Item(c.rightClicked));
        EXPECT_EQ(MenuShown(), c.menu) << c.leftClicked << " " << c.rightClicked;
    }
    // Below the last node there is nothing to remove.
    Click(Qt::LeftButton, "main");
    ClickAt(Qt::RightButton, QPoint(5, exp->TVExp->viewport()->height() - 2));
    EXPECT_FALSE(MenuShown());
    EXPECT_TRUE(exp->Explorer.curNode.isEmpty());

    Click(Qt::RightButton, "second");
    EXPECT_TRUE(exp->mnuRemove->isEnabled());
    exp->mnuFile->hide();
    App().SetProjectType(ProjectType::JoystickKeyboard);
    Click(Qt::RightButton, "second");
    EXPECT_TRUE(exp->mnuFile->isVisible());
    EXPECT_FALSE(exp->mnuRemove->isEnabled());
    exp->mnuFile->hide();
    // No node text can be edited.
    EXPECT_EQ(exp->TVExp->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(ExplorerClicksTest, RemoveModuleRemovesTheNodeRightClickedAndKeepsTheOther)
{
    auto mainTask = App().TaskList().Item("main");
    mainTask->Dirty = True;  // edits not saved yet
    Click(Qt::LeftButton, "main");
    Click(Qt::RightButton, "second");
    ASSERT_TRUE(exp->mnuFile->isVisible());
    // The user picks "Remove module" in the menu that shows.
    const QRect at = exp->mnuFile->actionGeometry(exp->mnuRemove);
    ASSERT_FALSE(at.isEmpty());
    QTest::mouseClick(exp->mnuFile->windowHandle(), Qt::LeftButton, {}, at.center());
    Flush();

    EXPECT_FALSE(App().TaskList().Exists("second"));
    EXPECT_EQ(Item("second"), nullptr);
    ASSERT_TRUE(App().TaskList().Exists("main"));
    EXPECT_EQ(App().TaskList().Item("main"), mainTask);
    EXPECT_TRUE(mainTask->Dirty);
    EXPECT_EQ(mainTask->Commands()->Count(), 2);
    EXPECT_NE(Item("main"), nullptr);
    EXPECT_TRUE(presenter.shown.isEmpty());  // "second" had no changes: no question
}

TEST_F(ViewWindowsTest, DefineVariablesThroughTheDialog)
{
    runner.script = [](QDialog& dialog) {
        auto& d = static_cast<frmDefineVar&>(dialog);
        d.txtDescription->setText("speed");
        d.txtValue->setText("5");
        QTest::keyClick(d.txtValue, Qt::Key_Return);  // Enter adds
        d.tabVar->setCurrentIndex(1);
        d.txtConstDescription->setText("limit");
        d.txtConstValue->setText("10");
        d.cmdAction[0]->click();
        d.lstConsts->setCurrentRow(0);
        QTest::keyClick(d.lstConsts, Qt::Key_Delete);  // Delete deletes
        d.tabVar->setCurrentIndex(2);
        d.txtRangeName->setText("span");
        d.txtRangeFrom->setText("3");
        d.txtRangeTo->setText("1");
        d.cmdAction[0]->click();  // refused: the boxes stay
        EXPECT_EQ(d.txtRangeName->text(), "span");
        d.cmdAction[2]->click();
    };
    main->TB1_ButtonClick("DEFVAR");
    EXPECT_EQ(runner.shown, QStringList({"Define Variables"}));
    ASSERT_TRUE(App().ObjectList().Exists("speed"));
    EXPECT_EQ(App().ObjectList().Item("speed")->Number, 2);
    EXPECT_FALSE(App().ObjectList().Exists("limit"));
    EXPECT_FALSE(App().ObjectList().Exists("span"));
    EXPECT_EQ(presenter.texts(), QStringList({"Invalid range"}));

    // The next opening lists what is defined.
    runner.script = [](QDialog& dialog) {
        auto& d = static_cast<frmDefineVar&>(dialog);
        ASSERT_EQ(d.lstVarName->count(), 1);
        EXPECT_EQ(d.lstVarName->item(0)->text(), "speed = 5");
        d.lstVarName->setCurrentRow(0);
        EXPECT_EQ(d.txtDescription->text(), "speed");
        EXPECT_EQ(d.txtValue->text(), "5");
        d.reject();
    };
    main->TB1_ButtonClick("DEFVAR");
}

// Compiling, the map, finding in it, its jump, its report and names the Define
// Variables dialog refuses leave a project just read unchanged, so that
// closing asks nothing; a name already in use marks it changed, its addition
// failing after the changed flag is set.
TEST_F(ViewWindowsTest, LookingAtAProjectLeavesItUnchanged)
{
    // A project that compiles, saved and read again.
    for (const auto& e : *App().TaskList().Item("main")->Commands()) {
        clsCommand& c = *e.item;
        c.Param1Source = 2;
        c.Param1Value = 0;
        c.Param2Source = 2;
        c.Param2Value = 0;
        if (c.CommandKey == CommandKey::M_ON)
            c.MotorList = QStringLiteral("0");
        if (c.CommandKey == CommandKey::G_WAIT) {
            c.Param1Source = 2;
            c.Param1Value = 1;
            c.Time = QStringLiteral("Second");
        }
    }
    App().EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
    App().ProjectAction = 2;
    ASSERT_TRUE(SaveProject());
    App().ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    ASSERT_FALSE(IsDirty(0));

    auto refuse = [this](std::function<void(frmDefineVar&)> typing) {
        runner.script = [typing](QDialog& dialog) {
            auto& d = static_cast<frmDefineVar&>(dialog);
            typing(d);
            d.cmdAction[2]->click();
        };
        main->TB1_ButtonClick("DEFVAR");
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* message;  // the one message the step shows, or empty
    };
    const Step steps[] = {
        {"compiling", [this] { main->TB1_ButtonClick("COMPILE"); }, ""},
        {"the map", [this] { main->TB1_ButtonClick("MAP"); }, ""},
        {"finding in the map",
         [this] {
             presenter.inputs = {"wait"};
             MapWindow()->mnuFind_Click();
             QTest::keyClick(MapWindow()->TV1, Qt::Key_F3);
         },
         ""},
        {"the jump to a command", [] { MapWindow()->mnuGoToCommands_Click(); }, ""},
        {"the report", [] { MapWindow()->mnuPrint_Click(); }, ""},
        {"a variable without a name",
         [&] { refuse([](frmDefineVar& d) { QTest::keyClick(d.txtDescription, Qt::Key_Return); }); },
         "Missing name"},
        {"a variable named by a number",
         [&] {
             refuse([](frmDefineVar& d) {
                 d.txtDescription->setText("12");
                 QTest::keyClick(d.txtDescription, Qt::Key_Return);
             });
         },
         "Name must contain letters"},
        {"a variable named with a comma",
         [&] {
             refuse([](frmDefineVar& d) {
                 d.txtDescription->setText("near, far");
                 d.cmdAction[0]->click();
             });
         },
         "Commas and double quotes can't be used here"},
        {"a constant of no value",
         [&] {
             refuse([](frmDefineVar& d) {
                 d.tabVar->setCurrentIndex(1);
                 d.txtConstDescription->setText("limit");
                 d.cmdAction[0]->click();
             });
         },
         "Invalid value"},
        {"an empty range",
         [&] {
             refuse([](frmDefineVar& d) {
                 d.tabVar->setCurrentIndex(2);
                 d.txtRangeName->setText("span");
                 d.txtRangeFrom->setText("5");
                 d.txtRangeTo->setText("5");
                 d.cmdAction[0]->click();
             });
         },
         "Invalid range"},
        {"a delete with nothing selected", [&] { refuse([](frmDefineVar& d) { d.cmdAction[1]->click(); }); },
         "No item selected"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        presenter.shown.clear();
        step.act();
        EXPECT_EQ(presenter.texts(), *step.message ? QStringList{step.message} : QStringList());
        EXPECT_FALSE(IsDirty(0));
    }
    EXPECT_TRUE(App().LastListing().contains(".BeginOfTask 1"));

    presenter.shown.clear();
    refuse([](frmDefineVar& d) {
        d.txtDescription->setText("Timer 1");
        d.cmdAction[0]->click();
    });
    EXPECT_EQ(presenter.texts(), QStringList{"object by that name already exist"});
    EXPECT_TRUE(IsDirty(0));
}

TEST_F(ViewWindowsTest, GrabWindowsToPictures)
{
    const QString dir = qEnvironmentVariable("QM_GRAB_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "QM_GRAB_DIR not set";
    main->TB1_ButtonClick("MAP");
    MapWindow()->mnuExpandMap_Click();
    Q_EMIT App().Notifier->ModuleAdded(*App().TaskList().Item("main"), 1);
    Q_EMIT main->ExplorerShowRequested();
    Flush();
    EXPECT_TRUE(main->grab().save(QDir(dir).filePath("views_main.png")));
    runner.script = [&](QDialog& dialog) {
        auto& d = static_cast<frmDefineVar&>(dialog);
        d.txtDescription->setText("speed");
        d.txtValue->setText("5");
        d.cmdAction[0]->click();
        d.show();
        Flush();
        EXPECT_TRUE(d.grab().save(QDir(dir).filePath("views_definevar.png")));
    };
    main->TB1_ButtonClick("DEFVAR");
}
