#include "link/vbrick/PtyResponder.h"

#include "link/protocol/RcxPacket.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace vbrick {

PtyResponder::PtyResponder()
{
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    if (openpty(&mMaster, &mSlave, name, &tio, nullptr) != 0) {
        mMaster = mSlave = -1;
        return;
    }
    mSlavePath = QString::fromLocal8Bit(name);
    mThread = std::thread([this] { serve(); });
}

PtyResponder::~PtyResponder()
{
    mStop = true;
    if (mThread.joinable())
        mThread.join();
    unplug();
}

void PtyResponder::unplug()
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (mMaster >= 0)
        ::close(mMaster);
    if (mSlave >= 0)
        ::close(mSlave);
    mMaster = mSlave = -1;
}

void PtyResponder::serve()
{
    QByteArray pending;
    char chunk[512];
    while (!mStop) {
        int fd;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            fd = mMaster;
        }
        if (fd < 0)
            return;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN))
            continue;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0)
            continue;
        mReceived += n;
        const QByteArray in(chunk, int(n));
        // The serial tower echoes.
        if (mEchoing)
            (void)!::write(fd, in.constData(), size_t(in.size()));
        pending += in;
        while (auto request = rcx::nextRequest(pending)) {
            pending.remove(0, request->end);
            ++mRequests;
            std::optional<QByteArray> reply;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                mOpcodes.append(std::uint8_t(request->data[0]));
                if (!mSilent)
                    reply = mBrick.handle(request->data);
            }
            if (reply) {
                const QByteArray out = rcx::frame(*reply);
                (void)!::write(fd, out.constData(), size_t(out.size()));
            }
        }
        // What can't start a packet any more is dropped.
        if (pending.size() > 4096)
            pending.clear();
    }
}

}  // namespace vbrick
