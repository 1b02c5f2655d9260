#pragma once
// What the model tells the windows, one way: a module was added or changed, the
// explorer or the map is out of date, the main window's caption, the status
// strip, the progress bar, the pointer, the preview ... Windows connect to the
// signals they show when they open; a connection ends with its window. Nothing
// listening is the quiet default (headless, tests). App().Notifier is the one
// notifier; ResetApp() makes a fresh one.
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
    // Project explorer frmProjExp: a task or sub joined the project; the
    // explorer is unloaded and shown again (rebuilt from the project's lists).
    void ModuleAdded(const QString& name, Long type);
    void ProjectReplaced();
    // Project map frmMap: the named task or sub changed (its branch is rebuilt
    // when the map is open); the map is unloaded so that it is rebuilt when next shown.
    void ModuleChanged(const QString& name);
    void ModuleListChanged();
    // RCX set-up window frmMain: unloaded (the set-up changed under it), or shown modally.
    void SetupReplaced();
    void SetupRequested();
    // Main window: its caption; the project type changed (toolbars for
    // App().ProjectType); the set-up's motors changed (the motor keys' tips).
    void ProjectTitleChanged(const QString& caption);
    void ProjectTypeChanged();
    void MotorsChanged();
    // Status strip picStatus: cleared; one line at a left offset in twips,
    // black (0) or red (255); the strip's own field that names the brick
    // (clearing leaves it).
    void StatusCleared();
    void StatusPrinted(const QString& text, int leftTwips = 700, Long color = 0);
    void BrickDescribed(const QString& text);
    // Progress bar PBar: a transfer of size units begun, advanced to value, ended.
    void TransferBegun(Long size);
    void TransferAdvanced(Long value);
    void TransferEnded();
    void PointerChanged(int shape);
    // The preview window shows the listing; unloaded, so that the next show
    // creates it afresh.
    void ListingMade(const QString& listing);
    void ListingRequested(const QString& listing);
    void ListingOutOfDate();
    // A PC-side run started (true: what edits the project locks) or ended (false).
    void RunningChanged(bool running);
    // The main window's MDI area changed its size.
    void MainAreaResized();
    // The program ends: the windows that go before the farewell picture close.
    void ProgramEnding();

private:
    int mPointer = 0;
};
