// The set-up window as the main window reaches it: the RCX key, the deferred
// opening at the end of a PC-side pass, the datalog button's hook.
#include "../shell/ShellFixture.h"

#include "model/NamedValues.h"
#include "setup/core/SetupService.h"
#include "setup/frmMain.h"
#include "shell/MainWindow.h"

#include <QToolButton>

class SetupShell : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        FillNameTables();
        App().RcxSetup = std::make_unique<clsRcx>();
        RegisterSetupWindows(windows);
        main = std::make_unique<mdiMain>();
        windows.setMainWindow(main.get());
    }
    void TearDown() override
    {
        windows.setMainWindow(nullptr);
        main.reset();
        ShellFixture::TearDown();
    }
    std::unique_ptr<mdiMain> main;
};

TEST_F(SetupShell, TheRcxKeyShowsTheWindowAndThenRefreshesTheMotorTips)
{
    bool registered = false;
    runner.script = [&](QDialog& d) {
        auto& w = static_cast<frmMain&>(d);
        registered = main->Registry().Contains(&w);
        w.imgOutput_DragDrop(2, SetupPicture::Motor);
        App().RcxSetup->PortMotor(2)->MotorFwdMeening = QStringLiteral("lift");
        w.CmdClose_Click();
    };
    main->TB1_ButtonClick(QStringLiteral("RCX"));
    EXPECT_EQ(runner.shown, QStringList{QStringLiteral("VER Ize")});
    EXPECT_TRUE(registered);
    EXPECT_EQ(frmMain::Current(), nullptr);  // released when it closed
    EXPECT_EQ(main->PaletteButton(QStringLiteral("M_FWD"))->toolTip(), QStringLiteral("Forward{C=lift}"));
}

TEST_F(SetupShell, ADeferredRequestOpensAtTheEndOfThePass)
{
    App().RcxWindowRequested = True;
    App().RunCycleEnded = False;
    main->tmrShowLab_Timer();
    EXPECT_TRUE(runner.shown.isEmpty());
    App().RunCycleEnded = True;
    main->tmrShowLab_Timer();
    EXPECT_EQ(runner.shown, QStringList{QStringLiteral("VER Ize")});
    EXPECT_FALSE(App().RcxWindowRequested);
}

TEST_F(SetupShell, TheDatalogButtonUsesItsHookWithoutATowerCheck)
{
    int shown = 0;
    windows.Hooks.DatalogShow = [&] { ++shown; };
    runner.script = [](QDialog& d) { static_cast<frmMain&>(d).cmdDataLog_Click(0); };
    windows.SetupWindowShowModal();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(presenter.shown.isEmpty());
}
