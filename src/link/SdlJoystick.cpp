#include "link/SdlJoystick.h"

#include <SDL.h>

#include <dlfcn.h>

#include <algorithm>

namespace {

// SDL's joystick functions, taken from the library when a joystick is first
// asked for, so that the program starts without loading SDL and what it
// brings along. Null when the library or one of them is not there.
struct SdlLibrary {
    decltype(&SDL_SetHint) SetHint = nullptr;
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_JoystickUpdate) JoystickUpdate = nullptr;
    decltype(&SDL_JoystickGetAttached) JoystickGetAttached = nullptr;
    decltype(&SDL_JoystickClose) JoystickClose = nullptr;
    decltype(&SDL_NumJoysticks) NumJoysticks = nullptr;
    decltype(&SDL_JoystickOpen) JoystickOpen = nullptr;
    decltype(&SDL_JoystickNumAxes) JoystickNumAxes = nullptr;
    decltype(&SDL_JoystickNumButtons) JoystickNumButtons = nullptr;
    decltype(&SDL_JoystickGetAxis) JoystickGetAxis = nullptr;
    decltype(&SDL_JoystickGetButton) JoystickGetButton = nullptr;
};

const SdlLibrary* sdl()
{
    static const SdlLibrary* const library = []() -> const SdlLibrary* {
        void* handle = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return nullptr;
        static SdlLibrary l;
        bool all = true;
        auto take = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
            all = all && fn;
        };
        take(l.SetHint, "SDL_SetHint");
        take(l.InitSubSystem, "SDL_InitSubSystem");
        take(l.QuitSubSystem, "SDL_QuitSubSystem");
        take(l.JoystickUpdate, "SDL_JoystickUpdate");
        take(l.JoystickGetAttached, "SDL_JoystickGetAttached");
        take(l.JoystickClose, "SDL_JoystickClose");
        take(l.NumJoysticks, "SDL_NumJoysticks");
        take(l.JoystickOpen, "SDL_JoystickOpen");
        take(l.JoystickNumAxes, "SDL_JoystickNumAxes");
        take(l.JoystickNumButtons, "SDL_JoystickNumButtons");
        take(l.JoystickGetAxis, "SDL_JoystickGetAxis");
        take(l.JoystickGetButton, "SDL_JoystickGetButton");
        return all ? &l : nullptr;  // the handle stays open for the process
    }();
    return library;
}

}  // namespace

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
        sdl()->JoystickClose(mJoystick);
    if (mSdlStarted)
        sdl()->QuitSubSystem(SDL_INIT_JOYSTICK);
}

_SDL_Joystick* SdlJoystick::joystick()
{
    const SdlLibrary* const lib = sdl();
    if (!lib)
        return nullptr;
    if (!mSdlStarted) {
        // The program's windows are not SDL's: the joystick is read whichever
        // window has the focus.
        lib->SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        if (lib->InitSubSystem(SDL_INIT_JOYSTICK) != 0)
            return nullptr;
        mSdlStarted = true;
    }
    // Looks for devices plugged in or out since the last question.
    lib->JoystickUpdate();
    if (mJoystick && !lib->JoystickGetAttached(mJoystick)) {
        lib->JoystickClose(mJoystick);
        mJoystick = nullptr;
    }
    if (!mJoystick && lib->NumJoysticks() > 0)
        mJoystick = lib->JoystickOpen(0);
    return mJoystick;
}

JoystickCaps SdlJoystick::GetDevCaps()
{
    SDL_Joystick* js = joystick();
    if (!js)
        return {};
    const int axes = sdl()->JoystickNumAxes(js);
    const int buttons = sdl()->JoystickNumButtons(js);
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
    const int axes = sdl()->JoystickNumAxes(js);
    Long* positions[4] = {&state.x, &state.y, &state.z, &state.r};
    for (int i = 0; i < 4; ++i)
        *positions[i] = i < axes ? joystickAxisPosition(sdl()->JoystickGetAxis(js, i)) : 32768;
    const int buttons = std::min(sdl()->JoystickNumButtons(js), 32);
    quint32 bits = 0;
    for (int i = 0; i < buttons; ++i)
        if (sdl()->JoystickGetButton(js, i))
            bits |= quint32(1) << i;
    state.buttons = Long(bits);
    return state;
}
