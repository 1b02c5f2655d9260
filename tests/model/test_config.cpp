// The typed settings: the texts they are stored as (an existing settings file
// reads the same), their defaults, this run's own values, the texts that are
// no value, and the change signal.
#include "model/Config.h"

#include "support/MemorySettingsStore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class ConfigTest : public ::testing::Test {
protected:
    QString stored(const char* key) const { return store.values.value(QLatin1String(key)); }
    QList<SettingId> changes() const
    {
        QList<SettingId> ids;
        for (const QList<QVariant>& args : spy)
            ids.append(args.at(0).value<SettingId>());
        return ids;
    }

    MemorySettingsStore store;
    ISettingsStore* where = &store;
    Config config{where};
    QSignalSpy spy{&config, &Config::Changed};
};

// Each key where the settings file has it, the text a value is saved as, and
// what a missing key reads as.
TEST_F(ConfigTest, EachKeyIsStoredAsBeforeAndReadsItsDefaultWhenMissing)
{
    EXPECT_EQ(config.Value(Setting::ComPort), -1);
    EXPECT_FALSE(config.Value(Setting::VirtualBrick));
    EXPECT_EQ(config.Value(Setting::FirmwarePath), QString());
    EXPECT_EQ(config.Value(Setting::FirmwareName), QString());
    EXPECT_FALSE(config.Value(Setting::AdvancedMode));
    EXPECT_EQ(config.Value(Setting::ShutDownTime), 30);
    EXPECT_EQ(config.Value(Setting::TransmitPower), QStringLiteral("short"));
    EXPECT_EQ(config.Value(Setting::ConfirmDownload), 1);
    EXPECT_EQ(config.Value(Setting::ConfirmDelete), 1);
    EXPECT_TRUE(store.values.isEmpty());  // reading writes nothing

    config.Set(Setting::ComPort, Integer(2));
    config.Set(Setting::VirtualBrick, true);
    config.Set(Setting::FirmwarePath, QStringLiteral("/fw"));
    config.Set(Setting::FirmwareName, QStringLiteral("firm0309.lgo"));
    config.Set(Setting::AdvancedMode, true);
    config.Set(Setting::ShutDownTime, Long(0));
    config.Set(Setting::TransmitPower, QStringLiteral("Long"));
    config.Set(Setting::ConfirmDownload, Integer(0));
    config.Set(Setting::ConfirmDelete, Integer(-1));
    const QMap<QString, QString> expected{
        {QStringLiteral("com/comport"), QStringLiteral("2")},
        {QStringLiteral("com/virtualbrick"), QStringLiteral("1")},
        {QStringLiteral("firmware/path"), QStringLiteral("/fw")},
        {QStringLiteral("firmware/name"), QStringLiteral("firm0309.lgo")},
        {QStringLiteral("Preferences/AdvancedMode"), QStringLiteral("True")},
        {QStringLiteral("Preferences/ShutDownTime"), QStringLiteral("0")},
        {QStringLiteral("Preferences/TransmitPower"), QStringLiteral("Long")},
        {QStringLiteral("Preferences/ConfirmDownload"), QStringLiteral("0")},
        {QStringLiteral("Preferences/ConfirmDelete"), QStringLiteral("-1")},
    };
    EXPECT_EQ(store.values, expected);
    config.Set(Setting::VirtualBrick, false);
    config.Set(Setting::AdvancedMode, false);
    EXPECT_EQ(stored("com/virtualbrick"), QStringLiteral("0"));
    EXPECT_EQ(stored("Preferences/AdvancedMode"), QStringLiteral("False"));

    store.values.insert(QStringLiteral("com/device2"), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(config.TowerDevice(2, QStringLiteral("/dev/ttyS1")), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(config.TowerDevice(1, QStringLiteral("/dev/ttyS0")), QStringLiteral("/dev/ttyS0"));
}

// Texts a hand or an earlier version may have left: read as they always were.
TEST_F(ConfigTest, StoredTextsReadAsTheyAlwaysWere)
{
    struct Case {
        const char* key;
        const char* text;
        std::function<bool(const Config&)> reads;
    };
    const Case cases[] = {
        {"Preferences/AdvancedMode", "-1", [](const Config& c) { return c.Value(Setting::AdvancedMode); }},
        {"Preferences/AdvancedMode", "true", [](const Config& c) { return c.Value(Setting::AdvancedMode); }},
        {"Preferences/AdvancedMode", "0", [](const Config& c) { return !c.Value(Setting::AdvancedMode); }},
        {"com/virtualbrick", "2", [](const Config& c) { return c.Value(Setting::VirtualBrick); }},
        {"com/virtualbrick", "yes", [](const Config& c) { return !c.Value(Setting::VirtualBrick); }},
        {"com/comport", " 3 ", [](const Config& c) { return c.Value(Setting::ComPort) == 3; }},
        {"Preferences/ShutDownTime", "2.5", [](const Config& c) { return c.Value(Setting::ShutDownTime) == 2; }},
        {"Preferences/ConfirmDelete", "False", [](const Config& c) { return c.Value(Setting::ConfirmDelete) == 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << "=" << c.text);
        store.values.clear();
        store.values.insert(QLatin1String(c.key), QLatin1String(c.text));
        EXPECT_TRUE(c.reads(config));
    }
}

// A text that is no value reads as the default where the program uses it;
// only a reading that tells the user (Stored, Reload) fails with it, and a
// value this run holds stays.
TEST_F(ConfigTest, ATextThatIsNoValueReadsAsTheDefaultAndFailsWhereItIsTold)
{
    store.values.insert(QStringLiteral("com/comport"), QStringLiteral("COM2"));
    store.values.insert(QStringLiteral("Preferences/ShutDownTime"), QStringLiteral("3000000000"));
    EXPECT_EQ(config.Value(Setting::ComPort), -1);
    EXPECT_EQ(config.Value(Setting::ShutDownTime), 30);
    EXPECT_THROW(config.Stored(Setting::ComPort), VbError);
    try {
        config.Reload(Setting::ShutDownTime);
        ADD_FAILURE() << "no failure";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), Err::Overflow);
    }

    config.SetForRun(Setting::ComPort, Integer(1));
    EXPECT_THROW(config.Reload(Setting::ComPort), VbError);
    EXPECT_EQ(config.Value(Setting::ComPort), 1);
    EXPECT_EQ(stored("com/comport"), QStringLiteral("COM2"));
}

// This run's own value goes to the store only when saved; a reading takes
// the stored one again. Values never set in the run follow the store.
TEST_F(ConfigTest, ThisRunsValuesAndTheStoredOnes)
{
    config.SetForRun(Setting::FirmwareName, QStringLiteral("fast.lgo"));
    EXPECT_EQ(config.Value(Setting::FirmwareName), QStringLiteral("fast.lgo"));
    EXPECT_TRUE(store.values.isEmpty());

    config.Save(Setting::FirmwareName);
    EXPECT_EQ(stored("firmware/name"), QStringLiteral("fast.lgo"));

    config.SetForRun(Setting::FirmwareName, QStringLiteral("slow.lgo"));
    config.Reload(Setting::FirmwareName);
    EXPECT_EQ(config.Value(Setting::FirmwareName), QStringLiteral("fast.lgo"));

    store.values.insert(QStringLiteral("firmware/path"), QStringLiteral("/elsewhere"));
    EXPECT_EQ(config.Value(Setting::FirmwarePath), QStringLiteral("/elsewhere"));

    // Another store (a test's) is read through the same pointer.
    MemorySettingsStore other;
    other.values.insert(QStringLiteral("firmware/path"), QStringLiteral("/other"));
    where = &other;
    EXPECT_EQ(config.Value(Setting::FirmwarePath), QStringLiteral("/other"));
}

TEST_F(ConfigTest, ChangedTellsEachChangeOnceWithItsKey)
{
    config.Set(Setting::AdvancedMode, true);
    config.Set(Setting::AdvancedMode, true);  // the same again
    config.SetForRun(Setting::ConfirmDelete, Integer(1));  // what it reads as already
    config.SetForRun(Setting::ConfirmDelete, Integer(0));
    config.Save(Setting::ConfirmDelete);  // saved as it is
    EXPECT_EQ(changes(), (QList<SettingId>{SettingId::AdvancedMode, SettingId::ConfirmDelete}));

    spy.clear();
    config.SetForRun(Setting::ComPort, Integer(3));
    config.Reload(Setting::ComPort);  // back to the stored -1
    config.Reload(Setting::ComPort);  // nothing of the run's left
    store.values.insert(QStringLiteral("com/comport"), QStringLiteral("2"));
    config.Reload(Setting::ComPort);  // read anew; nothing told for a store changed under it
    EXPECT_EQ(changes(), (QList<SettingId>{SettingId::ComPort, SettingId::ComPort}));
}

}  // namespace
