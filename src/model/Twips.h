#pragma once
// The windows keep their geometry in twips; this is the one place where twips
// become screen pixels and back, and where the twips of one screen pixel
// (TwipsX, TwipsY) are kept: the start-up records them, ResetApp() puts back 15.
#include "model/AppState.h"

#include <QPointF>
#include <QRect>
#include <QtGlobal>

constexpr double TwipsPerInch = 1440;

// Twips of one screen pixel, horizontally and vertically.
struct ScreenTwips {
    double TwipsX = 15;
    double TwipsY = 15;
};
inline ScreenTwips& PixelTwips() { return AppScoped<ScreenTwips>(); }
inline void SetPixelTwips(double x, double y) { PixelTwips() = {x, y}; }

// Twips of one screen pixel, for the code that draws in twips itself.
inline double PixelTwipsX() { return PixelTwips().TwipsX; }
inline double PixelTwipsY() { return PixelTwips().TwipsY; }

inline int PixX(double twips) { return qRound(twips / PixelTwipsX()); }
inline int PixY(double twips) { return qRound(twips / PixelTwipsY()); }
// Pixels cut towards zero rather than rounded, for the sizes and offsets that
// have always been taken so.
inline int PixXCut(double twips) { return int(twips / PixelTwipsX()); }
inline int PixYCut(double twips) { return int(twips / PixelTwipsY()); }
inline double TwipX(int pixels) { return pixels * PixelTwipsX(); }
inline double TwipY(int pixels) { return pixels * PixelTwipsY(); }
// A mouse position in twips, fractions of a pixel kept.
inline QPointF TwipPoint(const QPointF& pixels) { return {pixels.x() * PixelTwipsX(), pixels.y() * PixelTwipsY()}; }

// The pixel rectangle of a twips rectangle; both edges are rounded, so that
// neighbouring cells tile without gaps.
inline QRect PixRect(double left, double top, double width, double height)
{
    const int l = PixX(left), t = PixY(top);
    return QRect(l, t, PixX(left + width) - l, PixY(top + height) - t);
}
