#include "model/ProjectLock.h"

#include "model/AppState.h"
#include "model/Disk.h"
#include "model/Messages.h"
#include "model/ProjectFile.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <csignal>

#include <unistd.h>

namespace {

// The name of the lock file in a project's folder.
QString lockPath(const QString& projectFolder)
{
    return projectFolder + QStringLiteral("/.quillomat.lock");
}

// A lock file's few lines, read without waiting on what is no regular file;
// empty when it can't be read.
QByteArray lockFileContent(const QString& path)
{
    try {
        return ReadWholeFile(path, FileKind::Lock);
    } catch (const VbError&) {
        return QByteArray();
    }
}

// The name of the program a process runs, as its executable is called;
// empty when it can't be told.
QString programOf(qint64 pid)
{
    char buffer[4096];
    const QByteArray exe = "/proc/" + QByteArray::number(pid) + "/exe";
    const ssize_t n = ::readlink(exe.constData(), buffer, sizeof buffer - 1);
    if (n <= 0)
        return QString();  // another user's process: see commandOf
    QString path = QFile::decodeName(QByteArray(buffer, n));
    if (path.endsWith(QLatin1String(" (deleted)")))  // a program replaced while it runs
        path.chop(10);
    return QFileInfo(path).fileName();
}

// The name the system gives a process (its first 15 letters), readable
// for every process; empty when there is none.
QString commandOf(qint64 pid)
{
    try {
        return QString::fromUtf8(ReadWholeFile(QStringLiteral("/proc/%1/comm").arg(pid), FileKind::Lock).trimmed());
    } catch (const VbError&) {
        return QString();
    }
}

QString hostName() { return QSysInfo::machineHostName(); }

// What this copy writes into a lock file it makes, as every version of the
// program writes it: the process number, the program, the computer, the
// computer's id and the id of its start.
QByteArray ownContent()
{
    const qint64 pid = QCoreApplication::applicationPid();
    return QByteArray::number(pid) + '\n' + programOf(pid).toUtf8() + '\n' + hostName().toUtf8() + '\n' +
           QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
}

// A lock file's lines, read as they were written; `valid` when it names a
// process at all.
struct LockOwner {
    bool valid = false;
    qint64 pid = 0;
    QString program;
    QString host;
    QByteArray bootId;
};

LockOwner ownerIn(const QByteArray& content)
{
    const QList<QByteArray> lines = content.split('\n');
    LockOwner owner;
    bool ok = false;
    owner.pid = lines.value(0).trimmed().toLongLong(&ok);
    owner.program = QString::fromUtf8(lines.value(1).trimmed());
    owner.valid = ok && owner.pid > 0 && !owner.program.isEmpty();
    owner.host = QString::fromUtf8(lines.value(2).trimmed());
    owner.bootId = lines.value(4).trimmed();
    return owner;
}

bool processAlive(qint64 pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM); }

// True when the owner named is a copy of the program running on this
// computer now, other than this one.
bool livingCopy(const LockOwner& owner)
{
    if (owner.pid == QCoreApplication::applicationPid())
        return false;
    if (!owner.bootId.isEmpty() && owner.bootId != QSysInfo::bootUniqueId())
        return false;  // made before the computer last started
    if (!processAlive(owner.pid))
        return false;
    const QString running = programOf(owner.pid);
    if (!running.isEmpty())
        return running == owner.program;
    // A process whose program can't be read: its name as the system gives it.
    const QString command = commandOf(owner.pid);
    return command.isEmpty() || command == owner.program.left(15);
}

}  // namespace

// ---- The lock ----

ProjectFolderLock::~ProjectFolderLock()
{
    // The file at the lock's place is removed only when it is still the one
    // this copy made (never one another copy made meanwhile), not through a
    // link and not outside the data folder.
    if (held())
        disk::RemoveFile(mPath, &mStamp);
    disk::CloseHeldFile(mFd);
}

bool ProjectFolderLock::held() const
{
    if (mFd < 0 || mPath.isEmpty())
        return false;
    const disk::Stamp now = disk::LinkStampOf(mPath);
    return disk::EntryAt(mPath) == disk::Entry::File && now.inode == mStamp.inode && now.device == mStamp.device &&
           lockFileContent(mPath) == mContent;
}

LockAttempt TakeProjectLock(const QString& projectFolder)
{
    LockAttempt attempt;
    attempt.path = lockPath(projectFolder);
    const QString& path = attempt.path;
    const QByteArray content = ownContent();
    // A lock found stale goes and the lock is made again; another copy may
    // take it between the two, so that is tried a few times.
    for (int tries = 0; tries < 3; ++tries) {
        const disk::Entry entry = disk::EntryAt(path);
        if (entry == disk::Entry::None) {
            int error = 0;
            const int fd = disk::CreateHeldFile(path, content, error);
            if (fd < 0) {
                if (error == EEXIST)
                    continue;  // another copy made it just now: looked at again
                attempt.outcome = LockAttempt::NoLock;
                return attempt;
            }
            std::shared_ptr<ProjectFolderLock> lock(new ProjectFolderLock);
            lock->mPath = path;
            lock->mFd = fd;
            lock->mStamp = disk::LinkStampOf(path);
            lock->mContent = content;
            attempt.outcome = LockAttempt::Taken;
            attempt.lock = std::move(lock);
            return attempt;
        }
        if (entry != disk::Entry::File) {
            // A FIFO, a device, a folder, a link: never opened, read or removed.
            attempt.outcome = LockAttempt::Unusable;
            attempt.what = disk::EntryWords(path);
            return attempt;
        }
        const disk::Stamp found = disk::LinkStampOf(path);
        const QByteArray lines = lockFileContent(path);
        const LockOwner owner = ownerIn(lines);
        attempt.process = owner.pid;
        attempt.host = owner.host;
        const std::shared_ptr<ProjectFolderLock>& mine = App().ProjectLock;
        if (mine && mine->mFd >= 0 && mine->mPath != path && mine->mStamp.inode == found.inode &&
            mine->mStamp.device == found.device && lines == mine->mContent) {
            // The very file this copy made for the open project, its folder
            // renamed by hand meanwhile: the lock moves with it to this place.
            std::shared_ptr<ProjectFolderLock> lock(new ProjectFolderLock);
            lock->mPath = path;
            lock->mFd = mine->mFd;
            lock->mStamp = found;
            lock->mContent = mine->mContent;
            mine->mFd = -1;
            attempt.outcome = LockAttempt::Taken;
            attempt.lock = std::move(lock);
            return attempt;
        }
        if (disk::HeldElsewhere(path)) {  // an open lock on it: its copy is there
            attempt.outcome = LockAttempt::HeldByCopy;
            if (attempt.host.isEmpty())
                attempt.host = hostName();
            return attempt;
        }
        if (owner.valid && !owner.host.isEmpty() && owner.host != hostName()) {
            attempt.outcome = LockAttempt::OtherHost;
            return attempt;
        }
        if (owner.valid && livingCopy(owner)) {
            attempt.outcome = LockAttempt::HeldByCopy;
            return attempt;
        }
        // No living copy holds it: it goes (only the very file looked at).
        disk::RemoveFile(path, &found);
    }
    attempt.outcome = LockAttempt::NoLock;
    return attempt;
}

LockAttempt LockProjectFolder(const QString& projectFolder)
{
    const std::shared_ptr<ProjectFolderLock>& held = App().ProjectLock;
    if (held && held->fileName() == lockPath(projectFolder) && held->held()) {
        LockAttempt attempt;
        attempt.outcome = LockAttempt::Taken;
        attempt.lock = held;
        attempt.path = held->fileName();
        return attempt;
    }
    return TakeProjectLock(projectFolder);
}

QString ReadOnlyMessage(const LockAttempt& attempt, const QString& projectName)
{
    const QString readOnly = QStringLiteral("It is opened read-only: changes to it can't be saved here.");
    switch (attempt.outcome) {
    case LockAttempt::HeldByCopy:
        return QStringLiteral("The project %1 is open in another copy of the program (process %2 on %3). ")
                   .arg(projectName)
                   .arg(attempt.process)
                   .arg(attempt.host) +
               readOnly;
    case LockAttempt::OtherHost:
        return QStringLiteral("The project %1 is locked by a copy of the program on the computer %2 (process %3): "
                              "its folder may be shared with that computer. %4 If no copy of the program there has "
                              "it open, remove the lock file %5 and open the project again.")
            .arg(projectName, attempt.host)
            .arg(attempt.process)
            .arg(readOnly, attempt.path);
    case LockAttempt::Unusable:
        return QStringLiteral("The lock file %1 of the project %2 is %3, not a regular file: the project can't be "
                              "locked. %4 Remove %1 and open the project again.")
            .arg(attempt.path, projectName, attempt.what, readOnly);
    default: return QString();
    }
}

QString ReadOnlyReason(const LockAttempt& attempt)
{
    switch (attempt.outcome) {
    case LockAttempt::OtherHost:
        return QStringLiteral("a copy of the program on the computer %1 holds its lock (%2)")
            .arg(attempt.host, attempt.path);
    case LockAttempt::Unusable:
        return QStringLiteral("its lock file %1 is %2, not a regular file").arg(attempt.path, attempt.what);
    default: return QString();
    }
}

// ---- The files on disk ----

QHash<QString, AppState::FileStamp> ProjectFilesNow(const Collection<TaskPtr>& tasks, const Collection<SubPtr>& subs)
{
    QHash<QString, AppState::FileStamp> seen;
    try {
        const QString project = ProjectFilePath();
        seen.insert(project, disk::StampOf(project));
        for (const auto& e : tasks) {
            const QString task = TaskFilePath(e.item->Name);
            seen.insert(task, disk::StampOf(task));
        }
        for (const auto& e : subs) {
            const QString sub = SubFilePath(e.item->Name);
            seen.insert(sub, disk::StampOf(sub));
        }
    } catch (const VbError&) {  // a name that can't be a file's: there is no file of it to look at
    }
    return seen;
}

namespace {

// The name of the first project, task or sub file that is no longer as this
// copy last read or wrote it; empty when none is.
QString firstChangedFile()
{
    const QHash<QString, AppState::FileStamp>& seen = App().ProjectFilesSeen;
    for (auto it = seen.begin(); it != seen.end(); ++it)
        if (disk::StampOf(it.key()) != it.value())
            return QFileInfo(it.key()).fileName();
    return QString();
}

}  // namespace

namespace {
ReplaceChecks*& replaceChecks()
{
    static ReplaceChecks* current = nullptr;
    return current;
}
}  // namespace

ReplaceChecks::ReplaceChecks() : mOuter(replaceChecks()) { replaceChecks() = this; }

ReplaceChecks::~ReplaceChecks() { replaceChecks() = mOuter; }

namespace {
// Lets the file through, and notes it in the ReplaceChecks alive.
bool letThrough(const QString& path)
{
    if (ReplaceChecks* checks = replaceChecks())
        checks->passed.insert(path);
    return true;
}
}  // namespace

bool MayReplace(const QString& path)
{
    if (ReplaceChecks* checks = replaceChecks(); checks && checks->passed.contains(path))
        return true;
    const QHash<QString, AppState::FileStamp>& seen = App().ProjectFilesSeen;
    const auto it = seen.constFind(path);
    if (it == seen.constEnd())
        return letThrough(path);
    const disk::Stamp now = disk::StampOf(path);
    if (now == it.value() || now.size < 0)  // as it was, or gone: nothing on disk to keep
        return letThrough(path);
    const int answer = App().Presenter->MsgBox(
        QStringLiteral("The file %1 has changed on disk since it was opened or saved here, maybe by another copy "
                       "of the program.\r\nReplace it with the version here? No keeps the file on disk as it is.")
            .arg(path),
        MsgStyle::YesNo | MsgStyle::Question | MsgStyle::DefaultButton2);
    if (answer != MsgResult::Yes)
        return false;
    NoteSeen(path);  // replacing it is what the user chose: not asked again
    return letThrough(path);
}

void NoteSeen(const QString& path) { App().ProjectFilesSeen.insert(path, disk::StampOf(path)); }

// The lock is gone when its file was removed or replaced (by hand or by a
// tool); another copy may then have opened the project as its own and saved
// it. The lock is taken again only when it is free and the project's files on
// disk are still those this copy last read or wrote. (A folder that takes no
// lock file lets the save go on as it lets it.)
bool HoldLockForSave(const QString& projectFolder)
{
    AppState& app = App();
    const std::shared_ptr<ProjectFolderLock> held = app.ProjectLock;
    if (held && held->fileName() == lockPath(projectFolder) && held->held())
        return true;
    LockAttempt attempt = TakeProjectLock(projectFolder);
    const QString project = app.RcxSetup().ProjectName;
    switch (attempt.outcome) {
    case LockAttempt::HeldByCopy:
        ShowMessage(QStringLiteral("The project %1 is not saved: its lock here went away (the lock file was removed "
                                   "or replaced), and another copy of the program holds it now (process %2 on %3). "
                                   "Saving would replace that copy's work.")
                        .arg(project)
                        .arg(attempt.process)
                        .arg(attempt.host),
                    MsgStyle::Exclamation);
        return false;
    case LockAttempt::OtherHost:
        ShowMessage(QStringLiteral("The project %1 is not saved: its lock here went away, and a copy of the program "
                                   "on the computer %2 holds it now (the folder may be shared with it). Saving would "
                                   "replace that copy's work.")
                        .arg(project, attempt.host),
                    MsgStyle::Exclamation);
        return false;
    case LockAttempt::Unusable:
        ShowMessage(QStringLiteral("The project %1 is not saved: its lock file %2 is %3, not a regular file, so the "
                                   "project can't be locked. Remove %2 and save again.")
                        .arg(project, attempt.path, attempt.what),
                    MsgStyle::Exclamation);
        return false;
    case LockAttempt::Taken:
    case LockAttempt::NoLock: break;
    }
    const QString changed = firstChangedFile();
    if (!changed.isEmpty()) {
        // The lock just taken goes again (it is this copy's own).
        ShowMessage(QStringLiteral("The project %1 is not saved: its lock here went away (the lock file was "
                                   "removed), and its file %2 has changed on disk since it was opened or saved here, "
                                   "maybe by another copy of the program. Saving would replace that change; open "
                                   "the project again to go on from what is on disk.")
                        .arg(project, changed),
                    MsgStyle::Exclamation);
        return false;
    }
    if (attempt.lock)
        app.ProjectLock = std::move(attempt.lock);
    return true;
}
