#pragma once
// The upload range dialog: the whole datalog or a range of its entries.
#include "model/Variant.h"
#include "shell/WindowRegistry.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmDatalogRange : public QDialog, public IShellWindow {
    Q_OBJECT
public:
    explicit frmDatalogRange(QWidget* parent = nullptr);

    Boolean WasCanceled = False;

    // True when a text is a whole number above 0 of digits alone ("007" passes).
    static bool IsCount(const QString& text);

    void optRange_Click(int index);
    void cmdOk_Click();
    void cmdCancel_Click();

    QRadioButton* optRange[2];
    QLabel* Label1[2];
    QLineEdit* txtStart;
    QLineEdit* txtSize;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    QWidget* ShellWidget() override { return this; }
    bool UnloadAtExit() const override { return true; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
