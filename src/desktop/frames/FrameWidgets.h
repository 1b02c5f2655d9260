#pragma once
// The widgets of the parameter frames: each shows the state of its frame
// (MotorFrame, LogicFrame) and hands the user's actions to the frame's
// handlers, then shows the state again. Ok and Cancel are passed on to the
// editor window, which closes the frame.
#include "desktop/core/FrameControls.h"
#include "desktop/core/LogicFrame.h"
#include "desktop/core/MotorFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

// An image combo box: the items of a FrameCombo with their pictures from
// ILDT, headings in bold, values indented.
class ImageComboBox : public QComboBox {
    Q_OBJECT
public:
    ImageComboBox(FrameCombo& model, QWidget* parent);
    FrameCombo& Model() { return mModel; }
    // Shows the model: items, selection, text, place, visibility, tool tip.
    void Refresh();

    // The user chose an item, typed a key, or the box got the focus.
    std::function<void()> Clicked;
    std::function<void()> KeyPressed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A list: the letters typed into it in one go, as its search reads
    // them; a text that no item begins with is kept in the model's Typed.
    void NoteTyped(const QString& text);
    void ForgetTyping();
    FrameCombo& mModel;
    QString mItemsShown;
    bool mRefreshing = false;
    QString mSearch;
    QElapsedTimer mTyping;
};

// A label that passes its clicks and double clicks on.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    std::function<void()> Click;
    std::function<void()> DblClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool mDoubleClicked = false;
};

// A text box of a frame: it selects its whole text when it gets the focus.
class FrameLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    std::function<void()> KeyUp;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

// The motor and general frame FraMotor.
class MotorFrameWidget : public QFrame {
    Q_OBJECT
public:
    MotorFrameWidget(const SourceNameTable& names, QWidget* parent = nullptr);

    MotorFrame Model;

    QLabel* lblMotor;
    QCheckBox* chkMotor[3];
    QCheckBox* chkStopFloat;
    QCheckBox* chkTime;
    QLabel* lblTime;
    ImageComboBox* cmbTimeCount;
    ImageComboBox* cmbTime;
    ImageComboBox* cmbSpeed;
    ImageComboBox* cmbSound;
    QLabel* lblSpeed;
    FrameLineEdit* txtTime[2];
    FrameLineEdit* txtRem;
    QPushButton* cmdOkMotor;
    QPushButton* cmdCancelMotor;

    // The editor window's handlers of the two buttons.
    std::function<void()> OkClicked;
    std::function<void()> CancelClicked;

    // Shows the frame's state; with applyFocus the control the frame named
    // last gets the focus.
    void Refresh(bool applyFocus = false);
};

// Gives the focus to the frame's first box: the first shown list or text box
// in reading order (top to bottom, then left to right), else its first check
// box. False when the frame has neither.
bool FocusFirstBox(QWidget* frame);

// The logic frame fraLogic.
class LogicFrameWidget : public QFrame {
    Q_OBJECT
public:
    LogicFrameWidget(const SourceNameTable& names, QWidget* parent = nullptr);

    LogicFrame Model;

    ImageComboBox* cmbParam1;
    ClickLabel* lblOperator;
    ImageComboBox* cmbParam2;
    ImageComboBox* cmbTaskAndOp;
    ImageComboBox* cmbVar1;
    ImageComboBox* cmbVar2;
    QLabel* lblG;
    QLabel* lblG1;
    QLabel* lblG2;
    QPushButton* cmdOkLogic;
    QPushButton* cmdOkOpenLogic;
    QPushButton* cmdCancelLogic;

    std::function<void()> OkClicked;
    std::function<void()> OkOpenClicked;
    std::function<void()> CancelClicked;

    void Refresh(bool applyFocus = false);
};
