#include "datalog/DatalogPrint.h"

#include "datalog/core/DatalogFile.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "shell/PdfFile.h"

#include <QDir>
#include <QPrinter>

namespace {
bool gAlwaysPdf = false;
}

void setDatalogPrintToPdf(bool always) { gAlwaysPdf = always; }

PrintTarget OpenDatalogPrinter(QPageLayout::Orientation orientation)
{
    const AppState& a = App();
    QString folder = DatalogFolder();
    if (folder.isEmpty())
        folder = QDir::homePath();
    QString project = a.RcxSetup ? a.RcxSetup->ProjectName : QString();
    if (project.isEmpty())
        project = QStringLiteral("Quillomat");
    PrintTarget target = OpenPrintTarget(folder, project + QStringLiteral(" datalog"), gAlwaysPdf);
    target.printer->setDocName(QStringLiteral("Quillomat Datalog"));
    target.printer->setPageOrientation(orientation);
    return target;
}

void ReportDatalogPrinted(const PrintTarget& target)
{
    if (target.pdfPath.isEmpty())
        return;
    Q_EMIT App().Notifier->StatusCleared();
    Q_EMIT App().Notifier->StatusPrinted(QStringLiteral("No printer installed: the datalog went to ") + target.pdfPath);
}
