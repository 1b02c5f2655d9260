// The main window's construction and layout, its menus and the small handlers
// they call, the notifier's slots and the events it watches for its parts.
#include "shell/MainWindow.h"

#include "compiler/Immediate.h"
#include "compiler/ModuleCompile.h"
#include "compiler/ProjectCompile.h"
#include "model/AppState.h"
#include "model/ModuleManagement.h"
#include "model/Notifier.h"
#include "model/ProjectFile.h"
#include "model/Twips.h"
#include "shell/About.h"
#include "shell/Help.h"
#include "shell/ModalRunner.h"
#include "shell/PaletteBar.h"
#include "shell/Pictures.h"
#include "shell/StatusStrip.h"

#include <QCoreApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

mdiMain* gInstance = nullptr;

}  // namespace

ShellOperations ShellOperations::Defaults()
{
    ShellOperations ops;
    ops.OpenProject = [] { return ::OpenProject(); };
    ops.SaveProject = [] { return ::SaveProject(); };
    ops.CompileProject = [] { return ::CompileProject(App()); };
    ops.DownloadCommand = [] {
        ::DownloadCommand(App(), [](const CompileResult& r) { OpenCommandWindow(r.ErrorWindow, r.ErrorCell); });
    };
    ops.AddTask = [](Long mode) { return ::AddTask(mode); };
    ops.AddSub = [](Long mode) { return ::AddSub(mode); };
    ops.InitRCX = [] { return ::InitRCX(App()); };
    ops.ResetMotorObjects = [] { ::ResetMotorObjects(App()); };
    ops.tmrJoy_Timer = [] {
        if (mdiMain* m = mdiMain::Instance())
            m->tmrJoy_Timer();
    };
    ops.tmrAni_Timer = [] {
        if (mdiMain* m = mdiMain::Instance())
            m->tmrAni_Timer();
    };
    return ops;
}

mdiMain::mdiMain(QWidget* parent) : QMainWindow(parent), Ops(ShellOperations::Defaults())
{
    gInstance = this;
    setObjectName(QStringLiteral("mdiMain"));
    setWindowTitle(QStringLiteral("Programing RCX"));
    setWindowIcon(CommandIcon(QStringLiteral("RCX")));
    SetCursorPos = [](QPoint p) { QCursor::setPos(p); };
    PopupMenu = [](QMenu* m) { m->exec(QCursor::pos()); };

    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto* h = new QHBoxLayout;
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    v->addLayout(h, 1);

    mPicToolBar = new QWidget(central);
    mPicToolBar->setObjectName(QStringLiteral("picToolBar"));
    mPicToolBar->setMouseTracking(true);
    mPicToolBar->setAutoFillBackground(true);
    mPicToolBar->installEventFilter(this);
    h->addWidget(mPicToolBar);
    // The palette's scroll bar runs beside its rows, under the title strip's height.
    auto* scrollColumn = new QVBoxLayout;
    scrollColumn->setContentsMargins(0, kHeaderHeight + 2, 0, 0);
    mTBScroll = new QScrollBar(Qt::Vertical, central);
    mTBScroll->setObjectName(QStringLiteral("TBScroll"));
    mTBScroll->setVisible(false);
    connect(mTBScroll, &QScrollBar::valueChanged, this, [this](int v) { mTB->move(0, -v); });
    scrollColumn->addWidget(mTBScroll);
    h->addLayout(scrollColumn);

    mMdi = new QMdiArea(central);
    mMdi->setObjectName(QStringLiteral("MDIClient"));
    mMdi->setBackground(QColor(0x80, 0x80, 0x80));
    // A window that can't be fitted into the area stays reachable.
    mMdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mMdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mMdi->viewport()->installEventFilter(this);
    h->addWidget(mMdi, 1);

    mBottom = new QWidget(central);
    auto* bh = new QHBoxLayout(mBottom);
    bh->setContentsMargins(0, 0, 0, 0);
    mStatus = new StatusStrip(mBottom);
    bh->addWidget(mStatus, 1);
    mPBar = new QProgressBar(mBottom);
    mPBar->setObjectName(QStringLiteral("PBar"));
    mPBar->setTextVisible(false);
    mPBar->setFixedWidth(240);
    mPBar->setVisible(false);
    bh->addWidget(mPBar);
    v->addWidget(mBottom);

    setCentralWidget(central);

    BuildPalette();
    BuildMainToolbar();
    BuildMenus();
    BuildRunTimers();
    ConnectNotifier();

    resize(1100, 800);
}

mdiMain::~mdiMain()
{
    delete mWindowListForms;
    delete mByBy.data();
    if (gInstance == this)
        gInstance = nullptr;
}

mdiMain* mdiMain::Instance()
{
    return gInstance;
}

// ---------------------------------------------------------------- the notifier's slots

// What the model tells the main window.
void mdiMain::ConnectNotifier()
{
    Notifier* n = App().Notifier.get();
    connect(n, &Notifier::ProjectRenamed, this,
            [this](const QString& name) { setWindowTitle(QStringLiteral("RCX programming - ") + name); });
    connect(n, &Notifier::ProjectTypeChanged, this, &mdiMain::SetToolbarsForType);
    // The palette's motor tips tell what forward and backward mean on each port.
    connect(n, &Notifier::SetupChanged, this, &mdiMain::UpdateMotorTips);
    connect(n, &Notifier::StatusCleared, mStatus, &StatusStrip::Cls);
    connect(n, &Notifier::StatusPrinted, mStatus, &StatusStrip::Print);
    connect(n, &Notifier::BrickDescribed, mStatus, &StatusStrip::setBrick);
    connect(n, &Notifier::TransferBegun, mPBar, [this](Long size) {
        mPBar->setMinimum(0);
        mPBar->setMaximum(int(size));
        mPBar->setVisible(true);
    });
    connect(n, &Notifier::TransferAdvanced, mPBar,
            [this](Long v) { mPBar->setValue(qBound(mPBar->minimum(), int(v), mPBar->maximum())); });
    connect(n, &Notifier::TransferEnded, mPBar, &QWidget::hide);
}

// ---------------------------------------------------------------- menus

void mdiMain::BuildMenus()
{
    mMnuMdi = new QMenu(QStringLiteral("General"), this);
    mMnuMdi->setObjectName(QStringLiteral("mnuMdi"));
    mMnuStatus = mMnuMdi->addAction(QStringLiteral("Status bar"));
    mMnuStatus->setObjectName(QStringLiteral("mnuStatus"));
    mMnuStatus->setCheckable(true);
    mMnuStatus->setChecked(true);
    connect(mMnuStatus, &QAction::triggered, this, [this] {
        // The action has already toggled its own check mark.
        mMnuStatus->setChecked(!mMnuStatus->isChecked());
        mnuStatus_Click();
    });
    mMnuToolBar = mMnuMdi->addAction(QStringLiteral("Button bar"));
    mMnuToolBar->setObjectName(QStringLiteral("mnuToolBar"));
    mMnuToolBar->setCheckable(true);
    mMnuToolBar->setChecked(true);
    connect(mMnuToolBar, &QAction::triggered, this, [this] {
        mMnuToolBar->setChecked(!mMnuToolBar->isChecked());
        mnuToolBar_Click();
    });

    mMnuHelp = new QMenu(QStringLiteral("Help"), this);
    mMnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    QAction* contents = mMnuHelp->addAction(QStringLiteral("Contents..."));
    contents->setObjectName(QStringLiteral("mnuHelpContents"));
    connect(contents, &QAction::triggered, this, &mdiMain::mnuHelpContents_Click);
    QAction* about = mMnuHelp->addAction(QStringLiteral("About Quillomat..."));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, &mdiMain::mnuAbout_Click);

    mMnuWinList = new QMenu(QStringLiteral("Window list"), this);
    mMnuWinList->setObjectName(QStringLiteral("mnuWinList"));
    QAction* first = mMnuWinList->addAction(QStringLiteral("a"));
    mWinDeskList.append(first);
    connect(first, &QAction::triggered, this, [this] { mnuWinDeskList_Click(0); });
}

// ---------------------------------------------------------------- other handlers

void mdiMain::Image1_Click()
{
    frmAbout about(this);
    RunModal(about);
}

void mdiMain::mnuAbout_Click()
{
    Image1_Click();
}

void mdiMain::mnuHelpContents_Click()
{
    ShowHelp();
}

void mdiMain::mnuStatus_Click()
{
    mMnuStatus->setChecked(!mMnuStatus->isChecked());
    mStatus->setVisible(mMnuStatus->isChecked());
}

void mdiMain::mnuToolBar_Click()
{
    mMnuToolBar->setChecked(!mMnuToolBar->isChecked());
    mTB1->setVisible(mMnuToolBar->isChecked());
}

// ---------------------------------------------------------------- events

bool mdiMain::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (watched == mMdi->viewport() && t == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            PopupMenu(mMnuMdi);
            return true;
        }
    }
    // The windows of the area follow its visible part once it has its new
    // size (the main window's own resize comes before its layout gives it).
    if (watched == mMdi->viewport() && t == QEvent::Resize) {
        FitDeskTops();
        Q_EMIT App().Notifier->MainAreaResized();
    }
    if (watched == mImage1 && t == QEvent::MouseButtonRelease) {
        Image1_Click();
        return true;
    }
    if ((watched == mCloseTB[0] || watched == mCloseTB[1]) && t == QEvent::MouseButtonRelease) {
        const int index = watched == mCloseTB[0] ? 0 : 1;
        QTimer::singleShot(0, this, [this, index] { cmdCloseTB_MouseUp(index); });
    }
    if (t == QEvent::MouseMove || t == QEvent::Enter) {
        QWidget* w = qobject_cast<QWidget*>(watched);
        if (w && (w == mTB || w->parentWidget() == mTB))
            TB_MouseMove(0, 0, 1, 1);
        if (watched == mPicToolBar && t == QEvent::MouseMove) {
            auto* me = static_cast<QMouseEvent*>(event);
            const int button = (me->buttons() & Qt::LeftButton) ? 1 : 0;
            const QPointF twips = TwipPoint(me->position());
            picToolBar_MouseMove(button, 0, int(twips.x()), int(twips.y()), me->globalPosition().toPoint());
        }
    }
    if (watched == mPicToolBar && t == QEvent::MouseButtonRelease)
        picToolBar_MouseUp(0, 0, 0, 0);
    if (watched == mTB && t == QEvent::Wheel) {
        QCoreApplication::sendEvent(mTBScroll, event);
        return true;
    }
    if ((watched == mPicToolBar || watched == mTB) &&
        (t == QEvent::Resize || t == QEvent::Show || t == QEvent::Hide))
        LayoutPaletteView();
    if (watched == mPicToolBar && t == QEvent::Resize) {
        // The title strip follows the holder; the palette's width changes only by dragging.
        const int w = mPicToolBar->width();
        mPicTBTop->setGeometry(0, 0, qMax(0, w - 3), kHeaderHeight);
        mCloseTB[0]->move(mPicTBTop->width() - mCloseTB[0]->width() - 2, 2);
        mCloseTB[1]->move(mPicTBTop->width() - mCloseTB[1]->width() - mCloseTB[0]->width() - 2, 2);
    }
    return QMainWindow::eventFilter(watched, event);
}
