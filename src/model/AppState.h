#pragma once
// The process-wide state of the system in one place: the open project (its
// document, model/ProjectDocument.h, whose changes are told as they are made),
// the preferences, the name tables, the shared flags, and the services through
// which the model reaches the world. Window state lives with the windows.
// Tests reset it with ResetApp().
#include "model/Collection.h"
#include "model/Command.h"
#include "model/Disk.h"
#include "model/InitParam.h"
#include "model/Module.h"
#include "model/NamedValue.h"
#include "model/ProjectDocument.h"
#include "model/RcxSetup.h"
#include "model/Services.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <memory>

class Config;
class IBrickDevice;
class IPortSelector;
class IModalRunner;
class ProjectFolderLock;

// The open project is read as App().TaskList(), App().RcxSetup(),
// App().ProjectType() ... and changed through the document's functions.
struct AppState : ProjectDocument {
    AppState();
    ~AppState();

    std::unique_ptr<clsInitParam> InitParams;
    Collection<Integer> ImmediateCommands;
    CommandCollection CommandClipboard;

    // Name tables.
    QStringList SensorTypeName;
    QStringList VarOpCaption;
    QStringList VarOpMethod;
    QStringList CompareSymbol;
    QStringList CompareCaption;

    // Working references.
    TaskPtr CurrentTask;
    SubPtr CurrentSub;
    ObjectPtr CurrentObject;

    // PC-side run.
    Boolean StopRun = True;
    Boolean RcxWindowRequested = False;
    Boolean RunCycleEnded = False;

    // Download: the tower was found in this process; modules the control has
    // reported finished since the last reset.
    Boolean PortVerified = False;
    Integer FinishedModuleCount = 0;
    // A module the control reported failed in the download going on.
    Boolean ModuleFailed = False;
    // The port the search settled on (4 the virtual brick, -1 none yet), and
    // whether the user has been told in this process that the program talks
    // to its virtual brick.
    Long BrickPort = -1;
    Boolean VirtualBrickTold = False;

    // The open project's lock, held in its folder while this copy of the
    // program may save it; the project is read-only when it could not be
    // locked as it was opened (model/ProjectLock.h).
    std::shared_ptr<ProjectFolderLock> ProjectLock;
    Boolean ProjectReadOnly = False;
    // Why it is read-only when that is not another copy on this computer
    // holding its lock ("its lock file ... is a FIFO, not a regular file").
    QString ProjectReadOnlyWhy;
    // What the open project's project, task and sub files were on disk when
    // this copy last read or wrote them, by path: a save asks before it
    // replaces one that has changed since, and a save that finds its lock
    // gone takes it again only while none has.
    using FileStamp = disk::Stamp;
    QHash<QString, FileStamp> ProjectFilesSeen;

    // How the open project came: 1 opened from its file, 2 new (not yet
    // saved; a save makes it 1). The open/new dialog's choice sets it.
    Integer ProjectAction = 0;

    // The folder that holds the program and its own files (help, pictures).
    QString ProgramFolder;
    // The user's data folder: the projects in Projects, the subs in Subs below it.
    QString DataFolder;

    // Services; never null (quiet defaults until somebody sets them).
    IMessagePresenter* Presenter;
    ISettingsStore* Settings;
    // The settings, typed, read and written through Settings; never null.
    std::unique_ptr<::Config> Config;
    IJoystick* Joystick;
    IShellRequests* Shell;
    IPortSelector* Ports = nullptr;  // the control's choice of brick; null means no control (failure 91)
    // Shows the windows' modal dialogs (shell/ModalRunner.h); null runs them for real.
    IModalRunner* ModalRunner = nullptr;
};

// The one state object.
AppState& App();
// Throws everything away and starts again with a fresh state (services back to
// the quiet defaults). The state stays where it was: an AppState& handed to an
// object before stays valid.
void ResetApp();
// State another library keeps for the whole run (the set-up window's polling,
// the datalog's records) starts again with the app: the library hands in how,
// once, and ResetApp runs it.
void AtResetApp(std::function<void()> reset);
// The one T of the run, made at first use and made afresh by ResetApp.
template <class T>
T& AppScoped()
{
    static T value;
    static const bool resetWithTheApp = [] {
        AtResetApp([] { value = T(); });
        return true;
    }();
    (void)resetWithTheApp;
    return value;
}

// The brick on the control's selected port; failure 91 when there is no control.
// Of the state handed in, or of the process-wide one.
IBrickDevice& PB(const AppState& app);
IBrickDevice& PB();
// The control's choice of the brick PB() gives; failure 91 when there is none.
IPortSelector& Ports(const AppState& app);
IPortSelector& Ports();
