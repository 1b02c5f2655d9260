#pragma once
// Where a top-level window first stands on the screen.
class QScreen;
class QWidget;

// Moves the window to the middle of the screen's available area: the primary
// screen's unless another is given. Nothing happens without a screen.
void CentreOnScreen(QWidget* window, QScreen* screen = nullptr);
