#include "SetupFixture.h"

#include "compiler/ProjectCompile.h"
#include "link/PortScan.h"
#include "model/Config.h"
#include "model/Grid.h"
#include "setup/PropertyDialogs.h"
#include "setup/SetupPictures.h"
#include "setup/frmMain.h"
#include "shell/ModalRunner.h"
#include "model/Notifier.h"
#include "shell/MainWindow.h"
#include "support/CompileFault.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QtTest/QTest>

class SetupWindow : public SetupFixture {
protected:
    void SetUp() override
    {
        SetupFixture::SetUp();
        App().ModalRunner = &runner;
    }
    // A loaded window whose pop-up menu is recorded.
    std::unique_ptr<frmMain> open()
    {
        auto w = std::make_unique<frmMain>();
        w->PopupMenu = [this](QMenu* m) { popups.append(m->actions().first()->text()); };
        w->Form_Load();
        return w;
    }
    static QStringList rowCaptions(const frmMain& w)
    {
        QStringList out;
        for (QCheckBox* c : w.chkPollSensor)
            out.append(c->text());
        return out;
    }

    ScriptedRunner runner;
    QStringList popups;
};

TEST_F(SetupWindow, LoadShowsThePortsOfTheProject)
{
    {
        auto w = open();
        EXPECT_EQ(w->windowTitle(), QStringLiteral("VER Ize"));
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(w->imgSensor[i]->pixmap().isNull());
            EXPECT_TRUE(w->imgOutput[i]->pixmap().isNull());
        }
        EXPECT_EQ(w->txtProgNumber->text(), QStringLiteral("1"));
        EXPECT_EQ(w->width(), w->NarrowWidth());
        EXPECT_EQ(w->lblTime->text(), QStringLiteral("300 Thousandths "));
    }
    DropOnSensor(1, SetupPicture::Light);
    App().EditSensor(1, [&](clsSensor& s) { s.Purpose = QStringLiteral("Floor"); });
    App().SetProgramNumber(2);
    App().RcxWindowRequested = True;
    auto w = open();
    EXPECT_FALSE(w->imgSensor[1]->pixmap().isNull());
    EXPECT_EQ(w->imgSensor[1]->toolTip(), QStringLiteral("Floor"));
    EXPECT_EQ(w->txtProgNumber->text(), QStringLiteral("3"));
    EXPECT_FALSE(App().RcxWindowRequested);
    EXPECT_TRUE(w->picBrick[3]->isEnabled());
    EXPECT_EQ(w->picBrick[5]->toolTip(), QStringLiteral("Motor (or any other output like Lamp etc..)"));
}

TEST_F(SetupWindow, AJoystickProjectOffersOnlyTheMotor)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    auto w = open();
    EXPECT_FALSE(w->txtProgNumber->isEnabled());
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(w->picBrick[i]->isEnabled()) << i;
    EXPECT_TRUE(w->picBrick[5]->isEnabled());
}

TEST_F(SetupWindow, SlotBoxTakesOnlyADigitOneToFive)
{
    auto w = open();
    for (char c : {'0', '6', 'x'}) {
        QTest::keyClick(w->txtProgNumber, c);
        EXPECT_EQ(w->txtProgNumber->text(), QStringLiteral("1"));
    }
    QTest::keyClick(w->txtProgNumber, Qt::Key_Backspace);
    EXPECT_EQ(w->txtProgNumber->text(), QStringLiteral("1"));
    EXPECT_FALSE(rcx().Dirty);
    QTest::keyClick(w->txtProgNumber, '5');
    EXPECT_EQ(w->txtProgNumber->text(), QStringLiteral("5"));
    EXPECT_EQ(rcx().ProgramNumber, 4);
    EXPECT_TRUE(rcx().Dirty);
}

TEST_F(SetupWindow, NarrowAndAdvancedWidths)
{
    SetAdvancedShown(true);
    App().Config->Set(Setting::AdvancedMode, true);
    auto w = open();
    EXPECT_EQ(w->width(), w->FullWidth);
    EXPECT_TRUE(w->mnuAdvanced->isChecked());
    EXPECT_FALSE(w->mnuAdvanced->isEnabled());
    EXPECT_TRUE(w->mnuAdvAllwaise->isChecked());

    w->mnuAdvAllwaise_Click();  // off: stays wide, the menu usable again
    EXPECT_EQ(w->width(), w->FullWidth);
    EXPECT_TRUE(w->mnuAdvanced->isEnabled());
    EXPECT_EQ(settings.values.value(QStringLiteral("Preferences/AdvancedMode")), QStringLiteral("False"));

    w->mnuAdvanced_Click();
    EXPECT_EQ(w->width(), w->NarrowWidth());
    EXPECT_FALSE(AdvancedShown(*App().Config));
    w->mnuAdvAllwaise_Click();  // on: widens
    EXPECT_EQ(w->width(), w->FullWidth);
    EXPECT_TRUE(AdvancedShown(*App().Config));
    EXPECT_TRUE(App().Config->Value(Setting::AdvancedMode));
    EXPECT_EQ(settings.values.value(QStringLiteral("Preferences/AdvancedMode")), QStringLiteral("True"));
}

// Until the user widens or narrows it, the window opens as the setting
// "Always open in advanced mode" says; its menus follow the setting however
// it changes, the window open.
TEST_F(SetupWindow, TheAdvancedModeFollowsItsSetting)
{
    settings.values.insert(QStringLiteral("Preferences/AdvancedMode"), QStringLiteral("True"));
    {
        auto w = open();
        EXPECT_EQ(w->width(), w->FullWidth);
        EXPECT_TRUE(w->mnuAdvAllwaise->isChecked());
        EXPECT_FALSE(w->mnuAdvanced->isEnabled());
    }
    settings.values.clear();
    auto w = open();
    EXPECT_EQ(w->width(), w->NarrowWidth());
    EXPECT_FALSE(w->mnuAdvAllwaise->isChecked());

    App().Config->Set(Setting::AdvancedMode, true);
    EXPECT_EQ(w->width(), w->FullWidth);
    EXPECT_TRUE(w->mnuAdvanced->isChecked());
    EXPECT_FALSE(w->mnuAdvanced->isEnabled());
    EXPECT_TRUE(w->mnuAdvAllwaise->isChecked());
    App().Config->Set(Setting::AdvancedMode, false);
    EXPECT_EQ(w->width(), w->FullWidth);
    EXPECT_TRUE(w->mnuAdvanced->isEnabled());
    EXPECT_FALSE(w->mnuAdvAllwaise->isChecked());

    // The width chosen outlasts the window.
    w->mnuAdvanced_Click();
    w.reset();
    auto again = open();
    EXPECT_EQ(again->width(), again->NarrowWidth());
}

TEST_F(SetupWindow, WideningNearTheRightEdgeCentresTheWindowNarrowingNeverMoves)
{
    auto w = open();
    const int screenWidth = w->screen()->geometry().width();
    w->move(screenWidth - w->width() - 10, 40);
    const QPoint narrowAt = w->pos();
    w->mnuAdvanced_Click();
    EXPECT_EQ(w->x(), (screenWidth - w->FullWidth) / 2);
    EXPECT_EQ(w->y(), 40);
    const QPoint wideAt = w->pos();
    w->mnuAdvanced_Click();
    EXPECT_EQ(w->pos(), wideAt);
    EXPECT_NE(w->pos(), narrowAt);
}

TEST_F(SetupWindow, DraggingHighlightsOnlyTheRightKindOfPort)
{
    auto w = open();
    w->imgOutput_DragOver(1, SetupPicture::Motor);
    EXPECT_TRUE(w->OutputHighlighted(1));
    EXPECT_FALSE(w->OutputHighlighted(0));
    w->imgOutput_DragOver(2, SetupPicture::Touch);  // a sensor over an output: nothing changes
    EXPECT_TRUE(w->OutputHighlighted(1));
    EXPECT_FALSE(w->OutputHighlighted(2));
    w->imgSensor_DragOver(0, SetupPicture::Motor);
    EXPECT_FALSE(w->SensorHighlighted(0));
    w->imgSensor_DragOver(0, SetupPicture::Rotation);
    EXPECT_TRUE(w->SensorHighlighted(0));
    w->picRcx_DragOver();
    EXPECT_FALSE(w->OutputHighlighted(1));
    EXPECT_FALSE(w->SensorHighlighted(0));

    w->imgSensor_DragOver(2, SetupPicture::Touch);
    w->imgSensor_DragDrop(2, SetupPicture::Motor);
    EXPECT_FALSE(w->SensorHighlighted(2));
    EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("Only Sensors here")});
    EXPECT_TRUE(w->imgSensor[2]->pixmap().isNull());
}

TEST_F(SetupWindow, DropsFillThePortsAndThePollingRows)
{
    for (int i = 0; i < 3; ++i)
        AddNamedValue(QStringLiteral("Var %1").arg(i), OperandSource::Variable, 0, Integer(i));
    auto w = open();
    w->imgOutput_DragDrop(0, SetupPicture::Motor);
    w->imgSensor_DragDrop(0, SetupPicture::Touch);
    EXPECT_FALSE(w->imgOutput[0]->pixmap().isNull());
    EXPECT_EQ(w->imgOutput[0]->toolTip(), QStringLiteral("Motor A"));
    EXPECT_EQ(w->imgSensor[0]->toolTip(), QStringLiteral("Touch sensor"));
    const QStringList rows = rowCaptions(*w);
    EXPECT_TRUE(rows.contains(QStringLiteral("Motor Direction A")));
    EXPECT_TRUE(rows.contains(QStringLiteral("Touch sensor  1")));
    EXPECT_TRUE(rows.contains(QStringLiteral("S. Raw value 1")));
    // More rows than the viewport holds: the scroll bar moves a row or twelve.
    EXPECT_TRUE(w->VScroll1->isEnabled());
    const int step = w->VScroll1->singleStep();
    EXPECT_EQ(w->VScroll1->pageStep(), 12 * step);
    w->VScroll1->setValue(step);
    EXPECT_EQ(w->picPanel->y(), -step);

    EXPECT_FALSE(w->cmdPollOnce->isEnabled());
    w->chkPollSensor[0]->click();
    EXPECT_TRUE(w->cmdPollOnce->isEnabled());
    EXPECT_EQ(PollState().TimerPollCheck[0], 1);
    w->cmdClean_Click();
    EXPECT_FALSE(w->cmdPollOnce->isEnabled());
    EXPECT_FALSE(w->cmdStopPollSensor->isEnabled());
}

TEST_F(SetupWindow, ClicksOnPortsOpenMenusAndDialogsOnlyWhenUsed)
{
    auto w = open();
    w->imgOutput_MouseDown(1, 2);
    w->imgOutput_MouseUp(1, 1, 5, 5);
    w->imgSensor_MouseDown(1, 2);
    w->imgSensor_MouseUp(1, 1, 5, 5);
    EXPECT_TRUE(popups.isEmpty());
    EXPECT_TRUE(runner.shown.isEmpty());

    w->imgOutput_DragDrop(1, SetupPicture::Motor);
    w->imgOutput_MouseDown(1, 1);
    EXPECT_TRUE(w->OutputHighlighted(1));
    w->imgOutput_MouseUp(1, 1, -3, 5);  // released outside the port
    EXPECT_FALSE(w->OutputHighlighted(1));
    EXPECT_TRUE(runner.shown.isEmpty());

    w->imgOutput_MouseDown(1, 2);
    EXPECT_EQ(popups, QStringList{QStringLiteral("Remove motor")});
    w->mnuOpenProp_Click();
    EXPECT_EQ(runner.shown, QStringList{QStringLiteral("Motor properties")});
    w->mnuDel_Click();
    EXPECT_TRUE(w->imgOutput[1]->pixmap().isNull());
    EXPECT_EQ(rcx().PortMotor(1).MotorType(), 0);
    EXPECT_FALSE(rowCaptions(*w).contains(QStringLiteral("Motor state B")));
}

TEST_F(SetupWindow, TheSensorDialogRenamesThePortAndItsRow)
{
    auto w = open();
    w->imgSensor_DragDrop(2, SetupPicture::Light);
    runner.script = [](QDialog& d) {
        auto& dlg = static_cast<frmSensorProp&>(d);
        EXPECT_EQ(dlg.lblProp[0]->text(), QStringLiteral("Light sensor"));
        EXPECT_EQ(dlg.lblProp[1]->text(), QStringLiteral("Port number: 3"));
        EXPECT_EQ(dlg.cmbMode->currentText(), QStringLiteral("Percentage"));
        dlg.txtPurpose->setText(QStringLiteral("Floor, left"));
        dlg.cmdOk[1]->click();  // refused, stays open
        EXPECT_EQ(dlg.result(), 0);
        dlg.txtPurpose->setText(QStringLiteral("Floor"));
        dlg.cmdOk[1]->click();
    };
    w->imgSensor_MouseDown(2, 1);
    w->imgSensor_MouseUp(2, 1, 1, 1);
    EXPECT_EQ(runner.shown, QStringList{QStringLiteral("Sensor properties")});
    EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("Commas and double quotes can't be used here")});
    EXPECT_EQ(w->imgSensor[2]->toolTip(), QStringLiteral("Floor"));
    EXPECT_TRUE(rowCaptions(*w).contains(QStringLiteral("Floor")));
    EXPECT_TRUE(object(QStringLiteral("Floor")));
}

TEST_F(SetupWindow, CancelLeavesThePanelTheCloseBoxRebuildsIt)
{
    auto w = open();
    w->imgSensor_DragDrop(0, SetupPicture::Touch);
    // A row ticked by the model alone shows only when the panel is built again.
    PollState().TimerPollCheck[3] = 1;
    runner.script = [](QDialog& d) { static_cast<frmSensorProp&>(d).cmdOk[0]->click(); };
    w->imgSensor_MouseUp(0, 1, 1, 1);
    EXPECT_FALSE(w->chkPollSensor[3]->isChecked());
    runner.script = [](QDialog& d) { d.close(); };
    w->imgSensor_MouseUp(0, 1, 1, 1);
    EXPECT_TRUE(w->chkPollSensor[3]->isChecked());
    EXPECT_EQ(runner.shown.size(), 2);
}

TEST_F(SetupWindow, TheMotorDialogShowsAndStoresThePort)
{
    auto w = open();
    w->imgOutput_DragDrop(0, SetupPicture::Motor);
    RecordingControl& recorder = useRecorder();
    runner.script = [](QDialog& d) {
        auto& dlg = static_cast<frmMotorProp&>(d);
        EXPECT_EQ(dlg.lblProp0->text(), QStringLiteral("Motor A"));
        EXPECT_EQ(dlg.lblDir->text(), QStringLiteral("Forward"));
        EXPECT_EQ(dlg.lblSpeed->text(), QStringLiteral("7"));
        dlg.cmdOk[2]->click();
        EXPECT_EQ(dlg.cmdOk[2]->text(), QStringLiteral("Stop motor"));
        dlg.hscDir->setValue(0);
        EXPECT_EQ(dlg.lblMeening->text(), QStringLiteral("Backward meaning :"));
        EXPECT_TRUE(dlg.txtMeening[1]->isVisibleTo(&dlg));
        dlg.txtMeening[1]->setText(QStringLiteral("down"));
        dlg.txtPurpose->setText(QStringLiteral("Lift"));
        dlg.cmdOk[0]->click();
    };
    w->imgOutput_MouseUp(0, 1, 1, 1);
    EXPECT_EQ(recorder.calls(), (QStringList{"SetPower(\"0\", L2, 7)", "SetFwd(\"0\")", "On(\"0\")",
                                             "SetRwd(\"0\")", "Off(\"0\")"}));
    EXPECT_EQ(rcx().PortMotor(0).Purpose, QStringLiteral("Lift"));
    EXPECT_EQ(rcx().PortMotor(0).MotorRwdMeening, QStringLiteral("down"));
    EXPECT_EQ(rcx().PortMotor(0).MotorDirection, 0);
    EXPECT_EQ(w->imgOutput[0]->toolTip(), QStringLiteral("Lift"));
}

TEST_F(SetupWindow, BatteryButtonShowsTheReadingAndClosingChecksTheTowerAgain)
{
    RecordingControl& recorder = useRecorder();
    recorder.pushResult(QStringLiteral("PBBattery"), 8700);
    auto w = open();
    EXPECT_FALSE(w->picBatPower->isVisibleTo(w.get()));
    w->cmdDataLog_Click(3);
    EXPECT_EQ(w->cmdDataLog[3]->text(), QStringLiteral("Battery state: 8.7 Volt"));
    EXPECT_TRUE(w->picBatPower->isVisibleTo(w.get()));
    w->CmdClose_Click();
    EXPECT_FALSE(rcx().IsInit);
}

TEST_F(SetupWindow, TheNotifierShowsAndUnloadsTheWindow)
{
    mdiMain main;
    ConnectSetupWindows(main);
    bool wasOpen = false;
    runner.script = [&](QDialog& d) {
        wasOpen = frmMain::Current() == &d;
        Q_EMIT App().Notifier->SetupReplaced();
    };
    Q_EMIT App().Notifier->SetupRequested();
    EXPECT_EQ(runner.shown, QStringList{QStringLiteral("VER Ize")});
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(frmMain::Current(), nullptr);
}

TEST_F(SetupWindow, GrabTheWindow)
{
    const QString dir = qEnvironmentVariable("QM_GRAB_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "QM_GRAB_DIR not set";
    DropOnOutput(0, SetupPicture::Motor);
    DropOnSensor(0, SetupPicture::Touch);
    DropOnSensor(2, SetupPicture::Light);
    useBrick();
    control.setComPortNo(PortSelector::VirtualBrickPort);  // the brick's picture with Run and Stop
    auto w = open();
    w->show();
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(dir).filePath(QStringLiteral("setup-narrow.png"))));
    w->mnuAdvanced_Click();
    w->chkPollSensor[0]->click();
    useRecorder().pushResult(QStringLiteral("PBBattery"), 8800);
    w->cmdDataLog_Click(3);
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(dir).filePath(QStringLiteral("setup-advanced.png"))));
    frmMotorProp motor(0);
    motor.Form_Load();
    EXPECT_TRUE(motor.grab().save(QDir(dir).filePath(QStringLiteral("motor-dialog.png"))));
    frmSensorProp sensor(2);
    sensor.Form_Load();
    EXPECT_TRUE(sensor.grab().save(QDir(dir).filePath(QStringLiteral("sensor-dialog.png"))));
}

// ---- The virtual brick's Run and Stop ----

class VirtualBrickKeys : public SetupWindow {
protected:
    void SetUp() override
    {
        SetupWindow::SetUp();
        for (Long port = 0; port < PortSelector::TowerPorts; ++port)
            brick.setDevicePath(port, QStringLiteral("/nonexistent/tower"));  // no tower in a test
        brick.setEventSink(&events);
        App().Ports = &brick;
        App().InitParams->setConfirmDownload(0);
    }
    void TearDown() override
    {
        App().Ports = nullptr;
        SetupWindow::TearDown();
    }

    // A motor on A that the set-up leaves off, the variable "Count", and the
    // task "Main", started with the program and in a loop: A on, Count + 1,
    // wait a second.
    void project()
    {
        DropOnOutput(0, SetupPicture::Motor);
        App().EditMotor(0, [&](clsMotor& m) { m.MotorStartState = 0; });
        AddNamedValue(QStringLiteral("Count"), OperandSource::Variable, 0, 3);
        auto task = std::make_shared<clsTask>();
        task->Name = QStringLiteral("Main");
        task->mNumber = 1;
        task->mLoop = 1;
        task->StartOnStartup = 1;
        task->ModulType = ModuleKind::Task;
        App().AddModule(task);
        auto put = [&](int row, const char* key, const std::function<void(clsCommand&)>& fill) {
            auto c = std::make_shared<clsCommand>();
            c->SetKeyText(QLatin1String(key));
            c->Op = 0;
            c->Param1Source = -1;
            c->Param1Value = -1;
            c->Param2Source = -1;
            c->Param2Value = -1;
            c->x = 0;
            c->y = Integer(row);
            fill(*c);
            task->Commands()->Add(c, ColKey(0, row));
        };
        put(1, "M_ON", [](clsCommand& c) { c.MotorList = QStringLiteral("0"); });
        put(2, "L_VAR", [](clsCommand& c) {
            c.Param1Source = OperandSource::Variable;
            c.Param1Value = QStringLiteral("Count");
            c.Param2Source = OperandSource::Constant;
            c.Param2Value = QStringLiteral("1");
        });
        put(3, "G_WAIT", [](clsCommand& c) {
            c.Param1Source = OperandSource::Constant;
            c.Param1Value = QStringLiteral("1");
            c.Time = QStringLiteral("Second");
        });
    }

    // The polling row of a caption, ticked (the row may lie below the panel's fold).
    static int tickRow(frmMain& w, const QString& caption)
    {
        for (int i = 0; i < w.chkPollSensor.size(); ++i)
            if (w.chkPollSensor[i]->text() == caption) {
                w.chkPollSensor[i]->click();
                return i;
            }
        ADD_FAILURE() << "no row " << caption.toStdString();
        return 0;
    }

    qint64 now = 0;
    PortSelector brick{App(), [this] { return now; }};
    ControlEventHandler events{App()};
};

TEST_F(VirtualBrickKeys, RunAndStopTheDownloadedProgram)
{
    project();
    // The virtual brick, chosen by the user, who has been told.
    App().Config->SetForRun(Setting::ComPort, Integer(PortSelector::VirtualBrickPort));
    settings.values.insert(QStringLiteral("com/virtualbrick"), QStringLiteral("1"));
    App().VirtualBrickTold = True;
    DownloadCommand(App(), ShowFaultInItsWindow);
    ASSERT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
    ASSERT_FALSE(brick.virtualBrick().taskCode(0, 1).isEmpty());
    // Downloaded, but nothing runs until Run.
    now = 5000;
    Integer variable = 3;
    EXPECT_EQ(brick.device().Poll(OperandSource::Variable, variable), 0);

    auto w = open();
    w->show();
    ASSERT_TRUE(w->cmdRun->isVisible());
    ASSERT_TRUE(w->cmdStop->isVisible());
    const int motor = tickRow(*w, QStringLiteral("Motor state A"));
    const int count = tickRow(*w, QStringLiteral("Count"));
    auto poll = [&] {
        QTest::mouseClick(w->cmdPollOnce, Qt::LeftButton);
        return w->txtPollValue[motor]->text() + QLatin1Char('|') + w->txtPollValue[count]->text();
    };
    EXPECT_EQ(poll(), QStringLiteral("0-FLOAT|0"));

    QTest::mouseClick(w->cmdRun, Qt::LeftButton);
    now += 100;
    EXPECT_EQ(poll(), QStringLiteral("128-ON|1"));
    now += 1000;
    EXPECT_EQ(poll(), QStringLiteral("128-ON|2"));

    QTest::mouseClick(w->cmdStop, Qt::LeftButton);
    now += 5000;
    EXPECT_EQ(poll(), QStringLiteral("128-ON|2"));
    for (int t = 0; t < rcx::TaskCount; ++t)
        EXPECT_FALSE(brick.virtualBrick().running(t)) << t;

    // Run starts the program again from its start-up task.
    QTest::mouseClick(w->cmdRun, Qt::LeftButton);
    now += 100;
    EXPECT_EQ(poll(), QStringLiteral("128-ON|1"));
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
}

// The keys follow the brick chosen in the preferences and the tower port
// the search keeps, the window open.
TEST_F(VirtualBrickKeys, TheKeysFollowTheBrickChosenAndThePortKept)
{
    brick.setComPortNo(0);
    auto w = open();
    ASSERT_FALSE(w->cmdRun->isVisibleTo(w.get()));

    brick.setComPortNo(PortSelector::VirtualBrickPort);
    ChooseVirtualBrick(App(), true);
    EXPECT_TRUE(w->cmdRun->isVisibleTo(w.get()));
    EXPECT_TRUE(w->cmdStop->isVisibleTo(w.get()));

    brick.setComPortNo(2);
    App().Config->Set(Setting::ComPort, Integer(2));
    EXPECT_FALSE(w->cmdRun->isVisibleTo(w.get()));
    EXPECT_FALSE(w->cmdStop->isVisibleTo(w.get()));
}

TEST_F(VirtualBrickKeys, OnlyTheVirtualBrickHasThem)
{
    for (Long port = 0; port <= PortSelector::VirtualBrickPort; ++port) {
        brick.setComPortNo(port);
        auto w = open();
        EXPECT_EQ(w->cmdRun->isVisibleTo(w.get()), port == PortSelector::VirtualBrickPort) << port;
        EXPECT_EQ(w->cmdStop->isVisibleTo(w.get()), port == PortSelector::VirtualBrickPort) << port;
    }
    App().Ports = nullptr;
    EXPECT_FALSE(open()->cmdRun->isVisibleTo(nullptr));

    // The tower found on the way of a poll is the virtual brick: the keys come.
    App().Ports = &brick;
    brick.setComPortNo(0);
    App().Config->SetForRun(Setting::ComPort, Integer(-1));
    DropOnOutput(0, SetupPicture::Motor);
    auto w = open();
    EXPECT_FALSE(w->cmdRun->isVisibleTo(w.get()));
    tickRow(*w, QStringLiteral("Motor state A"));
    QTest::mouseClick(w->cmdPollOnce, Qt::LeftButton);
    EXPECT_EQ(brick.ComPortNo(), PortSelector::VirtualBrickPort);
    EXPECT_TRUE(w->cmdRun->isVisibleTo(w.get()));
    EXPECT_TRUE(w->cmdStop->isVisibleTo(w.get()));
}
