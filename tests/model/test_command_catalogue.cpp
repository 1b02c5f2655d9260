// The command catalogue: keys found without regard to case, the block keys and
// their bodies, the float picture, and the sets the palette and the run read.
#include "model/CommandCatalogue.h"
#include "model/Module.h"

#include <gtest/gtest.h>

#include <set>

TEST(CommandCatalogue, HoldsEveryKeyOnceAndFindsItWhateverItsCase)
{
    std::set<QString> keys;
    for (const CommandInfo& c : CommandCatalogue())
        keys.insert(c.key);
    EXPECT_EQ(CommandCatalogue().size(), 25u);
    EXPECT_EQ(keys.size(), 25u);
    ASSERT_NE(FindCommand(QStringLiteral("m_fwd")), nullptr);
    EXPECT_EQ(FindCommand(QStringLiteral("m_fwd"))->caption, QStringLiteral("Forward"));
    EXPECT_EQ(FindCommand(QStringLiteral("EndIf")), nullptr);
    EXPECT_EQ(FindCommand(QString()), nullptr);
}

TEST(CommandCatalogue, FamiliesAndFramesFollowTheFirstLetter)
{
    for (const CommandInfo& c : CommandCatalogue()) {
        const QChar first = c.key.at(0);
        EXPECT_EQ(c.frame == CommandFrame::Logic, first == QLatin1Char('L')) << c.key.toStdString();
        EXPECT_EQ(c.family == CommandFamily::Remark, first == QLatin1Char('A')) << c.key.toStdString();
    }
}

TEST(CommandCatalogue, OnlyIfWhileAndLoopOwnABody)
{
    EXPECT_EQ(BodyKindOf(QStringLiteral("L_IF")), ModuleKind::IfBody);
    EXPECT_EQ(BodyKindOf(QStringLiteral("l_while")), ModuleKind::WhileBody);
    EXPECT_EQ(BodyKindOf(QStringLiteral("L_Loop")), ModuleKind::LoopBody);
    int blocks = 0, windows = 0;
    for (const CommandInfo& c : CommandCatalogue()) {
        blocks += c.bodyKind != 0;
        windows += c.opensWindow;
    }
    EXPECT_EQ(blocks, 3);
    EXPECT_EQ(windows, 6);  // the three blocks, sub calls, start and stop task
    EXPECT_FALSE(OpensBlock(QStringLiteral("L_SUB")));
}

TEST(CommandCatalogue, MotorOffWithOperatorZeroShowsTheFloatPicture)
{
    EXPECT_EQ(CommandPictureKey(QStringLiteral("M_OFF"), 0), QStringLiteral("M_OFF_FLOAT"));
    EXPECT_EQ(CommandPictureKey(QStringLiteral("m_off"), 0), QStringLiteral("M_OFF_FLOAT"));
    EXPECT_EQ(CommandPictureKey(QStringLiteral("M_OFF"), 1), QStringLiteral("M_OFF"));
    EXPECT_EQ(CommandPictureKey(QStringLiteral("M_ON"), 0), QStringLiteral("M_ON"));
}

TEST(CommandCatalogue, JoystickProjectsLeaveOutTheBrickOnlyCommands)
{
    std::set<QString> refused;
    for (const CommandInfo& c : CommandCatalogue())
        if (!c.joystick)
            refused.insert(c.key);
    const std::set<QString> expected = {"L_ZERO", "L_DATALOG", "L_SENMODE", "L_SENTYPE", "L_SUB",
                                        "L_SENDMESS", "L_STOP", "G_WATCH", "L_START"};
    EXPECT_EQ(refused, expected);
}

TEST(CommandCatalogue, EachTypedKeyAndItsTextNameOneAnother)
{
    for (const CommandInfo& c : CommandCatalogue()) {
        SCOPED_TRACE(c.key.toStdString());
        EXPECT_EQ(FindCommand(c.id), &c);
        EXPECT_EQ(CommandKeyText(c.id), c.key);
        EXPECT_EQ(CommandKeyOf(c.key), c.id);
        EXPECT_EQ(CommandKeyOf(c.key.toLower()), c.id);
        EXPECT_EQ(FamilyOf(c.id), c.family);
        EXPECT_EQ(BodyKindOf(c.id), c.bodyKind);
        // Only the motor commands and WAIT wait after they are carried out.
        EXPECT_EQ(TakesDuration(c.id), c.family == CommandFamily::Motor || c.key == QLatin1String("G_WAIT"));
    }
    for (const char* text : {"", "CURSOR", "EndIf", "M_ONN", "M_O"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(CommandKeyOf(QString::fromLatin1(text)), CommandKey::None);
    }
    EXPECT_EQ(FindCommand(CommandKey::None), nullptr);
    EXPECT_EQ(CommandKeyText(CommandKey::None), QString());
    EXPECT_EQ(FamilyOf(CommandKey::None), CommandFamily::None);
    EXPECT_FALSE(TakesDuration(CommandKey::None));
    EXPECT_EQ(CommandPictureKey(CommandKey::M_OFF, 0), QStringLiteral("M_OFF_FLOAT"));
    EXPECT_EQ(CommandPictureKey(QStringLiteral("X_SPIN"), 0), QStringLiteral("X_SPIN"));
}
