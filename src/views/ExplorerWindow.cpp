#include "views/ExplorerWindow.h"

#include "model/Messages.h"
#include "model/Notifier.h"
#include "shell/MainWindow.h"
#include "shell/ScreenPlacement.h"
#include "model/Twips.h"
#include "views/TreePresenter.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTreeWidget>

frmProjExp::frmProjExp(QWidget* parent) : QWidget(parent), Explorer(App())
{
    setObjectName(QStringLiteral("frmProjExp"));
    TVExp = AddViewTree(this, QStringLiteral("TVExp"), &Explorer.Tree,
                        {[this](QTreeWidgetItem* item) { TVExp_NodeClick(item); }, [this] { TVExp_DblClick(); },
                         [this](const QPoint& pos) { TVExp_MouseUp(pos); }});

    mnuFile = new QMenu(QStringLiteral("File"), this);
    mnuRemove = mnuFile->addAction(QStringLiteral("Remove module"), this, &frmProjExp::mnuRemove_Click);

    Explorer.OpenWindows = [] {
        mdiMain* main = mdiMain::Instance();
        return main ? main->DeskTopWindows() : QList<ICommandWindow*>();
    };
    Explorer.Load(App().RcxSetup().ProjectName);
    setWindowTitle(Explorer.Tree.At(0).Text);

    if (mdiMain* main = mdiMain::Instance()) {
        mSub = main->MdiArea()->addSubWindow(this);
        mSub->installEventFilter(this);
        mSub->resize(PixXCut(2500), PixYCut(3000));
        Notifier* n = App().Notifier.get();
        connect(n, &Notifier::RunningChanged, this, [this](bool running) { SetProjectEditingEnabled(!running); });
        connect(n, &Notifier::MainAreaResized, this, &frmProjExp::MainAreaResized);
        MainAreaResized();
    } else {
        resize(PixXCut(2500), PixYCut(3000));
    }
    Present();
}

frmProjExp::~frmProjExp() = default;

void frmProjExp::Present()
{
    PresentTree(TVExp, Explorer.Tree, Explorer.curNode);
}

void frmProjExp::AddNewModul(const QString& moduleName, Long moduleType)
{
    Explorer.AddNewModul(moduleName, moduleType);
    Present();
}

void frmProjExp::ShowInFront()
{
    MainAreaResized();
    if (mSub) {
        mSub->show();
        mSub->raise();
        if (QMdiArea* area = mSub->mdiArea())
            area->setActiveSubWindow(mSub);
    } else {
        show();
        raise();
    }
}

void frmProjExp::Unload()
{
    mUnloading = true;
    if (mSub)
        delete mSub;
    else
        delete this;
}

void frmProjExp::TVExp_NodeClick(QTreeWidgetItem* item)
{
    Explorer.curNode = KeyOfItem(item);
}

void frmProjExp::TVExp_DblClick()
{
    Explorer.Open();
}

bool frmProjExp::TVExp_MouseUp(const QPoint& pos, bool popup)
{
    // The menu acts on the node under the pointer, which the right button has
    // just highlighted, not on the one clicked before it.
    QTreeWidgetItem* item = TVExp->itemAt(pos);
    Explorer.curNode = KeyOfItem(item);
    if (item)
        TVExp->setCurrentItem(item);
    mnuRemove->setEnabled(Explorer.RemoveEnabled());
    if (!Explorer.MenuApplies())
        return false;
    if (popup)
        mnuFile->popup(TVExp->viewport()->mapToGlobal(pos));
    return true;
}

void frmProjExp::mnuRemove_Click()
{
    if (Explorer.RemoveModule())
        Present();
}

void frmProjExp::SetProjectEditingEnabled(bool enable)
{
    TVExp->setEnabled(enable);
}

void frmProjExp::MainAreaResized()
{
    if (!mSub || !mSub->mdiArea())
        return;
    const int areaWidth = mSub->mdiArea()->viewport()->width();
    PlaceInArea(mSub, QRect(QPoint(areaWidth - mSub->width(), 0), mSub->size()));
}

bool frmProjExp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mSub && event->type() == QEvent::Close && !mUnloading) {
        // The user's close hides the explorer; it keeps its tree.
        event->ignore();
        mSub->hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
