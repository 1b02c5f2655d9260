#pragma once
// Run-time failures of the system: a number and its standard description.
// Operations that fail throw a VbError; failure handlers catch it and react to
// its number (5, 9, 91 ...) or show its description.
#include <QString>
#include <exception>

namespace Err {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int InternalError = 51;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int InputPastEnd = 62;
constexpr int DeviceUnavailable = 68;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int ObjectNotSet = 91;
constexpr int UnloadWhileShown = 364;
constexpr int InvalidPropertyValue = 380;
constexpr int ReadOnlyProperty = 383;
constexpr int ObjectRequired = 424;
constexpr int DuplicateKey = 457;
}  // namespace Err

// The standard description of a failure number ("Overflow" for 6 ...);
// "Application-defined or object-defined error" for numbers without one.
QString errorDescription(int number);

class VbError : public std::exception {
public:
    explicit VbError(int number, QString description = {});
    int number() const { return mNumber; }
    const QString& description() const { return mDescription; }
    const char* what() const noexcept override { return mWhat.constData(); }

private:
    int mNumber;
    QString mDescription;
    QByteArray mWhat;
};

[[noreturn]] void raiseError(int number, const QString& description = {});

// A failure of a file, told with the standard description first, then the
// file's name and what the system gave as the reason: "Device I/O error:
// Drive.tas (No space left on device)". Without a reason the name ends it.
QString fileErrorText(int number, const QString& fileName, const QString& reason = {});
[[noreturn]] void raiseFileError(int number, const QString& fileName, const QString& reason = {});
// The system's text for an error number (errno): "No space left on device".
QString systemErrorText(int code);
