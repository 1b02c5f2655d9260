#include "shell/Help.h"

#include "model/AppState.h"
#include "model/Messages.h"
#include "shell/ScreenPlacement.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QString kHelpFile = QStringLiteral("Quillomat.html");

// The viewer started last (the help viewer's task id).
QPointer<frmHelp>& helpWindow()
{
    static QPointer<frmHelp> w;
    return w;
}
}  // namespace

frmHelp::frmHelp(const QString& path, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quillomat Help"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    auto* browser = new QTextBrowser(this);
    browser->setOpenExternalLinks(false);
    browser->setSource(QUrl::fromLocalFile(path));
    v->addWidget(browser);
    resize(760, 640);
    CentreOnScreen(this);
    FitWhenShown(this);
}

QString HelpFilePath()
{
    const QString inProgramFolder = App().ProgramFolder + QLatin1Char('/') + kHelpFile;
    if (!App().ProgramFolder.isEmpty() && QFileInfo(inProgramFolder).isFile())
        return inProgramFolder;
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + kHelpFile;
}

void ShowHelp()
{
    const QString path = HelpFilePath();
    if (!QFileInfo(path).isFile()) {
        ShowMessage(QStringLiteral("Can't find Quillomt help file - ") + kHelpFile + QStringLiteral("\r\n") +
                        QStringLiteral("Make sure the file is located in the same directory as quillomat!"),
                    MsgStyle::Exclamation);
        return;
    }
    auto* w = new frmHelp(path);
    w->show();
    w->raise();
    w->activateWindow();
    helpWindow() = w;
}

void CloseHelp()
{
    QPointer<frmHelp>& w = helpWindow();
    if (!w)
        return;
    if (w->windowTitle().contains(QStringLiteral("Quillomat")))
        w->close();
    w = nullptr;
}

frmHelp* LastHelpWindow()
{
    return helpWindow();
}
