#pragma once
// Files that tests make for the code under test to find.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdint>

#include <gtest/gtest.h>

// Writes the bytes as the file's whole content, making its folder first; the
// test fails when the file can't be written.
inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}

// An S-record file of the image at 8000.
inline QByteArray sRecords(const QByteArray& image)
{
    auto record = [](const char* type, int address, const QByteArray& data) {
        QByteArray bytes;
        bytes.append(char(data.size() + 3));
        bytes.append(char(address >> 8));
        bytes.append(char(address & 0xFF));
        bytes.append(data);
        int sum = 0;
        for (char c : bytes)
            sum += std::uint8_t(c);
        bytes.append(char(~sum & 0xFF));
        return QByteArray(type) + bytes.toHex().toUpper() + "\r\n";
    };
    QByteArray text = record("S0", 0, "fw");
    for (int at = 0; at < image.size(); at += 16)
        text += record("S1", 0x8000 + at, image.mid(at, 16));
    return text + record("S9", 0x8000, {});
}
