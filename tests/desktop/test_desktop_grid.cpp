// The editor window's grid: keys, loading, the cursor, picture positions,
// selection colours, captions and pictures.
#include "DeskTopFixture.h"

#include "model/Twips.h"
#include "shell/Pictures.h"

#include <QFontMetricsF>

namespace {

const double W = frmDeskTop::CommandWidth;
const double H = frmDeskTop::CommandHeight;

}  // namespace

TEST_F(DeskTopTest, ColKeyBuildsTwoPartsFromGivenOrCurrentCell)
{
    GridDocument f{App()};
    struct Case {
        int mx, my;
        const char* key;
    } cases[] = {
        {0, 1, "0001"}, {1, 40, "0140"}, {0, -1, "00-1"}, {0, 100, "00100"}, {-5, 3, "-103"}, {10, 9, "1009"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(f.ColKey(true, c.mx, c.my), QString::fromLatin1(c.key)) << c.mx << "," << c.my;

    f.CurrentColumn = 1;
    f.CurrentRow = 7;
    EXPECT_EQ(f.ColKey(false, 0, -1), QStringLiteral("0107"));
}

TEST_F(DeskTopTest, LoadingPlacesEveryCommandAtItsCellAndPutsTheCursorOnTheFirst)
{
    auto t = AddTask(QStringLiteral("Main"));
    auto first = Command(QStringLiteral("M_ON"), 0, 1, 1, QStringLiteral("Start motor"));
    first->PicSelected = True;
    auto second = Command(QStringLiteral("G_WAIT"), 1, 5, 2, QStringLiteral("Wait"));
    second->PicSelected = True;
    Put(*t->Commands(), first);
    Put(*t->Commands(), second);

    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Caption(), QStringLiteral("Main"));
    EXPECT_EQ(f->ParentTaskName(), QStringLiteral("Main"));
    EXPECT_EQ(f->FormType(), ModuleKind::Task);
    // The template picture has the cell's size.
    ASSERT_NE(picCommand(f, 0), nullptr);
    EXPECT_EQ(picCommand(f, 0)->Width(), 2430);
    EXPECT_EQ(picCommand(f, 0)->Height(), 888);
    EXPECT_EQ(picDeskTop(f)->Height(), 45 * H);
    EXPECT_EQ(picDeskTop(f)->Width(), 6 * (W + 2 * PixelTwipsX()));

    for (const auto& c : {first, second}) {
        PicCommandBox* pic = picCommand(f, c->PicIndex);
        ASSERT_NE(pic, nullptr);
        EXPECT_TRUE(pic->isVisible());
        EXPECT_EQ(pic->Left(), 700 + c->x * W);
        EXPECT_EQ(pic->Top(), c->y * H);
        EXPECT_EQ(pic->Width(), W);
        EXPECT_EQ(pic->Height(), H);
        EXPECT_EQ(pic->PictureKey(), c->KeyText());
        EXPECT_TRUE(f->Document().CommandGrid(c->x, c->y));
    }
    EXPECT_FALSE(f->Document().CommandGrid(0, 5));
    EXPECT_FALSE(picCommand(f, 0)->isVisible());  // the template

    // The cursor starts on "0001": the command there is selected alone.
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0001"));
    EXPECT_EQ(first->PicSelected, True);
    EXPECT_EQ(second->PicSelected, False);
    EXPECT_EQ(picCommand(f, 1)->BackColor(), QColor(0, 255, 255));
    EXPECT_EQ(picCommand(f, 2)->BackColor(), DeskView::UnselectedColor(*f));
    EXPECT_EQ(f->Document().colCopy.Count(), 1);
    EXPECT_FALSE(f->Document().CursorVisible);
    EXPECT_FALSE(CursorFrameOn(f, 0, 1));
    // Filling the window did not mark the task changed.
    EXPECT_EQ(t->Dirty, False);
}

TEST_F(DeskTopTest, CursorPosMovesOnlyToCellsOfTheGrid)
{
    auto t = AddTask(QStringLiteral("Main"));
    auto a = Command(QStringLiteral("M_ON"), 0, 1, 1);
    auto b = Command(QStringLiteral("M_OFF"), 0, 3, 2);
    Put(*t->Commands(), a);
    Put(*t->Commands(), b);
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);

    // An empty cell: the frame shows there and nothing stays selected.
    f->setCursorPos(QStringLiteral("0105"));
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0105"));
    EXPECT_EQ(f->Document().CurrentColumn, 1);
    EXPECT_EQ(f->Document().CurrentRow, 5);
    EXPECT_TRUE(f->Document().CursorVisible);
    EXPECT_TRUE(CursorFrameOn(f, 1, 5));
    EXPECT_FALSE(CursorFrameOn(f, 0, 5));
    EXPECT_EQ(a->PicSelected, False);
    EXPECT_EQ(b->PicSelected, False);
    EXPECT_EQ(f->Document().colCopy.Count(), 0);

    // An occupied cell whose command is not selected: the frame hides and the
    // command is selected alone.
    f->setCursorPos(QStringLiteral("0003"));
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0003"));
    EXPECT_FALSE(f->Document().CursorVisible);
    EXPECT_EQ(b->PicSelected, True);
    EXPECT_EQ(a->PicSelected, False);
    EXPECT_EQ(picCommand(f, 2)->BackColor(), QColor(0, 255, 255));

    // Keys outside the grid change nothing but show the frame.
    for (const char* key : {"0200", "0041", "9999", "0000", "-101", "5"}) {
        f->setCursorPos(QStringLiteral("0003"));
        ASSERT_FALSE(f->Document().CursorVisible);  // hidden on a command
        f->setCursorPos(QString::fromLatin1(key));
        EXPECT_EQ(f->CursorPos(), QStringLiteral("0003")) << key;
        EXPECT_EQ(f->Document().CurrentColumn, 0) << key;
        EXPECT_EQ(f->Document().CurrentRow, 3) << key;
        EXPECT_EQ(b->PicSelected, True) << key;
        EXPECT_TRUE(f->Document().CursorVisible) << key;
    }

    // "0" hides the frame and keeps the key.
    f->setCursorPos(QStringLiteral("0105"));
    f->setCursorPos(QStringLiteral("0"));
    EXPECT_FALSE(f->Document().CursorVisible);
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0105"));

    // A key is normalised to four characters.
    f->setCursorPos(QStringLiteral("1 12"));
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0112"));
}

TEST_F(DeskTopTest, APictureBelongsToTheCellHoldingItsCentre)
{
    struct Case {
        double left, top;
        int column, row;
    } cases[] = {
        {700 + 1.4 * W, 7.6 * H, 1, 8},
        {700 + 0.49 * W, 1.49 * H, 0, 1},
        {700 + 0.5 * W, 2.5 * H, 1, 3},
        {700 - 0.6 * W, 0.2 * H, -1, 0},
        {700, 40 * H, 0, 40},
        {700 + 2 * W, 41 * H, 2, 41},  // the range is not checked
    };
    for (const auto& c : cases) {
        const GridCell cell = DeskView::CellOfCentre(c.left, c.top, W, H);
        EXPECT_EQ(cell.column, c.column) << c.left << "," << c.top;
        EXPECT_EQ(cell.row, c.row) << c.left << "," << c.top;
    }
}

TEST_F(DeskTopTest, CaptionPrintsOneBoldLineAndAtMostFourMore)
{
    const double bold = 32 * PixelTwipsX(), normal = 36 * PixelTwipsX();
    struct Case {
        const char* second;
        QStringList lines;
    } cases[] = {
        {"a\r\nb\r\nc\r\nd\r\ne", {"a", "b", "c", "d\r\ne"}},
        {"a\r\nb\r\nc\r\nd", {"a", "b", "c", "d"}},
        {"  x  \r\n y", {"x", " y"}},
        {"only", {"only"}},
        {"", {}},
        {"a\r\n", {"a"}},
    };
    for (const auto& c : cases) {
        const auto lines = DeskView::CaptionLines(QStringLiteral("Start motor"), QString::fromLatin1(c.second));
        ASSERT_EQ(lines.size(), c.lines.size() + 1) << c.second;
        EXPECT_EQ(lines[0].text, QStringLiteral("Start motor"));
        EXPECT_TRUE(lines[0].bold);
        EXPECT_EQ(lines[0].x, bold);
        for (int i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(lines[i + 1].text, c.lines[i]) << c.second;
            EXPECT_FALSE(lines[i + 1].bold);
            EXPECT_EQ(lines[i + 1].x, normal);
        }
    }
}

TEST_F(DeskTopTest, MotorOffShowsTheFloatPictureOnlyWithOperatorZero)
{
    auto t = AddTask(QStringLiteral("Main"));
    auto floatOff = Command(QStringLiteral("M_OFF"), 0, 1, 1);
    floatOff->Op = 0;
    auto brakeOff = Command(QStringLiteral("m_off"), 0, 2, 2);
    brakeOff->Op = 1;
    Put(*t->Commands(), floatOff);
    Put(*t->Commands(), brakeOff);
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);

    EXPECT_EQ(picCommand(f, 1)->PictureKey(), QStringLiteral("M_OFF_FLOAT"));
    EXPECT_EQ(picCommand(f, 1)->Picture().toImage(), CommandPicture(QStringLiteral("M_OFF_FLOAT")).toImage());
    // A key in another letter case shows its command's picture.
    EXPECT_EQ(picCommand(f, 2)->PictureKey(), QStringLiteral("M_OFF"));
    EXPECT_EQ(picCommand(f, 2)->Picture().toImage(), CommandPicture(QStringLiteral("M_OFF")).toImage());
}

TEST_F(DeskTopTest, PicturesFromAFileGetOnePictureEach)
{
    // Two commands that name the same picture index, one the template's.
    auto t = AddTask(QStringLiteral("Main"));
    auto a = Command(QStringLiteral("M_ON"), 0, 1, 3);
    auto b = Command(QStringLiteral("M_FWD"), 0, 2, 3);
    auto c = Command(QStringLiteral("G_WAIT"), 0, 3, 0);
    for (const auto& co : {a, b, c})
        Put(*t->Commands(), co);
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);

    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(a->PicIndex, 3);
    EXPECT_NE(b->PicIndex, a->PicIndex);
    EXPECT_NE(c->PicIndex, 0);
    EXPECT_NE(c->PicIndex, b->PicIndex);
    for (const auto& co : {a, b, c}) {
        ASSERT_NE(picCommand(f, co->PicIndex), nullptr);
        EXPECT_EQ(picCommand(f, co->PicIndex)->Top(), co->y * H);
        EXPECT_TRUE(f->Document().CommandGrid(0, co->y));
    }
}

TEST_F(DeskTopTest, ABlockWithoutBodyOpensEmptyAndKeepsTheNewBody)
{
    auto t = AddTask(QStringLiteral("Main"));
    auto loop = Command(QStringLiteral("L_LOOP"), 0, 1, 1, QStringLiteral("Loop"), QStringLiteral("3 times"));
    Put(*t->Commands(), loop);
    ASSERT_FALSE(loop->Commands);

    frmDeskTop* body = OpenBody(ModuleKind::LoopBody, loop.get(), QStringLiteral("Main"), QStringLiteral("3 times"));
    ASSERT_NE(body, nullptr);
    EXPECT_TRUE(presenter.shown.isEmpty());
    ASSERT_TRUE(loop->Commands);
    EXPECT_EQ(body->Document().ColCommand, loop->Commands);
    EXPECT_EQ(body->Document().ColCommand->Count(), 0);
    EXPECT_TRUE(body->Document().CursorVisible);
}

TEST_F(DeskTopTest, AFailureWhileShowingCommandsIsReportedAndEndsTheLoop)
{
    // A damaged file can put a command outside the grid: the message is a
    // critical one, the commands after it stay hidden, and the window opens.
    auto t = AddTask(QStringLiteral("Main"));
    auto first = Command(QStringLiteral("M_ON"), 0, 1, 1);
    auto outside = Command(QStringLiteral("M_ON"), 5, 1, 2);
    auto after = Command(QStringLiteral("G_WAIT"), 0, 3, 3);
    for (const auto& co : {first, outside, after})
        Put(*t->Commands(), co);
    frmDeskTop* f = OpenTask(t);
    ASSERT_NE(f, nullptr);

    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Subscript out of range"));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Critical);
    ASSERT_NE(picCommand(f, 1), nullptr);
    EXPECT_TRUE(picCommand(f, 1)->isVisible());
    EXPECT_EQ(picCommand(f, 3), nullptr);
    EXPECT_FALSE(f->Document().CommandGrid(0, 3));
    // Loading went on: the cursor is on the first cell, and moving it over
    // the desk does not trip over the commands left without a picture.
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0001"));
    EXPECT_EQ(first->PicSelected, True);
    f->setCursorPos(QStringLiteral("0003"));
    EXPECT_EQ(first->PicSelected, False);
    EXPECT_TRUE(f->Document().CursorVisible);
    EXPECT_EQ(presenter.shown.size(), 1);
}

TEST_F(DeskTopTest, ToolTipNamesTheMotorsOrTheSensor)
{
    App().EditMotor(0, [&](clsMotor& m) { m.Purpose = QStringLiteral("Arm"); });
    App().EditMotor(0, [&](clsMotor& m) { m.MotorFwdMeening = QStringLiteral("up"); });
    App().EditMotor(0, [&](clsMotor& m) { m.MotorRwdMeening = QStringLiteral("down"); });
    App().EditMotor(2, [&](clsMotor& m) { m.Purpose = QStringLiteral("Claw"); });
    App().EditMotor(2, [&](clsMotor& m) { m.MotorFwdMeening = QStringLiteral("open"); });
    App().EditMotor(2, [&](clsMotor& m) { m.MotorRwdMeening = QStringLiteral("close"); });

    struct Case {
        const char* key;
        const char* motors;
        Variant source1, value1, source2, value2;
        const char* tip;
    } cases[] = {
        {"M_ON", "02", -1, -1, -1, -1, "  A=Arm  C=Claw"},
        {"M_FWD", "02", -1, -1, -1, -1, "  A=Arm-up  C=Claw-open"},
        {"M_RWD", "2", -1, -1, -1, -1, "  C=Claw-close"},
        {"L_IF", "", 9, "Touch sensor  1", 2, 5, "Touch sensor  1"},
        {"L_IF", "0", 2, 5, 9, "Light sensor  2", "Light sensor  2"},
        {"L_WHILE", "", 0, "Count", 2, 3, ""},
    };
    PictureBox picture;
    PictureBox* pic = &picture;
    for (const auto& c : cases) {
        clsCommand co;
        co.SetKeyText(QString::fromLatin1(c.key));
        co.MotorList = QString::fromLatin1(c.motors);
        co.Param1Source = c.source1;
        co.Param1Value = c.value1;
        co.Param2Source = c.source2;
        co.Param2Value = c.value2;
        pic->setToolTipText(QStringLiteral("old"));
        DeskView::SetCommandToolTip(pic, co);
        EXPECT_EQ(pic->ToolTipText(), QString::fromLatin1(c.tip)) << c.key << " " << c.motors;
    }
}

TEST_F(DeskTopTest, WrapCaptionKeepsEveryLineNarrowerThanThePicture)
{
    for (const char* blank : {"", "   "})
        EXPECT_EQ(DeskView::WrapCaption(QString::fromLatin1(blank), W), QString::fromLatin1(blank));

    const QString text = QStringLiteral("Wait here until the light sensor sees the black line on the floor");
    const QString wrapped = DeskView::WrapCaption(text, W);
    const QStringList lines = wrapped.split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QString()), text);
    const double usable = W - 37 * PixelTwipsX();
    const QFontMetricsF fm(DeskView::CaptionFont(false));
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_LT(fm.horizontalAdvance(lines[i]) * PixelTwipsX(), usable) << lines[i].toStdString();
        if (i + 1 < lines.size()) {  // a full line could not take the next character
            EXPECT_GE(fm.horizontalAdvance(lines[i] + lines[i + 1].left(1)) * PixelTwipsX(), usable);
        }
    }
    EXPECT_EQ(DeskView::WrapCaption(QStringLiteral("short"), W), QStringLiteral("short"));
}
