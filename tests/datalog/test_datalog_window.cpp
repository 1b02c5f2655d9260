// The datalog window with its dialogs, driven headless: uploads from the
// virtual brick, reset and size, the list file, the graph, saving and printing.
#include "DatalogFixture.h"
#include "RecordingSurface.h"
#include "support/FakeWindows.h"
#include "support/RecordingControl.h"
#include "support/TestFiles.h"

#include "datalog/core/DatalogFile.h"
#include "datalog/core/DatalogSet.h"
#include "datalog/DatalogPrint.h"
#include "datalog/frmDatalog.h"
#include "datalog/frmDatalogRange.h"
#include "datalog/frmGraphSettings.h"
#include "link/BrickHold.h"
#include "link/PortSelector.h"
#include "model/VbError.h"
#include "shell/FileDialog.h"
#include "shell/PdfFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <map>

namespace {

class DatalogWindow : public DatalogFixture {
protected:
    void SetUp() override
    {
        DatalogFixture::SetUp();
        setDatalogPrintToPdf(true);
        SetPdfClock([] { return QDateTime(QDate(2026, 12, 10), QTime(14, 3, 22)); });
        App().SetProjectName(QStringLiteral("Rover"));
        runner.script = [this](QDialog& d) {
            auto it = answers.find(d.windowTitle());
            if (it != answers.end())
                it->second(d);
        };
        answers["Datalog Range"] = [](QDialog& d) { static_cast<frmDatalogRange&>(d).cmdOk_Click(); };
        window = std::make_unique<frmDatalog>();
        window->resize(700, 460);
    }
    void TearDown() override
    {
        window.reset();
        setDatalogPrintToPdf(false);
        SetPdfClock({});
        DatalogFixture::TearDown();
    }

    QStringList listLines() const
    {
        QStringList lines;
        for (int i = 0; i < window->lstData->count(); ++i)
            lines.append(window->lstData->item(i)->text());
        return lines;
    }
    // Blocks of timer 1 and the light sensor.
    void fillBlocks(int blocks)
    {
        QVector<DatalogEntry> entries;
        for (int b = 0; b < blocks; ++b) {
            entries.append({1, 0, Integer(100 + 10 * b)});
            entries.append({9, 1, Integer(40 + (b * 7) % 13)});
        }
        brick.fill(entries);
    }
    void upload() { window->TB1_ButtonClick("SHOWDATA"); }
    // The range dialog: a range from start, then Ok.
    void chooseRange(const QString& start, const QString& size)
    {
        answers["Datalog Range"] = [=](QDialog& d) {
            auto& r = static_cast<frmDatalogRange&>(d);
            r.optRange[1]->setChecked(true);
            r.txtStart->setText(start);
            r.txtSize->setText(size);
            r.cmdOk_Click();
        };
    }
    // The graph settings: X item, checked Y items, then Ok.
    void chooseGraph(const QString& x, const QStringList& ys, const QString& title = "Light run")
    {
        answers["Graph Settings"] = [=](QDialog& d) {
            auto& g = static_cast<frmGraphSettings&>(d);
            g.cmbX->setCurrentIndex(g.cmbX->findText(x));
            g.cmbX_Click();
            for (const QString& y : ys)
                g.YEntry(y)->setCheckState(0, Qt::Checked);
            g.txtGraphTitle->setText(title);
            g.txtXCaption->setText("tenths of a second");
            g.txtYCaption->setText("percent");
            g.cmdOk_Click();
        };
    }
    // The file dialog answers with a name.
    void chooseFile(const QString& caption, const QString& name)
    {
        answers[caption] = [=](QDialog& d) {
            auto& f = static_cast<frmFirmware&>(d);
            f.txtFileName->setText(name);
            f.cmdOpen_Click();
        };
    }
    QString dataPath(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QStringList pdfFiles() const { return QDir(folder.path()).entryList({"*.pdf"}); }
    // The PDF of a printout at the test's clock; n counts the printouts of one second.
    QString pdfPath(int n = 1) const
    {
        return dataPath(n == 1 ? QStringLiteral("Rover datalog 2026-12-10 14.03.22.pdf")
                               : QStringLiteral("Rover datalog 2026-12-10 14.03.22 (%1).pdf").arg(n));
    }

    std::map<QString, std::function<void(QDialog&)>> answers;
    std::unique_ptr<frmDatalog> window;
};

TEST_F(DatalogWindow, UploadsAndListsTheBricksDatalog)
{
    fillBlocks(3);
    upload();
    EXPECT_EQ(runner.shown, QStringList{"Datalog Range"});
    EXPECT_EQ(listLines(), (QStringList{"1   Timer 1 = 100", "2   Light = 40", "3   Timer 1 = 110", "4   Light = 47",
                                        "5   Timer 1 = 120", "6   Light = 41"}));
    EXPECT_EQ(CurrentDatalog().DatalogRecords.size(), 9);
    EXPECT_EQ(CurrentDatalog().DatalogSource, "RCX");
    EXPECT_EQ(window->Panel(1), "data source: RCX");
    EXPECT_EQ(window->Panel(2), "6 items");
    EXPECT_EQ(window->Panel(3), "");
    EXPECT_EQ(window->Button("SHOWDATA")->toolTip(), "Upload datalog");
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(window->RangeStart, 1);
    EXPECT_EQ(window->RangeSize, 0);
}

TEST_F(DatalogWindow, UploadsARangeAndRemembersIt)
{
    fillBlocks(10);
    chooseRange("3", "4");
    upload();
    EXPECT_EQ(listLines().size(), 4);
    EXPECT_EQ(window->Panel(1), "data source: RCX Start:3 Size:4");
    // The next opening shows the last choice.
    answers["Datalog Range"] = [](QDialog& d) {
        auto& r = static_cast<frmDatalogRange&>(d);
        EXPECT_TRUE(r.optRange[1]->isChecked());
        EXPECT_EQ(r.txtStart->text(), "3");
        EXPECT_EQ(r.txtSize->text(), "4");
        r.cmdCancel_Click();
    };
    upload();
    EXPECT_EQ(brick.requests.size(), 1);  // cancelled: the brick is not asked
}

TEST_F(DatalogWindow, RangeBeyondTheDatalogIsRefused)
{
    fillBlocks(5);
    chooseRange("1", "10");
    upload();
    EXPECT_EQ(presenter.texts(), QStringList{"Current datalog size is 10\r\n"
                                             "Starting point + Size is greater than the datalog size"});
    EXPECT_EQ(presenter.shown[0].style, 48);
    EXPECT_TRUE(brick.requests.isEmpty());
}

TEST_F(DatalogWindow, EmptyDatalogSaysSoAndClearsThePanels)
{
    fillBlocks(2);
    upload();
    brick.SetDatalog(10);
    upload();
    EXPECT_EQ(listLines(), QStringList{"Datalog is empty!"});
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(window->Panel(i), "");
    EXPECT_EQ(CurrentDatalog().DatalogRecords.size(), 6);  // the records stay as they were
    // Nothing to save, graph or print.
    window->TB1_ButtonClick("SAVEDATA");
    window->TB1_ButtonClick("PRINT");
    EXPECT_EQ(runner.shown.size(), 2);
    window->TB1_ButtonClick("SHOWGRAPH");
    EXPECT_EQ(presenter.texts(), QStringList{"No data to display!"});
    EXPECT_TRUE(pdfFiles().isEmpty());
}

TEST_F(DatalogWindow, SilentBrickAndFailingControl)
{
    RecordingControl pb;
    App().Ports = &pb;
    pb.pushResult("PBAlive", false);
    upload();
    EXPECT_EQ(presenter.texts(), QStringList{"No communication with the RCX"});
    EXPECT_EQ(window->Panel(3), "");

    presenter.shown.clear();
    QVector<Long> map(94, 0);
    map[92] = 3 * 11;
    pb.pushMemMap(map);
    pb.failOperation("GetDatalog", Err::DeviceUnavailable, 1);
    upload();
    EXPECT_EQ(presenter.texts(), QStringList{errorDescription(Err::DeviceUnavailable)});
    EXPECT_EQ(window->Panel(3), "");
}

// While the upload holds the brick, what the events start between its
// requests (here a timer that reads the battery) is refused with the busy
// text and sends nothing; the upload goes on whole, and the brick is free
// after it.
TEST_F(DatalogWindow, BrickWorkDuringTheUploadIsRefusedAndSendsNothing)
{
    PortSelector control(App(), [] { return qint64(0); });
    App().Ports = &control;
    control.setComPortNo(PortSelector::VirtualBrickPort);
    vbrick::VirtualBrick& brick = control.virtualDevice();
    ASSERT_TRUE(brick.SetDatalog(120));
    for (int i = 0; i < 120; ++i) {
        brick.SetVar(3, 2, Integer(i));
        brick.DatalogNext(0, 3);
    }
    int refused = 0;
    QStringList went;
    QTimer reader;
    reader.setInterval(0);
    QObject::connect(&reader, &QTimer::timeout, [&] {
        const QString busy = BrickBusyWith(App());
        const qint64 before = brick.bytesSent();
        try {
            PB().PBBattery();
            if (!busy.isEmpty())
                went.append(busy);
        } catch (const VbError& e) {
            EXPECT_EQ(e.description(), QStringLiteral("The RCX is busy: datalog upload"));
            EXPECT_EQ(brick.bytesSent(), before);
            ++refused;
        }
    });
    reader.start();
    upload();
    reader.stop();
    EXPECT_GE(refused, 2) << "the events ran between the requests";
    EXPECT_EQ(went, QStringList());
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
    EXPECT_EQ(window->Panel(2), "120 items");
    EXPECT_EQ(BrickBusyWith(App()), QString());
    EXPECT_EQ(PB().PBBattery(), 9300);
    App().Ports = &this->brick;
}

TEST_F(DatalogWindow, ShowDataFromTheGraphOrHelpOnlyBringsTheListBack)
{
    RecordingControl pb;
    App().Ports = &pb;
    window->TB1_ButtonClick("HELP");
    EXPECT_TRUE(window->ShowingHelp);
    EXPECT_EQ(window->Button("SHOWDATA")->toolTip(), "Show datalog list");
    upload();
    EXPECT_FALSE(window->ShowingHelp);
    EXPECT_TRUE(pb.calls().isEmpty());
    EXPECT_TRUE(runner.shown.isEmpty());
    EXPECT_EQ(window->Button("SHOWDATA")->toolTip(), "Upload datalog");
}

struct RangeTextCase {
    const char* start;
    const char* size;
    bool accepted;
    bool startFocused;
};

TEST_F(DatalogWindow, RangeDialogTakesWholeNumbersAboveZero)
{
    const RangeTextCase cases[] = {
        {"1", "5", true, false},   {"007", "5", true, false}, {"0", "5", false, true},  {"", "5", false, true},
        {"+3", "5", false, true},  {"3 ", "5", false, true},  {"2.5", "5", false, true}, {"x", "y", false, true},
        {"3", "0", false, false},  {"99999999999", "5", true, false},
    };
    frmDatalogRange range;
    range.show();
    for (const RangeTextCase& c : cases) {
        presenter.shown.clear();
        range.show();
        range.optRange[1]->setChecked(true);
        range.txtStart->setText(c.start);
        range.txtSize->setText(c.size);
        range.cmdOk_Click();
        EXPECT_EQ(range.isVisible(), !c.accepted) << c.start << " " << c.size;
        EXPECT_EQ(presenter.texts().size(), c.accepted ? 0 : 1) << c.start << " " << c.size;
        if (!c.accepted) {
            EXPECT_EQ(presenter.texts()[0], "Number must be an integer greater than 0!");
            QLineEdit* box = c.startFocused ? range.txtStart : range.txtSize;
            EXPECT_EQ(box->selectedText(), box->text());
        }
    }
    // The whole datalog: the texts are not looked at.
    presenter.shown.clear();
    range.show();
    range.optRange[0]->setChecked(true);
    EXPECT_FALSE(range.txtStart->isEnabled());
    range.cmdOk_Click();
    EXPECT_FALSE(range.isVisible());
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_FALSE(range.WasCanceled);
}

TEST_F(DatalogWindow, TooLargeRangeNumberFailsTheUploadWithItsConversion)
{
    fillBlocks(5);
    chooseRange("99999999999", "1");
    upload();
    EXPECT_EQ(presenter.texts(), QStringList{errorDescription(Err::Overflow)});
    EXPECT_TRUE(brick.requests.isEmpty());
}

int callsOf(const RecordingControl& pb, const QString& name)
{
    int n = 0;
    for (const QString& call : pb.calls())
        n += call.startsWith(name);
    return n;
}

TEST_F(DatalogWindow, ResetAndSize)
{
    RecordingControl pb;
    App().Ports = &pb;
    window->TB1_ButtonClick("RESET");
    EXPECT_EQ(callsOf(pb, "SetDatalog"), 1);
    EXPECT_EQ(callsOf(pb, "PlayTone"), 1);

    struct SizeCase {
        const char* answer;
        QStringList messages;
        int setDatalogCalls;
    };
    const SizeCase cases[] = {
        {"", {}, 0},
        {"   ", {}, 0},
        {"0", {}, 0},
        {"5000", {}, 2},
        {"40000", {errorDescription(Err::Overflow)}, 0},
        {"many", {errorDescription(Err::TypeMismatch)}, 0},
    };
    for (const SizeCase& c : cases) {
        pb.clearCalls();
        presenter.shown.clear();
        presenter.inputs = {c.answer};
        window->TB1_ButtonClick("DATASIZE");
        EXPECT_EQ(presenter.texts(), c.messages) << c.answer;
        EXPECT_EQ(callsOf(pb, "SetDatalog"), c.setDatalogCalls) << c.answer;
    }
    EXPECT_EQ(window->LastDatalogSize, 5000);

    // The brick refuses the size: the datalog stays erased.
    pb.clearCalls();
    presenter.shown.clear();
    presenter.inputs = {"120"};
    pb.pushResults("SetDatalog", {true, false});
    window->TB1_ButtonClick("DATASIZE");
    EXPECT_EQ(presenter.texts(), QStringList{"Can't set datalog to this size: 120"});
    EXPECT_EQ(callsOf(pb, "PlayTone"), 0);

    presenter.shown.clear();
    pb.pushResult("SetDatalog", false);
    window->TB1_ButtonClick("RESET");
    EXPECT_EQ(presenter.texts(), QStringList{"Can't reset datalog"});
}

TEST_F(DatalogWindow, SizeReachesTheVirtualBrick)
{
    presenter.inputs = {"30"};
    window->TB1_ButtonClick("DATASIZE");
    EXPECT_EQ(brick.datalogSize(), 30);
    window->TB1_ButtonClick("RESET");
    EXPECT_EQ(brick.datalogSize(), 0);
}

// Save writes what the list shows, always: after an upload refused for its
// range, after one the brick broke off part way, and over the file the list
// was opened from.
TEST_F(DatalogWindow, SaveAfterARefusedOrFailedUploadWritesTheListShown)
{
    fillBlocks(60);  // 120 entries
    upload();
    const QStringList shown = listLines();
    const QVector<DatalogRecord> uploaded = CurrentDatalog().DatalogRecords;
    ASSERT_EQ(shown.size(), 120);
    RecordingControl pb;
    // Saves the list over after.dlg (Replace: OK) and reads the file back.
    auto saveAndRead = [&] {
        chooseFile("Save datalog list", "after.dlg");
        presenter.answers = {MsgResult::OK};
        window->TB1_ButtonClick("SAVEDATA");
        QVector<DatalogRecord> saved;
        ReadDatalogFile(dataPath("after.dlg"), saved);
        return saved;
    };
    struct Case {
        const char* what;
        std::function<void()> fail;
    };
    const Case cases[] = {
        {"a range beyond the datalog",
         [&] {
             chooseRange("1", "500");
             upload();
         }},
        {"a brick that falls silent as the entries are asked for",
         [&] {
             App().Ports = &pb;
             QVector<Long> map(94, 0);
             map[92] = 3 * 181;  // 180 entries
             pb.pushMemMap(map);
             pb.failOperation("GetDatalog", Err::DeviceUnavailable, 1);
             upload();
             App().Ports = &brick;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        presenter.shown.clear();
        c.fail();
        ASSERT_EQ(presenter.shown.size(), 1);  // the refusal or the failure
        EXPECT_EQ(listLines(), shown);
        const QVector<DatalogRecord> saved = saveAndRead();
        EXPECT_EQ(saved, uploaded);
        EXPECT_EQ(DatalogListLines(saved), shown);
    }

    // The list opened from a file, a refused upload, saved over that file:
    // the file keeps every record.
    chooseFile("Open datalog", "after.dlg");
    window->TB1_ButtonClick("OPENDATA");
    chooseRange("1", "500");
    upload();
    EXPECT_EQ(saveAndRead(), uploaded);
}

TEST_F(DatalogWindow, ListFileRoundTrip)
{
    fillBlocks(4);
    upload();
    const QVector<DatalogRecord> uploaded = CurrentDatalog().DatalogRecords;
    const QStringList lines = listLines();
    chooseFile("Save datalog list", "run");
    window->TB1_ButtonClick("SAVEDATA");
    ASSERT_TRUE(QFile::exists(dataPath("run.dlg")));

    CurrentDatalog().DatalogRecords.clear();
    window->lstData->clear();
    chooseFile("Open datalog", "run.dlg");
    window->TB1_ButtonClick("OPENDATA");
    EXPECT_EQ(CurrentDatalog().DatalogRecords, uploaded);
    EXPECT_EQ(listLines(), lines);
    EXPECT_EQ(CurrentDatalog().DatalogSource, "run.dlg");
    EXPECT_EQ(window->Panel(1), "Data source: run.dlg");
    EXPECT_EQ(window->Panel(2), "8 items");

    // Saving again asks before replacing; Cancel keeps the old file.
    presenter.answers = {MsgResult::Cancel};
    CurrentDatalog().DatalogRecords.removeLast();
    window->TB1_ButtonClick("SAVEDATA");
    EXPECT_EQ(presenter.texts(), QStringList{"Replace existing file?"});
    EXPECT_EQ(presenter.shown[0].style, 33);
    QVector<DatalogRecord> read;
    ReadDatalogFile(dataPath("run.dlg"), read);
    EXPECT_EQ(read, uploaded);
}

TEST(DatalogSet, TheRecordsStartAgainWithTheApp)
{
    CurrentDatalog().DatalogRecords = {{1, "Timer 1", 0, 1}};
    CurrentDatalog().DatalogSource = QStringLiteral("RCX");
    ResetApp();
    EXPECT_TRUE(CurrentDatalog().DatalogRecords.isEmpty());
    EXPECT_TRUE(CurrentDatalog().DatalogSource.isEmpty());
}

TEST_F(DatalogWindow, BadListFileKeepsTheListAndItsRecords)
{
    fillBlocks(2);
    upload();
    const QVector<DatalogRecord> uploaded = CurrentDatalog().DatalogRecords;
    ASSERT_EQ(uploaded.size(), 6);
    const QStringList lines = listLines();
    writeFile(dataPath("bad.dlg"), "0,1,Timer 1,5\r\n0,1,Timer 1\r\n");
    chooseFile("Open datalog", "bad.dlg");
    window->TB1_ButtonClick("OPENDATA");
    EXPECT_EQ(presenter.texts(),
              QStringList{errorDescription(Err::SubscriptOutOfRange) + " in " + dataPath("bad.dlg") + " at line 2"});
    EXPECT_EQ(presenter.shown[0].style, 48);
    EXPECT_EQ(listLines(), lines);
    EXPECT_EQ(CurrentDatalog().DatalogRecords, uploaded);
    // Saving then writes what the list shows, not the refused file's first line.
    chooseFile("Save datalog list", "kept");
    window->TB1_ButtonClick("SAVEDATA");
    QVector<DatalogRecord> saved;
    ReadDatalogFile(dataPath("kept.dlg"), saved);
    EXPECT_EQ(saved, uploaded);

    presenter.shown.clear();
    chooseFile("Open datalog", "none.dlg");
    answers["Open datalog"] = [](QDialog& d) {
        auto& fd = static_cast<frmFirmware&>(d);
        fd.txtFileName->setText("none.dlg");
        fd.WasCanceled = False;
        fd.accept();
    };
    window->TB1_ButtonClick("OPENDATA");
    EXPECT_EQ(presenter.texts(), QStringList{"File not found: none.dlg"});
    EXPECT_EQ(presenter.shown[0].style, 64);
}

TEST_F(DatalogWindow, GraphNeedsTwoItems)
{
    brick.fill({{1, 0, 1}, {1, 0, 2}});
    upload();
    window->TB1_ButtonClick("SHOWGRAPH");
    // Timer 1 and its Samples Counter are two items; the settings open.
    EXPECT_EQ(runner.shown.last(), "Graph Settings");

    CurrentDatalog().DatalogRecords = {{1, "Timer 1", 0, 1}, {1, "Timer 1", 0, 2}};
    chooseFile("Open datalog", "one.dlg");
    WriteDatalogFile(dataPath("one.dlg"), CurrentDatalog().DatalogRecords);
    window->TB1_ButtonClick("OPENDATA");
    runner.shown.clear();
    window->TB1_ButtonClick("SHOWGRAPH");
    EXPECT_EQ(presenter.texts().last(), "I can't draw a graph based on only one item!");
    EXPECT_TRUE(runner.shown.isEmpty());
}

TEST_F(DatalogWindow, GraphSettingsThenTheGraphComesBackWithoutThem)
{
    fillBlocks(6);
    upload();
    chooseGraph("Timer 1", {"Light"});
    window->TB1_ButtonClick("SHOWGRAPH");
    EXPECT_TRUE(window->ShowingGraph);
    EXPECT_EQ(window->Button("SHOWGRAPH")->toolTip(), "Open graph settings window");
    EXPECT_EQ(window->Button("SHOWDATA")->toolTip(), "Show datalog list");
    EXPECT_EQ(window->Graph.Settings.XItem, "Timer 1");
    EXPECT_EQ(window->Graph.Settings.XSource, 1);

    upload();  // back to the list
    EXPECT_FALSE(window->ShowingGraph);
    runner.shown.clear();
    window->TB1_ButtonClick("SHOWGRAPH");
    EXPECT_TRUE(window->ShowingGraph);
    EXPECT_TRUE(runner.shown.isEmpty());
    // From the graph, SHOWGRAPH opens the settings.
    window->TB1_ButtonClick("SHOWGRAPH");
    EXPECT_EQ(runner.shown, QStringList{"Graph Settings"});

    // New records discard the settings: the next graph starts afresh.
    upload();
    upload();
    EXPECT_EQ(window->GraphSettings(), nullptr);
}

TEST_F(DatalogWindow, GraphFailureIsShownOnceUntilADrawingSucceeds)
{
    fillBlocks(1);  // one block: the X scale divides by zero
    upload();
    chooseGraph("Timer 1", {"Light"});
    window->TB1_ButtonClick("SHOWGRAPH");
    RecordingSurface s1(8000, 5000), s2(8000, 5000);
    window->DrawGraph(s1);
    window->DrawGraph(s2);
    const QString message = "Original message: " + errorDescription(Err::DivisionByZero) +
                            "\r\nCheck Datalog data! for instructions use the help button in the Datalog toolbar.";
    EXPECT_EQ(presenter.texts(), QStringList{message});
    EXPECT_EQ(presenter.shown[0].style, 48);
    EXPECT_TRUE(window->GraphErrorShown);
}

TEST_F(DatalogWindow, PointerOverTheGraph)
{
    fillBlocks(6);
    upload();
    chooseGraph("Timer 1", {"Light"});
    window->TB1_ButtonClick("SHOWGRAPH");
    RecordingSurface s(8000, 5000);
    window->DrawGraph(s);
    const DatalogGraph& g = window->Graph;
    window->picGraph_MouseMove(g.PlotLeft + g.PlotWidth / 2, g.PlotTop + g.PlotHeight / 2);
    EXPECT_TRUE(window->Panel(3).startsWith("X=25.0      Y="));
    window->picGraph_MouseMove(g.PlotLeft - 10, g.PlotTop + 10);
    EXPECT_EQ(window->Panel(3), "");
}

class GraphSettingsDialog : public DatalogFixture {
protected:
    void SetUp() override
    {
        DatalogFixture::SetUp();
        CurrentDatalog().DatalogRecords = {{1, "Timer 1", 0, 0}, {-1, "Samples Counter", 0, 1}, {9, "Light", 1, 4},
                                           {0, "Speed", 3, 2},   {14, "RCX time", 0, 9}};
        dialog.FillItems(BuildGraphItems(CurrentDatalog().DatalogRecords));
        dialog.show();
    }
    QList<bool> checks() const
    {
        QList<bool> list;
        for (int i = 0; i < dialog.LV1->topLevelItemCount(); ++i)
            list.append(dialog.LV1->topLevelItem(i)->checkState(0) == Qt::Checked);
        return list;
    }
    void chooseX(const QString& name)
    {
        dialog.cmbX->setCurrentIndex(dialog.cmbX->findText(name));
        dialog.cmbX_Click();
    }
    frmGraphSettings dialog;
};

TEST_F(GraphSettingsDialog, ListsTheItems)
{
    QStringList xs;
    for (int i = 0; i < dialog.cmbX->count(); ++i)
        xs.append(dialog.cmbX->itemText(i));
    EXPECT_EQ(xs, (QStringList{"Samples Counter", "Timer 1", "Light", "Speed", "RCX time"}));
    EXPECT_EQ(dialog.LV1->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.LV1->headerItem()->text(0), "Select graph items");
    EXPECT_EQ(dialog.cmbX->currentText(), "");
}

TEST_F(GraphSettingsDialog, XItemIsNeverAlsoAYItem)
{
    dialog.YEntry("Light")->setCheckState(0, Qt::Checked);
    EXPECT_EQ(dialog.YEntry("Light")->data(0, Qt::UserRole).toString(), "9");
    chooseX("Light");
    EXPECT_EQ(checks(), (QList<bool>{false, false}));
    EXPECT_EQ(dialog.Settings().XSource, 9);
    dialog.YEntry("Light")->setCheckState(0, Qt::Checked);
    EXPECT_EQ(presenter.texts(), QStringList{"You can't select the same item for both axis!"});
    EXPECT_EQ(checks(), (QList<bool>{false, false}));
}

TEST_F(GraphSettingsDialog, OkNeedsBothAxes)
{
    dialog.cmdOk_Click();
    chooseX("Timer 1");
    dialog.cmdOk_Click();
    EXPECT_EQ(presenter.texts(), (QStringList{"Please select an item for X-axis",
                                              "Please select one or more items for Y=axis"}));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(GraphSettingsDialog, CancelBringsBackTheLastOk)
{
    // At the first opening: nothing chosen.
    dialog.txtGraphTitle->setText("typed");
    dialog.YEntry("Speed")->setCheckState(0, Qt::Checked);
    dialog.cmdCancel_Click();
    EXPECT_TRUE(dialog.WasCanceled);
    EXPECT_EQ(dialog.cmbX->currentText(), "");
    EXPECT_EQ(checks(), (QList<bool>{false, false}));
    EXPECT_EQ(dialog.txtGraphTitle->text(), "");

    dialog.WasCanceled = False;
    dialog.show();
    chooseX("Timer 1");
    dialog.YEntry("Light")->setCheckState(0, Qt::Checked);
    dialog.txtGraphTitle->setText("Run");
    dialog.cmdOk_Click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.WasCanceled);

    dialog.show();
    chooseX("Samples Counter");
    dialog.YEntry("Speed")->setCheckState(0, Qt::Checked);
    dialog.txtGraphTitle->setText("Other");
    dialog.cmdCancel_Click();
    EXPECT_EQ(dialog.cmbX->currentText(), "Timer 1");
    EXPECT_EQ(checks(), (QList<bool>{true, false}));
    EXPECT_EQ(dialog.txtGraphTitle->text(), "Run");
}

TEST_F(GraphSettingsDialog, CloseBoxKeepsTheChangesAndCancels)
{
    chooseX("Timer 1");
    dialog.YEntry("Light")->setCheckState(0, Qt::Checked);
    dialog.cmdOk_Click();
    dialog.show();
    dialog.txtGraphTitle->setText("changed");
    EXPECT_FALSE(dialog.close());  // the close box
    EXPECT_TRUE(dialog.WasCanceled);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.txtGraphTitle->text(), "changed");
}

TEST_F(GraphSettingsDialog, EnterActsAsOkEscapeAsCancel)
{
    chooseX("Timer 1");
    dialog.YEntry("Light")->setCheckState(0, Qt::Checked);
    dialog.txtGraphTitle->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dialog.txtGraphTitle, &enter);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.WasCanceled);
    dialog.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog.txtGraphTitle, &escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.WasCanceled);
}

TEST_F(DatalogWindow, CloseBoxHidesAndKeepsTheList)
{
    fillBlocks(2);
    window->show();
    upload();
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(window->isVisible());
    window->show();
    EXPECT_EQ(listLines().size(), 4);
    EXPECT_EQ(window->Panel(2), "4 items");
}

// ---- Bitmaps and printouts ----

QString runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(DatalogWindow, SavesTheGraphAsABitmapOfTheGraphArea)
{
    fillBlocks(12);
    upload();
    chooseGraph("Timer 1", {"Light"});
    window->show();
    window->TB1_ButtonClick("SHOWGRAPH");
    chooseFile("Save datalog graph", "light");
    window->TB1_ButtonClick("SAVEDATA");
    QImage saved(dataPath("light.bmp"), "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), window->picGraph->size());
    QFile f(dataPath("light.bmp"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("BM"));
    // The bitmap holds the drawing: black axes and the first item's line, grey grid.
    int dark = 0, grey = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            const QRgb c = saved.pixel(x, y);
            dark += qGray(c) < 60;
            grey += c == qRgb(192, 192, 192);
        }
    EXPECT_GT(dark, 500);
    EXPECT_GT(grey, 500);
    // A name with a dot is used as it stands.
    chooseFile("Save datalog graph", "light.v2");
    window->TB1_ButtonClick("SAVEDATA");
    EXPECT_TRUE(QFile::exists(dataPath("light.v2")));

    const QString dir = qEnvironmentVariable("QM_GRAB_DIR");
    if (!dir.isEmpty()) {
        window->grab().save(QDir(dir).filePath("datalog_graph_window.png"));
        saved.save(QDir(dir).filePath("datalog_graph_saved.png"));
        window->TB1_ButtonClick("SHOWDATA");
        window->grab().save(QDir(dir).filePath("datalog_list_window.png"));
        window->TB1_ButtonClick("HELP");
        window->grab().save(QDir(dir).filePath("datalog_help_window.png"));
        frmGraphSettings* settings = window->GraphSettings();
        settings->show();
        settings->grab().save(QDir(dir).filePath("datalog_graph_settings.png"));
        frmDatalogRange range;
        range.show();
        range.grab().save(QDir(dir).filePath("datalog_range.png"));
    }
}

TEST_F(DatalogWindow, PrintsTheListToAPdfWhenNoPrinterIsThere)
{
    // 67 records: 66 record lines on the first page, one on the second.
    QVector<DatalogEntry> entries;
    for (int i = 0; i < 44; ++i)
        entries.append(i % 2 == 0 ? DatalogEntry{1, 0, Integer(i)} : DatalogEntry{9, 1, Integer(50 + i)});
    brick.fill(entries);
    upload();
    ASSERT_EQ(CurrentDatalog().DatalogRecords.size(), 66);
    FakeWindows status;
    status.Install();
    window->TB1_ButtonClick("PRINT");
    windows.Install();
    const QString first = pdfPath();
    ASSERT_TRUE(QFile::exists(first));
    const qint64 firstSize = QFileInfo(first).size();
    EXPECT_GT(firstSize, 0);
    // The status strip says where the printout went.
    ASSERT_EQ(status.statusPrints.size(), 1);
    EXPECT_EQ(status.statusPrints[0].text, "No printer installed: the datalog went to " + first);

    // The next printout gets a file of its own; the first one stays.
    CurrentDatalog().DatalogRecords.append({1, "Timer 1", 0, 99});
    status.Install();
    window->TB1_ButtonClick("PRINT");
    windows.Install();
    const QString pdf = pdfPath(2);
    ASSERT_TRUE(QFile::exists(pdf));
    ASSERT_EQ(status.statusPrints.size(), 2);
    EXPECT_EQ(status.statusPrints[1].text, "No printer installed: the datalog went to " + pdf);
    EXPECT_EQ(QFileInfo(first).size(), firstSize);
    EXPECT_EQ(pdfFiles().size(), 2);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString text = runTool("pdftotext", {"-layout", pdf, "-"});
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    for (const QString& page : pages) {
        EXPECT_TRUE(page.contains("Quillomat - Datalog List"));
        EXPECT_TRUE(page.contains("Item #"));
    }
    EXPECT_TRUE(pages[0].contains("Samples Counter"));
    EXPECT_TRUE(pages[0].contains("65"));
    EXPECT_TRUE(pages[1].contains("66"));
    EXPECT_TRUE(pages[1].contains("99"));
    const QString dir = qEnvironmentVariable("QM_GRAB_DIR");
    if (!dir.isEmpty())
        QFile::copy(pdf, QDir(dir).filePath("datalog_list.pdf"));
}

TEST_F(DatalogWindow, PrintsTheGraphLandscapeAndNothingForTheHelp)
{
    fillBlocks(12);
    upload();
    chooseGraph("Timer 1", {"Light"});
    window->show();
    window->TB1_ButtonClick("SHOWGRAPH");
    window->TB1_ButtonClick("PRINT");
    const QString pdf = pdfPath();
    ASSERT_TRUE(QFile::exists(pdf));
    if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        const QString text = runTool("pdftotext", {pdf, "-"});
        EXPECT_TRUE(text.contains("Light run"));
        EXPECT_TRUE(text.contains("(Timer 1) tenths of a second"));
        EXPECT_TRUE(runTool("pdfinfo", {pdf}).contains("landscape") ||
                    runTool("pdfinfo", {pdf}).contains("842 x 595") ||
                    runTool("pdfinfo", {pdf}).contains("792 x 612"));
    }
    const QString dir = qEnvironmentVariable("QM_GRAB_DIR");
    if (!dir.isEmpty())
        QFile::copy(pdf, QDir(dir).filePath("datalog_graph.pdf"));

    window->TB1_ButtonClick("HELP");
    window->TB1_ButtonClick("PRINT");
    EXPECT_EQ(pdfFiles(), QStringList{QFileInfo(pdf).fileName()});
}

}  // namespace

// ---- With the main window ----

#include "shell/MainWindow.h"

namespace {

class DatalogShell : public DatalogFixture {
protected:
    void SetUp() override
    {
        DatalogFixture::SetUp();
        main = std::make_unique<mdiMain>();
        windows.setMainWindow(main.get());
        ConnectDatalogWindows(*main);
    }
    void TearDown() override
    {
        windows.setMainWindow(nullptr);
        main.reset();
        DatalogFixture::TearDown();
    }
    std::unique_ptr<mdiMain> main;
};

TEST_F(DatalogShell, TheSetupButtonsRequestShowsTheOneWindowAndTheEndUnloadsIt)
{
    brick.fill({{1, 0, 1}, {9, 1, 2}, {1, 0, 3}, {9, 1, 4}});
    QPointer<frmDatalog> shown;
    runner.script = [&](QDialog& d) {
        if (d.windowTitle() == "Quillomat Datalog") {
            shown = static_cast<frmDatalog*>(&d);
            shown->TB1_ButtonClick("SHOWDATA");
            shown->TB1_ButtonClick("SHOWGRAPH");
            shown->TB1_ButtonClick("EXIT");
        } else if (d.windowTitle() == "Datalog Range") {
            static_cast<frmDatalogRange&>(d).cmdOk_Click();
        } else if (d.windowTitle() == "Graph Settings") {
            auto& g = static_cast<frmGraphSettings&>(d);
            g.cmbX->setCurrentIndex(g.cmbX->findText("Timer 1"));
            g.cmbX_Click();
            g.YEntry("Light")->setCheckState(0, Qt::Checked);
            g.cmdOk_Click();
        }
    };
    Q_EMIT main->DatalogShowRequested();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(runner.shown, (QStringList{"Quillomat Datalog", "Datalog Range", "Graph Settings"}));
    EXPECT_TRUE(shown->ShowingGraph);
    QPointer<frmGraphSettings> settings = shown->GraphSettings();
    ASSERT_FALSE(settings.isNull());

    // Shown again: the same window with its list.
    runner.shown.clear();
    runner.script = [](QDialog&) {};
    Q_EMIT main->DatalogShowRequested();
    EXPECT_EQ(frmDatalog::Instance(), shown.data());
    EXPECT_EQ(shown->lstData->count(), 4);

    bool cancel = false;
    main->MDIForm_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(shown.isNull());
    EXPECT_TRUE(settings.isNull());
}

}  // namespace
