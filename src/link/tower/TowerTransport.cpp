#include "link/tower/TowerTransport.h"

#include "link/protocol/RcxPacket.h"
#include "link/protocol/RcxRequests.h"

#include <QDir>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

TowerTransport::TowerTransport(QString path, Timing timing)
    : mPath(std::move(path)), mClock(std::move(timing.clock)), mPause(std::move(timing.pause)),
      mWait(std::move(timing.wait))
{
    if (!mClock)
        mClock = &TowerTransport::steadyMs;
    if (!mPause)
        mPause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    if (!mWait)
        mWait = [](pollfd* device, int ms) { return ::poll(device, 1, ms); };
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

bool TowerTransport::open()
{
    if (mFd >= 0)
        return true;
    if (mPath.isEmpty())
        return false;
    // A tower is a character device: a serial line or a tower's own node. A
    // pipe, a file or a folder at a port's path is no tower, and is not opened.
    const QByteArray path = mPath.toLocal8Bit();
    struct stat node {};
    if (::stat(path.constData(), &node) != 0 || !S_ISCHR(node.st_mode))
        return false;
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    if (::fstat(fd, &node) != 0 || !S_ISCHR(node.st_mode)) {
        ::close(fd);
        return false;
    }
    // A serial line takes the serial tower's settings; a tower's own node (the
    // USB tower, under whatever name) has none to take.
    termios tio{};
    const bool serialLine = tcgetattr(fd, &tio) == 0;
    if (serialLine) {
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
    mSerialLine = serialLine;
    // A device opened again may have another tower behind it.
    mEcho = Echo::Unknown;
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
    if (mSerialLine)
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
        const int r = mWait(&p, int(left));
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
    // The serial tower powers up when it sends; a single FF does it, and its
    // echo shows the tower is there.
    if (mSerialLine) {
        tcflush(mFd, TCIFLUSH);
        if (!writeAll(QByteArray(1, char(0xFF)))) {
            close();
            return false;
        }
        QByteArray echo;
        if (!readUntil(echo, mClock() + MinTimeoutMs, [&] { return !echo.isEmpty(); })) {
            close();
            return false;
        }
        if (echo.startsWith(char(0xFF)))
            mEcho = Echo::Yes;
    }
    return true;
}

bool TowerTransport::probe()
{
    if (!open())
        return false;
    if (!mSerialLine || mEcho == Echo::Yes)
        return true;
    // Nothing echoed on the serial line: a tower without echo shows only by
    // its brick's answer, and one short try is all a port with nothing behind
    // it is given.
    const Try t = attempt(rcx::req::alive(), ProbeTimeoutMs);
    return !t.failed && (t.reply || mEcho == Echo::Yes);
}

TowerTransport::Try TowerTransport::attempt(const QByteArray& request, int timeoutMs)
{
    // The brick needs a moment of quiet after its last reply.
    const qint64 quiet = mLastReplyAt + QuietMs - mClock();
    if (quiet > 0)
        mPause(int(quiet));
    QByteArray data = request;
    const std::uint8_t op = std::uint8_t(request[0]);
    const int previousOp = mLastOp;
    const std::uint8_t sent = int(op) == mLastOp ? rcx::twin(op) : op;
    data[0] = char(sent);
    mLastOp = sent;
    const QByteArray packet = rcx::frame(data);
    if (mSerialLine)
        tcflush(mFd, TCIFLUSH);
    if (!writeAll(packet)) {
        close();
        return {true, std::nullopt};
    }
    const int replyBytes = rcx::replyLength(request);
    if (replyBytes < 0)
        return {false, QByteArray()};
    const qint64 started = mClock();
    // An echo, unless the tower is known to have none, takes the packet's time again.
    const qint64 deadline = started + rcx::wireMs(rcx::framedSize(replyBytes + 1)) + timeoutMs +
                            (mEcho == Echo::No ? 0 : rcx::wireMs(packet.size()));
    QByteArray buffer;
    std::optional<rcx::Unframed> reply;
    bool echoed = false;
    const bool alive = readUntil(buffer, deadline, [&] {
        // What has come so far is the packet's beginning: its echo, or the
        // header a reply shares with it. The whole packet is the echo, passed
        // over so that a reply looking like the request can't match inside it.
        const qsizetype common = qMin(buffer.size(), packet.size());
        if (QByteArrayView(buffer).first(common) == QByteArrayView(packet).first(common)) {
            if (buffer.size() < packet.size())
                return false;
            echoed = true;
            reply = rcx::unframe(buffer, replyBytes + 1, sent, int(packet.size()), previousOp);
        } else {
            reply = rcx::unframe(buffer, replyBytes + 1, sent, 0, previousOp);
        }
        return reply.has_value();
    });
    if (echoed)
        mEcho = Echo::Yes;
    else if (reply)
        mEcho = Echo::No;
    if (!alive) {
        close();
        return {true, std::nullopt};
    }
    if (!reply)
        return {};
    mLastReplyAt = mClock();
    const int took = int(mLastReplyAt - started);
    mTimeoutMs = qBound(MinTimeoutMs, took * 2, MaxTimeoutMs);
    return {false, reply->data.mid(1)};
}

std::optional<QByteArray> TowerTransport::exchange(const QByteArray& request)
{
    // A tower plugged in again is opened again.
    if (request.isEmpty() || !open())
        return std::nullopt;
    // A second try is a wait the user is told about, until the exchange ends.
    struct Notice {
        const Busy& busy;
        bool raised = false;
        void raise()
        {
            if (!raised && busy) {
                raised = true;
                busy(true);
            }
        }
        ~Notice()
        {
            if (raised)
                busy(false);
        }
    } notice{mBusy};
    for (mTries = 1; mTries <= Tries; ++mTries) {
        if (mTries > 1)
            notice.raise();
        Try t = attempt(request, mTimeoutMs);
        if (t.failed)
            return std::nullopt;
        if (t.reply)
            return std::move(t.reply);
        mTimeoutMs = qMin(MaxTimeoutMs, mTimeoutMs * 2);
    }
    mTries = Tries;
    return std::nullopt;
}
