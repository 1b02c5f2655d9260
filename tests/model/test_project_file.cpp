// The project file: opening a project with its task and sub files, creating a
// new one, and saving.
#include "test_files_support.h"

#include "model/NamedValues.h"
#include "model/ProjectFile.h"
#include "model/Records.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace filetest;

namespace {

const QString kDuplicate = QStringLiteral("48:This key is already associated with an element of this collection");
// How a failure in the project file ends its message.
const QString kInProject = QStringLiteral(" in Robot.qmd");

QStringList keysFrom(const Collection<ObjectPtr>& list, int firstIndex)
{
    QStringList keys;
    for (int i = firstIndex; i <= list.Count(); ++i)
        keys.append(list.KeyAt(i));
    return keys;
}

QString objectText(const clsObject& o)
{
    return QStringLiteral("%1|%2|%3|%4|%5").arg(o.Name).arg(o.Source).arg(o.Value).arg(o.Number).arg(o.AuxValue);
}

QString objectText(const QString& key)
{
    const auto& list = App().ObjectList();
    return list.Exists(key) ? objectText(*list.Item(key)) : QStringLiteral("<none>");
}

// What the project file carries but its task and sub names.
QStringList projectFileDump()
{
    AppState& app = App();
    QStringList d;
    d << QStringLiteral("type %1 slot %2").arg(ProjectTypeNumber(app.ProjectType())).arg(app.RcxSetup().ProgramNumber);
    for (int i = 0; i < 3; ++i) {
        const clsMotor& m = app.RcxSetup().PortMotor(i);
        d << QStringLiteral("motor %1 %2 %3 %4 %5 [%6] [%7] [%8]")
                 .arg(m.MotorDirection)
                 .arg(m.MotorPort)
                 .arg(m.MotorStartState)
                 .arg(m.MotorType())
                 .arg(m.Power)
                 .arg(m.Purpose, m.MotorFwdMeening, m.MotorRwdMeening);
        const clsSensor& s = app.RcxSetup().PortSensor(i);
        d << QStringLiteral("sensor %1 %2 %3 %4 [%5]")
                 .arg(s.Dark)
                 .arg(s.SensorMode)
                 .arg(s.SensorPort)
                 .arg(s.SensorType())
                 .arg(s.Purpose);
    }
    for (const Integer source : {100, 220})
        for (const auto& e : app.ObjectList())
            if (e.item->Source == source)
                d << QStringLiteral("value ") + objectText(*e.item);
    for (const auto& e : app.VariableDefs())
        d << QStringLiteral("variable ") + objectText(*e.item);
    return d;
}

// Everything a project file and its task and sub files carry.
QString projectDump()
{
    AppState& app = App();
    QStringList d = projectFileDump();
    for (const auto& e : app.TaskList())
        d << QStringLiteral("task %1 %2 %3 %4 [%5] %6\n")
                     .arg(e.item->Name)
                     .arg(e.item->mNumber)
                     .arg(e.item->StartOnStartup)
                     .arg(e.item->mLoop)
                     .arg(e.item->mTitle)
                     .arg(e.item->ModulType) +
                 dump(*e.item->Commands());
    for (const auto& e : app.SubList())
        d << QStringLiteral("sub %1 %2 %3 [%4] %5\n")
                     .arg(e.item->Name)
                     .arg(e.item->mNumber)
                     .arg(e.item->mLoop)
                     .arg(e.item->mTitle)
                     .arg(e.item->ModulType) +
                 dump(*e.item->Commands());
    return d.join(QLatin1Char('\n'));
}

// Every file below a folder with its bytes.
QMap<QString, QByteArray> filesBelow(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), readFile(path));
    }
    return files;
}

// The open project in parts: "project" for what its project file carries,
// its modules by name in their order, and "task <name>" or "sub <name>" for
// what each module's file carries.
QMap<QString, QString> projectParts()
{
    AppState& app = App();
    QMap<QString, QString> parts;
    QStringList project = projectFileDump();
    for (const auto& e : app.TaskList()) {
        clsTask& t = *e.item;
        project << QStringLiteral("task %1 %2").arg(t.Name).arg(t.mNumber);
        parts.insert(QStringLiteral("task ") + t.Name, QStringLiteral("%1 %2 [%3]\n").arg(t.StartOnStartup).arg(t.mLoop).arg(t.mTitle) +
                                                         dump(*t.Commands()));
    }
    for (const auto& e : app.SubList()) {
        clsSub& sub = *e.item;
        project << QStringLiteral("sub %1 %2").arg(sub.Name).arg(sub.mNumber);
        parts.insert(QStringLiteral("sub ") + sub.Name,
                     QStringLiteral("%1 [%2]\n").arg(sub.mLoop).arg(sub.mTitle) + dump(*sub.Commands()));
    }
    parts.insert(QStringLiteral("project"), project.join(QLatin1Char('\n')));
    return parts;
}

// Puts back exactly these files below the data folder (as filesBelow gives
// them), its projects and subs as they were.
void restoreFiles(const QString& root, const QMap<QString, QByteArray>& files)
{
    QDir(root + QStringLiteral("/Projects")).removeRecursively();
    QDir(root + QStringLiteral("/Subs")).removeRecursively();
    for (auto it = files.begin(); it != files.end(); ++it)
        writeFile(root + QLatin1Char('/') + it.key(), it.value());
}

// What the program stopping part way through a save looks like to the test.
struct Stopped {};

// A fault on the writes of a save, for the scope of the object: the write at
// the place given (0 the first) fails with ENOSPC, or the program stops
// there; every write that replaces a file is noted, the failing one too.
class WriteFault {
public:
    enum Mode { None, Fail, Stop };
    WriteFault(int at, Mode mode)
    {
        SetCommitFault([this, at, mode](const QString& path) {
            const int place = int(paths.size());
            paths.append(path);
            if (place != at || mode == None)
                return 0;
            if (mode == Stop)
                throw Stopped{};
            return ENOSPC;
        });
    }
    ~WriteFault() { SetCommitFault({}); }
    WriteFault(const WriteFault&) = delete;
    WriteFault& operator=(const WriteFault&) = delete;

    QStringList paths;
};

const char* const kPorts[] = {
    "1,0,1,0,7,\"\",\"\",\"\"", "1,1,1,0,7,\"\",\"\",\"\"", "1,2,1,0,7,\"\",\"\",\"\"",
    "40,0,0,0,\"\"",           "40,0,1,0,\"\"",           "40,0,2,0,\"\"",
};

}  // namespace

class ProjectFileTest : public FileTest {
protected:
    bool openFixture()
    {
        copyTree(fixtureFolder(), folder());
        App().ProjectAction = 1;
        return OpenProject();
    }

    void writeTask(const QString& name, const QByteArray& bytes = crlf({"1,1,1,\"t\""}))
    {
        writeFile(taskPath(name), bytes);
    }
    void writeSub(const QString& name) { writeFile(subPath(name), crlf({"0,0,1,\"s\""})); }

    // A project file of the given lines (Latin-1, CR LF), opened.
    bool openProjectText(const QByteArray& text)
    {
        writeFile(projectPath(), text);
        App().ProjectAction = 1;
        return OpenProject();
    }
};

// ---- The fixture project ----

TEST_F(ProjectFileTest, OpensTheFixtureProject)
{
    ASSERT_TRUE(openFixture());
    EXPECT_TRUE(presenter.shown.isEmpty()) << messages().join(QLatin1Char('\n')).toStdString();
    AppState& app = App();

    EXPECT_EQ(ProjectTypeNumber(app.ProjectType()), 0);
    EXPECT_EQ(app.RcxSetup().ProgramNumber, 2);
    EXPECT_EQ(app.RcxSetup().Dirty, False);

    const clsMotor& a = app.RcxSetup().PortMotor(0);
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4 %5 %6/%7/%8")
                  .arg(a.MotorDirection)
                  .arg(a.MotorPort)
                  .arg(a.MotorStartState)
                  .arg(a.MotorType())
                  .arg(a.Power)
                  .arg(a.Purpose, a.MotorFwdMeening, a.MotorRwdMeening),
              QStringLiteral("1 0 1 1 7 Left wheel/forward/back"));
    const clsMotor& c = app.RcxSetup().PortMotor(2);
    EXPECT_EQ(c.Purpose, u("Lève-bras"));
    EXPECT_EQ(c.MotorStartState, 0);
    EXPECT_EQ(c.Power, 5);
    const clsSensor& s1 = app.RcxSetup().PortSensor(0);
    EXPECT_EQ(s1.Purpose, QStringLiteral("Bumper"));
    EXPECT_EQ(s1.SensorType(), 1);
    const clsSensor& s3 = app.RcxSetup().PortSensor(2);
    EXPECT_EQ(s3.Dark, 55);
    EXPECT_EQ(s3.SensorType(), 3);
    EXPECT_EQ(s3.SensorMode, 4);
    EXPECT_EQ(s3.SensorPort, 2);

    // The built-in set first, then the motor, sensor and stored objects.
    ASSERT_EQ(app.ObjectList().KeyAt(1), QStringLiteral("Infinite loop"));
    EXPECT_EQ(keysFrom(app.ObjectList(), 45),
              (QStringList{QStringLiteral("Motor state A"), QStringLiteral("Motor direction A"),
                           QStringLiteral("Motor speed A"), QStringLiteral("Motor state C"),
                           QStringLiteral("Motor direction C"), QStringLiteral("Motor speed C"),
                           QStringLiteral("Bumper"), QStringLiteral("S. Type 1"), QStringLiteral("S. Mode 1"),
                           QStringLiteral("S. Boolean 1"), QStringLiteral("S. Raw value 1"),
                           QStringLiteral("Light sensor  3"), QStringLiteral("S. Type 3"), QStringLiteral("S. Mode 3"),
                           QStringLiteral("S. Boolean 3"), QStringLiteral("S. Raw value 3"), QStringLiteral("Top speed"),
                           QStringLiteral("Ticks, per turn"), QStringLiteral("Near"), QStringLiteral("Band"),
                           QStringLiteral("Count"), u("Dépôt")}));
    EXPECT_EQ(objectText(QStringLiteral("Motor state C")), QStringLiteral("Motor state C|3|192|2|0"));
    EXPECT_EQ(objectText(QStringLiteral("Motor direction A")), QStringLiteral("Motor direction A|3|8|0|0"));
    EXPECT_EQ(objectText(QStringLiteral("Motor speed C")), QStringLiteral("Motor speed C|3|7|2|0"));
    EXPECT_EQ(objectText(QStringLiteral("Bumper")), QStringLiteral("Bumper|9|0|0|0"));
    EXPECT_EQ(objectText(QStringLiteral("S. Raw value 3")), QStringLiteral("S. Raw value 3|12|0|2|0"));
    EXPECT_EQ(objectText(QStringLiteral("S. Boolean 1")), QStringLiteral("S. Boolean 1|13|0|0|0"));
    EXPECT_EQ(objectText(QStringLiteral("Ticks, per turn")), QStringLiteral("Ticks, per turn|100|16|0|0"));
    EXPECT_EQ(objectText(QStringLiteral("Near")), QStringLiteral("Near|220|-5|0|-1"));
    EXPECT_EQ(objectText(QStringLiteral("Band")), QStringLiteral("Band|220|3|0|12"));
    EXPECT_EQ(objectText(u("Dépôt")), u("Dépôt|0|-20|1|0"));
    ASSERT_EQ(app.VariableDefs().Count(), 2);
    EXPECT_EQ(objectText(*app.VariableDefs().Item(2)), u("Dépôt|0|-20|1|0"));
    EXPECT_NE(app.VariableDefs().Item(2).get(), app.ObjectList().Item(u("Dépôt")).get());

    QStringList tasks, subs;
    for (const auto& e : app.TaskList())
        tasks << QStringLiteral("%1 %2 %3").arg(e.item->Name).arg(e.item->mNumber).arg(e.item->ModulType);
    for (const auto& e : app.SubList())
        subs << QStringLiteral("%1 %2 %3").arg(e.item->Name).arg(e.item->mNumber).arg(e.item->ModulType);
    EXPECT_EQ(tasks, (QStringList{QStringLiteral("Drive 1 1"), QStringLiteral("Arm 2 1"), u("Tâche 3 1")}));
    EXPECT_EQ(subs, (QStringList{QStringLiteral("Blink 1 5"), QStringLiteral("Beep twice 2 5")}));
    EXPECT_EQ(app.TaskList().Item(QStringLiteral("Arm"))->mTitle, u("Lève le bras"));
    EXPECT_TRUE(app.TaskList().Item(u("Tâche"))->Commands()->isEmpty());
    EXPECT_EQ(explorer(), (QStringList{QStringLiteral("Drive/1"), QStringLiteral("Arm/1"), u("Tâche/1"),
                                       QStringLiteral("Blink/5"), QStringLiteral("Beep twice/5")}));

    // Task 1's window opens; the set-up window was closed and the explorer
    // started afresh before anything was read.
    ASSERT_EQ(windows.windows.size(), 1u);
    EXPECT_EQ(windows.lastWindow()->owner, app.TaskList().Item(QStringLiteral("Drive")).get());
    EXPECT_EQ(windows.setupReplacedCount, 1);
    EXPECT_EQ(windows.setupRequestedCount, 0);
    EXPECT_EQ(windows.projectReplacedCount, 1);
    const int replaced = int(windows.log.indexOf(QStringLiteral("ProjectReplaced()")));
    EXPECT_LT(windows.log.indexOf(QStringLiteral("SetupReplaced()")), replaced);
    EXPECT_LT(replaced, windows.log.indexOf(QStringLiteral("ModuleAdded(Drive,1)")));
    EXPECT_EQ(windows.pointers.first(), 11);
    EXPECT_EQ(windows.pointers.last(), 0);
}

TEST_F(ProjectFileTest, SavingTheFixtureProjectWritesTheSameBytes)
{
    ASSERT_TRUE(openFixture());
    // Take the files away so that the save has to write every one of them.
    const auto fixture = filesBelow(fixtureFolder());
    for (const QString& rel : fixture.keys())
        QFile::remove(folder() + QLatin1Char('/') + rel);

    ASSERT_TRUE(SaveProject());
    EXPECT_TRUE(presenter.shown.isEmpty()) << messages().join(QLatin1Char('\n')).toStdString();
    const auto written = filesBelow(folder());
    EXPECT_EQ(written.keys(), fixture.keys());
    for (const QString& rel : fixture.keys()) {
        SCOPED_TRACE(rel.toStdString());
        EXPECT_EQ(written.value(rel), fixture.value(rel));
    }
}

// A project built in memory, with nested bodies in both columns, ranges with
// negative bounds, texts with commas and names with letters 224..250, comes
// back from its files as it was, and saving it again writes the same bytes.
TEST_F(ProjectFileTest, ARoundTripIsExact)
{
    AppState& app = App();
    app.SetProjectName(u("Projèt"));
    app.ProjectAction = 2;
    app.SetProjectType(ProjectType::Rcx);
    app.SetProgramNumber(4);
    app.EditMotor(1, [](clsMotor& mb) {
        mb.setMotorType(1);
        mb.MotorDirection = 0;
        mb.Power = 3;
        mb.Purpose = u("Grúa");
        mb.MotorFwdMeening = QStringLiteral("up");
        mb.MotorRwdMeening = QStringLiteral("down");
    });
    app.EditSensor(1, [](clsSensor& s2) {
        s2.setSensorType(4);
        s2.SensorMode = 2;
        s2.Dark = 10;
        s2.Purpose = u("Rueda");
    });

    auto object = [&](const char* name, Integer source, Long value, Integer number, Long aux) {
        auto o = std::make_shared<clsObject>();
        o->Name = u(name);
        o->Source = source;
        o->Value = value;
        o->Number = number;
        o->AuxValue = aux;
        return o;
    };
    app.AddObject(object("Near", 220, -5, 0, -1), QStringLiteral("Near"));
    app.AddObject(object("Ticks, per turn", 100, -16, 0, 0), QStringLiteral("Ticks, per turn"));
    app.AddObject(object("Wide", 220, -32768, 0, 100000), QStringLiteral("Wide"));
    for (const char* v : {"Dépôt", "ùñ"}) {
        app.AddObject(object(v, 0, 12, 3, 0), u(v));
        app.AddVariableDef(object(v, 0, 12, 3, 0), u(v));
    }

    auto drive = std::make_shared<clsTask>();
    drive->Name = u("Drïve");
    drive->mNumber = 1;
    drive->StartOnStartup = 1;
    drive->mLoop = 1;
    drive->mTitle = u("Go, go, gò");
    drive->ModulType = 1;
    CommandCollection& g = *drive->Commands();
    auto on = command("M_ON", 0, 1, "On, A C");
    on->MotorList = QStringLiteral("02");
    on->Speed = 7;
    put(g, on);
    auto outer = command("L_IF", 0, 2, "IF");
    outer->Op = 4;
    outer->Param1Source = 9;
    outer->Param1Value = Variant(u("Rueda"));
    outer->Param2Source = 230;
    outer->Param2Value = Variant(QStringLiteral("-5_-1"));
    auto wh = command("L_WHILE", 0, 1, "WHILE");
    wh->Param2Value = Variant(QStringLiteral("Near"));
    auto wait = command("G_WAIT", 0, 1);
    wait->Time = 1.5;
    put(*wh->Commands, wait);
    auto loop = command("L_LOOP", 1, 1, "LOOP");
    loop->Param1Source = 2;
    loop->Param1Value = 3;
    put(*loop->Commands, command("M_RWD", 0, 1));
    put(*loop->Commands, command("A_REM", 1, 40, "x, y"));
    put(*wh->Commands, loop);
    put(*outer->Commands, wh);
    auto elseLoop = command("L_LOOP", 1, 1);
    put(*elseLoop->Commands, command("M_OFF", 1, 2));
    put(*outer->Commands, elseLoop);
    put(g, outer);
    put(g, command("L_IF", 1, 40));
    app.AddModule(drive);
    auto idle = std::make_shared<clsTask>();
    idle->Name = QStringLiteral("Idle");
    idle->mNumber = 2;
    idle->ModulType = 1;
    app.AddModule(idle);
    auto blink = std::make_shared<clsSub>();
    blink->Name = u("Blïnk");
    blink->mNumber = 1;
    blink->mLoop = 1;
    blink->mTitle = QStringLiteral("b");
    blink->ModulType = 5;
    auto sl = command("L_LOOP", 0, 1);
    auto snd = command("G_SOUND", 0, 1);
    snd->Param1Source = 200;
    snd->Param1Value = Variant(QStringLiteral("Beep"));
    put(*sl->Commands, snd);
    put(*blink->Commands(), sl);
    app.AddModule(blink);

    const QString before = projectDump();
    ASSERT_TRUE(SaveProject());
    EXPECT_EQ(app.ProjectAction, 1);
    const QString root = folder();
    const auto first = filesBelow(root);
    EXPECT_EQ(first.keys(), (QStringList{u("Projects/Projèt.dir/Drïve.tas"), QStringLiteral("Projects/Projèt.dir/Idle.tas"),
                                          u("Projects/Projèt.dir/Projèt.qmd"), u("Subs/Blïnk.sub")}));

    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty()) << messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(projectDump(), before);
    EXPECT_TRUE(app.ObjectList().Exists(u("Rueda")));

    ASSERT_TRUE(SaveProject());
    EXPECT_EQ(filesBelow(root), first);
}

// ---- Reading edge cases ----

TEST_F(ProjectFileTest, OpensOrRefusesByTheFileRules)
{
    struct Case {
        const char* what;
        std::vector<const char*> ports;  // empty: the six default port lines; one: the first record
        std::vector<const char*> rest;
        bool cutLastLineEnd;
        QStringList expectMessages;  // empty: opens
        std::function<void()> check;
        bool opensAfterMessage = false;
    };
    AppState& app = App();
    auto taskNames = [&] {
        QStringList n;
        for (const auto& e : app.TaskList())
            n << QStringLiteral("%1=%2").arg(e.item->Name).arg(e.item->mNumber);
        return n.join(QLatin1Char(' '));
    };
    auto subNames = [&] {
        QStringList n;
        for (const auto& e : app.SubList())
            n << QStringLiteral("%1=%2").arg(e.item->Name).arg(e.item->mNumber);
        return n.join(QLatin1Char(' '));
    };
    const Case cases[] = {
        {"no named values", {}, {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0", "\"Blink\",1", "\"EndSubDef\",0"},
         false, {}, [&] {
             EXPECT_EQ(taskNames(), QStringLiteral("Drive=1"));
             EXPECT_EQ(subNames(), QStringLiteral("Blink=1"));
         }},
        {"a range first, with negative bounds, split at its first underscore", {},
         {"\"Near\",0,\"-5_-1\",220", "\"Band\",2,\"3_12\",220", "\"enddefvar\",0,0,0", "\"endvardef\",0,0,0",
          "\"Drive\",1", "\"EndTaskDef\",0"},
         false, {}, [&] {
             EXPECT_EQ(objectText(QStringLiteral("Near")), QStringLiteral("Near|220|-5|0|-1"));
             EXPECT_EQ(objectText(QStringLiteral("Band")), QStringLiteral("Band|220|3|2|12"));
             EXPECT_EQ(objectText(QStringLiteral("enddefvar")), QStringLiteral("enddefvar|0|0|0|0"));
             EXPECT_EQ(app.VariableDefs().Count(), 1);
         }},
        {"the stored task numbers are ignored", {},
         {"\"EndVarDef\",0,0,0", "\"Drive\",3", "\"Arm\",1", "\"EndTaskDef\",0", "\"EndSubDef\",0"}, false, {}, [&] {
             EXPECT_EQ(taskNames(), QStringLiteral("Drive=1 Arm=2"));
             ASSERT_NE(windows.lastWindow(), nullptr);
             EXPECT_EQ(windows.lastWindow()->owner, app.TaskList().Item(QStringLiteral("Drive")).get());
         }},
        {"no sub list", {}, {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0"}, false, {},
         [&] { EXPECT_EQ(subNames(), QString()); }},
        {"sub records without their end", {}, {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0", "\"Blink\",7"},
         true, {}, [&] { EXPECT_EQ(subNames(), QStringLiteral("Blink=1")); }},
        {"the end of the subs is matched with its letter case", {},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"ENDTASKDEF\",0", "\"Blink\",1", "\"endsubdef\",2", "\"EndSubDef\",0",
          "\"Arm\",3"},
         false, {}, [&] {
             EXPECT_EQ(taskNames(), QStringLiteral("Drive=1"));
             EXPECT_EQ(subNames(), QStringLiteral("Blink=1 endsubdef=2"));
         }},
        {"records after EndSubDef are ignored", {},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0", "\"EndSubDef\",0", "\"Blink\",1"}, false, {},
         [&] { EXPECT_EQ(subNames(), QString()); }},
        {"a file that ends before EndTaskDef", {}, {"\"EndVarDef\",0,0,0", "\"Drive\",1"}, false,
         {kDuplicate + kInProject}, {}},
        {"a file that ends right after EndVarDef", {}, {"\"EndVarDef\",0,0,0"}, false,
         {QStringLiteral("48:Bad file name or number") + kInProject}, {}},
        {"a file that ends inside a named value", {}, {"\"Speed\",0,"}, true,
         {QStringLiteral("48:Bad file name or number") + kInProject}, {}},
        {"a file that ends inside EndTaskDef", {}, {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\""}, true,
         {QStringLiteral("48:Bad file name or number") + kInProject}, {}},
        {"a file that ends inside the port lines", {kPorts[0], kPorts[1], kPorts[2], kPorts[3], kPorts[4]}, {}, false,
         {QStringLiteral("48:Type mismatch") + kInProject}, {}},
        {"names that differ only in letter case", {}, {"\"Speed\",0,1,100", "\"SPEED\",0,2,100"}, false,
         {kDuplicate + kInProject}, {}},
        {"a stored name equal to a built-in one", {}, {"\"timer 1\",0,5,0"}, false, {kDuplicate + kInProject}, {}},
        {"a range without its underscore", {}, {"\"Near\",0,\"5\",220"}, false,
         {QStringLiteral("48:Invalid procedure call or argument") + kInProject}, {}},
        {"a constant whose value is a text", {}, {"\"Speed\",0,\"fast\",100"}, false,
         {QStringLiteral("48:Type mismatch") + kInProject}, {}},
        {"short port lines", {"1,0,1,1,7,\"Left\"", kPorts[1], kPorts[2], "40,1,0,1", kPorts[4], kPorts[5]},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0"}, false, {}, [&] {
             const clsMotor& m = app.RcxSetup().PortMotor(0);
             EXPECT_EQ(m.Purpose + QLatin1Char('/') + m.MotorFwdMeening + QLatin1Char('/') + m.MotorRwdMeening,
                       QStringLiteral("Left//"));
             EXPECT_TRUE(app.ObjectList().Exists(QStringLiteral("Motor speed A")));
             EXPECT_EQ(app.RcxSetup().PortSensor(0).Purpose, QString());
             EXPECT_EQ(objectText(QStringLiteral("Touch sensor  1")), QStringLiteral("Touch sensor  1|9|0|0|0"));
         }},
        {"quotes and blanks in port texts", {"1,0,1,1,7,  \"Left wheel\"  ,\"a\"b\",\"\"", kPorts[1], kPorts[2],
                                             "40,1,0,1,\"Bump, front\"", kPorts[4], kPorts[5]},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0"}, false, {}, [&] {
             const clsMotor& m = app.RcxSetup().PortMotor(0);
             EXPECT_EQ(m.Purpose + QLatin1Char('/') + m.MotorFwdMeening + QLatin1Char('/') + m.MotorRwdMeening,
                       QStringLiteral("Left wheel/a b/"));
             EXPECT_EQ(app.RcxSetup().PortSensor(0).Purpose, QStringLiteral("Bump"));
         }},
        {"a ninth field in a port line", {"1,0,1,1,7,\"a\",\"b\",\"c\",\"d\"", kPorts[1], kPorts[2], kPorts[3], kPorts[4],
                                          kPorts[5]},
         {}, false, {QStringLiteral("48:Subscript out of range") + kInProject}, {}},
        {"a ninth comma without text", {"1,0,1,0,7,\"a\",\"b\",\"c\",", kPorts[1], kPorts[2], kPorts[3], kPorts[4],
                                        kPorts[5]},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0"}, false, {}, {}},
        {"an empty numeric field in a port line", {kPorts[0], ",1,1,0,7,\"\",\"\",\"\"", kPorts[2], kPorts[3],
                                                   kPorts[4], kPorts[5]},
         {}, false, {QStringLiteral("48:Type mismatch") + kInProject}, {}},
        {"a port field that is no number", {kPorts[0], kPorts[1], kPorts[2], kPorts[3], "40,0,one,0,\"\"", kPorts[5]},
         {}, false, {QStringLiteral("48:Type mismatch") + kInProject}, {}},
        {"codes out of their usual ranges stand", {"1,0,1,9,99,\"\",\"\",\"\"", kPorts[1], kPorts[2], "40,6,0,0,\"\"",
                                                   kPorts[4], kPorts[5]},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0"}, false, {}, [&] {
             EXPECT_EQ(app.RcxSetup().PortMotor(0).MotorType(), 9);
             EXPECT_EQ(app.RcxSetup().PortMotor(0).Power, 99);
             EXPECT_TRUE(app.ObjectList().Exists(QStringLiteral("Motor state A")));
             EXPECT_EQ(app.RcxSetup().PortSensor(0).SensorMode, 6);
         }},
        {"a project type that is a text", {"\"RCX\""}, {}, false, {QStringLiteral("48:Type mismatch") + kInProject},
         {}},
        {"a task that can't be found", {}, {"\"EndVarDef\",0,0,0", "\"Ghost\",1", "\"EndTaskDef\",0"}, false,
         {QStringLiteral("48:File not found: Ghost.tas")}, {}},
        {"a sub that can't be found", {}, {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0", "\"Ghost\",1"},
         false, {QStringLiteral("48:File not found while Opening SubFile %1/Subs/Ghost.sub")}, {}},
        {"a task whose commands can't be read", {},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"Broken\",2", "\"EndTaskDef\",0"}, false,
         {kDuplicate + QStringLiteral(" in Broken.tas")}, {}},
        {"a task name that leads out of the project", {}, {"\"EndVarDef\",0,0,0", "\"../evil\",1", "\"EndTaskDef\",0"},
         false,
         {QStringLiteral("48:Bad file name: the task name \"../evil\" can't be used as a file name")}, {}},
        {"a sub name that leads out of the Subs folder", {},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0", "\"..\",1"}, false,
         {QStringLiteral("48:Bad file name: the sub name \"..\" can't be used as a file name while Opening SubFile "
                         "%1/Subs/...sub")},
         {}},
        {"a Joystick & Keyboard project", {"1"}, {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0"}, false, {}, [&] {
             EXPECT_TRUE(app.ObjectList().Exists(QStringLiteral("Keyboard key")));
             EXPECT_FALSE(app.ObjectList().Exists(QStringLiteral("Timer 1")));
         }},
        {"a byte order mark before the first record, as an editor writes one", {"\xEF\xBB\xBF" "1"},
         {"\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0"}, false, {},
         [&] { EXPECT_EQ(ProjectTypeNumber(app.ProjectType()), 1); }},
    };

    writeTask(QStringLiteral("Drive"));
    writeTask(QStringLiteral("Arm"));
    writeTask(QStringLiteral("Broken"), crlf({"1,1,1,\"t\"", "\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,0,1",
                                              "\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,0,1"}));
    writeSub(QStringLiteral("Blink"));
    writeSub(QStringLiteral("endsubdef"));
    writeFile(folder() + QStringLiteral("/evil.tas"), crlf({"1,1,1,\"outside\""}));
    writeFile(folder() + QStringLiteral("/...sub"), crlf({"0,0,1,\"outside\""}));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        presenter.shown.clear();
        windows.addedModules.clear();
        windows.windows.clear();
        windows.pointers.clear();
        windows.log.clear();
        const QString before = projectDump();
        const QString objectsBefore = keysFrom(app.ObjectList(), 1).join(QLatin1Char('|'));

        const bool defaultPorts = c.ports.size() == 0;
        QByteArray bytes = "0\r\n0\r\n";
        if (c.ports.size() == 1)  // a first record of its own
            bytes = QByteArray(*c.ports.begin()) + "\r\n0\r\n";
        for (const char* p : kPorts)
            if (defaultPorts || c.ports.size() == 1)
                bytes += QByteArray(p) + "\r\n";
        if (!defaultPorts && c.ports.size() > 1)
            for (const char* p : c.ports)
                bytes += QByteArray(p) + "\r\n";
        bytes += crlf(c.rest);
        if (c.cutLastLineEnd)
            bytes.chop(2);

        const bool ok = openProjectText(bytes);
        QStringList expected;
        for (const QString& m : c.expectMessages)
            expected << (m.contains(QStringLiteral("%1")) ? m.arg(folder()) : m);
        EXPECT_EQ(ok, expected.isEmpty() || c.opensAfterMessage);
        EXPECT_EQ(messages(), expected);
        EXPECT_EQ(windows.pointers.last(), 0);
        if (!ok) {
            // Refused: the project opened by the case before is still there, as it was.
            EXPECT_EQ(projectDump(), before);
            EXPECT_EQ(keysFrom(app.ObjectList(), 1).join(QLatin1Char('|')), objectsBefore);
            EXPECT_EQ(windows.log, (QStringList{QStringLiteral("PointerChanged(11)"), QStringLiteral("PointerChanged(0)")}));
        }
        if (c.check)
            c.check();
    }
    EXPECT_EQ(readFile(folder() + QStringLiteral("/evil.tas")), crlf({"1,1,1,\"outside\""}));
}

// A project any of whose files is broken is refused: the message names the
// file, and the project open before stays open as it was, with its modules,
// its named values, its listing and its window.
TEST_F(ProjectFileTest, ABrokenFileLeavesTheOpenProjectAsItWas)
{
    struct Case {
        const char* what;
        std::function<void(const QString& other)> breakIt;  // the folder of project "Other"
        QString message;                                      // %1: the data folder
    };
    auto replaceIn = [](const QString& path, const QByteArray& from, const QByteArray& to) {
        QByteArray bytes = readFile(path);
        ASSERT_TRUE(bytes.contains(from)) << path.toStdString();
        writeFile(path, bytes.replace(from, to));
    };
    // Cuts the file `extra` bytes after the start of `marker`.
    auto cutAt = [](const QString& path, const QByteArray& marker, qsizetype extra) {
        const QByteArray whole = readFile(path);
        ASSERT_TRUE(whole.contains(marker)) << path.toStdString();
        writeFile(path, whole.left(whole.indexOf(marker) + extra));
    };
    const Case cases[] = {
        {"the project file cut inside its task list",
         [&](const QString& other) { cutAt(other + QStringLiteral("/Other.qmd"), "\"Arm\"", 0); },
         kDuplicate + QStringLiteral(" in Other.qmd")},  // the last task read again
        {"the project file cut inside a named value",
         [&](const QString& other) { cutAt(other + QStringLiteral("/Other.qmd"), "\"Count\"", 9); },
         QStringLiteral("48:Bad file name or number in Other.qmd")},
        {"a port field that is no number in the project file",
         [&](const QString& other) { replaceIn(other + QStringLiteral("/Other.qmd"), "40,1,0,1,", "40,one,0,1,"); },
         QStringLiteral("48:Type mismatch in Other.qmd")},
        {"no project file", [&](const QString& other) { QFile::remove(other + QStringLiteral("/Other.qmd")); },
         QStringLiteral("48:File not found: Other.qmd")},
        {"a task file missing", [&](const QString& other) { QFile::remove(other + QStringLiteral("/Arm.tas")); },
         QStringLiteral("48:File not found: Arm.tas")},
        {"a task header whose loop flag is no number",
         [&](const QString& other) { replaceIn(other + QStringLiteral("/Drive.tas"), "1,1,1,\"Drive", "1,x,1,\"Drive"); },
         QStringLiteral("48:Type mismatch in Drive.tas")},
        {"a task file cut inside a command record",
         [&](const QString& other) { cutAt(other + QStringLiteral("/Drive.tas"), "\"L_IF\"", 10); },
         QStringLiteral("48:Input past end of file in Drive.tas")},
        {"a task whose commands share a cell",
         [&](const QString& other) {
             writeFile(other + QStringLiteral("/Arm.tas"), crlf({"1,1,1,\"t\"", "\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,0,1",
                                                                 "\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,0,1"}));
         },
         kDuplicate + QStringLiteral(" in Arm.tas")},
        {"a sub file that is broken",
         [&](const QString& other) {
             replaceIn(other + QStringLiteral("/Other.qmd"), "\"Beep twice\",2", "\"Cracked\",2");
             writeFile(folder() + QStringLiteral("/Subs/Cracked.sub"), crlf({"0,0,1,\"s\"", "\"G_WAIT\",\"\",x"}));
         },
         QStringLiteral("48:Type mismatch while Opening SubFile %1/Subs/Cracked.sub")},
        {"a task with a command outside the grid",
         [&](const QString& other) {
             writeFile(other + QStringLiteral("/Arm.tas"),
                       crlf({"1,1,1,\"t\"", "\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,2,1"}));
         },
         QStringLiteral("48:A command lies outside the grid (column 2, row 1; the grid has columns 0 and 1, "
                        "rows 1 to 40) in Arm.tas")},
        // Files that are no regular files or too large are refused unread (the
        // large ones are sparse: they take no room on the disk).
        {"a task file that is a FIFO",
         [&](const QString& other) {
             QFile::remove(other + QStringLiteral("/Arm.tas"));
             ASSERT_EQ(::mkfifo(QFile::encodeName(other + QStringLiteral("/Arm.tas")).constData(), 0600), 0);
         },
         QStringLiteral("48:Not a regular file: Arm.tas")},
        {"a project file larger than any",
         [&](const QString& other) { ASSERT_TRUE(QFile(other + QStringLiteral("/Other.qmd")).resize(4 << 20 | 1)); },
         QStringLiteral("48:Too large for a project file (over 4 MB): Other.qmd")},
        {"a task file larger than any",
         [&](const QString& other) { ASSERT_TRUE(QFile(other + QStringLiteral("/Drive.tas")).resize(8 << 20 | 1)); },
         QStringLiteral("48:Too large for a task file (over 8 MB): Drive.tas")},
        {"a sub file larger than any",
         [&](const QString& other) {
             replaceIn(other + QStringLiteral("/Other.qmd"), "\"Beep twice\",2", "\"Huge\",2");
             writeFile(folder() + QStringLiteral("/Subs/Huge.sub"), crlf({"0,0,1,\"s\""}));
             ASSERT_TRUE(QFile(folder() + QStringLiteral("/Subs/Huge.sub")).resize(8 << 20 | 1));
         },
         QStringLiteral("48:Too large for a sub file (over 8 MB) while Opening SubFile %1/Subs/Huge.sub")},
    };

    ASSERT_TRUE(openFixture());
    AppState& app = App();
    app.KeepListing(QStringLiteral("the listing of Robot"), CompileFor::Listing);
    const QString before = projectDump();
    const QStringList objectsBefore = keysFrom(app.ObjectList(), 1);
    const clsTask* drive = app.TaskList().Item(QStringLiteral("Drive")).get();
    ASSERT_EQ(windows.windows.size(), 1u);
    const QString other = folder() + QStringLiteral("/Projects/Other.dir");

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(other).removeRecursively();
        copyTree(fixtureFolder() + QStringLiteral("/Projects/Robot.dir"), other);
        QFile::rename(other + QStringLiteral("/Robot.qmd"), other + QStringLiteral("/Other.qmd"));
        c.breakIt(other);
        presenter.shown.clear();
        windows.log.clear();

        const ProjectChoiceBefore chosen = TakeProjectChoice({false, QStringLiteral("Other"), 1});
        EXPECT_FALSE(OpenProject());
        UndoProjectChoice(chosen);

        EXPECT_EQ(messages(), QStringList{c.message.contains(QStringLiteral("%1")) ? c.message.arg(folder()) : c.message});
        EXPECT_EQ(projectDump(), before);
        EXPECT_EQ(keysFrom(app.ObjectList(), 1), objectsBefore);
        EXPECT_EQ(app.TaskList().Item(QStringLiteral("Drive")).get(), drive);
        EXPECT_EQ(app.LastListing(), QStringLiteral("the listing of Robot"));
        EXPECT_EQ(windows.windows.size(), 1u);
        EXPECT_EQ(windows.lastWindow()->owner, drive);
        EXPECT_EQ(windows.log, (QStringList{QStringLiteral("PointerChanged(11)"), QStringLiteral("PointerChanged(0)")}));
    }

    // A whole project whose windows before can't be closed is not opened either.
    QDir(other).removeRecursively();
    copyTree(fixtureFolder() + QStringLiteral("/Projects/Robot.dir"), other);
    QFile::rename(other + QStringLiteral("/Robot.qmd"), other + QStringLiteral("/Other.qmd"));
    presenter.shown.clear();
    windows.onCloseProjectWindows = [] { raiseError(Err::InvalidCall); };
    const ProjectChoiceBefore chosen = TakeProjectChoice({false, QStringLiteral("Other"), 1});
    EXPECT_FALSE(OpenProject());
    UndoProjectChoice(chosen);
    windows.onCloseProjectWindows = {};
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Invalid procedure call or argument")});
    EXPECT_EQ(projectDump(), before);
    EXPECT_EQ(app.TaskList().Item(QStringLiteral("Drive")).get(), drive);
    EXPECT_EQ(windows.pointers.last(), 0);

    // The project before still saves to the very bytes it was opened from.
    ASSERT_TRUE(SaveProject());
    EXPECT_EQ(filesBelow(folder() + QStringLiteral("/Projects/Robot.dir")),
              filesBelow(fixtureFolder() + QStringLiteral("/Projects/Robot.dir")));
}

// A save writes through a link into whatever the link leads to. A project
// whose folder, project or task files (those it does not list too, for a task
// added later would be saved through them), or whose Subs folder or sub files,
// lead out of the data folder is refused with a message naming the file, and
// nothing outside is touched. Links that stay inside the data folder are kept.
TEST_F(ProjectFileTest, ALinkOutOfTheDataFolderIsRefused)
{
    QTemporaryDir elsewhereDir;
    copyTree(fixtureFolder(), elsewhereDir.path());
    const QString elsewhere = QFileInfo(elsewhereDir.path()).canonicalFilePath();
    const QString there = elsewhere + QStringLiteral("/Projects/Robot.dir");
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    const QString before = projectDump();
    const QString robot = projectFolder();
    const QString subs = folder() + QStringLiteral("/Subs");
    const QString projects = folder() + QStringLiteral("/Projects");

    // The entry at `path` replaced by a link to `target`, and the entry back.
    auto linkInstead = [](const QString& path, const QString& target) {
        ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".away")));
        ASSERT_TRUE(QFile::link(target, path));
    };
    auto putBack = [](const QString& path) {
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(QFile::rename(path + QStringLiteral(".away"), path));
    };
    struct Case {
        const char* what;
        bool fresh;  // a new project is asked for
        QString entry;
        QString target;  // empty: a new link at entry
        QString message;
    };
    const QString outside = QStringLiteral("48:Leads outside the data folder (to %1): %2");
    const Case cases[] = {
        {"a task file", false, robot + QStringLiteral("/Arm.tas"), there + QStringLiteral("/Arm.tas"),
         outside.arg(there + QStringLiteral("/Arm.tas"), QStringLiteral("Arm.tas"))},
        {"the project file", false, robot + QStringLiteral("/Robot.qmd"), there + QStringLiteral("/Robot.qmd"),
         outside.arg(there + QStringLiteral("/Robot.qmd"), QStringLiteral("Robot.qmd"))},
        {"a task file the project does not list", false, robot + QStringLiteral("/New.tas"),
         there + QStringLiteral("/Drive.tas"), outside.arg(there + QStringLiteral("/Drive.tas"), QStringLiteral("New.tas"))},
        {"a link that leads to nothing", false, robot + QStringLiteral("/New.tas"), elsewhere + QStringLiteral("/none.tas"),
         QStringLiteral("48:A link that leads to nothing (to %1/none.tas): New.tas").arg(elsewhere)},
        {"a sub file", false, subs + QStringLiteral("/Blink.sub"), elsewhere + QStringLiteral("/Subs/Blink.sub"),
         QStringLiteral("48:Leads outside the data folder (to %1/Subs/Blink.sub) while Opening SubFile %2/Subs/Blink.sub")
             .arg(elsewhere, folder())},
        {"the Subs folder", false, subs, elsewhere + QStringLiteral("/Subs"),
         outside.arg(elsewhere + QStringLiteral("/Subs"), QStringLiteral("Subs"))},
        {"the project's folder", false, robot, there, outside.arg(there, QStringLiteral("Robot.dir"))},
        {"the Projects folder", false, projects, elsewhere + QStringLiteral("/Projects"),
         outside.arg(there, QStringLiteral("Robot.dir"))},
        {"the Projects folder, for a new project", true, projects, elsewhere + QStringLiteral("/Projects"),
         outside.arg(elsewhere + QStringLiteral("/Projects"), QStringLiteral("Projects"))},
        {"the Subs folder, for a new project", true, subs, elsewhere + QStringLiteral("/Subs"),
         outside.arg(elsewhere + QStringLiteral("/Subs"), QStringLiteral("Subs"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool replaces = QFileInfo::exists(c.entry);
        if (replaces)
            linkInstead(c.entry, c.target);
        else
            ASSERT_TRUE(QFile::link(c.target, c.entry));
        presenter.shown.clear();
        app.ProjectAction = c.fresh ? 2 : 1;
        EXPECT_FALSE(OpenProject());
        EXPECT_EQ(messages(), QStringList{c.message});
        EXPECT_EQ(projectDump(), before);
        EXPECT_TRUE(windows.openDialogCalls.isEmpty());  // a new project's first task is not asked for
        if (replaces)
            putBack(c.entry);
        else
            ASSERT_TRUE(QFile::remove(c.entry));
    }
    app.ProjectAction = 1;
    EXPECT_EQ(filesBelow(elsewhere), filesBelow(fixtureFolder()));

    // A link that stays inside the data folder is kept: the project opens.
    const QString inside = folder() + QStringLiteral("/Kept/Arm.tas");
    QDir().mkpath(QFileInfo(inside).path());
    ASSERT_TRUE(QFile::rename(robot + QStringLiteral("/Arm.tas"), inside));
    ASSERT_TRUE(QFile::link(inside, robot + QStringLiteral("/Arm.tas")));
    presenter.shown.clear();
    EXPECT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(projectDump(), before);
}

// Two copies of the program on one project would each save over the other's
// work. The copy that opens a project another holds is told so and opens it
// read-only: it saves nothing of it. (A second QLockFile object on the lock
// file stands for the other copy: the lock is its object's, even within one
// process.)
TEST_F(ProjectFileTest, AProjectOpenInAnotherCopyOpensReadOnly)
{
    copyTree(fixtureFolder(), folder());
    const QString lockFile = projectFolder() + QStringLiteral("/.quillomat.lock");
    QLockFile otherCopy(lockFile);
    ASSERT_TRUE(otherCopy.tryLock(0));
    AppState& app = App();
    app.ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:The project Robot is open in another copy of the program "
                                                     "(process %1 on %2). It is opened read-only: changes to it "
                                                     "can't be saved here.")
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(QSysInfo::machineHostName())});
    EXPECT_EQ(app.ProjectReadOnly, True);

    // Every save is refused; no file changes.
    const QMap<QString, QByteArray> files = filesBelow(folder());
    const TaskPtr drive = app.TaskList().Item(QStringLiteral("Drive"));
    const SubPtr blink = app.SubList().Item(QStringLiteral("Blink"));
    drive->mTitle = QStringLiteral("changed");
    drive->Dirty = True;
    blink->mTitle = QStringLiteral("changed");
    blink->Dirty = True;
    app.SetSetupDirty(True);
    presenter.shown.clear();
    EXPECT_FALSE(SaveProject());
    EXPECT_FALSE(SaveTask(*drive));
    EXPECT_FALSE(SaveSub(*blink));
    const QString refusal = QStringLiteral("48:The project Robot is open in another copy of the program: it was "
                                           "opened read-only and can't be saved here.");
    EXPECT_EQ(messages(), (QStringList{refusal, refusal, refusal}));
    EXPECT_EQ(filesBelow(folder()), files);
    EXPECT_EQ(app.RcxSetup().Dirty, True);
    EXPECT_EQ(drive->Dirty, True);

    // Once the other copy has let the project go, opening it again takes the
    // lock: the project saves, and now another copy is refused the lock.
    otherCopy.unlock();
    presenter.shown.clear();
    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(app.ProjectReadOnly, False);
    EXPECT_TRUE(SaveProject());
    QLockFile later(lockFile);
    EXPECT_FALSE(later.tryLock(0));
    EXPECT_EQ(later.error(), QLockFile::LockFailedError);
}

// The lock goes with the open project: opening the same project again keeps
// it, opening another (or a new one) lets it go, a project that fails to open
// leaves it where it is, and the program's end lets it go. A lock left by a
// copy that died is cleared.
TEST_F(ProjectFileTest, TheLockGoesWithTheOpenProject)
{
    copyTree(fixtureFolder(), folder());
    const QString other = folder() + QStringLiteral("/Projects/Other.dir");
    copyTree(projectFolder(), other);
    ASSERT_TRUE(QFile::rename(other + QStringLiteral("/Robot.qmd"), other + QStringLiteral("/Other.qmd")));
    auto heldHere = [](const QString& projectFolder) {
        QLockFile probe(projectFolder + QStringLiteral("/.quillomat.lock"));
        if (!probe.tryLock(0))
            return true;
        probe.unlock();
        return false;
    };

    // A lock whose copy is gone: its process number is above any there can be.
    const QString robotLock = projectFolder() + QStringLiteral("/.quillomat.lock");
    {
        QLockFile l(robotLock);
        ASSERT_TRUE(l.tryLock(0));
        QByteArray bytes = readFile(robotLock);
        l.unlock();
        bytes.replace(0, bytes.indexOf('\n'), "4194999");
        writeFile(robotLock, bytes);
    }
    AppState& app = App();
    app.ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(app.ProjectReadOnly, False);
    EXPECT_TRUE(readFile(robotLock).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
    EXPECT_TRUE(heldHere(projectFolder()));

    ASSERT_TRUE(OpenProject());  // the same project again
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_TRUE(heldHere(projectFolder()));

    app.SetProjectName(QStringLiteral("Other"));
    ASSERT_TRUE(OpenProject());
    EXPECT_FALSE(heldHere(projectFolder()));
    EXPECT_TRUE(heldHere(other));

    QFile::remove(projectFolder() + QStringLiteral("/Arm.tas"));
    app.SetProjectName(QStringLiteral("Robot"));
    EXPECT_FALSE(OpenProject());
    EXPECT_FALSE(heldHere(projectFolder()));
    EXPECT_TRUE(heldHere(other));

    // A new project lets the lock go; its first save takes that of its folder.
    app.SetProjectName(QStringLiteral("Fresh"));
    app.ProjectAction = 2;
    windows.openAnswers.append({false, QStringLiteral("Main"), 2});
    ASSERT_TRUE(OpenProject());
    EXPECT_FALSE(heldHere(other));
    ASSERT_TRUE(SaveProject());
    const QString fresh = folder() + QStringLiteral("/Projects/Fresh.dir");
    EXPECT_TRUE(heldHere(fresh));

    ResetApp();  // as the program ends
    EXPECT_FALSE(heldHere(fresh));
}

// Whatever else stops a reading (here the joystick a Joystick & Keyboard
// project asks about) runs on to the program's guard, and the project open
// before is still the open one.
TEST_F(ProjectFileTest, AnyFailureWhileReadingLeavesTheOpenProject)
{
    struct BrokenJoystick : IJoystick {
        JoystickCaps GetDevCaps() override { throw std::runtime_error("no joystick driver"); }
    } joystick;
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    const QString before = projectDump();
    QByteArray project = readFile(projectPath());
    project[0] = '1';  // a Joystick & Keyboard project
    const QString other = folder() + QStringLiteral("/Projects/Other.dir");
    copyTree(fixtureFolder() + QStringLiteral("/Projects/Robot.dir"), other);
    writeFile(other + QStringLiteral("/Other.qmd"), project);
    app.Joystick = &joystick;
    const ProjectChoiceBefore chosen = TakeProjectChoice({false, QStringLiteral("Other"), 1});
    windows.pointers.clear();
    EXPECT_THROW(OpenProject(), std::runtime_error);
    UndoProjectChoice(chosen);
    EXPECT_EQ(projectDump(), before);
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));
    ResetApp();  // the quiet joystick back before this one goes
}

TEST_F(ProjectFileTest, AMissingProjectFileFails)
{
    App().ProjectAction = 1;
    EXPECT_FALSE(OpenProject());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:File not found: Robot.qmd")});
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));
}

// The value object of a sensor is named after the purpose the file gives the
// port, never after the purpose the port held before.
TEST_F(ProjectFileTest, ASensorIsNamedAfterItsOwnPurpose)
{
    AppState& app = App();
    app.EditSensor(0, [&](clsSensor& s) { s.Purpose = QStringLiteral("Old one"); });
    app.EditSensor(1, [&](clsSensor& s) { s.Purpose = QStringLiteral("Old two"); });
    writeTask(QStringLiteral("Drive"));
    ASSERT_TRUE(openProjectText(crlf({"0", "0", kPorts[0], kPorts[1], kPorts[2], "40,1,0,1,\"Bumper\"",
                                      "40,1,1,1,\"\"", "40,0,2,2,\"\"", "\"EndVarDef\",0,0,0", "\"Drive\",1",
                                      "\"EndTaskDef\",0"})));
    EXPECT_EQ(objectText(QStringLiteral("Bumper")), QStringLiteral("Bumper|9|0|0|0"));
    EXPECT_EQ(objectText(QStringLiteral("Touch sensor  2")), QStringLiteral("Touch sensor  2|9|0|1|0"));
    EXPECT_EQ(objectText(QStringLiteral("Temperature sensor  3")), QStringLiteral("Temperature sensor  3|9|0|2|0"));
    EXPECT_FALSE(app.ObjectList().Exists(QStringLiteral("Old one")));
    EXPECT_FALSE(app.ObjectList().Exists(QStringLiteral("Old two")));
    EXPECT_EQ(app.RcxSetup().PortSensor(1).Purpose, QString());
    // The file's mode wins over the one the type brings.
    EXPECT_EQ(app.RcxSetup().PortSensor(2).SensorMode, 0);
}

// ---- A new project ----

TEST_F(ProjectFileTest, ANewProjectGetsItsFirstTaskAndTheSetUpWindow)
{
    AppState& app = App();
    app.ProjectAction = 2;
    app.SetProjectType(ProjectType::JoystickKeyboard);
    app.AddModule(std::make_shared<clsTask>());
    windows.openAnswers.append({false, QStringLiteral("Main"), 2});
    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty());
    ASSERT_EQ(app.TaskList().Count(), 1);
    const auto main = app.TaskList().Item(QStringLiteral("Main"));
    EXPECT_EQ(main->mNumber, 1);
    EXPECT_TRUE(app.ObjectList().Exists(QStringLiteral("Keyboard key")));  // the joystick set
    EXPECT_EQ(app.CurrentTask, nullptr);
    ASSERT_NE(windows.lastWindow(), nullptr);
    EXPECT_EQ(windows.lastWindow()->owner, main.get());
    EXPECT_EQ(windows.openDialogCalls.size(), 1);
    EXPECT_EQ(windows.openDialogCalls[0].openMode, 1);
    EXPECT_EQ(windows.projectReplacedCount, 1);
    EXPECT_EQ(windows.log.last(), QStringLiteral("SetupRequested()"));
    EXPECT_LT(windows.log.indexOf(QStringLiteral("CreateDeskTop()")), windows.log.indexOf(QStringLiteral("SetupRequested()")));
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0, 11, 0}));
}

// The first task of a new project is asked for before the open project
// changes: cancelling it, or a window of the project before that can't
// close, leaves that project open as it was, with its built-in named values.
TEST_F(ProjectFileTest, ANewProjectNotMadeLeavesTheOpenProjectAsItWas)
{
    struct Case {
        const char* what;
        bool named;           // the first task's dialog answered
        bool windowsFail;     // closing the windows before fails
        QStringList log;
        QStringList messages;
    };
    const Case cases[] = {
        {"the first task cancelled", false, false,
         {QStringLiteral("PointerChanged(11)"), QStringLiteral("PointerChanged(0)"), QStringLiteral("ShowOpenDialog(1,2)")},
         {}},
        {"a window before that can't close", true, true,
         {QStringLiteral("PointerChanged(11)"), QStringLiteral("PointerChanged(0)"), QStringLiteral("ShowOpenDialog(1,2)"),
          QStringLiteral("PointerChanged(11)"), QStringLiteral("CloseProjectWindows()"), QStringLiteral("PointerChanged(0)")},
         {QStringLiteral("48:Invalid procedure call or argument")}},
    };
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    app.KeepListing(QStringLiteral("the listing of Robot"), CompileFor::Listing);
    const QString before = projectDump();
    const QStringList objectsBefore = keysFrom(app.ObjectList(), 1);
    ASSERT_TRUE(app.ObjectList().Exists(QStringLiteral("Second")));  // a time unit of the built-in set
    const int explorerBefore = windows.addedModules.size();
    const clsTask* drive = app.TaskList().Item(QStringLiteral("Drive")).get();
    ASSERT_EQ(windows.windows.size(), 1u);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        presenter.shown.clear();
        windows.log.clear();
        windows.openAnswers.clear();
        if (c.named)
            windows.openAnswers.append({false, QStringLiteral("Main"), 2});
        if (c.windowsFail)
            windows.onCloseProjectWindows = [] { raiseError(Err::InvalidCall); };
        const ProjectChoiceBefore chosen = TakeProjectChoice({false, QStringLiteral("Fresh"), 2});
        EXPECT_FALSE(OpenProject());
        windows.onCloseProjectWindows = {};
        UndoProjectChoice(chosen);

        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(windows.log, c.log);
        EXPECT_EQ(projectDump(), before);
        EXPECT_EQ(keysFrom(app.ObjectList(), 1), objectsBefore);
        EXPECT_EQ(app.TaskList().Item(QStringLiteral("Drive")).get(), drive);
        EXPECT_FALSE(app.TaskList().Exists(QStringLiteral("Main")));
        EXPECT_EQ(app.LastListing(), QStringLiteral("the listing of Robot"));
        EXPECT_EQ(app.RcxSetup().Dirty, False);
        ASSERT_EQ(windows.windows.size(), 1u);
        EXPECT_FALSE(windows.lastWindow()->closed);
        EXPECT_EQ(windows.setupRequestedCount, 0);
        EXPECT_EQ(windows.addedModules.size(), explorerBefore);
    }
}

// ---- Saving ----

TEST_F(ProjectFileTest, SavesTheRecordsInTheirOrder)
{
    AppState& app = App();
    app.ProjectAction = 1;
    app.SetSetupDirty(True);
    auto task = std::make_shared<clsTask>();
    task->Name = QStringLiteral("Drive");
    task->mNumber = 1;
    app.AddModule(task);
    // Only constants, ranges and the defined variables are stored.
    auto o = [&](const char* name, Integer source, Long value, Long aux = 0) {
        auto obj = std::make_shared<clsObject>();
        obj->Name = u(name);
        obj->Source = source;
        obj->Value = value;
        obj->AuxValue = aux;
        app.AddObject(obj, obj->Name);
    };
    o("Timer 1", 1, 0);
    o("Near", 220, -5, -1);
    o("Var in list only", 0, 3);
    o("Speed", 100, 7);

    ASSERT_TRUE(SaveProject());
    EXPECT_EQ(app.RcxSetup().Dirty, False);
    EXPECT_EQ(readFile(projectPath()),
              crlf({"0", "0", "1,0,1,0,7,\"\",\"\",\"\"", "1,1,1,0,7,\"\",\"\",\"\"", "1,2,1,0,7,\"\",\"\",\"\"",
                    "40,0,0,0,\"\"", "40,0,1,0,\"\"", "40,0,2,0,\"\"", "\"Speed\",0,7,100", "\"Near\",0,\"-5_-1\",220",
                    "\"EndVarDef\",0,0,0", "\"Drive\",1", "\"EndTaskDef\",0", "\"EndSubDef\",0"}));
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));
}

TEST_F(ProjectFileTest, ANewProjectMakesItsFolderOnItsFirstSave)
{
    AppState& app = App();
    // A data folder that holds no project yet.
    QDir(folder() + QStringLiteral("/Projects")).removeRecursively();
    app.SetProjectName(QStringLiteral("Fresh"));
    app.ProjectAction = 2;
    ASSERT_TRUE(SaveProject());
    EXPECT_EQ(app.ProjectAction, 1);
    const QString file = folder() + QStringLiteral("/Projects/Fresh.dir/Fresh.qmd");
    // Without named values "EndVarDef" follows the sixth port line at once.
    EXPECT_EQ(readFile(file), crlf({"0", "0", kPorts[0], kPorts[1], kPorts[2], kPorts[3], kPorts[4], kPorts[5],
                                    "\"EndVarDef\",0,0,0", "\"EndTaskDef\",0", "\"EndSubDef\",0"}));
    QFile::remove(file);
    ASSERT_TRUE(SaveProject());  // into the folder made before
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(presenter.shown.isEmpty());

    // A new project whose folder is there already can't be saved.
    QDir().mkpath(projectFolder());
    app.SetProjectName(QStringLiteral("Robot"));
    app.ProjectAction = 2;
    app.SetSetupDirty(True);
    EXPECT_FALSE(SaveProject());
    EXPECT_EQ(app.ProjectAction, 2);
    EXPECT_EQ(app.RcxSetup().Dirty, True);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Path/File access error: Robot.dir (File exists)")});
    EXPECT_FALSE(QFileInfo::exists(projectPath()));
    EXPECT_EQ(windows.pointers.last(), 0);
}

TEST_F(ProjectFileTest, ASaveWritesEveryModuleAndStopsAtTheFirstThatFails)
{
    AppState& app = App();
    app.ProjectAction = 1;
    for (const char* name : {"One", "Two"}) {
        auto t = std::make_shared<clsTask>();
        t->Name = QString::fromUtf8(name);
        t->mNumber = Integer(app.TaskList().Count() + 1);
        app.AddModule(t);
    }
    auto sub = std::make_shared<clsSub>();
    sub->Name = QStringLiteral("Blink");
    sub->Dirty = True;
    app.AddModule(sub);

    ASSERT_TRUE(SaveProject());  // unchanged tasks are written too
    EXPECT_EQ(readFile(taskPath(QStringLiteral("One"))), crlf({"0,0,1,\"\""}));
    EXPECT_EQ(readFile(taskPath(QStringLiteral("Two"))), crlf({"0,0,2,\"\""}));
    EXPECT_EQ(readFile(subPath(QStringLiteral("Blink"))), crlf({"0,0,0,\"\""}));
    EXPECT_EQ(sub->Dirty, False);

    QDir(folder() + QStringLiteral("/Subs")).removeRecursively();
    QFile::remove(taskPath(QStringLiteral("Two")));
    app.TaskList().Item(QStringLiteral("One"))->Name = QStringLiteral("a/b");
    sub->Dirty = True;
    EXPECT_FALSE(SaveProject());
    EXPECT_EQ(presenter.shown.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(taskPath(QStringLiteral("Two"))));
    EXPECT_FALSE(QFileInfo::exists(subPath(QStringLiteral("Blink"))));
    EXPECT_EQ(sub->Dirty, True);
    EXPECT_EQ(windows.pointers.last(), 0);
}

// The modules' files are written first and the project file last. A save
// that fails at any file, or stops there as the program would on dying,
// leaves the project file before, and every file it lists is there (a task
// taken out of the project keeps its file): the project opens as listed
// before the save, each module as it was or as saved. Each file is replaced
// whole or not at all.
TEST_F(ProjectFileTest, ASaveThatFailsOrStopsAtAnyFileLeavesAProjectThatOpens)
{
    AppState& app = App();
    writeFile(projectPath(), crlf({"0", "0", kPorts[0], kPorts[1], kPorts[2], kPorts[3], kPorts[4], kPorts[5],
                                   "\"Speed\",0,7,100", "\"EndVarDef\",0,0,0", "\"Main\",1", "\"Arm\",2",
                                   "\"EndTaskDef\",0", "\"Blink\",1", "\"EndSubDef\",0"}));
    writeTask(QStringLiteral("Main"), crlf({"1,0,1,\"main\"", "\"M_ON\",\"A\",0,,,,,\"\",\"\",0,,0,,0,1"}));
    writeTask(QStringLiteral("Arm"));
    writeSub(QStringLiteral("Blink"));
    const QMap<QString, QByteArray> before = filesBelow(folder());

    auto open = [&] {
        app.ProjectAction = 1;
        EXPECT_TRUE(OpenProject());
    };
    // The project opened and changed: Main and Blink, Arm taken out, a new
    // task, a new sub and a new constant.
    auto openAndChange = [&] {
        open();
        const TaskPtr main = app.TaskList().Item(QStringLiteral("Main"));
        main->mTitle = QStringLiteral("main 2");
        put(*main->Commands(), command("M_OFF", 0, 2));
        app.RemoveTask(QStringLiteral("Arm"));
        auto task = std::make_shared<clsTask>();
        task->Name = QStringLiteral("Newtask");
        task->mNumber = 2;
        app.AddModule(task);
        app.SubList().Item(QStringLiteral("Blink"))->mTitle = QStringLiteral("blink 2");
        auto sub = std::make_shared<clsSub>();
        sub->Name = QStringLiteral("Helper");
        sub->mNumber = 2;
        app.AddModule(sub);
        AddNamedValue(QStringLiteral("Limit"), OperandSource::UserConstant, 9, 0);
        app.SetSetupDirty(True);
    };

    openAndChange();
    QStringList writes;
    {
        WriteFault none(-1, WriteFault::None);
        ASSERT_TRUE(SaveProject());
        writes = none.paths;
    }
    ASSERT_EQ(writes, (QStringList{taskPath(QStringLiteral("Main")), taskPath(QStringLiteral("Newtask")),
                                   subPath(QStringLiteral("Blink")), subPath(QStringLiteral("Helper")), projectPath()}));
    const QMap<QString, QByteArray> after = filesBelow(folder());
    open();
    const QMap<QString, QString> saved = projectParts();
    restoreFiles(folder(), before);
    open();
    const QMap<QString, QString> old = projectParts();
    ASSERT_NE(saved.value(QStringLiteral("project")), old.value(QStringLiteral("project")));

    for (const WriteFault::Mode mode : {WriteFault::Fail, WriteFault::Stop}) {
        for (int at = 0; at < writes.size(); ++at) {
            const QString file = QFileInfo(writes[at]).fileName();
            SCOPED_TRACE((mode == WriteFault::Fail ? "failing at " : "stopping at ") + file.toStdString());
            restoreFiles(folder(), before);
            openAndChange();
            presenter.shown.clear();
            {
                WriteFault fault(at, mode);
                if (mode == WriteFault::Fail)
                    EXPECT_FALSE(SaveProject());
                else
                    EXPECT_THROW(SaveProject(), Stopped);
            }
            if (mode == WriteFault::Fail) {
                EXPECT_EQ(messages(),
                          QStringList{QStringLiteral("48:Device I/O error: %1 (No space left on device)").arg(file)});
                EXPECT_EQ(app.RcxSetup().Dirty, True);
                EXPECT_EQ(windows.pointers.last(), 0);
            }
            // The files written before the fault are new, the rest as they were.
            QMap<QString, QByteArray> expected = before;
            for (int i = 0; i < at; ++i) {
                const QString key = QDir(folder()).relativeFilePath(writes[i]);
                expected.insert(key, after.value(key));
            }
            EXPECT_EQ(filesBelow(folder()), expected);

            presenter.shown.clear();
            open();
            EXPECT_EQ(messages(), QStringList());
            const QMap<QString, QString> parts = projectParts();
            EXPECT_EQ(parts.value(QStringLiteral("project")), old.value(QStringLiteral("project")));
            EXPECT_EQ(parts.keys(), old.keys());
            for (auto it = parts.begin(); it != parts.end(); ++it)
                EXPECT_TRUE(it.value() == old.value(it.key()) || it.value() == saved.value(it.key())) << it.key().toStdString();
        }
    }
}

// A new project whose first save fails leaves nothing that looks like a
// project: the folder the save made goes again, with the task files it put
// there, and the next save makes it anew.
TEST_F(ProjectFileTest, ANewProjectWhoseFirstSaveFailsLeavesNoFolder)
{
    AppState& app = App();
    app.SetProjectName(QStringLiteral("Fresh"));
    const QString folderMade = folder() + QStringLiteral("/Projects/Fresh.dir");
    for (const char* name : {"Main", "Second"}) {
        auto t = std::make_shared<clsTask>();
        t->Name = u(name);
        t->mNumber = Integer(app.TaskList().Count() + 1);
        app.AddModule(t);
    }
    auto sub = std::make_shared<clsSub>();
    sub->Name = QStringLiteral("Blink");
    app.AddModule(sub);

    const QStringList writes{QStringLiteral("Main.tas"), QStringLiteral("Second.tas"), QStringLiteral("Blink.sub"),
                             QStringLiteral("Fresh.qmd")};
    for (int at = 0; at < writes.size(); ++at) {
        SCOPED_TRACE(writes[at].toStdString());
        QFile::remove(subPath(QStringLiteral("Blink")));  // so that it is written each time
        app.ProjectAction = 2;
        app.SetSetupDirty(False);
        for (const auto& e : app.TaskList())
            e.item->Dirty = False;
        presenter.shown.clear();
        {
            WriteFault fault(at, WriteFault::Fail);
            EXPECT_FALSE(SaveProject());
            EXPECT_EQ(fault.paths.size(), at + 1);
        }
        EXPECT_EQ(messages(),
                  QStringList{QStringLiteral("48:Device I/O error: %1 (No space left on device)").arg(writes[at])});
        EXPECT_FALSE(QFileInfo::exists(folderMade));
        EXPECT_EQ(app.ProjectAction, 2);
        // Nothing of it is saved: the project and the tasks whose files went
        // ask to be saved.
        EXPECT_EQ(app.RcxSetup().Dirty, True);
        EXPECT_EQ(app.TaskList().Item(QStringLiteral("Main"))->Dirty, at > 0 ? True : False);

        ASSERT_TRUE(SaveProject());
        EXPECT_EQ(app.ProjectAction, 1);
        EXPECT_EQ(QDir(folderMade).entryList(QDir::Files),
                  (QStringList{QStringLiteral("Fresh.qmd"), QStringLiteral("Main.tas"), QStringLiteral("Second.tas")}));
        QDir(folderMade).removeRecursively();
    }
}

// Under a file-size limit (ulimit -f) a save fails with its message instead
// of the signal ending the program, and the files before stay as they were.
TEST_F(ProjectFileTest, ASaveBeyondTheFileSizeLimitIsReported)
{
    AppState& app = App();
    writeFile(projectPath(), crlf({"0", "0", kPorts[0], kPorts[1], kPorts[2], kPorts[3], kPorts[4], kPorts[5],
                                   "\"EndVarDef\",0,0,0", "\"Main\",1", "\"EndTaskDef\",0", "\"EndSubDef\",0"}));
    writeTask(QStringLiteral("Main"));
    const QMap<QString, QByteArray> before = filesBelow(folder());
    app.ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    const TaskPtr main = app.TaskList().Item(QStringLiteral("Main"));
    for (int row = 1; row <= 40; ++row)
        put(*main->Commands(), command("A_REM", 0, row, "a long enough caption to fill the file"));
    auto task = std::make_shared<clsTask>();
    task->Name = QStringLiteral("Second");
    task->mNumber = 2;
    app.AddModule(task);
    presenter.shown.clear();

    IgnoreFileSizeSignal();  // as the program does at its start
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = SaveProject();
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(ok);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Device I/O error: Main.tas (File too large)")});
    EXPECT_EQ(filesBelow(folder()), before);
    presenter.shown.clear();
    ASSERT_TRUE(OpenProject());
    EXPECT_EQ(app.TaskList().Count(), 1);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(ProjectFileTest, SplitsPortLines)
{
    struct Case {
        const char* line;
        QStringList fields;  // all eight; empty: fails with 9
    };
    const Case cases[] = {
        {"1,0,1,1,7,\"Left\",\"fwd\",\"rwd\"", {"1", "0", "1", "1", "7", "Left", "fwd", "rwd"}},
        {"  1 , 2 ,\" a b \"", {"1", "2", "a b", "", "", "", "", ""}},
        {"a\"b", {"a b", "", "", "", "", "", "", ""}},
        {"", {"", "", "", "", "", "", "", ""}},
        {",,,,,,,", {"", "", "", "", "", "", "", ""}},
        {"1,2,3,4,5,6,7,8,", {"1", "2", "3", "4", "5", "6", "7", "8"}},
        {"1,2,3,4,5,6,7,8,,,", {"1", "2", "3", "4", "5", "6", "7", "8"}},
        {"1,2,3,4,5,6,7,8,9", {}},
        {"1,2,3,4,5,6,7,8, ", {}},
        {"1,2,3,4,5,6,7,8,\"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        QString f[8];
        f[0] = QString::fromUtf8(c.line);
        for (int i = 1; i < 8; ++i)
            f[i] = QStringLiteral("stale");
        try {
            SplitProjectLine(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]);
            EXPECT_EQ(QStringList(f, f + 8), c.fields);
        } catch (const VbError& e) {
            EXPECT_TRUE(c.fields.isEmpty());
            EXPECT_EQ(e.number(), Err::SubscriptOutOfRange);
        }
    }
}

// A project file cut anywhere never crashes. Cut before its task list is
// complete it can't be opened; cut after any later record it opens.
TEST_F(ProjectFileTest, AProjectFileCutAnywhereOpensOnlyWithItsTaskList)
{
    copyTree(fixtureFolder(), folder());
    const QByteArray whole = readFile(projectPath());
    const qsizetype taskListEnd = whole.indexOf("\"EndTaskDef\",") + qsizetype(strlen("\"EndTaskDef\","));
    ASSERT_GT(taskListEnd, 100);
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        presenter.shown.clear();
        const bool ok = openProjectText(whole.left(cut));
        if (cut < taskListEnd) {
            EXPECT_FALSE(ok);
        } else if (whole.mid(cut - 2, 2) == "\r\n" || cut == taskListEnd) {
            EXPECT_TRUE(ok) << messages().join(QLatin1Char('\n')).toStdString();
        }
        EXPECT_EQ(presenter.shown.size(), ok ? 0 : 1);
        EXPECT_EQ(windows.pointers.last(), 0);
    }
}

// ---- The windows around an open ----

// Opening goes through the windows in a fixed order: once every file has been
// read, the windows of the project before closed, the set-up window and the
// explorer closed and the explorer shown empty, the motor tips, the explorer
// filled module by module, task 1's window, and the toolbars for the
// project's own type at the end. A new project asks for its first task after
// the map is closed and shows the set-up window last, with the pointer
// already back.
// A project opened or made starts with nothing of the one before: a Joystick
// & Keyboard project, whose compile adds to the listing without clearing it,
// must never show the listing of the RCX project open before it.
TEST_F(ProjectFileTest, OpeningStartsWithoutTheListingAndStateOfTheProjectBefore)
{
    copyTree(fixtureFolder(), folder());
    for (Integer action : {Integer(1), Integer(2)}) {
        SCOPED_TRACE(action);
        AppState& app = App();
        // (A compile's error and depth are its own and end with it.)
        app.KeepListing(QStringLiteral("'Other\r\n.BeginOfTask 0 \r\n"), CompileFor::Listing);
        app.FinishedModuleCount = 3;
        app.ProjectAction = action;
        windows.log.clear();
        windows.openAnswers = {{false, QStringLiteral("Main"), 2}};
        ASSERT_TRUE(OpenProject());
        EXPECT_TRUE(app.LastListing().isEmpty());
        EXPECT_EQ(app.FinishedModuleCount, 0);
        EXPECT_TRUE(windows.log.contains(QStringLiteral("ListingDropped()")));
    }
}

// The events a project opened or made tells, in the order the windows show
// them: the preview, the set-up window and the explorer of the project before
// go before the explorer shows the new project's modules and task 1's window
// opens (the map goes with the project before, ProjectReplaced).
TEST_F(ProjectFileTest, OpeningTellsWhatHappensInOrder)
{
    struct Case {
        const char* what;
        Integer action;
        QStringList log;
    };
    const QStringList existing{
        QStringLiteral("PointerChanged(11)"),
        QStringLiteral("CloseProjectWindows()"),
        QStringLiteral("ListingDropped()"),
        QStringLiteral("SetupReplaced()"),
        QStringLiteral("ProjectRenamed(Robot)"),
        QStringLiteral("ProjectReplaced()"),
        QStringLiteral("ProjectTypeChanged(0)"),
        QStringLiteral("SetupChanged()"),
        QStringLiteral("MotorTypes(1,0,1)"),
        QStringLiteral("ModuleAdded(Drive,1)"),
        QStringLiteral("ModuleAdded(Arm,1)"),
        u("ModuleAdded(Tâche,1)"),
        QStringLiteral("ModuleAdded(Blink,5)"),
        QStringLiteral("ModuleAdded(Beep twice,5)"),
        QStringLiteral("CreateDeskTop()"),
        QStringLiteral("DoEvents()"),
        QStringLiteral("PointerChanged(0)"),
    };
    const QStringList fresh{
        QStringLiteral("PointerChanged(11)"),
        QStringLiteral("PointerChanged(0)"),  // the dialog for the first task shows with the default pointer
        QStringLiteral("ShowOpenDialog(1,2)"),
        QStringLiteral("PointerChanged(11)"),
        QStringLiteral("CloseProjectWindows()"),
        QStringLiteral("ListingDropped()"),
        QStringLiteral("SetupReplaced()"),
        QStringLiteral("ProjectRenamed(Robot)"),
        QStringLiteral("ProjectReplaced()"),
        QStringLiteral("ProjectTypeChanged(1)"),
        QStringLiteral("SetupChanged()"),
        QStringLiteral("MotorTypes(0,0,0)"),
        QStringLiteral("ModuleAdded(Main,1)"),
        QStringLiteral("CreateDeskTop()"),
        QStringLiteral("DoEvents()"),
        QStringLiteral("PointerChanged(0)"),
        QStringLiteral("SetupRequested()"),
    };
    const Case cases[] = {{"an existing project", 1, existing}, {"a new project", 2, fresh}};
    copyTree(fixtureFolder(), folder());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetApp();
        AppState& app = App();
        app.Presenter = &presenter;
        windows.Install();
        app.DataFolder = folder();
        app.SetProjectName(QStringLiteral("Robot"));
        app.SetProjectType(ProjectType::JoystickKeyboard);  // what the type held before the open
        app.ProjectAction = c.action;
        app.EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
        windows.log.clear();
        windows.openAnswers = {{false, QStringLiteral("Main"), 2}};
        ASSERT_TRUE(OpenProject());
        EXPECT_TRUE(presenter.shown.isEmpty()) << messages().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(windows.log, c.log);
    }
}

// A project file with any one byte changed never crashes: it opens without a
// word or fails with one message, and the pointer is back either way.
TEST_F(ProjectFileTest, AProjectFileWithAByteChangedOpensOrFailsOnce)
{
    copyTree(fixtureFolder(), folder());
    const QByteArray whole = readFile(projectPath());
    int opened = 0;
    for (qsizetype at = 0; at < whole.size(); ++at) {
        for (const char c : {',', '"', 'x', '\n'}) {
            if (whole[at] == c)
                continue;
            QByteArray bytes = whole;
            bytes[at] = c;
            SCOPED_TRACE(bytes.toStdString());
            presenter.shown.clear();
            windows.pointers.clear();
            const bool ok = openProjectText(bytes);
            EXPECT_EQ(presenter.shown.size(), ok ? 0 : 1) << messages().join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(windows.pointers.last(), 0);
            opened += ok ? 1 : 0;
        }
    }
    EXPECT_GT(opened, 0);
}

// ---- Saving over what was planted while the project is open ----

// A task file replaced by a FIFO is refused without waiting on it, naming it;
// the files before it in the save order are written, nothing after it.
TEST_F(ProjectFileTest, ASaveRefusesATargetThatIsNoRegularFile)
{
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    const QString drive = taskPath(QStringLiteral("Drive"));
    ASSERT_TRUE(QFile::remove(drive));
    ASSERT_EQ(::mkfifo(QFile::encodeName(drive).constData(), 0600), 0);
    const QByteArray project = readFile(projectPath());
    app.SetProgramNumber(3);  // the project file would change
    presenter.shown.clear();
    EXPECT_FALSE(SaveProject());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Not a regular file: Drive.tas")});
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(drive).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(readFile(projectPath()), project);
    EXPECT_EQ(windows.pointers.last(), 0);
}

// A link planted at a task, sub or project file, or at the project's folder,
// leading out of the data folder, is refused at save naming it: nothing
// outside the data folder is written.
TEST_F(ProjectFileTest, ASaveWritesNothingOutsideTheDataFolder)
{
    QTemporaryDir elsewhereDir;
    const QString elsewhere = QFileInfo(elsewhereDir.path()).canonicalFilePath();
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    const QString outsideFile = elsewhere + QStringLiteral("/victim");
    writeFile(outsideFile, "outside\r\n");
    struct Case {
        const char* what;
        QString entry;
        QString message;
    };
    const Case cases[] = {
        {"a task file", taskPath(QStringLiteral("Drive")),
         QStringLiteral("48:Leads outside the data folder (to %1): Drive.tas").arg(outsideFile)},
        {"the project file", projectPath(),
         QStringLiteral("48:Leads outside the data folder (to %1): Robot.qmd").arg(outsideFile)},
        {"a sub file", subPath(QStringLiteral("Blink")),
         QStringLiteral("48:Leads outside the data folder (to %1): Blink.sub").arg(outsideFile)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QFile::rename(c.entry, c.entry + QStringLiteral(".away")));
        ASSERT_TRUE(QFile::link(outsideFile, c.entry));
        for (const auto& e : app.TaskList())
            e.item->mTitle += QStringLiteral("!");  // every file changes
        for (const auto& e : app.SubList())
            e.item->mTitle += QStringLiteral("!");
        app.SetProgramNumber(Integer((app.RcxSetup().ProgramNumber + 1) % 5));
        presenter.shown.clear();
        EXPECT_FALSE(SaveProject());
        EXPECT_EQ(messages(), QStringList{c.message});
        EXPECT_EQ(readFile(outsideFile), QByteArray("outside\r\n"));
        ASSERT_TRUE(QFile::remove(c.entry));
        ASSERT_TRUE(QFile::rename(c.entry + QStringLiteral(".away"), c.entry));
    }

    // The project's folder moved out and a link left in its place.
    const QString moved = elsewhere + QStringLiteral("/Robot.dir");
    ASSERT_TRUE(QDir().rename(projectFolder(), moved));
    ASSERT_TRUE(QFile::link(moved, projectFolder()));
    const QMap<QString, QByteArray> there = filesBelow(moved);
    presenter.shown.clear();
    EXPECT_FALSE(SaveProject());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Leads outside the data folder (to %1): Robot.dir").arg(moved)});
    EXPECT_EQ(filesBelow(moved), there);
}

// A removed project folder is made again and the whole project saved into
// it, with a message naming the folder and the reason; the project opens.
TEST_F(ProjectFileTest, ASaveMakesARemovedProjectFolderAgainWithTheWholeProject)
{
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    const QString before = projectDump();
    ASSERT_TRUE(QDir(projectFolder()).removeRecursively());
    presenter.shown.clear();
    EXPECT_TRUE(SaveProject());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("64:The folder of the project Robot was not there (No such file "
                                                     "or directory): %1. The whole project has been saved into it "
                                                     "again.")
                                          .arg(projectFolder())});
    presenter.shown.clear();
    ResetApp();
    App().Presenter = &presenter;
    windows.Install();
    App().DataFolder = folder();
    App().SetProjectName(QStringLiteral("Robot"));
    App().ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty()) << messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(projectDump(), before);
    (void)app;
}

// The lock file removed while the project is open: a save takes the lock
// again when it is free and the files are as this copy read them; refuses
// when another copy holds it or the files changed; and the copy never removes
// a lock that is not its own.
TEST_F(ProjectFileTest, ASaveChecksThatItStillHoldsTheLock)
{
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    const QString lockFile = projectFolder() + QStringLiteral("/.quillomat.lock");
    ASSERT_TRUE(QFileInfo::exists(lockFile));

    // Removed, nothing else changed: taken again, the save goes on.
    ASSERT_TRUE(QFile::remove(lockFile));
    presenter.shown.clear();
    EXPECT_TRUE(SaveProject());
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(lockFile));

    // Removed, and another copy (a second QLockFile object) took it: refused.
    ASSERT_TRUE(QFile::remove(lockFile));
    {
        QLockFile other(lockFile);
        ASSERT_TRUE(other.tryLock(0));
        const QMap<QString, QByteArray> files = filesBelow(folder());
        app.SetProgramNumber(4);
        presenter.shown.clear();
        EXPECT_FALSE(SaveProject());
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_TRUE(messages()[0].contains(QStringLiteral("another copy of the program holds it now")));
        EXPECT_EQ(filesBelow(folder()), files);
        // Opening another project lets this copy's lock go: the other's stays.
        app.ProjectLock.reset();
        EXPECT_TRUE(QFileInfo::exists(lockFile));
        QLockFile probe(lockFile);
        EXPECT_FALSE(probe.tryLock(0));
    }
    ASSERT_FALSE(QFileInfo::exists(lockFile));  // the other copy has gone

    // Free again, but the other copy saved meanwhile: refused, naming the file.
    ASSERT_TRUE(OpenProject());
    ASSERT_TRUE(QFile::remove(lockFile));
    QByteArray project = readFile(projectPath());
    project.replace("\"EndVarDef\"", "\"Other\",0,1,100\r\n\"EndVarDef\"");
    writeFile(projectPath(), project);
    presenter.shown.clear();
    EXPECT_FALSE(SaveProject());
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_TRUE(messages()[0].contains(QStringLiteral("its file Robot.qmd has changed on disk")));
    EXPECT_EQ(readFile(projectPath()), project);
    EXPECT_FALSE(QFileInfo::exists(lockFile));  // the lock taken for the check went again

    // A lock file rewritten in place by another copy (a live process number
    // that is not this one) is not this copy's: the program's end leaves it.
    ASSERT_TRUE(OpenProject());
    QByteArray other = readFile(lockFile);
    other.replace(0, other.indexOf('\n'), "1");
    writeFile(lockFile, other);
    ResetApp();
    EXPECT_EQ(readFile(lockFile), other);
}

// A lock file that no living copy on this computer holds is taken over, as
// is this copy's own lock met at another place; one that is no regular file
// leaves the project read-only with a message naming it; one from another
// computer too, naming the computer (its folder may be shared).
TEST_F(ProjectFileTest, ALockThatNoLivingCopyHoldsIsTakenOver)
{
    copyTree(fixtureFolder(), folder());
    AppState& app = App();
    const QString lockFile = projectFolder() + QStringLiteral("/.quillomat.lock");
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    struct Case {
        const char* what;
        QByteArray content;  // the lock file's bytes; "<folder>" for a folder in its place
        QString message;     // what opening says; empty: the lock is taken, nothing said
    };
    const QString readOnly = QStringLiteral("It is opened read-only: changes to it can't be saved here.");
    const Case cases[] = {
        {"empty, left by a crash between making and writing it", "", {}},
        {"garbage", "\x01\xfe garbage\n\n", {}},
        {"a process that is gone", "4194999\nquillomat\n" + host + "\n", {}},
        {"a living process of another program", QByteArray::number(::getppid()) + "\nnot-this-program\n" + host + "\n",
         {}},
        {"made before the computer last started", QByteArray::number(::getppid()) + "\ntest_model\n" + host +
                                                       "\nid\nanother-start\n",
         {}},
        {"another computer", "4321\nquillomat\nlab7\n",
         QStringLiteral("48:The project Robot is locked by a copy of the program on the computer lab7 (process 4321): "
                        "its folder may be shared with that computer. %1 If no copy of the program there has it "
                        "open, remove the lock file %2 and open the project again.")
             .arg(readOnly, lockFile)},
        {"a folder in its place", "<folder>",
         QStringLiteral("48:The lock file %1 of the project Robot is a folder, not a regular file: the project can't "
                        "be locked. %2 Remove %1 and open the project again.")
             .arg(lockFile, readOnly)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app.ProjectLock.reset();
        QDir(lockFile).removeRecursively();
        QFile::remove(lockFile);
        if (c.content == "<folder>")
            ASSERT_TRUE(QDir().mkpath(lockFile));
        else
            writeFile(lockFile, c.content);
        presenter.shown.clear();
        app.ProjectAction = 1;
        ASSERT_TRUE(OpenProject());
        EXPECT_EQ(messages(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(app.ProjectReadOnly, c.message.isEmpty() ? False : True);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(readFile(lockFile).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
            EXPECT_TRUE(SaveProject());
        } else {
            // The save says why it is refused, naming the lock or the computer.
            presenter.shown.clear();
            EXPECT_FALSE(SaveProject());
            ASSERT_EQ(presenter.shown.size(), 1);
            EXPECT_TRUE(messages()[0].contains(c.content == "<folder>" ? lockFile : QStringLiteral("lab7")));
            EXPECT_FALSE(messages()[0].contains(QStringLiteral("open in another copy")));
        }
    }
    QDir(lockFile).removeRecursively();

    // This copy's own lock, its folder renamed by hand while the project was
    // open: opening it under its new name takes the lock, nothing said.
    app.ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    const QByteArray own = readFile(lockFile);
    const QString renamed = folder() + QStringLiteral("/Projects/Rover.dir");
    ASSERT_TRUE(QDir().rename(projectFolder(), renamed));
    ASSERT_TRUE(QFile::rename(renamed + QStringLiteral("/Robot.qmd"), renamed + QStringLiteral("/Rover.qmd")));
    app.SetProjectName(QStringLiteral("Rover"));
    presenter.shown.clear();
    ASSERT_TRUE(OpenProject());
    EXPECT_TRUE(presenter.shown.isEmpty()) << messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(app.ProjectReadOnly, False);
    EXPECT_EQ(readFile(renamed + QStringLiteral("/.quillomat.lock")), own);
    EXPECT_TRUE(SaveProject());
    ResetApp();  // as the program ends: its lock goes
    EXPECT_FALSE(QFileInfo::exists(renamed + QStringLiteral("/.quillomat.lock")));
}

// A FIFO, a device or a link at the lock's place is never opened: opening
// the project and saving it return at once, read-only or refused, naming the
// lock file; a copy's end removes nothing through a link out of the data
// folder.
TEST_F(ProjectFileTest, ALockThatIsNoRegularFileIsNeverOpened)
{
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    const QString lockFile = projectFolder() + QStringLiteral("/.quillomat.lock");
    ASSERT_TRUE(QFile::remove(lockFile));
    ASSERT_EQ(::mkfifo(QFile::encodeName(lockFile).constData(), 0600), 0);
    app.SetProgramNumber(3);
    const QByteArray project = readFile(projectPath());
    presenter.shown.clear();
    EXPECT_FALSE(SaveProject());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:The project Robot is not saved: its lock file %1 is a FIFO, "
                                                     "not a regular file, so the project can't be locked. Remove %1 "
                                                     "and save again.")
                                          .arg(lockFile)});
    EXPECT_EQ(readFile(projectPath()), project);
    presenter.shown.clear();
    ASSERT_TRUE(OpenProject());
    EXPECT_EQ(app.ProjectReadOnly, True);
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_TRUE(messages()[0].contains(lockFile + QStringLiteral(" of the project Robot is a FIFO")));
    presenter.shown.clear();
    EXPECT_FALSE(SaveProject());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:The project Robot was opened read-only and can't be saved "
                                                     "here: its lock file %1 is a FIFO, not a regular file.")
                                          .arg(lockFile)});
    ASSERT_TRUE(QFile::remove(lockFile));

    // The project's folder moved out of the data folder while open, a link
    // left at its place: the program's end removes no lock through it.
    ASSERT_TRUE(OpenProject());
    QTemporaryDir elsewhereDir;
    const QString moved = QFileInfo(elsewhereDir.path()).canonicalFilePath() + QStringLiteral("/Robot.dir");
    ASSERT_TRUE(QDir().rename(projectFolder(), moved));
    ASSERT_TRUE(QFile::link(moved, projectFolder()));
    ResetApp();
    EXPECT_TRUE(QFileInfo::exists(moved + QStringLiteral("/.quillomat.lock")));
}

// A sub changed on disk since this copy read or wrote it is not replaced
// without asking: the lock lost and another copy's save meanwhile, or two
// projects open in two copies that share the sub. The question names the
// file; its default keeps the other copy's work.
TEST_F(ProjectFileTest, ASubChangedOnDiskIsNotReplacedWithoutAsking)
{
    ASSERT_TRUE(openFixture());
    AppState& app = App();
    const QString lockFile = projectFolder() + QStringLiteral("/.quillomat.lock");
    const QString blink = subPath(QStringLiteral("Blink"));
    SubPtr sub = app.SubList().Item(QStringLiteral("Blink"));
    // Another copy's save of the sub: its file rewritten.
    auto otherCopySaves = [&] {
        QByteArray bytes = readFile(blink);
        bytes.replace(0, bytes.indexOf("\r\n"), "0,1,1,\"other\"");  // its header: another title
        const QString away = blink + QStringLiteral(".new");
        writeFile(away, bytes);
        EXPECT_TRUE(QFile::remove(blink));
        EXPECT_TRUE(QFile::rename(away, blink));
        return readFile(blink);
    };

    // The lock lost; another copy opened the project, saved the sub, ended.
    ASSERT_TRUE(QFile::remove(lockFile));
    QByteArray theirs = otherCopySaves();
    sub->mTitle = QStringLiteral("mine");
    sub->Dirty = True;
    presenter.shown.clear();
    EXPECT_FALSE(SaveProject());
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_TRUE(messages()[0].contains(QStringLiteral("its file Blink.sub has changed on disk")));
    EXPECT_EQ(readFile(blink), theirs);

    // Two projects in two copies share the sub: each save of it here asks,
    // and Enter or Esc (the default, No) keeps the other's.
    ASSERT_TRUE(OpenProject());
    sub = app.SubList().Item(QStringLiteral("Blink"));
    theirs = otherCopySaves();
    sub->mTitle = QStringLiteral("mine");
    const QString question = QStringLiteral("The file %1 has changed on disk since it was opened or saved here, "
                                            "maybe by another copy of the program.\r\nReplace it with the version "
                                            "here? No keeps the file on disk as it is.")
                                 .arg(blink);
    const QMap<QString, QByteArray> files = filesBelow(folder());
    for (const int answer : {int(MsgResult::No), int(MsgResult::Cancel)}) {
        presenter.shown.clear();
        presenter.answers = {answer};
        EXPECT_FALSE(SaveProject());
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text, question);
        EXPECT_EQ(presenter.shown[0].style, MsgStyle::YesNo | MsgStyle::Question | MsgStyle::DefaultButton2);
        EXPECT_EQ(filesBelow(folder()), files);  // nothing of the project written either
        presenter.shown.clear();
        presenter.answers = {answer};
        EXPECT_FALSE(SaveSub(*sub));
        EXPECT_EQ(messages(), QStringList{QStringLiteral("%1:").arg(presenter.shown.value(0).style) + question});
        EXPECT_EQ(readFile(blink), theirs);
    }
    // Yes replaces it, and the next save asks no more.
    presenter.shown.clear();
    presenter.answers = {MsgResult::Yes};
    EXPECT_TRUE(SaveProject());
    EXPECT_EQ(presenter.shown.size(), 1);
    EXPECT_TRUE(readFile(blink).contains("\"mine\"")) << readFile(blink).left(200).toStdString();
    sub->mTitle = QStringLiteral("mine again");
    presenter.shown.clear();
    EXPECT_TRUE(SaveSub(*sub));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

// A project whose name is as long as the file system lets its folder and
// file be is saved again and again, a task added between the saves too.
TEST_F(ProjectFileTest, ANameAtTheFileSystemsLimitSavesAgainAndAgain)
{
    AppState& app = App();
    const QString name(251, QLatin1Char('p'));  // "<name>.dir" and "<name>.qmd": 255 bytes
    app.SetProjectName(name);
    app.ProjectAction = 2;
    windows.openAnswers.append({false, QStringLiteral("Main"), 2});
    ASSERT_TRUE(OpenProject());
    ASSERT_TRUE(SaveProject()) << messages().join(QLatin1Char('\n')).toStdString();
    const QString project = folder() + QStringLiteral("/Projects/") + name + QStringLiteral(".dir/") + name +
                            QStringLiteral(".qmd");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        app.SetProgramNumber(Integer(round + 1));
        if (round == 1) {  // a task of a name as long, added between saves
            auto task = std::make_shared<clsTask>();
            task->Name = QString(251, QLatin1Char('t'));
            task->mNumber = Integer(app.TaskList().Count() + 1);
            task->ModulType = ModuleKind::Task;
            app.AddModule(task);
        }
        presenter.shown.clear();
        EXPECT_TRUE(SaveProject()) << messages().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(presenter.shown.isEmpty());
        EXPECT_TRUE(readFile(project).contains(QString(251, QLatin1Char('t')).toLatin1()) || round == 0);
    }
    // It opens as saved, no file of a save left beside its files.
    app.ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    EXPECT_EQ(app.TaskList().Count(), 2);
    EXPECT_EQ(QDir(QFileInfo(project).path()).entryList({QStringLiteral(".qm-*")}, QDir::Hidden | QDir::Files),
              QStringList());
}
