#pragma once
// The project explorer without widgets: the project node "root", its folders
// "task" and "sub", and one node per task (Tag 1) and sub (Tag 5) in the order
// they were announced; opening a module and removing it from the project with
// the remaining modules renumbered. frmProjExp presents it.
#include "model/AppState.h"
#include "views/core/ViewTree.h"

#include <functional>

class ProjectExplorer {
public:
    // The explorer works on the lists of app and asks through its presenter.
    explicit ProjectExplorer(AppState& app) : mApp(app) {}

    ViewTree Tree;
    QString curNode;  // the node last clicked, with either button; the project node after loading

    // The open editor windows, so a removal can close the ones captioned with
    // the module's name; none unless the window sets it.
    std::function<QList<ICommandWindow*>()> OpenWindows;

    // The project node and its two folders for the project name.
    void Load(const QString& projectName);
    // A task (1) or sub (5) node under its folder, which opens. A name already
    // in the tree fails with 457, as its caller expects.
    void AddNewModul(const QString& moduleName, Long moduleType);
    // Opens the editor window of the module of curNode; other nodes do nothing.
    void Open();
    // "Remove module" applies to curNode (not the project or a folder).
    bool MenuApplies() const;
    // "Remove module" is enabled: not in a Joystick & Keyboard project.
    bool RemoveEnabled() const;
    // Removes the module of curNode from the project. False when nothing was
    // removed (Cancel, a failed save, a node that is no module).
    bool RemoveModule();

private:
    AppState& mApp;
};
