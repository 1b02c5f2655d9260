#pragma once
// The graph's drawing surface over a QPainter: the graph area, the bitmap and
// the printed page draw the same graph through it. The surface measures in
// twips; deviceTwips says how many twips one device pixel holds (a screen
// pixel's on the screen, 1440 / dpi on a printer), pixelTwips how many twips a
// screen pixel holds, so that lines are one screen pixel wide on every device.
#include "datalog/core/DatalogGraph.h"

#include <QFont>
#include <QPointF>
#include <QSizeF>

class QPainter;

class PainterSurface : public IGraphSurface {
public:
    PainterSurface(QPainter& painter, QSizeF sizeTwips, double deviceTwipsX, double deviceTwipsY,
                   double pixelTwips);

    // The font the graph writes in, the same on every device.
    static QFont GraphFont();

    double ScaleWidth() const override { return mSize.width(); }
    double ScaleHeight() const override { return mSize.height(); }
    double TextWidth(const QString& text) const override;
    double TextHeight(const QString& text) const override;
    double CurrentX() const override { return mPos.x(); }
    double CurrentY() const override { return mPos.y(); }
    void setCurrentX(double x) override { mPos.setX(x); }
    void setCurrentY(double y) override { mPos.setY(y); }
    void setFontUnderline(bool on) override;
    void Print(const QString& text) override;
    void Line(double x1, double y1, double x2, double y2, const QColor& color = QColor(),
              bool box = false, bool fill = false) override;
    void LineTo(double x2, double y2, const QColor& color = QColor()) override;
    void PSet(double x, double y, const QColor& color) override;

private:
    QPointF device(double x, double y) const { return {x / mTx, y / mTy}; }
    void usePen(const QColor& color);

    QPainter& mPainter;
    QSizeF mSize;
    double mTx, mTy;
    double mPenWidth;
    QPointF mPos;
};
