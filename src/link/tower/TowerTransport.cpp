#include "link/tower/TowerTransport.h"

#include "link/protocol/RcxPacket.h"

#include <QDir>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

TowerTransport::TowerTransport(QString path, Kind kind, Clock clock, Pause pause)
    : mPath(std::move(path)), mKind(kind), mClock(std::move(clock)), mPause(std::move(pause))
{
    if (!mClock)
        mClock = &TowerTransport::steadyMs;
    if (!mPause)
        mPause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

qint64 TowerTransport::steadyMs()
{
    using namespace std::chrono;
    return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TowerTransport::~TowerTransport()
{
    close();
}

QString TowerTransport::findUsbTower(const QString& folder)
{
    const QStringList names = QDir(folder).entryList(QDir::System | QDir::Files, QDir::Name);
    for (const QString& name : names)
        if (name.endsWith(QLatin1String("usbtower0")))
            return folder + QLatin1Char('/') + name;
    return {};
}

TowerTransport::Kind TowerTransport::kindOf(const QString& path)
{
    return path.startsWith(QLatin1String("/dev/usb/")) ? Kind::Usb : Kind::Serial;
}

bool TowerTransport::open()
{
    if (mFd >= 0)
        return true;
    if (mPath.isEmpty())
        return false;
    const int fd = ::open(mPath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    if (mKind == Kind::Serial) {
        termios tio{};
        if (tcgetattr(fd, &tio) != 0) {
            ::close(fd);
            return false;
        }
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD | PARENB | PARODD;
        tio.c_cflag &= ~(CSTOPB | CSIZE);
        tio.c_cflag |= CS8;
        cfsetispeed(&tio, B2400);
        cfsetospeed(&tio, B2400);
        tcsetattr(fd, TCSANOW, &tio);
        tcflush(fd, TCIOFLUSH);
    }
    mFd = fd;
    mLastOp = -1;
    return true;
}

void TowerTransport::close()
{
    if (mFd >= 0)
        ::close(mFd);
    mFd = -1;
}

bool TowerTransport::writeAll(const QByteArray& bytes)
{
    qsizetype done = 0;
    const qint64 deadline = mClock() + rcx::wireMs(bytes.size()) + MaxTimeoutMs;
    while (done < bytes.size()) {
        const ssize_t n = ::write(mFd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (mClock() > deadline)
            return false;
        pollfd p{mFd, POLLOUT, 0};
        ::poll(&p, 1, 10);
    }
    mBytesSent += bytes.size();
    if (mKind == Kind::Serial)
        tcdrain(mFd);
    return true;
}

bool TowerTransport::readUntil(QByteArray& buffer, qint64 deadline, const std::function<bool()>& enough)
{
    char chunk[512];
    while (!enough()) {
        const qint64 left = deadline - mClock();
        if (left <= 0)
            return true;
        pollfd p{mFd, POLLIN, 0};
        const int r = ::poll(&p, 1, int(qMin<qint64>(left, 50)));
        if (r < 0 && errno != EINTR)
            return false;
        if (r <= 0)
            continue;
        if (p.revents & (POLLERR | POLLNVAL))
            return false;
        const ssize_t n = ::read(mFd, chunk, sizeof chunk);
        if (n > 0)
            buffer.append(chunk, n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != ETIMEDOUT)
            return false;
        else if (n == 0 && (p.revents & POLLHUP))
            return false;
    }
    return true;
}

bool TowerTransport::wake()
{
    if (!open())
        return false;
    // The serial tower powers up when it sends; a single FF does it.
    if (mKind == Kind::Serial) {
        if (!writeAll(QByteArray(1, char(0xFF)))) {
            close();
            return false;
        }
        QByteArray echo;
        if (!readUntil(echo, mClock() + MinTimeoutMs, [&] { return !echo.isEmpty(); })) {
            close();
            return false;
        }
    }
    return true;
}

std::optional<QByteArray> TowerTransport::exchange(const QByteArray& request)
{
    // A tower plugged in again is opened again.
    if (request.isEmpty() || !open())
        return std::nullopt;
    const int replyBytes = rcx::replyLength(request);
    for (mTries = 1; mTries <= Tries; ++mTries) {
        // The brick needs a moment of quiet after its last reply.
        const qint64 quiet = mLastReplyAt + QuietMs - mClock();
        if (quiet > 0)
            mPause(int(quiet));
        QByteArray data = request;
        const std::uint8_t op = std::uint8_t(request[0]);
        data[0] = char(int(op) == mLastOp ? rcx::twin(op) : op);
        mLastOp = std::uint8_t(data[0]);
        const QByteArray packet = rcx::frame(data);
        tcflush(mFd, TCIFLUSH);
        if (!writeAll(packet)) {
            close();
            return std::nullopt;
        }
        if (replyBytes < 0)
            return QByteArray();
        const qint64 started = mClock();
        const qint64 deadline = started + rcx::wireMs(rcx::framedSize(replyBytes + 1)) + mTimeoutMs +
                                (mKind == Kind::Serial ? rcx::wireMs(packet.size()) : 0);
        QByteArray buffer;
        std::optional<rcx::Unframed> reply;
        // The serial tower's echo comes first; passing it over keeps a reply
        // that looks like the request from matching inside it.
        const int skip = mKind == Kind::Serial ? int(packet.size()) : 0;
        const bool alive = readUntil(buffer, deadline, [&] {
            if (buffer.size() <= skip && skip > 0)
                return false;
            const int from = buffer.startsWith(packet) ? skip : 0;
            reply = rcx::unframe(buffer, replyBytes + 1, op, from);
            return reply.has_value();
        });
        if (!alive) {
            close();
            return std::nullopt;
        }
        if (reply) {
            mLastReplyAt = mClock();
            const int took = int(mLastReplyAt - started);
            mTimeoutMs = qBound(MinTimeoutMs, took * 2, MaxTimeoutMs);
            return reply->data.mid(1);
        }
        mTimeoutMs = qMin(MaxTimeoutMs, mTimeoutMs * 2);
    }
    mTries = Tries;
    return std::nullopt;
}
