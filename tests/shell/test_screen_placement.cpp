// Where a window the program places ends up: inside the area, frame and all,
// and no larger than it.
#include "shell/ScreenPlacement.h"

#include <gtest/gtest.h>

TEST(ScreenPlacement, AWindowIsShrunkAndMovedInWhereItDoesNotFit)
{
    // An available area below a panel 30 high, frames of 8 with a title bar of 32.
    const QRect area(0, 30, 800, 470);
    const QMargins frame(8, 32, 8, 8);
    const struct {
        const char* name;
        QRect wanted;
        QSize minimum;
        QRect fitted;
    } cases[] = {
        {"fits", QRect(100, 100, 300, 200), {}, QRect(100, 100, 300, 200)},
        {"title bar above the area", QRect(200, -50, 560, 300), {}, QRect(200, 62, 560, 300)},
        {"taller than the area", QRect(120, -50, 560, 600), {}, QRect(120, 62, 560, 430)},
        {"wider than the area", QRect(-40, 100, 900, 200), {}, QRect(8, 100, 784, 200)},
        {"past the right and bottom", QRect(700, 400, 300, 200), {}, QRect(492, 292, 300, 200)},
        {"minimum larger than the area", QRect(300, 300, 900, 600), QSize(900, 600), QRect(8, 62, 900, 600)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect got = FitInside(c.wanted, area, frame, c.minimum);
        EXPECT_EQ(got, c.fitted) << got.x() << "," << got.y() << " " << got.width() << "x" << got.height();
        if (c.minimum.isEmpty())
            EXPECT_TRUE(area.contains(got.marginsAdded(frame)));
    }
}
