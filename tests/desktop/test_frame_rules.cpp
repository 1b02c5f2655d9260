// The rules both parameter frames share, without a frame: filling a combo
// from sources, selecting by text, the random upper limit, the typed range,
// the operator cycle and the logic captions.
#include "FrameFixture.h"

#include "desktop/core/LogicFrame.h"
#include "model/CommandCatalogue.h"

namespace {

using FrameRules = FrameTest;

QStringList texts(const FrameCombo& c)
{
    QStringList t;
    for (const auto& i : c.Items)
        t.append((i.IsHeading() ? QStringLiteral("#") : QString()) + i.Text);
    return t;
}

TEST_F(FrameRules, FillSourceComboListsOnlySourcesWithValuesUnderTheirHeadings)
{
    FrameCombo c;
    c.Text = QStringLiteral("old");
    FillSourceCombo(c, {0, 100, 4, 160, 220}, names, App().ObjectList());
    // An RCX project has no joystick buttons, so "Joystick button" has no heading.
    EXPECT_EQ(texts(c), QStringList({"#Variables", "Count", "Delay", "#Constants", "Limit", "Nine", "Big", "Minus",
                                     "#Random", "Random number", "#Range", "Band"}));
    EXPECT_EQ(c.Text, QString());
    EXPECT_EQ(c.Items[0].Key, QStringLiteral("K0"));
    EXPECT_EQ(c.Items[0].Image, QStringLiteral("K0"));
    EXPECT_EQ(c.Items[0].Indentation, 0);
    EXPECT_EQ(c.Items[1].Image, QStringLiteral("DOT"));
    EXPECT_EQ(c.Items[1].Indentation, 1);
    EXPECT_TRUE(c.Items[1].Key.isEmpty());
    EXPECT_EQ(failureNumber([&] { FillSourceCombo(c, {230}, names, App().ObjectList()); }), 9);
}

TEST_F(FrameRules, SelectComboItemNeverSelectsAHeading)
{
    FrameCombo c;
    FillSourceCombo(c, {0, 100}, names, App().ObjectList());
    EXPECT_TRUE(SelectComboItem(c, QStringLiteral("limit")));
    EXPECT_EQ(c.SelectedItem()->Text, QStringLiteral("Limit"));
    EXPECT_FALSE(SelectComboItem(c, QStringLiteral("Variables")));
    EXPECT_EQ(c.SelectedItem(), nullptr);
    EXPECT_EQ(c.Text, QStringLiteral("Variables"));
    EXPECT_FALSE(SelectComboItem(c, QStringLiteral("10 20")));
    EXPECT_EQ(c.Text, QStringLiteral("10 20"));

    FrameCombo list(false);
    FillSourceCombo(list, {0}, names, App().ObjectList());
    EXPECT_EQ(failureNumber([&] { SelectComboItem(list, QStringLiteral("Gone")); }), 383);
}

TEST_F(FrameRules, ChoosingAHeadingEmptiesTheTextAndDropsTheListAgain)
{
    FrameCombo c;
    FillSourceCombo(c, {9, 0}, names, App().ObjectList());
    c.Choose(0);
    EXPECT_FALSE(ComboChoice(c));
    EXPECT_TRUE(c.DropDownAgain);
    EXPECT_EQ(c.Text, QString());
    EXPECT_EQ(c.SelectedItem(), nullptr);
}

TEST_F(FrameRules, ANameWiderThanItsBoxBecomesTheToolTip)
{
    FrameCombo c;
    c.Width = 600;  // twips
    c.AddValue(QStringLiteral("A rather long name for a value"));
    c.AddValue(QStringLiteral("x"));
    c.Choose(0);
    ComboChoice(c);
    EXPECT_EQ(c.ToolTipText, QStringLiteral("A rather long name for a value"));
    c.Choose(1);
    ComboChoice(c);
    EXPECT_EQ(c.ToolTipText, QString());
}

TEST_F(FrameRules, RandomLimitAcceptsItsBoundsAndRefusesBeyond)
{
    struct Case {
        const char* answer;
        int upper;
        int before;
        int after;
        bool refused;
    };
    const Case cases[] = {
        {"1", 7, 0, 1, false},      {"7", 7, 0, 7, false},         {"0", 7, 3, 3, true},
        {"8", 7, 3, 3, true},       {"", 7, 3, 3, false},          {"", 7, 0, 0, true},
        {"255", 255, 0, 255, false}, {"256", 255, 0, 0, true},     {"32767", 32767, 0, 32767, false},
        {"32768", 32767, 5, 5, true}, {"2.5", 32767, 0, 2, false}, {"3.5", 32767, 0, 4, false},
        {"abc", 32767, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        presenter.shown.clear();
        presenter.inputs = QStringList{QString::fromLatin1(c.answer)};
        FrameCombo combo;
        combo.Text = QStringLiteral("Random number");
        Integer limit = Integer(c.before);
        AskRandomLimit(presenter, QStringLiteral("Type a number between 1 to 32767"), c.upper, limit, combo);
        EXPECT_EQ(limit, c.after);
        EXPECT_EQ(presenter.texts(), c.refused ? QStringList{"Invalid value"} : QStringList{});
        EXPECT_EQ(combo.Text.isEmpty(), c.refused);
    }
}

TEST_F(FrameRules, ParseRange)
{
    struct Case {
        const char* text;
        int type;
        const char* result;
    };
    const Case cases[] = {
        {"10 to 5", 0, "5_10"},      {"5 10", 0, "5_10"},         {"-5 10", 0, "-5_10"},
        {"10,-5", 0, "-5_10"},       {"7", 0, "false"},           {"5 40000", 0, "false"},
        {"5 40000", 1, "5_40000"},   {"5-10", 0, "false"},        {"abc", 0, "false"},
        {"", 0, "false"},            {"3 3", 0, "3_3"},           {"-32768 32767", 0, "-32768_32767"},
        {"1 to 2 to 3", 0, "1_23"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        App().SetProjectType(ProjectTypeOfNumber(Integer(c.type)));
        EXPECT_EQ(ParseRange(QString::fromLatin1(c.text)), QString::fromLatin1(c.result));
    }
}

TEST_F(FrameRules, OperatorCycles)
{
    // From the index before a step: what shows and what is kept.
    std::vector<int> shownIf, shownWhile;
    int i = -1, w = -1;
    for (int n = 0; n < 10; ++n) {
        auto r = OperatorStep(i, false);
        shownIf.push_back(r.shown);
        i = r.next;
        auto rw = OperatorStep(w, true);
        shownWhile.push_back(rw.shown);
        w = rw.next;
    }
    EXPECT_EQ(shownIf, std::vector<int>({0, 1, 2, 3, 4, 0, 1, 2, 3, 4}));
    EXPECT_EQ(shownWhile, std::vector<int>({0, 1, 2, 3, 0, 1, 2, 3, 0, 1}));
    // A WHILE that already holds the range shows it once and then goes on at ">".
    EXPECT_EQ(OperatorStep(3, true).shown, 4);
    EXPECT_EQ(OperatorStep(3, true).next, -1);
    EXPECT_EQ(OperatorStep(4, true).shown, 0);
    EXPECT_EQ(OperatorStep(4, false).shown, 0);
}

TEST_F(FrameRules, LogicCaptions)
{
    const QString nl = QStringLiteral("\r\n");
    struct Case {
        const char* key;
        int p1s;
        Variant p1v;
        int op;
        int p2s;
        Variant p2v;
        QString caption;
    };
    const Case cases[] = {
        {"L_IF", 9, "Door", 0, 2, "5", "Door" + nl + "is Greater than " + nl + "5"},
        {"L_IF", 1, "Timer 1", 4, 230, "3_10", "Timer 1" + nl + "is In the range of " + nl + "3_10"},
        {"L_IF", 2, "-1", -1, 0, "Count", "-1Count"},
        {"L_LOOP", 100, "Limit", -1, -1, -1, "Limit" + nl + "Times "},
        {"L_LOOP", 2, "10", -1, -1, -1, "10" + nl + "Times "},
        {"L_LOOP", 2, "Infinite loop", -1, -1, -1, "Infinite loop"},
        {"L_LOOP", 4, 9, -1, -1, -1, "Random number (upto 9)"},
        {"L_START", 2, "Stop program", -1, -1, -1, nl + "Stop program"},
        {"L_STOP", 2, "second", -1, -1, -1, nl + "Second"},
        {"L_SUB", 2, "Blink", -1, -1, -1, nl + "Blink"},
        {"L_VAR", 0, "Count", 0, 2, "5", "ADD" + nl + "5" + nl + "to Count"},
        {"L_VAR", 0, "Count", 1, 2, "5", "SUBTRACT" + nl + "5" + nl + "from Count"},
        {"L_VAR", 0, "Count", 3, 4, 20, "MULTIPLY" + nl + "Count" + nl + "by Random number (upto 20)"},
        {"L_VAR", 0, "Count", 5, 0, "Delay", "Set Count" + nl + "to ABSOLUTE of" + nl + "Delay"},
        {"L_VAR", 0, "Count", 6, 2, "3", "Set Count" + nl + "to Count AND" + nl + "3"},
        {"L_VAR", 0, "Count", 8, 2, "-1", "SET VALUE of Count" + nl + "to -1"},
        {"L_SENTYPE", 9, "Eye", -1, 140, "Light", "Eye" + nl + "Work type" + nl + "Light"},
        {"L_SENMODE", 9, "Eye", -1, 150, "Raw", "Eye" + nl + "Work mode" + nl + "Raw"},
        {"L_ZERO", 1, "Timer 0", -1, -1, -1, "Timer 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(TranslateToCaption2(App(), CommandKeyOf(QString::fromLatin1(c.key)), Integer(c.p1s), c.p1v,
                                      Integer(c.op), Integer(c.p2s), c.p2v),
                  c.caption);
    }
    EXPECT_EQ(failureNumber([] { TranslateToCaption2(App(), CommandKey::L_IF, 9, "Eye", 5, 2, "1"); }), 9);
    EXPECT_EQ(failureNumber([] { TranslateToCaption2(App(), CommandKey::L_START, 2, "Gone", -1, -1, -1); }), 5);
}

TEST_F(FrameRules, SavedCommandRestoresEveryParameter)
{
    Cmd cmd("M_ON");
    cmd.motors("02").op(1).p1(2, 5).p2(4, 7).time("Second").speed("Beep");
    const SavedCommand saved = SavedCommand::Of(*cmd.c);
    cmd.c->MotorList = QStringLiteral("1");
    cmd.c->Op = 0;
    cmd.c->Param1Source = 0;
    cmd.c->Param1Value = QStringLiteral("Count");
    cmd.c->Param2Source = 2;
    cmd.c->Param2Value = QStringLiteral("3");
    cmd.c->Time = Variant();
    cmd.c->Speed = 440;
    saved.RestoreInto(*cmd.c);
    EXPECT_EQ(cmd.c->MotorList, QStringLiteral("02"));
    EXPECT_EQ(cmd.c->Op, 1);
    EXPECT_EQ(cmd.c->Param1Source, Variant(2));
    EXPECT_EQ(cmd.c->Param1Value, Variant(5));
    EXPECT_EQ(cmd.c->Param2Source, Variant(4));
    EXPECT_EQ(cmd.c->Param2Value, Variant(7));
    EXPECT_EQ(cmd.c->Time, Variant("Second"));
    EXPECT_EQ(cmd.c->Speed, Variant("Beep"));
}

}  // namespace
