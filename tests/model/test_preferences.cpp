#include "model/Config.h"
#include "model/InitParam.h"
#include "model/VbError.h"

#include "support/FakePresenter.h"
#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

namespace {

// Records the order of the keys read and written; can make a write fail.
class RecordingStore : public MemorySettingsStore {
public:
    QStringList reads;
    QStringList writes;
    int failWritesWith = 0;

    QString GetSetting(const QString& section, const QString& key, const QString& def = QString()) override
    {
        reads.append(section + QLatin1Char('/') + key);
        return MemorySettingsStore::GetSetting(section, key, def);
    }
    void SaveSetting(const QString& section, const QString& key, const QString& value) override
    {
        if (failWritesWith)
            raiseError(failWritesWith);
        writes.append(section + QLatin1Char('/') + key);
        MemorySettingsStore::SaveSetting(section, key, value);
    }
};

const QString kReadTail = QStringLiteral("\r\nTrying to read Quillomat init parameters.");

// The settings over a recording store, as the program has them.
struct Settings {
    RecordingStore store;
    ISettingsStore* where = &store;
    Config config{where};
};

TEST(Preferences, EmptyStoreGivesTheDefaults)
{
    Settings s;
    RecordingStore& store = s.store;
    FakePresenter presenter;
    const clsInitParam p(s.config, presenter);
    EXPECT_EQ(store.reads, (QStringList{QStringLiteral("Preferences/ShutDownTime"),
                                        QStringLiteral("Preferences/TransmitPower"),
                                        QStringLiteral("Preferences/ConfirmDownload"),
                                        QStringLiteral("Preferences/ConfirmDelete")}));
    EXPECT_EQ(p.TimeToShutDown(), 30);
    EXPECT_EQ(p.TransmitPower(), QStringLiteral("short"));
    EXPECT_EQ(p.ConfirmDownload(), 1);
    EXPECT_EQ(p.ConfirmDelete(), 1);
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_TRUE(store.writes.isEmpty());  // reading writes nothing back
}

TEST(Preferences, StoredValuesAreRead)
{
    Settings s;
    RecordingStore& store = s.store;
    store.values.insert(QStringLiteral("Preferences/ShutDownTime"), QStringLiteral(" 0 "));
    store.values.insert(QStringLiteral("Preferences/TransmitPower"), QStringLiteral("Long"));
    store.values.insert(QStringLiteral("Preferences/ConfirmDownload"), QStringLiteral("0"));
    store.values.insert(QStringLiteral("Preferences/ConfirmDelete"), QStringLiteral("0"));
    FakePresenter presenter;
    const clsInitParam p(s.config, presenter);
    EXPECT_EQ(p.TimeToShutDown(), 0);
    EXPECT_EQ(p.TransmitPower(), QStringLiteral("Long"));
    EXPECT_EQ(p.ConfirmDownload(), 0);
    EXPECT_EQ(p.ConfirmDelete(), 0);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

// A stored text that is no number is told once as the preferences are read,
// which stops there; that preference reads as its default, the others as
// they are stored (a confirmation is never taken for off, nor the brick's
// power-down time for never, because another key could not be read).
TEST(Preferences, ReadFailureIsToldAndThatKeyReadsAsItsDefault)
{
    struct Case {
        const char* key;
        const char* stored;
        const char* message;
        Long shutDown;
        Integer confirmDownload;
        Integer confirmDelete;
    };
    // Other keys hold "45", "Long", "0", "0".
    const Case cases[] = {
        {"ShutDownTime", "soon", "Type mismatch  #13", 30, 0, 0},
        {"ShutDownTime", "", "Type mismatch  #13", 30, 0, 0},
        {"ShutDownTime", "3000000000", "Overflow  #6", 30, 0, 0},
        {"ConfirmDownload", "yes", "Type mismatch  #13", 45, 1, 0},
        {"ConfirmDelete", "40000", "Overflow  #6", 45, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << "=" << c.stored);
        Settings s;
        RecordingStore& store = s.store;
        store.values.insert(QStringLiteral("Preferences/ShutDownTime"), QStringLiteral("45"));
        store.values.insert(QStringLiteral("Preferences/TransmitPower"), QStringLiteral("Long"));
        store.values.insert(QStringLiteral("Preferences/ConfirmDownload"), QStringLiteral("0"));
        store.values.insert(QStringLiteral("Preferences/ConfirmDelete"), QStringLiteral("0"));
        store.values.insert(QStringLiteral("Preferences/") + QString::fromLatin1(c.key),
                            QString::fromLatin1(c.stored));
        FakePresenter presenter;
        const clsInitParam p(s.config, presenter);
        EXPECT_EQ(store.reads.last(), QStringLiteral("Preferences/") + QString::fromLatin1(c.key));
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, QString::fromLatin1(c.message) + kReadTail);
        EXPECT_EQ(presenter.shown[0].style, MsgStyle::Critical);
        EXPECT_EQ(p.TimeToShutDown(), c.shutDown);
        EXPECT_EQ(p.TransmitPower(), QStringLiteral("Long"));
        EXPECT_EQ(p.ConfirmDownload(), c.confirmDownload);
        EXPECT_EQ(p.ConfirmDelete(), c.confirmDelete);
        EXPECT_EQ(presenter.shown.size(), 1);  // told as it was read, not at each use
    }
}

TEST(Preferences, FailedReadKeepsTheEarlierValuesOfLaterKeys)
{
    Settings s;
    RecordingStore& store = s.store;
    FakePresenter presenter;
    clsInitParam p(s.config, presenter);
    p.setConfirmDelete(0);
    store.values.insert(QStringLiteral("Preferences/ShutDownTime"), QStringLiteral("10"));
    store.values.insert(QStringLiteral("Preferences/ConfirmDownload"), QStringLiteral("x"));
    p.ReadParam();
    EXPECT_EQ(p.TimeToShutDown(), 10);
    EXPECT_EQ(p.ConfirmDownload(), 1);
    EXPECT_EQ(p.ConfirmDelete(), 0);
    EXPECT_EQ(presenter.shown.size(), 1);
}

// Set, a preference is the program's at once; the store has it only once
// WriteParam has saved it.
TEST(Preferences, ASetPreferenceIsSavedByWriteParamAlone)
{
    Settings s;
    RecordingStore& store = s.store;
    FakePresenter presenter;
    clsInitParam p(s.config, presenter);
    p.setConfirmDownload(0);
    p.setTransmitPower(QStringLiteral("Long"));
    EXPECT_EQ(p.ConfirmDownload(), 0);
    EXPECT_EQ(p.TransmitPower(), QStringLiteral("Long"));
    EXPECT_TRUE(store.writes.isEmpty());
    EXPECT_TRUE(store.values.isEmpty());
}

TEST(Preferences, WriteThenReadGivesTheSameValues)
{
    Settings s;
    RecordingStore& store = s.store;
    FakePresenter presenter;
    clsInitParam p(s.config, presenter);
    p.setTimeToShutDown(0);
    p.setTransmitPower(QStringLiteral("Long"));
    p.setConfirmDownload(0);
    p.setConfirmDelete(-1);
    p.WriteParam();
    EXPECT_EQ(store.writes, (QStringList{QStringLiteral("Preferences/ShutDownTime"),
                                         QStringLiteral("Preferences/TransmitPower"),
                                         QStringLiteral("Preferences/ConfirmDownload"),
                                         QStringLiteral("Preferences/ConfirmDelete")}));
    EXPECT_EQ(store.values.value(QStringLiteral("Preferences/ShutDownTime")), QStringLiteral("0"));
    EXPECT_EQ(store.values.value(QStringLiteral("Preferences/ConfirmDelete")), QStringLiteral("-1"));

    // As the next start reads them.
    ISettingsStore* where = &store;
    Config next(where);
    const clsInitParam again(next, presenter);
    EXPECT_EQ(again.TimeToShutDown(), 0);
    EXPECT_EQ(again.TransmitPower(), QStringLiteral("Long"));
    EXPECT_EQ(again.ConfirmDownload(), 0);
    EXPECT_EQ(again.ConfirmDelete(), -1);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST(Preferences, WriteFailureIsReported)
{
    Settings s;
    RecordingStore& store = s.store;
    FakePresenter presenter;
    clsInitParam p(s.config, presenter);
    store.failWritesWith = Err::PathFileAccess;
    p.WriteParam();
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Path/File access error\r\nTrying to write init parameters."));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Critical);
}

}  // namespace
