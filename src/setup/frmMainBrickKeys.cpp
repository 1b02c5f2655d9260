// The program slot box and the virtual brick's Run and Stop keys on the
// brick's picture.
#include "setup/frmMain.h"

#include "link/PortSelector.h"
#include "model/AppState.h"
#include "model/Messages.h"
#include "model/VbError.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// True when the control's brick is the virtual one.
bool virtualBrickInUse()
{
    IPortSelector* ports = App().Ports;
    if (!ports)
        return false;
    try {
        return ports->ComPortNo() == PortSelector::VirtualBrickPort;
    } catch (const VbError&) {
        return false;
    }
}

}  // namespace

// ------------------------------------------------------------------ the program slot

bool frmMain::txtProgNumber_KeyPress(QChar key)
{
    if (!ProgramSlotKey(key))
        return false;
    txtProgNumber->setText(QString(key));
    return true;
}

// ------------------------------------------------------------------ the virtual brick's keys

void frmMain::ShowBrickKeys()
{
    const bool shown = virtualBrickInUse();
    cmdRun->setVisible(shown);
    cmdStop->setVisible(shown);
}

void frmMain::cmdRun_Click()
{
    try {
        Integer slot = App().RcxSetup().ProgramNumber;
        PB().SelectPrgm(slot);
        Integer setupTask = 0;
        PB().StartTask(setupTask);
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}

void frmMain::cmdStop_Click()
{
    try {
        PB().StopAllTasks();
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}

// ------------------------------------------------------------------ events

// The slot box takes a typed digit and discards every other key but Tab;
// focus selects its digit.
bool frmMain::SlotBoxEvent(QObject* watched, QEvent* event)
{
    if (watched != txtProgNumber)
        return false;
    if (event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, txtProgNumber, [this] { txtProgNumber->setSelection(0, 2); });
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* ke = static_cast<QKeyEvent*>(event);
    if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab)
        return false;
    if (!ke->text().isEmpty())
        txtProgNumber_KeyPress(ke->text()[0]);
    return true;
}
