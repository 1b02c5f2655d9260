#include "views/core/ProjectExplorer.h"

#include "model/Messages.h"
#include "model/Notifier.h"
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

bool ProjectExplorer::RemoveEnabled() const
{
    return mApp.ProjectType != 1;
}

namespace {

// Takes a task or sub out of its list, asking first whether to save it when it
// changed, closing its editor window and lowering the numbers above it. False
// when the removal stops (Cancel, a failed save).
template <class List, class Save>
bool takeOut(IMessagePresenter& presenter, List& list, const QString& name, const QString& question, Save save)
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
    const Integer number = module->mNumber;
    for (auto& e : list)
        if (e.item->mNumber > number)
            e.item->mNumber = Integer(e.item->mNumber - 1);
    list.Remove(name);
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
        if (tag == QLatin1String("1")) {
            if (!takeOut(*a.Presenter, a.TaskList, name, QStringLiteral("Save task befor removing it?"), SaveTask))
                return false;
        } else if (tag == QLatin1String("5")) {
            if (!takeOut(*a.Presenter, a.SubList, name, QStringLiteral("Save sub befor removing it?"), SaveSub))
                return false;
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
        Q_EMIT a.Notifier->ModuleListChanged();
        return true;
    } catch (const VbError& e) {
        ShowMessage(*a.Presenter, e.description(), MsgStyle::Exclamation);
    }
    return false;
}
