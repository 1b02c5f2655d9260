// The program's virtual brick, reached as the program reaches it: through the
// control on port 4. Its state as the immediate operations change it and Poll
// reads it, its timers and watch on the control's clock, the datalog, the
// settings, the off switch, and the modules sent to it with their events.
#include "link/PortSelector.h"

#include "EventLog.h"

#include "model/AppState.h"
#include "model/VbError.h"
#include "support/Failures.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

class SoftRcxTest : public ::testing::Test {
protected:
    qint64 ms = 1000000;
    PortSelector ports{App(), [this] { return ms; }};
    vbrick::VirtualBrick& pb = ports.virtualDevice();
    EventLog log;

    void SetUp() override
    {
        ports.setComPortNo(PortSelector::VirtualBrickPort);
        ports.setEventSink(&log);
        ASSERT_EQ(&ports.device(), static_cast<IBrickDevice*>(&pb));
    }

    vbrick::SoftRcx& brick() { return ports.virtualBrick(); }
    Integer poll(Long source, Integer number) { return pb.Poll(source, number); }
    // A task of the given number in the selected slot, holding what body sends.
    void downloadTask(Integer task, const std::function<void()>& body)
    {
        pb.BeginOfTask(task);
        body();
        pb.EndOfTask();
    }
};

// --- Poll sources ---

TEST_F(SoftRcxTest, PollReadsVariablesConstantsAndTheMessage)
{
    pb.SetVar(5, 2, 42);
    pb.SetVar(31, 2, -7);
    brick().setMessage(9);
    EXPECT_EQ(poll(0, 5), 42);
    EXPECT_EQ(poll(0, 31), -7);
    EXPECT_EQ(poll(0, 0), 0);
    EXPECT_EQ(poll(2, 123), 123);
    EXPECT_EQ(poll(15, 0), 9);
    pb.ClearPBMessage();
    EXPECT_EQ(poll(15, 0), 0);

    Integer n = 2;
    pb.Poll(2, n);
    EXPECT_EQ(n, 2) << "the number is left as it was";
}

TEST_F(SoftRcxTest, OutputStatusHoldsStateDirectionAndPower)
{
    EXPECT_EQ(poll(3, 0), 0 + 8 + 7);  // floating, forward, full power at start
    ASSERT_TRUE(pb.On("01"));
    ASSERT_TRUE(pb.SetRwd("1"));
    ASSERT_TRUE(pb.SetPower("0", 2, 5));
    ASSERT_TRUE(pb.Off("2"));
    EXPECT_EQ(poll(3, 0), 128 + 8 + 5);
    EXPECT_EQ(poll(3, 1), 128 + 0 + 7);
    EXPECT_EQ(poll(3, 2), 64 + 8 + 7);
    ASSERT_TRUE(pb.Float("0"));
    ASSERT_TRUE(pb.AlterDir("011"));  // a port named twice turns once
    EXPECT_EQ(poll(3, 0), 0 + 0 + 5);
    EXPECT_EQ(poll(3, 1), 128 + 8 + 7);
}

TEST_F(SoftRcxTest, PowerComesFromItsSourceAndStaysWithinSevenAndZero)
{
    pb.SetVar(3, 2, 12);
    ASSERT_TRUE(pb.SetPower("2", 0, 3));
    EXPECT_EQ(brick().output(2).power, 7);
    pb.SetVar(3, 2, -4);
    ASSERT_TRUE(pb.SetPower("2", 0, 3));
    EXPECT_EQ(brick().output(2).power, 0);
}

TEST_F(SoftRcxTest, AMotorListWithOtherThanPortDigitsIsRefusedAndChangesNothing)
{
    for (const char* motors : {"3", "0a", "A", "0,1"}) {
        EXPECT_EQ(failureNumber([&] { pb.On(motors); }), Err::InvalidCall) << motors;
        EXPECT_EQ(failureNumber([&] { pb.SetPower(motors, 2, 1); }), Err::InvalidCall) << motors;
    }
    EXPECT_EQ(brick().output(0).mode, 0);
    EXPECT_EQ(brick().output(0).power, 7);
    EXPECT_TRUE(pb.On(""));  // no port at all: nothing to do
}

TEST_F(SoftRcxTest, SensorsGiveValueTypeModeTimesThirtyTwoRawAndBoolean)
{
    pb.SetSensorType(1, 3);
    pb.SetSensorMode(1, 4, 0);
    brick().sensor(1).value = 55;
    brick().sensor(1).raw = 700;
    brick().sensor(1).boolean = 1;
    EXPECT_EQ(poll(9, 1), 55);
    EXPECT_EQ(poll(10, 1), 3);
    EXPECT_EQ(poll(11, 1), 128);
    EXPECT_EQ(poll(12, 1), 700);
    EXPECT_EQ(poll(13, 1), 1);
    pb.SetSensorMode(2, 7, 5);
    EXPECT_EQ(poll(11, 2), 7 * 32 + 5);
    pb.ClearSensorValue(1);
    EXPECT_EQ(poll(9, 1), 0);
    EXPECT_EQ(poll(10, 0), 0);
}

TEST_F(SoftRcxTest, RandomStaysWithinZeroAndItsLimit)
{
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        const Integer r = poll(4, 10);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 10);
        seen.insert(r);
    }
    EXPECT_GT(seen.size(), 5u) << "the values vary";
    EXPECT_EQ(poll(4, 0), 0);
}

// The brick answers a source or number it does not have with 0, reading
// nothing beyond its variables, timers, outputs and sensors.
TEST_F(SoftRcxTest, SourcesAndNumbersTheBrickDoesNotHaveReadZero)
{
    for (int i = 0; i < 32; ++i)
        brick().setVariable(i, 99);
    for (int i = 0; i < 3; ++i)
        brick().sensor(i) = {4, 0xE0, 99, 99, 1};
    ms += 100000;
    const struct {
        Long source;
        Integer number;
    } cases[] = {{5, 0}, {7, 0}, {16, 0}, {230, 0}, {0, 32}, {0, 255}, {1, 4},
                 {3, 3}, {9, 3}, {10, 3}, {11, 3}, {12, 3}, {13, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(poll(c.source, c.number), 0) << c.source << "," << c.number;
}

// --- Timers and the watch ---

TEST_F(SoftRcxTest, TimersCountTenthsOfASecondSinceCleared)
{
    EXPECT_EQ(poll(1, 0), 0);
    ms += 99;
    EXPECT_EQ(poll(1, 0), 0);
    ms += 1;
    EXPECT_EQ(poll(1, 0), 1);
    ms += 1234;
    EXPECT_EQ(poll(1, 3), 13);
    pb.ClearTimer(2);
    ms += 500;
    EXPECT_EQ(poll(1, 2), 5);
    EXPECT_EQ(poll(1, 0), 18);
    EXPECT_EQ(brick().timer(2), 5);
}

TEST_F(SoftRcxTest, TimersWrapAfter32767Tenths)
{
    ms += 32768 * 100 + 300;
    EXPECT_EQ(poll(1, 1), 3);
}

TEST_F(SoftRcxTest, TheWatchRunsFromTheTimeSetAndWrapsAtMidnight)
{
    pb.SetWatch(13, 45);
    EXPECT_EQ(poll(14, 0), 13 * 60 + 45);
    ms += 3 * 60000 + 59999;
    EXPECT_EQ(poll(14, 0), 13 * 60 + 48);
    pb.SetWatch(23, 59);
    ms += 2 * 60000;
    EXPECT_EQ(poll(14, 0), 1);
    EXPECT_EQ(failureNumber([&] { pb.SetWatch(24, 0); }), Err::InvalidCall);
    EXPECT_EQ(failureNumber([&] { pb.SetWatch(0, 60); }), Err::InvalidCall);
}

// --- Variables ---

TEST_F(SoftRcxTest, VariableOperationsWorkOnSixteenBits)
{
    using Op = void (IBrickDevice::*)(Integer, Long, Integer);
    const struct {
        const char* name;
        Op op;
        Integer start, operand, result;
    } cases[] = {
        {"Sum", &IBrickDevice::SumVar, 10, 5, 15},
        {"Sum wraps", &IBrickDevice::SumVar, 32767, 1, -32768},
        {"Sub", &IBrickDevice::SubVar, 10, 15, -5},
        {"Sub wraps", &IBrickDevice::SubVar, -32768, 1, 32767},
        {"Mul", &IBrickDevice::MulVar, 7, -6, -42},
        {"Mul wraps", &IBrickDevice::MulVar, 300, 200, -5536},
        {"Div", &IBrickDevice::DivVar, 10, 3, 3},
        {"Div toward zero", &IBrickDevice::DivVar, -7, 2, -3},
        {"Div by zero keeps", &IBrickDevice::DivVar, 10, 0, 10},
        {"And", &IBrickDevice::AndVar, 12, 10, 8},
        {"Or", &IBrickDevice::OrVar, 12, 3, 15},
        {"Abs", &IBrickDevice::AbsVar, 1, -9, 9},
        {"Abs positive", &IBrickDevice::AbsVar, 1, 9, 9},
        {"Sgn negative", &IBrickDevice::SgnVar, 1, -9, -1},
        {"Sgn zero", &IBrickDevice::SgnVar, 1, 0, 0},
        {"Sgn positive", &IBrickDevice::SgnVar, 1, 300, 1},
        {"Set", &IBrickDevice::SetVar, 1, -300, -300},
    };
    IBrickDevice& control = pb;
    for (const auto& c : cases) {
        brick().setVariable(4, c.start);
        (control.*c.op)(4, 2, c.operand);
        EXPECT_EQ(brick().variable(4), c.result) << c.name;
    }
}

TEST_F(SoftRcxTest, AnOperandMayComeFromAnotherSource)
{
    brick().setVariable(2, 40);
    pb.SetVar(1, 0, 2);
    EXPECT_EQ(brick().variable(1), 40);
    ms += 2500;
    pb.SumVar(1, 1, 0);
    EXPECT_EQ(brick().variable(1), 65);
    EXPECT_EQ(failureNumber([&] { pb.SetVar(32, 2, 1); }), Err::InvalidCall);
    EXPECT_EQ(failureNumber([&] { pb.SetVar(-1, 2, 1); }), Err::InvalidCall);
}

// --- Datalog ---

TEST_F(SoftRcxTest, TheDatalogKeepsEntriesUpToItsSize)
{
    ASSERT_TRUE(pb.SetDatalog(3));
    brick().setVariable(5, 77);
    brick().sensor(1).value = 33;
    ms += 700;
    pb.DatalogNext(1, 0);
    pb.DatalogNext(0, 5);
    pb.DatalogNext(9, 1);
    pb.DatalogNext(0, 5);  // full: not kept
    const QVector<Long> map = pb.GetMemMap();
    ASSERT_GE(map.size(), 93);
    EXPECT_GT(map[91], 32767);  // addresses beyond 16 bits
    EXPECT_EQ(map[92] - map[91], 3 * (3 + 1));

    const QVector<DatalogEntry> all = pb.GetDatalog(1, 3);
    ASSERT_EQ(all.size(), 3);
    const Integer want[3][3] = {{1, 0, 7}, {0, 5, 77}, {9, 1, 33}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(all[i].source, want[i][0]) << i;
        EXPECT_EQ(all[i].number, want[i][1]) << i;
        EXPECT_EQ(all[i].value, want[i][2]) << i;
    }
    const QVector<DatalogEntry> header = pb.GetDatalog(0, 1);
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0].source, 255);
    EXPECT_EQ(pb.GetDatalog(3, 1).at(0).value, 33);
}

TEST_F(SoftRcxTest, SettingTheDatalogSizeErasesItsEntries)
{
    pb.SetDatalog(10);
    pb.DatalogNext(14, 0);
    ASSERT_TRUE(pb.SetDatalog(0));
    const QVector<Long> map = pb.GetMemMap();
    EXPECT_EQ(map[92] - map[91], 3);  // only the header
    EXPECT_FALSE(pb.SetDatalog(-1));
    EXPECT_FALSE(pb.SetDatalog(32767)) << "more than the memory holds";
    EXPECT_EQ(brick().datalogSize(), 0);
    EXPECT_EQ(failureNumber([&] { pb.GetDatalog(-1, 5); }), Err::InvalidCall);
}

// --- Brick settings ---

TEST_F(SoftRcxTest, SettingsAreAcceptedWithinTheirRangesOnly)
{
    EXPECT_TRUE(pb.PBPowerDownTime(0));
    EXPECT_TRUE(pb.PBPowerDownTime(255));
    EXPECT_EQ(brick().powerDownMinutes(), 255);
    EXPECT_EQ(failureNumber([&] { pb.PBPowerDownTime(256); }), Err::InvalidCall);
    EXPECT_EQ(failureNumber([&] { pb.PBPowerDownTime(-1); }), Err::InvalidCall);
    EXPECT_EQ(brick().powerDownMinutes(), 255);

    EXPECT_TRUE(pb.PBTxPower(1));
    EXPECT_EQ(brick().transmitterRange(), 1);
    EXPECT_EQ(failureNumber([&] { pb.PBTxPower(2); }), Err::InvalidCall);
    EXPECT_EQ(brick().transmitterRange(), 1);

    EXPECT_TRUE(pb.PlaySystemSound(5));
    EXPECT_EQ(failureNumber([&] { pb.PlaySystemSound(6); }), Err::InvalidCall);
    EXPECT_TRUE(pb.PlayTone(3000, 40));
    ASSERT_EQ(brick().sounds().size(), 2);
    EXPECT_EQ(brick().sounds()[0].sound, 5);
    EXPECT_EQ(brick().sounds()[1].frequency, 3000);
    EXPECT_EQ(brick().sounds()[1].duration, 40);

    brick().setBattery(9430);
    EXPECT_EQ(pb.PBBattery(), 9430);
    EXPECT_FALSE(pb.FirmwareVersion().isEmpty());

    EXPECT_TRUE(pb.SelectDisplay(2, 3));
    EXPECT_EQ(brick().display(), 3);
    pb.SetVar(0, 2, 12);
    pb.SendPBMessage(0, 0);
    EXPECT_EQ(brick().sentMessage(), 12);
}

// --- Off ---

TEST_F(SoftRcxTest, ABrickThatIsOffDoesNotAnswer)
{
    brick().setOn(false);
    EXPECT_FALSE(pb.PBAlive());
    EXPECT_TRUE(ports.TowerCheck1());  // the tower is still there
    Integer n = 0;
    const std::function<void()> operations[] = {
        [&] { pb.Poll(0, n); },         [&] { pb.On("0"); },
        [&] { pb.SetVar(0, 2, 1); },    [&] { pb.PBBattery(); },
        [&] { pb.FirmwareVersion(); },  [&] { pb.GetMemMap(); },
        [&] { pb.GetDatalog(1, 1); },   [&] { pb.SetDatalog(0); },
        [&] { pb.SelectPrgm(n); },      [&] { pb.PlaySystemSound(5); },
        [&] { pb.PBPowerDownTime(5); }, [&] { pb.ClearTimer(0); },
    };
    for (size_t i = 0; i < std::size(operations); ++i)
        EXPECT_EQ(failureNumber(operations[i]), Err::DeviceUnavailable) << i;
    // A module is put together on the PC; its sending fails.
    downloadTask(2, [&] { pb.On("0"); });
    EXPECT_EQ(log.events.last(), QString("Done %1 2").arg(RcxLink::NoReply));

    brick().setOn(true);
    EXPECT_TRUE(pb.PBAlive());
    EXPECT_EQ(poll(2, 3), 3);
}

TEST_F(SoftRcxTest, TurningTheBrickOffSwitchesItOff)
{
    EXPECT_TRUE(pb.PBTurnOff());
    EXPECT_FALSE(pb.PBAlive());
    EXPECT_EQ(failureNumber([&] { pb.On("0"); }), Err::DeviceUnavailable);
}

// --- Modules ---

TEST_F(SoftRcxTest, AModuleIsStoredInTheSlotAndReportedNotCarriedOut)
{
    Integer slot = 2;
    pb.SelectPrgm(slot);
    Integer task = 3;
    pb.BeginOfTask(task);
    ms += 250;
    pb.On("0");          // 2 bytes of code
    pb.SetVar(1, 2, 9);  // 5
    pb.Wait(2, 100);     // 4
    EXPECT_TRUE(log.events.isEmpty());
    pb.EndOfTask();
    ASSERT_EQ(log.events.size(), 3);
    EXPECT_TRUE(log.events[0].startsWith("Start ")) << log.events[0].toStdString();
    EXPECT_TRUE(log.events[0].endsWith(" 3")) << log.events[0].toStdString();
    EXPECT_EQ(log.events.mid(1), (QStringList{"Progress 11", "Done 0 3"}));

    EXPECT_EQ(brick().output(0).mode, 0);
    EXPECT_EQ(brick().variable(1), 0);
    EXPECT_EQ(brick().taskCode(2, 3).size(), 2 + 5 + 4);
    EXPECT_TRUE(brick().taskCode(0, 3).isEmpty());
}

TEST_F(SoftRcxTest, SubsAreNumberedFromTen)
{
    Integer sub = 2;
    pb.BeginOfSub(sub);
    pb.PlaySystemSound(1);
    pb.EndOfSub();
    EXPECT_EQ(log.events.last(), "Done 0 12");
    EXPECT_FALSE(brick().subCode(0, 1).isEmpty());
    EXPECT_TRUE(brick().sounds().isEmpty()) << "sent, not played";
}

TEST_F(SoftRcxTest, ModulesWhoseBlocksDoNotPairUpAreReportedAndNotStored)
{
    IBrickDevice& c = pb;
    const struct {
        const char* name;
        std::function<void()> body;
        bool asSub;
        Long error;
    } cases[] = {
        {"balanced",
         [&] {
             c.Loop(2, 0);
             c.If(9, 1, 0, 2, 9);
             c.On("0");
             c.Else();
             c.Off("0");
             c.EndIf();
             c.While(1, 0, 1, 2, 50);
             c.EndWhile();
             c.EndLoop();
         },
         false, 0},
        {"If without EndIf", [&] { c.If(0, 1, 2, 2, 3); c.Else(); }, false, RcxLink::UnbalancedBlocks},
        {"EndIf without If", [&] { c.EndIf(); }, false, RcxLink::UnbalancedBlocks},
        {"Else without If", [&] { c.Else(); }, false, RcxLink::UnbalancedBlocks},
        {"two Elses", [&] { c.If(0, 1, 2, 2, 3); c.Else(); c.Else(); c.EndIf(); }, false, RcxLink::UnbalancedBlocks},
        {"While closed by EndLoop", [&] { c.While(0, 1, 2, 2, 3); c.EndLoop(); }, false, RcxLink::UnbalancedBlocks},
        {"Loop closed twice", [&] { c.Loop(2, 3); c.EndLoop(); c.EndLoop(); }, false, RcxLink::UnbalancedBlocks},
        {"crossed blocks", [&] { c.Loop(2, 3); c.While(0, 1, 2, 2, 3); c.EndLoop(); c.EndWhile(); }, false,
         RcxLink::UnbalancedBlocks},
        {"Else of a While", [&] { c.While(0, 1, 2, 2, 3); c.Else(); c.EndWhile(); }, false,
         RcxLink::UnbalancedBlocks},
        {"a task ended as a sub", [&] { c.On("0"); }, true, RcxLink::UnbalancedBlocks},
    };
    for (const auto& k : cases) {
        Integer task = 4;
        log.events.clear();
        pb.BeginOfTask(task);
        k.body();
        if (k.asSub)
            pb.EndOfSub();
        else
            pb.EndOfTask();
        EXPECT_EQ(log.events.last(), QString("Done %1 4").arg(k.error)) << k.name;
        EXPECT_EQ(brick().taskCode(0, 4).isEmpty(), k.error != 0) << k.name;
        if (k.error == 0) {
            Integer none = 0;
            pb.SelectPrgm(none);  // the next module clears the slot first
        }
    }
}

TEST_F(SoftRcxTest, AModuleLeftOpenIsDroppedByTheNextBeginOrSlotChoice)
{
    Integer sub = 1;
    pb.BeginOfSub(sub);
    pb.On("1");  // its EndOfSub never comes
    Integer slot = 1;
    pb.SelectPrgm(slot);
    EXPECT_EQ(failureNumber([&] { pb.EndOfSub(); }), Err::InvalidCall);
    pb.BeginOfSub(sub);
    pb.On("1");
    Integer task = 0;
    pb.BeginOfTask(task);
    pb.Off("0");
    pb.EndOfTask();
    EXPECT_EQ(log.events.last(), "Done 0 0");
    EXPECT_EQ(log.events.size(), 3);
    EXPECT_EQ(brick().taskCode(1, 0).toHex().toStdString(), "2141");
    EXPECT_TRUE(brick().subCode(1, 0).isEmpty());
}

TEST_F(SoftRcxTest, ASecondDownloadOfAModuleReplacesTheFirst)
{
    downloadTask(2, [&] { pb.On("0"); });
    EXPECT_EQ(brick().taskCode(0, 2).toHex().toStdString(), "2181");
    downloadTask(2, [&] { pb.Off("1"); });
    EXPECT_EQ(brick().taskCode(0, 2).toHex().toStdString(), "2142");
}

// A number the brick does not have fails at once with 5, whether it is sent
// at once or into a module; the module then goes nowhere.
TEST_F(SoftRcxTest, NumbersTheBrickDoesNotHaveAreRefusedInAndOutsideModules)
{
    Integer zero = 0, five = 5, nine = 9, ten = 10;
    const struct {
        const char* name;
        std::function<void()> call;
    } cases[] = {
        {"task 10", [&] { pb.BeginOfTask(ten); }},
        {"sub 0", [&] { pb.BeginOfSub(zero); }},
        {"sub 9", [&] { pb.BeginOfSub(nine); }},
        {"slot 5", [&] { pb.SelectPrgm(five); }},
        {"GoSub 0", [&] { pb.GoSub(zero); }},
        {"StartTask 10", [&] { pb.StartTask(ten); }},
        {"StopTask 10", [&] { pb.StopTask(ten); }},
        {"variable 32", [&] { pb.SumVar(32, 2, 1); }},
        {"timer 4", [&] { pb.ClearTimer(4); }},
        {"sensor 3", [&] { pb.ClearSensorValue(3); }},
        {"sensor type 5", [&] { pb.SetSensorType(0, 5); }},
        {"sensor mode 8", [&] { pb.SetSensorMode(0, 8, 0); }},
        {"mode of sensor 3", [&] { pb.SetSensorMode(3, 0, 0); }},
        {"watch 24:00", [&] { pb.SetWatch(24, 0); }},
        {"motor list", [&] { pb.On("3"); }},
        {"power list", [&] { pb.SetPower("x", 2, 3); }},
        {"sound 6", [&] { pb.PlaySystemSound(6); }},
        {"transmit power 2", [&] { pb.PBTxPower(2); }},
        {"tone of 256 hundredths", [&] { pb.PlayTone(440, 256); }},
    };
    for (bool inModule : {false, true}) {
        for (const auto& c : cases) {
            Integer task = 1;
            log.events.clear();
            if (inModule) {
                pb.SelectPrgm(zero);
                pb.BeginOfTask(task);
                pb.On("0");
            }
            EXPECT_EQ(failureNumber(c.call), Err::InvalidCall) << c.name << (inModule ? " in a module" : "");
            if (inModule) {
                pb.EndOfTask();
                EXPECT_TRUE(log.events.isEmpty()) << c.name;
                EXPECT_TRUE(brick().taskCode(0, 1).isEmpty()) << c.name;
            }
        }
    }
    EXPECT_TRUE(brick().sounds().isEmpty());
    EXPECT_EQ(brick().output(0).mode, 0);
}

TEST_F(SoftRcxTest, BlockOperationsOutsideAModuleFailWith5)
{
    const std::function<void()> cases[] = {
        [&] { pb.EndOfTask(); }, [&] { pb.EndOfSub(); },  [&] { pb.If(0, 1, 2, 2, 3); },
        [&] { pb.Else(); },      [&] { pb.EndIf(); },     [&] { pb.Loop(2, 1); },
        [&] { pb.EndLoop(); },   [&] { pb.EndWhile(); },  [&] { pb.While(0, 1, 2, 2, 3); },
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(failureNumber(cases[i]), Err::InvalidCall) << i;
    EXPECT_TRUE(log.events.isEmpty());
}

TEST_F(SoftRcxTest, ImmediateTaskControlStartsAndStopsTheStoredTasks)
{
    for (Integer task : {1, 2})
        downloadTask(task, [&] { pb.Wait(2, 30000); });
    Integer one = 1, two = 2, three = 3;
    pb.StartTask(one);
    pb.StartTask(two);
    pb.StartTask(three);  // none stored: nothing runs
    ms += 10;
    EXPECT_TRUE(brick().running(1));
    EXPECT_TRUE(brick().running(2));
    EXPECT_FALSE(brick().running(3));
    pb.StopTask(one);
    EXPECT_FALSE(brick().running(1));
    EXPECT_TRUE(brick().running(2));
    pb.StopAllTasks();
    EXPECT_FALSE(brick().running(2));
}

// Paced, a module's transfer waits before each request, about a quarter of
// its time through a tower, and reports each block after its wait.
TEST_F(SoftRcxTest, APacedTransferWaitsBeforeEachBlock)
{
    int waited = 0;
    pb.setPace([&](int wait) {
        waited += wait;
        log.events.append(QStringLiteral("wait"));
    });
    downloadTask(1, [&] {
        for (int i = 0; i < 12; ++i)
            pb.On("0");  // two bytes each: 24 bytes, two blocks
    });
    ASSERT_EQ(log.events.size(), 7);
    EXPECT_TRUE(log.events[0].startsWith("Start ")) << log.events[0].toStdString();
    EXPECT_EQ(log.events.mid(1), (QStringList{"wait", "wait", "Progress 20", "wait", "Progress 24", "Done 0 1"}));
    const int wireMs = log.events[0].split(' ')[1].toInt();
    EXPECT_NEAR(waited, wireMs / 4, 3);
}

}  // namespace
