#include "desktop/core/GridDocument.h"

#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Grid.h"
#include "model/ModuleManagement.h"
#include "model/VbError.h"

#include <algorithm>
#include <cmath>

bool& GridDocument::CommandGrid(int column, int row)
{
    if (column < 0 || column > 2 || row < 0 || row > 60)
        raiseError(Err::SubscriptOutOfRange);
    return mGrid[column][row];
}

bool GridDocument::CommandGrid(int column, int row) const
{
    return const_cast<GridDocument*>(this)->CommandGrid(column, row);
}

void GridDocument::ClearGrid()
{
    for (auto& column : mGrid)
        for (bool& cell : column)
            cell = false;
}

QString GridDocument::ColKey(bool Flag, int Mx, int My) const
{
    return Flag ? ::ColKey(Mx, My) : ::ColKey(CurrentColumn, CurrentRow);
}

GridCell GridDocument::CellAt(double x, double y)
{
    return {int(std::floor((x - LeftMargin) / CellWidth)), int(std::floor(y / CellHeight))};
}

GridCell GridDocument::CellOfKey(const QString& key)
{
    return {int(vb::Val(key.left(2))), int(vb::Val(key.right(2)))};
}

bool GridDocument::InsideGrid(const GridCell& cell)
{
    return cell.column >= 0 && cell.column <= 1 && cell.row >= 1 && cell.row <= Rows;
}

std::shared_ptr<clsCommand> GridDocument::CommandAt(int column, int row) const
{
    if (!ColCommand || column < 0 || column > 2 || row < 0 || row > 60 || !mGrid[column][row])
        return nullptr;
    const QString key = ::ColKey(column, row);
    return ColCommand->Exists(key) ? ColCommand->Item(key) : nullptr;
}

std::shared_ptr<clsCommand> GridDocument::CommandAtCursor() const
{
    return CommandAt(CurrentColumn, CurrentRow);
}

std::shared_ptr<clsCommand> GridDocument::CommandOfPicture(Integer index) const
{
    if (!ColCommand)
        return nullptr;
    for (const auto& e : *ColCommand)
        if (e.item && e.item->PicIndex == index)
            return e.item;
    return nullptr;
}

Integer GridDocument::NextPicIndex() const
{
    Integer top = 0;
    if (ColCommand)
        for (const auto& e : *ColCommand)
            if (e.item && e.item->PicIndex > top)
                top = e.item->PicIndex;
    return Integer(top + 1);
}

void GridDocument::Dirty()
{
    mApp->MarkModuleChanged(ParentTaskName, ModulePart::Commands);
}

// ---- cursor and selection

void GridDocument::setCursorPos(const QString& key)
{
    if (key == QLatin1String("0")) {
        CursorVisible = false;
        return;
    }
    CursorVisible = true;
    const double column = vb::Val(key.left(2));
    const double row = vb::Val(key.right(2));
    if (column > 1 || column < 0 || row > Rows || row < 1)
        return;
    CurrentColumn = vb::CInt(column);
    CurrentRow = vb::CInt(row);
    CursorKey = ColKey(true, CurrentColumn, CurrentRow);
    if (CommandGrid(CurrentColumn, CurrentRow)) {
        CursorVisible = false;
        const auto co = ColCommand->Item(CursorKey);
        if (!co->PicSelected)
            CalcPicSelection(co->PicIndex);
    } else {
        CursorVisible = true;
        CalcPicSelection(0);
    }
}

void GridDocument::CalcPicSelection(Integer Index)
{
    colCopy.Clear();
    if (ColCommand) {
        for (const auto& e : *ColCommand) {
            const auto& co = e.item;
            if (!co || (View && !View->CommandShown(*co)))
                continue;
            bool select = false, deselect = false;
            if (Index < 1) {
                const double left = CellLeft(co->x), top = CellTop(co->y);
                select = left > shpSelect.Left && shpSelect.Left + shpSelect.Width > left + CellWidth
                         && top > shpSelect.Top && shpSelect.Top + shpSelect.Height > top + CellHeight;
                deselect = !select;
            } else if (co->PicIndex == Index) {
                select = true;
            } else {
                deselect = !ShiftClick;
            }
            if (select) {
                co->PicSelected = True;
                colCopy.Add(co, ColKey(true, co->x, co->y));
            } else if (deselect) {
                co->PicSelected = False;
            }
        }
    }
    ShiftClick = False;
    if (colCopy.isEmpty())
        CursorVisible = true;
}

int GridDocument::SelectedCount() const
{
    int n = 0;
    if (ColCommand)
        for (const auto& e : *ColCommand)
            n += e.item && e.item->PicSelected;
    return n;
}

bool GridDocument::SelectionInBothColumns() const
{
    bool left = false, right = false;
    for (const auto& e : colCopy) {
        left |= e.item->x == 0;
        right |= e.item->x == 1;
    }
    return left && right;
}

void GridDocument::MoveCursor(int columns, int rows)
{
    const GridCell at = CellOfKey(CursorKey);
    setCursorPos(ColKey(true, at.column + columns, at.row + rows));
}

void GridDocument::PageUp(int page)
{
    const GridCell at = CellOfKey(CursorKey);
    setCursorPos(ColKey(true, at.column, at.row - page >= 1 ? at.row - page : 1));
}

void GridDocument::PageDown(int page)
{
    const GridCell at = CellOfKey(CursorKey);
    setCursorPos(ColKey(true, at.column, at.row + page > Rows ? Rows : at.row + page));
}

// ---- placing

void GridDocument::CloseBodyWindow(clsCommand& co)
{
    if (ICommandWindow* w = co.CommandWindow) {
        co.CommandWindow = nullptr;
        w->Close();
    }
}

void GridDocument::RemoveAt(int column, int row)
{
    const QString key = ::ColKey(column, row);
    if (ColCommand->Exists(key)) {
        const auto old = ColCommand->Item(key);
        // A replaced block takes its open body window with it.
        if (old)
            CloseBodyWindow(*old);
        ColCommand->Remove(key);
    }
    CommandGrid(column, row) = false;
}

std::shared_ptr<clsCommand> GridDocument::DropCommand(Integer index, double x, double y, const QString& key,
                                                      const PaletteTool& tool)
{
    const GridCell cell = CellAt(x, y);
    if (!InsideGrid(cell))
        return nullptr;
    CurrentColumn = Integer(cell.column);
    CurrentRow = Integer(cell.row);
    if (!ColCommand)
        ColCommand = std::make_shared<CommandCollection>();

    auto co = std::make_shared<clsCommand>();
    co->Param1Source = -1;
    co->Param1Value = -1;
    co->Param2Source = -1;
    co->Param2Value = -1;
    co->Op = -1;
    if (CommandGrid(cell.column, cell.row))
        RemoveAt(cell.column, cell.row);
    co->PicIndex = index;
    co->x = CurrentColumn;
    co->y = CurrentRow;
    co->SetKeyText(key.isEmpty() ? tool.key : key);
    if (co->CommandKey == CommandKey::M_OFF)
        co->Op = 1;
    // The caption and the comment's empty text follow the palette's tool,
    // also when a key is given.
    const CommandKey toolKey = CommandKeyOf(tool.key);
    if (toolKey == CommandKey::M_FWD)
        co->setPicCaption(0, QStringLiteral("Forward"));
    else if (toolKey == CommandKey::M_RWD)
        co->setPicCaption(0, QStringLiteral("Backward"));
    else
        co->setPicCaption(0, tool.toolTip);
    if (toolKey == CommandKey::A_REM)
        co->Param1Value = QString();
    objCommand = co;
    ColCommand->Add(co, ColKey(false, 0, 0));
    Dirty();
    CommandGrid(cell.column, cell.row) = true;
    if (View)
        View->CommandAdded(*co);
    return co;
}

void GridDocument::SetCommandData(const std::shared_ptr<clsCommand>& Co, Integer Index, bool IsSelected)
{
    // The command keeps its identity (an open body window stays bound to it)
    // and takes the current cell.
    Co->x = CurrentColumn;
    Co->y = CurrentRow;
    Co->PicIndex = Index;
    Co->PicSelected = IsSelected ? True : False;
    ColCommand->Add(Co, ColKey(false, 0, 0));
    CommandGrid(CurrentColumn, CurrentRow) = true;
}

// ---- the desk's mouse

void GridDocument::PressOnDesk(double x, double y, const PaletteTool& tool)
{
    const GridCell cell = CellAt(x, y);
    if (!tool.isCursor()) {
        if (DropCommand(NextPicIndex(), x, y, QString(), tool))
            CalcPicSelection(objCommand->PicIndex);
        return;
    }
    shpSelect = {x, y, 1, 1, true};
    SelectStartX = x;
    SelectStartY = y;
    setCursorPos(ColKey(true, cell.column, cell.row));
    CalcPicSelection(0);
}

void GridDocument::StretchSelection(double x, double y)
{
    CursorVisible = false;
    // On each axis the rectangle spans from the press to the pointer, either way.
    const auto span = [](double from, double to, double& start, double& length) {
        start = std::min(from, to);
        length = std::abs(to - from);
    };
    span(SelectStartX, x, shpSelect.Left, shpSelect.Width);
    span(SelectStartY, y, shpSelect.Top, shpSelect.Height);
}

QString GridDocument::SmallestSelectedKey() const
{
    QString smallest = QStringLiteral("9999");
    for (const auto& e : colCopy) {
        const QString key = ColKey(true, e.item->x, e.item->y);
        if (key < smallest)
            smallest = key;
    }
    return smallest;
}

void GridDocument::ReleaseOnDesk(const PaletteTool& tool)
{
    if (!tool.isCursor()) {
        setCursorPos(ColKey(false, 0, 0));
        return;
    }
    shpSelect.Visible = false;
    CalcPicSelection(0);
    setCursorPos(SmallestSelectedKey());
    CalcPicSelection(0);
    shpSelect.Width = 1;
    shpSelect.Height = 1;
}

void GridDocument::PressCommand(const clsCommand& command, bool shiftClick)
{
    ShiftClick = shiftClick ? True : False;
    CurrentColumn = command.x;
    CurrentRow = command.y;
    setCursorPos(ColKey(false, 0, 0));
    if (!command.PicSelected)
        CalcPicSelection(command.PicIndex);
    ShiftClick = False;
}

// ---- moving the selection

GridDocument::MoveResult GridDocument::MoveSelection(const std::function<GridCell(const clsCommand&)>& targetOf)
{
    if (!ColCommand)
        return MoveResult::Moved;
    bool before[2][41];
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r <= Rows; ++r)
            before[c][r] = mGrid[c][r];

    struct Move {
        std::shared_ptr<clsCommand> co;
        GridCell to;
    };
    std::vector<Move> moves;
    for (const auto& e : *ColCommand)
        if (e.item && e.item->PicSelected && (!View || View->CommandShown(*e.item)))
            moves.push_back({e.item, targetOf(*e.item)});
    auto movingFrom = [&](const GridCell& cell) {
        for (const Move& m : moves)
            if (m.co->x == cell.column && m.co->y == cell.row)
                return true;
        return false;
    };
    for (const Move& m : moves) {
        if (!InsideGrid(m.to))
            return MoveResult::Outside;
        if (CommandGrid(m.to.column, m.to.row) && !movingFrom(m.to))
            return MoveResult::Taken;
    }
    for (const Move& m : moves) {
        CommandGrid(m.co->x, m.co->y) = false;
        ColCommand->Remove(ColKey(true, m.co->x, m.co->y));
    }
    for (const Move& m : moves) {
        CurrentColumn = Integer(m.to.column);
        CurrentRow = Integer(m.to.row);
        if (CommandGrid(m.to.column, m.to.row))
            RemoveAt(m.to.column, m.to.row);
        CloseBodyWindow(*m.co);
        SetCommandData(m.co, m.co->PicIndex, true);
    }
    colCopy.Clear();
    for (const auto& e : *ColCommand)
        if (e.item && e.item->PicSelected)
            colCopy.Add(e.item, ColKey(true, e.item->x, e.item->y));
    setCursorPos(SmallestSelectedKey());
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r <= Rows; ++r)
            if (before[c][r] != mGrid[c][r]) {
                Dirty();
                return MoveResult::Moved;
            }
    return MoveResult::Moved;
}

// ---- room and gaps

int GridDocument::SpaceInColumn(int ColNum) const
{
    int n = 0;
    for (int row = Rows; row >= CurrentRow && row >= 1; --row) {
        if (CommandGrid(ColNum, row))
            break;
        ++n;
    }
    return n;
}

bool GridDocument::MakeRoom(int Count)
{
    const int s0 = SpaceInColumn(0), s1 = SpaceInColumn(1);
    if (FormType == 2 && CurrentColumn == 0 && s0 < Count)
        return false;
    if (s0 + s1 < Count || (CurrentColumn == 1 && s1 < Count))
        return false;
    const ProjectDocument::EditBatch edit(*mApp);
    for (int i = 0; i < Count; ++i)
        ShiftDown(CurrentColumn);
    return true;
}

void GridDocument::ShiftDown(int ColNum)
{
    const ProjectDocument::EditBatch edit(*mApp);
    const Integer keepColumn = CurrentColumn, keepRow = CurrentRow;
    for (int row = Rows; row >= keepRow; --row) {
        if (!CommandGrid(ColNum, row))
            continue;
        const QString key = ColKey(true, ColNum, row);
        const auto co = ColCommand->Item(key);
        ColCommand->Remove(key);
        CommandGrid(ColNum, row) = false;
        if (ColNum == 0 && row == Rows) {
            CurrentColumn = 1;
            CurrentRow = 1;
            ShiftDown(1);
        } else {
            CurrentRow = Integer(row + 1);
            CurrentColumn = Integer(ColNum);
        }
        SetCommandData(co, co->PicIndex, false);
        Dirty();
    }
    CurrentColumn = keepColumn;
    CurrentRow = keepRow;
}

void GridDocument::CloseGaps()
{
    if (!ColCommand)
        return;
    const ProjectDocument::EditBatch edit(*mApp);
    for (int column = 0; column <= 1; ++column) {
        for (int row = 1; row <= Rows; ++row) {
            if (CommandGrid(column, row))
                continue;
            for (int below = row + 1; below <= Rows; ++below) {
                if (!CommandGrid(column, below))
                    continue;
                const QString key = ColKey(true, column, below);
                const auto co = ColCommand->Item(key);
                ColCommand->Remove(key);
                CommandGrid(column, below) = false;
                CurrentColumn = Integer(column);
                CurrentRow = Integer(row);
                SetCommandData(co, co->PicIndex, false);
                Dirty();
                break;
            }
        }
    }
}

// ---- clipboard

namespace {

// What a copied command takes from its original: its settings, its captions
// and a copy of its body, but not its place, picture or window.
void copySettings(clsCommand& c, const clsCommand& s)
{
    c.MotorList = s.MotorList;
    c.Speed = s.Speed;
    c.Time = s.Time;
    c.setPicCaption(0, s.PicCaption(0));
    c.setPicCaption(1, s.PicCaption(1));
    c.Param1Source = s.Param1Source;
    c.Param1Value = s.Param1Value;
    c.Param2Source = s.Param2Source;
    c.Param2Value = s.Param2Value;
    c.Op = s.Op;
    c.Commands = GridDocument::CopyCommands(s.Commands);
}

}  // namespace

CommandCollectionPtr GridDocument::CopyCommands(const CommandCollectionPtr& Commands)
{
    if (!Commands)
        return nullptr;
    auto copy = std::make_shared<CommandCollection>();
    for (const auto& e : *Commands) {
        const clsCommand& s = *e.item;
        auto c = std::make_shared<clsCommand>();
        c->SetKeyText(s.KeyText());
        copySettings(*c, s);
        c->PicIndex = s.PicIndex;
        c->mNumber = s.mNumber;
        c->x = s.x;
        c->y = s.y;
        copy->Add(c, ::ColKey(c->x, c->y));
    }
    return copy;
}

void GridDocument::Copy()
{
    CommandCollection& clip = mApp->CommandClipboard;
    clip.Clear();
    if (!ColCommand)
        return;
    for (const auto& e : *ColCommand) {
        const auto& s = e.item;
        if (!s || !s->PicSelected)
            continue;
        auto c = std::make_shared<clsCommand>();
        c->x = s->x;
        c->y = s->y;
        c->PicIndex = s->PicIndex;
        c->SetKeyText(s->KeyText());
        copySettings(*c, *s);
        clip.Add(c, ::ColKey(c->x, c->y));
    }
}

bool GridDocument::DeleteNeedsConfirmation() const
{
    if (!mApp->InitParams || mApp->InitParams->ConfirmDelete() != 1 || !ColCommand)
        return false;
    for (const auto& e : *ColCommand)
        if (e.item && e.item->PicSelected && OpensBlock(e.item->CommandKey))
            return true;
    return false;
}

void GridDocument::DeleteSelection()
{
    const ProjectDocument::EditBatch edit(*mApp);
    colCopy.Clear();
    if (ColCommand) {
        std::vector<std::shared_ptr<clsCommand>> doomed;
        for (const auto& e : *ColCommand)
            if (e.item && e.item->PicSelected)
                doomed.push_back(e.item);
        for (const auto& co : doomed) {
            CloseBodyWindow(*co);
            ColCommand->Remove(ColKey(true, co->x, co->y));
            Dirty();
            CommandGrid(co->x, co->y) = false;
        }
    }
    CloseGaps();
    setCursorPos(CursorKey);
}

bool GridDocument::Paste()
{
    const ProjectDocument::EditBatch edit(*mApp);
    const CommandCollection& clip = mApp->CommandClipboard;
    if (!MakeRoom(clip.Count()))
        return false;
    if (!clip.isEmpty()) {
        const int column = clip.Item(1)->x;
        int pasteColumn = CurrentColumn, pasteRow = CurrentRow;
        for (int row = 1; row <= Rows; ++row) {
            const QString key = ::ColKey(column, row);
            if (!clip.Exists(key))
                continue;
            const clsCommand& s = *clip.Item(key);
            const auto co = DropCommand(NextPicIndex(), CellLeft(pasteColumn) + CellWidth / 2,
                                        CellTop(pasteRow) + CellHeight / 2, s.KeyText(), PaletteTool{});
            if (co) {
                copySettings(*co, s);
                co->CommandWindow = nullptr;
                co->PicSelected = False;
            }
            ++pasteRow;
        }
    }
    setCursorPos(CursorKey);
    return true;
}

bool GridDocument::InsertSpace()
{
    if (!MakeRoom(1))
        return false;
    setCursorPos(CursorKey);
    return true;
}
