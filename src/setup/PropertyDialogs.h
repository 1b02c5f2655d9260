#pragma once
// The sensor properties dialog frmSensorProp and the motor properties dialog
// frmMotorProp of the RCX set-up window. Their decisions live in
// SensorProperties and MotorProperties (SetupService.h); the dialogs show them.
#include "setup/core/SetupService.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QSlider;
class QTimer;

class frmSensorProp : public QDialog {
    Q_OBJECT
public:
    explicit frmSensorProp(int sensorIndex, QWidget* parent = nullptr);

    SensorProperties Logic;
    bool WasCanceled() const { return Logic.WasCanceled; }

    void Form_Load();
    void cmdOk_Click(int index);  // 0 Cancel, 1 Update, 3 poll toggle
    void tmrPoll_Timer();

    QLabel* picSensor;
    QLabel* lblProp[3];
    QComboBox* cmbMode;
    QLabel* Label2;
    QLineEdit* txtPurpose;
    QLineEdit* txtSensorValue;
    QPushButton* cmdOk[4] = {nullptr, nullptr, nullptr, nullptr};
    QTimer* tmrPoll;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Edited();
    void ShowPolling();
    bool mLoading = false;
};

class frmMotorProp : public QDialog {
    Q_OBJECT
public:
    explicit frmMotorProp(int motorIndex, QWidget* parent = nullptr);

    MotorProperties Logic;

    void Form_Load();
    void cmdOk_Click(int index);  // 0 Update, 1 Cancel, 2 test motor

    QLabel* picMotor;
    QLabel* lblProp0;
    QLabel* Label1[3];
    QSlider* sldSpeed;
    QLabel* lblSpeed;
    QScrollBar* hscDir;
    QLabel* lblDir;
    QLabel* lblMeening;
    QLineEdit* txtMeening[2];
    QCheckBox* chkStartState;
    QLabel* Label2;
    QLineEdit* txtPurpose;
    QPushButton* cmdOk[3];

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void ShowDirection();
    bool mLoading = false;
};
