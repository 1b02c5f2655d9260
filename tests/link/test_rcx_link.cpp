// The link against the software brick in the same process: the operands of
// every operation at the edges of what the brick takes, and the firmware
// download from a file, step by step as the event loop would run it.
#include "EventLog.h"

#include "link/BrickHold.h"
#include "link/protocol/RcxLink.h"
#include "link/vbrick/InProcessTower.h"
#include "support/Failures.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The in-process tower, every request it carries written down.
class RecordingTower : public IRcxTransport {
public:
    explicit RecordingTower(vbrick::SoftRcx& brick) : mTower(brick) {}
    bool open() override { return mTower.open(); }
    bool wake() override { return mTower.wake(); }
    void close() override { mTower.close(); }
    std::optional<QByteArray> exchange(const QByteArray& request) override
    {
        requests.append(request);
        return mTower.exchange(request);
    }
    qint64 bytesSent() const override { return mTower.bytesSent(); }

    QList<QByteArray> requests;

private:
    vbrick::InProcessTower mTower;
};

struct EdgeCase {
    const char* name;
    // The last value the brick takes, and the bytes it goes down as: the
    // request (sent at once) or the code of a task holding it (in a module).
    std::function<void(RcxLink&)> accepted;
    const char* bytes;
    std::function<void(RcxLink&)> refused;  // one past it
    bool inModule = false;
};

}  // namespace

// No operand is ever cut to fit: the edge of what the brick takes goes down
// as it stands; one past it fails with 5, sends nothing, and spoils the module
// it was meant for, whose end then sends nothing and raises no event.
TEST(RcxLinkOperands, NoValueIsCutToFit)
{
    Integer eight = 8, nine = 9, four = 4, ten = 10, five = 5;
    const EdgeCase cases[] = {
        {"message 255", [](RcxLink& l) { l.SendPBMessage(2, 255); }, "b2 02 ff",
         [](RcxLink& l) { l.SendPBMessage(2, 256); }},
        {"message 0", [](RcxLink& l) { l.SendPBMessage(2, 0); }, "b2 02 00",
         [](RcxLink& l) { l.SendPBMessage(2, -3); }},
        {"message of variable 31", [](RcxLink& l) { l.SendPBMessage(0, 31); }, "b2 00 1f",
         [](RcxLink& l) { l.SendPBMessage(0, 32); }},
        {"message of a timer", [](RcxLink& l) { l.SendPBMessage(2, 7); }, "b2 02 07",
         [](RcxLink& l) { l.SendPBMessage(1, 0); }},
        {"tone of 255 hundredths", [](RcxLink& l) { l.PlayTone(32767, 255); }, "23 ff 7f ff",
         [](RcxLink& l) { l.PlayTone(440, 256); }},
        {"tone of 0 hundredths", [](RcxLink& l) { l.PlayTone(0, 0); }, "23 00 00 00",
         [](RcxLink& l) { l.PlayTone(440, -1); }},
        {"tone frequency", [](RcxLink& l) { l.PlayTone(6, 1); }, "23 06 00 01",
         [](RcxLink& l) { l.PlayTone(-1, 10); }},
        {"system sound 5", [](RcxLink& l) { l.PlaySystemSound(5); }, "51 05",
         [](RcxLink& l) { l.PlaySystemSound(6); }},
        {"system sound 0", [](RcxLink& l) { l.PlaySystemSound(0); }, "51 00",
         [](RcxLink& l) { l.PlaySystemSound(-1); }},
        {"power 7", [](RcxLink& l) { l.SetPower("2", 2, 7); }, "13 04 02 07",
         [](RcxLink& l) { l.SetPower("2", 2, 8); }},
        {"power 0", [](RcxLink& l) { l.SetPower("0", 2, 0); }, "13 01 02 00",
         [](RcxLink& l) { l.SetPower("0", 2, -1); }},
        {"random power up to 7", [](RcxLink& l) { l.SetPower("0", 4, 7); }, "13 01 04 07",
         [](RcxLink& l) { l.SetPower("0", 4, 8); }},
        {"power of variable 31", [](RcxLink& l) { l.SetPower("01", 0, 31); }, "13 03 00 1f",
         [](RcxLink& l) { l.SetPower("0", 0, 300); }},
        {"power of a timer", [](RcxLink& l) { l.SetPower("0", 2, 1); }, "13 01 02 01",
         [](RcxLink& l) { l.SetPower("0", 1, 0); }},
        {"motors A to C", [](RcxLink& l) { l.On("012"); }, "21 87", [](RcxLink& l) { l.On("3"); }},
        {"datalog of variable 31", [](RcxLink& l) { l.DatalogNext(0, 31); }, "62 00 1f",
         [](RcxLink& l) { l.DatalogNext(0, 300); }},
        {"datalog of sensor 3", [](RcxLink& l) { l.DatalogNext(9, 2); }, "62 09 02",
         [](RcxLink& l) { l.DatalogNext(9, 3); }},
        {"datalog of a constant", [](RcxLink& l) { l.DatalogNext(14, 0); }, "62 0e 00",
         [](RcxLink& l) { l.DatalogNext(2, 5); }},
        {"variable 31", [](RcxLink& l) { l.SetVar(31, 2, -32768); }, "14 1f 02 00 80",
         [](RcxLink& l) { l.SetVar(32, 2, 0); }},
        {"variable from sensor 3", [](RcxLink& l) { l.SumVar(0, 9, 2); }, "24 00 09 02 00",
         [](RcxLink& l) { l.SumVar(0, 9, 3); }},
        {"variable from no source", [](RcxLink& l) { l.SetVar(0, 15, 0); }, "14 00 0f 00 00",
         [](RcxLink& l) { l.SetVar(0, 300, 0); }},
        {"display 6", [](RcxLink& l) { l.SelectDisplay(2, 6); }, "33 02 06 00",
         [](RcxLink& l) { l.SelectDisplay(2, 7); }},
        {"display of variable 31", [](RcxLink& l) { l.SelectDisplay(0, 31); }, "33 00 1f 00",
         [](RcxLink& l) { l.SelectDisplay(1, 0); }},
        {"transmitter long", [](RcxLink& l) { l.PBTxPower(1); }, "31 01", [](RcxLink& l) { l.PBTxPower(2); }},
        {"power down 255", [](RcxLink& l) { l.PBPowerDownTime(255); }, "b1 ff",
         [](RcxLink& l) { l.PBPowerDownTime(256); }},
        {"watch 23:59", [](RcxLink& l) { l.SetWatch(23, 59); }, "22 17 3b", [](RcxLink& l) { l.SetWatch(24, 0); }},
        {"watch 60 minutes", [](RcxLink& l) { l.SetWatch(0, 0); }, "22 00 00", [](RcxLink& l) { l.SetWatch(0, 60); }},
        {"sensor type 4", [](RcxLink& l) { l.SetSensorType(2, 4); }, "32 02 04",
         [](RcxLink& l) { l.SetSensorType(0, 5); }},
        {"sensor mode 7 slope 31", [](RcxLink& l) { l.SetSensorMode(2, 7, 31); }, "42 02 ff",
         [](RcxLink& l) { l.SetSensorMode(0, 0, 32); }},
        {"timer 3", [](RcxLink& l) { l.ClearTimer(3); }, "a1 03", [](RcxLink& l) { l.ClearTimer(4); }},
        {"sensor 3", [](RcxLink& l) { l.ClearSensorValue(2); }, "d1 02", [](RcxLink& l) { l.ClearSensorValue(3); }},
        {"poll argument 255", [](RcxLink& l) { Integer n = 255; l.Poll(2, n); }, "12 02 ff",
         [](RcxLink& l) { Integer n = 256; l.Poll(2, n); }},
        {"task 9", [&](RcxLink& l) { l.StartTask(nine); }, "71 09", [&](RcxLink& l) { l.StartTask(ten); }},
        {"slot 5", [&](RcxLink& l) { l.SelectPrgm(four); }, "91 04", [&](RcxLink& l) { l.SelectPrgm(five); }},
        // In program code.
        {"sub 8", [&](RcxLink& l) { l.GoSub(eight); }, "17 07", [&](RcxLink& l) { l.GoSub(nine); }, true},
        {"wait 32767", [](RcxLink& l) { l.Wait(2, 32767); }, "43 02 ff 7f", [](RcxLink& l) { l.Wait(4, -1); }, true},
        {"wait on variable 31", [](RcxLink& l) { l.Wait(0, 31); }, "43 00 1f 00", [](RcxLink& l) { l.Wait(1, 0); },
         true},
        {"random loop count 255",
         [](RcxLink& l) {
             l.Loop(4, 255);
             l.EndLoop();
         },
         "82 04 ff 37 03 27 83", [](RcxLink& l) { l.Loop(4, 300); }, true},
        {"loop on variable 31",
         [](RcxLink& l) {
             l.Loop(0, 31);
             l.EndLoop();
         },
         "82 00 1f 37 03 27 83", [](RcxLink& l) { l.Loop(0, 32); }, true},
        {"test of sensor 3",
         [](RcxLink& l) {
             l.If(9, 2, 3, 0, 31);
             l.EndIf();
         },
         "85 c9 00 02 00 1f 01", [](RcxLink& l) { l.If(9, 3, 3, 0, 1); }, true},
        {"test of relation 3",
         [](RcxLink& l) {
             l.While(0, 1, 3, 2, 5);
             l.EndWhile();
         },
         "85 c2 00 05 00 01 03 27 88", [](RcxLink& l) { l.While(0, 1, 4, 2, 5); }, true},
        {"test of no source",
         [](RcxLink& l) {
             l.If(15, 0, 2, 14, 0);
             l.EndIf();
         },
         "85 8f 0e 00 00 00 01", [](RcxLink& l) { l.If(16, 0, 2, 2, 0); }, true},
    };

    vbrick::SoftRcx brick;
    RecordingTower tower(brick);
    RcxLink link(tower);
    EventLog log;
    link.setEventSink(&log);
    Integer slot = 0, task = 1;
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        // The edge as it goes down.
        if (c.inModule) {
            link.SelectPrgm(slot);
            link.BeginOfTask(task);
            c.accepted(link);
            link.EndOfTask();
            EXPECT_EQ(brick.taskCode(0, 1).toHex(' ').toStdString(), c.bytes);
        } else {
            c.accepted(link);
            ASSERT_FALSE(tower.requests.isEmpty());
            EXPECT_EQ(tower.requests.last().toHex(' ').toStdString(), c.bytes);
        }
        // One past it, at once: nothing goes out.
        const qsizetype sent = tower.requests.size();
        EXPECT_EQ(failureNumber([&] { c.refused(link); }), Err::InvalidCall);
        EXPECT_EQ(tower.requests.size(), sent);
        // And in a module: the module goes nowhere, nor does the next one
        // until a slot is chosen again.
        link.SelectPrgm(slot);
        link.BeginOfTask(task);
        link.On("0");
        log.events.clear();
        EXPECT_EQ(failureNumber([&] { c.refused(link); }), Err::InvalidCall);
        link.EndOfTask();
        Integer other = 2;
        link.BeginOfTask(other);
        link.EndOfTask();
        EXPECT_TRUE(log.events.isEmpty()) << log.events.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(brick.taskCode(0, 1).isEmpty());
        EXPECT_TRUE(brick.taskCode(0, 2).isEmpty());
    }
}

// The begin announces a module's length in a short: a longer module is the
// brick's "not enough memory" and goes nowhere.
TEST(RcxLinkOperands, AModuleLongerThanItsBeginCanTellIsNotSent)
{
    vbrick::SoftRcx brick;
    RecordingTower tower(brick);
    RcxLink link(tower);
    EventLog log;
    link.setEventSink(&log);
    Integer task = 1;
    link.BeginOfTask(task);
    for (int i = 0; i < 13108; ++i)  // 5 bytes each: 65540
        link.SetVar(2, 2, i);
    link.EndOfTask();
    EXPECT_EQ(log.events, (QStringList{"Start 0 65540 1", QString("Done %1 1").arg(RcxLink::TooLong)}));
    EXPECT_TRUE(tower.requests.isEmpty());
    EXPECT_TRUE(brick.taskCode(0, 1).isEmpty());
}

TEST(RcxLinkFirmware, DownloadsInBlocksAndUnlocks)
{
    vbrick::SoftRcx brick;
    vbrick::InProcessTower tower(brick);
    RcxLink link(tower);
    EventLog log;
    link.setEventSink(&log);

    QTemporaryDir dir;
    QByteArray image(450, 0);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);
    const QString path = dir.filePath(QStringLiteral("firm.lgo"));
    writeFile(path, sRecords(image));

    ASSERT_TRUE(link.DownloadFirmware(path));
    EXPECT_FALSE(brick.hasFirmware());
    EXPECT_TRUE(link.firmwareRunning());
    while (link.firmwareRunning())
        link.firmwareStep();
    EXPECT_EQ(log.events, (QStringList{"Start 5733 450 100", "Progress 200", "Progress 400", "Progress 450",
                                       "Done 0 100"}));
    EXPECT_TRUE(brick.hasFirmware());
    EXPECT_EQ(link.FirmwareVersion(), QStringLiteral("3.09"));
}

// While the blocks go, the firmware download holds the brick: every other
// operation, a second firmware download among them, fails at once with the
// busy text and sends nothing; afterwards the brick is free again.
TEST(RcxLinkFirmware, HoldsTheBrickWhileItRuns)
{
    vbrick::SoftRcx brick;
    RecordingTower tower(brick);
    RcxLink link(tower);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firm.lgo"));
    writeFile(path, sRecords(QByteArray(450, 'x')));
    const struct {
        const char* name;
        std::function<void()> operation;
    } operations[] = {
        {"alive", [&] { link.PBAlive(); }},
        {"battery", [&] { link.PBBattery(); }},
        {"poll", [&] {
             Integer n = 0;
             link.Poll(0, n);
         }},
        {"motor", [&] { link.On("0"); }},
        {"variable", [&] { link.SetVar(1, 2, 5); }},
        {"sound", [&] { link.PlaySystemSound(5); }},
        {"datalog", [&] { link.GetDatalog(0, 5); }},
        {"memory map", [&] { link.GetMemMap(); }},
        {"version", [&] { link.FirmwareVersion(); }},
        {"slot", [&] {
             Integer slot = 1;
             link.SelectPrgm(slot);
         }},
        {"task", [&] {
             Integer task = 1;
             link.BeginOfTask(task);
         }},
        {"firmware", [&] { link.DownloadFirmware(path); }},
        {"tower wake", [&] { link.TowerCheck2(); }},
        {"tower probe", [&] { link.TowerCheck3(); }},
    };
    ASSERT_TRUE(link.DownloadFirmware(path));
    link.firmwareStep();
    const qsizetype sent = tower.requests.size();
    for (const auto& o : operations) {
        SCOPED_TRACE(o.name);
        try {
            o.operation();
            ADD_FAILURE() << "not refused";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), BrickBusyError);
            EXPECT_EQ(e.description(), QStringLiteral("The RCX is busy: firmware download"));
        }
        EXPECT_EQ(tower.requests.size(), sent);
    }
    while (link.firmwareRunning())
        link.firmwareStep();
    EXPECT_TRUE(brick.hasFirmware());
    EXPECT_TRUE(link.PBAlive());
}

TEST(RcxLinkFirmware, BadFileOrSilentBrickIsRefused)
{
    vbrick::SoftRcx brick;
    vbrick::InProcessTower tower(brick);
    RcxLink link(tower);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.lgo"));
    writeFile(path, sRecords(QByteArray(32, 'x')).replace("S1", "S1F"));
    EXPECT_FALSE(link.DownloadFirmware(path));
    EXPECT_FALSE(link.DownloadFirmware(dir.filePath(QStringLiteral("missing.lgo"))));
    EXPECT_TRUE(brick.hasFirmware()) << "nothing was deleted";
    brick.setOn(false);
    EXPECT_FALSE(link.PBAlive());
}

TEST(RcxLinkFirmware, PendingStepsDieWithTheLink)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firm.lgo"));
    writeFile(path, sRecords(QByteArray(64, 'x')));
    vbrick::SoftRcx brick;
    vbrick::InProcessTower tower(brick);
    EventLog log;
    {
        RcxLink link(tower);
        link.setEventSink(&log);
        ASSERT_TRUE(link.DownloadFirmware(path));
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.events.isEmpty());
}
