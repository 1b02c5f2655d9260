// The set-up window as the main window reaches it: the RCX key, the deferred
// opening at the end of a PC-side pass, the datalog button's request.
#include "../shell/ShellFixture.h"

#include "model/NamedValues.h"
#include "model/Notifier.h"
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
        main = std::make_unique<mdiMain>();
        windows.setMainWindow(main.get());
        ConnectSetupWindows(*main);
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
    bool ofMain = false;
    runner.script = [&](QDialog& d) {
        auto& w = static_cast<frmMain&>(d);
        ofMain = w.parentWidget() == main.get();
        w.imgOutput_DragDrop(2, SetupPicture::Motor);
        App().RcxSetup->PortMotor(2)->MotorFwdMeening = QStringLiteral("lift");
        w.CmdClose_Click();
    };
    main->TB1_ButtonClick(QStringLiteral("RCX"));
    EXPECT_EQ(runner.shown, QStringList{QStringLiteral("VER Ize")});
    EXPECT_TRUE(ofMain);
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

TEST_F(SetupShell, TheDatalogButtonAsksForTheDatalogWithoutATowerCheck)
{
    int shown = 0;
    QObject::connect(main.get(), &mdiMain::DatalogShowRequested, main.get(), [&] { ++shown; });
    runner.script = [](QDialog& d) { static_cast<frmMain&>(d).cmdDataLog_Click(0); };
    Q_EMIT App().Notifier->SetupWindowShowModal();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(presenter.shown.isEmpty());
}
