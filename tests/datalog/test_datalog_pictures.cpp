// The pictures are compiled into the libraries that show them and are found
// without being asked for: every picture of the source folders is read under
// its resource path and drawn (a missing one would show its key as text).
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

TEST(Pictures, EveryPictureOfTheShellAndTheDatalogIsCompiledInAndDrawn)
{
    struct Case {
        const char* folder;  // below src
        const char* prefix;  // the resource path
    };
    for (const Case& c : {Case{"shell/pictures", ":/pictures/"}, Case{"datalog/pictures", ":/datalog/"}}) {
        const QDir source(QStringLiteral(QM_TEST_DATA "/../../src/") + QLatin1String(c.folder));
        const QStringList files = source.entryList({QStringLiteral("*.svg")}, QDir::Files);
        ASSERT_FALSE(files.isEmpty()) << source.path().toStdString();
        for (const QString& file : files) {
            const QString path = QLatin1String(c.prefix) + file;
            SCOPED_TRACE(path.toStdString());
            ASSERT_TRUE(QFile::exists(path));
            const QImage img = QIcon(path).pixmap(32, 32).toImage();
            ASSERT_EQ(img.size(), QSize(32, 32));
            EXPECT_GT(qAlpha(img.pixel(16, 16)), 0);
        }
    }
}
