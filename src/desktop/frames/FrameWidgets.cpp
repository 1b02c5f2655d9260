#include "desktop/frames/FrameWidgets.h"

#include "model/Twips.h"
#include "desktop/frames/ImageList.h"
#include "model/AppState.h"
#include "model/VbError.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int IndentRole = Qt::UserRole + 1;

// Values stand in from their heading.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem o(option);
        o.rect.adjust(index.data(IndentRole).toInt() * 14, 0, 0, 0);
        QStyledItemDelegate::paint(p, o, index);
    }
};

void PlaceWidget(QWidget* w, const FrameGeometry& g, bool fitHeight = false)
{
    QRect r = PixRect(g.Left, g.Top, g.Width, g.Height);
    if (fitHeight)
        r.setHeight(std::max(r.height(), w->sizeHint().height()));
    w->setGeometry(r);
}

void ShowLabel(QLabel* l, const FrameLabel& m)
{
    l->setText(m.Caption);
    l->setToolTip(m.ToolTipText);
    PlaceWidget(l, m, true);
    l->setVisible(m.Visible);
}

void ShowCheck(QCheckBox* c, const FrameCheck& m)
{
    c->setText(m.Caption);
    c->setChecked(m.Value == 1);
    c->setToolTip(m.ToolTipText);
    c->setEnabled(m.Enabled);
    PlaceWidget(c, m, true);
    c->setVisible(m.Visible);
}

void ShowText(QLineEdit* t, const FrameText& m)
{
    if (t->text() != m.Text)
        t->setText(m.Text);
    PlaceWidget(t, m);
    t->setVisible(m.Visible);
}

void ShowButton(QPushButton* b, const FrameButton& m)
{
    b->setText(m.Caption);
    // A caption wider than the design keeps the button's centre.
    QRect r = PixRect(m.Left, m.Top, m.Width, m.Height);
    const int need = b->sizeHint().width();
    if (need > r.width())
        r.adjust(-(need - r.width()) / 2, 0, (need - r.width() + 1) / 2, 0);
    b->setGeometry(r);
    b->setVisible(m.Visible);
}

// The operator label is drawn in a font larger than its design one: it keeps
// its design centre and grows to the widest operator it may show, so that
// the range "{..}" is shown whole like the others.
QRect OperatorRect(const QLabel* label, const FrameLabel& m)
{
    QRect r = PixRect(m.Left, m.Top, m.Width, m.Height);
    const QFontMetrics fm(label->font());
    int widest = fm.horizontalAdvance(m.Caption);
    for (const QString& symbol : App().CompareSymbol)
        widest = std::max(widest, fm.horizontalAdvance(symbol));
    // The frame and margins around the text.
    const int aroundX = label->width() - label->contentsRect().width() + 2 * label->margin();
    const int aroundY = label->height() - label->contentsRect().height() + 2 * label->margin();
    const int moreX = widest + aroundX - r.width();
    if (moreX > 0)
        r.adjust(-moreX / 2, 0, (moreX + 1) / 2, 0);
    const int moreY = fm.height() + aroundY - r.height();
    if (moreY > 0)
        r.adjust(0, -moreY / 2, 0, (moreY + 1) / 2);
    return r;
}

// Both frames are raised panels of their design size.
void SetUpPanel(QFrame* frame, const char* name, double width, double height)
{
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setAutoFillBackground(true);
    frame->setFixedSize(PixX(width), PixY(height));
}

// The control a frame named for the focus gets it (no name, no control).
void FocusControl(const QWidget* frame, const QString& name)
{
    if (name.isEmpty())
        return;
    if (QWidget* w = frame->findChild<QWidget*>(name))
        w->setFocus(Qt::OtherFocusReason);
}

// A handler of the frame runs inside a guard of its own: the frames' handlers
// catch what they expect, anything else is shown by the application's guard.
void Run(const std::function<void()>& f)
{
    if (f)
        f();
}

}  // namespace

bool FocusFirstBox(QWidget* frame)
{
    QWidget* first[2] = {nullptr, nullptr};  // a list or text box, a check box
    QPoint at[2];
    for (QWidget* w : frame->findChildren<QWidget*>()) {
        const bool typing = qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w);
        const bool check = qobject_cast<QCheckBox*>(w);
        // An edit box's line belongs to its box.
        if (!(typing || check) || qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        if (!w->isVisibleTo(frame) || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        const int kind = typing ? 0 : 1;
        const QPoint p = w->mapTo(frame, QPoint(0, 0));
        if (!first[kind] || p.y() < at[kind].y() || (p.y() == at[kind].y() && p.x() < at[kind].x())) {
            first[kind] = w;
            at[kind] = p;
        }
    }
    QWidget* box = first[0] ? first[0] : first[1];
    if (!box)
        return false;
    box->setFocus(Qt::OtherFocusReason);
    return true;
}

// ---- the image combo

ImageComboBox::ImageComboBox(FrameCombo& model, QWidget* parent) : QComboBox(parent), mModel(model)
{
    setEditable(model.FreeText);
    setInsertPolicy(QComboBox::NoInsert);
    setIconSize(QSize(16, 16));
    setMaxVisibleItems(16);
    setItemDelegate(new IndentDelegate(this));
    if (QLineEdit* edit = lineEdit()) {
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (mRefreshing)
                return;
            mModel.Type(text);
            Run(KeyPressed);
        });
    }
    // Keys typed into the open list are read as those typed into the box.
    view()->installEventFilter(this);
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        // Enter that closed the frame reaches the box afterwards: no choice then.
        if (mRefreshing || !isVisible())
            return;
        mModel.Choose(index);
        Run(Clicked);
        if (mModel.DropDownAgain) {
            mModel.DropDownAgain = false;
            QTimer::singleShot(0, this, [this] { showPopup(); });
        }
    });
}

void ImageComboBox::Refresh()
{
    mRefreshing = true;
    QString shown;
    for (const ComboItem& i : mModel.Items)
        shown += i.Key + QLatin1Char('\x1f') + i.Text + QLatin1Char('\x1f') + i.Tag + QLatin1Char('\x1e');
    if (shown != mItemsShown) {
        clear();
        for (const ComboItem& i : mModel.Items) {
            QIcon icon;
            if (ILDT().Exists(i.Image))
                icon = ILDT().Icon(i.Image);
            addItem(icon, i.Text);
            const int row = count() - 1;
            setItemData(row, i.Indentation, IndentRole);
            if (i.IsHeading()) {
                QFont f = font();
                f.setBold(true);
                setItemData(row, f, Qt::FontRole);
            }
        }
        mItemsShown = shown;
        // The list is as wide as its widest item, so no name is cut short.
        QFont boldFont = font();
        boldFont.setBold(true);
        const QFontMetrics plain(font()), bold(boldFont);
        int widest = 0;
        for (const ComboItem& i : mModel.Items) {
            const int text = (i.IsHeading() ? bold : plain).horizontalAdvance(i.Text);
            widest = std::max(widest, text + i.Indentation * 14 + iconSize().width() + 24);
        }
        view()->setMinimumWidth(widest + view()->verticalScrollBar()->sizeHint().width());
    }
    if (currentIndex() != mModel.Selected)
        setCurrentIndex(mModel.Selected);
    if (isEditable() && currentText() != mModel.Text)
        setEditText(mModel.Text);
    setToolTip(mModel.ToolTipText);
    setEnabled(mModel.Enabled);
    PlaceWidget(this, mModel);
    setVisible(mModel.Visible);
    mRefreshing = false;
}

bool ImageComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view() && event->type() == QEvent::KeyPress && !isEditable()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // With no item to choose (a typed name the list lacks), Enter
            // closes the list and goes on to the frame as typed in the box.
            if (!view()->currentIndex().isValid()) {
                hidePopup();
                QKeyEvent again(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
                QCoreApplication::sendEvent(this, &again);
                return true;
            }
        } else {
            NoteTyped(key->text());
        }
    }
    if (watched == lineEdit() && event->type() == QEvent::FocusIn) {
        QLineEdit* edit = lineEdit();
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
    return QComboBox::eventFilter(watched, event);
}

void ImageComboBox::keyPressEvent(QKeyEvent* event)
{
    QComboBox::keyPressEvent(event);
    // A blank opens the list rather than searching it.
    if (!isEditable() && event->key() != Qt::Key_Space)
        NoteTyped(event->text());
}

void ImageComboBox::NoteTyped(const QString& text)
{
    if (text.isEmpty() || !text.at(0).isPrint())
        return;
    if (!mTyping.isValid() || mTyping.restart() > QApplication::keyboardInputInterval())
        mSearch.clear();
    if (!mTyping.isValid())
        mTyping.start();
    mSearch += text;
    // The same letter again steps through the items that begin with it.
    const bool oneLetter = mSearch.count(mSearch.at(0)) == mSearch.size();
    const QString begin = oneLetter ? mSearch.left(1) : mSearch;
    const bool found = std::any_of(mModel.Items.begin(), mModel.Items.end(), [&](const ComboItem& i) {
        return i.Text.startsWith(begin, Qt::CaseInsensitive);
    });
    mModel.Typed = found ? QString() : mSearch;
}

void ImageComboBox::ForgetTyping()
{
    mSearch.clear();
    mTyping.invalidate();
    // The list's own search starts afresh too.
    view()->keyboardSearch(QString());
}

void ImageComboBox::focusInEvent(QFocusEvent* event)
{
    // A new visit to the box starts a new search; coming back from its own
    // open list goes on with the one typed there.
    if (!isEditable() && event->reason() != Qt::PopupFocusReason)
        ForgetTyping();
    QComboBox::focusInEvent(event);
    if (QLineEdit* edit = lineEdit())
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
}

// ---- labels and text boxes

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    // The release that ends a double click is no click of its own.
    if (mDoubleClicked) {
        mDoubleClicked = false;
        return;
    }
    Run(Click);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    mDoubleClicked = true;
    Run(DblClick);
}

void FrameLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    QTimer::singleShot(0, this, [this] { selectAll(); });
}

void FrameLineEdit::keyReleaseEvent(QKeyEvent* event)
{
    QLineEdit::keyReleaseEvent(event);
    Run(KeyUp);
}

// ---- the motor frame

MotorFrameWidget::MotorFrameWidget(const SourceNameTable& names, QWidget* parent) : QFrame(parent), Model(App(), names)
{
    SetUpPanel(this, "FraMotor", MotorFrame::FrameWidth, MotorFrame::FrameHeight);

    lblMotor = new QLabel(this);
    QFont bold = font();
    bold.setBold(true);
    lblMotor->setFont(bold);
    for (int i = 0; i < 3; ++i) {
        chkMotor[i] = new QCheckBox(this);
        chkMotor[i]->setFont(bold);
        chkMotor[i]->setObjectName(QStringLiteral("chkMotor(%1)").arg(i));
        connect(chkMotor[i], &QCheckBox::clicked, this, [this, i](bool on) {
            Model.chkMotor[i].Value = on ? 1 : 0;
        });
    }
    chkStopFloat = new QCheckBox(this);
    connect(chkStopFloat, &QCheckBox::clicked, this, [this](bool on) { Model.chkStopFloat.Value = on ? 1 : 0; });
    chkTime = new QCheckBox(this);
    connect(chkTime, &QCheckBox::clicked, this, [this](bool on) {
        Model.chkTime.Value = on ? 1 : 0;
        Model.chkTime_Click();
        Refresh();
    });
    lblTime = new QLabel(this);
    cmbTimeCount = new ImageComboBox(Model.cmbTimeCount, this);
    cmbTimeCount->Clicked = [this] { Model.cmbTimeCount_Click(); Refresh(); };
    cmbTimeCount->KeyPressed = [this] { Model.cmbTimeCount_KeyPress(); Refresh(); };
    cmbTime = new ImageComboBox(Model.cmbTime, this);
    cmbTime->Clicked = [this] { Model.cmbTime_Click(); Refresh(); };
    cmbSpeed = new ImageComboBox(Model.cmbSpeed, this);
    cmbSpeed->Clicked = [this] { Model.cmbSpeed_Click(); Refresh(); };
    cmbSound = new ImageComboBox(Model.cmbSound, this);
    cmbSound->Clicked = [this] { Model.cmbSound_Click(); Refresh(); };
    cmbSound->KeyPressed = [this] { Model.cmbSound_KeyPress(); Refresh(); };
    lblSpeed = new QLabel(this);
    for (int i = 0; i < 2; ++i) {
        txtTime[i] = new FrameLineEdit(this);
        txtTime[i]->setObjectName(QStringLiteral("txtTime(%1)").arg(i));
        connect(txtTime[i], &QLineEdit::textEdited, this, [this, i](const QString& t) { Model.txtTime[i].Text = t; });
    }
    // Two characters in the hour box: on to the minutes.
    txtTime[0]->KeyUp = [this] {
        if (txtTime[0]->text().size() == 2)
            txtTime[1]->setFocus(Qt::OtherFocusReason);
    };
    txtRem = new FrameLineEdit(this);
    connect(txtRem, &QLineEdit::textEdited, this, [this](const QString& t) {
        // The task file keeps the comment between double quotes.
        QString text = t;
        if (text.contains(QLatin1Char('"'))) {
            const int pos = txtRem->cursorPosition();
            text.replace(QLatin1Char('"'), QLatin1Char('\''));
            txtRem->setText(text);
            txtRem->setCursorPosition(pos);
        }
        Model.txtRem.Text = text;
    });
    cmdOkMotor = new QPushButton(this);
    cmdCancelMotor = new QPushButton(this);
    cmdOkMotor->setObjectName(QStringLiteral("cmdOkMotor"));
    cmdCancelMotor->setObjectName(QStringLiteral("cmdCancelMotor"));
    connect(cmdOkMotor, &QPushButton::clicked, this, [this] { Run(OkClicked); });
    connect(cmdCancelMotor, &QPushButton::clicked, this, [this] { Run(CancelClicked); });

    cmbTimeCount->setObjectName(QStringLiteral("cmbTimeCount"));
    cmbTime->setObjectName(QStringLiteral("cmbTime"));
    cmbSpeed->setObjectName(QStringLiteral("cmbSpeed"));
    cmbSound->setObjectName(QStringLiteral("cmbSound"));
    txtRem->setObjectName(QStringLiteral("txtRem"));
    lblMotor->setObjectName(QStringLiteral("lblMotor"));
    lblSpeed->setObjectName(QStringLiteral("lblSpeed"));
    lblTime->setObjectName(QStringLiteral("lblTime"));
    chkTime->setObjectName(QStringLiteral("chkTime"));
    chkStopFloat->setObjectName(QStringLiteral("chkStopFloat"));
    Refresh();
}

void MotorFrameWidget::Refresh(bool applyFocus)
{
    ShowLabel(lblMotor, Model.lblMotor);
    for (int i = 0; i < 3; ++i)
        ShowCheck(chkMotor[i], Model.chkMotor[i]);
    ShowCheck(chkStopFloat, Model.chkStopFloat);
    ShowCheck(chkTime, Model.chkTime);
    ShowLabel(lblTime, Model.lblTime);
    for (ImageComboBox* c : {cmbTimeCount, cmbTime, cmbSpeed, cmbSound})
        c->Refresh();
    ShowLabel(lblSpeed, Model.lblSpeed);
    for (int i = 0; i < 2; ++i)
        ShowText(txtTime[i], Model.txtTime[i]);
    ShowText(txtRem, Model.txtRem);
    ShowButton(cmdOkMotor, Model.cmdOkMotor);
    ShowButton(cmdCancelMotor, Model.cmdCancelMotor);
    if (applyFocus)
        FocusControl(this, Model.Focus);
}

// ---- the logic frame

LogicFrameWidget::LogicFrameWidget(const SourceNameTable& names, QWidget* parent) : QFrame(parent), Model(App(), names)
{
    SetUpPanel(this, "fraLogic", LogicFrame::FrameWidth, LogicFrame::FrameHeight);

    cmbParam1 = new ImageComboBox(Model.cmbParam1, this);
    cmbParam1->Clicked = [this] { Model.cmbParam1_Click(); Refresh(); };
    lblOperator = new ClickLabel(this);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    lblOperator->setFont(bold);
    lblOperator->setAlignment(Qt::AlignCenter);
    lblOperator->setFrameShape(QFrame::StyledPanel);
    lblOperator->setCursor(Qt::PointingHandCursor);
    lblOperator->Click = [this] { Model.lblOperator_Click(); Refresh(); };
    lblOperator->DblClick = [this] { Model.lblOperator_DblClick(); Refresh(); };
    cmbParam2 = new ImageComboBox(Model.cmbParam2, this);
    cmbParam2->Clicked = [this] { Model.cmbParam2_Click(); Refresh(); };
    cmbTaskAndOp = new ImageComboBox(Model.cmbTaskAndOp, this);
    cmbTaskAndOp->Clicked = [this] { Model.cmbTaskAndOp_Click(); Refresh(); };
    cmbVar1 = new ImageComboBox(Model.cmbVar1, this);
    cmbVar1->Clicked = [this] { Model.cmbVar1_Click(); Refresh(); };
    cmbVar2 = new ImageComboBox(Model.cmbVar2, this);
    cmbVar2->Clicked = [this] { Model.cmbVar2_Click(); Refresh(); };
    lblG = new QLabel(this);
    lblG1 = new QLabel(this);
    lblG2 = new QLabel(this);
    cmdOkLogic = new QPushButton(this);
    cmdOkOpenLogic = new QPushButton(this);
    cmdCancelLogic = new QPushButton(this);
    connect(cmdOkLogic, &QPushButton::clicked, this, [this] { Run(OkClicked); });
    connect(cmdOkOpenLogic, &QPushButton::clicked, this, [this] { Run(OkOpenClicked); });
    connect(cmdCancelLogic, &QPushButton::clicked, this, [this] { Run(CancelClicked); });

    cmbParam1->setObjectName(QStringLiteral("cmbParam1"));
    lblOperator->setObjectName(QStringLiteral("lblOperator"));
    cmbParam2->setObjectName(QStringLiteral("cmbParam2"));
    cmbTaskAndOp->setObjectName(QStringLiteral("cmbTaskAndOp"));
    cmbVar1->setObjectName(QStringLiteral("cmbVar1"));
    cmbVar2->setObjectName(QStringLiteral("cmbVar2"));
    lblG->setObjectName(QStringLiteral("lblG"));
    lblG1->setObjectName(QStringLiteral("lblG1"));
    lblG2->setObjectName(QStringLiteral("lblG2"));
    cmdOkLogic->setObjectName(QStringLiteral("cmdOkLogic"));
    cmdOkOpenLogic->setObjectName(QStringLiteral("cmdOkOpenLogic"));
    cmdCancelLogic->setObjectName(QStringLiteral("cmdCancelLogic"));
    // Wider than the gap between the operands, the operator lies over their edges.
    lblOperator->raise();
    Refresh();
}

void LogicFrameWidget::Refresh(bool applyFocus)
{
    for (ImageComboBox* c : {cmbParam1, cmbParam2, cmbTaskAndOp, cmbVar1, cmbVar2})
        c->Refresh();
    lblOperator->setText(Model.lblOperator.Caption);
    lblOperator->setToolTip(Model.lblOperator.ToolTipText);
    lblOperator->setGeometry(OperatorRect(lblOperator, Model.lblOperator));
    lblOperator->setVisible(Model.lblOperator.Visible);
    ShowLabel(lblG, Model.lblG);
    ShowLabel(lblG1, Model.lblG1);
    ShowLabel(lblG2, Model.lblG2);
    ShowButton(cmdOkLogic, Model.cmdOkLogic);
    ShowButton(cmdOkOpenLogic, Model.cmdOkOpenLogic);
    ShowButton(cmdCancelLogic, Model.cmdCancelLogic);
    // A middle button wider than its place pushes its neighbours aside.
    if (Model.cmdOkOpenLogic.Visible) {
        const int gap = 4;
        const QRect mid = cmdOkOpenLogic->geometry();
        if (cmdOkLogic->geometry().right() + gap > mid.left())
            cmdOkLogic->move(std::max(2, mid.left() - gap - cmdOkLogic->width()), cmdOkLogic->y());
        if (cmdCancelLogic->x() < mid.right() + gap)
            cmdCancelLogic->move(std::min(width() - 2 - cmdCancelLogic->width(), mid.right() + gap),
                                 cmdCancelLogic->y());
    }
    if (applyFocus)
        FocusControl(this, Model.Focus);
}
