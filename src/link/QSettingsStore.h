#pragma once
// The settings store of the application "Quillomat" in an INI file: the
// sections are INI groups, the keys their entries, every value a text. The
// program keeps the file in the per-user place (defaultPath()); tests give a
// temporary file.
//
// QSettings opens the file and its lock file (the file's name and ".lock")
// itself, so both are looked at through the door (model/Disk.h) before it is
// made and before every save. When either is no regular file (a FIFO, a
// device, a link, a folder) or the file is too large, the store keeps the
// settings in memory from then on, on the defaults when that is found at the
// start, writes nothing to the file, and says once, through the presenter
// given, that the settings file can't be used, naming it.
#include "model/Services.h"

#include <QHash>

#include <memory>

class QSettings;

class QSettingsStore : public ISettingsStore {
public:
    explicit QSettingsStore(const QString& filePath, IMessagePresenter* teller = nullptr);
    ~QSettingsStore() override;

    // ~/.config/Quillomat/Quillomat.conf, or what the platform takes for it.
    static QString defaultPath();

    QString GetSetting(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) override;
    void SaveSetting(const QString& section, const QString& key, const QString& value) override;

    const QString& filePath() const { return mPath; }
    // Why the settings file can't be used, naming it; empty while it can.
    const QString& refusal() const { return mRefusal; }

private:
    // True while the file and its lock may be handed to QSettings; the first
    // time they may not, the settings go into memory and the refusal is told.
    bool fileUsable();
    void keepInMemory(const QString& why);

    QString mPath;
    IMessagePresenter* mTeller;
    std::unique_ptr<QSettings> mSettings;  // none once the file can't be used
    QHash<QString, QString> mMemory;       // "section\nkey" in lower case, while in memory
    QString mRefusal;
};
