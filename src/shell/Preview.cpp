#include "shell/Preview.h"

#include "shell/ScreenPlacement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

frmPreview::frmPreview(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Source code"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    txtPreview = new QPlainTextEdit(this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    txtPreview->setReadOnly(true);
    txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    txtPreview->setFont(mono);
    v->addWidget(txtPreview);
    resize(560, 600);
    CentreOnScreen(this);
    FitWhenShown(this);
}

void frmPreview::Unload()
{
    mUnloading = true;
    close();
    deleteLater();
}

void frmPreview::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the window, as its close box does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmPreview::closeEvent(QCloseEvent* event)
{
    if (mUnloading) {
        event->accept();
        return;
    }
    // Closed by the user: keep the window and its text, only hide it.
    event->ignore();
    hide();
}
