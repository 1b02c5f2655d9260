#pragma once
// The editor window of one command grid: the Commands of a task, of a sub, or
// of the body of an IF, WHILE or LOOP command, 2 columns by 40 rows. It lives
// in the main window's MDI area; OpenCommandWindow creates it, sets its owner,
// shows it and then gives it its kind, captions and title strip values.
//
// All positions and sizes are twips. The desk picDeskTop lies at the window's
// top left and is moved by the scroll bars VScroll1 and HScroll1; the title
// strip picModulTitle covers the band above row 1. The command pictures lie on
// the desk, one picture box per command, kept by the command's PicIndex;
// picCommand(0) is the template whose size is the cell size. Each control is
// named as here (a command picture "picCommand(Index)", the Yes and No of an
// IF body "PicYesNo(0)" and "PicYesNo(1)"), so that other windows and the
// tests find it as a user sees it.
//
// The window is the frame around its parts: the GridDocument holds the grid
// and its editing rules, DeskView keeps and paints the pictures and the desk,
// DeskController turns the mouse, the keys and the menu's editing items into
// document calls, and DeskTitleStrip is the title strip. The window's
// handlers keep their names and hand over to them; the popup menu is in
// DeskMenu.cpp, the parameter frames' side in frames/DeskTopFrames.cpp.
// Its widgets and its state are its own: the rest of the program sees the
// window as an ICommandWindow, and reads what it shows through the few
// queries below.
#include "desktop/DeskController.h"
#include "desktop/DeskTitleStrip.h"
#include "desktop/DeskTopWidgets.h"
#include "desktop/DeskView.h"
#include "desktop/core/FrameControls.h"
#include "desktop/core/GridDocument.h"
#include "model/Command.h"
#include "model/Services.h"

#include <QString>
#include <QWidget>

#include <functional>

struct CommandInfo;
class LogicFrameWidget;
class MotorFrameWidget;
class QAction;
class QFrame;
class QMenu;
class KeyPreview;
class QMdiArea;
class QMdiSubWindow;
class QScrollBar;

// The palette tool of a window that has no main window around it (tests).
PaletteTool& DeskPalette();

class frmDeskTop : public QWidget,
                   public ICommandWindow,
                   private IGridView,
                   private IDeskWindow,
                   private DeskEvents {
    Q_OBJECT
public:
    // The window is put into the MDI area at once (hidden until Show);
    // without an area it is a window of its own.
    explicit frmDeskTop(QMdiArea* mdiArea = nullptr);
    ~frmDeskTop() override;

    // The geometry of the grid, the document's own.
    static constexpr double LeftMargin = GridDocument::LeftMargin;
    static constexpr double CommandWidth = GridDocument::CellWidth;  // the template picture's size
    static constexpr double CommandHeight = GridDocument::CellHeight;

    // ICommandWindow.
    void ZOrder() override;
    void setMyCommandBlock(CommandOwner* owner) override { mMyCommandBlock = owner; }
    CommandOwner* MyCommandBlock() const override { return mMyCommandBlock; }
    void Show() override;
    // The title strip of a body window and its ParentTitle show the new
    // caption at once.
    void setParentCaption(const QString& caption) override;
    void setFormType(Long kind) override;
    Long FormType() const override { return mFormType; }
    void setParentTaskName(const QString& name) override;
    QString ParentTaskName() const override { return mParentTaskName; }
    void setTaskLoop(Integer value) override;
    void setTaskLoopCaption(const QString& text) override;
    void setStartOnStartup(Integer value) override;
    void setStartOnStartupVisible(bool visible) override;
    void setTitleText(const QString& text) override;
    void setCaption(const QString& caption) override;
    QString Caption() const override;
    QString CursorPos() const override { return mDoc.CursorKey; }
    void setCursorPos(const QString& key) override;
    void Close() override;
    QString ParentTitle() const override { return mParentTitle; }
    void ScrollScr() override { mView.ScrollScr(); }
    void UpdateMap() override;

    // A PC-side run locks the desk of the Joystick & Keyboard task.
    void SetProjectEditingEnabled(bool enable);
    // The MDI sub-window that frames this window (nullptr without an area).
    QMdiSubWindow* SubWindow() const { return mSub; }
    // Shows the popup menu; tests replace it (the program runs the menu's loop).
    static std::function<void(QMenu&)>& PopupMenu();

    // What the window shows, read only: the grid with its cursor and
    // selection, whether a parameter frame is open and for which key, and
    // whether the title box is being edited.
    const GridDocument& Document() const { return mDoc; }
    bool CommandInEdit() const override { return mCommandInEdit; }
    QString CommandInEditType() const { return mCommandInEditType; }
    bool TitleEditing() const override { return mTitleEditing; }

    // Members the window has always had; nothing uses them.
    Integer TaskCount = 0;
    void zevel() {}

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // IGridView.
    void CommandAdded(clsCommand& command) override { mView.CommandAdded(command); }
    bool CommandShown(const clsCommand& command) const override { return mView.CommandShown(command); }

    // IDeskWindow: what the controller asks of the window.
    PaletteTool CurrentTool() const override;
    void ResetTool() override;
    void FocusDesk() override;
    void PopupOnDesk() override;
    void PopupOnCommand(const clsCommand& co) override;
    bool PressFrame(FrameButton button) override;
    void mnuUpdate_Click() override;
    void mnuCommands_Click() override;

    // DeskEvents: the controls' events and painting, handed over to the
    // controller and the view.
    void picDeskTop_MouseDown(int Button, int Shift, double x, double y) override;
    void picDeskTop_MouseMove(int Button, int Shift, double x, double y) override;
    void picDeskTop_MouseUp(int Button, int Shift, double x, double y) override;
    void picDeskTop_Paint(QPainter& p) override { mView.PaintDesk(p); }
    void picCommand_MouseDown(Integer Index, int Button, int Shift, double X, double Y) override;
    void picCommand_MouseMove(Integer Index, int Button, int Shift, double X, double Y) override;
    void picCommand_MouseUp(Integer Index, int Button, int Shift, double X, double Y) override;
    void picCommand_DblClick(Integer Index) override;
    void picCommand_Paint(Integer Index, QPainter& p) override { mView.PaintCommand(Index, p); }
    // A command picture's size was set: the bars follow when the desk's
    // content grew or shrank; a picture back to its cell size (its frame
    // closed) brings the desk back to its left edge.
    void CommandPictureResized() override;
    void picModulTitle_Paint(QPainter& p) override;
    void txtTitle_Change() override;
    void txtTitle_MouseDown() override;
    void txtTitle_GotFocus(bool byMouse) override;
    void txtTitle_LostFocus() override;
    void chkTaskLoop_Click() override;
    void chkStartOnStartup_Click() override;

    // Building the window: its controls, its menu, its parameter frames.
    void BuildControls();
    void BuildMenu();
    void BuildFrames();

    // Handlers.
    void Form_Load();
    // Loads a picture for every command of the owner's grid; an owner
    // without a grid gets an empty one that it keeps.
    void ShowCommands();
    void Form_Resize();
    // Steps 2 on of a resize: the title strip, the bars' places and ranges.
    void LayoutScrollBars();
    void Form_Activate();
    void Form_Deactivate();
    void Form_QueryUnload();
    void HScroll1_Change();
    void VScroll1_Change();
    void SubWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);

    // Keys: the platform's key codes (13 Enter, 27 Esc, 33/34 Page Up/Down,
    // 37..40 arrows, 45 Insert, 46 Delete, 67 C, 74 J, 86 V, 88 X, 116 F5) and
    // the shift state. The key still reaches the focused control.
    void Form_KeyDown(int KeyCode, int Shift);
    bool PreviewKey(QWidget* target, QKeyEvent* event);
    // Whether the key of that code, pressed with the focus on Target, is a
    // command of the grid's keyboard map.
    bool KeyIsTheGrids(const QWidget* target, int code) const;
    // The window's keys for a control made after the window (a command
    // picture, a frame's control).
    void WatchKeys(QWidget* control);

    // The popup menu's items (DeskMenu.cpp).
    void mnuCopy_Click();
    void mnuCut_Click();
    void mnuPaste_Click();
    void mnuDel_Click();
    void mnuInsertSpace_Click();
    void mnuDeleteSpace_Click();
    // Sends the selected commands to the brick at once (the PC-side run fills it in).
    void mnuTransmit_Click();

    // The title strip (DeskTitleStrip.cpp): its header and caption, and the
    // title box across the strip's width.
    void PrintCaption(const QString& lHeader);
    void LayoutTitleBox();

    // The parameter frames (frames/DeskTopFrames.cpp): open the frame of the
    // command at the cursor, scroll it into view, the frames' Ok and Cancel
    // buttons, and what a written command shows.
    void SetFrameInterface();
    // The frame of the command's kind, opened on it; nullptr where the logic
    // frame refuses the command.
    QFrame* OpenFrameModel(const CommandInfo& info, const std::shared_ptr<clsCommand>& co);
    // Shows the open frame over the command's picture, grown around it, and
    // gives it the keys.
    void ShowFrameOver(QFrame& frame, PicCommandBox& pic, const QString& key);
    void ScrollToEditFrame();
    void cmdOkMotor_Click();
    void cmdCancelMotor_Click();
    void cmdOkLogic_Click();
    void cmdOkOpenLogic_Click();
    void cmdCancelLogic_Click();
    // The logic frame's Ok: true when the command was written and the frame
    // closed; else the frame stays open on the control to mend.
    bool OkLogicFrame();
    // Closes whichever frame is open over the command.
    void CloseEditFrame(clsCommand& command);
    // Cancels an open frame with the Cancel of the frame that edits its key
    // (a comment's frame too).
    void CancelEditFrame();
    void FrameWritten(clsCommand& command);

    // The window's width and height in twips inside its frame.
    double ScaleWidth() const;
    double ScaleHeight() const;

    // The grid's cells, cursor, selection and editing rules.
    GridDocument mDoc{App()};

    CommandOwner* mMyCommandBlock = nullptr;
    Long mFormType = 0;
    QString mParentTaskName;
    QString mParentCaption;
    QString mParentTitle;
    QString mHeaderText;
    bool mCommandInEdit = false;
    QString mCommandInEditType;
    bool mTitleClicked = false;
    bool mTitleEditing = false;
    // Operand source titles by source code 0 to 220, which the frames show.
    SourceNameTable SourceName;

    // Controls.
    DeskTopBox* picDeskTop = nullptr;
    DeskTitleStrip* picModulTitle = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    // The popup menu and its items.
    QMenu* mnuEdit = nullptr;
    QAction* mnuUpdate = nullptr;
    QAction* mnuCommands = nullptr;
    QAction* mnuLine3 = nullptr;
    QAction* mnuTransmit = nullptr;
    QAction* mnuLine1 = nullptr;
    QAction* mnuCut = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuDel = nullptr;
    QAction* mnuLine2 = nullptr;
    QAction* mnuInsertSpace = nullptr;
    QAction* mnuDeleteSpace = nullptr;
    // The parameter frames, made when the window loads (desktop/frames).
    MotorFrameWidget* FraMotor = nullptr;
    LogicFrameWidget* fraLogic = nullptr;

    KeyPreview* mKeys = nullptr;
    QMdiArea* mMdiArea = nullptr;
    QMdiSubWindow* mSub = nullptr;
    bool mLoaded = false;
    bool mUnloaded = false;
    // The desk had the focus when a run locked it.
    bool mDeskLockedWithFocus = false;
    double mContentWidth = 0;
    DeskView mView{*this, mDoc};
    DeskController mControl{*this, mDoc, mView};
};
