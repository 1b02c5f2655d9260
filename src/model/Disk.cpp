#include "model/Disk.h"

#include "model/AppState.h"
#include "model/VbError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int DeviceIoError = 57;
constexpr int FileAlreadyExists = 58;
constexpr qint64 kMegabyte = 1024 * 1024;

CommitFault& commitFault()
{
    static CommitFault fault;
    return fault;
}

QByteArray nameOf(const QString& path) { return QFile::encodeName(path); }

QString lastPart(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// Closes a descriptor as it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// ---- Inside the data folder ----

// The data folder without a "/" at its end; empty when there is none.
QString dataRoot()
{
    QString folder = App().DataFolder;
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString realPathOf(const QString& path)
{
    char* real = ::realpath(nameOf(path).constData(), nullptr);
    if (!real)
        return QString();
    const QString resolved = QFile::decodeName(real);
    std::free(real);
    return resolved;
}

bool liesIn(const QString& realPath, const QString& realRoot)
{
    if (realRoot.isEmpty())
        return false;
    if (realPath == realRoot)
        return true;
    return realPath.startsWith(realRoot) &&
           (realRoot.endsWith(QLatin1Char('/')) || realPath.at(realRoot.size()) == QLatin1Char('/'));
}

// Why a path written below the data folder does not lie inside it: a link on
// its way that leads out ("Leads outside the data folder (to /x)") or to
// nothing ("A link that leads to nothing (to /x)"). Empty for a path that
// does (or is not written below it). Each part below the data folder is
// looked at once; only when one is a link is the path resolved.
QString outsideReason(const QString& path)
{
    const QString root = dataRoot();
    if (root.isEmpty() || !path.startsWith(root + QLatin1Char('/')))
        return QString();
    const QStringList parts = path.mid(root.size() + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString at = root;
    QString existing = root;  // the deepest part that is there
    bool link = false;
    bool lastIsLink = false;
    for (const QString& part : parts) {
        if (part == QLatin1String("..")) {  // a path that climbs is resolved whole
            link = true;
        }
        at += QLatin1Char('/') + part;
        struct stat st {};
        if (::lstat(nameOf(at).constData(), &st) != 0)
            break;
        existing = at;
        lastIsLink = S_ISLNK(st.st_mode);
        link = link || lastIsLink;
    }
    if (!link)
        return QString();
    const QString real = realPathOf(existing);
    if (real.isEmpty() || (lastIsLink && !QFileInfo::exists(existing)))
        return QStringLiteral("A link that leads to nothing (to %1)").arg(QFileInfo(existing).symLinkTarget());
    if (!liesIn(real, realPathOf(root)))
        return QStringLiteral("Leads outside the data folder (to %1)").arg(real);
    return QString();
}

// What the innermost disk::FolderChecks alive has found of folders.
disk::FolderChecks*& folderChecks()
{
    static disk::FolderChecks* current = nullptr;
    return current;
}

// outsideReason of a folder, looked at once while a FolderChecks lives.
QString folderOutsideReason(const QString& folder)
{
    disk::FolderChecks* checks = folderChecks();
    if (!checks)
        return outsideReason(folder);
    const auto it = checks->outside.constFind(folder);
    if (it != checks->outside.constEnd())
        return it.value();
    const QString reason = outsideReason(folder);
    checks->outside.insert(folder, reason);
    return reason;
}

// outsideReason of a file whose own entry has been looked at (`link` when it
// is one): its folder's, then, for a link, where the link leads.
QString fileOutsideReason(const QString& path, bool link)
{
    const QString root = dataRoot();
    if (root.isEmpty() || !path.startsWith(root + QLatin1Char('/')))
        return QString();
    const QString folder = folderOf(path);
    const QString reason = folder == root ? QString() : folderOutsideReason(folder);
    if (!reason.isEmpty() || !link)
        return reason;
    const QString real = realPathOf(path);
    if (real.isEmpty() || !QFileInfo::exists(path))
        return QStringLiteral("A link that leads to nothing (to %1)").arg(QFileInfo(path).symLinkTarget());
    if (!liesIn(real, realPathOf(root)))
        return QStringLiteral("Leads outside the data folder (to %1)").arg(real);
    return QString();
}

// ---- Reading ----

QString kindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Project: return QStringLiteral("project file");
    case FileKind::Task: return QStringLiteral("task file");
    case FileKind::Sub: return QStringLiteral("sub file");
    case FileKind::Firmware: return QStringLiteral("firmware file");
    case FileKind::DatalogList: return QStringLiteral("datalog list");
    case FileKind::Lock: return QStringLiteral("lock file");
    case FileKind::Settings: return QStringLiteral("settings file");
    }
    return QStringLiteral("file");
}

QString tooLargeText(FileKind kind)
{
    return QStringLiteral("Too large for a %1 (over %2)")
        .arg(kindName(kind),
             LargestFile(kind) >= kMegabyte ? QStringLiteral("%1 MB").arg(LargestFile(kind) / kMegabyte)
                                            : QStringLiteral("%1 bytes").arg(LargestFile(kind)));
}

// Why a path could not be looked at or opened, asked of the file system only
// then: nearly every open succeeds.
[[noreturn]] void raiseOpenFailure(const QString& path)
{
    struct stat st {};
    const QString folder = folderOf(path);
    if (::stat(nameOf(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        raiseError(Err::PathNotFound);
    if (::lstat(nameOf(path).constData(), &st) != 0)
        raiseError(Err::FileNotFound);
    raiseError(Err::PathFileAccess);
}

// A folder does not open as a file; a FIFO, a socket or a device is never
// read, nor a file larger than its kind allows.
void checkReadable(const struct stat& st, FileKind kind)
{
    if (S_ISDIR(st.st_mode))
        raiseError(Err::PathFileAccess);
    if (!S_ISREG(st.st_mode))
        raiseError(Err::PathFileAccess, QStringLiteral("Not a regular file"));
    if (st.st_size > LargestFile(kind))
        raiseError(Err::PathFileAccess, tooLargeText(kind));
}

// ---- Writing ----

// Writes every byte to the open file; 0, or the system's error number of
// the write that failed.
int writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        p += n;
        left -= qsizetype(n);
    }
    return 0;
}

// True when the regular file at path holds exactly these bytes. It is opened
// as the reader opens a file, without waiting and not through a link.
bool holdsBytes(const QString& path, const QByteArray& bytes)
{
    Descriptor d{::open(nameOf(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC)};
    if (d.fd < 0)
        return false;
    struct stat st {};
    if (::fstat(d.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != bytes.size())
        return false;
    // One byte more than expected is asked for: a file that grew since holds more.
    QByteArray data(bytes.size() + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < data.size()) {
        const ssize_t n = ::read(d.fd, data.data() + got, size_t(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += qsizetype(n);
    }
    return got == bytes.size() && std::memcmp(data.constData(), bytes.constData(), size_t(got)) == 0;
}

// The file a write goes to first: ".qm-" and six letters in the target's
// folder, made exclusively (never through a link), the target's permissions
// given to it when there is one.
struct PendingFile {
    QString path;
    int fd = -1;
    ~PendingFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!path.isEmpty())
            ::unlink(nameOf(path).constData());
    }
};

void makePending(PendingFile& pending, const QString& target, const struct stat* old)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QString folder = folderOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = QStringLiteral("/.qm-");
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
        const QString path = folder + name;
        const int fd = ::open(nameOf(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            pending.path = path;
            pending.fd = fd;
            if (old)
                ::fchmod(fd, old->st_mode & 07777);
            return;
        }
        if (errno != EEXIST)
            raiseFileError(Err::PathFileAccess, lastPart(target), systemErrorText(errno));
    }
    raiseFileError(Err::PathFileAccess, lastPart(target), systemErrorText(EEXIST));
}

// Moves the finished file to the target's name: over the regular file there,
// or, where none was, only while none is.
int moveInto(const QString& from, const QString& to, bool replace)
{
    const QByteArray source = nameOf(from);
    const QByteArray target = nameOf(to);
    if (replace)
        return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system that can't rename without replacing: a second name, made
    // only while none is there, then the first goes.
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    ::unlink(source.constData());
    return 0;
}

// Writes the bytes into a new file beside the target and moves it there:
// over the regular file there when `replace`, else only to a free name.
void writeWhole(const QString& path, const QByteArray& bytes, bool replace)
{
    const QString fileName = lastPart(path);
    struct stat old {};
    const bool had = ::lstat(nameOf(path).constData(), &old) == 0 && S_ISREG(old.st_mode);
    PendingFile pending;
    makePending(pending, path, had ? &old : nullptr);
    // The bytes go straight to the file, so that a write that fails tells the
    // system's reason (a full disk, a file-size limit). A device that takes
    // fewer bytes than it was given can still report success; the file's size
    // tells.
    int code = writeAll(pending.fd, bytes);
    struct stat st {};
    if (code == 0 && (::fstat(pending.fd, &st) != 0 || st.st_size != bytes.size()))
        code = EIO;
    if (code == 0 && commitFault())
        code = commitFault()(path);
    if (code == 0 && ::fdatasync(pending.fd) != 0)
        code = errno;
    const int fd = pending.fd;
    pending.fd = -1;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    if (code != 0)
        raiseFileError(DeviceIoError, fileName, systemErrorText(code));
    // What is at the target is looked at once more: what came there meanwhile
    // is not replaced unless it is a regular file.
    struct stat now {};
    const bool there = ::lstat(nameOf(path).constData(), &now) == 0;
    if (there && !S_ISREG(now.st_mode))
        raiseError(Err::PathFileAccess, QStringLiteral("Not a regular file: ") + fileName);
    if (there && !replace)
        raiseFileError(FileAlreadyExists, fileName);
    code = moveInto(pending.path, path, there);
    if (code == EEXIST && !replace)
        raiseFileError(FileAlreadyExists, fileName);
    if (code != 0)
        raiseFileError(DeviceIoError, fileName, systemErrorText(code));
    pending.path.clear();  // it is the target now
}

}  // namespace

// ---- Reading a file whole ----

qint64 LargestFile(FileKind kind)
{
    switch (kind) {
    // Six port lines, at most 9 tasks and 8 subs, and the named values: even
    // a few thousand constants and ranges stay well under 1 MB.
    case FileKind::Project: return 4 * kMegabyte;
    // A grid holds at most 80 commands, a record of well under 300 bytes each:
    // 80 blocks whose bodies are full make 6480 records, under 2 MB.
    case FileKind::Task:
    case FileKind::Sub: return 8 * kMegabyte;
    // A 16 KB image, even in S-records of one byte each, is under 250 KB.
    case FileKind::Firmware: return 1 * kMegabyte;
    // The brick's datalog holds at most 32767 entries, a line of the list each.
    case FileKind::DatalogList: return 16 * kMegabyte;
    // A process number, the program's and the computer's names and two ids.
    case FileKind::Lock: return 4096;
    // A few dozen preferences.
    case FileKind::Settings: return 1 * kMegabyte;
    }
    return kMegabyte;
}

QByteArray ReadWholeFile(const QString& path, FileKind kind)
{
    const QByteArray name = nameOf(path);
    // What the path leads to is looked at before it is opened (opening a FIFO
    // waits for a writer), and what was opened once more: the path may lead
    // elsewhere by then. Opened without waiting, a FIFO met then is refused too.
    struct stat st {};
    if (name.isEmpty() || ::lstat(name.constData(), &st) != 0)
        raiseOpenFailure(path);
    const bool link = S_ISLNK(st.st_mode);
    const QString outside = fileOutsideReason(path, link);
    if (!outside.isEmpty())
        raiseError(Err::PathFileAccess, outside);
    if (link && ::stat(name.constData(), &st) != 0)
        raiseOpenFailure(path);
    checkReadable(st, kind);
    Descriptor d{::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (link ? 0 : O_NOFOLLOW))};
    if (d.fd < 0) {
        if (errno == ELOOP)  // a link came in its place
            raiseError(Err::PathFileAccess, QStringLiteral("Not a regular file"));
        raiseOpenFailure(path);
    }
    if (::fstat(d.fd, &st) != 0)
        raiseError(Err::PathFileAccess);
    checkReadable(st, kind);

    // The bytes the file's size promises and one more in the first read, then
    // whatever it has beyond them (a file that grew, or one whose size is not
    // known), never more than one byte over the kind's largest size.
    const qint64 largest = LargestFile(kind);
    QByteArray data(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == data.size()) {
            if (got > largest)
                raiseError(Err::PathFileAccess, tooLargeText(kind));
            data.resize(qsizetype(std::min<qint64>(largest + 1, std::max<qint64>(2 * qint64(got), 4096))));
        }
        const ssize_t n = ::read(d.fd, data.data() + got, size_t(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            raiseError(DeviceIoError);
        if (n == 0)
            break;
        got += qsizetype(n);
    }
    data.resize(got);
    return data;
}

void CheckInDataFolder(const QString& path)
{
    const QString outside = outsideReason(path);
    if (!outside.isEmpty())
        raiseError(Err::PathFileAccess, outside);
}

namespace disk {

FolderChecks::FolderChecks() : mOuter(folderChecks()) { folderChecks() = this; }

FolderChecks::~FolderChecks() { folderChecks() = mOuter; }

Entry EntryAt(const QString& path)
{
    struct stat st {};
    if (::lstat(nameOf(path).constData(), &st) != 0)
        return Entry::None;
    if (S_ISLNK(st.st_mode))
        return Entry::Link;
    if (S_ISDIR(st.st_mode))
        return Entry::Folder;
    return S_ISREG(st.st_mode) ? Entry::File : Entry::Other;
}

QString EntryWords(const QString& path)
{
    struct stat st {};
    if (::lstat(nameOf(path).constData(), &st) != 0)
        return QStringLiteral("nothing");
    switch (st.st_mode & S_IFMT) {
    case S_IFREG: return QStringLiteral("a file");
    case S_IFDIR: return QStringLiteral("a folder");
    case S_IFLNK: return QStringLiteral("a link");
    case S_IFIFO: return QStringLiteral("a FIFO");
    case S_IFSOCK: return QStringLiteral("a socket");
    case S_IFCHR: return QStringLiteral("a character device");
    case S_IFBLK: return QStringLiteral("a block device");
    }
    return QStringLiteral("no file");
}

namespace {
disk::Stamp stampFrom(const struct stat& st)
{
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, quint64(st.st_ino),
            quint64(st.st_dev)};
}
}  // namespace

Stamp StampOf(const QString& path)
{
    struct stat st {};
    return ::stat(nameOf(path).constData(), &st) == 0 ? stampFrom(st) : Stamp{};
}

Stamp LinkStampOf(const QString& path)
{
    struct stat st {};
    return ::lstat(nameOf(path).constData(), &st) == 0 ? stampFrom(st) : Stamp{};
}

namespace {

// CheckWriteTarget's looks; `permission` also asks whether the file itself
// may be written (once is enough: the write replaces it whole).
void checkTarget(const QString& path, bool permission)
{
    const QString fileName = lastPart(path);
    const QString folder = folderOf(path);
    struct stat st {};
    FolderChecks* checks = folderChecks();
    if (!checks || !checks->writable.contains(folder)) {
        if (::stat(nameOf(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            const int code = ::stat(nameOf(folder).constData(), &st) != 0 ? errno : ENOTDIR;
            raiseFileError(Err::PathNotFound, lastPart(folder), systemErrorText(code));
        }
        const QString folderOutside = folderOutsideReason(folder);
        if (!folderOutside.isEmpty())
            raiseError(Err::PathFileAccess, folderOutside + QStringLiteral(": ") + lastPart(folder));
        if (::access(nameOf(folder).constData(), W_OK) != 0)
            raiseFileError(Err::PathFileAccess, fileName, systemErrorText(errno));
        if (checks)
            checks->writable.insert(folder);
    }
    if (::lstat(nameOf(path).constData(), &st) != 0) {
        if (errno != ENOENT)
            raiseFileError(Err::PathFileAccess, fileName, systemErrorText(errno));
        return;
    }
    if (S_ISLNK(st.st_mode)) {
        // Never written through; one that leads out or to nothing says so.
        const QString outside = fileOutsideReason(path, true);
        if (!outside.isEmpty())
            raiseError(Err::PathFileAccess, outside + QStringLiteral(": ") + fileName);
        if (!QFileInfo::exists(path))
            raiseError(Err::PathFileAccess, QStringLiteral("A link that leads to nothing (to %1): %2")
                                                .arg(QFileInfo(path).symLinkTarget(), fileName));
        raiseError(Err::PathFileAccess, QStringLiteral("Not a regular file: ") + fileName);
    }
    if (S_ISDIR(st.st_mode))
        raiseFileError(Err::PathFileAccess, fileName, systemErrorText(EISDIR));
    if (!S_ISREG(st.st_mode))
        raiseError(Err::PathFileAccess, QStringLiteral("Not a regular file: ") + fileName);
    if (permission && ::access(nameOf(path).constData(), W_OK) != 0)
        raiseFileError(Err::PathFileAccess, fileName, systemErrorText(errno));
}

}  // namespace

void CheckWriteTarget(const QString& path)
{
    FolderChecks* checks = folderChecks();
    if (checks && checks->targets.contains(path))
        return;
    checkTarget(path, true);
    if (checks)
        checks->targets.insert(path);
}

bool ReplaceFile(const QString& path, const QByteArray& bytes)
{
    // Looked at again as it is written: it may have changed since.
    checkTarget(path, false);
    // A file that holds these bytes already is left alone: its good copy is
    // never at risk and no write or sync is paid for it.
    if (holdsBytes(path, bytes))
        return false;
    writeWhole(path, bytes, true);
    return true;
}

void CreateFile(const QString& path, const QByteArray& bytes)
{
    checkTarget(path, true);
    if (EntryAt(path) != Entry::None)
        raiseFileError(FileAlreadyExists, lastPart(path));
    writeWhole(path, bytes, false);
}

QString ForeignFileRefusal(const QString& path, FileKind kind)
{
    const QString fileName = lastPart(path);
    const QString folder = folderOf(path);
    struct stat st {};
    if (::stat(nameOf(folder).constData(), &st) == 0 && !S_ISDIR(st.st_mode))
        return QStringLiteral("Not a folder: ") + folder;
    if (::lstat(nameOf(folder).constData(), &st) == 0 && S_ISLNK(st.st_mode) && !QFileInfo::exists(folder))
        return QStringLiteral("A link that leads to nothing: ") + folder;
    if (::lstat(nameOf(path).constData(), &st) != 0)
        return QString();
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("Not a regular file (%1): %2").arg(EntryWords(path), fileName);
    if (st.st_size > LargestFile(kind))
        return tooLargeText(kind) + QStringLiteral(": ") + fileName;
    return QString();
}

void MakeFolders(const QString& path)
{
    struct stat st {};
    if (path.isEmpty() || (::stat(nameOf(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)))
        return;
    const QString folder = folderOf(path);
    if (folder != path)
        MakeFolders(folder);
    const QString outside = outsideReason(folder);
    if (!outside.isEmpty())
        raiseError(Err::PathFileAccess, outside + QStringLiteral(": ") + lastPart(folder));
    if (::mkdir(nameOf(path).constData(), 0777) != 0 &&
        !(errno == EEXIST && ::stat(nameOf(path).constData(), &st) == 0 && S_ISDIR(st.st_mode))) {
        const int code = errno == EEXIST ? ENOTDIR : errno;
        raiseFileError(Err::PathNotFound, lastPart(path), systemErrorText(code));
    }
}

bool RemoveFile(const QString& path, const Stamp* only)
{
    struct stat st {};
    if (::lstat(nameOf(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (!outsideReason(folderOf(path)).isEmpty())
        return false;
    if (only && stampFrom(st) != *only)
        return false;
    return ::unlink(nameOf(path).constData()) == 0;
}

bool RemoveEmptyFolder(const QString& path)
{
    struct stat st {};
    if (::lstat(nameOf(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || !outsideReason(path).isEmpty())
        return false;
    return ::rmdir(nameOf(path).constData()) == 0;
}

bool CopyFile(const QString& from, const QString& to)
{
    try {
        CreateFile(to, ReadWholeFile(from, FileKind::DatalogList));
        return true;
    } catch (const VbError&) {
        return false;
    }
}

int CreateHeldFile(const QString& path, const QByteArray& bytes, int& error)
{
    error = 0;
    if (!outsideReason(folderOf(path)).isEmpty()) {
        error = EXDEV;
        return -1;
    }
    const int fd = ::open(nameOf(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // A file system that takes no advisory locks still takes the file.
    ::flock(fd, LOCK_EX | LOCK_NB);
    const int code = writeAll(fd, bytes);
    if (code != 0) {
        ::close(fd);
        ::unlink(nameOf(path).constData());
        error = code;
        return -1;
    }
    return fd;
}

bool HeldElsewhere(const QString& path)
{
    struct stat st {};
    if (::lstat(nameOf(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    Descriptor d{::open(nameOf(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC)};
    if (d.fd < 0 || ::fstat(d.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (::flock(d.fd, LOCK_EX | LOCK_NB) == 0) {
        ::flock(d.fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

void CloseHeldFile(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

}  // namespace disk

void SetCommitFault(CommitFault fault) { commitFault() = std::move(fault); }

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }
