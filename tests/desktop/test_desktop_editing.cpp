// Editing in the editor window: mouse on the desk and the pictures, the popup
// menu, the keys and the wheel reach the grid document, and the pictures
// follow. The rules themselves are tested on the document alone.
#include "DeskTopFixture.h"

#include "compiler/ProjectCompile.h"
#include "model/Twips.h"
#include "model/CommandCatalogue.h"
#include "model/NamedValues.h"
#include "model/ProjectFile.h"

#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

namespace {

const double W = GridDocument::CellWidth;
const double H = GridDocument::CellHeight;

// The pixel point of a twips point.
QPoint Pix(double x, double y)
{
    return QPoint(PixX(x), PixY(y));
}

// What a popup showed: the visible items' names, each with "-" when disabled.
struct MenuShot {
    QStringList items;
    bool shown = false;
};

}  // namespace

class DeskEditTest : public DeskTopTest {
protected:
    void SetUp() override
    {
        DeskTopTest::SetUp();
        presenter.shown.clear();
        presenter.answers.clear();
        windows.mapUpdates.clear();
        App().InitParams = std::make_unique<clsInitParam>(*App().Config, presenter);
        DeskPalette() = PaletteTool{};
        frmDeskTop::PopupMenu() = [this](QMenu& menu) {
            menu_.shown = true;
            menu_.items.clear();
            for (QAction* a : menu.actions())
                if (a->isVisible() && !a->isSeparator())
                    menu_.items << a->objectName() + (a->isEnabled() ? QString() : QStringLiteral("-"));
            if (onMenu)
                onMenu(menu);
        };
        task = AddTask(QStringLiteral("Main"));
    }
    void TearDown() override
    {
        frmDeskTop::PopupMenu() = [](QMenu& menu) { menu.exec(QCursor::pos()); };
        DeskPalette() = PaletteTool{};
        DeskTopTest::TearDown();
    }

    frmDeskTop* Open(std::initializer_list<std::shared_ptr<clsCommand>> commands)
    {
        for (const auto& c : commands)
            Put(*task->Commands(), c);
        frmDeskTop* f = OpenTask(task);
        task->Dirty = False;
        return f;
    }

    static void Tool(const char* key, const char* tip)
    {
        DeskPalette() = PaletteTool{QString::fromLatin1(key), QString::fromLatin1(tip)};
    }

    // A press and release on the desk at a twips point.
    static void ClickDesk(frmDeskTop* f, double x, double y, Qt::MouseButton b = Qt::LeftButton,
                          Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::mousePress(picDeskTop(f), b, m, Pix(x, y));
        QTest::mouseRelease(picDeskTop(f), b, m, Pix(x, y));
    }

    static void Move(QWidget* w, QPoint at, Qt::MouseButtons buttons)
    {
        QMouseEvent e(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    // Drags picture Index by (dx, dy) twips in three steps and lets go.
    static void Drag(frmDeskTop* f, int index, double dx, double dy)
    {
        PicCommandBox* pic = picCommand(f, index);
        const QPoint grip(20, 20);
        QTest::mousePress(pic, Qt::LeftButton, Qt::NoModifier, grip);
        for (int i = 0; i < 3; ++i)
            Move(pic, grip + QPoint(PixX(dx / 3), PixY(dy / 3)), Qt::LeftButton);
        QTest::mouseRelease(pic, Qt::LeftButton, Qt::NoModifier, pic->mapFromGlobal(QCursor::pos()));
    }

    void Key(frmDeskTop* f, Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        if (area->activeSubWindow() != f->SubWindow())
            area->setActiveSubWindow(f->SubWindow());
        picDeskTop(f)->setFocus();
        QTest::keyClick(picDeskTop(f), key, m);
    }

    // "key@cell" of the grid, in key order; every command's picture stands on its cell.
    static QString Grid(frmDeskTop* f)
    {
        QStringList out;
        std::map<QString, QString> cells;
        for (const auto& e : *f->Document().ColCommand) {
            PicCommandBox* pic = picCommand(f, e.item->PicIndex);
            EXPECT_NE(pic, nullptr);
            if (pic) {
                EXPECT_EQ(pic->Left(), GridDocument::CellLeft(e.item->x)) << e.key.toStdString();
                EXPECT_EQ(pic->Top(), GridDocument::CellTop(e.item->y)) << e.key.toStdString();
                EXPECT_FALSE(pic->isHidden());
                EXPECT_EQ(pic->BackColor(), e.item->PicSelected ? DeskView::SelectedColor() : DeskView::UnselectedColor(*f));
            }
            cells[e.key] = e.item->KeyText();
        }
        for (const auto& [k, v] : cells)
            out << v + QLatin1Char('@') + k;
        return out.join(QLatin1Char(' '));
    }

    TaskPtr task;
    MenuShot menu_;
    std::function<void(QMenu&)> onMenu;
};

// ---- placing

TEST_F(DeskEditTest, APaletteToolPlacesOneCommandWhereTheDeskIsPressed)
{
    frmDeskTop* f = Open({});
    Tool("M_FWD", "Forward A");
    ClickDesk(f, 700 + W + 100, 3 * H + 100);
    EXPECT_EQ(Grid(f), QStringLiteral("M_FWD@0103"));
    const auto co = f->Document().ColCommand->Item("0103");
    EXPECT_EQ(co->PicCaption(0), QStringLiteral("Forward"));
    EXPECT_EQ(picCommand(f, co->PicIndex)->PictureKey(), QStringLiteral("M_FWD"));
    EXPECT_TRUE(co->PicSelected);
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0103"));
    EXPECT_TRUE(DeskPalette().isCursor());  // the palette is back on the pointer
    EXPECT_TRUE(task->Dirty);
    EXPECT_EQ(windows.mapUpdates, QStringList{QStringLiteral("Main")});

    // The next press only moves the cursor.
    ClickDesk(f, 700 + 100, 5 * H + 100);
    EXPECT_EQ(f->Document().ColCommand->Count(), 1);
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0005"));
}

TEST_F(DeskEditTest, APressOutsideTheGridOrInTheBandAboveRow1PlacesNothing)
{
    frmDeskTop* f = Open({});
    for (auto [x, y] : {std::pair{300.0, 2 * H}, {700 + 2 * W + 50, 2 * H}, {900.0, 41 * H + 10}, {900.0, H / 2}}) {
        Tool("G_WAIT", "Wait");
        ClickDesk(f, x, y);
        EXPECT_EQ(f->Document().ColCommand->Count(), 0) << x << "," << y;
    }
    EXPECT_FALSE(task->Dirty);
}

TEST_F(DeskEditTest, AToolOnACommandAsksBeforeReplacingIt)
{
    frmDeskTop* f = Open({Command("M_ON", 0, 2, 1)});
    Tool("G_WAIT", "Wait");
    presenter.answers = {MsgResult::Cancel};
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Replace command"));
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Question + MsgStyle::OkCancel);
    EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0002"));
    EXPECT_TRUE(DeskPalette().isCursor());

    Tool("G_WAIT", "Wait");
    presenter.answers = {MsgResult::OK};
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Flush();
    EXPECT_EQ(Grid(f), QStringLiteral("G_WAIT@0002"));
    EXPECT_EQ(picCommand(f, 1), nullptr);  // the old picture went with its command
    EXPECT_TRUE(task->Dirty);

    // The same tool on the same command asks nothing and changes nothing.
    presenter.shown.clear();
    Tool("g_wait", "Wait");
    const int index = f->Document().ColCommand->Item("0002")->PicIndex;
    QTest::mouseClick(picCommand(f, index), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_TRUE(DeskPalette().isCursor());
}

// ---- selecting

TEST_F(DeskEditTest, ShiftClickAddsAndCtrlShiftDoesNot)
{
    auto a = Command("M_ON", 0, 1, 1), b = Command("M_OFF", 0, 2, 2), c = Command("G_WAIT", 1, 4, 3);
    frmDeskTop* f = Open({a, b, c});
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseClick(picCommand(f, 3), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    EXPECT_TRUE(a->PicSelected && c->PicSelected);
    EXPECT_EQ(picCommand(f, 3)->BackColor(), DeskView::SelectedColor());
    QTest::mouseClick(picCommand(f, 2), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(10, 10));
    EXPECT_TRUE(b->PicSelected);
    EXPECT_FALSE(a->PicSelected || c->PicSelected);
    EXPECT_EQ(picCommand(f, 1)->BackColor(), DeskView::UnselectedColor(*f));
    EXPECT_FALSE(task->Dirty);
}

TEST_F(DeskEditTest, TheRubberBandSelectsInBothDirections)
{
    auto a = Command("M_ON", 1, 3, 1), b = Command("M_OFF", 0, 7, 2), out = Command("G_WAIT", 0, 12, 3);
    frmDeskTop* f = Open({a, b, out});
    const QPoint from = Pix(650, 3 * H - 50), to = Pix(700 + 2 * W + 50, 8 * H + 50);
    for (bool backwards : {false, true}) {
        f->setCursorPos(QStringLiteral("0020"));
        const QPoint p = backwards ? to : from, q = backwards ? from : to;
        QTest::mousePress(picDeskTop(f), Qt::LeftButton, Qt::NoModifier, p);
        Move(picDeskTop(f), (p + q) / 2, Qt::LeftButton);
        EXPECT_TRUE(f->Document().shpSelect.Visible);
        Move(picDeskTop(f), q, Qt::LeftButton);
        QTest::mouseRelease(picDeskTop(f), Qt::LeftButton, Qt::NoModifier, q);
        EXPECT_FALSE(f->Document().shpSelect.Visible);
        EXPECT_TRUE(a->PicSelected && b->PicSelected) << backwards;
        EXPECT_FALSE(out->PicSelected) << backwards;
        EXPECT_EQ(f->CursorPos(), QStringLiteral("0007")) << backwards;
        EXPECT_EQ(picCommand(f, 1)->BackColor(), DeskView::SelectedColor());
    }
}

// ---- dragging

TEST_F(DeskEditTest, DraggingTheSelectionMovesItsPictures)
{
    auto a = Command("M_ON", 0, 2, 1), b = Command("M_OFF", 0, 3, 2);
    frmDeskTop* f = Open({a, b});
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseClick(picCommand(f, 2), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    Drag(f, 1, W, 2 * H);
    EXPECT_TRUE(presenter.shown.isEmpty());
    EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0104 M_OFF@0105"));
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0104"));
    EXPECT_TRUE(task->Dirty);
    EXPECT_EQ(f->Document().colCopy.Count(), 2);
}

TEST_F(DeskEditTest, ADropOutsideTheGridOrOnATakenCellPutsEveryPictureBack)
{
    struct Case {
        const char* what;
        double dx, dy;
        const char* message;
    } cases[] = {
        {"left of column 0", -W, 0, "One of the commands is outside the edit area"},
        {"below row 40", 0, 40 * H, "One of the commands is outside the edit area"},
        {"onto a command that stays", 0, 3 * H, "This place is taken! Make some room and try again"},
    };
    for (const Case& c : cases) {
        SetUp();
        auto a = Command("M_ON", 0, 2, 1), b = Command("M_OFF", 0, 3, 2), s = Command("G_WAIT", 0, 6, 3);
        frmDeskTop* f = Open({a, b, s});
        QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseClick(picCommand(f, 2), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
        Drag(f, 1, c.dx, c.dy);
        ASSERT_EQ(presenter.shown.size(), 1) << c.what;
        EXPECT_EQ(presenter.shown[0].text, QString::fromLatin1(c.message)) << c.what;
        EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
        EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0002 M_OFF@0003 G_WAIT@0006")) << c.what;
        EXPECT_FALSE(task->Dirty) << c.what;
        TearDown();
    }
    SetUp();
}

TEST_F(DeskEditTest, MovingAnIfClosesItsBodyWindowAndKeepsItsBody)
{
    auto block = Command("L_IF", 0, 1, 1, "IF", "x");
    block->Commands = std::make_shared<CommandCollection>();
    Put(*block->Commands, Command("M_ON", 1, 1, 1));
    frmDeskTop* f = Open({block});
    frmDeskTop* body = OpenBody(ModuleKind::IfBody, block.get(), QStringLiteral("Main"), QStringLiteral("x"));
    ASSERT_NE(body, nullptr);
    const auto bodyGrid = block->Commands;
    f->SubWindow()->raise();
    area->setActiveSubWindow(f->SubWindow());
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Drag(f, 1, 0, 4 * H);
    Flush();
    ASSERT_TRUE(f->Document().ColCommand->Exists("0005"));
    const auto moved = f->Document().ColCommand->Item("0005");
    EXPECT_EQ(moved->Commands, bodyGrid);
    EXPECT_EQ(moved->Commands->Count(), 1);
    EXPECT_EQ(moved->CommandWindow, nullptr);
    EXPECT_EQ(area->subWindowList().size(), 1);
}

// ---- the popup menu

TEST_F(DeskEditTest, PopupOnTheDeskOffersPasteAndSpacingOnly)
{
    frmDeskTop* f = Open({Command("M_ON", 0, 1, 1)});
    ClickDesk(f, 900, 5 * H + 10, Qt::RightButton);
    ASSERT_TRUE(menu_.shown);
    EXPECT_EQ(menu_.items, (QStringList{"mnuPaste-", "mnuInsertSpace", "mnuDeleteSpace"}));
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0005"));
    EXPECT_FALSE(MenuItem(f, "mnuTransmit")->isVisible());
    EXPECT_TRUE(MenuItem(f, "mnuCopy")->isVisible());

    // Outside the grid nothing opens.
    menu_.shown = false;
    ClickDesk(f, 300, 5 * H, Qt::RightButton);
    EXPECT_FALSE(menu_.shown);

    // On a command: everything, Transmit again; Open command window only for blocks.
    QTest::mouseClick(picCommand(f, 1), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(menu_.items, (QStringList{"mnuUpdate", "mnuCommands-", "mnuTransmit", "mnuCut", "mnuCopy",
                                        "mnuPaste-", "mnuDel", "mnuInsertSpace", "mnuDeleteSpace"}));
}

TEST_F(DeskEditTest, PopupOnASelectionOfBothColumnsRefusesTheClipboard)
{
    App().CommandClipboard.Add(Command("M_ON", 0, 1, 1), QStringLiteral("0001"));
    frmDeskTop* f = Open({Command("L_IF", 0, 1, 1), Command("M_OFF", 1, 2, 2)});
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseClick(picCommand(f, 2), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    // A right click keeps a selection that holds its command, and adds nothing with Shift.
    QTest::mouseClick(picCommand(f, 2), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(f->Document().SelectedCount(), 2);
    EXPECT_EQ(menu_.items, (QStringList{"mnuUpdate", "mnuCommands-", "mnuTransmit", "mnuCut-", "mnuCopy-",
                                        "mnuPaste-", "mnuDel", "mnuInsertSpace", "mnuDeleteSpace"}));
    // A click on a selected command keeps the selection (it may be dragged);
    // a click on the empty desk empties it.
    ClickDesk(f, 900, 20 * H + 10);
    QTest::mouseClick(picCommand(f, 1), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(menu_.items, (QStringList{"mnuUpdate", "mnuCommands", "mnuTransmit", "mnuCut", "mnuCopy", "mnuPaste",
                                        "mnuDel", "mnuInsertSpace", "mnuDeleteSpace"}));
}

TEST_F(DeskEditTest, MenuItemsRunTheirHandlers)
{
    frmDeskTop* f = Open({Command("M_ON", 0, 1, 1), Command("G_WAIT", 0, 2, 2)});
    onMenu = [](QMenu& menu) {
        for (QAction* a : menu.actions())
            if (a->objectName() == QLatin1String("mnuInsertSpace"))
                a->trigger();
    };
    QTest::mouseClick(picCommand(f, 1), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0002 G_WAIT@0003"));
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0001"));
    EXPECT_TRUE(f->Document().CursorVisible);
}

// ---- clipboard and delete

TEST_F(DeskEditTest, DeleteAsksForBlocksOnlyWhenThePreferenceSaysSo)
{
    struct Case {
        int confirm;
        int answer;
        bool asked;
        const char* after;
    } cases[] = {
        {1, MsgResult::Cancel, true, "M_ON@0001 L_LOOP@0002 G_WAIT@0003"},
        {1, MsgResult::OK, true, "M_ON@0001"},
        {0, MsgResult::Cancel, false, "M_ON@0001"},
    };
    for (const Case& c : cases) {
        SetUp();
        frmDeskTop* f = Open({Command("M_ON", 0, 1, 1), Command("L_LOOP", 0, 2, 2), Command("G_WAIT", 0, 3, 3)});
        App().InitParams->setConfirmDelete(Integer(c.confirm));
        presenter.answers = {c.answer};
        QTest::mouseClick(picCommand(f, 2), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseClick(picCommand(f, 3), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
        Key(f, Qt::Key_Delete);
        Flush();
        EXPECT_EQ(presenter.shown.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(presenter.shown[0].text, QStringLiteral("You are about to delete command(s) that can contain "
                                                              "more commands! Please confirm"));
            EXPECT_EQ(presenter.shown[0].style, MsgStyle::Question + MsgStyle::OkCancel);
        }
        EXPECT_EQ(Grid(f), QString::fromLatin1(c.after)) << c.confirm << c.answer;
        EXPECT_EQ(picCommand(f, 3) == nullptr, QString::fromLatin1(c.after) == QLatin1String("M_ON@0001"));
        TearDown();
    }
    SetUp();
}

TEST_F(DeskEditTest, CopyInOneWindowAndPasteInAnother)
{
    auto loop = Command("L_LOOP", 0, 2, 1, "LOOP", "3 times");
    loop->Commands = std::make_shared<CommandCollection>();
    Put(*loop->Commands, Command("M_ON", 0, 1, 1));
    frmDeskTop* f = Open({loop, Command("M_OFF", 0, 3, 2)});
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Key(f, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(App().CommandClipboard.Count(), 1);

    auto other = AddTask(QStringLiteral("Other"));
    Put(*other->Commands(), Command("G_WAIT", 0, 1, 1));
    frmDeskTop* g = OpenTask(other);
    ASSERT_NE(g, nullptr);
    other->Dirty = False;
    Key(g, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Grid(g), QStringLiteral("L_LOOP@0001 G_WAIT@0002"));
    const auto pasted = g->Document().ColCommand->Item("0001");
    EXPECT_EQ(pasted->PicCaption(1), QStringLiteral("3 times"));
    EXPECT_NE(pasted->Commands, loop->Commands);
    EXPECT_EQ(pasted->Commands->Count(), 1);
    EXPECT_EQ(picCommand(g, pasted->PicIndex)->PictureKey(), QStringLiteral("L_LOOP"));
    EXPECT_TRUE(other->Dirty);
    EXPECT_FALSE(task->Dirty);

    // Cut takes the commands away in the first window (leaving it emptied
    // its selection, so the command is clicked again).
    area->setActiveSubWindow(f->SubWindow());
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    Key(f, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Grid(f), QStringLiteral("M_OFF@0001"));
}

TEST_F(DeskEditTest, PasteOfAFloatingMotorOffShowsTheFloatPicture)
{
    auto off = Command("M_OFF", 0, 1, 1);
    off->Op = 0;
    App().CommandClipboard.Add(off, QStringLiteral("0001"));
    frmDeskTop* f = Open({});
    f->setCursorPos(QStringLiteral("0104"));
    MenuItem(f, "mnuPaste")->trigger();
    ASSERT_TRUE(f->Document().ColCommand->Exists("0104"));
    EXPECT_EQ(picCommand(f, f->Document().ColCommand->Item("0104")->PicIndex)->PictureKey(), QStringLiteral("M_OFF_FLOAT"));
}

TEST_F(DeskEditTest, NoRoomIsReported)
{
    frmDeskTop* f = Open({});
    for (int c = 0; c < 2; ++c)
        for (int r = 1; r <= 40; ++r) {
            Tool("M_ON", "Start motor");
            ClickDesk(f, 700 + c * W + 50, r * H + 50);
        }
    ASSERT_EQ(f->Document().ColCommand->Count(), 80);
    Key(f, Qt::Key_Insert, Qt::ShiftModifier);
    ASSERT_EQ(presenter.texts(), QStringList{QStringLiteral("No room for this action")});
    EXPECT_EQ(presenter.shown[0].style, MsgStyle::Exclamation);
}

// ---- keys

TEST_F(DeskEditTest, CursorKeysMoveTheCursorAndStopAtTheEdges)
{
    frmDeskTop* f = Open({Command("M_ON", 0, 1, 1)});
    f->SubWindow()->resize(f->SubWindow()->width(), PixY(10 * H));
    Flush();
    const int page = int(TwipY(VScroll1(f)->height()) / H);
    ASSERT_GE(page, 3);
    struct Case {
        const char* from;
        Qt::Key key;
        QString to;
    } cases[] = {
        {"0001", Qt::Key_Up, "0001"},
        {"0001", Qt::Key_Left, "0001"},
        {"0140", Qt::Key_Down, "0140"},
        {"0140", Qt::Key_Right, "0140"},
        {"0140", Qt::Key_Left, "0040"},
        {"0005", Qt::Key_Right, "0105"},
        {"0035", Qt::Key_PageDown, "0040"},
        {"0002", Qt::Key_PageUp, "0001"},
        {"0020", Qt::Key_PageUp, ColKey(0, 20 - page)},
        {"0110", Qt::Key_PageDown, ColKey(1, 10 + page)},
    };
    for (const Case& c : cases) {
        f->setCursorPos(QString::fromLatin1(c.from));
        HScroll1(f)->setValue(HScroll1(f)->maximum());
        Key(f, c.key);
        EXPECT_EQ(f->CursorPos(), c.to) << c.from << " " << c.key;
        // The cursor row is in view.
        const int row = int(vb::Val(f->CursorPos().right(2)));
        EXPECT_LE(VScroll1(f)->value(), row * H) << c.from;
        EXPECT_GE(VScroll1(f)->value() + TwipY(VScroll1(f)->height()), row * H) << c.from;
        if (c.key == Qt::Key_Left) {
            EXPECT_EQ(HScroll1(f)->value(), 0);
        }
    }
    // An occupied cell selects its command; Shift+arrows move as well.
    f->setCursorPos(QStringLiteral("0002"));
    Key(f, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0001"));
    EXPECT_TRUE(f->Document().ColCommand->Item("0001")->PicSelected);
    EXPECT_FALSE(f->Document().CursorVisible);
}

TEST_F(DeskEditTest, ClipboardKeysNeedACommandAtTheCursorAndTheirExactModifiers)
{
    frmDeskTop* f = Open({Command("M_ON", 0, 1, 1), Command("M_OFF", 0, 3, 2)});
    f->setCursorPos(QStringLiteral("0002"));
    Key(f, Qt::Key_C, Qt::ControlModifier);
    Key(f, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(App().CommandClipboard.isEmpty());
    f->setCursorPos(QStringLiteral("0001"));
    Key(f, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(App().CommandClipboard.isEmpty());
    Key(f, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(App().CommandClipboard.Count(), 1);
    // Ctrl+V on an empty cell pastes there.
    f->setCursorPos(QStringLiteral("0002"));
    Key(f, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0001 M_ON@0002 M_OFF@0004"));
    // Shift+Delete closes the gaps, Ctrl+Delete and Alt+Delete delete.
    f->setCursorPos(QStringLiteral("0110"));
    Tool("G_WAIT", "Wait");
    ClickDesk(f, 700 + W + 50, 10 * H + 50);
    Key(f, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0001 M_ON@0002 M_OFF@0003 G_WAIT@0101"));
    f->setCursorPos(QStringLiteral("0002"));
    Key(f, Qt::Key_Delete, Qt::ControlModifier);
    f->setCursorPos(QStringLiteral("0002"));
    Key(f, Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0001 G_WAIT@0101"));
    // Shift+Insert opens a cell at the cursor.
    f->setCursorPos(QStringLiteral("0001"));
    Key(f, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0002 G_WAIT@0101"));
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0001"));
}

TEST_F(DeskEditTest, CtrlJOpensTheBlocksWindowAndF5RefreshesTheMap)
{
    auto block = Command("L_IF", 0, 1, 1, "IF", "Sensor 1 = 1");
    auto stop = Command("L_START", 0, 2, 2);
    stop->Param1Value = QStringLiteral("Stop program");
    auto sub = std::make_shared<clsSub>();
    sub->Name = QStringLiteral("Blink");
    App().AddModule(sub);
    auto call = Command("L_SUB", 0, 3, 3);
    call->Param1Value = QStringLiteral("blink");
    frmDeskTop* f = Open({block, stop, call, Command("M_ON", 0, 4, 4)});

    f->setCursorPos(QStringLiteral("0001"));
    Key(f, Qt::Key_J, Qt::ControlModifier);
    Flush();
    frmDeskTop* body = WindowOf(block.get());
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->FormType(), ModuleKind::IfBody);
    EXPECT_EQ(body->Document().ColCommand->Count(), 0);
    EXPECT_EQ(body->ParentTaskName(), QStringLiteral("Main"));

    f->SubWindow()->raise();
    area->setActiveSubWindow(f->SubWindow());
    f->setCursorPos(QStringLiteral("0002"));
    Key(f, Qt::Key_J, Qt::ControlModifier);
    f->setCursorPos(QStringLiteral("0004"));
    Key(f, Qt::Key_J, Qt::ControlModifier);
    Flush();
    EXPECT_EQ(area->subWindowList().size(), 2);
    EXPECT_FALSE(stop->Commands);
    f->setCursorPos(QStringLiteral("0003"));
    Key(f, Qt::Key_J, Qt::ControlModifier);
    Flush();
    EXPECT_NE(sub->CommandWindow, nullptr);

    windows.mapUpdates.clear();
    area->setActiveSubWindow(f->SubWindow());
    Key(f, Qt::Key_F5, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(windows.mapUpdates, QStringList{QStringLiteral("Main")});
}

TEST_F(DeskEditTest, TitleEditingKeepsTheArrowsAndDeleteForTheTitle)
{
    frmDeskTop* f = Open({Command("M_ON", 0, 1, 1), Command("M_OFF", 0, 2, 2)});
    f->setCursorPos(QStringLiteral("0002"));
    QTest::mouseClick(txtTitle(f)->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_TRUE(f->TitleEditing());
    QTest::keyClick(txtTitle(f), Qt::Key_Up);
    QTest::keyClick(txtTitle(f), Qt::Key_Delete);
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0002"));
    EXPECT_EQ(f->Document().ColCommand->Count(), 2);
}

TEST_F(DeskEditTest, ADoubleClickOrEnterOpensTheFrameAndEscClosesIt)
{
    frmDeskTop* f = Open({Command("M_ON", 0, 1, 1), Command("M_OFF", 0, 2, 2)});
    // With two commands selected a double click opens nothing.
    QTest::mouseClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseClick(picCommand(f, 2), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    QTest::mouseDClick(picCommand(f, 2), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_FALSE(f->CommandInEdit());

    ClickDesk(f, 900, 10 * H + 10);
    QTest::mouseDClick(picCommand(f, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    ASSERT_TRUE(f->CommandInEdit());
    EXPECT_EQ(f->CommandInEditType(), QStringLiteral("M_ON"));
    // While the frame is open the arrows are the frame's.
    Key(f, Qt::Key_Down);
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0001"));
    Key(f, Qt::Key_Escape);
    EXPECT_FALSE(f->CommandInEdit());
    // The closed frame leaves the focus on its picture, whose keys still reach the map.
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(f->CursorPos(), QStringLiteral("0002"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(f->CommandInEdit());
    EXPECT_EQ(f->CommandInEditType(), QStringLiteral("M_OFF"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(f->CommandInEdit());
    // Enter on an empty cell opens nothing.
    f->setCursorPos(QStringLiteral("0005"));
    Key(f, Qt::Key_Return);
    EXPECT_FALSE(f->CommandInEdit());
}

// ---- the wheel and the bars

TEST_F(DeskEditTest, TheWheelScrollsThroughTheBars)
{
    frmDeskTop* f = Open({});
    f->SubWindow()->resize(PixX(3000), PixY(10 * H));
    Flush();
    ASSERT_GT(HScroll1(f)->maximum(), 0);
    const QPoint at(30, 30);
    QWheelEvent down(at, picDeskTop(f)->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(f, &down);
    EXPECT_GT(VScroll1(f)->value(), 0);
    EXPECT_EQ(picDeskTop(f)->Top(), -VScroll1(f)->value());
    QWheelEvent across(at, picDeskTop(f)->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                       Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f, &across);
    EXPECT_GT(HScroll1(f)->value(), 0);
    EXPECT_EQ(picDeskTop(f)->Left(), -HScroll1(f)->value());
}

TEST_F(DeskEditTest, WhereTheDeskFitsTheHorizontalBarHasNoRange)
{
    frmDeskTop* f = Open({});
    f->SubWindow()->resize(PixX(3000), PixY(10 * H));
    Flush();
    HScroll1(f)->setValue(HScroll1(f)->maximum());
    ASSERT_LT(picDeskTop(f)->Left(), 0);
    // Maximised, the window keeps to its desk's width and its bar follows the
    // size it has in the end: the desk stands where the bar says.
    f->SubWindow()->showMaximized();
    Flush();
    EXPECT_LE(f->SubWindow()->width(), picDeskTop(f)->width());
    EXPECT_LE(HScroll1(f)->maximum(), TwipX(f->SubWindow()->width() - f->width()) + TwipX(VScroll1(f)->width()));
    EXPECT_EQ(picDeskTop(f)->Left(), -HScroll1(f)->value());
    // A window wider than its desk (where the frame keeps its size) leaves
    // the bar no range and the desk at Left 0, once the area's size moves it.
    picDeskTop(f)->setWidth(TwipX(f->width()) - 2000);
    area->resize(area->width() + 20, area->height());
    Flush();
    EXPECT_EQ(HScroll1(f)->maximum(), 0);
    EXPECT_EQ(HScroll1(f)->value(), 0);
    EXPECT_FALSE(HScroll1(f)->isEnabled());
    EXPECT_EQ(picDeskTop(f)->Left(), 0);
}

// ---- leaving the window

TEST_F(DeskEditTest, LeavingTheWindowWithAToolChosenPlacesNothing)
{
    frmDeskTop* f = Open({Command("M_ON", 0, 1, 1)});
    // The command's frame is open, and a tool is chosen, as the window is left.
    f->setCursorPos(QStringLiteral("0001"));
    Key(f, Qt::Key_Return);
    ASSERT_TRUE(f->CommandInEdit());
    Tool("G_WAIT", "Wait");
    OpenTask(AddTask(QStringLiteral("Other")));
    ASSERT_NE(area->activeSubWindow(), f->SubWindow());
    EXPECT_FALSE(f->CommandInEdit());
    EXPECT_EQ(Grid(f), QStringLiteral("M_ON@0001"));
    EXPECT_FALSE(f->Document().ColCommand->Item("0001")->PicSelected);
    EXPECT_FALSE(f->Document().CursorVisible);
    EXPECT_FALSE(f->Document().shpSelect.Visible);
    EXPECT_FALSE(task->Dirty);
}

// ---- from the mouse to the listing

TEST_F(DeskEditTest, AProgramBuiltByMouseAndKeysIsSavedReopenedAndCompiled)
{
    QTemporaryDir data;
    App().DataFolder = data.path();
    FillNameTables();
    BuildRcxObjects();
    App().SetProjectName(QStringLiteral("Robo"));
    App().ProjectAction = 2;
    App().EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
    frmDeskTop* f = Open({});

    // Placed from the palette, one press each, down column 0.
    const char* keys[] = {"A_REM", "M_ON", "G_WAIT", "L_IF", "L_LOOP", "M_OFF"};
    int row = 1;
    for (const char* key : keys) {
        const CommandInfo* info = FindCommand(QString::fromLatin1(key));
        DeskPalette() = PaletteTool{info->key, info->caption};
        ClickDesk(f, 700 + 100, row++ * H + 100);
    }
    // Start motor and Wait copied and pasted after Stop motor, by keys.
    QTest::mouseClick(picCommand(f, f->Document().ColCommand->Item("0002")->PicIndex), Qt::LeftButton, Qt::NoModifier,
                      QPoint(10, 10));
    QTest::mouseClick(picCommand(f, f->Document().ColCommand->Item("0003")->PicIndex), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(10, 10));
    Key(f, Qt::Key_C, Qt::ControlModifier);
    f->setCursorPos(QStringLiteral("0006"));
    Key(f, Qt::Key_Down);
    Key(f, Qt::Key_V, Qt::ControlModifier);
    // The IF's branches and the LOOP's body in their own windows (Ctrl+J).
    auto fill = [&](const char* cell, std::initializer_list<std::pair<const char*, const char*>> placed) {
        area->setActiveSubWindow(f->SubWindow());
        f->setCursorPos(QString::fromLatin1(cell));
        Key(f, Qt::Key_J, Qt::ControlModifier);
        Flush();
        frmDeskTop* body = WindowOf(f->Document().ColCommand->Item(QString::fromLatin1(cell)).get());
        ASSERT_NE(body, nullptr);
        for (const auto& [key, at] : placed) {
            const CommandInfo* info = FindCommand(QString::fromLatin1(key));
            DeskPalette() = PaletteTool{info->key, info->caption};
            const QString k = QString::fromLatin1(at);
            ClickDesk(body, 700 + vb::Val(k.left(2)) * W + 100, vb::Val(k.right(2)) * H + 100);
        }
        body->Close();
        Flush();
    };
    fill("0004", {{"M_ON", "0001"}, {"M_OFF", "0101"}});
    fill("0005", {{"M_ON", "0001"}, {"G_WAIT", "0002"}, {"M_OFF", "0003"}});

    // What the parameter frames will store, set here as they would.
    std::function<void(const CommandCollectionPtr&)> setParameters = [&](const CommandCollectionPtr& grid) {
        for (const auto& e : *grid) {
            clsCommand& c = *e.item;
            if (c.KeyText().startsWith(QLatin1Char('M')))
                c.MotorList = QStringLiteral("0");
            if (c.CommandKey == CommandKey::G_WAIT) {
                c.Param1Source = 2;
                c.Param1Value = 1;
                c.Time = QStringLiteral("Second");
            }
            if (c.CommandKey == CommandKey::L_IF) {
                c.Param1Source = 3;
                c.Param1Value = QStringLiteral("Motor state A");
                c.Op = 2;
                c.Param2Source = 110;
                c.Param2Value = QStringLiteral("Motor-on");
            }
            if (c.CommandKey == CommandKey::L_LOOP) {
                c.Param1Source = 2;
                c.Param1Value = QStringLiteral("3");
            }
            if (c.Commands)
                setParameters(c.Commands);
        }
    };
    setParameters(task->Commands());
    ASSERT_TRUE(SaveProject());
    f->Close();
    Flush();

    App().ProjectAction = 1;
    ASSERT_TRUE(OpenProject());
    const CompileResult compiled = CompileProject(App());
    ASSERT_TRUE(compiled.ok);
    const QString listing = compiled.ListingText;
    const int start = int(listing.indexOf(QStringLiteral(".BeginOfTask 1")));
    ASSERT_GE(start, 0) << listing.toStdString();
    const QString main = listing.mid(start, listing.indexOf(QStringLiteral(".EndOfTask"), start) - start);
    const char* const expected =
        ".BeginOfTask 1\r\n"
        " .LOOP  2,0\r\n"
        "\t ' \r\n"
        "\t .On 0\r\n"
        "\t .Wait 2,100\r\n"
        "\t .SetVar 1,3,0 'from Compiler\r\n"
        "\t .AndVar 1,2,192 'from Compiler\r\n"
        "\t .If 0,1,2,2,128\r\n"
        "\t\t .On 0\r\n"
        "\t .Else\r\n"
        "\t\t .Off 0\r\n"
        "\t .EndIf\r\n"
        "\t .Loop 2,3\r\n"
        "\t\t .On 0\r\n"
        "\t\t .Wait 2,100\r\n"
        "\t\t .Off 0\r\n"
        "\t .EndLoop\r\n"
        "\t .Off 0\r\n"
        "\t .On 0\r\n"
        "\t .Wait 2,100\r\n"
        " .EndLoop\r\n"
        " ";
    EXPECT_EQ(main.toStdString(), expected) << listing.toStdString();
    EXPECT_TRUE(presenter.shown.isEmpty()) << presenter.texts().join(" | ").toStdString();
}
