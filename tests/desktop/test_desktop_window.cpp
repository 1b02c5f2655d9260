// The editor window as a window: title strip, scrolling, sizing, activation,
// closing with the windows of its blocks, and the map refresh.
#include "DeskTopFixture.h"

#include "model/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>

namespace {

const double W = frmDeskTop::CommandWidth;
const double H = frmDeskTop::CommandHeight;

}  // namespace

TEST_F(DeskTopTest, TaskTitleStripShowsTitleAndBothFlags)
{
    auto t = AddTask(QStringLiteral("Main"));
    t->mLoop = 0;
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->txtTitle->isVisible());
    EXPECT_EQ(f->txtTitle->toPlainText(), QStringLiteral("[general task description]"));
    EXPECT_TRUE(f->chkTaskLoop->isVisible());
    EXPECT_EQ(f->chkTaskLoop->text(), QStringLiteral("Task in loop"));
    EXPECT_FALSE(f->chkTaskLoop->isChecked());
    EXPECT_TRUE(f->chkStartOnStartup->isVisible());
    EXPECT_EQ(f->chkStartOnStartup->text(), QStringLiteral("Start Task when program start"));
    EXPECT_TRUE(f->chkStartOnStartup->isChecked());
    EXPECT_FALSE(f->PicYesNo[0]->isVisible());
    // The title box takes the strip's width right of the check boxes.
    EXPECT_GE(f->txtTitle->x(), f->chkStartOnStartup->x() + f->chkStartOnStartup->width());
    EXPECT_EQ(f->txtTitle->x(), PixX(12 * PixelTwipsX() + TwipX(f->chkStartOnStartup->width())));
    EXPECT_EQ(f->txtTitle->y(), 0);
    EXPECT_EQ(f->txtTitle->height(), PixY(H - 3 * PixelTwipsY()));
    EXPECT_NEAR(f->txtTitle->x() + f->txtTitle->width(), f->width() - 2, 1);
    EXPECT_EQ(t->Dirty, False);

    // Clicking a flag changes the task at once.
    f->chkTaskLoop->click();
    EXPECT_EQ(t->mLoop, 1);
    EXPECT_EQ(t->Dirty, True);
    t->Dirty = False;
    f->chkStartOnStartup->click();
    EXPECT_EQ(t->StartOnStartup, 0);
    EXPECT_EQ(t->Dirty, True);
}

TEST_F(DeskTopTest, SubAndJoystickTitleStrips)
{
    auto s = std::make_shared<clsSub>();
    s->Name = QStringLiteral("Blink");
    s->mLoop = 1;
    s->mTitle = QStringLiteral("[general sub description]");
    App().AddModule(s);
    OpenCommandWindow(ModuleKind::Sub, s.get(), QString(), QString());
    Flush();
    frmDeskTop* sub = WindowOf(s.get());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->chkTaskLoop->text(), QStringLiteral("Sub in loop"));
    EXPECT_TRUE(sub->chkTaskLoop->isVisible());
    EXPECT_TRUE(sub->chkTaskLoop->isChecked());
    EXPECT_FALSE(sub->chkStartOnStartup->isVisible());
    EXPECT_EQ(sub->txtTitle->toPlainText(), QStringLiteral("[general sub description]"));

    App().SetProjectType(ProjectType::JoystickKeyboard);
    frmDeskTop* task = OpenTask(AddTask(QStringLiteral("Joy")));
    ASSERT_NE(task, nullptr);
    EXPECT_TRUE(task->txtTitle->isVisible());
    EXPECT_FALSE(task->chkTaskLoop->isVisible());
    EXPECT_FALSE(task->chkStartOnStartup->isVisible());
}

TEST_F(DeskTopTest, TitleBoxStoresDoubleQuotesAsSingleQuotes)
{
    auto t = AddTask(QStringLiteral("Main"));
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    f->txtTitle->clear();
    t->Dirty = False;

    QTest::keyClicks(f->txtTitle, QStringLiteral("say \"hi\""));
    EXPECT_EQ(t->mTitle, QStringLiteral("say 'hi'"));
    EXPECT_EQ(t->Dirty, True);

    // Enter does not break the title.
    QTest::keyClick(f->txtTitle, Qt::Key_Return);
    EXPECT_EQ(t->mTitle, QStringLiteral("say 'hi'"));

    // A pasted title keeps to the same rules.
    QApplication::clipboard()->setText(QStringLiteral(" \"a\"\r\nb"));
    f->txtTitle->paste();
    EXPECT_EQ(t->mTitle, QStringLiteral("say 'hi' 'a' b"));
}

// The task file carries Latin-1 only: a title character beyond it is refused
// with a message naming it as it is typed, pasted or composed, and the title
// stays as it was; Latin-1 letters are taken.
TEST_F(DeskTopTest, TitleBoxRefusesCharactersTheTaskFileCantCarry)
{
    auto t = AddTask(QStringLiteral("Main"));
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    f->txtTitle->clear();
    const QString euro = QStringLiteral("The character \u20ac (U+20AC) can't be used here");
    auto type = [&](const char* text) {
        QTest::sendKeyEvent(QTest::Click, f->txtTitle, Qt::Key_unknown, QString::fromUtf8(text), Qt::NoModifier);
    };
    auto compose = [&](const char* text) {
        QInputMethodEvent event;
        event.setCommitString(QString::fromUtf8(text));
        QApplication::sendEvent(f->txtTitle, &event);
    };

    QTest::keyClicks(f->txtTitle, QStringLiteral("caf"));
    type("\xc3\xa9");
    type("\xe2\x82\xac");
    EXPECT_EQ(t->mTitle, QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(presenter.texts(), QStringList{euro});
    EXPECT_EQ(presenter.shown.value(0).style, 48);

    QApplication::clipboard()->setText(QString::fromUtf8(" costs 5\xe2\x82\xac"));
    f->txtTitle->paste();
    compose("\xe2\x82\xac");
    EXPECT_EQ(t->mTitle, QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(presenter.texts(), QStringList({euro, euro, euro}));

    compose(" \xc3\xbf");
    QApplication::clipboard()->setText(QStringLiteral(" \"ok\""));
    f->txtTitle->paste();
    EXPECT_EQ(t->mTitle, QString::fromUtf8("caf\xc3\xa9 \xc3\xbf 'ok'"));
    EXPECT_EQ(presenter.shown.size(), 3);
}

TEST_F(DeskTopTest, TitleBoxTakesTheFocusOnlyFromAClick)
{
    auto t = AddTask(QStringLiteral("Main"));
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    f->ZOrder();
    area->activateWindow();
    Flush();

    f->txtTitle->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(f->TitleEditing, False);
    EXPECT_FALSE(f->txtTitle->hasFocus());

    QTest::mouseClick(f->txtTitle->viewport(), Qt::LeftButton);
    EXPECT_EQ(f->TitleEditing, True);
    f->picDeskTop->setFocus();
    EXPECT_EQ(f->TitleEditing, False);
    EXPECT_EQ(f->TitleClicked, False);
}

TEST_F(DeskTopTest, ScrollScrBringsTheCursorRowIntoView)
{
    auto t = AddTask(QStringLiteral("Main"));
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    f->SubWindow()->resize(f->SubWindow()->width(), 500);
    Flush();
    ASSERT_EQ(f->VScroll1->value(), 0);
    const double c = f->CellHeight();
    const double h = TwipY(f->VScroll1->height());
    auto inView = [&](int row) {
        const double v = f->VScroll1->value();
        return v / c + 1 <= row && (h + v) / c >= row;
    };

    struct Step {
        const char* key;
        int row;
    } steps[] = {{"0003", 3}, {"0030", 30}, {"0140", 40}, {"0025", 25}, {"0002", 2}, {"0001", 1}};
    for (const auto& s : steps) {
        const int before = f->VScroll1->value();
        const bool wasInView = inView(s.row);
        f->setCursorPos(QString::fromLatin1(s.key));
        f->ScrollScr();
        EXPECT_TRUE(inView(s.row)) << s.key;
        if (wasInView) {
            EXPECT_EQ(f->VScroll1->value(), before) << s.key;
        }
        // The desk follows the bar.
        EXPECT_EQ(f->picDeskTop->Top(), -f->VScroll1->value());
    }
    // Rows are walked one cell at a time: from the top, row 30 ends with the
    // row just at the bottom of the view.
    f->VScroll1->setValue(0);
    f->setCursorPos(QStringLiteral("0030"));
    f->ScrollScr();
    EXPECT_LT((h + f->VScroll1->value() - c) / c, 30);
}

TEST_F(DeskTopTest, WindowWiderThanItsDeskSnapsBack)
{
    auto t = AddTask(QStringLiteral("Main"));
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    QMdiSubWindow* sub = f->SubWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_LE(sub->width(), f->picDeskTop->width());
    EXPECT_EQ(sub->y(), 0);
    EXPECT_EQ(sub->x(), 0);
    // A new window is a little over two cells wide and as tall as the area.
    EXPECT_EQ(sub->width(), PixX((W + 4 * PixelTwipsX()) * 2.53 + TwipX(f->VScroll1->width())));
    EXPECT_EQ(sub->height(), area->viewport()->height());

    sub->resize(f->picDeskTop->width() + 300, 600);
    Flush();
    EXPECT_EQ(sub->width(), f->picDeskTop->width());
    EXPECT_EQ(sub->height(), 600);
    // The title box follows the window's width.
    EXPECT_NEAR(f->txtTitle->x() + f->txtTitle->width(), f->width() - 2, 1);

    // The scroll bars follow the window's size; both columns fit across.
    EXPECT_EQ(f->VScroll1->maximum(),
              vb::CLng(f->picDeskTop->Height() - f->ScaleHeight() + TwipY(f->HScroll1->height())));
    EXPECT_EQ(f->HScroll1->maximum(), 0);
    EXPECT_EQ(f->VScroll1->singleStep(), vb::CLng(f->ScaleHeight() / 9));
    EXPECT_EQ(f->VScroll1->pageStep(), 3 * vb::CLng(f->ScaleHeight() / 9));
}

TEST_F(DeskTopTest, IfBodyShowsHeaderAndCentredYesNoAtEveryScrollPosition)
{
    auto t = AddTask(QStringLiteral("Main"));
    auto ifCmd = Command(QStringLiteral("L_IF"), 0, 1, 1, QStringLiteral("If"), QStringLiteral("Touch\r\n> 0"));
    ifCmd->Commands = std::make_shared<CommandCollection>();
    Put(*ifCmd->Commands, Command(QStringLiteral("M_ON"), 0, 1, 1, QStringLiteral("Start motor")));
    Put(*ifCmd->Commands, Command(QStringLiteral("M_OFF"), 1, 1, 2, QStringLiteral("Stop motor")));
    Put(*t->Commands(), ifCmd);
    ASSERT_NE(OpenTask(t), nullptr);

    frmDeskTop* f = OpenBody(ModuleKind::IfBody, ifCmd.get(), QStringLiteral("Main"), QStringLiteral("Touch\r\n> 0"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Caption(), QStringLiteral("Main"));
    EXPECT_EQ(f->HeaderText, QStringLiteral("IF"));
    EXPECT_EQ(f->ParentTitle(), QStringLiteral("IF Touch  > 0"));
    EXPECT_EQ(f->picModulTitle->PictureKey(), QStringLiteral("L_IF"));
    EXPECT_FALSE(f->txtTitle->isVisible());
    EXPECT_FALSE(f->chkTaskLoop->isVisible());
    ASSERT_TRUE(f->PicYesNo[0]->isVisible());
    ASSERT_TRUE(f->PicYesNo[1]->isVisible());
    EXPECT_NE(f->picCommand(2), nullptr);

    f->SubWindow()->resize(300, 500);
    Flush();
    ASSERT_GT(f->HScroll1->maximum(), 0);
    for (int value : {0, 1000, f->HScroll1->maximum() / 2, f->HScroll1->maximum()}) {
        f->HScroll1->setValue(value);
        for (int c = 0; c < 2; ++c) {
            const double centre = f->PicYesNo[c]->Left() + f->PicYesNo[c]->Width() / 2;
            EXPECT_DOUBLE_EQ(centre, 700 + c * W + W / 2 - value) << value;
            // On screen too: over the column of the desk.
            const int column = f->picDeskTop->x() + PixX(700 + c * W + W / 2);
            EXPECT_NEAR(f->PicYesNo[c]->x() + f->PicYesNo[c]->width() / 2.0, column, 1.5) << value;
        }
    }

    // Scrolling down moves the desk only; the headers stay in the strip.
    const QPoint yes = f->PicYesNo[0]->pos(), no = f->PicYesNo[1]->pos();
    f->VScroll1->setValue(3 * int(H));
    EXPECT_EQ(f->picDeskTop->Top(), -3 * int(H));
    EXPECT_EQ(f->PicYesNo[0]->pos(), yes);
    EXPECT_EQ(f->PicYesNo[1]->pos(), no);
}

TEST_F(DeskTopTest, WhileAndLoopBodiesShowTheirHeaders)
{
    auto t = AddTask(QStringLiteral("Main"));
    struct Case {
        Long kind;
        const char* key;
        const char* header;
    } cases[] = {{ModuleKind::WhileBody, "L_WHILE", "WHILE"}, {ModuleKind::LoopBody, "L_LOOP", "LOOP"}};
    int row = 1;
    for (const auto& c : cases) {
        auto block = Command(QString::fromLatin1(c.key), 0, row, row, QStringLiteral("x"), QStringLiteral("3 times"));
        ++row;
        block->Commands = std::make_shared<CommandCollection>();
        Put(*t->Commands(), block);
        frmDeskTop* f = OpenBody(c.kind, block.get(), QStringLiteral("Main"), QStringLiteral("3 times"));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->HeaderText, QString::fromLatin1(c.header));
        EXPECT_EQ(f->ParentTitle(), QString::fromLatin1(c.header) + QStringLiteral(" 3 times"));
        EXPECT_EQ(f->picModulTitle->PictureKey(), QString::fromLatin1(c.key));
        EXPECT_FALSE(f->PicYesNo[0]->isVisible());
    }
}

TEST_F(DeskTopTest, ClosingATaskWindowClosesTheWindowsOfItsBlocks)
{
    auto t = AddTask(QStringLiteral("Main"));
    auto ifCmd = Command(QStringLiteral("L_IF"), 0, 1, 1, QStringLiteral("If"));
    ifCmd->Commands = std::make_shared<CommandCollection>();
    auto whileCmd = Command(QStringLiteral("L_WHILE"), 1, 2, 1, QStringLiteral("While"));
    whileCmd->Commands = std::make_shared<CommandCollection>();
    Put(*whileCmd->Commands, Command(QStringLiteral("M_ON"), 0, 1, 1));
    Put(*ifCmd->Commands, whileCmd);
    Put(*t->Commands(), ifCmd);
    // A second task keeps its window.
    auto other = AddTask(QStringLiteral("Other"));

    ASSERT_NE(OpenTask(t), nullptr);
    ASSERT_NE(OpenBody(ModuleKind::IfBody, ifCmd.get(), QStringLiteral("Main"), QString()), nullptr);
    ASSERT_NE(OpenBody(ModuleKind::WhileBody, whileCmd.get(), QStringLiteral("Main"), QString()), nullptr);
    ASSERT_NE(OpenTask(other), nullptr);
    EXPECT_EQ(area->subWindowList().size(), 4);

    WindowOf(t.get())->Close();
    Flush();
    EXPECT_EQ(t->CommandWindow, nullptr);
    EXPECT_EQ(ifCmd->CommandWindow, nullptr);
    EXPECT_EQ(whileCmd->CommandWindow, nullptr);
    EXPECT_NE(other->CommandWindow, nullptr);
    EXPECT_EQ(area->subWindowList().size(), 1);

    // The next request makes a new window.
    frmDeskTop* again = OpenTask(t);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(area->subWindowList().size(), 2);
    again->Close();
    WindowOf(other.get())->Close();
    Flush();
    EXPECT_TRUE(area->subWindowList().isEmpty());
}

TEST_F(DeskTopTest, LeavingAWindowHidesItsCursorAndClearsItsSelection)
{
    auto a = AddTask(QStringLiteral("A"));
    auto cmd = Command(QStringLiteral("M_ON"), 0, 1, 1);
    Put(*a->Commands(), cmd);
    frmDeskTop* fa = OpenTask(a);
    ASSERT_NE(fa, nullptr);
    fa->setCursorPos(QStringLiteral("0105"));
    fa->setCursorPos(QStringLiteral("0001"));
    ASSERT_EQ(cmd->PicSelected, True);
    ASSERT_EQ(area->activeSubWindow(), fa->SubWindow());

    frmDeskTop* fb = OpenTask(AddTask(QStringLiteral("B")));
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(area->activeSubWindow(), fb->SubWindow());
    EXPECT_EQ(cmd->PicSelected, False);
    EXPECT_EQ(fa->picCommand(1)->BackColor(), fa->UnselectedColor());
    EXPECT_FALSE(fa->shpCursor.Visible);
    EXPECT_EQ(fa->CursorPos(), QStringLiteral("0001"));
}

TEST_F(DeskTopTest, UpdateMapRefreshesTheWindowsModule)
{
    auto t = AddTask(QStringLiteral("Main"));
    auto s = std::make_shared<clsSub>();
    s->Name = QStringLiteral("Blink");
    App().AddModule(s);
    auto loop = Command(QStringLiteral("L_LOOP"), 0, 1, 1);
    loop->Commands = std::make_shared<CommandCollection>();
    Put(*t->Commands(), loop);

    frmDeskTop* task = OpenTask(t);
    ASSERT_NE(task, nullptr);
    frmDeskTop* body = OpenBody(ModuleKind::LoopBody, loop.get(), QStringLiteral("Main"), QString());
    ASSERT_NE(body, nullptr);
    windows.mapUpdates.clear();

    task->UpdateMap();
    EXPECT_EQ(windows.mapUpdates, QStringList{QStringLiteral("Main")});

    struct Case {
        const char* caption;
        QStringList updates;
    } cases[] = {
        {"main", {QStringLiteral("Main")}},
        {"BLINK", {QStringLiteral("Blink")}},
        {"Nobody", {}},
    };
    for (const auto& c : cases) {
        windows.mapUpdates.clear();
        body->setCaption(QString::fromLatin1(c.caption));
        body->UpdateMap();
        EXPECT_EQ(windows.mapUpdates, c.updates) << c.caption;
    }

    frmDeskTop loose;
    windows.mapUpdates.clear();
    loose.UpdateMap();  // no kind yet
    EXPECT_TRUE(windows.mapUpdates.isEmpty());
}

// Saves pictures of the editor windows as a user sees them when QM_GRAB_DIR
// names a folder; otherwise there is nothing to do. A task of several
// commands, the body of its IF (both columns, a WHILE inside), that WHILE's
// body, a sub, and a task of a Joystick & Keyboard project, in an MDI area of
// a common size.
TEST_F(DeskTopTest, GrabWindowsToPictures)
{
    const QString dir = qEnvironmentVariable("QM_GRAB_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "QM_GRAB_DIR not set";
    auto save = [&](QWidget* w, const char* name) {
        Flush();
        EXPECT_TRUE(w->grab().save(QDir(dir).filePath(QString::fromLatin1(name)))) << name;
    };
    area->resize(1000, 800);
    Flush();

    auto t = AddTask(QStringLiteral("Main"));
    t->mTitle = QStringLiteral("Drive to the line and back");
    auto on = Command(QStringLiteral("M_ON"), 0, 1, 1, QStringLiteral("Start motor"), QStringLiteral("A, C"));
    on->MotorList = QStringLiteral("02");
    auto floatOff = Command(QStringLiteral("M_OFF"), 0, 2, 2, QStringLiteral("Stop motor"), QStringLiteral("Float A"));
    floatOff->Op = 0;
    auto ifCmd = Command(QStringLiteral("L_IF"), 0, 3, 3, QStringLiteral("If"),
                         QStringLiteral("Touch sensor 1\r\n= 1"));
    auto wait = Command(QStringLiteral("G_WAIT"), 0, 4, 4, QStringLiteral("Wait"),
                        QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));
    auto brakeOff = Command(QStringLiteral("M_OFF"), 1, 1, 5, QStringLiteral("Stop motor"), QStringLiteral("Brake C"));
    brakeOff->Op = 1;
    auto rem = Command(QStringLiteral("A_REM"), 1, 2, 6, QStringLiteral("Remark"));
    for (const auto& c : {on, floatOff, ifCmd, wait, brakeOff, rem})
        Put(*t->Commands(), c);

    ifCmd->Commands = std::make_shared<CommandCollection>();
    auto whileCmd = Command(QStringLiteral("L_WHILE"), 0, 2, 2, QStringLiteral("While"),
                            QStringLiteral("Light sensor 2\r\n< 40"));
    whileCmd->Commands = std::make_shared<CommandCollection>();
    Put(*whileCmd->Commands, Command(QStringLiteral("M_FWD"), 0, 1, 1, QStringLiteral("Forward"), QStringLiteral("A")));
    Put(*ifCmd->Commands, Command(QStringLiteral("M_FWD"), 0, 1, 1, QStringLiteral("Forward"), QStringLiteral("A, C")));
    Put(*ifCmd->Commands, whileCmd);
    Put(*ifCmd->Commands, Command(QStringLiteral("M_RWD"), 1, 1, 3, QStringLiteral("Backward"), QStringLiteral("A")));
    Put(*ifCmd->Commands, Command(QStringLiteral("G_SOUND"), 1, 2, 4, QStringLiteral("Sound"), QStringLiteral("Beep")));

    frmDeskTop* task = OpenTask(t);
    ASSERT_NE(task, nullptr);
    // A long remark wrapped as the frames wrap it.
    rem->setPicCaption(1, task->WrapCaption(QStringLiteral("Look for the black line on the floor")));
    task->RepaintCommand(rem->PicIndex);
    task->setCursorPos(QStringLiteral("0006"));
    save(task->SubWindow(), "task_window.png");

    frmDeskTop* body = OpenBody(ModuleKind::IfBody, ifCmd.get(), QStringLiteral("Main"), ifCmd->PicCaption(1));
    ASSERT_NE(body, nullptr);
    body->SubWindow()->move(task->SubWindow()->width(), 0);
    save(body->SubWindow(), "if_window.png");
    body->HScroll1->setValue(700);
    save(body->SubWindow(), "if_window_scrolled.png");
    body->HScroll1->setValue(0);

    frmDeskTop* inner = OpenBody(ModuleKind::WhileBody, whileCmd.get(), QStringLiteral("Main"),
                                 whileCmd->PicCaption(1));
    ASSERT_NE(inner, nullptr);
    inner->SubWindow()->move(2 * task->SubWindow()->width(), 0);
    save(inner->SubWindow(), "while_window.png");
    save(area.get(), "mdi_area.png");

    // A window made wider than its desk snaps back.
    inner->SubWindow()->resize(area->viewport()->width(), inner->SubWindow()->height());
    inner->SubWindow()->move(0, 0);
    save(area.get(), "mdi_area_snapped.png");
    inner->Close();
    body->Close();

    auto s = std::make_shared<clsSub>();
    s->Name = QStringLiteral("Blink");
    s->mTitle = QStringLiteral("[general sub description]");
    App().AddModule(s);
    OpenCommandWindow(ModuleKind::Sub, s.get(), QString(), QString());
    Flush();
    ASSERT_NE(WindowOf(s.get()), nullptr);
    save(WindowOf(s.get())->SubWindow(), "sub_window.png");

    App().SetProjectType(ProjectType::JoystickKeyboard);
    frmDeskTop* joy = OpenTask(AddTask(QStringLiteral("Joy")));
    ASSERT_NE(joy, nullptr);
    save(joy->SubWindow(), "joystick_task_window.png");
}

TEST_F(DeskTopTest, MaximisedWindowStaysWithinItsDesk)
{
    frmDeskTop* f = OpenTask(AddTask(QStringLiteral("Main")));
    ASSERT_NE(f, nullptr);
    ASSERT_GT(area->viewport()->width(), f->picDeskTop->width());
    f->SubWindow()->showMaximized();
    Flush();
    EXPECT_LE(f->SubWindow()->width(), f->picDeskTop->width());
}
