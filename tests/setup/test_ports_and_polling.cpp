#include "SetupFixture.h"

#include "compiler/ProjectCompile.h"
#include "model/Grid.h"
#include "model/ProjectFile.h"
#include "model/VbError.h"
#include "setup/core/SetupService.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

struct Named {
    QString name;
    Integer source;
    Long value;
    Integer number;
    bool operator==(const Named& o) const
    {
        return name == o.name && source == o.source && value == o.value && number == o.number;
    }
};

std::ostream& operator<<(std::ostream& os, const Named& n)
{
    return os << n.name.toStdString() << "/" << n.source << "/" << n.value << "/" << n.number;
}

// The named values of the sources given, in list order.
QList<Named> objectsOf(std::initializer_list<Integer> sources)
{
    QList<Named> out;
    for (const auto& e : App().ObjectList()) {
        const clsObject& o = *e.item;
        if (std::find(sources.begin(), sources.end(), o.Source) != sources.end())
            out.append({o.Name, o.Source, o.Value, o.Number});
    }
    return out;
}

QStringList captions(const PollPanel& panel)
{
    QStringList out;
    for (const PollRow& r : panel.Rows)
        out.append(r.Caption);
    return out;
}

int rowOf(const PollPanel& panel, const QString& caption)
{
    for (int i = 0; i < panel.Rows.size(); ++i)
        if (panel.Rows[i].Caption == caption)
            return i;
    return -1;
}

}  // namespace

using SetupPorts = SetupFixture;

TEST_F(SetupPorts, DropsOnTheWrongKindOfPortAreRefused)
{
    const int before = App().ObjectList().Count();
    EXPECT_FALSE(DropOnSensor(0, SetupPicture::Motor));
    EXPECT_FALSE(DropOnOutput(1, SetupPicture::Light));
    ASSERT_EQ(presenter.shown.size(), 2);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Only Sensors here"));
    EXPECT_EQ(presenter.shown[1].text, QStringLiteral("Only Motors here!"));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
    EXPECT_EQ(presenter.shown[1].style, MsgStyle::Exclamation);
    EXPECT_EQ(App().ObjectList().Count(), before);
    EXPECT_EQ(rcx().PortSensor(0).SensorType(), 0);
    EXPECT_EQ(rcx().PortMotor(1).MotorType(), 0);
    EXPECT_FALSE(rcx().Dirty);
}

TEST_F(SetupPorts, TouchSensorOnPortOneMakesItsFiveNamedValues)
{
    ASSERT_TRUE(DropOnSensor(0, SetupPicture::Touch));
    using namespace OperandSource;
    EXPECT_EQ(objectsOf({SensorValue, SensorType, SensorMode, SensorRaw, SensorBoolean}),
              (QList<Named>{{"Touch sensor  1", SensorValue, 0, 0}, {"S. Type 1", SensorType, 0, 0},
                            {"S. Mode 1", SensorMode, 0, 0}, {"S. Boolean 1", SensorBoolean, 0, 0},
                            {"S. Raw value 1", SensorRaw, 0, 0}}));
    const clsSensor& s = rcx().PortSensor(0);
    EXPECT_EQ(s.Purpose, QStringLiteral("Touch sensor  1"));
    EXPECT_EQ(s.SensorType(), 1);
    EXPECT_EQ(s.SensorMode, 1);
    EXPECT_TRUE(rcx().Dirty);
    EXPECT_EQ(App().SensorTypeName[1], QStringLiteral("Touch sensor"));
}

TEST_F(SetupPorts, ASecondDropReplacesThePortsValuesFoundBySourceAndNumber)
{
    using namespace OperandSource;
    ASSERT_TRUE(DropOnSensor(2, SetupPicture::Touch));
    ASSERT_TRUE(DropOnSensor(1, SetupPicture::Rotation));
    // The purpose was renamed in the sensor dialog.
    SensorProperties dialog(2);
    ASSERT_TRUE(dialog.Update(1, QStringLiteral("Bumper")));
    ASSERT_TRUE(DropOnSensor(2, SetupPicture::Light));
    EXPECT_FALSE(object(QStringLiteral("Bumper")));
    EXPECT_EQ(objectsOf({SensorValue}), (QList<Named>{{"Rotation sensor  2", SensorValue, 0, 1},
                                                      {"Light sensor  3", SensorValue, 0, 2}}));
    EXPECT_EQ(objectsOf({SensorType}).size(), 2);
    EXPECT_EQ(rcx().PortSensor(2).SensorMode, 4);
    EXPECT_TRUE(presenter.shown.isEmpty());
}

// A sensor's status values have one name whether the sensor was dropped on
// its port or read with the project, so a program on its raw value compiles
// before a save and after the reopening; a task file that holds the raw
// value's name as earlier versions spelt it compiles as well.
TEST_F(SetupPorts, AnIfOnARawValueCompilesBeforeAndAfterSaveAndReopen)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    AppState& a = App();
    a.DataFolder = tmp.path();
    App().SetProjectName(QStringLiteral("Robot"));
    a.ProjectAction = 2;

    ASSERT_TRUE(DropOnSensor(0, SetupPicture::Light));
    auto task = std::make_shared<clsTask>();
    task->Name = QStringLiteral("Main");
    task->mNumber = 1;
    task->ModulType = ModuleKind::Task;
    a.AddModule(task);
    auto ifRaw = std::make_shared<clsCommand>();
    ifRaw->SetKeyText(QStringLiteral("L_IF"));
    ifRaw->Param1Source = OperandSource::SensorRaw;
    ifRaw->Param1Value = QStringLiteral("S. Raw value 1");
    ifRaw->Op = 0;
    ifRaw->Param2Source = 2;
    ifRaw->Param2Value = QStringLiteral("500");
    ifRaw->Commands = std::make_shared<CommandCollection>();
    ifRaw->x = 0;
    ifRaw->y = 1;
    task->Commands()->Add(ifRaw, ColKey(0, 1));

    const auto compiles = [&] {
        const CompileResult compiled = CompileProject(App());
        EXPECT_TRUE(compiled.ok) << compiled.CompileError.toStdString();
        // The raw value of port 1 is compared: source 12, port index 0.
        EXPECT_TRUE(compiled.ListingText.contains(QStringLiteral(".If 12,0,0,2,500")))
            << compiled.ListingText.toStdString();
    };
    compiles();
    ASSERT_TRUE(SaveProject());

    const QString taskFile = tmp.path() + QStringLiteral("/Projects/Robot.dir/Main.tas");
    const QByteArray saved = [&] {
        QFile f(taskFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_TRUE(saved.contains("\"S. Raw value 1\""));
    const auto reopen = [&](const QByteArray& taskBytes) {
        writeFile(taskFile, taskBytes);
        a.ProjectAction = 1;
        ASSERT_TRUE(OpenProject());
        compiles();
        ASSERT_TRUE(object(QStringLiteral("S. Raw value 1")));
        EXPECT_EQ(object(QStringLiteral("S. Raw value 1"))->Name, QStringLiteral("S. Raw value 1"));
        const ObjectPtr named = object(a.TaskList().Item(1)->Commands()->Item(ColKey(0, 1))->Param1Value.toString());
        ASSERT_TRUE(named);
        EXPECT_EQ(named->Source, OperandSource::SensorRaw);
    };
    for (const char* stored : {"\"S. Raw value 1\"", "\"S. raw val 1\"", "\"s. RAW VAL 1\"", "\"s. raw value 1\""}) {
        SCOPED_TRACE(stored);
        QByteArray bytes = saved;
        bytes.replace("\"S. Raw value 1\"", stored);
        reopen(bytes);
    }
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(SetupPorts, MotorOnPortBMakesItsThreeNamedValuesAndSetsThePort)
{
    App().EditMotor(1, [&](clsMotor& m) { m.MotorFwdMeening = QStringLiteral("up"); });
    App().EditMotor(1, [&](clsMotor& m) { m.Power = 3; });
    ASSERT_TRUE(DropOnOutput(1, SetupPicture::Motor));
    ASSERT_TRUE(DropOnOutput(1, SetupPicture::Motor));  // again: replaced, not doubled
    using namespace OperandSource;
    EXPECT_EQ(objectsOf({MotorStatus}), (QList<Named>{{"Motor state B", MotorStatus, 192, 1},
                                                      {"Motor Direction B", MotorStatus, 8, 1},
                                                      {"Motor speed B", MotorStatus, 7, 1}}));
    const clsMotor& m = rcx().PortMotor(1);
    EXPECT_EQ(m.Purpose, QStringLiteral("Motor B"));
    EXPECT_EQ(m.MotorType(), 1);
    EXPECT_EQ(m.MotorStartState, 1);
    EXPECT_EQ(m.MotorDirection, 1);
    EXPECT_EQ(m.MotorPort, 1);
    EXPECT_EQ(m.Power, 7);
    EXPECT_EQ(m.MotorFwdMeening, QStringLiteral("up"));
    EXPECT_TRUE(presenter.shown.isEmpty());
}

TEST_F(SetupPorts, RemovingResetsThePortAndItsValues)
{
    DropOnOutput(0, SetupPicture::Motor);
    DropOnOutput(2, SetupPicture::Motor);
    DropOnSensor(0, SetupPicture::Light);
    App().EditSensor(0, [&](clsSensor& s) { s.Dark = 70; });
    App().EditSensor(0, [&](clsSensor& s) { s.PollCheck = 1; });
    App().EditMotor(0, [&](clsMotor& m) { m.MotorFwdMeening = QStringLiteral("up"); });
    App().SetSetupDirty(False);

    RemoveMotor(0);
    const clsMotor& m = rcx().PortMotor(0);
    EXPECT_EQ(m.MotorType(), 0);
    EXPECT_EQ(m.Power, 0);
    EXPECT_EQ(m.MotorStartState, 0);
    EXPECT_EQ(m.MotorDirection, 1);
    EXPECT_TRUE(m.Purpose.isEmpty());
    EXPECT_TRUE(m.MotorFwdMeening.isEmpty());
    EXPECT_EQ(objectsOf({OperandSource::MotorStatus}).size(), 3);  // port C keeps its own
    EXPECT_TRUE(rcx().Dirty);

    RemoveSensor(0);
    const clsSensor& s = rcx().PortSensor(0);
    EXPECT_EQ(s.SensorType(), 0);
    EXPECT_EQ(s.SensorMode, 4);  // the mode keeps its value
    EXPECT_EQ(s.Dark, 40);
    EXPECT_EQ(s.PollCheck, 0);
    EXPECT_TRUE(objectsOf({9, 10, 11, 12, 13}).isEmpty());
}

TEST_F(SetupPorts, OnlyTheDigitsOneToFiveSetTheProgramSlot)
{
    for (QChar c : {QChar('0'), QChar('6'), QChar('a'), QChar('\b')}) {
        EXPECT_FALSE(ProgramSlotKey(c)) << int(c.unicode());
        EXPECT_EQ(rcx().ProgramNumber, 0);
        EXPECT_FALSE(rcx().Dirty);
    }
    EXPECT_TRUE(ProgramSlotKey(QChar('5')));
    EXPECT_EQ(rcx().ProgramNumber, 4);
    EXPECT_TRUE(rcx().Dirty);
}

// ------------------------------------------------------------------ poll rows

using SetupPolling = SetupFixture;

TEST_F(SetupPolling, ANewProjectsRowsAndTheFilters)
{
    AddNamedValue(QStringLiteral("Count"), OperandSource::Variable, 0, 3);
    DropOnOutput(0, SetupPicture::Motor);
    DropOnSensor(1, SetupPicture::Touch);
    PollPanel panel;
    panel.Build();
    EXPECT_EQ(captions(panel),
              (QStringList{"Timer 1", "Timer 2", "Timer 3", "Timer 4", "Touch sensor  2", "Motor state A",
                           "Motor Direction A", "Motor speed A", "RCX message", "S. Type 2", "S. Mode 2",
                           "S. Boolean 2", "S. Raw value 2", "Count"}));
    EXPECT_EQ(panel.Rows[0].Tag, QStringLiteral("T1"));
    EXPECT_EQ(panel.Rows[4].Tag, QStringLiteral("S1"));
    EXPECT_EQ(panel.Rows[6].Tag, QStringLiteral("DMotor Direction A"));
    EXPECT_EQ(panel.Rows[10].Tag, QStringLiteral("OS. Mode 2"));
    EXPECT_TRUE(panel.Rows.back().Editable);
    EXPECT_FALSE(panel.Rows[0].Editable);

    panel.SetFilter(4, 0);  // no timers
    panel.SetFilter(2, 0);  // no sensors
    EXPECT_EQ(captions(panel), (QStringList{"Motor state A", "Motor Direction A", "Motor speed A", "RCX message", "Count"}));
    panel.SetFilter(0, 1);  // selected only, nothing ticked
    EXPECT_TRUE(panel.Rows.isEmpty());
    EXPECT_FALSE(panel.AnyTicked());
}

TEST_F(SetupPolling, ThePollingStateStartsAgainWithTheApp)
{
    PollingState& state = PollState();
    state.PollInterval = 1200;
    state.PollFilter[0] = 1;
    state.TimerPollCheck[2] = 1;
    ResetApp();
    EXPECT_EQ(state.PollInterval, 300);
    for (int i = 0; i <= 4; ++i)
        EXPECT_EQ(state.PollFilter[i], 0) << i;
    for (int n = 0; n <= 3; ++n)
        EXPECT_EQ(state.TimerPollCheck[n], 0) << n;
}

// Every tick writes each row's check back: the set-up is told changed once,
// for the sensor whose check the tick changed, not once for every sensor row.
TEST_F(SetupPolling, ATickTellsTheSetUpChangedOnlyForTheSensorItChanges)
{
    for (int port = 0; port <= 2; ++port)
        DropOnSensor(port, SetupPicture::Light);
    PollPanel panel;
    panel.Build();
    const int timer = rowOf(panel, QStringLiteral("Timer 2"));
    const int sensor = rowOf(panel, QStringLiteral("Light sensor  2"));
    struct Case {
        const char* what;
        int row;
        Integer tick;
        int told;
    };
    const Case cases[] = {
        {"a timer", timer, 1, 0},
        {"a sensor", sensor, 1, 1},
        {"the same sensor again", sensor, 1, 0},
        {"the sensor unticked", sensor, 0, 1},
    };
    for (const Case& c : cases) {
        const int before = windows.setupChangedCount;
        panel.SetTick(c.row, c.tick);
        EXPECT_EQ(windows.setupChangedCount - before, c.told) << c.what;
    }
    EXPECT_EQ(rcx().PortSensor(1).PollCheck, 0);
}

TEST_F(SetupPolling, TicksLiveInTheModelAndUntickingEmptiesTheValue)
{
    DropOnSensor(0, SetupPicture::Light);
    PollPanel panel;
    panel.Build();
    const int timer = rowOf(panel, QStringLiteral("Timer 2"));
    const int sensor = rowOf(panel, QStringLiteral("Light sensor  1"));
    const int message = rowOf(panel, QStringLiteral("RCX message"));
    panel.SetTick(timer, 1);
    panel.SetTick(sensor, 1);
    panel.SetTick(message, 1);
    EXPECT_EQ(PollState().TimerPollCheck[1], 1);
    EXPECT_EQ(rcx().PortSensor(0).PollCheck, 1);
    EXPECT_EQ(object(QStringLiteral("RCX message"))->PollCheck, 1);

    PollState().PollFilter[0] = 1;
    panel.Build();
    EXPECT_EQ(captions(panel), (QStringList{"Timer 2", "Light sensor  1", "RCX message"}));
    panel.Rows[0].Value = QStringLiteral("12");
    panel.SetTick(0, 0);
    EXPECT_TRUE(panel.Rows[0].Value.isEmpty());
    EXPECT_EQ(PollState().TimerPollCheck[1], 0);
    panel.Rows[1].Value = QStringLiteral("3");
    panel.UnselectAll();
    EXPECT_FALSE(panel.AnyTicked());
    EXPECT_TRUE(panel.Rows[1].Value.isEmpty());
    EXPECT_EQ(rcx().PortSensor(0).PollCheck, 0);
}

TEST_F(SetupPolling, TextsReadFromTheVirtualBrick)
{
    vbrick::SoftRcx& brick = useBrick();
    DropOnOutput(0, SetupPicture::Motor);
    DropOnSensor(2, SetupPicture::Light);
    AddNamedValue(QStringLiteral("Count"), OperandSource::Variable, 0, 3);
    brick.setVariable(3, -17);
    brick.sensor(2).value = 55;
    control.setComPortNo(PortSelector::VirtualBrickPort);
    PB().SetPower(QStringLiteral("0"), OperandSource::Constant, 5);
    PB().SetFwd(QStringLiteral("0"));
    PB().On(QStringLiteral("0"));

    PollPanel panel;
    panel.Build();
    for (int i = 0; i < panel.Rows.size(); ++i)
        if (!panel.Rows[i].Caption.startsWith(QLatin1String("Timer")))
            panel.SetTick(i, 1);
    panel.PollOnce();
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
    auto value = [&](const char* caption) { return panel.Rows[rowOf(panel, QLatin1String(caption))].Value; };
    EXPECT_EQ(value("Motor state A"), QStringLiteral("128-ON"));
    EXPECT_EQ(value("Motor Direction A"), QStringLiteral("8-Forword"));
    EXPECT_EQ(value("Motor speed A"), QStringLiteral("5"));
    // The sensor set-up put the light sensor's type and mode on the brick first.
    EXPECT_EQ(value("S. Mode 3"), QStringLiteral("128-Percentage"));
    EXPECT_EQ(value("S. Type 3"), QStringLiteral("3 - Light sensor"));
    EXPECT_EQ(value("Light sensor  3"), QStringLiteral("55"));
    EXPECT_EQ(value("Count"), QStringLiteral("-17"));
    EXPECT_EQ(value("RCX message"), QStringLiteral("0"));
    EXPECT_TRUE(value("Timer 1").isEmpty());

    PB().SetRwd(QStringLiteral("0"));
    PB().Float(QStringLiteral("0"));
    panel.PollPass();
    EXPECT_EQ(value("Motor state A"), QStringLiteral("0-FLOAT"));
    EXPECT_EQ(value("Motor Direction A"), QStringLiteral("0-Backword"));
}

TEST_F(SetupPolling, AFailingReadShowsOneMessageAndStopsPolling)
{
    struct Case {
        int error;
        bool continuous;
        const char* message;
    } cases[] = {
        {Err::DeviceUnavailable, false, "No communication with the RCX"},
        {Err::DeviceUnavailable, true, "No communication with the RCX"},
        {Err::InvalidCall, true, "Error:  5 Invalid procedure call or argument"},
    };
    for (const Case& c : cases) {
        RecordingControl recorder;
        App().Ports = &recorder;
        App().SetRcxInit(True);
        PollPanel panel;
        int switched = 0;
        panel.PollingChanged = [&] { ++switched; };
        panel.Build();
        panel.SetTick(rowOf(panel, QStringLiteral("Timer 1")), 1);
        panel.SetTick(rowOf(panel, QStringLiteral("RCX message")), 1);
        panel.SetTick(rowOf(panel, QStringLiteral("Timer 3")), 1);
        recorder.pushResults(QStringLiteral("Poll"), {42, 7, 9});
        panel.PollPass();  // every row reads
        if (c.continuous) {
            panel.TogglePolling();
            EXPECT_TRUE(panel.Polling());
            EXPECT_EQ(panel.PollButtonCaption(), QStringLiteral("Stop polling"));
        }
        recorder.failOperation(QStringLiteral("Poll"), c.error);
        if (c.continuous)
            panel.PollPass();
        else
            panel.PollOnce();
        EXPECT_EQ(presenter.texts(), QStringList{QLatin1String(c.message)}) << c.error;
        EXPECT_EQ(presenter.shown.value(0).style, MsgStyle::Exclamation);
        EXPECT_FALSE(panel.Polling());
        EXPECT_EQ(panel.PollButtonCaption(), QStringLiteral("Start polling"));
        EXPECT_EQ(switched, c.continuous ? 2 : 0);
        // The pass ended at the failing row; the rows keep their old texts.
        EXPECT_EQ(panel.Rows[rowOf(panel, QStringLiteral("Timer 1"))].Value, QStringLiteral("42"));
        EXPECT_EQ(panel.Rows[rowOf(panel, QStringLiteral("Timer 3"))].Value, QStringLiteral("7"));
        EXPECT_EQ(recorder.count(QStringLiteral("Poll")), 4);
        App().Ports = nullptr;
        presenter.shown.clear();
    }
}

TEST_F(SetupPolling, AFailedTowerCheckStopsPolling)
{
    RecordingControl& recorder = useRecorder();
    App().SetRcxInit(False);
    recorder.setDefaultResult(QStringLiteral("TowerCheck1"), false);
    recorder.setDefaultResult(QStringLiteral("TowerCheck2"), false);
    recorder.setDefaultResult(QStringLiteral("TowerCheck3"), false);
    PollPanel panel;
    panel.Build();
    panel.SetTick(0, 1);
    panel.TogglePolling();  // the tower does not answer: polling does not start
    EXPECT_FALSE(panel.Polling());
    EXPECT_EQ(presenter.shown.size(), 1);
    panel.PollOnce();
    EXPECT_EQ(presenter.shown.size(), 2);
    EXPECT_EQ(recorder.count(QStringLiteral("Poll")), 0);
}

TEST_F(SetupPolling, TypingAVariablesValue)
{
    RecordingControl& recorder = useRecorder();
    AddNamedValue(QStringLiteral("Count"), OperandSource::Variable, 0, 6);
    PollPanel panel;
    panel.Build();
    const int row = rowOf(panel, QStringLiteral("Count"));
    for (const char* bad : {"12a", "40000", "", "1 2"}) {
        presenter.shown.clear();
        panel.WriteVariable(row, QLatin1String(bad));
        EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("Invalid value")}) << bad;
    }
    EXPECT_EQ(recorder.count(QStringLiteral("SetVar")), 0);
    panel.WriteVariable(row, QStringLiteral("-5"));
    EXPECT_EQ(recorder.calls().last(), QStringLiteral("SetVar(6, L2, -5)"));
    panel.WriteVariable(rowOf(panel, QStringLiteral("Timer 1")), QStringLiteral("3"));  // not editable
    EXPECT_EQ(recorder.count(QStringLiteral("SetVar")), 1);
}

TEST_F(SetupPolling, AJoystickProjectShowsThePcSideValues)
{
    RecordingControl& recorder = useRecorder();
    App().SetProjectType(ProjectType::JoystickKeyboard);
    ObjectPtr v = AddNamedValue(QStringLiteral("Speed"), OperandSource::Variable, 9, 0);
    ObjectPtr state = AddNamedValue(QStringLiteral("Motor state A"), OperandSource::MotorStatus, 192, 0);
    ObjectPtr dir = AddNamedValue(QStringLiteral("Motor direction A"), OperandSource::MotorStatus, 8, 0);
    ObjectPtr speed = AddNamedValue(QStringLiteral("Motor speed A"), OperandSource::MotorStatus, 7, 0);
    state->AuxValue = 64;
    dir->AuxValue = 0;
    speed->AuxValue = 4;
    PollPanel panel;
    panel.Build();
    for (const char* c : {"Speed", "Motor state A", "Motor direction A", "Motor speed A"})
        panel.SetTick(rowOf(panel, QLatin1String(c)), 1);
    panel.PollPass();
    auto value = [&](const char* caption) { return panel.Rows[rowOf(panel, QLatin1String(caption))].Value; };
    EXPECT_EQ(value("Speed"), QStringLiteral("9"));
    EXPECT_EQ(value("Motor state A"), QStringLiteral("64-OFF"));
    EXPECT_EQ(value("Motor direction A"), QStringLiteral("0-Backword"));
    EXPECT_EQ(value("Motor speed A"), QStringLiteral("4"));
    EXPECT_EQ(recorder.count(QStringLiteral("Poll")), 0);

    panel.WriteVariable(rowOf(panel, QStringLiteral("Speed")), QStringLiteral("21"));
    EXPECT_EQ(v->Value, 21);
    EXPECT_EQ(recorder.count(QStringLiteral("SetVar")), 0);
}

TEST_F(SetupPolling, ASensorTypeTheBrickDoesNotHaveIsAFailure)
{
    RecordingControl& recorder = useRecorder();
    DropOnSensor(0, SetupPicture::Touch);
    PollPanel panel;
    panel.Build();
    panel.SetTick(rowOf(panel, QStringLiteral("S. Type 1")), 1);
    recorder.pushResult(QStringLiteral("Poll"), 7);
    panel.PollPass();
    EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("Error:  9 Subscript out of range")});
}
