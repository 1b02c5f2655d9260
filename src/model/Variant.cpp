#include "model/Variant.h"

#include "model/VbError.h"

#include <cmath>
#include <limits>

namespace vb {

namespace {

bool isAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// Scans a decimal number at the start of t: an optional sign, digits with at
// most one decimal point, then an exponent whose letter is one of expLetters.
// Returns the length of what was read (0 when no digit came), and in
// badExponent whether an exponent letter stood there without digits.
int scanNumber(const QString& t, QLatin1String expLetters, bool& badExponent)
{
    badExponent = false;
    int i = 0;
    const int n = t.size();
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    while (i < n && isAsciiDigit(t[i])) { ++i; ++digits; }
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isAsciiDigit(t[i])) { ++i; ++digits; }
    }
    if (digits == 0)
        return 0;
    if (i < n && QString(expLetters).contains(t[i], Qt::CaseInsensitive)) {
        int j = i + 1;
        if (j < n && (t[j] == QLatin1Char('+') || t[j] == QLatin1Char('-')))
            ++j;
        int expDigits = 0;
        while (j < n && isAsciiDigit(t[j])) { ++j; ++expDigits; }
        if (expDigits == 0)
            badExponent = true;
        else
            i = j;
    }
    return i;
}

}  // namespace

bool parseNumber(const QString& text, double& out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int base = t[1].toUpper() == QLatin1Char('H') ? 16 : 8;
        const qlonglong v = t.mid(2).toLongLong(&ok, base);
        if (!ok)
            return false;
        out = double(v);
        return true;
    }
    bool badExponent = false;
    const int len = scanNumber(t, QLatin1String("e"), badExponent);
    if (len == 0 || badExponent || len != t.size())
        return false;
    bool ok = false;
    out = t.toDouble(&ok);
    return ok;
}

double Val(const QString& text)
{
    QString t;
    t.reserve(text.size());
    for (QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            t.append(c);
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        int j = 2;
        while (j < t.size() && QStringLiteral("0123456789abcdefABCDEF").contains(t[j])) ++j;
        bool ok = false;
        const qlonglong v = t.mid(2, j - 2).toLongLong(&ok, 16);
        return ok ? double(v) : 0.0;
    }
    bool badExponent = false;
    const int len = scanNumber(t, QLatin1String("ed"), badExponent);
    if (len == 0)
        return 0.0;
    QString num = t.left(len);
    for (QChar& c : num)
        if (c == QLatin1Char('d') || c == QLatin1Char('D'))
            c = QLatin1Char('e');
    return num.toDouble();
}

double Int(double d) { return std::floor(d); }

// A text read as a number where a number is wanted: its digits, or the
// Boolean words True (-1) and False (0).
static bool numberOrBoolean(const QString& text, double& out)
{
    if (parseNumber(text, out))
        return true;
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        out = -1;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        out = 0;
        return true;
    }
    return false;
}

static double roundHalfEven(double d)
{
    return std::nearbyint(d);  // the default rounding mode rounds half to even
}

Integer CInt(double d)
{
    const double r = roundHalfEven(d);
    if (!(r >= -32768.0 && r <= 32767.0))
        raiseError(Err::Overflow);
    return Integer(r);
}

Long CLng(double d)
{
    const double r = roundHalfEven(d);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        raiseError(Err::Overflow);
    return Long(r);
}

Integer CInt(const QString& text)
{
    double d = 0;
    if (!numberOrBoolean(text, d))
        raiseError(Err::TypeMismatch);
    return CInt(d);
}

Long CLng(const QString& text)
{
    double d = 0;
    if (!numberOrBoolean(text, d))
        raiseError(Err::TypeMismatch);
    return CLng(d);
}

QString numberText(double d)
{
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    QString s = QString::number(d, 'g', 15);
    return s;
}

QString Trim(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == QLatin1Char(' '))
        ++b;
    while (e > b && text[e - 1] == QLatin1Char(' '))
        --e;
    return text.mid(b, e - b);
}

}  // namespace vb

double Variant::otherToDouble() const
{
    switch (mKind) {
    case Kind::Empty: return 0.0;
    case Kind::Number: return mNumber;
    case Kind::Text: {
        double d = 0;
        if (!vb::numberOrBoolean(mText, d))
            raiseError(Err::TypeMismatch);
        return d;
    }
    }
    return 0.0;
}

Integer Variant::toInteger() const { return vb::CInt(toDouble()); }
Long Variant::toLong() const { return vb::CLng(toDouble()); }

QString Variant::toString() const
{
    switch (mKind) {
    case Kind::Empty: return QString();
    case Kind::Number: return vb::numberText(mNumber);
    case Kind::Text: return mText;
    }
    return QString();
}

bool Variant::isNumeric() const
{
    if (mKind == Kind::Number)
        return true;
    if (mKind == Kind::Empty)
        return true;
    double d;
    return vb::parseNumber(mText, d);
}

bool Variant::operator==(const Variant& o) const
{
    if (mKind != o.mKind)
        return false;
    switch (mKind) {
    case Kind::Empty: return true;
    case Kind::Number: return mNumber == o.mNumber;
    case Kind::Text: return mText == o.mText;
    }
    return false;
}
