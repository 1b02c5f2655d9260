#include "shell/ModalRunner.h"

#include "model/AppState.h"

#include <QApplication>
#include <QDialog>

#include <cstdlib>

int RunModal(QDialog& dialog)
{
    if (IModalRunner* runner = App().ModalRunner)
        return runner->RunModal(dialog);
    return dialog.exec();
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
