#pragma once
// The windows the shell knows while they are open. A window outside the shell
// (map, explorer, set-up window, datalog windows, joystick viewer ...)
// registers itself with the main window when it opens and leaves when it is
// destroyed; the shell then asks the registered windows what it needs of them
// instead of looking them up by name or learning their kind by a cast.
#include <QList>
#include <QObject>
#include <QPointer>

#include <algorithm>

class QWidget;

class IShellWindow {
public:
    virtual ~IShellWindow() = default;
    // The widget whose destruction ends the registration.
    virtual QWidget* ShellWidget() = 0;
    // A PC-side run locks (false) and frees (true) what edits the project.
    virtual void SetProjectEditingEnabled(bool /*enable*/) {}
    // The main window's MDI area changed its size.
    virtual void MainAreaResized() {}
    // True for windows that go when the program ends, before the farewell picture.
    virtual bool UnloadAtExit() const { return false; }
};

class WindowRegistry : public QObject {
public:
    using QObject::QObject;
    // Registers a window; it leaves by itself when its widget is destroyed.
    void Add(IShellWindow* window);
    void Remove(IShellWindow* window);
    bool Contains(const IShellWindow* window) const;
    // The registered windows in the order they registered.
    QList<IShellWindow*> Windows() const;

private:
    struct Entry {
        IShellWindow* window;
        QPointer<QWidget> widget;
    };
    QList<Entry> mEntries;
};
