#pragma once
// What an editor window shows of its grid: the command pictures on the desk
// (one picture box per command, kept by the command's PicIndex; picture 0 is
// the template whose size is the cell size), their captions, the grid lines,
// the cell cursor and the selection rectangle, and the scrolling that keeps
// the cursor in sight. frmDeskTop hands its painting and its pictures over
// to it.
#include "desktop/DeskTopWidgets.h"
#include "model/Command.h"

#include <QFont>
#include <QList>
#include <QString>

#include <map>

class frmDeskTop;
class QPainter;
class QWheelEvent;

// One line that a command picture prints: its text, bold or not, and where it
// starts (twips from the picture's left edge).
struct CaptionLine {
    QString text;
    bool bold = false;
    double x = 0;
};

class DeskView {
public:
    explicit DeskView(frmDeskTop& form) : f(form) {}

    // The pictures by index; nullptr for an index that is not loaded.
    void LoadTemplate();
    PicCommandBox* picCommand(int index) const;
    int picCommandUBound() const;
    // Loads picture Index (failure 360 when it is loaded already) and unloads it.
    PicCommandBox* LoadPicCommand(int index);
    void UnloadPicCommand(int index);
    void SizeCommandPicture(Integer Index);
    void SetCommandBackColor(Integer Index, const QColor& color);
    void RepaintCommand(Integer Index);

    // The cell size, read from the template picture.
    double CellWidth() const;
    double CellHeight() const;
    // How far across the desk its surface reaches (twips): to the end of the
    // grid lines, 2.5 cells. The rest of the desk shows the window's background.
    double DeskSurfaceWidth() const;
    // How far across the desk there is something to show (twips): both
    // columns, or further where a picture is grown around an open frame.
    double DeskContentWidth() const;

    // The cell (CurrentColumn, CurrentRow) that holds a picture's centre.
    Integer CalcCmdPos(Integer Index);
    // Makes the pictures and the cursor follow the document.
    void SyncPictures();
    // Loads a picture for every command of the grid.
    void ShowCommands();
    // A command the document added gets its picture.
    void CommandAdded(clsCommand& command);
    bool CommandShown(const clsCommand& command) const;

    void SetPictureFromList(PictureBox* Target, const QString& Key);
    void SetCommandToolTip(PictureBox* Picture, const clsCommand& Command);
    QString WrapCaption(const QString& text) const;
    static QList<CaptionLine> CaptionLines(const QString& caption0, const QString& caption1);
    static QFont CaptionFont(bool bold);

    void PaintCommand(Integer Index, QPainter& p);
    void PaintDesk(QPainter& p);

    // The vertical bar walks a cell at a time until the cursor's row shows.
    void ScrollScr();
    // The wheel moves the bars (Shift or a sideways wheel: across).
    void Wheel(QWheelEvent* event);

private:
    PicCommandBox* NeedPicture(int index) const;

    frmDeskTop& f;  // the window
    std::map<int, PicCommandBox*> mPicCommand;
};
