#pragma once
// The software brick reached without a device: each request is framed and
// counted as the serial tower would carry it, then handed to the brick. With
// a clock, the brick's time is caught up to it before everything the tower
// is asked to do.
#include "link/protocol/RcxPacket.h"
#include "link/protocol/RcxTransport.h"
#include "link/vbrick/SoftRcx.h"

#include <functional>

namespace vbrick {

class InProcessTower : public IRcxTransport {
public:
    // Milliseconds of a steady clock.
    using Clock = std::function<qint64()>;
    explicit InProcessTower(SoftRcx& brick, Clock clock = {}) : mBrick(brick), mClock(std::move(clock))
    {
        if (mClock)
            mTime = mClock();
    }

    // Waits a quarter of each request's time on a tower's wire, when set.
    using Waiter = std::function<void(int ms)>;
    void setPace(Waiter wait) { mWait = std::move(wait); }

    bool open() override { return catchUp(); }
    bool wake() override { return catchUp(); }
    void close() override {}
    std::optional<QByteArray> exchange(const QByteArray& request) override
    {
        catchUp();
        const qint64 framed = rcx::framedSize(request.size());
        mBytesSent += framed;
        if (mWait)
            mWait(int(rcx::wireMs(framed) / 4));
        const auto reply = mBrick.handle(request);
        if (!reply)
            return rcx::replyLength(request) < 0 ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        mBytesReceived += rcx::framedSize(reply->size());
        return reply->mid(1);
    }
    qint64 bytesSent() const override { return mBytesSent; }
    qint64 bytesReceived() const { return mBytesReceived; }

private:
    // Runs the brick's programs, timers and watch up to the clock's time.
    bool catchUp()
    {
        if (mClock) {
            const qint64 now = mClock();
            if (now > mTime)
                mBrick.advance(now - mTime);
            mTime = now;
        }
        return true;
    }

    SoftRcx& mBrick;
    Clock mClock;
    qint64 mTime = 0;
    Waiter mWait;
    qint64 mBytesSent = 0;
    qint64 mBytesReceived = 0;
};

}  // namespace vbrick
