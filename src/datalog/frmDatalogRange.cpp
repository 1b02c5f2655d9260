#include "datalog/frmDatalogRange.h"

#include "model/Messages.h"
#include "model/Services.h"
#include "model/VbError.h"
#include "shell/MainWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmDatalogRange::frmDatalogRange(QWidget* parent) : DatalogDialog(parent)
{
    setWindowTitle(QStringLiteral("Datalog Range"));
    auto* layout = new QVBoxLayout(this);
    optRange[0] = new QRadioButton(QStringLiteral("Upload entire datalog."), this);
    optRange[1] = new QRadioButton(QStringLiteral("Upload range:"), this);
    layout->addWidget(optRange[0]);
    layout->addWidget(optRange[1]);
    auto* grid = new QGridLayout;
    Label1[0] = new QLabel(QStringLiteral("Start at:"), this);
    Label1[1] = new QLabel(QStringLiteral("Size:"), this);
    txtStart = new QLineEdit(this);
    txtSize = new QLineEdit(this);
    grid->setContentsMargins(24, 0, 0, 0);
    grid->addWidget(Label1[0], 0, 0);
    grid->addWidget(txtStart, 0, 1);
    grid->addWidget(Label1[1], 1, 0);
    grid->addWidget(txtSize, 1, 1);
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdOk->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(optRange[0], &QRadioButton::toggled, this, [this](bool on) { if (on) optRange_Click(0); });
    connect(optRange[1], &QRadioButton::toggled, this, [this](bool on) { if (on) optRange_Click(1); });
    connect(cmdOk, &QPushButton::clicked, this, &frmDatalogRange::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDatalogRange::cmdCancel_Click);
    optRange[0]->setChecked(true);
    optRange_Click(0);

    if (mdiMain::Instance())
        UnloadAtProgramEnd(this);
}

bool frmDatalogRange::IsCount(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    for (QChar c : text)
        if (c != QLatin1Char('0'))
            return true;
    return false;
}

void frmDatalogRange::optRange_Click(int index)
{
    const bool on = index == 1;
    txtStart->setEnabled(on);
    txtSize->setEnabled(on);
    Label1[0]->setEnabled(on);
    Label1[1]->setEnabled(on);
}

void frmDatalogRange::cmdOk_Click()
{
    if (optRange[1]->isChecked()) {
        for (QLineEdit* box : {txtStart, txtSize}) {
            if (!IsCount(box->text())) {
                ShowMessage(QStringLiteral("Number must be an integer greater than 0!"), MsgStyle::Exclamation);
                box->setSelection(0, int(box->text().size()));
                box->setFocus();
                return;
            }
        }
    }
    hide();
    done(QDialog::Accepted);
}

void frmDatalogRange::cmdCancel_Click()
{
    WasCanceled = True;
    hide();
    done(QDialog::Rejected);
}
