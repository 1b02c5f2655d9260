#include "model/ProjectFile.h"
#include "model/ProjectLock.h"

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

void addMotorObjects(Collection<ObjectPtr>& objects, int port)
{
    const QString letter(QChar(QLatin1Char('A').unicode() + port));
    AddNamedValue(objects, QStringLiteral("Motor state ") + letter, OperandSource::MotorStatus, 192, Integer(port));
    AddNamedValue(objects, QStringLiteral("Motor direction ") + letter, OperandSource::MotorStatus, 8, Integer(port));
    AddNamedValue(objects, QStringLiteral("Motor speed ") + letter, OperandSource::MotorStatus, 7, Integer(port));
}

// The name of a sensor's value object: its purpose, or else its type word
// with the port number after a blank ("Touch sensor  1").
QString sensorValueName(const clsSensor& sensor, int port)
{
    return sensor.Purpose.isEmpty() ? SensorValueName(sensor.SensorType(), port) : sensor.Purpose;
}

void addSensorObjects(Collection<ObjectPtr>& objects, const clsSensor& sensor, int port)
{
    AddNamedValue(objects, sensorValueName(sensor, port), OperandSource::SensorValue, 0, Integer(port));
    AddSensorStatusObjects(objects, port);
}

// A project to read or make: no modules or named values, the ports as the
// open project's with no motor or sensor type. The type and the slot stay
// those of the open project until the file gives its own.
ProjectContent freshContent(const AppState& app)
{
    ProjectContent p;
    const clsRcx& rcx = app.RcxSetup();
    for (int port = 0; port <= 2; ++port) {
        p.Motors[size_t(port)] = std::make_shared<clsMotor>(rcx.PortMotor(port));
        p.Motors[size_t(port)]->setMotorType(0);
        p.Sensors[size_t(port)] = std::make_shared<clsSensor>(rcx.PortSensor(port));
        p.Sensors[size_t(port)]->setSensorType(0);
    }
    p.ProjectType = app.ProjectType();
    p.ProgramNumber = rcx.ProgramNumber;
    return p;
}

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

// The project file's records, one reading after the other, into the content.
class ProjectFileReader {
public:
    ProjectFileReader(RecordReader& file, ProjectContent& project) : file(file), p(project) {}

    void typeAndSlot()
    {
        readStatement(file, [&] { p.ProjectType = ProjectTypeOfNumber(file.integerField()); });
        BuildBuiltInObjects(p.ObjectList, p.ProjectType);
        readStatement(file, [&] { p.ProgramNumber = file.integerField(); });
    }

    void motors()
    {
        for (int port = 0; port <= 2; ++port) {
            readStatement(file, [&] { f[0] = file.line(); });
            SplitProjectLine(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]);
            clsMotor& motor = *p.Motors[size_t(port)];
            motor.MotorDirection = vb::CLng(f[0]);
            motor.MotorPort = vb::CLng(f[1]);
            motor.MotorStartState = vb::CLng(f[2]);
            motor.setMotorType(vb::CLng(f[3]));
            motor.Power = vb::CInt(f[4]);
            motor.Purpose = f[5];
            motor.MotorFwdMeening = f[6];
            motor.MotorRwdMeening = f[7];
            if (vb::CLng(f[3]) != 0)
                addMotorObjects(p.ObjectList, port);
        }
    }

    void sensors()
    {
        for (int port = 0; port <= 2; ++port) {
            readStatement(file, [&] { f[0] = file.line(); });
            SplitProjectLine(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]);
            clsSensor& sensor = *p.Sensors[size_t(port)];
            sensor.Dark = vb::CInt(f[0]);
            sensor.setSensorType(vb::CLng(f[3]));
            sensor.SensorMode = vb::CLng(f[1]);
            sensor.SensorPort = vb::CLng(f[2]);
            // The purpose names the sensor's value object, so it is stored first.
            sensor.Purpose = f[4];
            if (vb::CLng(f[3]) != 0)
                addSensorObjects(p.ObjectList, sensor, port);
        }
    }

    // Named values up to "EndVarDef"; the last one read (the end's own) is
    // the one returned.
    ObjectPtr namedValues()
    {
        ObjectPtr o = namedValue();
        while (!vb::SameText(o->Name, "EndVarDef")) {
            p.ObjectList.Add(o, o->Name);
            if (o->Source == OperandSource::Variable) {
                auto def = std::make_shared<clsObject>();
                def->Name = o->Name;
                def->Number = o->Number;
                def->Value = o->Value;
                def->Source = o->Source;
                p.VariableDefs.Add(def, def->Name);
            }
            o = namedValue();
        }
        return o;
    }

    // Tasks up to "EndTaskDef", numbered by their place in the file.
    void tasks()
    {
        for (;;) {
            moduleRecord();
            if (vb::SameText(name, "EndTaskDef"))
                break;
            auto task = std::make_shared<clsTask>();
            task->Name = name;
            task->mNumber = Integer(p.TaskList.Count() + 1);
            task->ModulType = ModuleKind::Task;
            p.TaskList.Add(task, task->Name);
        }
    }

    // Subs up to "EndSubDef" (as written, letter case counting, so that a
    // sub named "endsubdef" is kept) or the end of the file.
    void subs()
    {
        const QString endOfSubs = QStringLiteral("EndSubDef");
        while (name != endOfSubs && !file.atEnd()) {
            moduleRecord();
            auto sub = std::make_shared<clsSub>();
            sub->Name = name;
            sub->ModulType = ModuleKind::Sub;
            sub->mNumber = Integer(p.SubList.Count() + 1);
            if (!name.isEmpty() && name != endOfSubs)
                p.SubList.Add(sub, sub->Name);
        }
    }

private:
    // A record that the file no longer gives leaves the fields of the one
    // before, as every reading of a statement does.
    ObjectPtr namedValue()
    {
        readStatement(file, [&] {
            name = file.textField();
            number = file.integerField();
            value = file.field();
            source = file.integerField();
        });
        auto object = std::make_shared<clsObject>();
        clsObject& o = *object;
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
        return object;
    }

    void moduleRecord()
    {
        readStatement(file, [&] {
            name = file.textField();
            file.field();
        });
    }

    RecordReader& file;
    ProjectContent& p;
    QString f[8];
    QString name;
    Integer number = 0;
    Variant value;
    Integer source = 0;
};

// Reads the project file and every task and sub file of the project named in
// the set-up into the content, touching neither the open project nor any
// window; gives the last named value read. A failure goes to the caller with
// a description that names the file it came from.
ObjectPtr readProject(ProjectContent& project)
{
    const QString path = ProjectFilePath();  // a name that can't be a file's tells so itself
    const disk::FolderChecks folders;  // its files lie in two folders
    checkProjectInDataFolder();
    RecordReader file;
    ObjectPtr last;
    try {
        file.open(path, FileKind::Project);
        ProjectFileReader reader(file, project);
        reader.typeAndSlot();
        reader.motors();
        reader.sensors();
        last = reader.namedValues();
        reader.tasks();
        reader.subs();
        file.close();
    } catch (const VbError& e) {
        raiseError(e.number(), FileFailure(e, QFileInfo(path).fileName()));
    }

    for (const auto& e : project.TaskList)
        ReadTaskFile(*e.item);
    ReadSubFiles(project.SubList);
    return last;
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

// What the program kept of the download before another project is open.
void forgetTheProjectBefore(AppState& app) { app.FinishedModuleCount = 0; }

// Opens the project whose files are there: it is read aside first, so that a
// project any of whose files is broken is refused with a message naming the
// file, and the project open before stays as it was, its windows too. The
// pointer is busy while it reads and shows the project; a message of a
// failure shows before it goes back to the default (as `busy` goes), the
// message that the project is open elsewhere after.
bool openExistingProject(BusyPointer& busy)
{
    AppState& app = App();
    ProjectContent read = freshContent(app);
    ObjectPtr lastRead;
    try {
        lastRead = readProject(read);
    } catch (const VbError& e) {
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    }
    // What the files read are on disk, for the saves to come.
    QHash<QString, AppState::FileStamp> seen = ProjectFilesNow(read.TaskList, read.SubList);
    // The project read takes its folder's lock from here on; the project
    // before keeps its own while it may still stay the open one.
    LockAttempt locking = LockProjectFolder(ProjectFolderPath());
    // The windows of the project before close while it is still the open one.
    if (!closeWindowsBefore())
        return false;
    app.ProjectLock = std::move(locking.lock);
    app.ProjectReadOnly = locking.readOnly() ? True : False;
    app.ProjectReadOnlyWhy = ReadOnlyReason(locking);
    app.ProjectFilesSeen = std::move(seen);
    app.CurrentObject = std::move(lastRead);

    try {
        forgetTheProjectBefore(app);
        app.ReplaceProject(std::move(read));
        for (const auto& e : app.TaskList()) {
            if (e.item->mNumber == 1) {
                OpenCommandWindow(ModuleKind::Task, e.item.get(), QString(), QString());
                break;
            }
        }
    } catch (const VbError& e) {
        // The project read is the open one now, whatever window failed to show it.
        ShowMessage(e.description(), MsgStyle::Exclamation);
    }
    // The default pointer is back before the read-only message shows.
    busy.Restore();
    if (app.ProjectReadOnly)
        ShowMessage(ReadOnlyMessage(locking, app.RcxSetup().ProjectName), MsgStyle::Exclamation);
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
    const OpenChoice firstTask = AskForTask(OpenOffer::NewOnly);
    if (firstTask.canceled)
        return false;
    BusyPointer busy(*app.Notifier);
    if (!closeWindowsBefore())
        return false;
    // The project before is no longer open here; the new one is locked as its
    // folder is made.
    app.ProjectLock.reset();
    app.ProjectReadOnly = False;
    app.ProjectReadOnlyWhy.clear();
    app.ProjectFilesSeen.clear();
    ProjectContent made = freshContent(app);
    BuildBuiltInObjects(made.ObjectList, made.ProjectType);
    try {
        forgetTheProjectBefore(app);
        app.ReplaceProject(std::move(made));
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
    const clsRcx& rcx = app.RcxSetup();
    file.number(ProjectTypeNumber(app.ProjectType())).endRecord();
    file.number(rcx.ProgramNumber).endRecord();
    for (int port = 0; port <= 2; ++port) {
        const clsMotor& m = rcx.PortMotor(port);
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
        const clsSensor& s = rcx.PortSensor(port);
        file.number(s.Dark)
            .number(s.SensorMode)
            .number(s.SensorPort)
            .number(s.SensorType())
            .text(s.Purpose)
            .endRecord();
    }
    for (const auto& e : app.ObjectList()) {
        const clsObject& o = *e.item;
        if (o.Source == OperandSource::UserConstant)
            file.text(o.Name).number(o.Number).number(o.Value).number(o.Source).endRecord();
    }
    for (const auto& e : app.ObjectList()) {
        const clsObject& o = *e.item;
        if (o.Source == OperandSource::NamedRange)
            file.text(o.Name)
                .number(o.Number)
                .text(QString::number(o.Value) + QLatin1Char('_') + QString::number(o.AuxValue))
                .number(o.Source)
                .endRecord();
    }
    for (const auto& e : app.VariableDefs()) {
        const clsObject& o = *e.item;
        file.text(o.Name).number(o.Number).number(o.Value).number(o.Source).endRecord();
    }
    file.text(QStringLiteral("EndVarDef")).number(0).number(0).number(0).endRecord();
    for (const auto& e : app.TaskList())
        file.text(e.item->Name).number(e.item->mNumber).endRecord();
    file.text(QStringLiteral("EndTaskDef")).number(0).endRecord();
    for (const auto& e : app.SubList())
        file.text(e.item->Name).number(e.item->mNumber).endRecord();
    file.text(QStringLiteral("EndSubDef")).number(0).endRecord();
}

}  // namespace

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

ProjectChoiceBefore TakeProjectChoice(const OpenChoice& choice)
{
    AppState& app = App();
    const clsRcx& rcx = app.RcxSetup();
    const ProjectChoiceBefore before{rcx.ProjectName, app.ProjectAction, app.ProjectType(), rcx.Dirty};
    if (choice.projectAction != 0)
        app.ProjectAction = choice.projectAction;
    // A new project is changed from the start, and of the type chosen for it.
    const bool made = choice.projectAction == 2;
    app.TakeOpenChoice(choice.name, made ? choice.projectType : app.ProjectType(), made ? True : rcx.Dirty);
    return before;
}

void UndoProjectChoice(const ProjectChoiceBefore& before)
{
    AppState& app = App();
    app.ProjectAction = before.action;
    app.TakeOpenChoice(before.name, before.type, before.dirty);
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
    if (app.ProjectReadOnlyWhy.isEmpty())
        ShowMessage(QStringLiteral("The project %1 is open in another copy of the program: it was opened read-only "
                                   "and can't be saved here.")
                        .arg(app.RcxSetup().ProjectName),
                    MsgStyle::Exclamation);
    else
        ShowMessage(QStringLiteral("The project %1 was opened read-only and can't be saved here: %2.")
                        .arg(app.RcxSetup().ProjectName, app.ProjectReadOnlyWhy),
                    MsgStyle::Exclamation);
    return true;
}

namespace {

// Makes a project's folder (and the data folder's Projects folder), inside
// the data folder; a failure names the folder and the system's reason.
void makeProjectFolder(const QString& folder)
{
    disk::MakeFolders(ProjectsFolderPath());
    checkInDataFolder(ProjectsFolderPath());  // Projects may lead elsewhere through a link
    disk::MakeFolders(folder);
}

// Every file a save writes, looked at before the first is written: what is
// at each must be a regular file or nothing, inside the data folder (a sub's
// file in a Subs folder still to be made is new); then each that changed on
// disk since this copy read or wrote it is asked about. False when the user
// keeps one as it is on disk: then nothing is written.
bool checkTargets(const QString& projectFile)
{
    AppState& app = App();
    QStringList targets{projectFile};
    for (const auto& e : app.TaskList())
        targets.append(TaskFilePath(e.item->Name));
    for (qsizetype i = 1; i < targets.size(); ++i)
        disk::CheckWriteTarget(targets[i]);
    const bool subsFolder = disk::EntryAt(SubFolderPath()) != disk::Entry::None;
    for (const auto& e : app.SubList()) {
        const QString sub = SubFilePath(e.item->Name);
        if (subsFolder)
            disk::CheckWriteTarget(sub);
        targets.append(sub);
    }
    for (const QString& target : std::as_const(targets))
        if (!MayReplace(target))
            return false;
    return true;
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
    const disk::FolderChecks folders;  // its files lie in two folders
    const ReplaceChecks replacing;      // each file is asked about once
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
        for (const auto& e : app.TaskList()) {
            try {
                if (disk::RemoveFile(TaskFilePath(e.item->Name)))
                    e.item->Dirty = True;
            } catch (const VbError&) {  // a name that can't be a file's: no file was written for it
            }
        }
        if (disk::RemoveEmptyFolder(madeFolder)) {  // the project is not on disk at all
            if (firstSave)
                app.ProjectAction = 2;
            app.SetSetupDirty(True);
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
        const disk::Entry entry = disk::EntryAt(folder);
        if (firstSave) {
            if (entry != disk::Entry::None)
                raiseFileError(Err::PathFileAccess, QFileInfo(folder).fileName(), systemErrorText(EEXIST));
        } else if (entry == disk::Entry::None) {
            folderGone = systemErrorText(ENOENT);
        } else if (entry != disk::Entry::Folder && entry != disk::Entry::Link) {
            // A file (or a FIFO ...) where the project's folder was: nothing of it is written.
            raiseFileError(Err::PathNotFound, QFileInfo(folder).fileName(), systemErrorText(ENOTDIR));
        } else {
            checkInDataFolder(folder);
            if (!HoldLockForSave(folder))
                return false;
        }
        if (firstSave || !folderGone.isEmpty()) {
            // The data folder's Projects folder is made with the first project.
            makeProjectFolder(folder);
            madeFolder = folder;
            app.ProjectLock = LockProjectFolder(folder).lock;
            app.ProjectAction = 1;
        }
        // The records are kept until the modules are written; every file the
        // save writes is looked at here, before any is written.
        file.open(path);
        if (!checkTargets(path)) {
            forgetNewFolder();
            return false;
        }
        writeProjectFile(file);
    } catch (const VbError& e) {
        return fail(e);
    }

    const auto tasks = app.TaskList().entries();
    for (const auto& e : tasks) {
        if (!SaveTask(*e.item)) {
            forgetNewFolder();
            return false;
        }
    }
    const auto subs = app.SubList().entries();
    for (const auto& e : subs) {
        if (!SaveSub(*e.item)) {
            forgetNewFolder();
            return false;
        }
    }
    try {
        if (file.commit())
            NoteSeen(ProjectFilePath());  // the modules' saves noted theirs
        app.SetSetupDirty(False);
    } catch (const VbError& e) {
        // The modules' files are written, but the project on disk is not the
        // one in hand: it still asks to be saved.
        app.SetSetupDirty(True);
        return fail(e);
    }
    busy.Restore();
    if (!folderGone.isEmpty())
        ShowMessage(QStringLiteral("The folder of the project %1 was not there (%2): %3. The whole project has "
                                   "been saved into it again.")
                        .arg(app.RcxSetup().ProjectName, folderGone, madeFolder),
                    MsgStyle::Information);
    return true;
}
