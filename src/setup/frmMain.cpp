// The set-up window's frame: its three columns, the menus, loading and
// unloading, the advanced width and the shell's requests. The columns
// live in frmMainPorts.cpp, frmMainPolling.cpp and frmMainTools.cpp.
#include "setup/frmMain.h"

#include "model/Twips.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Config.h"
#include "setup/SetupLayout.h"
#include "setup/SetupPictures.h"
#include "shell/EventGuard.h"
#include "shell/MainWindow.h"
#include "shell/ModalRunner.h"
#include "shell/Preferences.h"
#include "shell/ScreenPlacement.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

const char* const kPictureMime = "application/x-quillomat-setup-picture";

namespace {

QPointer<frmMain>& current()
{
    static QPointer<frmMain> window;
    return window;
}


// The height of the window's body (the three columns).
constexpr double kBodyHeightTwips = 240 + 5955 + 240;
constexpr double kFullWidthTwips = 8340 + 2400 + 195;
constexpr double kFrame1Left = 3705;

}  // namespace

frmMain* frmMain::Current() { return current(); }

frmMain::frmMain(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("VER Ize"));
    current() = this;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildMenus();
    layout->setMenuBar(menuBar);
    auto* body = new QWidget(this);
    body->setFixedSize(PixX(kFullWidthTwips), PixY(kBodyHeightTwips));
    layout->addWidget(body, 0, Qt::AlignLeft | Qt::AlignTop);
    Frame2 = place(new QGroupBox(QStringLiteral("RCX"), body), 180, 240, 3360, 5955);
    Frame1 = place(new QGroupBox(QStringLiteral("Object polling"), body), kFrame1Left, 240, 4320, 5955);
    BuildBrickColumn();
    BuildPollColumn();
    CmdClose = place(new QPushButton(QStringLiteral("Close"), body), 8340, 345, 2400, 1020);
    connect(CmdClose, &QPushButton::clicked, this, &frmMain::CmdClose_Click);
    BuildToolColumn();
    FullWidth = PixX(kFullWidthTwips);
    setFixedSize(FullWidth, menuBar->sizeHint().height() + body->height());
    // No button is pressed by an Enter typed elsewhere: in a polling box it
    // sends a variable's value or does nothing, in a check box nothing.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);

    PopupMenu = [](QMenu* menu) { menu->exec(QCursor::pos()); };
    Tools.Chooser = [this](const QString& folder, const QString& name) { return ChooseFirmware(folder, name); };
    Panel.PollingChanged = [this] { ShowPollingState(); };
    connect(App().Config.get(), &Config::Changed, this, &frmMain::SettingChanged);
}

frmMain::~frmMain()
{
    if (current() == this)
        current() = nullptr;
}

// ------------------------------------------------------------------ building

void frmMain::BuildMenus()
{
    menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(QStringLiteral("File"));
    mnuPref = file->addAction(QStringLiteral("Preferences..."));
    file->addSeparator();
    mnuClose = file->addAction(QStringLiteral("Close"));
    QMenu* view = menuBar->addMenu(QStringLiteral("View"));
    mnuAdvanced = view->addAction(QStringLiteral("Advanced options"));
    mnuAdvanced->setCheckable(true);
    mnuAdvAllwaise = view->addAction(QStringLiteral("Always open in advanced mode"));
    mnuAdvAllwaise->setCheckable(true);
    mnuShowFirmVer = view->addAction(QStringLiteral("Show current firmware version"));
    // The ports' pop-up menu; not on the menu bar.
    mnuEdit = new QMenu(QStringLiteral("Edit"), this);
    mnuDel = mnuEdit->addAction(QStringLiteral("Remove"));
    mnuOpenProp = mnuEdit->addAction(QStringLiteral("Open properties window"));

    connect(mnuPref, &QAction::triggered, this, &frmMain::mnuPref_Click);
    connect(mnuClose, &QAction::triggered, this, &frmMain::CmdClose_Click);
    connect(mnuAdvanced, &QAction::triggered, this, [this] { mnuAdvanced_Click(); });
    connect(mnuAdvAllwaise, &QAction::triggered, this, [this] { mnuAdvAllwaise_Click(); });
    connect(mnuShowFirmVer, &QAction::triggered, this, &frmMain::mnuShowFirmVer_Click);
    connect(mnuDel, &QAction::triggered, this, &frmMain::mnuDel_Click);
    connect(mnuOpenProp, &QAction::triggered, this, &frmMain::mnuOpenProp_Click);
}

// ------------------------------------------------------------------ the window

int frmMain::NarrowWidth() const { return PixX(kFrame1Left); }

void frmMain::Form_Load()
{
    AppState& a = App();
    FormLoading = true;
    FullWidth = PixX(kFullWidthTwips);
    mAdvancedOn = AdvancedShown(*a.Config);
    mAlwaysOn = false;
    mnuAdvanced->setEnabled(true);
    if (mAdvancedOn) {
        if (a.Config->Value(Setting::AdvancedMode)) {
            mnuAdvanced->setEnabled(false);
            mAlwaysOn = true;
        }
        setFixedWidth(FullWidth);
    } else {
        setFixedWidth(NarrowWidth());
    }
    mnuAdvanced->setChecked(mAdvancedOn);
    mnuAdvAllwaise->setChecked(mAlwaysOn);

    sldInterval->setValue(int(PollState().PollInterval));
    sldInterval_Change(sldInterval->value());

    const bool rcxProject = a.ProjectType() == ProjectType::Rcx;
    txtProgNumber->setEnabled(rcxProject);
    cmdRun->setEnabled(rcxProject);
    cmdStop->setEnabled(rcxProject);
    ShowBrickKeys();
    for (int i = 1; i <= 4; ++i) {
        picBrick[i]->setEnabled(rcxProject);
        picBrick[i]->setPixmap(rcxProject ? PalettePicture(i, picBrick[i]->size()) : CoverPicture(picBrick[i]->size()));
        picBrick[i]->setCursor(rcxProject ? Qt::OpenHandCursor : Qt::ArrowCursor);
    }
    ShowPorts();
    txtProgNumber->setText(QString::number(a.RcxSetup().ProgramNumber + 1));
    for (int i = 0; i < 5; ++i)
        chkOrder[i]->setChecked(PollState().PollFilter[i] != 0);
    BuildPollPanel();
    FormLoading = false;
    a.RcxWindowRequested = False;
    Q_EMIT a.Notifier->StatusCleared();
}

void frmMain::Form_QueryUnload()
{
    App().SetRcxInit(False);
    if (Panel.Polling()) {
        tmrPoll->stop();
        Panel.PollingChanged = nullptr;
        Panel.TogglePolling();
        Panel.PollingChanged = [this] { ShowPollingState(); };
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    QDialog::closeEvent(event);
}

void frmMain::reject()
{
    Form_QueryUnload();
    QDialog::reject();
}

void frmMain::CmdClose_Click()
{
    Form_QueryUnload();
    done(QDialog::Accepted);
}

void frmMain::mnuPref_Click()
{
    ShowPreferences(this);
}

void frmMain::SettingChanged(SettingId which)
{
    switch (which) {
    case SettingId::AdvancedMode: ShowAdvancedMode(); break;
    case SettingId::VirtualBrick:
    case SettingId::ComPort: ShowBrickKeys(); break;
    default: break;
    }
}

void frmMain::mnuAdvanced_Click()
{
    if (mAdvancedOn) {
        mAdvancedOn = false;
        setFixedWidth(NarrowWidth());
    } else {
        mAdvancedOn = true;
        setFixedWidth(FullWidth);
        // Widened past the screen's right edge, it moves to the middle.
        const QRect area = AvailableArea(this);
        if (!area.isEmpty() && x() + width() > area.right() + 1)
            move(area.left() + (area.width() - width()) / 2, y());
        KeepOnScreen(this);
    }
    SetAdvancedShown(mAdvancedOn);
    mnuAdvanced->setChecked(mAdvancedOn);
}

void frmMain::mnuAdvAllwaise_Click()
{
    // The menus follow the setting (ShowAdvancedMode).
    Config& config = *App().Config;
    config.Set(Setting::AdvancedMode, !config.Value(Setting::AdvancedMode));
}

void frmMain::ShowAdvancedMode()
{
    mAlwaysOn = App().Config->Value(Setting::AdvancedMode);
    mnuAdvanced->setEnabled(!mAlwaysOn);
    if (mAlwaysOn && !mAdvancedOn)
        mnuAdvanced_Click();
    mnuAdvAllwaise->setChecked(mAlwaysOn);
}

// ------------------------------------------------------------------ events

// Each family takes the events of its own widgets (frmMainPorts.cpp,
// frmMainPolling.cpp, frmMainTools.cpp); what none takes goes on.
bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    const bool taken = PaletteEvent(watched, event) || PortEvent(watched, event) || BrickEvent(watched, event) ||
                       SlotBoxEvent(watched, event) || PollRowEvent(watched, event) ||
                       BatteryEvent(watched, event);
    return taken || QDialog::eventFilter(watched, event);
}

void frmMain::dragLeaveEvent(QDragLeaveEvent* event)
{
    picRcx_DragOver();
    QDialog::dragLeaveEvent(event);
}

// ------------------------------------------------------------------ shell

void ShowSetupWindowModal()
{
    if (frmMain* open = frmMain::Current()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto window = std::make_unique<frmMain>(mdiMain::Instance());
    window->Form_Load();
    RunModal(*window);
}

void UnloadSetupWindow()
{
    if (frmMain* open = frmMain::Current()) {
        open->Form_QueryUnload();
        open->done(QDialog::Rejected);
    }
}

void ConnectSetupWindows(mdiMain& main)
{
    // Both are heard while no set-up window is loaded too, so they are heard
    // here. The slots run inside the emission: a failure is shown here and goes
    // no further.
    Notifier* n = App().Notifier.get();
    QObject::connect(n, &Notifier::SetupRequested, &main,
                     [] { DeliverGuarded([] { ShowSetupWindowModal(); return true; }); });
    // The set-up window goes when the set-up is another project's; the
    // polling panel shows every kind of row again for it.
    QObject::connect(n, &Notifier::SetupReplaced, &main, [] {
        PollState().ProjectOpened();
        DeliverGuarded([] { UnloadSetupWindow(); return true; });
    });
}
