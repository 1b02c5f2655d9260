#include "views/core/ProjectExplorer.h"

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
    AppState& a = mApp;
    if (n->Tag == QLatin1String("1") && a.TaskList().Exists(n->Key))
        OpenCommandWindow(ModuleKind::Task, a.TaskList().Item(n->Key).get(), QString(), QString());
    else if (n->Tag == QLatin1String("5") && a.SubList().Exists(n->Key))
        OpenCommandWindow(ModuleKind::Sub, a.SubList().Item(n->Key).get(), QString(), QString());
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

bool ProjectExplorer::RemoveEnabled() const
{
    return mApp.ProjectType() != ProjectType::JoystickKeyboard;
}

namespace {

// Makes ready to take a task or sub out of its list, asking first whether to
// save it when it changed, and closing its editor window. False when the
// removal stops (Cancel, a failed save).
template <class List, class Save>
bool readyToTakeOut(IMessagePresenter& presenter, const List& list, const QString& name, const QString& question,
                    Save save)
{
    const auto module = list.Item(name);
    if (module->Dirty) {
        const int answer = ShowMessage(presenter, question, MsgStyle::YesNoCancel | MsgStyle::Question);
        if (answer == MsgResult::Cancel)
            return false;
        if (answer == MsgResult::Yes && !save(*module))
            return false;
    }
    if (module->CommandWindow)
        module->CommandWindow->Close();
    return true;
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
    AppState& a = mApp;
    try {
        // The project loses the module (its numbers above close up).
        if (tag == QLatin1String("1")) {
            if (!readyToTakeOut(*a.Presenter, a.TaskList(), name, QStringLiteral("Save task befor removing it?"),
                                SaveTask))
                return false;
            a.RemoveTask(name);
        } else if (tag == QLatin1String("5")) {
            if (!readyToTakeOut(*a.Presenter, a.SubList(), name, QStringLiteral("Save sub befor removing it?"),
                                SaveSub))
                return false;
            a.RemoveSub(name);
        } else {
            return false;
        }
        // The body windows of the module's blocks carry its name as their caption.
        if (OpenWindows)
            for (ICommandWindow* w : OpenWindows())
                if (w && w->Caption().compare(text, Qt::CaseInsensitive) == 0)
                    w->Close();
        Tree.Remove(name);
        curNode.clear();
        return true;
    } catch (const VbError& e) {
        ShowMessage(*a.Presenter, e.description(), MsgStyle::Exclamation);
    }
    return false;
}
