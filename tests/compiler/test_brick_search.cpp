// Which brick the program talks to, with the control's tower ports on
// pseudo-terminals: the search over the ports, the download after it, what the
// user is told and the port kept in the settings.
#include "CompilerFixture.h"

#include "compiler/ModuleCompile.h"
#include "compiler/ProjectCompile.h"
#include "link/PortSelector.h"
#include "link/PortScan.h"
#include "link/vbrick/PtyResponder.h"
#include "model/Config.h"
#include "model/Notifier.h"
#include "support/TowerTime.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include <sys/stat.h>

namespace {

// What stands behind a serial port.
enum class Behind { Nothing, TowerBrickOff, TowerWithoutEcho, TowerAndBrick };

class BrickSearchTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        control.setTowerTiming(time.timing());
        for (Long port = 0; port < PortSelector::TowerPorts; ++port)
            control.setDevicePath(port, QStringLiteral("/nonexistent/tower%1").arg(port));
        control.setEventSink(&events);
        App().Ports = &control;
        App().InitParams->setConfirmDownload(0);
        connectMotor(0);
        Cmd::place(*addTask("Main", 1)->Commands(), 0, {Cmd("M_ON").motors("0")});
        // "No response from the RCX!" is answered with Cancel.
        presenter.defaultAnswer = MsgResult::Cancel;
    }
    void TearDown() override
    {
        App().Ports = nullptr;
        CompilerTest::TearDown();
    }

    vbrick::PtyResponder& put(Long port, Behind behind)
    {
        responders.push_back(std::make_unique<vbrick::PtyResponder>());
        vbrick::PtyResponder& r = *responders.back();
        EXPECT_TRUE(r.isOpen());
        r.setEchoing(behind != Behind::Nothing && behind != Behind::TowerWithoutEcho);
        r.setSilent(behind == Behind::Nothing || behind == Behind::TowerBrickOff);
        control.setDevicePath(port, r.devicePath());
        return r;
    }
    // The port the settings hold, as the program reads it at start-up.
    void store(const QString& port)
    {
        if (!port.isEmpty())
            settings.values.insert(QStringLiteral("com/comport"), port);
    }
    QString stored() const { return settings.values.value(QStringLiteral("com/comport")); }
    int told(const char* words) const { return int(presenter.texts().filter(QLatin1String(words)).size()); }
    static bool holdsMain(const vbrick::SoftRcx& brick) { return !brick.taskCode(0, 1).isEmpty(); }

    TowerTime time;
    PortSelector control{App(), [] { return qint64(0); }};
    ControlEventHandler events{App()};
    std::vector<std::unique_ptr<vbrick::PtyResponder>> responders;
};

struct SearchCase {
    const char* name;
    Behind behind;      // on port 1; the other ports have no device
    const char* storedBefore;  // empty: none
    Long brickPort;     // the port talked to after the search
    const char* storedAfter;
    bool downloaded;    // the modules reached the brick talked to
    bool noResponse;    // "No response from the RCX!"
    bool toldVirtual;   // the user is told of the virtual brick
};

class BrickSearchCases : public BrickSearchTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(BrickSearchCases, RightBrickOrRightFailure)
{
    const SearchCase& c = GetParam();
    vbrick::PtyResponder& tower = put(1, c.behind);
    store(QLatin1String(c.storedBefore));

    ASSERT_TRUE(InitRCX(App()));
    // However many ports have a device, the search takes at most a second for each.
    EXPECT_LE(time.now, 1000);
    EXPECT_EQ(control.ComPortNo(), c.brickPort);
    EXPECT_EQ(stored(), QLatin1String(c.storedAfter));
    const QString brick = c.brickPort == PortSelector::VirtualBrickPort
                              ? QStringLiteral("RCX: virtual brick")
                              : QStringLiteral("RCX: tower on ") + tower.devicePath();
    ASSERT_FALSE(windows.brickTexts.isEmpty());
    EXPECT_EQ(windows.brickTexts.first(), QStringLiteral("RCX: looking for the IR tower..."));
    EXPECT_EQ(windows.brickTexts.last(), brick);

    EXPECT_EQ(DownLoad(App()), c.downloaded);
    EXPECT_EQ(told("No response from the RCX!"), c.noResponse ? 1 : 0);
    EXPECT_EQ(told("talks to its virtual brick"), c.toldVirtual ? 1 : 0);
    EXPECT_EQ(presenter.shown.size(), (c.noResponse ? 1 : 0) + (c.toldVirtual ? 1 : 0))
        << presenter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(windows.statusTexts().count(QStringLiteral("Download Finished.")), c.downloaded ? 2 : 0);
    EXPECT_EQ(holdsMain(control.virtualBrick()), c.downloaded && c.brickPort == PortSelector::VirtualBrickPort);
    EXPECT_EQ(tower.withBrick(holdsMain), c.downloaded && c.brickPort == 1);
    EXPECT_EQ(stored(), QLatin1String(c.storedAfter));
    EXPECT_EQ(windows.brickTexts.last(), brick);
    EXPECT_EQ(windows.pointers.last(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachBrick, BrickSearchCases,
    ::testing::Values(
        // Nothing echoes on the serial port and no tower node exists: the virtual brick, not kept.
        SearchCase{"NoTower", Behind::Nothing, "2", PortSelector::VirtualBrickPort, "2", true, false, true},
        // The tower answers, its brick does not: the tower is found and kept, the download fails in words.
        SearchCase{"TowerWithItsBrickOff", Behind::TowerBrickOff, "3", 1, "1", false, true, false},
        // A tower that does not echo, on a serial line.
        SearchCase{"TowerWithoutEcho", Behind::TowerWithoutEcho, "", 1, "1", true, false, false},
        // The stored port's tower and brick answer; the settings stay as they were.
        SearchCase{"TowerAndBrickOnTheStoredPort", Behind::TowerAndBrick, "1", 1, "1", true, false, false},
        // A virtual brick kept as the port found by an earlier version is looked past.
        SearchCase{"StoredVirtualBrickPort", Behind::TowerAndBrick, "4", 1, "1", true, false, false}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

TEST_F(BrickSearchTest, ABrickSlowToAnswerShowsTheBusyPointerAndSaysSo)
{
    vbrick::PtyResponder& tower = put(2, Behind::TowerBrickOff);
    ASSERT_TRUE(InitRCX(App()));
    windows.pointers.clear();
    windows.brickTexts.clear();
    EXPECT_FALSE(PB().PBAlive());
    EXPECT_EQ(windows.pointers, (QList<int>{11, 0}));
    EXPECT_EQ(windows.brickTexts, (QStringList{QStringLiteral("RCX: waiting for an answer on ") +
                                                   tower.devicePath() + QStringLiteral("..."),
                                               QStringLiteral("RCX: tower on ") + tower.devicePath()}));

    // Inside somebody else's hourglass the pointer stays busy.
    windows.pointers.clear();
    App().Notifier->SetPointer(PointerShape::Hourglass);
    EXPECT_FALSE(PB().PBAlive());
    EXPECT_EQ(windows.pointers, QList<int>{11});
}

TEST_F(BrickSearchTest, TheVirtualBrickChosenIsTakenWithoutLookingForATower)
{
    vbrick::PtyResponder& tower = put(1, Behind::TowerAndBrick);
    store(QStringLiteral("1"));
    App().Settings->SaveSetting(QStringLiteral("com"), QStringLiteral("virtualbrick"), QStringLiteral("1"));
    EXPECT_TRUE(App().Config->Value(Setting::VirtualBrick));
    EXPECT_EQ(BrickDescription(App()), QStringLiteral("RCX: virtual brick"));

    ASSERT_TRUE(DownLoad(App()));
    EXPECT_EQ(control.ComPortNo(), PortSelector::VirtualBrickPort);
    EXPECT_EQ(tower.bytesReceived(), 0);
    EXPECT_TRUE(holdsMain(control.virtualBrick()));
    EXPECT_EQ(told("as chosen in the Preferences"), 1);
    EXPECT_TRUE(windows.pointers.count(11) == 1);  // the download's, no search
    EXPECT_EQ(stored(), QStringLiteral("1"));
    EXPECT_EQ(windows.brickTexts.last(), QStringLiteral("RCX: virtual brick"));

    // Choosing the tower makes the next operation look for it.
    ChooseVirtualBrick(App(), false);
    EXPECT_FALSE(App().PortVerified);
    EXPECT_FALSE(App().RcxSetup().IsInit);
    ASSERT_TRUE(InitRCX(App()));
    EXPECT_EQ(control.ComPortNo(), 1);
    EXPECT_EQ(windows.brickTexts.last(), QStringLiteral("RCX: tower on ") + tower.devicePath());

    // Back to the virtual brick: the user was told once in this run.
    ChooseVirtualBrick(App(), true);
    ASSERT_TRUE(InitRCX(App()));
    EXPECT_EQ(control.ComPortNo(), PortSelector::VirtualBrickPort);
    EXPECT_EQ(presenter.shown.size(), 1);
    // The choice the program already follows changes nothing.
    ChooseVirtualBrick(App(), true);
    EXPECT_TRUE(App().PortVerified);
}

TEST_F(BrickSearchTest, WithoutATowerTheUserIsToldOnceAndTheNextSearchLooksAgain)
{
    put(1, Behind::Nothing);
    ASSERT_TRUE(InitRCX(App()));
    EXPECT_EQ(told("No IR tower answers"), 1);
    EXPECT_EQ(control.ComPortNo(), PortSelector::VirtualBrickPort);
    EXPECT_FALSE(settings.values.contains(QStringLiteral("com/comport")));

    // The user asks for a tower again (the Preferences saved with it) and connects one.
    vbrick::PtyResponder& tower = put(3, Behind::TowerAndBrick);
    ChooseVirtualBrick(App(), false);
    ASSERT_TRUE(InitRCX(App()));
    EXPECT_EQ(control.ComPortNo(), 3);
    EXPECT_EQ(stored(), QStringLiteral("3"));
    EXPECT_EQ(windows.brickTexts.last(), QStringLiteral("RCX: tower on ") + tower.devicePath());
    EXPECT_EQ(presenter.shown.size(), 1);
}

// A pipe or a file at a tower port's device is no tower: the search passes
// it by and keeps the port of the tower behind it, or none.
TEST_F(BrickSearchTest, APipeOrAFileAtAPortIsNoTower)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("usbtower0"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString file = dir.filePath(QStringLiteral("ttyS0"));
    QFile(file).open(QIODevice::WriteOnly);
    control.setDevicePath(0, fifo);
    control.setDevicePath(1, file);
    vbrick::PtyResponder& tower = put(2, Behind::TowerAndBrick);
    ASSERT_TRUE(InitRCX(App()));
    EXPECT_EQ(control.ComPortNo(), 2);
    EXPECT_EQ(stored(), QStringLiteral("2"));
    EXPECT_EQ(windows.brickTexts.last(), QStringLiteral("RCX: tower on ") + tower.devicePath());

    // Without the tower: the virtual brick, and no port kept.
    settings.values.clear();
    tower.unplug();
    App().PortVerified = False;
    App().SetRcxInit(False);
    App().VirtualBrickTold = True;
    ASSERT_TRUE(InitRCX(App()));
    EXPECT_EQ(control.ComPortNo(), PortSelector::VirtualBrickPort);
    EXPECT_EQ(stored(), QString());
}

}  // namespace
