// Every window the program places or sizes, opened on a screen of 800 x 500
// (a 1600 x 1000 screen at scale 2): each lies within the screen's available
// area, frame and all, however large the size or wherever the place it asks
// for; the windows of the main window's area lie within the area's visible
// part.
#include "ProgramFixture.h"

#include "datalog/frmDatalogRange.h"
#include "datalog/frmGraphSettings.h"
#include "desktop/frames/FrameWidgets.h"
#include "desktop/frmDeskTop.h"
#include "support/DeskTopControls.h"
#include "model/CommandCatalogue.h"
#include "model/Grid.h"
#include "model/ModuleManagement.h"
#include "setup/PropertyDialogs.h"
#include "shell/About.h"
#include "shell/FileDialog.h"
#include "shell/OpenDialog.h"
#include "shell/Preferences.h"
#include "views/ExplorerWindow.h"
#include "views/MapWindow.h"

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include <functional>
#include <map>

namespace {

// Shows each dialog as the program's own loop would, notes where it stands,
// lets the test act inside it, and closes it.
class ShowingRunner : public IModalRunner {
public:
    std::map<QString, QRect> seen;  // window title to frame
    std::function<void(QDialog&)> inside;

    int RunModal(QDialog& dialog) override
    {
        dialog.show();
        QApplication::processEvents();
        seen[dialog.windowTitle()] = dialog.frameGeometry();
        if (inside) {
            const auto act = std::exchange(inside, {});
            act(dialog);
        }
        dialog.hide();
        return dialog.result();
    }
};

class WindowsOnScreen : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        AppState& a = App();
        a.ModalRunner = &shower;
        a.ProgramFolder = QStringLiteral(QM_TEST_DATA "/../../src/shell/help");
        a.SetProjectName(QStringLiteral("Robot"));
        BuildRcxObjects();
        a.EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
        a.EditSensor(0, [&](clsSensor& s) { s.setSensorType(1); });
        auto task = std::make_shared<clsTask>();
        task->Name = QStringLiteral("Main");
        task->ModulType = 1;
        task->mNumber = 1;
        a.AddModule(task);
        for (const char* key : {"M_ON", "L_IF"}) {
            auto c = std::make_shared<clsCommand>();
            c->SetKeyText(QString::fromLatin1(key));
            c->x = 0;
            c->y = Integer(task->Commands()->Count() + 1);
            c->PicIndex = c->y;
            c->Param1Source = -1;
            c->Param2Source = -1;
            c->Op = 0;
            c->MotorList = QStringLiteral("0");
            if (OpensBlock(c->CommandKey))
                c->Commands = std::make_shared<CommandCollection>();
            task->Commands()->Add(c, ColKey(c->x, c->y));
        }
        mTask = task;
        main->Ops.OpenProject = [this] {
            OpenCommandWindow(ModuleKind::Task, mTask.get(), QString(), QString());
            return true;
        };
    }
    static QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // The visible part of the main window's area, on the screen.
    QRect AreaOnScreen() const
    {
        const QWidget* view = main->MdiArea()->viewport();
        return QRect(view->mapToGlobal(QPoint(0, 0)), view->size());
    }
    static QRect OnScreen(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

    ShowingRunner shower;
    TaskPtr mTask;
};

#define EXPECT_ON_SCREEN(name, frame) \
    EXPECT_TRUE(Screen().contains(frame)) << (name) << " at " << (frame).x() << "," << (frame).y() << " " \
                                          << (frame).width() << "x" << (frame).height()

}  // namespace

TEST_F(WindowsOnScreen, TheScreenIsTheSmallOne)
{
    EXPECT_EQ(Screen().size(), QSize(800, 500));
}

TEST_F(WindowsOnScreen, TopLevelWindowsLieWithinTheScreen)
{
    ASSERT_TRUE(main->MDIForm_Load());
    Flush();
    EXPECT_ON_SCREEN("main window", main->frameGeometry());

    // Windows the program shows beside the main window.
    main->Ops.CompileProject = [] {
        CompileResult r;
        r.ok = true;
        r.Listed = true;
        r.ListingText = QStringLiteral("BeginOfTask 0\r\nEndOfTask");
        return r;
    };
    main->TB1_ButtonClick(QStringLiteral("COMPILE"));
    ShowHelp();
    ShowJoyWindow();
    frmByBy farewell;
    farewell.show();
    Flush();
    std::map<QString, QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != main.get())
            shown[w->objectName()] = w;
    for (const char* name : {"frmPreview", "frmHelp", "frmJoy", "frmByBy"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(shown.count(QString::fromLatin1(name))) << name;
        EXPECT_ON_SCREEN(name, shown[QString::fromLatin1(name)]->frameGeometry());
    }
    farewell.hide();
    // The viewer's timer would show its box in the middle of the dialogs below.
    UnloadJoyWindow();
    Flush();

    // The dialogs, each as the program shows it.
    main->Image1_Click();
    ShowPreferences(main.get());
    ShowOpenDialog(OpenOffer::NewOrExisting, OpenObject::Project);
    {
        frmFirmware files(main.get());
        RunModal(files);
    }
    shell.InputBox(QStringLiteral("Name"), QString(), QString());
    main->TB1_ButtonClick(QStringLiteral("DEFVAR"));
    QRect datalogList, datalogGraph;
    shower.inside = [&](QDialog& d) {
        auto& datalog = static_cast<frmDatalog&>(d);
        datalogList = OnScreen(datalog.lstData);
        datalogGraph = OnScreen(datalog.picGraph);
        frmGraphSettings settings(&datalog);
        RunModal(settings);
        frmDatalogRange range(&datalog);
        RunModal(range);
    };
    frmDatalog::ShowDatalog();
    EXPECT_ON_SCREEN("datalog list", datalogList);
    EXPECT_ON_SCREEN("datalog graph", datalogGraph);
    QRect widened;
    shower.inside = [&](QDialog& d) {
        auto& setup = static_cast<frmMain&>(d);
        // Near the right edge, widened to show the advanced tools.
        setup.move(Screen().right() - setup.width(), setup.y());
        setup.mnuAdvanced_Click();
        widened = setup.frameGeometry();
        frmMotorProp motor(0, &setup);
        motor.Form_Load();
        RunModal(motor);
        frmSensorProp sensor(0, &setup);
        sensor.Form_Load();
        RunModal(sensor);
    };
    ShowSetupWindowModal();
    EXPECT_ON_SCREEN("widened set-up window", widened);

    // Each dialog once, by its title.
    QStringList titles = {"About Quillomat", "Quillomat Preferences", "Quillo Mat: Open", "Open Firmware File",
                          "Quillomat", "Define Variables", "Quillomat Datalog", "Graph Settings", "Datalog Range",
                          "VER Ize", "Motor properties", "Sensor properties"};
    titles.sort();
    QStringList seen;
    for (const auto& [title, frame] : shower.seen) {
        seen << title;
        EXPECT_ON_SCREEN(title.toStdString(), frame);
    }
    EXPECT_EQ(seen.join(QLatin1String(", ")).toStdString(), titles.join(QLatin1String(", ")).toStdString());
}

TEST_F(WindowsOnScreen, WindowsOfTheMainWindowLieWithinItsArea)
{
    ASSERT_TRUE(main->MDIForm_Load());
    Flush();
    main->TB1_ButtonClick(QStringLiteral("MAP"));
    main->TB1_ButtonClick(QStringLiteral("PROJEXP"));
    Flush();
    const QRect area = AreaOnScreen();
    EXPECT_ON_SCREEN("area", area);
    ASSERT_NE(MapWindow(), nullptr);
    ASSERT_NE(ExplorerWindow(), nullptr);
    frmDeskTop* desk = dynamic_cast<frmDeskTop*>(mTask->CommandWindow);
    ASSERT_NE(desk, nullptr);
    const std::pair<const char*, QWidget*> windowsInArea[] = {
        {"map", MapWindow()->parentWidget()},
        {"explorer", ExplorerWindow()->parentWidget()},
        {"editor window", desk->SubWindow()},
    };
    for (const auto& [name, w] : windowsInArea) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(area.contains(OnScreen(w))) << name;
    }
    // The explorer keeps to the right edge of the area as the main window
    // narrows.
    main->resize(main->width() - 160, main->height());
    Flush();
    QWidget* explorer = ExplorerWindow()->parentWidget();
    EXPECT_TRUE(AreaOnScreen().contains(OnScreen(explorer)));
    EXPECT_EQ(OnScreen(explorer).right(), AreaOnScreen().right());

    // Each parameter frame, opened as Enter opens it, lies where it can be
    // seen and worked.
    for (const char* cell : {"0001", "0002"}) {
        SCOPED_TRACE(cell);
        desk->ZOrder();
        picDeskTop(desk)->setFocus();
        desk->setCursorPos(QString::fromLatin1(cell));
        QTest::keyClick(main->windowHandle(), Qt::Key_Return);
        Flush();
        ASSERT_TRUE(desk->CommandInEdit());
        QWidget* frame = FraMotor(desk)->isVisible() ? static_cast<QWidget*>(FraMotor(desk)) : fraLogic(desk);
        const QRect visible = OnScreen(desk->SubWindow()).intersected(area);
        EXPECT_TRUE(visible.contains(OnScreen(frame)));
        QTest::keyClick(main->windowHandle(), Qt::Key_Escape);
        Flush();
        ASSERT_FALSE(desk->CommandInEdit());
    }
}
