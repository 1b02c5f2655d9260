// The keys of an editor window after another window had them: a run of the
// Joystick & Keyboard task, the joystick viewer, a message box, the set-up
// window. Each key acts once, on the control with the focus: the grid's keys
// on the grid only where the grid has the focus, the title box's typing in
// the title box only. The keys and clicks go through the window system as a
// user gives them; the boxes and the set-up window are the real ones,
// answered by a timer.
#include "ProgramFixture.h"

#include "desktop/frames/FrameWidgets.h"
#include "desktop/frmDeskTop.h"
#include "support/DeskTopControls.h"
#include "model/Grid.h"
#include "model/InitParam.h"
#include "model/ModuleManagement.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <map>

namespace {

// Answers each modal window shown while it lives as a user does: a message
// box with Enter, the set-up window with a click on its Close button.
class ModalAnswerer {
public:
    ModalAnswerer()
    {
        mTimer.setInterval(0);
        QObject::connect(&mTimer, &QTimer::timeout, [this] { answer(); });
        mTimer.start();
    }
    QStringList shown;

private:
    void answer()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || mAnswering)
            return;
        mAnswering = true;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            shown << box->text();
            QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        } else if (auto* setup = qobject_cast<frmMain*>(w)) {
            shown << setup->windowTitle();
            QTest::mouseClick(setup->CmdClose, Qt::LeftButton);
        }
        mAnswering = false;
    }

    QTimer mTimer;
    bool mAnswering = false;
};

enum class Before { Run, Viewer, Box, Setup };
enum class Focus { Grid, Title };

const char* Name(Before b)
{
    switch (b) {
    case Before::Run: return "after a run";
    case Before::Viewer: return "after the joystick viewer";
    case Before::Box: return "after a message box";
    case Before::Setup: return "after the set-up window";
    }
    return "";
}

// What the window holds after the key.
struct State {
    QString grid;       // "key@cell" in cell order
    QString clipboard;  // the commands cut or copied
    QString title;
    int caret;          // the title box's text cursor
    QString cursor;     // the grid's cursor cell
    bool frameOpen;
};

std::ostream& operator<<(std::ostream& os, const State& s)
{
    return os << s.grid.toStdString() << " | clip " << s.clipboard.toStdString() << " | title \""
              << s.title.toStdString() << "\" caret " << s.caret << " | cursor " << s.cursor.toStdString()
              << (s.frameOpen ? " | frame open" : "");
}

bool operator==(const State& a, const State& b)
{
    return a.grid == b.grid && a.clipboard == b.clipboard && a.title == b.title && a.caret == b.caret &&
           a.cursor == b.cursor && a.frameOpen == b.frameOpen;
}

class KeysAfterWindows : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        AppState& a = App();
        a.SetProjectType(ProjectType::JoystickKeyboard);
        a.InitParams->setConfirmDelete(1);
        BuildJoystickObjects();
        main->Ops.CompileProject = [] {
            CompileResult r;
            r.ok = true;
            return r;
        };
        main->Ops.InitRCX = [] { return true; };
        main->SetToolbarsForType();
        main->resize(900, 480);
        main->show();
        main->activateWindow();
        QApplication::processEvents();

        task = std::make_shared<clsTask>();
        task->Name = QStringLiteral("The Task");
        task->ModulType = 1;
        task->mNumber = 1;
        task->mTitle = QString();
        a.AddModule(task);
        Put(Command("L_IF", 1, 1, "IF"));
        Put(Command("G_SOUND", 2, 2, "Sound"));
        OpenCommandWindow(ModuleKind::Task, task.get(), QString(), QString());
        Flush();
        f = dynamic_cast<frmDeskTop*>(task->CommandWindow);
        ASSERT_NE(f, nullptr);
        f->ZOrder();
        Flush();
    }
    void Put(std::shared_ptr<clsCommand> c) { task->Commands()->Add(c, ColKey(c->x, c->y)); }

    static std::shared_ptr<clsCommand> Command(const char* key, int row, int pic, const char* caption)
    {
        auto c = std::make_shared<clsCommand>();
        c->SetKeyText(QString::fromLatin1(key));
        c->x = 0;
        c->y = Integer(row);
        c->PicIndex = Integer(pic);
        c->setPicCaption(0, QString::fromLatin1(caption));
        c->Param1Source = -1;
        c->Param2Source = -1;
        c->Param1Value = -1;
        c->Param2Value = -1;
        if (c->CommandKey == CommandKey::L_IF)
            c->Commands = std::make_shared<CommandCollection>();
        return c;
    }

    // A key press and release through the window system, to the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus->window()->windowHandle(), key, m);
        Flush();
    }

    void Click(QWidget* w, QPoint at = QPoint(10, 10))
    {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
        Flush();
    }

    void ClickToolbar(const char* key)
    {
        QWidget* button = main->TB1()->widgetForAction(main->TB1Button(QString::fromLatin1(key)));
        ASSERT_NE(button, nullptr) << key;
        Click(button, button->rect().center());
    }

    // The user's steps before: a description typed and the caret at its
    // start; the Sound clicked, so that the grid has the focus.
    void Prepare(Focus focus)
    {
        Click(txtTitle(f));
        QTest::keyClicks(txtTitle(f), QStringLiteral("Drive test"));
        Key(Qt::Key_Home);
        Click(picCommand(f, 2));
        ASSERT_EQ(f->CursorPos(), QStringLiteral("0002"));
        if (focus == Focus::Title) {
            Click(txtTitle(f), QPoint(2, 4));
            Key(Qt::Key_Home);
        }
    }

    void Do(Before before)
    {
        ModalAnswerer answers;
        switch (before) {
        case Before::Run:
            ClickToolbar("JOY_PLAY");
            ASSERT_EQ(App().StopRun, False);
            ClickToolbar("JOY_PLAY");
            main->tmrJoy_Timer();  // the pass that sees the stop ends the run
            ASSERT_FALSE(main->tmrJoy()->isActive());
            break;
        case Before::Viewer: {
            ClickToolbar("JOY");
            frmJoy* viewer = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* joy = qobject_cast<frmJoy*>(w); joy && joy->isVisible())
                    viewer = joy;
            ASSERT_NE(viewer, nullptr);
            EXPECT_EQ(QApplication::activeWindow(), viewer);
            Click(viewer->cmdClose);
            main->activateWindow();  // the window system gives the focus back
            Flush();
            break;
        }
        case Before::Box:
            // The brick does not answer: the run does not start and says so.
            pb->setDefaultResult(QStringLiteral("PBAlive"), false);
            ClickToolbar("JOY_PLAY");
            ASSERT_EQ(answers.shown, QStringList{"No communication with the RCX"});
            break;
        case Before::Setup:
            ClickToolbar("RCX");
            ASSERT_EQ(answers.shown, QStringList{"VER Ize"});
            break;
        }
        Flush();
    }

    State Now() const
    {
        std::map<QString, QString> cells;
        for (const auto& e : *f->Document().ColCommand)
            cells[e.key] = e.item->KeyText();
        QStringList grid;
        for (const auto& [k, v] : cells)
            grid << v + QLatin1Char('@') + k;
        QStringList clip;
        for (const auto& e : App().CommandClipboard)
            clip << e.item->KeyText();
        return {grid.join(QLatin1Char(' ')), clip.join(QLatin1Char(' ')), txtTitle(f)->toPlainText(),
                txtTitle(f)->textCursor().position(), f->CursorPos(), bool(f->CommandInEdit())};
    }

    TaskPtr task;
    frmDeskTop* f = nullptr;
};

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    State onGrid;   // the grid had the focus
    State onTitle;  // the title box had it
};

}  // namespace

TEST_F(KeysAfterWindows, EachKeyActsOnceOnTheControlWithTheFocus)
{
    const QString both = QStringLiteral("L_IF@0001 G_SOUND@0002");
    const QString title = QStringLiteral("Drive test");
    const QString pasted = QStringLiteral("Go Drive test");
    // Ctrl+V and Shift+Ins paste a command into the grid (the program's
    // clipboard holds a Wait), text into the title box (the desktop's holds "Go ").
    const KeyCase cases[] = {
        {"Delete", Qt::Key_Delete, Qt::NoModifier,
         {"L_IF@0001", "G_WAIT", title, 0, "0002", false}, {both, "G_WAIT", "rive test", 0, "0002", false}},
        {"Ctrl+X", Qt::Key_X, Qt::ControlModifier,
         {"L_IF@0001", "G_SOUND", title, 0, "0002", false}, {both, "G_WAIT", title, 0, "0002", false}},
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier,
         {both, "G_SOUND", title, 0, "0002", false}, {both, "G_WAIT", title, 0, "0002", false}},
        {"Ctrl+V", Qt::Key_V, Qt::ControlModifier,
         {"L_IF@0001 G_WAIT@0002 G_SOUND@0003", "G_WAIT", title, 0, "0002", false},
         {both, "G_WAIT", pasted, 3, "0002", false}},
        {"Shift+Ins", Qt::Key_Insert, Qt::ShiftModifier,
         {"L_IF@0001 G_SOUND@0003", "G_WAIT", title, 0, "0002", false},
         {both, "G_WAIT", pasted, 3, "0002", false}},
        // The title box leaves Enter to the window: it opens the frame of the
        // command at the cursor there too.
        {"Enter", Qt::Key_Return, Qt::NoModifier,
         {both, "G_WAIT", title, 0, "0002", true}, {both, "G_WAIT", title, 0, "0002", true}},
        {"Up", Qt::Key_Up, Qt::NoModifier,
         {both, "G_WAIT", title, 0, "0001", false}, {both, "G_WAIT", title, 0, "0002", false}},
        {"Down", Qt::Key_Down, Qt::NoModifier,
         {both, "G_WAIT", title, 0, "0003", false}, {both, "G_WAIT", title, 0, "0002", false}},
        {"Right", Qt::Key_Right, Qt::NoModifier,
         {both, "G_WAIT", title, 0, "0102", false}, {both, "G_WAIT", title, 1, "0002", false}},
        {"Left", Qt::Key_Left, Qt::NoModifier,
         {both, "G_WAIT", title, 0, "0002", false}, {both, "G_WAIT", title, 0, "0002", false}},
    };
    TearDown();
    for (const KeyCase& c : cases) {
        for (Before before : {Before::Run, Before::Viewer, Before::Box, Before::Setup}) {
            for (Focus focus : {Focus::Grid, Focus::Title}) {
                SCOPED_TRACE(testing::Message() << c.name << ", " << Name(before) << ", focus on the "
                                                << (focus == Focus::Grid ? "grid" : "title box"));
                SetUp();
                QGuiApplication::clipboard()->setText(QStringLiteral("Go "));
                Prepare(focus);
                Do(before);
                // Cut and copy above replace what a paste would take.
                auto wait = Command("G_WAIT", 1, 9, "Wait");
                App().CommandClipboard.Add(wait, QStringLiteral("0001"));
                const bool copies = c.key == Qt::Key_X || c.key == Qt::Key_C;
                if (copies && focus == Focus::Grid)
                    App().CommandClipboard.Clear();
                // A run leaves the focus where it was. Another window hands
                // it back to the grid: coming back by activation, the title
                // box passes it on, as it does when tabbed into.
                const bool onTitle = focus == Focus::Title && before == Before::Run;
                EXPECT_EQ(QApplication::focusWidget(), onTitle ? static_cast<QWidget*>(txtTitle(f)) : picDeskTop(f));
                ModalAnswerer answers;
                Key(c.key, c.mods);
                EXPECT_EQ(Now(), onTitle ? c.onTitle : c.onGrid);
                EXPECT_TRUE(answers.shown.isEmpty()) << answers.shown.join(QLatin1Char('|')).toStdString();
                if (c.key == Qt::Key_Return) {
                    // The frame takes the keys at once: its first box has the focus.
                    EXPECT_TRUE(FraMotor(f)->isAncestorOf(QApplication::focusWidget()));
                }
                TearDown();
            }
        }
    }
    SetUp();
}

// The question a block's Delete asks comes once, and its Cancel keeps the
// block and the description alike.
TEST_F(KeysAfterWindows, ABlocksQuestionAfterARunComesOnceAndCancelKeepsEverything)
{
    Click(txtTitle(f));
    QTest::keyClicks(txtTitle(f), QStringLiteral("Drive test"));
    Key(Qt::Key_Home);
    Click(picCommand(f, 1));
    Do(Before::Run);
    QStringList asked;
    QTimer cancel;
    cancel.setInterval(0);
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        asked << box->text();
        QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
    });
    cancel.start();
    Key(Qt::Key_Delete);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(Now(), (State{"L_IF@0001 G_SOUND@0002", "", "Drive test", 0, "0001", false}));
}
