// The project's life in the main window: the start that opens it, opening
// another, saving, and the query before the program ends.
#include "shell/MainWindow.h"

#include "link/PortScan.h"
#include "model/AppState.h"
#include "model/Config.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/Notifier.h"
#include "model/ProjectFile.h"
#include "shell/About.h"
#include "shell/Help.h"
#include "shell/ScreenPlacement.h"
#include "shell/StatusStrip.h"
#include "shell/joy/frmJoy.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

#include <cstdlib>

// ---------------------------------------------------------------- start

bool mdiMain::MDIForm_Load()
{
    GetInitParams();
    mStatus->setBrick(BrickDescription(App()));
    mCurButton = PaletteButton(QStringLiteral("CURSOR"));
    std::srand(1);
    // On a small screen the window shrinks to fit it, its frame and title bar included.
    CentreOnScreen(this, screen());
    // No key of either toolbar can act before a project is open: they show
    // disabled until then, while an open is asked for and while it fails.
    EnableEveryKey(false);
    // The main window shows with its first child window, as an MDI parent does,
    // so that the child is laid out in the area's real size.
    show();
    // A project that can't be opened (its message names the file) sends the
    // user back to the open/new dialog; only cancelling it ends the start.
    while (!OpenProject()) {
        // A dialog closed but by its OK button cancels.
        const OpenChoice choice = App().Shell->ShowOpenDialog(OpenOffer::NewOrExisting, OpenObject::Project);
        if (choice.canceled) {
            hide();
            return false;
        }
        TakeProjectChoice(choice);
    }
    EnableEveryKey(true);
    SetToolbarsForType();
    PaletteWidth = PaletteHolderWidth();
    PaletteMargin = Integer(PaletteWidth - PaletteBarWidth());
    App().StopRun = True;
    return true;
}

void mdiMain::GetInitParams()
{
    Config& config = *App().Config;
    try {
        config.Reload(Setting::AdvancedMode);
        config.Reload(Setting::ComPort);
        config.Reload(Setting::FirmwarePath);
        config.Reload(Setting::FirmwareName);
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Critical);
    }
}

// ---------------------------------------------------------------- project

bool mdiMain::OpenProject()
{
    // The open tells the caption, the toolbars and the motor tips through the notifier.
    return Ops.OpenProject ? Ops.OpenProject() : false;
}

void mdiMain::CloseProjectWindows()
{
    UnloadJoyWindow();
    for (ICommandWindow* w : DeskTopWindows())
        w->Close();
}

bool mdiMain::SaveProject()
{
    return Ops.SaveProject ? Ops.SaveProject() : false;
}

void mdiMain::KeyOpen()
{
    AppState& a = App();
    if (IsDirty(0)) {
        const int answer =
            a.Presenter->MsgBox(QStringLiteral("Save project"), MsgStyle::YesNoCancel | MsgStyle::Question);
        if (answer == MsgResult::Cancel)
            return;
        if (answer == MsgResult::Yes && !SaveProject())
            return;
    }
    const OpenChoice choice = a.Shell->ShowOpenDialog(OpenOffer::NewOrExisting, OpenObject::Project);
    if (choice.canceled)
        return;
    Q_EMIT a.Notifier->StatusCleared();
    // What the choice changes of the open project comes back when the project
    // chosen is not opened (an existing one that can't be read, a new one whose
    // first task is cancelled): the open project and its windows then stay.
    // The project's windows close inside the open, once the new project has been read.
    const ProjectChoiceBefore before = TakeProjectChoice(choice);
    if (!OpenProject())
        UndoProjectChoice(before);
}

// ---------------------------------------------------------------- closing

void mdiMain::MDIForm_QueryUnload(bool& cancel)
{
    AppState& a = App();
    if (IsDirty(0)) {
        const int answer =
            a.Presenter->MsgBox(QStringLiteral("Save project"), MsgStyle::YesNoCancel | MsgStyle::Question);
        if (answer == MsgResult::Cancel) {
            cancel = true;
            return;
        }
        if (answer == MsgResult::Yes && !SaveProject()) {
            cancel = true;
            return;
        }
    }
    CloseHelp();
    hide();
    delete mByBy.data();
    mByBy = new frmByBy;
    mByBy->show();
    a.Shell->DoEvents();
    // The joystick window and the datalog windows go now.
    Q_EMIT a.Notifier->ProgramEnding();
    // The farewell picture goes last, after the main window's own windows.
}

void mdiMain::closeEvent(QCloseEvent* event)
{
    if (mClosing) {
        event->accept();
        return;
    }
    bool cancel = false;
    MDIForm_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    mClosing = true;
    mMdi->closeAllSubWindows();
    event->accept();
    delete mByBy.data();
    QCoreApplication::quit();
}

void UnloadAtProgramEnd(QWidget* window)
{
    QObject::connect(App().Notifier.get(), &Notifier::ProgramEnding, window, [window] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
            delete sub;
        else
            delete window;
    });
}
