#pragma once
// The logic parameter frame fraLogic, without widgets: it edits the logic
// commands (L_...). Open fills its combos for the key (InitCommandFrame),
// shows the command's operands (LoadLogicFrame) and lays the frame out; the
// operator label steps through the comparisons; "Ok" checks the entries and
// writes them into the command (UpdateLogicObject); "Cancel" puts the
// command's parameters back as they were when the frame opened.
//
// Positions and sizes are twips inside the frame.
#include "desktop/core/FrameControls.h"

#include <functional>
#include <memory>

// The caption of a logic command's picture (its second line) from its key,
// operands and operator (-1 none), with the name tables and modules of the
// state. Fails with 9 for an operator above 4 and with 5 for a task or sub
// that is not in the project.
QString TranslateToCaption2(const AppState& app, CommandKey ComKey, Integer p1s, const Variant& p1v, Integer Op,
                            Integer p2s, const Variant& p2v);

// One step of the operator label from the index shown before (-1 to 4):
// the index now shown, and the index kept for the next step. A WHILE never
// reaches the range; for the other commands the range is followed by ">".
struct OperatorStepResult {
    int shown = 0;
    int next = 0;
};
OperatorStepResult OperatorStep(int index, bool isWhile);

class LogicFrame : public FrameEditing {
public:
    LogicFrame(AppState& app, const SourceNameTable& sourceNames);

    static constexpr double FrameWidth = 5205;
    static constexpr double FrameHeight = 1935;

    FrameCombo cmbParam1{true};
    FrameLabel lblOperator;
    FrameCombo cmbParam2{true};
    FrameCombo cmbTaskAndOp{false};
    FrameCombo cmbVar1{false};
    FrameCombo cmbVar2{true};
    FrameLabel lblG, lblG1, lblG2;
    FrameButton cmdOkLogic, cmdOkOpenLogic, cmdCancelLogic;

    QString Focus;
    Integer OperatorIndex = 0;
    Integer RandomLimit = 0;

    // Fills the frame for the command and lays it out; false when the frame
    // is not to open.
    bool Open(const std::shared_ptr<clsCommand>& command);

    void InitCommandFrame(CommandKey CoName, Integer lCoOp);
    bool LoadLogicFrame(clsCommand& cmd);
    void LayOut(CommandKey key);

    // Handlers.
    void lblOperator_Click();
    void lblOperator_DblClick() { lblOperator_Click(); }
    void cmbParam1_Click();
    void cmbParam2_Click();
    void cmbTaskAndOp_Click();
    void cmbVar1_Click();
    void cmbVar2_Click();
    // True when the command was written and the frame is to close.
    bool cmdOkLogic_Click();
    bool UpdateLogicObject(clsCommand& Co);
    void cmdCancelLogic_Click();

private:
    bool Fail(const QString& message, const QString& focus = QString());
    // Writes the operand typed or chosen in cmbVar2: a named value by its
    // source and name (a random number by its upper limit), else a constant
    // that the command key's rules accept. False (and shown) when it is none.
    bool WriteVar2Operand(CommandKey key, Variant& source, Variant& value);
    CommandKey Key() const;
    const SourceNameTable& mNames;
    // The design places of the operand combos.
    FrameGeometry mParam1Design, mParam2Design;
};
