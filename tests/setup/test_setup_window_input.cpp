// The set-up window under real input: the polling rows' texts, the wheel over
// the rows, keys typed into the value boxes, and the program slot box.
#include "SetupFixture.h"

#include "model/Config.h"
#include "setup/frmMain.h"
#include "shell/ModalRunner.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/QTest>

class SetupInput : public SetupFixture {
protected:
    void SetUp() override
    {
        SetupFixture::SetUp();
        App().ModalRunner = &runner;
        SetAdvancedShown(true);
        DropOnOutput(0, SetupPicture::Motor);
        DropOnSensor(0, SetupPicture::Light);
        AddNamedValue(QStringLiteral("Count"), OperandSource::Variable, 0, 6);
    }

    // The window loaded, shown and active, with the recording control as PB.
    std::unique_ptr<frmMain> open()
    {
        useRecorder();
        auto w = std::make_unique<frmMain>();
        w->Form_Load();
        w->show();
        w->activateWindow();
        QApplication::processEvents();
        return w;
    }
    static int row(const frmMain& w, const QString& caption)
    {
        for (int i = 0; i < w.chkPollSensor.size(); ++i)
            if (w.chkPollSensor[i]->text() == caption)
                return i;
        ADD_FAILURE() << "no row " << caption.toStdString();
        return 0;
    }
    static void tick(frmMain& w, const QString& caption)
    {
        QCheckBox* box = w.chkPollSensor[row(w, caption)];
        if (!box->isChecked())
            box->click();
    }
    // Keys through the window system, to the widget given the focus.
    static void type(QWidget* target, const QString& text)
    {
        target->setFocus();
        QApplication::processEvents();  // the box selects its text as it gets the focus
        for (QChar c : text)
            QTest::keyClick(target->window()->windowHandle(), c.toLatin1());
    }
    static void key(QWidget* target, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        target->setFocus();
        QTest::keyClick(target->window()->windowHandle(), k, m);
        QApplication::processEvents();
    }
    static QStringList ticked(const frmMain& w)
    {
        QStringList out;
        for (QCheckBox* c : w.chkPollSensor)
            if (c->isChecked())
                out << c->text();
        return out;
    }

    ScriptedRunner runner;
};

// Every kind of text a pass writes shows its start, and the tip holds it
// whole; where the names leave room the box shows it all, and no name is cut.
TEST_F(SetupInput, APolledTextShowsItsStartAndItsTipHoldsItWhole)
{
    const struct {
        const char* caption;
        Long source;
        int value;
        const char* text;
        bool shownWhole;
    } cases[] = {
        {"S. Mode 1", OperandSource::SensorMode, 128, "128-Percentage", true},
        {"S. Mode 1", OperandSource::SensorMode, 192, "192-Fahrenheit", true},
        {"S. Type 1", OperandSource::SensorType, 3, "3 - Light sensor", true},
        {"S. Type 1", OperandSource::SensorType, 2, "2 - Temperature sensor", false},
        {"S. Type 1", OperandSource::SensorType, 4, "4 - Rotation sensor ", false},  // the name's trailing blank
        {"Motor state A", OperandSource::MotorStatus, 64, "64-OFF", true},
        {"Motor Direction A", OperandSource::MotorStatus, 0, "0-Backword", true},
        {"Timer 1", OperandSource::Timer, -32768, "-32768", true},
    };
    auto w = open();
    for (QCheckBox* name : w->chkPollSensor)
        EXPECT_LE(name->sizeHint().width(), name->width()) << name->text().toStdString();
    for (const auto& c : cases) {
        const QString caption = QLatin1String(c.caption);
        pb.setPollValue(c.source, 0, Integer(c.value));
        tick(*w, caption);
        w->tmrPoll_Timer();
        QLineEdit* box = w->txtPollValue[row(*w, caption)];
        EXPECT_EQ(box->text(), QLatin1String(c.text));
        EXPECT_EQ(box->toolTip(), QLatin1String(c.text));
        // As painted, the character at the box's left edge is the first one.
        box->grab();
        EXPECT_EQ(box->cursorPositionAt(QPoint(box->contentsRect().left() + 3, box->height() / 2)), 0) << c.text;
        if (c.shownWhole) {
            EXPECT_EQ(box->cursorPositionAt(QPoint(box->contentsRect().right() - 1, box->height() / 2)),
                      box->text().size())
                << c.text;
        }
        w->chkPollSensor[row(*w, caption)]->click();
        EXPECT_TRUE(box->toolTip().isEmpty());
    }
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join('|').toStdString();
    // A variable's box keeps its hint.
    EXPECT_EQ(w->txtPollValue[row(*w, QStringLiteral("Count"))]->toolTip(),
              QStringLiteral("Type a number and press ENTER to update the RCX."));
}

// The wheel over a value box, a check box or the panel moves the rows as the
// same wheel over the scroll bar does; rows that fit do not move.
TEST_F(SetupInput, TheWheelOverTheRowsScrollsThemThroughTheScrollBar)
{
    for (int i = 1; i <= 8; ++i)
        AddNamedValue(QStringLiteral("Var %1").arg(i), OperandSource::Variable, 0, Integer(6 + i));
    auto w = open();
    ASSERT_TRUE(w->VScroll1->isEnabled());
    auto wheel = [&](QWidget* over, int delta) {
        const QPoint at(over->width() / 2, over->height() / 2);
        QWheelEvent e(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
        return e.isAccepted();
    };
    wheel(w->VScroll1, -120);
    const int step = w->VScroll1->value();
    ASSERT_GT(step, 0);
    w->VScroll1->setValue(0);

    QWidget* targets[] = {w->txtPollValue[1], w->chkPollSensor[2], w->picPanel, w->picMainPanel};
    for (QWidget* over : targets) {
        EXPECT_TRUE(wheel(over, -120)) << over->metaObject()->className();
        EXPECT_EQ(w->VScroll1->value(), step) << over->metaObject()->className();
        EXPECT_EQ(w->picPanel->y(), -step);
        wheel(over, 120);
        EXPECT_EQ(w->VScroll1->value(), 0);
        EXPECT_EQ(w->picPanel->y(), 0);
    }
    // To the end and no further.
    for (int i = 0; i < 20; ++i)
        wheel(w->txtPollValue[0], -120);
    EXPECT_EQ(w->VScroll1->value(), w->VScroll1->maximum());
    EXPECT_EQ(w->picPanel->y(), -w->VScroll1->maximum());

    w->chkOrder[0]->click();  // selected rows only: none, so nothing scrolls
    ASSERT_TRUE(w->chkPollSensor.isEmpty());
    wheel(w->picPanel, -120);
    EXPECT_EQ(w->picPanel->y(), 0);
}

// A pass changes only the rows it reads: what is typed into another
// variable's box, or into a ticked one while the timer polls, stays.
TEST_F(SetupInput, APassLeavesTheBoxesOfTheRowsItDoesNotRead)
{
    AddNamedValue(QStringLiteral("Speed"), OperandSource::Variable, 0, 7);
    auto w = open();
    QLineEdit* count = w->txtPollValue[row(*w, QStringLiteral("Count"))];
    QLineEdit* speed = w->txtPollValue[row(*w, QStringLiteral("Speed"))];
    QLineEdit* timer = w->txtPollValue[row(*w, QStringLiteral("Timer 1"))];
    tick(*w, QStringLiteral("Timer 1"));
    tick(*w, QStringLiteral("Speed"));
    pb.setPollValue(OperandSource::Timer, 0, 42);
    pb.setPollValue(OperandSource::Variable, 7, 9);
    type(count, QStringLiteral("17"));
    QTest::mouseClick(w->cmdPollOnce, Qt::LeftButton);
    EXPECT_EQ(timer->text(), QStringLiteral("42"));
    EXPECT_EQ(speed->text(), QStringLiteral("9"));
    EXPECT_EQ(count->text(), QStringLiteral("17"));

    // The timer's pass: the ticked box being typed into keeps its text, the
    // others are read, the value box in focus too when it can't be typed into.
    pb.setPollValue(OperandSource::Timer, 0, 43);
    pb.setPollValue(OperandSource::Variable, 7, 10);
    type(speed, QStringLiteral("5"));
    w->tmrPoll_Timer();
    EXPECT_EQ(speed->text(), QStringLiteral("5"));
    EXPECT_EQ(timer->text(), QStringLiteral("43"));
    EXPECT_EQ(count->text(), QStringLiteral("17"));
    timer->setFocus();
    pb.setPollValue(OperandSource::Timer, 0, 44);
    w->tmrPoll_Timer();
    EXPECT_EQ(timer->text(), QStringLiteral("44"));
    EXPECT_EQ(speed->text(), QStringLiteral("10"));
    EXPECT_EQ(count->text(), QStringLiteral("17"));
}

// Enter in a value box or a row's check box presses no button: the ticks and
// values stay; in a variable's box it sends the value (or says it is invalid).
TEST_F(SetupInput, EnterInTheRowsSendsAVariableAndPressesNoButton)
{
    auto w = open();
    tick(*w, QStringLiteral("Timer 1"));
    tick(*w, QStringLiteral("S. Mode 1"));
    pb.setPollValue(OperandSource::Timer, 0, 42);
    w->tmrPoll_Timer();
    const QStringList before = ticked(*w);
    QLineEdit* timer = w->txtPollValue[row(*w, QStringLiteral("Timer 1"))];
    QLineEdit* count = w->txtPollValue[row(*w, QStringLiteral("Count"))];
    auto unchanged = [&](const char* where) {
        EXPECT_EQ(ticked(*w), before) << where;
        EXPECT_EQ(PollState().TimerPollCheck[0], 1) << where;
        EXPECT_EQ(timer->text(), QStringLiteral("42")) << where;
        EXPECT_TRUE(w->isVisible()) << where;
    };

    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Enter}) {
        key(timer, k);
        unchanged("read-only box");
        key(w->chkPollSensor[row(*w, QStringLiteral("Timer 1"))], k);
        unchanged("check box");
    }
    EXPECT_EQ(pb.count(QStringLiteral("SetVar")), 0);

    count->clear();
    type(count, QStringLiteral("-5"));
    key(count, Qt::Key_Return);
    unchanged("variable");
    EXPECT_EQ(pb.calls().last(), QStringLiteral("SetVar(6, L2, -5)"));
    EXPECT_EQ(count->text(), QStringLiteral("-5"));
    EXPECT_TRUE(presenter.shown.isEmpty());

    count->clear();
    type(count, QStringLiteral("12a"));
    key(count, Qt::Key_Enter);
    unchanged("invalid");
    EXPECT_EQ(presenter.texts(), QStringList{QStringLiteral("Invalid value")});
    EXPECT_EQ(pb.count(QStringLiteral("SetVar")), 1);
    EXPECT_EQ(count->text(), QStringLiteral("12a"));
}

// The slot box shows the stored slot whatever reaches it: a right click opens
// no menu, paste, cut and delete keys change nothing; a typed
// digit 1 to 5 sets the slot.
TEST_F(SetupInput, OnlyATypedSlotDigitReachesTheSlotBox)
{
    App().SetProgramNumber(1);
    App().SetSetupDirty(False);
    auto w = open();
    QLineEdit* slot = w->txtProgNumber;
    ASSERT_EQ(slot->text(), QStringLiteral("2"));
    auto stays = [&](const char* after) {
        EXPECT_EQ(slot->text(), QStringLiteral("2")) << after;
        EXPECT_EQ(rcx().ProgramNumber, 1) << after;
        EXPECT_FALSE(rcx().Dirty) << after;
    };

    // A menu that opens would wait for an answer: the timer takes what it
    // offers and uses its Delete on the slot the box selected.
    slot->setFocus();
    QApplication::processEvents();
    QStringList offered;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                if (!a->text().isEmpty())
                    offered << a->text();
            for (QAction* a : menu->actions())
                if (a->text().remove(QLatin1Char('&')) == QLatin1String("Delete"))
                    a->trigger();
            menu->close();
        }
    });
    const QPoint centre = slot->mapTo(w.get(), slot->rect().center());
    QTest::mouseClick(w->windowHandle(), Qt::RightButton, Qt::NoModifier, centre);
    QApplication::processEvents();
    EXPECT_TRUE(offered.isEmpty()) << offered.join('|').toStdString();
    stays("right click");

    QApplication::clipboard()->setText(QStringLiteral("3"));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ShiftModifier},
                {Qt::Key_X, Qt::ControlModifier}, {Qt::Key_Delete, Qt::NoModifier},
                {Qt::Key_Backspace, Qt::NoModifier}, {Qt::Key_Z, Qt::ControlModifier}};
    for (const auto& k : keys) {
        key(slot, k.key, k.modifiers);
        stays("key");
    }

    type(slot, QStringLiteral("9"));
    stays("9");
    type(slot, QStringLiteral("5"));
    EXPECT_EQ(slot->text(), QStringLiteral("5"));
    EXPECT_EQ(rcx().ProgramNumber, 4);
    EXPECT_TRUE(rcx().Dirty);
}
