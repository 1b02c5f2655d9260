#pragma once
// The names under which Quillomat keeps its per-user settings, and the typed
// reads and writes of them through the settings store. Every reader and every
// writer of a setting goes through here, so that each name is spelled once.
// The reads that convert a stored text throw VbError where the text is no
// number, as the callers expect.
#include "model/Services.h"
#include "model/Variant.h"

namespace SettingsKeys {

// Section "com": how the program reaches the brick.
inline const QString kCom = QStringLiteral("com");
inline const QString kComPort = QStringLiteral("comport");          // the tower port last found
inline const QString kVirtualBrick = QStringLiteral("virtualbrick");  // "1": talk to the virtual brick
// "device0".."device3": the device file of a tower port.
inline QString DeviceKey(Long port)
{
    return QStringLiteral("device") + QString::number(port);
}

// Section "firmware": the firmware file offered for download.
inline const QString kFirmware = QStringLiteral("firmware");
inline const QString kFirmwarePath = QStringLiteral("path");
inline const QString kFirmwareName = QStringLiteral("name");

// Section "Preferences".
inline const QString kPreferences = QStringLiteral("Preferences");
inline const QString kAdvancedMode = QStringLiteral("AdvancedMode");
inline const QString kShutDownTime = QStringLiteral("ShutDownTime");
inline const QString kTransmitPower = QStringLiteral("TransmitPower");
inline const QString kConfirmDownload = QStringLiteral("ConfirmDownload");
inline const QString kConfirmDelete = QStringLiteral("ConfirmDelete");

// ------------------------------------------------------------------ com

inline QString ReadDevicePath(ISettingsStore& store, Long port, const QString& fallback)
{
    return store.GetSetting(kCom, DeviceKey(port), fallback);
}

// The tower port last found, -1 where none was; VbError for a text that is no number.
inline Integer ReadComPort(ISettingsStore& store)
{
    return Variant(store.GetSetting(kCom, kComPort, QStringLiteral("-1"))).toInteger();
}

inline void SaveComPort(ISettingsStore& store, Long port)
{
    store.SaveSetting(kCom, kComPort, QString::number(port));
}

// True where the user chose the virtual brick; anything but a non-zero number is no.
inline bool ReadVirtualBrick(ISettingsStore& store)
{
    bool ok = false;
    const int v = store.GetSetting(kCom, kVirtualBrick, QStringLiteral("0")).toInt(&ok);
    return ok && v != 0;
}

inline void SaveVirtualBrick(ISettingsStore& store, bool chosen)
{
    store.SaveSetting(kCom, kVirtualBrick, chosen ? QStringLiteral("1") : QStringLiteral("0"));
}

// ------------------------------------------------------------------ firmware

inline QString ReadFirmwarePath(ISettingsStore& store)
{
    return store.GetSetting(kFirmware, kFirmwarePath);
}

inline QString ReadFirmwareName(ISettingsStore& store)
{
    return store.GetSetting(kFirmware, kFirmwareName);
}

inline void SaveFirmware(ISettingsStore& store, const QString& folder, const QString& name)
{
    store.SaveSetting(kFirmware, kFirmwarePath, folder);
    store.SaveSetting(kFirmware, kFirmwareName, name);
}

// ------------------------------------------------------------------ preferences

// Advanced mode always on; stored as "True"/"False", read as a number
// (True is -1); VbError for a text that is neither.
inline bool ReadAdvancedMode(ISettingsStore& store)
{
    return Variant(store.GetSetting(kPreferences, kAdvancedMode, QStringLiteral("0"))).toInteger() != 0;
}

inline void SaveAdvancedMode(ISettingsStore& store, bool always)
{
    store.SaveSetting(kPreferences, kAdvancedMode, always ? QStringLiteral("True") : QStringLiteral("False"));
}

// The minutes before the brick switches itself off; VbError for no number.
inline Long ReadShutDownTime(ISettingsStore& store)
{
    return vb::CLng(store.GetSetting(kPreferences, kShutDownTime, QStringLiteral("30")));
}

inline void SaveShutDownTime(ISettingsStore& store, Long minutes)
{
    store.SaveSetting(kPreferences, kShutDownTime, QString::number(minutes));
}

inline QString ReadTransmitPower(ISettingsStore& store)
{
    return store.GetSetting(kPreferences, kTransmitPower, QStringLiteral("short"));
}

inline void SaveTransmitPower(ISettingsStore& store, const QString& power)
{
    store.SaveSetting(kPreferences, kTransmitPower, power);
}

// The two confirmations, 1 on and 0 off; VbError for no number.
inline Integer ReadConfirmDownload(ISettingsStore& store)
{
    return vb::CInt(store.GetSetting(kPreferences, kConfirmDownload, QStringLiteral("1")));
}

inline void SaveConfirmDownload(ISettingsStore& store, Integer value)
{
    store.SaveSetting(kPreferences, kConfirmDownload, QString::number(value));
}

inline Integer ReadConfirmDelete(ISettingsStore& store)
{
    return vb::CInt(store.GetSetting(kPreferences, kConfirmDelete, QStringLiteral("1")));
}

inline void SaveConfirmDelete(ISettingsStore& store, Integer value)
{
    store.SaveSetting(kPreferences, kConfirmDelete, QString::number(value));
}

}  // namespace SettingsKeys
