// The recording control that the other tests rely on: its log format, its
// scripted results and its failures.
#include "support/RecordingControl.h"

#include "EventLog.h"

#include "support/CallText.h"

#include "model/VbError.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingControl, WritesEachCallWithItsArgumentWidths)
{
    RecordingControl pb;
    Integer slot = 3;
    Integer number = 1;
    pb.setComPortNo(2);
    pb.SetPower("0", 2, 7);
    pb.SelectPrgm(slot);
    pb.Poll(9, number);
    pb.If(9, 1, 0, 2, -5);
    pb.EndIf();
    pb.DownloadFirmware("/tmp/firm.lgo");
    EXPECT_EQ(pb.calls(), (QStringList{"ComPortNo = L2", "SetPower(\"0\", L2, 7)", "SelectPrgm(&3)",
                                       "Poll(L9, &1)", "If(L9, 1, 0, L2, -5)", "EndIf()",
                                       "DownloadFirmware(\"/tmp/firm.lgo\")"}));
    EXPECT_EQ(pb.count("ComPortNo"), 1);
    EXPECT_EQ(pb.count("Poll"), 1);
}

// The numbers are written digit by digit: they must read as QString::number
// writes them, the extremes of their widths too, and a text longer than the
// line's buffer must come through whole.
TEST(RecordingControl, NumbersAndLongTextsAreWrittenInFull)
{
    const QString longText(300, QLatin1Char('0'));
    const struct {
        QString line;
        QString want;
    } cases[] = {
        {CallText("Wait").lng(0).integer(0).str(), "Wait(L0, 0)"},
        {CallText("Wait").lng(-2147483647 - 1).integer(-32768).str(), "Wait(L-2147483648, -32768)"},
        {CallText("Wait").lng(2147483647).integer(32767).str(), "Wait(L2147483647, 32767)"},
        {CallText("Poll").lng(9).ref(-1).str(), "Poll(L9, &-1)"},
        {CallText("On").text(longText).str(), "On(\"" + longText + "\")"},
        {CallText("SetPower").text(longText).lng(2).integer(7).str(), "SetPower(\"" + longText + "\", L2, 7)"},
        {CallText("EndIf").str(), "EndIf()"},
        {CallText::put("ComPortNo", -1), "ComPortNo = L-1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.line, c.want);
}

TEST(RecordingControl, ClearingTheLogClearsTheCountsToo)
{
    RecordingControl pb;
    pb.PBAlive();
    pb.clearCalls();
    pb.TowerCheck1();
    EXPECT_EQ(pb.count("PBAlive"), 0);
    EXPECT_EQ(pb.count("TowerCheck1"), 1);
}

TEST(RecordingControl, AnswersFromTheQueueThenFromTheDefaults)
{
    RecordingControl pb;
    pb.pushResults("TowerCheck1", {false, true});
    pb.pushResult("Poll", 128);
    pb.pushResult("FirmwareVersion", "03.28");
    Integer n = 0;
    EXPECT_FALSE(pb.TowerCheck1());
    EXPECT_TRUE(pb.TowerCheck1());
    EXPECT_TRUE(pb.TowerCheck1());
    EXPECT_EQ(pb.Poll(11, n), 128);
    EXPECT_EQ(pb.Poll(11, n), 0);
    EXPECT_EQ(pb.FirmwareVersion(), "03.28");
    EXPECT_EQ(pb.FirmwareVersion(), "");
    EXPECT_EQ(pb.PBBattery(), 0);

    pb.setDefaultResult("PBAlive", false);
    EXPECT_FALSE(pb.PBAlive());
    pb.setPollValue(3, 1, 141);
    n = 1;
    EXPECT_EQ(pb.Poll(3, n), 141);
}

TEST(RecordingControl, ComPortNoReadsBackThePortPutIntoIt)
{
    RecordingControl pb;
    EXPECT_EQ(pb.ComPortNo(), 0);
    pb.setComPortNo(3);
    EXPECT_EQ(pb.ComPortNo(), 3);
    pb.pushResult("ComPortNo", 1);
    EXPECT_EQ(pb.ComPortNo(), 1);
}

TEST(RecordingControl, FailsNamedOperationsAfterLoggingThem)
{
    RecordingControl pb;
    pb.failOperation("PBAlive", Err::DeviceUnavailable, 1);
    try {
        pb.PBAlive();
        FAIL() << "no failure";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 68);
    }
    EXPECT_TRUE(pb.PBAlive());  // only the next call failed
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()", "PBAlive()"}));

    pb.failEverything(Err::ObjectNotSet);
    Integer task = 1;
    EXPECT_THROW(pb.BeginOfTask(task), VbError);
    EXPECT_THROW(pb.On("0"), VbError);
    pb.clearFailures();
    EXPECT_TRUE(pb.On("0"));
}

TEST(RecordingControl, RaisesModuleEventsAtTheEndOfEachModuleWhenAsked)
{
    RecordingControl pb;
    EventLog log;
    pb.setEventSink(&log);
    Integer task = 2;
    pb.BeginOfTask(task);
    pb.On("0");
    pb.EndOfTask();
    EXPECT_TRUE(log.events.isEmpty());

    pb.setAutoDownloadEvents(true);
    pb.pushModuleError(5);
    pb.BeginOfTask(task);
    pb.On("0");
    pb.Off("0");
    pb.EndOfTask();
    Integer sub = 3;
    pb.BeginOfSub(sub);
    pb.EndOfSub();
    EXPECT_EQ(log.events, (QStringList{"Start 0 2 2", "Progress 2", "Done 5 2", "Start 0 0 13", "Progress 0",
                                       "Done 0 13"}));
    log.events.clear();
    pb.raiseCommError("Tower lost");
    EXPECT_EQ(log.events, QStringList{"CommError Tower lost"});
}

}  // namespace
