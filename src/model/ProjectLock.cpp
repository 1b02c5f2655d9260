#include "model/ProjectLock.h"

#include "model/AppState.h"
#include "model/Messages.h"
#include "model/ProjectFile.h"
#include "model/Records.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <vector>

#include <sys/stat.h>

namespace {

// The name of the lock file in a project's folder.
QString lockPath(const QString& projectFolder)
{
    return projectFolder + QStringLiteral("/.quillomat.lock");
}

// A lock file's few lines, read without waiting on what is no regular file.
QByteArray lockFileContent(const QString& path)
{
    try {
        return ReadWholeFile(path, FileKind::Project);
    } catch (const VbError&) {
        return QByteArray();
    }
}

AppState::FileStamp stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, quint64(st.st_ino)};
}

// The name of the first project or task file that is no longer as this copy
// last read or wrote it; empty when none is.
QString firstChangedFile()
{
    const QHash<QString, AppState::FileStamp>& seen = App().ProjectFilesSeen;
    for (auto it = seen.begin(); it != seen.end(); ++it)
        if (stampOf(it.key()) != it.value())
            return QFileInfo(it.key()).fileName();
    return QString();
}

}  // namespace

std::shared_ptr<ProjectFolderLock> ProjectFolderLock::take(const QString& projectFolder, bool& elsewhere)
{
    elsewhere = false;
    auto lock = std::make_unique<QLockFile>(lockPath(projectFolder));
    // A lock is stale when the copy that took it is gone, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        elsewhere = lock->error() == QLockFile::LockFailedError;
        return nullptr;
    }
    std::shared_ptr<ProjectFolderLock> taken(new ProjectFolderLock);
    taken->mPath = lock->fileName();
    struct stat st {};
    if (::stat(QFile::encodeName(taken->mPath).constData(), &st) == 0) {
        taken->mDevice = quint64(st.st_dev);
        taken->mInode = quint64(st.st_ino);
    }
    taken->mContent = lockFileContent(taken->mPath);
    taken->mLock = lock.release();
    return taken;
}

ProjectFolderLock::~ProjectFolderLock()
{
    if (held()) {
        delete mLock;  // lets the lock go: its file is removed
        return;
    }
    // The file at the lock's place is another copy's, or none: QLockFile
    // would remove whatever is there on letting go, so this one is never let
    // go. It is kept (reachable) to the end of the process, an open
    // descriptor of a file no longer there; that happens once a lost lock.
    static auto* const neverLetGo = new std::vector<QLockFile*>;
    neverLetGo->push_back(mLock);
}

// The lock file that this copy made, still there: the same file, with the
// same owner (process, program, host) written in it.
bool ProjectFolderLock::held() const
{
    struct stat st {};
    return mInode != 0 && ::stat(QFile::encodeName(mPath).constData(), &st) == 0 &&
           quint64(st.st_dev) == mDevice && quint64(st.st_ino) == mInode && lockFileContent(mPath) == mContent;
}

std::shared_ptr<ProjectFolderLock> LockProjectFolder(const QString& projectFolder, bool& elsewhere)
{
    elsewhere = false;
    const std::shared_ptr<ProjectFolderLock>& held = App().ProjectLock;
    if (held && held->fileName() == lockPath(projectFolder) && held->held())
        return held;
    return ProjectFolderLock::take(projectFolder, elsewhere);
}

QHash<QString, AppState::FileStamp> ProjectFilesNow()
{
    QHash<QString, AppState::FileStamp> seen;
    try {
        const QString project = ProjectFilePath();
        seen.insert(project, stampOf(project));
        for (const auto& e : App().TaskList) {
            const QString task = TaskFilePath(e.item->Name);
            seen.insert(task, stampOf(task));
        }
    } catch (const VbError&) {  // a name that can't be a file's: there is no file of it to look at
    }
    return seen;
}

// The lock is gone when its file
// was removed (by hand or by a tool); another copy may then have opened the
// project as its own and saved it. The lock is taken again only when it is
// free and the project's files on disk are still those this copy last read or
// wrote. (A folder that takes no lock file lets the save go on as it lets it.)
bool HoldLockForSave(const QString& projectFolder)
{
    AppState& app = App();
    const std::shared_ptr<ProjectFolderLock> held = app.ProjectLock;
    if (held && held->fileName() == lockPath(projectFolder) && held->held())
        return true;
    bool elsewhere = false;
    std::shared_ptr<ProjectFolderLock> lock = ProjectFolderLock::take(projectFolder, elsewhere);
    if (elsewhere) {
        ShowMessage(QStringLiteral("The project %1 is not saved: its lock here went away (the lock file was removed "
                                   "or replaced), and another copy of the program holds it now. Saving would "
                                   "replace that copy's work.")
                        .arg(app.RcxSetup->ProjectName),
                    MsgStyle::Exclamation);
        return false;
    }
    const QString changed = firstChangedFile();
    if (!changed.isEmpty()) {
        // The lock just taken goes again (it is this copy's own).
        ShowMessage(QStringLiteral("The project %1 is not saved: its lock here went away (the lock file was "
                                   "removed), and its file %2 has changed on disk since it was opened or saved here, "
                                   "maybe by another copy of the program. Saving would replace that change; open "
                                   "the project again to go on from what is on disk.")
                        .arg(app.RcxSetup->ProjectName, changed),
                    MsgStyle::Exclamation);
        return false;
    }
    if (lock)
        app.ProjectLock = std::move(lock);
    return true;
}
