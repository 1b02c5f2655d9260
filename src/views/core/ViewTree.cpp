#include "views/core/ViewTree.h"

#include "model/VbError.h"

#include <QSet>

TreeNode& ViewTree::Add(const QString& parent, const QString& key, const QString& text,
                        const QString& image, int position)
{
    if (key.isEmpty() || Exists(key))
        raiseError(Err::DuplicateKey);
    QStringList* siblings = &mRoots;
    TreeNode n;
    if (!parent.isEmpty()) {
        TreeNode* p = Find(parent);
        if (!p)
            raiseError(Err::InvalidCall);
        siblings = &p->Children;
        n.Parent = p->Key;
    }
    if (position < 0 || position > siblings->size())
        siblings->append(key);
    else
        siblings->insert(position, key);
    n.Key = key;
    n.Text = text;
    n.Image = image;
    mIndex.insert(fold(key), int(mNodes.size()));
    mNodes.push_back(std::move(n));
    return mNodes.back();
}

void ViewTree::Remove(const QString& key)
{
    const TreeNode* n = Find(key);
    if (!n)
        return;
    // Collect the branch.
    QSet<QString> gone;
    QStringList todo{n->Key};
    while (!todo.isEmpty()) {
        const QString k = todo.takeLast();
        gone.insert(fold(k));
        todo.append(Find(k)->Children);
    }
    QStringList& siblings = n->Parent.isEmpty() ? mRoots : Find(n->Parent)->Children;
    siblings.removeIf([&](const QString& k) { return fold(k) == fold(key); });
    std::erase_if(mNodes, [&](const TreeNode& t) { return gone.contains(fold(t.Key)); });
    reindex();
}

void ViewTree::Clear()
{
    mNodes.clear();
    mIndex.clear();
    mRoots.clear();
}

int ViewTree::IndexOf(const QString& key) const
{
    return mIndex.value(fold(key), -1);
}

TreeNode* ViewTree::Find(const QString& key)
{
    const int i = IndexOf(key);
    return i < 0 ? nullptr : &mNodes[size_t(i)];
}

const TreeNode* ViewTree::Find(const QString& key) const
{
    const int i = IndexOf(key);
    return i < 0 ? nullptr : &mNodes[size_t(i)];
}

const QStringList& ViewTree::ChildrenOf(const QString& key) const
{
    static const QStringList none;
    if (key.isEmpty())
        return mRoots;
    const TreeNode* n = Find(key);
    return n ? n->Children : none;
}

QString ViewTree::FullPath(const QString& key) const
{
    QStringList parts;
    for (const TreeNode* n = Find(key); n; n = n->Parent.isEmpty() ? nullptr : Find(n->Parent))
        parts.prepend(n->Text);
    return parts.join(QLatin1Char('\\'));
}

int ViewTree::Depth(const QString& key) const
{
    return int(FullPath(key).count(QLatin1Char('\\')));
}

void ViewTree::SetExpanded(const QString& key, bool expanded)
{
    if (TreeNode* n = Find(key))
        n->Expanded = expanded;
}

void ViewTree::SetAllExpanded(bool expanded)
{
    for (TreeNode& n : mNodes)
        n.Expanded = expanded;
}

void ViewTree::EnsureVisible(const QString& key)
{
    const TreeNode* n = Find(key);
    while (n && !n->Parent.isEmpty()) {
        TreeNode* p = Find(n->Parent);
        p->Expanded = true;
        n = p;
    }
}

void ViewTree::reindex()
{
    mIndex.clear();
    for (int i = 0; i < int(mNodes.size()); ++i)
        mIndex.insert(fold(mNodes[size_t(i)].Key), i);
}
