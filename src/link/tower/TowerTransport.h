#pragma once
// The infrared tower on a device node: a serial tower (2400 baud, 8 data
// bits, odd parity, 1 stop bit, raw; it echoes what the PC sends) or the USB
// tower (no echo; the first bytes of a reply may be lost). It adds to the
// byte protocol only the device, the timing and the retries: four tries a
// request, the toggle twin whenever an opcode goes out twice in a row, a
// reply timeout adapted between 50 and 500 ms on top of the bytes' time on
// the wire, and about 30 ms of quiet before the next request. A device that
// goes away (unplugged) closes the tower; a later exchange opens it again,
// and fails at once while the device is not there.
#include "link/protocol/RcxTransport.h"

#include <QString>

#include <functional>

class TowerTransport : public IRcxTransport {
public:
    enum class Kind { Serial, Usb };

    // Milliseconds of a steady clock and a pause; the real ones when none.
    using Clock = std::function<qint64()>;
    using Pause = std::function<void(int ms)>;

    TowerTransport(QString path, Kind kind, Clock clock = {}, Pause pause = {});
    // The real clock: milliseconds of the steady clock.
    static qint64 steadyMs();
    ~TowerTransport() override;

    // The USB tower by its device node's name, found under /dev/usb; empty when none.
    static QString findUsbTower(const QString& folder = QStringLiteral("/dev/usb"));
    // The kind of a device path: a node under /dev/usb is the USB tower.
    static Kind kindOf(const QString& path);

    const QString& path() const { return mPath; }
    bool isOpen() const { return mFd >= 0; }
    int replyTimeoutMs() const { return mTimeoutMs; }
    int tries() const { return mTries; }

    bool open() override;
    bool wake() override;
    void close() override;
    std::optional<QByteArray> exchange(const QByteArray& request) override;
    qint64 bytesSent() const override { return mBytesSent; }

    static constexpr int Tries = 4;
    static constexpr int MinTimeoutMs = 50;
    static constexpr int MaxTimeoutMs = 500;
    static constexpr int QuietMs = 30;

private:
    bool writeAll(const QByteArray& bytes);
    // Reads what arrives before the deadline into buffer; false when the device failed.
    bool readUntil(QByteArray& buffer, qint64 deadline, const std::function<bool()>& enough);

    QString mPath;
    Kind mKind;
    Clock mClock;
    Pause mPause;
    int mFd = -1;
    int mLastOp = -1;
    int mTimeoutMs = 150;
    int mTries = 0;
    qint64 mLastReplyAt = -1000;
    qint64 mBytesSent = 0;
};
