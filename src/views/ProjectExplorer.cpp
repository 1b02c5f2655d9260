#include "views/ProjectExplorer.h"

#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/TaskFile.h"

void ProjectExplorer::Load(const QString& projectName)
{
    Tree.Clear();
    Tree.Add(QString(), QStringLiteral("root"), projectName, QStringLiteral("PROJECT_CLOSE"));
    Tree.Add(QStringLiteral("root"), QStringLiteral("task"), QStringLiteral("Task"), QStringLiteral("TASK"));
    Tree.Add(QStringLiteral("root"), QStringLiteral("sub"), QStringLiteral("Sub"), QStringLiteral("SUB"));
    // The folders show at once.
    Tree.SetExpanded(QStringLiteral("root"), true);
    curNode = QStringLiteral("root");
}

void ProjectExplorer::AddNewModul(const QString& moduleName, Long moduleType)
{
    const bool task = moduleType == ModuleKind::Task;
    const QString folder = task ? QStringLiteral("task") : QStringLiteral("sub");
    Tree.Add(folder, moduleName, moduleName, task ? QStringLiteral("TASK") : QStringLiteral("SUB")).Tag =
        QString::number(moduleType);
    Tree.SetExpanded(folder, true);
}

void ProjectExplorer::Open()
{
    const TreeNode* n = Tree.Find(curNode);
    if (!n)
        return;
    AppState& a = App();
    if (n->Tag == QLatin1String("1") && a.TaskList.Exists(n->Key))
        OpenCommandWindow(ModuleKind::Task, a.TaskList.Item(n->Key).get(), QString(), QString());
    else if (n->Tag == QLatin1String("5") && a.SubList.Exists(n->Key))
        OpenCommandWindow(ModuleKind::Sub, a.SubList.Item(n->Key).get(), QString(), QString());
}

bool ProjectExplorer::MenuApplies() const
{
    if (!Tree.Exists(curNode))
        return false;
    for (const char* k : {"root", "task", "sub"})
        if (curNode.compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
            return false;
    return true;
}

bool ProjectExplorer::RemoveEnabled()
{
    return App().ProjectType != 1;
}

namespace {

// Asks whether to save a changed module first; false when the removal stops.
template <class M, class Save>
bool saveFirst(M& module, const QString& question, Save save)
{
    if (!module.Dirty)
        return true;
    const int answer = ShowMessage(question, MsgStyle::YesNoCancel | MsgStyle::Question);
    if (answer == MsgResult::Cancel)
        return false;
    if (answer == MsgResult::Yes)
        return save(module);
    return true;
}

// Takes a module out of its list and lowers the numbers above it.
template <class List>
void takeOut(List& list, const QString& name)
{
    const Integer number = list.Item(name)->mNumber;
    for (auto& e : list)
        if (e.item->mNumber > number)
            e.item->mNumber = Integer(e.item->mNumber - 1);
    list.Remove(name);
}

}  // namespace

bool ProjectExplorer::RemoveModule()
{
    const TreeNode* n = Tree.Find(curNode);
    if (!n || !MenuApplies())
        return false;
    const QString name = n->Key;
    const QString text = n->Text;
    const QString tag = n->Tag;
    AppState& a = App();
    try {
        if (tag == QLatin1String("1")) {
            const TaskPtr task = a.TaskList.Item(name);
            if (!saveFirst(*task, QStringLiteral("Save task befor removing it?"),
                           [](clsTask& t) { return SaveTask(t); }))
                return false;
            if (task->CommandWindow)
                task->CommandWindow->Close();
            takeOut(a.TaskList, name);
        } else if (tag == QLatin1String("5")) {
            const SubPtr sub = a.SubList.Item(name);
            if (!saveFirst(*sub, QStringLiteral("Save sub befor removing it?"),
                           [](clsSub& s) { return SaveSub(s); }))
                return false;
            if (sub->CommandWindow)
                sub->CommandWindow->Close();
            takeOut(a.SubList, name);
        } else {
            return false;
        }
        a.RcxSetup->Dirty = True;
        // The body windows of the module's blocks carry its name as their caption.
        if (OpenWindows)
            for (ICommandWindow* w : OpenWindows())
                if (w && w->Caption().compare(text, Qt::CaseInsensitive) == 0)
                    w->Close();
        Tree.Remove(name);
        curNode.clear();
        a.Windows->MapUnload();
        return true;
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
    }
    return false;
}
