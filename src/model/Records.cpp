#include "model/Records.h"

#include "model/VbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int DeviceIoError = 57;

// The test's stand-in for a failing device, when one is set.
CommitFault& commitFault()
{
    static CommitFault fault;
    return fault;
}

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

// ---- Reading a file whole ----

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

QString kindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Project: return QStringLiteral("project file");
    case FileKind::Task: return QStringLiteral("task file");
    case FileKind::Sub: return QStringLiteral("sub file");
    case FileKind::Firmware: return QStringLiteral("firmware file");
    case FileKind::DatalogList: return QStringLiteral("datalog list");
    }
    return QStringLiteral("file");
}

// Why a path could not be looked at or opened, asked of the file system only
// then: nearly every open succeeds.
[[noreturn]] void raiseOpenFailure(const QString& path)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        raiseError(Err::PathNotFound);
    if (!info.exists())
        raiseError(Err::FileNotFound);
    raiseError(Err::PathFileAccess);
}

[[noreturn]] void raiseTooLarge(FileKind kind)
{
    raiseError(Err::PathFileAccess, QStringLiteral("Too large for a %1 (over %2 MB)")
                                        .arg(kindName(kind))
                                        .arg(LargestFile(kind) / kMegabyte));
}

// A folder does not open as a file; a FIFO, a socket or a device is never
// read, nor a file larger than its kind allows.
void checkReadable(const struct stat& st, FileKind kind)
{
    if (S_ISDIR(st.st_mode))
        raiseError(Err::PathFileAccess);
    if (!S_ISREG(st.st_mode))
        raiseError(Err::PathFileAccess, QStringLiteral("Not a regular file"));
    if (st.st_size > LargestFile(kind))
        raiseTooLarge(kind);
}

}  // namespace

qint64 LargestFile(FileKind kind)
{
    switch (kind) {
    // Six port lines, at most 9 tasks and 8 subs, and the named values: even
    // a few thousand constants and ranges stay well under 1 MB.
    case FileKind::Project: return 4 * kMegabyte;
    // A grid holds at most 80 commands, a record of well under 300 bytes each:
    // 80 blocks whose bodies are full make 6480 records, under 2 MB.
    case FileKind::Task:
    case FileKind::Sub: return 8 * kMegabyte;
    // A 16 KB image, even in S-records of one byte each, is under 250 KB.
    case FileKind::Firmware: return 1 * kMegabyte;
    // The brick's datalog holds at most 32767 entries, a line of the list each.
    case FileKind::DatalogList: return 16 * kMegabyte;
    }
    return kMegabyte;
}

QByteArray ReadWholeFile(const QString& path, FileKind kind)
{
    const QByteArray name = QFile::encodeName(path);
    // What the path leads to is looked at before it is opened (opening a FIFO
    // waits for a writer), and what was opened once more: the path may lead
    // elsewhere by then. Opened without waiting, a FIFO met then is refused too.
    struct stat st {};
    if (name.isEmpty() || ::stat(name.constData(), &st) != 0)
        raiseOpenFailure(path);
    checkReadable(st, kind);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        raiseOpenFailure(path);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0)
        raiseError(Err::PathFileAccess);
    checkReadable(st, kind);

    // The bytes the file's size promises and one more in the first read, then
    // whatever it has beyond them (a file that grew, or one whose size is not
    // known), never more than one byte over the kind's largest size.
    const qint64 largest = LargestFile(kind);
    QByteArray data(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == data.size()) {
            if (got > largest)
                raiseTooLarge(kind);
            data.resize(qsizetype(std::min<qint64>(largest + 1, std::max<qint64>(2 * qint64(got), 4096))));
        }
        const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            raiseError(DeviceIoError);
        if (n == 0)
            break;
        got += qsizetype(n);
    }
    data.resize(got);
    return data;
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

namespace {
// Writes every byte to the open file; 0, or the system's error number of
// the write that failed.
int writeAll(int fd, const QByteArray& bytes)
{
    if (fd < 0)
        return EBADF;
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        p += n;
        left -= qsizetype(n);
    }
    return 0;
}

// True when the file at path holds exactly these bytes. It is opened as the
// bounded reader opens a file, without waiting: what is no regular file (the
// target may have changed since it was looked at) holds nothing.
bool holdsBytes(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != bytes.size())
        return false;
    // One byte more than expected is asked for: a file that grew since holds more.
    QByteArray data(bytes.size() + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < data.size()) {
        const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += qsizetype(n);
    }
    return got == bytes.size() && std::memcmp(data.constData(), bytes.constData(), size_t(got)) == 0;
}

// The innermost WritesInside alive, if any.
WritesInside*& writesInside()
{
    static WritesInside* current = nullptr;
    return current;
}

QString realPathOf(const QByteArray& name)
{
    char* real = ::realpath(name.constData(), nullptr);
    if (!real)
        return QString();
    const QString path = QFile::decodeName(real);
    std::free(real);
    return path;
}

// Looks at what a write would replace, without opening it: nothing yet, or a
// regular file (a link to one followed). A folder, a FIFO, a socket or a
// device is refused naming it, and so is a target outside the WritesInside
// folder.
void checkWriteTarget(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString fileName = slash < 0 ? path : path.mid(slash + 1);
    struct stat st {};
    bool link = false;
    if (::lstat(name.constData(), &st) != 0) {
        if (errno != ENOENT)
            raiseFileError(Err::PathFileAccess, fileName, systemErrorText(errno));
    } else {
        link = S_ISLNK(st.st_mode);
        if (link && ::stat(name.constData(), &st) != 0) {
            // A link that leads to nothing: the write would make a file wherever it points.
            if (writesInside())
                raiseError(Err::PathFileAccess, QStringLiteral("A link that leads to nothing (to %1): %2")
                                                    .arg(QFileInfo(path).symLinkTarget(), fileName));
            return;
        }
        if (S_ISDIR(st.st_mode))
            raiseFileError(Err::PathFileAccess, fileName, systemErrorText(EISDIR));
        if (!S_ISREG(st.st_mode))
            raiseError(Err::PathFileAccess, QStringLiteral("Not a regular file: ") + fileName);
    }
    if (WritesInside* confined = writesInside())
        confined->check(path, link);
}
}  // namespace

// ---- RecordWriter ----

WritesInside::WritesInside(const QString& folder) : mFolder(folder), mOuter(writesInside())
{
    writesInside() = this;
}

WritesInside::~WritesInside() { writesInside() = mOuter; }

bool WritesInside::inside(const QString& realPath)
{
    if (mRoot.isEmpty())
        mRoot = realPathOf(QFile::encodeName(mFolder));
    if (mRoot.isEmpty())
        return false;
    if (realPath == mRoot)
        return true;
    return realPath.startsWith(mRoot) &&
           (mRoot.endsWith(QLatin1Char('/')) || realPath.at(mRoot.size()) == QLatin1Char('/'));
}

void WritesInside::check(const QString& path) { check(path, QFileInfo(path).isSymLink()); }

void WritesInside::check(const QString& path, bool link)
{
    if (mFolder.isEmpty())
        return;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (link) {  // resolved whole: it may lead anywhere
        const QString real = realPathOf(QFile::encodeName(path));
        if (!inside(real))
            raiseError(Err::PathFileAccess,
                       QStringLiteral("Leads outside the data folder (to %1): %2").arg(real, path.mid(slash + 1)));
        return;
    }
    const QString folder = slash <= 0 ? QStringLiteral("/") : path.left(slash);
    if (mFoldersInside.contains(folder))
        return;
    const QString real = realPathOf(QFile::encodeName(folder));
    if (real.isEmpty())  // no folder: nothing can be written there
        return;
    if (!inside(real))
        raiseError(Err::PathFileAccess,
                   QStringLiteral("Leads outside the data folder (to %1): %2").arg(real, QFileInfo(folder).fileName()));
    mFoldersInside.append(folder);
}


void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

void SetCommitFault(CommitFault fault) { commitFault() = std::move(fault); }

RecordWriter::RecordWriter() = default;

RecordWriter::RecordWriter(QIODevice* device) : mDevice(device) {}

RecordWriter::~RecordWriter() { close(); }

void RecordWriter::open(const QString& path)
{
    close();
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) {
        struct stat st {};
        const int code = ::stat(QFile::encodeName(folder.filePath()).constData(), &st) != 0 ? errno : ENOTDIR;
        raiseFileError(Err::PathNotFound, folder.fileName(), systemErrorText(code));
    }
    // The file itself is made on commit, and only when its bytes change; what
    // is there (a FIFO, a link out of the data folder) is looked at then,
    // before anything of it is opened.
    if (info.isDir())
        raiseFileError(Err::PathFileAccess, info.fileName(), systemErrorText(EISDIR));
    if (!folder.isWritable() || (info.exists() && !info.isWritable()))
        raiseFileError(Err::PathFileAccess, info.fileName(), systemErrorText(EACCES));
    mPath = path;
    mToFile = true;
    mDevice = nullptr;
    mLine.clear();
    mPending.clear();
    mPending.reserve(qsizetype(info.size()) + 256);  // mostly about as long as before
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


void RecordWriter::commit()
{
    mDevice = nullptr;
    mLine.clear();
    mFirstField = true;
    if (!mToFile)
        return;
    mToFile = false;
    mPending.truncate(mRecordsEnd);  // a record begun but never ended is not written
    const QByteArray bytes = std::move(mPending);
    mPending.clear();
    mRecordsEnd = 0;
    // What is there is looked at again before anything of it is opened or read:
    // it may have changed since open().
    checkWriteTarget(mPath);
    // A file that holds these bytes already is left alone: its good copy is
    // never at risk and no write or sync is paid for it.
    if (holdsBytes(mPath, bytes))
        return;
    const QString fileName = QFileInfo(mPath).fileName();
    QSaveFile file(mPath);
    if (!file.open(QIODevice::WriteOnly))
        raiseFileError(Err::PathFileAccess, fileName, file.errorString());
    // The bytes go straight to the file, so that a write that fails tells the
    // system's reason (a full disk, a file-size limit). A device that takes
    // fewer bytes than it was given can still report success; the file's size
    // tells.
    int code = writeAll(file.handle(), bytes);
    if (code == 0 && file.size() != bytes.size())
        code = EIO;
    if (code == 0 && commitFault())
        code = commitFault()(mPath);
    if (code != 0) {
        file.cancelWriting();
        raiseFileError(DeviceIoError, fileName, systemErrorText(code));
    }
    if (!file.commit())  // the new file is synced and moved over the target, or thrown away
        raiseFileError(DeviceIoError, fileName, file.errorString());
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
