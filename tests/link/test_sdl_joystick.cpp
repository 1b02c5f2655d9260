// The joystick's answers as taken from SDL's numbers; the real device is never
// needed.
#include "link/SdlJoystick.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

TEST(SdlJoystick, AxesGiveZAndRAndButtonsAreCounted)
{
    const struct {
        int axes, buttons;
        int wantButtons;
        bool z, r;
    } cases[] = {
        {2, 4, 4, false, false}, {3, 4, 4, true, false}, {4, 12, 12, true, true},
        {6, 40, 32, true, true}, {0, 0, 0, false, false},
    };
    for (const auto& c : cases) {
        const JoystickCaps caps = joystickCapsFrom(c.axes, c.buttons);
        EXPECT_TRUE(caps.ok);
        EXPECT_EQ(caps.buttons, c.wantButtons) << c.axes << " " << c.buttons;
        EXPECT_EQ(caps.hasZ, c.z) << c.axes;
        EXPECT_EQ(caps.hasR, c.r) << c.axes;
    }
}

TEST(SdlJoystick, AxisPositionsRunFromZeroTo65535)
{
    EXPECT_EQ(joystickAxisPosition(-32768), 0);
    EXPECT_EQ(joystickAxisPosition(0), 32768);
    EXPECT_EQ(joystickAxisPosition(32767), 65535);
}

// Without a joystick (as on a build machine) both questions say so; where SDL
// can't even start, the same.
TEST(SdlJoystick, NoJoystickGivesNoAnswer)
{
    bool present = false;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0) {
        present = SDL_NumJoysticks() > 0;
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    if (present)
        GTEST_SKIP() << "a joystick is attached";
    SdlJoystick joystick;
    EXPECT_FALSE(joystick.GetDevCaps().ok);
    EXPECT_FALSE(joystick.GetPos().ok);
    EXPECT_FALSE(joystick.GetDevCaps().ok);  // asking again is safe
}

}  // namespace
