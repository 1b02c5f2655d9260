// The main toolbar's keys.
#include "support/ProjectSetup.h"
#include "support/MockCommandWindow.h"
#include "support/RecordingControl.h"
#include "support/TestFiles.h"
#include "shell/ShellFixture.h"
#include "model/Notifier.h"
#include "shell/KeyTracker.h"
#include "shell/MainWindow.h"
#include "shell/OpenDialog.h"
#include "shell/Preview.h"
#include "shell/StatusStrip.h"

#include "compiler/ProjectCompile.h"
#include "model/Grid.h"
#include "model/ModuleManagement.h"
#include "model/NamedValues.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSysInfo>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// An editor window as the window list sees it.
class ListedWindow : public QWidget, public ::testing::NiceMock<MockCommandWindow> {
public:
    ListedWindow(const QString& caption, Long kind, const QString& title)
        : mCaption(caption), mKind(kind), mTitle(title)
    {
        using ::testing::_;
        ON_CALL(*this, Show()).WillByDefault([this] { show(); });
        ON_CALL(*this, setFormType(_)).WillByDefault([this](Long k) { mKind = k; });
        ON_CALL(*this, FormType()).WillByDefault([this] { return mKind; });
        ON_CALL(*this, ParentTaskName()).WillByDefault([this] { return mCaption; });
        ON_CALL(*this, setCaption(_)).WillByDefault([this](const QString& c) { mCaption = c; });
        ON_CALL(*this, Caption()).WillByDefault([this] { return mCaption; });
        ON_CALL(*this, CursorPos()).WillByDefault(::testing::Return(QStringLiteral("0001")));
        ON_CALL(*this, Close()).WillByDefault([this] {
            closed = true;
            if (parentWidget())
                parentWidget()->close();
        });
        ON_CALL(*this, ParentTitle()).WillByDefault([this] { return mTitle; });
    }
    bool closed = false;

private:
    QString mCaption;
    Long mKind;
    QString mTitle;
};

}  // namespace

class DispatcherTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        main->Ops.CompileProject = [this] {
            CompileResult r;
            r.ok = compileResult;
            r.CompileError = compileError;
            r.Listed = App().ProjectType() == ProjectType::Rcx;
            r.ListingText = r.Listed ? listing : QString();
            return r;
        };
        main->Ops.InitRCX = [] { return true; };
        App().Ports = &pb;
        listener = std::make_unique<QObject>();
        QObject::connect(App().Notifier.get(), &Notifier::SetupRequested, listener.get(),
                         [this] { ++setupShown; });
        // What the project map goes with: a module added or taken out, another project.
        Notifier* n = App().Notifier.get();
        QObject::connect(n, &Notifier::ModuleAdded, listener.get(), [this] { ++mapUnloads; });
        QObject::connect(n, &Notifier::ModuleRemoved, listener.get(), [this] { ++mapUnloads; });
        QObject::connect(n, &Notifier::ProjectReplaced, listener.get(), [this] { ++mapUnloads; });
    }
    void TearDown() override
    {
        App().DropListing();
        listener.reset();
        MainWindowFixture::TearDown();
    }
    QStringList status() const { return main->picStatus()->Text().split('\n', Qt::SkipEmptyParts); }
    ListedWindow* addWindow(const QString& caption, Long kind, const QString& title)
    {
        auto* w = new ListedWindow(caption, kind, title);
        main->setDeskTopFactory([w] { return DeskTopWindow{w, w}; });
        main->CreateDeskTop();
        return w;
    }
    QStringList listTexts() const
    {
        QStringList t;
        for (QAction* a : main->mnuWinDeskList())
            t.append((a->isEnabled() ? QString() : QStringLiteral("[off]")) + a->text());
        return t;
    }

    RecordingControl pb;
    // What stands in for the windows outside the shell; gone, nobody listens.
    std::unique_ptr<QObject> listener;
    int setupShown = 0, mapUnloads = 0;
    bool compileResult = true;
    QString compileError;
    QString listing = QStringLiteral("BeginOfTask 0\r\nEndOfTask");
};

TEST_F(DispatcherTest, CompileInAnRcxProjectShowsTheListing)
{
    main->TB1_ButtonClick(QStringLiteral("compile"));
    EXPECT_EQ(status(), QStringList{"Compile OK!"});
    ASSERT_NE(windows.Preview(), nullptr);
    EXPECT_TRUE(windows.Preview()->isVisible());
    EXPECT_EQ(windows.Preview()->txtPreview->toPlainText(), QStringLiteral("BeginOfTask 0\nEndOfTask"));
    EXPECT_EQ(windows.Preview()->windowTitle(), QStringLiteral("Source code"));
}

TEST_F(DispatcherTest, CompileInAJoystickProjectShowsNoListing)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    App().KeepListing(QStringLiteral("SetVar 1"), CompileFor::Download);  // kept, not on view
    main->TB1_ButtonClick(QStringLiteral("COMPILE"));
    EXPECT_EQ(status(), QStringList{"Compile OK!"});
    EXPECT_EQ(windows.Preview(), nullptr);
    // Such a compile lists nothing: PREVIEW still shows the listing before.
    main->TB1_ButtonClick(QStringLiteral("PREVIEW"));
    ASSERT_NE(windows.Preview(), nullptr);
    EXPECT_EQ(windows.Preview()->txtPreview->toPlainText(), QStringLiteral("SetVar 1"));
}

TEST_F(DispatcherTest, PreviewShowsTheListingOfTheLastCompile)
{
    main->TB1_ButtonClick(QStringLiteral("COMPILE"));
    windows.Preview()->close();
    main->TB1_ButtonClick(QStringLiteral("PREVIEW"));
    ASSERT_NE(windows.Preview(), nullptr);
    EXPECT_EQ(windows.Preview()->txtPreview->toPlainText(), QStringLiteral("BeginOfTask 0\nEndOfTask"));
}

// A compile that fails leaves no listing on view, neither its own part nor
// the one of the compile before: not by COMPILE, nor by the download's compile.
TEST_F(DispatcherTest, AFailedCompileTakesTheListingOffView)
{
    BuildRcxObjects();
    struct Case {
        const char* what;
        const char* key;
    };
    const Case cases[] = {{"compile", "COMPILE"}, {"download", "DOWNLOAD"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        compileResult = true;
        RemoveAllTasks();
        main->TB1_ButtonClick(QStringLiteral("COMPILE"));
        ASSERT_NE(windows.Preview(), nullptr);
        // The download compiles the project itself: a LOOP without a body fails.
        compileResult = false;
        compileError = QStringLiteral("Missing time");
        auto task = std::make_shared<clsTask>();
        task->Name = QStringLiteral("Main");
        auto loop = std::make_shared<clsCommand>();
        loop->SetKeyText(QStringLiteral("L_LOOP"));
        loop->Commands = std::make_shared<CommandCollection>();
        task->Commands()->Add(loop, ColKey(0, 1));
        App().AddModule(task);
        presenter.shown.clear();
        main->TB1_ButtonClick(QString::fromLatin1(c.key));
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].title, QStringLiteral("Error in Program"));
        EXPECT_EQ(windows.Preview(), nullptr);
        main->TB1_ButtonClick(QStringLiteral("PREVIEW"));
        EXPECT_EQ(windows.Preview(), nullptr);
    }
}

// The compile only tells where its fault lies; COMPILE, DOWNLOAD and the run's
// JOY_PLAY open the grid that holds it (here the body of a WHILE) with the
// cursor on the faulty cell, and report it.
TEST_F(DispatcherTest, AFailedCompileOpensTheFaultyBodyOnItsCell)
{
    struct Case {
        const char* key;
        Integer projectType;
    };
    const Case cases[] = {{"COMPILE", 0}, {"DOWNLOAD", 0}, {"JOY_PLAY", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        RemoveAllTasks();
        App().SetProjectType(ProjectTypeOfNumber(c.projectType));
        main->Ops.CompileProject = [] { return ::CompileProject(App()); };
        auto task = std::make_shared<clsTask>();
        task->Name = QStringLiteral("Main");
        task->ModulType = ModuleKind::Task;
        // Commands as the editor leaves them: what is not set is -1.
        const auto command = [](CommandKey key, int row) {
            auto c = std::make_shared<clsCommand>();
            c->CommandKey = key;
            for (Variant* v : {&c->Param1Source, &c->Param1Value, &c->Param2Source, &c->Param2Value})
                *v = -1;
            c->y = Integer(row);
            return c;
        };
        auto loop = command(CommandKey::L_LOOP, 1);
        loop->Param1Source = 2;
        loop->Param1Value = QStringLiteral("2");
        loop->setPicCaption(1, QStringLiteral("2 times"));
        loop->Commands = std::make_shared<CommandCollection>();
        for (int row : {1, 2}) {
            auto on = command(CommandKey::M_ON, row);
            on->MotorList = row == 1 ? QStringLiteral("0") : QString();  // row 2 has no motor
            loop->Commands->Add(on, ColKey(0, row));
        }
        App().EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
        task->Commands()->Add(loop, ColKey(0, 1));
        App().AddModule(task);

        CommandOwner* shown = nullptr;
        QString cursor;
        auto* w = new ListedWindow(QString(), 0, QString());
        ON_CALL(*w, setMyCommandBlock(::testing::_)).WillByDefault([&shown](CommandOwner* o) { shown = o; });
        ON_CALL(*w, setCursorPos(::testing::_)).WillByDefault([&cursor](const QString& k) { cursor = k; });
        main->setDeskTopFactory([w] { return DeskTopWindow{w, w}; });
        presenter.shown.clear();

        main->TB1_ButtonClick(QString::fromLatin1(c.key));
        EXPECT_EQ(shown, loop.get());
        EXPECT_EQ(cursor, QStringLiteral("0002"));
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, QStringLiteral(" -> ERROR: No motor list !"));
        EXPECT_EQ(presenter.shown[0].title, QStringLiteral("Error in Program"));
        EXPECT_EQ(App().StopRun, True);
        main->setDeskTopFactory({});
    }
}

TEST_F(DispatcherTest, FailedCompileReportsTheError)
{
    compileResult = false;
    compileError = QStringLiteral("Missing time");
    main->TB1_ButtonClick(QStringLiteral("COMPILE"));
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Missing time"));
    EXPECT_EQ(presenter.shown[0].title, QStringLiteral("Error in Program"));
    EXPECT_EQ(status(), QStringList{"Compiling Missing time"});
    EXPECT_EQ(windows.Preview(), nullptr);
}

TEST_F(DispatcherTest, PreviewShowsTheLastListingWhenThereIsOne)
{
    main->TB1_ButtonClick(QStringLiteral("PREVIEW"));
    EXPECT_EQ(windows.Preview(), nullptr);
    App().KeepListing(QStringLiteral("SetVar 1"), CompileFor::Download);  // kept, not on view
    EXPECT_EQ(windows.Preview(), nullptr);
    main->TB1_ButtonClick(QStringLiteral("PREVIEW"));
    ASSERT_NE(windows.Preview(), nullptr);
    EXPECT_EQ(windows.Preview()->txtPreview->toPlainText(), QStringLiteral("SetVar 1"));
}

TEST_F(DispatcherTest, JoyPlayStartsAndThenStopsTheRun)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    int resets = 0;
    main->Ops.ResetMotorObjects = [&] { ++resets; };
    main->TB1_ButtonClick(QStringLiteral("JOY_PLAY"));
    EXPECT_EQ(App().StopRun, False);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(main->TB1Button("JOY_PLAY")->toolTip(), QStringLiteral("Stop running"));
    EXPECT_TRUE(main->tmrJoy()->isActive());
    EXPECT_TRUE(main->tmrAni()->isActive());
    EXPECT_FALSE(main->TB()->isEnabled());
    EXPECT_FALSE(main->TB1Button("OPEN")->isEnabled());

    main->TB1_ButtonClick(QStringLiteral("JOY_PLAY"));
    EXPECT_EQ(App().StopRun, True);
    EXPECT_EQ(main->TB1Button("JOY_PLAY")->toolTip(), QStringLiteral("Run program"));
    EXPECT_TRUE(main->TB()->isEnabled());
    EXPECT_TRUE(main->TB1Button("OPEN")->isEnabled());
    main->tmrJoy()->stop();
    main->tmrAni()->stop();
}

// A Joystick & Keyboard task run tick by tick: motor A runs while Up is held.
TEST_F(DispatcherTest, ARunFollowsTheKeysAndItsStopSwitchesEveryMotorOff)
{
    AppState& a = App();
    KeyTracker keys;
    IJoystick* noJoystick = a.Joystick;
    a.Joystick = &keys;
    a.SetProjectType(ProjectType::JoystickKeyboard);
    BuildJoystickObjects();
    a.EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
    for (const char* n : {"Motor state A", "Motor direction A", "Motor speed A"})
        AddNamedValue(QString::fromLatin1(n), 3, 0, 0);
    auto task = std::make_shared<clsTask>();
    task->Name = QStringLiteral("Main");
    a.AddModule(task);
    auto cmd = [](const char* key) {
        auto c = std::make_shared<clsCommand>();
        c->SetKeyText(QString::fromLatin1(key));
        c->MotorList = QStringLiteral("0");
        return c;
    };
    auto onIfUp = cmd("L_IF");
    onIfUp->Op = 2;
    onIfUp->Param1Source = 180;
    onIfUp->Param1Value = QStringLiteral("Keyboard key");
    onIfUp->Param2Source = 2;
    onIfUp->Param2Value = 38;
    onIfUp->Commands = std::make_shared<CommandCollection>();
    onIfUp->Commands->Add(cmd("M_ON"), ColKey(0, 1));
    auto off = cmd("M_OFF");
    off->Op = 1;
    onIfUp->Commands->Add(off, ColKey(1, 1));
    task->Commands()->Add(onIfUp, ColKey(0, 1));

    pb.setPollValue(3, 0, 64 + 8 + 7);
    main->TB1_ButtonClick(QStringLiteral("JOY_PLAY"));
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()", "On(\"0\")", "SetFwd(\"0\")", "SetPower(\"0\", L2, 7)",
                                       "Poll(L3, &0)"}));
    pb.clearCalls();

    main->tmrJoy_Timer();
    EXPECT_TRUE(pb.calls().isEmpty());  // off already, as the brick said
    keys.Press(38);
    main->tmrJoy_Timer();
    main->tmrJoy_Timer();
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"0\")"}));
    keys.Release(38);
    main->tmrJoy_Timer();
    EXPECT_EQ(pb.calls(), (QStringList{"On(\"0\")", "Off(\"0\")"}));

    main->tmrAni_Timer();
    EXPECT_EQ(main->RunImageKey(), QStringLiteral("JOY_STOP"));
    main->tmrAni_Timer();
    EXPECT_EQ(main->RunImageKey(), QStringLiteral("JOY_PLAY"));

    pb.clearCalls();
    // An hourglass that other work left on past its scope, as a download
    // waiting for the brick does: the end of the run takes it down.
    a.Notifier->SetPointer(PointerShape::Hourglass);
    main->TB1_ButtonClick(QStringLiteral("JOY_PLAY"));  // stop
    EXPECT_TRUE(main->tmrJoy()->isActive());             // the next tick ends the run
    main->tmrJoy_Timer();
    EXPECT_EQ(a.Notifier->Pointer(), PointerShape::Default);
    EXPECT_EQ(pb.calls(), (QStringList{"Off(\"012\")"}));
    EXPECT_FALSE(main->tmrJoy()->isActive());
    EXPECT_FALSE(main->tmrAni()->isActive());
    EXPECT_EQ(a.StopRun, True);
    EXPECT_TRUE(main->TB1Button("OPEN")->isEnabled());
    EXPECT_EQ(main->TB1Button("JOY_PLAY")->toolTip(), QStringLiteral("Run program"));
    a.Joystick = noJoystick;
}

// While a run is on, its keys reach no text box nor shortcut of any window, and
// the run still sees them; once it ends, the keys type again.
TEST_F(DispatcherTest, ARunTakesItsKeysFromEveryTextBoxAndShortcut)
{
    AppState& a = App();
    KeyTracker keys;
    keys.Install();  // before the run starts, as the program does
    IJoystick* noJoystick = a.Joystick;
    a.Joystick = &keys;
    a.SetProjectType(ProjectType::JoystickKeyboard);
    QWidget form;
    auto* box = new QLineEdit(QStringLiteral("[general task description]"), &form);
    int saves = 0;
    auto* save = new QAction(&form);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setShortcutContext(Qt::WindowShortcut);
    form.addAction(save);
    QObject::connect(save, &QAction::triggered, [&saves] { ++saves; });
    form.show();
    form.activateWindow();
    box->setFocus();
    QApplication::processEvents();
    const QString typedBefore = box->text();

    main->TB1_ButtonClick(QStringLiteral("JOY_PLAY"));
    ASSERT_EQ(a.StopRun, False);
    // A key held through the window system, as the user holds it.
    QTest::keyPress(form.windowHandle(), Qt::Key_B);
    EXPECT_TRUE(keys.KeyDown(66));
    QTest::keyRelease(form.windowHandle(), Qt::Key_B);
    EXPECT_FALSE(keys.KeyDown(66));
    // Keys sent to the box itself, and a shortcut of its window.
    QTest::keyClicks(box, QStringLiteral("bb"));
    EXPECT_TRUE(keys.KeyDown(66));
    QTest::keyClick(form.windowHandle(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(box->text(), typedBefore);
    EXPECT_EQ(saves, 0);

    main->TB1_ButtonClick(QStringLiteral("JOY_PLAY"));  // stop
    main->tmrJoy_Timer();                                // the run ends
    ASSERT_FALSE(main->tmrJoy()->isActive());
    QTest::keyClick(form.windowHandle(), Qt::Key_X);
    QTest::keyClick(form.windowHandle(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(box->text(), typedBefore + QStringLiteral("x"));
    EXPECT_EQ(saves, 1);
    a.Joystick = noJoystick;
}

TEST_F(DispatcherTest, JoyPlayDoesNotStartWhenTheBrickDoesNotAnswer)
{
    pb.pushResult(QStringLiteral("PBAlive"), false);
    main->TB1_ButtonClick(QStringLiteral("JOY_PLAY"));
    EXPECT_EQ(App().StopRun, True);
    EXPECT_EQ(presenter.texts(), QStringList{"No communication with the RCX"});
    EXPECT_EQ(presenter.shown[0].style, 48);
    EXPECT_FALSE(main->tmrJoy()->isActive());

    presenter.shown.clear();
    main->Ops.InitRCX = [] { return false; };
    main->TB1_ButtonClick(QStringLiteral("JOY_PLAY"));
    EXPECT_EQ(App().StopRun, True);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DispatcherTest, RcxDuringARunWaitsForTheCycleToEnd)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    main->tmrJoy()->start();
    main->TB1_ButtonClick(QStringLiteral("RCX"));
    EXPECT_EQ(setupShown, 0);
    EXPECT_EQ(status(), QStringList{"VER Ize is waiting for program to end the cycle..."});
    EXPECT_EQ(App().RcxWindowRequested, True);
    EXPECT_TRUE(main->tmrShowLab()->isActive());
    main->tmrShowLab_Timer();
    EXPECT_EQ(setupShown, 0);  // the cycle has not ended yet
    App().RunCycleEnded = True;
    main->tmrShowLab_Timer();
    EXPECT_EQ(setupShown, 1);
    EXPECT_FALSE(main->tmrShowLab()->isActive());
    main->tmrJoy()->stop();

    main->TB1_ButtonClick(QStringLiteral("RCX"));
    EXPECT_EQ(setupShown, 2);
}

TEST_F(DispatcherTest, OpenAsksToSaveAndGivesUpOnCancelOrAFailedSave)
{
    App().SetSetupDirty(True);
    runner.script = [](QDialog& d) { static_cast<frmOpen&>(d).cmdOk_Click(1); };

    presenter.answers = {MsgResult::Cancel};
    main->TB1_ButtonClick(QStringLiteral("OPEN"));
    EXPECT_TRUE(runner.shown.isEmpty());

    saveResult = false;
    presenter.answers = {MsgResult::Yes};
    main->TB1_ButtonClick(QStringLiteral("OPEN"));
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(runner.shown.isEmpty());

    presenter.answers = {MsgResult::No};
    main->TB1_ButtonClick(QStringLiteral("OPEN"));
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(runner.shown, QStringList{"Quillo Mat: Open"});
    EXPECT_EQ(opens, 0);  // cancelled in the dialog
}

// The open closes the windows of the project before once it has read the new
// one (here as the real open does it, through the shell). A project
// that is not opened (an existing one that can't be read, a new one whose
// first task is cancelled) leaves the project before, its name and its
// windows as they were.
TEST_F(DispatcherTest, OpenOfAnotherProjectClosesTheWindowsAndOpensIt)
{
    struct Case {
        const char* what;
        const char* typed;  // in the open/new dialog
        bool opens;
        const char* nameAfter;
        int actionAfter;
    };
    const Case cases[] = {
        {"an existing project opens", "  Robot  ", true, "Robot", 1},
        {"an existing project can't be opened", "Robot", false, "Old", 1},
        {"a new project opens", "Fresh", true, "Fresh", 2},
        {"a new project's first task is cancelled", "Fresh", false, "Old", 1},
    };
    QDir(folder.path()).mkpath(QStringLiteral("Projects/Old.dir"));
    QDir(folder.path()).mkpath(QStringLiteral("Projects/Robot.dir"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App().SetProjectName(QStringLiteral("Old"));
        App().ProjectAction = 1;
        opens = 0;
        mapUnloads = 0;
        main->Ops.OpenProject = [this, &c] {
            ++opens;
            if (c.opens) {
                App().Shell->CloseProjectWindows();
                App().ReplaceProject(ProjectContent());
            }
            return c.opens;
        };
        ListedWindow* w = addWindow(QStringLiteral("Main"), 1, QStringLiteral("Main task"));
        App().KeepListing(QStringLiteral("x"), CompileFor::Listing);
        main->TB1_ButtonClick(QStringLiteral("PREVIEW"));
        main->picStatus()->Print(QStringLiteral("old line"));
        runner.script = [&c](QDialog& d) {
            auto& open = static_cast<frmOpen&>(d);
            open.txtProjName->setText(QString::fromLatin1(c.typed));
            open.cmdOk_Click(0);
        };
        main->TB1_ButtonClick(QStringLiteral("OPEN"));
        EXPECT_EQ(w->closed, c.opens);
        EXPECT_EQ(windows.Preview() == nullptr, c.opens);
        EXPECT_TRUE(status().isEmpty());
        EXPECT_EQ(App().RcxSetup().ProjectName, QString::fromLatin1(c.nameAfter));
        EXPECT_EQ(App().ProjectAction, c.actionAfter);
        EXPECT_EQ(opens, 1);
        EXPECT_EQ(mapUnloads, c.opens ? 1 : 0);
        if (!c.opens)
            w->Close();
    }
}

// Through the real open, with the dialogs as the user answers them: a new
// project whose first task is cancelled leaves the project open before with
// its tasks, windows, built-in named values, name, type and saved state, and
// that project goes on (a task added next offers the time units of a Wait).
TEST_F(DispatcherTest, ANewProjectWhoseFirstTaskIsCancelledLeavesTheOpenProject)
{
    struct Answer {
        QString name;  // empty: Cancel
        int type = 0;  // of a new project
    };
    struct Case {
        const char* what;
        int typeBefore;
    };
    const Case cases[] = {{"an RCX project open", 0}, {"a Joystick & Keyboard project open", 1}};
    const ShellOperations real = ShellOperations::Defaults();
    main->Ops.OpenProject = real.OpenProject;
    main->Ops.SaveProject = real.SaveProject;
    main->Ops.AddTask = real.AddTask;
    QList<ListedWindow*> made;
    main->setDeskTopFactory([&made] {
        auto* w = new ListedWindow(QString(), 0, QString());
        made.append(w);
        return DeskTopWindow{w, w};
    });
    QList<Answer> answers;
    runner.script = [&answers](QDialog& d) {
        auto& open = static_cast<frmOpen&>(d);
        const Answer a = answers.isEmpty() ? Answer{} : answers.takeFirst();
        if (a.name.isEmpty()) {
            open.cmdOk_Click(1);
            return;
        }
        if (open.ObjToOpen == 1)
            open.optProjType_Click(a.type);
        open.txtProjName->setText(a.name);
        open.cmdOk_Click(0);
    };
    auto objects = [] {
        QStringList keys;
        for (const auto& e : App().ObjectList())
            keys.append(e.key + QLatin1Char('=') + QString::number(e.item->Source));
        return keys;
    };
    auto timeUnits = [] {
        QStringList names;
        for (const auto& e : App().ObjectList())
            if (e.item->Source == OperandSource::TimeUnit)
                names.append(e.item->Name);
        return names;
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString robot = QStringLiteral("Robot%1").arg(c.typeBefore);
        // The project before: new, with its first task (a Joystick & Keyboard
        // project's is named without asking), then saved.
        answers = {{robot, c.typeBefore}, {QStringLiteral("Drive")}};
        main->TB1_ButtonClick(QStringLiteral("OPEN"));
        main->TB1_ButtonClick(QStringLiteral("SAVE"));
        AppState& app = App();
        ASSERT_EQ(app.RcxSetup().ProjectName, robot);
        ASSERT_EQ(app.TaskList().Count(), 1);
        ASSERT_FALSE(IsDirty(0));
        const TaskPtr first = app.TaskList().Item(1);
        const QStringList objectsBefore = objects();
        ASSERT_EQ(timeUnits(), (QStringList{"Second", "Tenth", "Hundredth"}));
        ASSERT_EQ(main->DeskTopWindows().size(), 1);
        ListedWindow* window = made.last();
        const QString caption = main->windowTitle();
        const int setupShownBefore = setupShown;

        answers = {{QStringLiteral("Fresh"), 0}, {}};
        main->TB1_ButtonClick(QStringLiteral("OPEN"));
        EXPECT_TRUE(answers.isEmpty());  // both dialogs were shown
        EXPECT_TRUE(presenter.shown.isEmpty());
        EXPECT_EQ(app.RcxSetup().ProjectName, robot);
        EXPECT_EQ(app.ProjectAction, 1);
        EXPECT_EQ(ProjectTypeNumber(app.ProjectType()), c.typeBefore);
        EXPECT_FALSE(IsDirty(0));
        ASSERT_EQ(app.TaskList().Count(), 1);
        EXPECT_EQ(app.TaskList().Item(1), first);
        EXPECT_EQ(objects(), objectsBefore);
        EXPECT_FALSE(window->closed);
        EXPECT_EQ(main->DeskTopWindows().size(), 1);
        EXPECT_EQ(main->windowTitle(), caption);
        EXPECT_EQ(setupShown, setupShownBefore);
        EXPECT_FALSE(QFileInfo::exists(folder.path() + QStringLiteral("/Projects/Fresh.dir")));

        answers = {{QStringLiteral("Arm")}};
        main->TB1_ButtonClick(QStringLiteral("NEWTASK"));
        EXPECT_TRUE(app.TaskList().Exists(QStringLiteral("Arm")));
        EXPECT_EQ(main->DeskTopWindows().size(), 2);
        EXPECT_EQ(timeUnits(), (QStringList{"Second", "Tenth", "Hundredth"}));
        EXPECT_TRUE(IsDirty(0));
        main->TB1_ButtonClick(QStringLiteral("SAVE"));
    }
}

// Through the real open and save: a project that another copy of the program
// holds opens read-only with a message saying so, and SAVE refuses to write
// it, so that neither copy saves over the other's work.
TEST_F(DispatcherTest, AProjectOpenInAnotherCopyIsNotSaved)
{
    const QString robot = folder.path() + QStringLiteral("/Projects/Robot.dir");
    writeFile(robot + QStringLiteral("/Robot.qmd"),
              "0\r\n0\r\n1,0,1,0,7,\"\",\"\",\"\"\r\n1,1,1,0,7,\"\",\"\",\"\"\r\n1,2,1,0,7,\"\",\"\",\"\"\r\n"
              "40,0,0,0,\"\"\r\n40,0,1,0,\"\"\r\n40,0,2,0,\"\"\r\n\"EndVarDef\",0,0,0\r\n\"Drive\",1\r\n"
              "\"EndTaskDef\",0\r\n\"EndSubDef\",0\r\n");
    writeFile(robot + QStringLiteral("/Drive.tas"), "1,1,1,\"d\"\r\n");
    QLockFile otherCopy(robot + QStringLiteral("/.quillomat.lock"));
    ASSERT_TRUE(otherCopy.tryLock(0));

    const ShellOperations real = ShellOperations::Defaults();
    main->Ops.OpenProject = real.OpenProject;
    main->Ops.SaveProject = real.SaveProject;
    main->setDeskTopFactory([] {
        auto* w = new ListedWindow(QString(), 0, QString());
        return DeskTopWindow{w, w};
    });
    runner.script = [](QDialog& d) {
        auto& open = static_cast<frmOpen&>(d);
        open.SSTab1->setCurrentIndex(1);
        ASSERT_EQ(open.LV1->count(), 1);
        open.cmdOk_Click(0);
    };
    main->TB1_ButtonClick(QStringLiteral("OPEN"));
    AppState& app = App();
    ASSERT_EQ(app.RcxSetup().ProjectName, QStringLiteral("Robot"));
    ASSERT_TRUE(app.TaskList().Exists(QStringLiteral("Drive")));
    EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("The project Robot is open in another copy of the "
                                                            "program (process %1 on %2). It is opened read-only: "
                                                            "changes to it can't be saved here.")
                                                 .arg(QCoreApplication::applicationPid())
                                                 .arg(QSysInfo::machineHostName())});

    auto readFile = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    const QByteArray before = readFile(robot + QStringLiteral("/Drive.tas"));
    app.TaskList().Item(QStringLiteral("Drive"))->mTitle = QStringLiteral("changed");
    app.TaskList().Item(QStringLiteral("Drive"))->Dirty = True;
    presenter.shown.clear();
    main->TB1_ButtonClick(QStringLiteral("SAVE"));
    EXPECT_EQ(presenter.texts(), QStringList{"The project Robot is open in another copy of the program: it was "
                                             "opened read-only and can't be saved here."});
    EXPECT_EQ(readFile(robot + QStringLiteral("/Drive.tas")), before);
    EXPECT_TRUE(IsDirty(0));
}

// NEWTASK and NEWSUB take one path: the dialog's add (open mode 3), then the
// window of the module added and the map dropped. A refused add opens no
// window and keeps the map, and the module the add held is let go either way.
TEST_F(DispatcherTest, NewTaskAndNewSubOpenTheWindowOfTheModuleAdded)
{
    struct Case {
        const char* key;
        Long kind;
        bool added;
    };
    const Case cases[] = {
        {"NEWTASK", ModuleKind::Task, false}, {"NEWTASK", ModuleKind::Task, true},
        {"NEWSUB", ModuleKind::Sub, false},   {"NEWSUB", ModuleKind::Sub, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << (c.added ? " added" : " refused"));
        const bool task = c.kind == ModuleKind::Task;
        std::shared_ptr<CommandOwner> held;
        // The add holds its module whether it ends well or not.
        auto add = [&](Long mode) {
            EXPECT_EQ(mode, 3);
            if (task) {
                App().CurrentTask = std::make_shared<clsTask>();
                App().CurrentTask->Name = QStringLiteral("Arm");
                held = App().CurrentTask;
                if (c.added)
                    App().AddModule(App().CurrentTask);
            } else {
                App().CurrentSub = std::make_shared<clsSub>();
                App().CurrentSub->Name = QStringLiteral("Blink");
                held = App().CurrentSub;
                if (c.added)
                    App().AddModule(App().CurrentSub);
            }
            return c.added;
        };
        main->Ops.AddTask = task ? std::function<bool(Long)>(add) : nullptr;
        main->Ops.AddSub = task ? nullptr : std::function<bool(Long)>(add);
        std::vector<CommandOwner*> opened;
        main->setDeskTopFactory([&opened] {
            auto* w = new ListedWindow(QString(), 0, QString());
            ON_CALL(*w, setMyCommandBlock(::testing::_)).WillByDefault([&opened](CommandOwner* o) {
                opened.push_back(o);
            });
            return DeskTopWindow{w, w};
        });
        mapUnloads = 0;
        main->TB1_ButtonClick(QString::fromLatin1(c.key));
        ASSERT_NE(held, nullptr);
        EXPECT_EQ(opened, c.added ? std::vector<CommandOwner*>{held.get()} : std::vector<CommandOwner*>{});
        EXPECT_EQ(mapUnloads, c.added ? 1 : 0);
        EXPECT_EQ(App().CurrentTask, nullptr);
        EXPECT_EQ(App().CurrentSub, nullptr);
        EXPECT_TRUE(presenter.shown.isEmpty());
    }
}

TEST_F(DispatcherTest, HelpPopsUpTheHelpMenuAndUnknownKeysDoNothing)
{
    main->TB1_ButtonClick(QStringLiteral("HELP"));
    EXPECT_EQ(popups, QStringList{"mnuHelp"});
    main->TB1_ButtonClick(QStringLiteral("NOTAKEY"));
    EXPECT_EQ(popups.size(), 1);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DispatcherTest, WindowListWithNoEditorWindowShowsNoMenu)
{
    main->TB1_ButtonClick(QStringLiteral("WINLIST"));
    EXPECT_TRUE(popups.isEmpty());
}

TEST_F(DispatcherTest, WindowListIndentsBodiesUnderTheirModuleOrGivesThemAHeading)
{
    addWindow(QStringLiteral("Main"), 1, QStringLiteral("Main task"));
    addWindow(QStringLiteral("Main"), 2, QStringLiteral("IF Touch sensor = 1"));
    addWindow(QStringLiteral("Zeta"), 3, QStringLiteral("WHILE Timer < 5"));
    addWindow(QStringLiteral("Beep"), 5, QStringLiteral("Beeps"));
    main->TB1_ButtonClick(QStringLiteral("WINLIST"));
    EXPECT_EQ(popups, QStringList{"mnuWinList"});
    EXPECT_EQ(listTexts(), (QStringList{"Beep Beeps", "[off]Main", "    Main IF Touch sensor = 1",
                                        "Main Main task", "[off]Zeta", "    Zeta WHILE Timer < 5"}));
}

TEST_F(DispatcherTest, WindowListIndentsABodyRightAfterItsTaskWithoutHeading)
{
    main->show();
    addWindow(QStringLiteral("Drive"), 1, QStringLiteral("A"))->show();
    addWindow(QStringLiteral("Drive"), 4, QStringLiteral("LOOP 3"))->show();
    main->MdiArea()->setActiveSubWindow(main->MdiArea()->subWindowList().first());
    main->TB1_ButtonClick(QStringLiteral("WINLIST"));
    // "Drive A" sorts before "Drive LOOP 3", which begins with the caption before it.
    EXPECT_EQ(listTexts(), (QStringList{"Drive A", "    Drive LOOP 3"}));
    // Choosing an item brings its window forward; a heading does nothing.
    main->mnuWinDeskList_Click(1);
    EXPECT_EQ(main->ActiveDeskTop()->FormType(), 4);
}

// Editor windows open as tall as the area; as the main window shrinks each one
// is fitted in again, its bottom (where its scroll bar runs) in view; what
// still can't fit the area's scroll bars reach.
TEST_F(DispatcherTest, EditorWindowsStayWithinReachAsTheMainWindowShrinks)
{
    main->resize(1100, 800);
    main->show();
    QApplication::processEvents();
    QWidget* area = main->MdiArea()->viewport();
    auto place = [&](const QRect& r) {
        auto* sub = qobject_cast<QMdiSubWindow*>(addWindow(QStringLiteral("Main"), 1, QStringLiteral("A"))->parentWidget());
        sub->setGeometry(r);
        sub->show();
        return sub;
    };
    QMdiSubWindow* full = place(QRect(0, 0, 420, area->height()));
    QMdiSubWindow* lower = place(QRect(area->width() - 430, 120, 420, area->height() - 120));
    main->resize(1024, 700);
    QApplication::processEvents();
    for (QMdiSubWindow* sub : {full, lower}) {
        EXPECT_TRUE(area->rect().contains(sub->geometry())) << sub->geometry().bottom() << " " << area->height();
    }
    EXPECT_EQ(full->geometry(), QRect(0, 0, 420, area->height()));

    main->resize(260, 160);
    QApplication::processEvents();
    const QRect reach(QPoint(0, 0), area->size() + QSize(main->MdiArea()->horizontalScrollBar()->maximum(),
                                                         main->MdiArea()->verticalScrollBar()->maximum()));
    for (QMdiSubWindow* sub : {full, lower}) {
        const QRect g = sub->geometry().translated(main->MdiArea()->horizontalScrollBar()->value(),
                                                   main->MdiArea()->verticalScrollBar()->value());
        EXPECT_TRUE(reach.contains(g)) << g.width() << "x" << g.height() << " in " << reach.width() << "x"
                                       << reach.height();
    }
}

TEST_F(DispatcherTest, WindowListIsRebuiltEachTime)
{
    addWindow(QStringLiteral("Drive"), 1, QStringLiteral("A"));
    ListedWindow* second = addWindow(QStringLiteral("Arm"), 1, QStringLiteral("B"));
    main->TB1_ButtonClick(QStringLiteral("WINLIST"));
    EXPECT_EQ(listTexts().size(), 2);
    delete second->parentWidget();
    main->TB1_ButtonClick(QStringLiteral("WINLIST"));
    EXPECT_EQ(listTexts(), QStringList{"Drive A"});
}

TEST_F(DispatcherTest, KeysCallTheirWindowsAndOperationsOnce)
{
    QStringList calls;
    QRect mapRect;
    QObject* l = listener.get();
    QObject::connect(main.get(), &mdiMain::DefineVarRequested, l, [&] { calls.append("DefineVar"); });
    QObject::connect(main.get(), &mdiMain::ExplorerShowRequested, l, [&] { calls.append("ProjExp"); });
    QObject::connect(main.get(), &mdiMain::MapShowRequested, l, [&](const QRect& r) {
        calls.append("Map");
        mapRect = r;
    });
    QObject::connect(App().Notifier.get(), &Notifier::SetupRequested, l, [&] {
        calls.append("Setup");
        App().EditMotor(0, [](clsMotor& m) {
            m.setMotorType(1);
            m.MotorFwdMeening = QStringLiteral("up");
        });
    });
    main->Ops.DownloadCommand = [&] { calls.append("Download"); };
    main->Ops.SaveProject = [&] {
        calls.append("Save");
        return false;  // the result is not looked at
    };
    main->Ops.AddSub = [&](Long mode) {
        calls.append(QStringLiteral("AddSub %1").arg(mode));
        return false;
    };
    struct Case {
        const char* key;
        const char* call;
    };
    const Case cases[] = {
        // JOY shows the shell's own viewer (test_joy_viewer.cpp).
        {"DEFVAR", "DefineVar"}, {"PROJEXP", "ProjExp"}, {"MAP", "Map"},
        {"RCX", "Setup"},        {"DOWNLOAD", "Download"}, {"SAVE", "Save"}, {"newsub", "AddSub 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        calls.clear();
        main->TB1_ButtonClick(QString::fromLatin1(c.key));
        EXPECT_EQ(calls, QStringList{QString::fromLatin1(c.call)});
    }
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(mapUnloads, 0);
    // The set-up changed in the set-up window: the motor tips follow it.
    EXPECT_EQ(main->PaletteButton("M_FWD")->toolTip(), QStringLiteral("Forward{A=up}"));
}

TEST_F(DispatcherTest, MapIsPlacedAtTheTopBesideThePalette)
{
    QRect mapRect;
    QObject::connect(main.get(), &mdiMain::MapShowRequested, listener.get(), [&](const QRect& r) { mapRect = r; });
    main->resize(1000, 700);
    main->TB1_ButtonClick(QStringLiteral("MAP"));
    const Long width = 1000 * 15;
    const Long mapWidth = width / 2 - 250;
    EXPECT_EQ(mapRect.top(), 0);
    EXPECT_EQ(mapRect.width(), mapWidth);
    EXPECT_EQ(mapRect.left(), width - mapWidth - main->TB()->width() * 15 - 250);
    EXPECT_EQ(mapRect.height(), main->ScaleHeight());
}

TEST_F(DispatcherTest, KeysOfWindowsNotYetThereDoNothingVisible)
{
    listener.reset();
    for (const char* key : {"RCX", "DEFVAR", "PROJEXP", "MAP"}) {
        SCOPED_TRACE(key);
        main->TB1_ButtonClick(QString::fromLatin1(key));
    }
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_TRUE(popups.isEmpty());
    EXPECT_TRUE(status().isEmpty());
    EXPECT_EQ(main->PaletteButton("M_FWD")->toolTip(), QStringLiteral("Forward"));
}

TEST_F(DispatcherTest, ExitAsksToSaveAndEndsWithTheFarewellPictureGone)
{
    main->show();
    App().SetSetupDirty(True);
    presenter.answers = {MsgResult::Cancel};
    main->TB1_ButtonClick(QStringLiteral("EXIT"));
    EXPECT_EQ(presenter.texts(), QStringList{"Save project"});
    EXPECT_TRUE(main->isVisible());

    presenter.answers = {MsgResult::No};
    main->TB1_ButtonClick(QStringLiteral("EXIT"));
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(main->isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_NE(w->objectName(), QStringLiteral("frmByBy"));
}
