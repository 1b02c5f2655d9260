// The datalog list file and the pages of the printed list.
#include "support/Failures.h"
#include "support/TestFiles.h"

#include "datalog/core/DatalogFile.h"
#include "model/VbError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

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

// The failure a call raised, its number and description; {0, ""} when none.
std::pair<int, QString> failureOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return {e.number(), e.description()};
    }
    return {0, QString()};
}

struct BadFile {
    const char* content;
    int failure;
    const char* description;  // followed by " in <path> at line <n>"
    int line;
};

// The message names the file and the line, counted from 1 as an editor shows
// it: blank lines count, a byte order mark is on line 1.
TEST(DatalogFile, ABadLineRefusesTheFileAndKeepsTheRecords)
{
    const BadFile cases[] = {
        {"0,1,Timer 1,0\r\n0,1,Timer 1\r\n", Err::SubscriptOutOfRange, "Subscript out of range", 2},  // three fields
        {"0,1,Timer 1,0\r\n0,1,Timer 1,x\r\n", Err::TypeMismatch, "Type mismatch", 2},  // value no number
        {"0,1,Timer 1,40000\r\n", Err::Overflow, "Overflow", 1},                         // beyond 16 bits
        {"0,1,Timer 1,0\r\n\r\n \r\n0,x,Timer 1,0\r\n", Err::TypeMismatch, "Type mismatch", 4},
        {"\xEF\xBB\xBF" "0,1,Timer 1\r\n", Err::SubscriptOutOfRange, "Subscript out of range", 1},
        {"0,1,Timer 1,0\n0,1,Timer 1,0\n70000,1,Timer 1,0", Err::Overflow, "Overflow", 3},  // no line end last
    };
    QTemporaryDir dir;
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.content);
        const QString path = dir.filePath("bad.dlg");
        writeFile(path, c.content);
        QVector<DatalogRecord> read = kRecords;
        const auto [number, description] = failureOf([&] { ReadDatalogFile(path, read); });
        EXPECT_EQ(number, c.failure);
        EXPECT_EQ(description, QStringLiteral("%1 in %2 at line %3").arg(QLatin1String(c.description), path).arg(c.line));
        EXPECT_EQ(read, kRecords);
    }
}

// A file refused whole names the file and no line.
TEST(DatalogFile, AFileThatCantBeReadIsNamed)
{
    QTemporaryDir dir;
    QVector<DatalogRecord> read = kRecords;
    const QString none = dir.filePath("none.dlg");
    EXPECT_EQ(failureOf([&] { ReadDatalogFile(none, read); }),
              std::make_pair(int(Err::FileNotFound), QStringLiteral("File not found: ") + none));
    EXPECT_EQ(read, kRecords);

    const QString big = dir.filePath("big.dlg");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(16 * 1024 * 1024 + 1));  // sparse: nothing is written
    }
    EXPECT_EQ(failureOf([&] { ReadDatalogFile(big, read); }),
              std::make_pair(int(Err::PathFileAccess),
                             QStringLiteral("Too large for a datalog list (over 16 MB): ") + big));
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
