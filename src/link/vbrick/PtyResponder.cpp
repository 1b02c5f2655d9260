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

void PtyResponder::setClock(std::function<qint64()> clock)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mClock = std::move(clock);
}

void PtyResponder::doubleAnswer(std::uint8_t op, int nth, int lateMs)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults.append({rcx::baseOp(op), nth, qMax(0, lateMs)});
}

void PtyResponder::garble(std::uint8_t op, int nth)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults.append({rcx::baseOp(op), nth, -1});
}

QList<PtyResponder::Fault> PtyResponder::faultsOf(std::uint8_t op)
{
    const std::uint8_t base = rcx::baseOp(op);
    const int nth = ++mCounts[base];
    QList<Fault> faults;
    for (const Fault& f : mFaults)
        if (f.op == base && f.nth == nth)
            faults.append(f);
    return faults;
}

qint64 PtyResponder::clockNow()
{
    return mClock ? mClock() : 0;
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
            QByteArray out;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                const std::uint8_t op = std::uint8_t(request->data[0]);
                mOpcodes.append(op);
                const qint64 now = clockNow();
                // A copy still on its way comes behind this request's echo,
                // unless it was due before the request came.
                if (mCopy && mCopy->dueAt >= now)
                    out += mCopy->packet;
                mCopy.reset();
                QByteArray data = request->data;
                int lateMs = -1;
                for (const Fault& f : faultsOf(op)) {
                    if (f.lateMs < 0)
                        data.back() = char(~std::uint8_t(data.back()));
                    else
                        lateMs = f.lateMs;
                }
                if (!mSilent) {
                    if (const auto reply = mBrick.handle(data)) {
                        out += rcx::frame(*reply);
                        if (lateMs >= 0)
                            mCopy = Copy{rcx::frame(*reply), now + lateMs};
                    }
                }
            }
            if (!out.isEmpty())
                (void)!::write(fd, out.constData(), size_t(out.size()));
        }
        // What can't start a packet any more is dropped.
        if (pending.size() > 4096)
            pending.clear();
    }
}

}  // namespace vbrick
