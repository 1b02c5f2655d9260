// The tower driver against the software brick on a pseudo-terminal, as a
// serial tower would connect them: the control's operations, a program
// download that runs and logs, a brick out of range and a tower pulled out
// in the middle of a download; what the tower checks make of each kind of
// device behind a serial line.
#include "EventLog.h"
#include "support/TowerTime.h"

#include "link/protocol/RcxLink.h"
#include "link/protocol/RcxRequests.h"
#include "link/tower/TowerTransport.h"
#include "link/vbrick/PtyResponder.h"
#include "support/Failures.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class TowerPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(responder.isOpen());
        link.setEventSink(&log);
    }
    vbrick::PtyResponder responder;
    TowerTime time;
    TowerTransport tower{responder.devicePath(), time.timing()};
    RcxLink link{tower};
    EventLog log;
};

}  // namespace

TEST_F(TowerPty, TowerChecksAndImmediateOperations)
{
    EXPECT_TRUE(link.TowerCheck1());
    EXPECT_TRUE(link.TowerCheck2());
    EXPECT_TRUE(link.TowerCheck3());
    EXPECT_TRUE(link.PBAlive());
    EXPECT_EQ(link.PBBattery(), 9300);
    EXPECT_EQ(link.FirmwareVersion(), QStringLiteral("3.09"));

    link.SetVar(5, 2, -1234);
    link.SumVar(5, 2, 4);
    Integer five = 5;
    EXPECT_EQ(link.Poll(0, five), -1230);
    // The same request twice in a row goes out as the twin the second time and is still answered.
    EXPECT_EQ(link.Poll(0, five), -1230);
    QList<std::uint8_t> ops = responder.opcodes();
    ASSERT_GE(ops.size(), 2);
    EXPECT_EQ(ops.mid(ops.size() - 2), (QList<std::uint8_t>{0x12, 0x1A}));

    EXPECT_TRUE(link.On("02"));
    EXPECT_TRUE(link.SetRwd("2"));
    EXPECT_TRUE(link.SetPower("0", 2, 3));
    EXPECT_EQ(failureNumber([&] { link.On("3"); }), Err::InvalidCall);
    link.SetSensorType(1, 1);
    responder.withBrick([](vbrick::SoftRcx& b) {
        EXPECT_EQ(b.output(0).mode, rcx::OutFlag::On);
        EXPECT_EQ(b.output(0).power, 3);
        EXPECT_FALSE(b.output(2).forward);
        EXPECT_EQ(b.output(1).mode, 0);
        EXPECT_EQ(b.sensor(1).mode, 0x20);
        b.sensor(1).value = 1;
    });
    Integer one = 1;
    EXPECT_EQ(link.Poll(9, one), 1);
    EXPECT_EQ(link.GetMemMap().size(), 95);
}

TEST_F(TowerPty, ProgramDownloadRunsAndFillsTheDatalog)
{
    ASSERT_TRUE(link.TowerCheck1());
    EXPECT_TRUE(link.SetDatalog(10));
    Integer slot = 1, task = 0, sub = 1;
    link.SelectPrgm(slot);
    link.BeginOfTask(task);
    link.SetVar(3, 2, 0);
    link.Loop(2, 4);
    link.SumVar(3, 2, 5);
    link.GoSub(sub);
    link.Wait(2, 50);
    link.EndLoop();
    link.If(0, 3, 0, 2, 15);  // var3 > 15
    link.PlaySystemSound(2);
    link.Else();
    link.PlayTone(440, 10);
    link.EndIf();
    link.EndOfTask();
    link.BeginOfSub(sub);
    link.DatalogNext(0, 3);
    link.EndOfSub();
    ASSERT_EQ(log.events.size(), 7) << log.events.join(" | ").toStdString();
    EXPECT_TRUE(log.events[0].startsWith("Start ")) << log.events[0].toStdString();
    EXPECT_EQ(log.events.filter("Done").join(","), "Done 0 0,Done 0 11");

    Integer zero = 0;
    link.StartTask(zero);
    responder.withBrick([](vbrick::SoftRcx& b) {
        EXPECT_EQ(b.slot(), 1);
        EXPECT_FALSE(b.taskCode(1, 0).isEmpty());
        EXPECT_EQ(b.subCode(1, 0).toHex(' ').toStdString(), "62 00 03");
        EXPECT_TRUE(b.running(0));
        b.advance(10000);
        EXPECT_FALSE(b.running(0));
        ASSERT_EQ(b.sounds().size(), 1);
        EXPECT_EQ(b.sounds()[0].sound, 2);
        EXPECT_EQ(b.sounds()[0].atMs, 2000);
    });
    Integer three = 3;
    EXPECT_EQ(link.Poll(0, three), 20);
    const QVector<DatalogEntry> entries = link.GetDatalog(0, 5);
    ASSERT_EQ(entries.size(), 5);
    EXPECT_EQ(entries[0].source, 255);
    EXPECT_EQ(entries[0].value, 5);
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(entries[i].source, 0);
        EXPECT_EQ(entries[i].number, 3);
        EXPECT_EQ(entries[i].value, 5 * i);
    }
    const QVector<Long> map = link.GetMemMap();
    EXPECT_EQ(map[92] - map[91], 3 * 5);
}

TEST_F(TowerPty, UnbalancedModuleIsNotSent)
{
    ASSERT_TRUE(link.TowerCheck1());
    Integer task = 2;
    link.BeginOfTask(task);
    link.Loop(2, 3);
    link.EndOfTask();
    EXPECT_EQ(log.events.last(), "Done 1 2");
    responder.withBrick([](vbrick::SoftRcx& b) { EXPECT_TRUE(b.taskCode(0, 2).isEmpty()); });
}

TEST_F(TowerPty, BrickOutOfRange)
{
    ASSERT_TRUE(link.TowerCheck1());
    responder.setSilent(true);
    EXPECT_FALSE(link.PBAlive());
    EXPECT_EQ(tower.tries(), TowerTransport::Tries);
    EXPECT_EQ(failureNumber([&] { link.PBBattery(); }), 68);
    responder.setSilent(false);
    EXPECT_TRUE(link.PBAlive());
}

// A brick or a tower that gives an answer twice, the copy 5 to 300 ms late,
// before the same request goes again (with the other toggle): the second
// request gets its own answer, never the copy of the first's, whatever kind
// of request it is. A copy due before the second request went came before it.
TEST(TowerLateCopy, ALateCopyIsNeverTakenForTheNextAnswer)
{
    struct Kind {
        const char* name;
        std::uint8_t op;
        // The request, made twice; between the two, the brick changes (or
        // falls silent); the second's result must show the change.
        std::function<void(RcxLink&)> first;
        std::function<void(vbrick::PtyResponder&)> change;
        std::function<void(RcxLink&)> second;
    };
    const Kind kinds[] = {
        {"alive", rcx::Op::Alive, [](RcxLink& l) { EXPECT_TRUE(l.PBAlive()); },
         [](vbrick::PtyResponder& r) { r.setSilent(true); }, [](RcxLink& l) { EXPECT_FALSE(l.PBAlive()); }},
        {"poll", rcx::Op::Poll,
         [](RcxLink& l) {
             Integer n = 7;
             EXPECT_EQ(l.Poll(0, n), 0);
         },
         [](vbrick::PtyResponder& r) { r.withBrick([](vbrick::SoftRcx& b) { b.setVariable(7, 1234); }); },
         [](RcxLink& l) {
             Integer n = 7;
             EXPECT_EQ(l.Poll(0, n), 1234);
         }},
        {"battery", rcx::Op::Battery, [](RcxLink& l) { EXPECT_EQ(l.PBBattery(), 9300); },
         [](vbrick::PtyResponder& r) { r.withBrick([](vbrick::SoftRcx& b) { b.setBattery(7100); }); },
         [](RcxLink& l) { EXPECT_EQ(l.PBBattery(), 7100); }},
        {"datalog", rcx::Op::Upload, [](RcxLink& l) { EXPECT_EQ(l.GetDatalog(0, 1).value(0).value, 1); },
         [](vbrick::PtyResponder& r) {
             r.withBrick([](vbrick::SoftRcx& b) { b.handle(rcx::req::datalogNext(0, 3)); });
         },
         [](RcxLink& l) { EXPECT_EQ(l.GetDatalog(0, 1).value(0).value, 2); }},
        {"direct command", rcx::Op::SetVar, [](RcxLink& l) { l.SetVar(3, 2, 5); },
         [](vbrick::PtyResponder& r) { r.setSilent(true); },
         [](RcxLink& l) { EXPECT_EQ(failureNumber([&] { l.SetVar(3, 2, 6); }), Err::DeviceUnavailable); }},
    };
    struct Case {
        int lateMs;
        bool echoing;
    };
    QList<Case> cases;
    for (int late : {5, 35, 60, 120, 300})
        cases.append({late, true});
    // A tower without echo: the copy comes right behind the request.
    cases.append({60, false});
    for (const Case& c : cases) {
        for (const Kind& k : kinds) {
            SCOPED_TRACE(QStringLiteral("%1, %2 ms late, %3")
                             .arg(QLatin1String(k.name))
                             .arg(c.lateMs)
                             .arg(c.echoing ? QStringLiteral("echo") : QStringLiteral("no echo"))
                             .toStdString());
            TowerTime time;
            vbrick::PtyResponder responder;
            ASSERT_TRUE(responder.isOpen());
            responder.setEchoing(c.echoing);
            responder.withBrick([](vbrick::SoftRcx& b) { b.handle(rcx::req::setDatalog(10)); });
            responder.setClock(time.clock());
            responder.doubleAnswer(k.op, 1, c.lateMs);
            TowerTransport tower(responder.devicePath(), time.timing());
            RcxLink link(tower);
            k.first(link);
            k.change(responder);
            k.second(link);
            // The two went with the two toggles of the opcode.
            QList<std::uint8_t> ops = responder.opcodes();
            ASSERT_GE(ops.size(), 2);
            EXPECT_EQ(ops[0], k.op);
            EXPECT_EQ(ops[1], rcx::twin(k.op));
        }
    }
}

namespace {

// Pulls the tower out when the first block has gone.
struct Unplugger : EventLog {
    vbrick::PtyResponder* responder = nullptr;
    void PB_DownloadProgress(Long v) override
    {
        EventLog::PB_DownloadProgress(v);
        responder->unplug();
    }
};

}  // namespace

TEST_F(TowerPty, TowerPulledOutMidDownload)
{
    Unplugger sink;
    sink.responder = &responder;
    link.setEventSink(&sink);
    ASSERT_TRUE(link.TowerCheck1());
    Integer task = 1;
    link.BeginOfTask(task);
    for (int i = 0; i < 30; ++i)
        link.SetVar(1, 2, i);
    link.EndOfTask();
    EXPECT_EQ(sink.events.last(), "Done 68 1");
    EXPECT_EQ(sink.events.filter("Progress").size(), 1);
    // The rest of the download goes without a word: the failure was told once.
    Integer sub = 1;
    link.BeginOfSub(sub);
    link.EndOfSub();
    EXPECT_EQ(sink.events.last(), "Done 68 1");
    EXPECT_FALSE(tower.isOpen());
    EXPECT_FALSE(link.PBAlive());
    EXPECT_FALSE(link.TowerCheck1() && link.TowerCheck3());
}

TEST(TowerDevice, MissingDeviceAndUsbTowerLookup)
{
    TowerTransport tower(QStringLiteral("/nonexistent/ttyS9"));
    RcxLink link(tower);
    EXPECT_FALSE(link.TowerCheck1());
    EXPECT_FALSE(link.TowerCheck2());
    EXPECT_FALSE(link.TowerCheck3());
    EXPECT_FALSE(link.PBAlive());
    EXPECT_EQ(failureNumber([&] { link.On("0"); }), 68);
    EXPECT_EQ(TowerTransport::findUsbTower(QStringLiteral("/nonexistent")), QString());
}

TEST(TowerDevice, ATowersOwnNodeUnderAnyNameIsATowerPluggedIn)
{
    // A character device that is no serial line (here the null device, as
    // the USB tower's node reached through a link of another name) takes no
    // line settings and counts as a tower, brick or not.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rcxtower"));
    ASSERT_EQ(::symlink("/dev/null", path.toLocal8Bit().constData()), 0);
    TowerTime time;
    TowerTransport tower(path, time.timing());
    RcxLink link(tower);
    EXPECT_TRUE(link.TowerCheck1());
    EXPECT_FALSE(tower.isSerialLine());
    EXPECT_TRUE(link.TowerCheck2());
    EXPECT_TRUE(link.TowerCheck3());
    EXPECT_EQ(time.now, 0);
}

// A tower is a character device; a pipe, a file or a folder at the path is
// no tower, and the brick behind it can't be reached.
TEST(TowerDevice, WhatIsNoCharacterDeviceIsNoTower)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString file = dir.filePath(QStringLiteral("file"));
    writeFile(file, QByteArray(16, 'x'));
    const QString linkToFifo = dir.filePath(QStringLiteral("usbtower0"));
    ASSERT_EQ(::symlink(fifo.toLocal8Bit().constData(), linkToFifo.toLocal8Bit().constData()), 0);
    for (const QString& path : {fifo, file, dir.path(), linkToFifo}) {
        SCOPED_TRACE(path.toStdString());
        TowerTime time;
        TowerTransport tower(path, time.timing());
        RcxLink link(tower);
        EXPECT_FALSE(link.TowerCheck1());
        EXPECT_FALSE(link.TowerCheck2());
        EXPECT_FALSE(link.TowerCheck3());
        EXPECT_FALSE(tower.isOpen());
        EXPECT_FALSE(link.PBAlive());
        EXPECT_EQ(failureNumber([&] { link.On("0"); }), Err::DeviceUnavailable);
    }
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray(16, 'x'));
}

TEST(TowerDevice, WhatTheTowerChecksMakeOfEachDeviceBehindASerialLine)
{
    using Echo = TowerTransport::Echo;
    struct Case {
        const char* what;
        bool echoing;
        bool answering;
        bool tower;    // the tower checks pass
        Echo echo;     // what the driver learnt of the echo
        bool brick;    // PBAlive
    };
    const Case cases[] = {
        {"a tower and its brick", true, true, true, Echo::Yes, true},
        {"a tower with its brick off", true, false, true, Echo::Yes, false},
        {"a tower without echo and its brick", false, true, true, Echo::No, true},
        {"nothing behind the port", false, false, false, Echo::Unknown, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vbrick::PtyResponder responder;
        ASSERT_TRUE(responder.isOpen());
        responder.setEchoing(c.echoing);
        responder.setSilent(!c.answering);
        TowerTime time;
        TowerTransport tower(responder.devicePath(), time.timing());
        QList<bool> busy;
        tower.setBusy([&](bool b) { busy.append(b); });
        RcxLink link(tower);
        EXPECT_TRUE(link.TowerCheck1());
        EXPECT_TRUE(link.TowerCheck2());
        EXPECT_EQ(link.TowerCheck3(), c.tower);
        // However long the brick's exchanges may take, the checks give up within a second.
        EXPECT_LE(time.now, 1000);
        EXPECT_TRUE(busy.isEmpty());
        EXPECT_EQ(tower.echo(), c.echo);

        EXPECT_EQ(link.PBAlive(), c.brick);
        if (c.brick) {
            // The replies match whether they follow an echo or not.
            EXPECT_EQ(link.PBBattery(), 9300);
            link.SetVar(4, 2, 321);
            Integer four = 4;
            EXPECT_EQ(link.Poll(0, four), 321);
            EXPECT_EQ(tower.tries(), 1);
            EXPECT_TRUE(busy.isEmpty());
        } else {
            // Every try was made, with the user told of the wait from the second on.
            EXPECT_EQ(tower.tries(), TowerTransport::Tries);
            EXPECT_EQ(busy, (QList<bool>{true, false}));
        }
    }
}
