// The project report's lines, and the report printed to PDF and read back.
#include "ViewsFixture.h"
#include "views/core/ProjectMap.h"
#include "views/ReportPrinter.h"
#include "shell/PdfFile.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>

namespace {

QStringList Texts(const std::vector<ReportLine>& lines)
{
    QStringList out;
    for (const ReportLine& l : lines)
        out << l.text;
    return out;
}

const ReportLine* LineWith(const std::vector<ReportLine>& lines, const QString& text)
{
    for (const ReportLine& l : lines)
        if (l.text == text)
            return &l;
    return nullptr;
}

std::shared_ptr<clsObject> Object(const QString& name, Integer source, Long value)
{
    auto o = std::make_shared<clsObject>();
    o->Name = name;
    o->Source = source;
    o->Value = value;
    App().AddObject(o, name);
    return o;
}

}  // namespace

using ReportTest = ViewsTest;

TEST_F(ReportTest, AnEmptyProjectPrintsTheHeadingsAndTheEndLine)
{
    App().SetProgramNumber(0);
    ProjectMap map{App()};
    map.UpdateMap();
    const auto lines = map.ReportLines();
    EXPECT_EQ(Texts(lines), QStringList({"", "", "", "     Quillomat Project: Demo", "     Program Slot: 1",
                                         "     Project Type: RCX", "", "     RCX Setup:", "", "", "     Variables:",
                                         "", "     Constants:", "", "      *** End Of Project ***"}));
    EXPECT_TRUE(LineWith(lines, "     Quillomat Project: Demo")->bold);
    EXPECT_TRUE(LineWith(lines, "     RCX Setup:")->bold);
    EXPECT_TRUE(LineWith(lines, "     Constants:")->bold);
}

TEST_F(ReportTest, SetUpListsAndMapLines)
{
    AppState& a = App();
    a.SetProjectType(ProjectType::JoystickKeyboard);
    a.SetProgramNumber(4);
    a.EditMotor(1, [](clsMotor& motor) {
        motor = clsMotor();
        motor.setMotorType(1);
        motor.Purpose = "Drive";
        motor.MotorFwdMeening = "ahead";
        motor.MotorRwdMeening = "back";
        motor.MotorDirection = 0;
        motor.MotorStartState = 1;
        motor.Power = 5;
    });
    a.EditSensor(2, [](clsSensor& sensor) {
        sensor = clsSensor();
        sensor.setSensorType(1);
        sensor.Purpose = "Bumper";
    });
    Object("Touch sensor", OperandSource::SensorTypeName, 1);
    Object("Boolean", OperandSource::SensorModeName, a.RcxSetup().PortSensor(2).SensorMode);
    Object("count", OperandSource::Variable, -3);
    Object("limit", OperandSource::UserConstant, 10);
    Object("span", OperandSource::NamedRange, 1);
    Object("MAX", OperandSource::SystemConstant, 5);

    auto main = AddTaskNamed("main");
    main->StartOnStartup = 1;
    auto outer = Put(*main->Commands(), Cmd("L_IF", 0, 1, "If", "a"));
    auto inner = PutBody(outer, Cmd("L_IF", 0, 1, "If", "b"));
    PutBody(inner, Cmd("M_ON", 0, 1, "On", "A"));
    PutBody(inner, Cmd("M_OFF", 1, 1, "Off", "A"));
    PutBody(outer, Cmd("G_WAIT", 1, 1, "Wait", "1"));
    auto sub = AddSubNamed("beep");
    sub->mLoop = 1;

    ProjectMap map{App()};
    map.UpdateMap();
    const auto lines = map.ReportLines();
    const QStringList t = Texts(lines);
    // Five blanks of margin, four more a level, three after the text.
    const auto at = [](int depth, const char* text) {
        return QString(5 + 4 * depth, ' ') + text + "   ";
    };
    const QStringList expected = {
        "     Program Slot: 5",
        "     Project Type: Joystick & Keyboard",
        "",
        "     RCX Setup:",
        "        Motor B:",
        "           Purpose: Drive",
        "           Fwd Means: ahead",
        "           Rwd Means: back",
        "           Start Direction: Backward",
        "           Start state ON",
        "           Speed: 5",
        "",
        "        Sensor 3:",
        "           Purpose: Bumper",
        "           Type: Touch sensor",
        "           Mode: Boolean",
        "",
        "     Variables:",
        "           count = -3",
        "",
        "     Constants:",
        "           limit = 10",
        "",
        "",
        "     TASK main   Start on startup: YES   Task in loop: NO",
        at(1, "If a"),
        at(2, "Yes"),
        at(3, "If b"),
        at(4, "Yes"),
        at(5, "On A"),
        at(4, "No"),
        at(5, "Off A"),
        at(2, "No"),
        at(3, "Wait 1"),
        "",
        "     SUB beep      Sub in loop: YES",
        "",
        "      *** End Of Project ***",
    };
    ASSERT_GE(t.size(), expected.size());
    EXPECT_EQ(t.mid(t.size() - expected.size()), expected);
    EXPECT_TRUE(LineWith(lines, "        Motor B:")->bold);
    EXPECT_FALSE(LineWith(lines, "           Purpose: Drive")->bold);
    EXPECT_TRUE(LineWith(lines, "     TASK main   Start on startup: YES   Task in loop: NO")->bold);
    EXPECT_FALSE(LineWith(lines, at(1, "If a"))->bold);
    // Both THEN branches are green, both ELSE branches red.
    int green = 0, red = 0;
    for (const ReportLine& l : lines) {
        if (l.text.trimmed() == "Yes")
            green += l.color == 0x008000;
        if (l.text.trimmed() == "No")
            red += l.color == 0x0000FF;
    }
    EXPECT_EQ(green, 2);
    EXPECT_EQ(red, 2);
    EXPECT_EQ(LineWith(lines, at(5, "On A"))->color, 0);
}

// The report printed to PDF files named by a clock the test sets.
class ReportPdfTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        SetPdfClock([this] { return now; });
    }
    void TearDown() override
    {
        SetPdfClock({});
        ReportTest::TearDown();
    }
    QDateTime now{QDate(2026, 12, 10), QTime(14, 3, 22)};
};

TEST_F(ReportPdfTest, EachPrintMakesANewFile)
{
    ProjectMap map{App()};
    map.UpdateMap();
    struct Print {
        int secondsLater;
        const char* file;
    };
    const Print prints[] = {
        {0, "Demo 2026-12-10 14.03.22.pdf"},
        {0, "Demo 2026-12-10 14.03.22 (2).pdf"},  // the same second: counted
        {0, "Demo 2026-12-10 14.03.22 (3).pdf"},
        {1, "Demo 2026-12-10 14.03.23.pdf"},
    };
    const QDateTime start = now;
    QMap<QString, QByteArray> made;
    for (const Print& p : prints) {
        now = start.addSecs(p.secondsLater);
        ASSERT_TRUE(PrintProjectReport(map.ReportLines(), ReportTarget::Pdf)) << p.file;
        const QString path = folder.path() + "/" + p.file;
        ASSERT_TRUE(QFile::exists(path)) << p.file;
        EXPECT_EQ(windows.statusTexts().last(), "Project report saved as " + path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        made[path] = f.readAll();
    }
    // Every earlier file is still there as it was made.
    for (auto it = made.cbegin(); it != made.cend(); ++it) {
        QFile f(it.key());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(it.key());
        EXPECT_EQ(f.readAll(), it.value()) << qPrintable(it.key());
    }
    EXPECT_EQ(QDir(folder.path()).entryList({"*.pdf"}).size(), 4);
}

TEST_F(ReportPdfTest, PrintedToPdfTheTextReadsBack)
{
    auto main = AddTaskNamed("main");
    auto iff = Put(*main->Commands(), Cmd("L_IF", 0, 1, "If", "Touch 1 = 1"));
    PutBody(iff, Cmd("M_ON", 0, 1, "Motor on", "A"));
    PutBody(iff, Cmd("M_OFF", 1, 1, "Motor off", "A"));
    ProjectMap map{App()};
    map.UpdateMap();
    ASSERT_TRUE(PrintProjectReport(map.ReportLines(), ReportTarget::Pdf));
    const QString pdf = folder.path() + "/Demo 2026-12-10 14.03.22.pdf";
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(windows.statusTexts().last().contains(pdf));
    EXPECT_EQ(windows.pointers, QList<int>({11, 0}));

    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    QStringList read;
    for (const QString& l : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (!l.trimmed().isEmpty())
            read << l.simplified();
    EXPECT_EQ(read, QStringList({"Quillomat Project: Demo", "Program Slot: 1", "Project Type: RCX", "RCX Setup:",
                                 "Variables:", "Constants:", "TASK main Start on startup: NO Task in loop: NO",
                                 "If Touch 1 = 1", "Yes", "Motor on A", "No", "Motor off A",
                                 "*** End Of Project ***"}));
}
