#include "shell/Preferences.h"

#include "link/PortScan.h"
#include "model/AppState.h"
#include "model/Config.h"
#include "model/Messages.h"
#include "shell/KeyPreview.h"
#include "shell/ModalRunner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

frmPreference::frmPreference(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPreference"));
    setWindowTitle(QStringLiteral("Quillomat Preferences"));

    Frame1 = new QGroupBox(QStringLiteral("Parameters to set after firmware download"), this);
    Label1 = new QLabel(QStringLiteral("Default RCX shut down time (0=never)"), Frame1);
    txtShutDownTime = new QLineEdit(Frame1);
    txtShutDownTime->setObjectName(QStringLiteral("txtShutDownTime"));
    txtShutDownTime->setFixedWidth(70);
    Label2 = new QLabel(QStringLiteral("Default RCX transmit power"), Frame1);
    cmbTransmitPower = new QComboBox(Frame1);
    cmbTransmitPower->setObjectName(QStringLiteral("cmbTransmitPower"));
    cmbTransmitPower->addItems({QStringLiteral("Short"), QStringLiteral("Long")});
    auto* g1 = new QGridLayout(Frame1);
    g1->addWidget(Label1, 0, 0);
    g1->addWidget(txtShutDownTime, 0, 1);
    g1->addWidget(Label2, 1, 0);
    g1->addWidget(cmbTransmitPower, 1, 1);

    Frame2 = new QGroupBox(QStringLiteral("User Messages"), this);
    chkPref[0] = new QCheckBox(QStringLiteral("Confirm RCX on and in range before download"), Frame2);
    chkPref[1] = new QCheckBox(QStringLiteral("Confirm delete of IF,WHILE, LOOP commands"), Frame2);
    auto* v2 = new QVBoxLayout(Frame2);
    v2->addWidget(chkPref[0]);
    v2->addWidget(chkPref[1]);

    Frame3 = new QGroupBox(QStringLiteral("The RCX is reached through"), this);
    optTower = new QRadioButton(QStringLiteral("Look for an IR tower"), Frame3);
    optTower->setObjectName(QStringLiteral("optTower"));
    optVirtualBrick = new QRadioButton(QStringLiteral("Use the virtual brick"), Frame3);
    optVirtualBrick->setObjectName(QStringLiteral("optVirtualBrick"));
    auto* v3 = new QVBoxLayout(Frame3);
    v3->addWidget(optTower);
    v3->addWidget(optVirtualBrick);

    cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdSave->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    connect(cmdSave, &QPushButton::clicked, this, &frmPreference::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPreference::cmdCancel_Click);
    auto* hb = new QHBoxLayout;
    hb->addStretch(1);
    hb->addWidget(cmdSave);
    hb->addWidget(cmdCancel);

    auto* v = new QVBoxLayout(this);
    v->addWidget(Frame1);
    v->addWidget(Frame2);
    v->addWidget(Frame3);
    v->addLayout(hb);

    new KeyPreview(this, [this](QWidget*, QKeyEvent* e) {
        if (!IsEnterKey(e))
            return false;
        cmdSave_Click();
        return true;
    });
    Form_Load();
}

void frmPreference::Form_Load()
{
    const clsInitParam& p = *App().InitParams;
    txtShutDownTime->setText(QString::number(p.TimeToShutDown()));
    const int i = cmbTransmitPower->findText(p.TransmitPower(), Qt::MatchFixedString);
    cmbTransmitPower->setCurrentIndex(i >= 0 ? i : 0);
    chkPref[0]->setChecked(p.ConfirmDownload() == 1);
    chkPref[1]->setChecked(p.ConfirmDelete() == 1);
    (App().Config->Value(Setting::VirtualBrick) ? optVirtualBrick : optTower)->setChecked(true);
}

void frmPreference::cmdSave_Click()
{
    const double value = vb::Val(txtShutDownTime->text());
    if (value > 255) {
        ShowMessage(QStringLiteral("Time cannot be more then 255"), MsgStyle::Exclamation);
        txtShutDownTime->setFocus();
        txtShutDownTime->selectAll();
        return;
    }
    Long minutes = 0;
    try {
        minutes = Variant(value).toLong();
    } catch (const VbError& e) {
        // A number too far below zero for the store: refused like a too large one.
        ShowMessage(e.description(), MsgStyle::Exclamation);
        txtShutDownTime->setFocus();
        txtShutDownTime->selectAll();
        return;
    }
    clsInitParam& p = *App().InitParams;
    p.setTimeToShutDown(minutes);
    p.setTransmitPower(cmbTransmitPower->currentText());
    p.setConfirmDownload(chkPref[0]->isChecked() ? 1 : 0);
    p.setConfirmDelete(chkPref[1]->isChecked() ? 1 : 0);
    p.WriteParam();
    ChooseVirtualBrick(App(), optVirtualBrick->isChecked());
    accept();
}

void frmPreference::cmdCancel_Click()
{
    reject();
}

void ShowPreferences(QWidget* parent)
{
    frmPreference dlg(parent);
    RunModal(dlg);
}
