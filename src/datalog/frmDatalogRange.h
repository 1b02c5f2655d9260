#pragma once
// The upload range dialog: the whole datalog or a range of its entries.
#include "datalog/DatalogDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmDatalogRange : public DatalogDialog {
    Q_OBJECT
public:
    explicit frmDatalogRange(QWidget* parent = nullptr);

    // True when a text is a whole number above 0 of digits alone ("007" passes).
    static bool IsCount(const QString& text);

    void optRange_Click(int index);
    void cmdOk_Click() override;
    void cmdCancel_Click() override;

    QRadioButton* optRange[2];
    QLabel* Label1[2];
    QLineEdit* txtStart;
    QLineEdit* txtSize;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
};
