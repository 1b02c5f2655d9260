#include "datalog/DatalogPrint.h"

#include "datalog/core/DatalogFile.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "shell/PdfFile.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
bool gAlwaysPdf = false;
}

DatalogPrinter::DatalogPrinter() = default;
DatalogPrinter::~DatalogPrinter() = default;
DatalogPrinter::DatalogPrinter(DatalogPrinter&&) noexcept = default;

void setDatalogPrintToPdf(bool always) { gAlwaysPdf = always; }

DatalogPrinter OpenDatalogPrinter(QPageLayout::Orientation orientation)
{
    DatalogPrinter target;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!gAlwaysPdf && !info.isNull()) {
        target.printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    } else {
        const AppState& a = App();
        QString folder = DatalogFolder();
        if (folder.isEmpty())
            folder = QDir::homePath();
        QString project = a.RcxSetup ? a.RcxSetup->ProjectName : QString();
        if (project.isEmpty())
            project = QStringLiteral("Quillomat");
        target.pdfPath = NewPdfPath(folder, project + QStringLiteral(" datalog"));
        target.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        target.printer->setOutputFormat(QPrinter::PdfFormat);
        target.printer->setOutputFileName(target.pdfPath);
    }
    target.printer->setDocName(QStringLiteral("Quillomat Datalog"));
    target.printer->setPageOrientation(orientation);
    return target;
}

void ReportDatalogPrinted(const DatalogPrinter& target)
{
    if (target.pdfPath.isEmpty())
        return;
    Q_EMIT App().Notifier->StatusCleared();
    Q_EMIT App().Notifier->StatusPrinted(QStringLiteral("No printer installed: the datalog went to ") + target.pdfPath);
}
