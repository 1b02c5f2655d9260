#include "shell/KeyTracker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace {

// The platform's symbols of the right-hand modifier keys.
constexpr quint32 kShiftR = 0xffe2;
constexpr quint32 kControlR = 0xffe4;
constexpr quint32 kAltR = 0xffea;

// Shifted symbols of a US keyboard, back to the key that makes them.
int unshifted(int key)
{
    switch (key) {
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Underscore: return Qt::Key_Minus;
    case Qt::Key_Plus: return Qt::Key_Equal;
    case Qt::Key_Colon: return Qt::Key_Semicolon;
    case Qt::Key_QuoteDbl: return Qt::Key_Apostrophe;
    case Qt::Key_Less: return Qt::Key_Comma;
    case Qt::Key_Greater: return Qt::Key_Period;
    case Qt::Key_Question: return Qt::Key_Slash;
    case Qt::Key_AsciiTilde: return Qt::Key_QuoteLeft;
    case Qt::Key_BraceLeft: return Qt::Key_BracketLeft;
    case Qt::Key_BraceRight: return Qt::Key_BracketRight;
    case Qt::Key_Bar: return Qt::Key_Backslash;
    default: return key;
    }
}

}  // namespace

int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeKey)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    // The keypad's plus and times come before the shifted symbols of the main keyboard.
    if (keypad && qtKey == Qt::Key_Plus)
        return 107;
    if (keypad && qtKey == Qt::Key_Asterisk)
        return 106;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 96 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Shift: return nativeKey == kShiftR ? 161 : 160;
    case Qt::Key_Control: return nativeKey == kControlR ? 163 : 162;
    case Qt::Key_Alt: case Qt::Key_AltGr: return nativeKey == kAltR || qtKey == Qt::Key_AltGr ? 165 : 164;
    default: break;
    }
    switch (unshifted(qtKey)) {
    case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9': case '0':
        return unshifted(qtKey);
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_Equal: return keypad ? 107 : 187;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Period: return keypad ? 110 : 190;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    case Qt::Key_QuoteLeft: return 192;
    case Qt::Key_BracketLeft: return 219;
    case Qt::Key_Backslash: return 220;
    case Qt::Key_BracketRight: return 221;
    case Qt::Key_Apostrophe: return 222;
    default: break;
    }
    return 0;
}

int VirtualKeyCode(const QKeyEvent& event)
{
    return VirtualKeyCode(event.key(), event.modifiers(), event.nativeVirtualKey());
}

KeyTracker::KeyTracker(IJoystick* joystick, QObject* parent) : QObject(parent), mJoystick(joystick) {}

void KeyTracker::Install()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

bool KeyTracker::KeyDown(int code)
{
    if (code < 0 || code > 255)
        return false;
    const bool answer = mDown[code] || mPressed[code];
    mPressed[code] = false;
    return answer;
}

JoystickCaps KeyTracker::GetDevCaps()
{
    return mJoystick ? mJoystick->GetDevCaps() : JoystickCaps{};
}

JoystickState KeyTracker::GetPos()
{
    return mJoystick ? mJoystick->GetPos() : JoystickState{};
}

void KeyTracker::Press(int code)
{
    if (code <= 0 || code > 255)
        return;
    mDown[code] = true;
    mPressed[code] = true;
}

void KeyTracker::Release(int code)
{
    if (code <= 0 || code > 255)
        return;
    mDown[code] = false;
}

void KeyTracker::ReleaseAll()
{
    mDown.fill(false);
}

bool KeyTracker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        // A key event travels up through the parent widgets; each delivery
        // says the same, so seeing it twice changes nothing.
        const auto* k = static_cast<QKeyEvent*>(event);
        Press(VirtualKeyCode(*k));
        break;
    }
    case QEvent::KeyRelease: {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (!k->isAutoRepeat())
            Release(VirtualKeyCode(*k));
        break;
    }
    case QEvent::ApplicationDeactivate:
        ReleaseAll();  // keys let go in another program are never reported
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
