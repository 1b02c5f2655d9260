#include "shell/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget* window, QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect g = screen->availableGeometry();
    window->move(g.left() + (g.width() - window->width()) / 2, g.top() + (g.height() - window->height()) / 2);
}
