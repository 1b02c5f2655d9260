#include "desktop/DeskController.h"

#include "desktop/DeskView.h"
#include "desktop/frames/FrameWidgets.h"
#include "desktop/frmDeskTop.h"
#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Messages.h"
#include "model/VbError.h"
#include "model/Twips.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>

#include <cmath>

// ---- the desk's mouse

void DeskController::DeskMouseDown(int Button, double x, double y)
{
    if (f.CommandInEdit)
        return;
    f.picDeskTop->setFocus(Qt::MouseFocusReason);
    if (Button == 2) {
        const GridCell cell = GridDocument::CellAt(x, y);
        if (x < GridDocument::LeftMargin || !GridDocument::InsideGrid(cell))
            return;
        f.mnuPaste->setEnabled(!App().CommandClipboard.isEmpty());
        for (QAction* a : {f.mnuTransmit, f.mnuCut, f.mnuLine3, f.mnuCopy, f.mnuDel, f.mnuCommands, f.mnuUpdate, f.mnuLine1})
            a->setVisible(false);
        f.setCursorPos(f.ColKey(true, cell.column, cell.row));
        f.CalcPicSelection(0);
        frmDeskTop::PopupMenu()(*f.mnuEdit);
        for (QAction* a : {f.mnuCopy, f.mnuCut, f.mnuDel, f.mnuCommands, f.mnuUpdate, f.mnuLine1})
            a->setVisible(true);
        return;
    }
    const PaletteTool tool = f.CurrentTool();
    // A press in the band above row 1 places nothing.
    if (!tool.isCursor() && GridDocument::CellAt(x, y).row < 1)
        return;
    f.Doc.PressOnDesk(x, y, tool);
    v.SyncPictures();
}

void DeskController::DeskMouseMove(int Button, double x, double y)
{
    if (f.CommandInEdit)
        return;
    if (f.CurrentTool().isCursor()) {
        f.picDeskTop->unsetCursor();
        if (Button != 0 && f.shpSelect.Visible) {
            f.Doc.StretchSelection(x, y);
            v.SyncPictures();
        }
    } else {
        f.picDeskTop->setCursor(Qt::CrossCursor);
    }
}

void DeskController::DeskMouseUp()
{
    if (f.CommandInEdit)
        return;
    f.ScrollScr();
    const PaletteTool tool = f.CurrentTool();
    if (!tool.isCursor()) {
        f.ResetTool();
        f.picDeskTop->update();
        f.Doc.ReleaseOnDesk(tool);
        v.SyncPictures();
        f.ScrollScr();
    } else if (f.shpSelect.Visible) {
        f.Doc.ReleaseOnDesk(tool);
        v.SyncPictures();
    }
    if (f.CurrentColumn == 0)
        f.HScroll1->setValue(0);
}

// ---- the command pictures' mouse

void DeskController::CommandMouseDown(Integer Index, int Button, int Shift, double X, double Y)
{
    if (f.CommandInEdit)
        return;
    PicCommandBox* pic = f.picCommand(Index);
    const auto co = f.Doc.CommandOfPicture(Index);
    if (!pic || !co)
        return;
    f.picDeskTop->setFocus(Qt::MouseFocusReason);
    f.Doc.ShiftClick = (Button == 1 && Shift == 1) ? True : False;
    f.CalcCmdPos(Index);
    f.setCursorPos(f.ColKey(false, 0, 0));
    if (!co->PicSelected)
        f.CalcPicSelection(Index);
    f.Doc.ShiftClick = False;

    const PaletteTool tool = f.CurrentTool();
    if (Button == 2) {
        f.picDeskTop->unsetCursor();
        f.ResetTool();
        pic->ZOrder();
        f.PopupOnCommand(*co);
        return;
    }
    if (!tool.isCursor()) {
        if (!SameCommandKey(tool.key, co->KeyText())) {
            if (ShowMessage(QStringLiteral("Replace command"), MsgStyle::Question + MsgStyle::OkCancel)
                == MsgResult::OK) {
                f.Doc.DropCommand(Integer(v.picCommandUBound() + 1), pic->Left() + X, pic->Top() + Y, QString(), tool);
                v.SyncPictures();
            }
            f.ResetTool();
        }
        return;
    }
    pic->setMouseIcon(PickIcon::Pick);
    f.DragStartX = vb::CInt(X);
    f.DragStartY = vb::CInt(Y);
    pic->ZOrder();
    f.objCommand = co;
}

void DeskController::CommandMouseMove(Integer Index, int Button, double X, double Y)
{
    if (f.CommandInEdit)
        return;
    PicCommandBox* pic = f.picCommand(Index);
    if (!pic)
        return;
    if (!f.CurrentTool().isCursor()) {
        pic->setMouseIcon(PickIcon::Put);
        return;
    }
    if (Button == 0)
        pic->setMouseIcon(PickIcon::Hand);
    if (pic->MouseIcon() != PickIcon::Pick || Button == 0 || !f.ColCommand)
        return;
    const double dx = X - f.DragStartX, dy = Y - f.DragStartY;
    for (const auto& e : *f.ColCommand) {
        if (!e.item || !e.item->PicSelected)
            continue;
        if (PicCommandBox* p = f.picCommand(e.item->PicIndex)) {
            p->Move(p->Left() + dx, p->Top() + dy);
            p->ZOrder();
        }
    }
    if (++f.MoveCount >= 10) {
        f.picDeskTop->update();
        f.MoveCount = 0;
    }
}

void DeskController::CommandMouseUp(Integer Index)
{
    if (f.CommandInEdit)
        return;
    PicCommandBox* pic = f.picCommand(Index);
    if (!pic)
        return;
    f.ScrollScr();
    if (!f.CurrentTool().isCursor()) {
        f.ResetTool();
        return;
    }
    if (pic->MouseIcon() != PickIcon::Pick)
        return;
    pic->setMouseIcon(PickIcon::Hand);
    const auto result = f.Doc.MoveSelection([this](const clsCommand& co) {
        f.CalcCmdPos(co.PicIndex);
        return GridCell{f.CurrentColumn, f.CurrentRow};
    });
    v.SyncPictures();
    if (result == GridDocument::MoveResult::Outside)
        ShowMessage(QStringLiteral("One of the commands is outside the edit area"), MsgStyle::Exclamation);
    else if (result == GridDocument::MoveResult::Taken)
        ShowMessage(QStringLiteral("This place is taken! Make some room and try again"), MsgStyle::Exclamation);
    else if (f.CurrentColumn == 0)
        f.HScroll1->setValue(0);
}

void DeskController::CommandDblClick()
{
    if (f.CommandInEdit)
        return;
    App().Shell->DoEvents();
    if (f.Doc.SelectedCount() <= 1)
        f.mnuUpdate_Click();
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
    {45, 1, false, false, &DeskController::KeyInsertSpace},
    {46, 1, false, false, &DeskController::KeyDeleteSpace},
    {46, AnyShift, false, false, &DeskController::KeyDelete},
    {67, 2, true, false, &DeskController::KeyCopy},
    {88, 2, true, false, &DeskController::KeyCut},
    {86, 2, false, false, &DeskController::KeyPaste},
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
    if (!whileEditing && (f.CommandInEdit || f.TitleEditing))
        return;
    try {
        const bool onCommand = f.CommandGrid(f.CurrentColumn, f.CurrentRow);
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

int DeskController::PageRows() const
{
    return int(std::floor(TwipY(f.VScroll1->height()) / f.CellHeight()));
}

void DeskController::CursorMoved()
{
    v.SyncPictures();
    f.ScrollScr();
}

void DeskController::KeyEnter()
{
    if (f.fraLogic && f.fraLogic->isVisible())
        f.cmdOkLogic_Click();
    else if (f.FraMotor && f.FraMotor->isVisible())
        f.cmdOkMotor_Click();
    else if (f.CommandGrid(f.CurrentColumn, f.CurrentRow))
        f.mnuUpdate_Click();
}

void DeskController::KeyEscape()
{
    if (f.fraLogic && f.fraLogic->isVisible())
        f.cmdCancelLogic_Click();
    else if (f.FraMotor && f.FraMotor->isVisible())
        f.cmdCancelMotor_Click();
}

void DeskController::KeyPageUp()
{
    f.Doc.PageUp(PageRows());
    CursorMoved();
}

void DeskController::KeyPageDown()
{
    f.Doc.PageDown(PageRows());
    CursorMoved();
}

void DeskController::KeyArrowLeft()
{
    f.Doc.MoveCursor(-1, 0);
    v.SyncPictures();
    f.HScroll1->setValue(0);
    f.ScrollScr();
}

void DeskController::KeyArrowUp()
{
    f.Doc.MoveCursor(0, -1);
    CursorMoved();
}

void DeskController::KeyArrowRight()
{
    f.Doc.MoveCursor(1, 0);
    CursorMoved();
}

void DeskController::KeyArrowDown()
{
    f.Doc.MoveCursor(0, 1);
    CursorMoved();
}

void DeskController::KeyInsertSpace()
{
    f.mnuInsertSpace_Click();
}

void DeskController::KeyDeleteSpace()
{
    f.mnuDeleteSpace_Click();
}

void DeskController::KeyDelete()
{
    f.mnuDel_Click();
}

void DeskController::KeyCopy()
{
    f.mnuCopy_Click();
}

void DeskController::KeyCut()
{
    f.mnuCut_Click();
}

void DeskController::KeyPaste()
{
    f.mnuPaste_Click();
}

void DeskController::KeyCommands()
{
    f.mnuCommands_Click();
}

void DeskController::KeyUpdateMap()
{
    f.UpdateMap();
}
