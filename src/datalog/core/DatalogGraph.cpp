#include "datalog/core/DatalogGraph.h"

#include "model/VbError.h"

#include <cmath>

namespace {

// The whole number from 1 up that first satisfies the test; a counter past
// 16 bits fails with 6, as it would on a surface too narrow for any step.
template <typename Test>
int smallestStep(Test ok)
{
    for (int k = 1; k <= 32767; ++k)
        if (ok(k))
            return k;
    raiseError(Err::Overflow);
}

double divide(double a, double b)
{
    if (b == 0)
        raiseError(Err::DivisionByZero);
    return a / b;
}

int itemIndex(const QVector<GraphItem>& items, const QString& name)
{
    for (int i = 0; i < items.size(); ++i)
        if (items[i].Name == name)
            return i;
    return -1;
}

}  // namespace

QColor PaletteColor(int number)
{
    static const QColor palette[16] = {
        {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128}, {128, 0, 0},     {128, 0, 128},
        {128, 128, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
    };
    if (number < 0 || number > 15)
        raiseError(Err::InvalidCall);
    return palette[number];
}

QColor GraphColor(int n)
{
    if (n < 0 || n >= int(kGraphColors.size()))
        raiseError(Err::SubscriptOutOfRange);
    return PaletteColor(kGraphColors[n]);
}

QVector<GraphItem> BuildGraphItems(const QVector<DatalogRecord>& records)
{
    QVector<GraphItem> items;
    for (const DatalogRecord& r : records) {
        if (r.Name.isEmpty() || itemIndex(items, r.Name) >= 0)
            continue;
        GraphItem item;
        item.Name = r.Name;
        item.Source = r.Source;
        items.append(item);
    }
    return items;
}

void ItemRange(const QVector<DatalogRecord>& records, const QString& name, Integer source, GraphItem& item)
{
    Long min = 32767, max = -32767;
    bool first = true;
    Long wraps = 0;
    Long last = 0;
    for (const DatalogRecord& r : records) {
        if (r.Name != name)
            continue;
        const Long v = r.Value;
        if (source == 1) {
            if (first) {
                min = v;
                last = v;
            }
            if (v < last)
                ++wraps;
            last = v;
        } else if (source == 14) {
            if (first)
                min = v;
            max = v;
        } else {
            min = qMin(min, v);
            max = qMax(max, v);
        }
        first = false;
    }
    if (source == 1 && !first)
        max = vb::CLng(double(wraps) * 32767.0 + last);
    item.Min = min;
    item.Max = max;
}

void DatalogGraph::Prepare(const QVector<DatalogRecord>& records)
{
    const int x = itemIndex(Items, Settings.XItem);
    if (x < 0)
        raiseError(Err::InvalidCall);
    ItemRange(records, Settings.XItem, Settings.XSource, Items[x]);
    XItemIndex = x;
    // The Y range spans the checked items but the X item.
    Long yMin = 32767, yMax = -32767;
    for (const GraphYEntry& e : Settings.YEntries) {
        if (!e.Checked)
            continue;
        const int y = itemIndex(Items, e.Name);
        if (y < 0)
            raiseError(Err::InvalidCall);
        ItemRange(records, e.Name, e.Source, Items[y]);
        if (y != x) {
            yMin = qMin(yMin, Items[y].Min);
            yMax = qMax(yMax, Items[y].Max);
        }
    }
    // Series that never change would give the plot no height, or put their
    // line on its top edge: the range then reaches as far again on either
    // side of their value, so that the line runs across the middle.
    if (yMin == yMax) {
        const Long margin = qMax<Long>(1, std::abs(yMin));
        yMin -= margin;
        yMax += margin;
    }
    ZeroRatio = 0;
    YMin = yMin;
    YMax = yMax;
    if (YMin < 0 && YMax > 0)
        ZeroRatio = double(std::abs(YMin)) / double(std::abs(YMin) + YMax);
    XFirstRecord = -1;
    for (int i = 0; i < records.size(); ++i) {
        if (records[i].Name == Settings.XItem) {
            XFirstRecord = i;
            break;
        }
    }
}

void DatalogGraph::Draw(IGraphSurface& s, const QVector<DatalogRecord>& records, int listLines, double twipsX,
                        double twipsY)
{
    const QString A = QStringLiteral("A");
    const double tA = s.TextWidth(A);
    const double hA = s.TextHeight(A);
    const double wide = s.TextWidth(QStringLiteral("32767"));

    // 1. The plot rectangle.
    PlotWidth = s.ScaleWidth() - 9 * tA - wide;
    PlotHeight = s.ScaleHeight() - 10 * hA;
    if (PlotHeight < 50)
        return;
    PlotLeft = wide + 6 * tA;
    PlotTop = 4 * hA;
    const double B = PlotTop + PlotHeight;
    const double AY = B - ZeroRatio * PlotHeight;

    // 2. The title.
    s.setFontUnderline(true);
    s.setCurrentX((s.ScaleWidth() - s.TextWidth(Settings.Title)) / 2);
    s.setCurrentY(hA);
    s.Print(Settings.Title);
    s.setFontUnderline(false);

    // 3. The legend, two entries a column below the plot.
    {
        double x = 3 * hA;
        double columnWidth = 0;
        int n = 0;
        for (const GraphYEntry& e : Settings.YEntries) {
            if (!e.Checked)
                continue;
            const int r = n % 2;
            const double y = B + (3 + 1.3 * r) * hA;
            s.Line(x, y, x + hA, y + hA, GraphColor(n), true, true);
            s.setCurrentX(x + 1.9 * hA);
            s.setCurrentY(y);
            s.Print(e.Name);
            const double w = s.TextWidth(e.Name);
            if (r == 0) {
                columnWidth = w;
            } else {
                columnWidth = qMax(columnWidth, w);
                x += columnWidth + 2 * hA;
            }
            ++n;
        }
    }

    // 4. The captions.
    s.setCurrentX(3 * tA);
    s.setCurrentY(2 * hA);
    s.Print(Settings.YCaption);
    s.setCurrentX(PlotLeft);
    s.setCurrentY(B + 1.5 * hA);
    s.Print(QLatin1Char('(') + Settings.XItem + QStringLiteral(") ") + Settings.XCaption);

    // 5. The X axis.
    s.Line(PlotLeft, AY, PlotLeft + PlotWidth, AY);

    // 6. The X scale.
    if (XItemIndex < 0 || XItemIndex >= Items.size())
        raiseError(Err::SubscriptOutOfRange);
    const GraphItem& xItem = Items[XItemIndex];
    const Long xMin = xItem.Min;
    const Long xRange = xItem.Max - xItem.Min;
    XScale = divide(PlotWidth, xRange);

    // 7. The number of samples (blocks).
    const int itemCount = int(Items.size());
    bool counted = false;
    for (const GraphItem& item : Items)
        counted = counted || item.Source == -1;
    const Long samples = vb::CLng(divide(listLines, counted ? itemCount - 1 : itemCount));

    // 8, 9. Tick and label steps.
    const double gaps = samples - 1;
    const int k = smallestStep([&](int k) { return divide(PlotWidth * k, gaps) >= 3 * twipsX; });
    const double S = PlotWidth * k / gaps;
    const double labelRoom = s.TextWidth(QString::number(xRange)) + 6 * twipsX;
    const int m = smallestStep([&](int m) { return m * S >= labelRoom; });

    // 10. X ticks, grid and labels.
    int c = 0;
    for (Long j = 0; j <= samples - 1; j += k, ++c) {
        const double x = PlotLeft + c * S;
        s.Line(x, AY, x, AY + 4 * twipsY);
        if (c % m != 0)
            continue;
        s.Line(x, AY, x, AY + 7 * twipsY);
        s.Line(x, B, x, PlotTop, PaletteColor(7));
        const qint64 index = qint64(XFirstRecord) + qint64(j) * itemCount;
        if (index < 0 || index >= records.size())
            raiseError(Err::SubscriptOutOfRange);
        const Long v = records[index].Value;
        QString label;
        if (xItem.Source == 14) {
            const Long whole = Long(std::floor(v / 60.0));
            label = QString::number(whole) + QLatin1Char(':') + QString::number(v - 60 * whole);
        } else if (xItem.Source == 1) {
            label = QString::number(v - xMin);
        } else {
            label = QString::number(v);
        }
        s.setCurrentX(x - s.TextWidth(label) / 2);
        s.setCurrentY(AY + 8 * twipsY);
        s.Print(label);
    }

    // 11. The Y axis.
    s.Line(PlotLeft, PlotTop, PlotLeft, B);

    // 12, 13. The Y scale and tick step.
    if (YMin > 0)
        YMin = 0;
    const Long yRange = YMax - YMin;
    YScale = divide(PlotHeight, yRange);
    const double th = s.TextHeight(QStringLiteral("0"));
    const int q = smallestStep([&](int q) { return PlotHeight * q / yRange >= th + 4 * twipsX; });
    const double YS = PlotHeight * q / yRange;

    // 14. Y ticks, grid and labels.
    int i = 0;
    for (Long v = YMin; v <= YMax; v += q, ++i) {
        const double LY = std::nearbyint(B - i * YS - (th / 2 + twipsY));
        const double TY = LY + twipsX + th / 2;
        s.Line(PlotLeft, TY, PlotLeft - 5 * twipsX, TY);
        s.Line(PlotLeft, TY, PlotLeft + PlotWidth, TY, PaletteColor(7));
        const QString number = QString::number(v);
        s.setCurrentX(PlotLeft - 9 * twipsY - s.TextWidth(number));
        s.setCurrentY(LY);
        s.Print((v >= 0 ? QStringLiteral(" ") : QString()) + number + QLatin1Char(' '));
    }

    // 15. The X axis over the grid.
    s.Line(PlotLeft, AY, PlotLeft + PlotWidth, AY);

    // 16. The data: one point a block for each checked Y item.
    int n = 0;
    for (const GraphYEntry& e : Settings.YEntries) {
        if (!e.Checked)
            continue;
        const QColor color = GraphColor(n);
        int counter = 0;
        bool firstPoint = true;
        Long xs = 0, yv = 0;
        for (qsizetype r = 0; r <= records.size(); ++r) {
            ++counter;
            if (r < records.size()) {
                const DatalogRecord& rec = records[r];
                if (rec.Name == Settings.XItem)
                    xs = rec.Value - xMin;
                else if (rec.Name == e.Name)
                    yv = rec.Value;
            }
            if (counter != itemCount)
                continue;
            counter = 0;
            const double y = B - YScale * std::abs(yv - YMin);
            if (firstPoint) {
                s.PSet(PlotLeft, y, color);
                firstPoint = false;
            } else {
                s.LineTo(PlotLeft + xs * XScale, y, color);
            }
        }
        ++n;
    }
}

QString DatalogGraph::Coordinates(double x, double y) const
{
    if (x <= PlotLeft || x >= PlotLeft + PlotWidth || y <= PlotTop || y >= PlotTop + PlotHeight)
        return QString();
    if (XScale == 0 || YScale == 0 || XItemIndex < 0 || XItemIndex >= Items.size())
        return QString();
    const GraphItem& item = Items[XItemIndex];
    double xv = (x - PlotLeft) / XScale;
    if (item.Source != 1)
        xv += item.Min;
    const double yv = (PlotTop + PlotHeight - y) / YScale + YMin;
    return QStringLiteral("X=") + QString::number(xv, 'f', 1) + QStringLiteral("      Y=") +
           QString::number(yv, 'f', 1);
}
