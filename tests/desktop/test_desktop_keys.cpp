// Each key of the editor window acts once, whatever its action shows. The
// keys go to the window as the window system hands them over, to whichever
// control has the focus, and the boxes they show are real message boxes,
// answered by a timer with a key or a click as a user would: a box takes the
// focus and gives it back elsewhere, and the key must not act again on its
// way up to the window.
#include "DeskTopFixture.h"

#include "desktop/frames/FrameWidgets.h"
#include "model/InitParam.h"
#include "model/NamedValues.h"
#include "shell/MessagePresenter.h"
#include "support/PrintTexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

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
        App().InitParams = std::make_unique<clsInitParam>(*App().Settings, presenter);
        App().InitParams->ConfirmDelete = 1;
        FillNameTables();
        BuildRcxObjects();
        App().RcxSetup->PortMotor(0)->setMotorType(1);
        task = AddTask(QStringLiteral("Main"));
    }

    frmDeskTop* Open(std::initializer_list<std::shared_ptr<clsCommand>> commands)
    {
        for (const auto& c : commands)
            Put(*task->Commands(), c);
        frmDeskTop* f = OpenTask(task);
        area->activateWindow();
        area->setActiveSubWindow(f->SubWindow());
        f->picDeskTop->setFocus();
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
        QTest::mouseClick(f->picCommand(f->ColCommand->Item(QString::fromLatin1(cell))->PicIndex), Qt::LeftButton,
                          Qt::NoModifier, QPoint(10, 10));
    }

    // "key@cell" of the grid, in key order.
    static QString Grid(frmDeskTop* f)
    {
        std::map<QString, QString> cells;
        for (const auto& e : *f->ColCommand)
            cells[e.key] = e.item->CommandKey;
        QStringList out;
        for (const auto& [k, v] : cells)
            out << v + QLatin1Char('@') + k;
        return out.join(QLatin1Char(' '));
    }

    static QString Clipboard()
    {
        QStringList out;
        for (const auto& e : App().CommandClipboard)
            out << e.item->CommandKey;
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
        ASSERT_TRUE(f->CommandInEdit);
        EXPECT_TRUE(boxes.texts.isEmpty());
        QTest::mouseClick(f->FraMotor->chkMotor[0], Qt::LeftButton);
        Key(Qt::Key_Return);
        EXPECT_EQ(boxes.texts, QStringList{"No motor selected"});
        EXPECT_TRUE(f->CommandInEdit);
        // Enter again asks again, once; Esc then cancels.
        Key(Qt::Key_Return);
        EXPECT_EQ(boxes.texts, QStringList({"No motor selected", "No motor selected"}));
        Key(Qt::Key_Escape);
        EXPECT_FALSE(f->CommandInEdit);
        EXPECT_FALSE(f->FraMotor->isVisible());
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
            EXPECT_EQ(bool(f->CommandInEdit), c.frameOpen);
            EXPECT_EQ(Grid(f), before);
            if (c.frameOpen) {
                Key(Qt::Key_Escape);
                EXPECT_FALSE(f->CommandInEdit);
                EXPECT_EQ(boxes.texts.size(), 1);
            }
            TearDown();
        }
    }
    SetUp();
}
