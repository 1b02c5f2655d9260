#pragma once
// The preferences dialog "Quillomat Preferences": the four preferences of
// InitParams and the choice between a tower and the virtual brick, saved at once.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmPreference : public QDialog {
    Q_OBJECT
public:
    explicit frmPreference(QWidget* parent = nullptr);

    void Form_Load();
    void cmdSave_Click();
    void cmdCancel_Click();

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* txtShutDownTime;
    QComboBox* cmbTransmitPower;
    QCheckBox* chkPref[2];
    QRadioButton* optTower;
    QRadioButton* optVirtualBrick;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
};

// Shows the preferences dialog modally (the set-up window's "Preferences...").
void ShowPreferences(QWidget* parent = nullptr);
