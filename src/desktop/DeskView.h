#pragma once
// What an editor window shows of its grid: the command pictures on the desk
// (one picture box per command, kept by the command's PicIndex; picture 0 is
// the template whose size is the cell size), their captions, the grid lines,
// the cell cursor and the selection rectangle, and the scrolling that keeps
// the cursor in sight. The window makes the desk and the bars and hands them
// over; the view shows the window's GridDocument on them.
#include "desktop/DeskTopWidgets.h"
#include "model/Command.h"

#include <QFont>
#include <QList>
#include <QString>

#include <functional>
#include <map>

class ImageList;
class QPainter;
class QScrollBar;
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
    // The window's palette gives the colours; doc is the grid shown.
    DeskView(QWidget& window, GridDocument& doc) : mWindow(window), mDoc(doc) {}

    // The controls the view shows the grid on: the desk, which holds the
    // pictures, the two bars that move it, where the pictures hand their
    // events, and who watches a new picture's keys. Loads the template.
    struct Controls {
        DeskTopBox* desk = nullptr;
        QScrollBar* vertical = nullptr;
        QScrollBar* horizontal = nullptr;
        DeskEvents* events = nullptr;
        std::function<void(QWidget*)> watchKeys;
    };
    void Attach(const Controls& controls);

    // Colours of a selected and an unselected command picture.
    static QColor SelectedColor() { return QColor(0, 255, 255); }
    static QColor UnselectedColor(const QWidget& window);

    // The pictures by index; nullptr for an index that is not loaded.
    PicCommandBox* picCommand(int index) const;
    int picCommandUBound() const;
    // Loads picture Index (failure 360 when it is loaded already) and unloads it.
    PicCommandBox* LoadPicCommand(int index);
    void UnloadPicCommand(int index);
    void SizeCommandPicture(Integer Index);
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
    // The cell that holds the centre of a picture at (left, top) on a grid
    // of cells of that size; the grid's range is not checked.
    static GridCell CellOfCentre(double left, double top, double cellWidth, double cellHeight);
    // Makes the pictures and the cursor follow the document.
    void SyncPictures();
    // The picture of the command at the cursor comes to the front.
    void RaiseCommandAtCursor();
    // Loads a picture for every command of the grid.
    void ShowCommands();
    // A command the document added gets its picture.
    void CommandAdded(clsCommand& command);
    bool CommandShown(const clsCommand& command) const;
    // Every picture's tool tip tells its command again.
    void RefreshToolTips();

    // The cell cursor as the desk paints it, one cell in size.
    const DeskShape& Cursor() const { return mCursor; }
    void FitCursorToCell();

    static void SetPictureFromList(PictureBox* Target, const QString& Key);
    static void SetPictureFromList(PictureBox* Target, const ImageList& List, const QString& Key);
    static void SetCommandToolTip(PictureBox* Picture, const clsCommand& Command);
    // A comment broken into lines narrower than a picture of the template's width.
    QString WrapCaption(const QString& text) const;
    static QString WrapCaption(const QString& text, double pictureWidth);
    static QList<CaptionLine> CaptionLines(const QString& caption0, const QString& caption1);
    static QFont CaptionFont(bool bold);

    void PaintCommand(Integer Index, QPainter& p);
    void PaintDesk(QPainter& p);
    void RepaintDesk();
    // The desk's pointer: the cross while a palette tool other than the
    // cursor is chosen, else the window's.
    void ShowPlacingPointer(bool placing);

    // The vertical bar walks a cell at a time until the cursor's row shows.
    void ScrollScr();
    // The desk back at its left edge.
    void ScrollToLeftEdge();
    // The rows of commands that fill the vertical bar's height.
    int PageRows() const;
    // The wheel moves the bars (Shift or a sideways wheel: across).
    void Wheel(QWheelEvent* event);

private:
    PicCommandBox* NeedPicture(int index) const;

    QWidget& mWindow;
    GridDocument& mDoc;
    Controls mControls;
    DeskShape mCursor;
    std::map<int, PicCommandBox*> mPicCommand;
};
