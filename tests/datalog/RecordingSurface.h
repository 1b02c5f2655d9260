#pragma once
// A graph surface that writes down what is drawn on it, with simple text
// metrics: every character 100 twips wide, every text 200 twips high.
#include "datalog/core/DatalogGraph.h"

#include <QList>

struct SurfaceOp {
    QString kind;  // "line", "box", "lineto", "pset", "print"
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    QColor color;
    QString text;
    bool underline = false;
    bool fill = false;
};

class RecordingSurface : public IGraphSurface {
public:
    RecordingSurface(double width, double height) : mWidth(width), mHeight(height) {}

    QList<SurfaceOp> ops;
    QList<SurfaceOp> of(const QString& kind) const
    {
        QList<SurfaceOp> list;
        for (const SurfaceOp& op : ops)
            if (op.kind == kind)
                list.append(op);
        return list;
    }
    QStringList texts() const
    {
        QStringList list;
        for (const SurfaceOp& op : ops)
            if (op.kind == QLatin1String("print"))
                list.append(op.text);
        return list;
    }

    double ScaleWidth() const override { return mWidth; }
    double ScaleHeight() const override { return mHeight; }
    double TextWidth(const QString& text) const override { return 100.0 * text.size(); }
    double TextHeight(const QString&) const override { return 200; }
    double CurrentX() const override { return mX; }
    double CurrentY() const override { return mY; }
    void setCurrentX(double x) override { mX = x; }
    void setCurrentY(double y) override { mY = y; }
    void setFontUnderline(bool on) override { mUnderline = on; }
    void Print(const QString& text) override
    {
        SurfaceOp op;
        op.kind = QStringLiteral("print");
        op.x1 = mX;
        op.y1 = mY;
        op.text = text;
        op.underline = mUnderline;
        ops.append(op);
        mX = 0;
        mY += 200;
    }
    void Line(double x1, double y1, double x2, double y2, const QColor& color, bool box, bool fill) override
    {
        SurfaceOp op{box ? QStringLiteral("box") : QStringLiteral("line"), x1, y1, x2, y2, color, {}};
        op.fill = fill;
        ops.append(op);
        mX = x2;
        mY = y2;
    }
    void LineTo(double x2, double y2, const QColor& color) override
    {
        ops.append({QStringLiteral("lineto"), mX, mY, x2, y2, color, {}});
        mX = x2;
        mY = y2;
    }
    void PSet(double x, double y, const QColor& color) override
    {
        ops.append({QStringLiteral("pset"), x, y, x, y, color, {}});
        mX = x;
        mY = y;
    }

private:
    double mWidth, mHeight;
    double mX = 0, mY = 0;
    bool mUnderline = false;
};
