#include "link/QSettingsStore.h"

#include <QStandardPaths>

namespace {

// The stored spelling of a name, found without regard to letter case (the
// store's names are compared that way); the name itself when none is stored.
QString storedName(const QStringList& names, const QString& name)
{
    for (const QString& n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return name;
}

}  // namespace

QSettingsStore::QSettingsStore(const QString& filePath) : mSettings(filePath, QSettings::IniFormat) {}

QString QSettingsStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Quillomat/Quillomat.conf");
}

QString QSettingsStore::GetSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    mSettings.beginGroup(storedName(mSettings.childGroups(), section));
    const QVariant v = mSettings.value(storedName(mSettings.childKeys(), key));
    mSettings.endGroup();
    if (!v.isValid())
        return defaultValue;
    // A value edited by hand with commas in it reads back as a list.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void QSettingsStore::SaveSetting(const QString& section, const QString& key, const QString& value)
{
    mSettings.beginGroup(storedName(mSettings.childGroups(), section));
    mSettings.setValue(storedName(mSettings.childKeys(), key), value);
    mSettings.endGroup();
    mSettings.sync();
}
