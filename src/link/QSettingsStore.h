#pragma once
// The settings store of the application "Quillomat" in an INI file: the
// sections are INI groups, the keys their entries, every value a text. The
// program keeps the file in the per-user place (defaultPath()); tests give a
// temporary file.
#include "model/Services.h"

#include <QSettings>

class QSettingsStore : public ISettingsStore {
public:
    explicit QSettingsStore(const QString& filePath);

    // ~/.config/Quillomat/Quillomat.conf, or what the platform takes for it.
    static QString defaultPath();

    QString GetSetting(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) override;
    void SaveSetting(const QString& section, const QString& key, const QString& value) override;

    QString filePath() const { return mSettings.fileName(); }

private:
    QSettings mSettings;
};
