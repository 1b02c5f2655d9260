#include "views/TreePresenter.h"

#include "shell/Pictures.h"

#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

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

QTreeWidget* AddViewTree(QWidget* window, const QString& objectName, ViewTree* tree, TreeActions actions)
{
    auto* v = new QVBoxLayout(window);
    v->setContentsMargins(0, 0, 0, 0);
    auto* widget = new QTreeWidget(window);
    widget->setObjectName(objectName);
    widget->setHeaderHidden(true);
    widget->setIconSize(QSize(16, 16));
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    // No node text can be edited.
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->addWidget(widget);

    FollowExpansion(widget, tree);
    QObject::connect(widget, &QTreeWidget::itemClicked, window, actions.nodeClick);
    QObject::connect(widget, &QTreeWidget::itemDoubleClicked, window,
                     [nodeClick = actions.nodeClick, dblClick = actions.dblClick](QTreeWidgetItem* item) {
                         nodeClick(item);
                         dblClick();
                     });
    QObject::connect(widget, &QTreeWidget::customContextMenuRequested, window, actions.menu);
    return widget;
}
