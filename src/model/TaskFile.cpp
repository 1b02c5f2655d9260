#include "model/TaskFile.h"

#include "model/AppState.h"
#include "model/BusyPointer.h"
#include "model/CommandCatalogue.h"
#include "model/Grid.h"
#include "model/Messages.h"
#include "model/NamedValues.h"
#include "model/ProjectFile.h"
#include "model/ProjectLock.h"
#include "model/Records.h"
#include "model/VbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The deepest nesting of block bodies read or written. A file (or a body that
// holds itself) nested deeper fails as the stack running out would.
constexpr int kMaxBodyDepth = 1000;
constexpr int kOutOfStackSpace = 28;

const char* endMarkerOf(Long bodyKind)
{
    switch (bodyKind) {
    case ModuleKind::IfBody: return "EndIf";
    case ModuleKind::WhileBody: return "EndWhile";
    default: return "EndLoop";
    }
}

void writeMarker(RecordWriter& file, const char* word)
{
    file.text(QLatin1String(word)).text(QStringLiteral("0"));
    for (int i = 0; i < 5; ++i)
        file.number(0);
    file.text(QStringLiteral("0")).text(QStringLiteral("0"));
    for (int i = 0; i < 6; ++i)
        file.number(0);
    file.endRecord();
}

void writeCommandRecord(RecordWriter& file, const clsCommand& co)
{
    file.text(co.KeyText())
        .text(co.MotorList)
        .number(co.Op)
        .value(co.Param1Source)
        .value(co.Param1Value)
        .value(co.Param2Source)
        .value(co.Param2Value)
        .text(co.PicCaption(0))
        .text(co.PicCaption(1))
        .number(co.PicIndex)
        .value(co.Speed)
        .number(co.mNumber)
        .value(co.Time)
        .number(co.x)
        .number(co.y);
    file.endRecord();
}

// Writes the grid's cells with their bodies; a failure goes to the caller.
void writeCommands(RecordWriter& file, const CommandCollectionPtr& grid, Long kind, int depth)
{
    if (depth > kMaxBodyDepth)
        raiseError(kOutOfStackSpace);
    static const CommandCollection kNoGrid;
    const GridCells cells(grid ? *grid : kNoGrid);
    for (int col = 0; col <= 1; ++col) {
        for (int row = 1; row <= 40; ++row) {
            const auto* cell = cells.at(col, row);
            if (!cell || !*cell)
                continue;
            const auto& co = *cell;
            writeCommandRecord(file, *co);
            const Long bodyKind = BodyKindOf(co->CommandKey);
            if (bodyKind != 0) {
                writeCommands(file, co->Commands, bodyKind, depth + 1);
                writeMarker(file, endMarkerOf(bodyKind));
            }
        }
        if (col == 0 && kind == ModuleKind::IfBody)
            writeMarker(file, "Else");
    }
}

// Reads command records into the grid until an end marker or the end of the
// file; a failure goes to the caller, what was read before it stays.
void readCommands(RecordReader& file, CommandCollection& grid, int depth)
{
    if (depth > kMaxBodyDepth)
        raiseError(kOutOfStackSpace);
    for (;;) {
        if (file.atEnd())
            return;
        auto co = std::make_shared<clsCommand>();
        // Keys, motor lists, operand names and second caption lines repeat
        // from record to record: those come shared.
        co->SetKeyText(file.repeatedTextField(0));
        co->MotorList = file.repeatedTextField(1);
        co->Op = file.integerField();
        co->Param1Source = file.field();
        co->Param1Value = CurrentOperandName(co->Param1Source, file.repeatedField(2));
        co->Param2Source = file.field();
        co->Param2Value = CurrentOperandName(co->Param2Source, file.repeatedField(3));
        co->setPicCaption(0, file.textField());
        co->setPicCaption(1, file.repeatedTextField(4));
        co->PicIndex = file.integerField();
        co->Speed = file.field();
        co->mNumber = file.integerField();
        co->Time = file.field();
        co->x = file.integerField();
        co->y = file.integerField();

        const QString& key = co->KeyText();
        // Only a key that starts with an E can be a marker.
        const bool marker = !key.isEmpty() && (key[0] == QLatin1Char('E') || key[0] == QLatin1Char('e'));
        if (marker && (vb::SameText(key, "EndIf") || vb::SameText(key, "EndWhile") || vb::SameText(key, "EndLoop")))
            return;
        if (marker && vb::SameText(key, "Else"))
            continue;
        // The save writes the grid's cells alone: a command elsewhere would be
        // lost by it, so a file that holds one is refused.
        if (co->x < 0 || co->x > 1 || co->y < 1 || co->y > 40)
            raiseError(Err::SubscriptOutOfRange,
                       QStringLiteral("A command lies outside the grid (column %1, row %2; the grid has "
                                      "columns 0 and 1, rows 1 to 40)")
                           .arg(co->x)
                           .arg(co->y));
        const QString cell = ColKey(co->x, co->y);
        if (OpensBlock(co->CommandKey)) {
            co->Commands = std::make_shared<CommandCollection>();
            grid.Add(co, cell);
            readCommands(file, *co->Commands, depth + 1);
            continue;
        }
        grid.Add(co, cell);
    }
}

// The header records: a task's start-up flag, loop flag, number (its place
// in the project gives it) and title; a sub's the same without the flag.
void readTaskHeader(RecordReader& file, clsTask& task)
{
    task.StartOnStartup = file.integerField();
    task.mLoop = file.integerField();
    file.field();  // the number comes from the task's place in the project
    task.mTitle = file.textField();
    task.ModulType = ModuleKind::Task;
}

void readSubHeader(RecordReader& file, clsSub& sub)
{
    file.field();  // no start-up flag for a sub
    sub.mLoop = file.integerField();
    file.field();  // the number comes from the sub's place in the project
    sub.mTitle = file.textField();
}

// A failure in a sub's file as the system tells it: the failure's text, then
// the file it came from.
QString subFileFailure(const VbError& e, const QString& subName)
{
    return e.description() + QStringLiteral(" while Opening SubFile ") + SubFolderPath() + QLatin1Char('/') +
           subName + QStringLiteral(".sub");
}

// A module or project name becomes a file name as it stands; one that would
// lead out of its folder is refused.
void checkFileName(const QString& name, const char* what)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        raiseError(Err::BadFileNameOrNumber,
                   QStringLiteral("Bad file name: the %1 name \"%2\" can't be used as a file name")
                       .arg(QLatin1String(what), name));
}

QString dataFolder()
{
    QString folder = App().DataFolder;
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

}  // namespace

// ---- Locations ----

QString ProjectFolderPath()
{
    const QString& project = App().RcxSetup().ProjectName;
    checkFileName(project, "project");
    return ProjectsFolderPath() + QLatin1Char('/') + project + QStringLiteral(".dir");
}

QString ProjectFilePath()
{
    return ProjectFolderPath() + QLatin1Char('/') + App().RcxSetup().ProjectName + QStringLiteral(".qmd");
}

QString ProjectsFolderPath() { return dataFolder() + QStringLiteral("/Projects"); }

QString SubFolderPath() { return dataFolder() + QStringLiteral("/Subs"); }

QString TaskFilePath(const QString& taskName)
{
    checkFileName(taskName, "task");
    return ProjectFolderPath() + QLatin1Char('/') + taskName + QStringLiteral(".tas");
}

bool NameFitsFileSystem(const QString& folder, const QString& name, const QString& extension)
{
    // The limits of the nearest folder that is there already.
    QString probe = folder;
    while (!probe.isEmpty() && !QFileInfo(probe).isDir())
        probe = QFileInfo(probe).path() == probe ? QString() : QFileInfo(probe).path();
    const QByteArray where = QFile::encodeName(probe.isEmpty() ? QStringLiteral("/") : probe);
    long nameMax = ::pathconf(where.constData(), _PC_NAME_MAX);
    long pathMax = ::pathconf(where.constData(), _PC_PATH_MAX);
    if (nameMax <= 0)
        nameMax = 255;
    if (pathMax <= 0)
        pathMax = 4096;
    const QByteArray file = (name + extension).toUtf8();
    // The names the door makes beside it (a save's new file, the project's
    // lock) must fit the path as well.
    const qsizetype longest = std::max<qsizetype>(file.size(), qsizetype(std::strlen(".quillomat.lock")));
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/'));
    return file.size() <= nameMax && path.size() + longest < pathMax;
}

QString EntryLike(const QString& folder, const QString& entryName)
{
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    if (entries.contains(entryName))
        return entryName;
    for (const QString& e : entries)
        if (e.compare(entryName, Qt::CaseInsensitive) == 0)
            return e;
    return {};
}

QString SubFilePath(const QString& subName)
{
    checkFileName(subName, "sub");
    return SubFolderPath() + QLatin1Char('/') + subName + QStringLiteral(".sub");
}

// ---- Grids ----

bool WriteCommands(RecordWriter& file, const CommandCollectionPtr& grid, Long kind)
{
    try {
        writeCommands(file, grid, kind, 0);
        return true;
    } catch (const VbError& e) {
        file.close();
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    }
}

// ---- Saving and reading ----

namespace {

// What a task's file and a sub's differ in; one way of saving a module's
// file and one of reading it follow.
struct TaskFileRules {
    using Module = clsTask;
    static constexpr Long kind = ModuleKind::Task;
    static constexpr FileKind file = FileKind::Task;
    static QString path(const clsTask& task) { return TaskFilePath(task.Name); }
    static TaskPtr& current(AppState& app) { return app.CurrentTask; }
    // The project's folder is made by the project's first save, never by a
    // task's: a task's file without it fails.
    static constexpr bool makesFolder = false;
    static QString folder() { return ProjectFolderPath(); }
    static Integer startFlag(const clsTask& task) { return task.StartOnStartup; }
    static void readHeader(RecordReader& file, clsTask& task) { readTaskHeader(file, task); }
    // A failure as it is told: with the file's name where it came from the file.
    static QString failure(const VbError& e, const clsTask&, const QString& reading)
    {
        return reading.isEmpty() ? e.description() : FileFailure(e, QFileInfo(reading).fileName());
    }
};

struct SubFileRules {
    using Module = clsSub;
    static constexpr Long kind = ModuleKind::Sub;
    static constexpr FileKind file = FileKind::Sub;
    static QString path(const clsSub& sub) { return SubFilePath(sub.Name); }
    static SubPtr& current(AppState& app) { return app.CurrentSub; }
    // The Subs folder is made with the first sub saved.
    static constexpr bool makesFolder = true;
    static QString folder() { return SubFolderPath(); }
    static Integer startFlag(const clsSub&) { return 0; }
    static void readHeader(RecordReader& file, clsSub& sub)
    {
        readSubHeader(file, sub);
        sub.ModulType = ModuleKind::Sub;
    }
    static QString failure(const VbError& e, const clsSub& sub, const QString&) { return subFileFailure(e, sub.Name); }
};

// Opens the module's file for a save, making its folder where the kind does.
template <class Rules>
void openForSave(RecordWriter& file, const QString& path)
{
    try {
        file.open(path);
    } catch (const VbError& e) {
        if (e.number() != Err::PathNotFound || !Rules::makesFolder)
            throw;
        disk::MakeFolders(Rules::folder());
        file.open(path);
    }
}

// Saves the module's file; a failure is shown once, the file on disk as it
// was, and gives False.
template <class Rules>
bool saveModule(typename Rules::Module& module)
{
    if (RefuseReadOnlySave())
        return false;
    RecordWriter file;
    try {
        const QString path = Rules::path(module);
        openForSave<Rules>(file, path);
        if (!MayReplace(path))
            return false;
        // The hourglass is gone by the time a failure is shown.
        BusyPointer busy(*App().Notifier);
        file.number(Rules::startFlag(module)).number(module.mLoop).number(module.mNumber).text(module.mTitle);
        file.endRecord();
        writeCommands(file, module.Commands(), Rules::kind, 0);
        if (file.commit())
            NoteSeen(path);
        module.Dirty = False;
        return true;
    } catch (const VbError& e) {
        file.close();
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    }
}

// Reads the header of the module's file into it; the command records follow.
template <class Rules>
void openForReading(RecordReader& file, const QString& path, typename Rules::Module& module)
{
    file.open(path, Rules::file);
    Rules::readHeader(file, module);
}

// Reads the module's file, the hourglass up while it reads. False after a
// message when the file can't be opened or its header read. A failure in the
// command records is shown and leaves the module with the commands before
// it, neither added to its list nor told; True then, as on success, when the
// module, unless inList, joins its list (ModuleAdded).
template <class Rules>
bool readModule(typename Rules::Module& module, Integer inList)
{
    AppState& app = App();
    QString reading;  // the file while it is read
    try {
        if (!inList && Rules::current(app).get() != &module)
            raiseError(Err::ObjectNotSet);
        const QString path = Rules::path(module);
        reading = path;
        CheckInDataFolder(path);
        {
            BusyPointer busy(*app.Notifier);
            RecordReader file;
            openForReading<Rules>(file, path, module);
            try {
                readCommands(file, *module.Commands(), 0);
            } catch (const VbError& e) {
                busy.Restore();
                ShowMessage(Rules::failure(e, module, path), MsgStyle::Exclamation);
                return true;
            }
        }
        reading.clear();
        NoteSeen(path);
        if (!inList)
            app.AddModule(Rules::current(app));
        return true;
    } catch (const VbError& e) {
        ShowMessage(Rules::failure(e, module, reading), MsgStyle::Exclamation);
        return false;
    }
}

// The project's reading of a module's file: a failure goes to the caller,
// described as readModule tells it.
template <class Rules>
void readModuleFile(typename Rules::Module& module)
{
    QString reading;
    try {
        reading = Rules::path(module);
        RecordReader file;
        openForReading<Rules>(file, reading, module);
        readCommands(file, *module.Commands(), 0);
    } catch (const VbError& e) {
        raiseError(e.number(), Rules::failure(e, module, reading));
    }
}

}  // namespace

bool SaveTask(clsTask& task) { return saveModule<TaskFileRules>(task); }
bool SaveSub(clsSub& sub) { return saveModule<SubFileRules>(sub); }
bool ReadTask(clsTask& task, Integer flag) { return readModule<TaskFileRules>(task, flag); }
bool ReadSub(clsSub& sub, Integer flag) { return readModule<SubFileRules>(sub, flag); }

// The project's reading has looked at every task file of its folder for a
// link out of the data folder already; the sub's reading refuses one.
void ReadTaskFile(clsTask& task) { readModuleFile<TaskFileRules>(task); }
void ReadSubFile(clsSub& sub) { readModuleFile<SubFileRules>(sub); }

void ReadSubFiles(const Collection<SubPtr>& subs)
{
    for (const auto& e : subs)
        readModuleFile<SubFileRules>(*e.item);
}

QString FileFailure(const VbError& e, const QString& fileName)
{
    switch (e.number()) {
    case Err::FileNotFound:
    case Err::PathNotFound:
    case Err::PathFileAccess: return e.description() + QStringLiteral(": ") + fileName;
    default: return e.description() + QStringLiteral(" in ") + fileName;
    }
}
