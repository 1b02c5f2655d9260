#pragma once
// The lock a copy of the program holds in the open project's folder, the
// check a save makes that it still holds it, and what the saves know of the
// project's files on disk.
#include "model/AppState.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <memory>

struct LockAttempt;

// The lock file a copy of the program holds in the open project's folder
// (".quillomat.lock": the process number, the program, the computer, the
// computer's and its start's ids, a line each). It is made exclusively
// through the door (model/Disk.h) and held open with an advisory lock on it
// while the copy has the project open. The copy remembers which file it made,
// so that it can tell when that file has been removed or replaced, and it
// removes only a lock file that is its own, never through a link.
class ProjectFolderLock {
public:
    ~ProjectFolderLock();
    ProjectFolderLock(const ProjectFolderLock&) = delete;
    ProjectFolderLock& operator=(const ProjectFolderLock&) = delete;

    const QString& fileName() const { return mPath; }
    // True while the lock file at its place is the one this copy made.
    bool held() const;

private:
    friend LockAttempt TakeProjectLock(const QString& projectFolder);
    ProjectFolderLock() = default;

    QString mPath;
    int mFd = -1;
    disk::Stamp mStamp;   // the file as it was made
    QByteArray mContent;  // what it wrote into the file
};

// What taking the lock of a project's folder came to.
struct LockAttempt {
    enum Outcome {
        Taken,      // `lock` holds it
        NoLock,     // the folder takes no lock file (read-only, gone): the saves go on as the folder lets them
        HeldByCopy,  // a living copy of the program on this computer holds it (`process`, `host`)
        OtherHost,  // a copy on another computer (`host`) made it: the folder may be shared
        Unusable,   // what is at the lock's place is no regular file (`what`: "a FIFO")
    };
    Outcome outcome = NoLock;
    std::shared_ptr<ProjectFolderLock> lock;
    QString path;     // the lock file
    qint64 process = 0;
    QString host;
    QString what;

    // The project can't be saved here while it has this lock.
    bool readOnly() const { return outcome == HeldByCopy || outcome == OtherHost || outcome == Unusable; }
};

// Takes the lock of a project's folder. A lock that no living copy on this
// computer holds (its copy is gone; an empty file, left by a crash between
// making and writing it; a file of garbage; one this copy left itself, in a
// folder renamed by hand) is taken over; so is a lock file of this copy's
// own held at another place. Only a lock that a living copy of the program
// on this computer holds counts as held by another copy.
LockAttempt TakeProjectLock(const QString& projectFolder);

// The lock of a project's folder for this copy of the program: the one it
// holds already, or a new one.
LockAttempt LockProjectFolder(const QString& projectFolder);

// The message shown when a project opens read-only for its lock, naming the
// holder or the lock file and saying what to do; and the short reason a
// refused save gives ("a copy of the program on the computer lab7 holds its
// lock"), empty when another copy on this computer holds it.
QString ReadOnlyMessage(const LockAttempt& attempt, const QString& projectName);
QString ReadOnlyReason(const LockAttempt& attempt);

// What the project file, and the files of the tasks and subs given, are on
// disk now: one look at each, none read.
QHash<QString, AppState::FileStamp> ProjectFilesNow(const Collection<TaskPtr>& tasks, const Collection<SubPtr>& subs);

// Before a save of a project opened from its folder: True when this copy
// still holds the project's lock, or has taken it again; False after a
// message saying why the project is not saved.
bool HoldLockForSave(const QString& projectFolder);

// Before a save replaces a project, task or sub file: True when the file on
// disk is still as this copy last read or wrote it (or this copy never saw
// it, or it is gone), or when the user, asked with the file named, chose to
// replace it (the question's default keeps the file on disk). NoteSeen
// records a file as this copy has just read or written it.
bool MayReplace(const QString& path);
void NoteSeen(const QString& path);

// While one lives (a project's save, which looks at all its files before it
// writes the first), a file MayReplace has let through once is let through
// again without another look.
class ReplaceChecks {
public:
    ReplaceChecks();
    ~ReplaceChecks();
    ReplaceChecks(const ReplaceChecks&) = delete;
    ReplaceChecks& operator=(const ReplaceChecks&) = delete;

    QSet<QString> passed;  // the files let through

private:
    ReplaceChecks* mOuter;
};
