// The datalog list file and the pages of the printed list.
#include "support/Failures.h"
#include "support/TestFiles.h"

#include "datalog/core/DatalogFile.h"
#include "model/VbError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

const QVector<DatalogRecord> kRecords = {
    {1, "Timer 1", 0, 0},     {-1, "Samples Counter", 0, 1}, {9, "Light", 1, -40},
    {0, "Arm State ", 1, 128}, {0, "", 9, 7},                  {1, "Timer 1", 0, 32767},
    {-1, "Samples Counter", 0, 2},
};

TEST(DatalogFile, WritesOneLinePerRecordAndReadsItBackExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.dlg");
    WriteDatalogFile(path, kRecords);
    EXPECT_EQ(readAll(path), QByteArray("0,1,Timer 1,0\r\n"
                                        "0,-1,Samples Counter,1\r\n"
                                        "1,9,Light,-40\r\n"
                                        "1,0,Arm State ,128\r\n"
                                        "9,0,,7\r\n"
                                        "0,1,Timer 1,32767\r\n"
                                        "0,-1,Samples Counter,2\r\n"));
    QVector<DatalogRecord> read = {{5, "old", 5, 5}};
    ReadDatalogFile(path, read);
    EXPECT_EQ(read, kRecords);
}

TEST(DatalogFile, ExtraFieldsAreIgnoredAndACommaInANameShiftsTheFields)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.dlg");
    writeFile(path, "3,0,Speed,12,whatever\r\n0,9,Left,7,right\r\n");
    QVector<DatalogRecord> read;
    ReadDatalogFile(path, read);
    EXPECT_EQ(read, (QVector<DatalogRecord>{{0, "Speed", 3, 12}, {9, "Left", 0, 7}}));

    WriteDatalogFile(path, {{9, "Left,Right", 0, 5}});
    EXPECT_EQ(failureNumber([&] { ReadDatalogFile(path, read); }), Err::TypeMismatch);
}

// Lines with nothing on them, as an editor leaves them, and a byte order mark
// before the first line are passed over.
TEST(DatalogFile, BlankLinesAndAByteOrderMarkArePassedOver)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.dlg");
    writeFile(path, "\xEF\xBB\xBF" "3,0,Speed,12\r\n\r\n \t\r\n0,9,Left,7\r\n\r\n\n");
    QVector<DatalogRecord> read;
    ReadDatalogFile(path, read);
    EXPECT_EQ(read, (QVector<DatalogRecord>{{0, "Speed", 3, 12}, {9, "Left", 0, 7}}));
    writeFile(path, "\r\n\r\n");
    ReadDatalogFile(path, read);
    EXPECT_TRUE(read.isEmpty());
}

struct BadFile {
    const char* content;
    int failure;
};

TEST(DatalogFile, ABadLineRefusesTheFileAndKeepsTheRecords)
{
    const BadFile cases[] = {
        {"0,1,Timer 1,0\r\n0,1,Timer 1\r\n", Err::SubscriptOutOfRange},  // three fields
        {"0,1,Timer 1,0\r\n0,1,Timer 1,x\r\n", Err::TypeMismatch},       // value no number
        {"0,1,Timer 1,40000\r\n", Err::Overflow},                        // beyond 16 bits
    };
    QTemporaryDir dir;
    for (const BadFile& c : cases) {
        const QString path = dir.filePath("bad.dlg");
        writeFile(path, c.content);
        QVector<DatalogRecord> read = kRecords;
        EXPECT_EQ(failureNumber([&] { ReadDatalogFile(path, read); }), c.failure) << c.content;
        EXPECT_EQ(read, kRecords) << c.content;
    }
    QVector<DatalogRecord> read = kRecords;
    EXPECT_EQ(failureNumber([&] { ReadDatalogFile(dir.filePath("none.dlg"), read); }), Err::FileNotFound);
    EXPECT_EQ(read, kRecords);
}

TEST(DatalogPrintPages, SixtySixRecordLinesAPage)
{
    QVector<DatalogRecord> records;
    for (int i = 0; i < 67; ++i)
        records.append({1, "Timer 1", 0, Integer(i)});
    const QList<QStringList> pages = DatalogPrintPages(records);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].size(), 66);
    EXPECT_EQ(pages[1], QStringList{"66\t1\t0\t\t66\t\tTimer 1"});
    EXPECT_EQ(pages[0].first(), "0\t1\t0\t\t0\t\tTimer 1");
    // A full page does not leave an empty page with only the head.
    records.removeLast();
    EXPECT_EQ(DatalogPrintPages(records).size(), 1);
}

}  // namespace
