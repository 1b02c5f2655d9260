// The INI settings store: what is saved reads back, in the same instance and
// in a fresh one on the same file.
#include "link/QSettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
