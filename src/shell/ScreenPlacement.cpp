#include "shell/ScreenPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// What a window system's frame commonly takes around a window before the
// window has shown and its real frame is known: the sides and the bottom
// edge, and the title bar at the top.
constexpr int kFrameSide = 8;
constexpr int kTitleBar = 32;

// Clamps one side of a window: its start and length within [lo, lo + room).
// The start wins where the length can't fit.
void fitSpan(int& start, int& length, int lo, int room, int minimum)
{
    length = std::max(std::min(length, room), minimum);
    if (start + length > lo + room)
        start = lo + room - length;
    start = std::max(start, lo);
}

// The window the program placed a window over: its parent's window.
const QWidget* placedOver(const QWidget* window)
{
    const QWidget* parent = window->parentWidget();
    return parent ? parent->window() : nullptr;
}

const QString kFitOnShow = QStringLiteral("qmFitOnShow");

class FitOnShow : public QObject {
public:
    explicit FitOnShow(QWidget* window) : QObject(window), mWindow(window) { setObjectName(kFitOnShow); }

    // The frame the window had when it last hid, once it has shown.
    bool frameKnown = false;
    QMargins frame;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != mWindow || event->spontaneous())
            return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::Hide) {
            if (const QWindow* handle = mWindow->windowHandle()) {
                frame = handle->frameMargins();
                frameKnown = true;
            }
        } else if (event->type() == QEvent::Show) {
            // The show event comes once the window's size for this showing
            // is set and before the window system shows it.
            if (!mWindow->testAttribute(Qt::WA_Moved))
                centreOver(mWindow);
            KeepOnScreen(mWindow);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void centreOver(QWidget* window)
    {
        const QWidget* over = placedOver(window);
        if (!over || !over->isVisible()) {
            CentreOnScreen(window, window->screen());
            return;
        }
        QRect g(QPoint(), window->size());
        g.moveCenter(over->geometry().center());
        PlaceOnScreen(window, g, over->screen());
    }

    QWidget* mWindow;
};

}  // namespace

QRect FitInside(const QRect& wanted, const QRect& area, const QMargins& frame, const QSize& minimum)
{
    const QRect room = area.marginsRemoved(frame);
    int x = wanted.x(), y = wanted.y(), w = wanted.width(), h = wanted.height();
    fitSpan(x, w, room.left(), room.width(), std::max(0, minimum.width()));
    fitSpan(y, h, room.top(), room.height(), std::max(0, minimum.height()));
    return QRect(x, y, w, h);
}

QMargins WindowFrame(const QWidget* window)
{
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint))
        return {};
    switch (window->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
        return {};
    default:
        break;
    }
    if (const QWindow* handle = window->windowHandle(); handle && handle->isVisible())
        return handle->frameMargins();
    // A window shown again gets the frame it had.
    if (const auto* fit = static_cast<const FitOnShow*>(
            window->findChild<QObject*>(kFitOnShow, Qt::FindDirectChildrenOnly));
        fit && fit->frameKnown)
        return fit->frame;
    return QMargins(kFrameSide, kTitleBar, kFrameSide, kFrameSide);
}

QRect AvailableArea(const QWidget* window, QScreen* screen)
{
    if (!screen && window)
        screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void PlaceOnScreen(QWidget* window, const QRect& wanted, QScreen* screen)
{
    const QRect area = AvailableArea(window, screen);
    if (area.isEmpty()) {
        window->setGeometry(wanted);
        return;
    }
    window->setGeometry(FitInside(wanted, area, WindowFrame(window), window->minimumSize()));
}

void CentreOnScreen(QWidget* window, QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect room = area.marginsRemoved(WindowFrame(window));
    const QSize size = window->size().boundedTo(room.size()).expandedTo(window->minimumSize());
    QRect g(QPoint(), size);
    g.moveCenter(room.center());
    PlaceOnScreen(window, g, screen);
}

void KeepOnScreen(QWidget* window)
{
    PlaceOnScreen(window, window->geometry());
}

void FitWhenShown(QWidget* window)
{
    if (!window->findChild<QObject*>(kFitOnShow, Qt::FindDirectChildrenOnly))
        window->installEventFilter(new FitOnShow(window));
}

void PlaceInArea(QMdiSubWindow* sub, const QRect& wanted)
{
    QMdiArea* area = sub->mdiArea();
    if (!area) {
        sub->setGeometry(wanted);
        return;
    }
    sub->setGeometry(FitInside(wanted, area->viewport()->rect(), {}, sub->minimumSize()));
}
