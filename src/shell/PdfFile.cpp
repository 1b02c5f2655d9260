#include "shell/PdfFile.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
std::function<QDateTime()> gClock;
}

void SetPdfClock(std::function<QDateTime()> clock) { gClock = std::move(clock); }

QString NewPdfPath(const QString& folder, const QString& name)
{
    QDir().mkpath(folder);
    const QDateTime now = gClock ? gClock() : QDateTime::currentDateTime();
    // No colons in the time: a file name can't hold them everywhere.
    const QString stem = QDir(folder).filePath(name + QLatin1Char(' ') +
                                               now.toString(QStringLiteral("yyyy-MM-dd hh.mm.ss")));
    QString path = stem + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral(" (%1).pdf").arg(n);
    return path;
}

PrintTarget::PrintTarget() = default;
PrintTarget::~PrintTarget() = default;
PrintTarget::PrintTarget(PrintTarget&&) noexcept = default;

PrintTarget OpenPrintTarget(const QString& folder, const QString& name, bool pdfOnly)
{
    PrintTarget target;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!pdfOnly && !info.isNull()) {
        target.printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        target.printerName = info.printerName();
    } else {
        target.pdfPath = NewPdfPath(folder, name);
        target.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        target.printer->setOutputFormat(QPrinter::PdfFormat);
        target.printer->setOutputFileName(target.pdfPath);
    }
    return target;
}
