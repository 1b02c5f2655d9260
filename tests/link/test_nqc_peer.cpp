// Debian's nqc as the PC side against the software brick on a
// pseudo-terminal: it pings, reads the battery, downloads a program that the
// brick then runs, and uploads the datalog. Skipped where nqc is not installed.
#include "link/vbrick/PtyResponder.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class NqcPeer : public ::testing::Test {
protected:
    void SetUp() override
    {
        nqc = QStandardPaths::findExecutable(QStringLiteral("nqc"));
        if (nqc.isEmpty())
            GTEST_SKIP() << "nqc is not installed";
        ASSERT_TRUE(responder.isOpen());
        ASSERT_TRUE(dir.isValid());
    }

    // Runs nqc on the brick's port; its exit code, its output in out.
    int run(QStringList args, QString* out = nullptr)
    {
        args.prepend(QStringLiteral("-S") + responder.devicePath());
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(nqc, args);
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        if (out)
            *out = QString::fromLocal8Bit(p.readAll());
        return p.exitCode();
    }

    QString write(const char* name, const char* text)
    {
        const QString path = dir.filePath(QLatin1String(name));
        writeFile(path, text);
        return path;
    }

    QString nqc;
    QTemporaryDir dir;
    vbrick::PtyResponder responder;
};

}  // namespace

TEST_F(NqcPeer, PingAndBattery)
{
    QString out;
    EXPECT_EQ(run({QStringLiteral("-raw"), QStringLiteral("10")}, &out), 0) << out.toStdString();
    EXPECT_GE(responder.requests(), 1);
    EXPECT_EQ(run({QStringLiteral("-raw"), QStringLiteral("30")}, &out), 0) << out.toStdString();
    // 9300 mV, little-endian.
    EXPECT_TRUE(out.contains(QLatin1String("54 24"), Qt::CaseInsensitive)) << out.toStdString();
}

TEST_F(NqcPeer, ProgramDownloadThatRuns)
{
    const QString source = write("count.nqc",
                                 "int total;\n"
                                 "task main() {\n"
                                 "  total = 0;\n"
                                 "  repeat (6) { total += 7; Wait(10); }\n"
                                 "  if (total > 40) PlaySound(3); else PlaySound(1);\n"
                                 "}\n");
    QString out;
    ASSERT_EQ(run({QStringLiteral("-TRCX"), QStringLiteral("-d"), source}, &out), 0) << out.toStdString();
    responder.withBrick([](vbrick::SoftRcx& b) {
        ASSERT_FALSE(b.taskCode(b.slot(), 0).isEmpty());
        b.setVariable(0, 99);
        b.handle(QByteArray::fromHex("7100"));  // start task 0
        b.advance(1000);
        EXPECT_EQ(b.variable(0), 42);
        ASSERT_FALSE(b.sounds().isEmpty());
        EXPECT_EQ(b.sounds().last().sound, 3);
        EXPECT_FALSE(b.running(0));
    });
}

TEST_F(NqcPeer, DatalogUpload)
{
    responder.withBrick([](vbrick::SoftRcx& b) {
        b.handle(QByteArray::fromHex("520500"));  // room for five
        for (int v : {11, -3, 250}) {
            b.setVariable(4, std::int16_t(v));
            b.handle(QByteArray::fromHex("620004"));  // log variable 4
        }
    });
    QString out;
    ASSERT_EQ(run({QStringLiteral("-datalog")}, &out), 0) << out.toStdString();
    QStringList values;
    for (const QString& word : out.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        bool number = false;
        word.toInt(&number);
        if (number)
            values.append(word);
    }
    EXPECT_EQ(values, (QStringList{"11", "-3", "250"})) << out.toStdString();
}
