#include "desktop/DeskController.h"

#include "desktop/DeskView.h"
#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Messages.h"
#include "model/VbError.h"

// ---- the desk's mouse

void DeskController::DeskMouseDown(int Button, double x, double y)
{
    if (w.CommandInEdit())
        return;
    w.FocusDesk();
    if (Button == 2) {
        const GridCell cell = GridDocument::CellAt(x, y);
        if (x < GridDocument::LeftMargin || !GridDocument::InsideGrid(cell))
            return;
        SetCursor(d.ColKey(true, cell.column, cell.row));
        Select(0);
        w.PopupOnDesk();
        return;
    }
    const PaletteTool tool = w.CurrentTool();
    // A press in the band above row 1 places nothing.
    if (!tool.isCursor() && GridDocument::CellAt(x, y).row < 1)
        return;
    d.PressOnDesk(x, y, tool);
    v.SyncPictures();
}

void DeskController::DeskMouseMove(int Button, double x, double y)
{
    if (w.CommandInEdit())
        return;
    if (w.CurrentTool().isCursor()) {
        v.ShowPlacingPointer(false);
        if (Button != 0 && d.shpSelect.Visible) {
            d.StretchSelection(x, y);
            v.SyncPictures();
        }
    } else {
        v.ShowPlacingPointer(true);
    }
}

void DeskController::DeskMouseUp()
{
    if (w.CommandInEdit())
        return;
    v.ScrollScr();
    const PaletteTool tool = w.CurrentTool();
    if (!tool.isCursor()) {
        w.ResetTool();
        v.RepaintDesk();
        d.ReleaseOnDesk(tool);
        v.SyncPictures();
        v.ScrollScr();
    } else if (d.shpSelect.Visible) {
        d.ReleaseOnDesk(tool);
        v.SyncPictures();
    }
    if (d.CurrentColumn == 0)
        v.ScrollToLeftEdge();
}

// ---- the command pictures' mouse

void DeskController::CommandMouseDown(Integer Index, int Button, int Shift, double X, double Y)
{
    if (w.CommandInEdit())
        return;
    PicCommandBox* pic = v.picCommand(Index);
    const auto co = d.CommandOfPicture(Index);
    if (!pic || !co)
        return;
    w.FocusDesk();
    d.ShiftClick = (Button == 1 && Shift == 1) ? True : False;
    v.CalcCmdPos(Index);
    SetCursor(d.ColKey(false, 0, 0));
    if (!co->PicSelected)
        Select(Index);
    d.ShiftClick = False;

    const PaletteTool tool = w.CurrentTool();
    if (Button == 2) {
        v.ShowPlacingPointer(false);
        w.ResetTool();
        pic->ZOrder();
        w.PopupOnCommand(*co);
        return;
    }
    if (!tool.isCursor()) {
        ReplaceWithTool(tool, *co, *pic, X, Y);
        return;
    }
    pic->setMouseIcon(PickIcon::Pick);
    DragStartX = vb::CInt(X);
    DragStartY = vb::CInt(Y);
    pic->ZOrder();
    d.objCommand = co;
}

void DeskController::ReplaceWithTool(const PaletteTool& tool, const clsCommand& co, PicCommandBox& pic, double X,
                                     double Y)
{
    if (SameCommandKey(tool.key, co.KeyText()))
        return;
    if (ShowMessage(QStringLiteral("Replace command"), MsgStyle::Question + MsgStyle::OkCancel) == MsgResult::OK) {
        d.DropCommand(Integer(v.picCommandUBound() + 1), pic.Left() + X, pic.Top() + Y, QString(), tool);
        v.SyncPictures();
    }
    w.ResetTool();
}

void DeskController::CommandMouseMove(Integer Index, int Button, double X, double Y)
{
    if (w.CommandInEdit())
        return;
    PicCommandBox* pic = v.picCommand(Index);
    if (!pic)
        return;
    if (!w.CurrentTool().isCursor()) {
        pic->setMouseIcon(PickIcon::Put);
        return;
    }
    if (Button == 0)
        pic->setMouseIcon(PickIcon::Hand);
    if (pic->MouseIcon() != PickIcon::Pick || Button == 0 || !d.ColCommand)
        return;
    const double dx = X - DragStartX, dy = Y - DragStartY;
    for (const auto& e : *d.ColCommand) {
        if (!e.item || !e.item->PicSelected)
            continue;
        if (PicCommandBox* p = v.picCommand(e.item->PicIndex)) {
            p->Move(p->Left() + dx, p->Top() + dy);
            p->ZOrder();
        }
    }
    if (++MoveCount >= 10) {
        v.RepaintDesk();
        MoveCount = 0;
    }
}

void DeskController::CommandMouseUp(Integer Index)
{
    if (w.CommandInEdit())
        return;
    PicCommandBox* pic = v.picCommand(Index);
    if (!pic)
        return;
    v.ScrollScr();
    if (!w.CurrentTool().isCursor()) {
        w.ResetTool();
        return;
    }
    if (pic->MouseIcon() != PickIcon::Pick)
        return;
    pic->setMouseIcon(PickIcon::Hand);
    const auto result = d.MoveSelection([this](const clsCommand& co) {
        v.CalcCmdPos(co.PicIndex);
        return GridCell{d.CurrentColumn, d.CurrentRow};
    });
    v.SyncPictures();
    if (result == GridDocument::MoveResult::Outside)
        ShowMessage(QStringLiteral("One of the commands is outside the edit area"), MsgStyle::Exclamation);
    else if (result == GridDocument::MoveResult::Taken)
        ShowMessage(QStringLiteral("This place is taken! Make some room and try again"), MsgStyle::Exclamation);
    else if (d.CurrentColumn == 0)
        v.ScrollToLeftEdge();
}

void DeskController::CommandDblClick()
{
    if (w.CommandInEdit())
        return;
    App().Shell->DoEvents();
    if (d.SelectedCount() <= 1)
        w.mnuUpdate_Click();
}

// ---- the cursor and the selection

void DeskController::SetCursor(const QString& key)
{
    d.setCursorPos(key);
    if (key != QLatin1String("0"))
        v.RaiseCommandAtCursor();
    v.SyncPictures();
}

void DeskController::Select(Integer Index)
{
    d.CalcPicSelection(Index);
    v.SyncPictures();
}

// ---- the clipboard and the spaces

void DeskController::Copy()
{
    d.Copy();
}

void DeskController::Cut()
{
    Copy();
    Delete();
}

void DeskController::Delete()
{
    if (d.DeleteNeedsConfirmation()
        && ShowMessage(QStringLiteral("You are about to delete command(s) that can contain more commands! Please confirm"),
                       MsgStyle::Question + MsgStyle::OkCancel)
               != MsgResult::OK)
        return;
    d.DeleteSelection();
    v.SyncPictures();
}

void DeskController::Paste()
{
    if (!d.Paste())
        ShowMessage(QStringLiteral("No room for this action"), MsgStyle::Exclamation);
    v.SyncPictures();
    v.RefreshToolTips();
}

void DeskController::InsertSpace()
{
    if (!d.InsertSpace())
        ShowMessage(QStringLiteral("No room for this action"), MsgStyle::Exclamation);
    v.SyncPictures();
}

void DeskController::CloseGaps()
{
    d.CloseGaps();
    v.SyncPictures();
}

// ---- keys

namespace {

constexpr int AnyShift = -1;

struct QtKeyCode {
    int qtKey;
    int code;
};

const QtKeyCode kKeyCodes[] = {
    {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},   {Qt::Key_Escape, 27}, {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34}, {Qt::Key_Left, 37},  {Qt::Key_Up, 38},     {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},   {Qt::Key_Insert, 45},  {Qt::Key_Delete, 46}, {Qt::Key_C, 67},
    {Qt::Key_J, 74},      {Qt::Key_V, 86},       {Qt::Key_X, 88},      {Qt::Key_F5, 116},
};

}  // namespace

// One line of the keyboard map: the key code, the shift state it wants
// (AnyShift for any), whether the cursor must be on a command, and whether it
// acts while a frame or the title is being edited. The first line that fits
// acts.
struct DeskController::KeyAction {
    int code;
    int shift;
    bool onCommand;
    bool whileEditing;
    void (DeskController::*act)();
};

const DeskController::KeyAction DeskController::kKeyMap[] = {
    {13, AnyShift, false, true, &DeskController::KeyEnter},
    {27, AnyShift, false, true, &DeskController::KeyEscape},
    {33, AnyShift, false, false, &DeskController::KeyPageUp},
    {34, AnyShift, false, false, &DeskController::KeyPageDown},
    {37, AnyShift, false, false, &DeskController::KeyArrowLeft},
    {38, AnyShift, false, false, &DeskController::KeyArrowUp},
    {39, AnyShift, false, false, &DeskController::KeyArrowRight},
    {40, AnyShift, false, false, &DeskController::KeyArrowDown},
    {45, 1, false, false, &DeskController::InsertSpace},
    {46, 1, false, false, &DeskController::CloseGaps},
    {46, AnyShift, false, false, &DeskController::Delete},
    {67, 2, true, false, &DeskController::Copy},
    {88, 2, true, false, &DeskController::Cut},
    {86, 2, false, false, &DeskController::Paste},
    {74, 2, true, false, &DeskController::KeyCommands},
    {116, AnyShift, false, false, &DeskController::KeyUpdateMap},
};

int DeskController::KeyCodeOf(int qtKey)
{
    for (const QtKeyCode& k : kKeyCodes)
        if (k.qtKey == qtKey)
            return k.code;
    return 0;
}

void DeskController::KeyDown(int KeyCode, int Shift)
{
    // While a frame or the title is being edited, only Enter and Esc act.
    bool whileEditing = false;
    for (const KeyAction& k : kKeyMap)
        whileEditing = whileEditing || (k.code == KeyCode && k.whileEditing);
    if (!whileEditing && (w.CommandInEdit() || w.TitleEditing()))
        return;
    try {
        const bool onCommand = d.CommandGrid(d.CurrentColumn, d.CurrentRow);
        for (const KeyAction& k : kKeyMap)
            if (k.code == KeyCode && (k.shift == AnyShift || k.shift == Shift) && (!k.onCommand || onCommand)) {
                (this->*k.act)();
                break;
            }
    } catch (const VbError& e) {
        if (e.number() != Err::InvalidCall && e.number() != Err::ObjectNotSet)
            ShowMessage(e.description() + QStringLiteral(" from KeyDown"), MsgStyle::Exclamation);
    }
}

void DeskController::CursorMoved()
{
    v.SyncPictures();
    v.ScrollScr();
}

void DeskController::KeyEnter()
{
    if (!w.PressFrame(IDeskWindow::FrameButton::Ok) && d.CommandGrid(d.CurrentColumn, d.CurrentRow))
        w.mnuUpdate_Click();
}

void DeskController::KeyEscape()
{
    w.PressFrame(IDeskWindow::FrameButton::Cancel);
}

void DeskController::KeyPageUp()
{
    d.PageUp(v.PageRows());
    CursorMoved();
}

void DeskController::KeyPageDown()
{
    d.PageDown(v.PageRows());
    CursorMoved();
}

void DeskController::KeyArrowLeft()
{
    d.MoveCursor(-1, 0);
    v.SyncPictures();
    v.ScrollToLeftEdge();
    v.ScrollScr();
}

void DeskController::KeyArrowUp()
{
    d.MoveCursor(0, -1);
    CursorMoved();
}

void DeskController::KeyArrowRight()
{
    d.MoveCursor(1, 0);
    CursorMoved();
}

void DeskController::KeyArrowDown()
{
    d.MoveCursor(0, 1);
    CursorMoved();
}

void DeskController::KeyCommands()
{
    w.mnuCommands_Click();
}

void DeskController::KeyUpdateMap()
{
    w.UpdateMap();
}
