#pragma once
// A value that is empty, a number or a text, and the conversions between them
// that the system uses: Integer (16-bit) and Long (32-bit) with banker's
// rounding and overflow as failure 6, the leading-number reading of a text,
// and the decimal text that files and the listing write.
#include <QString>
#include <QtGlobal>

using Integer = qint16;
using Long = qint32;
using Boolean = qint16;  // True is -1, False 0
constexpr Boolean True = -1;
constexpr Boolean False = 0;
inline Boolean toBoolean(bool b) { return b ? True : False; }

class Variant {
public:
    enum class Kind { Empty, Number, Text };

    Variant() = default;
    Variant(double n) : mKind(Kind::Number), mNumber(n) {}
    Variant(int n) : mKind(Kind::Number), mNumber(n) {}
    Variant(qint16 n) : mKind(Kind::Number), mNumber(n) {}
    Variant(qint64 n) : mKind(Kind::Number), mNumber(double(n)) {}
    // A C++ truth value becomes the system's Boolean: true -1, false 0.
    Variant(bool b) : mKind(Kind::Number), mNumber(b ? -1 : 0) {}
    Variant(const QString& s) : mKind(Kind::Text), mText(s) {}
    Variant(const char* s) : mKind(Kind::Text), mText(QString::fromUtf8(s)) {}

    Kind kind() const { return mKind; }
    bool isEmpty() const { return mKind == Kind::Empty; }
    bool isNumber() const { return mKind == Kind::Number; }
    bool isText() const { return mKind == Kind::Text; }

    // The number held; failure 13 for a text that is not a number. Empty is 0.
    // The texts "True" and "False" (any letter case, blanks around allowed)
    // read as the Booleans -1 and 0, so a Boolean saved as text reads back.
    double toDouble() const { return mKind == Kind::Number ? mNumber : otherToDouble(); }
    // CInt and CLng: round half to even, failure 6 outside the range, 13 for a
    // text that is neither a number nor "True"/"False".
    Integer toInteger() const;
    Long toLong() const;
    // The text of the value: empty gives "", a number its decimal text.
    QString toString() const;
    // The text held, without a copy; empty for a value that is not a text.
    const QString& text() const { return mText; }
    // True when the value is a number or a text that reads as one (blanks around it allowed).
    bool isNumeric() const;

    // Same kind and same content (a number and its text are not equal).
    bool operator==(const Variant& o) const;
    bool operator!=(const Variant& o) const { return !(*this == o); }

private:
    double otherToDouble() const;  // toDouble of an empty value or a text

    Kind mKind = Kind::Empty;
    double mNumber = 0;
    QString mText;
};

namespace vb {
// Reads a whole text as a number (blanks around it allowed); false when it isn't one.
bool parseNumber(const QString& text, double& out);
// Val: the number at the start of the text, blanks skipped; 0 when there is none.
double Val(const QString& text);
// Int: the whole part, rounded down.
double Int(double d);
// Round half to even and check the range: failure 6 outside it.
Integer CInt(double d);
Long CLng(double d);
// From a text: a number, or "True" (-1) / "False" (0); else failure 13.
Integer CInt(const QString& text);
Long CLng(const QString& text);
// The decimal text of a number as files and the listing write it: "12", "-3", "0.5".
QString numberText(double d);
// Trim: the text without the blanks before and after it; tabs and line breaks stay.
QString Trim(const QString& text);
// The text and the word are the same, letter case aside (command keys,
// markers, names of operations).
inline bool SameText(const QString& text, const char* word)
{
    return text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}
}  // namespace vb
