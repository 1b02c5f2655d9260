#pragma once
// What happened in the program, told one way: a module added, removed or
// changed, a project replaced, the set-up changed, a listing made, a transfer
// begun, a run started ... The project's own changes are told by the
// functions that make them (model/ProjectDocument.h), with what changed; each
// window connects to what it shows and decides what to do; a connection ends
// with its window. Nothing listening is the quiet default (headless, tests).
// App().Notifier is the one notifier; ResetApp() makes a fresh one.
//
// A signal's slot must not throw: an exception through an emission is
// undefined. What can fail or answers goes through IShellRequests.
#include "model/Module.h"
#include "model/ProjectType.h"
#include "model/Variant.h"

#include <QObject>
#include <QString>

// What a compile was for: the COMPILE key's listing, a download, or a
// Joystick & Keyboard project's run on the PC.
enum class CompileFor { Listing, Download, Run };

class Notifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The screen pointer (PointerShape): sets it and tells PointerChanged;
    // Pointer() is the one last set, also with no window listening.
    void SetPointer(int shape);
    int Pointer() const { return mPointer; }

Q_SIGNALS:
    // The project's modules: a task (kind ModuleKind::Task) or sub
    // (ModuleKind::Sub) joined the project, one by one as a project opens,
    // or was taken out of it (told while the module is still there to read);
    // a module's grid or heading changed (once for the changes of one user
    // action, ProjectDocument::EditBatch).
    void ModuleAdded(const clsModule& module, Long kind);
    void ModuleRemoved(const clsModule& module, Long kind);
    void ModuleChanged(const clsModule& module, Long kind, ModulePart part);
    // Another project is the open one (opened or made): its lists replaced,
    // its modules follow with ModuleAdded. Before it: the kept listing gone
    // (ListingDropped), the set-up replaced (SetupReplaced), the open
    // project's name (ProjectRenamed); after it its type (ProjectTypeChanged).
    void ProjectReplaced();
    void ProjectRenamed(const QString& name);
    void ProjectTypeChanged(ProjectType type);
    // The set-up is another project's now (ports, polling).
    void SetupReplaced();
    // The set-up changed: a port's motor or sensor (their types, what forward
    // and backward mean, what is polled), the program slot.
    void SetupChanged();
    // The named values (variables, constants, ranges, the ports' values) changed.
    void NamedValuesChanged();
    // A compile made this listing and it is kept (an RCX project's; a Joystick
    // & Keyboard project is never listed); the listing kept is gone (a compile
    // failed, another project is open).
    void ListingMade(const QString& listing, CompileFor purpose);
    void ListingDropped();

    // Asked by a window of another: the set-up window (by the user, or for a
    // project just made); the listing kept, to be shown; the project map's
    // branch of a module made afresh (an editor window's F5).
    void SetupRequested();
    void ListingRequested(const QString& listing);
    void MapUpdateRequested(const clsModule& module, Long kind);

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
