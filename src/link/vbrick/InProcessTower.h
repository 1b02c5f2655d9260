#pragma once
// The software brick reached without a device: each request is framed and
// counted as the serial tower would carry it, then handed to the brick.
#include "link/protocol/RcxPacket.h"
#include "link/protocol/RcxTransport.h"
#include "link/vbrick/SoftRcx.h"

#include <functional>

namespace vbrick {

class InProcessTower : public IRcxTransport {
public:
    explicit InProcessTower(SoftRcx& brick) : mBrick(brick) {}

    // Waits a quarter of each request's time on a tower's wire, when set.
    using Waiter = std::function<void(int ms)>;
    void setPace(Waiter wait) { mWait = std::move(wait); }

    bool open() override { return true; }
    bool wake() override { return true; }
    void close() override {}
    std::optional<QByteArray> exchange(const QByteArray& request) override
    {
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
    SoftRcx& mBrick;
    Waiter mWait;
    qint64 mBytesSent = 0;
    qint64 mBytesReceived = 0;
};

}  // namespace vbrick
