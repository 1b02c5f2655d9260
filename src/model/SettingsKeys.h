#pragma once
// The per-user settings of Quillomat, one typed key each: the section and the
// name it is stored under, its type, the value a missing key reads as, and
// the one way its stored text is read and written. Config (model/Config.h)
// reads and writes them; nothing else spells a section or a name.
#include "model/Variant.h"

#include <QString>

// Which setting; Config::Changed names it.
enum class SettingId {
    ComPort,
    VirtualBrick,
    FirmwarePath,
    FirmwareName,
    AdvancedMode,
    ShutDownTime,
    TransmitPower,
    ConfirmDownload,
    ConfirmDelete,
};

template <class T>
struct SettingKey {
    SettingId id;
    const char* section;
    const char* name;
    T fallback;                        // what a missing key reads as
    T (*read)(const QString& text);    // the stored text as a value; VbError where it is none
    QString (*write)(const T& value);  // the value as it is stored
};

namespace SettingsCodec {

inline QString text(const QString& t) { return t; }
inline Integer integer(const QString& t) { return vb::CInt(t); }
inline Long longNumber(const QString& t) { return vb::CLng(t); }
inline QString number(const Integer& v) { return QString::number(v); }
inline QString longText(const Long& v) { return QString::number(v); }
// Stored as "True"/"False", read as a number (True is -1).
inline bool boolean(const QString& t) { return vb::CInt(t) != 0; }
inline QString trueFalse(const bool& v) { return v ? QStringLiteral("True") : QStringLiteral("False"); }
// Stored as "1"/"0"; anything but a non-zero number reads as no.
inline bool flag(const QString& t)
{
    bool ok = false;
    const int v = t.toInt(&ok);
    return ok && v != 0;
}
inline QString oneZero(const bool& v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace SettingsCodec

namespace Setting {

using namespace SettingsCodec;

// Section "com": how the program reaches the brick. The tower port last
// found (0 to 3; -1 none yet), and the user's choice of the virtual brick.
inline const SettingKey<Integer> ComPort{SettingId::ComPort, "com", "comport", -1, &integer, &number};
inline const SettingKey<bool> VirtualBrick{SettingId::VirtualBrick, "com", "virtualbrick", false, &flag, &oneZero};
// "device0".."device3" in "com": the device file of a tower port, read only.
inline constexpr const char* DeviceSection = "com";
inline QString DeviceName(Long port) { return QStringLiteral("device") + QString::number(port); }

// Section "firmware": the firmware file offered for download, its folder and name.
inline const SettingKey<QString> FirmwarePath{SettingId::FirmwarePath, "firmware", "path", {}, &text, &text};
inline const SettingKey<QString> FirmwareName{SettingId::FirmwareName, "firmware", "name", {}, &text, &text};

// Section "Preferences": the set-up window always opens in advanced mode;
// the four preferences of InitParams.
inline const SettingKey<bool> AdvancedMode{
    SettingId::AdvancedMode, "Preferences", "AdvancedMode", false, &boolean, &trueFalse};
inline const SettingKey<Long> ShutDownTime{
    SettingId::ShutDownTime, "Preferences", "ShutDownTime", 30, &longNumber, &longText};
inline const SettingKey<QString> TransmitPower{
    SettingId::TransmitPower, "Preferences", "TransmitPower", QStringLiteral("short"), &text, &text};
inline const SettingKey<Integer> ConfirmDownload{
    SettingId::ConfirmDownload, "Preferences", "ConfirmDownload", 1, &integer, &number};
inline const SettingKey<Integer> ConfirmDelete{
    SettingId::ConfirmDelete, "Preferences", "ConfirmDelete", 1, &integer, &number};

}  // namespace Setting
