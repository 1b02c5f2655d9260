#pragma once
// Joystick 0 and the keys for tests: the answers are set by the test.
//
//   ScriptedJoystick js;
//   App().Joystick = &js;
//   js.keys = {38, 65};          // Up and A held
//   js.state.buttons = 0b101;    // buttons 1 and 3
//   js.unplug();                 // the joystick can't be read
#include "model/Services.h"

#include <QList>
#include <QSet>

class ScriptedJoystick : public IJoystick {
public:
    JoystickCaps caps{true, 4, false, false};
    JoystickState state{true, 32768, 32768, 32768, 32768, 0};
    QSet<int> keys;          // the codes held down
    QList<int> keyQueries;   // every code asked for, in order
    int posQueries = 0;

    void unplug()
    {
        caps = {};
        state = {};
    }

    JoystickCaps GetDevCaps() override { return caps; }
    JoystickState GetPos() override
    {
        ++posQueries;
        return state;
    }
    bool KeyDown(int code) override
    {
        keyQueries.append(code);
        return keys.contains(code);
    }
};
