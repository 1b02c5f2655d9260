#pragma once
// frmProjExp, the project explorer window: the tree of ProjectExplorer, kept
// at the right edge of the main window's MDI area. A double click opens a
// module, the pop-up menu removes one. A close by the user only hides it.
#include "views/core/ProjectExplorer.h"

#include <QWidget>

class QAction;
class QMenu;
class QMdiSubWindow;
class QTreeWidget;
class QTreeWidgetItem;

class frmProjExp : public QWidget {
    Q_OBJECT
public:
    explicit frmProjExp(QWidget* parent = nullptr);
    ~frmProjExp() override;

    ProjectExplorer Explorer;
    QTreeWidget* TVExp;
    QMenu* mnuFile;
    QAction* mnuRemove;

    void AddNewModul(const QString& moduleName, Long moduleType);
    void Present();
    void ShowInFront();
    // Unloads from code (the user's close only hides).
    void Unload();

    void TVExp_NodeClick(QTreeWidgetItem* item);
    void TVExp_DblClick();
    // The right button released at pos of the viewport: the node there becomes
    // current and the menu pops up for it. Returns whether it would pop up
    // (popup false: only decide).
    bool TVExp_MouseUp(const QPoint& pos, bool popup = true);
    void mnuRemove_Click();

    QMdiSubWindow* SubWindow() const { return mSub; }

    // A PC-side run locks the tree; the window keeps to the area's right edge.
    void SetProjectEditingEnabled(bool enable);
    void MainAreaResized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMdiSubWindow* mSub = nullptr;
    bool mUnloading = false;
};
