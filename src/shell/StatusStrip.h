#pragma once
// The status strip picStatus of the main window: lines of text printed at a left
// offset in twips, black or red. Clearing empties it; each print adds a line
// below what it shows. At its right end it names the brick the program talks
// to; clearing leaves that.
#include "model/Variant.h"

#include <QList>
#include <QWidget>

class StatusStrip : public QWidget {
    Q_OBJECT
public:
    struct Line {
        QString text;
        int leftTwips = 700;
        Long color = 0;
    };

    explicit StatusStrip(QWidget* parent = nullptr);

    void Cls();
    void Print(const QString& text, int leftTwips = 700, Long color = 0);
    const QList<Line>& Lines() const { return mLines; }
    // The lines' texts joined by line breaks.
    QString Text() const;
    // The brick's field, painted at once (the strip may be shown in the
    // middle of a long exchange with the brick).
    void setBrick(const QString& text);
    const QString& Brick() const { return mBrick; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Line> mLines;
    QString mBrick;
};
