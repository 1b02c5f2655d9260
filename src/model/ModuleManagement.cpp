#include "model/ModuleManagement.h"

#include "model/Messages.h"
#include "model/Notifier.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include <functional>

namespace {

constexpr int kNotSupported = 438;
constexpr int kOutOfMemoryAlt = 50003;

// Module names are told apart without regard to letter case, as the lists
// that hold them are keyed.
bool sameModuleName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

template <class List>
bool anyDirty(const List& list)
{
    for (const auto& e : list)
        if (e.item && e.item->Dirty)
            return true;
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

// What adding a task and adding a sub differ in; the one way of adding either
// follows below.
struct TaskRules {
    using Module = clsTask;
    static constexpr Long kind = ModuleKind::Task;
    static constexpr Long objToOpen = OpenObject::Task;
    static constexpr int most = MaxTasks;
    static constexpr const char* word = "task";
    static const Collection<TaskPtr>& list(const AppState& a) { return a.TaskList(); }
    static TaskPtr& current(AppState& a) { return a.CurrentTask; }
    static Integer action(const OpenChoice& c) { return c.taskAction; }
    // The folder of the module's file, and the file's extension.
    static QString folder() { return ProjectFolderPath(); }
    static constexpr const char* extension = ".tas";
    static bool read(clsTask& t) { return ReadTask(t, False); }
    static void makeNew(clsTask& t)
    {
        t.mLoop = 1;
        t.StartOnStartup = 1;
        t.mTitle = QStringLiteral("[general task description]");
    }
};

struct SubRules {
    using Module = clsSub;
    static constexpr Long kind = ModuleKind::Sub;
    static constexpr Long objToOpen = OpenObject::Sub;
    static constexpr int most = MaxSubs;
    static constexpr const char* word = "sub";
    static const Collection<SubPtr>& list(const AppState& a) { return a.SubList(); }
    static SubPtr& current(AppState& a) { return a.CurrentSub; }
    static Integer action(const OpenChoice& c) { return c.subAction; }
    static QString folder() { return SubFolderPath(); }
    static constexpr const char* extension = ".sub";
    static bool read(clsSub& s) { return ReadSub(s, False); }
    static void makeNew(clsSub& s)
    {
        s.mLoop = 0;
        s.mTitle = QStringLiteral("[general sub description]");
    }
};

template <class Rules>
bool listIsFull()
{
    if (Rules::list(App()).Count() < Rules::most)
        return false;
    ShowMessage(QStringLiteral("Can't add any more %1s").arg(QLatin1String(Rules::word)), MsgStyle::Exclamation);
    return true;
}

// The open/new dialog for a module of the kind; a failure is shown and gives
// a cancelled choice.
template <class Rules>
OpenChoice askForModule(Long openMode)
{
    try {
        return App().Shell->ShowOpenDialog(openMode, Rules::objToOpen);
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return {};
    }
}

// Adds the module chosen: read from its file, or a new one. Tasks and subs
// share one name space. A new module never takes the name of a file already
// in its folder, letter case aside: saving it would replace that file (a task
// taken out of the project keeps its file, and every project keeps its subs
// in the one Subs folder); the file can be added as an existing module. A
// failure is shown and gives False.
template <class Rules>
bool addAskedModule(const OpenChoice& choice)
{
    AppState& app = App();
    try {
        if (ModuleNameExists(app.TaskList(), choice.name, ModuleKind::Task) ||
            ModuleNameExists(app.SubList(), choice.name, ModuleKind::Sub)) {
            ShowMessage(QStringLiteral("A module by that name already exists!"), MsgStyle::Exclamation);
            return false;
        }
        const bool existing = Rules::action(choice) == OpenAction::Existing;
        if (!existing) {
            const QString word = QLatin1String(Rules::word);
            const QString extension = QLatin1String(Rules::extension);
            const QString file = EntryLike(Rules::folder(), choice.name + extension);
            if (!file.isEmpty()) {
                ShowMessage(QStringLiteral("A %1 named \"%2\" already exists. Add it to the project as an existing "
                                           "%1: \"New/Open %1\", tab \"Existing %1\".")
                                .arg(word, file.chopped(extension.size())),
                            MsgStyle::Exclamation);
                return false;
            }
        }
        auto module = std::make_shared<typename Rules::Module>();
        Rules::current(app) = module;
        const auto& list = Rules::list(app);
        module->Name = choice.name;
        module->mNumber = Integer(list.Count() + 1);

        if (existing) {
            // A file whose commands could not be read is reported by the
            // reader and leaves the module out of the list: nothing was added.
            if (!Rules::read(*module) || !list.Exists(module->Name))
                return false;
            app.SetSetupDirty(True);
            return true;
        }

        module->Dirty = True;
        app.SetSetupDirty(True);
        Rules::makeNew(*module);
        module->ModulType = Rules::kind;
        app.AddModule(module);
        return true;
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    }
}

template <class Rules>
bool addModule(Long openMode)
{
    if (listIsFull<Rules>())
        return false;
    const OpenChoice choice = askForModule<Rules>(openMode);
    return !choice.canceled && addAskedModule<Rules>(choice);
}

}  // namespace

bool AddTask(Long openMode) { return addModule<TaskRules>(openMode); }
OpenChoice AskForTask(Long openMode) { return askForModule<TaskRules>(openMode); }
bool AddAskedTask(const OpenChoice& choice) { return addAskedModule<TaskRules>(choice); }
bool AddSub(Long openMode) { return addModule<SubRules>(openMode); }

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
    case 1: return app.RcxSetup().Dirty;
    case 2: return anyDirty(app.TaskList());
    case 3: return anyDirty(app.SubList());
    default: return false;
    }
}

void MarkModuleDirty(const QString& name, ModulePart part)
{
    App().MarkModuleChanged(name, part);
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

        ICommandWindow* w = app.Shell->CreateDeskTop();
        if (!w)
            return;

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
    } catch (const VbError& e) {
        if (e.number() == Err::OutOfMemory || e.number() == kOutOfMemoryAlt)
            ShowMessage(QStringLiteral("Out of memory, Close some windows and try again"), MsgStyle::Critical);
        else
            ShowMessage(QStringLiteral("Error: %1 in OpenCommandWindow").arg(e.number()), MsgStyle::Exclamation);
    }
}

void OpenCommandWindow(const CommandWindowTarget& target, const QString& cell)
{
    const std::shared_ptr<CommandOwner> owner = target.isSet() ? target.owner.lock() : nullptr;
    if (!owner)
        return;
    OpenCommandWindow(target.kind, owner.get(), target.parentTaskName, target.parentCaption);
    if (ICommandWindow* w = App().Shell->ActiveDeskTop())
        w->setCursorPos(cell);
}

QString ReplaceCrLf(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("  "));
    return s;
}
