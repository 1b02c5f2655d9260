// The grid document without a window: cursor and selection, placing, moving
// the selection, making room, closing gaps, the clipboard and delete.
#include "desktop/core/GridDocument.h"
#include "model/AppState.h"
#include "model/Grid.h"
#include "model/Notifier.h"

#include "support/MockCommandWindow.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A body window as the document sees it: a sub-grid's window; tests expect
// its Close().
class BodyWindow : public ::testing::NiceMock<MockCommandWindow> {
public:
    BodyWindow() { ON_CALL(*this, FormType()).WillByDefault(::testing::Return(2)); }
};

class CountingView : public IGridView {
public:
    int added = 0;
    void CommandAdded(clsCommand&) override { ++added; }
};

}  // namespace

class GridDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        App().InitParams = std::make_unique<clsInitParam>(*App().Config, *App().Presenter);
        task = std::make_shared<clsTask>();
        task->Name = QStringLiteral("Main");
        App().AddModule(task);
        doc = MakeDoc(task->Commands(), ModuleKind::Task);
        QObject::connect(App().Notifier.get(), &Notifier::ModuleChanged, &listener,
                         [this](const clsModule& module, Long, ModulePart) { told.append(module.Name); });
    }
    void TearDown() override { ResetApp(); }

    GridDocument MakeDoc(const CommandCollectionPtr& grid, Long kind)
    {
        GridDocument d(App());
        d.ColCommand = grid;
        d.FormType = kind;
        d.ParentTaskName = QStringLiteral("Main");
        d.View = &view;
        d.setCursorPos(QStringLiteral("0001"));
        return d;
    }

    // Puts a command of the key in a cell, as a loaded window holds it.
    std::shared_ptr<clsCommand> Put(GridDocument& d, const char* key, int x, int y)
    {
        auto c = std::make_shared<clsCommand>();
        c->SetKeyText(QString::fromLatin1(key));
        c->x = Integer(x);
        c->y = Integer(y);
        c->PicIndex = d.NextPicIndex();
        c->setPicCaption(0, QString::fromLatin1(key) + QString::number(y));
        d.ColCommand->Add(c, ColKey(x, y));
        d.CommandGrid(x, y) = true;
        return c;
    }
    std::shared_ptr<clsCommand> Put(const char* key, int x, int y) { return Put(doc, key, x, y); }

    // The grid as "cell=first caption" lines, in key order.
    static QString Cells(const GridDocument& d)
    {
        std::map<QString, QString> cells;
        for (const auto& e : *d.ColCommand) {
            EXPECT_EQ(e.key, ColKey(e.item->x, e.item->y));
            EXPECT_TRUE(d.CommandGrid(e.item->x, e.item->y));
            cells[e.key] = e.item->PicCaption(0);
        }
        int marked = 0;
        for (int c = 0; c < 2; ++c)
            for (int r = 0; r <= 40; ++r)
                marked += d.CommandGrid(c, r);
        EXPECT_EQ(marked, d.ColCommand->Count());
        QStringList out;
        for (const auto& [k, v] : cells)
            out << k + QLatin1Char('=') + v;
        return out.join(QLatin1Char(' '));
    }

    static double CenterX(int c) { return GridDocument::CellLeft(c) + GridDocument::CellWidth / 2; }
    static double CenterY(int r) { return GridDocument::CellTop(r) + GridDocument::CellHeight / 2; }

    TaskPtr task;
    CountingView view;
    // The edits of the module told (ModuleChanged), by module name.
    QStringList told;
    QObject listener;
    GridDocument doc{App()};
};

// ---- cursor and selection

TEST_F(GridDocumentTest, CursorKeysStopAtTheEdgesAndPagesStopAtTheEnds)
{
    struct Case {
        const char* from;
        int dc, dr;
        const char* to;
    } cases[] = {
        {"0001", 0, -1, "0001"}, {"0001", -1, 0, "0001"}, {"0140", 0, 1, "0140"},
        {"0140", 1, 0, "0140"},  {"0140", -1, 0, "0040"}, {"0005", 1, 0, "0105"},
    };
    for (const Case& c : cases) {
        doc.setCursorPos(QString::fromLatin1(c.from));
        doc.MoveCursor(c.dc, c.dr);
        EXPECT_EQ(doc.CursorPos(), QString::fromLatin1(c.to)) << c.from << " " << c.dc << "," << c.dr;
    }
    struct Page {
        const char* from;
        bool down;
        const char* to;
    } pages[] = {{"0035", true, "0040"}, {"0005", false, "0001"}, {"0020", false, "0012"}, {"0110", true, "0118"}};
    for (const Page& p : pages) {
        doc.setCursorPos(QString::fromLatin1(p.from));
        p.down ? doc.PageDown(8) : doc.PageUp(8);
        EXPECT_EQ(doc.CursorPos(), QString::fromLatin1(p.to)) << p.from;
    }
}

TEST_F(GridDocumentTest, ShiftClickAddsToTheSelectionAndAPlainClickReplacesIt)
{
    auto a = Put("M_ON", 0, 1), b = Put("M_OFF", 0, 2), c = Put("G_WAIT", 1, 3);
    doc.PressCommand(*a, false);
    doc.PressCommand(*c, true);
    EXPECT_TRUE(a->PicSelected && c->PicSelected);
    EXPECT_FALSE(b->PicSelected);
    EXPECT_EQ(doc.SelectedCount(), 2);
    EXPECT_EQ(doc.CursorPos(), QStringLiteral("0103"));
    EXPECT_FALSE(doc.ShiftClick);
    doc.PressCommand(*b, false);
    EXPECT_EQ(doc.SelectedCount(), 1);
    EXPECT_TRUE(b->PicSelected);
}

TEST_F(GridDocumentTest, RectangleSelectsWhatLiesWhollyInsideInEitherDirection)
{
    auto a = Put("M_ON", 1, 3), b = Put("M_OFF", 0, 7), cut = Put("G_WAIT", 0, 9);
    const double x0 = GridDocument::CellLeft(0) - 10, y0 = GridDocument::CellTop(3) - 10;
    const double x1 = GridDocument::CellLeft(2) + 10, y1 = GridDocument::CellTop(9) + 100;  // cuts row 9
    for (bool backwards : {false, true}) {
        doc.setCursorPos(QStringLiteral("0040"));
        const PaletteTool cursor;
        doc.PressOnDesk(backwards ? x1 : x0, backwards ? y1 : y0, cursor);
        doc.StretchSelection(backwards ? x0 : x1, backwards ? y0 : y1);
        EXPECT_FALSE(doc.CursorVisible);
        doc.ReleaseOnDesk(cursor);
        EXPECT_TRUE(a->PicSelected) << backwards;
        EXPECT_TRUE(b->PicSelected) << backwards;
        EXPECT_FALSE(cut->PicSelected) << backwards;
        EXPECT_EQ(doc.CursorPos(), QStringLiteral("0007")) << backwards;
        EXPECT_TRUE(doc.SelectionInBothColumns());
    }
}

// ---- placing

TEST_F(GridDocumentTest, DropCommandGivesTheDefaultsOfItsTool)
{
    struct Case {
        const char* key;
        const char* tip;
        const char* caption;
        int op;
    } cases[] = {{"M_FWD", "Forward A", "Forward", -1},
                 {"M_RWD", "Backward A", "Backward", -1},
                 {"M_OFF", "Stop motor", "Stop motor", 1},
                 {"G_WAIT", "Wait", "Wait", -1}};
    int row = 1;
    for (const Case& c : cases) {
        const auto co = doc.DropCommand(doc.NextPicIndex(), CenterX(0), CenterY(row++), QString(),
                                        PaletteTool{QString::fromLatin1(c.key), QString::fromLatin1(c.tip)});
        ASSERT_TRUE(co);
        EXPECT_EQ(co->KeyText(), QString::fromLatin1(c.key));
        EXPECT_EQ(co->PicCaption(0), QString::fromLatin1(c.caption));
        EXPECT_EQ(co->Op, c.op) << c.key;
        EXPECT_EQ(co->Param1Source.toDouble(), -1);
        EXPECT_EQ(co->Param2Value.toDouble(), -1);
    }
    const auto rem = doc.DropCommand(9, CenterX(1), CenterY(1), QString(), PaletteTool{"A_REM", "Comment"});
    EXPECT_EQ(rem->Param1Value.toString(), QString());
    EXPECT_TRUE(task->Dirty);
    EXPECT_EQ(view.added, 5);
    EXPECT_EQ(told.size(), 5);  // each command placed is an edit
}

TEST_F(GridDocumentTest, APressWithAToolPlacesOneCommandOnlyInsideTheGrid)
{
    const PaletteTool tool{QStringLiteral("M_ON"), QStringLiteral("Start motor")};
    for (auto [x, y] : {std::pair{600.0, CenterY(2)}, {CenterX(2), CenterY(2)}, {CenterX(0), CenterY(41)},
                        {CenterX(0), 100.0}}) {
        doc.PressOnDesk(x, y, tool);
        EXPECT_EQ(doc.ColCommand->Count(), 0) << x << "," << y;
    }
    EXPECT_TRUE(told.isEmpty());
    doc.PressOnDesk(CenterX(1), CenterY(4), tool);
    ASSERT_EQ(doc.ColCommand->Count(), 1);
    EXPECT_TRUE(doc.ColCommand->Item("0104")->PicSelected);
    EXPECT_EQ(told, QStringList{QStringLiteral("Main")});
    doc.ReleaseOnDesk(tool);
    EXPECT_EQ(doc.CursorPos(), QStringLiteral("0104"));
}

TEST_F(GridDocumentTest, DropOnATakenCellReplacesItsCommandAndClosesItsBodyWindow)
{
    auto old = Put("L_IF", 0, 2);
    old->Commands = std::make_shared<CommandCollection>();
    BodyWindow w;
    old->CommandWindow = &w;
    EXPECT_CALL(w, Close()).Times(::testing::AtLeast(1));
    doc.DropCommand(doc.NextPicIndex(), CenterX(0), CenterY(2), QString(), PaletteTool{"M_ON", "Start motor"});
    EXPECT_EQ(Cells(doc), QStringLiteral("0002=Start motor"));
    ::testing::Mock::VerifyAndClearExpectations(&w);
    EXPECT_EQ(old->CommandWindow, nullptr);
}

// ---- moving

TEST_F(GridDocumentTest, MovingTheSelection)
{
    struct Case {
        const char* what;
        int dc, dr;
        GridDocument::MoveResult result;
        const char* cells;
    } cases[] = {
        {"down one row onto a moving command", 0, 1, GridDocument::MoveResult::Moved,
         "0003=a 0004=b 0006=c"},
        {"into the other column", 1, 0, GridDocument::MoveResult::Moved, "0006=c 0102=a 0103=b"},
        {"onto a command that stays", 0, 3, GridDocument::MoveResult::Taken, "0002=a 0003=b 0006=c"},
        {"above row 1", 0, -2, GridDocument::MoveResult::Outside, "0002=a 0003=b 0006=c"},
        {"right of column 1", 2, 0, GridDocument::MoveResult::Outside, "0002=a 0003=b 0006=c"},
        {"left of column 0", -1, 0, GridDocument::MoveResult::Outside, "0002=a 0003=b 0006=c"},
        {"below row 40", 0, 38, GridDocument::MoveResult::Outside, "0002=a 0003=b 0006=c"},
    };
    for (const Case& c : cases) {
        SetUp();
        auto a = Put("M_ON", 0, 2), b = Put("M_OFF", 0, 3), s = Put("G_WAIT", 0, 6);
        a->setPicCaption(0, "a");
        b->setPicCaption(0, "b");
        s->setPicCaption(0, "c");
        doc.PressCommand(*a, false);
        doc.PressCommand(*b, true);
        const auto result = doc.MoveSelection([&](const clsCommand& co) {
            return GridCell{co.x + c.dc, co.y + c.dr};
        });
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(Cells(doc), QString::fromLatin1(c.cells)) << c.what;
        EXPECT_EQ(bool(task->Dirty), c.result == GridDocument::MoveResult::Moved) << c.what;
        if (c.result == GridDocument::MoveResult::Moved) {
            EXPECT_EQ(doc.colCopy.Count(), 2) << c.what;
            EXPECT_EQ(doc.CursorPos(), ColKey(a->x, a->y)) << c.what;
        }
    }
}

TEST_F(GridDocumentTest, APressAndReleaseInPlaceChangesNothing)
{
    auto a = Put("M_ON", 0, 2);
    doc.PressCommand(*a, false);
    EXPECT_EQ(doc.MoveSelection([](const clsCommand& co) { return GridCell{co.x, co.y}; }),
              GridDocument::MoveResult::Moved);
    EXPECT_FALSE(task->Dirty);
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(GridDocumentTest, MovingAnIfClosesItsBodyWindowAndKeepsItsBody)
{
    auto block = Put("L_IF", 0, 1);
    block->Commands = std::make_shared<CommandCollection>();
    block->Commands->Add(std::make_shared<clsCommand>(), QStringLiteral("0001"));
    const auto body = block->Commands;
    BodyWindow w;
    block->CommandWindow = &w;
    EXPECT_CALL(w, Close()).Times(::testing::AtLeast(1));
    doc.PressCommand(*block, false);
    doc.MoveSelection([](const clsCommand&) { return GridCell{1, 5}; });
    ::testing::Mock::VerifyAndClearExpectations(&w);
    ASSERT_TRUE(doc.ColCommand->Exists("0105"));
    EXPECT_EQ(doc.ColCommand->Item("0105")->Commands, body);
    EXPECT_EQ(doc.ColCommand->Item("0105")->CommandWindow, nullptr);
    EXPECT_EQ(told, QStringList{QStringLiteral("Main")});
}

// ---- room and gaps

TEST_F(GridDocumentTest, SpaceInColumnCountsFromRow40UpToTheCursorRow)
{
    doc.setCursorPos(QStringLiteral("0030"));
    EXPECT_EQ(doc.SpaceInColumn(1), 11);
    Put("M_ON", 0, 35);
    EXPECT_EQ(doc.SpaceInColumn(0), 5);
}

TEST_F(GridDocumentTest, MakeRoomAtTheBottomOfColumn0MovesOnIntoColumn1InATaskOnly)
{
    for (Long kind : {Long(ModuleKind::Task), Long(ModuleKind::IfBody)}) {
        SetUp();
        doc.FormType = kind;
        Put("M_ON", 0, 38)->setPicCaption(0, "r38");
        Put("M_ON", 0, 39)->setPicCaption(0, "r39");
        Put("M_ON", 0, 40)->setPicCaption(0, "r40");
        Put("M_ON", 1, 1)->setPicCaption(0, "c1");
        doc.setCursorPos(QStringLiteral("0039"));
        if (kind == ModuleKind::Task) {
            EXPECT_TRUE(doc.MakeRoom(1));
            EXPECT_EQ(Cells(doc), QStringLiteral("0038=r38 0040=r39 0101=r40 0102=c1"));
            EXPECT_EQ(doc.CursorPos(), QStringLiteral("0039"));
            EXPECT_TRUE(task->Dirty);
            EXPECT_EQ(doc.CurrentRow, 39);
        } else {
            EXPECT_FALSE(doc.MakeRoom(1));
            EXPECT_EQ(Cells(doc), QStringLiteral("0038=r38 0039=r39 0040=r40 0101=c1"));
            EXPECT_FALSE(task->Dirty);
        }
    }
}

TEST_F(GridDocumentTest, MakeRoomInColumn1NeedsColumn1sOwnCells)
{
    for (int r = 1; r <= 39; ++r)
        Put("M_ON", 1, r);
    doc.setCursorPos(QStringLiteral("0105"));
    EXPECT_FALSE(doc.MakeRoom(2));
    EXPECT_FALSE(task->Dirty);
    EXPECT_TRUE(doc.MakeRoom(1));
    EXPECT_FALSE(doc.CommandGrid(1, 5));
    EXPECT_TRUE(doc.CommandGrid(1, 40));
}

TEST_F(GridDocumentTest, CloseGapsMovesCommandsUpWithinTheirColumn)
{
    Put("M_ON", 0, 2)->setPicCaption(0, "a");
    Put("M_ON", 0, 5)->setPicCaption(0, "b");
    Put("M_ON", 0, 9)->setPicCaption(0, "c");
    Put("M_ON", 1, 40)->setPicCaption(0, "d");
    doc.ColCommand->Item("0005")->PicSelected = True;
    doc.setCursorPos(QStringLiteral("0120"));
    doc.CloseGaps();
    EXPECT_EQ(Cells(doc), QStringLiteral("0001=a 0002=b 0003=c 0101=d"));
    EXPECT_FALSE(doc.ColCommand->Item("0002")->PicSelected);
    EXPECT_EQ(doc.CursorPos(), QStringLiteral("0120"));
    EXPECT_EQ(told, QStringList{QStringLiteral("Main")});
}

// ---- clipboard and delete

TEST_F(GridDocumentTest, PasteOfThreeCommandsFromRows2_5_9AtRow10)
{
    for (int r : {2, 5, 9})
        Put("G_WAIT", 0, r)->setPicCaption(0, QStringLiteral("w%1").arg(r));
    Put("M_ON", 0, 10)->setPicCaption(0, "x10");
    Put("M_ON", 0, 11)->setPicCaption(0, "x11");
    for (int r : {2, 5, 9})
        doc.ColCommand->Item(ColKey(0, r))->PicSelected = True;
    doc.Copy();
    ASSERT_EQ(App().CommandClipboard.Count(), 3);
    doc.setCursorPos(QStringLiteral("0010"));
    ASSERT_TRUE(doc.Paste());
    EXPECT_EQ(Cells(doc),
              QStringLiteral("0002=w2 0005=w5 0009=w9 0010=w2 0011=w5 0012=w9 0013=x10 0014=x11"));
    // The cursor stays on row 10 and selects what is there now.
    EXPECT_EQ(doc.SelectedCount(), 1);
    EXPECT_TRUE(doc.ColCommand->Item("0010")->PicSelected);
    EXPECT_EQ(App().CommandClipboard.Count(), 3);  // the clipboard keeps them
}

TEST_F(GridDocumentTest, PasteWithoutRoomOrWithAnEmptyClipboardPlacesNothing)
{
    App().CommandClipboard.Clear();
    EXPECT_TRUE(doc.Paste());
    EXPECT_EQ(doc.ColCommand->Count(), 0);
    EXPECT_FALSE(task->Dirty);
    for (int r = 1; r <= 40; ++r) {
        Put("M_ON", 0, r);
        Put("M_ON", 1, r);
    }
    App().CommandClipboard.Add(std::make_shared<clsCommand>(), QStringLiteral("0001"));
    EXPECT_FALSE(doc.Paste());
    EXPECT_FALSE(doc.InsertSpace());
    EXPECT_EQ(doc.ColCommand->Count(), 80);
}

TEST_F(GridDocumentTest, CopiesAreDeepAndPasteIntoAnotherWindowIsIndependent)
{
    // An IF whose THEN branch holds a LOOP with two commands.
    auto block = Put("L_IF", 0, 1);
    block->Commands = std::make_shared<CommandCollection>();
    auto loop = std::make_shared<clsCommand>();
    loop->SetKeyText(QStringLiteral("L_LOOP"));
    loop->x = 0;
    loop->y = 1;
    loop->Commands = std::make_shared<CommandCollection>();
    for (int r : {1, 2}) {
        auto c = std::make_shared<clsCommand>();
        c->SetKeyText(QStringLiteral("M_ON"));
        c->y = Integer(r);
        loop->Commands->Add(c, ColKey(0, r));
    }
    block->Commands->Add(loop, QStringLiteral("0001"));
    block->Param1Value = QStringLiteral("Sensor 1");
    block->Op = 2;
    doc.PressCommand(*block, false);
    doc.Copy();

    auto other = std::make_shared<clsSub>();
    other->Name = QStringLiteral("Other");
    App().AddModule(other);
    GridDocument second = MakeDoc(other->Commands(), ModuleKind::Sub);
    second.ParentTaskName = other->Name;
    second.setCursorPos(QStringLiteral("0103"));
    ASSERT_TRUE(second.Paste());
    ASSERT_TRUE(second.ColCommand->Exists("0103"));
    const auto pasted = second.ColCommand->Item("0103");
    EXPECT_EQ(pasted->KeyText(), QStringLiteral("L_IF"));
    EXPECT_EQ(pasted->Param1Value.toString(), QStringLiteral("Sensor 1"));
    EXPECT_EQ(pasted->Op, 2);
    EXPECT_TRUE(other->Dirty);
    ASSERT_TRUE(pasted->Commands);
    const auto pastedLoop = pasted->Commands->Item("0001");
    ASSERT_EQ(pastedLoop->Commands->Count(), 2);
    EXPECT_NE(pastedLoop->Commands, loop->Commands);
    pastedLoop->Commands->Remove(1);
    EXPECT_EQ(loop->Commands->Count(), 2);
    // A second paste is independent of the first.
    second.setCursorPos(QStringLiteral("0110"));
    ASSERT_TRUE(second.Paste());
    EXPECT_EQ(second.ColCommand->Item("0110")->Commands->Item("0001")->Commands->Count(), 2);
}

TEST_F(GridDocumentTest, CutAndPasteMovesCommandsWithTheirBodies)
{
    auto block = Put("L_WHILE", 0, 1);
    block->Commands = std::make_shared<CommandCollection>();
    block->Commands->Add(std::make_shared<clsCommand>(), QStringLiteral("0001"));
    doc.PressCommand(*block, false);
    doc.Copy();
    doc.DeleteSelection();
    EXPECT_EQ(doc.ColCommand->Count(), 0);

    auto other = std::make_shared<clsTask>();
    other->Name = QStringLiteral("Second");
    GridDocument second = MakeDoc(other->Commands(), ModuleKind::Task);
    ASSERT_TRUE(second.Paste());
    EXPECT_EQ(second.ColCommand->Item("0001")->Commands->Count(), 1);
}

TEST_F(GridDocumentTest, DeleteRemovesTheSelectionClosesItsWindowsAndTheGaps)
{
    for (int r = 1; r <= 5; ++r)
        Put("M_ON", 0, r)->setPicCaption(0, QStringLiteral("r%1").arg(r));
    Put("M_ON", 1, 4)->setPicCaption(0, "b4");
    auto three = doc.ColCommand->Item("0003");
    three->SetKeyText(QStringLiteral("L_LOOP"));
    BodyWindow w;
    three->CommandWindow = &w;
    EXPECT_CALL(w, Close()).Times(::testing::AtLeast(1));
    doc.PressCommand(*three, false);
    App().InitParams->setConfirmDelete(1);
    EXPECT_TRUE(doc.DeleteNeedsConfirmation());
    App().InitParams->setConfirmDelete(0);
    EXPECT_FALSE(doc.DeleteNeedsConfirmation());
    doc.DeleteSelection();
    ::testing::Mock::VerifyAndClearExpectations(&w);
    EXPECT_EQ(Cells(doc), QStringLiteral("0001=r1 0002=r2 0003=r4 0004=r5 0101=b4"));
    EXPECT_EQ(doc.CursorPos(), QStringLiteral("0003"));
    EXPECT_EQ(doc.SelectedCount(), 1);  // the cursor's cell selects its new command
}

TEST_F(GridDocumentTest, ConfirmationIsAskedOnlyForBlocks)
{
    App().InitParams->setConfirmDelete(1);
    auto on = Put("M_ON", 0, 1);
    doc.PressCommand(*on, false);
    EXPECT_FALSE(doc.DeleteNeedsConfirmation());
    auto block = Put("l_if", 0, 2);
    doc.PressCommand(*block, true);
    EXPECT_TRUE(doc.DeleteNeedsConfirmation());
}
