#pragma once
// The program's one way to the disk. Every file it reads, writes, replaces,
// creates, locks or removes, and every folder it makes, goes through here, and
// one policy holds for every path:
//
// - A file is a regular file or nothing. What is at a path is looked at
//   without opening it (lstat), and a file is opened without waiting (a FIFO
//   opened for reading waits for a writer): a FIFO, a socket, a device, a link
//   where a file is written, or a folder in a file's place is refused naming
//   it ("Not a regular file: Drive.tas"), never opened.
// - A path written below the data folder (App().DataFolder) stays inside it:
//   a link on the way that leads out of it, or to nothing, is refused ("Leads
//   outside the data folder (to /x/Drive.tas): Drive.tas"). Links that stay
//   inside are read through; nothing is ever written, replaced or removed
//   through a link at the file's own name.
// - A file is read up to the largest size of its kind, never further.
// - A file is replaced whole: its new bytes go to a file with a short name of
//   its own (".qm-" and six letters) made exclusively in the same folder,
//   synced, then moved over the target, so that every name the file system
//   holds can be saved again. A file that was not there is never moved over
//   one that appeared meanwhile.
//
// A Qt class that opens a file itself (QSettings) is handed its path only
// after ForeignFileRefusal has found nothing against it; what paints a
// picture or a PDF renders it into memory and hands the bytes to CreateFile
// or ReplaceFile.
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

// The kinds of file the program reads whole. Each kind has a largest size, far
// above any real file of its kind; a file over it is refused before a byte of
// it is read.
enum class FileKind { Project, Task, Sub, Firmware, DatalogList, Lock, Settings };

// The largest size, in bytes, that a file of the kind is read at.
qint64 LargestFile(FileKind kind);

// Reads a file whole. Only a regular file is read: a FIFO, a socket or a
// device is refused without waiting on it, as is a file larger than its kind
// allows and, below the data folder, one that a link leads out of it.
// Failure 76 when its folder does not exist, 53 when it does not exist, 75
// when it can't be read (a folder too) and, with a description saying why,
// when it is no regular file, too large or outside.
QByteArray ReadWholeFile(const QString& path, FileKind kind);

// Refuses a file or folder below the data folder that a link leads out of it
// (or to nothing): failure 75, its description saying where the link leads;
// nothing at the path is no failure. Links that stay inside are kept.
void CheckInDataFolder(const QString& path);

namespace disk {

// What is at a path, looked at without following a link at its end.
enum class Entry { None, File, Folder, Link, Other };
Entry EntryAt(const QString& path);
// The words for what is there, for messages: "a FIFO", "a folder", "a link" ...
QString EntryWords(const QString& path);

// Where a file is on disk and when it last changed, from one look at it
// (links followed, as a read follows them; LinkStampOf looks at a link
// itself); size -1 when there is nothing.
struct Stamp {
    qint64 size = -1;
    qint64 modified = 0;  // nanoseconds
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const Stamp&) const = default;
};
Stamp StampOf(const QString& path);
Stamp LinkStampOf(const QString& path);

// Refuses, before anything of it is opened, what a write may not replace:
// failure 76 when its folder is not there (naming the folder and the
// system's reason: "Path not found: Robot.dir (No such file or directory)"),
// 75 when the target is a folder, a link, a FIFO, a socket or a device, or
// lies outside the data folder (each naming it).
void CheckWriteTarget(const QString& path);

// Writes the bytes as the file's whole content, as the policy above says:
// failure 75 when the file beside it can't be made, 57 when a write or the
// move fails (the target then keeps its old content); a failure names the
// file and the system's reason. False, with nothing written, when the
// target holds exactly these bytes already.
bool ReplaceFile(const QString& path, const QByteArray& bytes);
// The same for a file that must be new: failure 58 ("File already exists")
// naming it when anything is at its name by the time it is moved there.
void CreateFile(const QString& path, const QByteArray& bytes);

// Why a file that another opens itself can't be handed to it, naming it
// ("Not a regular file: Quillomat.conf", "Too large for a settings file (over
// 1 MB): Quillomat.conf"): a link, anything but a regular file, a file over
// its kind's size; its folder when it is there but no folder. Empty when the
// file is a regular file of its size, or nothing yet.
QString ForeignFileRefusal(const QString& path, FileKind kind);

// While one lives (the opening or the save of a project: many files in a
// few folders), each folder is looked at once for where it lies and whether
// it can be written, and CheckWriteTarget looks at each file once; a write
// (ReplaceFile, CreateFile) still looks at its file as it writes it.
class FolderChecks {
public:
    FolderChecks();
    ~FolderChecks();
    FolderChecks(const FolderChecks&) = delete;
    FolderChecks& operator=(const FolderChecks&) = delete;

    QHash<QString, QString> outside;  // a folder: why it lies outside the data folder, or ""
    QSet<QString> writable;           // folders found to be folders, inside and writable
    QSet<QString> targets;            // files CheckWriteTarget let through (a write looks again)

private:
    FolderChecks* mOuter;
};

// Makes a folder and any folders missing above it; failure 76 naming the
// first that can't be made (a file in its place too) and the system's reason.
void MakeFolders(const QString& path);
// Removes a regular file (never through a link), and only when it is still
// the one the stamp was taken of where one is given; true when it went.
bool RemoveFile(const QString& path, const Stamp* only = nullptr);
// Removes a folder that is empty (not a link to one); true when it went.
bool RemoveEmptyFolder(const QString& path);
// Copies a regular file to a new file of that name; false when either can't.
bool CopyFile(const QString& from, const QString& to);

// A file of its own that a copy of the program holds while it runs: made
// exclusively (nothing at its name, a link neither), its bytes written, and
// held open with an exclusive advisory lock on it. The open descriptor, or -1
// with the system's error number in `error`.
int CreateHeldFile(const QString& path, const QByteArray& bytes, int& error);
// True when another open descriptor, of this process or any other, holds the
// advisory lock on the regular file at path.
bool HeldElsewhere(const QString& path);
void CloseHeldFile(int fd);

}  // namespace disk

// The system's error number of a failure, for tests: while one is set, every
// replace or create (disk::ReplaceFile, disk::CreateFile) asks it first with the target's path; an answer other
// than 0 is taken as the error of a write that failed (ENOSPC ...), so the
// target keeps its old content. Whatever it throws leaves the write there,
// as the program stopping would. An empty function ends it.
using CommitFault = std::function<int(const QString& path)>;
void SetCommitFault(CommitFault fault);


// A write past the process's file-size limit (ulimit -f) ends the program on
// the spot unless SIGXFSZ is ignored; ignored, the write fails and is
// reported as any other. The program ignores it as it starts.
void IgnoreFileSizeSignal();
