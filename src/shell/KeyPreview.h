#pragma once
// Sees the key presses of a window and all its controls before they do, as a
// form with key preview: the handler returns true to swallow the key.
#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

class KeyPreview : public QObject {
public:
    KeyPreview(QWidget* form, std::function<bool(QWidget* target, QKeyEvent*)> handler);
    // Watches a control added after the form was set up.
    void Watch(QWidget* w);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(QWidget*, QKeyEvent*)> mHandler;
};

// True for Enter on the main keyboard or the keypad (key code 13).
bool IsEnterKey(const QKeyEvent* e);
