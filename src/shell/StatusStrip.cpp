#include "shell/StatusStrip.h"

#include "model/AppState.h"
#include "model/Twips.h"

#include <QPainter>

StatusStrip::StatusStrip(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picStatus"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
    setPalette(pal);
    setMinimumHeight(sizeHint().height());
}

void StatusStrip::Cls()
{
    mLines.clear();
    update();
}

void StatusStrip::Print(const QString& text, int leftTwips, Long color)
{
    mLines.append({text, leftTwips, color});
    update();
}

QString StatusStrip::Text() const
{
    QStringList t;
    for (const auto& l : mLines)
        t.append(l.text);
    return t.join(QLatin1Char('\n'));
}

void StatusStrip::setBrick(const QString& text)
{
    if (text == mBrick)
        return;
    mBrick = text;
    setToolTip(text);
    if (isVisible())
        repaint();
}

QSize StatusStrip::sizeHint() const
{
    return {400, fontMetrics().height() * 2 + 6};
}

void StatusStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    // Only the last lines that fit are visible, as in a picture box that scrolls nothing.
    int y = 3 + fm.ascent();
    for (const auto& l : mLines) {
        // Colours are written as &HBBGGRR: 255 is red.
        const QColor c(l.color & 0xFF, (l.color >> 8) & 0xFF, (l.color >> 16) & 0xFF);
        p.setPen(c);
        p.drawText(PixXCut(l.leftTwips), y, l.text);
        y += fm.height();
    }
    if (!mBrick.isEmpty()) {
        // On the strip's last line, at its right end.
        p.setPen(palette().color(QPalette::WindowText));
        const QRect r = rect().adjusted(0, 3, -6, -3);
        p.drawText(r, Qt::AlignRight | Qt::AlignBottom, mBrick);
    }
}
