#include "model/AppState.h"
#include "model/Config.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/Notifier.h"
#include "model/Phantom.h"
#include "model/ProjectFile.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include "support/Failures.h"
#include "support/FakePresenter.h"
#include "support/FakeWindows.h"
#include "support/RecordingControl.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {


class ModuleManagementTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        fresh();
    }
    // A fresh state with fresh fakes, also for each row of a table.
    void fresh()
    {
        ResetApp();
        windowsHolder = std::make_unique<FakeWindows>();
        presenterHolder = std::make_unique<FakePresenter>();
        windows = windowsHolder.get();
        presenter = presenterHolder.get();
        App().DataFolder = folder.path();
        windows->Install();
        App().Presenter = presenter;
    }
    void TearDown() override { ResetApp(); }

    // A task or sub the project holds before the test acts: what its adding
    // told is not among what the test looks at.
    TaskPtr addTask(const QString& name, Integer number = 0)
    {
        auto t = std::make_shared<clsTask>();
        t->Name = name;
        t->mNumber = number ? number : Integer(App().TaskList().Count() + 1);
        t->ModulType = ModuleKind::Task;
        App().AddModule(t);
        forgetAdding();
        return t;
    }
    SubPtr addSub(const QString& name)
    {
        auto s = std::make_shared<clsSub>();
        s->Name = name;
        s->mNumber = Integer(App().SubList().Count() + 1);
        s->ModulType = ModuleKind::Sub;
        App().AddModule(s);
        forgetAdding();
        return s;
    }
    void forgetAdding()
    {
        windows->addedModules.removeLast();
        windows->log.removeLast();
    }
    void answer(const QString& name, Integer action = 2)
    {
        windows->openAnswers.append({false, name, action});
    }

    QTemporaryDir folder;
    std::unique_ptr<FakeWindows> windowsHolder;
    std::unique_ptr<FakePresenter> presenterHolder;
    FakeWindows* windows = nullptr;
    FakePresenter* presenter = nullptr;
};

// ---- Adding tasks and subs ----

TEST_F(ModuleManagementTest, FullListsRefuseBeforeTheDialog)
{
    struct Case {
        const char* what;
        std::function<void(ModuleManagementTest&)> fill;
        std::function<bool()> add;
        const char* message;
    };
    const Case cases[] = {
        {"tenth task",
         [](ModuleManagementTest& t) { for (int i = 1; i <= 9; ++i) t.addTask(QStringLiteral("T%1").arg(i)); },
         [] { return AddTask(OpenOffer::NewOrExisting); }, "Can't add any more tasks"},
        {"ninth sub",
         [](ModuleManagementTest& t) { for (int i = 1; i <= 8; ++i) t.addSub(QStringLiteral("S%1").arg(i)); },
         [] { return AddSub(OpenOffer::NewOrExisting); }, "Can't add any more subs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        c.fill(*this);
        answer(QStringLiteral("Extra"));
        EXPECT_FALSE(c.add());
        EXPECT_TRUE(windows->openDialogCalls.isEmpty());
        ASSERT_EQ(presenter->shown.size(), 1);
        EXPECT_EQ(presenter->shown[0].text, QString::fromLatin1(c.message));
        EXPECT_EQ(presenter->shown[0].style, 48);
        EXPECT_FALSE(App().TaskList().Exists(QStringLiteral("Extra")));
        EXPECT_FALSE(App().SubList().Exists(QStringLiteral("Extra")));
    }
}

TEST_F(ModuleManagementTest, NinthTaskAndEighthSubAreStillAccepted)
{
    for (int i = 1; i <= 8; ++i)
        addTask(QStringLiteral("T%1").arg(i));
    for (int i = 1; i <= 7; ++i)
        addSub(QStringLiteral("S%1").arg(i));
    answer(QStringLiteral("Ninth"));
    answer(QStringLiteral("Eighth"));
    EXPECT_TRUE(AddTask(OpenOffer::NewOrExisting));
    EXPECT_TRUE(AddSub(OpenOffer::NewOrExisting));
    EXPECT_EQ(App().TaskList().Item(QStringLiteral("Ninth"))->mNumber, 9);
    EXPECT_EQ(App().SubList().Item(QStringLiteral("Eighth"))->mNumber, 8);
}

TEST_F(ModuleManagementTest, DialogIsShownWithModeAndObjectToOpen)
{
    answer(QStringLiteral("A"));
    answer(QStringLiteral("B"));
    AddTask(1);
    AddSub(2);
    ASSERT_EQ(windows->openDialogCalls.size(), 2);
    EXPECT_EQ(windows->openDialogCalls[0].openMode, 1);
    EXPECT_EQ(windows->openDialogCalls[0].objToOpen, 2);
    EXPECT_EQ(windows->openDialogCalls[1].openMode, 2);
    EXPECT_EQ(windows->openDialogCalls[1].objToOpen, 3);
}

TEST_F(ModuleManagementTest, CancelledDialogAddsNothing)
{
    windows->openAnswers.append({true, QStringLiteral("Ignored"), 2});
    windows->openAnswers.append({true, QStringLiteral("Ignored"), 2});
    EXPECT_FALSE(AddTask(OpenOffer::NewOrExisting));
    EXPECT_FALSE(AddSub(OpenOffer::NewOrExisting));
    EXPECT_EQ(App().TaskList().Count(), 0);
    EXPECT_EQ(App().SubList().Count(), 0);
    EXPECT_TRUE(windows->addedModules.isEmpty());
    EXPECT_TRUE(presenter->shown.isEmpty());
    EXPECT_EQ(App().RcxSetup().Dirty, False);
}

TEST_F(ModuleManagementTest, NewTaskDefaults)
{
    addTask(QStringLiteral("First"));
    answer(QStringLiteral("Drive"));
    ASSERT_TRUE(AddTask(OpenOffer::NewOrExisting));
    ASSERT_TRUE(App().TaskList().Exists(QStringLiteral("Drive")));
    const TaskPtr t = App().TaskList().Item(QStringLiteral("Drive"));
    EXPECT_EQ(App().CurrentTask, t);
    EXPECT_EQ(t->Name, QStringLiteral("Drive"));
    EXPECT_EQ(t->mNumber, 2);
    EXPECT_EQ(t->mLoop, 1);
    EXPECT_EQ(t->StartOnStartup, 1);
    EXPECT_EQ(t->mTitle, QStringLiteral("[general task description]"));
    EXPECT_EQ(t->ModulType, 1);
    EXPECT_EQ(t->Dirty, True);
    EXPECT_EQ(App().RcxSetup().Dirty, True);
    EXPECT_EQ(App().TaskList().KeyAt(2), QStringLiteral("Drive"));
    ASSERT_EQ(windows->addedModules.size(), 1);
    EXPECT_EQ(windows->addedModules[0].name, QStringLiteral("Drive"));
    EXPECT_EQ(windows->addedModules[0].type, 1);
    EXPECT_EQ(windows->createDeskTopCount, 0);  // the caller opens the window
}

TEST_F(ModuleManagementTest, NewSubDefaults)
{
    addSub(QStringLiteral("First"));
    addTask(QStringLiteral("Main"));
    answer(QStringLiteral("Beeper"));
    ASSERT_TRUE(AddSub(OpenOffer::NewOrExisting));
    const SubPtr s = App().SubList().Item(QStringLiteral("Beeper"));
    EXPECT_EQ(App().CurrentSub, s);
    EXPECT_EQ(s->mNumber, 2);  // counted in the subs only
    EXPECT_EQ(s->mLoop, 0);
    EXPECT_EQ(s->mTitle, QStringLiteral("[general sub description]"));
    EXPECT_EQ(s->ModulType, 5);
    EXPECT_EQ(s->Dirty, True);
    EXPECT_EQ(App().RcxSetup().Dirty, True);
    ASSERT_EQ(windows->addedModules.size(), 1);
    EXPECT_EQ(windows->addedModules[0].name, QStringLiteral("Beeper"));
    EXPECT_EQ(windows->addedModules[0].type, 5);
    EXPECT_EQ(windows->createDeskTopCount, 0);
}

TEST_F(ModuleManagementTest, TasksAndSubsShareOneNameSpace)
{
    struct Case {
        const char* what;
        bool existingIsTask;
        bool addTask;
    };
    const Case cases[] = {
        {"sub named like a task", true, false},
        {"task named like a sub", false, true},
        {"task named like a task", true, true},
        {"sub named like a sub", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        if (c.existingIsTask)
            addTask(QStringLiteral("Arm"));
        else
            addSub(QStringLiteral("Arm"));
        answer(QStringLiteral("Arm"));
        EXPECT_FALSE(c.addTask ? AddTask(OpenOffer::NewOrExisting) : AddSub(OpenOffer::NewOrExisting));
        ASSERT_EQ(presenter->shown.size(), 1);
        EXPECT_EQ(presenter->shown[0].text, QStringLiteral("A module by that name already exists!"));
        EXPECT_EQ(presenter->shown[0].style, 48);
        EXPECT_EQ(App().TaskList().Count() + App().SubList().Count(), 1);
        EXPECT_TRUE(windows->addedModules.isEmpty());
        EXPECT_EQ(App().RcxSetup().Dirty, False);
    }
}

TEST_F(ModuleManagementTest, ANameDifferingOnlyInLetterCaseIsRefusedAsExisting)
{
    // The lists are keyed without regard to letter case, so the name check is
    // too: the clash is refused with the existing-name message, not a 457.
    struct Case {
        const char* what;
        bool newIsTask;
        bool existingIsTask;
        const char* existing;
        const char* typed;
    };
    const Case cases[] = {
        {"task beside task", true, true, "Drive", "DRIVE"},
        {"sub beside sub", false, false, "Beep", "BEEP"},
        {"sub beside task", false, true, "Drive", "drive"},
        {"task beside sub", true, false, "Beep", "bEEP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        if (c.existingIsTask)
            addTask(QString::fromLatin1(c.existing));
        else
            addSub(QString::fromLatin1(c.existing));
        answer(QString::fromLatin1(c.typed));
        bool added = true;
        EXPECT_EQ(failureNumber([&] { added = c.newIsTask ? AddTask(OpenOffer::NewOrExisting) : AddSub(OpenOffer::NewOrExisting); }), 0);
        EXPECT_FALSE(added);
        ASSERT_EQ(presenter->shown.size(), 1);
        EXPECT_EQ(presenter->shown[0].text, QStringLiteral("A module by that name already exists!"));
        EXPECT_EQ(presenter->shown[0].style, 48);
        EXPECT_EQ(App().TaskList().Count() + App().SubList().Count(), 1);
        EXPECT_TRUE(windows->addedModules.isEmpty());
    }
}

TEST_F(ModuleManagementTest, ExistingTaskOrSubWithoutItsFileIsNotAdded)
{
    answer(QStringLiteral("Ghost"), 1);
    answer(QStringLiteral("Ghost"), 1);
    EXPECT_FALSE(AddTask(OpenOffer::NewOrExisting));
    EXPECT_FALSE(AddSub(OpenOffer::NewOrExisting));
    EXPECT_EQ(App().TaskList().Count(), 0);
    EXPECT_EQ(App().SubList().Count(), 0);
    EXPECT_TRUE(windows->addedModules.isEmpty());
    EXPECT_EQ(App().RcxSetup().Dirty, False);
}

TEST_F(ModuleManagementTest, ExistingTaskAndSubAreReadFromTheirFiles)
{
    App().SetProjectName(QStringLiteral("Robot"));
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Projects/Robot.dir")));
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Subs")));
    clsTask savedTask;
    savedTask.Name = QStringLiteral("Drive");
    savedTask.mTitle = QStringLiteral("Saved task");
    ASSERT_TRUE(SaveTask(savedTask));
    clsSub savedSub;
    savedSub.Name = QStringLiteral("Beep");
    savedSub.mLoop = 1;
    savedSub.mTitle = QStringLiteral("Saved sub");
    ASSERT_TRUE(SaveSub(savedSub));
    addTask(QStringLiteral("Main"));

    answer(QStringLiteral("Drive"), 1);
    answer(QStringLiteral("Beep"), 1);
    ASSERT_TRUE(AddTask(OpenOffer::NewOrExisting));
    ASSERT_TRUE(AddSub(OpenOffer::NewOrExisting));
    EXPECT_TRUE(presenter->shown.isEmpty());

    const TaskPtr t = App().TaskList().Item(QStringLiteral("Drive"));
    EXPECT_EQ(App().CurrentTask, t);
    EXPECT_EQ(t->mNumber, 2);
    EXPECT_EQ(t->mTitle, QStringLiteral("Saved task"));
    EXPECT_EQ(t->mLoop, 0);
    EXPECT_EQ(t->StartOnStartup, 0);
    EXPECT_EQ(t->Dirty, False);
    const SubPtr s = App().SubList().Item(QStringLiteral("Beep"));
    EXPECT_EQ(App().CurrentSub, s);
    EXPECT_EQ(s->mNumber, 1);
    EXPECT_EQ(s->mTitle, QStringLiteral("Saved sub"));
    EXPECT_EQ(s->mLoop, 1);
    EXPECT_EQ(s->Dirty, False);
    EXPECT_EQ(App().RcxSetup().Dirty, True);
    ASSERT_EQ(windows->addedModules.size(), 2);  // once each, by the reader
    EXPECT_EQ(windows->addedModules[0].name, QStringLiteral("Drive"));
    EXPECT_EQ(windows->addedModules[1].type, 5);
}

TEST_F(ModuleManagementTest, TaskWhoseCommandsCannotBeReadIsNotReportedAsAdded)
{
    App().SetProjectName(QStringLiteral("Robot"));
    writeFile(folder.path() + QStringLiteral("/Projects/Robot.dir/Broken.tas"),
              "1,1,1,\"Broken\"\r\n\"M_ON\",\"0\",abc,,,,,\"\",\"\",1,,0,,0,1\r\n");

    answer(QStringLiteral("Broken"), 1);
    EXPECT_FALSE(AddTask(OpenOffer::NewOrExisting));
    EXPECT_FALSE(App().TaskList().Exists(QStringLiteral("Broken")));
    EXPECT_EQ(App().RcxSetup().Dirty, False);
    EXPECT_FALSE(presenter->shown.isEmpty());  // the reader said why
}

// A dialog that closed itself while it opened (a Joystick & Keyboard
// project's only task is named without asking) still gives its choice.
TEST_F(ModuleManagementTest, DialogClosedWhileOpeningStillAddsTheTask)
{
    windows->onOpenDialog = [](Long, Long) {
        OpenChoice choice;
        choice.canceled = false;
        choice.name = QStringLiteral("The task");
        choice.taskAction = 2;
        return choice;
    };
    EXPECT_TRUE(AddTask(1));
    EXPECT_TRUE(App().TaskList().Exists(QStringLiteral("The task")));
    EXPECT_TRUE(presenter->shown.isEmpty());
}

// A task and a sub go the one way: a failure of the dialog is shown, nothing
// is added and nothing reaches the caller.
TEST_F(ModuleManagementTest, OtherDialogFailureIsReportedByAddTaskAndAddSubAlike)
{
    const std::pair<const char*, std::function<bool()>> adds[] = {
        {"task", [] { return AddTask(OpenOffer::NewOrExisting); }},
        {"sub", [] { return AddSub(OpenOffer::NewOrExisting); }},
    };
    for (const auto& [what, add] : adds) {
        SCOPED_TRACE(what);
        fresh();
        windows->onOpenDialog = [](Long, Long) -> OpenChoice { raiseError(Err::FileNotFound); };
        bool added = true;
        EXPECT_EQ(failureNumber([&] { added = add(); }), 0);
        EXPECT_FALSE(added);
        ASSERT_EQ(presenter->shown.size(), 1);
        EXPECT_EQ(presenter->shown[0].text, QStringLiteral("File not found"));
        EXPECT_EQ(presenter->shown[0].style, 48);
        EXPECT_EQ(App().TaskList().Count() + App().SubList().Count(), 0);
        EXPECT_TRUE(windows->addedModules.isEmpty());
        EXPECT_EQ(App().RcxSetup().Dirty, False);
    }
}

// A task taken out of the project keeps its file in the project's folder, and
// a file may lie there that no task of the project names. A new task of that
// name, letter case aside, is refused before its save could replace the file
// with an empty task; the file is still taken in as an existing task.
TEST_F(ModuleManagementTest, ANewTaskNamedLikeATaskFileInTheProjectFolderIsRefused)
{
    const QString projectFolder = folder.path() + QStringLiteral("/Projects/Robot.dir");
    const QByteArray drive = "1,1,2,\"Drives forward\"\r\n"
                             "\"G_DISPLAY\",\"\",-1,130,\"Display normal\",-1,-1,\"Display\",\"normal\",3,,0,,0,3\r\n";
    auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    struct Case {
        const char* file;   // the file in the project's folder
        const char* typed;  // the new task's name
    };
    const Case cases[] = {
        {"Drive", "Drive"}, {"Drive", "drive"}, {"Drive", "DRIVE"},  // a task taken out
        {"old Arm", "Old arm"},                                      // a stray file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        fresh();
        QDir(projectFolder).removeRecursively();
        const QString filePath = projectFolder + QLatin1Char('/') + QLatin1String(c.file) + QStringLiteral(".tas");
        writeFile(projectFolder + QStringLiteral("/Robot.qmd"), "0\r\n");
        writeFile(filePath, drive);
        App().SetProjectName(QStringLiteral("Robot"));
        App().ProjectAction = 1;
        addTask(QStringLiteral("Main"));

        answer(QString::fromLatin1(c.typed));
        EXPECT_FALSE(AddTask(OpenOffer::NewOrExisting));
        ASSERT_EQ(presenter->shown.size(), 1);
        EXPECT_EQ(presenter->shown[0].text,
                  QStringLiteral("A task named \"%1\" already exists. Add it to the project as an existing task: "
                                 "\"New/Open task\", tab \"Existing task\".")
                      .arg(QLatin1String(c.file)));
        EXPECT_EQ(presenter->shown[0].style, 48);
        EXPECT_EQ(App().TaskList().Count(), 1);
        EXPECT_EQ(App().CurrentTask, nullptr);
        EXPECT_TRUE(windows->addedModules.isEmpty());
        EXPECT_EQ(App().RcxSetup().Dirty, False);

        // Saving the project writes nothing over the file.
        presenter->shown.clear();
        ASSERT_TRUE(SaveProject());
        EXPECT_TRUE(presenter->shown.isEmpty());
        EXPECT_EQ(bytes(filePath), drive);
        QStringList expected{QLatin1String(c.file) + QStringLiteral(".tas"), QStringLiteral("Main.tas")};
        expected.sort();
        EXPECT_EQ(QDir(projectFolder).entryList({QStringLiteral("*.tas")}, QDir::Files), expected);

        answer(QString::fromLatin1(c.file), 1);
        ASSERT_TRUE(AddTask(OpenOffer::NewOrExisting));
        EXPECT_TRUE(presenter->shown.isEmpty());
        const TaskPtr t = App().TaskList().Item(QString::fromLatin1(c.file));
        EXPECT_EQ(t->mTitle, QStringLiteral("Drives forward"));
        ASSERT_TRUE(t->Commands()->Exists(QStringLiteral("0003")));
        EXPECT_EQ(t->Commands()->Item(QStringLiteral("0003"))->KeyText(), QStringLiteral("G_DISPLAY"));
        EXPECT_EQ(bytes(filePath), drive);
    }
}

// A new project has no folder yet: its first task is not refused.
TEST_F(ModuleManagementTest, ANewTaskOfANewProjectIsNotRefused)
{
    writeFile(folder.path() + QStringLiteral("/Projects/Other.dir/Drive.tas"), "1,1,1,\"Other's\"\r\n");
    App().SetProjectName(QStringLiteral("Robot"));
    App().ProjectAction = 2;
    answer(QStringLiteral("Drive"));
    EXPECT_TRUE(AddTask(OpenOffer::NewOrExisting));
    EXPECT_TRUE(presenter->shown.isEmpty());
    EXPECT_TRUE(App().TaskList().Exists(QStringLiteral("Drive")));
}

// The Subs folder is shared by every project: a new sub in project Other
// named like the sub Helper of project Robot, letter case aside, is refused
// before anything could replace Robot's file; taking Helper in as an existing
// sub still works.
TEST_F(ModuleManagementTest, ANewSubNamedLikeASubFileOfAnotherProjectIsRefused)
{
    const QString helperPath = folder.path() + QStringLiteral("/Subs/Helper.sub");
    const QByteArray helper = "0,1,1,\"Beeps twice\"\r\n"
                              "\"G_DISPLAY\",\"\",-1,130,\"Display normal\",-1,-1,\"Display\",\"normal\",3,,0,,0,3\r\n";
    writeFile(folder.path() + QStringLiteral("/Projects/Robot.dir/Robot.qmd"), "0\r\n");
    writeFile(helperPath, helper);
    auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    App().SetProjectName(QStringLiteral("Other"));
    App().ProjectAction = 2;
    addTask(QStringLiteral("Main"));

    const QString refused = QStringLiteral("A sub named \"Helper\" already exists. Add it to the project as an "
                                           "existing sub: \"New/Open sub\", tab \"Existing sub\".");
    for (const char* typed : {"Helper", "helper", "HELPER"}) {
        SCOPED_TRACE(typed);
        presenter->shown.clear();
        answer(QString::fromLatin1(typed));
        EXPECT_FALSE(AddSub(OpenOffer::NewOrExisting));
        ASSERT_EQ(presenter->shown.size(), 1);
        EXPECT_EQ(presenter->shown[0].text, refused);
        EXPECT_EQ(presenter->shown[0].style, 48);
        EXPECT_EQ(App().SubList().Count(), 0);
        EXPECT_EQ(App().CurrentSub, nullptr);
        EXPECT_TRUE(windows->addedModules.isEmpty());
    }
    // Saving project Other now writes nothing over Robot's sub.
    presenter->shown.clear();
    ASSERT_TRUE(SaveProject());
    EXPECT_TRUE(presenter->shown.isEmpty());
    EXPECT_EQ(bytes(helperPath), helper);
    EXPECT_EQ(QDir(folder.path() + QStringLiteral("/Subs")).entryList(QDir::Files), QStringList{"Helper.sub"});

    answer(QStringLiteral("Helper"), 1);
    ASSERT_TRUE(AddSub(OpenOffer::NewOrExisting));
    EXPECT_TRUE(presenter->shown.isEmpty());
    const SubPtr s = App().SubList().Item(QStringLiteral("Helper"));
    EXPECT_EQ(s->mTitle, QStringLiteral("Beeps twice"));
    EXPECT_EQ(s->mLoop, 1);
    ASSERT_TRUE(s->Commands()->Exists(QStringLiteral("0003")));
    EXPECT_EQ(s->Commands()->Item(QStringLiteral("0003"))->KeyText(), QStringLiteral("G_DISPLAY"));
    EXPECT_EQ(bytes(helperPath), helper);
}

// ---- Name rules ----

TEST(ModuleNames, ValidNames)
{
    struct Case {
        QString name;
        bool valid;
    };
    const Case cases[] = {
        {QStringLiteral("Drive"), true},
        {QStringLiteral("drive2"), true},
        {QStringLiteral("My task 2"), true},
        {QStringLiteral(" lead"), true},
        {QStringLiteral("x0"), true},
        {QStringLiteral("1Task"), false},
        {QStringLiteral("0"), false},
        {QStringLiteral("9 lives"), false},
        {QStringLiteral("a-b"), false},
        {QStringLiteral("a_b"), false},
        {QStringLiteral("-ab"), false},
        {QStringLiteral("_ab"), false},
        {QStringLiteral("ab."), false},
        {QStringLiteral("a\tb"), false},
        {QString(QChar(224)) + QChar(233) + QChar(250), true},  // codes 224..250
        {QStringLiteral("caf") + QChar(233), true},
        {QStringLiteral("a") + QChar(223), false},  // 223, just below
        {QStringLiteral("a") + QChar(251), false},  // 251, just above
        {QStringLiteral("a") + QChar(192), false},  // capital accented letters are not in the range
        {QStringLiteral("a") + QChar(0x20AC), false},
        {QStringLiteral("a") + QChar(0x0101), false},
        {QString(QChar(0x0661)), false},  // a digit of another script
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(IsValidModuleName(c.name), c.valid);
    }
}

TEST(ModuleNames, EmptyNameFailsWithInvalidCall)
{
    EXPECT_EQ(failureNumber([] { IsValidModuleName(QString()); }), Err::InvalidCall);
}

TEST_F(ModuleManagementTest, NameExistsComparesWithoutLetterCaseAndByKind)
{
    addTask(QStringLiteral("Drive"));
    addSub(QStringLiteral("Beep"));
    const auto& tasks = App().TaskList();
    const auto& subs = App().SubList();
    EXPECT_TRUE(ModuleNameExists(tasks, QStringLiteral("Drive"), 1));
    EXPECT_TRUE(ModuleNameExists(tasks, QStringLiteral("drive"), 1));
    EXPECT_FALSE(ModuleNameExists(tasks, QStringLiteral("Drive "), 1));
    EXPECT_FALSE(ModuleNameExists(tasks, QStringLiteral("Beep"), 1));
    EXPECT_TRUE(ModuleNameExists(subs, QStringLiteral("Beep"), 5));
    EXPECT_TRUE(ModuleNameExists(subs, QStringLiteral("BEEP"), 5));
    for (Long kind : {0, 2, 3, 4, 6, -1}) {
        SCOPED_TRACE(kind);
        EXPECT_FALSE(ModuleNameExists(tasks, QStringLiteral("Drive"), kind));
        EXPECT_FALSE(ModuleNameExists(subs, QStringLiteral("Beep"), kind));
    }
}

// ---- Changed state ----

TEST_F(ModuleManagementTest, IsDirtyByKind)
{
    struct Case {
        bool setup, task, sub;
        bool k0, k1, k2, k3;
    };
    const Case cases[] = {
        {false, false, false, false, false, false, false},
        {true, false, false, true, true, false, false},
        {false, true, false, true, false, true, false},
        {false, false, true, true, false, false, true},  // only a sub changed
        {true, true, true, true, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.setup << c.task << c.sub);
        fresh();
        addTask(QStringLiteral("A"));
        const TaskPtr b = addTask(QStringLiteral("B"));
        const SubPtr s = addSub(QStringLiteral("S"));
        addSub(QStringLiteral("T"));
        App().SetSetupDirty(toBoolean(c.setup));
        b->Dirty = toBoolean(c.task);
        s->Dirty = toBoolean(c.sub);
        EXPECT_EQ(IsDirty(0), c.k0);
        EXPECT_EQ(IsDirty(1), c.k1);
        EXPECT_EQ(IsDirty(2), c.k2);
        EXPECT_EQ(IsDirty(3), c.k3);
        EXPECT_FALSE(IsDirty(4));
        EXPECT_FALSE(IsDirty(-1));
    }
}

// The module marked is told with what of it changed; a name no module has
// exactly marks and tells nothing.
TEST_F(ModuleManagementTest, MarkModuleDirtyPrefersTheTaskAndTellsTheEdit)
{
    struct Case {
        const char* name;
        ModulePart part;
        bool taskDirty, subDirty, otherSubDirty;
        const char* told;
    };
    const Case cases[] = {
        // A task and a sub hold it: the task only.
        {"Both", ModulePart::Commands, true, false, false, "ModuleChanged(Both,1,commands)"},
        {"OnlySub", ModulePart::Heading, false, false, true, "ModuleChanged(OnlySub,5,heading)"},
        {"Unknown", ModulePart::Commands, false, false, false, nullptr},
        {"both", ModulePart::Commands, false, false, false, nullptr},  // letter case counts
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        const TaskPtr t = addTask(QStringLiteral("Both"));
        const SubPtr s = addSub(QStringLiteral("Both"));
        const SubPtr o = addSub(QStringLiteral("OnlySub"));
        windows->log.clear();
        MarkModuleDirty(QString::fromLatin1(c.name), c.part);
        EXPECT_EQ(t->Dirty != 0, c.taskDirty);
        EXPECT_EQ(s->Dirty != 0, c.subDirty);
        EXPECT_EQ(o->Dirty != 0, c.otherSubDirty);
        EXPECT_EQ(App().RcxSetup().Dirty, False);
        EXPECT_EQ(windows->log, c.told ? QStringList{QString::fromLatin1(c.told)} : QStringList());
    }
}

// ---- Editor windows ----

TEST_F(ModuleManagementTest, OpeningATaskWindowFillsItInOrder)
{
    const TaskPtr t = addTask(QStringLiteral("Drive"));
    t->mLoop = 1;
    t->StartOnStartup = 0;
    t->mTitle = QStringLiteral("Go forward");
    // Filling the window changes nothing of the task (the window's own
    // setters mark nothing); an edit made meanwhile, in another window, counts.
    const SubPtr other = addSub(QStringLiteral("Other"));
    windows->onDoEvents = [&] { MarkModuleDirty(QStringLiteral("Other")); };

    OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QStringLiteral("ignored caption"));

    ASSERT_EQ(windows->windows.size(), 1u);
    FakeCommandWindow* w = windows->lastWindow();
    EXPECT_EQ(t->CommandWindow, w);
    EXPECT_EQ(w->owner, t.get());
    EXPECT_EQ(w->calls, (QStringList{
                            QStringLiteral("setMyCommandBlock()"),
                            QStringLiteral("Show()"),
                            QStringLiteral("setParentCaption(ignored caption)"),
                            QStringLiteral("setFormType(1)"),
                            QStringLiteral("setParentTaskName(Drive)"),
                            QStringLiteral("setTaskLoop(1)"),
                            QStringLiteral("setStartOnStartup(0)"),
                            QStringLiteral("setTitleText(Go forward)"),
                            QStringLiteral("setCaption(Drive)"),
                            QStringLiteral("ZOrder()"),
                        }));
    EXPECT_EQ(windows->doEventsCount, 1);
    EXPECT_EQ(t->Dirty, False);
    EXPECT_EQ(other->Dirty, True);
    EXPECT_EQ(windows->ActiveDeskTop(), w);
}

TEST_F(ModuleManagementTest, OpeningASubWindowHidesTheStartUpBox)
{
    const SubPtr s = addSub(QStringLiteral("Beep"));
    s->mLoop = 0;
    s->mTitle = QStringLiteral("Two beeps");
    OpenCommandWindow(ModuleKind::Sub, s.get(), QStringLiteral("other"), QString());
    FakeCommandWindow* w = windows->lastWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->formType, 5);
    EXPECT_EQ(w->parentTaskName, QStringLiteral("Beep"));
    EXPECT_EQ(w->caption, QStringLiteral("Beep"));
    EXPECT_EQ(w->taskLoop, 0);
    EXPECT_EQ(w->taskLoopCaption, QStringLiteral("Sub in loop"));
    EXPECT_FALSE(w->startOnStartupVisible);
    EXPECT_EQ(w->count(QStringLiteral("setStartOnStartup")), 0);
    EXPECT_EQ(w->titleText, QStringLiteral("Two beeps"));
    EXPECT_EQ(s->CommandWindow, w);
}

TEST_F(ModuleManagementTest, BlockBodyWindowsTakeTheParentTaskName)
{
    for (Long kind : {ModuleKind::IfBody, ModuleKind::WhileBody, ModuleKind::LoopBody}) {
        SCOPED_TRACE(kind);
        clsCommand block;
        block.Commands = std::make_shared<CommandCollection>();
        OpenCommandWindow(kind, &block, QStringLiteral("Drive"), QStringLiteral("IF Timer 1 > 10"));
        FakeCommandWindow* w = windows->lastWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->owner, &block);
        EXPECT_EQ(w->formType, kind);
        EXPECT_EQ(w->parentCaption, QStringLiteral("IF Timer 1 > 10"));
        EXPECT_EQ(w->parentTaskName, QStringLiteral("Drive"));
        EXPECT_EQ(w->caption, QStringLiteral("Drive"));
        EXPECT_EQ(w->count(QStringLiteral("setTaskLoop")), 0);
        EXPECT_EQ(w->count(QStringLiteral("setTitleText")), 0);
        EXPECT_EQ(block.CommandWindow, w);
        w->Close();
        EXPECT_EQ(block.CommandWindow, nullptr);
    }
}

// A target (where a compile's fault lies) opens its grid's window with the
// cursor on the cell; one not set, or whose owner has gone since, opens none.
TEST_F(ModuleManagementTest, ATargetOpensItsWindowOnTheCellWhileItsOwnerLives)
{
    auto block = std::make_shared<clsCommand>();
    block->Commands = std::make_shared<CommandCollection>();
    OpenCommandWindow(CommandWindowTarget{ModuleKind::LoopBody, block, QStringLiteral("Drive"), QStringLiteral("2 times")},
                      QStringLiteral("0103"));
    FakeCommandWindow* w = windows->lastWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->owner, block.get());
    EXPECT_EQ(w->formType, ModuleKind::LoopBody);
    EXPECT_EQ(w->parentTaskName, QStringLiteral("Drive"));
    EXPECT_EQ(w->parentCaption, QStringLiteral("2 times"));
    EXPECT_EQ(w->cursorPos, QStringLiteral("0103"));

    CommandWindowTarget gone{ModuleKind::Task, std::make_shared<clsTask>()};  // its owner is dropped at once
    for (const CommandWindowTarget& t : {CommandWindowTarget{}, gone}) {
        SCOPED_TRACE(t.kind);
        OpenCommandWindow(t, QStringLiteral("0001"));
        EXPECT_EQ(windows->createDeskTopCount, 1);
        EXPECT_EQ(w->count(QStringLiteral("setCursorPos")), 1);
    }
}

TEST_F(ModuleManagementTest, SecondOpenBringsTheFirstWindowForward)
{
    const TaskPtr t = addTask(QStringLiteral("Drive"));
    OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QString());
    FakeCommandWindow* first = windows->lastWindow();
    const SubPtr s = addSub(QStringLiteral("Other"));
    OpenCommandWindow(ModuleKind::Sub, s.get(), QString(), QString());
    ASSERT_EQ(windows->activeDeskTop, windows->lastWindow());

    OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QString());
    EXPECT_EQ(windows->createDeskTopCount, 2);
    EXPECT_EQ(first->zOrderCount, 2);
    EXPECT_EQ(first->count(QStringLiteral("Show")), 1);
    EXPECT_EQ(windows->activeDeskTop, first);

    // Once closed, the next request creates a new window.
    first->Close();
    OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QString());
    EXPECT_EQ(windows->createDeskTopCount, 3);
    EXPECT_EQ(t->CommandWindow, windows->lastWindow());
}

TEST_F(ModuleManagementTest, WithoutWindowsNothingIsOpened)
{
    windows->createWindows = false;
    const TaskPtr t = addTask(QStringLiteral("Drive"));
    OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QString());
    EXPECT_EQ(windows->createDeskTopCount, 1);
    EXPECT_EQ(t->CommandWindow, nullptr);
    EXPECT_EQ(windows->doEventsCount, 0);
    EXPECT_TRUE(presenter->shown.isEmpty());
}

TEST_F(ModuleManagementTest, FailuresWhileFillingAWindowAreReported)
{
    struct Case {
        int number;
        const char* text;
        int style;
    };
    const Case cases[] = {
        {Err::OutOfMemory, "Out of memory, Close some windows and try again", 16},
        {50003, "Out of memory, Close some windows and try again", 16},
        {Err::TypeMismatch, "Error: 13 in OpenCommandWindow", 48},
        {Err::ObjectNotSet, nullptr, 0},  // passed over, the window is filled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        fresh();
        const TaskPtr t = addTask(QStringLiteral("Drive"));
        const int number = c.number;
        windows->onDoEvents = [number] { raiseError(number); };
        OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QStringLiteral("cap"));
        FakeCommandWindow* w = windows->lastWindow();
        ASSERT_NE(w, nullptr);
        if (c.text) {
            ASSERT_EQ(presenter->shown.size(), 1);
            EXPECT_EQ(presenter->shown[0].text, QString::fromLatin1(c.text));
            EXPECT_EQ(presenter->shown[0].style, c.style);
            EXPECT_TRUE(w->parentCaption.isEmpty());  // the remaining steps are skipped
            EXPECT_EQ(w->zOrderCount, 0);
        } else {
            EXPECT_TRUE(presenter->shown.isEmpty());
            EXPECT_EQ(w->parentCaption, QStringLiteral("cap"));
            EXPECT_EQ(w->caption, QStringLiteral("Drive"));
        }
    }
}

TEST_F(ModuleManagementTest, FailingStepInsideTheWindowIsPassedOverOnlyFor91)
{
    const TaskPtr t = addTask(QStringLiteral("Drive"));
    // Every window the services create fails in setFormType.
    int failWith = Err::ObjectNotSet;
    windows->onDoEvents = [&] {
        windows->lastWindow()->onCall = [&](const QString& call) {
            if (call.startsWith(QLatin1String("setFormType")))
                raiseError(failWith);
        };
    };
    OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QString());
    FakeCommandWindow* w = windows->lastWindow();
    EXPECT_EQ(w->formType, 0);
    EXPECT_EQ(w->parentTaskName, QStringLiteral("Drive"));
    EXPECT_EQ(w->caption, QStringLiteral("Drive"));
    EXPECT_TRUE(presenter->shown.isEmpty());

    w->Close();
    failWith = Err::InvalidCall;
    OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QString());
    FakeCommandWindow* w2 = windows->lastWindow();
    ASSERT_NE(w2, w);
    EXPECT_TRUE(w2->parentTaskName.isEmpty());
    ASSERT_EQ(presenter->shown.size(), 1);
    EXPECT_EQ(presenter->shown[0].text, QStringLiteral("Error: 5 in OpenCommandWindow"));
}

// ---- Texts ----

TEST(ModuleTexts, ReplaceCrLfKeepsTheLength)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("first\r\nsecond"), QStringLiteral("first  second")},
        {QStringLiteral("\r\n\r\n"), QStringLiteral("    ")},
        {QStringLiteral("a\nb"), QStringLiteral("a\nb")},
        {QStringLiteral("a\rb"), QStringLiteral("a\rb")},
        {QStringLiteral("a\n\r\nb"), QStringLiteral("a\n  b")},
        {QString(), QString()},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in.toStdString());
        EXPECT_EQ(ReplaceCrLf(in), out);
        EXPECT_EQ(ReplaceCrLf(in).size(), in.size());
    }
}

TEST_F(ModuleManagementTest, ShowMessageUsesInformationForStyleZero)
{
    presenter->answers = {MsgResult::Cancel};
    EXPECT_EQ(ShowMessage(QStringLiteral("Hello")), MsgResult::Cancel);
    ShowMessage(QStringLiteral("Careful"), 48);
    ASSERT_EQ(presenter->shown.size(), 2);
    EXPECT_EQ(presenter->shown[0].style, 64);
    EXPECT_TRUE(presenter->shown[0].title.isEmpty());
    EXPECT_EQ(presenter->shown[1].style, 48);
}

// ---- The process-wide state ----

TEST(ProcessState, ResetGivesAFreshStateWithQuietServices)
{
    ResetApp();
    AppState& dirty = App();
    auto t = std::make_shared<clsTask>();
    t->Name = QStringLiteral("Drive");
    dirty.AddModule(t);
    dirty.AddObject(std::make_shared<clsObject>(), QStringLiteral("Speed"));
    dirty.ImmediateCommands.Add(1, QStringLiteral("M_ON"));
    dirty.SetSetupDirty(True);
    dirty.StopRun = False;
    dirty.SetProjectType(ProjectType::JoystickKeyboard);
    dirty.ProjectAction = 2;
    dirty.Notifier->SetPointer(PointerShape::Hourglass);
    dirty.Config->SetForRun(Setting::ComPort, Integer(2));
    FakePresenter presenter;
    dirty.Presenter = &presenter;
    dirty.Settings->SaveSetting(QStringLiteral("com"), QStringLiteral("comport"), QStringLiteral("2"));

    ResetApp();
    const AppState& a = App();
    EXPECT_EQ(a.TaskList().Count(), 0);
    EXPECT_EQ(a.SubList().Count(), 0);
    EXPECT_EQ(a.ObjectList().Count(), 0);
    EXPECT_EQ(a.VariableDefs().Count(), 0);
    EXPECT_EQ(a.ImmediateCommands.Count(), 0);
    EXPECT_EQ(a.RcxSetup().Dirty, False);
    EXPECT_EQ(a.StopRun, True);  // no run on the PC is going
    EXPECT_EQ(a.RcxWindowRequested, False);
    EXPECT_EQ(ProjectTypeNumber(a.ProjectType()), 0);
    EXPECT_EQ(a.ProjectAction, 0);
    EXPECT_EQ(a.Notifier->Pointer(), PointerShape::Default);  // a fresh notifier
    EXPECT_EQ(a.Config->Value(Setting::ComPort), -1);  // no port known
    EXPECT_EQ(a.Ports, nullptr);
    EXPECT_NE(a.Presenter, &presenter);
    EXPECT_EQ(a.Settings->GetSetting(QStringLiteral("com"), QStringLiteral("comport"), QStringLiteral("-1")),
              QStringLiteral("-1"));
    // The quiet defaults answer without showing anything.
    EXPECT_EQ(ShowMessage(QStringLiteral("Save project"), 35), MsgResult::Yes);
    EXPECT_EQ(ShowMessage(QStringLiteral("Replace command"), 49), MsgResult::OK);
    EXPECT_FALSE(a.Joystick->GetDevCaps().ok);
    EXPECT_EQ(a.Shell->CreateDeskTop(), nullptr);
    ResetApp();
}

TEST(ProcessState, ControlIsReachedAsPBAndIsMissingAs91)
{
    ResetApp();
    EXPECT_EQ(failureNumber([] { PB().PBAlive(); }), Err::ObjectNotSet);
    RecordingControl pb;
    App().Ports = &pb;
    EXPECT_EQ(&PB(), &pb);
    Integer task = 1;
    PB().BeginOfTask(task);
    EXPECT_EQ(pb.calls(), QStringList{QStringLiteral("BeginOfTask(&1)")});
    ResetApp();
    EXPECT_EQ(failureNumber([] { PB(); }), Err::ObjectNotSet);
}

}  // namespace
