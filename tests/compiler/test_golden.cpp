// Small projects compiled to their listings, byte for byte against the files
// beside them, and downloaded to the recording control, whose operations must
// be the ones the listing shows.
#include "CompilerFixture.h"

#include "compiler/ModuleCompile.h"
#include "compiler/ProjectCompile.h"
#include "compiler/Translate.h"
#include "link/PortSelector.h"
#include "link/protocol/RcxLink.h"
#include "link/protocol/RcxRequests.h"
#include "link/vbrick/InProcessTower.h"
#include "support/CompileFault.h"
#include "support/LinkPorts.h"

#include <QDir>
#include <QRegularExpression>

namespace {

QString goldenPath(const QString& name)
{
    return QStringLiteral(QM_TEST_DATA "/compiler/") + name;
}

// Compares with the file, or writes it when QM_WRITE_GOLDEN is set.
void expectGolden(const QString& name, const QByteArray& actual)
{
    const QString path = goldenPath(name);
    if (qEnvironmentVariableIsSet("QM_WRITE_GOLDEN")) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        f.write(actual);
        return;
    }
    const QByteArray expected = readFile(path);
    ASSERT_FALSE(expected.isEmpty()) << "missing " << path.toStdString();
    EXPECT_EQ(actual.toStdString(), expected.toStdString()) << name.toStdString();
}

// One operation: its name in lower case and its arguments as plain numbers or texts.
struct Operation {
    QString name;
    QStringList args;
    bool operator==(const Operation& o) const { return name == o.name && args == o.args; }
};

std::ostream& operator<<(std::ostream& os, const Operation& op)
{
    return os << op.name.toStdString() << '(' << op.args.join(QLatin1Char(',')).toStdString() << ')';
}

// The operations a listing shows: every line but the comments, headers and
// the VAR line without an operation, its word without the dot (and "PB.").
QList<Operation> listedOperations(const QString& listing)
{
    QList<Operation> ops;
    for (QString line : listing.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('\'')) || line == QLatin1String("In VAR Command"))
            continue;
        line.remove(QStringLiteral(" 'from Compiler"));
        const int blank = line.indexOf(QLatin1Char(' '));
        QString word = blank < 0 ? line : line.left(blank);
        const QString rest = blank < 0 ? QString() : line.mid(blank + 1);
        word.remove(0, 1);
        if (word.startsWith(QLatin1String("PB.")))
            word.remove(0, 3);
        ops.append({word.toLower(), rest.split(QRegularExpression(QStringLiteral("[ ,]")), Qt::SkipEmptyParts)});
    }
    return ops;
}

// The operations of the recording control's log, widths taken off.
QList<Operation> recordedOperations(const QStringList& calls)
{
    QList<Operation> ops;
    for (const QString& call : calls) {
        const int open = call.indexOf(QLatin1Char('('));
        QStringList args;
        for (QString a : call.mid(open + 1, call.size() - open - 2).split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
            if (a.startsWith(QLatin1Char('L')) || a.startsWith(QLatin1Char('&')))
                a.remove(0, 1);
            a.remove(QLatin1Char('"'));
            args.append(a);
        }
        ops.append({call.left(open).toLower(), args});
    }
    return ops;
}

// Writes down each event and hands it on to the main window's handlers.
class EventTrace : public IPhantomEvents {
public:
    QStringList events;
    ControlEventHandler handler{App()};
    void PB_CommError(const QString& m) override
    {
        events.append(QStringLiteral("CommError(%1)").arg(m));
        handler.PB_CommError(m);
    }
    void PB_DownloadStart(Long t, Long size, Long n) override
    {
        events.append(QStringLiteral("Start(%1, %2)").arg(size).arg(n));
        handler.PB_DownloadStart(t, size, n);
    }
    void PB_DownloadProgress(Long v) override
    {
        events.append(QStringLiteral("Progress(%1)").arg(v));
        handler.PB_DownloadProgress(v);
    }
    void PB_DownloadDone(Long e, Long n) override
    {
        events.append(QStringLiteral("Done(%1, %2)").arg(e).arg(n));
        handler.PB_DownloadDone(e, n);
    }
};

// The code of every task and sub in a slot of the software brick, one a line in hex.
QByteArray brickCode(const vbrick::SoftRcx& brick, int slot)
{
    QByteArray code;
    for (int t = 0; t < rcx::TaskCount; ++t)
        if (!brick.taskCode(slot, t).isEmpty())
            code += "task " + QByteArray::number(t) + ": " + brick.taskCode(slot, t).toHex(' ') + "\n";
    for (int s = 0; s < rcx::SubCount; ++s)
        if (!brick.subCode(slot, s).isEmpty())
            code += "sub " + QByteArray::number(s) + ": " + brick.subCode(slot, s).toHex(' ') + "\n";
    return code;
}

class GoldenTest : public CompilerTest {
protected:
    // The same project through the DOWNLOAD key to the virtual brick behind
    // the control: no tower answers, so the program talks to the virtual
    // brick (and says so), every module is stored as the recording control
    // received it, and the events come in order.
    void checkVirtualBrickDownload(const QString& name)
    {
        PortSelector control(App(), [] { return qint64(0); });
        for (Long port = 0; port < PortSelector::TowerPorts; ++port)
            control.setDevicePath(port, QStringLiteral("/nonexistent/tower"));  // no tower in a test
        EventTrace trace;
        control.setEventSink(&trace);
        AppState& app = App();
        app.Ports = &control;
        app.InitParams->setConfirmDownload(0);
        windows.log.clear();
        windows.pointers.clear();

        DownloadCommand(App(), ShowFaultInItsWindow);
        ASSERT_EQ(presenter.shown.size(), 1) << presenter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(presenter.shown[0].text.contains(QLatin1String("virtual brick")));
        EXPECT_EQ(presenter.shown[0].style, MsgStyle::Information);
        EXPECT_FALSE(settings.values.contains(QStringLiteral("com/comport")));

        // The golden operations, module by module.
        const QStringList golden =
            QString::fromUtf8(readFile(goldenPath(name + QStringLiteral(".ops")))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QList<QPair<Long, QStringList>> modules;  // the slot selection stands before the first
        for (const QString& line : golden) {
            if (line.startsWith(QLatin1String("BeginOfTask(&")) || line.startsWith(QLatin1String("BeginOfSub(&"))) {
                const Long n = line.section(QLatin1Char('&'), 1).chopped(1).toInt();
                modules.append(qMakePair(line.startsWith(QLatin1String("BeginOfSub")) ? 10 + n : n, QStringList()));
            } else if (!modules.isEmpty() && line != QLatin1String("EndOfTask()") &&
                       line != QLatin1String("EndOfSub()")) {
                modules.last().second.append(line);
            }
        }
        // Each module's code as the golden brick code has it, and its events.
        const int slot = app.RcxSetup().ProgramNumber;
        vbrick::SoftRcx& brick = control.virtualBrick();
        expectGolden(name + QStringLiteral(".rcx"), brickCode(brick, slot));
        QStringList expectedDone;
        QStringList starts;
        for (const auto& module : modules) {
            const Long number = module.first;
            expectedDone << QStringLiteral("Done(0, %1)").arg(number);
            const QByteArray code = number < 10 ? brick.taskCode(slot, int(number)) : brick.subCode(slot, int(number) - 11);
            starts << QStringLiteral("Start(%1, %2)").arg(code.size()).arg(number);
        }
        EXPECT_EQ(trace.events.filter(QStringLiteral("Done(")), expectedDone);
        EXPECT_EQ(trace.events.filter(QStringLiteral("Start(")), starts);

        // The busy pointer goes off at the last module's "Download Finished.".
        const int modulesCount = app.TaskList().Count() + app.SubList().Count() + 1;
        EXPECT_EQ(windows.statusTexts().count(QStringLiteral("Download Finished.")), modulesCount);
        const int last = int(windows.log.lastIndexOf(QStringLiteral("StatusPrinted(Download Finished.)")));
        EXPECT_EQ(windows.log.value(last + 1), QStringLiteral("PointerChanged(0)"));
        EXPECT_EQ(windows.pointers.count(0), 3);  // after the compile, the search and the last module
        app.Ports = &pb;
    }

    // Compiles the project in place and downloads it module by module.
    void checkProject(const QString& name)
    {
        const CompileResult compiled = CompileProject(App());
        ASSERT_TRUE(compiled.ok) << compiled.CompileError.toStdString();
        EXPECT_TRUE(compiled.Listed);
        expectGolden(name + QStringLiteral(".lst"), compiled.ListingText.toUtf8());
        {
            // Every module ends its listing at the depth it began with.
            CompileContext context(App());
            for (const auto& e : App().TaskList()) {
                ASSERT_TRUE(Compile(App(), *e.item, context));
                EXPECT_EQ(context.BlockDepth, 0) << e.item->Name.toStdString();
            }
            for (const auto& e : App().SubList()) {
                ASSERT_TRUE(Compile(App(), *e.item, context));
                EXPECT_EQ(context.BlockDepth, 0) << e.item->Name.toStdString();
            }
        }

        pb.clearCalls();
        ASSERT_TRUE(DownLoad(App(), App().RcxSetup(), CompileMode::Download));
        for (const auto& e : App().TaskList())
            ASSERT_TRUE(DownLoad(App(), *e.item));
        for (const auto& e : App().SubList())
            ASSERT_TRUE(DownLoad(App(), *e.item));
        expectGolden(name + QStringLiteral(".ops"), (pb.calls().join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());

        const QList<Operation> listed = listedOperations(compiled.ListingText);
        const QList<Operation> sent = recordedOperations(pb.calls());
        ASSERT_EQ(listed.size(), sent.size());
        for (int i = 0; i < listed.size(); ++i)
            EXPECT_EQ(listed[i], sent[i]) << "operation " << i;
        EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join(QLatin1Char('|')).toStdString();

        checkBrickCode(name);
    }

    // The same modules assembled into brick code and sent to the software
    // brick: the code of every task and sub against the file beside the
    // project, every module accepted, and the set-up task run on the brick.
    void checkBrickCode(const QString& name)
    {
        vbrick::SoftRcx brick;
        vbrick::InProcessTower tower(brick);
        RcxLink link(tower);
        struct : IPhantomEvents {
            QStringList events;
            void PB_CommError(const QString&) override {}
            void PB_DownloadStart(Long, Long, Long) override {}
            void PB_DownloadProgress(Long) override {}
            void PB_DownloadDone(Long e, Long n) override { events.append(QStringLiteral("Done(%1, %2)").arg(e).arg(n)); }
        } trace;
        link.setEventSink(&trace);
        AppState& app = App();
        LinkPorts ports(link);
        app.Ports = &ports;
        ASSERT_TRUE(DownLoad(app, app.RcxSetup(), CompileMode::Download));
        for (const auto& e : app.TaskList())
            ASSERT_TRUE(DownLoad(App(), *e.item));
        for (const auto& e : app.SubList())
            ASSERT_TRUE(DownLoad(App(), *e.item));
        app.Ports = &pb;
        EXPECT_EQ(trace.events.filter(QStringLiteral("Done(")).size(), app.TaskList().Count() + app.SubList().Count() + 1)
            << trace.events.join(QLatin1Char(' ')).toStdString();
        for (const QString& done : trace.events.filter(QStringLiteral("Done(")))
            EXPECT_TRUE(done.startsWith(QLatin1String("Done(0, "))) << done.toStdString();

        const int slot = app.RcxSetup().ProgramNumber;
        expectGolden(name + QStringLiteral(".rcx"), brickCode(brick, slot));

        // The set-up task loads the variables' first values.
        brick.handle(rcx::Bytes(rcx::Op::StartTask).byte(0));
        brick.advance(100);
        for (const auto& e : app.ObjectList()) {
            if (e.item->Source == OperandSource::Variable) {
                EXPECT_EQ(brick.variable(e.item->Number), e.item->Value) << e.item->Name.toStdString();
            }
        }
    }

    // The set-up and the named values the projects share.
    void commonSetup()
    {
        AppState& app = App();
        app.SetProjectName(QStringLiteral("Rover"));
        app.SetProgramNumber(2);
        connectMotor(0, 5);
        connectMotor(1, 7, 0, 0);  // backward, not started
        connectMotor(2, 3);
        app.EditSensor(0, [&](clsSensor& s) { s.setSensorType(1); });
        app.EditSensor(1, [&](clsSensor& s) { s.setSensorType(3); });
        addObject("Count", 0, 5, 2);
        addObject("Speed", 0, -3, 3);
        addObject("Limit", 100, 50);
        addObject("Band", 220, 10, 0, 20);
        addObject("Bumper", 9, 0, 0);
        addObject("Eye", 9, 0, 1);
        addObject("Motor state A", 3, 192, 0);
        addObject("Motor speed C", 3, 7, 2);
        addObject("Motor direction B", 3, 8, 1);
    }
};

// Every command key at the top level of a task, the block commands with
// bodies, motor items in scratch variables and datalog tagging.
TEST_F(GoldenTest, EveryCommandKey)
{
    commonSetup();
    TaskPtr main = addTask("Main", 1, 0, 1);
    addTask("Helper", 2, 1, 0);
    SubPtr blink = addSub("Blink", 1);

    Cmd::place(*main->Commands(), 0, {
        Cmd("A_REM").p1(-1, "Start here"),
        Cmd("M_ON").motors("02").p1(2, 2).time("Second"),
        Cmd("M_OFF").motors("0").op(1),
        Cmd("M_OFF").motors("1"),
        Cmd("M_FWD").motors("012"),
        Cmd("M_RWD").motors("1").p1(0, "Count").time("Tenth"),
        Cmd("M_ALTDIR").motors("2").p1(4, 50).time("Hundredth"),
        Cmd("M_SETPWR").motors("01").p2(2, "5"),
        Cmd("M_SETPWR").motors("2").p2(0, "Speed"),
        Cmd("G_WAIT").p1(100, "Limit").time("Second"),
        Cmd("G_SOUND").speed("Beep"),
        Cmd("G_SOUND").speed("440").p1(2, 50).time("Hundredth"),
        Cmd("G_TXPOWER").p1(210, "Long"),
        Cmd("G_DISPLAY").p1(130, "Display sensor 2"),
        Cmd("G_WATCH").p1(-1, 10).p2(-1, 30),
        Cmd("G_PBOFF"),
        Cmd("L_VAR").op(0).p1(0, "Count").p2(9, "Eye"),
        Cmd("L_VAR").op(8).p1(0, "Count").p2(9, "Eye"),
        Cmd("L_VAR").op(1).p1(0, "Count").p2(2, "3"),
        Cmd("L_VAR").op(6).p1(0, "Speed").p2(1, "Timer 1"),
        Cmd("L_VAR").p1(0, "Speed").p2(2, "1"),
        Cmd("L_START").p1(2, "Helper"),
        Cmd("L_STOP").p1(2, "Stop program"),
        Cmd("L_STOP").p1(2, "Helper"),
        Cmd("L_ZERO").p1(9, "Bumper"),
        Cmd("L_ZERO").p1(1, "Timer 2"),
        Cmd("L_ZERO").p1(15, "RCX message"),
        Cmd("L_DATALOG").p1(3, "Motor speed C"),
        Cmd("L_DATALOG").p1(1, "Timer 1"),
        Cmd("L_SENDMESS").p1(100, "Limit"),
        Cmd("L_SENTYPE").p1(9, "Eye").p2(140, "Light sensor"),
        Cmd("L_SENMODE").p1(9, "Eye").p2(150, "Percentage"),
        Cmd("L_SUB").p1(2, "Blink"),
        Cmd("L_IF").p1(0, "Count").op(0).p2(100, "Limit")
            .body({Cmd("M_ON").motors("0")})
            .orElse({Cmd("M_OFF").motors("0").op(1)}),
        Cmd("L_WHILE").p1(9, "Bumper").op(2).p2(2, "0").body({Cmd("G_WAIT").p1(2, "5").time("Tenth")}),
        Cmd("L_LOOP").p1(100, "Limit").body({Cmd("G_SOUND").speed("Click")}),
        Cmd("L_LOOP").p1(4, 10).body({Cmd("M_ALTDIR").motors("0")}),
    });
    Cmd::place(*main->Commands(), 1, {
        Cmd("L_IF").p1(3, "Motor state A").op(2).p2(110, "Motor-on"),
        Cmd("L_WHILE").p1(1, "Timer 1").op(1).p2(3, "Motor direction B")
            .body({Cmd("L_VAR").op(0).p1(0, "Count").p2(2, "1")}),
        Cmd("L_DATALOG").p1(3, "Motor state A"),
    });
    Cmd::place(*blink->Commands(), 0, {
        Cmd("M_ON").motors("2"),
        Cmd("G_WAIT").p1(2, 1).time("Second"),
        Cmd("M_OFF").motors("2").op(1),
    });
    checkProject(QStringLiteral("every_key"));
    checkVirtualBrickDownload(QStringLiteral("every_key"));
}

// Loop-wrapped modules, range IFs and bodies nested three deep.
TEST_F(GoldenTest, NestedBlocksAndRanges)
{
    commonSetup();
    TaskPtr patrol = addTask("Patrol", 1, 1, 1);
    TaskPtr idle = addTask("Idle", 2, 0, 0);
    SubPtr spin = addSub("Spin", 1, 1);

    Cmd::place(*patrol->Commands(), 0, {
        Cmd("L_IF").p1(9, "Eye").op(4).p2(230, "10_20")
            .body({Cmd("M_ON").motors("1"), Cmd("L_SUB").p1(2, "Spin")})
            .orElse({Cmd("M_OFF").motors("1")}),
        Cmd("L_IF").p1(0, "Count").op(4).p2(220, "Band"),
        Cmd("L_LOOP").p1(2, "3").body({
            Cmd("L_IF").p1(9, "Bumper").op(2).p2(2, "1")
                .body({Cmd("L_WHILE").p1(1, "Timer 1").op(1).p2(100, "Limit").body({
                    Cmd("M_ALTDIR").motors("0").p1(2, 2).time("Tenth"),
                    Cmd("L_IF").p1(3, "Motor speed C").op(4).p2(230, "2_5")
                        .body({Cmd("L_DATALOG").p1(3, "Motor speed C")}),
                })})
                .orElse({Cmd("L_LOOP").p1(2, "Infinite loop").body({Cmd("G_PBOFF")})}),
        }),
        Cmd("L_WHILE").p1(0, "Count").op(3).p2(0, "Speed"),
    });
    Cmd::place(*idle->Commands(), 1, {Cmd("M_ON").motors("0")});  // an empty column 0 ends there; column 1 still runs
    Cmd::place(*spin->Commands(), 0, {Cmd("M_ALTDIR").motors("02").p1(0, "Speed").time("Second")});
    checkProject(QStringLiteral("nested"));
    checkVirtualBrickDownload(QStringLiteral("nested"));
}

TEST_F(GoldenTest, EmptyProject)
{
    addTask("Main", 1, 0, 1);
    checkProject(QStringLiteral("empty"));
}

// A check failure three blocks deep: the listing stops at the faulty command,
// only the innermost body's window opens, with its cursor on the cell.
TEST_F(GoldenTest, CompileErrorThreeBlocksDeep)
{
    commonSetup();
    TaskPtr main = addTask("Main", 1, 1, 1);
    SubPtr later = addSub("Later", 1);
    Cmd inner = Cmd("L_LOOP").p1(2, "2").caption("2 times").body({
        Cmd("M_ON").motors("0"),
        Cmd("L_VAR").op(0).p1(0, "Count").p2(0, "Deleted"),
    });
    Cmd middle = Cmd("L_WHILE").p1(0, "Count").op(1).p2(2, "9").caption("Count < 9").body({inner});
    Cmd outer = Cmd("L_IF").p1(9, "Eye").op(0).p2(2, "30").caption("Eye > 30")
                    .body({Cmd("M_FWD").motors("0")})
                    .orElse({middle});
    Cmd::place(*main->Commands(), 0, {Cmd("M_ON").motors("2"), outer, Cmd("M_ON").motors("1")});
    Cmd::place(*later->Commands(), 0, {Cmd("M_ON")});  // would fail too, but is never checked

    const CompileResult compiled = CompileProject(App());
    EXPECT_FALSE(compiled.ok);
    EXPECT_EQ(compiled.CompileError, QStringLiteral("-> ERROR: Undefined var: Deleted"));
    EXPECT_EQ(compiled.ErrorCell, QStringLiteral("0002"));
    expectGolden(QStringLiteral("error_three_deep.lst"), compiled.ListingText.toUtf8());
    // The compile tells the innermost body; it opens no window itself.
    EXPECT_EQ(compiled.ErrorWindow.kind, ModuleKind::LoopBody);
    EXPECT_EQ(compiled.ErrorWindow.owner.lock().get(), inner.c.get());
    EXPECT_EQ(compiled.ErrorWindow.parentTaskName, QStringLiteral("Main"));
    EXPECT_EQ(compiled.ErrorWindow.parentCaption, QStringLiteral("2 times"));
    EXPECT_TRUE(windows.windows.empty());
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));

    // The window side opens the body's window alone, on the faulty cell.
    ShowFaultInItsWindow(compiled);
    ASSERT_EQ(windows.windows.size(), 1u);
    FakeCommandWindow* w = windows.lastWindow();
    EXPECT_EQ(w->owner, inner.c.get());
    EXPECT_EQ(w->formType, ModuleKind::LoopBody);
    EXPECT_EQ(w->parentTaskName, QStringLiteral("Main"));
    EXPECT_EQ(w->parentCaption, QStringLiteral("2 times"));
    EXPECT_EQ(w->cursorPos, QStringLiteral("0002"));
    EXPECT_EQ(inner.c->CommandWindow, w);
    EXPECT_EQ(middle.c->CommandWindow, nullptr);
    EXPECT_EQ(outer.c->CommandWindow, nullptr);
    EXPECT_EQ(main->CommandWindow, nullptr);

    // The report the DOWNLOAD and COMPILE keys show.
    CompileErrorReport(App(), compiled);
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("-> ERROR: Undefined var: Deleted"));
    EXPECT_EQ(presenter.shown[0].style, 48);
    EXPECT_EQ(presenter.shown[0].title, QStringLiteral("Error in Program"));
    EXPECT_EQ(windows.statusTexts(), (QStringList{"Compiling -> ERROR: Undefined var: Deleted"}));
}

TEST_F(GoldenTest, JoystickProjectHasNoListing)
{
    App().SetProjectType(ProjectType::JoystickKeyboard);
    App().KeepListing(QStringLiteral("from before"), CompileFor::Listing);
    TaskPtr main = addTask("Main", 1, 1, 1);
    Cmd::place(*main->Commands(), 0, {Cmd("G_SOUND").speed("Beep")});
    const CompileResult compiled = CompileProject(App());
    EXPECT_TRUE(compiled.ok);
    EXPECT_FALSE(compiled.Listed);
    EXPECT_EQ(compiled.ListingText, QString());
    // The listing before stays the one PREVIEW shows.
    KeepListing(App(), compiled, CompileFor::Run);
    EXPECT_EQ(App().LastListing(), QStringLiteral("from before"));
}

}  // namespace
