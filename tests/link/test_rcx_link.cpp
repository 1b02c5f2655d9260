// The link against the software brick in the same process: the firmware
// download from a file, step by step as the event loop would run it.
#include "EventLog.h"

#include "link/protocol/RcxLink.h"
#include "link/vbrick/InProcessTower.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// An S-record file of the image at 8000.
QByteArray sRecords(const QByteArray& image)
{
    auto record = [](const char* type, int address, const QByteArray& data) {
        QByteArray bytes;
        bytes.append(char(data.size() + 3));
        bytes.append(char(address >> 8));
        bytes.append(char(address & 0xFF));
        bytes.append(data);
        int sum = 0;
        for (char c : bytes)
            sum += std::uint8_t(c);
        bytes.append(char(~sum & 0xFF));
        return QByteArray(type) + bytes.toHex().toUpper() + "\r\n";
    };
    QByteArray text = record("S0", 0, "fw");
    for (int at = 0; at < image.size(); at += 16)
        text += record("S1", 0x8000 + at, image.mid(at, 16));
    return text + record("S9", 0x8000, {});
}

}  // namespace

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
    EXPECT_FALSE(link.DownloadFirmware(path)) << "one at a time";
    while (link.firmwareRunning())
        link.firmwareStep();
    EXPECT_EQ(log.events, (QStringList{"Start 5733 450 100", "Progress 200", "Progress 400", "Progress 450",
                                       "Done 0 100"}));
    EXPECT_TRUE(brick.hasFirmware());
    EXPECT_EQ(link.FirmwareVersion(), QStringLiteral("3.09"));
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
