// Each key of the editor window acts once, whatever its action shows. The
// keys go to the window as the window system hands them over, to whichever
// control has the focus, and the boxes they show are real message boxes,
// answered by a timer with a key or a click as a user would: a box takes the
// focus and gives it back elsewhere, and the key must not act again on its
// way up to the window.
#include "DeskTopFixture.h"

#include "desktop/frames/FrameWidgets.h"
#include "model/CommandCatalogue.h"
#include "model/InitParam.h"
#include "model/NamedValues.h"
#include "shell/MessagePresenter.h"
#include "support/PrintTexts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

enum class Answer { Key, Click };

// Answers every message box shown while it is alive, recording its text.
class BoxAnswerer {
public:
    explicit BoxAnswerer(Answer how, QMessageBox::StandardButton button = QMessageBox::Ok)
        : mHow(how), mButton(button)
    {
        mTimer.setInterval(0);
        QObject::connect(&mTimer, &QTimer::timeout, [this] { answer(); });
        mTimer.start();
    }
    QStringList texts;

private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || mAnswering)
            return;
        mAnswering = true;
        texts << box->text();
        QAbstractButton* b = box->button(mButton);
        if (!b)
            b = box->defaultButton();
        if (mHow == Answer::Click) {
            QTest::mouseClick(b, Qt::LeftButton);
        } else {
            // The key that presses the button: Enter for the default one, Esc
            // for the one that dismisses the box.
            const Qt::Key key = b == box->defaultButton() ? Qt::Key_Return : Qt::Key_Escape;
            QTest::keyClick(box->windowHandle(), key);
        }
        mAnswering = false;
    }

    Answer mHow;
    QMessageBox::StandardButton mButton;
    QTimer mTimer;
    bool mAnswering = false;
};

class DeskKeysTest : public DeskTopTest {
protected:
    void SetUp() override
    {
        DeskTopTest::SetUp();
        App().Presenter = &shell;
        App().ModalRunner = nullptr;
        App().InitParams = std::make_unique<clsInitParam>(*App().Config, presenter);
        App().InitParams->setConfirmDelete(1);
        FillNameTables();
        BuildRcxObjects();
        App().EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
        task = AddTask(QStringLiteral("Main"));
    }

    frmDeskTop* Open(std::initializer_list<std::shared_ptr<clsCommand>> commands)
    {
        for (const auto& c : commands)
            Put(*task->Commands(), c);
        frmDeskTop* f = OpenTask(task);
        area->activateWindow();
        area->setActiveSubWindow(f->SubWindow());
        picDeskTop(f)->setFocus();
        QApplication::processEvents();
        return f;
    }

    static std::shared_ptr<clsCommand> Block(const char* key, int y, int pic)
    {
        auto c = Command(QString::fromLatin1(key), 0, y, pic, QString::fromLatin1(key));
        c->Commands = std::make_shared<CommandCollection>();
        return c;
    }

    // A key press and release through the window system, to the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget()->window()->windowHandle(), key, m);
        Flush();
    }

    static void Select(frmDeskTop* f, const char* cell)
    {
        QTest::mouseClick(picCommand(f, f->Document().ColCommand->Item(QString::fromLatin1(cell))->PicIndex), Qt::LeftButton,
                          Qt::NoModifier, QPoint(10, 10));
    }

    // "key@cell" of the grid, in key order.
    static QString Grid(frmDeskTop* f)
    {
        std::map<QString, QString> cells;
        for (const auto& e : *f->Document().ColCommand)
            cells[e.key] = e.item->KeyText();
        QStringList out;
        for (const auto& [k, v] : cells)
            out << v + QLatin1Char('@') + k;
        return out.join(QLatin1Char(' '));
    }

    static QString Clipboard()
    {
        QStringList out;
        for (const auto& e : App().CommandClipboard)
            out << e.item->KeyText();
        return out.join(QLatin1Char(' '));
    }

    ShellPresenter shell;
    TaskPtr task;
};

const char* const kConfirm =
    "You are about to delete command(s) that can contain more commands! Please confirm";

}  // namespace

TEST_F(DeskKeysTest, DeleteAndCutOfABlockActOnceWhateverAnswersTheQuestion)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        Answer how;
        QMessageBox::StandardButton button;
        const char* grid;
        const char* clipboard;
    } cases[] = {
        {Qt::Key_Delete, Qt::NoModifier, Answer::Key, QMessageBox::Ok, "L_WHILE@0001 G_WAIT@0002", ""},
        {Qt::Key_Delete, Qt::NoModifier, Answer::Click, QMessageBox::Ok, "L_WHILE@0001 G_WAIT@0002", ""},
        {Qt::Key_Delete, Qt::NoModifier, Answer::Key, QMessageBox::Cancel, "L_IF@0001 L_WHILE@0002 G_WAIT@0003", ""},
        {Qt::Key_Delete, Qt::NoModifier, Answer::Click, QMessageBox::Cancel, "L_IF@0001 L_WHILE@0002 G_WAIT@0003", ""},
        {Qt::Key_X, Qt::ControlModifier, Answer::Key, QMessageBox::Ok, "L_WHILE@0001 G_WAIT@0002", "L_IF"},
        {Qt::Key_X, Qt::ControlModifier, Answer::Click, QMessageBox::Ok, "L_WHILE@0001 G_WAIT@0002", "L_IF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " " << int(c.how) << " " << c.button);
        SetUp();
        frmDeskTop* f = Open({Block("L_IF", 1, 1), Block("L_WHILE", 2, 2), Command("G_WAIT", 0, 3, 3)});
        Select(f, "0001");
        BoxAnswerer boxes(c.how, c.button);
        Key(c.key, c.mods);
        EXPECT_EQ(boxes.texts, QStringList{kConfirm});
        EXPECT_EQ(Grid(f), QString::fromLatin1(c.grid));
        EXPECT_EQ(Clipboard(), QString::fromLatin1(c.clipboard));
        // The next key still reaches the window, and acts once too.
        Select(f, "0001");
        Key(c.key, c.mods);
        EXPECT_EQ(boxes.texts.size(), 2);
        TearDown();
    }
    SetUp();
}

TEST_F(DeskKeysTest, EnterShowsAFailedCheckOnceAndTheFrameStillTakesEnterAndEsc)
{
    auto motor = Command("M_ON", 0, 1, 1, "Start motor");
    motor->Op = 0;
    motor->MotorList = QStringLiteral("0");
    frmDeskTop* f = Open({motor});
    f->setCursorPos(QStringLiteral("0001"));
    for (Answer how : {Answer::Key, Answer::Click}) {
        SCOPED_TRACE(int(how));
        BoxAnswerer boxes(how);
        Key(Qt::Key_Return);
        ASSERT_TRUE(f->CommandInEdit());
        EXPECT_TRUE(boxes.texts.isEmpty());
        QTest::mouseClick(FraMotor(f)->chkMotor[0], Qt::LeftButton);
        Key(Qt::Key_Return);
        EXPECT_EQ(boxes.texts, QStringList{"No motor selected"});
        EXPECT_TRUE(f->CommandInEdit());
        // Enter again asks again, once; Esc then cancels.
        Key(Qt::Key_Return);
        EXPECT_EQ(boxes.texts, QStringList({"No motor selected", "No motor selected"}));
        Key(Qt::Key_Escape);
        EXPECT_FALSE(f->CommandInEdit());
        EXPECT_FALSE(FraMotor(f)->isVisible());
        EXPECT_EQ(motor->MotorList, QStringLiteral("0"));
        EXPECT_EQ(boxes.texts.size(), 2);
    }
}

TEST_F(DeskKeysTest, EachKeyThatShowsABoxShowsItOnce)
{
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* text;
        bool frameOpen;
    } cases[] = {
        {"no parameters", Qt::Key_Return, Qt::NoModifier, "This command has no parameters", false},
        {"deleted task", Qt::Key_Return, Qt::NoModifier, "No such object", true},
        {"insert space", Qt::Key_Insert, Qt::ShiftModifier, "No room for this action", false},
        {"paste", Qt::Key_V, Qt::ControlModifier, "No room for this action", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (Answer how : {Answer::Key, Answer::Click}) {
            SCOPED_TRACE(int(how));
            SetUp();
            frmDeskTop* f = nullptr;
            const QString name = QString::fromLatin1(c.name);
            if (name == QLatin1String("no parameters")) {
                f = Open({Command("G_PBOFF", 0, 1, 1, "Power off")});
            } else if (name == QLatin1String("deleted task")) {
                auto start = Command("L_START", 0, 1, 1, "Start task");
                start->Op = -1;
                start->Param1Source = 2;
                start->Param1Value = QStringLiteral("Gone");
                f = Open({start});
            } else {
                // A full grid, and a command on the clipboard.
                for (int col = 0; col < 2; ++col)
                    for (int row = 1; row <= 40; ++row)
                        Put(*task->Commands(), Command("G_WAIT", col, row, col * 40 + row));
                f = Open({});
                App().CommandClipboard.Add(Command("M_ON", 0, 1, 1), QStringLiteral("0001"));
            }
            const QString before = Grid(f);
            f->setCursorPos(QStringLiteral("0001"));
            BoxAnswerer boxes(how);
            Key(c.key, c.mods);
            EXPECT_EQ(boxes.texts, QStringList{QString::fromLatin1(c.text)});
            EXPECT_EQ(bool(f->CommandInEdit()), c.frameOpen);
            EXPECT_EQ(Grid(f), before);
            if (c.frameOpen) {
                Key(Qt::Key_Escape);
                EXPECT_FALSE(f->CommandInEdit());
                EXPECT_EQ(boxes.texts.size(), 1);
            }
            TearDown();
        }
    }
    SetUp();
}

// The popup menu over a command keeps the keys pressed while it is open:
// the arrows move its highlight, not the cell cursor; Enter runs the
// highlighted item and nothing else (no frame opens); Delete deletes
// nothing, and Esc closes the menu.
TEST_F(DeskKeysTest, KeysPressedInThePopupMenuAreTheMenus)
{
    struct Case {
        const char* name;
        bool toCopy;  // the highlight walks to Copy
        Qt::Key last;
        const char* clipboard;
    } cases[] = {
        {"Copy, Enter", true, Qt::Key_Return, "G_WAIT"},
        {"Delete, Esc", false, Qt::Key_Escape, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        frmDeskTop* f = Open({Command("G_WAIT", 0, 1, 1, "Wait"), Command("M_ON", 0, 2, 2, "Start motor")});
        const QString before = Grid(f);
        QStringList menus;
        QTimer keys;
        keys.setInterval(0);
        QObject::connect(&keys, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return;
            keys.stop();
            menus << menu->objectName();
            QWindow* w = menu->windowHandle();
            if (c.toCopy)
                for (int i = 0; i < 12 && menu->activeAction() != MenuItem(f, "mnuCopy"); ++i)
                    QTest::keyClick(w, Qt::Key_Down);
            else
                QTest::keyClick(w, Qt::Key_Delete);
            QTest::keyClick(w, c.last);
        });
        keys.start();
        QTest::mouseClick(picCommand(f, 1), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
        Flush();
        EXPECT_EQ(menus, QStringList{"mnuEdit"});
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(Clipboard(), QString::fromLatin1(c.clipboard));
        EXPECT_EQ(Grid(f), before);
        EXPECT_FALSE(f->CommandInEdit());
        EXPECT_EQ(f->CursorPos(), QStringLiteral("0001"));
        TearDown();
    }
    SetUp();
}

namespace {

// A frame's lists worked with the keys, as a user does: a click on the box
// opens its list, the arrows move the highlight, Enter and Esc act on it.
class FrameListKeysTest : public DeskKeysTest {
protected:
    void SetUp() override
    {
        DeskKeysTest::SetUp();
        AddNamedValue(QStringLiteral("Count"), 0, 0, 1);
        AddNamedValue(QStringLiteral("Total"), 0, 0, 2);
        auto blink = std::make_shared<clsSub>();
        blink->Name = QStringLiteral("Blink");
        blink->mNumber = 1;
        App().AddModule(blink);
    }

    // Opens the frame of the command in that cell with Enter.
    void OpenFrame(frmDeskTop* f, const QString& cell)
    {
        picDeskTop(f)->setFocus();
        f->setCursorPos(cell);
        Key(Qt::Key_Return);
        ASSERT_TRUE(f->CommandInEdit());
    }

    // Opens the box's list with a click (on the arrow of a box with an
    // edit text).
    void OpenList(ImageComboBox* box)
    {
        const QPoint at = box->isEditable() ? QPoint(box->width() - 6, box->height() / 2) : box->rect().center();
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, at);
        Flush();
        ASSERT_TRUE(box->view()->isVisible());
    }

    // Moves the highlight of the open list onto the item of that text.
    void Highlight(ImageComboBox* box, const QString& text)
    {
        const int row = box->Model().IndexOfText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        for (int i = 0; i < 60 && box->view()->currentIndex().row() != row; ++i)
            Key(box->view()->currentIndex().row() < row ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(box->view()->currentIndex().row(), row);
    }

    // Everything a frame writes into a command, its caption included.
    static QString Written(const clsCommand& c)
    {
        return QStringList{c.Param1Value.toString(), c.Param2Value.toString(), c.Speed.toString(),
                           c.Time.toString(), c.PicCaption(1)}
            .join(QLatin1Char('|'));
    }
};

// A command with constant operands (none where empty), and its operator.
std::shared_ptr<clsCommand> Preset(std::shared_ptr<clsCommand> c, const char* p1, const char* p2, Integer op)
{
    c->Op = op;
    if (*p1) {
        c->Param1Source = 2;
        c->Param1Value = QString::fromLatin1(p1);
    }
    if (*p2) {
        c->Param2Source = 2;
        c->Param2Value = QString::fromLatin1(p2);
    }
    if (OpensBlock(c->KeyText()))
        c->Commands = std::make_shared<CommandCollection>();
    return c;
}

}  // namespace

// Each list of each frame: Esc with the list open closes the list and
// leaves the frame open; Enter with the list open takes the highlighted
// item and closes the list, and nothing else; the next Enter presses Ok,
// which writes the item. No press shows a box.
TEST_F(FrameListKeysTest, EnterInAnOpenListTakesTheItemAndTheNextEnterPressesOk)
{
    auto variable = Preset(Command("L_VAR", 1, 1, 7, "Variables"), "Count", "5", 0);
    variable->Param1Source = 0;
    auto speed = Preset(Command("M_SETPWR", 1, 3, 9, "Motor speed"), "", "5", 0);
    speed->MotorList = QStringLiteral("0");
    const std::shared_ptr<clsCommand> commands[] = {
        Preset(Command("L_SUB", 0, 1, 1, "Call sub"), "", "", -1),
        Preset(Command("L_START", 0, 2, 2, "Start task"), "", "", -1),
        Preset(Command("L_STOP", 0, 3, 3, "Stop task"), "", "", -1),
        Preset(Command("L_IF", 0, 4, 4, "IF"), "3", "5", 0),
        Preset(Command("L_LOOP", 0, 5, 5, "LOOP"), "4", "", -1),
        Preset(Command("G_WAIT", 0, 6, 6, "Wait"), "2", "", 0),
        variable,
        Preset(Command("G_WAIT", 1, 2, 8, "Wait"), "2", "", 0),
        speed,
        Preset(Command("G_SOUND", 1, 4, 10, "Sound"), "", "", 0),
    };
    for (const auto& c : commands) {
        if (c->CommandKey == CommandKey::G_WAIT)
            c->Time = QStringLiteral("Second");
        Put(*task->Commands(), c);
    }
    frmDeskTop* f = Open({});
    LogicFrameWidget* logic = fraLogic(f);
    MotorFrameWidget* motor = FraMotor(f);
    struct Case {
        const char* cell;
        ImageComboBox* box;
        const char* item;
    } cases[] = {
        {"0001", logic->cmbTaskAndOp, "Blink"},
        {"0002", logic->cmbTaskAndOp, "Main"},
        {"0003", logic->cmbTaskAndOp, "Stop program"},
        {"0004", logic->cmbParam1, "Timer 1"},
        {"0004", logic->cmbParam2, "Timer 2"},
        {"0005", logic->cmbVar2, "Count"},
        {"0101", logic->cmbVar1, "Total"},
        {"0101", logic->cmbTaskAndOp, "MULTIPLY"},
        {"0006", motor->cmbTime, "Tenth"},
        {"0102", motor->cmbTimeCount, "Count"},
        {"0103", motor->cmbSpeed, "Total"},
        {"0104", motor->cmbSound, "Beep"},
    };
    for (const Case& c : cases) {
        const QString item = QString::fromLatin1(c.item);
        SCOPED_TRACE(testing::Message() << c.cell << " " << c.box->objectName().toStdString() << " " << c.item);
        BoxAnswerer boxes(Answer::Key);
        OpenFrame(f, QString::fromLatin1(c.cell));
        OpenList(c.box);
        Key(Qt::Key_Escape);
        EXPECT_FALSE(c.box->view()->isVisible());
        EXPECT_TRUE(f->CommandInEdit());

        OpenList(c.box);
        Highlight(c.box, item);
        Key(Qt::Key_Return);
        EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(c.box->view()->isVisible());
        EXPECT_TRUE(f->CommandInEdit());
        EXPECT_EQ(c.box->Model().Text, item);
        EXPECT_EQ(c.box->currentText(), item);

        Key(Qt::Key_Return);
        EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(f->CommandInEdit());
        const auto co = f->Document().ColCommand->Item(QString::fromLatin1(c.cell));
        EXPECT_TRUE(Written(*co).contains(item)) << Written(*co).toStdString();
    }
}

// Enter in an open list with nothing to take (no item highlighted, or a
// typed name the list lacks) closes the list and presses Ok: its refusal
// shows once, and the frame stays open for Esc.
TEST_F(FrameListKeysTest, EnterInAnOpenListWithNothingToTakeRefusesOnce)
{
    struct Case {
        const char* typed;
        const char* message;
    } cases[] = {
        {"", "Wrong value"},
        {"Nosuch", "No such object"},
    };
    auto call = Command("L_SUB", 0, 1, 1, "Call sub");
    call->Op = -1;
    frmDeskTop* f = Open({call});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        BoxAnswerer boxes(Answer::Key);
        OpenFrame(f, QStringLiteral("0001"));
        ImageComboBox* box = fraLogic(f)->cmbTaskAndOp;
        OpenList(box);
        QTest::keyClicks(box->view(), QString::fromLatin1(c.typed));
        Key(Qt::Key_Return);
        EXPECT_EQ(boxes.texts, QStringList{QString::fromLatin1(c.message)});
        EXPECT_FALSE(box->view()->isVisible());
        EXPECT_TRUE(f->CommandInEdit());
        Key(Qt::Key_Escape);
        EXPECT_FALSE(f->CommandInEdit());
        EXPECT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(call->Param1Value.toString(), QStringLiteral("-1"));
    }
}

// Every frame takes the keys as it opens, by Enter or by a double click:
// its first box has the focus, so what is typed next goes into it.
TEST_F(FrameListKeysTest, AFrameOpenedByEnterOrADoubleClickHasTheFocusInItsFirstBox)
{
    struct Case {
        const char* key;
        const char* box;  // the box that has the focus
    } cases[] = {
        {"A_REM", "txtRem"},          {"M_ON", "chkMotor(0)"},      {"M_OFF", "chkMotor(0)"},
        {"M_FWD", "chkMotor(0)"},     {"M_RWD", "chkMotor(0)"},     {"M_ALTDIR", "chkMotor(0)"},
        {"M_SETPWR", "cmbSpeed"},     {"G_WAIT", "cmbTimeCount"},   {"G_SOUND", "cmbSound"},
        {"G_TXPOWER", "cmbTime"},     {"G_DISPLAY", "cmbSpeed"},    {"G_WATCH", "txtTime(0)"},
        {"L_IF", "cmbParam1"},        {"L_WHILE", "cmbParam1"},     {"L_LOOP", "cmbVar2"},
        {"L_SUB", "cmbTaskAndOp"},    {"L_VAR", "cmbTaskAndOp"},    {"L_START", "cmbTaskAndOp"},
        {"L_STOP", "cmbTaskAndOp"},   {"L_ZERO", "cmbParam1"},      {"L_DATALOG", "cmbParam1"},
        {"L_SENDMESS", "cmbParam1"},  {"L_SENTYPE", "cmbTaskAndOp"}, {"L_SENMODE", "cmbTaskAndOp"},
    };
    for (const Case& c : cases) {
        for (bool byEnter : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.key << (byEnter ? " by Enter" : " by a double click"));
            SetUp();
            auto co = Preset(Command(QString::fromLatin1(c.key), 0, 1, 1, QString::fromLatin1(c.key)), "", "", -1);
            co->MotorList = QStringLiteral("0");
            frmDeskTop* f = Open({co});
            BoxAnswerer boxes(Answer::Key);
            if (byEnter) {
                Select(f, "0001");
                Key(Qt::Key_Return);
            } else {
                QTest::mouseDClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
                Flush();
            }
            ASSERT_TRUE(f->CommandInEdit());
            QWidget* frame = FraMotor(f)->isVisible() ? static_cast<QWidget*>(FraMotor(f)) : fraLogic(f);
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            EXPECT_TRUE(frame->isAncestorOf(focus));
            EXPECT_EQ(focus->objectName().toStdString(), c.box);
            EXPECT_TRUE(boxes.texts.isEmpty());
            TearDown();
        }
    }
    SetUp();
}

// A count typed into a LOOP frame opened with Enter is the count the next
// Enter takes.
TEST_F(FrameListKeysTest, ACountTypedIntoALoopOpenedByEnterIsTaken)
{
    auto loop = Preset(Command("L_LOOP", 0, 1, 1, "LOOP"), "", "", -1);
    frmDeskTop* f = Open({loop});
    BoxAnswerer boxes(Answer::Key);
    OpenFrame(f, QStringLiteral("0001"));
    Key(Qt::Key_3);
    Key(Qt::Key_Return);
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(f->CommandInEdit());
    EXPECT_EQ(loop->Param1Value.toString(), QStringLiteral("3"));
}

// A grid key acts only where the grid has the focus: with the focus on a
// check box of the title strip, no key of the grid's map edits the grid or
// moves its cursor.
TEST_F(DeskKeysTest, GridKeysDoNothingWhileAnotherControlHasTheFocus)
{
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } cases[] = {
        {"Delete", Qt::Key_Delete, Qt::NoModifier},     {"Ctrl+X", Qt::Key_X, Qt::ControlModifier},
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier},     {"Ctrl+V", Qt::Key_V, Qt::ControlModifier},
        {"Shift+Ins", Qt::Key_Insert, Qt::ShiftModifier}, {"Shift+Del", Qt::Key_Delete, Qt::ShiftModifier},
        {"Enter", Qt::Key_Return, Qt::NoModifier},      {"Up", Qt::Key_Up, Qt::NoModifier},
        {"Down", Qt::Key_Down, Qt::NoModifier},         {"Right", Qt::Key_Right, Qt::NoModifier},
        {"Page Down", Qt::Key_PageDown, Qt::NoModifier},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        frmDeskTop* f = Open({Command("G_WAIT", 0, 2, 1, "Wait"), Command("M_ON", 0, 4, 2, "Start motor")});
        App().CommandClipboard.Add(Command("G_SOUND", 0, 1, 9), QStringLiteral("0001"));
        Select(f, "0002");
        QTest::mouseClick(chkTaskLoop(f), Qt::LeftButton);
        Flush();
        ASSERT_EQ(QApplication::focusWidget(), chkTaskLoop(f));
        BoxAnswerer boxes(Answer::Key);
        Key(c.key, c.mods);
        EXPECT_EQ(Grid(f), QStringLiteral("G_WAIT@0002 M_ON@0004"));
        EXPECT_EQ(Clipboard(), QStringLiteral("G_SOUND"));
        EXPECT_EQ(f->CursorPos(), QStringLiteral("0002"));
        EXPECT_FALSE(f->CommandInEdit());
        EXPECT_TRUE(boxes.texts.isEmpty());
        TearDown();
    }
    SetUp();
}
