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
#include "desktop/DeskTopWidgets.h"
#include "model/Command.h"
#include "model/Services.h"
#include "shell/WindowRegistry.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QWidget>

#include <array>
#include <map>
#include <memory>

class QCheckBox;
class QMdiArea;
class QMdiSubWindow;
class QScrollBar;

// One line that a command picture prints: its text, bold or not, and where it
// starts (twips from the picture's left edge).
struct CaptionLine {
    QString text;
    bool bold = false;
    double x = 0;
};

class frmDeskTop : public QWidget, public ICommandWindow, public IShellWindow {
    Q_OBJECT
public:
    // The window is put into the MDI area at once (hidden until Show);
    // without an area it is a window of its own.
    explicit frmDeskTop(QMdiArea* mdiArea = nullptr);
    ~frmDeskTop() override;

    // The geometry of the grid.
    static constexpr double LeftMargin = 700;
    static constexpr double CommandWidth = 2430;   // the template picture's size
    static constexpr double CommandHeight = 888;
    static constexpr int GridColumns = 2;
    static constexpr int GridRows = 40;

    // Colours of a selected and an unselected command picture.
    static QColor SelectedColor() { return QColor(0, 255, 255); }
    QColor UnselectedColor() const;

    // ICommandWindow.
    void ZOrder() override;
    void setMyCommandBlock(CommandOwner* owner) override { mMyCommandBlock = owner; }
    CommandOwner* MyCommandBlock() const override { return mMyCommandBlock; }
    void Show() override;
    void setParentCaption(const QString& caption) override { ParentCaption = caption; }
    void setFormType(Long kind) override;
    Long FormType() const override { return mFormType; }
    void setParentTaskName(const QString& name) override { mParentTaskName = name; }
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

    // IShellWindow: a PC-side run locks the desk of the Joystick & Keyboard task.
    QWidget* ShellWidget() override { return this; }
    void SetProjectEditingEnabled(bool enable) override;

    // Public variables of the window.
    Integer TaskCount = 0;
    Boolean CommandInEdit = False;
    QString CommandInEditType;
    QString ParentCaption;
    CommandCollectionPtr ColCommand;
    std::shared_ptr<clsCommand> objCommand;
    // The selected commands, keyed by the grid key of their cell.
    CommandCollection colCopy;
    // Operand source titles by source code 0 to 220.
    std::array<QString, 221> SourceName;

    // The current cell and the cursor cell.
    Integer CurrentColumn = 0;
    Integer CurrentRow = 0;
    QString CursorKey;
    // Occupancy by (column, row); columns 0 to 2, rows 0 to 60, only 0..1 by
    // 1..40 used. A cell outside the array fails with 9.
    bool& CommandGrid(int column, int row);
    Integer DragStartX = 0, DragStartY = 0;
    double SelectStartX = 0, SelectStartY = 0;
    Boolean TitleClicked = False;
    Boolean TitleEditing = False;
    QString HeaderText;

    // Controls.
    DeskTopBox* picDeskTop = nullptr;
    ModulTitleBox* picModulTitle = nullptr;
    TitleTextBox* txtTitle = nullptr;
    QCheckBox* chkTaskLoop = nullptr;
    QCheckBox* chkStartOnStartup = nullptr;
    PictureBox* PicYesNo[2] = {nullptr, nullptr};
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    DeskShape shpCursor;
    DeskShape shpSelect;

    // The command pictures by index; element 0 is the template. nullptr for
    // an index that is not loaded.
    PicCommandBox* picCommand(int index) const;
    int picCommandUBound() const;
    // Loads picture Index (failure 360 when it is loaded already) and unloads it.
    PicCommandBox* LoadPicCommand(int index);
    void UnloadPicCommand(int index);

    // The cell size, read from the template picture.
    double CellWidth() const;
    double CellHeight() const;

    // The grid key of (Mx, My), or with Flag False of the current cell.
    QString ColKey(bool Flag, int Mx, int My) const;
    void ScrollScr() override;
    Integer CalcCmdPos(Integer Index);
    void CalcPicSelection(Integer Index);
    void ShowCommands();
    void PrintCaption(const QString& lHeader);
    void zevel() {}
    void UpdateMap();
    void DrawGrid();
    void RepaintCommand(Integer Index);
    void SizeCommandPicture(Integer Index);
    void SetCommandBackColor(Integer Index, const QColor& color);

    void SetPictureFromList(PictureBox* Target, const QString& Key);
    void SetCommandToolTip(PictureBox* Picture, const clsCommand& Command);
    QString WrapCaption(const QString& text) const;

    // The lines a command picture prints for its two caption lines.
    static QList<CaptionLine> CaptionLines(const QString& caption0, const QString& caption1);
    // Fonts of the command pictures and of the title strip.
    static QFont CaptionFont(bool bold);
    static QFont TitleFont(bool bold);

    // The window's width and height in twips inside its frame.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // The MDI sub-window that frames this window (nullptr without an area).
    QMdiSubWindow* SubWindow() const { return mSub; }

    // Handlers.
    void Form_Load();
    void Form_Resize();
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

    // Painting, called by the controls' paint events.
    void picCommand_Paint(Integer Index, QPainter& p);
    void picModulTitle_Paint(QPainter& p);
    void picDeskTop_Paint(QPainter& p);

    bool IsLoaded() const { return mLoaded; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void LayoutTitleBox();
    void FillSourceNames();
    std::shared_ptr<clsCommand> CommandOfPicture(Integer Index) const;
    void PicturesChanged();
    void SubWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);

    CommandOwner* mMyCommandBlock = nullptr;
    Long mFormType = 0;
    QString mParentTaskName;
    QString mParentTitle;
    bool mCommandGrid[3][61] = {};
    std::map<int, PicCommandBox*> mPicCommand;
    QMdiArea* mMdiArea = nullptr;
    QMdiSubWindow* mSub = nullptr;
    bool mLoaded = false;
    bool mUnloaded = false;
    bool mInResize = false;
};
