#include "shell/MessagePresenter.h"

#include "shell/ModalRunner.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

QString AppTitle()
{
    return QStringLiteral("Quillomat");
}

namespace {

struct ButtonSet {
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton escape;
};

ButtonSet buttonsFor(int style)
{
    switch (style & 7) {
    case MsgStyle::OkCancel: return {{QMessageBox::Ok, QMessageBox::Cancel}, QMessageBox::Cancel};
    case MsgStyle::AbortRetryIgnore:
        return {{QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}, QMessageBox::Ignore};
    case MsgStyle::YesNoCancel:
        return {{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, QMessageBox::Cancel};
    case MsgStyle::YesNo: return {{QMessageBox::Yes, QMessageBox::No}, QMessageBox::No};
    case MsgStyle::RetryCancel: return {{QMessageBox::Retry, QMessageBox::Cancel}, QMessageBox::Cancel};
    default: return {{QMessageBox::Ok}, QMessageBox::Ok};
    }
}

int resultOf(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok: return MsgResult::OK;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Abort: return MsgResult::Abort;
    case QMessageBox::Retry: return MsgResult::Retry;
    case QMessageBox::Ignore: return MsgResult::Ignore;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    default: return MsgResult::Cancel;
    }
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const QString& text, int style, const QString& title,
                                             QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(title.isEmpty() ? AppTitle() : title);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box->setText(shown);
    box->setTextFormat(Qt::PlainText);
    switch (style & 0x70) {
    case MsgStyle::Critical: box->setIcon(QMessageBox::Critical); break;
    case MsgStyle::Question: box->setIcon(QMessageBox::Question); break;
    case MsgStyle::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case MsgStyle::Information: box->setIcon(QMessageBox::Information); break;
    default: box->setIcon(QMessageBox::NoIcon); break;
    }
    const ButtonSet set = buttonsFor(style);
    for (auto b : set.buttons)
        box->addButton(b);
    box->setDefaultButton((style & MsgStyle::DefaultButton2) && set.buttons.size() > 1 ? set.buttons[1]
                                                                                    : set.buttons.first());
    box->setEscapeButton(set.escape);
    return box;
}

int MessageBoxResult(const QMessageBox& box, int style)
{
    if (QAbstractButton* clicked = box.clickedButton())
        return resultOf(box.standardButton(clicked));
    return resultOf(buttonsFor(style).escape);
}

int ShellPresenter::MsgBox(const QString& text, int style, const QString& title)
{
    auto box = BuildMessageBox(text, style, title, QApplication::activeWindow());
    RunModal(*box);
    return MessageBoxResult(*box, style);
}

QString ShellPresenter::InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(title.isEmpty() ? AppTitle() : title);
    dlg.setLabelText(prompt);
    dlg.setTextValue(defaultText);
    if (RunModal(dlg) != QDialog::Accepted)
        return QString();
    return dlg.textValue();
}
