#include "model/BusyPointer.h"
#include "model/Notifier.h"
#include "model/VbError.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

QList<int> shapes(const QSignalSpy& spy)
{
    QList<int> out;
    for (const QList<QVariant>& args : spy)
        out.append(args.at(0).toInt());
    return out;
}

}  // namespace

// The hourglass goes on once and comes off once, however the work ends: an
// early Restore() is not repeated when the pointer goes, and a failure that
// leaves the scope still puts the default pointer back. The notifier keeps the
// shape last set for those who ask with no window listening.
TEST(BusyPointer, PutsTheDefaultBackOnceOnEveryWayOut)
{
    Notifier notifier;
    QSignalSpy spy(&notifier, &Notifier::PointerChanged);
    {
        BusyPointer busy(notifier);
        EXPECT_EQ(notifier.Pointer(), PointerShape::Hourglass);
    }
    EXPECT_EQ(shapes(spy), (QList<int>{11, 0}));
    EXPECT_EQ(notifier.Pointer(), PointerShape::Default);

    spy.clear();
    {
        BusyPointer busy(notifier);
        busy.Restore();
        EXPECT_EQ(shapes(spy), (QList<int>{11, 0}));
        busy.Restore();
    }
    EXPECT_EQ(shapes(spy), (QList<int>{11, 0}));

    spy.clear();
    try {
        BusyPointer busy(notifier);
        raiseError(Err::FileNotFound);
    } catch (const VbError&) {
        EXPECT_EQ(shapes(spy), (QList<int>{11, 0}));
    }
}

// An inner busy pointer made while the pointer is busy, by an outer one or by
// work that set the hourglass itself, neither sets nor clears it: the pointer
// stays busy until the outer ends, and then comes back once.
TEST(BusyPointer, AnInnerOneLeavesThePointerBusyUntilTheOuterEnds)
{
    Notifier notifier;
    QSignalSpy spy(&notifier, &Notifier::PointerChanged);
    {
        BusyPointer outer(notifier);
        {
            BusyPointer inner(notifier);
        }
        EXPECT_EQ(notifier.Pointer(), PointerShape::Hourglass);
        {
            BusyPointer inner(notifier);
            inner.Restore();
        }
        EXPECT_EQ(notifier.Pointer(), PointerShape::Hourglass);
        EXPECT_EQ(shapes(spy), (QList<int>{11}));
    }
    EXPECT_EQ(shapes(spy), (QList<int>{11, 0}));

    spy.clear();
    notifier.SetPointer(PointerShape::Hourglass);
    {
        BusyPointer inner(notifier);
    }
    EXPECT_EQ(notifier.Pointer(), PointerShape::Hourglass);
    EXPECT_EQ(shapes(spy), (QList<int>{11}));

    // Once the outer has put the default back, the next one is busy on its own.
    notifier.SetPointer(PointerShape::Default);
    spy.clear();
    {
        BusyPointer outer(notifier);
        outer.Restore();
        BusyPointer next(notifier);
        EXPECT_EQ(notifier.Pointer(), PointerShape::Hourglass);
    }
    EXPECT_EQ(notifier.Pointer(), PointerShape::Default);
}
