#include "views/TreePresenter.h"

#include "shell/Pictures.h"

#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

// The project folder pictures are the explorer's own picture.
QString pictureOf(const QString& image)
{
    if (image.startsWith(QLatin1String("PROJECT_"), Qt::CaseInsensitive))
        return QStringLiteral("PROJEXP");
    return image;
}

void addChildren(QTreeWidget* widget, QTreeWidgetItem* parent, const ViewTree& tree, const QString& key,
                 QList<QTreeWidgetItem*>& expanded)
{
    for (const QString& k : tree.ChildrenOf(key)) {
        const TreeNode* n = tree.Find(k);
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(widget);
        item->setText(0, n->Text);
        item->setData(0, NodeKeyRole, n->Key);
        item->setIcon(0, CommandIcon(pictureOf(n->Image)));
        if (n->Expanded)
            expanded.append(item);
        addChildren(widget, item, tree, k, expanded);
    }
}

}  // namespace

void PresentTree(QTreeWidget* widget, const ViewTree& tree, const QString& selectKey)
{
    const QSignalBlocker block(widget);
    widget->setUpdatesEnabled(false);
    widget->clear();
    QList<QTreeWidgetItem*> expanded;
    addChildren(widget, nullptr, tree, QString(), expanded);
    for (QTreeWidgetItem* item : expanded)
        item->setExpanded(true);
    if (QTreeWidgetItem* item = ItemOfKey(widget, selectKey)) {
        widget->setCurrentItem(item);
        widget->scrollToItem(item);
    }
    widget->setUpdatesEnabled(true);
}

QTreeWidgetItem* ItemOfKey(QTreeWidget* widget, const QString& key)
{
    if (key.isEmpty())
        return nullptr;
    for (QTreeWidgetItemIterator it(widget); *it; ++it)
        if (KeyOfItem(*it).compare(key, Qt::CaseInsensitive) == 0)
            return *it;
    return nullptr;
}

QString KeyOfItem(const QTreeWidgetItem* item)
{
    return item ? item->data(0, NodeKeyRole).toString() : QString();
}

void FollowExpansion(QTreeWidget* widget, ViewTree* tree)
{
    QObject::connect(widget, &QTreeWidget::itemExpanded, widget,
                     [tree](QTreeWidgetItem* item) { tree->SetExpanded(KeyOfItem(item), true); });
    QObject::connect(widget, &QTreeWidget::itemCollapsed, widget,
                     [tree](QTreeWidgetItem* item) { tree->SetExpanded(KeyOfItem(item), false); });
}
