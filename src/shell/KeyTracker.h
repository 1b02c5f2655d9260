#pragma once
// The keyboard as the PC-side run and the joystick viewer read it: an event
// filter on the application that keeps, for every key code, whether the key is
// down and whether it was pressed since it was last asked for. Key codes are
// the virtual key codes of the projects (32 Space, 37 Left, 38 Up, 39 Right,
// 40 Down, 48..57 the digits, 65..90 the letters ...). The tracker sees the
// keys while the program has the focus; losing it counts as letting go.
//
// It answers as the program's IJoystick: the keys itself, the joystick's
// questions from the joystick it is given.
#include "model/Services.h"

#include <QObject>

#include <array>

class QKeyEvent;

// The key code of a key event, or 0 for a key without one.
int VirtualKeyCode(const QKeyEvent& event);
// The same from the parts of the event: Qt's key, its modifiers and the
// platform's own key symbol (which tells the left and right Shift, Ctrl and Alt apart).
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeKey);

class KeyTracker : public QObject, public IJoystick {
public:
    explicit KeyTracker(IJoystick* joystick = nullptr, QObject* parent = nullptr);

    // Watches every window of the application (installs itself on qApp).
    void Install();

    // Down now, or pressed since the last question; the question clears the latch.
    bool KeyDown(int code) override;
    JoystickCaps GetDevCaps() override;
    JoystickState GetPos() override;

    // What the filter does with a key; for tests.
    void Press(int code);
    void Release(int code);
    void ReleaseAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    IJoystick* mJoystick;
    std::array<bool, 256> mDown{};
    std::array<bool, 256> mPressed{};
};
