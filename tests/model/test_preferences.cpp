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

TEST(Preferences, EmptyStoreGivesTheDefaults)
{
    RecordingStore store;
    FakePresenter presenter;
    const clsInitParam p(store, presenter);
    EXPECT_EQ(p.TimeToShutDown, 30);
    EXPECT_EQ(p.TransmitPower, QStringLiteral("short"));
    EXPECT_EQ(p.ConfirmDownload, 1);
    EXPECT_EQ(p.ConfirmDelete, 1);
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(store.reads, (QStringList{QStringLiteral("Preferences/ShutDownTime"),
                                        QStringLiteral("Preferences/TransmitPower"),
                                        QStringLiteral("Preferences/ConfirmDownload"),
                                        QStringLiteral("Preferences/ConfirmDelete")}));
    EXPECT_TRUE(store.writes.isEmpty());  // reading writes nothing back
}

TEST(Preferences, StoredValuesAreRead)
{
    RecordingStore store;
    store.values.insert(QStringLiteral("Preferences/ShutDownTime"), QStringLiteral(" 0 "));
    store.values.insert(QStringLiteral("Preferences/TransmitPower"), QStringLiteral("Long"));
    store.values.insert(QStringLiteral("Preferences/ConfirmDownload"), QStringLiteral("0"));
    store.values.insert(QStringLiteral("Preferences/ConfirmDelete"), QStringLiteral("0"));
    FakePresenter presenter;
    const clsInitParam p(store, presenter);
    EXPECT_EQ(p.TimeToShutDown, 0);
    EXPECT_EQ(p.TransmitPower, QStringLiteral("Long"));
    EXPECT_EQ(p.ConfirmDownload, 0);
    EXPECT_EQ(p.ConfirmDelete, 0);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST(Preferences, ReadFailureStopsAtThatKey)
{
    struct Case {
        const char* key;
        const char* stored;
        const char* message;
        Long shutDown;
        const char* power;
        Integer confirmDownload;
        Integer confirmDelete;
    };
    // Other keys hold "45", "Long", "0", "0".
    const Case cases[] = {
        {"ShutDownTime", "soon", "Type mismatch  #13", 0, "", 0, 0},
        {"ShutDownTime", "", "Type mismatch  #13", 0, "", 0, 0},
        {"ShutDownTime", "3000000000", "Overflow  #6", 0, "", 0, 0},
        {"ConfirmDownload", "yes", "Type mismatch  #13", 45, "Long", 0, 0},
        {"ConfirmDelete", "40000", "Overflow  #6", 45, "Long", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << "=" << c.stored);
        RecordingStore store;
        store.values.insert(QStringLiteral("Preferences/ShutDownTime"), QStringLiteral("45"));
        store.values.insert(QStringLiteral("Preferences/TransmitPower"), QStringLiteral("Long"));
        store.values.insert(QStringLiteral("Preferences/ConfirmDownload"), QStringLiteral("0"));
        store.values.insert(QStringLiteral("Preferences/ConfirmDelete"), QStringLiteral("0"));
        store.values.insert(QStringLiteral("Preferences/") + QString::fromLatin1(c.key),
                            QString::fromLatin1(c.stored));
        FakePresenter presenter;
        const clsInitParam p(store, presenter);
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, QString::fromLatin1(c.message) + kReadTail);
        EXPECT_EQ(presenter.shown[0].style, 16);
        EXPECT_EQ(p.TimeToShutDown, c.shutDown);
        EXPECT_EQ(p.TransmitPower, QString::fromLatin1(c.power));
        EXPECT_EQ(p.ConfirmDownload, c.confirmDownload);
        EXPECT_EQ(p.ConfirmDelete, c.confirmDelete);
        EXPECT_EQ(store.reads.last(), QStringLiteral("Preferences/") + QString::fromLatin1(c.key));
    }
}

TEST(Preferences, FailedReadKeepsTheEarlierValuesOfLaterKeys)
{
    RecordingStore store;
    FakePresenter presenter;
    clsInitParam p(store, presenter);
    p.ConfirmDelete = 0;
    store.values.insert(QStringLiteral("Preferences/ShutDownTime"), QStringLiteral("10"));
    store.values.insert(QStringLiteral("Preferences/ConfirmDownload"), QStringLiteral("x"));
    p.ReadParam();
    EXPECT_EQ(p.TimeToShutDown, 10);
    EXPECT_EQ(p.ConfirmDownload, 1);
    EXPECT_EQ(p.ConfirmDelete, 0);
    EXPECT_EQ(presenter.shown.size(), 1);
}

TEST(Preferences, WriteThenReadGivesTheSameValues)
{
    RecordingStore store;
    FakePresenter presenter;
    clsInitParam p(store, presenter);
    p.TimeToShutDown = 0;
    p.TransmitPower = QStringLiteral("Long");
    p.ConfirmDownload = 0;
    p.ConfirmDelete = -1;
    p.WriteParam();
    EXPECT_EQ(store.writes, (QStringList{QStringLiteral("Preferences/ShutDownTime"),
                                         QStringLiteral("Preferences/TransmitPower"),
                                         QStringLiteral("Preferences/ConfirmDownload"),
                                         QStringLiteral("Preferences/ConfirmDelete")}));
    EXPECT_EQ(store.values.value(QStringLiteral("Preferences/ShutDownTime")), QStringLiteral("0"));
    EXPECT_EQ(store.values.value(QStringLiteral("Preferences/ConfirmDelete")), QStringLiteral("-1"));

    const clsInitParam again(store, presenter);
    EXPECT_EQ(again.TimeToShutDown, 0);
    EXPECT_EQ(again.TransmitPower, QStringLiteral("Long"));
    EXPECT_EQ(again.ConfirmDownload, 0);
    EXPECT_EQ(again.ConfirmDelete, -1);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST(Preferences, WriteFailureIsReported)
{
    RecordingStore store;
    FakePresenter presenter;
    clsInitParam p(store, presenter);
    store.failWritesWith = Err::PathFileAccess;
    p.WriteParam();
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Path/File access error\r\nTrying to write init parameters."));
    EXPECT_EQ(presenter.shown[0].style, 16);
}

}  // namespace
