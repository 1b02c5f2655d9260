// Every door of the program to the disk against every hostile thing at its
// place: a FIFO, a character device, a link that leads to nothing, a link out
// of the data folder, a folder in a file's place, a file in a folder's place,
// an empty file, garbage, a huge sparse file, and a name at the file
// system's limit. Each row runs in a child process with a time limit, so a
// door that would wait for ever fails its row, not the run. A row shows: the
// door returns; it refuses or goes on as the policy says; a refusal names
// the file; nothing outside the data folder changes; and, refused, nothing
// the user had is lost (the thing planted is still there, untouched).
#include "../model/test_files_support.h"

#include "datalog/core/DatalogFile.h"
#include "link/QSettingsStore.h"
#include "model/Disk.h"
#include "model/Messages.h"
#include "model/FirmwareImage.h"
#include "model/ProjectFile.h"
#include "model/ProjectLock.h"
#include "model/TaskFile.h"
#include "model/VbError.h"
#include "shell/PdfFile.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <csignal>
#include <functional>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace filetest;

namespace {

enum class Kind { Fifo, Device, Dangling, LinkOut, FolderInPlace, FileInPlace, Empty, Garbage, Huge, LongName };

const char* kindName(Kind k)
{
    switch (k) {
    case Kind::Fifo: return "FIFO";
    case Kind::Device: return "character device";
    case Kind::Dangling: return "dangling link";
    case Kind::LinkOut: return "link out of the folder";
    case Kind::FolderInPlace: return "folder in a file's place";
    case Kind::FileInPlace: return "file in a folder's place";
    case Kind::Empty: return "empty";
    case Kind::Garbage: return "garbage";
    case Kind::Huge: return "huge sparse file";
    case Kind::LongName: return "name at the file system's limit";
    }
    return "?";
}

// What a row ran into, as the child tells it.
struct Outcome {
    bool refused = false;
    QStringList messages;
};

// The state of a row's child: a data folder of its own with the fixture
// project, a folder outside it, the recording presenter.
struct Row {
    QString data;
    QString outside;
    FakePresenter presenter;
    FileWindows windows;
    QString outsideFile() const { return outside + QStringLiteral("/victim"); }
    QString project() const { return data + QStringLiteral("/Projects/Robot.dir"); }
};

// Puts the hostile thing at the path (a file's place, or a folder's when
// `folder`); false when this machine can't make it (a device without the
// right to).
bool plant(const Row& row, const QString& path, Kind kind, bool folder)
{
    const QByteArray name = QFile::encodeName(path);
    QDir(path).removeRecursively();
    QFile::remove(path);
    switch (kind) {
    case Kind::Fifo: return ::mkfifo(name.constData(), 0600) == 0;
    case Kind::Device: return ::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;  // as /dev/null
    case Kind::Dangling: return QFile::link(row.outside + QStringLiteral("/none"), path);
    case Kind::LinkOut:
        return folder ? QFile::link(row.outside, path) : QFile::link(row.outsideFile(), path);
    case Kind::FolderInPlace: return QDir().mkpath(path);
    case Kind::FileInPlace: writeFile(path, "not a folder\r\n"); return true;
    case Kind::Empty: writeFile(path, ""); return true;
    case Kind::Garbage: writeFile(path, QByteArray("\x01\xfe,garbage,\"\r\n\x7f")); return true;
    case Kind::Huge: {
        writeFile(path, "");
        return ::truncate(name.constData(), 2LL * 1024 * 1024 * 1024) == 0;
    }
    case Kind::LongName: return true;
    }
    return false;
}

// What a folder holds, every entry with its kind and a file's bytes (a huge
// file by its size): for "nothing changed".
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> all;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString key = QDir(root).relativeFilePath(path);
        if (key.endsWith(QLatin1String(".quillomat.lock")))
            continue;  // the lock comes and goes with the project
        const QFileInfo info(path);
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        if (info.isSymLink())
            all.insert(key, "link to " + QFile::encodeName(info.symLinkTarget()));
        else if (S_ISREG(st.st_mode))
            all.insert(key, st.st_size > 1024 * 1024 ? "size " + QByteArray::number(qint64(st.st_size))
                                                      : readFile(path));
        else
            all.insert(key, "mode " + QByteArray::number(uint(st.st_mode & S_IFMT)));
    }
    return all;
}

// Opens the fixture project as the program does; with a project open, every
// module and the project changed, so that a save writes each file.
bool openRobot()
{
    App().SetProjectName(QStringLiteral("Robot"));
    App().ProjectAction = 1;
    return OpenProject();
}

void changeEverything()
{
    AppState& app = App();
    for (const auto& e : app.TaskList())
        e.item->mTitle += QStringLiteral("!");
    for (const auto& e : app.SubList())
        e.item->mTitle += QStringLiteral("!");
    app.SetProgramNumber(Integer((app.RcxSetup().ProgramNumber + 1) % 5));
}

// A door: where its file or folder lies, whether that is a folder, what to
// do before the thing is planted, and the use of the door after it; true
// when the door refused.
struct Door {
    const char* name;
    std::function<QString(const Row&)> place;
    bool folder;
    std::function<void(Row&)> before;
    std::function<bool(Row&)> use;
};

bool saveRefused() { return !SaveProject(); }

// True, after its message, when the door's call fails.
bool refusedBy(const std::function<void()>& call)
{
    try {
        call();
        return false;
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return true;
    }
}

QByteArray bmpBytes()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    image.save(&bytes, "BMP");
    return bytes.data();
}

// A PDF printout through its door; true when it was refused. The planted
// thing at the dated name is passed over: the printout takes the next name.
bool printRefused(const QString& folder, const QString& name)
{
    return refusedBy([&] {
        SetPdfClock([] { return QDateTime(QDate(2026, 12, 10), QTime(14, 3, 22)); });
        PrintTarget target = OpenPrintTarget(folder, name, true);
        QPainter painter(&target.device());
        painter.drawText(100, 100, QStringLiteral("page"));
        painter.end();
        target.finish();
    });
}

QString pdfPlace(const Row& row, const char* name)
{
    return row.data + QStringLiteral("/%1 2026-12-10 14.03.22.pdf").arg(QLatin1String(name));
}

const QString kLongName = QString(251, QLatin1Char('n'));

std::vector<Door> doors()
{
    auto noop = [](Row&) {};
    auto openFirst = [](Row&) { openRobot(); };
    auto openAndChange = [](Row&) { openRobot(); changeEverything(); };
    return {
        {"project file, opened", [](const Row& r) { return r.project() + "/Robot.qmd"; }, false, noop,
         [](Row&) { return !openRobot() || App().ProjectReadOnly; }},
        {"project file, saved", [](const Row& r) { return r.project() + "/Robot.qmd"; }, false, openAndChange,
         [](Row&) { return saveRefused(); }},
        {"task file, opened", [](const Row& r) { return r.project() + "/Drive.tas"; }, false, noop,
         [](Row&) { return !openRobot(); }},
        {"task file, saved", [](const Row& r) { return r.project() + "/Drive.tas"; }, false, openAndChange,
         [](Row&) { return saveRefused(); }},
        {"sub file, opened", [](const Row& r) { return r.data + "/Subs/Blink.sub"; }, false, noop,
         [](Row&) { return !openRobot(); }},
        {"sub file, saved", [](const Row& r) { return r.data + "/Subs/Blink.sub"; }, false, openAndChange,
         [](Row&) { return saveRefused(); }},
        {"lock file, opened", [](const Row& r) { return r.project() + "/.quillomat.lock"; }, false, noop,
         [](Row&) { return !openRobot() || App().ProjectReadOnly; }},
        {"lock file, saved", [](const Row& r) { return r.project() + "/.quillomat.lock"; }, false, openAndChange,
         [](Row&) { return saveRefused(); }},
        {"Subs folder, saved", [](const Row& r) { return r.data + "/Subs"; }, true, openAndChange,
         [](Row&) { return saveRefused(); }},
        {"project folder, saved", [](const Row& r) { return r.project(); }, true, openAndChange,
         [](Row&) { return saveRefused(); }},
        {"settings file", [](const Row& r) { return r.data + "/config/Quillomat.conf"; }, false,
         [](Row& r) { QDir().mkpath(r.data + "/config"); },
         [](Row& r) {
             QSettingsStore store(r.data + "/config/Quillomat.conf", &r.presenter);
             store.SaveSetting(QStringLiteral("Prefs"), QStringLiteral("Pace"), QStringLiteral("3"));
             return !store.refusal().isEmpty();
         }},
        {"settings lock file", [](const Row& r) { return r.data + "/config/Quillomat.conf.lock"; }, false,
         [](Row& r) { QDir().mkpath(r.data + "/config"); },
         [](Row& r) {
             QSettingsStore store(r.data + "/config/Quillomat.conf", &r.presenter);
             store.SaveSetting(QStringLiteral("Prefs"), QStringLiteral("Pace"), QStringLiteral("3"));
             return !store.refusal().isEmpty();
         }},
        {"datalog list, saved", [](const Row& r) { return r.data + "/run.dlg"; }, false, noop,
         [](Row& r) { return refusedBy([&] { WriteDatalogFile(r.data + "/run.dlg", {{1, "Timer 1", 1, 30}}); }); }},
        {"datalog list, opened", [](const Row& r) { return r.data + "/run.dlg"; }, false, noop,
         [](Row& r) {
             QVector<DatalogRecord> records;
             return refusedBy([&] { ReadDatalogFile(r.data + "/run.dlg", records); });
         }},
        {"datalog graph, saved", [](const Row& r) { return r.data + "/graph.bmp"; }, false, noop,
         [](Row& r) { return refusedBy([&] { disk::ReplaceFile(r.data + "/graph.bmp", bmpBytes()); }); }},
        {"firmware file, opened", [](const Row& r) { return r.data + "/firm.srec"; }, false, noop,
         [](Row& r) {
             const FirmwareImage image = FirmwareImage::ReadFile(r.data + "/firm.srec");
             if (image.isValid())
                 return false;
             ShowMessage(image.describeFault(QStringLiteral("firm.srec")), MsgStyle::Exclamation);
             return true;
         }},
        {"report PDF", [](const Row& r) { return pdfPlace(r, "Robot"); }, false, openFirst,
         [](Row& r) { return printRefused(r.data, QStringLiteral("Robot")); }},
        {"datalog PDF", [](const Row& r) { return pdfPlace(r, "Robot datalog"); }, false, noop,
         [](Row& r) { return printRefused(r.data, QStringLiteral("Robot datalog")); }},
    };
}

// Whether the door refuses (true) or goes on (false) with the thing at its
// place, as the policy says; nothing when the kind does not fit the door.
std::optional<bool> policy(const Door& door, Kind kind)
{
    const QString name = QString::fromLatin1(door.name);
    const bool pdf = name.endsWith(QLatin1String("PDF"));
    const bool lock = name.startsWith(QLatin1String("lock file")) || name == QLatin1String("settings lock file");
    const bool reads = name.endsWith(QLatin1String("opened"));
    if (door.folder) {
        if (kind == Kind::Empty || kind == Kind::Garbage || kind == Kind::Huge || kind == Kind::FolderInPlace ||
            kind == Kind::LongName)
            return std::nullopt;
        return true;
    }
    if (kind == Kind::FileInPlace)
        return std::nullopt;
    if (kind == Kind::LongName)
        return name == QLatin1String("project file, saved") || name == QLatin1String("datalog list, saved")
                   ? std::optional<bool>(false)
                   : std::nullopt;
    if (pdf)
        return false;  // another name is taken; the thing stays
    const bool regular = kind == Kind::Empty || kind == Kind::Garbage || kind == Kind::Huge;
    if (!regular)
        return true;
    if (lock)
        return false;  // a lock no living copy holds is taken over
    if (name == QLatin1String("settings file"))
        return kind == Kind::Huge;
    if (name.startsWith(QLatin1String("datalog")))
        return reads && kind != Kind::Empty;  // an empty list reads as no records
    if (name.startsWith(QLatin1String("firmware")))
        return true;
    // A project, task or sub file: refused as it is read; saved over, the
    // file changed on disk, and the question's default keeps it.
    return true;
}

// Runs one row in a child process; the child's messages and result come
// back through a pipe. A child that takes longer than the limit is ended and
// the row fails as hung.
struct RowResult {
    bool hung = false;
    bool skipped = false;
    Outcome outcome;
    QMap<QString, QByteArray> outsideBefore, outsideAfter, dataBefore, dataAfter;
    QString plantedBefore, plantedAfter;
};

QByteArray encodeSnapshot(const QMap<QString, QByteArray>& m)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << m;
    return out;
}

RowResult runRow(const Door& door, Kind kind)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        QByteArray report;
        QDataStream out(&report, QIODevice::WriteOnly);
        {
            QTemporaryDir dataDir, outsideDir;
            Row row;
            row.data = QFileInfo(dataDir.path()).canonicalFilePath();
            row.outside = QFileInfo(outsideDir.path()).canonicalFilePath();
            writeFile(row.outsideFile(), "outside\r\n");
            ResetApp();
            App().Presenter = &row.presenter;
            row.windows.Install();
            App().DataFolder = row.data;
            copyTree(fixtureFolder(), row.data);
            writeFile(row.data + "/firm.srec", readFile(QStringLiteral(QM_TEST_DATA "/firmware/small.srec")));
            writeFile(row.data + "/run.dlg", "1,1,Timer 1,30\r\n");
            if (kind == Kind::LongName && QString::fromLatin1(door.name) == QLatin1String("project file, saved")) {
                QDir().rename(row.project(), row.data + "/Projects/" + kLongName + ".dir");
                QFile::rename(row.data + "/Projects/" + kLongName + ".dir/Robot.qmd",
                              row.data + "/Projects/" + kLongName + ".dir/" + kLongName + ".qmd");
            }
            door.before(row);
            if (kind == Kind::LongName && QString::fromLatin1(door.name) == QLatin1String("project file, saved")) {
                App().SetProjectName(kLongName);
                App().ProjectAction = 1;
                OpenProject();
                changeEverything();
            }
            const QString place = kind == Kind::LongName ? QString() : door.place(row);
            const bool planted = kind == Kind::LongName || plant(row, place, kind, door.folder);
            out << planted;
            if (planted) {
                row.presenter.shown.clear();
                const auto outsideBefore = snapshot(row.outside);
                const auto dataBefore = snapshot(row.data);
                const QString plantedBefore = place.isEmpty() ? QString() : disk::EntryWords(place);
                bool refused = false;
                if (kind == Kind::LongName && QString::fromLatin1(door.name) == QLatin1String("datalog list, saved")) {
                    const QString path = row.data + "/" + QString(251, QLatin1Char('d')) + ".dlg";
                    try {
                        for (int i = 0; i < 3; ++i)
                            WriteDatalogFile(path, {{1, "Timer 1", 1, i}});
                    } catch (const VbError& e) {
                        ShowMessage(e.description(), MsgStyle::Exclamation);
                        refused = true;
                    }
                } else if (kind == Kind::LongName) {
                    for (int i = 0; i < 3 && !refused; ++i) {
                        changeEverything();
                        refused = door.use(row);
                    }
                } else {
                    refused = door.use(row);
                }
                out << refused << row.presenter.texts() << encodeSnapshot(outsideBefore)
                    << encodeSnapshot(snapshot(row.outside)) << encodeSnapshot(dataBefore)
                    << encodeSnapshot(snapshot(row.data)) << plantedBefore
                    << (place.isEmpty() ? QString() : disk::EntryWords(place));
            }
            ResetApp();
        }
        const char* p = report.constData();
        qsizetype left = report.size();
        while (left > 0) {
            const ssize_t n = ::write(fds[1], p, size_t(left));
            if (n <= 0)
                break;
            p += n;
            left -= n;
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    RowResult result;
    QByteArray report;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.hung = true;
            break;
        }
        pollfd pfd{fds[0], POLLIN, 0};
        if (::poll(&pfd, 1, int(left.count())) <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        report.append(buffer, n);
    }
    ::close(fds[0]);
    if (result.hung)
        ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    if (result.hung)
        return result;
    QDataStream in(report);
    bool planted = false;
    in >> planted;
    if (!planted) {
        result.skipped = true;
        return result;
    }
    QByteArray ob, oa, db, da;
    in >> result.outcome.refused >> result.outcome.messages >> ob >> oa >> db >> da >> result.plantedBefore >>
        result.plantedAfter;
    const auto decode = [](const QByteArray& bytes, QMap<QString, QByteArray>& into) {
        QDataStream s(bytes);
        s >> into;
    };
    decode(ob, result.outsideBefore);
    decode(oa, result.outsideAfter);
    decode(db, result.dataBefore);
    decode(da, result.dataAfter);
    return result;
}

}  // namespace

TEST(DiskDoors, EveryDoorHoldsAgainstEveryHostileThingAtItsPlace)
{
    const Kind kinds[] = {Kind::Fifo,  Kind::Device,  Kind::Dangling, Kind::LinkOut, Kind::FolderInPlace,
                          Kind::FileInPlace, Kind::Empty, Kind::Garbage, Kind::Huge, Kind::LongName};
    int rows = 0;
    for (const Door& door : doors()) {
        for (const Kind kind : kinds) {
            const std::optional<bool> refuses = policy(door, kind);
            if (!refuses)
                continue;
            SCOPED_TRACE(std::string(door.name) + " / " + kindName(kind));
            const RowResult r = runRow(door, kind);
            ASSERT_FALSE(r.hung) << "the door did not return";
            if (r.skipped)  // a device where this machine lets none be made
                continue;
            ++rows;
            EXPECT_EQ(r.outcome.refused, *refuses) << r.outcome.messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(r.outsideAfter, r.outsideBefore);
            if (!*refuses)
                continue;
            // The message names the file or folder the thing was planted at.
            const QString planted = QFileInfo(door.place(Row{})).fileName();
            const bool named = std::any_of(r.outcome.messages.begin(), r.outcome.messages.end(),
                                           [&](const QString& m) { return m.contains(planted); });
            EXPECT_TRUE(named) << "no message names " << planted.toStdString() << ": "
                               << r.outcome.messages.join(QLatin1Char('\n')).toStdString();
            // Nothing the user had is lost: the thing is still what it was,
            // and every other file is as before.
            EXPECT_EQ(r.plantedAfter, r.plantedBefore);
            EXPECT_EQ(r.dataAfter, r.dataBefore);
        }
    }
    EXPECT_GT(rows, 100);
}
