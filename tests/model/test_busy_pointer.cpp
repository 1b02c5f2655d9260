#include "model/BusyPointer.h"
#include "model/VbError.h"

#include "support/FakeWindows.h"

#include <gtest/gtest.h>

// The hourglass goes on once and comes off once, however the work ends: an
// early Restore() is not repeated when the pointer goes, and a failure that
// leaves the scope still puts the default pointer back.
TEST(BusyPointer, PutsTheDefaultBackOnceOnEveryWayOut)
{
    FakeWindows windows;
    { BusyPointer busy(windows); }
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));

    windows.pointers.clear();
    {
        BusyPointer busy(windows);
        busy.Restore();
        EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));
        busy.Restore();
    }
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));

    windows.pointers.clear();
    try {
        BusyPointer busy(windows);
        raiseError(Err::FileNotFound);
    } catch (const VbError&) {
        EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));
    }
}
