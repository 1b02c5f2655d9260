#pragma once
// The project map without widgets: the tree of every task and sub with the
// commands of their grids and, nested below them, the bodies of their IF,
// WHILE and LOOP commands; finding a node by text, opening a branch, the jump
// from a node to its command's editor window, and the lines of the printed
// project report. frmMap presents it.
//
// Node kinds: a module node (Key = Text = the module's name, Image and Tag
// "TASK" or "SUB"); a command node (Key = command key and NodeCounter, Text =
// its caption, Image = its picture, Tag = its grid key); under an IF its YES
// and NO nodes ("YES"/"NO" and NodeCounter, no text), holding the THEN and
// ELSE columns. A node is a module node exactly when its Key equals its Text.
#include "model/AppState.h"
#include "views/core/ViewTree.h"

#include <functional>

// One line of the project report.
struct ReportLine {
    QString text;
    bool bold = false;
    Long color = 0;  // RGB as 0xBBGGRR: 0 black, 0x008000 green, 0x0000FF red
};

class ProjectMap {
public:
    // The map shows the lists of app and opens windows through its shell.
    explicit ProjectMap(AppState& app) : mApp(app) {}

    ViewTree Tree;
    // Node key -> the module of a module node, or the block command of an IF,
    // WHILE or LOOP node.
    Collection<std::shared_ptr<CommandOwner>> colMap;
    // The module whose branch is being (or was last) built.
    clsModule* MyCommandBlock = nullptr;
    // The node last clicked, found or hit; empty for none.
    QString curNode;
    Integer NodeCounter = 0;
    QString LastSearch;
    bool SearchWrapped = false;
    // Modules a rebuild could not show a second time (a task and a sub of one
    // name, or a module named like a command node); said once per rebuild.
    QStringList Clashes;

    void UpdateMap();
    // Rebuilds the branch of one module in its place; fType 1 task, 5 sub.
    void UpdateNodeOnly(const QString& taskName, Long fType);
    // Adds the nodes of one grid under mapRoot: comType 0 a module's grid,
    // 2 an IF body (ifRoot = the IF's node key), 4 a WHILE or LOOP body.
    void RefreshTaskMap(const CommandCollectionPtr& mapCommands, QString mapRoot, Long comType,
                        const QString& ifRoot);

    // The next node after curNode whose text holds findText (letter case
    // ignored), wrapping once; one message when found nowhere. True when found.
    bool FindNextNode(const QString& findText, bool fromFirst);
    // The find prompt: asks for a text and searches it. False when nothing was asked for.
    bool Find();
    // Expands curNode with every node below it.
    void OpenBranch();
    // The jump from curNode to its command: opens the editor window of the
    // module or block holding it with the cursor on the command's cell. A
    // double click on a node with children only opens or closes it (false).
    // Returns the window moved to, or nullptr.
    ICommandWindow* GoToCommand(bool fromDblClick);
    // GoToCommand, then the window scrolls to its cursor.
    void Jump(bool fromDblClick);

    static bool IsModuleNode(const TreeNode& n);
    // The picture of a command node: the command catalogue's picture of its key.
    static QString NodeImage(const clsCommand& command);
    // The text of a command node: caption line 1, a blank, caption line 2 with
    // each CR LF as two blanks.
    static QString NodeText(const clsCommand& command);

    // The project report, line by line.
    std::vector<ReportLine> ReportLines() const;

private:
    bool isActive() const;
    void expandIfActive(const QString& key);
    bool addModuleNode(const std::shared_ptr<clsModule>& module, const QString& tag, int position);
    QString commandNodeKey(const QString& prefix);
    void ExpandBranch(const QString& firstKey);

    AppState& mApp;
};
