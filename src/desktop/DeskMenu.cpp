// The editor window's popup menu mnuEdit and its items: the clipboard, the
// spaces, a command's properties and its body window, and Transmit.
#include "desktop/frmDeskTop.h"

#include "compiler/Transmit.h"
#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

// ---- the popup menu

std::function<void(QMenu&)>& frmDeskTop::PopupMenu()
{
    static std::function<void(QMenu&)> show = [](QMenu& menu) { menu.exec(QCursor::pos()); };
    return show;
}

void frmDeskTop::BuildMenu()
{
    mnuEdit = new QMenu(QStringLiteral("Edit"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    auto item = [this](const char* name, const char* caption, const char* shortcut, void (frmDeskTop::*handler)()) {
        QString text = QString::fromLatin1(caption);
        if (shortcut)
            text += QLatin1Char('\t') + QString::fromLatin1(shortcut);
        QAction* a = mnuEdit->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    auto line = [this](const char* name) {
        QAction* a = mnuEdit->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    mnuUpdate = item("mnuUpdate", "Command properties  (Enter)", nullptr, &frmDeskTop::mnuUpdate_Click);
    mnuCommands = item("mnuCommands", "Open command window", "Ctrl+J", &frmDeskTop::mnuCommands_Click);
    mnuLine3 = line("mnuLine3");
    mnuTransmit = item("mnuTransmit", "Transmit", nullptr, &frmDeskTop::mnuTransmit_Click);
    mnuLine1 = line("mnuLine1");
    mnuCut = item("mnuCut", "Cut", "Ctrl+X", &frmDeskTop::mnuCut_Click);
    mnuCopy = item("mnuCopy", "Copy", "Ctrl+C", &frmDeskTop::mnuCopy_Click);
    mnuPaste = item("mnuPaste", "Paste", "Ctrl+V", &frmDeskTop::mnuPaste_Click);
    mnuDel = item("mnuDel", "Delete", "Del", &frmDeskTop::mnuDel_Click);
    mnuLine2 = line("mnuLine2");
    mnuInsertSpace = item("mnuInsertSpace", "Insert space", "Shift+Ins", &frmDeskTop::mnuInsertSpace_Click);
    mnuDeleteSpace = item("mnuDeleteSpace", "Delete all spaces", "Shift+Del", &frmDeskTop::mnuDeleteSpace_Click);
}

void frmDeskTop::PopupOnDesk()
{
    // On the empty desk only Paste and the spaces; Transmit and its line
    // come back with the menu over a command.
    mnuPaste->setEnabled(!App().CommandClipboard.isEmpty());
    const QList<QAction*> commandItems = {mnuCopy, mnuCut, mnuDel, mnuCommands, mnuUpdate, mnuLine1};
    for (QAction* a : commandItems + QList<QAction*>{mnuTransmit, mnuLine3})
        a->setVisible(false);
    PopupMenu()(*mnuEdit);
    for (QAction* a : commandItems)
        a->setVisible(true);
}

void frmDeskTop::PopupOnCommand(const clsCommand& co)
{
    const bool both = mDoc.SelectionInBothColumns();
    mnuPaste->setEnabled(!App().CommandClipboard.isEmpty());
    if (both) {
        mnuPaste->setEnabled(false);
        mnuCopy->setEnabled(false);
        mnuCut->setEnabled(false);
    } else {
        mnuCopy->setEnabled(true);
        mnuCut->setEnabled(true);
    }
    const CommandInfo* info = FindCommand(co.CommandKey);
    mnuCommands->setEnabled(info && info->opensWindow);
    mnuTransmit->setVisible(true);
    mnuLine3->setVisible(true);
    PopupMenu()(*mnuEdit);
}

// The clipboard and the spaces are the controller's, as their keys are.

void frmDeskTop::mnuCopy_Click()
{
    mControl.Copy();
}

void frmDeskTop::mnuCut_Click()
{
    mControl.Cut();
}

void frmDeskTop::mnuDel_Click()
{
    mControl.Delete();
}

void frmDeskTop::mnuPaste_Click()
{
    mControl.Paste();
}

void frmDeskTop::mnuInsertSpace_Click()
{
    mControl.InsertSpace();
}

void frmDeskTop::mnuDeleteSpace_Click()
{
    mControl.CloseGaps();
}

void frmDeskTop::mnuCommands_Click()
{
    App().Shell->DoEvents();
    const auto co = mDoc.CommandAtCursor();
    if (!co)
        return;
    // A body is made only where there is none: an open body window keeps
    // the collection it shows.
    if (!co->Commands)
        co->Commands = std::make_shared<CommandCollection>();
    mDoc.objCommand = co;
    const CommandKey key = co->CommandKey;
    if (const Long kind = BodyKindOf(key)) {
        OpenCommandWindow(kind, co.get(), mParentTaskName, co->PicCaption(1));
    } else if (key == CommandKey::L_SUB) {
        for (const auto& e : App().SubList())
            if (e.item && e.item->Name.compare(co->Param1Value.toString(), Qt::CaseInsensitive) == 0)
                OpenCommandWindow(ModuleKind::Sub, e.item.get(), QString(), QString());
    } else if (key == CommandKey::L_START || key == CommandKey::L_STOP) {
        if (co->Param1Value.toString() == QLatin1String("Stop program")) {
            co->Commands.reset();
            return;
        }
        for (const auto& e : App().TaskList())
            if (e.item && e.item->Name.compare(co->Param1Value.toString(), Qt::CaseInsensitive) == 0)
                OpenCommandWindow(ModuleKind::Task, e.item.get(), QString(), QString());
    } else {
        co->Commands.reset();
    }
}

void frmDeskTop::mnuUpdate_Click()
{
    SetFrameInterface();
    ScrollToEditFrame();
}

void frmDeskTop::mnuTransmit_Click()
{
    // The selected commands go to the brick at once.
    if (mDoc.ColCommand)
        TransmitCommands(App(), *mDoc.ColCommand);
}
