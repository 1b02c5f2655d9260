// The record format shared by the project, task and sub files: how fields are
// read and written.
#include "test_files_support.h"

#include "model/Records.h"
#include "model/VbError.h"
#include "support/Failures.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <functional>

#include <sys/stat.h>

using namespace filetest;

namespace {


struct ReadCase {
    const char* what;
    QByteArray bytes;
    QStringList fields;  // dumps of the fields read, in order
    bool atEndAfter;
};

}  // namespace

TEST(RecordReader, ReadsFieldsByTheirKind)
{
    const ReadCase cases[] = {
        {"text, number, empty, negative, fraction", "\"a,b\",12,,-3,1.5\r\n",
         {"t'a,b'", "n12", "_", "n-3", "n1.5"}, true},
        {"blanks before a field are skipped", "  \"x\",  7  \r\n", {"t'x'", "n7"}, true},
        {"an unquoted field that is no number is text", "abc,12abc,  two words  \r\n",
         {"t'abc'", "t'12abc'", "t'two words'"}, true},
        {"a quoted number stays text", "\"5\",5\r\n", {"t'5'", "n5"}, true},
        {"fields go on across line ends", "1\r\n2\r\n", {"n1", "n2"}, true},
        {"a comma before the line end gives an empty field", "1,\r\n2\r\n", {"n1", "_", "n2"}, true},
        {"a quoted text holds line ends", "\"a\r\nb\",1\r\n", {"t'a\r\nb'", "n1"}, true},
        {"what follows a closing quote is dropped", "\"ab\"cd,1\r\n", {"t'ab'", "n1"}, true},
        {"a quote inside a text ends it", "\"say \"hi\"\",2\r\n", {"t'say '", "n2"}, true},
        {"a file without a last line end", "1,2", {"n1", "n2"}, true},
        {"a comma at the very end gives one empty field", "1,", {"n1", "_"}, true},
        {"Latin-1 letters", "\"\xe0\xe9\xfa\"\r\n", {u("t'àéú'")}, true},
        {"a lone line feed ends a field", "1\n2\n", {"n1", "n2"}, true},
        {"a record read in part leaves the rest", "1,2,3\r\n", {"n1", "n2"}, false},
        {"whole numbers at the edges of the plain reading", "-0,007,999999999999999,-1234567890123456\r\n",
         {"n0", "n7", "n999999999999999", "n-1.23456789012346e+15"}, true},
        {"signs, points and exponents read as numbers", "+5,-,1e3,&H1F,-.5,1-\r\n",
         {"n5", "t'-'", "n1000", "n31", "n-0.5", "t'1-'"}, true},
        {"a byte order mark before the first record is passed over, one later is text",
         "\xEF\xBB\xBF" "1,\"\xEF\xBB\xBF\"\r\n", {"n1", u("t'ï»¿'")}, true},
        {"a byte order mark alone", "\xEF\xBB\xBF", {}, true},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordReader r(c.bytes);
        QStringList got;
        for (int i = 0; i < c.fields.size(); ++i)
            got.append(dumpValue(r.field()));
        EXPECT_EQ(got, c.fields);
        EXPECT_EQ(r.atEnd(), c.atEndAfter);
    }
}

TEST(RecordReader, ConvertsIntoTypedMembers)
{
    RecordReader r(QByteArray("7,,\"12\",abc,40000,\"x\",-32768\r\n"));
    EXPECT_EQ(r.textField(), QStringLiteral("7"));
    EXPECT_EQ(r.integerField(), 0);  // empty
    EXPECT_EQ(r.integerField(), 12);  // a quoted number still converts
    EXPECT_EQ(failureNumber([&] { r.integerField(); }), Err::TypeMismatch);
    EXPECT_EQ(failureNumber([&] { r.integerField(); }), Err::Overflow);
    EXPECT_EQ(failureNumber([&] { r.longField(); }), Err::TypeMismatch);
    EXPECT_EQ(r.integerField(), -32768);
}

TEST(RecordReader, ReadingPastTheEndOrFromAClosedFileFails)
{
    RecordReader r(QByteArray("1\r\n"));
    EXPECT_EQ(r.integerField(), 1);
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(failureNumber([&] { r.field(); }), Err::InputPastEnd);
    EXPECT_EQ(failureNumber([&] { r.line(); }), Err::InputPastEnd);
    r.close();
    EXPECT_EQ(failureNumber([&] { r.atEnd(); }), Err::BadFileNameOrNumber);
    EXPECT_EQ(failureNumber([&] { r.field(); }), Err::BadFileNameOrNumber);

    RecordReader empty(QByteArray(""));
    EXPECT_TRUE(empty.atEnd());
    EXPECT_EQ(failureNumber([&] { empty.field(); }), Err::InputPastEnd);
}

TEST(RecordReader, ReadsWholeLinesBetweenFields)
{
    RecordReader r(QByteArray("3\r\n1,\"a b\",x\r\n\"n\",4\r\n"));
    EXPECT_EQ(r.integerField(), 3);
    EXPECT_EQ(r.line(), QStringLiteral("1,\"a b\",x"));
    EXPECT_EQ(r.textField(), QStringLiteral("n"));
    EXPECT_EQ(r.integerField(), 4);
    EXPECT_TRUE(r.atEnd());
}

TEST(RecordReader, OpeningAMissingFileFails)
{
    QTemporaryDir tmp;
    RecordReader r;
    EXPECT_EQ(failureNumber([&] { r.open(tmp.path() + QStringLiteral("/none.tas"), FileKind::Task); }), Err::FileNotFound);
    EXPECT_EQ(failureNumber([&] { r.open(tmp.path() + QStringLiteral("/no/none.tas"), FileKind::Task); }), Err::PathNotFound);
    EXPECT_EQ(failureNumber([&] { r.open(tmp.path(), FileKind::Task); }), Err::PathFileAccess);
    EXPECT_FALSE(r.isOpen());
}

// Only a regular file is read, its links followed: a FIFO neither holds the
// reading up nor a device fills the memory. The failure says why.
TEST(ReadWholeFile, ReadsNothingButARegularFile)
{
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath(QStringLiteral("fifo.tas"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString toFifo = tmp.filePath(QStringLiteral("toFifo.tas"));
    ASSERT_TRUE(QFile::link(fifo, toFifo));
    const QString toZero = tmp.filePath(QStringLiteral("zero.tas"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), toZero));
    const QString toFolder = tmp.filePath(QStringLiteral("folder.tas"));
    ASSERT_TRUE(QFile::link(tmp.path(), toFolder));
    const QString plain = tmp.filePath(QStringLiteral("plain.tas"));
    writeFile(plain, "1,1,1,\"t\"\r\n");
    const QString toPlain = tmp.filePath(QStringLiteral("toPlain.tas"));
    ASSERT_TRUE(QFile::link(plain, toPlain));

    struct Case {
        const char* what;
        QString path;
        QString description;
    };
    const Case cases[] = {
        {"a FIFO", fifo, QStringLiteral("Not a regular file")},
        {"a link to a FIFO", toFifo, QStringLiteral("Not a regular file")},
        {"a link to /dev/zero", toZero, QStringLiteral("Not a regular file")},
        {"the device itself", QStringLiteral("/dev/zero"), QStringLiteral("Not a regular file")},
        {"a link to a folder", toFolder, QStringLiteral("Path/File access error")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            ReadWholeFile(c.path, FileKind::Task);
            ADD_FAILURE() << "read";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), Err::PathFileAccess);
            EXPECT_EQ(e.description(), c.description);
        }
        RecordReader r;
        EXPECT_EQ(failureNumber([&] { r.open(c.path, FileKind::Task); }), Err::PathFileAccess);
        EXPECT_FALSE(r.isOpen());
    }
    // A link to a regular file is read as the file.
    EXPECT_EQ(ReadWholeFile(toPlain, FileKind::Task), QByteArray("1,1,1,\"t\"\r\n"));
}

// A file larger than any of its kind is refused before it is read (the files
// here are sparse: they take no room on the disk).
TEST(ReadWholeFile, RefusesAFileLargerThanItsKindAllows)
{
    struct Case {
        FileKind kind;
        const char* description;
    };
    const Case cases[] = {
        {FileKind::Project, "Too large for a project file (over 4 MB)"},
        {FileKind::Task, "Too large for a task file (over 8 MB)"},
        {FileKind::Sub, "Too large for a sub file (over 8 MB)"},
        {FileKind::Firmware, "Too large for a firmware file (over 1 MB)"},
        {FileKind::DatalogList, "Too large for a datalog list (over 16 MB)"},
    };
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("big"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_TRUE(f.resize(LargestFile(c.kind) + 1));
        }
        try {
            ReadWholeFile(path, c.kind);
            ADD_FAILURE() << "read";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), Err::PathFileAccess);
            EXPECT_EQ(e.description(), QLatin1String(c.description));
        }
    }
    // The largest size itself is read.
    ASSERT_TRUE(QFile(path).resize(LargestFile(FileKind::Firmware)));
    EXPECT_EQ(ReadWholeFile(path, FileKind::Firmware).size(), LargestFile(FileKind::Firmware));
}

TEST(RecordWriter, WritesFieldsByTheirKind)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    RecordWriter w(&buffer);
    w.text(u("a, \"b\" é")).number(-12).value(Variant()).value(Variant(1.5)).value(Variant(u("t"))).value(Variant(7));
    w.endRecord();
    w.value(Variant()).endRecord();
    w.text(QString()).number(0).endRecord();
    EXPECT_EQ(buffer.data(), QByteArray("\"a, \"b\" \xe9\",-12,,1.5,\"t\",7\r\n\r\n\"\",0\r\n"));
}

// Fractions are written and read straight from the bytes; the bytes and the
// values must be those of the general way (numberText, parseNumber) for every
// kind of fraction, the ones at the edges of the plain form too.
TEST(RecordWriter, WritesAndReadsFractionsAsTheGeneralWay)
{
    const double values[] = {1.5,    -0.25,         0.1,    1.0 / 3,  -2.0 / 3 * 1e10, 123456.789,  0.1 + 0.2,
                             1e-4,   9.99e-5,       1.2345678901234567e-4, 1e14 + 0.5, 99999999999999.9,
                             999999999999999.5,     3.14159265358979,       -7.000000000000001, 1.000030517578125, 5e-324, 1e300};
    for (const double d : values) {
        SCOPED_TRACE(d);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        RecordWriter w(&buffer);
        w.value(Variant(d)).endRecord();
        const QByteArray general = vb::numberText(d).toLatin1();
        EXPECT_EQ(buffer.data(), general + "\r\n");

        double expected = 0;
        ASSERT_TRUE(vb::parseNumber(QString::fromLatin1(general), expected));
        RecordReader r(buffer.data());
        const Variant read = r.field();
        ASSERT_TRUE(read.isNumber());
        EXPECT_EQ(read.toDouble(), expected);
    }
}

TEST(RecordWriter, ReportsADeviceThatRefusesAndAClosedFile)
{
    QBuffer buffer;  // never opened: every write is refused
    RecordWriter w(&buffer);
    w.number(1);
    EXPECT_EQ(failureNumber([&] { w.endRecord(); }), 57);
    w.close();
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(failureNumber([&] { w.number(1).endRecord(); }), Err::BadFileNameOrNumber);
}

TEST(RecordWriter, ReplacesTheTargetOnlyOnCommit)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/a.tas");
    writeFile(path, "old\r\n");

    {
        RecordWriter w;
        w.open(path);
        w.number(1).endRecord();
        EXPECT_EQ(readFile(path), QByteArray("old\r\n"));
        w.close();  // thrown away
    }
    EXPECT_EQ(readFile(path), QByteArray("old\r\n"));
    {
        RecordWriter w;
        w.open(path);
        w.number(2).endRecord();
    }  // going out of scope throws it away too
    EXPECT_EQ(readFile(path), QByteArray("old\r\n"));

    RecordWriter w;
    w.open(path);
    w.number(3).text(QStringLiteral("x")).endRecord();
    w.number(4).text(QStringLiteral("begun, never ended"));
    w.commit();
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(readFile(path), QByteArray("3,\"x\"\r\n"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.tas")});

    EXPECT_EQ(failureNumber([&] { w.open(tmp.path() + QStringLiteral("/missing/a.tas")); }), Err::PathNotFound);
}

TEST(RecordWriter, LeavesATargetThatHoldsTheSameBytesAlone)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/a.tas");
    writeFile(path, "1,\"x\"\r\n");
    const QDateTime written = QDateTime::fromSecsSinceEpoch(1000000000);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(written, QFileDevice::FileModificationTime));
    }

    RecordWriter same;
    same.open(path);
    same.number(1).text(QStringLiteral("x")).endRecord();
    same.commit();
    EXPECT_EQ(QFileInfo(path).lastModified(), written);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.tas")});

    // One byte more, or one byte other, and the file is replaced.
    for (const char* text : {"xy", "y"}) {
        RecordWriter other;
        other.open(path);
        other.number(1).text(QString::fromLatin1(text)).endRecord();
        other.commit();
        EXPECT_EQ(readFile(path), QByteArray("1,\"") + text + "\"\r\n");
    }
}

TEST(RecordWriter, RefusesATargetThatCannotBeWritten)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/locked.tas");
    writeFile(path, "old\r\n");
    QFile::setPermissions(path, QFile::ReadOwner);
    RecordWriter w;
    if (QFileInfo(path).isWritable())
        GTEST_SKIP() << "running with rights that write any file";
    EXPECT_EQ(failureNumber([&] { w.open(path); }), Err::PathFileAccess);
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(readFile(path), QByteArray("old\r\n"));
}

// A failure of a file names it and the reason after the standard text; the
// target keeps its old content and nothing is left beside it.
TEST(RecordWriter, AFailureNamesTheFileAndTheReason)
{
    QTemporaryDir tmp;
    auto failureText = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const VbError& e) {
            return QString::number(e.number()) + QLatin1Char(':') + e.description();
        }
        return QString();
    };
    QDir(tmp.path()).mkdir(QStringLiteral("folder.tas"));
    RecordWriter w;
    EXPECT_EQ(failureText([&] { w.open(tmp.path() + QStringLiteral("/folder.tas")); }),
              QStringLiteral("75:Path/File access error: folder.tas (Is a directory)"));

    const QString path = tmp.path() + QStringLiteral("/a.tas");
    writeFile(path, "old\r\n");
    QStringList asked;
    SetCommitFault([&](const QString& target) {
        asked.append(target);
        return ENOSPC;
    });
    w.open(path);
    w.number(1).endRecord();
    const QString text = failureText([&] { w.commit(); });
    SetCommitFault({});
    EXPECT_EQ(text, QStringLiteral("57:Device I/O error: a.tas (No space left on device)"));
    EXPECT_EQ(asked, QStringList{path});
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(readFile(path), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.tas")});
}

// The check for typed texts against what the files carry: a text comes back
// from a field as it was exactly when the check lets it in, and the check
// names what it refuses. A text for a split field is also kept between quotes
// (a port line, a variable's name in the project file), and then written bare
// into a line that is read cut at commas, as the datalog list is.
TEST(StoredTextRefusal, AcceptsJustTheTextsAFieldCarries)
{
    const QString quotesAndCommas = QStringLiteral("Commas and double quotes can't be used here");
    const QString quotes = QStringLiteral("Double quotes can't be used here");
    const QString lineBreaks = QStringLiteral("Line breaks can't be used here");
    const QString euro = QStringLiteral("The character \u20ac (U+20AC) can't be used here");
    struct Case {
        const char* text;  // UTF-8
        QString quoted;    // the refusal for a quoted field, empty when taken
        QString split;
    } cases[] = {
        {"Left wheel", {}, {}},
        {"", {}, {}},
        {"  blanks at the ends  ", {}, {}},
        {"d\xc3\xa9p\xc3\xb4t \xc3\xbf x'y _-5", {}, {}},  // Latin-1 up to 0xFF
        {"a, b", {}, quotesAndCommas},
        {"say \"hi\"", quotes, quotesAndCommas},
        {"\"", quotes, quotesAndCommas},
        {"two\r\nlines", {}, lineBreaks},
        {"one\nline end", {}, lineBreaks},
        {"5 \xe2\x82\xac", euro, euro},
        {"go \xf0\x9f\x9a\x80 now", u("The character \xf0\x9f\x9a\x80 (U+1F680) can't be used here"),
         u("The character \xf0\x9f\x9a\x80 (U+1F680) can't be used here")},
        {"\xe2\x82\xac, \"", quotes, quotesAndCommas},  // the field's own characters are named first
    };
    for (const Case& c : cases) {
        const QString text = u(c.text);
        EXPECT_EQ(StoredTextRefusal(text, TextField::Quoted), c.quoted) << c.text;
        EXPECT_EQ(StoredTextRefusal(text, TextField::Split), c.split) << c.text;

        QBuffer quoted;
        quoted.open(QIODevice::WriteOnly);
        RecordWriter(&quoted).text(text).number(1).endRecord();
        RecordReader q(quoted.data());
        const QString back = q.textField();
        const bool quotedKept = back == text && q.integerField() == 1;
        EXPECT_EQ(quotedKept, c.quoted.isEmpty()) << c.text;

        QBuffer split;
        split.open(QIODevice::WriteOnly);
        RecordWriter(&split).number(2).bareText(text).number(3).endRecord();
        const QStringList line = RecordReader(split.data()).line().split(QLatin1Char(','));
        const bool lineKept = line == QStringList({QStringLiteral("2"), text, QStringLiteral("3")});
        EXPECT_EQ(quotedKept && lineKept, c.split.isEmpty()) << c.text;
    }
}
