// The set-up window as the main window reaches it: the RCX key, the deferred
// opening at the end of a PC-side pass, the datalog button's request.
#include "../shell/ShellFixture.h"

#include "model/NamedValues.h"
#include "model/Notifier.h"
#include "model/ProjectFile.h"
#include "setup/core/SetupService.h"
#include "setup/frmMain.h"
#include "shell/MainWindow.h"

#include <QCheckBox>
#include <QToolButton>

class SetupShell : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        FillNameTables();
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
        App().EditMotor(2, [&](clsMotor& m) { m.MotorFwdMeening = QStringLiteral("lift"); });
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
    Q_EMIT App().Notifier->SetupRequested();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(SetupShell, OpeningAProjectShowsEveryKindOfPollingRowAgain)
{
    App().SetProjectName(QStringLiteral("Robot"));
    App().ProjectAction = 2;
    ASSERT_TRUE(SaveProject());
    PollingState& state = PollState();
    for (int i = 0; i <= 4; ++i)
        state.PollFilter[i] = i == 0 ? 7 : 0;
    App().ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty());

    // "Show selected only" stays as it was; the four kinds are ticked again.
    QList<bool> ticked;
    runner.script = [&](QDialog& d) {
        auto& w = static_cast<frmMain&>(d);
        for (QCheckBox* box : w.chkOrder)
            ticked.append(box->isChecked());
        w.CmdClose_Click();
    };
    Q_EMIT App().Notifier->SetupRequested();
    EXPECT_EQ(ticked, (QList<bool>{true, true, true, true, true}));
    EXPECT_EQ(state.PollFilter[0], 7);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(state.PollFilter[i], 1) << i;
}
