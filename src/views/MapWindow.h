#pragma once
// frmMap, the project map window: the tree of ProjectMap in a tree widget,
// with its pop-up menu (find, update, open and close, jump, picture size,
// print), F3 to find again and a double click to jump.
#include "views/core/ProjectMap.h"

#include <QWidget>

class QAction;
class QMenu;
class QMdiSubWindow;
class QTreeWidget;
class QTreeWidgetItem;

class frmMap : public QWidget {
    Q_OBJECT
public:
    explicit frmMap(QWidget* parent = nullptr);
    ~frmMap() override;

    ProjectMap Map;
    QTreeWidget* TV1;
    QMenu* mnuFile;
    QAction* mnuFind;
    QAction* mnuUpdateMap;
    QAction* mnuExpandMap;
    QAction* mnuOpenLeaf;
    QAction* mnuColapseAll;
    QAction* mnuGoToCommands;
    QAction* mnuSmallImage;
    QAction* mnuBigImage;
    QAction* mnuPrint;
    QString Tag() const { return QStringLiteral("map"); }

    void UpdateMap();
    void UpdateNodeOnly(const QString& taskName, Long fType);
    // Shows the model's tree again (after the model changed).
    void Present();
    // Unloads from code: the list of modules changed, the map is made afresh when next shown.
    void Unload();

    void mnuFind_Click();
    void FindAgain();
    void mnuUpdateMap_Click() { UpdateMap(); }
    void mnuExpandMap_Click();
    void mnuOpenLeaf_Click();
    void mnuColapseAll_Click();
    void mnuGoToCommands_Click();
    void mnuSmallImage_Click();
    void mnuBigImage_Click();
    void mnuPrint_Click();
    void TV1_NodeClick(QTreeWidgetItem* item);
    void TV1_DblClick();
    // The right button at a point of the tree's viewport: the node there
    // becomes current and the menu pops up (at the pointer unless told not to).
    void TV1_MouseUp(const QPoint& pos, bool popup = true);

    // The sub-window in the main window's MDI area, or nullptr.
    QMdiSubWindow* SubWindow() const { return mSub; }

    // A PC-side run locks the tree.
    void SetProjectEditingEnabled(bool enable);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMdiSubWindow* mSub = nullptr;
};
