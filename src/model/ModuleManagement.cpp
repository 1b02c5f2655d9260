#include "model/ModuleManagement.h"

#include "model/Messages.h"
#include "model/Notifier.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include <functional>

namespace {

constexpr Long kObjTask = 2;
constexpr Long kObjSub = 3;
constexpr int kNotSupported = 438;
constexpr int kOutOfMemoryAlt = 50003;

// Module names are told apart without regard to letter case, as the lists
// that hold them are keyed.
bool sameModuleName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool nameInModules(const Collection<TaskPtr>& tasks, const Collection<SubPtr>& subs, const QString& name,
                   bool subsFirst)
{
    if (subsFirst)
        return ModuleNameExists(subs, name, ModuleKind::Sub) || ModuleNameExists(tasks, name, ModuleKind::Task);
    return ModuleNameExists(tasks, name, ModuleKind::Task) || ModuleNameExists(subs, name, ModuleKind::Sub);
}

template <class List>
bool anyDirty(const List& list)
{
    for (const auto& e : list)
        if (e.item && e.item->Dirty)
            return true;
    return false;
}

template <class List>
bool markFirst(List& list, const QString& name)
{
    for (auto& e : list) {
        if (e.item && e.item->Name == name) {
            e.item->Dirty = True;
            return true;
        }
    }
    return false;
}

// Runs one step of opening an editor window; an unset object (91) is passed
// over and the next step follows.
void step(const std::function<void()>& f)
{
    try {
        f();
    } catch (const VbError& e) {
        if (e.number() != Err::ObjectNotSet)
            throw;
    }
}

[[noreturn]] void notSupported()
{
    raiseError(kNotSupported, QStringLiteral("Object doesn't support this property or method"));
}

}  // namespace

bool AddTask(Long openMode)
{
    if (App().TaskList.Count() >= MaxTasks) {
        ShowMessage(QStringLiteral("Can't add any more tasks"), MsgStyle::Exclamation);
        return false;
    }
    const OpenChoice choice = AskForTask(openMode);
    return !choice.canceled && AddAskedTask(choice);
}

OpenChoice AskForTask(Long openMode)
{
    try {
        return App().Shell->ShowOpenDialog(openMode, kObjTask);
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return {};
    }
}

bool AddAskedTask(const OpenChoice& choice)
{
    AppState& app = App();
    try {
        if (nameInModules(app.TaskList, app.SubList, choice.name, false)) {
            ShowMessage(QStringLiteral("A module by that name already exists!"), MsgStyle::Exclamation);
            return false;
        }
        app.CurrentTask = std::make_shared<clsTask>();
        TaskPtr task = app.CurrentTask;
        task->Name = choice.name;
        task->mNumber = Integer(app.TaskList.Count() + 1);

        if (choice.taskAction == 1) {
            if (!ReadTask(*task, False))
                return false;
            // A file whose commands could not be read is reported by the reader
            // and leaves the task out of the list: nothing was added then.
            if (!app.TaskList.Exists(task->Name))
                return false;
            app.RcxSetup->Dirty = True;
            return true;
        }

        task->Dirty = True;
        app.RcxSetup->Dirty = True;
        task->mLoop = 1;
        task->StartOnStartup = 1;
        task->mTitle = QStringLiteral("[general task description]");
        task->ModulType = ModuleKind::Task;
        app.TaskList.Add(task, task->Name);
        Q_EMIT app.Notifier->ModuleAdded(task->Name, ModuleKind::Task);
        return true;
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    }
}

bool AddSub(Long openMode)
{
    AppState& app = App();
    if (app.SubList.Count() >= MaxSubs) {
        ShowMessage(QStringLiteral("Can't add any more subs"), MsgStyle::Exclamation);
        return false;
    }
    const OpenChoice choice = app.Shell->ShowOpenDialog(openMode, kObjSub);
    if (choice.canceled)
        return false;
    if (nameInModules(app.TaskList, app.SubList, choice.name, true)) {
        ShowMessage(QStringLiteral("A module by that name already exists!"), MsgStyle::Exclamation);
        return false;
    }
    // Every project keeps its subs in the one Subs folder: a new sub named like
    // a file there would replace another project's sub when it is saved.
    if (choice.subAction != 1) {
        const QString file = EntryLike(SubFolderPath(), choice.name + QStringLiteral(".sub"));
        if (!file.isEmpty()) {
            ShowMessage(QStringLiteral("A sub named \"%1\" already exists. Add it to the project as an existing "
                                       "sub: \"New/Open sub\", tab \"Existing sub\".")
                            .arg(file.chopped(4)),
                        MsgStyle::Exclamation);
            return false;
        }
    }
    app.CurrentSub = std::make_shared<clsSub>();
    SubPtr sub = app.CurrentSub;
    sub->Name = choice.name;
    sub->mNumber = Integer(app.SubList.Count() + 1);

    if (choice.subAction == 1) {
        if (!ReadSub(*sub, False))
            return false;
        if (!app.SubList.Exists(sub->Name))
            return false;
        app.RcxSetup->Dirty = True;
        return true;
    }

    sub->Dirty = True;
    app.RcxSetup->Dirty = True;
    sub->mLoop = 0;
    sub->mTitle = QStringLiteral("[general sub description]");
    sub->ModulType = ModuleKind::Sub;
    app.SubList.Add(sub, sub->Name);
    Q_EMIT app.Notifier->ModuleAdded(sub->Name, ModuleKind::Sub);
    return true;
}

bool IsValidModuleName(const QString& name)
{
    if (name.isEmpty())
        raiseError(Err::InvalidCall);
    const ushort first = name.at(0).unicode();
    if (first >= '0' && first <= '9')
        return false;
    for (const QChar c : name) {
        const ushort code = c.unicode();
        const bool ok = (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') ||
                        (code >= '0' && code <= '9') || code == ' ' || (code >= 224 && code <= 250);
        if (!ok)
            return false;
    }
    return true;
}

bool ModuleNameExists(const Collection<TaskPtr>& list, const QString& name, Long kind)
{
    if (kind != ModuleKind::Task)
        return false;
    for (const auto& e : list)
        if (e.item && sameModuleName(e.item->Name, name))
            return true;
    return false;
}

bool ModuleNameExists(const Collection<SubPtr>& list, const QString& name, Long kind)
{
    if (kind != ModuleKind::Sub)
        return false;
    for (const auto& e : list)
        if (e.item && sameModuleName(e.item->Name, name))
            return true;
    return false;
}

bool IsDirty(Long kind)
{
    AppState& app = App();
    switch (kind) {
    case 0: return IsDirty(1) || IsDirty(3) || IsDirty(2);
    case 1: return app.RcxSetup && app.RcxSetup->Dirty;
    case 2: return anyDirty(app.TaskList);
    case 3: return anyDirty(app.SubList);
    default: return false;
    }
}

void MarkModuleDirty(const QString& name)
{
    AppState& app = App();
    if (app.WindowLoading)
        return;
    if (!markFirst(app.TaskList, name))
        markFirst(app.SubList, name);
}

void OpenCommandWindow(Long kind, CommandOwner* owner, const QString& parentTaskName,
                       const QString& parentCaption)
{
    if (!owner)
        return;
    AppState& app = App();
    try {
        if (owner->CommandWindow) {
            step([&] { owner->CommandWindow->ZOrder(); });
            return;
        }

        app.WindowLoading = True;
        ICommandWindow* w = app.Shell->CreateDeskTop();
        app.LastDeskTop = w;
        if (!w) {
            app.WindowLoading = False;
            return;
        }

        step([&] { w->setMyCommandBlock(owner); });
        step([&] { w->Show(); });
        step([&] { app.Shell->DoEvents(); });
        step([&] { w->setParentCaption(parentCaption); });
        step([&] { w->setFormType(kind); });

        switch (kind) {
        case ModuleKind::Task: {
            auto* task = dynamic_cast<clsTask*>(owner);
            if (!task)
                notSupported();
            step([&] { w->setParentTaskName(task->Name); });
            step([&] { w->setTaskLoop(task->mLoop); });
            step([&] { w->setStartOnStartup(task->StartOnStartup); });
            step([&] { w->setTitleText(task->mTitle); });
            break;
        }
        case ModuleKind::Sub: {
            auto* sub = dynamic_cast<clsSub*>(owner);
            if (!sub)
                notSupported();
            step([&] { w->setParentTaskName(sub->Name); });
            step([&] { w->setTaskLoop(sub->mLoop); });
            step([&] { w->setTaskLoopCaption(QStringLiteral("Sub in loop")); });
            step([&] { w->setStartOnStartupVisible(false); });
            step([&] { w->setTitleText(sub->mTitle); });
            break;
        }
        case ModuleKind::IfBody:
        case ModuleKind::WhileBody:
        case ModuleKind::LoopBody:
            step([&] { w->setParentTaskName(parentTaskName); });
            break;
        default:
            break;
        }

        step([&] { w->setCaption(w->ParentTaskName()); });
        step([&] { w->ZOrder(); });
        app.WindowLoading = False;
    } catch (const VbError& e) {
        if (e.number() == Err::OutOfMemory || e.number() == kOutOfMemoryAlt)
            ShowMessage(QStringLiteral("Out of memory, Close some windows and try again"), MsgStyle::Critical);
        else
            ShowMessage(QStringLiteral("Error: %1 in OpenCommandWindow").arg(e.number()), MsgStyle::Exclamation);
        app.WindowLoading = False;
    }
}

QString ReplaceCrLf(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("  "));
    return s;
}
