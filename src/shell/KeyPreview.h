#pragma once
// Sees the key presses of a window and all its controls before they do, as a
// form with key preview: the handler returns true to swallow the key.
//
// A key press that no control takes travels from the control with the focus
// up through its parents to the window. The handler sees each press once, at
// the first watched control it reaches, however far it travels afterwards and
// wherever the focus went while the handler ran (a message box shown by the
// key's action takes the focus, and gives it back elsewhere).
#include <QObject>
#include <QPointer>

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
    // True when the press reaching Watched is the one last handed over, on
    // its way up from the control it first reached.
    bool Travelling(const QEvent* event, const QWidget* watched) const;

    std::function<bool(QWidget*, QKeyEvent*)> mHandler;
    // The press last handed over and the last control it reached. Key events
    // are made afresh for each press, often at the same address, so the
    // address alone does not tell a press from the next one: the next one
    // starts again at a control below the window, not at a parent of where
    // the last one went.
    const QEvent* mPress = nullptr;
    QPointer<QWidget> mReached;
};

// True for Enter on the main keyboard or the keypad (key code 13).
bool IsEnterKey(const QKeyEvent* e);
