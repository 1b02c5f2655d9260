// The desk as the user sees it: painted whole at every scroll position and
// window size, with the window's background beyond its surface; a sideways
// range only where the two columns don't fit; while a frame in column 2 is
// open, the sideways bar where the desk is; and after it closes, the desk
// back at its left edge, where clicks land in the cell shown.
#include "DeskTopFixture.h"

#include "model/Twips.h"
#include "desktop/frames/FrameWidgets.h"
#include "model/NamedValues.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace {

const double W = frmDeskTop::CommandWidth;
const double H = frmDeskTop::CommandHeight;
const double Margin = frmDeskTop::LeftMargin;

class DeskScrollTest : public DeskTopTest {
protected:
    void SetUp() override
    {
        DeskTopTest::SetUp();
        FillNameTables();
        BuildRcxObjects();
        task = AddTask(QStringLiteral("Main"));
        // A caption that reaches across its picture: the end of it is what
        // peeked in at the left edge of a desk scrolled sideways.
        counter = Command(QStringLiteral("G_WAIT"), 0, 1, 1, QStringLiteral("Wait"),
                          QStringLiteral("For the count of the count"));
        waitRight = Command(QStringLiteral("G_WAIT"), 1, 1, 2, QStringLiteral("Wait"), QStringLiteral("For 5"));
        for (const auto& c : {counter, waitRight})
            Put(*task->Commands(), c);
        f = OpenTask(task);
        ASSERT_NE(f, nullptr);
    }

    enum class Size { New, Narrow, DeskWide, Maximised };

    void SizeTo(Size size)
    {
        QMdiSubWindow* sub = f->SubWindow();
        if (size != Size::Maximised && sub->isMaximized()) {
            sub->showNormal();
            Flush();
        }
        if (size == Size::Maximised) {
            sub->showMaximized();
        } else if (size == Size::Narrow) {
            sub->resize(300, 500);
        } else if (size == Size::DeskWide) {
            sub->resize(picDeskTop(f)->width(), 600);
        }
        Flush();
    }

    // Where the left edge of the desk's column (0 or 1) stands in the window.
    int ColumnX(int column) const { return picDeskTop(f)->x() + PixX(Margin + column * W); }

    // Clicks the window where the middle of the cell (column, row) shows
    // when the desk stands at its left edge, on whatever lies there.
    void ClickHome(int column, int row)
    {
        const QPoint at(PixX(Margin + (column + 0.5) * W), picDeskTop(f)->y() + PixY((row + 0.5) * H));
        QWidget* target = f->childAt(at);
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(f, at));
        Flush();
    }

    TaskPtr task;
    std::shared_ptr<clsCommand> counter, waitRight;
    frmDeskTop* f = nullptr;
};

// Pixels of the rectangle that are not of the colour, a few of them listed;
// "" when there are none.
std::string OtherPixels(const QImage& image, const QRect& rect, const QColor& color)
{
    if (!rect.isValid())
        return {};
    QString found;
    int count = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y) != color && ++count <= 3)
                found += QStringLiteral("(%1,%2) %3 ").arg(x).arg(y).arg(image.pixelColor(x, y).name());
    return count ? QStringLiteral("%1 pixels, e.g. %2").arg(count).arg(found).toStdString() : std::string();
}

TEST_F(DeskScrollTest, TheDeskIsPaintedWholeWithTheWindowsBackgroundBeyondIt)
{
    const QColor background = f->palette().color(QPalette::Window);
    const QColor surface = picDeskTop(f)->palette().color(QPalette::Base);
    struct Case {
        Size size;
        const char* name;
    } cases[] = {{Size::New, "new"}, {Size::Narrow, "narrow"}, {Size::DeskWide, "desk wide"},
                 {Size::Maximised, "maximised"}};
    for (const Case& c : cases) {
        SizeTo(c.size);
        const int hMax = HScroll1(f)->maximum(), vMax = VScroll1(f)->maximum();
        for (auto [h, v] : {std::pair{0, 0}, {hMax, vMax / 2}, {hMax / 2, vMax}, {hMax, 0}}) {
            HScroll1(f)->setValue(h);
            VScroll1(f)->setValue(v);
            Flush();
            const QImage shot = f->grab().toImage();
            const std::string at = std::string(c.name) + " at " + std::to_string(h) + ", " + std::to_string(v);
            ASSERT_EQ(picDeskTop(f)->x(), -PixX(h)) << at;
            const int top = picModulTitle(f)->height(), bottom = HScroll1(f)->y() - 1;
            // Beyond the end of the grid lines: the window's background, as far
            // as the vertical bar.
            const int beyond = picDeskTop(f)->x() + PixX(2.5 * W) + 1;
            EXPECT_EQ(OtherPixels(shot, QRect(QPoint(beyond, top), QPoint(VScroll1(f)->x() - 1, bottom)), background),
                      "")
                << at;
            // The desk's surface: the middle of an empty cell of column 2 in view.
            const int row = int(v / H) + 3;
            const QPoint cell(ColumnX(1) + PixX(W / 2), picDeskTop(f)->y() + PixY((row + 0.5) * H));
            if (cell.x() < VScroll1(f)->x()) {
                EXPECT_EQ(shot.pixelColor(cell), surface) << at;
            }
        }
    }
}

TEST_F(DeskScrollTest, WhereBothColumnsFitTheHorizontalBarHasNoRange)
{
    struct Case {
        Size size;
        const char* name;
    } cases[] = {{Size::New, "new"}, {Size::DeskWide, "desk wide"}, {Size::Maximised, "maximised"}};
    for (const Case& c : cases) {
        SizeTo(c.size);
        EXPECT_EQ(HScroll1(f)->maximum(), 0) << c.name;
        EXPECT_FALSE(HScroll1(f)->isEnabled()) << c.name;
        EXPECT_EQ(picDeskTop(f)->x(), 0) << c.name;
        // Both columns in view, column 2's right edge left of the vertical bar.
        EXPECT_LE(ColumnX(2), VScroll1(f)->x()) << c.name;
    }
    // A narrow window scrolls just as far as to show column 2 whole.
    SizeTo(Size::Narrow);
    ASSERT_GT(HScroll1(f)->maximum(), 0);
    HScroll1(f)->setValue(HScroll1(f)->maximum());
    EXPECT_LE(ColumnX(2), VScroll1(f)->x());
    EXPECT_GE(ColumnX(2), VScroll1(f)->x() - 1);
}

TEST_F(DeskScrollTest, AfterAFrameInColumn2ClosesTheDeskIsBackAtItsLeftEdge)
{
    const QColor surface = picDeskTop(f)->palette().color(QPalette::Base);
    enum class Open { Menu, DoubleClick };
    enum class Close { Escape, CancelButton };
    struct Case {
        Size size;
        Open open;
        Close close;
        const char* name;
    } cases[] = {
        {Size::New, Open::Menu, Close::Escape, "new window, menu, Esc"},
        {Size::New, Open::DoubleClick, Close::CancelButton, "new window, double click, Cancel"},
        {Size::Narrow, Open::DoubleClick, Close::Escape, "narrow window, double click, Esc"},
    };
    for (const Case& c : cases) {
        SizeTo(c.size);
        HScroll1(f)->setValue(0);
        PicCommandBox* pic = picCommand(f, waitRight->PicIndex);
        ASSERT_NE(pic, nullptr);
        if (c.open == Open::Menu) {
            f->setCursorPos(QStringLiteral("0101"));
            MenuItem(f, "mnuUpdate")->trigger();
        } else {
            QTest::mouseDClick(pic, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        }
        Flush();
        ASSERT_TRUE(f->CommandInEdit()) << c.name;
        ASSERT_TRUE(FraMotor(f)->isVisible()) << c.name;
        // The open frame is scrolled into view (its left part where it is
        // wider than the view): the bar reaches as far as it.
        ASSERT_GT(HScroll1(f)->value(), 0) << c.name;
        const QPoint frame = FraMotor(f)->mapTo(f, QPoint(0, 0));
        EXPECT_GE(frame.x(), 0) << c.name;
        if (c.size == Size::New) {
            EXPECT_LE(frame.x() + FraMotor(f)->width(), VScroll1(f)->x()) << c.name;
        }

        if (c.close == Close::Escape)
            QTest::keyClick(FraMotor(f), Qt::Key_Escape);
        else
            QTest::mouseClick(FraMotor(f)->cmdCancelMotor, Qt::LeftButton);
        Flush();
        ASSERT_FALSE(f->CommandInEdit()) << c.name;

        // Column 1 is in view again, both columns where the window is wide enough.
        EXPECT_EQ(HScroll1(f)->value(), 0) << c.name;
        EXPECT_EQ(picDeskTop(f)->x(), 0) << c.name;
        if (c.size == Size::New) {
            EXPECT_EQ(HScroll1(f)->maximum(), 0) << c.name;
            EXPECT_LE(ColumnX(2), VScroll1(f)->x()) << c.name;
        }
        // Nothing of column 1's picture or caption shows in the margin left of it.
        const QImage shot = f->grab().toImage();
        const int y0 = picDeskTop(f)->y() + PixY(H) + 2, y1 = picDeskTop(f)->y() + PixY(2 * H) - 2;
        EXPECT_EQ(OtherPixels(shot, QRect(QPoint(0, y0), QPoint(PixX(Margin) - 2, y1)), surface), "") << c.name;

        // A click lands in the cell shown there.
        ClickHome(0, 1);
        EXPECT_EQ(f->CursorPos().toStdString(), "0001") << c.name;
        EXPECT_TRUE(counter->PicSelected) << c.name;
        EXPECT_FALSE(waitRight->PicSelected) << c.name;
        if (c.size == Size::New) {
            ClickHome(1, 3);
            EXPECT_EQ(f->CursorPos().toStdString(), "0103") << c.name;
        }
    }
}

// Where the style draws the bar's thumb and its groove.
QRect BarPart(QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

// A frame opened with Enter in column 2 shifts the desk to show it; the
// sideways bar shows that shift: its value is the shift and its thumb is
// drawn away from the start. Dragging the thumb moves the desk, the frame
// staying open; Esc brings the desk and the thumb back to the left edge.
TEST_F(DeskScrollTest, WithAFrameOpenInColumn2TheThumbShowsWhereTheDeskIs)
{
    QScrollBar* bar = HScroll1(f);
    auto key = [&](Qt::Key k) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget()->window()->windowHandle(), k);
        Flush();
    };
    auto dragThumbTo = [&](int x) {
        const QPoint from = BarPart(bar, QStyle::SC_ScrollBarSlider).center();
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(bar, QPoint(x, from.y()));
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(x, from.y()));
        Flush();
    };
    // The desk stands where the bar says.
    auto deskFollowsBar = [&](const char* at) {
        EXPECT_NEAR(-picDeskTop(f)->x(), PixX(bar->value()), 1) << at;
        EXPECT_EQ(bar->sliderPosition(), bar->value()) << at;
    };
    area->activateWindow();
    area->setActiveSubWindow(f->SubWindow());
    for (Size size : {Size::New, Size::Narrow}) {
        SCOPED_TRACE(size == Size::New ? "new window" : "narrow window");
        SizeTo(size);
        picDeskTop(f)->setFocus();
        f->setCursorPos(QStringLiteral("0101"));
        key(Qt::Key_Return);
        ASSERT_TRUE(f->CommandInEdit());
        ASSERT_TRUE(FraMotor(f)->isVisible());
        ASSERT_LT(picDeskTop(f)->x(), 0);
        EXPECT_TRUE(bar->isEnabled());
        EXPECT_GT(bar->value(), 0);
        deskFollowsBar("opened");
        const QRect groove = BarPart(bar, QStyle::SC_ScrollBarGroove);
        EXPECT_GT(BarPart(bar, QStyle::SC_ScrollBarSlider).left(), groove.left());

        dragThumbTo(groove.left());
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(picDeskTop(f)->x(), 0);
        deskFollowsBar("dragged to the start");
        dragThumbTo(groove.right());
        EXPECT_EQ(bar->value(), bar->maximum());
        deskFollowsBar("dragged to the end");
        EXPECT_TRUE(f->CommandInEdit());

        key(Qt::Key_Escape);
        ASSERT_FALSE(f->CommandInEdit());
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(picDeskTop(f)->x(), 0);
        EXPECT_EQ(BarPart(bar, QStyle::SC_ScrollBarSlider).left(), groove.left());
    }
}

}  // namespace
