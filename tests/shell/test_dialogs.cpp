// The open/new dialog, the preferences dialog and the preview window.
#include "shell/ShellFixture.h"
#include "model/Notifier.h"
#include "model/ProjectFile.h"
#include "shell/OpenDialog.h"
#include "shell/Preferences.h"
#include "shell/Preview.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <functional>

namespace {

QStringList itemTexts(const QListWidget* lv)
{
    QStringList t;
    for (int i = 0; i < lv->count(); ++i)
        t.append(lv->item(i)->text());
    return t;
}

}  // namespace

class OpenDialogTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        const QString p = folder.path();
        writeFile(p + "/Projects/Robot.dir/Robot.qmd", "0\r\n0\r\n");
        writeFile(p + "/Projects/Arm.dir/Arm.qmd", "0\r\n1\r\n");
        writeFile(p + "/Projects/Pad.dir/Pad.qmd", "1\r\n0\r\n");
        QDir(p).mkpath("Projects/Broken.dir");  // no project file: left out of the lists
        writeFile(p + "/Projects/Robot.dir/Main.tas", "-1,1,1,\"Drive to the wall, then stop\"\r\n");
        writeFile(p + "/Projects/Robot.dir/Arm.tas", "0,0,2,\"Lift\"\r\n");
        writeFile(p + "/Subs/Beep.sub", "0,0,1,\"Short beep\"\r\n");
    }
    std::unique_ptr<frmOpen> open(Long obj, Long mode)
    {
        auto d = std::make_unique<frmOpen>();
        d->ObjToOpen = obj;
        d->OpenMode = mode;
        d->Form_Load();
        return d;
    }
};

TEST_F(OpenDialogTest, NewNameChecks)
{
    QDir(folder.path()).mkpath("Projects/Taken.dir");
    struct Case {
        const char* typed;
        const char* message;  // "" when accepted
    };
    const Case cases[] = {
        {"", "Missing name"},
        {"    ", "Missing name"},
        {"9lives", "Invalid name"},
        {"My-robot", "Invalid name"},
        {"Robot", "Project by that name already exist (RCX or Joystick)"},
        {"Pad", "Project by that name already exist (RCX or Joystick)"},  // whatever its type
        {" Taken ", "Project by that name already exist (RCX or Joystick)"},
        {"robot", "Project by that name already exist (RCX or Joystick)"},  // letter case aside
        {"TAKEN", "Project by that name already exist (RCX or Joystick)"},
        {"\tTab", "Invalid name"},  // only blanks are trimmed
        {"  New robot 2  ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        presenter.shown.clear();
        App().SetSetupDirty(False);
        auto d = open(1, 3);
        d->txtProjName->setText(QString::fromLatin1(c.typed));
        d->cmdOk_Click(0);
        if (*c.message) {
            EXPECT_EQ(presenter.texts(), QStringList{QString::fromLatin1(c.message)});
            EXPECT_EQ(presenter.shown[0].style, 48);
            EXPECT_EQ(d->txtProjName->selectedText(), d->txtProjName->text());
            EXPECT_EQ(d->result(), 0);
        } else {
            EXPECT_TRUE(presenter.shown.isEmpty());
            EXPECT_EQ(d->Choice.name, QStringLiteral("New robot 2"));
            EXPECT_EQ(d->Choice.projectAction, 2);
            EXPECT_FALSE(d->Choice.canceled);
            // The dialog only answers; the choice taken makes the project new and changed.
            EXPECT_EQ(App().RcxSetup().Dirty, False);
            TakeProjectChoice(d->Choice);
            EXPECT_EQ(App().RcxSetup().Dirty, True);
            EXPECT_EQ(d->result(), int(QDialog::Accepted));
        }
    }
}

TEST_F(OpenDialogTest, ANameTooLongForItsFileIsRefusedWhereItIsTyped)
{
    // 251 characters and ".dir" make 255 bytes, the longest name; one more does not fit.
    // Characters 224..250 take two bytes each in UTF-8.
    struct Case {
        Long obj;
        QString typed;
        bool fits;
    };
    const Case cases[] = {
        {1, QString(251, QLatin1Char('a')), true},
        {1, QString(252, QLatin1Char('a')), false},
        {1, QString(285, QLatin1Char('a')), false},
        {1, QString(126, QChar(0xE0)), false},  // 252 bytes, and ".dir"
        {2, QString(252, QLatin1Char('t')), false},
        {3, QString(252, QLatin1Char('s')), false},
        {3, QString(251, QLatin1Char('s')), true},
    };
    App().SetProjectName(QStringLiteral("Robot"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.size());
        presenter.shown.clear();
        auto d = open(c.obj, 3);
        d->txtProjName->setText(c.typed);
        d->cmdOk_Click(0);
        if (c.fits) {
            EXPECT_TRUE(presenter.shown.isEmpty());
            EXPECT_EQ(d->result(), int(QDialog::Accepted));
        } else {
            ASSERT_EQ(presenter.shown.size(), 1);
            EXPECT_TRUE(presenter.shown[0].text.startsWith(QStringLiteral("Name too long")));
            EXPECT_EQ(presenter.shown[0].style, 48);
            EXPECT_EQ(d->result(), 0);
            EXPECT_EQ(d->txtProjName->selectedText(), d->txtProjName->text());
        }
    }
}

TEST_F(OpenDialogTest, ProjectListFollowsTheTypeOption)
{
    auto d = open(1, 3);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Quillo Mat: Open"));
    EXPECT_EQ(d->SSTab1->tabText(0), QStringLiteral("New project"));
    EXPECT_EQ(d->SSTab1->tabText(1), QStringLiteral("Existing project"));
    EXPECT_EQ(itemTexts(d->LV1), (QStringList{"Arm", "Robot"}));
    EXPECT_EQ(d->ClickedItem, QStringLiteral("Arm"));
    d->optProjType[1]->click();
    EXPECT_EQ(itemTexts(d->LV1), QStringList{"Pad"});
    d->SSTab1->setCurrentIndex(1);
    d->cmdOk_Click(0);
    EXPECT_EQ(d->Choice.name, QStringLiteral("Pad"));
    EXPECT_EQ(d->Choice.projectAction, 1);
    EXPECT_EQ(d->result(), int(QDialog::Accepted));
}

// A project file that is no regular file is left out of the list: the list
// neither waits on a FIFO nor reads a device.
TEST_F(OpenDialogTest, AProjectFileThatIsNoRegularFileIsLeftOut)
{
    const QString p = folder.path();
    QDir(p).mkpath("Projects/Pipe.dir");
    ASSERT_EQ(::mkfifo(QFile::encodeName(p + "/Projects/Pipe.dir/Pipe.qmd").constData(), 0600), 0);
    QDir(p).mkpath("Projects/Zero.dir");
    ASSERT_TRUE(QFile::link("/dev/zero", p + "/Projects/Zero.dir/Zero.qmd"));
    auto d = open(1, 3);
    EXPECT_EQ(itemTexts(d->LV1), (QStringList{"Arm", "Robot"}));
}

TEST_F(OpenDialogTest, NothingOfTheTypeGivesNothingSelected)
{
    QFile::remove(folder.path() + "/Projects/Pad.dir/Pad.qmd");
    App().SetProjectType(ProjectType::JoystickKeyboard);
    auto d = open(1, 3);
    EXPECT_TRUE(d->optProjType[1]->isChecked());
    EXPECT_EQ(d->LV1->count(), 0);
    d->SSTab1->setCurrentIndex(1);
    d->cmdOk_Click(0);
    EXPECT_EQ(presenter.texts(), QStringList{"Nothing selected"});
    EXPECT_EQ(d->result(), 0);
}

TEST_F(OpenDialogTest, NewProjectTakesTheChosenType)
{
    auto d = open(1, 3);
    d->optProjType[1]->click();
    d->txtProjName->setText("Pilot");
    d->cmdOk_Click(0);
    EXPECT_EQ(d->Choice.projectType, ProjectType::JoystickKeyboard);
    EXPECT_EQ(App().ProjectType(), ProjectType::Rcx);
    TakeProjectChoice(d->Choice);
    EXPECT_EQ(App().ProjectType(), ProjectType::JoystickKeyboard);
    EXPECT_EQ(App().RcxSetup().ProjectName, QStringLiteral("Pilot"));
}

TEST_F(OpenDialogTest, TaskListShowsEveryTaskFileAndTheFirstTitle)
{
    App().SetProjectName("Robot");
    auto d = open(2, 3);
    EXPECT_FALSE(d->optProjType[0]->isVisibleTo(d.get()));
    EXPECT_EQ(d->lblTitle->text(), QStringLiteral("Task name"));
    EXPECT_EQ(d->SSTab1->tabText(0), QStringLiteral("New task"));
    EXPECT_EQ(itemTexts(d->LV1), (QStringList{"Arm", "Main"}));
    EXPECT_EQ(d->txtTitle->text(), QStringLiteral("Lift"));
    d->LV1_ItemClick(d->LV1->item(1));
    EXPECT_EQ(d->txtTitle->text(), QStringLiteral("Drive to the wall, then stop"));
    d->LV1->setCurrentRow(1);
    d->SSTab1->setCurrentIndex(1);
    d->cmdOk_Click(0);
    EXPECT_EQ(d->Choice.name, QStringLiteral("Main"));
    EXPECT_EQ(d->Choice.taskAction, 1);
    EXPECT_EQ(d->Choice.projectAction, 0);  // only the task's result is set
}

TEST_F(OpenDialogTest, SubListAndNewSub)
{
    auto d = open(3, 3);
    EXPECT_EQ(d->lblTitle->text(), QStringLiteral("Sub name"));
    EXPECT_EQ(itemTexts(d->LV1), QStringList{"Beep"});
    EXPECT_EQ(d->txtTitle->text(), QStringLiteral("Short beep"));
    d->txtProjName->setText("Beep twice");
    d->cmdOk_Click(0);
    EXPECT_EQ(d->Choice.subAction, 2);
    EXPECT_EQ(d->Choice.name, QStringLiteral("Beep twice"));
}

TEST_F(OpenDialogTest, ModesLimitTheTabs)
{
    auto onlyNew = open(2, 1);
    EXPECT_FALSE(onlyNew->SSTab1->isTabEnabled(1));
    EXPECT_EQ(onlyNew->SSTab1->currentIndex(), 0);
    auto onlyExisting = open(2, 2);
    EXPECT_FALSE(onlyExisting->SSTab1->isTabEnabled(0));
    EXPECT_EQ(onlyExisting->SSTab1->currentIndex(), 1);
}

TEST_F(OpenDialogTest, JoystickProjectsTaskIsNamedWithoutShowingTheDialog)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    const OpenChoice choice = ShowOpenDialog(OpenOffer::NewOnly, OpenObject::Task);
    EXPECT_TRUE(runner.shown.isEmpty());
    EXPECT_EQ(choice.name, QStringLiteral("The task"));
    EXPECT_EQ(choice.taskAction, 2);
    EXPECT_FALSE(choice.canceled);
}

TEST_F(OpenDialogTest, CancelGivesACancelledChoiceAndTheCloseBoxEndsTheProgram)
{
    runner.script = [](QDialog& d) {
        auto& open = static_cast<frmOpen&>(d);
        open.txtProjName->setText("Rover");  // typed, then cancelled
        open.cmdOk_Click(1);
    };
    EXPECT_TRUE(ShowOpenDialog(OpenOffer::NewOrExisting, OpenObject::Project).canceled);
    EXPECT_EQ(programEnded, 0);

    auto d = open(1, 3);
    d->show();
    d->close();
    EXPECT_EQ(programEnded, 1);
}

TEST_F(OpenDialogTest, TypingGoesIntoTheNameBoxOrTheListAtOnce)
{
    auto both = open(1, 3);
    both->show();
    EXPECT_EQ(both->focusWidget(), both->txtProjName);
    both->hide();
    auto onlyExisting = open(2, 2);
    onlyExisting->show();
    EXPECT_EQ(onlyExisting->focusWidget(), onlyExisting->LV1);
}

TEST_F(OpenDialogTest, OpeningPutsTheBusyPointerBack)
{
    App().Notifier->SetPointer(PointerShape::Hourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    auto d = open(1, 3);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The hourglass can be put up again afterwards.
    App().Notifier->SetPointer(PointerShape::Hourglass);
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    App().Notifier->SetPointer(PointerShape::Default);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OpenDialogTest, EnterInTheNameBoxPressesOk)
{
    auto d = open(1, 3);
    d->txtProjName->setText("Rover");
    QTest::keyClick(d->txtProjName, Qt::Key_Return);
    EXPECT_EQ(d->Choice.name, QStringLiteral("Rover"));
    EXPECT_EQ(d->result(), int(QDialog::Accepted));
}

// Enter on the Existing tab, pressed on the keyboard with the focus where the
// user's clicks and keys leave it, opens the project selected in the list as a
// double click does; on the Cancel button, or with none selected, it does not.
TEST_F(OpenDialogTest, EnterOnTheExistingTabOpensTheSelectedProject)
{
    struct Case {
        const char* what;
        std::function<void(frmOpen&)> act;
        const char* focus;  // class of the widget with the focus before Enter
        const char* opened;  // empty: the dialog stays
    };
    auto clickItem = [](frmOpen& d, const QString& text) {
        const QList<QListWidgetItem*> found = d.LV1->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        QTest::mouseClick(d.LV1->viewport(), Qt::LeftButton, {}, d.LV1->visualItemRect(found[0]).center());
    };
    const Case cases[] = {
        {"the list, a project clicked", [&](frmOpen& d) { clickItem(d, "Robot"); }, "QListWidget", "Robot"},
        {"a type option, the type chosen", [](frmOpen& d) { QTest::mouseClick(d.optProjType[1], Qt::LeftButton); },
         "QRadioButton", "Pad"},
        {"the tabs, reached from the list with Shift+Tab",
         [&](frmOpen& d) {
             clickItem(d, "Robot");
             QTest::keyClick(d.windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
         },
         "QTabBar", "Robot"},
        {"the Cancel button", [](frmOpen& d) { d.cmdOk[1]->setFocus(Qt::TabFocusReason); }, "QPushButton", ""},
        {"the list, clicked beside its projects",
         [](frmOpen& d) { QTest::mouseClick(d.LV1->viewport(), Qt::LeftButton, {}, QPoint(400, 200)); },
         "QListWidget", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto d = open(1, 3);
        d->show();
        d->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
        QTabBar* tabs = d->SSTab1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        c.act(*d);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_STREQ(QApplication::focusWidget()->metaObject()->className(), c.focus);
        QTest::keyClick(d->windowHandle(), Qt::Key_Return);
        EXPECT_EQ(d->Choice.name, QString(c.opened));
        EXPECT_EQ(d->isVisible(), QString(c.opened).isEmpty());
        if (!QString(c.opened).isEmpty()) {
            EXPECT_EQ(d->result(), int(QDialog::Accepted));
            EXPECT_EQ(d->Choice.projectAction, 1);
        }
        d->hide();
    }
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join(" | ").toStdString();
}

class PreferencesTest : public ShellFixture {};

TEST_F(PreferencesTest, LoadsTheFourPreferences)
{
    App().InitParams->setTimeToShutDown(15);
    App().InitParams->setTransmitPower("long");
    App().InitParams->setConfirmDownload(0);
    App().InitParams->setConfirmDelete(1);
    frmPreference d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Quillomat Preferences"));
    EXPECT_EQ(d.txtShutDownTime->text(), QStringLiteral("15"));
    EXPECT_EQ(d.cmbTransmitPower->currentText(), QStringLiteral("Long"));
    EXPECT_FALSE(d.chkPref[0]->isChecked());
    EXPECT_TRUE(d.chkPref[1]->isChecked());
}

TEST_F(PreferencesTest, SaveTakesTheNumericValueUpTo255)
{
    struct Case {
        const char* typed;
        bool refused;
        Long saved;
    };
    const Case cases[] = {
        {"255", false, 255}, {"256", true, 0}, {"-5", false, -5}, {"abc", false, 0},
        {"12 minutes", false, 12}, {"7.5", false, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        presenter.shown.clear();
        App().InitParams->setTimeToShutDown(99);
        frmPreference d;
        d.txtShutDownTime->setText(QString::fromLatin1(c.typed));
        d.cmdSave_Click();
        if (c.refused) {
            EXPECT_EQ(presenter.texts(), QStringList{"Time cannot be more then 255"});
            EXPECT_EQ(presenter.shown[0].style, 48);
            EXPECT_EQ(d.txtShutDownTime->selectedText(), d.txtShutDownTime->text());
            EXPECT_EQ(App().InitParams->TimeToShutDown(), 99);
            EXPECT_EQ(d.result(), 0);
        } else {
            EXPECT_TRUE(presenter.shown.isEmpty());
            EXPECT_EQ(App().InitParams->TimeToShutDown(), c.saved);
            EXPECT_EQ(settings.GetSetting("Preferences", "ShutDownTime"), QString::number(c.saved));
            EXPECT_EQ(d.result(), int(QDialog::Accepted));
        }
    }
}

TEST_F(PreferencesTest, EnterSavesLikeTheSaveButtonIncludingTheCheck)
{
    {
        frmPreference d;
        d.txtShutDownTime->setText("300");
        QTest::keyClick(d.txtShutDownTime, Qt::Key_Return);
        EXPECT_EQ(presenter.texts(), QStringList{"Time cannot be more then 255"});
        EXPECT_EQ(d.result(), 0);
    }
    frmPreference d;
    d.txtShutDownTime->setText("20");
    d.cmbTransmitPower->setCurrentIndex(1);
    d.chkPref[0]->setChecked(false);
    d.chkPref[1]->setChecked(true);
    QTest::keyClick(d.chkPref[0], Qt::Key_Enter);
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(App().InitParams->TimeToShutDown(), 20);
    EXPECT_EQ(App().InitParams->TransmitPower(), QStringLiteral("Long"));
    EXPECT_EQ(App().InitParams->ConfirmDownload(), 0);
    EXPECT_EQ(App().InitParams->ConfirmDelete(), 1);
}

TEST_F(PreferencesTest, TheBrickIsChosenHereAndKeptInTheSettings)
{
    {
        frmPreference d;
        EXPECT_TRUE(d.optTower->isChecked());
        EXPECT_FALSE(d.optVirtualBrick->isChecked());
        d.optVirtualBrick->click();
        d.cmdSave->click();
    }
    EXPECT_EQ(settings.GetSetting("com", "virtualbrick"), QStringLiteral("1"));
    {
        frmPreference d;
        EXPECT_TRUE(d.optVirtualBrick->isChecked());
    }

    // Choosing the tower while the program talks to the virtual brick makes
    // the next brick operation look for a tower.
    App().PortVerified = True;
    App().BrickPort = 4;
    App().SetRcxInit(True);
    frmPreference d;
    d.optTower->click();
    d.cmdSave->click();
    EXPECT_EQ(settings.GetSetting("com", "virtualbrick"), QStringLiteral("0"));
    EXPECT_FALSE(App().PortVerified);
    EXPECT_FALSE(App().RcxSetup().IsInit);
}

TEST_F(PreferencesTest, CancelSavesNothing)
{
    frmPreference d;
    d.txtShutDownTime->setText("20");
    d.cmdCancel->click();
    EXPECT_EQ(App().InitParams->TimeToShutDown(), 30);
    EXPECT_TRUE(settings.values.isEmpty());
}

class PreviewTest : public ShellFixture {};

TEST_F(PreviewTest, CloseByTheUserOnlyHidesAndUnloadMakesANewOne)
{
    App().KeepListing("first", CompileFor::Listing);
    frmPreview* p = windows.Preview();
    ASSERT_NE(p, nullptr);
    p->move(10, 10);
    p->close();
    EXPECT_FALSE(p->isVisible());
    EXPECT_EQ(windows.Preview(), p);
    App().KeepListing("second", CompileFor::Listing);
    EXPECT_EQ(windows.Preview(), p);
    EXPECT_TRUE(p->isVisible());
    EXPECT_EQ(p->pos(), QPoint(10, 10));
    EXPECT_EQ(p->txtPreview->toPlainText(), QStringLiteral("second"));

    App().DropListing();
    EXPECT_EQ(windows.Preview(), nullptr);
    App().KeepListing("third", CompileFor::Listing);
    ASSERT_NE(windows.Preview(), nullptr);
    EXPECT_EQ(windows.Preview()->txtPreview->toPlainText(), QStringLiteral("third"));
    App().DropListing();
}

// What the preview does with a listing is the shell's to decide by what the
// compile was for: COMPILE shows it, a download's leaves no preview open (the
// listing is kept for PREVIEW all the same), a run's is never made.
TEST_F(PreviewTest, TheListingMadeIsShownOnlyForCompile)
{
    struct Case {
        const char* what;
        CompileFor purpose;
        bool openBefore;
        bool shownAfter;
    };
    const Case cases[] = {
        {"COMPILE, no preview yet", CompileFor::Listing, false, true},
        {"COMPILE, the preview open", CompileFor::Listing, true, true},
        {"a download, the preview open", CompileFor::Download, true, false},
        {"a download, no preview", CompileFor::Download, false, false},
        {"a run leaves the preview as it is", CompileFor::Run, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App().DropListing();
        if (c.openBefore)
            App().KeepListing("before", CompileFor::Listing);
        App().KeepListing("made", c.purpose);
        EXPECT_EQ(App().LastListing(), QStringLiteral("made"));
        EXPECT_EQ(windows.Preview() != nullptr, c.shownAfter);
        if (windows.Preview() && c.purpose == CompileFor::Listing)
            EXPECT_EQ(windows.Preview()->txtPreview->toPlainText(), QStringLiteral("made"));
    }
    App().DropListing();
}

TEST_F(PreviewTest, MinimisingRaisesNoMessage)
{
    App().KeepListing("x", CompileFor::Listing);
    windows.Preview()->showMinimized();
    windows.Preview()->showNormal();
    EXPECT_TRUE(presenter.shown.isEmpty());
    App().DropListing();
}
