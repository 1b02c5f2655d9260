// The upload's requests, the decoding of entries into records and the list lines.
#include "DatalogFixture.h"
#include "support/Failures.h"
#include "support/RecordingControl.h"

#include "datalog/core/DatalogUpload.h"
#include "model/VbError.h"

#include <gtest/gtest.h>

namespace {

struct RequestCase {
    Long n;
    Long first;
    QVector<DatalogRequest> expected;
};

TEST(DatalogRequests, FiftyAtATimeThenTheRest)
{
    const RequestCase cases[] = {
        {120, 1, {{1, 50}, {51, 50}, {101, 20}}},
        {100, 1, {{1, 50}, {51, 50}}},
        {50, 1, {{1, 50}}},
        {49, 1, {{1, 49}}},
        {30, 7, {{7, 30}}},
        {0, 1, {}},
        {-2, 1, {}},  // a map whose end lies before its start fetches nothing
    };
    for (const RequestCase& c : cases)
        EXPECT_EQ(DatalogRequests(c.n, c.first), c.expected) << c.n << " from " << c.first;
}

class DatalogDecode : public DatalogFixture {
protected:
    QVector<DatalogRecord> records;
    ProgressLog progress;
    DatalogDecoder decoder{records, &progress};
};

TEST_F(DatalogDecode, CounterFollowsTheFirstItemOfEveryBlock)
{
    for (int i = 0; i < 3; ++i) {
        decoder.Decode(1, 0, Integer(10 * i));  // timer 0
        decoder.Decode(9, 1, Integer(40 + i));  // the sensor on port 2
    }
    const QVector<DatalogRecord> expected = {
        {1, "Timer 1", 0, 0},  {-1, "Samples Counter", 0, 1}, {9, "Light", 1, 40},
        {1, "Timer 1", 0, 10}, {-1, "Samples Counter", 0, 2}, {9, "Light", 1, 41},
        {1, "Timer 1", 0, 20}, {-1, "Samples Counter", 0, 3}, {9, "Light", 1, 42},
    };
    EXPECT_EQ(records, expected);
    EXPECT_EQ(decoder.BlockCount, 3);
    EXPECT_EQ(DatalogListLines(records),
              (QStringList{"1   Timer 1 = 0", "2   Light = 40", "3   Timer 1 = 10", "4   Light = 41",
                           "5   Timer 1 = 20", "6   Light = 42"}));
    // The running count is of entries, the counters left out.
    EXPECT_EQ(progress.panel3.first(), "1 Items so far");
    EXPECT_EQ(progress.panel3.last(), "6 Items so far");
}

TEST_F(DatalogDecode, MotorVariablesAndOtherSources)
{
    addVariable("Speed", 3);
    decoder.Decode(14, 0, 605);                        // the clock opens the block
    decoder.Decode(0, 1, 1024 + 5);                    // speed of port B
    decoder.Decode(0, 1, 0x800 + 0x200 + 128);         // state of port C: on
    decoder.Decode(0, 1, 0x200 + 64);                  // state of port A: off
    decoder.Decode(0, 1, 0x100 + 8 + 3);               // direction of port A: forward
    decoder.Decode(0, 1, 0x400 + 0x100);               // direction of port B: back
    decoder.Decode(0, 1, 0x300 + 5);                   // no motor item
    decoder.Decode(0, 3, -12);                         // a named variable
    decoder.Decode(0, 9, 7);                           // a variable without a name
    decoder.Decode(5, 2, 99);                          // a source the datalog does not know
    ASSERT_EQ(records.size(), 11);
    EXPECT_EQ(records[0], (DatalogRecord{14, "RCX time", 0, 605}));
    EXPECT_EQ(records[1], (DatalogRecord{-1, "Samples Counter", 0, 1}));
    EXPECT_EQ(records[2], (DatalogRecord{0, "Right Speed ", 1, 5}));
    EXPECT_EQ(records[3], (DatalogRecord{0, "Arm State ", 1, 128}));
    EXPECT_EQ(records[4], (DatalogRecord{0, "Left State ", 1, 64}));
    EXPECT_EQ(records[5], (DatalogRecord{0, "Left Direction ", 1, 8}));
    EXPECT_EQ(records[6], (DatalogRecord{0, "Right Direction ", 1, 0}));
    EXPECT_EQ(records[7], (DatalogRecord{0, "", 1, 0x300 + 5}));
    EXPECT_EQ(records[8], (DatalogRecord{0, "Speed", 3, -12}));
    EXPECT_EQ(records[9], (DatalogRecord{0, "", 9, 7}));
    EXPECT_EQ(records[10], (DatalogRecord{0, "", 0, 0}));
    EXPECT_EQ(decoder.BlockCount, 1);

    EXPECT_EQ(DatalogListLines(records),
              (QStringList{"1   RCX time = 605", "2   Right Speed  = 5", "3   Arm State  = ON (128)",
                           "4   Left State  = OFF (64)", "5   Left Direction  = FORWARD (8)",
                           "6   Right Direction  = BACK (0)", "7    = 773", "8   Speed = -12", "9    = 7",
                           "10    = 0"}));
}

TEST_F(DatalogDecode, FirstEntryWithoutANameMakesEveryNamelessEntryABlock)
{
    decoder.Decode(5, 0, 1);   // unknown source: an empty record
    decoder.Decode(1, 0, 2);
    decoder.Decode(5, 0, 3);
    EXPECT_EQ(decoder.BlockCount, 2);
    EXPECT_EQ(records.size(), 5);
}

TEST_F(DatalogDecode, MotorPortPastCFails)
{
    EXPECT_EQ(failureNumber([&] { decoder.Decode(0, 1, 0xC00); }), Err::SubscriptOutOfRange);
}

TEST(DatalogValueText, WordsOnlyForMotorStatesAndDirections)
{
    EXPECT_EQ(DatalogValueText({0, "Arm State ", 1, 0}), "FLOAT (0)");
    EXPECT_EQ(DatalogValueText({0, "Arm State ", 1, 7}), "7");
    EXPECT_EQ(DatalogValueText({0, "Arm state ", 1, 64}), "64");  // the word is looked for with its case
    EXPECT_EQ(DatalogValueText({0, "State", 2, 64}), "64");       // not the motor variable
    EXPECT_EQ(DatalogValueText({1, "State", 1, 64}), "64");       // a timer
}

class DatalogFetch : public DatalogFixture {
protected:
    QVector<DatalogRecord> records;
    ProgressLog progress;

    // Two items a block: timer 1 and the sensor on port 1, n entries.
    void fillBlocks(int n)
    {
        QVector<DatalogEntry> entries;
        for (int i = 0; i < n; ++i)
            entries.append(i % 2 == 0 ? DatalogEntry{1, 0, Integer(i * 5)} : DatalogEntry{9, 0, Integer(i)});
        brick.fill(entries);
    }
};

TEST_F(DatalogFetch, WholeDatalogInRequestsOfFifty)
{
    fillBlocks(120);
    const UploadResult r = FetchDatalog(brick, 1, 0, records, progress);
    EXPECT_EQ(r.outcome, UploadOutcome::Done);
    EXPECT_EQ(r.entryCount, 120);
    EXPECT_EQ(brick.requests, (QList<DatalogRequest>{{1, 50}, {51, 50}, {101, 20}}));
    EXPECT_EQ(records.size(), 120 + 60);
    EXPECT_EQ(DatalogListLines(records).size(), 120);
    EXPECT_EQ(progress.panels[2], "120 Items");
    EXPECT_EQ(progress.panel3.last(), "120 Items so far");
    EXPECT_EQ(progress.events, 4);  // after the count and after each reply
}

TEST_F(DatalogFetch, HundredEntriesTakeTwoRequests)
{
    fillBlocks(100);
    FetchDatalog(brick, 1, 0, records, progress);
    EXPECT_EQ(brick.requests, (QList<DatalogRequest>{{1, 50}, {51, 50}}));
}

TEST_F(DatalogFetch, RangeMustLieInsideTheDatalog)
{
    fillBlocks(20);
    records = {{1, "kept", 0, 1}};
    UploadResult r = FetchDatalog(brick, 1, 20, records, progress);
    EXPECT_EQ(r.outcome, UploadOutcome::RangeTooLarge);
    EXPECT_EQ(r.entryCount, 20);
    EXPECT_TRUE(brick.requests.isEmpty());
    EXPECT_EQ(records, (QVector<DatalogRecord>{{1, "kept", 0, 1}}));  // the list shows them still

    r = FetchDatalog(brick, 3, 17, records, progress);
    EXPECT_EQ(r.outcome, UploadOutcome::Done);
    EXPECT_EQ(brick.requests, (QList<DatalogRequest>{{3, 17}}));
    EXPECT_EQ(DatalogListLines(records).size(), 17);
    EXPECT_EQ(records.first(), (DatalogRecord{1, "Timer 1", 0, 10}));  // entry 3 is the second timer entry
}

TEST_F(DatalogFetch, EmptyDatalogLeavesTheRecords)
{
    brick.SetDatalog(40);
    records = {{1, "kept", 0, 1}};
    EXPECT_EQ(FetchDatalog(brick, 1, 0, records, progress).outcome, UploadOutcome::Empty);
    EXPECT_EQ(records.size(), 1);
    EXPECT_TRUE(brick.requests.isEmpty());
}

TEST_F(DatalogFetch, SilentBrickIsNotAskedFurther)
{
    fillBlocks(4);
    brick.setOn(false);
    EXPECT_EQ(FetchDatalog(brick, 1, 0, records, progress).outcome, UploadOutcome::NoCommunication);
    EXPECT_TRUE(brick.requests.isEmpty());
}

TEST_F(DatalogFetch, ShortReplyEndsTheRequests)
{
    RecordingControl pb;
    QVector<Long> map(94, 0);
    map[91] = 100;
    map[92] = 100 + 3 * 81;  // 80 entries
    pb.pushMemMap(map);
    pb.pushDatalog({{1, 0, 5}, {9, 0, 6}});
    // The second request gets an empty reply: nothing more is asked.
    const UploadResult r = FetchDatalog(pb, 1, 0, records, progress);
    EXPECT_EQ(r.outcome, UploadOutcome::Done);
    EXPECT_EQ(pb.count("GetDatalog"), 2);
    EXPECT_EQ(DatalogListLines(records), (QStringList{"1   Timer 1 = 5", "2   Touch = 6"}));
}

}  // namespace
