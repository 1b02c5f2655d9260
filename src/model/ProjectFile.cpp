#include "model/ProjectFile.h"

#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/BusyPointer.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/NamedValues.h"
#include "model/Records.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>

#include <array>
#include <utility>
#include <vector>

#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// Reading the project file goes on after it has run out: the file is closed
// and the statement's remaining reads are skipped, so the variables keep the
// values of the previous read. The next read from the closed file fails.
template <class F>
void readStatement(RecordReader& file, F&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        if (e.number() != Err::InputPastEnd)
            throw;
        file.close();
    }
}

void buildBuiltInObjects()
{
    if (App().ProjectType == 0)
        BuildRcxObjects();
    else
        BuildJoystickObjects();
}

void addMotorObjects(int port)
{
    const QString letter(QChar(QLatin1Char('A').unicode() + port));
    AddNamedValue(QStringLiteral("Motor state ") + letter, OperandSource::MotorStatus, 192, Integer(port));
    AddNamedValue(QStringLiteral("Motor direction ") + letter, OperandSource::MotorStatus, 8, Integer(port));
    AddNamedValue(QStringLiteral("Motor speed ") + letter, OperandSource::MotorStatus, 7, Integer(port));
}

// The name of a sensor's value object: its purpose, or else its type word
// with the port number after a blank ("Touch sensor  1").
QString sensorValueName(const clsSensor& sensor, int port)
{
    return sensor.Purpose.isEmpty() ? SensorValueName(sensor.SensorType(), port) : sensor.Purpose;
}

void addSensorObjects(const clsSensor& sensor, int port)
{
    AddNamedValue(sensorValueName(sensor, port), OperandSource::SensorValue, 0, Integer(port));
    AddSensorStatusObjects(port);
}

// Nothing the program kept of the project open before stays: not its
// listing, nor its compile or download state, nor the windows showing them.
// Unloaded and shown again, the explorer starts with empty folders.
void startWithoutTheProjectBefore()
{
    AppState& app = App();
    app.LastListing.clear();
    app.FinishedModuleCount = 0;
    Q_EMIT app.Notifier->ListingOutOfDate();
    // The set-up window goes; its polling panel shows every kind of row again.
    Q_EMIT app.Notifier->SetupReplaced();
    Q_EMIT app.Notifier->ProjectTitleChanged(QStringLiteral("RCX programming - ") + app.RcxSetup->ProjectName);
    Q_EMIT app.Notifier->ProjectReplaced();
    Q_EMIT app.Notifier->ProjectTypeChanged();
}

// What of the process-wide state belongs to the open project: the lists, the
// set-up's ports and slot, the project type. A project is read into parts of
// its own and swapped in only when every one of its files has been read.
struct ProjectParts {
    Collection<TaskPtr> tasks;
    Collection<SubPtr> subs;
    Collection<ObjectPtr> objects;
    Collection<ObjectPtr> variables;
    std::array<MotorPtr, 3> motors;
    std::array<SensorPtr, 3> sensors;
    Integer projectType = 0;
    Integer programNumber = 0;
    Boolean dirty = False;
    ObjectPtr currentObject;

    // Parts to read a project into: no modules or named values, the ports as
    // the open project's with no motor or sensor type. The type and the slot
    // stay those of the open project until the file gives its own.
    static ProjectParts freshFor(const AppState& app)
    {
        ProjectParts p;
        for (int port = 0; port <= 2; ++port) {
            p.motors[size_t(port)] = std::make_shared<clsMotor>(*app.RcxSetup->PortMotor(port));
            p.motors[size_t(port)]->setMotorType(0);
            p.sensors[size_t(port)] = std::make_shared<clsSensor>(*app.RcxSetup->PortSensor(port));
            p.sensors[size_t(port)]->setSensorType(0);
        }
        p.projectType = app.ProjectType;
        p.programNumber = app.RcxSetup->ProgramNumber;
        return p;
    }

    void swapWith(AppState& app)
    {
        std::swap(tasks, app.TaskList);
        std::swap(subs, app.SubList);
        std::swap(objects, app.ObjectList);
        std::swap(variables, app.VariableDefs);
        for (int port = 0; port <= 2; ++port) {
            std::swap(motors[size_t(port)], app.RcxSetup->PortMotor(port));
            std::swap(sensors[size_t(port)], app.RcxSetup->PortSensor(port));
        }
        std::swap(projectType, app.ProjectType);
        std::swap(programNumber, app.RcxSetup->ProgramNumber);
        std::swap(dirty, app.RcxSetup->Dirty);
        std::swap(currentObject, app.CurrentObject);
    }
};

// A file or folder that a link leads out of the data folder, refused with a
// description that names it.
void checkInDataFolder(const QString& path)
{
    try {
        CheckInDataFolder(path);
    } catch (const VbError& e) {
        raiseError(e.number(), FileFailure(e, QFileInfo(path).fileName()));
    }
}

// Everything of the project that a save writes into: its folder, the project
// and task files in it (those of tasks still to be added too) and the Subs
// folder. The sub files are looked at as they are read. The folder is looked
// at once, part by part; of its entries, read in one pass, only those that
// are links are followed (a plain entry of a folder inside lies inside).
void checkProjectInDataFolder()
{
    const QString folder = ProjectFolderPath();
    checkInDataFolder(folder);
    if (DIR* dir = ::opendir(QFile::encodeName(folder).constData())) {
        struct Closer {
            DIR* dir;
            ~Closer() { ::closedir(dir); }
        } closer{dir};
        while (const dirent* entry = ::readdir(dir)) {
            const qsizetype length = qsizetype(std::strlen(entry->d_name));
            const bool ours = (length > 4 && std::strcmp(entry->d_name + length - 4, ".qmd") == 0) ||
                              (length > 4 && std::strcmp(entry->d_name + length - 4, ".tas") == 0);
            if (!ours || (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN))
                continue;
            checkInDataFolder(folder + QLatin1Char('/') + QFile::decodeName(entry->d_name));
        }
    }
    checkInDataFolder(SubFolderPath());
}

// The name of the lock file in a project's folder.
QString lockPath(const QString& projectFolder)
{
    return projectFolder + QStringLiteral("/.quillomat.lock");
}

// The lock of a project's folder for this copy of the program: the one it
// holds already, or a new one. None when the lock can't be taken: `elsewhere`
// then tells that another copy holds it. (A folder that takes no lock file
// gives none without `elsewhere`: the project then saves as the folder lets it.)
std::shared_ptr<ProjectFolderLock> lockProjectFolder(const QString& projectFolder, bool& elsewhere)
{
    elsewhere = false;
    const std::shared_ptr<ProjectFolderLock>& held = App().ProjectLock;
    if (held && held->fileName() == lockPath(projectFolder) && held->held())
        return held;
    return ProjectFolderLock::take(projectFolder, elsewhere);
}

AppState::FileStamp stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, quint64(st.st_ino)};
}

// What the open project's project and task files are on disk now: one look
// at each, none read.
QHash<QString, AppState::FileStamp> projectFilesNow()
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

void tellOpenElsewhere()
{
    ShowMessage(QStringLiteral("The project %1 is open in another copy of the program. It is opened read-only: "
                               "changes to it can't be saved here.")
                    .arg(App().RcxSetup->ProjectName),
                MsgStyle::Exclamation);
}

// Reads the project file and every task and sub file of the project into the
// state, touching no window. A failure goes to the caller with a description
// that names the file it came from.
void readProject()
{
    AppState& app = App();
    clsRcx& rcx = *app.RcxSetup;
    const QString path = ProjectFilePath();  // a name that can't be a file's tells so itself
    checkProjectInDataFolder();
    RecordReader file;
    try {
        file.open(path, FileKind::Project);

        readStatement(file, [&] { app.ProjectType = file.integerField(); });
        buildBuiltInObjects();
        readStatement(file, [&] { rcx.ProgramNumber = file.integerField(); });

        QString f[8];
        for (int port = 0; port <= 2; ++port) {
            readStatement(file, [&] { f[0] = file.line(); });
            SplitProjectLine(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]);
            clsMotor& motor = *rcx.PortMotor(port);
            motor.MotorDirection = vb::CLng(f[0]);
            motor.MotorPort = vb::CLng(f[1]);
            motor.MotorStartState = vb::CLng(f[2]);
            motor.setMotorType(vb::CLng(f[3]));
            motor.Power = vb::CInt(f[4]);
            motor.Purpose = f[5];
            motor.MotorFwdMeening = f[6];
            motor.MotorRwdMeening = f[7];
            if (vb::CLng(f[3]) != 0)
                addMotorObjects(port);
        }

        for (int port = 0; port <= 2; ++port) {
            readStatement(file, [&] { f[0] = file.line(); });
            SplitProjectLine(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]);
            clsSensor& sensor = *rcx.PortSensor(port);
            sensor.Dark = vb::CInt(f[0]);
            sensor.setSensorType(vb::CLng(f[3]));
            sensor.SensorMode = vb::CLng(f[1]);
            sensor.SensorPort = vb::CLng(f[2]);
            // The purpose names the sensor's value object, so it is stored first.
            sensor.Purpose = f[4];
            if (vb::CLng(f[3]) != 0)
                addSensorObjects(sensor, port);
        }

        // Named values up to "EndVarDef".
        QString name;
        Integer number = 0;
        Variant value;
        Integer source = 0;
        auto readNamedValue = [&] {
            readStatement(file, [&] {
                name = file.textField();
                number = file.integerField();
                value = file.field();
                source = file.integerField();
            });
            app.CurrentObject = std::make_shared<clsObject>();
            clsObject& o = *app.CurrentObject;
            o.Name = name;
            o.Number = number;
            o.Source = source;
            if (source == OperandSource::NamedRange) {
                const QString text = value.toString();
                const qsizetype cut = text.indexOf(QLatin1Char('_'));
                if (cut < 0)
                    raiseError(Err::InvalidCall);
                o.Value = vb::CLng(text.left(cut));
                o.AuxValue = vb::CLng(text.mid(cut + 1));
            } else {
                o.Value = value.isEmpty() ? 0 : value.toLong();
            }
        };
        readNamedValue();
        while (!vb::SameText(app.CurrentObject->Name, "EndVarDef")) {
            const ObjectPtr o = app.CurrentObject;
            app.ObjectList.Add(o, o->Name);
            if (o->Source == OperandSource::Variable) {
                auto def = std::make_shared<clsObject>();
                def->Name = o->Name;
                def->Number = o->Number;
                def->Value = o->Value;
                def->Source = o->Source;
                app.VariableDefs.Add(def, def->Name);
            }
            readNamedValue();
        }

        // Tasks up to "EndTaskDef", numbered by their place in the file.
        for (;;) {
            readStatement(file, [&] {
                name = file.textField();
                file.field();
            });
            if (vb::SameText(name, "EndTaskDef"))
                break;
            auto task = std::make_shared<clsTask>();
            task->Name = name;
            task->mNumber = Integer(app.TaskList.Count() + 1);
            task->ModulType = ModuleKind::Task;
            app.TaskList.Add(task, task->Name);
        }

        // Subs up to "EndSubDef" (as written, letter case counting, so that a
        // sub named "endsubdef" is kept) or the end of the file.
        const QString endOfSubs = QStringLiteral("EndSubDef");
        while (name != endOfSubs && !file.atEnd()) {
            readStatement(file, [&] {
                name = file.textField();
                file.field();
            });
            auto sub = std::make_shared<clsSub>();
            sub->Name = name;
            sub->ModulType = ModuleKind::Sub;
            sub->mNumber = Integer(app.SubList.Count() + 1);
            if (!name.isEmpty() && name != endOfSubs)
                app.SubList.Add(sub, sub->Name);
        }
        file.close();
    } catch (const VbError& e) {
        raiseError(e.number(), FileFailure(e, QFileInfo(path).fileName()));
    }

    for (const auto& e : app.TaskList)
        ReadTaskFile(*e.item);
    ReadSubFiles(app.SubList);
}

// Closes the windows of the open project before another takes its place. A
// window that fails to close keeps that project open, for the window still
// shows it: the failure is shown and the result is False. (The caller's
// BusyPointer puts the default pointer back after the message, as it goes.)
bool closeWindowsBefore()
{
    try {
        App().Shell->CloseProjectWindows();
        return true;
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    }
}

// Opens the project whose files are there: it is read aside first, so that a
// project any of whose files is broken is refused with a message naming the
// file, and the project open before stays as it was, its windows too. The
// pointer is busy while it reads and shows the project; a message of a
// failure shows before it goes back to the default (as `busy` goes), the
// message that the project is open elsewhere after.
bool openExistingProject(BusyPointer& busy)
{
    AppState& app = App();
    ProjectParts aside = ProjectParts::freshFor(app);
    aside.swapWith(app);  // the state holds the project being read, aside the open one
    try {
        readProject();
    } catch (const VbError& e) {
        aside.swapWith(app);
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    } catch (...) {  // whatever else stops the reading, the open project stays
        aside.swapWith(app);
        throw;
    }
    // What the files read are on disk, for the saves to come.
    QHash<QString, AppState::FileStamp> seen = projectFilesNow();
    // The project read takes its folder's lock from here on; the project
    // before keeps its own while it may still stay the open one.
    bool elsewhere = false;
    std::shared_ptr<ProjectFolderLock> lock = lockProjectFolder(ProjectFolderPath(), elsewhere);
    // The windows of the project before close while it is still the open one.
    aside.swapWith(app);
    if (!closeWindowsBefore())
        return false;
    aside.swapWith(app);
    aside = ProjectParts();
    app.ProjectLock = std::move(lock);
    app.ProjectReadOnly = elsewhere ? True : False;
    app.ProjectFilesSeen = std::move(seen);

    try {
        startWithoutTheProjectBefore();
        Q_EMIT app.Notifier->MotorsChanged();
        for (const auto& e : app.TaskList)
            Q_EMIT app.Notifier->ModuleAdded(e.item->Name, ModuleKind::Task);
        for (const auto& e : app.SubList)
            Q_EMIT app.Notifier->ModuleAdded(e.item->Name, ModuleKind::Sub);
        for (const auto& e : app.TaskList) {
            if (e.item->mNumber == 1) {
                OpenCommandWindow(ModuleKind::Task, e.item.get(), QString(), QString());
                break;
            }
        }
        Q_EMIT app.Notifier->ProjectTypeChanged();
    } catch (const VbError& e) {
        // The project read is the open one now, whatever window failed to show it.
        ShowMessage(e.description(), MsgStyle::Exclamation);
    }
    // The default pointer is back before the read-only message shows.
    busy.Restore();
    if (app.ProjectReadOnly)
        tellOpenElsewhere();
    return true;
}

// Makes a new project with its first task. The task is asked for while the
// project before is still the open one: cancelling it leaves that project as
// it was, windows and all. Once the task is named and the windows before have
// closed, the new project is the open one, with its built-in named values,
// whatever window fails to show it.
bool openNewProject()
{
    AppState& app = App();
    // Its folder is made in Projects, its subs go into Subs. The pointer is
    // busy while they are looked at; a failure's message shows before it goes.
    {
        BusyPointer looking(*app.Notifier);
        try {
            checkInDataFolder(ProjectsFolderPath());
            checkInDataFolder(SubFolderPath());
        } catch (const VbError& e) {
            ShowMessage(e.description(), MsgStyle::Exclamation);
            return false;
        }
    }
    // The open/new dialog asks for the first task with the default pointer
    // (it puts the default back itself as it shows); the pointer is busy
    // again once it is answered, until the set-up window shows.
    const OpenChoice firstTask = AskForTask(1);
    if (firstTask.canceled)
        return false;
    BusyPointer busy(*app.Notifier);
    if (!closeWindowsBefore())
        return false;
    // The project before is no longer open here; the new one is locked as its
    // folder is made.
    app.ProjectLock.reset();
    app.ProjectReadOnly = False;
    app.ProjectFilesSeen.clear();
    app.TaskList.Clear();
    app.SubList.Clear();
    app.ObjectList.Clear();
    app.VariableDefs.Clear();
    for (int port = 0; port <= 2; ++port) {
        app.RcxSetup->PortMotor(port)->setMotorType(0);
        app.RcxSetup->PortSensor(port)->setSensorType(0);
    }
    app.RcxSetup->Dirty = False;
    buildBuiltInObjects();
    try {
        startWithoutTheProjectBefore();
        Q_EMIT app.Notifier->MotorsChanged();
        Q_EMIT app.Notifier->ModuleListChanged();
        if (AddAskedTask(firstTask)) {
            OpenCommandWindow(ModuleKind::Task, app.CurrentTask.get(), QString(), QString());
            app.CurrentTask.reset();
        }
        // The set-up window, modal, shows with the default pointer.
        busy.Restore();
        Q_EMIT app.Notifier->SetupRequested();
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
    }
    return true;
}

void writeProjectFile(RecordWriter& file)
{
    AppState& app = App();
    clsRcx& rcx = *app.RcxSetup;
    file.number(app.ProjectType).endRecord();
    file.number(rcx.ProgramNumber).endRecord();
    for (int port = 0; port <= 2; ++port) {
        const clsMotor& m = *rcx.PortMotor(port);
        file.number(m.MotorDirection)
            .number(m.MotorPort)
            .number(m.MotorStartState)
            .number(m.MotorType())
            .number(m.Power)
            .text(m.Purpose)
            .text(m.MotorFwdMeening)
            .text(m.MotorRwdMeening)
            .endRecord();
    }
    for (int port = 0; port <= 2; ++port) {
        const clsSensor& s = *rcx.PortSensor(port);
        file.number(s.Dark)
            .number(s.SensorMode)
            .number(s.SensorPort)
            .number(s.SensorType())
            .text(s.Purpose)
            .endRecord();
    }
    for (const auto& e : app.ObjectList) {
        const clsObject& o = *e.item;
        if (o.Source == OperandSource::UserConstant)
            file.text(o.Name).number(o.Number).number(o.Value).number(o.Source).endRecord();
    }
    for (const auto& e : app.ObjectList) {
        const clsObject& o = *e.item;
        if (o.Source == OperandSource::NamedRange)
            file.text(o.Name)
                .number(o.Number)
                .text(QString::number(o.Value) + QLatin1Char('_') + QString::number(o.AuxValue))
                .number(o.Source)
                .endRecord();
    }
    for (const auto& e : app.VariableDefs) {
        const clsObject& o = *e.item;
        file.text(o.Name).number(o.Number).number(o.Value).number(o.Source).endRecord();
    }
    file.text(QStringLiteral("EndVarDef")).number(0).number(0).number(0).endRecord();
    for (const auto& e : app.TaskList)
        file.text(e.item->Name).number(e.item->mNumber).endRecord();
    file.text(QStringLiteral("EndTaskDef")).number(0).endRecord();
    for (const auto& e : app.SubList)
        file.text(e.item->Name).number(e.item->mNumber).endRecord();
    file.text(QStringLiteral("EndSubDef")).number(0).endRecord();
}

}  // namespace

// ---- The project's lock ----

namespace {
// A lock file's few lines, read without waiting on what is no regular file.
QByteArray lockFileContent(const QString& path)
{
    try {
        return ReadWholeFile(path, FileKind::Project);
    } catch (const VbError&) {
        return QByteArray();
    }
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

// ---- Opening and saving ----

void SplitProjectLine(QString& line, QString& f2, QString& f3, QString& f4, QString& f5, QString& f6,
                      QString& f7, QString& f8)
{
    QString fields[8];
    int current = 0;
    for (const QChar c : std::as_const(line)) {
        if (c == QLatin1Char(',')) {
            ++current;
            continue;
        }
        if (current > 7)
            raiseError(Err::SubscriptOutOfRange);
        fields[current].append(c == QLatin1Char('"') ? QLatin1Char(' ') : c);
    }
    // Only blanks are trimmed, as the file's own blanks are.
    QString* out[8] = {&line, &f2, &f3, &f4, &f5, &f6, &f7, &f8};
    for (int i = 0; i < 8; ++i)
        *out[i] = vb::Trim(fields[i]);
}

void TakeProjectChoice(const OpenChoice& choice)
{
    AppState& app = App();
    app.RcxSetup->ProjectName = choice.name;
    if (choice.projectAction != 0)
        app.ProjectAction = choice.projectAction;
}

bool OpenProject()
{
    AppState& app = App();
    if (app.ProjectAction == 2)
        return openNewProject();
    BusyPointer busy(*app.Notifier);
    return openExistingProject(busy);
}

bool RefuseReadOnlySave()
{
    AppState& app = App();
    if (!app.ProjectReadOnly)
        return false;
    ShowMessage(QStringLiteral("The project %1 is open in another copy of the program: it was opened read-only "
                               "and can't be saved here.")
                    .arg(app.RcxSetup->ProjectName),
                MsgStyle::Exclamation);
    return true;
}

namespace {

// Before a save of a project opened from its folder: True when this copy
// still holds the project's lock, or has taken it again; False after a
// message saying why the project is not saved. The lock is gone when its file
// was removed (by hand or by a tool); another copy may then have opened the
// project as its own and saved it. The lock is taken again only when it is
// free and the project's files on disk are still those this copy last read or
// wrote. (A folder that takes no lock file lets the save go on as it lets it.)
bool holdLockForSave(const QString& projectFolder)
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

// Makes a project's folder (and the data folder's Projects folder), inside
// the data folder; a failure names the folder and the system's reason.
void makeProjectFolder(const QString& folder, WritesInside& confined)
{
    const QString projects = ProjectsFolderPath();
    if (!QDir().mkpath(projects))
        raiseFileError(Err::PathNotFound, QFileInfo(projects).fileName(), systemErrorText(EACCES));
    confined.check(folder);  // Projects may lead elsewhere through a link
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0)
        raiseFileError(Err::PathNotFound, QFileInfo(folder).fileName(), systemErrorText(errno));
}

}  // namespace

// The project file is what makes a set of task and sub files the project: it
// is written last, and only once every module's file is, so that a save that
// fails or stops anywhere leaves a project file whose modules' files are all
// there (each file is replaced whole or not at all). Until then the project
// file before lists its modules: the file of a module taken out of the
// project stays, as none is ever deleted.
//
// Nothing is written outside the data folder, nor over anything but a regular
// file (WritesInside, RecordWriter). A project opened from its folder saves
// only while this copy holds its lock (holdLockForSave); when its folder has
// gone, the whole project is written into it again as a first save writes it.
bool SaveProject()
{
    AppState& app = App();
    if (RefuseReadOnlySave())
        return false;
    RecordWriter file;
    const bool firstSave = app.ProjectAction == 2;
    QString madeFolder;   // the project's folder, made by this save
    QString folderGone;   // why the folder of a project opened from it was not there
    BusyPointer busy(*app.Notifier);
    WritesInside confined(app.DataFolder);
    // A project whose save failed is not left behind as a folder without a
    // project file where this save made the folder: the task files this save
    // put there go again, and the project and those tasks count as changed
    // once more. A new project is then new again.
    auto forgetNewFolder = [&] {
        file.close();
        if (madeFolder.isEmpty())
            return;
        // The lock file lies in the folder too.
        app.ProjectLock.reset();
        for (const auto& e : app.TaskList) {
            try {
                if (QFile::remove(TaskFilePath(e.item->Name)))
                    e.item->Dirty = True;
            } catch (const VbError&) {  // a name that can't be a file's: no file was written for it
            }
        }
        if (QDir().rmdir(madeFolder)) {  // the project is not on disk at all
            if (firstSave)
                app.ProjectAction = 2;
            app.RcxSetup->Dirty = True;
        }
    };
    auto fail = [&](const VbError& e) {
        forgetNewFolder();
        busy.Restore();
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    };
    try {
        const QString path = ProjectFilePath();  // a name that can't be a file's fails here
        const QString folder = ProjectFolderPath();
        struct stat st {};
        if (firstSave) {
            if (QFileInfo::exists(folder))
                raiseFileError(Err::PathFileAccess, QFileInfo(folder).fileName(), systemErrorText(EEXIST));
        } else if (::lstat(QFile::encodeName(folder).constData(), &st) != 0 && errno == ENOENT) {
            folderGone = systemErrorText(ENOENT);
        } else if (!holdLockForSave(folder)) {
            return false;
        }
        if (firstSave || !folderGone.isEmpty()) {
            // The data folder's Projects folder is made with the first project.
            makeProjectFolder(folder, confined);
            madeFolder = folder;
            bool elsewhere = false;
            app.ProjectLock = lockProjectFolder(folder, elsewhere);
            app.ProjectAction = 1;
        }
        // The records are kept until the modules are written; a project file
        // that can't be written fails here, before any module's file is.
        file.open(path);
        writeProjectFile(file);
    } catch (const VbError& e) {
        return fail(e);
    }

    const auto tasks = app.TaskList.entries();
    for (const auto& e : tasks) {
        if (!SaveTask(*e.item)) {
            forgetNewFolder();
            return false;
        }
    }
    const auto subs = app.SubList.entries();
    for (const auto& e : subs) {
        if (!SaveSub(*e.item)) {
            forgetNewFolder();
            return false;
        }
    }
    try {
        file.commit();
        app.RcxSetup->Dirty = False;
    } catch (const VbError& e) {
        // The modules' files are written, but the project on disk is not the
        // one in hand: it still asks to be saved.
        app.RcxSetup->Dirty = True;
        return fail(e);
    }
    app.ProjectFilesSeen = projectFilesNow();
    busy.Restore();
    if (!folderGone.isEmpty())
        ShowMessage(QStringLiteral("The folder of the project %1 was not there (%2): %3. The whole project has "
                                   "been saved into it again.")
                        .arg(app.RcxSetup->ProjectName, folderGone, madeFolder),
                    MsgStyle::Information);
    return true;
}
