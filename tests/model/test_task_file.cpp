// Task and sub files: writing a grid with its bodies, reading it back, and the
// failures of both.
#include "test_files_support.h"

#include "model/BusyPointer.h"
#include "model/Records.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <csignal>
#include <sys/resource.h>
#include <vector>

using namespace filetest;

namespace {

const char* const kEndIf = "\"EndIf\",\"0\",0,0,0,0,0,\"0\",\"0\",0,0,0,0,0,0";
const char* const kElse = "\"Else\",\"0\",0,0,0,0,0,\"0\",\"0\",0,0,0,0,0,0";
const char* const kEndWhile = "\"EndWhile\",\"0\",0,0,0,0,0,\"0\",\"0\",0,0,0,0,0,0";
const char* const kEndLoop = "\"EndLoop\",\"0\",0,0,0,0,0,\"0\",\"0\",0,0,0,0,0,0";

// A command record with the fields the tests vary; the others are fixed.
QByteArray rec(const char* key, int x, int y)
{
    return QStringLiteral("\"%1\",\"\",-1,-1,-1,-1,-1,\"\",\"\",0,,0,,%2,%3")
        .arg(QString::fromUtf8(key))
        .arg(x)
        .arg(y)
        .toLatin1();
}

QByteArray lines(std::initializer_list<QByteArray> ls)
{
    QByteArray b;
    for (const QByteArray& l : ls)
        b += l + "\r\n";
    return b;
}

// A device that takes a number of bytes and refuses the rest.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 room) : mRoom(room) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override
    {
        if (qint64(written.size()) + len > mRoom)
            return -1;
        written.append(data, len);
        return len;
    }

private:
    qint64 mRoom;
};

}  // namespace

class TaskFileTest : public FileTest {
protected:
    // Writes a task file with the header "1,1,1,"T"" and the given records,
    // reads it into a fresh task, which joins the project when it is read
    // whole, and returns the task (taken out of the project again).
    TaskPtr readTaskWith(const QByteArray& records, bool* result = nullptr)
    {
        writeFile(taskPath(QStringLiteral("T")), lines({"1,1,1,\"T\""}) + records);
        return readTask(QStringLiteral("T"), result);
    }
    TaskPtr readTask(const QString& name, bool* result = nullptr)
    {
        auto task = std::make_shared<clsTask>();
        task->Name = name;
        App().CurrentTask = task;
        const bool ok = ReadTask(*task, False);
        if (App().TaskList().Exists(name))
            App().RemoveTask(name);
        if (result)
            *result = ok;
        return task;
    }

    QByteArray saved(const CommandCollectionPtr& grid)
    {
        clsTask task;
        task.Name = QStringLiteral("W");
        task.StartOnStartup = 1;
        task.mLoop = 0;
        task.mNumber = 4;
        task.mTitle = QStringLiteral("w");
        task.setCommands(grid);
        EXPECT_TRUE(SaveTask(task));
        return readFile(taskPath(QStringLiteral("W")));
    }
};

// ---- Writing ----

TEST_F(TaskFileTest, WritesEachGridShape)
{
    struct Case {
        const char* what;
        std::function<CommandCollectionPtr()> grid;
        QByteArray records;  // after the header
    };
    const QByteArray header = "1,0,4,\"w\"\r\n";
    const Case cases[] = {
        {"an empty task writes the header alone", [] { return std::make_shared<CommandCollection>(); }, {}},
        {"an IF with an empty body writes its record, Else and EndIf",
         [] {
             auto g = std::make_shared<CommandCollection>();
             put(*g, command("L_IF", 0, 1));
             return g;
         },
         lines({rec("L_IF", 0, 1), kElse, kEndIf})},
        {"WHILE and LOOP with empty bodies write their end markers only",
         [] {
             auto g = std::make_shared<CommandCollection>();
             put(*g, command("L_WHILE", 0, 1));
             put(*g, command("L_LOOP", 0, 2));
             return g;
         },
         lines({rec("L_WHILE", 0, 1), kEndWhile, rec("L_LOOP", 0, 2), kEndLoop})},
        {"a WHILE body with both columns has no marker between them",
         [] {
             auto g = std::make_shared<CommandCollection>();
             auto w = command("L_WHILE", 0, 1);
             put(*w->Commands, command("M_ON", 1, 1));
             put(*w->Commands, command("M_OFF", 0, 2));
             put(*g, w);
             return g;
         },
         lines({rec("L_WHILE", 0, 1), rec("M_OFF", 0, 2), rec("M_ON", 1, 1), kEndWhile})},
        {"an IF body: column 0, Else, column 1; cells in column then row order",
         [] {
             auto g = std::make_shared<CommandCollection>();
             auto i = command("L_IF", 1, 40);
             put(*i->Commands, command("G_WAIT", 1, 2));
             put(*i->Commands, command("G_SOUND", 0, 3));
             put(*i->Commands, command("M_ON", 0, 1));
             put(*g, command("A_REM", 0, 40));
             put(*g, i);
             put(*g, command("M_FWD", 0, 1));
             return g;
         },
         lines({rec("M_FWD", 0, 1), rec("A_REM", 0, 40), rec("L_IF", 1, 40), rec("M_ON", 0, 1),
                rec("G_SOUND", 0, 3), kElse, rec("G_WAIT", 1, 2), kEndIf})},
        {"a block command without a body collection writes an empty body",
         [] {
             auto g = std::make_shared<CommandCollection>();
             auto i = command("L_IF", 0, 1);
             i->Commands.reset();
             put(*g, i);
             return g;
         },
         lines({rec("L_IF", 0, 1), kElse, kEndIf})},
        {"a block key given in another letter case writes its body, spelled as the catalogue spells it",
         [] {
             auto g = std::make_shared<CommandCollection>();
             auto i = command("l_if", 0, 1);
             i->Commands = std::make_shared<CommandCollection>();
             put(*i->Commands, command("M_ON", 0, 1));
             put(*g, i);
             return g;
         },
         lines({rec("L_IF", 0, 1), rec("M_ON", 0, 1), kElse, kEndIf})},
        {"cells outside the 2 x 40 grid are not written",
         [] {
             auto g = std::make_shared<CommandCollection>();
             put(*g, command("M_ON", 2, 1));
             put(*g, command("M_ON", 0, 41));
             put(*g, command("M_ON", 0, 0));
             return g;
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(saved(c.grid()), header + c.records);
    }
    EXPECT_TRUE(presenter.shown.isEmpty());
}

// A file edited by hand may spell a key in another letter case: the block it
// opens keeps its body through a read and a save, and the rest of the task
// stays where it was; a key no command has is written back as it was read.
TEST_F(TaskFileTest, KeysInAnyLetterCaseKeepTheirBodiesThroughASave)
{
    bool ok = false;
    const TaskPtr task = readTaskWith(lines({rec("l_loop", 0, 1), rec("m_on", 0, 1), kEndLoop, rec("M_OFF", 0, 2),
                                              rec("X_SPIN", 0, 3)}),
                                      &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(shape(*task->Commands()), QStringLiteral("0001 L_LOOP{0001 M_ON}, 0002 M_OFF, 0003 X_SPIN"));
    EXPECT_EQ(saved(task->Commands()), "1,0,4,\"w\"\r\n" + lines({rec("L_LOOP", 0, 1), rec("M_ON", 0, 1), kEndLoop,
                                                                 rec("M_OFF", 0, 2), rec("X_SPIN", 0, 3)}));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(TaskFileTest, ValuesKeepTheirKindThroughASaveAndARead)
{
    auto g = std::make_shared<CommandCollection>();
    auto co = command("L_WHILE", 0, 1, "a, b");
    co->MotorList = QStringLiteral("012");
    co->Op = 4;
    co->Param1Source = Variant();
    co->Param1Value = Variant(u("Dépôt"));
    co->Param2Source = 230;
    co->Param2Value = Variant(u("-5_-1"));
    co->setPicCaption(1, u("àéú, 224..250"));
    co->PicIndex = 17;
    co->Speed = Variant(u("7"));  // a text that reads as a number stays a text
    co->mNumber = -3;
    co->Time = 2.5;
    put(*g, co);
    saved(g);

    auto task = std::make_shared<clsTask>();
    task->Name = QStringLiteral("W");
    ASSERT_TRUE(ReadTask(*task, True));
    EXPECT_EQ(dump(*task->Commands()), dump(*g));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(TaskFileTest, ATextWithADoubleQuoteDoesNotSurvive)
{
    auto g = std::make_shared<CommandCollection>();
    put(*g, command("A_REM", 0, 1, "say \"hi\""));
    saved(g);
    auto task = std::make_shared<clsTask>();
    task->Name = QStringLiteral("W");
    ASSERT_TRUE(ReadTask(*task, True));
    ASSERT_EQ(task->Commands()->Count(), 1);
    EXPECT_EQ(task->Commands()->Item(1)->PicCaption(0), QStringLiteral("say "));
}

TEST_F(TaskFileTest, SavingWritesTheHeaderAndClearsDirty)
{
    clsTask task;
    task.Name = u("Tâche");
    task.StartOnStartup = 0;
    task.mLoop = 1;
    task.mNumber = 9;
    task.mTitle = u("Lève, vite");
    task.Dirty = True;
    ASSERT_TRUE(SaveTask(task));
    EXPECT_EQ(task.Dirty, False);
    EXPECT_EQ(readFile(taskPath(u("Tâche"))), crlf({"0,1,9,\"Lève, vite\""}));

    clsSub sub;
    sub.Name = QStringLiteral("S");
    sub.mLoop = 1;
    sub.mNumber = 2;
    sub.mTitle = QStringLiteral("s");
    sub.Dirty = True;
    ASSERT_FALSE(QFileInfo::exists(folder() + QStringLiteral("/Subs")));
    ASSERT_TRUE(SaveSub(sub));  // makes the missing Subs folder
    EXPECT_EQ(sub.Dirty, False);
    EXPECT_EQ(readFile(subPath(QStringLiteral("S"))), crlf({"0,1,2,\"s\""}));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(TaskFileTest, SavingIntoAMissingProjectFolderFails)
{
    QDir(projectFolder()).removeRecursively();
    clsTask task;
    task.Name = QStringLiteral("Main");
    task.Dirty = True;
    EXPECT_FALSE(SaveTask(task));
    EXPECT_EQ(task.Dirty, True);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Path not found: Robot.dir (No such file or directory)")});
    EXPECT_FALSE(QFileInfo::exists(projectFolder()));
}

// A save that fails part-way, as on a full disk, leaves the old file whole.
TEST_F(TaskFileTest, ASaveThatFailsPartWayKeepsTheOldFile)
{
    const QByteArray old = crlf({"1,1,1,\"old\""});
    writeFile(taskPath(QStringLiteral("Main")), old);

    clsTask task;
    task.Name = QStringLiteral("Main");
    task.Dirty = True;
    for (int row = 1; row <= 40; ++row)
        put(*task.Commands(), command("A_REM", 0, row, "a long enough caption to fill the file"));

    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = SaveTask(task);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(ok);
    EXPECT_EQ(task.Dirty, True);
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].style, 48);
    EXPECT_EQ(readFile(taskPath(QStringLiteral("Main"))), old);
    EXPECT_EQ(QDir(projectFolder()).entryList(QDir::Files), QStringList{QStringLiteral("Main.tas")});
}

TEST_F(TaskFileTest, AWriteFailureEndsEveryEnclosingBody)
{
    auto g = std::make_shared<CommandCollection>();
    auto outer = command("L_IF", 0, 1);
    auto inner = command("L_LOOP", 0, 1);
    for (int row = 1; row <= 5; ++row)
        put(*inner->Commands, command("M_ON", 0, row));
    put(*outer->Commands, inner);
    put(*g, outer);
    put(*g, command("M_OFF", 0, 2));

    // Room for the IF, the LOOP and one more record.
    FullDevice device(lines({rec("L_IF", 0, 1), rec("L_LOOP", 0, 1), rec("M_ON", 0, 1)}).size());
    RecordWriter file(&device);
    EXPECT_FALSE(WriteCommands(file, g, ModuleKind::Task));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Device I/O error")});
    EXPECT_EQ(device.written, lines({rec("L_IF", 0, 1), rec("L_LOOP", 0, 1), rec("M_ON", 0, 1)}));
}

TEST_F(TaskFileTest, ABodyThatHoldsItselfFailsInsteadOfRunningForEver)
{
    auto g = std::make_shared<CommandCollection>();
    auto loop = command("L_LOOP", 0, 1);
    put(*loop->Commands, loop);  // pasted into its own body
    put(*g, loop);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    RecordWriter file(&buffer);
    EXPECT_FALSE(WriteCommands(file, g, ModuleKind::Task));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Out of stack space")});
    loop->Commands->Clear();  // break the cycle
}

// ---- Reading ----

TEST_F(TaskFileTest, ReadsTheFixtureTask)
{
    copyTree(fixtureFolder(), folder());
    App().CurrentTask = std::make_shared<clsTask>();
    TaskPtr task = App().CurrentTask;
    task->Name = QStringLiteral("Drive");
    task->mNumber = 5;
    ASSERT_TRUE(ReadTask(*task, False));

    EXPECT_EQ(task->StartOnStartup, 1);
    EXPECT_EQ(task->mLoop, 1);
    EXPECT_EQ(task->mNumber, 5);  // the header's number is not taken
    EXPECT_EQ(task->mTitle, QStringLiteral("Drive around, then stop"));
    EXPECT_EQ(task->ModulType, 1);
    EXPECT_EQ(task->Dirty, False);
    EXPECT_EQ(shape(*task->Commands()),
              QStringLiteral("0001 M_ON, 0002 L_IF{0001 G_SOUND, 0002 L_LOOP{0001 M_RWD}, 0101 G_WAIT, "
                             "0102 L_IF{0101 M_FWD}}, 0003 L_WHILE{0001 L_VAR, 0101 A_REM}, 0101 M_OFF"));
    const auto& ifCmd = task->Commands()->Item(QStringLiteral("0002"));
    EXPECT_EQ(dumpValue(ifCmd->Param1Source), QStringLiteral("n9"));
    EXPECT_EQ(dumpValue(ifCmd->Param1Value), QStringLiteral("t'Bumper'"));
    EXPECT_EQ(ifCmd->PicCaption(1), QStringLiteral("is Equals to 1"));
    EXPECT_EQ(dumpValue(ifCmd->Speed), QStringLiteral("_"));
    const auto& wait = ifCmd->Commands->Item(QStringLiteral("0101"));
    EXPECT_EQ(dumpValue(wait->Time), QStringLiteral("n1.5"));
    const auto& whileCmd = task->Commands()->Item(QStringLiteral("0003"));
    EXPECT_EQ(dumpValue(whileCmd->Param2Value), QStringLiteral("t'-5_-1'"));
    EXPECT_EQ(whileCmd->Commands->Item(QStringLiteral("0101"))->PicCaption(0), QStringLiteral("Comment, with comma"));
    EXPECT_EQ(task->Commands()->Item(QStringLiteral("0101"))->mNumber, 5);

    EXPECT_EQ(explorer(), QStringList{QStringLiteral("Drive/1")});
    ASSERT_TRUE(App().TaskList().Exists(QStringLiteral("Drive")));
    EXPECT_EQ(App().TaskList().Item(QStringLiteral("Drive")).get(), task.get());
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(TaskFileTest, ReadsTheFixtureSubs)
{
    copyTree(fixtureFolder(), folder());
    App().CurrentSub = std::make_shared<clsSub>();
    SubPtr sub = App().CurrentSub;
    sub->Name = QStringLiteral("Beep twice");
    ASSERT_TRUE(ReadSub(*sub, False));
    EXPECT_EQ(sub->mLoop, 1);
    EXPECT_EQ(sub->mTitle, QStringLiteral("Two beeps"));
    EXPECT_EQ(sub->ModulType, 5);
    EXPECT_EQ(shape(*sub->Commands()), QStringLiteral("0001 L_LOOP{0001 G_SOUND}, 0002 G_WAIT"));
    EXPECT_EQ(dumpValue(sub->Commands()->Item(QStringLiteral("0002"))->Time), QStringLiteral("t'10'"));
    EXPECT_EQ(explorer(), QStringList{QStringLiteral("Beep twice/5")});
    EXPECT_TRUE(App().SubList().Exists(QStringLiteral("Beep twice")));

    // With the flag set the module is read but not added again, nor told as added.
    auto blink = std::make_shared<clsSub>();
    blink->Name = QStringLiteral("Blink");
    ASSERT_TRUE(ReadSub(*blink, True));
    EXPECT_EQ(shape(*blink->Commands()), QStringLiteral("0001 L_IF{}, 0002 L_WHILE{}, 0003 G_DISPLAY"));
    EXPECT_FALSE(App().SubList().Exists(QStringLiteral("Blink")));
    EXPECT_EQ(explorer().size(), 1);
}

TEST_F(TaskFileTest, ReadsCommandRecordsByTheirRules)
{
    struct Case {
        const char* what;
        QByteArray records;
        QString shape;
        QStringList messages;  // empty: read in full, and put into the explorer
    };
    // The message names the file.
    const QString pastEnd = QStringLiteral("48:Input past end of file in T.tas");
    const QString mismatch = QStringLiteral("48:Type mismatch in T.tas");
    const QString duplicate =
        QStringLiteral("48:This key is already associated with an element of this collection in T.tas");
    const Case cases[] = {
        {"records in any order go to their own cells",
         lines({rec("M_OFF", 1, 3), rec("L_IF", 0, 2), rec("G_WAIT", 1, 1), kElse, rec("M_ON", 0, 5), kEndIf,
                rec("M_ON", 0, 1)}),
         QStringLiteral("0001 M_ON, 0002 L_IF{0005 M_ON, 0101 G_WAIT}, 0103 M_OFF"), {}},
        {"marker words in any letter case",
         lines({rec("l_while", 0, 1), rec("M_ON", 0, 1), "\"endwhile\",\"0\",0,0,0,0,0,\"0\",\"0\",0,0,0,0,0,0",
                rec("M_OFF", 0, 2)}),
         QStringLiteral("0001 L_WHILE{0001 M_ON}, 0002 M_OFF"), {}},
        {"which marker closes which body is not checked",
         lines({rec("L_IF", 0, 1), rec("M_ON", 0, 1), kEndLoop, rec("M_OFF", 0, 2)}),
         QStringLiteral("0001 L_IF{0001 M_ON}, 0002 M_OFF"), {}},
        {"a file that ends inside a body closes every level",
         lines({rec("L_WHILE", 0, 1), rec("L_IF", 0, 1), rec("M_ON", 0, 1)}),
         QStringLiteral("0001 L_WHILE{0001 L_IF{0001 M_ON}}"), {}},
        {"an end marker at the top level ends the task",
         lines({rec("M_ON", 0, 1), kEndIf, rec("M_OFF", 0, 2)}), QStringLiteral("0001 M_ON"), {}},
        {"an Else at the top level is skipped", lines({kElse, rec("M_ON", 0, 1)}), QStringLiteral("0001 M_ON"), {}},
        {"a last record without its line end", crlfCut({"\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,0,7"}),
         QStringLiteral("0007 M_ON"), {}},
        {"two records for one cell fail", lines({rec("M_ON", 0, 1), rec("M_OFF", 0, 1), rec("G_WAIT", 0, 2)}),
         QStringLiteral("0001 M_ON"), {duplicate}},
        {"two block records for one cell fail",
         lines({rec("L_IF", 0, 1), kEndIf, rec("L_LOOP", 0, 1), rec("M_ON", 0, 1), kEndLoop}),
         QStringLiteral("0001 L_IF{}"), {duplicate}},
        {"a record cut short by the end of the file", lines({rec("M_ON", 0, 1)}) + "\"M_OFF\",\"\",-1,,",
         QStringLiteral("0001 M_ON"), {pastEnd}},
        {"a record cut short inside a body keeps what was read",
         lines({rec("L_IF", 0, 1), rec("M_ON", 0, 1)}) + "\"M_OFF\"\r\n",
         QStringLiteral("0001 L_IF{0001 M_ON}"), {pastEnd}},
        {"a text where a number belongs", lines({"\"M_ON\",\"\",\"on\",,,,,\"\",\"\",0,,0,,0,1"}), QString(),
         {mismatch}},
        {"a row that is no number", lines({"\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,0,row"}), QString(), {mismatch}},
        {"a number out of range", lines({"\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,0,99999"}), QString(),
         {QStringLiteral("48:Overflow in T.tas")}},
        {"a trailing empty line is a record cut short", lines({rec("M_ON", 0, 1), ""}), QStringLiteral("0001 M_ON"),
         {pastEnd}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        presenter.shown.clear();
        windows.addedModules.clear();
        bool ok = false;
        TaskPtr task = readTaskWith(c.records, &ok);
        EXPECT_TRUE(ok);  // a failure in the command records still reads the task
        EXPECT_EQ(shape(*task->Commands()), c.shape);
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(explorer(), c.messages.isEmpty() ? QStringList{QStringLiteral("T/1")} : QStringList{});
        EXPECT_EQ(task->mTitle, QStringLiteral("T"));
    }
}

// Earlier versions named a sensor's raw value "S. raw val " and the port
// number when they read a project, and commands stored that name: it is read
// as the name the raw value carries now. Nothing else is renamed.
TEST_F(TaskFileTest, AnEarlierSpellingOfARawValueIsReadAsTodays)
{
    struct Case {
        const char* what;
        const char* record;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"first operand", R"("L_IF","",0,12,"S. raw val 1",2,"5","","",0,,0,,0,1)", "t'S. Raw value 1'", "t'5'"},
        {"second operand, any letter case", R"("L_VAR","",8,0,"Count",12,"s. RAW VAL 3","","",0,,0,,0,1)",
         "t'Count'", "t'S. Raw value 3'"},
        {"today's spelling stays as stored", R"("L_IF","",0,12,"s. raw value 2",2,"5","","",0,,0,,0,1)",
         "t's. raw value 2'", "t'5'"},
        {"another source keeps the name", R"("L_IF","",0,0,"S. raw val 1",2,"5","","",0,,0,,0,1)",
         "t'S. raw val 1'", "t'5'"},
        {"no such port", R"("L_IF","",0,12,"S. raw val 4",2,"5","","",0,,0,,0,1)", "t'S. raw val 4'", "t'5'"},
        {"more after the port number", R"("L_IF","",0,12,"S. raw val 12",2,"5","","",0,,0,,0,1)",
         "t'S. raw val 12'", "t'5'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        presenter.shown.clear();
        TaskPtr task = readTaskWith(lines({QByteArray(c.record)}));
        ASSERT_TRUE(task->Commands()->Exists(QStringLiteral("0001")));
        const auto& co = task->Commands()->Item(QStringLiteral("0001"));
        EXPECT_EQ(dumpValue(co->Param1Value), QString::fromLatin1(c.first));
        EXPECT_EQ(dumpValue(co->Param2Value), QString::fromLatin1(c.second));
        EXPECT_TRUE(presenter.shown.isEmpty());
    }
}

TEST_F(TaskFileTest, ACommandFailureLeavesTheModuleOutOfItsList)
{
    writeFile(taskPath(QStringLiteral("T")), lines({"1,1,1,\"T\"", rec("M_ON", 0, 1), rec("M_ON", 0, 1)}));
    App().CurrentTask = std::make_shared<clsTask>();
    App().CurrentTask->Name = QStringLiteral("T");
    EXPECT_TRUE(ReadTask(*App().CurrentTask, False));
    EXPECT_FALSE(App().TaskList().Exists(QStringLiteral("T")));
    EXPECT_TRUE(windows.addedModules.isEmpty());
    EXPECT_EQ(windows.pointers, (QList<int>{PointerShape::Hourglass, PointerShape::Default}));

    writeFile(subPath(QStringLiteral("S")), lines({"0,0,1,\"S\"", "\"M_ON\",\"\",x"}));
    App().CurrentSub = std::make_shared<clsSub>();
    App().CurrentSub->Name = QStringLiteral("S");
    EXPECT_TRUE(ReadSub(*App().CurrentSub, False));
    EXPECT_FALSE(App().SubList().Exists(QStringLiteral("S")));
    EXPECT_TRUE(windows.addedModules.isEmpty());
    // Each message names the file its failure came from.
    EXPECT_EQ(messages(),
              (QStringList{QStringLiteral("48:This key is already associated with an element of this collection in T.tas"),
                           QStringLiteral("48:Type mismatch while Opening SubFile %1/Subs/S.sub").arg(folder())}));
}

// The editor shows and a save writes the 2 x 40 cells of a grid alone: a file
// with a command elsewhere, in the module or in a block's body, is refused
// with a message naming the file and the cell, rather than read and then lost
// by the next save.
TEST_F(TaskFileTest, ACommandOutsideTheGridIsRefused)
{
    struct Case {
        const char* what;
        QByteArray records;
        const char* cell;
    };
    const Case cases[] = {
        {"column 2", lines({rec("M_ON", 0, 1), rec("M_OFF", 2, 1)}), "column 2, row 1"},
        {"a column before the first", lines({rec("M_ON", -1, 5)}), "column -1, row 5"},
        {"row 0", lines({rec("M_ON", 0, 0)}), "column 0, row 0"},
        {"row 41", lines({rec("M_ON", 1, 41)}), "column 1, row 41"},
        {"in a block's body", lines({rec("L_LOOP", 0, 1), rec("M_ON", 0, 41), kEndLoop}), "column 0, row 41"},
    };
    const QString refusal = QStringLiteral("48:A command lies outside the grid (%1; the grid has columns 0 and 1, "
                                           "rows 1 to 40)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        presenter.shown.clear();
        writeFile(taskPath(QStringLiteral("T")), lines({"1,1,1,\"T\""}) + c.records);
        writeFile(subPath(QStringLiteral("S")), lines({"0,0,1,\"S\""}) + c.records);
        App().CurrentTask = std::make_shared<clsTask>();
        App().CurrentTask->Name = QStringLiteral("T");
        EXPECT_TRUE(ReadTask(*App().CurrentTask, False));
        EXPECT_FALSE(App().TaskList().Exists(QStringLiteral("T")));
        App().CurrentSub = std::make_shared<clsSub>();
        App().CurrentSub->Name = QStringLiteral("S");
        EXPECT_TRUE(ReadSub(*App().CurrentSub, False));
        EXPECT_FALSE(App().SubList().Exists(QStringLiteral("S")));
        const QString cell = QLatin1String(c.cell);
        EXPECT_EQ(messages(), (QStringList{refusal.arg(cell) + QStringLiteral(" in T.tas"),
                                           refusal.arg(cell) + QStringLiteral(" while Opening SubFile %1/Subs/S.sub")
                                                                   .arg(folder())}));
        EXPECT_TRUE(windows.addedModules.isEmpty());
    }

    // The grid's corners are in it.
    presenter.shown.clear();
    const TaskPtr task = readTaskWith(lines({rec("M_ON", 0, 1), rec("M_OFF", 1, 40)}));
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(sortedKeys(*task->Commands()), (QStringList{QStringLiteral("0001"), QStringLiteral("0140")}));
}

TEST_F(TaskFileTest, NestingTooDeepFailsWithoutCrashing)
{
    QByteArray records;
    for (int i = 0; i < 5000; ++i)
        records += rec("L_IF", 0, 1) + "\r\n";
    bool ok = false;
    TaskPtr task = readTaskWith(records, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("48:Out of stack space in T.tas")});
    EXPECT_TRUE(windows.addedModules.isEmpty());
    EXPECT_EQ(task->Commands()->Count(), 1);
}

TEST_F(TaskFileTest, AFileThatCantBeOpenedOrAHeaderThatCantBeReadFails)
{
    struct Case {
        const char* what;
        const char* name;
        QByteArray bytes;  // null: no file
        QString task;
        QString sub;
    };
    const Case cases[] = {
        {"no file", "None", QByteArray(), QStringLiteral("48:File not found: None.tas"),
         QStringLiteral("48:File not found while Opening SubFile %1/Subs/None.sub")},
        {"an empty file", "Empty", QByteArray(""), QStringLiteral("48:Input past end of file in Empty.tas"),
         QStringLiteral("48:Input past end of file while Opening SubFile %1/Subs/Empty.sub")},
        {"a header cut short", "Short", QByteArray("1,1\r\n"), QStringLiteral("48:Input past end of file in Short.tas"),
         QStringLiteral("48:Input past end of file while Opening SubFile %1/Subs/Short.sub")},
        {"a loop flag that is no number", "Bad", QByteArray("1,yes,1,\"t\"\r\n"),
         QStringLiteral("48:Type mismatch in Bad.tas"),
         QStringLiteral("48:Type mismatch while Opening SubFile %1/Subs/Bad.sub")},
    };
    QDir().mkpath(folder() + QStringLiteral("/Subs"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QString::fromUtf8(c.name);
        if (!c.bytes.isNull()) {
            writeFile(taskPath(name), c.bytes);
            writeFile(subPath(name), c.bytes);
        }
        presenter.shown.clear();
        windows.pointers.clear();
        clsTask task;
        task.Name = name;
        EXPECT_FALSE(ReadTask(task, True));
        EXPECT_EQ(messages(), QStringList{c.task});
        // The hourglass of the reading, down again: a task and a sub alike.
        const QList<int> busyThenDefault{PointerShape::Hourglass, PointerShape::Default};
        EXPECT_EQ(windows.pointers, busyThenDefault);

        presenter.shown.clear();
        windows.pointers.clear();
        clsSub sub;
        sub.Name = name;
        EXPECT_FALSE(ReadSub(sub, True));
        EXPECT_EQ(messages(), QStringList{c.sub.arg(folder())});
        EXPECT_EQ(windows.pointers, busyThenDefault);
        EXPECT_TRUE(windows.addedModules.isEmpty());
    }
}

// A module read that can't join its list fails whole: the explorer is not
// told of it, and the list keeps what it had.
TEST_F(TaskFileTest, AModuleThatCantJoinItsListIsNotToldToTheExplorer)
{
    writeFile(taskPath(QStringLiteral("T")), lines({"1,1,1,\"T\"", rec("M_ON", 0, 1)}));
    writeFile(subPath(QStringLiteral("S")), lines({"0,0,1,\"S\"", rec("M_ON", 0, 1)}));
    auto task = std::make_shared<clsTask>();
    task->Name = QStringLiteral("T");
    auto sub = std::make_shared<clsSub>();
    sub->Name = QStringLiteral("S");

    // Not the module held as the current one.
    App().CurrentTask = std::make_shared<clsTask>();
    App().CurrentSub = std::make_shared<clsSub>();
    EXPECT_FALSE(ReadTask(*task, False));
    EXPECT_FALSE(ReadSub(*sub, False));
    EXPECT_EQ(messages(), (QStringList{QStringLiteral("48:Object variable or With block variable not set"),
                                       QStringLiteral("48:Object variable or With block variable not set while "
                                                      "Opening SubFile %1/Subs/S.sub")
                                           .arg(folder())}));
    EXPECT_EQ(App().TaskList().Count() + App().SubList().Count(), 0);

    // A module of that name in the list already.
    presenter.shown.clear();
    auto first = std::make_shared<clsTask>();
    first->Name = QStringLiteral("T");
    App().AddModule(first);
    windows.addedModules.clear();
    App().CurrentTask = task;
    EXPECT_FALSE(ReadTask(*task, False));
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(App().TaskList().Count(), 1);
    EXPECT_NE(App().TaskList().Item(QStringLiteral("T")).get(), task.get());
    EXPECT_TRUE(windows.addedModules.isEmpty());
}

// The hourglass is up while a module's file is written or read and down
// again on every way out, before a failure is shown; a failure before the
// file is reached never raises it. Inside work that holds the hourglass up
// (a project's save), it stays up, whatever the module's file does.
TEST_F(TaskFileTest, TheHourglassGoesWithTheFileAndLeavesAnOuterOneUp)
{
    struct PointerAtBox : IMessagePresenter {
        QList<int> pointers;
        int MsgBox(const QString&, int, const QString&) override
        {
            pointers.append(App().Notifier->Pointer());
            return MsgResult::OK;
        }
        QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    } watcher;
    App().Presenter = &watcher;

    // A module of the name; with the cycle, a grid that can't be written.
    const auto cycle = command("L_LOOP", 0, 1);
    put(*cycle->Commands, cycle);
    auto named = [&cycle](auto module, const char* name, bool withCycle = false) {
        module->Name = QLatin1String(name);
        if (withCycle)
            put(*module->Commands(), cycle);
        return module;
    };
    auto task = [&](const char* name, bool withCycle = false) {
        return named(std::make_shared<clsTask>(), name, withCycle);
    };
    auto sub = [&](const char* name, bool withCycle = false) {
        return named(std::make_shared<clsSub>(), name, withCycle);
    };
    writeFile(taskPath(QStringLiteral("Good")), lines({"1,1,1,\"T\"", rec("M_ON", 0, 1)}));
    writeFile(taskPath(QStringLiteral("Twice")), lines({"1,1,1,\"T\"", rec("M_ON", 0, 1), rec("M_ON", 0, 1)}));
    writeFile(subPath(QStringLiteral("Good")), lines({"0,0,1,\"S\"", rec("M_ON", 0, 1)}));
    writeFile(subPath(QStringLiteral("Cut")), lines({"0,0,1,\"S\""}) + "\"M_ON\",\"\",x");

    struct Case {
        const char* what;
        std::function<bool()> work;
        bool ok;
        int boxes;
        bool busy;  // the hourglass went up
    };
    const Case cases[] = {
        {"a task read", [&] { return ReadTask(*task("Good"), True); }, true, 0, true},
        {"a task whose records fail", [&] { return ReadTask(*task("Twice"), True); }, true, 1, true},
        {"no task file", [&] { return ReadTask(*task("None"), True); }, false, 1, true},
        {"a task name that is no file's", [&] { return ReadTask(*task("a/b"), True); }, false, 1, false},
        {"a sub read", [&] { return ReadSub(*sub("Good"), True); }, true, 0, true},
        {"a sub whose records fail", [&] { return ReadSub(*sub("Cut"), True); }, true, 1, true},
        {"no sub file", [&] { return ReadSub(*sub("None"), True); }, false, 1, true},
        {"a task saved", [&] { return SaveTask(*task("Saved")); }, true, 0, true},
        {"a task whose grid can't be written", [&] { return SaveTask(*task("Cycle", true)); }, false, 1, true},
        {"a sub saved", [&] { return SaveSub(*sub("Saved")); }, true, 0, true},
        {"a sub whose grid can't be written", [&] { return SaveSub(*sub("Cycle", true)); }, false, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        windows.pointers.clear();
        watcher.pointers.clear();
        EXPECT_EQ(c.work(), c.ok);
        // Compared as vectors: Qt's comparison of an empty list without data
        // passes a null pointer to memcmp, which the sanitizer refuses.
        const auto shapes = [](const QList<int>& l) { return std::vector<int>(l.begin(), l.end()); };
        EXPECT_EQ(shapes(watcher.pointers), std::vector<int>(size_t(c.boxes), PointerShape::Default));
        const std::vector<int> busyThenDefault{PointerShape::Hourglass, PointerShape::Default};
        EXPECT_EQ(shapes(windows.pointers), c.busy ? busyThenDefault : std::vector<int>());

        windows.pointers.clear();
        {
            BusyPointer outer(*App().Notifier);
            EXPECT_EQ(c.work(), c.ok);
            EXPECT_EQ(App().Notifier->Pointer(), PointerShape::Hourglass);
        }
        EXPECT_EQ(windows.pointers, (QList<int>{PointerShape::Hourglass, PointerShape::Default}));
    }
    cycle->Commands->Clear();  // break the cycle
}

// A name from a project file becomes a file name; one that would lead out of
// the project's folder or the Subs folder is refused.
TEST_F(TaskFileTest, NamesThatWouldLeaveTheirFolderAreRefused)
{
    const QByteArray content = crlf({"1,1,1,\"outside\"", "\"M_ON\",\"\",-1,,,,,\"\",\"\",0,,0,,0,1"});
    writeFile(folder() + QStringLiteral("/evil.tas"), content);
    writeFile(folder() + QStringLiteral("/evil.sub"), content);
    writeFile(folder() + QStringLiteral("/Subs/x.sub"), crlf({"0,0,1,\"x\""}));
    const QStringList before = [&] {
        QStringList all;
        QDirIterator it(folder(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            all.append(it.next());
        all.sort();
        return all;
    }();

    for (const char* bad : {"../evil", "a/b", ".", "..", "/tmp/evil"}) {
        const QString name = QString::fromUtf8(bad);
        SCOPED_TRACE(bad);
        presenter.shown.clear();
        clsTask task;
        task.Name = name;
        task.Dirty = True;
        EXPECT_FALSE(ReadTask(task, True));
        EXPECT_FALSE(SaveTask(task));
        EXPECT_EQ(task.Dirty, True);
        clsSub sub;
        sub.Name = name;
        EXPECT_FALSE(ReadSub(sub, True));
        EXPECT_FALSE(SaveSub(sub));
        ASSERT_EQ(presenter.shown.size(), 4);
        for (const auto& m : presenter.shown) {
            EXPECT_EQ(m.style, 48);
            EXPECT_TRUE(m.text.contains(QLatin1Char('"') + name + QLatin1Char('"'))) << m.text.toStdString();
        }
        EXPECT_TRUE(task.Commands()->isEmpty());
        EXPECT_TRUE(windows.addedModules.isEmpty());
    }
    QStringList after;
    QDirIterator it(folder(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        after.append(it.next());
    after.sort();
    EXPECT_EQ(after, before);
    EXPECT_EQ(readFile(folder() + QStringLiteral("/evil.tas")), content);
}

// A task file cut anywhere never crashes; cut at the end of any record it is
// read in full up to there, since a file may end inside a body.
TEST_F(TaskFileTest, ATaskFileCutAnywhereIsReadOrRefused)
{
    const QByteArray whole = readFile(fixtureFolder() + QStringLiteral("/Projects/Robot.dir/Drive.tas"));
    ASSERT_GT(whole.size(), 100);
    const qsizetype headerEnd = whole.indexOf("\r\n") + 2;
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        presenter.shown.clear();
        windows.addedModules.clear();
        writeFile(taskPath(QStringLiteral("Drive")), whole.left(cut));
        bool ok = false;
        const TaskPtr task = readTask(QStringLiteral("Drive"), &ok);
        const bool atRecordEnd = cut >= headerEnd && whole.mid(cut - 2, 2) == "\r\n";
        if (atRecordEnd) {
            EXPECT_TRUE(ok);
            EXPECT_TRUE(presenter.shown.isEmpty());
            EXPECT_EQ(windows.addedModules.size(), 1);
        }
        if (cut == whole.size()) {
            EXPECT_EQ(task->Commands()->Count(), 4);
        }
        EXPECT_LE(presenter.shown.size(), 1);
    }
}

TEST_F(TaskFileTest, GarbledBytesNeverCrash)
{
    QRandomGenerator random(20261210);
    const QByteArray alphabet("\",\r\n 0123456789-._abcLIF\xe9");
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        const int n = int(random.bounded(400));
        for (int i = 0; i < n; ++i)
            bytes.append(round % 2 ? alphabet[int(random.bounded(int(alphabet.size())))] : char(random.bounded(256)));
        writeFile(taskPath(QStringLiteral("G")), bytes);
        clsTask task;
        task.Name = QStringLiteral("G");
        ReadTask(task, True);
        EXPECT_LE(presenter.shown.size(), 1);
        presenter.shown.clear();
    }
}
