// The graph's item table, ranges and drawing, checked on a recording surface.
#include "RecordingSurface.h"
#include "support/Failures.h"

#include "datalog/core/DatalogGraph.h"
#include "datalog/core/DatalogUpload.h"
#include "model/VbError.h"

#include <gtest/gtest.h>

namespace {

const QColor kGrey(192, 192, 192);

// Blocks of the X item, the Samples Counter and the Y items, as an upload makes them.
QVector<DatalogRecord> blocks(const DatalogRecord& x, const QVector<Integer>& xs, const QList<QPair<DatalogRecord, QVector<Integer>>>& ys)
{
    QVector<DatalogRecord> records;
    for (int b = 0; b < xs.size(); ++b) {
        DatalogRecord r = x;
        r.Value = xs[b];
        records.append(r);
        records.append({-1, "Samples Counter", 0, Integer(b + 1)});
        for (const auto& y : ys) {
            DatalogRecord yr = y.first;
            yr.Value = y.second[b];
            records.append(yr);
        }
    }
    return records;
}

int listLines(const QVector<DatalogRecord>& records) { return int(DatalogListLines(records).size()); }

class GraphTest : public ::testing::Test {
protected:
    QVector<DatalogRecord> records;
    DatalogGraph graph;

    void settings(const QString& x, Integer xSource, const QStringList& checked)
    {
        graph.Items = BuildGraphItems(records);
        graph.Settings.Title = "Run";
        graph.Settings.XItem = x;
        graph.Settings.XSource = xSource;
        graph.Settings.XCaption = "tenths";
        graph.Settings.YCaption = "light";
        for (const GraphItem& item : graph.Items)
            if (item.Source != 1 && item.Source != 14 && item.Source != -1)
                graph.Settings.YEntries.append({item.Name, checked.contains(item.Name), item.Source});
        graph.Prepare(records);
    }
    int draw(RecordingSurface& s)
    {
        return failureNumber([&] { graph.Draw(s, records, listLines(records), 15, 15); });
    }
};

TEST_F(GraphTest, ItemTableInOrderOfFirstAppearance)
{
    records = {{1, "Timer 1", 0, 0}, {-1, "Samples Counter", 0, 1}, {0, "", 9, 3}, {9, "Light", 1, 5},
               {1, "Timer 1", 0, 9}, {9, "Light", 0, 7}};
    const QVector<GraphItem> items = BuildGraphItems(records);
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].Name, "Timer 1");
    EXPECT_EQ(items[1].Name, "Samples Counter");
    EXPECT_EQ(items[1].Source, -1);
    EXPECT_EQ(items[2].Name, "Light");
    EXPECT_EQ(items[2].Source, 9);
}

struct RangeCase {
    const char* what;
    Integer source;
    QVector<Integer> values;
    Long min, max;
};

TEST(ItemRange, TimerUnwrapsClockRunsFirstToLastOthersSpan)
{
    const RangeCase cases[] = {
        {"timer", 1, {5, 10, 40}, 5, 40},
        {"timer that wrapped", 1, {30000, 32000, 100, 2000}, 30000, 32767 + 2000},
        {"clock", 14, {605, 600, 610}, 605, 610},
        {"sensor", 9, {40, -3, 12}, -3, 40},
        {"no records", 9, {}, 32767, -32767},
    };
    for (const RangeCase& c : cases) {
        QVector<DatalogRecord> records;
        for (Integer v : c.values)
            records.append({c.source, "item", 0, v});
        records.append({9, "other", 0, 9999});
        GraphItem item;
        ItemRange(records, "item", c.source, item);
        EXPECT_EQ(item.Min, c.min) << c.what;
        EXPECT_EQ(item.Max, c.max) << c.what;
    }
}

TEST_F(GraphTest, GeometryOfAKnownDatalog)
{
    records = blocks({1, "Timer 1", 0, 0}, {0, 10, 20, 30, 40}, {{{9, "Light", 1, 0}, {10, 20, 50, 40, 30}}});
    settings("Timer 1", 1, {"Light"});
    EXPECT_EQ(graph.YMin, 10);
    EXPECT_EQ(graph.YMax, 50);
    EXPECT_EQ(graph.ZeroRatio, 0);

    RecordingSurface s(8000, 5000);
    ASSERT_EQ(draw(s), 0);
    // Margins: left TW("32767") + 6 TW(A), right 3 TW(A), top 4 TH(A), bottom 6 TH(A).
    EXPECT_EQ(graph.PlotLeft, 1100);
    EXPECT_EQ(graph.PlotTop, 800);
    EXPECT_EQ(graph.PlotWidth, 6600);
    EXPECT_EQ(graph.PlotHeight, 3000);
    EXPECT_EQ(graph.XScale, 165);
    EXPECT_EQ(graph.YScale, 60);
    EXPECT_EQ(graph.YMin, 0);  // all values above 0: the Y axis starts at 0

    const QList<SurfaceOp> prints = s.of("print");
    // Title centred and underlined, the captions.
    EXPECT_EQ(prints[0].text, "Run");
    EXPECT_EQ(prints[0].x1, 3850);
    EXPECT_EQ(prints[0].y1, 200);
    EXPECT_TRUE(prints[0].underline);
    EXPECT_EQ(prints[1].text, "Light");  // legend text beside its square
    EXPECT_EQ(prints[1].x1, 980);
    EXPECT_EQ(prints[1].y1, 4400);
    EXPECT_FALSE(prints[1].underline);
    EXPECT_EQ(prints[2].text, "light");
    EXPECT_EQ(prints[2].x1, 300);
    EXPECT_EQ(prints[2].y1, 400);
    EXPECT_EQ(prints[3].text, "(Timer 1) tenths");
    EXPECT_EQ(prints[3].x1, 1100);
    EXPECT_EQ(prints[3].y1, 4100);

    const QList<SurfaceOp> boxes = s.of("box");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].x1, 600);
    EXPECT_EQ(boxes[0].y1, 4400);
    EXPECT_EQ(boxes[0].x2, 800);
    EXPECT_EQ(boxes[0].y2, 4600);
    EXPECT_EQ(boxes[0].color, QColor(0, 0, 0));

    // X labels: the timer's values less its first, centred under their ticks.
    QStringList xLabels;
    for (int i = 4; i < 9; ++i) {
        xLabels.append(prints[i].text);
        EXPECT_EQ(prints[i].y1, 3800 + 8 * 15);
        EXPECT_EQ(prints[i].x1, 1100 + 1650 * (i - 4) - 50.0 * prints[i].text.size());
    }
    EXPECT_EQ(xLabels, (QStringList{"0", "10", "20", "30", "40"}));
    // Y labels 0 to 50 by 5, a blank before and after.
    ASSERT_EQ(prints.size(), 9 + 11);
    EXPECT_EQ(prints[9].text, " 0 ");
    EXPECT_EQ(prints[9].x1, 1100 - 135 - 100);
    EXPECT_EQ(prints[9].y1, 3685);
    EXPECT_EQ(prints[19].text, " 50 ");
    EXPECT_EQ(prints[19].y1, 3685 - 3000);

    // Grid: five vertical and eleven horizontal grey lines; Y ticks at the values' heights.
    QList<SurfaceOp> grid;
    for (const SurfaceOp& op : s.of("line"))
        if (op.color == kGrey)
            grid.append(op);
    ASSERT_EQ(grid.size(), 16);
    EXPECT_EQ(grid[0].x1, 1100);
    EXPECT_EQ(grid[0].y1, 3800);
    EXPECT_EQ(grid[0].y2, 800);
    EXPECT_EQ(grid[5].y1, 3800);  // the grid line of value 0
    EXPECT_EQ(grid[5].x2, 7700);
    EXPECT_EQ(grid[15].y1, 800);  // of value 50

    // The X axis at the bottom edge, drawn first and again over the grid.
    int axes = 0;
    for (const SurfaceOp& op : s.of("line"))
        if (op.x1 == 1100 && op.y1 == 3800 && op.x2 == 7700 && op.y2 == 3800 && !op.color.isValid())
            ++axes;
    EXPECT_EQ(axes, 2);

    // The data: a point, then a line to each following block's point.
    const QList<SurfaceOp> pset = s.of("pset");
    ASSERT_EQ(pset.size(), 1);
    EXPECT_EQ(pset[0].x1, 1100);
    EXPECT_EQ(pset[0].y1, 3200);
    const QList<SurfaceOp> lines = s.of("lineto");
    ASSERT_EQ(lines.size(), 4);
    const double xs[] = {2750, 4400, 6050, 7700};
    const double ys[] = {2600, 800, 1400, 2000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i].x2, xs[i]);
        EXPECT_EQ(lines[i].y2, ys[i]);
        EXPECT_EQ(lines[i].color, QColor(0, 0, 0));
    }
}

TEST_F(GraphTest, ValuesOnBothSidesOfZeroPutTheXAxisAtZero)
{
    records = blocks({1, "Timer 1", 0, 0}, {0, 10, 20}, {{{9, "Light", 1, 0}, {-10, 30, 0}}, {{0, "Speed", 3, 0}, {1, 2, 3}}});
    settings("Timer 1", 1, {"Light", "Speed"});
    EXPECT_EQ(graph.ZeroRatio, 0.25);
    RecordingSurface s(8000, 5000);
    ASSERT_EQ(draw(s), 0);
    const QList<SurfaceOp> lines = s.of("line");
    EXPECT_EQ(lines[0].y1, 3800 - 750);  // the X axis
    // Second item in bright red, its legend square below the first.
    const QList<SurfaceOp> boxes = s.of("box");
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1].color, QColor(255, 0, 0));
    EXPECT_EQ(boxes[1].x1, 600);
    EXPECT_EQ(boxes[1].y1, 3800 + 4.3 * 200);
    EXPECT_EQ(s.of("pset")[1].color, QColor(255, 0, 0));
}

TEST_F(GraphTest, ClockLabelsReadMinutesAndSeconds)
{
    records = blocks({14, "RCX time", 0, 0}, {605, 700}, {{{9, "Light", 1, 0}, {1, 2}}});
    settings("RCX time", 14, {"Light"});
    RecordingSurface s(8000, 5000);
    ASSERT_EQ(draw(s), 0);
    EXPECT_TRUE(s.texts().contains("10:5"));
    EXPECT_TRUE(s.texts().contains("11:40"));
}

TEST_F(GraphTest, FailuresEndTheDrawingWhereTheyArise)
{
    struct Case {
        const char* what;
        QVector<Integer> xs, ys;
        int failure;
        const char* lastPrint;
    };
    const Case cases[] = {
        {"one block", {5}, {3}, Err::DivisionByZero, "(Timer 1) tenths"},
        {"X minimum equals maximum", {5, 5, 5}, {1, 2, 3}, Err::DivisionByZero, "(Timer 1) tenths"},
    };
    for (const Case& c : cases) {
        records = blocks({1, "Timer 1", 0, 0}, c.xs, {{{9, "Light", 1, 0}, c.ys}});
        graph = DatalogGraph();
        settings("Timer 1", 1, {"Light"});
        RecordingSurface s(8000, 5000);
        EXPECT_EQ(draw(s), c.failure) << c.what;
        EXPECT_EQ(s.texts().last(), c.lastPrint) << c.what;
        EXPECT_TRUE(s.of("pset").isEmpty()) << c.what;
    }
}

// A series whose every value is the same runs across the middle of the plot,
// whatever its value; series that differ keep the range their values give.
TEST_F(GraphTest, SeriesThatNeverChangeRunAcrossTheMiddle)
{
    struct Case {
        const char* what;
        QVector<Integer> light, speed;  // speed empty: not checked
        Long yMin, yMax;                // as drawn
        double lightY;
    };
    const double middle = 800 + 3000 / 2.0;
    const Case cases[] = {
        {"above 0", {40, 40, 40}, {}, 0, 80, middle},
        {"0", {0, 0, 0}, {}, -1, 1, middle},
        {"below 0", {-5, -5, -5}, {}, -10, 0, middle},
        {"the largest value", {32767, 32767, 32767}, {}, 0, 65534, middle},
        {"the smallest but one", {-32767, -32767, -32767}, {}, -65534, 0, middle},
        {"two series of one value", {7, 7, 7}, {7, 7, 7}, 0, 14, middle},
        {"two series of two values", {20, 20, 20}, {30, 30, 30}, 0, 30, 800 + 3000 / 3.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QList<QPair<DatalogRecord, QVector<Integer>>> ys{{{9, "Light", 1, 0}, c.light}};
        if (!c.speed.isEmpty())
            ys.append({{0, "Speed", 3, 0}, c.speed});
        records = blocks({1, "Timer 1", 0, 0}, {0, 10, 20}, ys);
        graph = DatalogGraph();
        settings("Timer 1", 1, c.speed.isEmpty() ? QStringList{"Light"} : QStringList{"Light", "Speed"});
        RecordingSurface s(8000, 5000);
        ASSERT_EQ(draw(s), 0);
        EXPECT_EQ(graph.YMin, c.yMin);
        EXPECT_EQ(graph.YMax, c.yMax);
        const QList<SurfaceOp> pset = s.of("pset");
        ASSERT_FALSE(pset.isEmpty());
        EXPECT_DOUBLE_EQ(pset[0].y1, c.lightY);
        const QList<SurfaceOp> lines = s.of("lineto");
        ASSERT_EQ(lines.size(), c.speed.isEmpty() ? 2 : 4);
        EXPECT_DOUBLE_EQ(lines[0].y2, c.lightY);
        EXPECT_DOUBLE_EQ(lines[1].y2, c.lightY);
    }
}

TEST_F(GraphTest, SeventeenthYItemHasNoColour)
{
    QList<QPair<DatalogRecord, QVector<Integer>>> ys;
    QStringList names;
    for (int i = 0; i < 17; ++i) {
        names.append(QStringLiteral("V%1").arg(i));
        ys.append({{0, names.last(), Integer(i + 2), 0}, {Integer(i), Integer(i + 1)}});
    }
    records = blocks({1, "Timer 1", 0, 0}, {0, 10}, ys);
    settings("Timer 1", 1, names);
    RecordingSurface s(20000, 8000);
    EXPECT_EQ(draw(s), Err::SubscriptOutOfRange);
    EXPECT_EQ(s.of("box").size(), 16);
}

TEST_F(GraphTest, SurfaceTooLowStaysBlank)
{
    records = blocks({1, "Timer 1", 0, 0}, {0, 10}, {{{9, "Light", 1, 0}, {1, 2}}});
    settings("Timer 1", 1, {"Light"});
    RecordingSurface low(8000, 10 * 200 + 49);
    EXPECT_EQ(draw(low), 0);
    EXPECT_TRUE(low.ops.isEmpty());
    RecordingSurface enough(8000, 10 * 200 + 50);
    EXPECT_EQ(draw(enough), 0);
    EXPECT_FALSE(enough.ops.isEmpty());
}

TEST_F(GraphTest, LastBlockShortOfOneRecordIsStillPlotted)
{
    records = blocks({1, "Timer 1", 0, 0}, {0, 10, 20}, {{{9, "Light", 1, 0}, {1, 2, 3}}});
    records.removeLast();  // the last Light
    settings("Timer 1", 1, {"Light"});
    RecordingSurface s(8000, 5000);
    ASSERT_EQ(draw(s), 0);
    EXPECT_EQ(s.of("lineto").size(), 2);
    EXPECT_EQ(s.of("lineto").last().y2, s.of("lineto").first().y2);  // the latest Y value again
}

TEST_F(GraphTest, PointerCoordinatesInsideThePlotOnly)
{
    records = blocks({9, "Angle", 2, 0}, {100, 140}, {{{9, "Light", 1, 0}, {-10, 30}}});
    settings("Angle", 9, {"Light"});
    RecordingSurface s(8000, 5000);
    ASSERT_EQ(draw(s), 0);
    // X from the item's minimum; Y from YMin upwards.
    EXPECT_EQ(graph.Coordinates(1100 + 6600 / 2.0, 800 + 3000 / 2.0), "X=120.0      Y=10.0");
    EXPECT_EQ(graph.Coordinates(1100, 2000), "");
    EXPECT_EQ(graph.Coordinates(7700, 2000), "");
    EXPECT_EQ(graph.Coordinates(2000, 800), "");
    EXPECT_EQ(graph.Coordinates(2000, 3800), "");
}

}  // namespace
