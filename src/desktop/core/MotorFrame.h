#pragma once
// The motor and general parameter frame FraMotor, without widgets: it edits
// the motor commands (M_...), the general commands (G_...) and the comment
// (A_REM). Open lays it out for the command's key and fills it from the
// command; the handlers are those of its controls; "Ok" checks the entries
// and writes them into the command (UpdateMotorObject), "Cancel" puts the
// command's parameters back as they were when the frame opened.
//
// Positions and sizes are twips inside the frame.
#include "desktop/core/FrameControls.h"

#include <functional>
#include <memory>

class MotorFrame : public FrameEditing {
public:
    MotorFrame(AppState& app, const SourceNameTable& sourceNames);

    // The frame's size.
    static constexpr double FrameWidth = 5205;
    static constexpr double FrameHeight = 1935;

    // Controls.
    FrameLabel lblMotor;
    FrameCheck chkMotor[3];
    FrameCheck chkStopFloat;
    FrameCheck chkTime;
    FrameLabel lblTime;
    FrameCombo cmbTimeCount{true};
    FrameCombo cmbTime{false};
    FrameCombo cmbSpeed{true};
    FrameCombo cmbSound{true};
    FrameLabel lblSpeed;
    FrameText txtTime[2];
    FrameText txtRem;
    FrameButton cmdOkMotor;
    FrameButton cmdCancelMotor;

    // The control that was last given the focus ("cmbSound", "txtTime(0)" ...).
    QString Focus;

    // Upper limits of a random duration and of a random speed.
    Integer RandomLimit = 0;
    Integer RandomSpeedLimit = 0;
    // Breaks a comment into lines for its picture; the window's WrapCaption.
    std::function<QString(const QString&)> WrapCaption;

    // Lays the frame out for the command's family and key and fills it from
    // the command.
    void Open(const std::shared_ptr<clsCommand>& command);

    void setFraMotorInterface(CommandKey CommandType);
    void LoadMotorFrame(clsCommand& cmd);

    // Handlers.
    void chkTime_Click();
    void setChkTime(int value);  // as the code sets it: its click handler runs
    void cmbSound_Click();
    void cmbSound_KeyPress();
    void cmbTimeCount_Click();
    void cmbTimeCount_KeyPress();
    void cmbSpeed_Click();
    void cmbTime_Click();
    // True when the command was written and the frame is to close.
    bool cmdOkMotor_Click();
    bool UpdateMotorObject(clsCommand& Co);
    // Puts the saved parameters back into the command.
    void cmdCancelMotor_Click();

private:
    void SetFocus(const QString& control) { Focus = control; }
    bool Fail(const QString& message, const QString& focus = QString(), int style = MsgStyle::Exclamation);
    // The operand typed or chosen in cmbSpeed for a motor's speed (M_SETPWR)
    // or the display (G_DISPLAY): a number the key's range takes, or a named
    // value (a random speed by its upper limit), with its part of the
    // caption; false (and shown) when it is neither.
    bool WriteSpeedOperand(CommandKey key, Variant& source, Variant& value, QString& caption);
    void FitLabel(FrameLabel& label);
    const SourceNameTable& mNames;
};
