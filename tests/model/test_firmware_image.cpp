#include "model/FirmwareImage.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

// One S-record of the type with its address and data and a correct checksum.
QByteArray record(int type, quint32 address, const QByteArray& data, int addrLen = 2)
{
    QByteArray bytes;
    bytes.append(char(addrLen + data.size() + 1));
    for (int i = addrLen - 1; i >= 0; --i)
        bytes.append(char((address >> (8 * i)) & 0xFF));
    bytes.append(data);
    unsigned sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    bytes.append(char(~sum & 0xFF));
    return "S" + QByteArray::number(type) + bytes.toHex().toUpper();
}

QByteArray bytesFrom(int first, int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char(first + i));
    return b;
}

// A small sound file: header, two data records of 16 bytes, end record.
QList<QByteArray> soundLines()
{
    return {record(0, 0, "firm"), record(1, 0x8000, bytesFrom(1, 16)),
            record(1, 0x8010, bytesFrom(17, 16)), record(9, 0x8000, {})};
}

QByteArray join(const QList<QByteArray>& lines) { return lines.join("\r\n") + "\r\n"; }

}  // namespace

TEST(FirmwareImage, ReadsHeaderDataEntryAndChecksum)
{
    const FirmwareImage fw = FirmwareImage::Parse(join(soundLines()));
    ASSERT_TRUE(fw.isValid()) << fw.error().toStdString();
    EXPECT_EQ(fw.header(), QByteArray("firm"));
    EXPECT_EQ(fw.entry(), 0x8000u);
    EXPECT_EQ(fw.image(), bytesFrom(1, 32));
    EXPECT_EQ(fw.checksum(), 32 * 33 / 2);
    EXPECT_EQ(fw.badLine(), 0);
}

TEST(FirmwareImage, FillsGapsWithZerosAndSpansTheWholeArea)
{
    // A byte 0x7F at the last address of the area, then one at 8000: the gap is zeros.
    const QByteArray text = join({record(1, 0xBFFF, QByteArray(1, char(0x7F))),
                                  record(1, 0x8000, QByteArray(1, char(0x05))),
                                  record(9, 0x8000, {})});
    const FirmwareImage fw = FirmwareImage::Parse(text);
    ASSERT_TRUE(fw.isValid()) << fw.error().toStdString();
    EXPECT_EQ(fw.image().size(), 0x4000);
    EXPECT_EQ(quint8(fw.image().back()), 0x7F);
    EXPECT_EQ(fw.checksum(), 5 + 0x7F);
}

TEST(FirmwareImage, AcceptsLineFeedsOnlyLowerCaseHexAndWiderAddresses)
{
    QList<QByteArray> lines = soundLines();
    lines[1] = lines[1].toLower().replace("s1", "S1");
    lines[2] = record(2, 0x8010, bytesFrom(17, 16), 3);
    lines.insert(3, record(5, 2, {}));
    const FirmwareImage fw = FirmwareImage::Parse(lines.join("\n"));
    ASSERT_TRUE(fw.isValid()) << fw.error().toStdString();
    EXPECT_EQ(fw.image(), bytesFrom(1, 32));
}

TEST(FirmwareImage, NamesTheFirstBadLine)
{
    struct Case {
        const char* name;
        int line;           // which line of the sound file is replaced (1-based)
        QByteArray text;    // its new text
        const char* error;  // the start of the fault's words
    };
    QByteArray badSum = record(1, 0x8000, bytesFrom(1, 16));
    badSum[badSum.size() - 1] = badSum.back() == '0' ? '1' : '0';
    QByteArray shortCount = record(1, 0x8000, bytesFrom(1, 16));
    shortCount[3] = shortCount[3] == '0' ? '1' : '0';
    const QList<Case> cases = {
        {"checksum", 2, badSum, "its checksum is wrong"},
        {"byte count", 2, shortCount, "its byte count"},
        {"not a record", 3, "hello", "it is not an S-record"},
        {"type 4", 3, "S4030000FC", "S4 is not a record type"},
        {"odd digits", 2, record(1, 0x8000, bytesFrom(1, 16)) + "0", "it has an odd number"},
        {"no hex", 2, "S1G3", "it holds a character"},
        {"below the area", 2, record(1, 0x7FF0, bytesFrom(1, 16)), "its data lies outside"},
        {"past the area", 3, record(1, 0xBFF8, bytesFrom(1, 16)), "its data lies outside"},
        {"overlap", 3, record(1, 0x8008, bytesFrom(1, 16)), "it overwrites"},
        {"entry", 4, record(9, 0x0100, {}), "its entry lies outside"},
        {"count record", 4, record(5, 3, {}), "it counts 3"},
        // A 32-bit address whose end wraps round past zero into the area.
        {"wrapping address", 3, record(3, 0xFFFFFFF8, bytesFrom(1, 16), 4), "its data lies outside"},
    };
    for (const Case& c : cases) {
        QList<QByteArray> lines = soundLines();
        if (QByteArray(c.name) == "count record")
            lines.insert(3, c.text);
        else
            lines[c.line - 1] = c.text;
        const FirmwareImage fw = FirmwareImage::Parse(join(lines));
        EXPECT_FALSE(fw.isValid()) << c.name;
        EXPECT_EQ(fw.badLine(), c.line) << c.name;
        EXPECT_TRUE(fw.error().startsWith(QLatin1String(c.error))) << c.name << ": " << fw.error().toStdString();
        EXPECT_TRUE(fw.image().isEmpty()) << c.name;
    }
}

TEST(FirmwareImage, FaultsOfTheWholeFile)
{
    QList<QByteArray> noEnd = soundLines();
    noEnd.removeLast();
    QList<QByteArray> trailing = soundLines();
    trailing.append(record(1, 0x8020, bytesFrom(1, 4)));
    struct Case {
        const char* name;
        QByteArray text;
        int line;
        const char* error;
    } cases[] = {
        {"empty", "", 0, "it holds no firmware data"},
        {"header only", join({record(0, 0, "x"), record(9, 0x8000, {})}), 0, "it holds no firmware data"},
        // Found by fuzzing: a data record that holds no byte of data.
        {"empty data record", "S10380007C\nS90380007C", 0, "it holds no firmware data"},
        {"no end record", join(noEnd), 0, "it has no end record"},
        {"after the end", join(trailing), 5, "there is more after the end record"},
    };
    for (const Case& c : cases) {
        const FirmwareImage fw = FirmwareImage::Parse(c.text);
        EXPECT_FALSE(fw.isValid()) << c.name;
        EXPECT_EQ(fw.badLine(), c.line) << c.name;
        EXPECT_EQ(fw.error(), QLatin1String(c.error)) << c.name;
    }
}

TEST(FirmwareImage, TheMessageNamesTheFileAndTheLine)
{
    QList<QByteArray> lines = soundLines();
    lines[2] = "garbage";
    const FirmwareImage fw = FirmwareImage::Parse(join(lines));
    EXPECT_EQ(fw.describeFault(QStringLiteral("firm0309.lgo")),
              QStringLiteral("The firmware file firm0309.lgo is damaged at line 3: it is not an S-record. "
                             "Nothing was sent to the RCX."));
    EXPECT_TRUE(FirmwareImage::Parse(join(soundLines())).describeFault(QStringLiteral("x")).isEmpty());

    QTemporaryDir dir;
    const FirmwareImage missing = FirmwareImage::ReadFile(dir.filePath(QStringLiteral("none.lgo")));
    EXPECT_EQ(missing.describeFault(QStringLiteral("none.lgo")),
              QStringLiteral("The firmware file none.lgo can't be used: it can't be read. Nothing was sent to the RCX."));
}

// The file is read from disk only when it is a regular file no larger than
// any firmware file: a FIFO would hold the program up, a device or a huge
// file fill its memory.
TEST(FirmwareImage, OnlyARegularFileOfAFirmwareFilesSizeIsRead)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.lgo"));
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(join(soundLines()));
    }
    EXPECT_TRUE(FirmwareImage::ReadFile(good).isValid());

    const QString fifo = dir.filePath(QStringLiteral("fifo.lgo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath(QStringLiteral("zero.lgo"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString huge = dir.filePath(QStringLiteral("huge.lgo"));
    ASSERT_TRUE(QFile::copy(good, huge));
    ASSERT_TRUE(QFile(huge).resize(1024 * 1024 + 1));  // sparse: no room taken on the disk

    struct Case {
        QString path;
        const char* why;
    };
    const Case cases[] = {
        {fifo, "not a regular file"},
        {zero, "not a regular file"},
        {huge, "too large for a firmware file (over 1 MB)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const FirmwareImage fw = FirmwareImage::ReadFile(c.path);
        EXPECT_FALSE(fw.isValid());
        EXPECT_EQ(fw.describeFault(QStringLiteral("f.lgo")),
                  QStringLiteral("The firmware file f.lgo can't be used: %1. Nothing was sent to the RCX.")
                      .arg(QLatin1String(c.why)));
    }
}
