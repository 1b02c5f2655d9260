// The virtual brick: its state, as the immediate operations change it and
// Poll reads it, its timers on a fake clock, the collection of modules with
// their block balance and events, the firmware download and the off switch.
#include "link/VirtualBrick.h"

#include "EventLog.h"

#include "model/VbError.h"
#include "support/Failures.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {


class VirtualBrickTest : public ::testing::Test {
protected:
    qint64 ms = 1000000;
    VirtualBrick brick{[this] { return ms; }};
    EventLog log;

    void SetUp() override { brick.setEventSink(&log); }

    Integer poll(Long source, Integer number) { return brick.Poll(source, number); }
};

// --- Poll sources ---

TEST_F(VirtualBrickTest, PollReadsVariablesConstantsAndTheMessage)
{
    brick.SetVar(5, 2, 42);
    brick.SetVar(31, 2, -7);
    brick.setMessage(9);
    EXPECT_EQ(poll(0, 5), 42);
    EXPECT_EQ(poll(0, 31), -7);
    EXPECT_EQ(poll(0, 0), 0);
    EXPECT_EQ(poll(2, 1234), 1234);
    EXPECT_EQ(poll(15, 0), 9);
    brick.ClearPBMessage();
    EXPECT_EQ(poll(15, 0), 0);
}

TEST_F(VirtualBrickTest, PollLeavesTheNumberAsItWas)
{
    Integer n = 2;
    brick.Poll(2, n);
    EXPECT_EQ(n, 2);
}

TEST_F(VirtualBrickTest, OutputStatusHoldsStateDirectionAndPower)
{
    EXPECT_EQ(poll(3, 0), 0 + 8 + 7);  // floating, forward, full power at start
    ASSERT_TRUE(brick.On("01"));
    ASSERT_TRUE(brick.SetRwd("1"));
    ASSERT_TRUE(brick.SetPower("0", 2, 5));
    ASSERT_TRUE(brick.Off("2"));
    EXPECT_EQ(poll(3, 0), 128 + 8 + 5);
    EXPECT_EQ(poll(3, 1), 128 + 0 + 7);
    EXPECT_EQ(poll(3, 2), 64 + 8 + 7);
    ASSERT_TRUE(brick.Float("0"));
    ASSERT_TRUE(brick.AlterDir("011"));  // a port named twice turns once
    EXPECT_EQ(poll(3, 0), 0 + 0 + 5);
    EXPECT_EQ(poll(3, 1), 128 + 8 + 7);
}

TEST_F(VirtualBrickTest, PowerComesFromItsSourceAndStaysWithinSevenAndZero)
{
    brick.SetVar(3, 2, 12);
    ASSERT_TRUE(brick.SetPower("2", 0, 3));
    EXPECT_EQ(brick.output(2).power, 7);
    brick.SetVar(3, 2, -4);
    ASSERT_TRUE(brick.SetPower("2", 0, 3));
    EXPECT_EQ(brick.output(2).power, 0);
}

TEST_F(VirtualBrickTest, AMotorListWithOtherThanPortDigitsIsRefusedAndChangesNothing)
{
    for (const char* motors : {"3", "0a", "A", "0,1"}) {
        EXPECT_FALSE(brick.On(motors)) << motors;
        EXPECT_FALSE(brick.SetPower(motors, 2, 1)) << motors;
    }
    EXPECT_EQ(brick.output(0).state, VirtualBrick::OutputFloat);
    EXPECT_EQ(brick.output(0).power, 7);
    EXPECT_TRUE(brick.On(""));  // no port at all: nothing to do
}

TEST_F(VirtualBrickTest, SensorsGiveValueTypeModeTimesThirtyTwoRawAndBoolean)
{
    brick.SetSensorType(1, 3);
    brick.SetSensorMode(1, 4, 0);
    brick.setSensorValue(1, 55);
    brick.setSensorRaw(1, 700);
    brick.setSensorBoolean(1, 1);
    EXPECT_EQ(poll(9, 1), 55);
    EXPECT_EQ(poll(10, 1), 3);
    EXPECT_EQ(poll(11, 1), 128);
    EXPECT_EQ(poll(12, 1), 700);
    EXPECT_EQ(poll(13, 1), 1);
    brick.SetSensorMode(2, 7, 5);
    EXPECT_EQ(poll(11, 2), 7 * 32 + 5);
    brick.ClearSensorValue(1);
    EXPECT_EQ(poll(9, 1), 0);
    EXPECT_EQ(poll(10, 0), 0);
}

TEST_F(VirtualBrickTest, RandomStaysWithinZeroAndItsLimit)
{
    for (int i = 0; i < 200; ++i) {
        const Integer r = poll(4, 10);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 10);
    }
    EXPECT_EQ(poll(4, 0), 0);
}

TEST_F(VirtualBrickTest, SourcesAndNumbersTheBrickDoesNotHaveFailWith5)
{
    const struct {
        Long source;
        Integer number;
    } cases[] = {{5, 0}, {8, 0}, {16, 0}, {-1, 0}, {230, 0}, {0, 32}, {0, -1}, {1, 4},
                 {3, 3}, {9, 3}, {11, -1}, {13, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(failureNumber([&] { poll(c.source, c.number); }), Err::InvalidCall) << c.source << "," << c.number;
}

// --- Timers and the watch ---

TEST_F(VirtualBrickTest, TimersCountTenthsOfASecondSinceCleared)
{
    EXPECT_EQ(poll(1, 0), 0);
    ms += 99;
    EXPECT_EQ(poll(1, 0), 0);
    ms += 1;
    EXPECT_EQ(poll(1, 0), 1);
    ms += 1234;
    EXPECT_EQ(poll(1, 3), 13);
    brick.ClearTimer(2);
    ms += 500;
    EXPECT_EQ(poll(1, 2), 5);
    EXPECT_EQ(poll(1, 0), 18);
    EXPECT_EQ(brick.timer(2), 5);
}

TEST_F(VirtualBrickTest, TimersWrapAfter32767Tenths)
{
    ms += 32768 * 100 + 300;
    EXPECT_EQ(poll(1, 1), 3);
}

TEST_F(VirtualBrickTest, TheWatchRunsFromTheTimeSetAndWrapsAtMidnight)
{
    brick.SetWatch(13, 45);
    EXPECT_EQ(poll(14, 0), 13 * 60 + 45);
    ms += 3 * 60000 + 59999;
    EXPECT_EQ(poll(14, 0), 13 * 60 + 48);
    brick.SetWatch(23, 59);
    ms += 2 * 60000;
    EXPECT_EQ(poll(14, 0), 1);
    EXPECT_EQ(failureNumber([&] { brick.SetWatch(24, 0); }), Err::InvalidCall);
    EXPECT_EQ(failureNumber([&] { brick.SetWatch(0, 60); }), Err::InvalidCall);
}

// --- Variables ---

TEST_F(VirtualBrickTest, VariableOperationsWorkOnSixteenBits)
{
    using Op = void (VirtualBrick::*)(Integer, Long, Integer);
    const struct {
        const char* name;
        Op op;
        Integer start, operand, result;
    } cases[] = {
        {"Sum", &VirtualBrick::SumVar, 10, 5, 15},
        {"Sum wraps", &VirtualBrick::SumVar, 32767, 1, -32768},
        {"Sub", &VirtualBrick::SubVar, 10, 15, -5},
        {"Mul", &VirtualBrick::MulVar, 7, -6, -42},
        {"Mul wraps", &VirtualBrick::MulVar, 300, 200, -5536},
        {"Div", &VirtualBrick::DivVar, 10, 3, 3},
        {"Div toward zero", &VirtualBrick::DivVar, -7, 2, -3},
        {"Div by zero keeps", &VirtualBrick::DivVar, 10, 0, 10},
        {"And", &VirtualBrick::AndVar, 12, 10, 8},
        {"Or", &VirtualBrick::OrVar, 12, 3, 15},
        {"Abs", &VirtualBrick::AbsVar, 1, -9, 9},
        {"Abs positive", &VirtualBrick::AbsVar, 1, 9, 9},
        {"Sgn negative", &VirtualBrick::SgnVar, 1, -9, -1},
        {"Sgn zero", &VirtualBrick::SgnVar, 1, 0, 0},
        {"Sgn positive", &VirtualBrick::SgnVar, 1, 300, 1},
        {"Set", &VirtualBrick::SetVar, 1, -300, -300},
    };
    for (const auto& c : cases) {
        brick.setVariable(4, c.start);
        (brick.*c.op)(4, 2, c.operand);
        EXPECT_EQ(brick.variable(4), c.result) << c.name;
    }
}

TEST_F(VirtualBrickTest, AnOperandMayComeFromAnotherSource)
{
    brick.setVariable(2, 40);
    brick.SetVar(1, 0, 2);
    EXPECT_EQ(brick.variable(1), 40);
    ms += 2500;
    brick.SumVar(1, 1, 0);
    EXPECT_EQ(brick.variable(1), 65);
    EXPECT_EQ(failureNumber([&] { brick.SetVar(32, 2, 1); }), Err::InvalidCall);
    EXPECT_EQ(failureNumber([&] { brick.SetVar(1, 7, 1); }), Err::InvalidCall);
}

// --- Datalog ---

TEST_F(VirtualBrickTest, TheDatalogKeepsEntriesUpToItsSize)
{
    ASSERT_TRUE(brick.SetDatalog(3));
    brick.setVariable(5, 77);
    brick.setSensorValue(1, 33);
    ms += 700;
    brick.DatalogNext(1, 0);
    brick.DatalogNext(0, 5);
    brick.DatalogNext(9, 1);
    brick.DatalogNext(0, 5);  // full: not kept
    const QVector<Long> map = brick.GetMemMap();
    ASSERT_GE(map.size(), 93);
    EXPECT_GT(map[91], 32767);  // addresses beyond 16 bits
    EXPECT_EQ(map[92] - map[91], 3 * (3 + 1));

    const QVector<DatalogEntry> all = brick.GetDatalog(1, 50);
    ASSERT_EQ(all.size(), 3);
    const Integer want[3][3] = {{1, 0, 7}, {0, 5, 77}, {9, 1, 33}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(all[i].source, want[i][0]) << i;
        EXPECT_EQ(all[i].number, want[i][1]) << i;
        EXPECT_EQ(all[i].value, want[i][2]) << i;
    }
    const QVector<DatalogEntry> header = brick.GetDatalog(0, 1);
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0].value, 3);  // the header holds the size
    EXPECT_EQ(brick.GetDatalog(3, 5).size(), 1);
    EXPECT_TRUE(brick.GetDatalog(4, 5).isEmpty());
}

TEST_F(VirtualBrickTest, SettingTheDatalogSizeErasesItsEntries)
{
    brick.SetDatalog(10);
    brick.DatalogNext(14, 0);
    ASSERT_TRUE(brick.SetDatalog(0));
    const QVector<Long> map = brick.GetMemMap();
    EXPECT_EQ(map[92] - map[91], 3);  // only the header
    EXPECT_FALSE(brick.SetDatalog(-1));
    EXPECT_EQ(failureNumber([&] { brick.DatalogNext(3, 0); }), Err::InvalidCall);
    EXPECT_EQ(failureNumber([&] { brick.GetDatalog(-1, 5); }), Err::InvalidCall);
}

// --- Brick settings ---

TEST_F(VirtualBrickTest, SettingsAreAcceptedWithinTheirRangesOnly)
{
    EXPECT_TRUE(brick.PBPowerDownTime(0));
    EXPECT_TRUE(brick.PBPowerDownTime(255));
    EXPECT_EQ(brick.powerDownTime(), 255);
    EXPECT_FALSE(brick.PBPowerDownTime(256));
    EXPECT_FALSE(brick.PBPowerDownTime(-1));
    EXPECT_EQ(brick.powerDownTime(), 255);

    EXPECT_TRUE(brick.PBTxPower(1));
    EXPECT_EQ(brick.transmitPower(), 1);
    EXPECT_FALSE(brick.PBTxPower(2));
    EXPECT_EQ(brick.transmitPower(), 1);

    EXPECT_TRUE(brick.PlaySystemSound(5));
    EXPECT_FALSE(brick.PlaySystemSound(6));
    EXPECT_TRUE(brick.PlayTone(3000, 40));

    brick.setBatteryMilliVolts(9430);
    EXPECT_EQ(brick.PBBattery(), 9430);
    EXPECT_FALSE(brick.FirmwareVersion().isEmpty());

    EXPECT_TRUE(brick.SelectDisplay(2, 3));
    EXPECT_EQ(brick.displayValue(), 3);
    brick.SetVar(0, 2, 12);
    brick.SendPBMessage(0, 0);
    EXPECT_EQ(brick.sentMessage(), 12);
}

// --- Off ---

TEST_F(VirtualBrickTest, ABrickThatIsOffDoesNotAnswer)
{
    brick.setOn(false);
    EXPECT_FALSE(brick.PBAlive());
    EXPECT_TRUE(brick.TowerCheck1());  // the tower is still there
    Integer n = 0;
    const std::function<void()> operations[] = {
        [&] { brick.Poll(0, n); },         [&] { brick.On("0"); },
        [&] { brick.SetVar(0, 2, 1); },    [&] { brick.PBBattery(); },
        [&] { brick.FirmwareVersion(); },  [&] { brick.GetMemMap(); },
        [&] { brick.GetDatalog(1, 1); },   [&] { brick.SetDatalog(0); },
        [&] { brick.SelectPrgm(n); },      [&] { brick.BeginOfTask(n); },
        [&] { brick.PlaySystemSound(5); }, [&] { brick.PBPowerDownTime(5); },
        [&] { brick.ClearTimer(0); },      [&] { brick.DownloadFirmware("x"); },
    };
    for (size_t i = 0; i < std::size(operations); ++i)
        EXPECT_EQ(failureNumber(operations[i]), Err::DeviceUnavailable) << i;
    brick.setOn(true);
    EXPECT_TRUE(brick.PBAlive());
    EXPECT_EQ(poll(2, 3), 3);
}

TEST_F(VirtualBrickTest, TurningTheBrickOffSwitchesItOff)
{
    EXPECT_TRUE(brick.PBTurnOff());
    EXPECT_FALSE(brick.PBAlive());
    EXPECT_EQ(failureNumber([&] { brick.On("0"); }), Err::DeviceUnavailable);
}

// --- Modules ---

TEST_F(VirtualBrickTest, AModuleIsCollectedStoredInTheSlotAndReported)
{
    Integer slot = 2;
    Integer task = 3;
    brick.SelectPrgm(slot);
    brick.BeginOfTask(task);
    ms += 250;
    brick.On("0");
    brick.SetVar(1, 2, 9);
    brick.Wait(2, 100);
    EXPECT_TRUE(log.events.isEmpty());
    brick.EndOfTask();
    EXPECT_EQ(log.events, (QStringList{"Start 250 3 3", "Progress 3", "Done 0 3"}));

    // Collected, not carried out.
    EXPECT_EQ(brick.output(0).state, VirtualBrick::OutputFloat);
    EXPECT_EQ(brick.variable(1), 0);

    const auto program = brick.program(2);
    ASSERT_TRUE(program.contains(3));
    EXPECT_EQ(program[3].operations, (QStringList{"On(\"0\")", "SetVar(1, L2, 9)", "Wait(L2, 100)"}));
    EXPECT_TRUE(brick.program(0).isEmpty());
    EXPECT_FALSE(brick.collecting());
}

TEST_F(VirtualBrickTest, APacedTransferReportsEveryOperationAfterItsWait)
{
    QList<int> waits;
    brick.setTransferPace(20, [&](int wait) {
        waits.append(wait);
        log.events.append(QStringLiteral("wait %1").arg(wait));
    });
    Integer task = 1;
    brick.BeginOfTask(task);
    brick.On("0");
    brick.Off("0");
    brick.EndOfTask();
    EXPECT_EQ(log.events, (QStringList{"Start 0 2 1", "wait 20", "Progress 1", "wait 20", "Progress 2",
                                       "Done 0 1"}));

    // A long module still goes down in about a second and a half.
    log.events.clear();
    waits.clear();
    brick.BeginOfTask(task);
    for (int i = 0; i < 300; ++i)
        brick.On("1");
    brick.EndOfTask();
    EXPECT_EQ(waits.size(), 300);
    EXPECT_EQ(waits.first(), 5);
    EXPECT_EQ(log.events.last(), QStringLiteral("Done 0 1"));
}

TEST_F(VirtualBrickTest, SubsAreNumberedFromTen)
{
    Integer sub = 2;
    brick.BeginOfSub(sub);
    brick.PlaySystemSound(1);
    brick.EndOfSub();
    EXPECT_EQ(log.events, (QStringList{"Start 0 1 12", "Progress 1", "Done 0 12"}));
    EXPECT_TRUE(brick.program(0).contains(12));
}

TEST_F(VirtualBrickTest, BalancedBlocksAreAccepted)
{
    Integer task = 1;
    brick.BeginOfTask(task);
    brick.Loop(2, 0);
    brick.If(9, 1, 0, 2, 9);  // a range: two Ifs, the Else column twice
    brick.If(9, 1, 1, 2, 21);
    brick.On("0");
    brick.Else();
    brick.Off("0");
    brick.EndIf();
    brick.Else();
    brick.Off("0");
    brick.EndIf();
    brick.While(1, 0, 1, 2, 50);
    brick.EndWhile();
    brick.EndLoop();
    brick.EndOfTask();
    EXPECT_EQ(log.events.last(), "Done 0 1");
    EXPECT_EQ(brick.program(0)[1].operations.size(), 13);
}

TEST_F(VirtualBrickTest, UnbalancedModulesAreReportedAndNotStored)
{
    const struct {
        const char* name;
        std::function<void(VirtualBrick&)> body;
    } cases[] = {
        {"If without EndIf", [](VirtualBrick& b) { b.If(0, 1, 2, 2, 3); b.Else(); }},
        {"EndIf without If", [](VirtualBrick& b) { b.EndIf(); }},
        {"Else without If", [](VirtualBrick& b) { b.Else(); }},
        {"two Elses", [](VirtualBrick& b) { b.If(0, 1, 2, 2, 3); b.Else(); b.Else(); b.EndIf(); }},
        {"While closed by EndLoop", [](VirtualBrick& b) { b.While(0, 1, 2, 2, 3); b.EndLoop(); }},
        {"Loop closed twice", [](VirtualBrick& b) { b.Loop(2, 3); b.EndLoop(); b.EndLoop(); }},
        {"crossed blocks", [](VirtualBrick& b) { b.Loop(2, 3); b.While(0, 1, 2, 2, 3); b.EndLoop(); b.EndWhile(); }},
        {"Else of a While", [](VirtualBrick& b) { b.While(0, 1, 2, 2, 3); b.Else(); b.EndWhile(); }},
    };
    for (const auto& c : cases) {
        VirtualBrick b([this] { return ms; });
        EventLog events;
        b.setEventSink(&events);
        Integer task = 4;
        b.BeginOfTask(task);
        c.body(b);
        b.EndOfTask();
        EXPECT_EQ(events.events.size(), 3) << c.name;
        EXPECT_TRUE(events.events.first().startsWith("Start ")) << c.name;
        EXPECT_EQ(events.events.last(), QString("Done %1 4").arg(VirtualBrick::UnbalancedBlocks)) << c.name;
        EXPECT_FALSE(b.program(0).contains(4)) << c.name;
    }
}

TEST_F(VirtualBrickTest, ATaskEndedAsASubIsUnbalanced)
{
    Integer task = 1;
    brick.BeginOfTask(task);
    brick.EndOfSub();
    EXPECT_EQ(log.events.last(), QString("Done %1 1").arg(VirtualBrick::UnbalancedBlocks));
}

TEST_F(VirtualBrickTest, AModuleLeftOpenIsDroppedByTheNextBeginOrSlotChoice)
{
    Integer sub = 1;
    brick.BeginOfSub(sub);
    brick.On("1");  // its EndOfSub never comes
    Integer slot = 1;
    brick.SelectPrgm(slot);
    EXPECT_FALSE(brick.collecting());
    Integer task = 0;
    brick.BeginOfSub(sub);
    brick.BeginOfTask(task);
    brick.EndOfTask();
    EXPECT_EQ(log.events, (QStringList{"Start 0 0 0", "Progress 0", "Done 0 0"}));
    EXPECT_EQ(brick.program(1).keys(), QList<Long>{0});
}

// Inside a module a number the brick does not have fails the module's
// download instead of the call, so that the download reports it.
TEST_F(VirtualBrickTest, ABadArgumentInAModuleFailsItsDownload)
{
    Integer zero = 0, ten = 10, nine = 9;
    const struct {
        const char* name;
        Long module;
        std::function<void(VirtualBrick&)> begin;
        std::function<void(VirtualBrick&)> body;
    } cases[] = {
        {"task 10", 10, [&](VirtualBrick& b) { b.BeginOfTask(ten); }, [](VirtualBrick&) {}},
        {"sub 0", 10, [&](VirtualBrick& b) { b.BeginOfSub(zero); }, [](VirtualBrick&) {}},
        {"sub 9", 19, [&](VirtualBrick& b) { b.BeginOfSub(nine); }, [](VirtualBrick&) {}},
        {"GoSub 0", 1, {}, [&](VirtualBrick& b) { b.GoSub(zero); }},
        {"StartTask 10", 1, {}, [&](VirtualBrick& b) { b.StartTask(ten); }},
        {"variable 32", 1, {}, [](VirtualBrick& b) { b.SumVar(32, 2, 1); }},
        {"motor list", 1, {}, [](VirtualBrick& b) { EXPECT_FALSE(b.On("3")); }},
        {"power list", 1, {}, [](VirtualBrick& b) { EXPECT_FALSE(b.SetPower("x", 2, 3)); }},
        {"sound 6", 1, {}, [](VirtualBrick& b) { EXPECT_FALSE(b.PlaySystemSound(6)); }},
        {"transmit power 2", 1, {}, [](VirtualBrick& b) { EXPECT_FALSE(b.PBTxPower(2)); }},
        {"timer 4", 1, {}, [](VirtualBrick& b) { b.ClearTimer(4); }},
        {"sensor 3", 1, {}, [](VirtualBrick& b) { b.ClearSensorValue(3); }},
        {"sensor type 5", 1, {}, [](VirtualBrick& b) { b.SetSensorType(0, 5); }},
        {"sensor mode 8", 1, {}, [](VirtualBrick& b) { b.SetSensorMode(0, 8, 0); }},
        {"watch 24:00", 1, {}, [](VirtualBrick& b) { b.SetWatch(24, 0); }},
        {"datalog of a motor", 1, {}, [](VirtualBrick& b) { b.DatalogNext(3, 0); }},
    };
    for (const auto& c : cases) {
        VirtualBrick b([this] { return ms; });
        EventLog events;
        b.setEventSink(&events);
        Integer one = 1;
        if (c.begin)
            c.begin(b);
        else
            b.BeginOfTask(one);
        c.body(b);
        if (c.module >= 10 && QString(c.name).startsWith("sub"))
            b.EndOfSub();
        else
            b.EndOfTask();
        EXPECT_EQ(events.events.last(), QString("Done %1 %2").arg(VirtualBrick::BadArgument).arg(c.module)) << c.name;
        EXPECT_TRUE(b.program(0).isEmpty()) << c.name;
    }
}

TEST_F(VirtualBrickTest, ASecondDownloadOfAModuleReplacesTheFirst)
{
    Integer task = 2;
    brick.BeginOfTask(task);
    brick.On("0");
    brick.EndOfTask();
    brick.BeginOfTask(task);
    brick.Off("1");
    brick.EndOfTask();
    EXPECT_EQ(brick.program(0)[2].operations, QStringList{"Off(\"1\")"});
}

TEST_F(VirtualBrickTest, ModuleOperationsOutOfPlaceFailWith5)
{
    Integer badSlot = 5;
    Integer badTask = 10;
    Integer badSub = 0;
    const std::function<void()> cases[] = {
        [&] { brick.EndOfTask(); },        [&] { brick.EndOfSub(); },
        [&] { brick.If(0, 1, 2, 2, 3); },  [&] { brick.Else(); },
        [&] { brick.Loop(2, 1); },         [&] { brick.EndWhile(); },
        [&] { brick.SelectPrgm(badSlot); }, [&] { brick.StartTask(badTask); },
        [&] { brick.GoSub(badSub); },      [&] { brick.ClearTimer(4); },
        [&] { brick.SetSensorType(0, 5); }, [&] { brick.SetSensorMode(3, 0, 0); },
        [&] { brick.DatalogNext(2, 0); },
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(failureNumber(cases[i]), Err::InvalidCall) << i;
    EXPECT_TRUE(log.events.isEmpty());
}

TEST_F(VirtualBrickTest, ImmediateTaskControlKeepsTheRunningTasks)
{
    Integer one = 1, two = 2;
    brick.StartTask(one);
    brick.StartTask(two);
    brick.StopTask(one);
    EXPECT_EQ(brick.runningTasks(), QSet<Integer>{2});
    brick.StopAllTasks();
    EXPECT_TRUE(brick.runningTasks().isEmpty());
}

// --- Firmware ---

TEST_F(VirtualBrickTest, AFirmwareDownloadReportsModule100AfterItHasStarted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("firm0309.lgo");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1000, 'x'));
    f.close();

    EXPECT_TRUE(brick.DownloadFirmware(path));
    EXPECT_TRUE(log.events.isEmpty());  // the download goes on after the call
    QCoreApplication::processEvents();
    EXPECT_EQ(log.events, (QStringList{"Start 0 1000 100", "Progress 1000", "Done 0 100"}));
    EXPECT_EQ(brick.FirmwareVersion(), "firm0309");
}

TEST_F(VirtualBrickTest, AFirmwareFileThatCantBeReadIsRefused)
{
    const QString before = brick.FirmwareVersion();
    EXPECT_FALSE(brick.DownloadFirmware("/nonexistent/firm.lgo"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_EQ(brick.FirmwareVersion(), before);
}

TEST_F(VirtualBrickTest, PendingFirmwareEventsDieWithTheBrick)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f.lgo");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EventLog events;
    {
        VirtualBrick b;
        b.setEventSink(&events);
        EXPECT_TRUE(b.DownloadFirmware(path));
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(events.events.isEmpty());
}

}  // namespace
