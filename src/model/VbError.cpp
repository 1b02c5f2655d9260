#include "model/VbError.h"

#include <system_error>

QString errorDescription(int number)
{
    switch (number) {
    case 3: return QStringLiteral("Return without GoSub");
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 10: return QStringLiteral("This array is fixed or temporarily locked");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 28: return QStringLiteral("Out of stack space");
    case 51: return QStringLiteral("Internal error");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 55: return QStringLiteral("File already open");
    case 57: return QStringLiteral("Device I/O error");
    case 58: return QStringLiteral("File already exists");
    case 61: return QStringLiteral("Disk full");
    case 62: return QStringLiteral("Input past end of file");
    case 68: return QStringLiteral("Device unavailable");
    case 70: return QStringLiteral("Permission denied");
    case 71: return QStringLiteral("Disk not ready");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 94: return QStringLiteral("Invalid use of Null");
    case 364: return QStringLiteral("Object was unloaded");
    case 380: return QStringLiteral("Invalid property value");
    case 383: return QStringLiteral("Property is read-only");
    case 424: return QStringLiteral("Object required");
    case 457: return QStringLiteral("This key is already associated with an element of this collection");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

VbError::VbError(int number, QString description)
    : mNumber(number),
      mDescription(description.isEmpty() ? errorDescription(number) : std::move(description)),
      mWhat(mDescription.toUtf8())
{
}

void raiseError(int number, const QString& description)
{
    throw VbError(number, description);
}

QString fileErrorText(int number, const QString& fileName, const QString& reason)
{
    QString text = errorDescription(number) + QStringLiteral(": ") + fileName;
    if (!reason.isEmpty())
        text += QStringLiteral(" (") + reason + QLatin1Char(')');
    return text;
}

void raiseFileError(int number, const QString& fileName, const QString& reason)
{
    throw VbError(number, fileErrorText(number, fileName, reason));
}

QString systemErrorText(int code)
{
    return QString::fromStdString(std::generic_category().message(code));
}
