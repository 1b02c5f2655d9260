#pragma once
// A firmware file for the brick: Motorola S-records, one a line (CR LF), an
// S0 header, data records (S1 with 16-bit addresses; S2 and S3 are read too),
// an optional S5 count and an end record (S9, S8 or S7) giving the entry.
// Every record's checksum is the ones' complement of the low byte of the sum
// of its count, address and data bytes. The data must lie in the brick's
// firmware area 8000..BFFF; the image is the bytes from 8000 up to the last
// one written, gaps filled with 0.
//
// Reading stops at the first fault: the result then names the line (counted
// from 1) and what is wrong with it, so that nothing of a broken file is sent.
#include <QByteArray>
#include <QString>

class FirmwareImage {
public:
    static constexpr quint32 FirstAddress = 0x8000;
    static constexpr quint32 LastAddress = 0xBFFF;
    // Only this many bytes at the start count in the image checksum.
    static constexpr int ChecksumSpan = 0x4C00;

    // Reads and checks the file; a file that cannot be opened is a fault too.
    static FirmwareImage ReadFile(const QString& path);
    // Reads and checks the text of a firmware file.
    static FirmwareImage Parse(const QByteArray& text);

    bool isValid() const { return mError.isEmpty(); }
    // What is wrong, empty when the file is sound.
    const QString& error() const { return mError; }
    // The first bad line, counted from 1; 0 when the fault is the file's as a
    // whole (it cannot be read, holds no data or has no end record).
    int badLine() const { return mBadLine; }
    // A message for the user naming the file and its first bad line.
    QString describeFault(const QString& fileName) const;

    // The image, starting at FirstAddress.
    const QByteArray& image() const { return mImage; }
    // The entry address of the end record.
    quint32 entry() const { return mEntry; }
    // The sum of the image's bytes (of its first ChecksumSpan bytes) mod 65536.
    quint16 checksum() const;
    // The text of the S0 header record's data.
    const QByteArray& header() const { return mHeader; }

private:
    void fail(int line, const QString& what);

    QByteArray mImage;
    QByteArray mHeader;
    quint32 mEntry = 0;
    QString mError;
    int mBadLine = 0;
};
