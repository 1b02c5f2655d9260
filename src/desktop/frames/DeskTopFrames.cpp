// The editor window's side of the parameter frames: opening the frame of the
// command at the cursor inside its picture, Ok and Cancel, closing the
// frame, scrolling it into view, and what a written command shows.
#include "desktop/frmDeskTop.h"

#include "model/Twips.h"
#include "desktop/frames/FrameWidgets.h"
#include "model/AppState.h"
#include "model/CommandCatalogue.h"
#include "model/Messages.h"
#include "shell/KeyPreview.h"
#include "shell/MainWindow.h"

#include <QScrollBar>
#include <QToolBar>

namespace {

// The palette and the main toolbar are disabled while a frame is open.
void EnableToolbars(bool enable)
{
    if (mdiMain* main = mdiMain::Instance()) {
        if (QWidget* tb = main->TB())
            tb->setEnabled(enable);
        if (QWidget* tb1 = main->TB1())
            tb1->setEnabled(enable);
    }
}

}  // namespace

void frmDeskTop::BuildFrames()
{
    if (FraMotor)
        return;
    FraMotor = new MotorFrameWidget(SourceName, this);
    FraMotor->hide();
    FraMotor->Model.WrapCaption = [this](const QString& text) { return mView.WrapCaption(text); };
    FraMotor->Model.Written = [this](clsCommand& c) { FrameWritten(c); };
    FraMotor->OkClicked = [this] { cmdOkMotor_Click(); };
    FraMotor->CancelClicked = [this] { cmdCancelMotor_Click(); };

    fraLogic = new LogicFrameWidget(SourceName, this);
    fraLogic->hide();
    fraLogic->Model.Written = [this](clsCommand& c) { FrameWritten(c); };
    fraLogic->OkClicked = [this] { cmdOkLogic_Click(); };
    fraLogic->OkOpenClicked = [this] { cmdOkOpenLogic_Click(); };
    fraLogic->CancelClicked = [this] { cmdCancelLogic_Click(); };

    // Enter and Esc in a frame's controls reach the window's keyboard map.
    for (QWidget* frame : {static_cast<QWidget*>(FraMotor), static_cast<QWidget*>(fraLogic)}) {
        WatchKeys(frame);
        for (QWidget* w : frame->findChildren<QWidget*>())
            WatchKeys(w);
    }
}

// What a command written by a frame's Ok shows: its picture (brake or float),
// its tool tip, the title of its block's window (the map follows the edit).
void frmDeskTop::FrameWritten(clsCommand& command)
{
    if (PicCommandBox* pic = mView.picCommand(command.PicIndex)) {
        DeskView::SetPictureFromList(pic, CommandPictureKey(command.CommandKey, command.Op));
        DeskView::SetCommandToolTip(pic, command);
        pic->update();
    }
    if (OpensBlock(command.CommandKey) && command.CommandWindow)
        command.CommandWindow->setParentCaption(command.PicCaption(1));
}

void frmDeskTop::SetFrameInterface()
{
    App().Shell->DoEvents();
    const auto co = mDoc.ColCommand->Item(mDoc.ColKey(false, 0, 0));
    if (co->CommandKey == CommandKey::G_PBOFF) {
        ShowMessage(QStringLiteral("This command has no parameters"), MsgStyle::Information);
        return;
    }
    const CommandInfo* info = FindCommand(co->CommandKey);
    if (!info)
        return;
    BuildFrames();
    PicCommandBox* pic = mView.picCommand(co->PicIndex);
    if (!pic)
        raiseError(Err::InvalidCall);
    QFrame* frame = OpenFrameModel(*info, co);
    if (!frame)
        return;
    mDoc.objCommand = co;
    ShowFrameOver(*frame, *pic, co->KeyText());
}

QFrame* frmDeskTop::OpenFrameModel(const CommandInfo& info, const std::shared_ptr<clsCommand>& co)
{
    if (info.frame == CommandFrame::Logic) {
        fraLogic->Model.ParentTaskName = mParentTaskName;
        return fraLogic->Model.Open(co) ? static_cast<QFrame*>(fraLogic) : nullptr;
    }
    FraMotor->Model.ParentTaskName = mParentTaskName;
    FraMotor->Model.Open(co);
    return FraMotor;
}

void frmDeskTop::ShowFrameOver(QFrame& frame, PicCommandBox& pic, const QString& key)
{
    const double width = TwipX(frame.width()) + TwipX(11);
    const double height = mView.CellHeight() + TwipY(frame.height()) + TwipY(10);
    // The frame lies on the desk over the enlarged picture, below its
    // caption lines, so it moves with the desk and outlives the picture.
    frame.setParent(picDeskTop);
    frame.setCursor(Qt::ArrowCursor);
    frame.move(PixX(pic.Left() + TwipX(4)), PixY(pic.Top() + mView.CellHeight()));
    EnableToolbars(false);
    pic.setWidth(width);
    pic.setHeight(height);
    pic.ZOrder();
    mCommandInEdit = true;
    mCommandInEditType = key;
    frame.show();
    frame.raise();
    if (&frame == FraMotor)
        FraMotor->Refresh(true);
    else
        fraLogic->Refresh(true);
    // The keys go to the frame at once: to the box it names, else its first.
    if (!frame.isAncestorOf(frame.window()->focusWidget()))
        FocusFirstBox(&frame);
}

void frmDeskTop::CloseEditFrame(clsCommand& command)
{
    for (QFrame* f : {static_cast<QFrame*>(FraMotor), static_cast<QFrame*>(fraLogic)}) {
        if (!f)
            continue;
        f->hide();
        f->setParent(this);
    }
    if (mView.picCommand(command.PicIndex))
        mView.SizeCommandPicture(command.PicIndex);
    mCommandInEdit = false;
    EnableToolbars(true);
    if (PicCommandBox* pic = mView.picCommand(command.PicIndex)) {
        mView.RepaintCommand(command.PicIndex);
        pic->setFocus(Qt::OtherFocusReason);
        pic->update();
    }
}

void frmDeskTop::CancelEditFrame()
{
    if (!mCommandInEdit)
        return;
    const CommandInfo* info = FindCommand(mCommandInEditType);
    if (!info)
        return;
    if (info->frame == CommandFrame::Logic)
        cmdCancelLogic_Click();
    else
        cmdCancelMotor_Click();
}

void frmDeskTop::cmdOkMotor_Click()
{
    if (!FraMotor || !FraMotor->Model.Command) {
        ShowMessage(QStringLiteral("No such object"), MsgStyle::Exclamation);
        return;
    }
    const auto co = FraMotor->Model.Command;
    if (FraMotor->Model.cmdOkMotor_Click())
        CloseEditFrame(*co);
    else
        FraMotor->Refresh(true);
}

void frmDeskTop::cmdCancelMotor_Click()
{
    if (!FraMotor || !FraMotor->Model.Command)
        return;
    FraMotor->Model.cmdCancelMotor_Click();
    CloseEditFrame(*FraMotor->Model.Command);
}

bool frmDeskTop::OkLogicFrame()
{
    if (!fraLogic || !fraLogic->Model.Command) {
        ShowMessage(QStringLiteral("No such object"), MsgStyle::Exclamation);
        return false;
    }
    const auto co = fraLogic->Model.Command;
    if (!fraLogic->Model.cmdOkLogic_Click()) {
        fraLogic->Refresh(true);
        return false;
    }
    CloseEditFrame(*co);
    return true;
}

void frmDeskTop::cmdOkLogic_Click()
{
    OkLogicFrame();
}

void frmDeskTop::cmdOkOpenLogic_Click()
{
    if (!OkLogicFrame())
        return;
    App().Shell->DoEvents();
    mnuCommands_Click();
}

void frmDeskTop::cmdCancelLogic_Click()
{
    if (!fraLogic || !fraLogic->Model.Command)
        return;
    fraLogic->Model.cmdCancelLogic_Click();
    CloseEditFrame(*fraLogic->Model.Command);
}

bool frmDeskTop::PressFrame(FrameButton button)
{
    const bool ok = button == FrameButton::Ok;
    if (fraLogic && fraLogic->isVisible())
        ok ? cmdOkLogic_Click() : cmdCancelLogic_Click();
    else if (FraMotor && FraMotor->isVisible())
        ok ? cmdOkMotor_Click() : cmdCancelMotor_Click();
    else
        return false;
    return true;
}

void frmDeskTop::ScrollToEditFrame()
{
    QWidget* frame = fraLogic && fraLogic->isVisible() ? static_cast<QWidget*>(fraLogic)
                                                        : static_cast<QWidget*>(FraMotor);
    if (!frame)
        return;
    const GridCell cursor = GridDocument::CellOfKey(CursorPos());
    const double c = cursor.column, r = cursor.row;
    const double w = TwipX(frame->width()), h = TwipY(frame->height());
    const double hWidth = TwipX(HScroll1->width()), vWidth = TwipX(VScroll1->width());
    const double vHeight = TwipY(VScroll1->height()), hHeight = TwipY(HScroll1->height());
    const double x = c * mView.CellWidth() + LeftMargin;
    if (x + w > hWidth)
        HScroll1->setValue(int(x + w - hWidth + vWidth));
    if (x < HScroll1->value())
        HScroll1->setValue(int(x));
    const double y = r * mView.CellHeight() + h - VScroll1->value();
    if (y > vHeight - hHeight)
        VScroll1->setValue(int(r * mView.CellHeight() + h - vHeight + hHeight));
}
