#include "shell/ModalRunner.h"

#include "model/AppState.h"
#include "shell/ScreenPlacement.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>

#include <cstdlib>

int RunModal(QDialog& dialog)
{
    // A message box sizes itself as it shows, and the platform keeps it on
    // the screen; every other dialog is fitted to the screen here.
    if (!qobject_cast<QMessageBox*>(&dialog))
        FitWhenShown(&dialog);
    if (IModalRunner* runner = App().ModalRunner)
        return runner->RunModal(dialog);
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const int result = dialog.exec();
    // The window system does not always give the focus back when a dialog
    // closes; without it the keys of the window that showed the dialog would
    // go nowhere until a click.
    QWidget* now = QApplication::focusWidget();
    if (focus && focus->isVisible() && (!now || now == &dialog || dialog.isAncestorOf(now))) {
        focus->activateWindow();
        focus->setFocus(Qt::ActiveWindowFocusReason);
    }
    return result;
}

int ScriptedRunner::RunModal(QDialog& dialog)
{
    shown.append(dialog.windowTitle());
    if (script)
        script(dialog);
    return dialog.result();
}

namespace {
std::function<void(int)>& endHandler()
{
    static std::function<void(int)> handler;
    return handler;
}
}  // namespace

void EndProgram(int code)
{
    if (endHandler()) {
        endHandler()(code);
        return;
    }
    std::exit(code);
}

void setEndProgramHandler(std::function<void(int)> handler)
{
    endHandler() = std::move(handler);
}
