#include "desktop/frmDeskTop.h"

#include "shell/MainWindow.h"

#include "model/Twips.h"
#include "desktop/core/FrameControls.h"
#include "desktop/frames/FrameWidgets.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/CommandCatalogue.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/Variant.h"
#include "model/VbError.h"
#include "shell/KeyPreview.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// Runs one step of a handler; a failure is shown (unless it is one of the
// quiet numbers) and the handler goes on with its next step.
void Step(const std::function<void()>& f, std::initializer_list<int> quiet, bool show = true)
{
    try {
        f();
    } catch (const VbError& e) {
        for (int n : quiet)
            if (n == e.number())
                return;
        if (show)
            ShowMessage(e.description(), MsgStyle::Exclamation);
    }
}

}  // namespace

// ---- construction

frmDeskTop::frmDeskTop(QMdiArea* mdiArea) : QWidget(nullptr), mMdiArea(mdiArea)
{
    setFocusPolicy(Qt::NoFocus);
    // Where the window is wider than its desk it shows its own background.
    setAutoFillBackground(true);
    BuildControls();
    if (mMdiArea) {
        mSub = mMdiArea->addSubWindow(this);
        mSub->setAttribute(Qt::WA_DeleteOnClose);
        mSub->hide();
        connect(mSub, &QMdiSubWindow::windowStateChanged, this, &frmDeskTop::SubWindowStateChanged);
    } else {
        setAttribute(Qt::WA_DeleteOnClose);
    }
    if (mdiMain::Instance())
        connect(App().Notifier.get(), &Notifier::RunningChanged, this,
                [this](bool running) { SetProjectEditingEnabled(!running); });
}

void frmDeskTop::SetProjectEditingEnabled(bool enable)
{
    if (Caption().compare(QStringLiteral("The Task"), Qt::CaseInsensitive) != 0)
        return;
    if (!enable) {
        // A locked desk can't keep the focus. The window holds it meanwhile,
        // so that it wanders to no other control: handed on to the title box
        // it would stay there unasked once the desk is back.
        const QWidget* focus = window()->focusWidget();
        mDeskLockedWithFocus = focus && (focus == picDeskTop || picDeskTop->isAncestorOf(focus));
        if (mDeskLockedWithFocus)
            setFocus(Qt::OtherFocusReason);
        picDeskTop->setEnabled(false);
        return;
    }
    picDeskTop->setEnabled(true);
    // The desk takes back the focus it had, unless the user gave it to
    // another control meanwhile.
    const bool keptByWindow = window()->focusWidget() == this;
    if (mDeskLockedWithFocus && keptByWindow)
        picDeskTop->setFocus(Qt::OtherFocusReason);
    mDeskLockedWithFocus = false;
}

frmDeskTop::~frmDeskTop()
{
    // A window destroyed without closing (its MDI area went first) still lets
    // go of its owner.
    if (!mUnloaded && mMyCommandBlock && mMyCommandBlock->CommandWindow == this)
        mMyCommandBlock->CommandWindow = nullptr;
}

void frmDeskTop::BuildControls()
{
    DeskEvents& events = *this;
    picDeskTop = new DeskTopBox(events, this);
    picModulTitle = new DeskTitleStrip(events, this);

    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->resize(bar, 100);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->resize(100, bar);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    mView.Attach({picDeskTop, VScroll1, HScroll1, &events, [this](QWidget* w) { WatchKeys(w); }});

    picModulTitle->Move(0, 0, 6 * (CommandWidth + TwipX(2)), CommandHeight);

    // Other windows find the controls by name.
    picDeskTop->setObjectName(QStringLiteral("picDeskTop"));
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    setObjectName(QStringLiteral("frmDeskTop"));

    BuildMenu();
    mDoc.View = this;
    // The window sees every key before its controls do.
    mKeys = new KeyPreview(this, [this](QWidget* target, QKeyEvent* e) { return PreviewKey(target, e); });
}

// ---- the desk's size

void frmDeskTop::CommandPictureResized()
{
    if (!mLoaded || mUnloaded)
        return;
    const double content = mView.DeskContentWidth();
    if (content == mContentWidth)
        return;
    const bool shrank = content < mContentWidth;
    mContentWidth = content;
    LayoutScrollBars();
    if (shrank)
        HScroll1->setValue(0);
}

double frmDeskTop::ScaleWidth() const
{
    return TwipX(width());
}

double frmDeskTop::ScaleHeight() const
{
    return TwipY(height());
}

// ---- the cursor

void frmDeskTop::setCursorPos(const QString& key)
{
    mControl.SetCursor(key);
}

// ---- the window's kind

void frmDeskTop::setFormType(Long kind)
{
    mFormType = kind;
    mDoc.FormType = kind;
    if (kind == ModuleKind::IfBody || kind == ModuleKind::WhileBody || kind == ModuleKind::LoopBody) {
        const CommandKey key = kind == ModuleKind::IfBody      ? CommandKey::L_IF
                               : kind == ModuleKind::WhileBody ? CommandKey::L_WHILE
                                                               : CommandKey::L_LOOP;
        DeskView::SetPictureFromList(picModulTitle, CommandKeyText(key));
    }
    if (kind == ModuleKind::IfBody) {
        PrintCaption(QStringLiteral("IF"));
        HScroll1_Change();
        picModulTitle->ShowYesNo();
    } else if (kind == ModuleKind::WhileBody) {
        PrintCaption(QStringLiteral("WHILE"));
    } else if (kind == ModuleKind::LoopBody) {
        PrintCaption(QStringLiteral("LOOP"));
    } else if (kind == ModuleKind::Task || kind == ModuleKind::Sub) {
        picModulTitle->ShowTitleBox(App().ProjectType() != ProjectType::JoystickKeyboard);
        LayoutTitleBox();
    }
}

void frmDeskTop::setParentTaskName(const QString& name)
{
    mParentTaskName = name;
    mDoc.ParentTaskName = name;
}

// ---- the desk

void frmDeskTop::VScroll1_Change()
{
    picDeskTop->setTop(-VScroll1->value());
}

void frmDeskTop::HScroll1_Change()
{
    const double value = HScroll1->value();
    picDeskTop->setLeft(-value);
    picModulTitle->PlaceYesNo(mView.CellWidth(), value);
}

// ---- the map

void frmDeskTop::UpdateMap()
{
    if (mFormType == 0)
        return;
    Notifier& n = *App().Notifier;
    if (mFormType == ModuleKind::Task || mFormType == ModuleKind::Sub) {
        if (auto* module = dynamic_cast<clsModule*>(mMyCommandBlock))
            Q_EMIT n.MapUpdateRequested(*module, mFormType);
        return;
    }
    const QString caption = Caption();
    for (const auto& e : App().TaskList())
        if (e.item && e.item->Name.compare(caption, Qt::CaseInsensitive) == 0) {
            Q_EMIT n.MapUpdateRequested(*e.item, ModuleKind::Task);
            return;
        }
    for (const auto& e : App().SubList())
        if (e.item && e.item->Name.compare(caption, Qt::CaseInsensitive) == 0) {
            Q_EMIT n.MapUpdateRequested(*e.item, ModuleKind::Sub);
            return;
        }
}

// ---- the window

void frmDeskTop::Show()
{
    if (!mLoaded)
        Form_Load();
    if (mSub)
        mSub->show();
    else
        show();
}

void frmDeskTop::ZOrder()
{
    if (mSub && mMdiArea) {
        if (mSub->isHidden())
            mSub->show();
        mMdiArea->setActiveSubWindow(mSub);
        mSub->raise();
    } else {
        raise();
        activateWindow();
    }
}

void frmDeskTop::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    if (mSub)
        mSub->setWindowTitle(caption);
}

QString frmDeskTop::Caption() const
{
    return windowTitle();
}

void frmDeskTop::Close()
{
    if (mSub)
        mSub->close();
    else
        close();
}

void frmDeskTop::Form_Load()
{
    const std::initializer_list<int> quiet = {Err::InvalidCall};
    Step([&] { mView.SizeCommandPicture(0); }, quiet);
    Step([&] { picDeskTop->Move(0, 0, 6 * (mView.CellWidth() + TwipX(2)), 45 * mView.CellHeight()); }, quiet);
    Step([&] { mView.FitCursorToCell(); }, quiet);
    Step([&] { mDoc.ClearGrid(); }, quiet);
    Step([&] {
        QWidget* win = mSub ? static_cast<QWidget*>(mSub) : this;
        const double height = mMdiArea ? TwipY(mMdiArea->viewport()->height()) : TwipY(win->height());
        const double width = (mView.CellWidth() + TwipX(4)) * 2.53 + TwipX(VScroll1->width());
        win->setGeometry(win->x(), 0, PixX(width), PixY(height));
    }, quiet);
    Step([&] {
        if (!mMyCommandBlock)
            raiseError(Err::ObjectNotSet);
        mDoc.ColCommand = mMyCommandBlock->GetCommands();
        mMyCommandBlock->CommandWindow = this;
    }, quiet);
    Step([&] { ShowCommands(); }, quiet);
    Step([&] {
        if (!mDoc.ColCommand)
            raiseError(Err::ObjectNotSet);
        mDoc.ColCommand->Item(QStringLiteral("0001"))->PicSelected = False;
    }, quiet);
    Step([&] {
        mView.RepaintDesk();
        setCursorPos(QStringLiteral("0001"));
        QWidget* win = mSub ? static_cast<QWidget*>(mSub) : this;
        win->move(0, win->y());
    }, quiet);
    // The frames' image combo boxes show the pictures of the image list ILDT.
    Step([&] { BuildFrames(); }, quiet);
    Step([&] { SourceName = StandardSourceNames(); }, quiet);
    mContentWidth = mView.DeskContentWidth();
    mLoaded = true;
}

void frmDeskTop::ShowCommands()
{
    if (!mDoc.ColCommand) {
        // The owner has no grid yet: the window opens empty, on a grid that
        // the owner keeps, so that what is placed here is not lost.
        mDoc.ColCommand = std::make_shared<CommandCollection>();
        if (auto* block = dynamic_cast<clsCommand*>(mMyCommandBlock); block && !block->Commands)
            block->Commands = mDoc.ColCommand;
    }
    mView.ShowCommands();
}

void frmDeskTop::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (mLoaded && !mUnloaded)
        Form_Resize();
}

void frmDeskTop::Form_Resize()
{
    QWidget* win = mSub ? static_cast<QWidget*>(mSub) : this;
    if (win->width() > picDeskTop->width()) {
        win->resize(picDeskTop->width(), win->height());
        // A maximised frame lays out its window later, without a resize of
        // it that reaches here: the bars follow once that is done.
        QTimer::singleShot(0, this, [this] {
            if (mLoaded && !mUnloaded)
                LayoutScrollBars();
        });
        return;
    }
    LayoutScrollBars();
}

void frmDeskTop::LayoutScrollBars()
{
    const std::initializer_list<int> none = {};
    const double scaleWidth = ScaleWidth(), scaleHeight = ScaleHeight();
    const double titleHeight = picModulTitle->Height();
    const double vWidth = TwipX(VScroll1->width()), hHeight = TwipY(HScroll1->height());
    Step([&] { picModulTitle->setWidth(scaleWidth); }, none, false);
    Step([&] {
        const double height = std::max(0.0, scaleHeight - titleHeight - hHeight);
        VScroll1->setGeometry(PixRect(scaleWidth - vWidth, titleHeight, vWidth, height));
        const Long max = vb::CLng(picDeskTop->Height() - scaleHeight + hHeight);
        VScroll1->setRange(0, std::max<Long>(0, max));
        const Long small = vb::CLng(scaleHeight / 9);
        VScroll1->setSingleStep(std::max<Long>(1, small));
        VScroll1->setPageStep(std::max<Long>(1, 3 * small));
    }, none, false);
    Step([&] {
        const double width = std::max(0.0, scaleWidth - vWidth);
        HScroll1->setGeometry(PixRect(0, scaleHeight - hHeight, width, hHeight));
        // The bar reaches as far as the desk has something to show: where
        // both columns fit it has no range and the desk stays at Left 0.
        const Long max = vb::CLng(mView.DeskContentWidth() - scaleWidth + vWidth);
        HScroll1->setRange(0, std::max<Long>(0, max));
        HScroll1->setEnabled(max > 0);
        if (max <= 0) {
            HScroll1->setValue(0);
            HScroll1_Change();
        }
        const Long small = vb::CLng(scaleWidth / 9);
        HScroll1->setSingleStep(std::max<Long>(1, small));
        HScroll1->setPageStep(std::max<Long>(1, 3 * small));
    }, none, false);
    Step([&] {
        if (scaleWidth > TwipX(picModulTitle->txtTitle->x()))
            LayoutTitleBox();
    }, none, false);
    if (mFormType == ModuleKind::IfBody || mFormType == ModuleKind::WhileBody || mFormType == ModuleKind::LoopBody)
        picModulTitle->update();
}

void frmDeskTop::Form_Activate()
{
    Step([&] {
        if (ScaleWidth() > TwipX(picModulTitle->txtTitle->x()))
            LayoutTitleBox();
    }, {}, false);
}

void frmDeskTop::Form_Deactivate()
{
    if (mUnloaded || !mLoaded)
        return;
    // An open parameter frame is cancelled by the frame that edits its key;
    // a comment's frame too, so that no frame stays open with the toolbars
    // disabled while the user works in another window.
    Step([&] { CancelEditFrame(); }, {});
    // As a press with the cursor tool on the empty desk at (3, 3), whatever
    // tool the palette holds: the selection empties and nothing is placed.
    Step([&] {
        mDoc.PressOnDesk(3, 3, PaletteTool{});
        mDoc.shpSelect.Visible = false;
        mView.SyncPictures();
    }, {});
    Step([&] { setCursorPos(QStringLiteral("0")); }, {});
}

void frmDeskTop::SubWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState)
{
    const bool was = oldState.testFlag(Qt::WindowActive), is = newState.testFlag(Qt::WindowActive);
    if (!was && is)
        Form_Activate();
    else if (was && !is)
        Form_Deactivate();
}

void frmDeskTop::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}

void frmDeskTop::Form_QueryUnload()
{
    if (mUnloaded)
        return;
    // A window closed with a frame open gives the toolbars back.
    Step([&] { CancelEditFrame(); }, {}, false);
    mUnloaded = true;
    if (mMyCommandBlock && mMyCommandBlock->CommandWindow == this)
        mMyCommandBlock->CommandWindow = nullptr;
    if (!mDoc.ColCommand)
        return;
    QList<ICommandWindow*> inner;
    for (const auto& e : *mDoc.ColCommand) {
        const auto& co = e.item;
        if (!co || !co->CommandWindow)
            continue;
        if (OpensBlock(co->CommandKey) || co->CommandKey == CommandKey::L_SUB)
            inner.append(co->CommandWindow);
    }
    for (ICommandWindow* w : inner) {
        try {
            w->Close();
        } catch (const VbError&) {
        }
    }
}

// ---- the palette

PaletteTool& DeskPalette()
{
    static PaletteTool tool;
    return tool;
}

PaletteTool frmDeskTop::CurrentTool() const
{
    if (mdiMain* main = mdiMain::Instance()) {
        PaletteTool tool;
        if (QToolButton* b = main->CurButton()) {
            tool.key = main->CurButtonKey();
            tool.toolTip = b->toolTip();
        }
        if (tool.key.isEmpty())
            tool.key = QStringLiteral("CURSOR");
        return tool;
    }
    return DeskPalette();
}

void frmDeskTop::ResetTool()
{
    if (mdiMain* main = mdiMain::Instance())
        main->TB_ButtonClick(QStringLiteral("CURSOR"));
    else
        DeskPalette() = PaletteTool{};
}

void frmDeskTop::FocusDesk()
{
    picDeskTop->setFocus(Qt::MouseFocusReason);
}

// ---- the mouse: the controller turns it into document calls

void frmDeskTop::picDeskTop_MouseDown(int Button, int Shift, double x, double y)
{
    Q_UNUSED(Shift);
    mControl.DeskMouseDown(Button, x, y);
}

void frmDeskTop::picDeskTop_MouseMove(int Button, int Shift, double x, double y)
{
    Q_UNUSED(Shift);
    mControl.DeskMouseMove(Button, x, y);
}

void frmDeskTop::picDeskTop_MouseUp(int Button, int Shift, double x, double y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
    mControl.DeskMouseUp();
}

void frmDeskTop::picCommand_MouseDown(Integer Index, int Button, int Shift, double X, double Y)
{
    mControl.CommandMouseDown(Index, Button, Shift, X, Y);
}

void frmDeskTop::picCommand_MouseMove(Integer Index, int Button, int Shift, double X, double Y)
{
    Q_UNUSED(Shift);
    mControl.CommandMouseMove(Index, Button, X, Y);
}

void frmDeskTop::picCommand_MouseUp(Integer Index, int Button, int Shift, double X, double Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    mControl.CommandMouseUp(Index);
}

void frmDeskTop::picCommand_DblClick(Integer Index)
{
    Q_UNUSED(Index);
    mControl.CommandDblClick();
}

// The popup menu and its items are in DeskMenu.cpp, the parameter frames'
// operations in desktop/frames/DeskTopFrames.cpp.

// ---- keys

bool frmDeskTop::PreviewKey(QWidget* target, QKeyEvent* event)
{
    // An open popup keeps its keys, as a list or a menu does: in a frame's
    // list Enter takes the highlighted item and Esc closes the list, in the
    // popup menu the arrows walk its items. The next press is the window's.
    if (target && target->window()->windowType() == Qt::Popup)
        return false;
    // The preview hands each press over once, where it first arrives; the
    // control then gets it too.
    const int code = DeskController::KeyCodeOf(event->key());
    if (code && KeyIsTheGrids(target, code))
        Form_KeyDown(code, ShiftStateOf(event->modifiers()));
    return false;
}

bool frmDeskTop::KeyIsTheGrids(const QWidget* target, int code) const
{
    // A key acts on the grid only where the grid has the focus: on the desk
    // or a command picture. Elsewhere it is the focused control's alone (a
    // Delete in the title box deletes a letter, not the selected commands).
    // Enter and Esc are the open frame's Ok and Cancel from any of its
    // controls, and pass from the title box, which leaves them to the window.
    const bool enterOrEsc = code == 13 || code == 27;
    if (enterOrEsc && (mCommandInEdit || target == picModulTitle->txtTitle))
        return true;
    if (!target || (target != picDeskTop && !picDeskTop->isAncestorOf(target)))
        return false;
    for (const QWidget* frame : {static_cast<const QWidget*>(FraMotor), static_cast<const QWidget*>(fraLogic)})
        if (frame && (target == frame || frame->isAncestorOf(target)))
            return enterOrEsc;
    return true;
}

void frmDeskTop::WatchKeys(QWidget* control)
{
    if (mKeys)
        mKeys->Watch(control);
}

void frmDeskTop::Form_KeyDown(int KeyCode, int Shift)
{
    mControl.KeyDown(KeyCode, Shift);
}

// ---- the wheel

void frmDeskTop::wheelEvent(QWheelEvent* event)
{
    mView.Wheel(event);
}
