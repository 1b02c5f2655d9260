#pragma once
// Adding tasks and subs, the name rules, the project's changed state, and
// opening the editor window of a task, sub or block command.
#include "model/AppState.h"

#include <memory>

// The most tasks and subs a project holds: what one program slot of the brick
// takes besides its start-up task 0.
constexpr int MaxTasks = 9;
constexpr int MaxSubs = 8;

// Add a task or a sub the user names in the open/new dialog: a new one, or
// one read from its file. Refused with a message: a full list (before the
// dialog), a name a task or sub of the project has, and a new module named
// like a file in its folder (the project's folder for a task, Subs for a sub),
// letter case aside, as saving it would replace that file. True when the
// module was added; a failure is shown and gives False.
bool AddTask(Long openMode);
bool AddSub(Long openMode);
// AddTask in its two steps, for a caller that must know the task before it
// changes the project: AskForTask shows the open/new dialog for a task and
// gives its choice, cancelled when the dialog was (or failed); AddAskedTask
// then adds the task chosen as AddTask does.
OpenChoice AskForTask(Long openMode);
bool AddAskedTask(const OpenChoice& choice);
bool IsValidModuleName(const QString& name);
// True when a member of the collection has that name, letter case aside (the
// lists are keyed without regard to case, so "BEEP" would clash with "Beep");
// kind 1 looks at tasks, 5 at subs, any other kind never matches.
bool ModuleNameExists(const Collection<TaskPtr>& list, const QString& name, Long kind);
bool ModuleNameExists(const Collection<SubPtr>& list, const QString& name, Long kind);
// 0 anything, 1 the set-up, 2 any task, 3 any sub.
bool IsDirty(Long kind);
// An edit of the module of that name (a task before a sub, the name as it is
// written): it counts as changed and the edit is told (ModuleChanged).
void MarkModuleDirty(const QString& name, ModulePart part = ModulePart::Commands);
void OpenCommandWindow(Long kind, CommandOwner* owner, const QString& parentTaskName,
                       const QString& parentCaption);

// The grid an editor window shows, as OpenCommandWindow takes it: its kind
// (ModuleKind, 0 for none), its owner (a task, a sub, or the block command
// whose body it is), and for a body the task or sub that holds it and the
// block's caption. A compile tells by it where its fault lies.
struct CommandWindowTarget {
    Long kind = 0;
    std::weak_ptr<CommandOwner> owner;
    QString parentTaskName;
    QString parentCaption;
    bool isSet() const { return kind != 0; }
};
// Opens the target's window (or brings it forward) as OpenCommandWindow does
// and puts its cursor on the cell; nothing for a target not set or whose owner
// has gone.
void OpenCommandWindow(const CommandWindowTarget& target, const QString& cell);
QString ReplaceCrLf(const QString& text);
