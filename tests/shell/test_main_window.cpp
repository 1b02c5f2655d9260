// The main window: palette radio and tooltips, collapse and slide widths,
// width dragging, toolbars by project type, motor tips, menus, settings and
// closing.
#include "shell/ShellFixture.h"
#include "model/Config.h"
#include "model/Notifier.h"
#include "model/NamedValue.h"
#include "shell/MainWindow.h"
#include "shell/OpenDialog.h"
#include "shell/StatusStrip.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QCoreApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QWheelEvent>
#include <QToolBar>
#include <QToolButton>

class MainWindowTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        main->SetCursorPos = [this](QPoint p) { cursorMoves.append(p); };
    }
    QStringList pressed() const
    {
        QStringList keys;
        for (QToolButton* b : main->PaletteButtons())
            if (b->isChecked())
                keys.append(b->objectName());
        return keys;
    }

    QList<QPoint> cursorMoves;
};

TEST_F(MainWindowTest, PaletteHasItsButtonsInOrderWithTheirTooltips)
{
    const QStringList expected = {
        "CURSOR|",          "M_ON|Start motor",    "M_OFF|Stop motor",        "M_RWD|Backward",
        "M_FWD|Forward",    "M_ALTDIR|Alt motor direction", "M_SETPWR|Motor speed", "G_WAIT|Wait",
        "G_SOUND|Sound",    "L_ZERO|Zero sensor",  "L_DATALOG|Write to log",  "L_SENMODE|Sensor mode",
        "L_SENTYPE|Sensor type", "L_IF|IF",        "L_WHILE|WHILE",           "L_LOOP|LOOP",
        "L_SUB|Call sub",   "L_VAR|Variables",     "L_SENDMESS|Send message", "L_STOP|Stop task",
        "L_START|Start task", "G_TXPOWER|Transmit power", "G_WATCH|Set clock", "G_PBOFF|RCX power down",
        "G_DISPLAY|Select display", "A_REM|Comment"};
    QStringList got;
    for (QToolButton* b : main->PaletteButtons())
        got.append(b->objectName() + "|" + b->toolTip());
    EXPECT_EQ(got, expected);
}

TEST_F(MainWindowTest, MainToolbarHasItsKeysInOrderWithTheirTooltips)
{
    const QStringList expected = {"EXIT|Exit",
                                  "HELP|Help for Quillomat",
                                  "RCX|Open RCX window",
                                  "DEFVAR|Define variables and constants",
                                  "TOOLBAR|Open command box",
                                  "PROJEXP|Open project module window",
                                  "MAP|Open project map window",
                                  "WINLIST|Window list",
                                  "OPEN|New/Open project",
                                  "SAVE|Save project",
                                  "NEWSUB|New/Open sub",
                                  "NEWTASK|New/Open task",
                                  "DOWNLOAD|Download program to the RCX",
                                  "COMPILE|Compile project",
                                  "PREVIEW|Preview window",
                                  "JOY|Open joystick window",
                                  "JOY_PLAY|Run program"};
    QStringList got;
    for (QAction* a : main->TB1()->actions())
        if (!a->objectName().isEmpty())
            got.append(a->objectName() + "|" + a->toolTip());
    EXPECT_EQ(got, expected);
}

TEST_F(MainWindowTest, ExactlyOnePaletteButtonIsPressed)
{
    main->TB_ButtonClick(QStringLiteral("CURSOR"));
    EXPECT_EQ(pressed(), QStringList{"CURSOR"});
    main->TB_ButtonClick(QStringLiteral("L_IF"));
    EXPECT_EQ(pressed(), QStringList{"L_IF"});
    EXPECT_EQ(main->CurButtonKey(), QStringLiteral("L_IF"));
    // Clicking the pressed button again keeps it pressed.
    main->PaletteButton(QStringLiteral("L_IF"))->click();
    EXPECT_EQ(pressed(), QStringList{"L_IF"});
    main->PaletteButton(QStringLiteral("M_ON"))->click();
    EXPECT_EQ(pressed(), QStringList{"M_ON"});
    EXPECT_EQ(main->CurButton(), main->PaletteButton(QStringLiteral("M_ON")));
}

// However short the main window, every palette button can be brought into
// view and clicked: the bar beside the palette (or the wheel) scrolls its rows.
// 800 by 500 is a 1600 by 1000 screen at scale factor 2.
TEST_F(MainWindowTest, EveryPaletteButtonCanBeReachedAtEverySize)
{
    const QSize sizes[] = {{1024, 768}, {800, 500}, {640, 300}};
    main->show();
    for (const QSize& size : sizes) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        main->resize(size);
        QApplication::processEvents();
        QScrollBar* bar = main->PaletteScrollBar();
        QWidget* view = main->TB()->parentWidget();
        // What of the palette's view lies within the main window.
        const QRect shown = view->rect() & QRect(view->mapFrom(main.get(), QPoint(0, 0)), main->size());
        QSet<QString> seen;
        for (int v = bar->minimum();; v = qMin(v + bar->singleStep(), bar->maximum())) {
            bar->setValue(v);
            for (QToolButton* b : main->PaletteButtons())
                if (shown.contains(QRect(b->mapTo(view, QPoint(0, 0)), b->size())))
                    seen.insert(b->objectName());
            if (v == bar->maximum())
                break;
        }
        EXPECT_EQ(seen.size(), main->PaletteButtons().size());
        EXPECT_EQ(bar->isVisible(), bar->maximum() > 0);
        if (bar->maximum() > 0) {
            // The last button, scrolled to by the wheel and clicked.
            bar->setValue(0);
            QToolButton* last = main->PaletteButtons().last();
            QWheelEvent down(QPointF(5, 5), QPointF(last->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, -120),
                             Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            // (A wheel over a button reaches the palette; one sent from here goes no further than its receiver.)
            for (int notch = 0; notch < 40 && bar->value() < bar->maximum(); ++notch)
                QApplication::sendEvent(main->TB(), &down);
            EXPECT_EQ(bar->value(), bar->maximum());
            QTest::mouseClick(last, Qt::LeftButton);
            EXPECT_EQ(main->CurButtonKey(), last->objectName());
        }
    }
}

TEST_F(MainWindowTest, CollapseStepsDownByEightPixelsAndEndsAtTwo)
{
    main->setPaletteHolderWidth(50 * 15);
    main->TakeWidthTrace();
    main->cmdCloseTB_Click(1);
    QList<Integer> expected;
    for (int w = 50; w >= 2; w -= 8)
        expected.append(Integer(w * 15));
    expected.append(Integer(2 * 15));
    EXPECT_EQ(main->TakeWidthTrace(), expected);
    EXPECT_EQ(main->PaletteHolderWidth(), 30);
}

TEST_F(MainWindowTest, MouseOverCollapsedPaletteSlidesItOpen)
{
    const Integer tb = main->PaletteBarWidth();
    main->setPaletteHolderWidth(30);
    main->TakeWidthTrace();
    main->TB_MouseMove(0, 0, 1, 1);
    const QList<Integer> trace = main->TakeWidthTrace();
    ASSERT_GE(trace.size(), 2);
    EXPECT_EQ(trace.first(), 30);
    EXPECT_EQ(trace[1], 30 + 8 * 15);
    EXPECT_EQ(trace.last(), tb + 3 * 15);
    // An open palette (200 twips or more) stays as it is.
    main->TB_MouseMove(0, 0, 1, 1);
    EXPECT_TRUE(main->TakeWidthTrace().isEmpty());
}

TEST_F(MainWindowTest, CloseButtonHidesThePaletteAndToolbarKeyShowsItAgain)
{
    main->cmdCloseTB_Click(0);
    EXPECT_TRUE(main->picToolBar()->isHidden());
    main->cmdCloseTB_Click(1);
    main->TB1_ButtonClick(QStringLiteral("TOOLBAR"));
    EXPECT_FALSE(main->picToolBar()->isHidden());
    EXPECT_EQ(main->PaletteHolderWidth(), main->PaletteBarWidth() + 45);
}

TEST_F(MainWindowTest, CloseButtonsHaveTheirCaptionsAndTips)
{
    EXPECT_EQ(main->cmdCloseTB(0)->text(), QStringLiteral("X"));
    EXPECT_EQ(main->cmdCloseTB(0)->toolTip(), QStringLiteral("Close"));
    EXPECT_EQ(main->cmdCloseTB(1)->text(), QStringLiteral("h"));
    EXPECT_EQ(main->cmdCloseTB(1)->toolTip(), QStringLiteral("Hide"));
}

TEST_F(MainWindowTest, DraggingTheEdgeResizesWithinBoundsAndHoldsThePointerAtTheEdge)
{
    main->PaletteWidth = 1200;
    main->PaletteMargin = 45;
    main->setPaletteHolderWidth(1200);
    // Hover near the edge shows the sizing pointer only in the last 3 pixels.
    main->picToolBar_MouseMove(0, 0, 1200 - 30, 5, QPoint(100, 50));
    EXPECT_EQ(main->picToolBar()->cursor().shape(), Qt::SizeHorCursor);
    main->picToolBar_MouseMove(0, 0, 1200 - 60, 5, QPoint(100, 50));
    EXPECT_EQ(main->picToolBar()->cursor().shape(), Qt::ArrowCursor);

    main->picToolBar_MouseMove(1, 0, 1500, 5, QPoint(120, 50));
    EXPECT_EQ(main->PaletteHolderWidth(), 1500);
    EXPECT_EQ(main->PaletteBarWidth(), 1500 - 45);
    // Past 1.8 times the width: held at the bound, pointer put back at the edge.
    main->picToolBar_MouseMove(1, 0, 2400, 5, QPoint(180, 50));
    EXPECT_EQ(main->PaletteHolderWidth(), 2160);
    ASSERT_EQ(cursorMoves.size(), 1);
    EXPECT_EQ(cursorMoves[0], QPoint(120 + (2160 - 1500) / 15, 50));
    // Back inside the bounds resizing resumes.
    main->picToolBar_MouseMove(1, 0, 1800, 5, QPoint(140, 50));
    EXPECT_EQ(main->PaletteHolderWidth(), 1800);
    // Below the narrowest width: held at it.
    main->picToolBar_MouseMove(1, 0, 600, 5, QPoint(90, 50));
    EXPECT_EQ(main->PaletteHolderWidth(), 1200);
}

TEST_F(MainWindowTest, JoystickProjectDisablesItsButtonsAndRcxEnablesAllAgain)
{
    const QStringList paletteOff = {"L_ZERO", "L_DATALOG", "L_SENMODE", "L_SENTYPE", "L_SUB",
                                    "L_SENDMESS", "L_STOP", "G_WATCH", "L_START"};
    const QStringList barOff = {"NEWSUB", "NEWTASK", "DOWNLOAD"};
    App().SetProjectType(ProjectType::JoystickKeyboard);
    main->SetToolbarsForType();
    for (QToolButton* b : main->PaletteButtons())
        EXPECT_EQ(b->isEnabled(), !paletteOff.contains(b->objectName())) << b->objectName().toStdString();
    for (QAction* a : main->TB1()->actions()) {
        if (!a->objectName().isEmpty()) {
            EXPECT_EQ(a->isEnabled(), !barOff.contains(a->objectName())) << a->objectName().toStdString();
        }
    }
    EXPECT_TRUE(main->TB1Button("JOY")->isVisible());
    EXPECT_TRUE(main->TB1Button("JOY_PLAY")->isVisible());

    App().SetProjectType(ProjectType::Rcx);
    main->SetToolbarsForType();
    for (QToolButton* b : main->PaletteButtons())
        EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(main->TB1Button("DOWNLOAD")->isEnabled());
    EXPECT_FALSE(main->TB1Button("JOY")->isVisible());
    EXPECT_FALSE(main->TB1Button("JOY_PLAY")->isVisible());
}

TEST_F(MainWindowTest, EnableProjectCommandsSwitchesPaletteAndSevenKeys)
{
    main->EnableProjectCommands(false);
    EXPECT_FALSE(main->TB()->isEnabled());
    for (const char* k : {"OPEN", "DEFVAR", "COMPILE", "SAVE", "EXIT", "MAP", "PROJEXP"})
        EXPECT_FALSE(main->TB1Button(k)->isEnabled()) << k;
    EXPECT_TRUE(main->TB1Button("JOY_PLAY")->isEnabled());
    main->EnableProjectCommands(true);
    EXPECT_TRUE(main->TB()->isEnabled());
    EXPECT_TRUE(main->TB1Button("OPEN")->isEnabled());
}

namespace {

// A window outside the shell that listens to what the main window tells.
class ListeningWindow : public QWidget {
public:
    ListeningWindow()
    {
        Notifier* n = App().Notifier.get();
        connect(n, &Notifier::RunningChanged, this, [this](bool running) { editing.append(!running); });
        connect(n, &Notifier::MainAreaResized, this, [this] { ++resized; });
    }
    QList<bool> editing;
    int resized = 0;
};

}  // namespace

// Listening windows hear of runs and resizes while they live and nothing once
// gone; those that go at the end go before the farewell, the others stay.
TEST_F(MainWindowTest, WindowsHearOfRunsResizesAndTheEnd)
{
    auto* kept = new ListeningWindow;
    QPointer<ListeningWindow> datalog = new ListeningWindow;
    UnloadAtProgramEnd(datalog);
    auto* gone = new ListeningWindow;
    delete gone;

    main->EnableProjectCommands(false);
    main->EnableProjectCommands(true);
    EXPECT_EQ(kept->editing, (QList<bool>{false, true}));
    EXPECT_EQ(datalog->editing, (QList<bool>{false, true}));
    main->resize(main->width() + 40, main->height());
    main->show();
    QCoreApplication::processEvents();
    EXPECT_GE(kept->resized, 1);

    bool cancel = false;
    main->MDIForm_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(datalog.isNull());
    main->EnableProjectCommands(false);
    EXPECT_EQ(kept->editing, (QList<bool>{false, true, false}));
    delete kept;
}

// The tips follow the set-up as it changes, whoever changes it.
TEST_F(MainWindowTest, MotorTipsNameThePortsThatHaveMeanings)
{
    auto motor = [](int port, Long type, const char* fwd, const char* rwd) {
        App().EditMotor(port, [&](clsMotor& m) {
            m.setMotorType(type);
            m.MotorFwdMeening = QString::fromLatin1(fwd);
            m.MotorRwdMeening = QString::fromLatin1(rwd);
        });
    };
    motor(0, 1, "up", "down");
    motor(1, 0, "", "");
    motor(2, 1, "left", "right");
    EXPECT_EQ(main->PaletteButton("M_FWD")->toolTip(), QStringLiteral("Forward{A=up}{C=left}"));
    EXPECT_EQ(main->PaletteButton("M_RWD")->toolTip(), QStringLiteral("Backward{A=down}{C=right}"));
    // A motor without a meaning adds nothing.
    App().EditMotor(2, [](clsMotor& m) { m.MotorFwdMeening.clear(); });
    EXPECT_EQ(main->PaletteButton("M_FWD")->toolTip(), QStringLiteral("Forward{A=up}"));
}

TEST_F(MainWindowTest, StatusAndButtonBarMenuItemsToggleWhatTheyShow)
{
    main->show();
    EXPECT_TRUE(main->mnuStatus()->isChecked());
    main->mnuStatus_Click();
    EXPECT_FALSE(main->mnuStatus()->isChecked());
    EXPECT_FALSE(main->picStatus()->isVisible());
    main->mnuStatus_Click();
    EXPECT_TRUE(main->picStatus()->isVisible());

    main->mnuToolBar()->trigger();
    EXPECT_FALSE(main->mnuToolBar()->isChecked());
    EXPECT_FALSE(main->TB1()->isVisible());
    main->mnuToolBar()->trigger();
    EXPECT_TRUE(main->TB1()->isVisible());
    main->hide();
}

// The remembered settings as the main window's load reads them: as stored,
// or their defaults. A stored text that is no value is told once, with the
// critical icon, and reads as its default; the others read as stored.
TEST_F(MainWindowTest, TheRememberedSettingsReadAsStoredOrAsTheirDefaults)
{
    const Config& config = *App().Config;
    main->GetInitParams();
    EXPECT_EQ(config.Value(Setting::ComPort), -1);
    EXPECT_FALSE(config.Value(Setting::AdvancedMode));
    EXPECT_TRUE(config.Value(Setting::FirmwarePath).isEmpty());
    EXPECT_TRUE(config.Value(Setting::FirmwareName).isEmpty());

    settings.SaveSetting("com", "comport", "3");
    settings.SaveSetting("Preferences", "AdvancedMode", "-1");
    settings.SaveSetting("firmware", "path", "/fw");
    settings.SaveSetting("firmware", "name", "firm0309.lgo");
    App().Config->SetForRun(Setting::FirmwareName, QStringLiteral("other.lgo"));
    main->GetInitParams();
    EXPECT_EQ(config.Value(Setting::ComPort), 3);
    EXPECT_TRUE(config.Value(Setting::AdvancedMode));
    EXPECT_EQ(config.Value(Setting::FirmwarePath), QStringLiteral("/fw"));
    EXPECT_EQ(config.Value(Setting::FirmwareName), QStringLiteral("firm0309.lgo"));
    EXPECT_TRUE(presenter.shown.isEmpty());

    settings.SaveSetting("com", "comport", "COM2");
    main->GetInitParams();
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Type mismatch"));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Critical);
    EXPECT_EQ(config.Value(Setting::ComPort), -1);
    EXPECT_TRUE(config.Value(Setting::AdvancedMode));
    EXPECT_EQ(config.Value(Setting::FirmwareName), QStringLiteral("firm0309.lgo"));
    EXPECT_EQ(presenter.shown.size(), 1);
}

TEST_F(MainWindowTest, TheStatusStripNamesTheBrickWhateverIsPrintedAndCleared)
{
    Notifier& n = *App().Notifier;
    main->show();
    Q_EMIT n.BrickDescribed(QStringLiteral("RCX: tower on /dev/ttyS0"));
    Q_EMIT n.StatusPrinted(QStringLiteral("Compile OK!"));
    EXPECT_EQ(main->picStatus()->Brick(), QStringLiteral("RCX: tower on /dev/ttyS0"));
    EXPECT_EQ(main->picStatus()->Text(), QStringLiteral("Compile OK!"));
    Q_EMIT n.StatusCleared();
    EXPECT_EQ(main->picStatus()->Brick(), QStringLiteral("RCX: tower on /dev/ttyS0"));
    EXPECT_TRUE(main->picStatus()->Text().isEmpty());

    // The busy pointer as last set, so that a busy stretch inside another leaves it on.
    n.SetPointer(PointerShape::Hourglass);
    EXPECT_EQ(n.Pointer(), 11);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    n.SetPointer(PointerShape::Default);
    EXPECT_EQ(n.Pointer(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    main->hide();
}

// The progress bar and the caption follow the notifier; a value outside the
// bar's range shows at its nearest end.
TEST_F(MainWindowTest, TheProgressBarAndCaptionFollowTheNotifier)
{
    Notifier& n = *App().Notifier;
    Q_EMIT n.TransferBegun(40);
    EXPECT_TRUE(main->PBar()->isVisibleTo(main.get()));
    EXPECT_EQ(main->PBar()->maximum(), 40);
    Q_EMIT n.TransferAdvanced(12);
    EXPECT_EQ(main->PBar()->value(), 12);
    Q_EMIT n.TransferAdvanced(55);
    EXPECT_EQ(main->PBar()->value(), 40);
    Q_EMIT n.TransferAdvanced(-3);
    EXPECT_EQ(main->PBar()->value(), 0);
    Q_EMIT n.TransferEnded();
    EXPECT_FALSE(main->PBar()->isVisibleTo(main.get()));
    App().SetProjectName(QStringLiteral("Robot"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("RCX programming - Robot"));
}

TEST_F(MainWindowTest, LoadSelectsTheCursorAndFailsWhenTheProjectDoesNot)
{
    settings.SaveSetting("com", "virtualbrick", "1");
    EXPECT_TRUE(main->MDIForm_Load());
    // Before any brick operation the strip names the brick chosen.
    EXPECT_EQ(main->picStatus()->Brick(), QStringLiteral("RCX: virtual brick"));
    EXPECT_EQ(main->CurButtonKey(), QStringLiteral("CURSOR"));
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->PaletteWidth, main->PaletteHolderWidth());
    EXPECT_EQ(main->PaletteMargin, main->PaletteWidth - main->PaletteBarWidth());
    EXPECT_EQ(App().StopRun, True);
    // Centred, and never larger than the screen.
    const QRect screen = main->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(main->frameGeometry()));
    EXPECT_LE(qAbs(main->frameGeometry().center().x() - screen.center().x()), 8);
    main->hide();

    mdiMain second;
    second.Ops.OpenProject = [] { return false; };
    EXPECT_FALSE(second.MDIForm_Load());
    EXPECT_FALSE(second.isVisible());
}

// A project that can't be opened at the start does not end the program: the
// open/new dialog comes back until a project opens or the user cancels it.
TEST_F(MainWindowTest, LoadAsksAgainForAProjectThatCantBeOpened)
{
    struct Case {
        const char* what;
        bool cancelSecond;
        bool loads;
        int opens;
        int dialogs;
    };
    const Case cases[] = {
        {"the project chosen next opens", false, true, 2, 1},
        {"the dialog is cancelled", true, false, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mdiMain start;
        windows.setMainWindow(&start);
        int opens = 0, dialogs = 0;
        App().SetProjectName(QStringLiteral("Cracked"));
        start.Ops.OpenProject = [&] { return ++opens > 1; };
        runner.script = [&](QDialog& d) {
            ++dialogs;
            auto& open = static_cast<frmOpen&>(d);
            if (c.cancelSecond) {
                open.cmdOk_Click(1);
                return;
            }
            open.txtProjName->setText(QStringLiteral("Robot"));
            open.cmdOk_Click(0);
        };
        EXPECT_EQ(start.MDIForm_Load(), c.loads);
        EXPECT_EQ(start.isVisible(), c.loads);
        EXPECT_EQ(opens, c.opens);
        EXPECT_EQ(dialogs, c.dialogs);
        EXPECT_EQ(App().RcxSetup().ProjectName, c.loads ? QStringLiteral("Robot") : QStringLiteral("Cracked"));
        start.hide();
        windows.setMainWindow(main.get());
    }
}

// Before a project is open no key of either toolbar can act: they all show
// disabled while the open fails and its message is up, and while the open/new
// dialog asks again; once a project is open they follow its type.
TEST_F(MainWindowTest, NoKeyShowsEnabledUntilAProjectIsOpen)
{
    const QStringList paletteOff = {"L_ZERO", "L_DATALOG", "L_SENMODE", "L_SENTYPE", "L_SUB",
                                    "L_SENDMESS", "L_STOP", "G_WATCH", "L_START"};
    const QStringList barOff = {"NEWSUB", "NEWTASK", "DOWNLOAD"};
    for (const Integer type : {Integer(0), Integer(1)}) {
        SCOPED_TRACE(type);
        mdiMain start;
        windows.setMainWindow(&start);
        // Every key that shows enabled, the palette's among them.
        auto enabledKeys = [&start] {
            QStringList keys;
            for (QToolButton* b : start.PaletteButtons())
                if (b->isEnabled())
                    keys.append(b->objectName());
            for (QAction* a : start.TB1()->actions())
                if (!a->objectName().isEmpty() && a->isEnabled())
                    keys.append(a->objectName());
            return keys;
        };
        QList<QStringList> seen;
        int opens = 0;
        start.Ops.OpenProject = [&] {
            if (++opens == 1) {
                presenter.MsgBox(QStringLiteral("Type mismatch in Cracked.qmd"), MsgStyle::Exclamation);
                seen.append(enabledKeys());
                return false;
            }
            App().SetProjectType(ProjectTypeOfNumber(type));
            return true;
        };
        runner.script = [&](QDialog& d) {
            seen.append(enabledKeys());
            auto& open = static_cast<frmOpen&>(d);
            open.txtProjName->setText(QStringLiteral("Robot"));
            open.cmdOk_Click(0);
        };
        ASSERT_TRUE(start.MDIForm_Load());
        ASSERT_EQ(seen.size(), 2);
        EXPECT_EQ(seen[0].join(' ').toStdString(), "") << "while the open's message is up";
        EXPECT_EQ(seen[1].join(' ').toStdString(), "") << "while the open/new dialog asks again";
        for (QToolButton* b : start.PaletteButtons())
            EXPECT_EQ(b->isEnabled(), type == 0 || !paletteOff.contains(b->objectName()))
                << b->objectName().toStdString();
        for (QAction* a : start.TB1()->actions()) {
            if (!a->objectName().isEmpty() && a->isVisible()) {
                EXPECT_EQ(a->isEnabled(), type == 0 || !barOff.contains(a->objectName()))
                    << a->objectName().toStdString();
            }
        }
        EXPECT_EQ(start.TB1Button("JOY")->isVisible(), type == 1);
        EXPECT_EQ(start.TB1Button("JOY_PLAY")->isVisible(), type == 1);
        start.hide();
        windows.setMainWindow(main.get());
    }
}

// At the start, through the real open: a new project whose first task is
// cancelled brings the open/new dialog back, and the new project chosen then
// opens with its first task and its built-in named values.
TEST_F(MainWindowTest, LoadAsksAgainWhenTheFirstTaskOfANewProjectIsCancelled)
{
    main->Ops.OpenProject = ShellOperations::Defaults().OpenProject;
    App().SetProjectName(QStringLiteral("Fresh"));
    App().ProjectAction = 2;
    QStringList answers{QString(), QStringLiteral("Other"), QStringLiteral("Main")};  // empty: Cancel
    runner.script = [&answers](QDialog& d) {
        auto& open = static_cast<frmOpen&>(d);
        const QString name = answers.isEmpty() ? QString() : answers.takeFirst();
        if (name.isEmpty()) {
            open.cmdOk_Click(1);
            return;
        }
        open.txtProjName->setText(name);
        open.cmdOk_Click(0);
    };
    ASSERT_TRUE(main->MDIForm_Load());
    EXPECT_EQ(runner.shown.size(), 3);
    EXPECT_TRUE(answers.isEmpty());
    EXPECT_TRUE(presenter.shown.isEmpty());
    AppState& app = App();
    EXPECT_EQ(app.RcxSetup().ProjectName, QStringLiteral("Other"));
    EXPECT_EQ(app.ProjectAction, 2);
    ASSERT_EQ(app.TaskList().Count(), 1);
    EXPECT_TRUE(app.TaskList().Exists(QStringLiteral("Main")));
    QStringList timeUnits;
    for (const auto& e : app.ObjectList())
        if (e.item->Source == OperandSource::TimeUnit)
            timeUnits.append(e.item->Name);
    EXPECT_EQ(timeUnits, (QStringList{"Second", "Tenth", "Hundredth"}));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("RCX programming - Other"));
    main->hide();
}

TEST_F(MainWindowTest, ClosingAsksToSaveOnlyWhenSomethingChanged)
{
    struct Case {
        bool dirty;
        int answer;
        bool saveOk;
        bool cancelled;
        int saves;
        int questions;
    };
    const Case cases[] = {
        {false, MsgResult::Yes, true, false, 0, 0},  // nothing changed: nothing asked
        {true, MsgResult::No, true, false, 0, 1},
        {true, MsgResult::Cancel, true, true, 0, 1},
        {true, MsgResult::Yes, false, true, 1, 1},  // a failing save keeps the program running
        {true, MsgResult::Yes, true, false, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        presenter.shown.clear();
        saves = 0;
        App().SetSetupDirty(c.dirty ? True : False);
        presenter.answers = {c.answer};
        saveResult = c.saveOk;
        bool cancel = false;
        main->MDIForm_QueryUnload(cancel);
        EXPECT_EQ(cancel, c.cancelled);
        EXPECT_EQ(saves, c.saves);
        ASSERT_EQ(presenter.shown.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Save project"));
            EXPECT_EQ(presenter.shown[0].style, 35);
        }
    }
}

TEST_F(MainWindowTest, RightClickOnTheEmptyAreaPopsUpTheGeneralMenu)
{
    EXPECT_EQ(main->mnuMdi()->title(), QStringLiteral("General"));
    QStringList items;
    for (QAction* a : main->mnuMdi()->actions())
        items.append(a->text());
    EXPECT_EQ(items, (QStringList{"Status bar", "Button bar"}));
    items.clear();
    for (QAction* a : main->mnuHelp()->actions())
        items.append(a->text());
    EXPECT_EQ(items, (QStringList{"Contents...", "About Quillomat..."}));
}
