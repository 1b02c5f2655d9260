#pragma once
// Shows a ViewTree in a tree widget: one item per node (its key in the item's
// data), the node's picture from the program's pictures, the expanded flags
// applied, and the tree's expanding and collapsing written back to the nodes.
#include "views/core/ViewTree.h"

#include <QString>

#include <functional>

class QPoint;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

constexpr int NodeKeyRole = Qt::UserRole + 1;

// Rebuilds the widget's items from the tree and selects the node of selectKey.
void PresentTree(QTreeWidget* widget, const ViewTree& tree, const QString& selectKey);
// The item of a node key, or nullptr.
QTreeWidgetItem* ItemOfKey(QTreeWidget* widget, const QString& key);
// The node key of an item, empty for none.
QString KeyOfItem(const QTreeWidgetItem* item);
// Keeps the nodes' expanded flags in step with the user's opening and closing.
void FollowExpansion(QTreeWidget* widget, ViewTree* tree);

// What a view window does with the mouse on its tree: a click makes a node
// current, a double click makes it current and then acts on it, the right
// button asks for the pop-up menu at a point of the viewport.
struct TreeActions {
    std::function<void(QTreeWidgetItem*)> nodeClick;
    std::function<void()> dblClick;
    std::function<void(const QPoint&)> menu;
};
// The tree widget that fills a view window: no header, no editing, small
// pictures, the tree's expanded flags following the user, and the actions.
QTreeWidget* AddViewTree(QWidget* window, const QString& objectName, ViewTree* tree, TreeActions actions);
