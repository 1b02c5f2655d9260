// The INI settings store: what is saved reads back, in the same instance and
// in a fresh one on the same file.
#include "link/QSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Quillomat.conf"); }
};

TEST_F(SettingsStoreTest, ValuesReadBackAfterReopening)
{
    const struct {
        const char* section;
        const char* key;
        QString value;
    } cases[] = {
        {"com", "comport", "3"},
        {"Preferences", "AdvancedMode", "True"},
        {"firmware", "path", "/home/user/firm ware"},
        {"firmware", "name", "firm0309.lgo"},
        {"Texts", "comma", "a, b,c"},
        {"Texts", "quotes", "say \"hi\" = 1"},
        {"Texts", "blanks", "  lead and trail  "},
        {"Texts", "empty", ""},
        {"Texts", "unicode", QString::fromUtf8("Grüße ☺")},
        {"Texts", "semicolon", "x;y#z"},
    };
    {
        QSettingsStore store(path());
        for (const auto& c : cases) {
            store.SaveSetting(c.section, c.key, c.value);
            EXPECT_EQ(store.GetSetting(c.section, c.key, "default"), c.value) << c.key;
        }
    }
    QSettingsStore reopened(path());
    for (const auto& c : cases)
        EXPECT_EQ(reopened.GetSetting(c.section, c.key, "default"), c.value) << c.key;
}

TEST_F(SettingsStoreTest, MissingEntriesGiveTheDefault)
{
    QSettingsStore store(path());
    EXPECT_EQ(store.GetSetting("com", "comport", "-1"), "-1");
    EXPECT_EQ(store.GetSetting("com", "comport"), "");
    store.SaveSetting("com", "other", "1");
    EXPECT_EQ(store.GetSetting("com", "comport", "-1"), "-1");
}

TEST_F(SettingsStoreTest, NamesAreFoundWithoutRegardToLetterCase)
{
    QSettingsStore store(path());
    store.SaveSetting("Preferences", "AdvancedMode", "True");
    EXPECT_EQ(store.GetSetting("preferences", "advancedmode"), "True");
    store.SaveSetting("PREFERENCES", "ADVANCEDMODE", "False");
    EXPECT_EQ(store.GetSetting("Preferences", "AdvancedMode"), "False");
}

TEST_F(SettingsStoreTest, SavingOverwritesAndIsWrittenAtOnce)
{
    QSettingsStore store(path());
    store.SaveSetting("com", "comport", "0");
    store.SaveSetting("com", "comport", "4");
    ASSERT_TRUE(QFile::exists(path()));
    QSettingsStore other(path());
    EXPECT_EQ(other.GetSetting("com", "comport"), "4");
}

TEST(SettingsStorePath, LivesInThePerUserFolderOfTheApplication)
{
    EXPECT_TRUE(QSettingsStore::defaultPath().endsWith("/Quillomat/Quillomat.conf"));
}

}  // namespace

namespace {

// A presenter that only writes down what it is asked to show.
class NotedPresenter : public IMessagePresenter {
public:
    QStringList shown;
    int MsgBox(const QString& text, int, const QString&) override
    {
        shown.append(text);
        return MsgResult::OK;
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
};

}  // namespace

// The settings file or its lock file hostile at the start: nothing of them is
// opened, the store runs on the defaults in memory, says once that the file
// can't be used naming it, and writes nothing to it. A lock file that no copy
// holds is cleared instead.
TEST_F(SettingsStoreTest, AHostileSettingsFileLeavesTheDefaultsAndIsSaidOnce)
{
    const QString conf = path();
    const QString lock = conf + QStringLiteral(".lock");
    struct Case {
        const char* what;
        QString at;
        std::function<void(const QString&)> make;
        const char* why;  // empty: the file is used
    };
    QTemporaryDir outside;
    const QString victim = outside.filePath("victim");
    auto fifo = [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0); };
    auto linkOut = [&](const QString& p) { ASSERT_TRUE(QFile::link(victim, p)); };
    auto folder = [](const QString& p) { ASSERT_TRUE(QDir().mkpath(p)); };
    auto huge = [](const QString& p) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(3 * 1024 * 1024));
    };
    auto garbage = [](const QString& p) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x01\xfe garbage");
    };
    const Case cases[] = {
        {"a FIFO at the file", conf, fifo, "Not a regular file (a FIFO): Quillomat.conf"},
        {"a link out at the file", conf, linkOut, "Not a regular file (a link): Quillomat.conf"},
        {"a folder at the file", conf, folder, "Not a regular file (a folder): Quillomat.conf"},
        {"a huge file", conf, huge, "Too large for a settings file (over 1 MB): Quillomat.conf"},
        {"a FIFO at the lock", lock, fifo, "Not a regular file (a FIFO): Quillomat.conf.lock"},
        {"a link at the lock", lock, linkOut, "Not a regular file (a link): Quillomat.conf.lock"},
        {"a folder at the lock", lock, folder, "Not a regular file (a folder): Quillomat.conf.lock"},
        {"a lock of garbage that no copy holds", lock, garbage, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            QFile v(victim);
            ASSERT_TRUE(v.open(QIODevice::WriteOnly | QIODevice::Truncate));
            v.write("outside\n");
        }
        c.make(c.at);
        NotedPresenter presenter;
        QSettingsStore store(conf, &presenter);
        EXPECT_EQ(store.GetSetting("Preferences", "Pace", "7"), "7");
        store.SaveSetting("Preferences", "Pace", "3");
        store.SaveSetting("Preferences", "Step", "4");
        EXPECT_EQ(store.GetSetting("preferences", "pace"), "3");  // kept in memory for this run
        if (QString::fromLatin1(c.why).isEmpty()) {
            EXPECT_TRUE(presenter.shown.isEmpty());
            EXPECT_TRUE(store.refusal().isEmpty());
            EXPECT_EQ(QSettingsStore(conf).GetSetting("Preferences", "Pace"), "3");
        } else {
            const QString said = QStringLiteral("The settings file %1 can't be used: %2. The program goes on with "
                                                "the default settings, and changes to them are not saved.")
                                     .arg(conf, QString::fromLatin1(c.why));
            EXPECT_EQ(presenter.shown, QStringList{said});
            EXPECT_EQ(store.refusal(), said);
        }
        QFile v(victim);
        ASSERT_TRUE(v.open(QIODevice::ReadOnly));
        EXPECT_EQ(v.readAll(), QByteArray("outside\n"));
        QDir(c.at).removeRecursively();
        QFile::remove(conf);
        QFile::remove(lock);
    }
}

// A settings file that turns hostile while the program runs: the save that
// meets it opens nothing, says so once, and the settings read so far stay.
TEST_F(SettingsStoreTest, ASettingsFileThatTurnsHostileIsLeftAlone)
{
    NotedPresenter presenter;
    QSettingsStore store(path(), &presenter);
    store.SaveSetting("com", "comport", "3");
    ASSERT_TRUE(QFile::remove(path()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    store.SaveSetting("com", "comport", "4");
    store.SaveSetting("com", "speed", "2");
    EXPECT_EQ(presenter.shown.size(), 1);
    EXPECT_TRUE(presenter.shown.value(0).contains(path()));
    EXPECT_EQ(store.GetSetting("COM", "ComPort"), "4");
    EXPECT_EQ(store.GetSetting("com", "speed"), "2");
}
