#pragma once
// The datalog graph without widgets: the item table, the ranges of the items,
// and the drawing of the whole graph on a surface (the window's graph area,
// the picture saved as a bitmap, the printed page). Positions are in the
// surface's units (twips).
#include "model/Datalog.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QVector>

#include <array>

// What the graph draws on.
class IGraphSurface {
public:
    virtual ~IGraphSurface() = default;
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    virtual double TextWidth(const QString& text) const = 0;
    virtual double TextHeight(const QString& text) const = 0;
    virtual double CurrentX() const = 0;
    virtual double CurrentY() const = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    virtual void setFontUnderline(bool on) = 0;
    // Writes the text at the current position and moves to the start of the next line.
    virtual void Print(const QString& text) = 0;
    // A line (or with box a rectangle, filled in the colour with fill) from (x1, y1) to (x2, y2);
    // an invalid colour draws in the foreground colour. The pen ends at (x2, y2).
    virtual void Line(double x1, double y1, double x2, double y2, const QColor& color = QColor(),
                      bool box = false, bool fill = false) = 0;
    // A line from the pen's position.
    virtual void LineTo(double x2, double y2, const QColor& color = QColor()) = 0;
    // One point; the pen moves there.
    virtual void PSet(double x, double y, const QColor& color) = 0;
};

struct GraphItem {
    QString Name;
    Integer Source = 0;
    Long Min = 32767;
    Long Max = -32767;
};

// One entry of the Y item list: its text, whether it is checked, its source.
struct GraphYEntry {
    QString Name;
    bool Checked = false;
    Integer Source = 0;
};

// What the graph settings dialog chose.
struct GraphSettings {
    QString Title;
    QString XItem;
    Integer XSource = 0;
    QString XCaption;
    QString YCaption;
    QList<GraphYEntry> YEntries;
};

// The colour numbers of the Y items, in the order they are checked.
constexpr std::array<int, 16> kGraphColors = {0, 12, 9, 13, 10, 14, 11, 6, 1, 2, 3, 4, 5, 7, 8, 0};
// The standard 16-colour palette; another number fails with 5.
QColor PaletteColor(int number);
// The colour of the n-th checked Y item; n past the table fails with 9.
QColor GraphColor(int n);
constexpr int GridGrey = 192;

// One item per distinct non-empty name, in order of first appearance, with
// the source of its first record.
QVector<GraphItem> BuildGraphItems(const QVector<DatalogRecord>& records);
// Min and Max of the records named name: a timer (source 1) from its first
// value to its last, unwrapped by 32767 for every fall; the clock (14) from its
// first value to its last; others the smallest and the largest.
void ItemRange(const QVector<DatalogRecord>& records, const QString& name, Integer source, GraphItem& item);

// The graph's state: the table, the ranges, the plot rectangle and scales as
// the last drawing left them (the pointer's coordinates read them).
struct DatalogGraph {
    QVector<GraphItem> Items;
    GraphSettings Settings;
    int XItemIndex = -1;
    int XFirstRecord = -1;
    Long YMin = 32767;
    Long YMax = -32767;
    double ZeroRatio = 0;
    double PlotLeft = 0, PlotTop = 0, PlotWidth = 0, PlotHeight = 0;
    double XScale = 0, YScale = 0;

    // The ranges of the X item and the checked Y items, YMin, YMax, the zero
    // ratio and the X item's first record, from the settings. When every
    // checked value is the same value v, the Y range runs from v - |v| to
    // v + |v| (v - 1 to v + 1 for 0). Failure 5 when the X item is not in the
    // table.
    void Prepare(const QVector<DatalogRecord>& records);
    // Draws the whole graph. listLines is the number of lines of the list.
    // A failure (11 division by zero, 9 a colour past the table, 6 overflow)
    // ends the drawing with what was drawn so far. Nothing after the title is
    // drawn when the surface is too low for a plot.
    void Draw(IGraphSurface& s, const QVector<DatalogRecord>& records, int listLines, double twipsX,
              double twipsY);
    // The status text for the pointer at (x, y): "X=12.0      Y=3.5", or empty
    // outside the plot.
    QString Coordinates(double x, double y) const;
};
