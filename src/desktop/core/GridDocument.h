#pragma once
// The grid of one editor window without its widgets: which cells hold a
// command, the cursor cell, the selection, and the editing rules (placing a
// command, moving the selection, making room, closing gaps, copy, paste and
// delete). The window frmDeskTop drives it from its mouse, menu and key
// handlers and then shows what it holds; tests drive it alone.
//
// Positions are twips on the desk: the picture of cell (column c, row r) has
// Left = 700 + c x CellWidth and Top = r x CellHeight; columns 0 and 1, rows
// 1 to 40. Every change marks the module ParentTaskName changed (and is told
// through the notifier); the changes of one operation are told once.
#include "model/AppState.h"
#include "model/Command.h"
#include "model/Variant.h"

#include <QString>

#include <functional>
#include <memory>

// What the document asks of the window that shows it.
class IGridView {
public:
    virtual ~IGridView() = default;
    // A command was placed: give it a picture (the window shows it afterwards).
    virtual void CommandAdded(clsCommand& /*command*/) {}
    // False for a command the window could not show; it takes no part in
    // selecting.
    virtual bool CommandShown(const clsCommand& /*command*/) const { return true; }
};

// The palette tool a press works with ("CURSOR" or a command key).
struct PaletteTool {
    QString key = QStringLiteral("CURSOR");
    QString toolTip;
    bool isCursor() const { return key.compare(QLatin1String("CURSOR"), Qt::CaseInsensitive) == 0; }
};

// A rectangle in twips.
struct GridRect {
    double Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = false;
};

struct GridCell {
    int column = 0;
    int row = 0;
};

class GridDocument {
public:
    static constexpr double LeftMargin = 700;
    static constexpr double CellWidth = 2430;
    static constexpr double CellHeight = 888;
    static constexpr int Rows = 40;

    // The document uses the clipboard and the preferences of app.
    explicit GridDocument(AppState& app) : mApp(&app) {}

    IGridView* View = nullptr;  // null: nobody shows the grid

    // The owner's grid and the window's working state.
    CommandCollectionPtr ColCommand;
    CommandCollection colCopy;  // the selected commands, by the grid key they had when selected
    std::shared_ptr<clsCommand> objCommand;
    Integer CurrentColumn = 0;
    Integer CurrentRow = 0;
    QString CursorKey;
    bool CursorVisible = false;
    // True while a command picture is clicked with the left button and Shift
    // held: the selection keeps what it had.
    Boolean ShiftClick = False;
    GridRect shpSelect;
    double SelectStartX = 0, SelectStartY = 0;
    Long FormType = 0;
    QString ParentTaskName;

    // Occupancy by (column, row): columns 0 to 2, rows 0 to 60 (only 0..1 by
    // 1..40 used); outside fails with 9.
    bool& CommandGrid(int column, int row);
    bool CommandGrid(int column, int row) const;
    void ClearGrid();

    // The grid key of (Mx, My), or with Flag False of the current cell.
    QString ColKey(bool Flag, int Mx, int My) const;
    // The cell under a desk point (may lie outside the grid).
    static GridCell CellAt(double x, double y);
    // The cell a grid key names, as its digits read (not checked against the grid).
    static GridCell CellOfKey(const QString& key);
    static bool InsideGrid(const GridCell& cell);
    // The top-left corner of a cell's picture.
    static double CellLeft(int column) { return LeftMargin + column * CellWidth; }
    static double CellTop(int row) { return row * CellHeight; }

    // The command in a cell, or nullptr.
    std::shared_ptr<clsCommand> CommandAt(int column, int row) const;
    std::shared_ptr<clsCommand> CommandAtCursor() const;
    std::shared_ptr<clsCommand> CommandOfPicture(Integer index) const;
    // One above the highest picture index in use (the template is 0).
    Integer NextPicIndex() const;

    // The cursor: a grid key moves it (and selects the command there alone,
    // or empties the selection on an empty cell); "0" hides it; keys outside
    // the grid are ignored.
    void setCursorPos(const QString& key);
    QString CursorPos() const { return CursorKey; }
    // Selects by the rectangle shpSelect (Index < 1) or the command whose
    // picture is Index (added to the selection while Shift is clicked).
    void CalcPicSelection(Integer Index);
    int SelectedCount() const;
    // Whether the selection holds commands of column 0 and of column 1.
    bool SelectionInBothColumns() const;

    // Cursor keys: a move by cells (kept at the grid's edges), a page up or down.
    void MoveCursor(int columns, int rows);
    void PageUp(int page);
    void PageDown(int page);

    // A new command from the tool (or with the given key) in the cell under
    // (x, y); a command there is replaced. Nullptr outside the grid.
    std::shared_ptr<clsCommand> DropCommand(Integer index, double x, double y, const QString& key,
                                            const PaletteTool& tool);
    // Puts Co into the current cell with the picture Index.
    void SetCommandData(const std::shared_ptr<clsCommand>& Co, Integer Index, bool IsSelected);

    // The desk's mouse: a press starts a rectangle (cursor tool) or places the
    // tool's command; a move stretches the rectangle; the release selects
    // what the rectangle holds and puts the cursor on it.
    void PressOnDesk(double x, double y, const PaletteTool& tool);
    void StretchSelection(double x, double y);
    void ReleaseOnDesk(const PaletteTool& tool);
    // A press on a command: the cursor goes there and selects it (Shift adds).
    void PressCommand(const clsCommand& command, bool shiftClick);

    // The drop of dragged pictures: each selected command goes to the cell
    // targetOf gives it. Outside the grid or on a cell held by a command that
    // is not moving, nothing changes.
    enum class MoveResult { Moved, Outside, Taken };
    MoveResult MoveSelection(const std::function<GridCell(const clsCommand&)>& targetOf);

    // Room and gaps.
    int SpaceInColumn(int ColNum) const;
    bool MakeRoom(int Count);
    void ShiftDown(int ColNum);
    void CloseGaps();

    // The clipboard (the AppState's CommandClipboard), shared by every window.
    static CommandCollectionPtr CopyCommands(const CommandCollectionPtr& Commands);
    void Copy();
    // True when deleting the selection should be confirmed first.
    bool DeleteNeedsConfirmation() const;
    void DeleteSelection();
    // False when there is no room for the clipboard's commands.
    bool Paste();
    bool InsertSpace();

private:
    void Dirty();
    void CloseBodyWindow(clsCommand& co);
    void RemoveAt(int column, int row);
    QString SmallestSelectedKey() const;

    AppState* mApp;  // never null; a pointer, so that a document can be assigned
    bool mGrid[3][61] = {};
};
