#include "setup/SetupPictures.h"

#include "setup/core/SetupService.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <cmath>

namespace {

const QColor kBody(250, 200, 30);        // the brick's yellow
const QColor kBodyDark(200, 150, 10);
const QColor kGrey(110, 110, 115);
const QColor kDarkGrey(60, 60, 64);
const QColor kPad(40, 40, 44);

QPixmap blank(const QSize& size)
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pm(size * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    return pm;
}

// A grey four-stud connector with its label beside it.
void drawPad(QPainter& p, const QRectF& r, const QString& label, bool labelBelow)
{
    p.setPen(QPen(kDarkGrey, 1));
    p.setBrush(kPad);
    p.drawRoundedRect(r, 4, 4);
    p.setBrush(kGrey);
    const qreal s = r.width() / 4.2;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            p.drawEllipse(QRectF(r.left() + r.width() * (0.18 + 0.42 * i), r.top() + r.height() * (0.18 + 0.42 * j), s, s));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(int(r.height() * 0.3));
    p.setFont(f);
    p.setPen(Qt::black);
    const QRectF text = labelBelow ? QRectF(r.left(), r.bottom() + 1, r.width(), r.height() * 0.4)
                                   : QRectF(r.left(), r.top() - r.height() * 0.4 - 1, r.width(), r.height() * 0.4);
    p.drawText(text, Qt::AlignCenter, label);
}

QRect portRect(const QSize& b, int port, bool top)
{
    const int pad = qMin(b.width() / 5, b.height() / 5);
    const int gap = (b.width() - 3 * pad) / 4;
    const int x = gap + port * (pad + gap);
    const int y = top ? int(b.height() * 0.10) : b.height() - int(b.height() * 0.10) - pad;
    return QRect(x, y, pad, pad);
}

// The grey middle of the brick, which holds the display and the four keys.
QRectF brickMiddle(const QSize& size)
{
    const QRectF body(1, 1, size.width() - 2, size.height() - 2);
    return QRectF(body.left() + body.width() * 0.08, body.top() + body.height() * 0.34, body.width() * 0.84,
                  body.height() * 0.32);
}

// The keys' centres: 0 the red one on the left, 1 and 2 the grey ones below
// the display, 3 the green one on the right; all of one radius.
QPointF keyCentre(const QSize& size, int key)
{
    const QRectF middle = brickMiddle(size);
    const qreal k = middle.height() * 0.22;
    switch (key) {
    case 0: return {middle.left() + k * 1.1, middle.center().y()};
    case 1: return {middle.center().x() - k * 1.4, middle.bottom() - k * 0.9};
    case 2: return {middle.center().x() + k * 1.4, middle.bottom() - k * 0.9};
    default: return {middle.right() - k * 1.1, middle.center().y()};
    }
}

qreal keyRadius(const QSize& size) { return brickMiddle(size).height() * 0.22 * 0.6; }

}  // namespace

QRect SensorPortRect(const QSize& brick, int port) { return portRect(brick, port, true); }
QRect OutputPortRect(const QSize& brick, int port) { return portRect(brick, port, false); }

QRect SlotDisplayRect(const QSize& b)
{
    return QRect(int(b.width() * 0.28), int(b.height() * 0.42), int(b.width() * 0.44), int(b.height() * 0.16));
}

QRect BrickKeyRect(const QSize& b, int key)
{
    // Over one of the grey keys below the display, the two a few pixels apart.
    const QPointF c = keyCentre(b, key == 0 ? 1 : 2);
    const qreal r = keyRadius(b);
    const qreal width = 2 * qAbs(c.x() - brickMiddle(b).center().x()) - 4;
    return QRectF(c.x() - width / 2, c.y() - r - 1, width, 2 * r + 2).toAlignedRect();
}

QPixmap BrickPicture(const QSize& size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(1, 1, size.width() - 2, size.height() - 2);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, kBody.lighter(110));
    g.setColorAt(1, kBody);
    p.setPen(QPen(kBodyDark, 2));
    p.setBrush(g);
    p.drawRoundedRect(body, 14, 14);
    // The grey middle with the display and the four keys.
    const QRectF middle = brickMiddle(size);
    p.setPen(QPen(kDarkGrey, 1));
    p.setBrush(QColor(170, 170, 175));
    p.drawRoundedRect(middle, 8, 8);
    const QRect display = SlotDisplayRect(size);
    p.setBrush(QColor(190, 205, 180));
    p.drawRect(display);
    QFont f = p.font();
    f.setPixelSize(qMax(8, display.height() / 3));
    p.setFont(f);
    p.setPen(kDarkGrey);
    p.drawText(display.adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Program"));
    const QColor keys[] = {QColor(200, 30, 30), kDarkGrey, kDarkGrey, QColor(40, 140, 60)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(keys[i]);
        p.drawEllipse(keyCentre(size, i), keyRadius(size), keyRadius(size));
    }
    // The name plate and the ports.
    f.setBold(true);
    f.setPixelSize(qMax(9, int(size.height() * 0.05)));
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRectF(middle.left(), middle.top() + 2, middle.width(), middle.height() * 0.3), Qt::AlignCenter,
               QStringLiteral("RCX"));
    for (int i = 0; i < 3; ++i) {
        drawPad(p, SensorPortRect(size, i), QString::number(i + 1), true);
        drawPad(p, OutputPortRect(size, i), QString(QChar('A' + i)), false);
    }
    return pm;
}

QPixmap PalettePicture(int index, const QSize& size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();
    const QRectF r(w * 0.1, h * 0.1, w * 0.8, h * 0.8);
    p.setPen(QPen(kDarkGrey, 1.2));
    switch (index) {
    case SetupPicture::Touch: {
        // A grey brick with a yellow push button on its front.
        p.setBrush(kGrey);
        p.drawRoundedRect(QRectF(r.left(), r.top() + h * 0.25, r.width() * 0.7, r.height() * 0.55), 3, 3);
        p.setBrush(kBody);
        p.drawRoundedRect(QRectF(r.left() + r.width() * 0.7, r.top() + h * 0.35, r.width() * 0.3, r.height() * 0.3), 2, 2);
        p.setBrush(kPad);
        p.drawRect(QRectF(r.left() + w * 0.08, r.top() + h * 0.12, w * 0.4, h * 0.14));
        break;
    }
    case SetupPicture::Temperature: {
        // A thermometer.
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(w * 0.42, h * 0.1, w * 0.16, h * 0.62), w * 0.08, w * 0.08);
        p.setBrush(QColor(210, 30, 30));
        p.drawEllipse(QPointF(w * 0.5, h * 0.76), w * 0.15, w * 0.15);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(w * 0.46, h * 0.35, w * 0.08, h * 0.4));
        p.setPen(QPen(kDarkGrey, 1));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(w * 0.6, h * (0.2 + 0.12 * i)), QPointF(w * 0.7, h * (0.2 + 0.12 * i)));
        break;
    }
    case SetupPicture::Light: {
        // A sensor block with a lens and a red lamp.
        p.setBrush(kGrey);
        p.drawRoundedRect(QRectF(r.left(), r.top() + h * 0.2, r.width(), r.height() * 0.6), 3, 3);
        p.setBrush(QColor(30, 30, 30));
        p.drawEllipse(QPointF(w * 0.35, h * 0.5), w * 0.13, w * 0.13);
        p.setBrush(QColor(230, 40, 40));
        p.drawEllipse(QPointF(w * 0.68, h * 0.5), w * 0.1, w * 0.1);
        p.setPen(QPen(QColor(250, 200, 30), 1.5));
        for (int i = -1; i <= 1; ++i)
            p.drawLine(QPointF(w * 0.82, h * 0.5 + i * h * 0.1), QPointF(w * 0.95, h * 0.5 + i * h * 0.16));
        break;
    }
    case SetupPicture::Rotation: {
        // A block with an axle hole and a turning arrow.
        p.setBrush(kGrey);
        p.drawRoundedRect(r, 4, 4);
        p.setBrush(kPad);
        const QPointF c(w * 0.5, h * 0.5);
        p.drawEllipse(c, w * 0.12, w * 0.12);
        p.setPen(QPen(QColor(30, 90, 200), 2));
        p.setBrush(Qt::NoBrush);
        const QRectF arc(c.x() - w * 0.27, c.y() - h * 0.27, w * 0.54, h * 0.54);
        p.drawArc(arc, 30 * 16, 270 * 16);
        const QPointF tip(c.x() + w * 0.27 * std::cos(30 * M_PI / 180), c.y() - h * 0.27 * std::sin(30 * M_PI / 180));
        p.drawLine(tip, tip + QPointF(-w * 0.1, -h * 0.02));
        p.drawLine(tip, tip + QPointF(w * 0.0, h * 0.1));
        break;
    }
    case SetupPicture::Motor: {
        // A motor block with its axle.
        p.setBrush(kGrey);
        p.drawRoundedRect(QRectF(r.left(), r.top() + h * 0.15, r.width() * 0.75, r.height() * 0.7), 4, 4);
        p.setBrush(kPad);
        p.drawRect(QRectF(r.left() + w * 0.06, r.top() + h * 0.2, w * 0.45, h * 0.14));
        p.setBrush(QColor(90, 90, 95));
        p.drawRect(QRectF(r.left() + r.width() * 0.75, h * 0.44, r.width() * 0.25, h * 0.12));
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(int(h * 0.24));
        p.setFont(f);
        p.drawText(QRectF(r.left(), r.top() + h * 0.4, r.width() * 0.75, h * 0.4), Qt::AlignCenter, QStringLiteral("M"));
        break;
    }
    default:
        break;
    }
    return pm;
}

QPixmap CoverPicture(const QSize& size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(QColor(225, 225, 225));
    p.drawRoundedRect(QRectF(2, 2, size.width() - 4, size.height() - 4), 4, 4);
    p.setPen(QPen(QColor(170, 170, 170), 2));
    p.drawLine(QPointF(size.width() * 0.25, size.height() * 0.25), QPointF(size.width() * 0.75, size.height() * 0.75));
    p.drawLine(QPointF(size.width() * 0.75, size.height() * 0.25), QPointF(size.width() * 0.25, size.height() * 0.75));
    return pm;
}

QPixmap PortPicture(int index, const QSize& size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(QColor(245, 245, 240));
    p.drawRoundedRect(QRectF(1.5, 1.5, size.width() - 3, size.height() - 3), 4, 4);
    p.drawPixmap(0, 0, PalettePicture(index, size));
    return pm;
}

QPixmap ToolPicture(int index, const QSize& size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();
    switch (index) {
    case 0: {  // a chart of logged values
        p.setPen(QPen(kDarkGrey, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(w * 0.1, h * 0.15, w * 0.8, h * 0.7));
        p.setPen(QPen(QColor(30, 90, 200), 2));
        const QPointF pts[] = {{w * 0.15, h * 0.7}, {w * 0.35, h * 0.45}, {w * 0.55, h * 0.6}, {w * 0.85, h * 0.25}};
        p.drawPolyline(pts, 4);
        break;
    }
    case 1: {  // a chip with a downward arrow
        p.setPen(QPen(kDarkGrey, 1));
        p.setBrush(kPad);
        const QRectF chip(w * 0.25, h * 0.45, w * 0.5, h * 0.4);
        p.drawRect(chip);
        p.setPen(QPen(kGrey, 1.5));
        for (int i = 0; i < 4; ++i) {
            const qreal x = chip.left() + chip.width() * (0.15 + 0.23 * i);
            p.drawLine(QPointF(x, chip.top()), QPointF(x, chip.top() - h * 0.06));
            p.drawLine(QPointF(x, chip.bottom()), QPointF(x, chip.bottom() + h * 0.06));
        }
        p.setPen(QPen(QColor(200, 40, 40), 2.5));
        p.drawLine(QPointF(w * 0.5, h * 0.05), QPointF(w * 0.5, h * 0.33));
        p.drawLine(QPointF(w * 0.38, h * 0.22), QPointF(w * 0.5, h * 0.34));
        p.drawLine(QPointF(w * 0.62, h * 0.22), QPointF(w * 0.5, h * 0.34));
        break;
    }
    case 3: {  // a battery
        p.setPen(QPen(kDarkGrey, 1.5));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(w * 0.12, h * 0.3, w * 0.68, h * 0.4), 3, 3);
        p.setBrush(kDarkGrey);
        p.drawRect(QRectF(w * 0.8, h * 0.42, w * 0.08, h * 0.16));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 200, 0));
        p.drawRect(QRectF(w * 0.16, h * 0.34, w * 0.44, h * 0.32));
        break;
    }
    case 4: {  // the power symbol
        p.setPen(QPen(kDarkGrey, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF ring(w * 0.22, h * 0.22, w * 0.56, h * 0.56);
        p.drawArc(ring, 120 * 16, 300 * 16);
        p.drawLine(QPointF(w * 0.5, h * 0.12), QPointF(w * 0.5, h * 0.48));
        break;
    }
    default:
        break;
    }
    return pm;
}

QString PaletteTip(int index)
{
    switch (index) {
    case SetupPicture::Touch: return QStringLiteral("Touch Sensor");
    case SetupPicture::Temperature: return QStringLiteral("Temperature Sensor");
    case SetupPicture::Light: return QStringLiteral("Light Sensor");
    case SetupPicture::Rotation: return QStringLiteral("Rotation Sensor");
    case SetupPicture::Motor: return QStringLiteral("Motor (or any other output like Lamp etc..)");
    default: return QString();
    }
}
