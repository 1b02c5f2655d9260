#pragma once
// What the mouse and the keys do on an editor window's desk: presses, drags
// and releases on the desk and on the command pictures, and the window's
// keyboard map, all turned into calls of the window's GridDocument and of its
// menu items. frmDeskTop hands its mouse and key handlers over to it.
#include "model/Variant.h"

class DeskView;
class frmDeskTop;

class DeskController {
public:
    DeskController(frmDeskTop& form, DeskView& view) : f(form), v(view) {}

    // Mouse: buttons 1 left, 2 right, 4 middle; shift state 1 Shift, 2 Ctrl,
    // 4 Alt; positions in twips (on the desk, or inside the picture).
    void DeskMouseDown(int Button, double x, double y);
    void DeskMouseMove(int Button, double x, double y);
    void DeskMouseUp();
    void CommandMouseDown(Integer Index, int Button, int Shift, double X, double Y);
    void CommandMouseMove(Integer Index, int Button, double X, double Y);
    void CommandMouseUp(Integer Index);
    void CommandDblClick();

    // One key of the keyboard map (key codes as frmDeskTop::Form_KeyDown).
    void KeyDown(int KeyCode, int Shift);
    // The key code of a Qt key, 0 for one the map does not know.
    static int KeyCodeOf(int qtKey);

private:
    // The keyboard map's actions.
    void KeyEnter();
    void KeyEscape();
    void KeyPageUp();
    void KeyPageDown();
    void KeyArrowLeft();
    void KeyArrowUp();
    void KeyArrowRight();
    void KeyArrowDown();
    void KeyInsertSpace();
    void KeyDeleteSpace();
    void KeyDelete();
    void KeyCopy();
    void KeyCut();
    void KeyPaste();
    void KeyCommands();
    void KeyUpdateMap();

    // The cursor followed a key: the pictures and the bars follow it.
    void CursorMoved();
    // The rows of commands that fill the vertical bar's height.
    int PageRows() const;

    struct KeyAction;
    static const KeyAction kKeyMap[];

    frmDeskTop& f;
    DeskView& v;  // the window's pictures
};
