#pragma once
// What the model and the compiler call of the world around them: message
// boxes, the settings store, the joystick, and the windows. The shell gives
// them real implementations; tests fake them. Every interface has a quiet
// default so that code runs headless where no window is wanted.
#include "model/Variant.h"

#include <QString>

// Message box return values.
namespace MsgResult {
enum : int { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
}
// Message box styles the system uses (buttons plus icon).
namespace MsgStyle {
enum : int {
    OkOnly = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5,
    Critical = 16, Question = 32, Exclamation = 48, Information = 64,
};
}

// Screen pointer shapes.
namespace PointerShape {
enum : int { Default = 0, Hourglass = 11 };
}

class IMessagePresenter {
public:
    virtual ~IMessagePresenter() = default;
    // Shows a message box and returns the pressed button (MsgResult).
    // An empty title means the application's own title.
    virtual int MsgBox(const QString& text, int style, const QString& title = QString()) = 0;
    // Asks for a text; an empty text when cancelled.
    virtual QString InputBox(const QString& prompt, const QString& title = QString(),
                             const QString& defaultText = QString()) = 0;
};

// The per-user settings store of the application "Quillomat".
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual QString GetSetting(const QString& section, const QString& key,
                               const QString& defaultValue = QString()) = 0;
    virtual void SaveSetting(const QString& section, const QString& key, const QString& value) = 0;
};

struct JoystickCaps {
    bool ok = false;  // the query succeeded
    int buttons = 0;
    bool hasZ = false;
    bool hasR = false;
};

struct JoystickState {
    bool ok = false;
    Long x = 0, y = 0, z = 0, r = 0;  // axis positions 0..65535
    Long buttons = 0;                 // bit n-1 = button n pressed
};

// Joystick 0 and the keyboard as the PC-side run reads them.
class IJoystick {
public:
    virtual ~IJoystick() = default;
    virtual JoystickCaps GetDevCaps() = 0;
    virtual JoystickState GetPos() { return {}; }
    // True while the key with the given virtual key code (31..250) is down.
    virtual bool KeyDown(int /*keyCode*/) { return false; }
};

class CommandOwner;

// An editor window (frmDeskTop) as the model and the compiler see it.
class ICommandWindow {
public:
    virtual ~ICommandWindow() = default;
    virtual void ZOrder() = 0;  // bring to the front
    virtual void setMyCommandBlock(CommandOwner* owner) = 0;
    virtual CommandOwner* MyCommandBlock() const = 0;
    virtual void Show() = 0;
    virtual void setParentCaption(const QString& caption) = 0;
    virtual void setFormType(Long kind) = 0;
    virtual Long FormType() const = 0;
    virtual void setParentTaskName(const QString& name) = 0;
    virtual QString ParentTaskName() const = 0;
    virtual void setTaskLoop(Integer value) = 0;            // chkTaskLoop
    virtual void setTaskLoopCaption(const QString& text) = 0;
    virtual void setStartOnStartup(Integer value) = 0;      // chkStartOnStartup
    virtual void setStartOnStartupVisible(bool visible) = 0;
    virtual void setTitleText(const QString& text) = 0;      // txtTitle
    virtual void setCaption(const QString& caption) = 0;
    virtual QString Caption() const = 0;
    virtual QString CursorPos() const = 0;
    virtual void setCursorPos(const QString& key) = 0;
    virtual void Close() = 0;
    // The header text of the window's title strip (read by the window list).
    virtual QString ParentTitle() const { return QString(); }
    // Scrolls the grid so that the cursor's row is in view.
    virtual void ScrollScr() {}
};

// The main window and the program's other windows (editors, explorer, map,
// set-up window, preview), as the model and the compiler call them.
class IWindowServices {
public:
    virtual ~IWindowServices() = default;
    // A new editor window, or nullptr where there is none (headless).
    virtual ICommandWindow* CreateDeskTop() { return nullptr; }
    // The main window's active child editor window, or nullptr.
    virtual ICommandWindow* ActiveDeskTop() { return nullptr; }
    // Lets pending events run once.
    virtual void DoEvents() {}

    // The open/new dialog frmOpen, shown modally; it leaves its results in the
    // state (OpenCanceled, OpenName, TaskAction, SubAction ...).
    virtual void ShowOpenDialog(Long /*openMode*/, Long /*objToOpen*/) {}

    // The editor windows and the joystick window of the open project, closed
    // when another project is opened (once it has been read whole).
    virtual void CloseProjectWindows() {}

    // Project explorer frmProjExp.
    virtual void ProjExpAddNewModul(const QString& /*name*/, Long /*type*/) {}
    virtual void ProjExpUnloadAndShow() {}
    // Project map frmMap: unloaded so that it is rebuilt when next shown.
    virtual void MapUnload() {}
    // When the map is open, rebuilds the branch of the named task or sub.
    virtual void MapUpdateNode(const QString& /*moduleName*/) {}
    // RCX set-up window frmMain.
    virtual void SetupWindowUnload() {}
    virtual void SetupWindowShowModal() {}
    // Main window: its caption, its toolbars for App().ProjectType, and the
    // motor buttons' tool tips from the set-up.
    virtual void SetMainCaption(const QString& /*caption*/) {}
    virtual void SetToolbarsForType() {}
    virtual void UpdateMotorTips() {}

    // Status strip picStatus: one line at a left offset in twips, black (0) or red (255).
    virtual void StatusClear() {}
    virtual void StatusPrint(const QString& /*text*/, int /*leftTwips*/ = 700, Long /*color*/ = 0) {}
    // The strip's own field that names the brick the program talks to; clearing leaves it.
    virtual void StatusBrick(const QString& /*text*/) {}
    // Progress bar PBar.
    virtual void ProgressSetMin(double /*v*/) {}
    virtual void ProgressSetMax(double /*v*/) {}
    virtual void ProgressSetValue(double /*v*/) {}
    virtual void ProgressSetVisible(bool /*visible*/) {}
    // Screen pointer (PointerShape); and the one last set.
    virtual void SetPointer(int /*shape*/) {}
    virtual int Pointer() const { return 0; }
    // The preview window shows the listing.
    virtual void ShowPreview(const QString& /*listing*/) {}
    // Unloads the preview window; the next ShowPreview creates it afresh.
    virtual void PreviewUnload() {}
};
