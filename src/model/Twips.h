#pragma once
// The windows keep their geometry in twips; this is the one place where twips
// become screen pixels and back (App().TwipsX and TwipsY twips a pixel).
#include "model/AppState.h"

#include <QPointF>
#include <QRect>
#include <QtGlobal>

constexpr double TwipsPerInch = 1440;
// Twips of one screen pixel, for the code that draws in twips itself.
inline double PixelTwipsX() { return App().TwipsX; }
inline double PixelTwipsY() { return App().TwipsY; }

inline int PixX(double twips) { return qRound(twips / App().TwipsX); }
inline int PixY(double twips) { return qRound(twips / App().TwipsY); }
// Pixels cut towards zero rather than rounded, for the sizes and offsets that
// have always been taken so.
inline int PixXCut(double twips) { return int(twips / App().TwipsX); }
inline int PixYCut(double twips) { return int(twips / App().TwipsY); }
inline double TwipX(int pixels) { return pixels * App().TwipsX; }
inline double TwipY(int pixels) { return pixels * App().TwipsY; }
// A mouse position in twips, fractions of a pixel kept.
inline QPointF TwipPoint(const QPointF& pixels) { return {pixels.x() * App().TwipsX, pixels.y() * App().TwipsY}; }

// The pixel rectangle of a twips rectangle; both edges are rounded, so that
// neighbouring cells tile without gaps.
inline QRect PixRect(double left, double top, double width, double height)
{
    const int l = PixX(left), t = PixY(top);
    return QRect(l, t, PixX(left + width) - l, PixY(top + height) - t);
}
