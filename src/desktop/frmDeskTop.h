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
// picCommand(0) is the template whose size is the cell size.
//
// The window is the frame around its parts: the GridDocument Doc holds the
// grid and its editing rules, DeskView keeps and paints the pictures and the
// desk, DeskController turns the mouse and the keys into document calls, and
// DeskTitleStrip is the title strip. The window's handlers keep their names
// and hand over to them; the popup menu's items are in DeskMenu.cpp, the
// parameter frames' side in frames/DeskTopFrames.cpp.
#include "desktop/DeskController.h"
#include "desktop/DeskTitleStrip.h"
#include "desktop/DeskTopWidgets.h"
#include "desktop/DeskView.h"
#include "desktop/core/GridDocument.h"
#include "model/Command.h"
#include "model/Services.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class ImageList;
class LogicFrameWidget;
class MotorFrameWidget;
class QAction;
class QCheckBox;
class QMenu;
class KeyPreview;
class QMdiArea;
class QMdiSubWindow;
class QScrollBar;

// The palette tool of a window that has no main window around it (tests).
PaletteTool& DeskPalette();

class frmDeskTop : public QWidget, public ICommandWindow, private IGridView {
    Q_OBJECT
public:
    // The window is put into the MDI area at once (hidden until Show);
    // without an area it is a window of its own.
    explicit frmDeskTop(QMdiArea* mdiArea = nullptr);
    ~frmDeskTop() override;

    // The geometry of the grid, the document's own.
    static constexpr double LeftMargin = GridDocument::LeftMargin;
    static constexpr double CommandWidth = GridDocument::CellWidth;   // the template picture's size
    static constexpr double CommandHeight = GridDocument::CellHeight;

    // Colours of a selected and an unselected command picture.
    static QColor SelectedColor() { return QColor(0, 255, 255); }
    QColor UnselectedColor() const;

    // ICommandWindow.
    void ZOrder() override;
    void setMyCommandBlock(CommandOwner* owner) override { mMyCommandBlock = owner; }
    CommandOwner* MyCommandBlock() const override { return mMyCommandBlock; }
    void Show() override;
    // The title strip of a body window shows the new caption at once.
    void setParentCaption(const QString& caption) override;
    void setFormType(Long kind) override;
    Long FormType() const override { return mFormType; }
    void setParentTaskName(const QString& name) override
    {
        mParentTaskName = name;
        Doc.ParentTaskName = name;
    }
    QString ParentTaskName() const override { return mParentTaskName; }
    void setTaskLoop(Integer value) override;
    void setTaskLoopCaption(const QString& text) override;
    void setStartOnStartup(Integer value) override;
    void setStartOnStartupVisible(bool visible) override;
    void setTitleText(const QString& text) override;
    void setCaption(const QString& caption) override;
    QString Caption() const override;
    QString CursorPos() const override { return CursorKey; }
    void setCursorPos(const QString& key) override;
    void Close() override;
    QString ParentTitle() const override { return mParentTitle; }

    // A PC-side run locks the desk of the Joystick & Keyboard task.
    void SetProjectEditingEnabled(bool enable);

    // The grid's cells, cursor, selection and editing rules. The names below
    // are the window's own for the document's parts.
    GridDocument Doc{App()};

    // Public variables of the window.
    Integer TaskCount = 0;
    Boolean CommandInEdit = False;
    QString CommandInEditType;
    QString ParentCaption;
    CommandCollectionPtr& ColCommand = Doc.ColCommand;
    std::shared_ptr<clsCommand>& objCommand = Doc.objCommand;
    // The selected commands, keyed by the grid key of their cell.
    CommandCollection& colCopy = Doc.colCopy;
    // Operand source titles by source code 0 to 220.
    std::array<QString, 221> SourceName;

    // The current cell and the cursor cell.
    Integer& CurrentColumn = Doc.CurrentColumn;
    Integer& CurrentRow = Doc.CurrentRow;
    QString& CursorKey = Doc.CursorKey;
    // Occupancy by (column, row); columns 0 to 2, rows 0 to 60, only 0..1 by
    // 1..40 used. A cell outside the array fails with 9.
    bool& CommandGrid(int column, int row) { return Doc.CommandGrid(column, row); }
    Integer DragStartX = 0, DragStartY = 0;
    Integer MoveCount = 0;
    Boolean TitleClicked = False;
    Boolean TitleEditing = False;
    QString HeaderText;

    // Controls.
    DeskTopBox* picDeskTop = nullptr;
    DeskTitleStrip* picModulTitle = nullptr;
    TitleTextBox* txtTitle = nullptr;
    QCheckBox* chkTaskLoop = nullptr;
    QCheckBox* chkStartOnStartup = nullptr;
    PictureBox* PicYesNo[2] = {nullptr, nullptr};
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    DeskShape shpCursor;
    DeskShape& shpSelect = Doc.shpSelect;
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
    // Shows the popup menu; tests replace it (the program runs the menu's loop).
    static std::function<void(QMenu&)>& PopupMenu();

    // The parameter frames, made when the window loads (desktop/frames).
    MotorFrameWidget* FraMotor = nullptr;
    LogicFrameWidget* fraLogic = nullptr;
    // Closes whichever frame is open over the command.
    void CloseEditFrame(clsCommand& command);
    // Cancels an open frame with the Cancel of the frame that edits its key
    // (a comment's frame too).
    void CancelEditFrame();
    void cmdOkOpenLogic_Click();

    // The command pictures by index; element 0 is the template. nullptr for
    // an index that is not loaded. The view keeps and paints them.
    PicCommandBox* picCommand(int index) const { return mView.picCommand(index); }
    // Loads picture Index (failure 360 when it is loaded already).
    PicCommandBox* LoadPicCommand(int index) { return mView.LoadPicCommand(index); }

    // The cell size, read from the template picture.
    double CellWidth() const { return mView.CellWidth(); }
    double CellHeight() const { return mView.CellHeight(); }

    // A command picture's size was set: the bars follow when the desk's
    // content grew or shrank; a picture back to its cell size (its frame
    // closed) brings the desk back to its left edge.
    void CommandPictureResized();

    // The grid key of (Mx, My), or with Flag False of the current cell.
    QString ColKey(bool Flag, int Mx, int My) const;
    void ScrollScr() override { mView.ScrollScr(); }
    Integer CalcCmdPos(Integer Index) { return mView.CalcCmdPos(Index); }
    void CalcPicSelection(Integer Index);
    void ShowCommands() { mView.ShowCommands(); }
    void PrintCaption(const QString& lHeader);
    void zevel() {}
    void UpdateMap();
    void DrawGrid();
    void RepaintCommand(Integer Index) { mView.RepaintCommand(Index); }
    void SizeCommandPicture(Integer Index) { mView.SizeCommandPicture(Index); }
    void SetCommandBackColor(Integer Index, const QColor& color) { mView.SetCommandBackColor(Index, color); }

    void SetPictureFromList(PictureBox* Target, const QString& Key) { mView.SetPictureFromList(Target, Key); }
    void SetPictureFromList(PictureBox* Target, const ImageList& List, const QString& Key);
    void SetCommandToolTip(PictureBox* Picture, const clsCommand& Command)
    {
        mView.SetCommandToolTip(Picture, Command);
    }
    QString WrapCaption(const QString& text) const { return mView.WrapCaption(text); }

    // The lines a command picture prints for its two caption lines.
    static QList<CaptionLine> CaptionLines(const QString& caption0, const QString& caption1)
    {
        return DeskView::CaptionLines(caption0, caption1);
    }
    // The font of the command pictures.
    static QFont CaptionFont(bool bold) { return DeskView::CaptionFont(bold); }

    // The window's width and height in twips inside its frame.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // The MDI sub-window that frames this window (nullptr without an area).
    QMdiSubWindow* SubWindow() const { return mSub; }

    // Editing.
    std::shared_ptr<clsCommand> DropCommand(Integer index, double x, double y, const QString& key);
    bool MakeRoom(Integer Count);
    void CloseGaps();
    static CommandCollectionPtr CopyCommands(const CommandCollectionPtr& Commands)
    {
        return GridDocument::CopyCommands(Commands);
    }
    // Mouse: buttons 1 left, 2 right, 4 middle; shift state 1 Shift, 2 Ctrl,
    // 4 Alt; positions in twips (on the desk, or inside the picture).
    void picDeskTop_MouseDown(int Button, int Shift, double x, double y);
    void picDeskTop_MouseMove(int Button, int Shift, double x, double y);
    void picDeskTop_MouseUp(int Button, int Shift, double x, double y);
    void picCommand_MouseDown(Integer Index, int Button, int Shift, double X, double Y);
    void picCommand_MouseMove(Integer Index, int Button, int Shift, double X, double Y);
    void picCommand_MouseUp(Integer Index, int Button, int Shift, double X, double Y);
    void picCommand_DblClick(Integer Index);

    // The popup menu's items.
    void mnuCopy_Click();
    void mnuCut_Click();
    void mnuPaste_Click();
    void mnuDel_Click();
    void mnuInsertSpace_Click();
    void mnuDeleteSpace_Click();
    void mnuCommands_Click();
    void mnuUpdate_Click();
    // Sends the selected commands to the brick at once (the PC-side run fills it in).
    void mnuTransmit_Click();

    // The parameter frames' entry points (the frames fill them in): open the
    // frame of the command at the cursor, scroll it into view, and the frames'
    // Ok and Cancel buttons.
    void SetFrameInterface();
    void ScrollToEditFrame();
    void cmdOkMotor_Click();
    void cmdCancelMotor_Click();
    void cmdOkLogic_Click();
    void cmdCancelLogic_Click();

    // Keys: the platform's key codes (13 Enter, 27 Esc, 33/34 Page Up/Down,
    // 37..40 arrows, 45 Insert, 46 Delete, 67 C, 74 J, 86 V, 88 X, 116 F5) and
    // the shift state. The key still reaches the focused control.
    void Form_KeyDown(int KeyCode, int Shift);

    // Handlers.
    void Form_Load();
    void Form_Resize();
    // Steps 2 on of a resize: the title strip, the bars' places and ranges.
    void LayoutScrollBars();
    void Form_Activate();
    void Form_Deactivate();
    void Form_QueryUnload();
    void HScroll1_Change();
    void VScroll1_Change();
    void txtTitle_Change();
    void txtTitle_GotFocus(bool byMouse);
    void txtTitle_LostFocus();
    void txtTitle_MouseDown();
    void chkTaskLoop_Click();
    void chkStartOnStartup_Click();

    // What the desk's view and controller ask of the window: the palette's
    // tool, putting the palette back on the cursor tool, the popup menu over
    // a command, and the window's keys for a control made after the window
    // (a command picture, a frame's control).
    PaletteTool CurrentTool() const;
    void ResetTool();
    void PopupOnCommand(const clsCommand& co);
    void WatchKeys(QWidget* control);

    // Painting, called by the controls' paint events.
    void picCommand_Paint(Integer Index, QPainter& p) { mView.PaintCommand(Index, p); }
    void picModulTitle_Paint(QPainter& p);
    void picDeskTop_Paint(QPainter& p) { mView.PaintDesk(p); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:

    // IGridView.
    void CommandAdded(clsCommand& command) override { mView.CommandAdded(command); }
    bool CommandShown(const clsCommand& command) const override { return mView.CommandShown(command); }

    // The view's parts that the window's own code uses.
    int picCommandUBound() const { return mView.picCommandUBound(); }
    // How far across the desk there is something to show (twips): both
    // columns, or further where a picture is grown around an open frame.
    // HScroll1 reaches no further.
    double DeskContentWidth() const { return mView.DeskContentWidth(); }
    // Makes the pictures and the cursor follow the document.
    void SyncPictures() { mView.SyncPictures(); }

    void BuildControls();
    void BuildMenu();
    bool PreviewKey(QWidget* target, QKeyEvent* event);
    // Whether the key of that code, pressed with the focus on Target, is a
    // command of the grid's keyboard map.
    bool KeyIsTheGrids(const QWidget* target, int code) const;
    void LayoutTitleBox();
    void FillSourceNames();
    void BuildFrames();
    void FrameWritten(clsCommand& command);
    // The logic frame's Ok: true when the command was written and the frame
    // closed; else the frame stays open on the control to mend.
    bool OkLogicFrame();
    void SubWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);

    CommandOwner* mMyCommandBlock = nullptr;
    Long mFormType = 0;
    QString mParentTaskName;
    QString mParentTitle;
    KeyPreview* mKeys = nullptr;
    QMdiArea* mMdiArea = nullptr;
    QMdiSubWindow* mSub = nullptr;
    bool mLoaded = false;
    bool mUnloaded = false;
    bool mInResize = false;
    // The desk had the focus when a run locked it.
    bool mDeskLockedWithFocus = false;
    double mContentWidth = 0;
    DeskView mView{*this};
    DeskController mControl{*this, mView};
};
