// The program's file dialog, and help and About.
#include "shell/ShellFixture.h"
#include "shell/About.h"
#include "shell/FileDialog.h"
#include "shell/Help.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

void touch(const QString& path)
{
    writeFile(path, QByteArray());
}

QStringList entries(const QListWidget* lv)
{
    QStringList t;
    for (int i = 0; i < lv->count(); ++i)
        t.append(lv->item(i)->text() + ":" + lv->item(i)->data(Qt::UserRole).toString() + ":" +
                 lv->item(i)->data(Qt::UserRole + 1).toString());
    return t;
}

}  // namespace

class FileDialogTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        root = folder.path() + "/fw";
        touch(root + "/firm0309.lgo");
        touch(root + "/Beta.LGO");
        touch(root + "/a.b.lgo");
        touch(root + "/notes.txt");
        touch(root + "/run.dlg");
        touch(root + "/Zeta/inner.lgo");
        touch(root + "/alpha/x.bmp");
        touch(root + "/.hidden.lgo");
        touch(root + "/.local/share/deep.lgo");
    }
    std::unique_ptr<frmFirmware> dialog(const QString& type, const QString& path)
    {
        auto d = std::make_unique<frmFirmware>();
        d->setFullPath(path);
        d->setFileType(type);
        return d;
    }
    QString root;
};

// Hidden folders and files are listed with the others: the data folder lies
// below ~/.local.
TEST_F(FileDialogTest, ListsFoldersThenFilesOfTheTypeSorted)
{
    auto d = dialog("lgo", root);
    EXPECT_EQ(d->FullPath(), root);
    EXPECT_EQ(d->txtPath->text(), root);
    EXPECT_EQ(entries(d->LV),
              (QStringList{"..:folder:UPDIR", ".local:folder:FOLDER", "alpha:folder:FOLDER", "Zeta:folder:FOLDER",
                           "Beta.LGO:file:RCX", "firm0309.lgo:file:RCX"}));  // .hidden.lgo: type "hidden.lgo"
    d->LV_ItemClick(d->LV->findItems(".local", Qt::MatchExactly).first());
    d->LV_DblClick();
    EXPECT_EQ(d->FullPath(), root + "/.local");
    EXPECT_EQ(entries(d->LV), (QStringList{"..:folder:UPDIR", "share:folder:FOLDER"}));
    EXPECT_TRUE(d->chkDefault->isVisibleTo(d.get()));
    EXPECT_EQ(d->WasCanceled, True);
}

TEST_F(FileDialogTest, AllTypesAndOtherTypes)
{
    auto d = dialog("dlg", root);
    EXPECT_FALSE(d->chkDefault->isVisibleTo(d.get()));
    EXPECT_EQ(d->cmbFileType->count(), 2);
    EXPECT_EQ(d->cmbFileType->itemText(0), QStringLiteral("*.*"));
    QStringList files;
    for (const QString& e : entries(d->LV))
        if (e.contains(":file:"))
            files.append(e);
    EXPECT_EQ(files, QStringList{"run.dlg:file:DATALOG"});
    d->cmbFileType->setCurrentIndex(0);
    files.clear();
    for (const QString& e : entries(d->LV))
        if (e.contains(":file:"))
            files.append(e.section(':', 0, 0));
    EXPECT_EQ(files, (QStringList{".hidden.lgo", "a.b.lgo", "Beta.LGO", "firm0309.lgo", "notes.txt", "run.dlg"}));
}

TEST_F(FileDialogTest, TypeIsMatchedOnEverythingAfterTheFirstDot)
{
    EXPECT_TRUE(frmFirmware::MatchesType("firm.lgo", "LGO"));
    EXPECT_FALSE(frmFirmware::MatchesType("a.b.lgo", "lgo"));
    EXPECT_TRUE(frmFirmware::MatchesType("a.b.lgo", "b.lgo"));
    EXPECT_TRUE(frmFirmware::MatchesType("lgo", "lgo"));
    EXPECT_TRUE(frmFirmware::MatchesType("anything", "*.*"));
}

TEST_F(FileDialogTest, OpenRules)
{
    struct Case {
        const char* type;
        const char* name;
        bool accepted;
        bool notFound;
    };
    const Case cases[] = {
        {"lgo", "firm0309.lgo", true, false},
        {"lgo", "missing.lgo", false, true},
        {"dlg", "new list.dlg", true, false},  // a name for saving need not exist
        {"lgo", "*.lgo", false, false},        // a pattern is ignored
        {"dlg", "", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.shown.clear();
        auto d = dialog(c.type, root);
        d->txtFileName->setText(QString::fromLatin1(c.name));
        d->cmdOpen_Click();
        EXPECT_EQ(d->WasCanceled, c.accepted ? False : True);
        EXPECT_EQ(d->FirmFileName(), QString::fromLatin1(c.name));
        if (c.notFound) {
            ASSERT_EQ(presenter.shown.size(), 1);
            EXPECT_EQ(presenter.shown[0].text,
                      root + "/missing.lgo\r\nFile not found!\r\nCheck file name and path.");
            EXPECT_EQ(presenter.shown[0].style, 48);
        } else {
            EXPECT_TRUE(presenter.shown.isEmpty());
        }
    }
}

TEST_F(FileDialogTest, EnterPressesOpenAndCancelKeepsWasCanceled)
{
    auto d = dialog("lgo", root);
    d->txtFileName->setText("firm0309.lgo");
    QTest::keyClick(d->txtFileName, Qt::Key_Return);
    EXPECT_EQ(d->WasCanceled, False);

    auto c = dialog("lgo", root);
    c->txtFileName->setText("firm0309.lgo");
    c->CmdClose->click();
    EXPECT_EQ(c->WasCanceled, True);
}

TEST_F(FileDialogTest, ClickingAFileTakesItsNameAndDoubleClickWalksFolders)
{
    auto d = dialog("lgo", root);
    d->LV_ItemClick(d->LV->findItems("Beta.LGO", Qt::MatchExactly).first());
    EXPECT_EQ(d->txtFileName->text(), QStringLiteral("Beta.LGO"));
    EXPECT_EQ(d->FirmFileName(), QStringLiteral("Beta.LGO"));

    d->LV_ItemClick(d->LV->findItems("Zeta", Qt::MatchExactly).first());
    d->LV_DblClick();
    EXPECT_EQ(d->FullPath(), root + "/Zeta");
    EXPECT_EQ(entries(d->LV), (QStringList{"..:folder:UPDIR", "inner.lgo:file:RCX"}));
    d->LV_ItemClick(d->LV->item(0));
    d->LV_DblClick();
    EXPECT_EQ(d->FullPath(), root);

    d->LV_ItemClick(d->LV->findItems("firm0309.lgo", Qt::MatchExactly).first());
    d->LV_DblClick();
    EXPECT_EQ(d->WasCanceled, False);
}

// A folder typed into the path box and ended with Enter, on the keyboard,
// becomes the current folder; a file typed goes to its folder with its name
// in the name box; Enter there never presses Open.
TEST_F(FileDialogTest, ThePathBoxTakesATypedFolder)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", root.toLocal8Bit());
    struct Case {
        const char* typed;
        QString folder;  // the current folder afterwards
        const char* name;
        const char* message;  // empty: none
    };
    const Case cases[] = {
        {"", root + "/.local/share", "", ""},  // replaced by the full path below
        {".local/share", root + "/.local/share", "", ""},
        {"~/.local/share/", root + "/.local/share", "", ""},
        {"~", root, "", ""},
        {"  alpha/../Zeta  ", root + "/Zeta", "", ""},
        {"~/.local/share/deep.lgo", root + "/.local/share", "deep.lgo", ""},
        {"nowhere", root, "", "/nowhere\r\nFolder not found!"},
    };
    for (const Case& c : cases) {
        const QString typed = *c.typed ? QString::fromUtf8(c.typed) : root + "/.local/share";
        SCOPED_TRACE(typed.toStdString());
        presenter.shown.clear();
        auto d = dialog("lgo", root);
        d->show();
        d->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
        QTest::mouseClick(d->txtPath, Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), d->txtPath);
        d->txtPath->selectAll();
        QTest::keyClicks(d->txtPath, typed);
        QTest::keyClick(d->windowHandle(), Qt::Key_Return);
        EXPECT_EQ(d->FullPath(), c.folder);
        EXPECT_EQ(d->txtFileName->text(), QString::fromUtf8(c.name));
        EXPECT_EQ(d->WasCanceled, True);
        EXPECT_TRUE(d->isVisible());
        if (*c.name) {
            // The next Enter opens the file.
            EXPECT_EQ(QApplication::focusWidget(), d->txtFileName);
            QTest::keyClick(d->windowHandle(), Qt::Key_Return);
            EXPECT_EQ(d->WasCanceled, False);
        }
        if (*c.message) {
            EXPECT_EQ(presenter.texts(), QStringList{root + c.message});
        } else {
            EXPECT_TRUE(presenter.shown.isEmpty());
            EXPECT_EQ(d->txtPath->text(), c.folder);
        }
        if (c.folder == root + "/.local/share" && !*c.name) {
            EXPECT_EQ(entries(d->LV), (QStringList{"..:folder:UPDIR", "deep.lgo:file:RCX"}));
        }
        d->hide();
    }
    qputenv("HOME", home);

    // Left without Enter, the box shows the current folder again.
    auto d = dialog("lgo", root);
    d->show();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    QTest::mouseClick(d->txtPath, Qt::LeftButton);
    QTest::keyClicks(d->txtPath, "/elsewhere");
    QTest::mouseClick(d->txtFileName, Qt::LeftButton);
    EXPECT_EQ(d->txtPath->text(), root);
    EXPECT_EQ(d->FullPath(), root);
}

TEST_F(FileDialogTest, DefaultCheckBoxFollows)
{
    auto d = dialog("lgo", root);
    d->chkDefault->setChecked(true);
    EXPECT_EQ(d->DefaultFirm, True);
    d->chkDefault->setChecked(false);
    EXPECT_EQ(d->DefaultFirm, False);
}

TEST_F(FileDialogTest, AVanishedFolderFallsBackToTheRoot)
{
    auto d = dialog("lgo", root);
    QDir(root + "/alpha").removeRecursively();
    d->LV_ItemClick(d->LV->findItems("alpha", Qt::MatchExactly).first());
    d->LV_DblClick();
    EXPECT_EQ(presenter.texts(), QStringList{"Folder: " + root + "/alpha No longer exsist!"});
    EXPECT_EQ(d->FullPath(), QStringLiteral("/"));
    EXPECT_EQ(d->Drive1->currentText(), QStringLiteral("/"));
    EXPECT_TRUE(d->LV->findItems("..", Qt::MatchExactly).isEmpty());
}

TEST_F(FileDialogTest, ParentFolderOfTheRootIsEmpty)
{
    EXPECT_EQ(frmFirmware::ParentFolder("/home/user"), QStringLiteral("/home"));
    EXPECT_EQ(frmFirmware::ParentFolder("/home"), QStringLiteral("/"));
    EXPECT_EQ(frmFirmware::ParentFolder("/"), QString());
    EXPECT_EQ(frmFirmware::ParentFolder("plain"), QString());
    EXPECT_TRUE(frmFirmware::Drives().contains("/"));
}

class HelpTest : public ShellFixture {};

TEST_F(HelpTest, MissingHelpFileIsReportedAndNothingOpens)
{
    ShowHelp();
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Can't find Quillomt help file - Quillomat.html\r\n"
                                                      "Make sure the file is located in the same directory as "
                                                      "quillomat!"));
    EXPECT_EQ(presenter.shown[0].style, 48);
    EXPECT_EQ(LastHelpWindow(), nullptr);
}

TEST_F(HelpTest, CloseHelpClosesOnlyTheLastViewerAndSurvivesAClosedOne)
{
    touch(folder.path() + "/Quillomat.html");
    ShowHelp();
    QPointer<frmHelp> first = LastHelpWindow();
    ShowHelp();
    QPointer<frmHelp> second = LastHelpWindow();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    CloseHelp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CloseHelp();  // nothing left to close
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(HelpTest, AboutBoxTexts)
{
    frmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Quillomat"));
    EXPECT_TRUE(about.lblVersion->text().startsWith("Version "));
    EXPECT_TRUE(about.lblVersion->text().endsWith("  With USB IR Tower support."));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Quillomat - RCX Programming Environment"));
}

TEST_F(HelpTest, NoSystemInformationProgramGivesTheMessage)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", folder.path().toLocal8Bit());
    frmAbout about;
    about.StartSysInfo();
    qputenv("PATH", path);
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_EQ(presenter.shown[0].style, 0);
}

TEST_F(FileDialogTest, TheNameBoxIsNotSqueezedByTheDriveList)
{
    auto d = dialog("lgo", root);
    d->Drive1->addItem(QStringLiteral("/a/very/long/mount/point/of/some/removable/drive/somewhere"));
    d->show();
    EXPECT_GT(d->txtFileName->width(), d->width() / 2);
    EXPECT_GT(d->cmbFileType->width(), d->width() / 2);
}

TEST_F(HelpTest, FarewellWordsFitThePicture)
{
    frmByBy bye;
    EXPECT_EQ(bye.size(), QSize(121, 30));
    EXPECT_EQ(bye.Label1->text(), QStringLiteral("LOVE YOU BYE BYE"));
    EXPECT_LE(QFontMetrics(bye.Label1->font()).horizontalAdvance(bye.Label1->text()), bye.Picture1->width());
}
