#pragma once
// A tree of keyed nodes as the project map and the project explorer hold it,
// without widgets: each node has a key (unique, letter case ignored), a text,
// an image key, a tag, a parent and an expanded flag. Nodes are kept in index
// order, the order in which they were added; under each parent the children
// stand in display order. The windows present it in a tree widget.
//
//   ViewTree t;
//   t.Add("", "main", "main", "TASK");        // top level
//   t.Add("main", "M_ON0", "Motor on A", "M_ON");
//   t.FullPath("M_ON0")                        -> "main\Motor on A"
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

struct TreeNode {
    QString Key;
    QString Text;
    QString Image;
    QString Tag;
    QString Parent;        // key of the parent, empty at the top level
    QStringList Children;  // keys of the children in display order
    bool Expanded = false;
};

class ViewTree {
public:
    // Adds a node under the parent (empty: top level). position is its place
    // among the parent's children, -1 for the end. A key already in the tree
    // fails with 457; a parent that is not there with 5.
    TreeNode& Add(const QString& parent, const QString& key, const QString& text,
                  const QString& image, int position = -1);
    // Removes a node with its whole branch; a missing key does nothing.
    void Remove(const QString& key);
    void Clear();

    int Count() const { return int(mNodes.size()); }
    // By 0-based index order.
    const TreeNode& At(int index) const { return mNodes[size_t(index)]; }
    // 0-based index of the key, -1 when missing.
    int IndexOf(const QString& key) const;
    bool Exists(const QString& key) const { return IndexOf(key) >= 0; }
    TreeNode* Find(const QString& key);
    const TreeNode* Find(const QString& key) const;

    // Keys of the top-level nodes in display order.
    const QStringList& Roots() const { return mRoots; }
    // Keys of a node's children (or of the top level for an empty key).
    const QStringList& ChildrenOf(const QString& key) const;
    // The texts from the top-level node down to this one, joined by "\".
    QString FullPath(const QString& key) const;
    // How many "\" the full path holds (0 at the top level; a "\" inside a text counts too).
    int Depth(const QString& key) const;

    void SetExpanded(const QString& key, bool expanded);
    void SetAllExpanded(bool expanded);
    // Opens every ancestor of the node.
    void EnsureVisible(const QString& key);

private:
    static QString fold(const QString& key) { return key.toLower(); }
    void reindex();

    std::vector<TreeNode> mNodes;
    QHash<QString, int> mIndex;
    QStringList mRoots;
};
