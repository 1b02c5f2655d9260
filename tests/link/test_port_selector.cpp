// The program's choice of brick: four tower ports on the devices the settings
// name and port 4, the virtual brick; the device it gives on each.
#include "link/PortSelector.h"

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
        for (int p = 0; p < PortSelector::TowerPorts; ++p)
            settings.values.insert(QStringLiteral("com/device%1").arg(p), QStringLiteral("/nonexistent/tower%1").arg(p));
        App().Settings = &settings;
    }
    ~NoTowers() { ResetApp(); }
};

TEST(PortSelector, TowerPortsWithoutTowerAndUnknownPortsDoNotAnswer)
{
    NoTowers none;
    PortSelector pb{App()};
    EventLog log;
    pb.setEventSink(&log);
    for (Long port : {0, 1, 2, 3, -1, 5, 99}) {
        pb.setComPortNo(port);
        EXPECT_EQ(pb.ComPortNo(), port);
        EXPECT_FALSE(pb.TowerCheck1()) << port;
        EXPECT_FALSE(pb.TowerCheck2()) << port;
        EXPECT_FALSE(pb.TowerCheck3()) << port;
        EXPECT_FALSE(pb.device().PBAlive()) << port;
        Integer n = 0;
        EXPECT_EQ(failureNumber([&] { pb.device().Poll(0, n); }), Err::DeviceUnavailable) << port;
        EXPECT_EQ(failureNumber([&] { pb.device().On("0"); }), Err::DeviceUnavailable) << port;
        EXPECT_EQ(failureNumber([&] { pb.device().GetMemMap(); }), Err::DeviceUnavailable) << port;
        if (port >= 0 && port <= 3) {
            // A module is assembled on the PC; it is its sending that fails.
            log.events.clear();
            pb.device().BeginOfTask(n);
            pb.device().EndOfTask();
            EXPECT_EQ(log.events.last(), QStringLiteral("Done 68 0")) << port;
        } else {
            EXPECT_EQ(failureNumber([&] { pb.device().BeginOfTask(n); }), Err::DeviceUnavailable) << port;
        }
    }
}

TEST(PortSelector, Port4IsTheVirtualBrick)
{
    PortSelector pb{App()};
    pb.setComPortNo(4);
    EXPECT_TRUE(pb.TowerCheck1());
    EXPECT_TRUE(pb.TowerCheck2());
    EXPECT_TRUE(pb.TowerCheck3());
    EXPECT_TRUE(pb.device().PBAlive());
    EXPECT_EQ(pb.ComPortNo(), 4);

    pb.device().SetVar(7, 2, 300);
    EXPECT_EQ(pb.virtualBrick().variable(7), 300);
    pb.virtualBrick().sensor(0).value = 12;
    Integer port = 0;
    EXPECT_EQ(pb.device().Poll(9, port), 12);
    EXPECT_TRUE(pb.device().On("2"));
    EXPECT_EQ(pb.virtualBrick().output(2).mode, rcx::OutFlag::On);
}

TEST(PortSelector, TheBrickSwitchedOffLeavesTheTowerChecksPassing)
{
    PortSelector pb{App()};
    pb.setComPortNo(4);
    pb.virtualBrick().setOn(false);
    EXPECT_TRUE(pb.TowerCheck1());
    EXPECT_FALSE(pb.device().PBAlive());
    EXPECT_EQ(failureNumber([&] { pb.device().PBBattery(); }), Err::DeviceUnavailable);
}

TEST(PortSelector, ATowerPortReachesTheBrickOnItsDevice)
{
    NoTowers none;
    vbrick::PtyResponder brick;
    ASSERT_TRUE(brick.isOpen());
    none.settings.values.insert(QStringLiteral("com/device2"), brick.devicePath());
    EXPECT_EQ(PortSelector::devicePath(*App().Config, 2), brick.devicePath());
    PortSelector pb{App()};
    EventLog log;
    pb.setEventSink(&log);
    pb.setComPortNo(2);
    EXPECT_TRUE(pb.TowerCheck1());
    EXPECT_TRUE(pb.TowerCheck2());
    EXPECT_TRUE(pb.TowerCheck3());
    EXPECT_TRUE(pb.device().PBAlive());
    pb.device().SetVar(9, 2, 77);
    Integer nine = 9;
    EXPECT_EQ(pb.device().Poll(0, nine), 77);
    Integer task = 3;
    pb.device().BeginOfTask(task);
    pb.device().On("1");
    pb.device().EndOfTask();
    EXPECT_EQ(log.events.last(), QStringLiteral("Done 0 3"));
    brick.withBrick([](vbrick::SoftRcx& b) { EXPECT_EQ(b.taskCode(0, 3).toHex().toStdString(), "2182"); });
    // The virtual brick on port 4 saw none of it.
    EXPECT_EQ(pb.virtualBrick().variable(9), 0);
}

TEST(PortSelector, PBGivesTheDeviceOfTheSelectedPort)
{
    NoTowers none;
    PortSelector ports{App()};
    App().Ports = &ports;
    ports.setComPortNo(PortSelector::VirtualBrickPort);
    EXPECT_EQ(&PB(), static_cast<IBrickDevice*>(&ports.virtualDevice()));
    PB().SetVar(3, 2, 11);
    EXPECT_EQ(ports.virtualBrick().variable(3), 11);
    ports.setComPortNo(1);
    EXPECT_NE(&PB(), static_cast<IBrickDevice*>(&ports.virtualDevice()));
    EXPECT_FALSE(PB().PBAlive());  // no tower on port 1
    App().Ports = nullptr;
    EXPECT_EQ(failureNumber([] { PB(); }), Err::ObjectNotSet);
}

TEST(PortSelector, DefaultDevices)
{
    ResetApp();
    EXPECT_EQ(PortSelector::devicePath(*App().Config, 1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(PortSelector::devicePath(*App().Config, 3), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(PortSelector::devicePath(*App().Config, 4), QString());
}

TEST(PortSelector, WithoutTowersOnlyTheVirtualBrickPassesTheTowerChecks)
{
    NoTowers none;
    PortSelector pb{App()};
    Long found = -1;
    for (Long port = 0; port <= 4 && found < 0; ++port) {
        pb.setComPortNo(port);
        if (pb.TowerCheck1() && pb.TowerCheck2() && pb.TowerCheck3())
            found = port;
    }
    EXPECT_EQ(found, 4);
}

TEST(PortSelector, DownloadEventsReachTheSink)
{
    qint64 ms = 5000;
    PortSelector pb(App(), [&] { return ms; });
    EventLog log;
    pb.setEventSink(&log);
    pb.setComPortNo(4);
    Integer slot = 1;
    Integer task = 0;
    Integer sub = 1;
    pb.device().SelectPrgm(slot);
    pb.device().BeginOfTask(task);
    pb.device().SetSensorType(0, 1);
    pb.device().EndOfTask();
    pb.device().BeginOfSub(sub);
    pb.device().If(0, 1, 2, 2, 3);
    pb.device().EndOfSub();
    // Time: the wire time through a tower; size: the module's bytes of code.
    EXPECT_EQ(log.events, (QStringList{"Start 183 3 0", "Progress 3", "Done 0 0", "Start 0 8 11",
                                       QString("Done %1 11").arg(RcxLink::UnbalancedBlocks)}));
    EXPECT_EQ(pb.virtualBrick().taskCode(1, 0).toHex().toStdString(), "320001");
    EXPECT_TRUE(pb.virtualBrick().subCode(1, 0).isEmpty());

    pb.setEventSink(nullptr);
    pb.device().BeginOfTask(task);
    pb.device().EndOfTask();  // dropped quietly
    EXPECT_EQ(log.events.size(), 5);
}

TEST(PortSelector, ProgramsOnTheVirtualBrickRunOnTheControlsClock)
{
    qint64 ms = 1000;
    PortSelector pb(App(), [&] { return ms; });
    pb.setComPortNo(4);
    Integer task = 1;
    pb.device().BeginOfTask(task);
    pb.device().Loop(2, 5);
    pb.device().SumVar(4, 2, 3);
    pb.device().DatalogNext(0, 4);
    pb.device().Wait(2, 100);  // a second
    pb.device().EndLoop();
    pb.device().EndOfTask();
    EXPECT_TRUE(pb.device().SetDatalog(10));
    pb.device().StartTask(task);
    Integer four = 4;
    ms += 2500;
    EXPECT_EQ(pb.device().Poll(0, four), 9);
    ms += 10000;
    EXPECT_EQ(pb.device().Poll(0, four), 15);
    const QVector<DatalogEntry> log = pb.device().GetDatalog(1, 5);
    ASSERT_EQ(log.size(), 5);
    EXPECT_EQ(log[4].value, 15);
    EXPECT_FALSE(pb.virtualBrick().running(1));
}

}  // namespace
