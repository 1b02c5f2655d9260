// The start of the program: the process-wide objects and services, the
// open/new dialog for a project, then the main window and the event loop.
#include "compiler/ProjectCompile.h"
#include "datalog/frmDatalog.h"
#include "desktop/DeskTopFactory.h"
#include "link/PortSelector.h"
#include "link/QSettingsStore.h"
#include "link/SdlJoystick.h"
#include "model/AppState.h"
#include "model/DataFolder.h"
#include "model/InitParam.h"
#include "model/NamedValues.h"
#include "model/ProjectFile.h"
#include "model/Records.h"
#include "model/Twips.h"
#include "shell/EventGuard.h"
#include "shell/KeyTracker.h"
#include "shell/joy/frmJoy.h"
#include "shell/MainWindow.h"
#include "shell/MessagePresenter.h"
#include "shell/ModalRunner.h"
#include "shell/OpenDialog.h"
#include "shell/ShellRequests.h"
#include "views/ViewWindows.h"
#include "setup/core/SetupService.h"
#include "setup/frmMain.h"
#include "StartupProbe.h"

#include <QApplication>
#include <QThread>

#include <memory>

int main(int argc, char** argv)
{
    // A save past the file-size limit fails and is reported instead of ending the program.
    IgnoreFileSizeSignal();
    // Every event handler runs inside the one guard.
    GuardedApplication app(argc, argv);
    // QUILLOMAT_STARTUP_PROBE: report how long the first window took, and end there.
    startup_probe::InstallIfAsked(app);
    QApplication::setApplicationName(QStringLiteral("Quillomat"));
    QApplication::setQuitOnLastWindowClosed(false);

    AppState& a = App();
    // The help beside the program, or in the share folder it was installed with.
    a.ProgramFolder = ChooseProgramFolder(QCoreApplication::applicationDirPath(), QStringLiteral(QM_INSTALLED_FILES));
    a.DataFolder = ChooseDataFolder();
    CopyProjectsOnFirstStart(a.ProgramFolder, a.DataFolder);

    ShellPresenter presenter;
    // A settings file that can't be used is said so through the presenter, once.
    QSettingsStore settings(QSettingsStore::defaultPath(), &presenter);
    SdlJoystick joystick;
    // The keys of every window, and the joystick behind them.
    KeyTracker keys(&joystick);
    keys.Install();
    ShellRequests shell;
    PortSelector control(a);
    ControlEventHandler controlEvents(a);
    a.Presenter = &presenter;
    a.Settings = &settings;
    a.Joystick = &keys;
    shell.Install();
    control.setEventSink(&controlEvents);
    // Modules go down to the virtual brick at a quarter of the tower's pace, so
    // that the status strip and the progress bar can be followed.
    control.virtualDevice().setPace([](int ms) { QThread::msleep(ms); });
    a.Ports = &control;

    // The preferences are read as the object is made.
    a.InitParams = std::make_unique<clsInitParam>(*a.Config, presenter);
    // 15 twips a logical pixel, whatever the screen; Qt scales for high-DPI screens.
    SetPixelTwips(15, 15);
    FillNameTables();

    const OpenChoice choice = ShowOpenDialog(OpenOffer::NewOrExisting, OpenObject::Project);
    if (choice.canceled)
        return 0;
    TakeProjectChoice(choice);
    PollState().PollInterval = 300;
    QCoreApplication::processEvents();

    mdiMain mainWindow;
    shell.setMainWindow(&mainWindow);
    // The windows outside the shell answer the main window's keys and the notifier.
    ConnectViewWindows(mainWindow);
    ConnectSetupWindows(mainWindow);
    ConnectDatalogWindows(mainWindow);
    // Editor windows come from the desktop.
    mainWindow.setDeskTopFactory([&mainWindow] { return CreateDeskTopWindow(mainWindow.MdiArea()); });

    if (!mainWindow.MDIForm_Load())
        return 0;
    const int code = app.exec();
    shell.setMainWindow(nullptr);
    a.Ports = nullptr;
    return code;
}
