#pragma once
// A settings store kept in memory for tests.
#include "model/Services.h"

#include <QMap>

class MemorySettingsStore : public ISettingsStore {
public:
    QMap<QString, QString> values;  // "section/key" -> value

    QString GetSetting(const QString& section, const QString& key, const QString& def = QString()) override
    {
        return values.value(section + QLatin1Char('/') + key, def);
    }
    void SaveSetting(const QString& section, const QString& key, const QString& value) override
    {
        values.insert(section + QLatin1Char('/') + key, value);
    }
};
