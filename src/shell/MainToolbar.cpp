// The main toolbar TB1: its buttons in their order, which keys each project
// type enables, the palette's motor tips, and the handlers of the keys. The keys
// that start a longer piece of work live with it: KeyOpen with the project
// (MainProject.cpp), KeyJoyPlay with the PC-side run (MainRun.cpp), KeyWinList
// with the window list (MainDeskTops.cpp).
#include "shell/MainWindow.h"

#include "compiler/ProjectCompile.h"
#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/ModuleManagement.h"
#include "model/Notifier.h"
#include "model/Twips.h"
#include "shell/PaletteBar.h"
#include "shell/Pictures.h"
#include "shell/joy/frmJoy.h"

#include <QLabel>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

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
    Q_EMIT App().Notifier->RunningChanged(!enable);
}

void mdiMain::EnableEveryKey(bool enable)
{
    mTB->setEnabled(enable);
    for (QAction* a : mTB1Buttons)
        a->setEnabled(enable);
}

void mdiMain::SetToolbarsForType()
{
    if (App().ProjectType() == ProjectType::Rcx) {
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
                mTB->Action(c.id)->setEnabled(false);
        TB1Button(QStringLiteral("JOY"))->setVisible(true);
        TB1Button(QStringLiteral("JOY_PLAY"))->setVisible(true);
    }
}

void mdiMain::UpdateMotorTips()
{
    QAction* fwd = mTB->Action(CommandKey::M_FWD);
    QAction* rwd = mTB->Action(CommandKey::M_RWD);
    QString fwdTip = QStringLiteral("Forward");
    QString rwdTip = QStringLiteral("Backward");
    const clsRcx& rcx = App().RcxSetup();
    const QString letters = QStringLiteral("ABC");
    for (int i = 0; i < 3; ++i) {
        const clsMotor& m = rcx.PortMotor(i);
        if (m.MotorType() != 0 && !m.MotorFwdMeening.isEmpty())
            fwdTip += QStringLiteral("{%1=%2}").arg(letters[i]).arg(m.MotorFwdMeening);
    }
    for (int i = 0; i < 3; ++i) {
        const clsMotor& m = rcx.PortMotor(i);
        if (m.MotorType() != 0 && !m.MotorRwdMeening.isEmpty())
            rwdTip += QStringLiteral("{%1=%2}").arg(letters[i]).arg(m.MotorRwdMeening);
    }
    fwd->setToolTip(fwdTip);
    rwd->setToolTip(rwdTip);
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
    if (mTmrJoy->isActive() && a.ProjectType() == ProjectType::JoystickKeyboard) {
        Q_EMIT a.Notifier->StatusCleared();
        Q_EMIT a.Notifier->StatusPrinted(QStringLiteral("VER Ize is waiting for program to end the cycle..."), 700);
        a.RcxWindowRequested = True;
        mTmrShowLab->start();
    } else {
        Q_EMIT a.Notifier->SetupRequested();
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

namespace {

// NEWTASK and NEWSUB: the open/new dialog adds a module of the kind (open
// mode 3: new or existing; the add tells ModuleAdded), whose window then
// opens. The add holds its module in `current`; it is let go on every way
// out, so a refused add leaves no module behind.
template <class ModulePtr>
void AddModuleAndOpenIt(const std::function<bool(Long)>& add, Long kind, ModulePtr& current)
{
    if (add && add(OpenOffer::NewOrExisting))
        OpenCommandWindow(kind, current.get(), QString(), QString());
    current.reset();
}

}  // namespace

void mdiMain::KeyNewTask()
{
    AddModuleAndOpenIt(Ops.AddTask, ModuleKind::Task, App().CurrentTask);
}

void mdiMain::KeyNewSub()
{
    AddModuleAndOpenIt(Ops.AddSub, ModuleKind::Sub, App().CurrentSub);
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
    if (!a.LastListing().isEmpty())
        Q_EMIT a.Notifier->ListingRequested(a.LastListing());
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
    // The compile only tells where its fault lies; its window shows it.
    OpenCommandWindow(result.ErrorWindow, result.ErrorCell);
    ::CompileErrorReport(App(), result);
}

void mdiMain::KeyCompile()
{
    AppState& a = App();
    Q_EMIT a.Notifier->StatusCleared();
    Q_EMIT a.Notifier->StatusPrinted(QStringLiteral("Compiling..."), 700);
    a.Shell->DoEvents();
    const CompileResult compiled = Ops.CompileProject ? Ops.CompileProject() : CompileResult();
    if (compiled) {
        Q_EMIT a.Notifier->StatusCleared();
        Q_EMIT a.Notifier->StatusPrinted(QStringLiteral("Compile OK!"), 700);
    }
    // The listing of an RCX project is kept (and shown); a failed compile's goes.
    KeepListing(a, compiled, CompileFor::Listing);
    if (!compiled)
        CompileErrorReport(compiled);
}

void mdiMain::KeyMap()
{
    const Long mainWidth = Long(TwipX(width()));
    const Long mapWidth = mainWidth / 2 - 250;
    const Long left = mainWidth - mapWidth - Long(TwipX(mTB->width())) - 250;
    const QRect r(int(left), 0, int(mapWidth), int(ScaleHeight()));
    Q_EMIT MapShowRequested(r);
}
