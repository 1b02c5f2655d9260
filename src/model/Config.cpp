#include "model/Config.h"

QString Config::storedText(const char* section, const char* name, const QString& fallback) const
{
    return mStore->GetSetting(QLatin1String(section), QLatin1String(name), fallback);
}

QString Config::TowerDevice(Long port, const QString& fallback) const
{
    return mStore->GetSetting(QLatin1String(Setting::DeviceSection), Setting::DeviceName(port), fallback);
}
