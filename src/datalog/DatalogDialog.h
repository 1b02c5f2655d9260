#pragma once
// The settings dialogs of the datalog window. Return and Enter act as Ok and
// Escape as Cancel; a close asked for by the user counts as canceled and only
// hides the dialog, because the program's end deletes it.
#include "model/Variant.h"
#include "shell/WindowRegistry.h"

#include <QDialog>

class DatalogDialog : public QDialog, public IShellWindow {
public:
    using QDialog::QDialog;

    Boolean WasCanceled = False;

    virtual void cmdOk_Click() = 0;
    virtual void cmdCancel_Click() = 0;

    QWidget* ShellWidget() override { return this; }
    bool UnloadAtExit() const override { return true; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
