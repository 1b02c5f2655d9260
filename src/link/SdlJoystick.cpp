#include "link/SdlJoystick.h"

#include <SDL.h>

#include <algorithm>

JoystickCaps joystickCapsFrom(int axisCount, int buttonCount)
{
    JoystickCaps caps;
    caps.ok = true;
    caps.buttons = std::clamp(buttonCount, 0, 32);
    caps.hasZ = axisCount >= 3;
    caps.hasR = axisCount >= 4;
    return caps;
}

Long joystickAxisPosition(int sdlValue)
{
    return Long(std::clamp(sdlValue, -32768, 32767)) + 32768;
}

SdlJoystick::~SdlJoystick()
{
    if (mJoystick)
        SDL_JoystickClose(mJoystick);
    if (mSdlStarted)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

_SDL_Joystick* SdlJoystick::joystick()
{
    if (!mSdlStarted) {
        // The program's windows are not SDL's: the joystick is read whichever
        // window has the focus.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
            return nullptr;
        mSdlStarted = true;
    }
    // Looks for devices plugged in or out since the last question.
    SDL_JoystickUpdate();
    if (mJoystick && !SDL_JoystickGetAttached(mJoystick)) {
        SDL_JoystickClose(mJoystick);
        mJoystick = nullptr;
    }
    if (!mJoystick && SDL_NumJoysticks() > 0)
        mJoystick = SDL_JoystickOpen(0);
    return mJoystick;
}

JoystickCaps SdlJoystick::GetDevCaps()
{
    SDL_Joystick* js = joystick();
    if (!js)
        return {};
    const int axes = SDL_JoystickNumAxes(js);
    const int buttons = SDL_JoystickNumButtons(js);
    if (axes < 0 || buttons < 0)
        return {};
    return joystickCapsFrom(axes, buttons);
}

JoystickState SdlJoystick::GetPos()
{
    SDL_Joystick* js = joystick();
    if (!js)
        return {};
    JoystickState state;
    state.ok = true;
    const int axes = SDL_JoystickNumAxes(js);
    Long* positions[4] = {&state.x, &state.y, &state.z, &state.r};
    for (int i = 0; i < 4; ++i)
        *positions[i] = i < axes ? joystickAxisPosition(SDL_JoystickGetAxis(js, i)) : 32768;
    const int buttons = std::min(SDL_JoystickNumButtons(js), 32);
    quint32 bits = 0;
    for (int i = 0; i < buttons; ++i)
        if (SDL_JoystickGetButton(js, i))
            bits |= quint32(1) << i;
    state.buttons = Long(bits);
    return state;
}
