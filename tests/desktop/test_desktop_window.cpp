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
    EXPECT_TRUE(txtTitle(f)->isVisible());
    EXPECT_EQ(txtTitle(f)->toPlainText(), QStringLiteral("[general task description]"));
    EXPECT_TRUE(chkTaskLoop(f)->isVisible());
    EXPECT_EQ(chkTaskLoop(f)->text(), QStringLiteral("Task in loop"));
    EXPECT_FALSE(chkTaskLoop(f)->isChecked());
    EXPECT_TRUE(chkStartOnStartup(f)->isVisible());
    EXPECT_EQ(chkStartOnStartup(f)->text(), QStringLiteral("Start Task when program start"));
    EXPECT_TRUE(chkStartOnStartup(f)->isChecked());
    EXPECT_FALSE(PicYesNo(f, 0)->isVisible());
    // The title box takes the strip's width right of the check boxes.
    EXPECT_GE(txtTitle(f)->x(), chkStartOnStartup(f)->x() + chkStartOnStartup(f)->width());
    EXPECT_EQ(txtTitle(f)->x(), PixX(12 * PixelTwipsX() + TwipX(chkStartOnStartup(f)->width())));
    EXPECT_EQ(txtTitle(f)->y(), 0);
    EXPECT_EQ(txtTitle(f)->height(), PixY(H - 3 * PixelTwipsY()));
    EXPECT_NEAR(txtTitle(f)->x() + txtTitle(f)->width(), f->width() - 2, 1);
    EXPECT_EQ(t->Dirty, False);

    // Clicking a flag changes the task at once.
    chkTaskLoop(f)->click();
    EXPECT_EQ(t->mLoop, 1);
    EXPECT_EQ(t->Dirty, True);
    t->Dirty = False;
    chkStartOnStartup(f)->click();
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
    EXPECT_EQ(chkTaskLoop(sub)->text(), QStringLiteral("Sub in loop"));
    EXPECT_TRUE(chkTaskLoop(sub)->isVisible());
    EXPECT_TRUE(chkTaskLoop(sub)->isChecked());
    EXPECT_FALSE(chkStartOnStartup(sub)->isVisible());
    EXPECT_EQ(txtTitle(sub)->toPlainText(), QStringLiteral("[general sub description]"));

    App().SetProjectType(ProjectType::JoystickKeyboard);
    frmDeskTop* task = OpenTask(AddTask(QStringLiteral("Joy")));
    ASSERT_NE(task, nullptr);
    EXPECT_TRUE(txtTitle(task)->isVisible());
    EXPECT_FALSE(chkTaskLoop(task)->isVisible());
    EXPECT_FALSE(chkStartOnStartup(task)->isVisible());
}

TEST_F(DeskTopTest, TitleBoxStoresDoubleQuotesAsSingleQuotes)
{
    auto t = AddTask(QStringLiteral("Main"));
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    txtTitle(f)->clear();
    t->Dirty = False;

    QTest::keyClicks(txtTitle(f), QStringLiteral("say \"hi\""));
    EXPECT_EQ(t->mTitle, QStringLiteral("say 'hi'"));
    EXPECT_EQ(t->Dirty, True);

    // Enter does not break the title.
    QTest::keyClick(txtTitle(f), Qt::Key_Return);
    EXPECT_EQ(t->mTitle, QStringLiteral("say 'hi'"));

    // A pasted title keeps to the same rules.
    QApplication::clipboard()->setText(QStringLiteral(" \"a\"\r\nb"));
    txtTitle(f)->paste();
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
    txtTitle(f)->clear();
    const QString euro = QStringLiteral("The character \u20ac (U+20AC) can't be used here");
    auto type = [&](const char* text) {
        QTest::sendKeyEvent(QTest::Click, txtTitle(f), Qt::Key_unknown, QString::fromUtf8(text), Qt::NoModifier);
    };
    auto compose = [&](const char* text) {
        QInputMethodEvent event;
        event.setCommitString(QString::fromUtf8(text));
        QApplication::sendEvent(txtTitle(f), &event);
    };

    QTest::keyClicks(txtTitle(f), QStringLiteral("caf"));
    type("\xc3\xa9");
    type("\xe2\x82\xac");
    EXPECT_EQ(t->mTitle, QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(presenter.texts(), QStringList{euro});
    EXPECT_EQ(presenter.shown.value(0).style, 48);

    QApplication::clipboard()->setText(QString::fromUtf8(" costs 5\xe2\x82\xac"));
    txtTitle(f)->paste();
    compose("\xe2\x82\xac");
    EXPECT_EQ(t->mTitle, QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(presenter.texts(), QStringList({euro, euro, euro}));

    compose(" \xc3\xbf");
    QApplication::clipboard()->setText(QStringLiteral(" \"ok\""));
    txtTitle(f)->paste();
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

    txtTitle(f)->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(f->TitleEditing());
    EXPECT_FALSE(txtTitle(f)->hasFocus());

    QTest::mouseClick(txtTitle(f)->viewport(), Qt::LeftButton);
    EXPECT_TRUE(f->TitleEditing());
    picDeskTop(f)->setFocus();
    EXPECT_FALSE(f->TitleEditing());
    // The click went with the focus: the next Tab into the box passes it on.
    txtTitle(f)->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(f->TitleEditing());
    EXPECT_FALSE(txtTitle(f)->hasFocus());
}

TEST_F(DeskTopTest, ScrollScrBringsTheCursorRowIntoView)
{
    auto t = AddTask(QStringLiteral("Main"));
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    f->SubWindow()->resize(f->SubWindow()->width(), 500);
    Flush();
    ASSERT_EQ(VScroll1(f)->value(), 0);
    const double c = H;
    const double h = TwipY(VScroll1(f)->height());
    auto inView = [&](int row) {
        const double v = VScroll1(f)->value();
        return v / c + 1 <= row && (h + v) / c >= row;
    };

    struct Step {
        const char* key;
        int row;
    } steps[] = {{"0003", 3}, {"0030", 30}, {"0140", 40}, {"0025", 25}, {"0002", 2}, {"0001", 1}};
    for (const auto& s : steps) {
        const int before = VScroll1(f)->value();
        const bool wasInView = inView(s.row);
        f->setCursorPos(QString::fromLatin1(s.key));
        f->ScrollScr();
        EXPECT_TRUE(inView(s.row)) << s.key;
        if (wasInView) {
            EXPECT_EQ(VScroll1(f)->value(), before) << s.key;
        }
        // The desk follows the bar.
        EXPECT_EQ(picDeskTop(f)->Top(), -VScroll1(f)->value());
    }
    // Rows are walked one cell at a time: from the top, row 30 ends with the
    // row just at the bottom of the view.
    VScroll1(f)->setValue(0);
    f->setCursorPos(QStringLiteral("0030"));
    f->ScrollScr();
    EXPECT_LT((h + VScroll1(f)->value() - c) / c, 30);
}

TEST_F(DeskTopTest, WindowWiderThanItsDeskSnapsBack)
{
    auto t = AddTask(QStringLiteral("Main"));
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    QMdiSubWindow* sub = f->SubWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_LE(sub->width(), picDeskTop(f)->width());
    EXPECT_EQ(sub->y(), 0);
    EXPECT_EQ(sub->x(), 0);
    // A new window is a little over two cells wide and as tall as the area.
    EXPECT_EQ(sub->width(), PixX((W + 4 * PixelTwipsX()) * 2.53 + TwipX(VScroll1(f)->width())));
    EXPECT_EQ(sub->height(), area->viewport()->height());

    sub->resize(picDeskTop(f)->width() + 300, 600);
    Flush();
    EXPECT_EQ(sub->width(), picDeskTop(f)->width());
    EXPECT_EQ(sub->height(), 600);
    // The title box follows the window's width.
    EXPECT_NEAR(txtTitle(f)->x() + txtTitle(f)->width(), f->width() - 2, 1);

    // The scroll bars follow the window's size; both columns fit across.
    EXPECT_EQ(VScroll1(f)->maximum(),
              vb::CLng(picDeskTop(f)->Height() - TwipY(f->height()) + TwipY(HScroll1(f)->height())));
    EXPECT_EQ(HScroll1(f)->maximum(), 0);
    EXPECT_EQ(VScroll1(f)->singleStep(), vb::CLng(TwipY(f->height()) / 9));
    EXPECT_EQ(VScroll1(f)->pageStep(), 3 * vb::CLng(TwipY(f->height()) / 9));
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
    EXPECT_EQ(f->ParentTitle(), QStringLiteral("IF Touch  > 0"));
    EXPECT_EQ(picModulTitle(f)->PictureKey(), QStringLiteral("L_IF"));
    EXPECT_FALSE(txtTitle(f)->isVisible());
    EXPECT_FALSE(chkTaskLoop(f)->isVisible());
    ASSERT_TRUE(PicYesNo(f, 0)->isVisible());
    ASSERT_TRUE(PicYesNo(f, 1)->isVisible());
    EXPECT_NE(picCommand(f, 2), nullptr);

    f->SubWindow()->resize(300, 500);
    Flush();
    ASSERT_GT(HScroll1(f)->maximum(), 0);
    for (int value : {0, 1000, HScroll1(f)->maximum() / 2, HScroll1(f)->maximum()}) {
        HScroll1(f)->setValue(value);
        for (int c = 0; c < 2; ++c) {
            const double centre = PicYesNo(f, c)->Left() + PicYesNo(f, c)->Width() / 2;
            EXPECT_DOUBLE_EQ(centre, 700 + c * W + W / 2 - value) << value;
            // On screen too: over the column of the desk.
            const int column = picDeskTop(f)->x() + PixX(700 + c * W + W / 2);
            EXPECT_NEAR(PicYesNo(f, c)->x() + PicYesNo(f, c)->width() / 2.0, column, 1.5) << value;
        }
    }

    // Scrolling down moves the desk only; the headers stay in the strip.
    const QPoint yes = PicYesNo(f, 0)->pos(), no = PicYesNo(f, 1)->pos();
    VScroll1(f)->setValue(3 * int(H));
    EXPECT_EQ(picDeskTop(f)->Top(), -3 * int(H));
    EXPECT_EQ(PicYesNo(f, 0)->pos(), yes);
    EXPECT_EQ(PicYesNo(f, 1)->pos(), no);
}

// The window list names a body window by its title: a new caption of its
// block (its frame's Ok) shows there at once, though the window is not
// painted while it is minimised.
TEST_F(DeskTopTest, ABodysTitleFollowsItsCaptionWhileItIsNotPainted)
{
    auto t = AddTask(QStringLiteral("Main"));
    auto ifCmd = Command(QStringLiteral("L_IF"), 0, 1, 1, QStringLiteral("If"), QStringLiteral("Touch\r\n> 0"));
    ifCmd->Commands = std::make_shared<CommandCollection>();
    Put(*t->Commands(), ifCmd);
    ASSERT_NE(OpenTask(t), nullptr);
    frmDeskTop* f = OpenBody(ModuleKind::IfBody, ifCmd.get(), QStringLiteral("Main"), ifCmd->PicCaption(1));
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->ParentTitle(), QStringLiteral("IF Touch  > 0"));
    f->SubWindow()->showMinimized();
    Flush();
    f->setParentCaption(QStringLiteral("Light\r\n< 40"));
    Flush();
    EXPECT_EQ(f->ParentTitle(), QStringLiteral("IF Light  < 40"));
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
        EXPECT_EQ(f->ParentTitle(), QString::fromLatin1(c.header) + QStringLiteral(" 3 times"));
        EXPECT_EQ(picModulTitle(f)->PictureKey(), QString::fromLatin1(c.key));
        EXPECT_FALSE(PicYesNo(f, 0)->isVisible());
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
    EXPECT_EQ(picCommand(fa, 1)->BackColor(), DeskView::UnselectedColor(*fa));
    EXPECT_FALSE(fa->Document().CursorVisible);
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
    rem->setPicCaption(1, DeskView::WrapCaption(QStringLiteral("Look for the black line on the floor"), W));
    picCommand(task, rem->PicIndex)->update();
    task->setCursorPos(QStringLiteral("0006"));
    save(task->SubWindow(), "task_window.png");

    frmDeskTop* body = OpenBody(ModuleKind::IfBody, ifCmd.get(), QStringLiteral("Main"), ifCmd->PicCaption(1));
    ASSERT_NE(body, nullptr);
    body->SubWindow()->move(task->SubWindow()->width(), 0);
    save(body->SubWindow(), "if_window.png");
    HScroll1(body)->setValue(700);
    save(body->SubWindow(), "if_window_scrolled.png");
    HScroll1(body)->setValue(0);

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
    ASSERT_GT(area->viewport()->width(), picDeskTop(f)->width());
    f->SubWindow()->showMaximized();
    Flush();
    EXPECT_LE(f->SubWindow()->width(), picDeskTop(f)->width());
}
