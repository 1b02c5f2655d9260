#pragma once
// Shows a ViewTree in a tree widget: one item per node (its key in the item's
// data), the node's picture from the program's pictures, the expanded flags
// applied, and the tree's expanding and collapsing written back to the nodes.
#include "views/ViewTree.h"

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

constexpr int NodeKeyRole = Qt::UserRole + 1;

// Rebuilds the widget's items from the tree and selects the node of selectKey.
void PresentTree(QTreeWidget* widget, const ViewTree& tree, const QString& selectKey);
// The item of a node key, or nullptr.
QTreeWidgetItem* ItemOfKey(QTreeWidget* widget, const QString& key);
// The node key of an item, empty for none.
QString KeyOfItem(const QTreeWidgetItem* item);
// Keeps the nodes' expanded flags in step with the user's opening and closing.
void FollowExpansion(QTreeWidget* widget, ViewTree* tree);
