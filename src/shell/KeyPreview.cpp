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

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && mHandler) {
        if (mHandler(qobject_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool IsEnterKey(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
