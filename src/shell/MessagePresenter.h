#pragma once
// The message box and the input box of the program: QMessageBox with the
// button and icon flags of a message style, QInputDialog for the input box.
// Both are shown through RunModal (shell/ModalRunner.h).
#include "model/Services.h"

#include <memory>

class QAbstractButton;
class QMessageBox;
class QWidget;

// The application's title, used where a box has no title of its own.
QString AppTitle();

// The box for a text and a style (buttons: style & 7; icon: style & 0x70).
// Line breaks written as CR LF are shown as one line break.
std::unique_ptr<QMessageBox> BuildMessageBox(const QString& text, int style,
                                             const QString& title = QString(),
                                             QWidget* parent = nullptr);
// The MsgResult of the button that closed the box; a box closed without a
// button gives Cancel where it has one, else its only button's result.
int MessageBoxResult(const QMessageBox& box, int style);

class ShellPresenter : public IMessagePresenter {
public:
    int MsgBox(const QString& text, int style, const QString& title = QString()) override;
    QString InputBox(const QString& prompt, const QString& title = QString(),
                     const QString& defaultText = QString()) override;
};
