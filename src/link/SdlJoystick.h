#pragma once
// Joystick 0 through SDL's joystick subsystem, which is started on the first
// question and only then. Without a joystick, or when SDL can't start, the
// answers say so (ok false) and the next question tries again, so a joystick
// plugged in later is found.
#include "model/Services.h"

struct _SDL_Joystick;

// What SDL reports turned into the joystick's answers: the third axis is Z,
// the fourth R; positions run 0..65535; bit n-1 is button n (at most 32).
JoystickCaps joystickCapsFrom(int axisCount, int buttonCount);
Long joystickAxisPosition(int sdlValue);  // -32768..32767 -> 0..65535

class SdlJoystick : public IJoystick {
public:
    SdlJoystick() = default;
    ~SdlJoystick() override;
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    JoystickCaps GetDevCaps() override;
    JoystickState GetPos() override;

private:
    // Joystick 0, opened when needed; nullptr when there is none.
    _SDL_Joystick* joystick();

    bool mSdlStarted = false;
    _SDL_Joystick* mJoystick = nullptr;
};
