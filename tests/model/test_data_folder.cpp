// The user's data folder: where it is, and the one-time copy of projects kept
// beside the program by older versions.
#include "model/DataFolder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Sets an environment variable for the life of the object.
class EnvVar {
public:
    EnvVar(const char* name, const QString& value) : mName(name), mHad(qEnvironmentVariableIsSet(name)), mOld(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }
    ~EnvVar()
    {
        if (mHad)
            qputenv(mName, mOld);
        else
            qunsetenv(mName);
    }

private:
    const char* mName;
    bool mHad;
    QByteArray mOld;
};

}  // namespace

TEST(DataFolder, IsTheVariablesFolderOrQuillomatInTheUsersDataFolder)
{
    QTemporaryDir tmp;
    {
        const QString wanted = tmp.path() + QStringLiteral("/elsewhere/data");
        EnvVar data("QUILLOMAT_DATA", wanted);
        EXPECT_EQ(ChooseDataFolder(), wanted);
        EXPECT_TRUE(QFileInfo(wanted).isDir());
    }
    {
        EnvVar data("QUILLOMAT_DATA", QString());
        EnvVar xdg("XDG_DATA_HOME", tmp.path() + QStringLiteral("/share"));
        EXPECT_EQ(ChooseDataFolder(), tmp.path() + QStringLiteral("/share/Quillomat"));
        EXPECT_TRUE(QFileInfo(tmp.path() + QStringLiteral("/share/Quillomat")).isDir());
    }
}

// Only regular files are copied: a link to a device would be copied without
// end, and a FIFO would hold the start up.
TEST(DataFolder, OnlyRegularFilesAreCopied)
{
    QTemporaryDir program, data;
    writeFile(program.path() + QStringLiteral("/Robot.dir/Robot.qmd"), "0\r\n0\r\n");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), program.path() + QStringLiteral("/Robot.dir/Zero.tas")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(program.path() + QStringLiteral("/Robot.dir/Fifo.tas")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(program.path() + QStringLiteral("/Robot.dir/Robot.qmd"),
                            program.path() + QStringLiteral("/Robot.dir/Linked.tas")));

    EXPECT_EQ(CopyProjectsOnFirstStart(program.path(), data.path()), 2);
    const QString copied = data.path() + QStringLiteral("/Projects/Robot.dir");
    EXPECT_EQ(QDir(copied).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("Linked.tas"), QStringLiteral("Robot.qmd")}));
    EXPECT_EQ(readFile(copied + QStringLiteral("/Linked.tas")), "0\r\n0\r\n");  // the file the link leads to
}

TEST(DataFolder, ProjectsBesideTheProgramAreCopiedOnceIntoAnEmptyDataFolder)
{
    QTemporaryDir program, data;
    writeFile(program.path() + QStringLiteral("/Robot.dir/Robot.qmd"), "0\r\n0\r\n");
    writeFile(program.path() + QStringLiteral("/Robot.dir/Drive.tas"), "1,1,1,\"d\"\r\n");
    writeFile(program.path() + QStringLiteral("/Subs/Beep.sub"), "0,0,1,\"b\"\r\n");
    writeFile(program.path() + QStringLiteral("/Quillomat.html"), "<html/>");

    EXPECT_EQ(CopyProjectsOnFirstStart(program.path(), data.path()), 3);
    EXPECT_EQ(readFile(data.path() + QStringLiteral("/Projects/Robot.dir/Robot.qmd")), "0\r\n0\r\n");
    EXPECT_EQ(readFile(data.path() + QStringLiteral("/Projects/Robot.dir/Drive.tas")), "1,1,1,\"d\"\r\n");
    EXPECT_EQ(readFile(data.path() + QStringLiteral("/Subs/Beep.sub")), "0,0,1,\"b\"\r\n");
    EXPECT_FALSE(QFileInfo::exists(data.path() + QStringLiteral("/Quillomat.html")));
    // Copied, never moved.
    EXPECT_TRUE(QFileInfo::exists(program.path() + QStringLiteral("/Robot.dir/Drive.tas")));

    // The data folder is no longer empty: nothing is copied again, nothing the user changed is overwritten.
    writeFile(data.path() + QStringLiteral("/Projects/Robot.dir/Drive.tas"), "changed");
    writeFile(program.path() + QStringLiteral("/Arm.dir/Arm.qmd"), "0\r\n0\r\n");
    EXPECT_EQ(CopyProjectsOnFirstStart(program.path(), data.path()), 0);
    EXPECT_EQ(readFile(data.path() + QStringLiteral("/Projects/Robot.dir/Drive.tas")), "changed");
    EXPECT_FALSE(QFileInfo::exists(data.path() + QStringLiteral("/Projects/Arm.dir")));

    // The data folder being the program's own folder copies nothing.
    EXPECT_EQ(CopyProjectsOnFirstStart(program.path(), program.path()), 0);
}

// The program's own files: beside a program in the build folder, in
// share/quillomat beside the bin folder of an installed one.
TEST(DataFolder, ProgramFilesLieBesideTheProgramOrInTheInstalledShareFolder)
{
    QTemporaryDir prefix;
    const QString bin = prefix.path() + QStringLiteral("/bin");
    const QString installed = QStringLiteral("../share/quillomat");
    ASSERT_TRUE(QDir().mkpath(bin));

    // Not installed: nothing at ../share/quillomat, or no folder there.
    EXPECT_EQ(ChooseProgramFolder(bin, installed), bin);
    writeFile(prefix.path() + QStringLiteral("/share/quillomat"), "");
    EXPECT_EQ(ChooseProgramFolder(bin, installed), bin);
    ASSERT_TRUE(QFile::remove(prefix.path() + QStringLiteral("/share/quillomat")));

    // Installed: the folder, its path cleaned.
    ASSERT_TRUE(QDir().mkpath(prefix.path() + QStringLiteral("/share/quillomat")));
    EXPECT_EQ(ChooseProgramFolder(bin, installed), QDir::cleanPath(prefix.path() + QStringLiteral("/share/quillomat")));
    // Built without an install layout.
    EXPECT_EQ(ChooseProgramFolder(bin, QString()), bin);
}
