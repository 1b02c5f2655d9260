#pragma once
// The shell's requests for tests, and a recorder of what App().Notifier
// tells: every request and every event is recorded with its payload, the
// open/new dialog answers from a script, and editor windows record their calls.
//
//   #include "support/FakeWindows.h"
//   FakeWindows windows;
//   windows.Install();                                  // after ResetApp()
//   windows.openAnswers.append({false, "Drive", 2});   // OK, name "Drive", new
//   AddTask(3);
//   windows.openDialogCalls   -> {{3, 2}}
//   windows.addedModules      -> {{"Drive", 1}}
//   windows.log               -> {"ShowOpenDialog(3,2)", "ModuleAdded(Drive,1)"}
#include "model/Command.h"
#include "model/Notifier.h"
#include "model/Services.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class FakeWindows;

// An editor window that records every call. Show() records the window as its
// owner's CommandWindow and Close() clears it, as the real window does when it
// loads and closes.
class FakeCommandWindow : public ICommandWindow {
public:
    explicit FakeCommandWindow(FakeWindows* host = nullptr) : mHost(host) {}

    // Every call in order, as "name(arguments)": "Show()", "setFormType(2)",
    // "setParentTaskName(Drive)", "setTaskLoop(1)", "setStartOnStartupVisible(0)" ...
    QStringList calls;

    // The state the calls left.
    CommandOwner* owner = nullptr;
    bool shown = false;
    bool closed = false;
    int zOrderCount = 0;
    Long formType = 0;
    QString parentCaption;
    QString parentTaskName;
    QString caption;
    QString titleText;
    QString taskLoopCaption;
    QString cursorPos = QStringLiteral("0001");
    Integer taskLoop = 0;
    Integer startOnStartup = 0;
    bool startOnStartupVisible = true;

    // When false, Show() and Close() leave the owner's CommandWindow alone.
    bool registersWithOwner = true;
    // Runs at the start of every recorded call with the call's text; a test may
    // throw a VbError from it to make that call fail.
    std::function<void(const QString& call)> onCall;

    void ZOrder() override;
    void setMyCommandBlock(CommandOwner* o) override;
    CommandOwner* MyCommandBlock() const override { return owner; }
    void Show() override;
    void setParentCaption(const QString& c) override;
    void setFormType(Long kind) override;
    Long FormType() const override { return formType; }
    void setParentTaskName(const QString& name) override;
    QString ParentTaskName() const override { return parentTaskName; }
    void setTaskLoop(Integer value) override;
    void setTaskLoopCaption(const QString& text) override;
    void setStartOnStartup(Integer value) override;
    void setStartOnStartupVisible(bool visible) override;
    void setTitleText(const QString& text) override;
    void setCaption(const QString& c) override;
    QString Caption() const override { return caption; }
    QString CursorPos() const override { return cursorPos; }
    void setCursorPos(const QString& key) override;
    void Close() override;

    // How many recorded calls start with the given name ("Show", "ZOrder" ...).
    int count(const QString& name) const;

private:
    void record(const QString& call);
    FakeWindows* mHost;
};

struct OpenDialogCall {
    Long openMode = 0;
    Long objToOpen = 0;
};

// One scripted answer of the open/new dialog. The action goes into the
// choice's projectAction, taskAction or subAction by the object to open (1, 2,
// 3); projectType, the type chosen for a new one, into the choice's.
struct OpenDialogAnswer {
    bool canceled = false;
    QString name;
    Integer action = 2;
    ProjectType projectType = ProjectType::Rcx;
};

// A module added or removed (ModuleAdded, ModuleRemoved): its name and kind.
struct ModuleEvent {
    QString name;
    Long type = 0;
};

struct StatusPrintCall {
    QString text;
    int leftTwips = 700;
    Long color = 0;
};

// A transfer event: what ("begun" with its size, "advanced" to its value,
// "ended") and its number.
struct TransferEvent {
    QString what;
    double value = 0;
};

class FakeWindows : public IShellRequests {
public:
    FakeWindows() = default;
    ~FakeWindows() override;
    FakeWindows(const FakeWindows&) = delete;
    FakeWindows& operator=(const FakeWindows&) = delete;

    // Becomes App().Shell and records App().Notifier's signals (call it again
    // after every ResetApp()).
    void Install();

    // Every request and event in order, as "name(payload)", for checks of
    // what happens in order: "ShowOpenDialog(3,2)", "StatusCleared()",
    // "StatusPrinted(Compiling...)", "PointerChanged(11)", "CreateDeskTop()",
    // "ModuleAdded(Drive,1)", "ModuleChanged(Drive,1,commands)" ... (not the
    // named values' changes, nor what is said of the brick: they are counted
    // and kept below).
    QStringList log;

    // Editor windows.
    bool createWindows = true;  // false: CreateDeskTop returns nullptr
    std::vector<std::unique_ptr<FakeCommandWindow>> windows;  // all created, in order
    // What ActiveDeskTop returns: the window brought to the front last (a test
    // may also set it).
    FakeCommandWindow* activeDeskTop = nullptr;
    int createDeskTopCount = 0;
    int doEventsCount = 0;
    std::function<void()> onDoEvents;

    // The open/new dialog. onOpenDialog, when set, answers every call; else the
    // next of openAnswers is applied; when none is left the dialog is cancelled.
    QList<OpenDialogCall> openDialogCalls;
    QList<OpenDialogAnswer> openAnswers;
    std::function<OpenChoice(Long openMode, Long objToOpen)> onOpenDialog;

    // The project: its modules added and removed, the project replaced, the
    // set-up replaced, changed and asked for (the rest of what the model tells
    // is in log).
    QList<ModuleEvent> addedModules;
    QList<ModuleEvent> removedModules;
    int projectReplacedCount = 0;
    int setupReplacedCount = 0;
    int setupChangedCount = 0;
    int setupRequestedCount = 0;

    // Status strip, transfers, pointer (each shape set), listings.
    int statusClearedCount = 0;
    QList<StatusPrintCall> statusPrints;
    QList<TransferEvent> transfers;
    QList<int> pointers;
    QStringList brickTexts;  // each text said of the brick (not in log)

    // The texts of statusPrints, in order.
    QStringList statusTexts() const;
    // The window created last, or nullptr.
    FakeCommandWindow* lastWindow() const { return windows.empty() ? nullptr : windows.back().get(); }

    ICommandWindow* CreateDeskTop() override;
    ICommandWindow* ActiveDeskTop() override { return activeDeskTop; }
    void DoEvents() override;
    OpenChoice ShowOpenDialog(Long openMode, Long objToOpen) override;
    void CloseProjectWindows() override;
    std::function<void()> onCloseProjectWindows;  // runs inside CloseProjectWindows (a window that fails)

private:
    QObject mListener;
    QList<QMetaObject::Connection> mConnections;
};
