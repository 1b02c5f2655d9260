#pragma once
// The software brick behind a serial tower that is a pseudo-terminal: a
// thread reads the master side, echoes every byte as the serial tower does,
// picks out whole requests and writes the brick's replies. The slave side's
// path is what a tower driver (ours or a peer's) opens. Without its echo it
// stands for a tower that has none (the USB tower reached through a serial
// line's name); without echo and replies, for a serial port with no tower.
#include "link/vbrick/SoftRcx.h"

#include <QList>
#include <QString>

#include <atomic>
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

private:
    void serve();

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
    std::thread mThread;
};

}  // namespace vbrick
