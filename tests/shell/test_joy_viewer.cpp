// The joystick and keyboard viewer, ticked by hand against a scripted joystick
// and keys.
#include "support/ScriptedJoystick.h"
#include "shell/ShellFixture.h"
#include "shell/MainWindow.h"
#include "shell/joy/frmJoy.h"

#include "model/NamedValues.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

class JoyViewerTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        App().Joystick = &joystick;
        App().SetProjectType(ProjectType::JoystickKeyboard);
        main = std::make_unique<mdiMain>();
        windows.setMainWindow(main.get());
    }
    void TearDown() override
    {
        UnloadJoyWindow();
        windows.setMainWindow(nullptr);
        main.reset();
        ShellFixture::TearDown();
    }
    // The viewer as the JOY key shows it.
    frmJoy* show()
    {
        ShowJoyWindow();
        const QList<frmJoy*> joys = main->findChildren<frmJoy*>();
        return joys.isEmpty() ? nullptr : joys.first();
    }

    ScriptedJoystick joystick;
    std::unique_ptr<mdiMain> main;
};

TEST_F(JoyViewerTest, KeysHeldShowTheirNamesAndSumAndBecomeAConstant)
{
    frmJoy* joy = show();
    ASSERT_NE(joy, nullptr);
    EXPECT_EQ(joy->windowTitle(), QStringLiteral("Joystick and keyboard viewer"));
    EXPECT_TRUE(joy->tmrJoy->isActive());
    EXPECT_EQ(joy->tmrJoy->interval(), 50);

    joystick.keys = {65, 38};
    joy->tmrJoy_Timer();
    EXPECT_EQ(joy->txtKey->text(), QStringLiteral("Up+A"));
    EXPECT_EQ(joy->lblValue->text(), QStringLiteral("103"));

    joystick.keys.clear();  // let go: the combination stays on show
    joy->tmrJoy_Timer();
    EXPECT_EQ(joy->txtKey->text(), QStringLiteral("Up+A"));

    joy->cmdAddToConst->click();
    ASSERT_TRUE(App().ObjectList().Exists(QStringLiteral("Keyboard-Up+A")));
    const clsObject& c = *App().ObjectList().Item(QStringLiteral("Keyboard-Up+A"));
    EXPECT_EQ(c.Source, 100);
    EXPECT_EQ(c.Value, 103);
    EXPECT_EQ(App().RcxSetup().Dirty, True);

    // The same name again: nothing more, no message.
    const int count = App().ObjectList().Count();
    joy->cmdAddToConst->click();
    EXPECT_EQ(App().ObjectList().Count(), count);
    EXPECT_EQ(App().CurrentObject, nullptr);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(JoyViewerTest, KeyNames)
{
    EXPECT_EQ(KeyCombinationText({40, 32, 39, 37}), QStringLiteral("Space+Left+Right+Down"));
    EXPECT_EQ(KeyCombinationText({90, 49}), QStringLiteral("1+Z"));
    EXPECT_EQ(KeyCombinationText({}), QString());
}

TEST_F(JoyViewerTest, SwitchingToTheKeyboardTabForgetsEarlierKeys)
{
    frmJoy* joy = show();
    joystick.keys = {65};
    joy->tmrJoy_Timer();
    joystick.keyQueries.clear();
    joy->SSTab1->setCurrentIndex(1);
    EXPECT_TRUE(joy->txtKey->text().isEmpty());
    EXPECT_TRUE(joy->lblValue->text().isEmpty());
    ASSERT_EQ(joystick.keyQueries.size(), 221);
    EXPECT_EQ(joystick.keyQueries.first(), 30);
    EXPECT_EQ(joystick.keyQueries.last(), 250);
}

TEST_F(JoyViewerTest, NothingCapturedAddsNothing)
{
    frmJoy* joy = show();
    const int count = App().ObjectList().Count();
    joy->cmdAddToConst->click();
    EXPECT_EQ(App().ObjectList().Count(), count);
    EXPECT_EQ(App().RcxSetup().Dirty, False);
}

TEST_F(JoyViewerTest, AxesAreShownToTheirThousandAndZAndROnlyWhenThere)
{
    joystick.caps = {true, 4, true, false};
    frmJoy* joy = show();
    joystick.state.x = 32767;
    joystick.state.y = 999;
    joystick.state.z = 65535;
    joystick.state.buttons = 0b1001;
    joy->tmrJoy_Timer();
    EXPECT_EQ(joy->lblLR->text(), QStringLiteral("32000"));
    EXPECT_EQ(joy->lblUD->text(), QStringLiteral("0"));
    EXPECT_EQ(joy->lblZ->text(), QStringLiteral("65000"));
    EXPECT_FALSE(joy->lblZ->isHidden());
    EXPECT_TRUE(joy->lblR->isHidden());
    EXPECT_TRUE(joy->Label10->isHidden());
    ASSERT_EQ(joy->chkButton.size(), 4);
    const bool checked[] = {true, false, false, true};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(joy->chkButton[i]->isChecked(), checked[i]) << i;
}

TEST_F(JoyViewerTest, SixButtonsStandInTwoRowsOfThree)
{
    joystick.caps = {true, 6, false, false};
    frmJoy* joy = show();
    ASSERT_EQ(joy->chkButton.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(joy->chkButton[i]->text(), QStringLiteral("Button %1").arg(i + 1));
    const auto& b = joy->chkButton;
    for (int i : {2, 4})
        EXPECT_EQ(b[i]->y(), b[0]->y());
    for (int i : {1, 3, 5}) {
        EXPECT_GT(b[i]->y(), b[0]->y());
        EXPECT_EQ(b[i]->x(), b[i - 1]->x());
    }
    EXPECT_LT(b[0]->x(), b[2]->x());
    EXPECT_LT(b[2]->x(), b[4]->x());
}

TEST_F(JoyViewerTest, WithoutAJoystickOnlyTheKeyboardTabWorks)
{
    joystick.unplug();
    frmJoy* joy = show();
    EXPECT_EQ(joy->chkButton.size(), 8);  // capabilities unreadable
    joy->tmrJoy_Timer();
    EXPECT_EQ(presenter.texts(), QStringList{"No joystick connected"});
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
    EXPECT_EQ(joy->Label1[0]->text(), QStringLiteral("No joystick connected"));
    EXPECT_FALSE(joy->SSTab1->isTabEnabled(0));
    EXPECT_EQ(joy->SSTab1->currentIndex(), 1);
    EXPECT_FALSE(joy->JoystickLive());
    const int reads = joystick.posQueries;
    joystick.keys = {37};
    joy->tmrJoy_Timer();
    EXPECT_EQ(joystick.posQueries, reads);
    EXPECT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(joy->txtKey->text(), QStringLiteral("Left"));
}

TEST_F(JoyViewerTest, TheJoyKeyShowsOneViewerAndAnUnloadLetsTheNextBeNew)
{
    frmJoy* first = show();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(show(), first);
    UnloadJoyWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main->findChildren<frmJoy*>().isEmpty());
    main->TB1_ButtonClick(QStringLiteral("JOY"));
    EXPECT_EQ(main->findChildren<frmJoy*>().size(), 1);

    frmJoy* again = show();
    again->cmdClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main->findChildren<frmJoy*>().isEmpty());
}

TEST_F(JoyViewerTest, GrabToPicture)
{
    const QString dir = qEnvironmentVariable("QM_GRAB_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "QM_GRAB_DIR not set";
    joystick.caps = {true, 6, true, true};
    frmJoy* joy = show();
    joystick.state = {true, 12345, 54321, 40000, 1000, 0b100101};
    joystick.keys = {38, 65};
    joy->tmrJoy_Timer();
    EXPECT_TRUE(joy->grab().save(QDir(dir).filePath(QStringLiteral("joy-joystick.png"))));
    joy->SSTab1->setCurrentIndex(1);
    joy->tmrJoy_Timer();
    EXPECT_TRUE(joy->grab().save(QDir(dir).filePath(QStringLiteral("joy-keyboard.png"))));
}

}  // namespace
