#include "model/Command.h"
#include "model/Grid.h"
#include "model/Module.h"
#include "model/RcxSetup.h"
#include "model/VbError.h"

#include "support/Failures.h"

#include <gtest/gtest.h>

#include <functional>

namespace {


}  // namespace

// ---- clsCommand, clsTask, clsSub ----

TEST(CommandClasses, NewCommandIsAllZeroAndUnset)
{
    const clsCommand c;
    EXPECT_EQ(c.Op, 0);
    EXPECT_TRUE(c.Param1Source.isEmpty());
    EXPECT_TRUE(c.Param1Value.isEmpty());
    EXPECT_TRUE(c.Param2Source.isEmpty());
    EXPECT_TRUE(c.Param2Value.isEmpty());
    EXPECT_TRUE(c.Time.isEmpty());
    EXPECT_TRUE(c.Speed.isEmpty());
    EXPECT_EQ(c.CommandWindow, nullptr);
    EXPECT_EQ(c.Commands, nullptr);
    EXPECT_EQ(c.PicSelected, False);
    EXPECT_TRUE(c.MotorList.isEmpty());
    EXPECT_TRUE(c.KeyText().isEmpty());
    EXPECT_EQ(c.mNumber, 0);
    EXPECT_EQ(c.PicIndex, 0);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 0);
    EXPECT_TRUE(c.PicCaption(0).isEmpty());
    EXPECT_TRUE(c.PicCaption(1).isEmpty());
}

TEST(CommandClasses, CommandBodyIsNeverCreatedOnReading)
{
    clsCommand c;
    c.SetKeyText(QStringLiteral("L_IF"));
    EXPECT_EQ(c.GetCommands(), nullptr);
    EXPECT_EQ(c.Commands, nullptr);
    auto body = std::make_shared<CommandCollection>();
    c.Commands = body;
    EXPECT_EQ(c.GetCommands(), body);
}

TEST(CommandClasses, ModuleGridIsCreatedOnFirstReadingAndKept)
{
    clsTask task;
    clsSub sub;
    for (clsModule* m : {static_cast<clsModule*>(&task), static_cast<clsModule*>(&sub)}) {
        EXPECT_FALSE(m->hasCommands());
        CommandCollectionPtr first = m->Commands();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->Count(), 0);
        EXPECT_TRUE(m->hasCommands());
        first->Add(std::make_shared<clsCommand>(), QStringLiteral("0001"));
        EXPECT_EQ(m->Commands(), first);            // the same collection, kept
        EXPECT_EQ(m->GetCommands()->Count(), 1);    // also through the owner's view
    }
}

TEST(CommandClasses, ModuleGridCanBeReplaced)
{
    clsSub sub;
    auto grid = std::make_shared<CommandCollection>();
    sub.setCommands(grid);
    EXPECT_EQ(sub.Commands(), grid);
    sub.setCommands(nullptr);
    EXPECT_FALSE(sub.hasCommands());
    EXPECT_NE(sub.Commands(), nullptr);  // a fresh one on the next reading
}

TEST(CommandClasses, NewModulesAreAllZero)
{
    const clsTask t;
    EXPECT_EQ(t.Dirty, False);
    EXPECT_EQ(t.ModulType, 0);
    EXPECT_EQ(t.StartOnStartup, 0);
    EXPECT_EQ(t.mLoop, 0);
    EXPECT_EQ(t.mNumber, 0);
    EXPECT_TRUE(t.mTitle.isEmpty());
    EXPECT_TRUE(t.Name.isEmpty());
    EXPECT_EQ(t.CommandWindow, nullptr);
    const clsSub s;
    EXPECT_EQ(s.ModulType, 0);
    EXPECT_EQ(s.CommandWindow, nullptr);
}

TEST(CommandClasses, PicCaptionIndexZeroAndOneOnly)
{
    clsCommand c;
    c.setPicCaption(0, QStringLiteral("Motor A"));
    c.setPicCaption(1, QStringLiteral("on"));
    EXPECT_EQ(c.PicCaption(0), QStringLiteral("Motor A"));
    EXPECT_EQ(c.PicCaption(1), QStringLiteral("on"));
    for (int bad : {2, -1, 100}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(failureNumber([&] { c.PicCaption(bad); }), Err::SubscriptOutOfRange);
        EXPECT_EQ(failureNumber([&] { c.setPicCaption(bad, QStringLiteral("x")); }), Err::SubscriptOutOfRange);
    }
    EXPECT_EQ(c.PicCaption(0), QStringLiteral("Motor A"));
    EXPECT_EQ(c.PicCaption(1), QStringLiteral("on"));
}

TEST(CommandClasses, CopyKeepsCaptionsAndSharesTheBody)
{
    clsCommand c;
    c.SetKeyText(QStringLiteral("L_WHILE"));
    c.setPicCaption(0, QStringLiteral("WHILE"));
    c.Param1Value = Variant(QStringLiteral("Timer 1"));
    c.Commands = std::make_shared<CommandCollection>();
    clsCommand copy = c;
    copy.setPicCaption(0, QStringLiteral("changed"));
    copy.Param1Value = Variant(3);
    EXPECT_EQ(c.PicCaption(0), QStringLiteral("WHILE"));  // captions and Variants copied
    EXPECT_EQ(c.Param1Value, Variant(QStringLiteral("Timer 1")));
    EXPECT_EQ(copy.Commands, c.Commands);                 // the body is held by reference
}

// ---- Brick set-up data ----

TEST(CommandClasses, GridKeysHaveTwoDigitsOfColumnAndRow)
{
    const struct {
        int column, row;
        const char* key;
    } cases[] = {{0, 1, "0001"}, {1, 40, "0140"}, {12, 5, "1205"}, {99, 99, "9999"},
                 {100, 3, "10003"}, {2, 123, "02123"}, {-1, 5, "-105"}, {5, -7, "05-1"}};
    for (const auto& c : cases)
        EXPECT_EQ(ColKey(c.column, c.row), QString::fromLatin1(c.key)) << c.column << "," << c.row;
}

TEST(CommandClasses, GridCellsFindEveryCellKeyAndNothingElse)
{
    CommandCollection grid;
    auto add = [&](const QString& key) {
        auto c = std::make_shared<clsCommand>();
        grid.Add(c, key);
        return c;
    };
    const auto first = add(ColKey(0, 1));
    const auto last = add(ColKey(1, 40));
    const auto tenth = add(ColKey(0, 10));
    for (const char* odd : {"0041", "0100", "0200", "-101", "01 5", "1005", "00010", "x"})
        add(QString::fromLatin1(odd));
    grid.Add(nullptr, ColKey(1, 2));

    const GridCells cells(grid);
    int found = 0;
    for (int column = -1; column <= 2; ++column)
        for (int row = 0; row <= 41; ++row)
            if (cells.at(column, row))
                ++found;
    EXPECT_EQ(found, 4);
    EXPECT_EQ(*cells.at(0, 1), first);
    EXPECT_EQ(*cells.at(1, 40), last);
    EXPECT_EQ(*cells.at(0, 10), tenth);
    ASSERT_NE(cells.at(1, 2), nullptr);  // a key without an item is still a cell
    EXPECT_EQ(*cells.at(1, 2), nullptr);
}

TEST(RcxSetupData, MotorAndSensorDefaults)
{
    const clsMotor m;
    EXPECT_TRUE(m.MotorRwdMeening.isEmpty());
    EXPECT_TRUE(m.MotorFwdMeening.isEmpty());
    EXPECT_EQ(m.PollCheck, 0);
    EXPECT_TRUE(m.Purpose.isEmpty());
    EXPECT_EQ(m.MotorStartState, 1);
    EXPECT_EQ(m.MotorDirection, 1);
    EXPECT_EQ(m.MotorType(), 0);
    EXPECT_EQ(m.Power, 7);

    const clsSensor s;
    EXPECT_TRUE(s.Purpose.isEmpty());
    EXPECT_EQ(s.PollCheck, 0);
    EXPECT_EQ(s.Dark, 40);
    EXPECT_EQ(s.SensorMode, 0);
    EXPECT_EQ(s.SensorType(), 0);
}

TEST(RcxSetupData, SensorTypeSetsItsUsualMode)
{
    struct Case {
        Long type;
        Long modeAfter;  // starting from mode 6
    };
    const Case cases[] = {{0, 6}, {1, 1}, {2, 5}, {3, 4}, {4, 7}, {5, 6}, {-1, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        clsSensor s;
        s.SensorMode = 6;
        s.setSensorType(c.type);
        EXPECT_EQ(s.SensorType(), c.type);
        EXPECT_EQ(s.SensorMode, c.modeAfter);
    }
    clsSensor s;
    s.setSensorType(3);
    s.SensorMode = 0;  // setting the mode afterwards overrides it
    EXPECT_EQ(s.SensorMode, 0);
    EXPECT_EQ(s.SensorType(), 3);
}

TEST(RcxSetupData, MotorTypeZeroEmptiesTheMeanings)
{
    for (Long type : {0L, 1L, 2L}) {
        SCOPED_TRACE(type);
        clsMotor m;
        m.MotorFwdMeening = QStringLiteral("up");
        m.MotorRwdMeening = QStringLiteral("down");
        m.Purpose = QStringLiteral("Lift");
        m.setMotorType(type);
        EXPECT_EQ(m.MotorType(), type);
        EXPECT_EQ(m.MotorFwdMeening.isEmpty(), type == 0);
        EXPECT_EQ(m.MotorRwdMeening.isEmpty(), type == 0);
        EXPECT_EQ(m.Purpose, QStringLiteral("Lift"));
    }
}

TEST(RcxSetupData, SetupStartsWithThreeEmptyPortsOfEachKind)
{
    clsRcx rcx;
    EXPECT_EQ(rcx.Dirty, False);
    EXPECT_EQ(rcx.IsInit, False);
    EXPECT_EQ(rcx.ProgramNumber, 0);
    EXPECT_TRUE(rcx.ProjectName.isEmpty());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(rcx.PortMotor(i), nullptr);
        ASSERT_NE(rcx.PortSensor(i), nullptr);
        EXPECT_EQ(rcx.PortMotor(i)->MotorPort, i);
        EXPECT_EQ(rcx.PortMotor(i)->MotorType(), 0);
        EXPECT_EQ(rcx.PortSensor(i)->SensorPort, i);
        EXPECT_EQ(rcx.PortSensor(i)->SensorType(), 0);
        EXPECT_EQ(rcx.PortSensor(i)->SensorMode, 0);
    }
    EXPECT_NE(rcx.PortMotor(0), rcx.PortMotor(1));
    EXPECT_NE(rcx.PortSensor(1), rcx.PortSensor(2));
}

TEST(RcxSetupData, PortIndexOutsideZeroToTwoFails)
{
    clsRcx rcx;
    for (int bad : {-1, 3, 10}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(failureNumber([&] { rcx.PortMotor(bad); }), Err::SubscriptOutOfRange);
        EXPECT_EQ(failureNumber([&] { rcx.PortSensor(bad); }), Err::SubscriptOutOfRange);
        EXPECT_EQ(failureNumber([&] { rcx.setPortMotor(bad, std::make_shared<clsMotor>()); }),
                  Err::SubscriptOutOfRange);
        EXPECT_EQ(failureNumber([&] { rcx.setPortSensor(bad, std::make_shared<clsSensor>()); }),
                  Err::SubscriptOutOfRange);
    }
}

TEST(RcxSetupData, PortCanBeReplaced)
{
    clsRcx rcx;
    auto m = std::make_shared<clsMotor>();
    m->Purpose = QStringLiteral("Wheel");
    rcx.setPortMotor(2, m);
    EXPECT_EQ(rcx.PortMotor(2), m);
    auto s = std::make_shared<clsSensor>();
    rcx.PortSensor(0) = s;
    EXPECT_EQ(rcx.PortSensor(0), s);
}
