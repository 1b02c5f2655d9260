#pragma once
// What happened in the program, told one way: a module added or changed, a
// project replaced, the set-up asked for, a listing made, a transfer begun, a
// run started ... Each window connects to what it shows and decides what to do;
// a connection ends with its window. Nothing listening is the quiet default
// (headless, tests). App().Notifier is the one notifier; ResetApp() makes a
// fresh one.
//
// A signal's slot must not throw: an exception through an emission is
// undefined. What can fail or answers goes through IShellRequests.
#include "model/Variant.h"

#include <QObject>
#include <QString>

class Notifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The screen pointer (PointerShape): sets it and tells PointerChanged;
    // Pointer() is the one last set, also with no window listening.
    void SetPointer(int shape);
    int Pointer() const { return mPointer; }

Q_SIGNALS:
    // A task or sub joined the project, one by one as a project opens.
    void ModuleAdded(const QString& name, Long type);
    // Another project is the open one (opened or made), its lists replaced;
    // its modules follow with ModuleAdded.
    void ProjectReplaced();
    // The named task or sub changed (a command put, edited or taken away).
    void ModuleChanged(const QString& name);
    // Tasks or subs were added or removed, or the project's modules replaced:
    // nothing drawn from the whole list is current any more.
    void ModuleListChanged();
    // The set-up (ports, polling) is another project's now.
    void SetupReplaced();
    // The set-up is asked for: by the user, or for a project just made.
    void SetupRequested();
    // The open project's title; its type changed (App().ProjectType); the
    // set-up's motors changed (their types and what forward and backward mean).
    void ProjectTitleChanged(const QString& title);
    void ProjectTypeChanged();
    void MotorsChanged();
    // The status text cleared; one line printed at a left offset in twips,
    // black (0) or red (255); what is said of the brick (the one chosen, or
    // what is being done with it), which clearing leaves.
    void StatusCleared();
    void StatusPrinted(const QString& text, int leftTwips = 700, Long color = 0);
    void BrickDescribed(const QString& text);
    // A transfer to the brick of size units begun, advanced to value, ended.
    void TransferBegun(Long size);
    void TransferAdvanced(Long value);
    void TransferEnded();
    // The screen pointer's shape set (SetPointer).
    void PointerChanged(int shape);
    // A compile made this listing; the user asked for the listing kept; the
    // listing kept is gone or no longer the one last made.
    void ListingMade(const QString& listing);
    void ListingRequested(const QString& listing);
    void ListingOutOfDate();
    // A PC-side run started (true) or ended (false): the project is not to be
    // edited while it runs.
    void RunningChanged(bool running);
    // The main window's MDI area changed its size.
    void MainAreaResized();
    // The program ends: the windows that go before the farewell picture close.
    void ProgramEnding();

private:
    int mPointer = 0;
};
