#pragma once
// The record format of the project, task and sub files: one record a line,
// each line ending in CR LF; fields separated by a single comma; a text between
// double quotes with nothing escaped; a number as its decimal digits; an empty
// value as nothing. File text is Latin-1.
#include "model/Variant.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <QStringList>

#include <functional>


class QIODevice;

// The kinds of field a text the user typed can go into. A quoted field
// (RecordWriter::text) ends at the next double quote. A field that its
// reader cuts out of a whole line at every comma (a port line of the project
// file, a line of the datalog list) also ends at a comma or a line end.
// Neither carries a character beyond Latin-1: it would be written as "?".
enum class TextField { Quoted, Split };

// Why the text can't go into that kind of field as it stands, as a message
// naming the characters, for the places that take the text to show; empty
// when the field carries every character of it. (A port line's reader also
// drops the blanks at a text's ends; they are not refused here.)
QString StoredTextRefusal(const QString& text, TextField field);

// The kinds of file the program reads whole. Each kind has a largest size, far
// above any real file of its kind; a file over it is refused before a byte of
// it is read.
enum class FileKind { Project, Task, Sub, Firmware, DatalogList };

// The largest size, in bytes, that a file of the kind is read at.
qint64 LargestFile(FileKind kind);

// Reads a file whole. Only a regular file (its links followed) is read: a
// FIFO, a socket or a device is refused without waiting on it, as is a file
// larger than its kind allows. Failure 76 when its folder does not exist, 53
// when it does not exist, 75 when it can't be read (a folder too) and, with a
// description saying why, when it is no regular file or too large.
QByteArray ReadWholeFile(const QString& path, FileKind kind);

// Reads a file's records field by field. The whole file is read when it is
// opened; reading then takes fields one after another without regard to line
// ends (a line end also ends a field). A UTF-8 byte order mark before the
// first record, as some editors write one, is passed over.
class RecordReader {
public:
    RecordReader() = default;
    // Reads from the bytes given, as from a file just opened.
    explicit RecordReader(QByteArray data);

    // Opens a file of the kind for reading, reading it whole as
    // ReadWholeFile does, with its failures.
    void open(const QString& path, FileKind kind);
    void close();
    bool isOpen() const { return mOpen; }

    // True when every byte has been read; failure 52 when the file is closed.
    bool atEnd() const;

    // One field as read: a quoted field as text (a comma or a line end inside
    // the quotes belongs to it), an unquoted one as a number when it reads as
    // one and as text otherwise, an empty field empty. Blanks before a field
    // are skipped. Failure 62 when the file has nothing more to read, 52 when
    // it is closed.
    Variant field();
    // A field read into a text: a number gives its decimal text, empty "".
    QString textField();
    // A field read into a number: empty gives 0; a text that isn't a number
    // fails with 13, a number out of range with 6.
    Integer integerField();
    Long longField();
    // As field() and textField(), but a quoted text met lately in the same
    // list (0 to 7, one for each field of a record that repeats: keys and
    // names do, from record to record) comes back shared, not made anew.
    static constexpr int kRecentLists = 8;
    Variant repeatedField(int list);
    QString repeatedTextField(int list);

    // The rest of the current line, without its line end; failure 62 at the
    // end of the file, 52 when closed.
    QString line();

private:
    void checkOpen() const;
    bool startField();
    QString quotedText(int list = -1);
    Variant unquotedField();
    bool plainWholeNumberField(double& out);
    void endField();
    bool atLineEnd() const;
    void skipLineEnd();

    QByteArray mData;
    qsizetype mPos = 0;
    bool mOpen = false;
    bool mAfterComma = false;  // the last field ended at a comma: one more (maybe empty) follows
    // The quoted texts met lately in each list, the oldest replaced first.
    struct RecentTexts {
        std::array<QString, 8> texts;
        size_t next = 0;
    };
    std::array<RecentTexts, kRecentLists> mRecent;
};

// A write past the process's file-size limit (ulimit -f) ends the program on
// the spot unless SIGXFSZ is ignored; ignored, the write fails and commit
// reports it as any other. The program ignores it as it starts.
void IgnoreFileSizeSignal();

// A stand-in for a failing device, for tests: while one is set, every commit
// that is about to replace its target asks it first with the target's path.
// An answer other than 0 is taken as the system's error number (ENOSPC ...)
// of a write that failed: the commit fails with 57 and that reason, and the
// target keeps its old content. Whatever it throws leaves the commit there
// (as the program stopping would), the target as it was. An empty function
// ends it.
using CommitFault = std::function<int(const QString& path)>;
void SetCommitFault(CommitFault fault);

// While one lives, every file a RecordWriter opens or commits must lie inside
// the folder given (the data folder), its real path looked at as open looks
// at it: a target that is a link, or whose folder is one, leading out of the
// folder (or a link that leads to nothing) is refused with failure 75, its
// description naming the file or folder and where it leads ("Leads outside
// the data folder (to /x/Drive.tas): Drive.tas"), and nothing is written.
// Each folder of the targets is resolved once while the object lives, each
// target looked at without being opened. The innermost one counts.
class WritesInside {
public:
    explicit WritesInside(const QString& folder);
    ~WritesInside();
    WritesInside(const WritesInside&) = delete;
    WritesInside& operator=(const WritesInside&) = delete;

    // Refuses a target outside the folder as told above; `link` when the
    // path itself is a link (looked at already).
    void check(const QString& path);
    void check(const QString& path, bool link);

private:
    bool inside(const QString& realPath);

    QString mFolder;   // as given
    QString mRoot;     // its real path, found at the first check
    QStringList mFoldersInside;  // folders of targets resolved to lie inside
    WritesInside* mOuter;
};

// Writes records into a file that replaces its target only when it is
// complete (commit), or into a device the caller owns. The target is only
// ever nothing yet or a regular file (a link to one followed): a FIFO, a
// socket, a device or a folder is refused without waiting on it, failure 75
// naming it ("Not a regular file: Drive.tas"), when the file is committed,
// before anything of it is opened; it is never opened, read or replaced.
class RecordWriter {
public:
    RecordWriter();
    // Writes into an open device the caller owns; commit() and close() leave
    // the device open.
    explicit RecordWriter(QIODevice* device);
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Opens a file for writing: failure 76 when the target's folder does not
    // exist (naming the folder and the system's reason: "Path not found:
    // Robot.dir (No such file or directory)"), 75 when the target is a folder
    // or it or its folder can't be
    // written. The records are kept until commit. A failure of a file (75,
    // 57) names the file and the system's reason after its description.
    void open(const QString& path);
    bool isOpen() const;

    // Fields of the current record.
    RecordWriter& text(const QString& s);
    // A text as it stands, without quotes (the datalog list's names).
    RecordWriter& bareText(const QString& s);
    RecordWriter& number(qint64 n);
    RecordWriter& value(const Variant& v);
    // Ends the record with CR LF and writes it (into a file: keeps it for
    // commit): failure 52 when the file is closed, 57 when a device refuses
    // the bytes.
    void endRecord();

    // When the target already holds exactly the records' bytes, leaves it
    // alone. Otherwise writes a file beside it, checks that every byte
    // arrived, then moves it over the target: failure 75 when that file can't
    // be made, 57 when any of the rest fails (the target then keeps its old
    // content). Closes the file either way.
    void commit();
    // Closes without committing: a file opened with open() is thrown away and
    // its target keeps its old content.
    void close();

private:
    void separate();
    // Where the fields go: a file's records straight into what commit writes.
    QByteArray& out() { return mToFile ? mPending : mLine; }

    QString mPath;         // the target of open()
    bool mToFile = false;  // open() was called and neither commit() nor close() since
    QIODevice* mDevice = nullptr;
    QByteArray mLine;
    QByteArray mPending;  // a file's records until commit, and the record being written
    qsizetype mRecordsEnd = 0;  // where the last record ended in mPending
    bool mFirstField = true;
};
