#include "shell/MainWindow.h"

#include "compiler/Immediate.h"
#include "compiler/ModuleCompile.h"
#include "compiler/ProjectCompile.h"
#include "link/PortScan.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/CommandCatalogue.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/ProjectFile.h"
#include "model/SettingsKeys.h"
#include "shell/About.h"
#include "shell/Help.h"
#include "shell/MessagePresenter.h"
#include "shell/ModalRunner.h"
#include "shell/joy/frmJoy.h"
#include "shell/PaletteBar.h"
#include "shell/Pictures.h"
#include "shell/ScreenPlacement.h"
#include "shell/StatusStrip.h"
#include "model/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

mdiMain* gInstance = nullptr;

constexpr int kHeaderHeight = 18;  // picTBTop, pixels

Integer twX(int pixels)
{
    return Integer(TwipX(pixels));
}

}  // namespace

ShellOperations ShellOperations::Defaults()
{
    ShellOperations ops;
    ops.OpenProject = [] { return ::OpenProject(); };
    ops.SaveProject = [] { return ::SaveProject(); };
    ops.CompileProject = [] { return ::CompileProject(); };
    ops.DownloadCommand = [] { ::DownloadCommand(); };
    ops.AddTask = [](Long mode) { return ::AddTask(mode); };
    ops.AddSub = [](Long mode) { return ::AddSub(mode); };
    ops.InitRCX = [] { return ::InitRCX(*App().RcxSetup); };
    ops.ResetMotorObjects = [] { ::ResetMotorObjects(); };
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

    mMdi = new QMdiArea(central);
    mMdi->setObjectName(QStringLiteral("MDIClient"));
    mMdi->setBackground(QColor(0x80, 0x80, 0x80));
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

    mTmrJoy = new QTimer(this);
    mTmrJoy->setInterval(20);
    connect(mTmrJoy, &QTimer::timeout, this, [this] { if (Ops.tmrJoy_Timer) Ops.tmrJoy_Timer(); });
    mTmrAni = new QTimer(this);
    mTmrAni->setInterval(250);
    connect(mTmrAni, &QTimer::timeout, this, [this] { if (Ops.tmrAni_Timer) Ops.tmrAni_Timer(); });
    mRun = std::make_unique<PcRun>();
    mTmrShowLab = new QTimer(this);
    mTmrShowLab->setInterval(15);
    connect(mTmrShowLab, &QTimer::timeout, this, &mdiMain::tmrShowLab_Timer);

    // What the model tells the main window.
    Notifier* n = App().Notifier.get();
    connect(n, &Notifier::MainCaptionChanged, this, &QWidget::setWindowTitle);
    connect(n, &Notifier::ProjectTypeChanged, this, &mdiMain::SetToolbarsForType);
    connect(n, &Notifier::MotorTipsChanged, this, &mdiMain::UpdateMotorTips);
    connect(n, &Notifier::StatusCleared, mStatus, &StatusStrip::Cls);
    connect(n, &Notifier::StatusPrinted, mStatus, &StatusStrip::Print);
    connect(n, &Notifier::StatusBrickChanged, mStatus, &StatusStrip::setBrick);
    connect(n, &Notifier::ProgressMin, mPBar, [this](double v) { mPBar->setMinimum(int(v)); });
    connect(n, &Notifier::ProgressMax, mPBar, [this](double v) { mPBar->setMaximum(int(v)); });
    connect(n, &Notifier::ProgressValue, mPBar,
            [this](double v) { mPBar->setValue(qBound(mPBar->minimum(), int(v), mPBar->maximum())); });
    connect(n, &Notifier::ProgressVisible, mPBar, &QWidget::setVisible);

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

void UnloadAtProgramEnd(QWidget* window)
{
    QObject::connect(App().Notifier.get(), &Notifier::ProgramEnding, window, [window] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
            delete sub;
        else
            delete window;
    });
}

// ---------------------------------------------------------------- building

void mdiMain::BuildPalette()
{
    mPicTBTop = new QWidget(mPicToolBar);
    mPicTBTop->setObjectName(QStringLiteral("picTBTop"));
    mPicTBTop->setFocusPolicy(Qt::ClickFocus);
    mPicTBTop->setAutoFillBackground(true);
    QPalette pal = mPicTBTop->palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
    mPicTBTop->setPalette(pal);

    const char* captions[2] = {"X", "h"};
    const char* tips[2] = {"Close", "Hide"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QToolButton(mPicTBTop);
        b->setObjectName(QStringLiteral("cmdCloseTB%1").arg(i));
        b->setText(QString::fromLatin1(captions[i]));
        b->setToolTip(QString::fromLatin1(tips[i]));
        b->setFixedSize(16, 14);
        b->installEventFilter(this);
        connect(b, &QToolButton::clicked, this, [this, i] { cmdCloseTB_Click(i); });
        mCloseTB[i] = b;
    }

    mTB = new PaletteBar(mPicToolBar);
    mTB->installEventFilter(this);
    // The cursor tool, then every command in the catalogue's order.
    std::vector<std::pair<QString, QString>> palette = {{QStringLiteral("CURSOR"), QString()}};
    for (const CommandInfo& c : CommandCatalogue())
        palette.emplace_back(c.key, c.caption);
    for (const auto& [key, tip] : palette) {
        QToolButton* b = mTB->AddButton(key, tip);
        b->installEventFilter(this);
        connect(b->defaultAction(), &QAction::triggered, this, [this, b] { TB_ButtonClick(b); });
    }
    const int tbWidth = PaletteBar::WidthForColumns(2);
    mTB->setGeometry(0, kHeaderHeight + 2, tbWidth, mTB->HeightForWidth(tbWidth));
    LayoutPaletteHolder(twX(tbWidth + 3));
    mWidthTrace.clear();
}

void mdiMain::BuildMainToolbar()
{
    mTB1 = new QToolBar(QStringLiteral("TB1"), this);
    mTB1->setObjectName(QStringLiteral("TB1"));
    mTB1->setIconSize(QSize(32, 32));
    mTB1->setMovable(false);
    mTB1->setFloatable(false);
    mTB1->setContextMenuPolicy(Qt::PreventContextMenu);
    for (const MainBarButton& e : MainBar()) {
        const QString key = QString::fromLatin1(e.key);
        QAction* a = mTB1->addAction(CommandIcon(key), QString::fromLatin1(e.tip));
        a->setObjectName(key);
        a->setData(key);
        a->setToolTip(QString::fromLatin1(e.tip));
        connect(a, &QAction::triggered, this, e.click);
        mTB1Buttons.insert(key, a);
    }
    auto* spacer = new QWidget(mTB1);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    mTB1->addWidget(spacer);
    mImage1 = new QLabel(mTB1);
    mImage1->setObjectName(QStringLiteral("Image1"));
    mImage1->setPixmap(CommandPicture(QStringLiteral("LOGO")));
    mImage1->setToolTip(QStringLiteral("About"));
    mImage1->setCursor(Qt::PointingHandCursor);
    mImage1->installEventFilter(this);
    mTB1->addWidget(mImage1);
    addToolBar(Qt::TopToolBarArea, mTB1);
}

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

void mdiMain::LayoutPaletteHolder(Integer holderWidth)
{
    const int w = PixX(holderWidth);
    mPicToolBar->setFixedWidth(qMax(0, w));
    mWidthTrace.append(holderWidth);
}

// ---------------------------------------------------------------- start

bool mdiMain::MDIForm_Load()
{
    GetInitParams();
    mStatus->setBrick(BrickDescription());
    mCurButton = PaletteButton(QStringLiteral("CURSOR"));
    std::srand(1);
    if (QScreen* s = screen()) {
        const QRect g = s->availableGeometry();
        // On a small screen the window shrinks to fit it, its frame and title bar included.
        constexpr int kFrame = 8;
        constexpr int kTitleBar = 32;
        resize(qMin(width(), g.width() - 2 * kFrame), qMin(height(), g.height() - kTitleBar - kFrame));
        CentreOnScreen(this, s);
    }
    // No key of either toolbar can act before a project is open: they show
    // disabled until then, while an open is asked for and while it fails.
    EnableEveryKey(false);
    // The main window shows with its first child window, as an MDI parent does,
    // so that the child is laid out in the area's real size.
    show();
    // A project that can't be opened (its message names the file) sends the
    // user back to the open/new dialog; only cancelling it ends the start.
    while (!OpenProject()) {
        // A dialog closed but by its OK button cancels.
        const OpenChoice choice = App().Shell->ShowOpenDialog(3, 1);
        if (choice.canceled) {
            hide();
            return false;
        }
        TakeProjectChoice(choice);
    }
    EnableEveryKey(true);
    SetToolbarsForType();
    PaletteWidth = PaletteHolderWidth();
    PaletteMargin = Integer(PaletteWidth - PaletteBarWidth());
    App().StopRun = True;
    return true;
}

void mdiMain::GetInitParams()
{
    AppState& a = App();
    try {
        a.AdvancedAlways = SettingsKeys::ReadAdvancedMode(*a.Settings) ? True : False;
        a.ShowAdvanced = a.AdvancedAlways;
        a.ComPortNumber = SettingsKeys::ReadComPort(*a.Settings);
        a.FirmwarePath = SettingsKeys::ReadFirmwarePath(*a.Settings);
        a.FirmwareName = SettingsKeys::ReadFirmwareName(*a.Settings);
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Critical);
    }
}

// ---------------------------------------------------------------- editor windows

void mdiMain::setDeskTopFactory(DeskTopFactory factory)
{
    mFactory = std::move(factory);
}

ICommandWindow* mdiMain::CreateDeskTop()
{
    if (!mFactory)
        return nullptr;
    const DeskTopWindow made = mFactory();
    if (!made.window || !made.widget)
        return made.window;
    QWidget* w = made.widget;
    if (!qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
        QMdiSubWindow* sub = mMdi->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
    }
    WindowHandle(w);
    // Windows whose widget has gone are dropped as new ones come.
    mDeskTops.erase(std::remove_if(mDeskTops.begin(), mDeskTops.end(),
                                   [](const KeptDeskTop& d) { return d.widget.isNull(); }),
                    mDeskTops.end());
    mDeskTops.append({w, made.window});
    return made.window;
}

ICommandWindow* mdiMain::DeskTopOf(QWidget* widget) const
{
    for (const KeptDeskTop& d : mDeskTops)
        if (d.widget && d.widget == widget)
            return d.window;
    return nullptr;
}

ICommandWindow* mdiMain::ActiveDeskTop() const
{
    QMdiSubWindow* sub = mMdi->currentSubWindow();
    if (!sub)
        sub = mMdi->activeSubWindow();
    if (!sub) {
        const auto list = mMdi->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (!list.isEmpty())
            sub = list.last();
    }
    return sub ? DeskTopOf(sub->widget()) : nullptr;
}

QList<ICommandWindow*> mdiMain::DeskTopWindows() const
{
    QList<ICommandWindow*> list;
    for (QMdiSubWindow* sub : mMdi->subWindowList(QMdiArea::CreationOrder))
        if (ICommandWindow* w = DeskTopOf(sub->widget()))
            list.append(w);
    return list;
}

Long mdiMain::ScaleHeight() const
{
    return Long(TwipY(mMdi->viewport()->height()));
}

Long mdiMain::ScaleWidth() const
{
    return Long(TwipX(mMdi->viewport()->width()));
}

int mdiMain::WindowHandle(QWidget* window)
{
    // The serial number is kept on the window itself, so it goes with it.
    const QVariant kept = window->property("qmWindowHandle");
    if (kept.isValid())
        return kept.toInt();
    const int h = mNextHandle++;
    window->setProperty("qmWindowHandle", h);
    return h;
}

// ---------------------------------------------------------------- palette

QWidget* mdiMain::TB() const
{
    return mTB;
}

QToolButton* mdiMain::PaletteButton(const QString& key) const
{
    return mTB->Button(key);
}

QList<QToolButton*> mdiMain::PaletteButtons() const
{
    return mTB->Buttons();
}

QString mdiMain::CurButtonKey() const
{
    return mCurButton ? mCurButton->objectName() : QString();
}

void mdiMain::TB_ButtonClick(QToolButton* button)
{
    if (!button)
        return;
    mCurButton = button;
    for (QToolButton* b : mTB->Buttons())
        b->defaultAction()->setChecked(false);
    button->defaultAction()->setChecked(true);
    mTB->update();
}

void mdiMain::TB_ButtonClick(const QString& key)
{
    TB_ButtonClick(PaletteButton(key));
}

Integer mdiMain::PaletteHolderWidth() const
{
    return twX(mPicToolBar->maximumWidth());
}

void mdiMain::setPaletteHolderWidth(Integer twips)
{
    LayoutPaletteHolder(twips);
}

Integer mdiMain::PaletteBarWidth() const
{
    return twX(mTB->width());
}

QList<Integer> mdiMain::TakeWidthTrace()
{
    QList<Integer> t = mWidthTrace;
    mWidthTrace.clear();
    return t;
}

void mdiMain::TB_MouseMove(int, int, int, int)
{
    mPicToolBar->unsetCursor();
    Integer w = PaletteHolderWidth();
    if (w >= 200)
        return;
    const double target = PaletteBarWidth() + TwipX(3);
    for (double i = w; i <= target; i += TwipX(8))
        setPaletteHolderWidth(Integer(i));
    setPaletteHolderWidth(Integer(target));
}

void mdiMain::picToolBar_MouseMove(int button, int, int x, int, QPoint screenPos)
{
    const double w = PaletteHolderWidth();
    const double minW = PaletteWidth;
    const double maxW = minW * 1.8;
    if (button != 1) {
        LastPointer = screenPos;
        SavedPointer.setX(screenPos.x());
        if (x > w - TwipX(3) && x < w)
            mPicToolBar->setCursor(Qt::SizeHorCursor);
        else
            mPicToolBar->unsetCursor();
        return;
    }
    auto resizeTo = [&](double width) {
        setPaletteHolderWidth(Integer(width));
        const int tbw = PixX(width - PaletteMargin);
        mTB->resize(qMax(0, tbw), mTB->HeightForWidth(qMax(0, tbw)));
        const int top = PixX(width) - 3;
        mPicTBTop->resize(qMax(0, top), kHeaderHeight);
        mCloseTB[0]->move(mPicTBTop->width() - mCloseTB[0]->width() - 2, 2);
        mCloseTB[1]->move(mPicTBTop->width() - mCloseTB[1]->width() - mCloseTB[0]->width() - 2, 2);
    };
    if (x >= minW && x <= maxW) {
        resizeTo(x);
        LastPointer = screenPos;
    } else if (x > maxW) {
        SetCursorPos(QPoint(LastPointer.x() + PixXCut(maxW - w), LastPointer.y()));
        if (LastPointer.x() == SavedPointer.x())
            return;
        resizeTo(maxW);
        SavedPointer = screenPos;
    } else {
        SetCursorPos(QPoint(LastPointer.x() - PixXCut(w - minW), LastPointer.y()));
        if (LastPointer.x() == SavedPointer.x())
            return;
        resizeTo(minW);
        SavedPointer = screenPos;
    }
}

void mdiMain::picToolBar_MouseUp(int, int, int, int)
{
    mPicToolBar->unsetCursor();
}

void mdiMain::cmdCloseTB_Click(int index)
{
    if (index == 0) {
        mPicToolBar->setVisible(false);
        return;
    }
    for (double i = PaletteHolderWidth(); i >= TwipX(2); i -= TwipX(8)) {
        setPaletteHolderWidth(Integer(i));
        App().Shell->DoEvents();
    }
    setPaletteHolderWidth(Integer(TwipX(2)));
}

void mdiMain::cmdCloseTB_MouseUp(int)
{
    mPicTBTop->setFocus();
    if (QMdiSubWindow* sub = mMdi->currentSubWindow())
        sub->setFocus();
}

// ---------------------------------------------------------------- toolbars by type

QAction* mdiMain::TB1Button(const QString& key) const
{
    return mTB1Buttons.value(key.toUpper());
}

void mdiMain::EnableProjectCommands(bool enable)
{
    mTB->setEnabled(enable);
    for (const char* k : {"OPEN", "DEFVAR", "COMPILE", "SAVE", "EXIT", "MAP", "PROJEXP"})
        if (QAction* a = TB1Button(QString::fromLatin1(k)))
            a->setEnabled(enable);
    // The Joystick & Keyboard task's desk, the map's tree and the explorer's
    // tree each lock themselves.
    Q_EMIT App().Notifier->ProjectEditingEnabled(enable);
}

void mdiMain::EnableEveryKey(bool enable)
{
    mTB->setEnabled(enable);
    for (QAction* a : mTB1Buttons)
        a->setEnabled(enable);
}

void mdiMain::SetToolbarsForType()
{
    if (App().ProjectType == 0) {
        for (QToolButton* b : mTB->Buttons())
            b->defaultAction()->setEnabled(true);
        for (QAction* a : mTB1Buttons)
            a->setEnabled(true);
        TB1Button(QStringLiteral("JOY"))->setVisible(false);
        TB1Button(QStringLiteral("JOY_PLAY"))->setVisible(false);
    } else {
        for (const char* k : {"NEWSUB", "NEWTASK", "DOWNLOAD"})
            TB1Button(QString::fromLatin1(k))->setEnabled(false);
        for (const CommandInfo& c : CommandCatalogue())
            if (!c.joystick)
                mTB->Action(c.key)->setEnabled(false);
        TB1Button(QStringLiteral("JOY"))->setVisible(true);
        TB1Button(QStringLiteral("JOY_PLAY"))->setVisible(true);
    }
}

void mdiMain::UpdateMotorTips()
{
    QAction* fwd = mTB->Action(QStringLiteral("M_FWD"));
    QAction* rwd = mTB->Action(QStringLiteral("M_RWD"));
    QString fwdTip = QStringLiteral("Forward");
    QString rwdTip = QStringLiteral("Backward");
    clsRcx& rcx = *App().RcxSetup;
    const QString letters = QStringLiteral("ABC");
    for (int i = 0; i < 3; ++i) {
        const MotorPtr& m = rcx.PortMotor(i);
        if (m && m->MotorType() != 0 && !m->MotorFwdMeening.isEmpty())
            fwdTip += QStringLiteral("{%1=%2}").arg(letters[i]).arg(m->MotorFwdMeening);
    }
    for (int i = 0; i < 3; ++i) {
        const MotorPtr& m = rcx.PortMotor(i);
        if (m && m->MotorType() != 0 && !m->MotorRwdMeening.isEmpty())
            rwdTip += QStringLiteral("{%1=%2}").arg(letters[i]).arg(m->MotorRwdMeening);
    }
    fwd->setToolTip(fwdTip);
    rwd->setToolTip(rwdTip);
}

// ---------------------------------------------------------------- project

bool mdiMain::OpenProject()
{
    // The open tells the caption, the toolbars and the motor tips through the notifier.
    return Ops.OpenProject ? Ops.OpenProject() : false;
}

void mdiMain::CloseProjectWindows()
{
    UnloadJoyWindow();
    for (ICommandWindow* w : DeskTopWindows())
        w->Close();
}

bool mdiMain::SaveProject()
{
    return Ops.SaveProject ? Ops.SaveProject() : false;
}

// ---------------------------------------------------------------- dispatcher

const std::vector<mdiMain::MainBarButton>& mdiMain::MainBar()
{
    static const std::vector<MainBarButton> buttons = {
        {"EXIT", "Exit", &mdiMain::KeyExit},
        {"HELP", "Help for Quillomat", &mdiMain::KeyHelp},
        {"RCX", "Open RCX window", &mdiMain::KeyRcx},
        {"DEFVAR", "Define variables and constants", &mdiMain::KeyDefVar},
        {"TOOLBAR", "Open command box", &mdiMain::KeyToolbar},
        {"PROJEXP", "Open project module window", &mdiMain::KeyProjExp},
        {"MAP", "Open project map window", &mdiMain::KeyMap},
        {"WINLIST", "Window list", &mdiMain::KeyWinList},
        {"OPEN", "New/Open project", &mdiMain::KeyOpen},
        {"SAVE", "Save project", &mdiMain::KeySave},
        {"NEWSUB", "New/Open sub", &mdiMain::KeyNewSub},
        {"NEWTASK", "New/Open task", &mdiMain::KeyNewTask},
        {"DOWNLOAD", "Download program to the RCX", &mdiMain::KeyDownload},
        {"COMPILE", "Compile project", &mdiMain::KeyCompile},
        {"PREVIEW", "Preview window", &mdiMain::KeyShowPreview},
        {"JOY", "Open joystick window", &mdiMain::KeyJoy},
        {"JOY_PLAY", "Run program", &mdiMain::KeyJoyPlay},
    };
    return buttons;
}

void mdiMain::TB1_ButtonClick(const QString& rawKey)
{
    // As the button's own action, whether the button is enabled or not.
    const QString key = rawKey.toUpper();
    for (const MainBarButton& e : MainBar())
        if (key == QLatin1String(e.key)) {
            (this->*e.click)();
            return;
        }
}

void mdiMain::KeyRcx()
{
    AppState& a = App();
    if (mTmrJoy->isActive() && a.ProjectType == 1) {
        Q_EMIT a.Notifier->StatusCleared();
        Q_EMIT a.Notifier->StatusPrinted(QStringLiteral("VER Ize is waiting for program to end the cycle..."), 700);
        a.RcxWindowRequested = True;
        mTmrShowLab->start();
    } else {
        Q_EMIT a.Notifier->SetupWindowShowModal();
        UpdateMotorTips();
    }
}

void mdiMain::KeyDefVar()
{
    Q_EMIT DefineVarRequested();
}

void mdiMain::KeyToolbar()
{
    mPicToolBar->setVisible(true);
    TB_MouseMove(0, 0, 1, 1);
}

void mdiMain::KeyProjExp()
{
    Q_EMIT ExplorerShowRequested();
}

void mdiMain::KeyNewTask()
{
    AppState& a = App();
    if (Ops.AddTask && Ops.AddTask(3)) {
        OpenCommandWindow(ModuleKind::Task, a.CurrentTask.get(), QString(), QString());
        a.CurrentTask.reset();
        Q_EMIT a.Notifier->MapUnload();
    }
}

void mdiMain::KeyNewSub()
{
    AppState& a = App();
    if (Ops.AddSub && Ops.AddSub(3)) {
        OpenCommandWindow(ModuleKind::Sub, a.CurrentSub.get(), QString(), QString());
        a.CurrentSub.reset();
        Q_EMIT a.Notifier->MapUnload();
    }
}

void mdiMain::KeyDownload()
{
    if (Ops.DownloadCommand)
        Ops.DownloadCommand();
}

void mdiMain::KeySave()
{
    SaveProject();
}

void mdiMain::KeyShowPreview()
{
    AppState& a = App();
    if (!a.LastListing.isEmpty())
        Q_EMIT a.Notifier->PreviewShow(a.LastListing);
}

void mdiMain::KeyJoy()
{
    ShowJoyWindow();
}

void mdiMain::KeyHelp()
{
    PopupMenu(mMnuHelp);
}

void mdiMain::KeyExit()
{
    close();
}

void mdiMain::CompileErrorReport(const CompileResult& result)
{
    ::CompileErrorReport(result);
}

void mdiMain::KeyCompile()
{
    AppState& a = App();
    Q_EMIT a.Notifier->StatusCleared();
    Q_EMIT a.Notifier->StatusPrinted(QStringLiteral("Compiling..."), 700);
    a.Shell->DoEvents();
    const CompileResult compiled = Ops.CompileProject ? Ops.CompileProject() : CompileResult();
    KeepListing(compiled);
    if (compiled) {
        Q_EMIT a.Notifier->StatusCleared();
        Q_EMIT a.Notifier->StatusPrinted(QStringLiteral("Compile OK!"), 700);
        if (a.ProjectType == 0)
            Q_EMIT a.Notifier->PreviewShow(compiled.ListingText);
    } else {
        CompileErrorReport(compiled);
    }
}

void mdiMain::KeyOpen()
{
    AppState& a = App();
    if (IsDirty(0)) {
        const int answer = a.Presenter->MsgBox(QStringLiteral("Save project"), 35);
        if (answer == MsgResult::Cancel)
            return;
        if (answer == MsgResult::Yes && !SaveProject())
            return;
    }
    // What the dialog changes of the open project comes back when the project
    // chosen is not opened (an existing one that can't be read, a new one whose
    // first task is cancelled): the open project and its windows then stay.
    const QString openName = a.RcxSetup->ProjectName;
    const Integer openAction = a.ProjectAction;
    const Integer openType = a.ProjectType;
    const Boolean openDirty = a.RcxSetup->Dirty;
    const OpenChoice choice = a.Shell->ShowOpenDialog(3, 1);
    if (choice.canceled)
        return;
    Q_EMIT a.Notifier->StatusCleared();
    TakeProjectChoice(choice);
    // The project's windows close inside the open, once the new project has been read.
    if (OpenProject()) {
        Q_EMIT a.Notifier->MapUnload();
        return;
    }
    a.RcxSetup->ProjectName = openName;
    a.ProjectAction = openAction;
    a.ProjectType = openType;
    a.RcxSetup->Dirty = openDirty;
}

void mdiMain::KeyMap()
{
    const Long mainWidth = Long(TwipX(width()));
    const Long mapWidth = mainWidth / 2 - 250;
    const Long left = mainWidth - mapWidth - Long(TwipX(mTB->width())) - 250;
    const QRect r(int(left), 0, int(mapWidth), int(ScaleHeight()));
    Q_EMIT MapShowRequested(r);
}

void mdiMain::KeyJoyPlay()
{
    AppState& a = App();
    QAction* play = TB1Button(QStringLiteral("JOY_PLAY"));
    if (a.StopRun == False) {
        a.StopRun = True;
        EnableProjectCommands(true);
        play->setToolTip(QStringLiteral("Run program"));
        return;
    }
    const CompileResult compiled = Ops.CompileProject ? Ops.CompileProject() : CompileResult();
    KeepListing(compiled);
    if (!compiled) {
        CompileErrorReport(compiled);
        return;
    }
    for (int k = 32; k <= 250; ++k)
        a.Joystick->KeyDown(k);
    if (Ops.InitRCX && !Ops.InitRCX())
        return;
    if (!PB().PBAlive()) {
        ShowMessage(QStringLiteral("No communication with the RCX"), MsgStyle::Exclamation);
        return;
    }
    if (Ops.ResetMotorObjects)
        Ops.ResetMotorObjects();
    a.StopRun = False;
    EnableProjectCommands(false);
    play->setToolTip(QStringLiteral("Stop running"));
    mTmrJoy->start();
    mTmrAni->start();
}

void mdiMain::KeyWinList()
{
    // Items 1 to the last go; item 0 stays and is filled again.
    while (mWinDeskList.size() > 1) {
        QAction* act = mWinDeskList.takeLast();
        mMnuWinList->removeAction(act);
        delete act;
    }
    delete mWindowListForms;
    mWindowListForms = new QHash<QString, QPointer<QWidget>>;

    struct Entry {
        QString text;
        int handle;
        QString caption;
    };
    QList<Entry> entries;
    for (QMdiSubWindow* sub : mMdi->subWindowList(QMdiArea::CreationOrder)) {
        QWidget* w = sub->widget();
        ICommandWindow* desk = DeskTopOf(w);
        if (!desk)
            continue;
        const int h = WindowHandle(w);
        mWindowListForms->insert(QString::number(h), QPointer<QWidget>(w));
        const Long kind = desk->FormType();
        const bool module = kind == ModuleKind::Task || kind == ModuleKind::Sub;
        entries.append({desk->Caption() + QLatin1Char(' ') + desk->ParentTitle(), module ? -h : h,
                        desk->Caption()});
    }
    if (mWindowListForms->isEmpty()) {
        delete mWindowListForms;
        mWindowListForms = nullptr;
        return;
    }
    // The sorted list box orders its entries without regard to letter case.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
        return x.text.compare(y.text, Qt::CaseInsensitive) < 0;
    });

    auto loadItem = [this](int j) {
        while (mWinDeskList.size() <= j) {
            const int index = int(mWinDeskList.size());
            QAction* act = mMnuWinList->addAction(QString());
            connect(act, &QAction::triggered, this, [this, index] { mnuWinDeskList_Click(index); });
            mWinDeskList.append(act);
        }
        return mWinDeskList[j];
    };
    int j = 0;
    for (int i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        QAction* item = loadItem(j);
        if (e.handle < 0) {
            item->setText(e.text);
        } else {
            const bool underPrevious = j != 0 && i > 0 && e.text.startsWith(entries[i - 1].caption);
            if (!underPrevious) {
                item->setText(e.caption);
                item->setVisible(true);
                item->setData(QString());
                item->setEnabled(false);
                ++j;
                item = loadItem(j);
            }
            item->setText(QStringLiteral("    ") + e.text);
        }
        item->setVisible(true);
        item->setData(QString::number(qAbs(e.handle)));
        item->setEnabled(true);
        ++j;
    }
    PopupMenu(mMnuWinList);
}

void mdiMain::mnuWinDeskList_Click(int index)
{
    if (index >= 0 && index < mWinDeskList.size() && mWindowListForms) {
        const QString tag = mWinDeskList[index]->data().toString();
        if (!tag.isEmpty()) {
            QPointer<QWidget> w = mWindowListForms->value(tag);
            if (w) {
                if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
                    mMdi->setActiveSubWindow(sub);
                w->setFocus();
            }
        }
    }
    delete mWindowListForms;
    mWindowListForms = nullptr;
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

void mdiMain::tmrJoy_Timer()
{
    if (mRun->tmrJoy_Timer() != PcRun::Tick::Ended)
        return;
    App().Notifier->SetPointer(0);
    mTmrJoy->stop();
    mTmrAni->stop();
    App().StopRun = True;
    EnableProjectCommands(true);
    // The button shows again what it does when idle: start a run.
    QAction* play = TB1Button(QStringLiteral("JOY_PLAY"));
    play->setIcon(CommandIcon(QStringLiteral("JOY_PLAY")));
    play->setToolTip(QStringLiteral("Run program"));
    mRunImageKey.clear();
}

void mdiMain::tmrAni_Timer()
{
    mRunImageKey = mRunImageKey.compare(QLatin1String("JOY_STOP"), Qt::CaseInsensitive) == 0
                       ? QStringLiteral("JOY_PLAY")
                       : QStringLiteral("JOY_STOP");
    TB1Button(QStringLiteral("JOY_PLAY"))->setIcon(CommandIcon(mRunImageKey));
}

void mdiMain::tmrShowLab_Timer()
{
    if (App().RunCycleEnded == False)
        return;
    mTmrShowLab->stop();
    Q_EMIT App().Notifier->SetupWindowShowModal();
    UpdateMotorTips();
}

// ---------------------------------------------------------------- closing

void mdiMain::MDIForm_QueryUnload(bool& cancel)
{
    AppState& a = App();
    if (IsDirty(0)) {
        const int answer = a.Presenter->MsgBox(QStringLiteral("Save project"), 35);
        if (answer == MsgResult::Cancel) {
            cancel = true;
            return;
        }
        if (answer == MsgResult::Yes && !SaveProject()) {
            cancel = true;
            return;
        }
    }
    CloseHelp();
    hide();
    delete mByBy.data();
    mByBy = new frmByBy;
    mByBy->show();
    a.Shell->DoEvents();
    // The joystick window and the datalog windows go now.
    Q_EMIT a.Notifier->ProgramEnding();
    // The farewell picture goes last, after the main window's own windows.
}

void mdiMain::closeEvent(QCloseEvent* event)
{
    if (mClosing) {
        event->accept();
        return;
    }
    bool cancel = false;
    MDIForm_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    mClosing = true;
    mMdi->closeAllSubWindows();
    event->accept();
    delete mByBy.data();
    QCoreApplication::quit();
}

void mdiMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Q_EMIT App().Notifier->MainAreaResized();
}

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
    if (watched == mPicToolBar && t == QEvent::Resize) {
        // The title strip follows the holder; the palette's width changes only by dragging.
        const int w = mPicToolBar->width();
        mPicTBTop->setGeometry(0, 0, qMax(0, w - 3), kHeaderHeight);
        mCloseTB[0]->move(mPicTBTop->width() - mCloseTB[0]->width() - 2, 2);
        mCloseTB[1]->move(mPicTBTop->width() - mCloseTB[1]->width() - mCloseTB[0]->width() - 2, 2);
    }
    return QMainWindow::eventFilter(watched, event);
}
