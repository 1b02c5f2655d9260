#pragma once
// Where the program's windows stand. Every window the program places or sizes
// lies within its screen's available area and is no larger than it, its frame
// and title bar included: where the place or size asked for does not fit, the
// window is shrunk to the area and moved in. A window inside the main
// window's MDI area lies within the area's visible part in the same way.
#include <QMargins>
#include <QRect>

class QMdiSubWindow;
class QScreen;
class QWidget;

// The geometry of a window's inside that asks for Wanted within Area with a
// frame of that size around it: no wider nor taller than Area less the frame,
// and moved in so that the frame lies inside Area. Where even that can't be
// (a minimum larger than Area), the top left corner with the title bar stays
// in Area.
QRect FitInside(const QRect& wanted, const QRect& area, const QMargins& frame = {}, const QSize& minimum = {});

// The room the window system's frame takes around a top-level window: the
// real frame of a window that has been shown, else what a frame commonly
// takes (none for a window without a frame).
QMargins WindowFrame(const QWidget* window);

// The available area of the screen: the given one, else the window's, else
// the primary screen's. Empty without a screen.
QRect AvailableArea(const QWidget* window, QScreen* screen = nullptr);

// Gives a top-level window the geometry asked for (its inside, in global
// coordinates), fitted to the screen.
void PlaceOnScreen(QWidget* window, const QRect& wanted, QScreen* screen = nullptr);

// Moves the window, at its present size, to the middle of the screen's
// available area (the given screen's, else the primary one's), shrunk where
// it is larger. Nothing happens without a screen.
void CentreOnScreen(QWidget* window, QScreen* screen = nullptr);

// Keeps the window where and as large as it is, fitted to the screen.
void KeepOnScreen(QWidget* window);

// From now on the window is fitted to the screen each time it shows, once
// its size for the showing is known: for windows whose size their layout
// sets, and those that show again after the screen may have changed. A window
// not placed yet is centred over its parent window first (over the screen
// without one).
void FitWhenShown(QWidget* window);

// Gives a window of the MDI area the geometry asked for (in the area's
// coordinates), fitted to the area's visible part.
void PlaceInArea(QMdiSubWindow* sub, const QRect& wanted);
