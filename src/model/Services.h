#pragma once
// What the model and the compiler call of the world around them: message
// boxes, the settings store, the joystick, and what they ask of the main
// window (one-way news goes through model/Notifier.h). The shell gives
// them real implementations; tests fake them. Every interface has a quiet
// default so that code runs headless where no window is wanted.
#include "model/ProjectType.h"
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
    // The second button is the default (Enter), not the first.
    DefaultButton2 = 256,
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

// What the open/new dialog frmOpen offers (its OpenMode: a new object, an
// existing one, or either), the object it asks for (its ObjToOpen), and what
// the user chose to do with it.
namespace OpenOffer {
enum : int { NewOnly = 1, ExistingOnly = 2, NewOrExisting = 3 };
}
namespace OpenObject {
enum : int { Project = 1, Task = 2, Sub = 3 };
}
namespace OpenAction {
enum : int { None = 0, Existing = 1, New = 2 };
}

// What the open/new dialog frmOpen gives back: cancelled, or the name and
// what to do with the object asked for (OpenAction: open the existing one or
// make a new one) in the field of that object (project, task or sub), and the
// project type chosen for a new one.
struct OpenChoice {
    bool canceled = true;
    QString name;
    Integer projectAction = OpenAction::None;
    Integer taskAction = OpenAction::None;
    Integer subAction = OpenAction::None;
    ProjectType projectType = ProjectType::Rcx;
};

// What the model and the compiler ask of the main window and get an answer
// to, or what can fail in a way the caller must learn. One-way news goes
// through App().Notifier (model/Notifier.h).
class IShellRequests {
public:
    virtual ~IShellRequests() = default;
    // A new editor window, or nullptr where there is none (headless).
    virtual ICommandWindow* CreateDeskTop() { return nullptr; }
    // The main window's active child editor window, or nullptr.
    virtual ICommandWindow* ActiveDeskTop() { return nullptr; }
    // Lets pending events run once.
    virtual void DoEvents() {}

    // The open/new dialog frmOpen for the object (OpenObject) in the mode
    // (OpenOffer), shown modally. A dialog that closes itself while it opens
    // gives what it chose by itself.
    virtual OpenChoice ShowOpenDialog(Long /*openMode*/, Long /*objToOpen*/) { return {}; }

    // The editor windows and the joystick window of the open project, closed
    // when another project is opened (once it has been read whole). A window
    // that fails to close throws.
    virtual void CloseProjectWindows() {}
};
