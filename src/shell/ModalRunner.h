#pragma once
// Every modal showing of a dialog goes through RunModal, so that tests can
// script what the user does instead of entering a modal loop. The program
// leaves App().ModalRunner empty and the dialog runs its own loop.
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;

class IModalRunner {
public:
    virtual ~IModalRunner() = default;
    // Shows the dialog modally and returns its result code.
    virtual int RunModal(QDialog& dialog) = 0;
};

// App().ModalRunner when set, otherwise dialog.exec().
int RunModal(QDialog& dialog);

// A runner for tests: records each dialog's window title and hands the dialog
// to the script, which plays the user (sets texts, presses buttons). The
// result is the dialog's result() afterwards.
class ScriptedRunner : public IModalRunner {
public:
    std::function<void(QDialog&)> script;
    QStringList shown;
    int RunModal(QDialog& dialog) override;
};

// Ends the program at once (a close of the open/new dialog by its close box).
// Tests replace the handler.
void EndProgram(int code = 0);
void setEndProgramHandler(std::function<void(int)> handler);
