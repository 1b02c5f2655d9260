#include "setup/PropertyDialogs.h"

#include "model/Twips.h"
#include "model/AppState.h"
#include "setup/SetupLayout.h"
#include "setup/SetupPictures.h"
#include "shell/ScreenPlacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

namespace {

QLabel* label(QWidget* parent, const QString& text, double l, double t, double w, double h)
{
    auto* lbl = new QLabel(text, parent);
    return place(lbl, l, t, w, h);
}

}  // namespace

// ------------------------------------------------------------------ frmSensorProp

frmSensorProp::frmSensorProp(int sensorIndex, QWidget* parent) : QDialog(parent), Logic(sensorIndex)
{
    setWindowTitle(QStringLiteral("Sensor properties"));
    setFixedSize(PixX(4800), PixY(3600));
    picSensor = place(new QLabel(this), 240, 240, 720, 720);
    lblProp[0] = label(this, QString(), 1140, 240, 3400, 285);
    QFont bold = lblProp[0]->font();
    bold.setBold(true);
    lblProp[0]->setFont(bold);
    lblProp[1] = label(this, QString(), 1140, 600, 3400, 285);
    lblProp[2] = label(this, QStringLiteral("Sensor mode"), 240, 1140, 1300, 285);
    cmbMode = place(new QComboBox(this), 1560, 1100, 2000, 330);
    Label2 = label(this, QStringLiteral("Purpose"), 240, 1620, 1300, 285);
    txtPurpose = place(new QLineEdit(this), 1560, 1580, 3000, 330);
    cmdOk[3] = place(new QPushButton(QStringLiteral("Poll sensor value"), this), 240, 2160, 2000, 400);
    txtSensorValue = place(new QLineEdit(this), 2400, 2200, 1160, 330);
    txtSensorValue->setReadOnly(true);
    txtSensorValue->setAlignment(Qt::AlignRight);
    cmdOk[1] = place(new QPushButton(QStringLiteral("Update"), this), 1560, 2880, 1400, 420);
    cmdOk[0] = place(new QPushButton(QStringLiteral("Cancel"), this), 3120, 2880, 1400, 420);
    cmdOk[1]->setDefault(true);
    tmrPoll = new QTimer(this);
    tmrPoll->setInterval(50);

    for (int i : {0, 1, 3})
        connect(cmdOk[i], &QPushButton::clicked, this, [this, i] { cmdOk_Click(i); });
    connect(tmrPoll, &QTimer::timeout, this, &frmSensorProp::tmrPoll_Timer);
    connect(cmbMode, qOverload<int>(&QComboBox::activated), this, [this] { Edited(); });
    connect(txtPurpose, &QLineEdit::textChanged, this, [this] { Edited(); });
}

void frmSensorProp::Form_Load()
{
    mLoading = true;
    Logic.WasCanceled = false;
    const clsSensor& s = App().RcxSetup().PortSensor(Logic.SensorIndex);
    picSensor->setPixmap(PalettePicture(int(s.SensorType()), picSensor->size()));
    cmbMode->clear();
    cmbMode->addItems(SensorProperties::ModeNames());
    const QString type = Logic.TypeCaption();
    if (!type.isEmpty())
        lblProp[0]->setText(type);
    lblProp[1]->setText(Logic.PortCaption());
    cmbMode->setCurrentIndex(int(Logic.Mode()));
    txtPurpose->setText(Logic.Purpose());
    mLoading = false;
}

void frmSensorProp::Edited()
{
    if (mLoading)
        return;
    Logic.Edited(cmbMode->currentIndex());
    ShowPolling();
}

void frmSensorProp::ShowPolling()
{
    cmdOk[3]->setText(Logic.PollCaption());
    if (Logic.Polling)
        tmrPoll->start();
    else
        tmrPoll->stop();
}

void frmSensorProp::cmdOk_Click(int index)
{
    if (index != 3 && Logic.Polling) {
        Logic.TogglePoll(cmbMode->currentIndex());
        ShowPolling();
    }
    switch (index) {
    case 0:
        Logic.Cancel();
        done(QDialog::Rejected);
        break;
    case 1:
        if (Logic.Update(cmbMode->currentIndex(), txtPurpose->text()))
            done(QDialog::Accepted);
        else
            txtPurpose->setFocus();
        break;
    case 3:
        Logic.TogglePoll(cmbMode->currentIndex());
        ShowPolling();
        break;
    default:
        break;
    }
}

void frmSensorProp::tmrPoll_Timer()
{
    Logic.PollTick();
    txtSensorValue->setText(Logic.SensorValue);
    ShowPolling();
}

void frmSensorProp::closeEvent(QCloseEvent* event)
{
    Logic.Closing(cmbMode->currentIndex());
    ShowPolling();
    QDialog::closeEvent(event);
}

// Escape or the close box: closed without Cancel, so WasCanceled stays False.
void frmSensorProp::reject()
{
    Logic.Closing(cmbMode->currentIndex());
    ShowPolling();
    QDialog::reject();
}

// ------------------------------------------------------------------ frmMotorProp

frmMotorProp::frmMotorProp(int motorIndex, QWidget* parent) : QDialog(parent), Logic(motorIndex)
{
    setWindowTitle(QStringLiteral("Motor properties"));
    setFixedSize(PixX(5200), PixY(4500));
    picMotor = place(new QLabel(this), 240, 240, 720, 720);
    lblProp0 = label(this, QString(), 1140, 420, 3000, 330);
    QFont bold = lblProp0->font();
    bold.setBold(true);
    lblProp0->setFont(bold);

    Label1[0] = label(this, QStringLiteral("Speed"), 240, 1200, 1200, 285);
    sldSpeed = place(new QSlider(Qt::Horizontal, this), 1500, 1170, 2600, 330);
    sldSpeed->setRange(0, 7);
    sldSpeed->setTickPosition(QSlider::TicksBelow);
    sldSpeed->setPageStep(1);
    lblSpeed = label(this, QString(), 4250, 1200, 600, 285);

    Label1[1] = label(this, QStringLiteral("Direction"), 240, 1740, 1200, 285);
    hscDir = place(new QScrollBar(Qt::Horizontal, this), 1500, 1740, 1000, 285);
    hscDir->setRange(0, 1);
    hscDir->setPageStep(1);
    lblDir = label(this, QString(), 2640, 1740, 1500, 285);

    lblMeening = label(this, QString(), 240, 2220, 1900, 285);
    for (int i = 0; i < 2; ++i)
        txtMeening[i] = place(new QLineEdit(this), 2160, 2180, 2780, 330);

    Label1[2] = label(this, QStringLiteral("Initial state"), 240, 2700, 1200, 285);
    chkStartState = place(new QCheckBox(QStringLiteral("On"), this), 1500, 2700, 1500, 285);

    Label2 = label(this, QStringLiteral("Purpose"), 240, 3180, 1200, 285);
    txtPurpose = place(new QLineEdit(this), 1500, 3140, 3440, 330);

    cmdOk[2] = place(new QPushButton(QStringLiteral("Start motor"), this), 240, 3840, 1500, 420);
    cmdOk[0] = place(new QPushButton(QStringLiteral("Update"), this), 2040, 3840, 1400, 420);
    cmdOk[1] = place(new QPushButton(QStringLiteral("Cancel"), this), 3540, 3840, 1400, 420);
    cmdOk[0]->setDefault(true);

    for (int i = 0; i < 3; ++i)
        connect(cmdOk[i], &QPushButton::clicked, this, [this, i] { cmdOk_Click(i); });
    connect(sldSpeed, &QSlider::valueChanged, this, [this](int v) {
        lblSpeed->setText(QString::number(v));
        if (!mLoading)
            Logic.setSpeed(Integer(v));
    });
    connect(hscDir, &QScrollBar::valueChanged, this, [this](int v) {
        if (!mLoading)
            Logic.setDirection(v);
        ShowDirection();
    });
    connect(chkStartState, &QCheckBox::toggled, this, [this](bool on) {
        chkStartState->setText(on ? QStringLiteral("On") : QStringLiteral("Off"));
        if (!mLoading)
            Logic.setStartState(on ? 1 : 0);
    });
    connect(txtPurpose, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!mLoading)
            Logic.setPurpose(t);
    });
    connect(txtMeening[0], &QLineEdit::textChanged, this, [this](const QString& t) { Logic.FwdMeaning = t; });
    connect(txtMeening[1], &QLineEdit::textChanged, this, [this](const QString& t) { Logic.RwdMeaning = t; });
}

void frmMotorProp::Form_Load()
{
    mLoading = true;
    CentreOnScreen(this);
    picMotor->setPixmap(PalettePicture(SetupPicture::Motor, picMotor->size()));
    lblProp0->setText(Logic.Title());
    sldSpeed->setValue(Logic.Speed);
    lblSpeed->setText(QString::number(Logic.Speed));
    txtMeening[0]->setText(Logic.FwdMeaning);
    txtMeening[1]->setText(Logic.RwdMeaning);
    hscDir->setValue(int(Logic.Direction));
    ShowDirection();
    chkStartState->setChecked(Logic.StartState == 1);
    chkStartState->setText(Logic.StartCaption());
    txtPurpose->setText(Logic.Purpose);
    mLoading = false;
}

void frmMotorProp::ShowDirection()
{
    lblDir->setText(Logic.DirectionCaption());
    lblMeening->setText(Logic.MeaningCaption());
    const int front = Logic.Direction == 1 ? 0 : 1;
    txtMeening[front]->setVisible(true);
    txtMeening[front]->raise();
    txtMeening[1 - front]->setVisible(false);
}

void frmMotorProp::cmdOk_Click(int index)
{
    switch (index) {
    case 0:
        if (Logic.Update()) {
            Logic.Closing();
            done(QDialog::Accepted);
        } else {
            txtPurpose->setFocus();
        }
        break;
    case 1:
        Logic.Closing();
        done(QDialog::Rejected);
        break;
    case 2:
        Logic.TestMotor();
        cmdOk[2]->setText(Logic.TestCaption());
        break;
    default:
        break;
    }
}

void frmMotorProp::closeEvent(QCloseEvent* event)
{
    Logic.Closing();
    QDialog::closeEvent(event);
}

void frmMotorProp::reject()
{
    Logic.Closing();
    QDialog::reject();
}
