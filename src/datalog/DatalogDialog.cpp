#include "datalog/DatalogDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>

void DatalogDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        cmdOk_Click();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DatalogDialog::closeEvent(QCloseEvent* event)
{
    WasCanceled = True;
    event->ignore();
    hide();
    done(QDialog::Rejected);
}
