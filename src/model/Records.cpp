#include "model/Records.h"

#include "model/VbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr int DeviceIoError = 57;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
}  // namespace

// ---- RecordReader ----

RecordReader::RecordReader(QByteArray data) : mData(std::move(data)), mOpen(true) {}

void RecordReader::open(const QString& path)
{
    close();
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        raiseError(Err::PathNotFound);
    if (!info.exists())
        raiseError(Err::FileNotFound);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        raiseError(Err::PathFileAccess);
    mData = file.readAll();
    mPos = 0;
    mAfterComma = false;
    mOpen = true;
}

void RecordReader::close()
{
    mOpen = false;
    mData.clear();
    mPos = 0;
    mAfterComma = false;
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

Variant RecordReader::field()
{
    checkOpen();
    const qsizetype n = mData.size();
    while (mPos < n && isBlank(mData[mPos]))
        ++mPos;
    if (mPos >= n) {
        if (mAfterComma) {  // "a," at the end of the file: the last field is empty
            mAfterComma = false;
            return Variant();
        }
        raiseError(Err::InputPastEnd);
    }

    Variant result;
    if (mData[mPos] == '"') {
        const qsizetype start = mPos + 1;
        qsizetype close = mData.indexOf('"', start);
        if (close < 0)
            close = n;
        result = Variant(QString::fromLatin1(mData.constData() + start, close - start));
        mPos = close < n ? close + 1 : n;
        // Whatever stands between the closing quote and the field's end is dropped.
        while (mPos < n && mData[mPos] != ',' && !isLineEnd(mData[mPos]))
            ++mPos;
    } else {
        const qsizetype start = mPos;
        while (mPos < n && mData[mPos] != ',' && !isLineEnd(mData[mPos]))
            ++mPos;
        qsizetype end = mPos;
        while (end > start && isBlank(mData[end - 1]))
            --end;
        if (end > start) {
            const QString token = QString::fromLatin1(mData.constData() + start, end - start);
            double d = 0;
            result = vb::parseNumber(token, d) ? Variant(d) : Variant(token);
        }
    }

    if (mPos < n && mData[mPos] == ',') {
        ++mPos;
        mAfterComma = true;
    } else {
        skipLineEnd();
        mAfterComma = false;
    }
    return result;
}

QString RecordReader::textField() { return field().toString(); }

Integer RecordReader::integerField()
{
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
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        raiseError(Err::PathNotFound);
    auto file = std::make_unique<QSaveFile>(path);
    if (info.isDir() || !file->open(QIODevice::WriteOnly))
        raiseError(Err::PathFileAccess);
    mFile = std::move(file);
    mDevice = mFile.get();
    mLine.clear();
    mPending.clear();
    mFirstField = true;
}

bool RecordWriter::isOpen() const { return mDevice != nullptr; }

void RecordWriter::separate()
{
    if (!mFirstField)
        mLine.append(',');
    mFirstField = false;
}

RecordWriter& RecordWriter::text(const QString& s)
{
    separate();
    mLine.append('"');
    mLine.append(s.toLatin1());
    mLine.append('"');
    return *this;
}

RecordWriter& RecordWriter::bareText(const QString& s)
{
    separate();
    mLine.append(s.toLatin1());
    return *this;
}

RecordWriter& RecordWriter::number(qint64 n)
{
    separate();
    mLine.append(QByteArray::number(n));
    return *this;
}

RecordWriter& RecordWriter::value(const Variant& v)
{
    switch (v.kind()) {
    case Variant::Kind::Empty: separate(); break;
    case Variant::Kind::Number:
        separate();
        mLine.append(vb::numberText(v.toDouble()).toLatin1());
        break;
    case Variant::Kind::Text: text(v.toString()); break;
    }
    return *this;
}

void RecordWriter::endRecord()
{
    QByteArray line;
    line.swap(mLine);
    mFirstField = true;
    if (!mDevice)
        raiseError(Err::BadFileNameOrNumber);
    line.append("\r\n");
    if (mFile) {
        mPending.append(line);  // written in one go on commit
        return;
    }
    if (mDevice->write(line) != line.size())
        raiseError(DeviceIoError);
}

void RecordWriter::commit()
{
    mDevice = nullptr;
    mLine.clear();
    mFirstField = true;
    if (!mFile)
        return;
    // A device that takes fewer bytes than it was given (a full disk, a file
    // size limit) can still report success; the file's size tells.
    const QByteArray bytes = std::move(mPending);
    mPending.clear();
    bool ok = mFile->write(bytes) == bytes.size() && mFile->flush() && mFile->size() == bytes.size();
    if (ok)
        ok = mFile->commit();
    else
        mFile->cancelWriting();
    mFile.reset();
    if (!ok)
        raiseError(DeviceIoError);
}

void RecordWriter::close()
{
    mDevice = nullptr;
    mLine.clear();
    mPending.clear();
    mFirstField = true;
    if (mFile) {
        mFile->cancelWriting();
        mFile.reset();
    }
}
