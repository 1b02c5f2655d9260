// The project compile and download, the tower port, the set-up module's
// brick operations, and the control's events.
#include "CompilerFixture.h"

#include "compiler/ModuleCompile.h"
#include "compiler/ProjectCompile.h"
#include "link/BrickHold.h"
#include "link/PortScan.h"
#include "compiler/Translate.h"
#include "link/PortSelector.h"
#include "link/protocol/RcxRequests.h"
#include "link/tower/TowerTransport.h"
#include "link/vbrick/PtyResponder.h"
#include "model/Config.h"
#include "model/FirmwareImage.h"
#include "model/Notifier.h"
#include "model/ProjectFile.h"
#include "support/ProjectSetup.h"
#include "support/CompileFault.h"
#include "support/Failures.h"
#include "support/LinkPorts.h"
#include "support/PrintTexts.h"
#include "support/TestFiles.h"
#include "support/TowerTime.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <functional>

namespace {

// Records the unloading of the preview window too.
using PreviewWindows = FakeWindows;

class DownloadTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        preview.Install();
        connectMotor(0);
        pb.setEventSink(&events);
    }

    // Two tasks and a sub, each with one command.
    void smallProject()
    {
        Cmd::place(*addTask("Main", 1, 0, 1)->Commands(), 0, {Cmd("M_ON").motors("0")});
        Cmd::place(*addTask("Other", 2)->Commands(), 0, {Cmd("M_OFF").motors("0").op(1)});
        Cmd::place(*addSub("Blink", 1)->Commands(), 0, {Cmd("M_FWD").motors("0")});
        App().InitParams->setConfirmDownload(0);
        preview.log.clear();  // what making the project told
    }

    // Task "Main" alone in the project, holding the command in row 2: after a
    // motor command, or in the body of a WHILE that stands there. Returns the
    // owner of the command's grid.
    CommandOwner* mainHolding(const Cmd& command, bool inBody)
    {
        RemoveAllTasks();
        presenter.shown.clear();
        preview.windows.clear();
        TaskPtr main = addTask("Main", 1);
        Cmd outer = Cmd("L_WHILE").p1(0, "Count").op(1).p2(2, "9").body({Cmd("M_ON").motors("0"), command});
        Cmd::place(*main->Commands(), 0, {Cmd("M_ON").motors("0"), inBody ? outer : command});
        return inBody ? static_cast<CommandOwner*>(outer.c.get()) : main.get();
    }

    // How often the operation stands in the log since it was last cleared.
    int called(const char* operation) const
    {
        return int(calledOperations().count(QString::fromLatin1(operation)));
    }

    QStringList calledOperations() const
    {
        QStringList ops;
        for (const QString& c : pb.calls())
            ops.append(c.left(c.indexOf(QLatin1Char('('))).section(QLatin1Char(' '), 0, 0));
        return ops;
    }

    PreviewWindows preview;
    ControlEventHandler events{App()};
};

// ---- Compile ----

TEST_F(DownloadTest, ErrorAtTaskLevelOpensTheTaskWindow)
{
    TaskPtr main = addTask("Main", 1);
    Cmd::place(*main->Commands(), 0, {Cmd("M_ON").motors("0"), Cmd("M_ON").motors("1")});
    SubPtr sub = addSub("Blink", 1);
    Cmd::place(*sub->Commands(), 0, {Cmd("M_ON")});

    const CompileResult compiled = CompileProject(App());
    EXPECT_FALSE(compiled.ok);
    EXPECT_EQ(compiled.CompileError, QStringLiteral(" -> ERROR: Nothing connected to output port B"));
    EXPECT_EQ(compiled.ErrorCell, QStringLiteral("0002"));
    // The task's own level: the task is where the fault lies.
    EXPECT_EQ(compiled.ErrorWindow.kind, ModuleKind::Task);
    EXPECT_EQ(compiled.ErrorWindow.owner.lock().get(), main.get());
    EXPECT_TRUE(compiled.ErrorWindow.parentTaskName.isEmpty());
    EXPECT_TRUE(preview.windows.empty());  // the compile opens none

    ShowFaultInItsWindow(compiled);
    ASSERT_EQ(preview.windows.size(), 1u);
    FakeCommandWindow* w = preview.lastWindow();
    EXPECT_EQ(w->owner, main.get());
    EXPECT_EQ(w->formType, ModuleKind::Task);
    EXPECT_EQ(w->cursorPos, QStringLiteral("0002"));
    // The sub after the failed task is not compiled.
    EXPECT_FALSE(compiled.ListingText.contains(QStringLiteral("Blink")));
    EXPECT_TRUE(compiled.ListingText.contains(QStringLiteral("'***   Main    ***")));

    // Compiling again brings the same window forward.
    preview.activeDeskTop = nullptr;
    const CompileResult again = CompileProject(App());
    EXPECT_FALSE(again.ok);
    ShowFaultInItsWindow(again);
    EXPECT_EQ(preview.windows.size(), 1u);
    EXPECT_EQ(preview.activeDeskTop, w);
}

TEST_F(DownloadTest, ErrorInSubOpensTheSubWindow)
{
    addTask("Main", 1);
    SubPtr sub = addSub("Blink", 1);
    Cmd::place(*sub->Commands(), 0, {Cmd("L_SUB").p1(2, "Blink")});
    const CompileResult compiled = CompileProject(App());
    EXPECT_FALSE(compiled.ok);
    EXPECT_EQ(compiled.CompileError, QStringLiteral(" -> ERROR: SUB cannot be called from another SUB!"));
    EXPECT_EQ(compiled.ErrorCell, QStringLiteral("0001"));
    EXPECT_EQ(compiled.ErrorWindow.kind, ModuleKind::Sub);
    ShowFaultInItsWindow(compiled);
    ASSERT_NE(preview.lastWindow(), nullptr);
    EXPECT_EQ(preview.lastWindow()->owner, sub.get());
    EXPECT_EQ(preview.lastWindow()->formType, ModuleKind::Sub);
    EXPECT_EQ(preview.lastWindow()->cursorPos, QStringLiteral("0001"));
}

// A shell that counts what is asked of it.
struct CountingShell : IShellRequests {
    int asked = 0;
    ICommandWindow* CreateDeskTop() override { return ++asked, nullptr; }
    ICommandWindow* ActiveDeskTop() override { return ++asked, nullptr; }
    void DoEvents() override { ++asked; }
};

// A compile works on the state it is handed and only answers: a faulty
// project of a state of its own is listed and told there, and the process
// state (its windows, signals, boxes, pointer and listing) hears nothing.
TEST_F(DownloadTest, AFaultyProjectCompiledOnAStateOfItsOwnLeavesTheProcessStateAlone)
{
    AppState local;
    FakePresenter localPresenter;
    CountingShell localShell;
    local.Presenter = &localPresenter;
    local.Shell = &localShell;
    local.EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
    auto count = std::make_shared<clsObject>();
    count->Name = QStringLiteral("Count");
    count->Number = 4;
    local.AddObject(count, count->Name);
    auto main = std::make_shared<clsTask>();
    main->Name = QStringLiteral("Main");
    main->mNumber = 1;
    main->ModulType = ModuleKind::Task;
    local.AddModule(main);
    Cmd loop = Cmd("L_WHILE").p1(0, "Count").op(1).p2(2, "9").caption("Count < 9").body(
        {Cmd("M_ON").motors("0"), Cmd("M_ON")});
    Cmd::place(*main->Commands(), 0, {Cmd("M_ON").motors("0"), loop});
    QList<int> localPointers;
    QObject::connect(local.Notifier.get(), &Notifier::PointerChanged, [&](int shape) { localPointers.append(shape); });
    // The process state's project would list nothing at all.
    App().SetProjectType(ProjectType::JoystickKeyboard);
    windows.log.clear();
    preview.log.clear();

    const CompileResult compiled = CompileProject(local);

    EXPECT_FALSE(compiled.ok);
    EXPECT_EQ(compiled.CompileError, QStringLiteral(" -> ERROR: No motor list !"));
    EXPECT_EQ(compiled.ErrorCell, QStringLiteral("0002"));
    EXPECT_EQ(compiled.ErrorWindow.kind, ModuleKind::WhileBody);
    EXPECT_EQ(compiled.ErrorWindow.owner.lock().get(), loop.c.get());
    EXPECT_EQ(compiled.ErrorWindow.parentTaskName, QStringLiteral("Main"));
    EXPECT_EQ(compiled.ErrorWindow.parentCaption, QStringLiteral("Count < 9"));
    EXPECT_TRUE(compiled.Listed);
    EXPECT_TRUE(compiled.ListingText.contains(QStringLiteral("'***   Main    ***\r\n")));
    EXPECT_TRUE(compiled.ListingText.contains(QStringLiteral(" .While 0,4,1,2,9\r\n\t .On 0\r\n")));
    // Even its own state's shell opened nothing; its pointer was busy meanwhile.
    EXPECT_EQ(localShell.asked, 0);
    EXPECT_EQ(localPointers, (QList<int>{PointerShape::Hourglass, PointerShape::Default}));
    EXPECT_TRUE(localPresenter.shown.isEmpty());
    EXPECT_EQ(main->CommandWindow, nullptr);

    EXPECT_EQ(windows.log, QStringList());
    EXPECT_EQ(preview.log, QStringList());
    EXPECT_EQ(preview.createDeskTopCount, 0);
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(App().Notifier->Pointer(), PointerShape::Default);
    EXPECT_TRUE(App().LastListing().isEmpty());
    EXPECT_EQ(App().TaskList().Count(), 0);
}

// A failed compile leaves nothing behind that fails the next one or raises
// its listing's block depth.
TEST_F(DownloadTest, AFailedCompileLeavesNothingToTheNext)
{
    TaskPtr main = addTask("Main", 1);
    Cmd::place(*main->Commands(), 0, {Cmd("M_ON").motors("0")});
    const CompileResult before = CompileProject(App());
    ASSERT_TRUE(before.ok) << before.CompileError.toStdString();

    main->Commands()->Clear();
    Cmd::place(*main->Commands(), 0, {Cmd("L_LOOP").p1(2, "3").body({Cmd("L_LOOP").p1(2, "3").body({Cmd("M_ON")})})});
    EXPECT_FALSE(CompileProject(App()).ok);
    main->Commands()->Clear();
    Cmd::place(*main->Commands(), 0, {Cmd("M_ON").motors("0")});
    const CompileResult after = CompileProject(App());
    EXPECT_TRUE(after.ok) << after.CompileError.toStdString();
    EXPECT_TRUE(after.CompileError.isEmpty());
    EXPECT_TRUE(after.ErrorCell.isEmpty());
    EXPECT_FALSE(after.ErrorWindow.isSet());
    EXPECT_EQ(after.ListingText, before.ListingText);
}

// Commands whose named value was deleted after they were made are refused at
// their cell with the check's text, inside a body as at the task's own level;
// no box of the compile is empty and nothing reaches the brick.
TEST_F(DownloadTest, ACommandNamingADeletedValueIsRefusedAtItsCell)
{
    struct Case {
        const char* what;
        Cmd command;
        const char* deleted;
        bool inBody;  // in the THEN column of an IF, row 2
        const char* text;
    };
    const Case cases[] = {
        {"IF on a range", Cmd("L_IF").p1(0, "Count").op(4).p2(220, "Band"), "Band", false,
         "-> ERROR: Undefined range: Band"},
        {"IF on a range, in a body", Cmd("L_IF").p1(0, "Count").op(4).p2(220, "Band"), "Band", true,
         "-> ERROR: Undefined range: Band"},
        {"WHILE on a variable", Cmd("L_WHILE").p1(0, "Gone").op(1).p2(2, "9"), "Gone", false,
         "-> ERROR: Undefined var: Gone"},
        {"variable command on a constant", Cmd("L_VAR").op(0).p1(0, "Count").p2(100, "Step"), "Step", true,
         "-> ERROR: Undefined constant: Step"},
        {"LOOP on a variable", Cmd("L_LOOP").p1(0, "Gone"), "Gone", false, "-> ERROR: Undefined var: Gone"},
        {"IF on a sensor", Cmd("L_IF").p1(9, "Eye").op(0).p2(2, "30"), "Eye", false,
         "-> ERROR: Undefined sensor: Eye"},
        {"datalog of a raw value", Cmd("L_DATALOG").p1(12, "S. Raw value 2"), "S. Raw value 2", true,
         "-> ERROR: Nothing connected to sensor port: S. Raw value 2"},
        {"clearing a timer", Cmd("L_ZERO").p1(1, "Timer 3"), "Timer 3", false, "-> ERROR: Undefined timer: Timer 3"},
        {"power from a variable", Cmd("M_SETPWR").motors("0").p2(0, "Gone"), "Gone", true,
         "-> ERROR: Undefined var: Gone"},
    };
    App().InitParams->setConfirmDownload(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveAllTasks();
        RemoveAllObjects();
        BuildRcxObjects();
        addObject("Count", 0, 0, 4);
        addObject("Gone", 0, 0, 5);
        addObject("Step", 100, 2);
        addObject("Band", 220, 3, 0, 12);
        addObject("Eye", 9, 0, 1);
        addObject("S. Raw value 2", 12, 0, 1);
        presenter.shown.clear();
        preview.windows.clear();
        pb.clearCalls();

        TaskPtr main = addTask("Main", 1);
        Cmd outer = Cmd("L_IF").p1(0, "Count").op(0).p2(2, "1");
        if (c.inBody)
            outer.body({Cmd("M_ON").motors("0"), c.command});
        Cmd::place(*main->Commands(), 0, {Cmd("M_ON").motors("0"), c.inBody ? outer : c.command});
        App().RemoveObject(QString::fromLatin1(c.deleted));

        DownloadCommand(App(), ShowFaultInItsWindow);
        EXPECT_EQ(preview.statusTexts().last(), QStringLiteral("Compiling ") + QString::fromLatin1(c.text));
        ASSERT_FALSE(preview.windows.empty());
        EXPECT_EQ(preview.lastWindow()->owner, c.inBody ? static_cast<CommandOwner*>(outer.c.get()) : main.get());
        EXPECT_EQ(preview.lastWindow()->cursorPos, QStringLiteral("0002"));
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, QString::fromLatin1(c.text));
        EXPECT_EQ(presenter.shown[0].title, QStringLiteral("Error in Program"));
        EXPECT_EQ(pb.calls(), QStringList());
    }
}

// A failure while a command is translated is told by the compile's report as
// well, and the window opens on the command that failed: no box is empty.
TEST_F(DownloadTest, ATranslationFailureCarriesItsTextToTheReport)
{
    struct Case {
        const char* what;
        Cmd command;
        const char* text;
    };
    const Case cases[] = {
        {"a sound named by nothing", Cmd("G_SOUND").speed("Loud"), "Error: Type mismatch in DLCommands"},
        {"a variable operation without its word", Cmd("L_VAR").op(9).p1(0, "Count").p2(2, "1"),
         "Error: Subscript out of range in DLCommands"},
    };
    App().InitParams->setConfirmDownload(0);
    addObject("Count", 0, 0, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CommandOwner* const owner = mainHolding(c.command, true);

        DownloadCommand(App(), ShowFaultInItsWindow);
        EXPECT_EQ(preview.statusTexts().last(), QStringLiteral("Compiling ") + QString::fromLatin1(c.text));
        ASSERT_FALSE(preview.windows.empty());
        EXPECT_EQ(preview.lastWindow()->owner, owner);
        EXPECT_EQ(preview.lastWindow()->cursorPos, QStringLiteral("0002"));
        ASSERT_FALSE(presenter.shown.isEmpty());
        for (const ShownMessage& m : presenter.shown)
            EXPECT_EQ(m.text, QString::fromLatin1(c.text));
        EXPECT_EQ(presenter.shown.last().title, QStringLiteral("Error in Program"));
        EXPECT_EQ(pb.calls(), QStringList());
    }
}

// A range whose tests the brick can't hold (a bound at the edge of a short
// or past it, typed or named) or a typed one without its "_" is refused by
// the check at its cell, in a body as at the task's own level; the
// translation never meets it.
TEST_F(DownloadTest, ARangeTheBrickCantTestIsRefusedAtItsCell)
{
    struct Case {
        const char* what;
        Cmd command;
        bool inBody;  // in the body of a WHILE, row 2
    };
    const Case cases[] = {
        {"up to 32767", Cmd("L_IF").p1(0, "Count").op(4).p2(230, "1_32767"), false},
        {"from -32768, named", Cmd("L_IF").p1(0, "Count").op(4).p2(220, "Lowest"), true},
        {"past a short", Cmd("L_IF").p1(0, "Count").op(4).p2(230, "1_99999"), true},
        {"without its bar", Cmd("L_IF").p1(0, "Count").op(4).p2(230, "5"), false},
    };
    App().InitParams->setConfirmDownload(0);
    addObject("Count", 0, 0, 4);
    addObject("Lowest", 220, -32768, 0, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CommandOwner* const owner = mainHolding(c.command, c.inBody);

        DownloadCommand(App(), ShowFaultInItsWindow);
        EXPECT_EQ(preview.statusTexts().last(), QStringLiteral("Compiling  -> ERROR: Invalid value"));
        ASSERT_FALSE(preview.windows.empty());
        EXPECT_EQ(preview.lastWindow()->owner, owner);
        EXPECT_EQ(preview.lastWindow()->cursorPos, QStringLiteral("0002"));
        EXPECT_EQ(presenter.texts(), QStringList{" -> ERROR: Invalid value"});
        EXPECT_EQ(pb.calls(), QStringList());
    }
}

// A report with no text to tell shows no box.
TEST_F(DownloadTest, AReportWithoutTextShowsNoEmptyBox)
{
    CompileErrorReport(App(), CompileResult());
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(preview.statusTexts(), (QStringList{"Compiling "}));
}

// ---- The download command ----

TEST_F(DownloadTest, DownloadCommandAfterFailedCompile)
{
    Cmd::place(*addTask("Main", 1)->Commands(), 0, {Cmd("L_LOOP").body({Cmd("M_ON")})});
    App().InitParams->setConfirmDownload(0);
    DownloadCommand(App(), ShowFaultInItsWindow);
    EXPECT_EQ(preview.statusTexts(),
              (QStringList{"Compiling...", "Compiling  -> ERROR: Missing command details !"}));
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].title, QStringLiteral("Error in Program"));
    EXPECT_EQ(pb.calls(), QStringList());  // nothing reaches the brick, not even the sound
}

TEST_F(DownloadTest, DownloadCommandRunsEveryModuleAndEndsWithTheSound)
{
    smallProject();
    pb.setAutoDownloadEvents(true);
    DownloadCommand(App(), ShowFaultInItsWindow);
    EXPECT_EQ(preview.log.mid(0, 5),
              (QStringList{"StatusCleared()", "StatusPrinted(Compiling...)", "DoEvents()", "PointerChanged(11)",
                           "PointerChanged(0)"}));
    // The listing made for the download is kept (the preview window closes).
    EXPECT_TRUE(preview.log.contains(QStringLiteral("ListingMade(download)")));
    EXPECT_FALSE(App().LastListing().isEmpty());
    const QStringList ops = calledOperations();
    EXPECT_EQ(ops.mid(0, 6), (QStringList{"ComPortNo", "TowerCheck1", "TowerCheck2", "TowerCheck3", "ComPortNo",
                                          "PBAlive"}));
    EXPECT_EQ(ops.last(), QStringLiteral("PlaySystemSound"));
    EXPECT_EQ(pb.calls().last(), QStringLiteral("PlaySystemSound(5)"));
    EXPECT_EQ(ops.count(QStringLiteral("BeginOfTask")), 3);
    EXPECT_EQ(ops.count(QStringLiteral("BeginOfSub")), 1);
    // The set-up task, two tasks and a sub: the pointer goes off at the fourth
    // "Download Finished.".
    const QStringList status = preview.statusTexts();
    EXPECT_EQ(status.count(QStringLiteral("Download Finished.")), 4);
    // Busy while compiling, while looking for the tower and while sending.
    EXPECT_EQ(preview.pointers, (QList<int>{11, 0, 11, 0, 11, 0}));
    const int lastFinished = int(preview.log.lastIndexOf(QStringLiteral("StatusPrinted(Download Finished.)")));
    EXPECT_EQ(preview.log.indexOf(QStringLiteral("PointerChanged(0)"), lastFinished), lastFinished + 1);
    EXPECT_EQ(App().FinishedModuleCount, 0);
    EXPECT_EQ(preview.transfers.last().what, QStringLiteral("ended"));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(DownloadTest, ConfirmationCancelEndsBeforeTheBrickIsAsked)
{
    smallProject();
    App().InitParams->setConfirmDownload(1);
    presenter.answers = {MsgResult::Cancel};
    DownloadCommand(App(), ShowFaultInItsWindow);
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Make sure the RCX is on and in range of the IR tower"));
    EXPECT_EQ(presenter.shown[0].style, 49);
    EXPECT_EQ(called("PBAlive"), 0);
    EXPECT_EQ(called("BeginOfTask"), 0);
    // Nothing more goes to a brick that is not ready, not the closing sound;
    // the progress bar is still hidden.
    EXPECT_EQ(called("PlaySystemSound"), 0);
    EXPECT_EQ(preview.log.last(), QStringLiteral("TransferEnded()"));
}

TEST_F(DownloadTest, ConfirmationOkGoesOn)
{
    smallProject();
    App().InitParams->setConfirmDownload(1);
    presenter.answers = {MsgResult::OK};
    EXPECT_TRUE(DownLoad(App()));
    EXPECT_EQ(called("BeginOfSub"), 1);
}

TEST_F(DownloadTest, NoResponseFromTheBrickRetryAndCancel)
{
    smallProject();
    pb.pushResults(QStringLiteral("PBAlive"), {false, false, true});
    presenter.answers = {MsgResult::Retry, MsgResult::Retry};
    EXPECT_TRUE(DownLoad(App()));
    EXPECT_EQ(presenter.texts(), (QStringList{"No response from the RCX!", "No response from the RCX!"}));
    EXPECT_EQ(presenter.shown[0].style, 37);
    EXPECT_EQ(called("PBAlive"), 3);

    pb.clearCalls();
    presenter.shown.clear();
    pb.pushResults(QStringLiteral("PBAlive"), {false, false});
    presenter.answers = {MsgResult::Retry, MsgResult::Cancel};
    EXPECT_FALSE(DownLoad(App()));
    EXPECT_EQ(presenter.shown.size(), 2);
    EXPECT_EQ(called("BeginOfTask"), 0);
}

TEST_F(DownloadTest, NoTowerStopsTheDownload)
{
    smallProject();
    pb.setDefaultResult(QStringLiteral("TowerCheck1"), false);
    DownloadCommand(App(), ShowFaultInItsWindow);
    EXPECT_EQ(presenter.texts(),
              (QStringList{"Can't communicate with the RCX Transmission Tower!\r\n"
                           "Check cable connection and the Tower battery."}));
    EXPECT_EQ(presenter.shown[0].style, 16);
    EXPECT_FALSE(App().RcxSetup().IsInit);
    EXPECT_EQ(called("PBAlive"), 0);
    EXPECT_EQ(called("PlaySystemSound"), 0);
}

// However the download fails, the user is told, DownLoad says so, nothing
// more goes to the brick (the closing sound neither) and the bar ends.
struct FailedDownloadCase {
    const char* name;
    std::function<void(RecordingControl&, FakePresenter&)> arrange;
    const char* told;      // the last message the user sees
    const char* lastCall;  // the last call to the control
};

class FailedDownload : public DownloadTest, public ::testing::WithParamInterface<FailedDownloadCase> {};

TEST_P(FailedDownload, IsToldAndNothingMoreIsSent)
{
    const FailedDownloadCase& c = GetParam();
    smallProject();
    pb.setAutoDownloadEvents(true);
    c.arrange(pb, presenter);
    EXPECT_FALSE(DownLoad(App()));
    ASSERT_FALSE(presenter.shown.isEmpty());
    EXPECT_EQ(presenter.texts().last(), QLatin1String(c.told));
    EXPECT_EQ(pb.calls().last(), QLatin1String(c.lastCall));
    EXPECT_EQ(preview.pointers.last(), 0);

    // Through the DOWNLOAD key: no closing sound, and the bar ends.
    pb.clearCalls();
    presenter.shown.clear();
    c.arrange(pb, presenter);
    DownloadCommand(App(), ShowFaultInItsWindow);
    EXPECT_EQ(presenter.texts().last(), QLatin1String(c.told));
    EXPECT_EQ(pb.calls().last(), QLatin1String(c.lastCall));
    EXPECT_EQ(called("PlaySystemSound"), 0);
    EXPECT_EQ(preview.log.last(), QStringLiteral("TransferEnded()"));
}

INSTANTIATE_TEST_SUITE_P(
    EachWay, FailedDownload,
    ::testing::Values(
        FailedDownloadCase{"NoResponseCanceled",
                           [](RecordingControl& pb, FakePresenter& presenter) {
                               pb.setDefaultResult(QStringLiteral("PBAlive"), false);
                               presenter.answers = {MsgResult::Cancel};
                           },
                           "No response from the RCX!", "PBAlive()"},
        FailedDownloadCase{"SetUpRefused", [](RecordingControl& pb, FakePresenter&) { pb.pushModuleError(3); },
                           "Download fail", "EndOfTask()"},
        FailedDownloadCase{"TaskRefused",
                           [](RecordingControl& pb, FakePresenter&) {
                               pb.pushModuleError(0);
                               pb.pushModuleError(4);
                           },
                           "Download fail", "EndOfTask()"},
        FailedDownloadCase{"SubWithoutAnswer",
                           [](RecordingControl& pb, FakePresenter&) {
                               for (Long error : {0, 0, 0, 68})
                                   pb.pushModuleError(error);
                           },
                           "Download fail", "EndOfSub()"},
        FailedDownloadCase{"ControlFailing",
                           [](RecordingControl& pb, FakePresenter&) {
                               pb.failOperation(QStringLiteral("SelectPrgm"), Err::DeviceUnavailable, 1);
                           },
                           "Error: Device unavailable in DownLoad", "SelectPrgm(&0)"}),
    [](const ::testing::TestParamInfo<FailedDownloadCase>& info) { return std::string(info.param.name); });

TEST_F(DownloadTest, FailedModuleStopsTheRest)
{
    smallProject();
    Cmd::place(*App().TaskList().Item(1)->Commands(), 0, {Cmd("L_LOOP").p1(2, "70000")}, 2);
    EXPECT_FALSE(DownLoad(App()));
    EXPECT_EQ(preview.pointers, (QList<int>{11, 0, 11, 0}));  // the search for the tower, the download
    // The failed task is still closed; nothing after it is sent.
    EXPECT_EQ(pb.calls().mid(pb.calls().size() - 2), (QStringList{"On(\"0\")", "EndOfTask()"}));
    EXPECT_EQ(called("BeginOfTask"), 2);
    EXPECT_EQ(called("BeginOfSub"), 0);
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: Overflow in DLCommands"}));
}

TEST_F(DownloadTest, ControlFailureDuringTheSetUpIsReported)
{
    smallProject();
    pb.failOperation(QStringLiteral("SelectPrgm"), Err::DeviceUnavailable);
    EXPECT_FALSE(DownLoad(App()));
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: Device unavailable in DownLoad"}));
    EXPECT_EQ(preview.pointers, (QList<int>{11, 0, 11, 0}));  // the search for the tower, the download
}

// ---- Task and sub downloads ----

TEST_F(DownloadTest, TaskAndSubDownloadFailures)
{
    TaskPtr task = addTask("Main", 3);
    SubPtr sub = addSub("Blink", 2);
    for (auto* grid : {task->Commands().get(), sub->Commands().get()})
        Cmd::place(*grid, 0, {Cmd("M_ON").motors("0"), Cmd("L_LOOP").p1(2, "abc")});

    EXPECT_FALSE(DownLoad(App(), *task));
    EXPECT_EQ(pb.calls(), (QStringList{"BeginOfTask(&3)", "On(\"0\")", "EndOfTask()"}));
    pb.clearCalls();
    EXPECT_FALSE(DownLoad(App(), *sub));
    EXPECT_EQ(pb.calls(), (QStringList{"BeginOfSub(&2)", "On(\"0\")"}));
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: Type mismatch in DLCommands", "Error: Type mismatch in DLCommands"}));

    // A failure of the control at the begin or the end fails the module with
    // its number, whichever it is: a module that did not go down is never
    // reported as sent.
    pb.clearCalls();
    presenter.shown.clear();
    pb.failOperation(QStringLiteral("BeginOfTask"), Err::ObjectNotSet, 1);
    EXPECT_FALSE(DownLoad(App(), *task));
    EXPECT_EQ(pb.calls(), (QStringList{"BeginOfTask(&3)"}));
    pb.failOperation(QStringLiteral("BeginOfSub"), Err::DeviceUnavailable, 1);
    EXPECT_FALSE(DownLoad(App(), *sub));
    pb.failOperation(QStringLiteral("EndOfTask"), Err::InvalidCall, 1);
    EXPECT_FALSE(DownLoad(App(), *addTask("Empty", 4)));
    EXPECT_EQ(presenter.texts(),
              (QStringList{"Error: 91 in Download", "Error: 68 in Download sub", "Error: 5 in Download"}));
    EXPECT_EQ(presenter.shown[0].style, 16);
}

// ---- The set-up ----

TEST_F(DownloadTest, SetUpWithoutMotorsOrSensors)
{
    App().EditMotor(0, [&](clsMotor& m) { m.setMotorType(0); });
    App().SetProgramNumber(4);
    addObject("Count", 0, 9, 5);
    addTask("Later", 1, 0, 0);
    addTask("First", 2, 0, 1);
    EXPECT_TRUE(DownLoad(App(), App().RcxSetup(), CompileMode::Download));
    EXPECT_EQ(pb.calls(),
              (QStringList{"SelectPrgm(&4)", "BeginOfTask(&0)", "SetSensorType(0, 0)", "SetSensorMode(0, 0, 0)",
                           "SetSensorType(1, 0)", "SetSensorMode(1, 0, 0)", "SetSensorType(2, 0)",
                           "SetSensorMode(2, 0, 0)", "SetVar(5, L2, 9)", "StartTask(&2)", "EndOfTask()"}));
    // Other actions send and write nothing.
    pb.clearCalls();
    CompileContext context(App());
    context.ListingText = QStringLiteral("x");
    EXPECT_TRUE(DownLoad(App(), App().RcxSetup(), 2, &context));
    EXPECT_EQ(pb.calls(), QStringList());
    EXPECT_EQ(context.ListingText, QStringLiteral("x"));
}

TEST_F(DownloadTest, SetUpVariableTooLargeForTheBrick)
{
    addObject("Big", 0, 40000, 1);
    try {
        DownLoad(App(), App().RcxSetup(), CompileMode::Download);
        FAIL() << "the value can't go as a 16-bit number";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), Err::Overflow);
    }
    // The listing writes it in full.
    CompileContext context(App());
    DownLoad(App(), App().RcxSetup(), CompileMode::Listing, &context);
    EXPECT_TRUE(context.ListingText.contains(QStringLiteral(" .SetVar 1,2,40000\r\n")));
}

TEST_F(DownloadTest, InitRcxChecksOnceAfterSuccess)
{
    const clsRcx& rcx = App().RcxSetup();
    pb.pushResult(QStringLiteral("TowerCheck1"), false);  // port 0 of the scan
    pb.setDefaultResult(QStringLiteral("TowerCheck2"), false);
    EXPECT_FALSE(InitRCX(App()));
    EXPECT_FALSE(rcx.IsInit);
    EXPECT_FALSE(App().PortVerified);
    pb.setDefaultResult(QStringLiteral("TowerCheck2"), true);
    pb.clearCalls();
    EXPECT_TRUE(InitRCX(App()));
    EXPECT_TRUE(rcx.IsInit);
    EXPECT_EQ(settings.values.value(QStringLiteral("com/comport")), QStringLiteral("0"));
    pb.clearCalls();
    EXPECT_TRUE(InitRCX(App()));
    EXPECT_EQ(pb.calls(), QStringList());
    EXPECT_EQ(presenter.shown.size(), 1);
}

TEST_F(DownloadTest, InitRcxRunTimeFailure)
{
    pb.failOperation(QStringLiteral("TowerCheck1"), Err::DeviceUnavailable);
    EXPECT_FALSE(InitRCX(App()));
    EXPECT_EQ(presenter.texts(), (QStringList{"No communication with the IR Tower"}));
    EXPECT_EQ(presenter.shown[0].style, 48);
    App().Ports = nullptr;
    EXPECT_FALSE(InitRCX(App()));
    EXPECT_FALSE(App().RcxSetup().IsInit);
}

// ---- The tower port ----

TEST_F(DownloadTest, StoredPortThatAnswers)
{
    Integer port = 3;
    EXPECT_TRUE(VerifyCommPort(App(), port));
    EXPECT_EQ(port, 3);
    EXPECT_EQ(pb.calls(), (QStringList{"ComPortNo = L3", "TowerCheck1()", "TowerCheck2()", "TowerCheck3()",
                                       "ComPortNo()"}));
    EXPECT_TRUE(settings.values.isEmpty());
    EXPECT_TRUE(App().PortVerified);
    pb.clearCalls();
    EXPECT_TRUE(VerifyCommPort(App(), port));
    EXPECT_EQ(pb.calls(), QStringList());
}

TEST_F(DownloadTest, StoredPortThatDoesNotAnswerLeadsToAScan)
{
    Integer port = 3;
    pb.pushResults(QStringLiteral("TowerCheck1"), {true, false});  // stored port, then port 0
    pb.pushResults(QStringLiteral("TowerCheck3"), {false});        // the stored port fails last
    EXPECT_TRUE(VerifyCommPort(App(), port));
    EXPECT_EQ(pb.calls(),
              (QStringList{"ComPortNo = L3", "TowerCheck1()", "TowerCheck2()", "TowerCheck3()", "ComPortNo = L0",
                           "TowerCheck1()", "ComPortNo = L1", "TowerCheck1()", "TowerCheck2()", "TowerCheck3()",
                           "ComPortNo = L1"}));
    EXPECT_EQ(settings.values.value(QStringLiteral("com/comport")), QStringLiteral("1"));
}

TEST_F(DownloadTest, ScanWithoutAnyTower)
{
    Integer port = -1;
    pb.setDefaultResult(QStringLiteral("TowerCheck3"), false);
    EXPECT_FALSE(VerifyCommPort(App(), port));
    EXPECT_EQ(port, -1);
    EXPECT_EQ(called("TowerCheck3"), 5);
    EXPECT_EQ(pb.calls().mid(pb.calls().size() - 4),
              (QStringList{"ComPortNo = L4", "TowerCheck1()", "TowerCheck2()", "TowerCheck3()"}));
    EXPECT_TRUE(settings.values.isEmpty());
    EXPECT_FALSE(App().PortVerified);
    // A later call searches again.
    pb.clearCalls();
    pb.setDefaultResult(QStringLiteral("TowerCheck3"), true);
    EXPECT_TRUE(VerifyCommPort(App(), port));
    EXPECT_EQ(pb.calls().first(), QStringLiteral("ComPortNo = L0"));
    EXPECT_EQ(settings.values.value(QStringLiteral("com/comport")), QStringLiteral("0"));
}

// ---- Sensor check ----

TEST_F(DownloadTest, UpdateSensorSendsOnlyWhatDiffers)
{
    pb.setPollValue(11, 1, 4 * 32);
    pb.setPollValue(10, 1, 3);
    UpdateSensor(App(), 1, 3, 4);
    EXPECT_EQ(pb.calls(), (QStringList{"Poll(L11, &1)", "Poll(L10, &1)"}));
    EXPECT_EQ(preview.pointers, (QList<int>{11, 0}));

    pb.clearCalls();
    pb.setPollValue(11, 1, 4 * 32 + 5);  // a remainder counts as a difference
    UpdateSensor(App(), 1, 3, 4);
    EXPECT_EQ(pb.calls().mid(2), (QStringList{"SetSensorType(1, 3)", "SetSensorMode(1, 4, 0)"}));

    pb.clearCalls();
    pb.setPollValue(11, 2, 0);
    pb.setPollValue(10, 2, 1);
    UpdateSensor(App(), 2, 3, 0);
    EXPECT_EQ(pb.calls().mid(2), (QStringList{"SetSensorType(2, 3)", "SetSensorMode(2, 0, 0)"}));

    pb.failOperation(QStringLiteral("Poll"), Err::DeviceUnavailable);
    UpdateSensor(App(), 0, 1, 1);
    EXPECT_EQ(presenter.texts(), (QStringList{"No comunication with the RCX!"}));
    EXPECT_EQ(preview.pointers.last(), 0);
}

// ---- Events ----

TEST_F(DownloadTest, StartLinesOfModulesAndFirmware)
{
    App().Config->SetForRun(Setting::FirmwareName, QStringLiteral("firm0309.lgo"));
    events.PB_DownloadStart(1500, 120, 10);
    events.PB_DownloadStart(250, 40, 11);
    events.PB_DownloadStart(0, 16000, 100);
    EXPECT_EQ(preview.statusTexts(),
              (QStringList{"Time=1.5  size=120  Task Number=10", "Time=0.25  size=40  Sub Number=11",
                           "Time=0  size=16000  Downloading Firmware firm0309.lgo"}));
    // A module's line replaces the strip; the firmware's is printed below.
    EXPECT_EQ(preview.statusClearedCount, 2);
    EXPECT_EQ(preview.statusPrints[0].leftTwips, 700);
    ASSERT_EQ(preview.transfers.size(), 3);
    EXPECT_EQ(preview.transfers[0].what, QStringLiteral("begun"));
    EXPECT_EQ(preview.transfers[0].value, 120);
    events.PB_DownloadProgress(60);
    EXPECT_EQ(preview.transfers.last().what, QStringLiteral("advanced"));
    EXPECT_EQ(preview.transfers.last().value, 60);
    EXPECT_EQ(preview.doEventsCount, 1);
}

TEST_F(DownloadTest, FinishedModulesCountUpToTheLast)
{
    addTask("A", 1);
    addTask("B", 2);
    addSub("S", 1);
    for (int i = 0; i < 3; ++i)
        events.PB_DownloadDone(0, i);
    EXPECT_TRUE(preview.pointers.isEmpty());
    events.PB_DownloadDone(0, 11);
    EXPECT_EQ(preview.pointers, (QList<int>{0}));
    EXPECT_EQ(App().FinishedModuleCount, 0);

    // A failed module in between starts the count again.
    preview.pointers.clear();
    events.PB_DownloadDone(0, 0);
    events.PB_DownloadDone(7, 1);
    EXPECT_EQ(App().FinishedModuleCount, 0);
    ASSERT_EQ(preview.statusPrints.size(), 6);
    EXPECT_EQ(preview.statusPrints.last().text, QStringLiteral("Download Failed: Error=7"));
    EXPECT_EQ(preview.statusPrints.last().color, 255);
    EXPECT_EQ(presenter.texts(), (QStringList{"Download fail"}));
    EXPECT_EQ(presenter.shown[0].style, 16);
    EXPECT_EQ(preview.pointers, (QList<int>{0}));  // not left busy behind the failure
    for (int i = 0; i < 3; ++i)
        events.PB_DownloadDone(0, i);
    EXPECT_EQ(App().FinishedModuleCount, 3);
    EXPECT_EQ(preview.statusPrints.last().color, 0);
}

TEST_F(DownloadTest, StaleCountDoesNotEndTheNextDownloadEarly)
{
    smallProject();
    App().FinishedModuleCount = 2;  // left by a download that stopped part way
    pb.setAutoDownloadEvents(true);
    EXPECT_TRUE(DownLoad(App()));
    EXPECT_EQ(preview.pointers, (QList<int>{11, 0, 11, 0}));  // the search for the tower, the download
    const QStringList texts = preview.statusTexts();
    EXPECT_EQ(texts.last(), QStringLiteral("Download Finished."));
    EXPECT_EQ(preview.log.last(), QStringLiteral("PointerChanged(0)"));
}

TEST_F(DownloadTest, FirmwareDone)
{
    pb.pushResult(QStringLiteral("FirmwareVersion"), QStringLiteral("0328"));
    App().InitParams->setTimeToShutDown(15);
    App().InitParams->setTransmitPower(QStringLiteral("long"));
    App().FinishedModuleCount = 2;
    events.PB_DownloadDone(0, 100);
    EXPECT_EQ(preview.statusTexts(), (QStringList{"Download finished. Firmware Version: 0328"}));
    EXPECT_EQ(pb.calls(), (QStringList{"FirmwareVersion()", "PBPowerDownTime(15)", "PBTxPower(1)"}));
    EXPECT_EQ(preview.log.last(), QStringLiteral("TransferEnded()"));
    EXPECT_EQ(App().FinishedModuleCount, 2);

    pb.clearCalls();
    App().InitParams->setTransmitPower(QStringLiteral("short"));
    events.PB_DownloadDone(0, 100);
    EXPECT_EQ(pb.calls().last(), QStringLiteral("PBTxPower(0)"));
}

TEST_F(DownloadTest, CommErrorAndFailingHandlers)
{
    events.PB_CommError(QStringLiteral("Tower not found"));
    EXPECT_EQ(presenter.texts(), (QStringList{"Tower not found\r\nMake sure the RCX is ON and in range!"}));
    EXPECT_EQ(presenter.shown[0].style, 48);
    EXPECT_EQ(preview.statusClearedCount, 1);

    // A control that fails inside a handler is reported, not thrown back into it.
    presenter.shown.clear();
    pb.failOperation(QStringLiteral("FirmwareVersion"), Err::DeviceUnavailable);
    events.PB_DownloadDone(0, 100);
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: Device unavailable in DownloadDone"}));
}

// A firmware download over a tower on a pseudo-terminal, its events handled
// as the main window handles them.
class FirmwareOverPty : public DownloadTest {
protected:
    void SetUp() override
    {
        DownloadTest::SetUp();
        ASSERT_TRUE(responder.isOpen());
        ASSERT_TRUE(dir.isValid());
        link.setEventSink(&events);
        App().Ports = &ports;
        App().InitParams->setTimeToShutDown(20);
        App().InitParams->setTransmitPower(QStringLiteral("Long"));
        path = dir.filePath(QStringLiteral("firm.lgo"));
        QByteArray image(450, 0);  // three blocks
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 7);
        checksum = quint16(FirmwareImage::Parse(sRecords(image)).checksum());
        writeFile(path, sRecords(image));
    }
    void TearDown() override
    {
        App().Ports = &pb;
        DownloadTest::TearDown();
    }

    // Runs the download's steps as the event loop would, to its done event.
    void download(const std::function<void()>& whenBegun)
    {
        ASSERT_TRUE(link.DownloadFirmware(path));
        whenBegun();
        while (link.firmwareRunning())
            link.firmwareStep();
    }
    // The brick was asked for its version, its power-down time or its range.
    bool askedAfterwards()
    {
        for (std::uint8_t op : responder.opcodes()) {
            const int plain = op & 0xF7;
            if (plain == rcx::Op::Versions || plain == rcx::Op::PowerDown || plain == rcx::Op::TxRange)
                return true;
        }
        return false;
    }

    // The clock outlives the responder that reads it.
    TowerTime time;
    vbrick::PtyResponder responder;
    TowerTransport tower{responder.devicePath(), time.timing()};
    RcxLink link{tower};
    LinkPorts ports{link};
    QTemporaryDir dir;
    QString path;
    quint16 checksum = 0;
};

TEST_F(FirmwareOverPty, ABrickThatTakesTheImageGetsItsSettings)
{
    download([] {});
    ASSERT_FALSE(preview.statusTexts().isEmpty());
    EXPECT_EQ(preview.statusTexts().last(), QStringLiteral("Download finished. Firmware Version: 3.09"));
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
    responder.withBrick([](vbrick::SoftRcx& b) {
        EXPECT_TRUE(b.hasFirmware());
        EXPECT_EQ(b.powerDownMinutes(), 20);
        EXPECT_EQ(b.transmitterRange(), 1);
    });
    EXPECT_EQ(preview.log.last(), QStringLiteral("TransferEnded()"));
}

// The brick refuses the image (its sum is not the one announced) or stops
// answering in the middle: the failure is shown in red with its error, no
// version is claimed and nothing more goes to the brick.
TEST_F(FirmwareOverPty, AFailedDownloadIsReportedAsFailed)
{
    const struct {
        const char* name;
        bool silent;  // else the brick is told another sum than the image's
        const char* status;
    } cases[] = {
        {"image refused", false, "Download Failed: Error=4"},
        {"no answer", true, "Download Failed: Error=68"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        responder.setSilent(false);
        presenter.shown.clear();
        preview.statusPrints.clear();
        preview.log.clear();
        App().FinishedModuleCount = 2;
        download([&] {
            if (c.silent)
                responder.setSilent(true);
            else
                responder.withBrick(
                    [&](vbrick::SoftRcx& b) { b.handle(rcx::req::beginFirmware(quint16(checksum + 1))); });
        });
        // The start line, then the failure in red.
        ASSERT_EQ(preview.statusPrints.size(), 2);
        EXPECT_EQ(preview.statusPrints[1].text, QString::fromLatin1(c.status));
        EXPECT_EQ(preview.statusPrints[1].color, 255);
        EXPECT_EQ(presenter.texts(), (QStringList{"Download fail"}));
        EXPECT_EQ(presenter.shown[0].style, 16);
        EXPECT_FALSE(askedAfterwards());
        EXPECT_TRUE(preview.log.contains(QStringLiteral("TransferEnded()")));
        EXPECT_EQ(App().FinishedModuleCount, 2);  // a firmware download counts no modules
        responder.withBrick([](vbrick::SoftRcx& b) {
            EXPECT_FALSE(b.hasFirmware());
            EXPECT_EQ(b.powerDownMinutes(), 15);
            EXPECT_EQ(b.transmitterRange(), 0);
        });
    }
}

// Whether the bar was hidden after it was last shown.
bool barEnded(const FakeWindows& windows)
{
    qsizetype shown = -1;
    for (qsizetype i = 0; i < windows.log.size(); ++i)
        if (windows.log[i].startsWith(QLatin1String("TransferBegun(")))
            shown = i;
    return windows.log.indexOf(QStringLiteral("TransferEnded()"), shown) > shown;
}

// The brick answers the second block twice, the copy 5 to 300 ms late: when
// it refuses the third (last) block for the image's sum, that refusal is
// reported, no version is claimed and nothing more is sent; when it takes
// it, the download finishes as without the copy.
TEST_F(FirmwareOverPty, ADoubledAnswerIsNeverTakenForTheNextBlocks)
{
    responder.setClock(time.clock());
    int transfers = 0;
    for (const bool refused : {true, false}) {
        for (int late : {5, 35, 60, 120, 300}) {
            SCOPED_TRACE(QStringLiteral("%1, %2 ms").arg(refused ? "refused" : "taken").arg(late).toStdString());
            presenter.shown.clear();
            preview.statusPrints.clear();
            responder.doubleAnswer(rcx::Op::Transfer, transfers + 2, late);
            const qsizetype before = responder.opcodes().size();
            download([&] {
                if (refused)
                    responder.withBrick(
                        [&](vbrick::SoftRcx& b) { b.handle(rcx::req::beginFirmware(quint16(checksum + 1))); });
            });
            transfers += 3;
            const QList<std::uint8_t> ops = responder.opcodes().mid(before);
            ASSERT_FALSE(preview.statusPrints.isEmpty());
            if (refused) {
                EXPECT_EQ(preview.statusPrints.last().text, QStringLiteral("Download Failed: Error=4"));
                EXPECT_EQ(presenter.texts(), (QStringList{"Download fail"}));
                ASSERT_FALSE(ops.isEmpty());
                EXPECT_EQ(rcx::baseOp(ops.last()), rcx::Op::Transfer) << "nothing after the refused block";
                responder.withBrick([](vbrick::SoftRcx& b) { EXPECT_FALSE(b.hasFirmware()); });
            } else {
                EXPECT_EQ(preview.statusPrints.last().text, QStringLiteral("Download finished. Firmware Version: 3.09"));
                EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
                responder.withBrick([](vbrick::SoftRcx& b) {
                    EXPECT_TRUE(b.hasFirmware());
                    EXPECT_EQ(b.transmitterRange(), 1);
                });
            }
            EXPECT_TRUE(barEnded(preview));
        }
    }
}

namespace {

// Makes the brick fall silent when the firmware's done event comes, then
// hands the event on.
struct SilencedAtTheEnd : IPhantomEvents {
    IPhantomEvents& handler;
    vbrick::PtyResponder& responder;
    SilencedAtTheEnd(IPhantomEvents& h, vbrick::PtyResponder& r) : handler(h), responder(r) {}
    void PB_CommError(const QString& m) override { handler.PB_CommError(m); }
    void PB_DownloadStart(Long t, Long s, Long n) override { handler.PB_DownloadStart(t, s, n); }
    void PB_DownloadProgress(Long v) override { handler.PB_DownloadProgress(v); }
    void PB_DownloadDone(Long e, Long n) override
    {
        responder.setSilent(true);
        handler.PB_DownloadDone(e, n);
    }
};

}  // namespace

// A brick left without firmware after the blocks (its unlock not taken: the
// versions say 0.0) has not taken the image: the download fails, no version
// is claimed and no setting is sent. A brick that took it but can't be asked
// for its version after shows that failure. The bar ends either way.
TEST_F(FirmwareOverPty, TheEndOfTheTransferIsToldTrueAndEndsTheBar)
{
    responder.garble(rcx::Op::Unlock, 1);
    download([] {});
    ASSERT_FALSE(preview.statusPrints.isEmpty());
    EXPECT_EQ(preview.statusPrints.last().text, QStringLiteral("Download Failed: Error=5"));
    EXPECT_EQ(preview.statusPrints.last().color, 255);
    EXPECT_EQ(presenter.texts(), (QStringList{"Download fail"}));
    EXPECT_FALSE(preview.statusTexts().join('|').contains(QLatin1String("Firmware Version")));
    // The link's own look at the versions after the unlock, and nothing after it.
    QList<std::uint8_t> ops = responder.opcodes();
    ASSERT_GE(ops.size(), 2);
    EXPECT_EQ(rcx::baseOp(ops[ops.size() - 2]), rcx::Op::Unlock);
    EXPECT_EQ(rcx::baseOp(ops.last()), rcx::Op::Versions);
    responder.withBrick([](vbrick::SoftRcx& b) {
        EXPECT_FALSE(b.hasFirmware());
        EXPECT_EQ(b.powerDownMinutes(), 15);
        EXPECT_EQ(b.transmitterRange(), 0);
    });
    EXPECT_TRUE(barEnded(preview));

    presenter.shown.clear();
    preview.log.clear();
    SilencedAtTheEnd sink(events, responder);
    link.setEventSink(&sink);
    download([] {});
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: Device unavailable in DownloadDone"}));
    responder.withBrick([](vbrick::SoftRcx& b) { EXPECT_TRUE(b.hasFirmware()); });
    EXPECT_TRUE(barEnded(preview));
}

}  // namespace

namespace {

// Answers the "No response" question and switches the brick on meanwhile.
class SwitchingPresenter : public FakePresenter {
public:
    vbrick::SoftRcx* brick = nullptr;
    int MsgBox(const QString& text, int style, const QString& title = QString()) override
    {
        const int answer = FakePresenter::MsgBox(text, style, title);
        if (brick && answer == MsgResult::Retry)
            brick->setOn(true);
        return answer;
    }
};

// The modules in a slot of the software brick: tasks by number, subs as 10 + their number.
QList<Long> storedModules(const vbrick::SoftRcx& brick, int slot)
{
    QList<Long> modules;
    for (int t = 0; t < rcx::TaskCount; ++t)
        if (!brick.taskCode(slot, t).isEmpty())
            modules.append(t);
    for (int s = 0; s < rcx::SubCount; ++s)
        if (!brick.subCode(slot, s).isEmpty())
            modules.append(11 + s);
    return modules;
}

// An operation the brick can't take in the middle of a column (a clock at
// 24:00, which the check refuses, read from a file and sent without a
// compile): the download fails with the refusal's message, and nothing after
// it is claimed as sent: not the rest of its column, not its task, not the
// modules after it.
TEST_F(DownloadTest, ARefusedOperationFailsTheDownloadAndNothingAfterItIsClaimed)
{
    smallProject();
    Cmd::place(*App().TaskList().Item(1)->Commands(), 0,
               {Cmd("G_WATCH").p1(-1, 24).p2(-1, 0), Cmd("M_OFF").motors("0").op(1)}, 2);

    // The compile refuses it at its cell; nothing goes down.
    DownloadCommand(App(), ShowFaultInItsWindow);
    EXPECT_EQ(preview.statusTexts().last(), QStringLiteral("Compiling  -> ERROR: Invalid value"));
    ASSERT_NE(preview.lastWindow(), nullptr);
    EXPECT_EQ(preview.lastWindow()->cursorPos, QStringLiteral("0002"));
    EXPECT_EQ(pb.calls(), QStringList());

    // Sent as it stands, the control refuses it.
    presenter.shown.clear();
    PortSelector control(App(), [] { return qint64(0); });
    for (Long port = 0; port < PortSelector::TowerPorts; ++port)
        control.setDevicePath(port, QStringLiteral("/nonexistent/tower"));  // no tower in a test
    control.setEventSink(&events);
    App().Ports = &control;
    App().VirtualBrickTold = True;  // no tower: the virtual brick, as the user was told
    preview.statusPrints.clear();
    preview.pointers.clear();
    EXPECT_FALSE(DownLoad(App()));
    App().Ports = &pb;
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: Invalid procedure call or argument in DLCommands"}));
    EXPECT_EQ(storedModules(control.virtualBrick(), 0), (QList<Long>{0}));  // the set-up alone
    const QStringList status = preview.statusTexts();
    // The set-up task's end reported as finished, then the failure.
    EXPECT_EQ(status.count(QStringLiteral("Download Finished.")), 1);
    EXPECT_EQ(status.last(), QStringLiteral("Download Failed"));
    const QStringList starts = status.filter(QStringLiteral("Number="));
    ASSERT_EQ(starts.size(), 1);
    EXPECT_TRUE(starts[0].endsWith(QLatin1String("Task Number=0")));
    EXPECT_EQ(preview.pointers.last(), 0);

    // Through any control: the task is closed and nothing else goes.
    presenter.shown.clear();
    pb.clearCalls();
    pb.failOperation(QStringLiteral("SetWatch"), Err::InvalidCall, 1);
    EXPECT_FALSE(DownLoad(App()));
    const QStringList calls = pb.calls();
    const qsizetype at = calls.indexOf(QStringLiteral("SetWatch(24, 0)"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(calls.mid(at), (QStringList{"SetWatch(24, 0)", "EndOfTask()"}));
    EXPECT_EQ(called("BeginOfTask"), 2);
    EXPECT_EQ(called("BeginOfSub"), 0);
}

// A sub that the brick refuses in the middle is left without its end: when
// the download is over, what the user sends next goes to the brick at once,
// not into the sub's code.
TEST_F(DownloadTest, AfterASubLeftOpenTheBrickTakesOperationsAtOnce)
{
    smallProject();
    Cmd::place(*App().SubList().Item(1)->Commands(), 0, {Cmd("G_WATCH").p1(-1, 24).p2(-1, 0)}, 2);
    PortSelector control(App(), [] { return qint64(0); });
    for (Long port = 0; port < PortSelector::TowerPorts; ++port)
        control.setDevicePath(port, QStringLiteral("/nonexistent/tower"));  // no tower in a test
    control.setEventSink(&events);
    App().Ports = &control;
    App().VirtualBrickTold = True;
    EXPECT_FALSE(DownLoad(App()));
    EXPECT_EQ(presenter.texts(), (QStringList{"Error: Invalid procedure call or argument in DLCommands"}));
    EXPECT_EQ(storedModules(control.virtualBrick(), 0), (QList<Long>{0, 1, 2}));

    PB().Off(QStringLiteral("0"));
    PB().On(QStringLiteral("0"));
    EXPECT_EQ(control.virtualBrick().output(0).mode, rcx::OutFlag::On);
    Integer a = 0;
    EXPECT_EQ(PB().Poll(OperandSource::MotorStatus, a) & 0xC0, rcx::OutFlag::On);
    App().Ports = &pb;
}

// A user variable numbered like the compiler's scratch variable a command
// writes: the compile refuses the command at its cell and names the variable.
TEST_F(DownloadTest, AUserVariableOnAScratchVariableIsRefusedAtTheCommand)
{
    App().InitParams->setConfirmDownload(0);
    addObject("Motor state A", 3, 192, 0);
    addObject("Steps", 0, 3, 1);
    TaskPtr main = addTask("Main", 1);
    Cmd::place(*main->Commands(), 0,
               {Cmd("M_ON").motors("0"), Cmd("L_IF").p1(3, "Motor state A").op(2).p2(110, "Motor-on")});
    DownloadCommand(App(), ShowFaultInItsWindow);
    EXPECT_EQ(preview.statusTexts().last(),
              QStringLiteral("Compiling  -> ERROR: Variable Steps has number 1, which the compiler uses "
                             "for this command: give the variable another number (define it again)"));
    ASSERT_NE(preview.lastWindow(), nullptr);
    EXPECT_EQ(preview.lastWindow()->owner, main.get());
    EXPECT_EQ(preview.lastWindow()->cursorPos, QStringLiteral("0002"));
    EXPECT_EQ(pb.calls(), QStringList());
}

TEST_F(DownloadTest, VirtualBrickSwitchedOffAndOn)
{
    smallProject();
    PortSelector control(App(), [] { return qint64(0); });
    for (Long port = 0; port < PortSelector::TowerPorts; ++port)
        control.setDevicePath(port, QStringLiteral("/nonexistent/tower"));  // no tower in a test
    control.setEventSink(&events);
    App().Ports = &control;
    SwitchingPresenter asking;
    App().Presenter = &asking;

    // No tower answers: the virtual brick, and the user is told so first.
    control.virtualBrick().setOn(false);
    asking.answers = {MsgResult::OK, MsgResult::Cancel};
    EXPECT_FALSE(DownLoad(App()));
    ASSERT_EQ(asking.texts().size(), 2);
    EXPECT_TRUE(asking.texts()[0].contains(QLatin1String("virtual brick")));
    EXPECT_EQ(asking.texts()[1], QStringLiteral("No response from the RCX!"));
    EXPECT_TRUE(storedModules(control.virtualBrick(), 0).isEmpty());

    asking.shown.clear();
    asking.brick = &control.virtualBrick();
    asking.answers = {MsgResult::Retry};
    EXPECT_TRUE(DownLoad(App()));
    EXPECT_EQ(asking.texts(), (QStringList{"No response from the RCX!"}));
    EXPECT_EQ(storedModules(control.virtualBrick(), 0), (QList<Long>{0, 1, 2, 11}));
    EXPECT_EQ(preview.pointers.last(), 0);
    App().Ports = &pb;
    App().Presenter = &presenter;
}

}  // namespace

namespace {

// A project "Robot" written as its files and opened, with the given number of
// tasks and subs, each with one command; the virtual brick is the control's.
class ModuleLimitTest : public DownloadTest {
protected:
    void SetUp() override
    {
        DownloadTest::SetUp();
        ASSERT_TRUE(data.isValid());
        App().DataFolder = data.path();
        App().SetProjectName(QStringLiteral("Robot"));
        for (Long port = 0; port < PortSelector::TowerPorts; ++port)
            control.setDevicePath(port, QStringLiteral("/nonexistent/tower"));  // no tower in a test
        control.setEventSink(&events);
        // With no tower the virtual brick is used; the user has been told so.
        App().VirtualBrickTold = True;
    }
    void TearDown() override
    {
        App().Ports = &pb;
        DownloadTest::TearDown();
    }

    void openProject(int tasks, int subs)
    {
        const QString folder = data.path() + QStringLiteral("/Projects/Robot.dir");
        QByteArray project = "0\r\n0\r\n";
        for (int port = 0; port < 3; ++port)
            project += "1," + QByteArray::number(port) + ",1," + (port == 0 ? "1" : "0") + ",7,\"\",\"\",\"\"\r\n";
        for (int port = 0; port < 3; ++port)
            project += "40,0," + QByteArray::number(port) + ",0,\"\"\r\n";
        project += "\"EndVarDef\",0,0,0\r\n";
        for (int t = 1; t <= tasks; ++t) {
            const QByteArray name = "T" + QByteArray::number(t);
            project += "\"" + name + "\"," + QByteArray::number(t) + "\r\n";
            writeFile(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".tas"),
                      "0,0," + QByteArray::number(t) + ",\"t\"\r\n\"M_ON\",\"0\",0,-1,-1,-1,-1,\"\",\"\",0,,0,,0,1\r\n");
        }
        project += "\"EndTaskDef\",0\r\n";
        for (int s = 1; s <= subs; ++s) {
            const QByteArray name = "S" + QByteArray::number(s);
            project += "\"" + name + "\"," + QByteArray::number(s) + "\r\n";
            writeFile(data.path() + QStringLiteral("/Subs/") + QLatin1String(name) + QStringLiteral(".sub"),
                      "0,0," + QByteArray::number(s) + ",\"s\"\r\n\"M_FWD\",\"0\",0,-1,-1,-1,-1,\"\",\"\",0,,0,,0,1\r\n");
        }
        project += "\"EndSubDef\",0\r\n";
        writeFile(folder + QStringLiteral("/Robot.qmd"), project);
        App().ProjectAction = 1;
        ASSERT_TRUE(OpenProject()) << presenter.texts().join('|').toStdString();
        ASSERT_EQ(App().TaskList().Count(), tasks);
        ASSERT_EQ(App().SubList().Count(), subs);
        App().InitParams->setConfirmDownload(0);
        App().Config->SetForRun(Setting::ComPort, Integer(PortSelector::VirtualBrickPort));
        App().Ports = &control;
        presenter.shown.clear();
        preview.log.clear();
        preview.statusPrints.clear();
        preview.pointers.clear();
    }

    QTemporaryDir data;
    PortSelector control{App(), [] { return qint64(0); }};
};

TEST_F(ModuleLimitTest, AProjectBeyondTheBricksLimitsIsRefusedAtCompile)
{
    const struct {
        int tasks;
        int subs;
        const char* error;  // empty: it compiles and every module reaches the brick
    } cases[] = {
        {9, 8, ""},
        {10, 0, " -> ERROR: Too many tasks, at most 9 !"},
        {1, 9, " -> ERROR: Too many subs, at most 8 !"},
        {10, 9, " -> ERROR: Too many tasks, at most 9 !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tasks << " tasks, " << c.subs << " subs");
        openProject(c.tasks, c.subs);
        control.virtualBrick() = vbrick::SoftRcx();
        DownloadCommand(App(), ShowFaultInItsWindow);
        const QString error = QString::fromLatin1(c.error);
        if (error.isEmpty()) {
            EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
            QList<Long> all;
            for (Long m = 0; m <= c.tasks; ++m)
                all.append(m);
            for (Long m = 11; m <= 10 + c.subs; ++m)
                all.append(m);
            EXPECT_EQ(storedModules(control.virtualBrick(), 0), all);
            EXPECT_EQ(preview.statusTexts().last(), QStringLiteral("Download Finished."));
        } else {
            ASSERT_EQ(presenter.shown.size(), 1);
            EXPECT_EQ(presenter.shown[0].text, error);
            EXPECT_EQ(presenter.shown[0].title, QStringLiteral("Error in Program"));
            EXPECT_EQ(preview.statusTexts(), (QStringList{"Compiling...", "Compiling " + error}));
            // Nothing went down, and the brick did not even play the closing sound.
            EXPECT_TRUE(storedModules(control.virtualBrick(), 0).isEmpty());
            EXPECT_TRUE(control.virtualBrick().sounds().isEmpty());
        }
    }
}

TEST_F(ModuleLimitTest, AModuleTheBrickRefusesFailsTheDownload)
{
    const struct {
        int tasks;
        int subs;
        const char* message;
        QList<Long> stored;  // what reached the brick before the refused module
    } cases[] = {
        {10, 1, "Error: 5 in Download", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {1, 9, "Error: 5 in Download sub", {0, 1, 11, 12, 13, 14, 15, 16, 17, 18}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        openProject(c.tasks, c.subs);
        control.virtualBrick() = vbrick::SoftRcx();
        // Past the compile's check, the control refuses the module's number.
        EXPECT_FALSE(DownLoad(App()));
        EXPECT_EQ(presenter.texts(), QStringList{QString::fromLatin1(c.message)});
        EXPECT_EQ(storedModules(control.virtualBrick(), 0), c.stored);
        EXPECT_EQ(preview.statusTexts().last(), QStringLiteral("Download Failed"));
        EXPECT_EQ(preview.pointers.last(), 0);
    }
}

}  // namespace

namespace {

// A tower on a pseudo-terminal as port 1 of a fresh control, the state's:
// the project goes down to the software brick behind it, as through a serial
// tower, its events handled as the main window handles them.
class PtyDownload : public DownloadTest {
protected:
    void SetUp() override
    {
        DownloadTest::SetUp();
        ASSERT_TRUE(responder.isOpen());
        control.setTowerTiming(time.timing());
        for (Long port = 0; port < PortSelector::TowerPorts; ++port)
            control.setDevicePath(port, QStringLiteral("/nonexistent/tower"));
        control.setDevicePath(1, responder.devicePath());
        control.setEventSink(&events);
        responder.setClock(time.clock());
        App().Ports = &control;
        App().Config->Set(Setting::ComPort, Integer(1));
        smallProject();
    }
    void TearDown() override
    {
        App().Ports = &pb;
        DownloadTest::TearDown();
    }

    // The opcodes the brick was sent, twin bit cleared, from the first of op on.
    QList<std::uint8_t> sentFrom(std::uint8_t op)
    {
        QList<std::uint8_t> ops;
        for (std::uint8_t o : responder.opcodes())
            if (!ops.isEmpty() || rcx::baseOp(o) == op)
                ops.append(rcx::baseOp(o));
        return ops;
    }
    int blocks() { return int(sentFrom(rcx::Op::Transfer).count(rcx::Op::Transfer)); }

    // The clock outlives the responder that reads it.
    TowerTime time;
    vbrick::PtyResponder responder;
    PortSelector control{App(), [] { return qint64(0); }};
};

// The brick answers the first block twice, the copy 5 to 300 ms late, and
// refuses the second (its checksum garbled on the way): the refusal is what
// the user is told and what DownLoad returns, and nothing more is sent, the
// closing sound neither. A copy due before the second block went came before
// it.
TEST_F(PtyDownload, ADoubledAnswerBeforeARefusedBlockIsReportedAsTheRefusal)
{
    for (int late : {5, 35, 60, 120, 300}) {
        SCOPED_TRACE(late);
        TowerTime clock;
        vbrick::PtyResponder brick;
        ASSERT_TRUE(brick.isOpen());
        brick.setClock(clock.clock());
        PortSelector ports(App(), [] { return qint64(0); });
        ports.setTowerTiming(clock.timing());
        for (Long port = 0; port < PortSelector::TowerPorts; ++port)
            ports.setDevicePath(port, port == 1 ? brick.devicePath() : QStringLiteral("/nonexistent/tower"));
        ports.setEventSink(&events);
        App().Ports = &ports;
        App().PortVerified = False;
        App().SetRcxInit(False);
        presenter.shown.clear();
        preview.statusPrints.clear();
        preview.log.clear();

        brick.doubleAnswer(rcx::Op::Transfer, 1, late);
        brick.garble(rcx::Op::Transfer, 2);
        DownloadCommand(App(), ShowFaultInItsWindow);
        EXPECT_EQ(presenter.texts(), (QStringList{"Download fail"}));
        const QStringList status = preview.statusTexts();
        EXPECT_EQ(status.count(QStringLiteral("Download Finished.")), 0);
        ASSERT_FALSE(status.isEmpty());
        EXPECT_EQ(status.last(), QStringLiteral("Download Failed: Error=3"));
        // The refused block was the last thing sent.
        QList<std::uint8_t> ops = brick.opcodes();
        ASSERT_FALSE(ops.isEmpty());
        EXPECT_EQ(rcx::baseOp(ops.last()), rcx::Op::Transfer);
        EXPECT_EQ(ops.count(rcx::Op::Transfer) + ops.count(rcx::twin(rcx::Op::Transfer)), 2);
        brick.withBrick([](vbrick::SoftRcx& b) { EXPECT_TRUE(storedModules(b, 0).isEmpty()); });
        EXPECT_EQ(preview.log.last(), QStringLiteral("TransferEnded()"));

        brick.garble(rcx::Op::Transfer, 4);
        presenter.shown.clear();
        EXPECT_FALSE(DownLoad(App()));
        EXPECT_EQ(presenter.texts(), (QStringList{"Download fail"}));
    }
    App().Ports = &control;
}

// A copy of an answer before a block the brick takes changes nothing: every
// module goes down as it does without one.
TEST_F(PtyDownload, ADoubledAnswerBeforeAGoodBlockStillDownloadsRight)
{
    ASSERT_TRUE(DownLoad(App()));
    ASSERT_GE(blocks(), 2) << "the set-up takes two blocks";
    QList<QByteArray> clean;
    responder.withBrick([&](vbrick::SoftRcx& b) {
        for (int t = 0; t < 3; ++t)
            clean.append(b.taskCode(0, t));
        clean.append(b.subCode(0, 0));
    });
    for (int late : {5, 35, 60, 120, 300}) {
        SCOPED_TRACE(late);
        responder.withBrick([](vbrick::SoftRcx& b) { b = vbrick::SoftRcx(); });
        presenter.shown.clear();
        preview.statusPrints.clear();
        // The next download's first block (counted on from the last download's).
        responder.doubleAnswer(rcx::Op::Transfer, blocks() + 1, late);
        EXPECT_TRUE(DownLoad(App()));
        EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
        EXPECT_EQ(preview.statusTexts().count(QStringLiteral("Download Finished.")), 4);
        responder.withBrick([&](vbrick::SoftRcx& b) {
            EXPECT_EQ(storedModules(b, 0), (QList<Long>{0, 1, 2, 11}));
            for (int t = 0; t < 3; ++t)
                EXPECT_EQ(b.taskCode(0, t), clean[t]);
            EXPECT_EQ(b.subCode(0, 0), clean[3]);
        });
    }
}

// What the events start while the program goes down (a click, a timer, in a
// progress event's DoEvents) finds the brick busy: every brick operation is
// refused with the busy text and sends nothing, a second download and the
// tower search say so in a box; the download goes on down whole.
TEST_F(PtyDownload, BrickWorkWhileTheProgramGoesIsRefusedAndSendsNothing)
{
    const struct {
        const char* name;
        std::function<void()> work;
    } intruders[] = {
        {"alive", [] { PB().PBAlive(); }},
        {"poll",
         [] {
             Integer n = 0;
             PB().Poll(0, n);
         }},
        {"battery", [] { PB().PBBattery(); }},
        {"motor", [] { PB().On("0"); }},
        {"variable", [] { PB().SetVar(3, 2, 1); }},
        {"datalog", [] { PB().GetDatalog(0, 3); }},
        {"firmware", [] { PB().DownloadFirmware(QStringLiteral("firm.lgo")); }},
        {"slot",
         [] {
             Integer slot = 2;
             PB().SelectPrgm(slot);
         }},
        {"tower check", [] { Ports().TowerCheck3(); }},
        {"port", [] { Ports().setComPortNo(PortSelector::VirtualBrickPort); }},
    };
    QStringList refused;
    bool done = false;
    preview.onDoEvents = [&] {
        if (done)
            return;
        done = true;
        const qsizetype before = responder.opcodes().size();
        for (const auto& i : intruders) {
            try {
                i.work();
                refused.append(QLatin1String(i.name) + QStringLiteral(": went"));
            } catch (const VbError& e) {
                EXPECT_EQ(e.number(), BrickBusyError) << i.name;
                refused.append(QLatin1String(i.name) + QStringLiteral(": ") + e.description());
            }
        }
        EXPECT_FALSE(DownLoad(App()));
        EXPECT_FALSE(InitRCX(App()));
        EXPECT_EQ(responder.opcodes().size(), before) << "nothing was sent";
    };
    EXPECT_TRUE(DownLoad(App()));
    EXPECT_TRUE(done);
    QStringList expected;
    for (const auto& i : intruders)
        expected.append(QLatin1String(i.name) + QStringLiteral(": The RCX is busy: program download"));
    EXPECT_EQ(refused, expected);
    EXPECT_EQ(presenter.texts(),
              (QStringList{"The RCX is busy: program download", "The RCX is busy: program download"}));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
    EXPECT_EQ(preview.statusTexts().count(QStringLiteral("Download Finished.")), 4);
    EXPECT_EQ(control.ComPortNo(), 1);
    responder.withBrick([](vbrick::SoftRcx& b) {
        EXPECT_EQ(b.slot(), 0);
        EXPECT_EQ(storedModules(b, 0), (QList<Long>{0, 1, 2, 11}));
    });
    // Free again once the download has ended.
    EXPECT_EQ(BrickBusyWith(App()), QString());
    EXPECT_EQ(PB().PBBattery(), 9300);
}

// While a firmware download runs from the event loop, a program download is
// refused with the busy text and sends nothing, and so is a second firmware
// download; the firmware goes on down whole.
TEST_F(PtyDownload, AProgramDownloadDuringAFirmwareDownloadIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firm.lgo"));
    writeFile(path, sRecords(QByteArray(450, 'x')));
    ASSERT_TRUE(InitRCX(App()));
    ASSERT_TRUE(PB().DownloadFirmware(path));
    QCoreApplication::processEvents();  // a block or more
    ASSERT_EQ(BrickBusyWith(App()), BrickWork::Firmware);
    const qsizetype before = responder.opcodes().size();
    const QStringList shown = preview.log;

    // The firmware's status line and bar stay as they are.
    DownloadCommand(App(), ShowFaultInItsWindow);
    EXPECT_EQ(presenter.texts(), (QStringList{"The RCX is busy: firmware download"}));
    EXPECT_EQ(preview.log, shown);
    EXPECT_FALSE(DownLoad(App()));
    EXPECT_EQ(presenter.texts().last(), QStringLiteral("The RCX is busy: firmware download"));
    EXPECT_EQ(failureNumber([&] { PB().DownloadFirmware(path); }), BrickBusyError);
    EXPECT_EQ(responder.opcodes().size(), before);

    for (int i = 0; i < 1000 && !BrickBusyWith(App()).isEmpty(); ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(preview.statusTexts().last(), QStringLiteral("Download finished. Firmware Version: 3.09"));
    responder.withBrick([](vbrick::SoftRcx& b) {
        EXPECT_TRUE(b.hasFirmware());
        EXPECT_TRUE(storedModules(b, 0).isEmpty());
    });
    EXPECT_EQ(presenter.shown.size(), 2);
    EXPECT_TRUE(barEnded(preview));
}

}  // namespace
