// The parameter frames in the editor window: Enter, a double click or the
// menu opens the frame of the command at the cursor inside its picture, Ok
// writes it and closes the frame, Esc and leaving the window cancel it, and
// what was typed reaches the listing.
#include "DeskTopFixture.h"

#include "compiler/CompileContext.h"
#include "compiler/Translate.h"
#include "model/Twips.h"
#include "FrameInput.h"
#include "desktop/frames/FrameWidgets.h"
#include "desktop/frames/ImageList.h"
#include "model/NamedValues.h"
#include "support/PrintTexts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {

class FramesInWindowTest : public DeskTopTest {
protected:
    void SetUp() override
    {
        DeskTopTest::SetUp();
        FillNameTables();
        BuildRcxObjects();
        App().EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
        App().EditMotor(2, [&](clsMotor& m) { m.setMotorType(1); });
        task = AddTask(QStringLiteral("Main"));
        motor = Command(QStringLiteral("M_ON"), 0, 1, 1, QStringLiteral("Start motor"));
        motor->Op = 0;
        iff = Command(QStringLiteral("L_IF"), 0, 2, 2, QStringLiteral("IF"));
        iff->Op = -1;
        iff->Commands = std::make_shared<CommandCollection>();
        pboff = Command(QStringLiteral("G_PBOFF"), 0, 3, 3, QStringLiteral("Power off"));
        for (const auto& c : {motor, iff, pboff})
            Put(*task->Commands(), c);
        window = OpenTask(task);
        ASSERT_NE(window, nullptr);
        task->Dirty = False;
    }

    // A key given to the desk: the grid's keys, and Ok and Cancel of an open frame.
    void key(Qt::Key k) { QTest::keyClick(picDeskTop(window), k); }
    void enter() { key(Qt::Key_Return); }
    void escape() { key(Qt::Key_Escape); }
    // Opens the frame of the command in that cell, as the popup menu does.
    void edit(const char* cell)
    {
        window->setCursorPos(QString::fromLatin1(cell));
        MenuItem(window, "mnuUpdate")->trigger();
    }
    // The user goes to another window, and comes back.
    void leave()
    {
        if (!other)
            other = OpenTask(AddTask(QStringLiteral("Other")));
        area->setActiveSubWindow(other->SubWindow());
        Flush();
        ASSERT_EQ(area->activeSubWindow(), other->SubWindow());
    }
    void comeBack()
    {
        area->setActiveSubWindow(window->SubWindow());
        Flush();
    }
    // Adds a command to the task and opens its window again to show it.
    frmDeskTop* reopenWith(const std::shared_ptr<clsCommand>& added)
    {
        Put(*task->Commands(), added);
        window->Close();
        Flush();
        window = OpenTask(task);
        return window;
    }

    QStringList listing()
    {
        CompileContext compile(App());
        DLCommands(App(), task->Commands().get(), ModuleKind::Task, CompileMode::Listing, 0, QStringLiteral("Main"), 0,
                   &compile);
        return compile.ListingText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    TaskPtr task;
    std::shared_ptr<clsCommand> motor, iff, pboff;
    frmDeskTop* window = nullptr;
    frmDeskTop* other = nullptr;
};

TEST_F(FramesInWindowTest, EnterOpensTheMotorFrameInsideThePictureAndOkWritesIt)
{
    window->setCursorPos(QStringLiteral("0001"));
    enter();
    ASSERT_TRUE(window->CommandInEdit());
    EXPECT_EQ(window->CommandInEditType(), QStringLiteral("M_ON"));
    MotorFrameWidget* f = FraMotor(window);
    ASSERT_TRUE(f->isVisible());
    PicCommandBox* pic = picCommand(window, motor->PicIndex);
    // The picture grows around the frame, which sits below the caption lines.
    EXPECT_EQ(PixX(pic->Width()), f->width() + 11);
    EXPECT_EQ(PixY(pic->Height()), PixY(frmDeskTop::CommandHeight) + f->height() + 10);
    EXPECT_EQ(f->y(), pic->y() + PixY(frmDeskTop::CommandHeight));
    EXPECT_EQ(f->x(), pic->x() + 4);
    EXPECT_TRUE(f->chkMotor[0]->isVisible());
    EXPECT_FALSE(f->chkMotor[1]->isVisible());
    EXPECT_TRUE(f->chkMotor[2]->isVisible());

    // While the frame is open the grid's keys do nothing.
    key(Qt::Key_Down);
    EXPECT_EQ(window->CursorPos(), QStringLiteral("0001"));

    QTest::mouseClick(f->chkMotor[2], Qt::LeftButton);
    QTest::mouseClick(f->chkTime, Qt::LeftButton);
    typeInto(f->cmbTimeCount, "4");
    // Enter typed into the count presses Ok.
    window->activateWindow();
    f->cmbTimeCount->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), f->cmbTimeCount);
    QTest::keyClick(f->cmbTimeCount, Qt::Key_Return);
    EXPECT_FALSE(window->CommandInEdit());
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(pic->Width(), frmDeskTop::CommandWidth);
    EXPECT_EQ(pic->Height(), frmDeskTop::CommandHeight);
    EXPECT_EQ(motor->MotorList, QStringLiteral("2"));
    EXPECT_EQ(motor->PicCaption(1), QStringLiteral("C \r\nAnd wait 4 \r\nSeconds"));
    EXPECT_EQ(task->Dirty, True);
    EXPECT_TRUE(windows.mapUpdates.contains(QStringLiteral("Main")));
    EXPECT_EQ(listing().mid(0, 2), QStringList({" .On 2", " .Wait 2,400"}));
}

TEST_F(FramesInWindowTest, EscapeAndLeavingTheWindowCancel)
{
    motor->MotorList = QStringLiteral("0");
    edit("0001");
    QTest::mouseClick(FraMotor(window)->chkMotor[0], Qt::LeftButton);
    // A failed Ok leaves the frame open.
    enter();
    EXPECT_EQ(presenter.texts(), QStringList{"No motor selected"});
    EXPECT_TRUE(window->CommandInEdit());
    // One that fails after the motors were written: Esc puts them back.
    QTest::mouseClick(FraMotor(window)->chkMotor[2], Qt::LeftButton);
    QTest::mouseClick(FraMotor(window)->chkTime, Qt::LeftButton);
    typeInto(FraMotor(window)->cmbTimeCount, "400");
    enter();
    EXPECT_EQ(presenter.texts().last(), QStringLiteral("Too much time"));
    EXPECT_EQ(motor->MotorList, QStringLiteral("2"));
    escape();
    EXPECT_FALSE(window->CommandInEdit());
    EXPECT_FALSE(FraMotor(window)->isVisible());
    EXPECT_EQ(motor->MotorList, QStringLiteral("0"));

    edit("0002");
    ASSERT_TRUE(fraLogic(window)->isVisible());
    chooseText(fraLogic(window)->cmbParam1, "Timer 1");
    typeInto(fraLogic(window)->cmbParam2, "5");
    leave();
    EXPECT_FALSE(window->CommandInEdit());
    EXPECT_FALSE(fraLogic(window)->isVisible());
    EXPECT_EQ(iff->Param1Value, Variant(-1));
    EXPECT_EQ(iff->Op, -1);
}

TEST_F(FramesInWindowTest, IfEditedThroughItsFrameOpensItsBodyWithTheNewCaption)
{
    motor->MotorList = QStringLiteral("0");
    window->setCursorPos(QStringLiteral("0002"));
    QTest::mouseDClick(picCommand(window, iff->PicIndex), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    LogicFrameWidget* f = fraLogic(window);
    ASSERT_TRUE(f->isVisible());
    EXPECT_TRUE(f->cmdOkOpenLogic->isVisible());
    EXPECT_EQ(f->lblOperator->text(), QStringLiteral(">"));
    chooseText(f->cmbParam1, "Timer 1");
    QTest::mouseClick(f->lblOperator, Qt::LeftButton);
    typeInto(f->cmbParam2, "-1");
    QTest::mouseClick(f->cmdOkOpenLogic, Qt::LeftButton);
    Flush();
    EXPECT_FALSE(window->CommandInEdit());
    EXPECT_EQ(iff->Param1Source, Variant(1));
    EXPECT_EQ(iff->Param2Value, Variant("-1"));
    EXPECT_EQ(iff->Op, 1);
    EXPECT_EQ(iff->PicCaption(1), QStringLiteral("Timer 1\r\nis Less than \r\n-1"));
    frmDeskTop* body = WindowOf(iff.get());
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->ParentTitle(), QStringLiteral("IF Timer 1  is Less than   -1"));

    // Ok again with a new value: the open body's title follows.
    edit("0002");
    typeInto(f->cmbParam2, "7");
    QTest::mouseClick(f->cmdOkLogic, Qt::LeftButton);
    EXPECT_EQ(body->ParentTitle(), QStringLiteral("IF Timer 1  is Less than   7"));
    EXPECT_EQ(listing().mid(1, 1), QStringList({" .If 1,0,1,2,7"}));
}

// The lists of a frame head each source with the title the window filled
// in as it loaded.
TEST_F(FramesInWindowTest, TheFramesListsAreHeadedByTheWindowsSourceTitles)
{
    edit("0002");
    ASSERT_TRUE(fraLogic(window)->isVisible());
    QStringList headings;
    for (const auto& item : fraLogic(window)->Model.cmbParam1.Items)
        if (item.IsHeading())
            headings.append(item.Text);
    EXPECT_EQ(headings, QStringList({"Timers", "Clock", "RCX message", "System constants"}));
    escape();
}

TEST_F(FramesInWindowTest, PowerOffHasNoParameters)
{
    window->setCursorPos(QStringLiteral("0003"));
    enter();
    EXPECT_FALSE(window->CommandInEdit());
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("This command has no parameters"));
    EXPECT_EQ(presenter.shown[0].style, 64);
}

TEST_F(FramesInWindowTest, FrameOpenedLowInTheGridIsScrolledIntoView)
{
    auto low = Command(QStringLiteral("G_WAIT"), 1, 30, 9);
    ASSERT_NE(reopenWith(low), nullptr);
    edit("0130");
    MotorFrameWidget* f = FraMotor(window);
    ASSERT_TRUE(f->isVisible());
    const QPoint bottomRight = f->mapTo(window, QPoint(f->width(), f->height()));
    EXPECT_LE(bottomRight.y(), VScroll1(window)->y() + VScroll1(window)->height() + 2);
    EXPECT_GT(VScroll1(window)->value(), 0);
    escape();
}

}  // namespace

namespace {

TEST_F(FramesInWindowTest, ACommentWrapsToItsPictureAndLeavingTheWindowCancelsItsFrame)
{
    auto rem = Command(QStringLiteral("A_REM"), 1, 1, 7, QStringLiteral("Comment"));
    ASSERT_NE(reopenWith(rem), nullptr);
    edit("0101");
    MotorFrameWidget* f = FraMotor(window);
    ASSERT_TRUE(f->txtRem->isVisible());
    QTest::keyClicks(f->txtRem, QStringLiteral("turn \"left\" here and then keep going straight on"));
    EXPECT_EQ(f->txtRem->text(), QStringLiteral("turn 'left' here and then keep going straight on"));
    leave();
    EXPECT_FALSE(window->CommandInEdit());
    EXPECT_EQ(rem->Param1Value, Variant(-1));

    comeBack();
    edit("0101");
    QTest::keyClicks(f->txtRem, QStringLiteral("turn left here and then keep going straight on"));
    enter();
    EXPECT_EQ(rem->Param1Value, Variant("turn left here and then keep going straight on"));
    EXPECT_TRUE(rem->PicCaption(1).contains(QStringLiteral("\r\n")));
    EXPECT_EQ(rem->PicCaption(1), DeskView::WrapCaption(rem->Param1Value.toString(), picCommand(window, 0)->Width()));
}

TEST_F(FramesInWindowTest, BrakeOrFloatSetsTheStopPicture)
{
    auto off = Command(QStringLiteral("M_OFF"), 1, 2, 8, QStringLiteral("Stop motor"));
    off->Op = 1;
    off->MotorList = QStringLiteral("0");
    ASSERT_NE(reopenWith(off), nullptr);
    EXPECT_EQ(picCommand(window, off->PicIndex)->PictureKey(), QStringLiteral("M_OFF"));
    edit("0102");
    ASSERT_TRUE(FraMotor(window)->chkStopFloat->isVisible());
    EXPECT_TRUE(FraMotor(window)->chkStopFloat->isChecked());
    QTest::mouseClick(FraMotor(window)->chkStopFloat, Qt::LeftButton);
    enter();
    EXPECT_EQ(off->Op, 0);
    EXPECT_EQ(picCommand(window, off->PicIndex)->PictureKey(), QStringLiteral("M_OFF_FLOAT"));
    EXPECT_EQ(picCommand(window, off->PicIndex)->ToolTipText(), QStringLiteral("  A="));
}

TEST_F(FramesInWindowTest, PictureFromTheFramesImageList)
{
    PicCommandBox* pic = picCommand(window, motor->PicIndex);
    DeskView::SetPictureFromList(pic, ILDT(), QStringLiteral("K9"));
    EXPECT_EQ(pic->PictureKey(), QStringLiteral("K9"));
    EXPECT_EQ(pic->Picture().size(), QSize(32, 32));
}

}  // namespace

namespace {

TEST_F(FramesInWindowTest, ClosingTheWindowWithAFrameOpenCancelsIt)
{
    motor->MotorList = QStringLiteral("0");
    edit("0001");
    QTest::mouseClick(FraMotor(window)->chkMotor[2], Qt::LeftButton);
    QTest::mouseClick(FraMotor(window)->chkTime, Qt::LeftButton);
    typeInto(FraMotor(window)->cmbTimeCount, "400");
    enter();
    EXPECT_EQ(motor->MotorList, QStringLiteral("02"));
    window->Close();
    Flush();
    EXPECT_EQ(task->CommandWindow, nullptr);
    EXPECT_EQ(motor->MotorList, QStringLiteral("0"));
}

}  // namespace

namespace {

TEST_F(FramesInWindowTest, FrameInTheRightColumnIsScrolledIntoViewSideways)
{
    auto wait = Command(QStringLiteral("G_WAIT"), 1, 1, 9);
    ASSERT_NE(reopenWith(wait), nullptr);
    edit("0101");
    QWidget* f = FraMotor(window);
    ASSERT_TRUE(f->isVisible());
    const int right = f->mapTo(window, QPoint(f->width(), 0)).x();
    EXPECT_LE(right, VScroll1(window)->x());
    EXPECT_GT(HScroll1(window)->value(), 0);
    escape();
}

}  // namespace

namespace {

TEST_F(FramesInWindowTest, LoopOkAndOpenWindowOpensItsBody)
{
    auto loop = Command(QStringLiteral("L_LOOP"), 1, 3, 10, QStringLiteral("LOOP"));
    loop->Op = -1;
    ASSERT_NE(reopenWith(loop), nullptr);
    edit("0103");
    LogicFrameWidget* f = fraLogic(window);
    ASSERT_TRUE(f->cmbVar2->isVisible());
    EXPECT_EQ(f->lblG->text(), QStringLiteral("Times"));
    typeInto(f->cmbVar2, "256");
    QTest::mouseClick(f->cmdOkOpenLogic, Qt::LeftButton);
    EXPECT_EQ(presenter.texts(), QStringList{"Invalid value"});
    EXPECT_TRUE(window->CommandInEdit());
    EXPECT_EQ(WindowOf(loop.get()), nullptr);
    typeInto(f->cmbVar2, "12");
    QTest::mouseClick(f->cmdOkOpenLogic, Qt::LeftButton);
    Flush();
    EXPECT_FALSE(window->CommandInEdit());
    EXPECT_EQ(loop->PicCaption(1), QStringLiteral("12\r\nTimes "));
    frmDeskTop* body = WindowOf(loop.get());
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->FormType(), ModuleKind::LoopBody);
}

}  // namespace

namespace {

// What a refused Ok must leave alone: every field a frame writes.
QStringList FieldsOf(const clsCommand& c)
{
    return {c.Param1Source.toString(), c.Param1Value.toString(), c.Param2Source.toString(),
            c.Param2Value.toString(),  c.MotorList,               QString::number(c.Op),
            c.Speed.toString(),        c.Time.toString(),         c.PicCaption(1)};
}

// Every Ok that refuses says why, through the frame as the user works it:
// a name typed into a list that has no such item (the list still showing
// its earlier item), a sub gone from the project since the list was
// filled, and the checks' own messages. The frame stays open with the
// focus on the box to mend, and the command keeps what it had.
TEST_F(FramesInWindowTest, EveryRefusedOkSaysWhyAndKeepsTheCommand)
{
    AddNamedValue(QStringLiteral("Count"), 0, 0, 1);
    auto blink = std::make_shared<clsSub>();
    blink->Name = QStringLiteral("Blink");
    blink->mNumber = 1;
    App().AddModule(blink);
    auto call = Command(QStringLiteral("L_SUB"), 1, 1, 11, QStringLiteral("Call sub"), QStringLiteral("\r\nBlink"));
    call->Op = -1;
    call->Param1Source = 2;
    call->Param1Value = QStringLiteral("Blink");
    auto start = Command(QStringLiteral("L_START"), 1, 2, 12, QStringLiteral("Start task"));
    auto var = Command(QStringLiteral("L_VAR"), 1, 3, 13, QStringLiteral("Variables"));
    auto sentype = Command(QStringLiteral("L_SENTYPE"), 1, 4, 14, QStringLiteral("Sensor type"));
    auto wait = Command(QStringLiteral("G_WAIT"), 1, 5, 15, QStringLiteral("Wait"), QStringLiteral(" \r\nFor 2 \r\nSeconds"));
    wait->Param1Source = 2;
    wait->Param1Value = 2;
    wait->Time = QStringLiteral("Second");
    auto speed = Command(QStringLiteral("M_SETPWR"), 1, 6, 16, QStringLiteral("Motor speed"), QStringLiteral("A  5 "));
    speed->MotorList = QStringLiteral("0");
    speed->Op = 0;
    speed->Param2Source = 2;
    speed->Param2Value = QStringLiteral("5");
    for (const auto& c : {call, start, var, sentype, wait})
        Put(*task->Commands(), c);
    ASSERT_NE(reopenWith(speed), nullptr);

    LogicFrameWidget* logic = fraLogic(window);
    // How Ok is pressed: a click on it, Enter in the box with the focus, or
    // by the edit itself.
    enum class Press { Click, Enter, Done };
    struct Case {
        const char* name;
        const char* cell;
        std::shared_ptr<clsCommand> command;
        std::function<void()> edit;
        Press ok;
        const char* message;
        const char* focus;
    };
    auto typeList = [](ImageComboBox* box, const char* text) {
        box->setFocus(Qt::OtherFocusReason);
        QTest::keyClicks(box, QString::fromLatin1(text));
    };
    const Case cases[] = {
        {"sub typed that the list lacks", "0101", call, [&] { typeList(logic->cmbTaskAndOp, "Nosuch"); }, Press::Click,
         "No such object", "cmbTaskAndOp"},
        {"sub typed, Enter", "0101", call, [&] { typeList(logic->cmbTaskAndOp, "Nosuch"); }, Press::Enter,
         "No such object", "cmbTaskAndOp"},
        {"sub gone since the list was filled", "0101", call, [&] { App().RemoveSub(QStringLiteral("Blink")); },
         Press::Click, "No such object", "cmbTaskAndOp"},
        {"task typed into the open list, Enter", "0102", start,
         [&] {
             logic->cmbTaskAndOp->setFocus(Qt::OtherFocusReason);
             logic->cmbTaskAndOp->showPopup();
             QTest::keyClicks(logic->cmbTaskAndOp->view(), QStringLiteral("Nosuch"));
             QTest::keyClick(logic->cmbTaskAndOp->view(), Qt::Key_Return);
         },
         Press::Done, "No such object", "cmbTaskAndOp"},
        {"no task chosen", "0102", start, [] {}, Press::Enter, "Wrong value", ""},
        {"variable typed that the list lacks", "0103", var,
         [&] {
             chooseText(logic->cmbTaskAndOp, "ADD");
             typeInto(logic->cmbVar2, "5");
             typeList(logic->cmbVar1, "Nosuch");
         },
         Press::Click, "No such object", "cmbVar1"},
        {"sensor type typed that the list lacks", "0104", sentype, [&] { typeList(logic->cmbVar1, "Nosuch"); }, Press::Click,
         "No such object", "cmbVar1"},
        {"time unit typed that the list lacks", "0105", wait,
         [&] { typeList(FraMotor(window)->cmbTime, "Minute"); }, Press::Enter, "No such object", "cmbTime"},
        {"speed out of range", "0106", speed, [&] { typeInto(FraMotor(window)->cmbSpeed, "8"); }, Press::Click,
         "Speed must be between 0 to 7", "cmbSpeed"},
        {"comparison with a word", "0002", iff,
         [&] {
             typeInto(logic->cmbParam1, "nothing");
             typeInto(logic->cmbParam2, "1");
         },
         Press::Enter, "Invalid value", "cmbParam1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The headless platform leaves a closed list's popup the active window.
        window->activateWindow();
        QApplication::processEvents();
        const QStringList before = FieldsOf(*c.command);
        edit(c.cell);
        ASSERT_TRUE(window->CommandInEdit());
        const bool isLogic = logic->isVisible();
        presenter.shown.clear();
        c.edit();
        if (c.ok == Press::Enter)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else if (c.ok == Press::Click)
            QTest::mouseClick(isLogic ? logic->cmdOkLogic : FraMotor(window)->cmdOkMotor, Qt::LeftButton);
        EXPECT_EQ(presenter.texts(), QStringList{QString::fromLatin1(c.message)});
        for (const ShownMessage& m : presenter.shown)
            EXPECT_EQ(m.style, 48);
        EXPECT_TRUE(window->CommandInEdit());
        if (*c.focus) {
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.focus));
        }
        EXPECT_EQ(FieldsOf(*c.command), before);
        escape();
        ASSERT_FALSE(window->CommandInEdit());
        if (!App().SubList().Exists(blink->Name))
            App().AddModule(blink);
    }
}

}  // namespace
