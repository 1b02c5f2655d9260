#include "model/FirmwareImage.h"

#include "model/Records.h"
#include "model/VbError.h"

#include <QList>

#include <vector>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Bytes of the address field by record type; 0 for a type that does not exist.
int addressBytes(int type)
{
    switch (type) {
    case 0: case 1: case 5: case 9: return 2;
    case 2: case 6: case 8: return 3;
    case 3: case 7: return 4;
    default: return 0;
    }
}

}  // namespace

void FirmwareImage::fail(int line, const QString& what)
{
    if (mError.isEmpty()) {
        mError = what;
        mBadLine = line;
    }
    mImage.clear();
}

FirmwareImage FirmwareImage::ReadFile(const QString& path)
{
    try {
        return Parse(ReadWholeFile(path, FileKind::Firmware));
    } catch (const VbError& e) {
        // A file that is no regular file or too large says so; any other
        // failure is a file that can't be read.
        QString why = e.description();
        if (why == errorDescription(e.number()))
            why = QStringLiteral("it can't be read");
        else
            why[0] = why[0].toLower();
        FirmwareImage result;
        result.fail(0, why);
        return result;
    }
}

FirmwareImage FirmwareImage::Parse(const QByteArray& text)
{
    FirmwareImage result;
    std::vector<bool> written(LastAddress - FirstAddress + 1, false);
    QByteArray image;
    int dataRecords = 0;
    bool ended = false;

    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (ended) {
            result.fail(lineNo, QStringLiteral("there is more after the end record"));
            return result;
        }
        if (line.size() < 4 || line[0] != 'S' || line[1] < '0' || line[1] > '9') {
            result.fail(lineNo, QStringLiteral("it is not an S-record"));
            return result;
        }
        const int type = line[1] - '0';
        const int addrLen = addressBytes(type);
        if (addrLen == 0) {
            result.fail(lineNo, QStringLiteral("S%1 is not a record type").arg(type));
            return result;
        }
        if ((line.size() - 2) % 2 != 0) {
            result.fail(lineNo, QStringLiteral("it has an odd number of digits"));
            return result;
        }
        QByteArray bytes;
        for (int p = 2; p < line.size(); p += 2) {
            const int hi = hexDigit(line[p]);
            const int lo = hexDigit(line[p + 1]);
            if (hi < 0 || lo < 0) {
                result.fail(lineNo, QStringLiteral("it holds a character that is not a hex digit"));
                return result;
            }
            bytes.append(char(hi * 16 + lo));
        }
        const int count = quint8(bytes[0]);
        if (count != bytes.size() - 1) {
            result.fail(lineNo, QStringLiteral("its byte count is %1 but it holds %2 bytes")
                                    .arg(count).arg(bytes.size() - 1));
            return result;
        }
        if (count < addrLen + 1) {
            result.fail(lineNo, QStringLiteral("it is too short for its address"));
            return result;
        }
        unsigned sum = 0;
        for (int p = 0; p < bytes.size() - 1; ++p)
            sum += quint8(bytes[p]);
        if (quint8(~sum & 0xFF) != quint8(bytes.back())) {
            result.fail(lineNo, QStringLiteral("its checksum is wrong"));
            return result;
        }
        quint32 address = 0;
        for (int p = 1; p <= addrLen; ++p)
            address = address * 256 + quint8(bytes[p]);
        const QByteArray data = bytes.mid(1 + addrLen, count - addrLen - 1);

        switch (type) {
        case 0:
            result.mHeader = data;
            break;
        case 1: case 2: case 3: {
            // In 64 bits: an S3 address near the top must not wrap round into the area.
            if (address < FirstAddress || quint64(address) + quint64(data.size()) > quint64(LastAddress) + 1) {
                result.fail(lineNo, QStringLiteral("its data lies outside 8000..BFFF"));
                return result;
            }
            const int offset = int(address - FirstAddress);
            if (image.size() < offset + data.size())
                image.resize(offset + data.size(), '\0');
            for (int p = 0; p < data.size(); ++p) {
                if (written[offset + p]) {
                    result.fail(lineNo, QStringLiteral("it overwrites data of an earlier record"));
                    return result;
                }
                written[offset + p] = true;
                image[offset + p] = data[p];
            }
            ++dataRecords;
            break;
        }
        case 5: case 6: {
            // The count of data records, in as many bytes as its address field has.
            const quint32 mask = type == 5 ? 0xFFFF : 0xFFFFFF;
            if (address != (quint32(dataRecords) & mask)) {
                result.fail(lineNo, QStringLiteral("it counts %1 data records but there are %2")
                                        .arg(address).arg(dataRecords));
                return result;
            }
            break;
        }
        default:  // 7, 8, 9: the end record
            if (address < FirstAddress || address > LastAddress) {
                result.fail(lineNo, QStringLiteral("its entry lies outside 8000..BFFF"));
                return result;
            }
            result.mEntry = address;
            ended = true;
            break;
        }
    }
    // Data records without a byte of data are no firmware either.
    if (dataRecords == 0 || image.isEmpty()) {
        result.fail(0, QStringLiteral("it holds no firmware data"));
        return result;
    }
    if (!ended) {
        result.fail(0, QStringLiteral("it has no end record"));
        return result;
    }
    result.mImage = image;
    return result;
}

quint16 FirmwareImage::checksum() const
{
    const int n = qMin(int(mImage.size()), ChecksumSpan);
    quint32 sum = 0;
    for (int i = 0; i < n; ++i)
        sum += quint8(mImage[i]);
    return quint16(sum & 0xFFFF);
}

QString FirmwareImage::describeFault(const QString& fileName) const
{
    if (isValid())
        return QString();
    if (mBadLine > 0)
        return QStringLiteral("The firmware file %1 is damaged at line %2: %3. Nothing was sent to the RCX.")
            .arg(fileName).arg(mBadLine).arg(mError);
    return QStringLiteral("The firmware file %1 can't be used: %2. Nothing was sent to the RCX.")
        .arg(fileName, mError);
}
