#pragma once
// What the mouse, the keys and the popup menu's editing items do on an editor
// window's desk: presses, drags and releases on the desk and on the command
// pictures, the clipboard and the spaces, and the window's keyboard map, all
// turned into calls of the window's GridDocument; the pictures follow through
// the DeskView. What only the window can do (its frames, its menu, the
// palette, its windows of blocks) the controller asks of it as IDeskWindow.
#include "desktop/core/GridDocument.h"
#include "model/Variant.h"

class DeskView;
class PicCommandBox;

// What the desk's controller asks of its window.
class IDeskWindow {
public:
    // A parameter frame is open; the title box is being edited.
    virtual bool CommandInEdit() const = 0;
    virtual bool TitleEditing() const = 0;
    // The palette's tool, and the palette back on the cursor tool.
    virtual PaletteTool CurrentTool() const = 0;
    virtual void ResetTool() = 0;
    // The keys go to the desk.
    virtual void FocusDesk() = 0;
    // The popup menu on the empty desk (at the cursor), and over a command.
    virtual void PopupOnDesk() = 0;
    virtual void PopupOnCommand(const clsCommand& co) = 0;
    // Enter and Esc while a frame is open: its Ok and its Cancel. False when
    // no frame is open.
    enum class FrameButton { Ok, Cancel };
    virtual bool PressFrame(FrameButton button) = 0;
    // The menu's "Command properties" (the frame of the command at the
    // cursor) and "Open command window" (the window of the block there).
    virtual void mnuUpdate_Click() = 0;
    virtual void mnuCommands_Click() = 0;
    // The project map shows the window's module again.
    virtual void UpdateMap() = 0;

protected:
    ~IDeskWindow() = default;
};

class DeskController {
public:
    DeskController(IDeskWindow& window, GridDocument& doc, DeskView& view) : w(window), d(doc), v(view) {}

    // Mouse: buttons 1 left, 2 right, 4 middle; shift state 1 Shift, 2 Ctrl,
    // 4 Alt; positions in twips (on the desk, or inside the picture).
    void DeskMouseDown(int Button, double x, double y);
    void DeskMouseMove(int Button, double x, double y);
    void DeskMouseUp();
    void CommandMouseDown(Integer Index, int Button, int Shift, double X, double Y);
    void CommandMouseMove(Integer Index, int Button, double X, double Y);
    void CommandMouseUp(Integer Index);
    void CommandDblClick();

    // The cursor to a grid key (CursorPos), and the selection by the
    // rectangle (Index < 1) or by a picture (CalcPicSelection).
    void SetCursor(const QString& key);
    void Select(Integer Index);

    // The popup menu's editing items (and their keys).
    void Copy();
    void Cut();
    void Delete();
    void Paste();
    void InsertSpace();
    void CloseGaps();

    // One key of the keyboard map (key codes as frmDeskTop::Form_KeyDown).
    void KeyDown(int KeyCode, int Shift);
    // The key code of a Qt key, 0 for one the map does not know.
    static int KeyCodeOf(int qtKey);

private:
    // A palette tool pressed on a command of another key replaces it once
    // the user agrees (X, Y inside its picture); the palette goes back to the
    // cursor tool either way.
    void ReplaceWithTool(const PaletteTool& tool, const clsCommand& co, PicCommandBox& pic, double X, double Y);

    // The keyboard map's actions.
    void KeyEnter();
    void KeyEscape();
    void KeyPageUp();
    void KeyPageDown();
    void KeyArrowLeft();
    void KeyArrowUp();
    void KeyArrowRight();
    void KeyArrowDown();
    void KeyCommands();
    void KeyUpdateMap();

    // The cursor followed a key: the pictures and the bars follow it.
    void CursorMoved();

    struct KeyAction;
    static const KeyAction kKeyMap[];

    IDeskWindow& w;
    GridDocument& d;  // the window's grid
    DeskView& v;      // the window's pictures
    // A drag of the selection: where the press was inside the picture, and
    // the moves since the desk was last repainted.
    Integer DragStartX = 0, DragStartY = 0;
    Integer MoveCount = 0;
};
