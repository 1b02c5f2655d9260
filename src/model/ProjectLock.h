#pragma once
// The lock a copy of the program holds in the open project's folder, and the
// check a save makes that it still holds it.
#include "model/AppState.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

class QLockFile;

// The lock file a copy of the program holds in the open project's folder
// (".quillomat.lock", as QLockFile writes it: the process number, the program
// and the host). The copy remembers which file it made, so that it can tell
// when that file has been removed or replaced by another copy's lock, and it
// removes only a lock file that is its own.
class ProjectFolderLock {
public:
    // The lock of the project's folder, taken (a lock left by a copy that is
    // gone is cleared); null when it can't be: `elsewhere` then tells that
    // another copy holds it.
    static std::shared_ptr<ProjectFolderLock> take(const QString& projectFolder, bool& elsewhere);
    ~ProjectFolderLock();
    ProjectFolderLock(const ProjectFolderLock&) = delete;
    ProjectFolderLock& operator=(const ProjectFolderLock&) = delete;

    const QString& fileName() const { return mPath; }
    // True while the lock file at its place is the one this copy made.
    bool held() const;

private:
    ProjectFolderLock() = default;

    QString mPath;
    QLockFile* mLock = nullptr;
    quint64 mDevice = 0;
    quint64 mInode = 0;
    QByteArray mContent;  // what it wrote into the file
};

// The lock of a project's folder for this copy of the program: the one it
// holds already, or a new one. None when the lock can't be taken: `elsewhere`
// then tells that another copy holds it. (A folder that takes no lock file
// gives none without `elsewhere`: the project then saves as the folder lets it.)
std::shared_ptr<ProjectFolderLock> LockProjectFolder(const QString& projectFolder, bool& elsewhere);

// What the open project's project and task files are on disk now: one look
// at each, none read.
QHash<QString, AppState::FileStamp> ProjectFilesNow();

// Before a save of a project opened from its folder: True when this copy
// still holds the project's lock, or has taken it again; False after a
// message saying why the project is not saved.
bool HoldLockForSave(const QString& projectFolder);
