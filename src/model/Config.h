#pragma once
// The settings as the program uses them: one typed value per key of
// model/SettingsKeys.h, and Changed when a value changes, so that a window
// that shows a setting follows it. The app state's Config is the one; it
// reads and writes through the app state's Settings, whichever store that is.
//
// A value set in this run is this run's, saved at once (Set) or not (a
// firmware file chosen without making it the default, a preference set and
// not yet saved: SetForRun). Any other is read from the store when asked
// for, and a stored text that is no such value reads as the key's default;
// Reload and Stored tell such a text (VbError).
//
// A slot of Changed must not throw: an exception through an emission is
// undefined.
#include "model/Services.h"
#include "model/SettingsKeys.h"
#include "model/VbError.h"

#include <QHash>
#include <QObject>

class Config : public QObject {
    Q_OBJECT
public:
    // The store is looked at through the pointer at each read and write.
    explicit Config(ISettingsStore* const& store) : mStore(store) {}

    // This run's value.
    template <class T>
    T Value(const SettingKey<T>& key) const
    {
        if (const auto run = mRunTexts.constFind(int(key.id)); run != mRunTexts.constEnd())
            return key.read(*run);
        try {
            return Stored(key);
        } catch (const VbError&) {
            return key.fallback;
        }
    }
    // The stored value; VbError where the stored text is no such value.
    template <class T>
    T Stored(const SettingKey<T>& key) const
    {
        return key.read(storedText(key.section, key.name, key.write(key.fallback)));
    }
    // The value for this run, saved.
    template <class T>
    void Set(const SettingKey<T>& key, const T& value)
    {
        const T before = Value(key);
        mStore->SaveSetting(QLatin1String(key.section), QLatin1String(key.name), key.write(value));
        keepForRun(key, value, before);
    }
    // The value for this run alone; the store keeps what it holds.
    template <class T>
    void SetForRun(const SettingKey<T>& key, const T& value)
    {
        keepForRun(key, value, Value(key));
    }
    // Saves this run's value.
    template <class T>
    void Save(const SettingKey<T>& key)
    {
        Set(key, Value(key));
    }
    // The stored value is this run's again. VbError where the stored text is
    // no such value: this run's value then stays as it was.
    template <class T>
    void Reload(const SettingKey<T>& key)
    {
        const T stored = Stored(key);
        const auto run = mRunTexts.constFind(int(key.id));
        if (run == mRunTexts.constEnd())
            return;
        const T before = key.read(*run);
        mRunTexts.erase(run);
        if (!(stored == before))
            Q_EMIT Changed(key.id);
    }

    // The device file of tower port 0 to 3 ("com", "device0".."device3"),
    // the fallback where none is stored.
    QString TowerDevice(Long port, const QString& fallback) const;

Q_SIGNALS:
    void Changed(SettingId which);

private:
    QString storedText(const char* section, const char* name, const QString& fallback) const;
    template <class T>
    void keepForRun(const SettingKey<T>& key, const T& value, const T& before)
    {
        mRunTexts.insert(int(key.id), key.write(value));
        if (!(value == before))
            Q_EMIT Changed(key.id);
    }

    ISettingsStore* const& mStore;
    QHash<int, QString> mRunTexts;  // this run's own values, as they would be stored
};
