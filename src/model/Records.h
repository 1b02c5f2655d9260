#pragma once
// The record format of the project, task and sub files: one record a line,
// each line ending in CR LF; fields separated by a single comma; a text between
// double quotes with nothing escaped; a number as its decimal digits; an empty
// value as nothing. File text is Latin-1.
#include "model/Disk.h"
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

// Writes records into a file that replaces its target only when it is
// complete (commit, through disk::ReplaceFile), or into a device the caller
// owns. The target is only ever nothing yet or a regular file: a link, a
// FIFO, a socket, a device or a folder is refused without waiting on it,
// failure 75 naming it ("Not a regular file: Drive.tas"), when the file is
// opened and again when it is committed; it is never opened, read or replaced.
class RecordWriter {
public:
    RecordWriter();
    // Writes into an open device the caller owns; commit() and close() leave
    // the device open.
    explicit RecordWriter(QIODevice* device);
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Opens a file for writing, the target looked at as disk::CheckWriteTarget
    // looks at it, with its failures. The records are kept until commit. A
    // failure of a file (75, 57) names the file and the system's reason after
    // its description.
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
    // alone. Otherwise replaces it whole (disk::ReplaceFile): failure 75 when
    // the file beside it can't be made, 57 when any of the rest fails (the
    // target then keeps its old content). Closes the file either way. True
    // when the file was written.
    bool commit();
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
