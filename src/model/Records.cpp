#include "model/Records.h"

#include "model/VbError.h"

#include <QIODevice>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {
constexpr int DeviceIoError = 57;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Where a file's records begin: after the UTF-8 byte order mark some editors
// put first. No record begins with those bytes: every file's first field is a
// number.
qsizetype recordsStart(const QByteArray& data) { return data.startsWith("\xEF\xBB\xBF") ? 3 : 0; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// True when the text is the Latin-1 bytes. Texts that differ mostly differ
// at their ends (numbered names), so the last letter is compared first.
bool sameLatin1(const QString& text, QLatin1StringView bytes)
{
    const qsizetype n = bytes.size();
    if (text.size() != n)
        return false;
    const char16_t* t = reinterpret_cast<const char16_t*>(text.constData());
    const uchar* b = reinterpret_cast<const uchar*>(bytes.data());
    if (n > 0 && t[n - 1] != b[n - 1])
        return false;
    for (qsizetype i = 0; i + 1 < n; ++i)
        if (t[i] != b[i])
            return false;
    return true;
}

// A field of an optional minus and at most 15 digits, as the program writes
// whole numbers, read straight from the bytes; false for anything else, which
// then goes the general way.
bool plainWholeNumber(const char* p, qsizetype n, double& out)
{
    const bool negative = n > 0 && p[0] == '-';
    qsizetype i = negative ? 1 : 0;
    if (n - i < 1 || n - i > 15)
        return false;
    qint64 v = 0;
    for (; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        v = v * 10 + (p[i] - '0');
    }
    out = negative ? -double(v) : double(v);
    return true;
}

// A field of an optional minus, digits, a point and digits, as the program
// writes fractions (1.5, -0.25), read straight from the bytes; false for
// anything else. from_chars rounds as the general way does: to the nearest.
bool plainFraction(const char* p, qsizetype n, double& out)
{
    qsizetype i = p[0] == '-' ? 1 : 0;
    const qsizetype intStart = i;
    while (i < n && p[i] >= '0' && p[i] <= '9')
        ++i;
    if (i == intStart || i >= n || p[i] != '.')
        return false;
    const qsizetype fracStart = ++i;
    while (i < n && p[i] >= '0' && p[i] <= '9')
        ++i;
    if (i == fracStart || i != n)
        return false;
    const auto r = std::from_chars(p, p + n, out);
    return r.ec == std::errc() && r.ptr == p + n;
}

// Latin-1 of a text into d, as toLatin1() gives it; returns the end.
char* putLatin1(char* d, const QString& s)
{
    for (const QChar c : s)
        *d++ = c.unicode() < 0x100 ? char(c.unicode()) : '?';
    return d;
}

void appendLatin1(QByteArray& out, const QString& s)
{
    const qsizetype at = out.size();
    out.resize(at + s.size());
    putLatin1(out.data() + at, s);
}

// A fraction whose shortest exact form has at most 15 significant digits and
// no exponent under numberText (1e-4 up to 1e15): numberText's 15 digits are
// then those very digits, so they are written straight into d (room for 48
// bytes). Returns the end, or nullptr for any other number, which then goes
// the general way.
char* putPlainFraction(char* d, double v)
{
    const double a = std::fabs(v);
    if (!(a >= 1e-4 && a < 1e15))
        return nullptr;
    const auto r = std::to_chars(d, d + 48, v, std::chars_format::fixed);
    if (r.ec != std::errc())
        return nullptr;
    int digits = 0;
    bool leading = true;
    for (const char* p = d; p < r.ptr; ++p) {
        if (*p < '0' || *p > '9')
            continue;
        if (leading && *p == '0')
            continue;
        leading = false;
        ++digits;
    }
    return digits > 15 ? nullptr : r.ptr;
}

// A whole number's digits into d (room for 24 bytes); returns the end.
char* putNumber(char* d, qint64 n)
{
    return std::to_chars(d, d + 24, n).ptr;
}

// The comma before a field that is not the record's first, into d; returns
// the end. The next field is then not the first.
char* putSeparator(char* d, bool& firstField)
{
    if (!firstField)
        *d++ = ',';
    firstField = false;
    return d;
}

}  // namespace

QString StoredTextRefusal(const QString& text, TextField field)
{
    bool fieldEnd = false;  // a character that ends the field
    bool lineEnd = false;
    qsizetype beyond = -1;  // the first character beyond Latin-1
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"' || (field == TextField::Split && c == u','))
            fieldEnd = true;
        else if (field == TextField::Split && (c == u'\r' || c == u'\n'))
            lineEnd = true;
        else if (c > 0xFF && beyond < 0)
            beyond = i;
    }
    if (fieldEnd)
        return field == TextField::Split ? QStringLiteral("Commas and double quotes can't be used here")
                                         : QStringLiteral("Double quotes can't be used here");
    if (lineEnd)
        return QStringLiteral("Line breaks can't be used here");
    if (beyond < 0)
        return QString();
    const bool pair = text[beyond].isHighSurrogate() && beyond + 1 < text.size() && text[beyond + 1].isLowSurrogate();
    const char32_t code =
        pair ? QChar::surrogateToUcs4(text[beyond], text[beyond + 1]) : char32_t(text[beyond].unicode());
    return QStringLiteral("The character %1 (U+%2) can't be used here")
        .arg(text.mid(beyond, pair ? 2 : 1), QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'));
}

// ---- RecordReader ----

RecordReader::RecordReader(QByteArray data) : mData(std::move(data)), mPos(recordsStart(mData)), mOpen(true) {}

void RecordReader::open(const QString& path, FileKind kind)
{
    close();
    mData = ReadWholeFile(path, kind);
    mPos = recordsStart(mData);
    mAfterComma = false;
    mOpen = true;
    mRecent = {};
}

void RecordReader::close()
{
    mOpen = false;
    mData.clear();
    mPos = 0;
    mAfterComma = false;
    mRecent = {};
}

void RecordReader::checkOpen() const
{
    if (!mOpen)
        raiseError(Err::BadFileNameOrNumber);
}

bool RecordReader::atEnd() const
{
    checkOpen();
    return mPos >= mData.size();
}

bool RecordReader::atLineEnd() const
{
    return mPos < mData.size() && isLineEnd(mData[mPos]);
}

void RecordReader::skipLineEnd()
{
    if (mPos < mData.size() && mData[mPos] == '\r')
        ++mPos;
    if (mPos < mData.size() && mData[mPos] == '\n')
        ++mPos;
}

// Skips the blanks before a field; false at the end of the bytes (a last
// field after a comma is then empty and taken).
bool RecordReader::startField()
{
    checkOpen();
    const char* const d = mData.constData();
    const qsizetype n = mData.size();
    while (mPos < n && isBlank(d[mPos]))
        ++mPos;
    if (mPos < n)
        return true;
    if (mAfterComma) {  // "a," at the end of the file: the last field is empty
        mAfterComma = false;
        return false;
    }
    raiseError(Err::InputPastEnd);
}

// The text between the quotes that start at the reading position; whatever
// stands between the closing quote and the field's end is dropped.
QString RecordReader::quotedText(int list)
{
    const char* const d = mData.constData();
    const qsizetype n = mData.size();
    const qsizetype start = mPos + 1;
    const void* q = start < n ? std::memchr(d + start, '"', size_t(n - start)) : nullptr;
    const qsizetype close = q ? qsizetype(static_cast<const char*>(q) - d) : n;
    const QLatin1StringView bytes(d + start, close - start);
    QString text;
    if (list >= 0 && !bytes.isEmpty()) {
        RecentTexts& recent = mRecent[size_t(list)];
        const auto met = std::find_if(recent.texts.begin(), recent.texts.end(),
                                      [&](const QString& t) { return sameLatin1(t, bytes); });
        if (met != recent.texts.end()) {
            text = *met;
        } else {
            text = QString(bytes);
            recent.texts[recent.next] = text;
            recent.next = (recent.next + 1) % recent.texts.size();
        }
    } else {
        text = QString(bytes);
    }
    mPos = close < n ? close + 1 : n;
    while (mPos < n && d[mPos] != ',' && !isLineEnd(d[mPos]))
        ++mPos;
    endField();
    return text;
}

// Steps over the comma or the line end that ends a field.
void RecordReader::endField()
{
    if (mPos < mData.size() && mData.constData()[mPos] == ',') {
        ++mPos;
        mAfterComma = true;
    } else {
        skipLineEnd();
        mAfterComma = false;
    }
}

Variant RecordReader::field()
{
    if (!startField())
        return Variant();
    const char* const d = mData.constData();
    if (d[mPos] == '"')
        return Variant(quotedText());
    return unquotedField();
}

Variant RecordReader::repeatedField(int list)
{
    if (!startField())
        return Variant();
    if (mData.constData()[mPos] == '"')
        return Variant(quotedText(list));
    return unquotedField();
}

Variant RecordReader::unquotedField()
{
    const char* const d = mData.constData();

    Variant result;
    const qsizetype n = mData.size();
    const qsizetype start = mPos;
    while (mPos < n && d[mPos] != ',' && !isLineEnd(d[mPos]))
        ++mPos;
    qsizetype end = mPos;
    while (end > start && isBlank(d[end - 1]))
        --end;
    if (end > start) {
        double v = 0;
        if (plainWholeNumber(d + start, end - start, v) || plainFraction(d + start, end - start, v)) {
            result = Variant(v);
        } else {
            const QString token = QString::fromLatin1(d + start, end - start);
            result = vb::parseNumber(token, v) ? Variant(v) : Variant(token);
        }
    }
    endField();
    return result;
}

QString RecordReader::textField()
{
    if (!startField())
        return QString();
    if (mData.constData()[mPos] == '"')
        return quotedText();
    // Not quoted: read as field() reads it (a number gives its decimal text).
    return field().toString();
}

QString RecordReader::repeatedTextField(int list)
{
    if (!startField())
        return QString();
    if (mData.constData()[mPos] == '"')
        return quotedText(list);
    return unquotedField().toString();
}

// An unquoted field of a plain whole number, read straight into out and
// stepped over; false, with nothing read, for any other field.
bool RecordReader::plainWholeNumberField(double& out)
{
    checkOpen();
    const char* const d = mData.constData();
    const qsizetype n = mData.size();
    qsizetype start = mPos;
    while (start < n && isBlank(d[start]))
        ++start;
    qsizetype stop = start;
    while (stop < n && d[stop] != ',' && d[stop] != '"' && !isLineEnd(d[stop]))
        ++stop;
    if (stop == start || (stop < n && d[stop] == '"'))
        return false;
    qsizetype end = stop;
    while (end > start && isBlank(d[end - 1]))
        --end;
    if (!plainWholeNumber(d + start, end - start, out))
        return false;
    mPos = stop;
    endField();
    return true;
}

Integer RecordReader::integerField()
{
    double plain = 0;
    if (plainWholeNumberField(plain))
        return vb::CInt(plain);
    const Variant v = field();
    return v.isEmpty() ? Integer(0) : v.toInteger();
}

Long RecordReader::longField()
{
    const Variant v = field();
    return v.isEmpty() ? Long(0) : v.toLong();
}

QString RecordReader::line()
{
    checkOpen();
    const qsizetype n = mData.size();
    if (mPos >= n)
        raiseError(Err::InputPastEnd);
    const qsizetype start = mPos;
    while (mPos < n && !isLineEnd(mData[mPos]))
        ++mPos;
    const QString text = QString::fromLatin1(mData.constData() + start, mPos - start);
    skipLineEnd();
    mAfterComma = false;
    return text;
}

// ---- RecordWriter ----

RecordWriter::RecordWriter() = default;

RecordWriter::RecordWriter(QIODevice* device) : mDevice(device) {}

RecordWriter::~RecordWriter() { close(); }

void RecordWriter::open(const QString& path)
{
    close();
    // The file itself is made on commit, and only when its bytes change; what
    // is there (a FIFO, a link) is looked at now and again then, before
    // anything of it is opened.
    disk::CheckWriteTarget(path);
    mPath = path;
    mToFile = true;
    mDevice = nullptr;
    mLine.clear();
    mPending.clear();
    mPending.reserve(4096);
    mRecordsEnd = 0;
    mFirstField = true;
}

bool RecordWriter::isOpen() const { return mToFile || mDevice != nullptr; }

void RecordWriter::separate()
{
    if (!mFirstField)
        out().append(',');
    mFirstField = false;
}

// Each field goes into the bytes in one append, its separating comma with it.
RecordWriter& RecordWriter::text(const QString& s)
{
    QByteArray& o = out();
    const qsizetype at = o.size();
    o.resize(at + s.size() + 2 + (mFirstField ? 0 : 1));
    char* d = putSeparator(o.data() + at, mFirstField);
    *d++ = '"';
    d = putLatin1(d, s);
    *d = '"';
    return *this;
}

RecordWriter& RecordWriter::bareText(const QString& s)
{
    separate();
    out().append(s.toLatin1());
    return *this;
}

RecordWriter& RecordWriter::number(qint64 n)
{
    char buffer[32];
    const char* const end = putNumber(putSeparator(buffer, mFirstField), n);
    out().append(buffer, qsizetype(end - buffer));
    return *this;
}

RecordWriter& RecordWriter::value(const Variant& v)
{
    switch (v.kind()) {
    case Variant::Kind::Empty: separate(); break;
    case Variant::Kind::Number: {
        const double n = v.toDouble();
        char buffer[64];
        char* const d = putSeparator(buffer, mFirstField);
        // The whole numbers numberText writes as digits and the plain
        // fractions straight; any other number as numberText writes it.
        char* const end = n == std::floor(n) && std::fabs(n) < 1e15 ? putNumber(d, qint64(n)) : putPlainFraction(d, n);
        QByteArray& o = out();
        o.append(buffer, qsizetype((end ? end : d) - buffer));
        if (!end)
            appendLatin1(o, vb::numberText(n));
        break;
    }
    case Variant::Kind::Text: text(v.toString()); break;
    }
    return *this;
}

void RecordWriter::endRecord()
{
    if (mToFile) {  // the records are kept for commit, written in one go
        mPending.append("\r\n");
        mRecordsEnd = mPending.size();
        mFirstField = true;
        return;
    }
    QByteArray line;
    line.swap(mLine);
    mFirstField = true;
    if (!mDevice)
        raiseError(Err::BadFileNameOrNumber);
    line.append("\r\n");
    if (mDevice->write(line) != line.size())
        raiseError(DeviceIoError);
}


bool RecordWriter::commit()
{
    mDevice = nullptr;
    mLine.clear();
    mFirstField = true;
    if (!mToFile)
        return false;
    mToFile = false;
    mPending.truncate(mRecordsEnd);  // a record begun but never ended is not written
    const QByteArray bytes = std::move(mPending);
    mPending.clear();
    mRecordsEnd = 0;
    return disk::ReplaceFile(mPath, bytes);
}

void RecordWriter::close()
{
    mDevice = nullptr;
    mToFile = false;
    mLine.clear();
    mPending.clear();
    mRecordsEnd = 0;
    mFirstField = true;
}
