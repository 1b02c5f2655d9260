#include "desktop/DeskTopWidgets.h"

#include "model/Twips.h"
#include "desktop/DeskTitleStrip.h"
#include "desktop/DeskView.h"
#include "model/Messages.h"
#include "model/Records.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMimeData>
#include <QPainter>

// ---- TwipsBox

void TwipsBox::Place()
{
    setGeometry(PixRect(mLeft, mTop, mWidth, mHeight));
}

void TwipsBox::setLeft(double twips)
{
    mLeft = twips;
    Place();
}

void TwipsBox::setTop(double twips)
{
    mTop = twips;
    Place();
}

void TwipsBox::setWidth(double twips)
{
    mWidth = twips;
    Place();
    Resized();
}

void TwipsBox::setHeight(double twips)
{
    mHeight = twips;
    Place();
    Resized();
}

void TwipsBox::Move(double left, double top)
{
    mLeft = left;
    mTop = top;
    Place();
}

void TwipsBox::Move(double left, double top, double width, double height)
{
    mLeft = left;
    mTop = top;
    mWidth = width;
    mHeight = height;
    Place();
    Resized();
}

// ---- PictureBox

PictureBox::PictureBox(QWidget* parent) : TwipsBox(parent)
{
    mBackColor = palette().color(QPalette::Button);
}

void PictureBox::setBackColor(const QColor& color)
{
    if (mBackColor == color)
        return;
    mBackColor = color;
    update();
}

void PictureBox::setPicture(const QPixmap& picture, const QString& key)
{
    mPicture = picture;
    mPictureKey = key;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), mBackColor);
    if (!mPicture.isNull())
        p.drawPixmap(0, 0, mPicture);
    PaintContents(p);
}

// ---- PicCommandBox

PicCommandBox::PicCommandBox(DeskEvents& events, Integer index, QWidget* parent)
    : PictureBox(parent), mEvents(events), mIndex(index)
{
    setObjectName(QStringLiteral("picCommand(%1)").arg(index));
    setFont(DeskView::CaptionFont(false));
    setMouseTracking(true);
}

void PicCommandBox::Resized()
{
    mEvents.CommandPictureResized();
}

void PicCommandBox::PaintContents(QPainter& p)
{
    mEvents.picCommand_Paint(mIndex, p);
}

void PicCommandBox::setMouseIcon(PickIcon icon)
{
    mIcon = icon;
    switch (icon) {
    case PickIcon::Pick: setCursor(Qt::ClosedHandCursor); break;
    case PickIcon::Hand: setCursor(Qt::OpenHandCursor); break;
    case PickIcon::Put: setCursor(Qt::CrossCursor); break;
    case PickIcon::None: unsetCursor(); break;
    }
}

int MouseButtonOf(const QMouseEvent* event)
{
    const Qt::MouseButtons b = event->type() == QEvent::MouseMove ? event->buttons() : event->button();
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

int ShiftStateOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
           | (modifiers & Qt::AltModifier ? 4 : 0);
}

void PicCommandBox::mousePressEvent(QMouseEvent* event)
{
    const QPointF p = TwipPoint(event->position());
    mEvents.picCommand_MouseDown(mIndex, MouseButtonOf(event), ShiftStateOf(event->modifiers()), p.x(), p.y());
}

void PicCommandBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = TwipPoint(event->position());
    mEvents.picCommand_MouseMove(mIndex, MouseButtonOf(event), ShiftStateOf(event->modifiers()), p.x(), p.y());
}

void PicCommandBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF p = TwipPoint(event->position());
    mEvents.picCommand_MouseUp(mIndex, MouseButtonOf(event), ShiftStateOf(event->modifiers()), p.x(), p.y());
}

void PicCommandBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    mEvents.picCommand_DblClick(mIndex);
}

// ---- DeskTopBox

DeskTopBox::DeskTopBox(DeskEvents& events, QWidget* parent) : TwipsBox(parent), mEvents(events)
{
    // The surface's colour fills the desk before each paint (the frames that
    // lie on the desk show it too); the paint gives the part beyond the
    // surface the window's background.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void DeskTopBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    mEvents.picDeskTop_Paint(p);
}

void DeskTopBox::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPointF p = TwipPoint(event->position());
    mEvents.picDeskTop_MouseDown(MouseButtonOf(event), ShiftStateOf(event->modifiers()), p.x(), p.y());
}

void DeskTopBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = TwipPoint(event->position());
    mEvents.picDeskTop_MouseMove(MouseButtonOf(event), ShiftStateOf(event->modifiers()), p.x(), p.y());
}

void DeskTopBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF p = TwipPoint(event->position());
    mEvents.picDeskTop_MouseUp(MouseButtonOf(event), ShiftStateOf(event->modifiers()), p.x(), p.y());
}

// ---- TitleTextBox

TitleTextBox::TitleTextBox(DeskEvents& events, QWidget* parent) : QPlainTextEdit(parent), mEvents(events)
{
    setFont(DeskTitleStrip::TitleFont(false));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

void TitleTextBox::keyPressEvent(QKeyEvent* event)
{
    // Enter and Esc belong to the window's grid commands.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    if (refused(event->text())) {
        event->accept();
        return;
    }
    if (event->text().contains(QLatin1Char('"'))) {
        QString text = event->text();
        text.replace(QLatin1Char('"'), QLatin1Char('\''));
        QKeyEvent changed(event->type(), Qt::Key_Apostrophe, event->modifiers(), text,
                          event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&changed);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TitleTextBox::mousePressEvent(QMouseEvent* event)
{
    mEvents.txtTitle_MouseDown();
    QPlainTextEdit::mousePressEvent(event);
}

void TitleTextBox::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    mEvents.txtTitle_GotFocus(event->reason() == Qt::MouseFocusReason);
}

void TitleTextBox::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    mEvents.txtTitle_LostFocus();
}

void TitleTextBox::insertFromMimeData(const QMimeData* source)
{
    // A pasted title follows the same rules as a typed one.
    QString text = source->text();
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (refused(text))
        return;
    insertPlainText(text);
}

void TitleTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (refused(event->commitString())) {
        // The text being composed goes, the refused text is not taken.
        QInputMethodEvent dropped;
        QPlainTextEdit::inputMethodEvent(&dropped);
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

bool TitleTextBox::refused(const QString& text)
{
    // A double quote is turned into a single quote before it is taken.
    QString stored = text;
    stored.replace(QLatin1Char('"'), QLatin1Char('\''));
    const QString refusal = StoredTextRefusal(stored, TextField::Quoted);
    if (refusal.isEmpty())
        return false;
    ShowMessage(refusal, MsgStyle::Exclamation);
    return true;
}
