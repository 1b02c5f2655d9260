#pragma once
// The settings dialogs of the datalog window. Return and Enter act as Ok and
// Escape as Cancel; a close asked for by the user counts as canceled and only
// hides the dialog, because the program's end deletes it.
#include "model/Variant.h"

#include <QDialog>

class DatalogDialog : public QDialog {
public:
    using QDialog::QDialog;

    Boolean WasCanceled = False;

    virtual void cmdOk_Click() = 0;
    virtual void cmdCancel_Click() = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
