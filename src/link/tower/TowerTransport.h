#pragma once
// The infrared tower on a device node: a serial tower on a serial line (2400
// baud, 8 data bits, odd parity, 1 stop bit, raw; it echoes what the PC
// sends) or the USB tower's own node (no echo; the first bytes of a reply may
// be lost). Whether the tower echoes is learnt from what comes back, whatever
// the device's path: a tower's echo is the packet itself, and a reply differs
// from the packet by its fourth byte at the latest (its opcode is the
// request's complement; a header that lost bytes starts with FF or 00).
//
// It adds to the byte protocol only the device, the timing and the retries:
// four tries a request, the toggle twin whenever an opcode goes out twice in a
// row, a reply timeout adapted between 50 and 500 ms on top of the bytes' time
// on the wire, and about 30 ms of quiet before the next request. A late copy
// of the previous answer (its opcode the complement of the previous packet's,
// the other toggle) is never taken for the answer: it is passed over and the
// real one awaited. A device that
// goes away (unplugged) closes the tower; a later exchange opens it again, and
// fails at once while the device is not there.
#include "link/protocol/RcxTransport.h"

#include <QString>

#include <functional>

struct pollfd;

class TowerTransport : public IRcxTransport {
public:
    // Milliseconds of a steady clock; a pause; and the wait for the device to
    // have bytes to read (poll() on one descriptor: > 0 ready, 0 time out,
    // < 0 failed). The real ones where none is given.
    using Clock = std::function<qint64()>;
    using Pause = std::function<void(int ms)>;
    using Wait = std::function<int(pollfd* device, int ms)>;
    struct Timing {
        Clock clock;
        Pause pause;
        Wait wait;
    };
    // Told true when an exchange needs a second try (the brick is slow to
    // answer or does not), false when that exchange has ended.
    using Busy = std::function<void(bool busy)>;

    enum class Echo { Unknown, Yes, No };

    explicit TowerTransport(QString path, Timing timing = {});
    // The real clock: milliseconds of the steady clock.
    static qint64 steadyMs();
    ~TowerTransport() override;

    // The USB tower by its device node's name, found under /dev/usb; empty when none.
    static QString findUsbTower(const QString& folder = QStringLiteral("/dev/usb"));

    const QString& path() const { return mPath; }
    bool isOpen() const { return mFd >= 0; }
    // A serial line (a terminal), as opposed to a tower's own device node.
    bool isSerialLine() const { return mSerialLine; }
    // What the tower has shown of its echo since the device was opened.
    Echo echo() const { return mEcho; }
    int tries() const { return mTries; }
    void setBusy(Busy busy) { mBusy = std::move(busy); }

    bool open() override;
    bool wake() override;
    // A tower's own node is a tower plugged in; a serial line has a tower
    // behind it when it echoed, or else when a brick answers one short try.
    bool probe() override;
    void close() override;
    std::optional<QByteArray> exchange(const QByteArray& request) override;
    qint64 bytesSent() const override { return mBytesSent; }

    static constexpr int Tries = 4;
    static constexpr int MinTimeoutMs = 50;
    static constexpr int MaxTimeoutMs = 500;
    static constexpr int QuietMs = 30;
    // The reply timeout of the probe's one try.
    static constexpr int ProbeTimeoutMs = 150;

private:
    struct Try {
        bool failed = false;  // the device failed (it is closed)
        std::optional<QByteArray> reply;
    };
    // One try of a request with the reply timeout given.
    Try attempt(const QByteArray& request, int timeoutMs);
    bool writeAll(const QByteArray& bytes);
    // Reads what arrives before the deadline into buffer; false when the device failed.
    bool readUntil(QByteArray& buffer, qint64 deadline, const std::function<bool()>& enough);

    QString mPath;
    Clock mClock;
    Pause mPause;
    Wait mWait;
    Busy mBusy;
    int mFd = -1;
    bool mSerialLine = false;
    Echo mEcho = Echo::Unknown;
    int mLastOp = -1;
    int mTimeoutMs = 150;
    int mTries = 0;
    qint64 mLastReplyAt = -1000;
    qint64 mBytesSent = 0;
};
