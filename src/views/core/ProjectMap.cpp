#include "views/core/ProjectMap.h"

#include "model/CommandCatalogue.h"
#include "model/Grid.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"

namespace {

bool startsWithCi(const QString& s, const char* prefix)
{
    return s.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

// The editor window an owner has open, else the main window's active one.
ICommandWindow* windowOf(CommandOwner* owner, IShellRequests& shell)
{
    if (owner && owner->CommandWindow)
        return owner->CommandWindow;
    return shell.ActiveDeskTop();
}

}  // namespace

bool ProjectMap::IsModuleNode(const TreeNode& n)
{
    return n.Key.compare(n.Text, Qt::CaseInsensitive) == 0;
}

QString ProjectMap::NodeImage(const clsCommand& command)
{
    return CommandPictureKey(command.CommandKey, command.Op);
}

QString ProjectMap::NodeText(const clsCommand& command)
{
    return command.PicCaption(0) + QLatin1Char(' ') + ReplaceCrLf(command.PicCaption(1));
}

bool ProjectMap::isActive() const
{
    if (!MyCommandBlock)
        return false;
    ICommandWindow* w = mApp.Shell->ActiveDeskTop();
    return w && w->Caption().compare(MyCommandBlock->Name, Qt::CaseInsensitive) == 0;
}

void ProjectMap::expandIfActive(const QString& key)
{
    if (isActive())
        Tree.SetExpanded(key, true);
}

QString ProjectMap::commandNodeKey(const QString& prefix)
{
    // A module named like a command node (M_ON3) already holds that key: the
    // running number moves on, so the key stays unique.
    QString key = prefix + QString::number(NodeCounter);
    while (Tree.Exists(key)) {
        ++NodeCounter;
        key = prefix + QString::number(NodeCounter);
    }
    return key;
}

bool ProjectMap::addModuleNode(const std::shared_ptr<clsModule>& module, const QString& tag, int position)
{
    if (Tree.Exists(module->Name)) {
        Clashes.append(module->Name);
        return false;
    }
    Tree.Add(QString(), module->Name, module->Name, tag, position).Tag = tag;
    if (colMap.Exists(module->Name))
        colMap.Remove(module->Name);
    colMap.Add(module, module->Name);
    return true;
}

void ProjectMap::UpdateMap()
{
    Tree.Clear();
    colMap.Clear();
    curNode.clear();
    NodeCounter = 0;
    Clashes.clear();
    AppState& a = mApp;
    const auto build = [&](const std::shared_ptr<clsModule>& module, const QString& tag) {
        MyCommandBlock = module.get();
        if (!addModuleNode(module, tag, -1))
            return;
        RefreshTaskMap(module->Commands(), module->Name, 0, QString());
        expandIfActive(module->Name);
    };
    for (const auto& e : a.TaskList())
        build(e.item, QStringLiteral("TASK"));
    for (const auto& e : a.SubList())
        build(e.item, QStringLiteral("SUB"));
    if (!Clashes.isEmpty())
        ShowMessage(*mApp.Presenter,
                    QStringLiteral("More than one module or command is named %1; the map shows the first of them only")
                        .arg(Clashes.join(QStringLiteral(", "))),
                    MsgStyle::Exclamation);
}

void ProjectMap::RefreshTaskMap(const CommandCollectionPtr& mapCommands, QString mapRoot, Long comType,
                                const QString& ifRoot)
{
    try {
        for (int x = 0; x <= 1; ++x) {
            for (int y = 1; y <= 40; ++y) {
                const QString cell = ColKey(x, y);
                // A column is read from row 1 down to its first empty cell.
                if (!mapCommands || !mapCommands->Exists(cell))
                    break;
                const std::shared_ptr<clsCommand> cmd = mapCommands->Item(cell);
                const QString key = commandNodeKey(cmd->KeyText());
                Tree.Add(mapRoot, key, NodeText(*cmd), NodeImage(*cmd)).Tag = ColKey(cmd->x, cmd->y);
                expandIfActive(key);
                ++NodeCounter;
                QString last = key;
                const Long body = BodyKindOf(cmd->CommandKey);
                if (body == ModuleKind::IfBody) {
                    colMap.Add(cmd, key);
                    const QString yes = commandNodeKey(QStringLiteral("YES"));
                    Tree.Add(key, yes, QString(), QStringLiteral("YES"));
                    expandIfActive(yes);
                    ++NodeCounter;
                    RefreshTaskMap(cmd->Commands, yes, 2, key);
                    expandIfActive(yes);
                    last = yes;
                } else if (body == ModuleKind::WhileBody || body == ModuleKind::LoopBody) {
                    colMap.Add(cmd, key);
                    RefreshTaskMap(cmd->Commands, key, 4, QString());
                }
                expandIfActive(last);
            }
            if (comType == 2 && x == 0) {
                // The ELSE column hangs under the IF's NO node.
                const QString no = commandNodeKey(QStringLiteral("NO"));
                Tree.Add(ifRoot, no, QString(), QStringLiteral("NO"));
                expandIfActive(no);
                mapRoot = no;
                ++NodeCounter;
            }
        }
    } catch (const VbError& e) {
        ShowMessage(*mApp.Presenter, QStringLiteral("Error: ") + e.description() + QStringLiteral(" in refresh map"),
                    MsgStyle::Critical);
    }
}

void ProjectMap::UpdateNodeOnly(const QString& taskName, Long fType)
{
    curNode.clear();
    const TreeNode* old = Tree.Find(taskName);
    if (!old || !old->Parent.isEmpty() || !IsModuleNode(*old))
        return;
    const QString key = old->Key;
    std::shared_ptr<clsModule> module;
    AppState& a = mApp;
    if (fType == ModuleKind::Task) {
        if (a.TaskList().Exists(key))
            module = a.TaskList().Item(key);
    } else if (a.SubList().Exists(key)) {
        module = a.SubList().Item(key);
    }
    if (!module)
        return;
    if (colMap.Exists(key))
        colMap.Remove(key);
    const int position = int(Tree.Roots().indexOf(key));
    MyCommandBlock = module.get();
    Tree.Remove(key);
    Clashes.clear();
    addModuleNode(module, fType == ModuleKind::Task ? QStringLiteral("TASK") : QStringLiteral("SUB"), position);
    RefreshTaskMap(module->Commands(), module->Name, 0, QString());
    Tree.SetExpanded(module->Name, true);
}

// ---------------------------------------------------------------- find

bool ProjectMap::Find()
{
    const QString answer =
        mApp.Presenter->InputBox(QStringLiteral("Find what "), QStringLiteral("Command search "), LastSearch);
    if (answer.trimmed().isEmpty())
        return false;
    FindNextNode(answer, false);
    return true;
}

bool ProjectMap::FindNextNode(const QString& findText, bool fromFirst)
{
    LastSearch = findText;
    if (Tree.Count() == 0)
        return false;
    int first = 0;
    if (!fromFirst) {
        const int current = Tree.IndexOf(curNode);
        if (current < 0) {
            curNode = Tree.At(0).Key;
            first = 1;
        } else {
            first = current + 1;
        }
    }
    for (int i = first; i < Tree.Count(); ++i) {
        const TreeNode& n = Tree.At(i);
        if (n.Text.contains(findText, Qt::CaseInsensitive)) {
            curNode = n.Key;
            Tree.EnsureVisible(n.Key);
            SearchWrapped = false;
            return true;
        }
    }
    if (SearchWrapped) {
        ShowMessage(*mApp.Presenter, QStringLiteral("Can't find - \"") + findText + QLatin1Char('"'), MsgStyle::OkOnly);
        SearchWrapped = false;
        return false;
    }
    SearchWrapped = true;
    return FindNextNode(findText, true);
}

void ProjectMap::ExpandBranch(const QString& firstKey)
{
    const TreeNode* first = Tree.Find(firstKey);
    if (!first)
        return;
    const QStringList siblings = Tree.ChildrenOf(first->Parent);
    for (qsizetype i = siblings.indexOf(first->Key); i >= 0 && i < siblings.size(); ++i) {
        Tree.SetExpanded(siblings[i], true);
        const QStringList& children = Tree.ChildrenOf(siblings[i]);
        if (!children.isEmpty())
            ExpandBranch(children.first());
    }
}

void ProjectMap::OpenBranch()
{
    const TreeNode* n = Tree.Find(curNode);
    if (!n)
        return;
    if (!n->Children.isEmpty())
        ExpandBranch(n->Children.first());
    Tree.SetExpanded(curNode, true);
}

// ---------------------------------------------------------------- jump

ICommandWindow* ProjectMap::GoToCommand(bool fromDblClick)
{
    TreeNode* n = Tree.Find(curNode);
    if (!n)
        return nullptr;
    try {
        if (fromDblClick && !n->Children.isEmpty())
            return nullptr;
        n->Expanded = true;
        const QString cell = n->Tag;
        const auto openModule = [&](const TreeNode& m) -> CommandOwner* {
            const Long kind = m.Tag == QLatin1String("TASK") ? ModuleKind::Task : ModuleKind::Sub;
            CommandOwner* owner = colMap.Item(m.Text).get();
            OpenCommandWindow(kind, owner, QString(), QString());
            return owner;
        };
        if (IsModuleNode(*n)) {
            // The module's window opens; its cursor stays where it was.
            return windowOf(openModule(*n), *mApp.Shell);
        }
        const TreeNode* p = Tree.Find(n->Parent);
        if (!p)
            return nullptr;
        std::shared_ptr<CommandOwner> holder;
        if (!IsModuleNode(*p) && (startsWithCi(p->Key, "YES") || startsWithCi(p->Key, "NO"))) {
            const TreeNode* g = Tree.Find(p->Parent);
            if (!g)
                return nullptr;
            if (IsModuleNode(*g))
                p = g;
            else
                holder = colMap.Item(g->Key);
        }
        if (!holder) {
            if (IsModuleNode(*p)) {
                ICommandWindow* w = windowOf(openModule(*p), *mApp.Shell);
                if (w)
                    w->setCursorPos(cell);
                return w;
            }
            holder = colMap.Item(p->Key);
        }
        auto* block = dynamic_cast<clsCommand*>(holder.get());
        if (!block)
            return nullptr;
        if (!block->Commands)
            block->Commands = std::make_shared<CommandCollection>();
        const Long kind = BodyKindOf(block->CommandKey);
        if (kind == 0)
            return nullptr;
        const QString parentTaskName = Tree.FullPath(n->Key).section(QLatin1Char('\\'), 0, 0);
        OpenCommandWindow(kind, block, parentTaskName, block->PicCaption(1));
        ICommandWindow* w = windowOf(block, *mApp.Shell);
        if (w)
            w->setCursorPos(cell);
        return w;
    } catch (const VbError& e) {
        // A node or object missing along the way is passed over.
        if (e.number() != Err::InvalidCall && e.number() != Err::ObjectNotSet)
            ShowMessage(*mApp.Presenter, e.description() + QStringLiteral(" from goto command"), MsgStyle::Exclamation);
    }
    return nullptr;
}

void ProjectMap::Jump(bool fromDblClick)
{
    ICommandWindow* w = GoToCommand(fromDblClick);
    if (ICommandWindow* active = mApp.Shell->ActiveDeskTop())
        w = active;
    if (!w)
        return;
    try {
        w->ScrollScr();
    } catch (const VbError&) {
    }
}

// ---------------------------------------------------------------- report

std::vector<ReportLine> ProjectMap::ReportLines() const
{
    const AppState& a = mApp;
    const QString B(5, QLatin1Char(' '));
    const QString I(3, QLatin1Char(' '));
    std::vector<ReportLine> out;
    bool bold = true;
    Long color = 0;
    const auto line = [&](const QString& text) { out.push_back({text, bold, color}); };
    const auto heading = [&](const QString& text) {
        bold = true;
        line(text);
        bold = false;
    };
    const auto nameOf = [&](Integer source, Long value) -> QString {
        for (const auto& e : a.ObjectList())
            if (e.item && e.item->Source == source && e.item->Value == value)
                return e.item->Name;
        return QString();
    };
    const auto yesNo = [](Long v) { return v != 0 ? QStringLiteral("YES") : QStringLiteral("NO"); };

    bold = false;
    line(QString());
    line(QString());
    line(QString());
    bold = true;
    const clsRcx& rcx = a.RcxSetup();
    line(B + QStringLiteral("Quillomat Project: ") + rcx.ProjectName);
    line(B + QStringLiteral("Program Slot: ") + QString::number(rcx.ProgramNumber + 1));
    line(B + (a.ProjectType() == ProjectType::JoystickKeyboard ? QStringLiteral("Project Type: Joystick & Keyboard")
                                 : QStringLiteral("Project Type: RCX")));
    line(QString());
    line(B + QStringLiteral("RCX Setup:"));
    for (int i = 0; i < 3; ++i) {
        const clsMotor& m = rcx.PortMotor(i);
        if (m.MotorType() != 1)
            continue;
        heading(B + I + QStringLiteral("Motor ") + QLatin1Char(char('A' + i)) + QLatin1Char(':'));
        line(B + I + I + QStringLiteral("Purpose: ") + m.Purpose);
        line(B + I + I + QStringLiteral("Fwd Means: ") + m.MotorFwdMeening);
        line(B + I + I + QStringLiteral("Rwd Means: ") + m.MotorRwdMeening);
        line(B + I + I + (m.MotorDirection == 1 ? QStringLiteral("Start Direction: Forward")
                                                 : QStringLiteral("Start Direction: Backward")));
        line(B + I + I + (m.MotorStartState == 1 ? QStringLiteral("Start state ON")
                                                  : QStringLiteral("Start state OFF")));
        line(B + I + I + QStringLiteral("Speed: ") + QString::number(m.Power));
    }
    line(QString());
    for (int i = 0; i < 3; ++i) {
        const clsSensor& s = rcx.PortSensor(i);
        if (s.SensorType() == 0)
            continue;
        heading(B + I + QStringLiteral("Sensor ") + QString::number(i + 1) + QLatin1Char(':'));
        line(B + I + I + QStringLiteral("Purpose: ") + s.Purpose);
        const QString type = nameOf(OperandSource::SensorTypeName, s.SensorType());
        if (!type.isEmpty())
            line(B + I + I + QStringLiteral("Type: ") + type);
        const QString mode = nameOf(OperandSource::SensorModeName, s.SensorMode);
        if (!mode.isEmpty())
            line(B + I + I + QStringLiteral("Mode: ") + mode);
    }
    line(QString());
    heading(B + QStringLiteral("Variables:"));
    for (const auto& e : a.ObjectList())
        if (e.item && e.item->Source == OperandSource::Variable)
            line(B + I + I + e.item->Name + QStringLiteral(" = ") + QString::number(e.item->Value));
    line(QString());
    heading(B + QStringLiteral("Constants:"));
    for (const auto& e : a.ObjectList())
        if (e.item && e.item->Source == OperandSource::UserConstant)
            line(B + I + I + e.item->Name + QStringLiteral(" = ") + QString::number(e.item->Value));

    if (Tree.Count() > 0) {
        line(QString());
        for (int i = 0; i < Tree.Count(); ++i) {
            const TreeNode& n = Tree.At(i);
            const int depth = Tree.Depth(n.Key);
            QString P(4 * depth, QLatin1Char(' '));
            if (depth == 0) {
                line(QString());
                P = n.Tag + QLatin1Char(' ');
                bold = true;
            } else {
                bold = false;
            }
            if (n.Text.isEmpty() && !n.Children.isEmpty()) {
                if (startsWithCi(n.Key, "YES")) {
                    P += QStringLiteral("Yes");
                    color = 0x008000;
                } else if (startsWithCi(n.Key, "NO")) {
                    P += QStringLiteral("No");
                    color = 0x0000FF;
                }
            }
            QString S;
            if (depth == 0) {
                if (n.Tag == QLatin1String("TASK") && a.TaskList().Exists(n.Text)) {
                    const clsTask& t = *a.TaskList().Item(n.Text);
                    S = QStringLiteral("Start on startup: ") + yesNo(t.StartOnStartup) +
                        QStringLiteral("   Task in loop: ") + yesNo(t.mLoop);
                } else if (n.Tag == QLatin1String("SUB") && a.SubList().Exists(n.Text)) {
                    S = QStringLiteral("   Sub in loop: ") + yesNo(a.SubList().Item(n.Text)->mLoop);
                }
            }
            if (!P.trimmed().isEmpty() || !n.Text.isEmpty())
                line(B + P + n.Text + QStringLiteral("   ") + S);
            color = 0;
        }
    }
    line(QString());
    line(B + QStringLiteral(" *** End Of Project ***"));
    return out;
}
