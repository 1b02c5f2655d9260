#include "views/MapWindow.h"

#include "model/AppState.h"
#include "model/Notifier.h"
#include "shell/MainWindow.h"
#include "model/Twips.h"
#include "shell/EventGuard.h"
#include "views/ReportPrinter.h"
#include "views/TreePresenter.h"

#include <QAction>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTreeWidget>

frmMap::frmMap(QWidget* parent) : QWidget(parent), Map(App())
{
    setObjectName(QStringLiteral("frmMap"));
    setWindowTitle(QStringLiteral("Project map"));
    TV1 = AddViewTree(this, QStringLiteral("TV1"), &Map.Tree,
                      {[this](QTreeWidgetItem* item) { TV1_NodeClick(item); }, [this] { TV1_DblClick(); },
                       [this](const QPoint& pos) { TV1_MouseUp(pos); }});
    TV1->setExpandsOnDoubleClick(true);
    TV1->installEventFilter(this);

    mnuFile = new QMenu(QStringLiteral("File"), this);
    mnuFind = mnuFile->addAction(QStringLiteral("Find (F3 find again)"), this, &frmMap::mnuFind_Click);
    mnuFile->addSeparator();
    mnuUpdateMap = mnuFile->addAction(QStringLiteral("Update view"), this, &frmMap::mnuUpdateMap_Click);
    mnuExpandMap = mnuFile->addAction(QStringLiteral("Open all"), this, &frmMap::mnuExpandMap_Click);
    mnuOpenLeaf = mnuFile->addAction(QStringLiteral("Open branch"), this, &frmMap::mnuOpenLeaf_Click);
    mnuColapseAll = mnuFile->addAction(QStringLiteral("Close all"), this, &frmMap::mnuColapseAll_Click);
    mnuGoToCommands =
        mnuFile->addAction(QStringLiteral("Jump to command window"), this, &frmMap::mnuGoToCommands_Click);
    mnuFile->addSeparator();
    mnuSmallImage = mnuFile->addAction(QStringLiteral("Small Images"), this, &frmMap::mnuSmallImage_Click);
    mnuBigImage = mnuFile->addAction(QStringLiteral("Larg images"), this, &frmMap::mnuBigImage_Click);
    mnuSmallImage->setCheckable(true);
    mnuBigImage->setCheckable(true);
    mnuSmallImage->setChecked(true);
    mnuFile->addSeparator();
    mnuPrint = mnuFile->addAction(QStringLiteral("Print"), this, &frmMap::mnuPrint_Click);

    if (mdiMain* main = mdiMain::Instance()) {
        mSub = main->MdiArea()->addSubWindow(this);
        mSub->setAttribute(Qt::WA_DeleteOnClose);
        connect(App().Notifier.get(), &Notifier::RunningChanged, this,
                [this](bool running) { SetProjectEditingEnabled(!running); });
    } else {
        setAttribute(Qt::WA_DeleteOnClose);
    }
    // The slots run inside the emission: a failure is shown here and goes no further.
    // A module added or taken out, or another project, and the tree is no
    // longer the project's: the map goes, and the next MAP makes it afresh.
    Notifier* n = App().Notifier.get();
    const auto unload = [this] { DeliverGuarded([this] { Unload(); return true; }); };
    connect(n, &Notifier::ModuleAdded, this, unload);
    connect(n, &Notifier::ModuleRemoved, this, unload);
    connect(n, &Notifier::ProjectReplaced, this, unload);
    // The map shows a module's grid, not its heading.
    connect(n, &Notifier::ModuleChanged, this, [this](const clsModule& module, Long kind, ModulePart part) {
        if (part == ModulePart::Commands)
            DeliverGuarded([&] { UpdateNodeOnly(module.Name, kind); return true; });
    });
    connect(n, &Notifier::MapUpdateRequested, this, [this](const clsModule& module, Long kind) {
        DeliverGuarded([&] { UpdateNodeOnly(module.Name, kind); return true; });
    });
    UpdateMap();
}

frmMap::~frmMap() = default;

void frmMap::Present()
{
    PresentTree(TV1, Map.Tree, Map.curNode);
}

void frmMap::UpdateMap()
{
    Map.UpdateMap();
    Present();
}

void frmMap::Unload()
{
    if (mSub)
        delete mSub;
    else
        delete this;
}

void frmMap::UpdateNodeOnly(const QString& taskName, Long fType)
{
    Map.UpdateNodeOnly(taskName, fType);
    Present();
}

void frmMap::mnuFind_Click()
{
    if (Map.Find())
        Present();
    TV1->setFocus();
}

void frmMap::FindAgain()
{
    Map.FindNextNode(Map.LastSearch, false);
    Present();
    TV1->setFocus();
}

void frmMap::mnuExpandMap_Click()
{
    Map.Tree.SetAllExpanded(true);
    Present();
}

void frmMap::mnuColapseAll_Click()
{
    Map.Tree.SetAllExpanded(false);
    Present();
}

void frmMap::mnuOpenLeaf_Click()
{
    Map.OpenBranch();
    Present();
}

void frmMap::mnuGoToCommands_Click()
{
    Map.Jump(false);
}

void frmMap::mnuSmallImage_Click()
{
    TV1->setIconSize(QSize(16, 16));
    mnuSmallImage->setChecked(true);
    mnuBigImage->setChecked(false);
    TV1->setIndentation(PixXCut(299.9));
    UpdateMap();
}

void frmMap::mnuBigImage_Click()
{
    TV1->setIconSize(QSize(32, 32));
    mnuBigImage->setChecked(true);
    mnuSmallImage->setChecked(false);
    UpdateMap();
}

void frmMap::mnuPrint_Click()
{
    PrintProjectReport(Map.ReportLines());
}

void frmMap::TV1_NodeClick(QTreeWidgetItem* item)
{
    Map.curNode = KeyOfItem(item);
}

void frmMap::TV1_DblClick()
{
    // The double click has opened or closed the node already; keep that.
    Map.Jump(true);
}

void frmMap::TV1_MouseUp(const QPoint& pos, bool popup)
{
    QTreeWidgetItem* item = TV1->itemAt(pos);
    Map.curNode = KeyOfItem(item);
    TV1->setCurrentItem(item);
    mnuGoToCommands->setEnabled(true);
    if (popup)
        mnuFile->popup(TV1->viewport()->mapToGlobal(pos));
}

void frmMap::SetProjectEditingEnabled(bool enable)
{
    TV1->setEnabled(enable);
}

bool frmMap::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TV1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F3) {
        FindAgain();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
