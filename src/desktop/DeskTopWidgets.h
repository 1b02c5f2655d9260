#pragma once
// The controls of the editor window frmDeskTop: picture boxes placed in twips,
// the desk that holds the command pictures, the title box, and the two shapes
// (cell cursor and selection rectangle) that the desk paints under its
// pictures. The controls hand their events and their painting to the window
// through DeskEvents.
#include <QColor>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

#include "desktop/core/GridDocument.h"
#include "model/Variant.h"

class QMouseEvent;
class QPainter;

// Where the desk, the command pictures and the title strip's controls hand
// their events and their painting: the editor window. Mouse buttons and the
// shift state are as MouseButtonOf and ShiftStateOf give them; positions are
// twips, on the desk or inside the picture.
class DeskEvents {
public:
    virtual void picDeskTop_MouseDown(int Button, int Shift, double x, double y) = 0;
    virtual void picDeskTop_MouseMove(int Button, int Shift, double x, double y) = 0;
    virtual void picDeskTop_MouseUp(int Button, int Shift, double x, double y) = 0;
    virtual void picDeskTop_Paint(QPainter& p) = 0;
    virtual void picCommand_MouseDown(Integer Index, int Button, int Shift, double X, double Y) = 0;
    virtual void picCommand_MouseMove(Integer Index, int Button, int Shift, double X, double Y) = 0;
    virtual void picCommand_MouseUp(Integer Index, int Button, int Shift, double X, double Y) = 0;
    virtual void picCommand_DblClick(Integer Index) = 0;
    virtual void picCommand_Paint(Integer Index, QPainter& p) = 0;
    // A command picture's size was set.
    virtual void CommandPictureResized() = 0;
    virtual void picModulTitle_Paint(QPainter& p) = 0;
    virtual void txtTitle_Change() = 0;
    virtual void txtTitle_MouseDown() = 0;
    virtual void txtTitle_GotFocus(bool byMouse) = 0;
    virtual void txtTitle_LostFocus() = 0;
    virtual void chkTaskLoop_Click() = 0;
    virtual void chkStartOnStartup_Click() = 0;

protected:
    ~DeskEvents() = default;
};

// A control whose position and size are kept in twips.
class TwipsBox : public QWidget {
    Q_OBJECT
public:
    explicit TwipsBox(QWidget* parent = nullptr) : QWidget(parent) {}

    double Left() const { return mLeft; }
    double Top() const { return mTop; }
    double Width() const { return mWidth; }
    double Height() const { return mHeight; }
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void Move(double left, double top);
    void Move(double left, double top, double width, double height);

protected:
    void Place();
    // The size was set (a move alone does not call it).
    virtual void Resized() {}

private:
    double mLeft = 0, mTop = 0, mWidth = 0, mHeight = 0;
};

// A picture box: a back colour and a picture drawn at its top left corner.
class PictureBox : public TwipsBox {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    QColor BackColor() const { return mBackColor; }
    void setBackColor(const QColor& color);
    // The picture and the key it was taken by ("" for none).
    const QPixmap& Picture() const { return mPicture; }
    const QString& PictureKey() const { return mPictureKey; }
    void setPicture(const QPixmap& picture, const QString& key);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& text) { setToolTip(text); }
    void ZOrder() { raise(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual void PaintContents(QPainter&) {}

private:
    QColor mBackColor;
    QPixmap mPicture;
    QString mPictureKey;
};

// The state of a press on a command picture, kept as its pointer image.
enum class PickIcon { None, Pick, Hand, Put };

// The mouse button (1 left, 2 right, 4 middle; 0 none) and the shift state
// (1 Shift, 2 Ctrl, 4 Alt) of a mouse event.
int MouseButtonOf(const QMouseEvent* event);
int ShiftStateOf(Qt::KeyboardModifiers modifiers);

// One command picture picCommand(Index), named so; it prints its command's
// caption and hands its mouse events to the window in twips.
class PicCommandBox : public PictureBox {
    Q_OBJECT
public:
    PicCommandBox(DeskEvents& events, Integer index, QWidget* parent);
    Integer Index() const { return mIndex; }
    PickIcon MouseIcon() const { return mIcon; }
    void setMouseIcon(PickIcon icon);

protected:
    void Resized() override;
    void PaintContents(QPainter& p) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    DeskEvents& mEvents;
    Integer mIndex;
    PickIcon mIcon = PickIcon::None;
};

// The desk picDeskTop: its surface with the grid lines and the two shapes,
// and the window's background beyond the surface; its mouse events go to the
// window in twips.
class DeskTopBox : public TwipsBox {
    Q_OBJECT
public:
    DeskTopBox(DeskEvents& events, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    DeskEvents& mEvents;
};

// A shape drawn by the desk beneath its pictures (position in twips).
using DeskShape = GridRect;

// The title box txtTitle: a typed double quote becomes a single quote (the
// task file keeps the title between double quotes), line breaks are not part
// of a title, and a character the task file can't carry is refused with a
// message as it is typed, pasted or composed.
class TitleTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    TitleTextBox(DeskEvents& events, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Shows why the text can't be taken into the title; false when it can.
    bool refused(const QString& text);

    DeskEvents& mEvents;
};
