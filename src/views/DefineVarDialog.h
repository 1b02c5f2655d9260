#pragma once
// frmDefineVar, "Define Variables": the tabs Variables, Constants and Range
// with their lists and boxes, and the buttons Add, Delete, Close and Update
// acting on the tab shown. The logic is DefineVarLogic; the dialog mirrors its
// boxes, lists and focus.
#include "views/core/DefineVar.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

class frmDefineVar : public QDialog {
    Q_OBJECT
public:
    explicit frmDefineVar(QWidget* parent = nullptr);

    DefineVarLogic Logic;
    QTabWidget* tabVar;
    QListWidget* lstVarName;
    QListWidget* lstConsts;
    QListWidget* lstRange;
    QLineEdit* txtDescription;
    QLineEdit* txtValue;
    QLineEdit* txtConstDescription;
    QLineEdit* txtConstValue;
    QLineEdit* txtRangeName;
    QLineEdit* txtRangeFrom;
    QLineEdit* txtRangeTo;
    QPushButton* cmdAction[4];

    // 0 Add, 1 Delete, 2 Close, 3 Update on the tab shown.
    void cmdAction_Click(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list(int tab) const;
    QLineEdit* box(int tab, int index) const;
    void toLogic();
    void fromLogic();
};

// Shows the dialog modally (through the modal runner) and releases it.
void ShowDefineVarModal();
