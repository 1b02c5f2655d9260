#include "datalog/GraphSurface.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

PainterSurface::PainterSurface(QPainter& painter, QSizeF sizeTwips, double deviceTwipsX, double deviceTwipsY,
                               double pixelTwips)
    : mPainter(painter), mSize(sizeTwips), mTx(deviceTwipsX), mTy(deviceTwipsY),
      mPenWidth(qMax(1.0, pixelTwips / deviceTwipsX))
{
    mPainter.setFont(GraphFont());
    mPainter.setRenderHint(QPainter::Antialiasing, false);
}

QFont PainterSurface::GraphFont()
{
    QFont font = QGuiApplication::font();
    font.setPointSize(8);
    return font;
}

double PainterSurface::TextWidth(const QString& text) const
{
    return QFontMetricsF(mPainter.font(), mPainter.device()).horizontalAdvance(text) * mTx;
}

double PainterSurface::TextHeight(const QString&) const
{
    return QFontMetricsF(mPainter.font(), mPainter.device()).height() * mTy;
}

void PainterSurface::setFontUnderline(bool on)
{
    QFont font = mPainter.font();
    font.setUnderline(on);
    mPainter.setFont(font);
}

void PainterSurface::Print(const QString& text)
{
    const QFontMetricsF fm(mPainter.font(), mPainter.device());
    mPainter.setPen(QPen(Qt::black));
    const QPointF at = device(mPos.x(), mPos.y());
    mPainter.drawText(QPointF(at.x(), at.y() + fm.ascent()), text);
    mPos = {0, mPos.y() + fm.height() * mTy};
}

void PainterSurface::usePen(const QColor& color)
{
    QPen pen(color.isValid() ? color : QColor(Qt::black));
    pen.setWidthF(mPenWidth);
    pen.setCapStyle(Qt::SquareCap);
    mPainter.setPen(pen);
    mPainter.setBrush(Qt::NoBrush);
}

void PainterSurface::Line(double x1, double y1, double x2, double y2, const QColor& color, bool box, bool fill)
{
    usePen(color);
    if (fill)
        mPainter.setBrush(color.isValid() ? color : QColor(Qt::black));
    if (box)
        mPainter.drawRect(QRectF(device(x1, y1), device(x2, y2)).normalized());
    else
        mPainter.drawLine(device(x1, y1), device(x2, y2));
    mPos = {x2, y2};
}

void PainterSurface::LineTo(double x2, double y2, const QColor& color)
{
    Line(mPos.x(), mPos.y(), x2, y2, color);
}

void PainterSurface::PSet(double x, double y, const QColor& color)
{
    usePen(color);
    mPainter.drawPoint(device(x, y));
    mPos = {x, y};
}
