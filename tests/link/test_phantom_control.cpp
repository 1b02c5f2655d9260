// The program's control: four tower ports on the devices the settings name
// and port 4, the virtual brick.
#include "link/PhantomControl.h"

#include "EventLog.h"

#include "link/vbrick/PtyResponder.h"
#include "model/AppState.h"
#include "model/VbError.h"
#include "support/Failures.h"
#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <functional>

namespace {


// Tower ports on devices that are not there.
struct NoTowers {
    MemorySettingsStore settings;
    NoTowers()
    {
        ResetApp();
        for (int p = 0; p < PhantomControl::TowerPorts; ++p)
            settings.values.insert(QStringLiteral("com/device%1").arg(p), QStringLiteral("/nonexistent/tower%1").arg(p));
        App().Settings = &settings;
    }
    ~NoTowers() { ResetApp(); }
};

TEST(PhantomControl, TowerPortsWithoutTowerAndUnknownPortsDoNotAnswer)
{
    NoTowers none;
    PhantomControl pb;
    EventLog log;
    pb.setEventSink(&log);
    for (Long port : {0, 1, 2, 3, -1, 5, 99}) {
        pb.setComPortNo(port);
        EXPECT_EQ(pb.ComPortNo(), port);
        EXPECT_FALSE(pb.TowerCheck1()) << port;
        EXPECT_FALSE(pb.TowerCheck2()) << port;
        EXPECT_FALSE(pb.TowerCheck3()) << port;
        EXPECT_FALSE(pb.PBAlive()) << port;
        Integer n = 0;
        EXPECT_EQ(failureNumber([&] { pb.Poll(0, n); }), Err::DeviceUnavailable) << port;
        EXPECT_EQ(failureNumber([&] { pb.On("0"); }), Err::DeviceUnavailable) << port;
        EXPECT_EQ(failureNumber([&] { pb.GetMemMap(); }), Err::DeviceUnavailable) << port;
        if (port >= 0 && port <= 3) {
            // A module is assembled on the PC; it is its sending that fails.
            log.events.clear();
            pb.BeginOfTask(n);
            pb.EndOfTask();
            EXPECT_EQ(log.events.last(), QStringLiteral("Done 68 0")) << port;
        } else {
            EXPECT_EQ(failureNumber([&] { pb.BeginOfTask(n); }), Err::DeviceUnavailable) << port;
        }
    }
}

TEST(PhantomControl, Port4IsTheVirtualBrick)
{
    PhantomControl pb;
    pb.setComPortNo(4);
    EXPECT_TRUE(pb.TowerCheck1());
    EXPECT_TRUE(pb.TowerCheck2());
    EXPECT_TRUE(pb.TowerCheck3());
    EXPECT_TRUE(pb.PBAlive());
    EXPECT_EQ(pb.ComPortNo(), 4);

    pb.SetVar(7, 2, 300);
    EXPECT_EQ(pb.virtualBrick().variable(7), 300);
    pb.virtualBrick().sensor(0).value = 12;
    Integer port = 0;
    EXPECT_EQ(pb.Poll(9, port), 12);
    EXPECT_TRUE(pb.On("2"));
    EXPECT_EQ(pb.virtualBrick().output(2).mode, rcx::OutFlag::On);
}

TEST(PhantomControl, TheBrickSwitchedOffLeavesTheTowerChecksPassing)
{
    PhantomControl pb;
    pb.setComPortNo(4);
    pb.virtualBrick().setOn(false);
    EXPECT_TRUE(pb.TowerCheck1());
    EXPECT_FALSE(pb.PBAlive());
    EXPECT_EQ(failureNumber([&] { pb.PBBattery(); }), Err::DeviceUnavailable);
}

TEST(PhantomControl, ATowerPortReachesTheBrickOnItsDevice)
{
    NoTowers none;
    vbrick::PtyResponder brick;
    ASSERT_TRUE(brick.isOpen());
    none.settings.values.insert(QStringLiteral("com/device2"), brick.devicePath());
    EXPECT_EQ(PhantomControl::devicePath(2), brick.devicePath());
    PhantomControl pb;
    EventLog log;
    pb.setEventSink(&log);
    pb.setComPortNo(2);
    EXPECT_TRUE(pb.TowerCheck1());
    EXPECT_TRUE(pb.TowerCheck2());
    EXPECT_TRUE(pb.TowerCheck3());
    EXPECT_TRUE(pb.PBAlive());
    pb.SetVar(9, 2, 77);
    Integer nine = 9;
    EXPECT_EQ(pb.Poll(0, nine), 77);
    Integer task = 3;
    pb.BeginOfTask(task);
    pb.On("1");
    pb.EndOfTask();
    EXPECT_EQ(log.events.last(), QStringLiteral("Done 0 3"));
    brick.withBrick([](vbrick::SoftRcx& b) { EXPECT_EQ(b.taskCode(0, 3).toHex().toStdString(), "2182"); });
    // The virtual brick on port 4 saw none of it.
    EXPECT_EQ(pb.virtualBrick().variable(9), 0);
}

TEST(PhantomControl, DefaultDevices)
{
    ResetApp();
    EXPECT_EQ(PhantomControl::devicePath(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(PhantomControl::devicePath(3), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(PhantomControl::devicePath(4), QString());
}

TEST(PhantomControl, WithoutTowersOnlyTheVirtualBrickPassesTheTowerChecks)
{
    NoTowers none;
    PhantomControl pb;
    Long found = -1;
    for (Long port = 0; port <= 4 && found < 0; ++port) {
        pb.setComPortNo(port);
        if (pb.TowerCheck1() && pb.TowerCheck2() && pb.TowerCheck3())
            found = port;
    }
    EXPECT_EQ(found, 4);
}

TEST(PhantomControl, DownloadEventsReachTheSink)
{
    qint64 ms = 5000;
    PhantomControl pb([&] { return ms; });
    EventLog log;
    pb.setEventSink(&log);
    pb.setComPortNo(4);
    Integer slot = 1;
    Integer task = 0;
    Integer sub = 1;
    pb.SelectPrgm(slot);
    pb.BeginOfTask(task);
    pb.SetSensorType(0, 1);
    pb.EndOfTask();
    pb.BeginOfSub(sub);
    pb.If(0, 1, 2, 2, 3);
    pb.EndOfSub();
    // Time: the wire time through a tower; size: the module's bytes of code.
    EXPECT_EQ(log.events, (QStringList{"Start 183 3 0", "Progress 3", "Done 0 0", "Start 0 8 11",
                                       QString("Done %1 11").arg(RcxLink::UnbalancedBlocks)}));
    EXPECT_EQ(pb.virtualBrick().taskCode(1, 0).toHex().toStdString(), "320001");
    EXPECT_TRUE(pb.virtualBrick().subCode(1, 0).isEmpty());

    pb.setEventSink(nullptr);
    pb.BeginOfTask(task);
    pb.EndOfTask();  // dropped quietly
    EXPECT_EQ(log.events.size(), 5);
}

TEST(PhantomControl, ProgramsOnTheVirtualBrickRunOnTheControlsClock)
{
    qint64 ms = 1000;
    PhantomControl pb([&] { return ms; });
    pb.setComPortNo(4);
    Integer task = 1;
    pb.BeginOfTask(task);
    pb.Loop(2, 5);
    pb.SumVar(4, 2, 3);
    pb.DatalogNext(0, 4);
    pb.Wait(2, 100);  // a second
    pb.EndLoop();
    pb.EndOfTask();
    EXPECT_TRUE(pb.SetDatalog(10));
    pb.StartTask(task);
    Integer four = 4;
    ms += 2500;
    EXPECT_EQ(pb.Poll(0, four), 9);
    ms += 10000;
    EXPECT_EQ(pb.Poll(0, four), 15);
    const QVector<DatalogEntry> log = pb.GetDatalog(1, 5);
    ASSERT_EQ(log.size(), 5);
    EXPECT_EQ(log[4].value, 15);
    EXPECT_FALSE(pb.virtualBrick().running(1));
}

}  // namespace
