#pragma once
// The software brick behind a serial tower that is a pseudo-terminal: a
// thread reads the master side, echoes every byte as the serial tower does,
// picks out whole requests and writes the brick's replies. The slave side's
// path is what a tower driver (ours or a peer's) opens. Without its echo it
// stands for a tower that has none (the USB tower reached through a serial
// line's name); without echo and replies, for a serial port with no tower.
#include "link/vbrick/SoftRcx.h"

#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <mutex>
#include <thread>

namespace vbrick {

class PtyResponder {
public:
    PtyResponder();
    ~PtyResponder();

    // False when no pseudo-terminal could be made.
    bool isOpen() const { return mMaster >= 0; }
    const QString& devicePath() const { return mSlavePath; }

    // The brick, under the responder's lock.
    template <typename F>
    auto withBrick(F f)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return f(mBrick);
    }
    // Bytes the peer sent (echo not counted) and requests answered.
    qint64 bytesReceived() const { return mReceived; }
    int requests() const { return mRequests; }
    // The opcodes of the requests in the order they came.
    QList<std::uint8_t> opcodes()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mOpcodes;
    }
    // Stops answering (as a brick out of range), echoing still.
    void setSilent(bool silent) { mSilent = silent; }
    // Stops echoing what it is sent (a tower without echo).
    void setEchoing(bool echoing) { mEchoing = echoing; }
    // Closes the pseudo-terminal at once, as a tower pulled out.
    void unplug();

    // Faults of the infrared, for the tests. Requests are counted by their
    // opcode (twin bit cleared) from 1, since the responder was made.
    //
    // The clock (milliseconds) the tower driver keeps: what a late copy is
    // timed by. The responder's thread reads it: it must outlive the responder.
    void setClock(std::function<qint64()> clock);
    // The answer to the nth request of an opcode comes twice, the copy lateMs
    // after the answer on the clock. When the next request comes after that,
    // the copy came before it, where a serial tower's driver drops what it
    // has not asked for; otherwise the copy comes behind that request's echo,
    // ahead of its answer. The copy comes whether the brick answers then or not.
    void doubleAnswer(std::uint8_t op, int nth, int lateMs);
    // The nth request of an opcode reaches the brick with its last byte
    // inverted: a block's checksum, which the brick refuses with 3.
    void garble(std::uint8_t op, int nth);

private:
    struct Fault {
        std::uint8_t op = 0;
        int nth = 0;
        int lateMs = -1;  // a copy of the answer; -1 for a garbled request
    };
    struct Copy {
        QByteArray packet;
        qint64 dueAt = 0;
    };
    void serve();
    // The faults of a request as it comes (under the lock); counts it.
    QList<Fault> faultsOf(std::uint8_t op);
    qint64 clockNow();

    SoftRcx mBrick;
    std::mutex mMutex;
    int mMaster = -1;
    int mSlave = -1;
    QString mSlavePath;
    std::atomic<bool> mStop{false};
    std::atomic<bool> mSilent{false};
    std::atomic<bool> mEchoing{true};
    std::atomic<qint64> mReceived{0};
    std::atomic<int> mRequests{0};
    QList<std::uint8_t> mOpcodes;
    std::function<qint64()> mClock;
    QList<Fault> mFaults;
    QHash<std::uint8_t, int> mCounts;
    std::optional<Copy> mCopy;
    std::thread mThread;
};

}  // namespace vbrick
