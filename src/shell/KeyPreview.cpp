#include "shell/KeyPreview.h"

#include <QKeyEvent>
#include <QWidget>

KeyPreview::KeyPreview(QWidget* form, std::function<bool(QWidget*, QKeyEvent*)> handler)
    : QObject(form), mHandler(std::move(handler))
{
    Watch(form);
    for (QWidget* w : form->findChildren<QWidget*>())
        Watch(w);
}

void KeyPreview::Watch(QWidget* w)
{
    w->installEventFilter(this);
}

bool KeyPreview::Travelling(const QEvent* event, const QWidget* watched) const
{
    return event == mPress && mReached && watched && watched != mReached && watched->isAncestorOf(mReached);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        mPress = nullptr;
        mReached = nullptr;
    } else if (event->type() == QEvent::KeyPress && mHandler) {
        QWidget* target = qobject_cast<QWidget*>(watched);
        if (Travelling(event, target)) {
            mReached = target;
            return QObject::eventFilter(watched, event);
        }
        const QPointer<KeyPreview> alive(this);
        const bool swallow = mHandler(target, static_cast<QKeyEvent*>(event));
        if (!alive)
            return swallow;
        // The handler may have shown a box, in whose loop other keys came and
        // went: this press travels on from here all the same.
        mPress = event;
        mReached = target;
        if (swallow)
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool IsEnterKey(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
