#pragma once
// The software brick reached without a device: each request is framed and
// counted as the serial tower would carry it, then handed to the brick.
#include "link/protocol/RcxPacket.h"
#include "link/protocol/RcxTransport.h"
#include "link/vbrick/SoftRcx.h"

namespace vbrick {

class InProcessTower : public IRcxTransport {
public:
    explicit InProcessTower(SoftRcx& brick) : mBrick(brick) {}

    bool open() override { return true; }
    bool wake() override { return true; }
    void close() override {}
    std::optional<QByteArray> exchange(const QByteArray& request) override
    {
        mBytesSent += rcx::frame(request).size();
        const auto reply = mBrick.handle(request);
        if (!reply)
            return rcx::replyLength(request) < 0 ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        mBytesReceived += rcx::frame(*reply).size();
        return reply->mid(1);
    }
    qint64 bytesSent() const override { return mBytesSent; }
    qint64 bytesReceived() const { return mBytesReceived; }

private:
    SoftRcx& mBrick;
    qint64 mBytesSent = 0;
    qint64 mBytesReceived = 0;
};

}  // namespace vbrick
