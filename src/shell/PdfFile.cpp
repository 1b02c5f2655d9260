#include "shell/PdfFile.h"

#include "model/Disk.h"

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
std::function<QDateTime()> gClock;
}

void SetPdfClock(std::function<QDateTime()> clock) { gClock = std::move(clock); }

QString NewPdfPath(const QString& folder, const QString& name)
{
    disk::MakeFolders(folder);
    const QDateTime now = gClock ? gClock() : QDateTime::currentDateTime();
    // No colons in the time: a file name can't hold them everywhere.
    const QString stem = QDir(folder).filePath(name + QLatin1Char(' ') +
                                               now.toString(QStringLiteral("yyyy-MM-dd hh.mm.ss")));
    QString path = stem + QStringLiteral(".pdf");
    for (int n = 2; disk::EntryAt(path) != disk::Entry::None; ++n)
        path = stem + QStringLiteral(" (%1).pdf").arg(n);
    return path;
}

PrintTarget::PrintTarget() = default;
PrintTarget::~PrintTarget() = default;
PrintTarget::PrintTarget(PrintTarget&&) noexcept = default;
PrintTarget& PrintTarget::operator=(PrintTarget&&) noexcept = default;

QPagedPaintDevice& PrintTarget::device() const
{
    if (printer)
        return *printer;
    return *pdf;
}

int PrintTarget::resolution() const { return printer ? printer->resolution() : pdf->resolution(); }

void PrintTarget::setDocName(const QString& name)
{
    if (printer)
        printer->setDocName(name);
    else
        pdf->setTitle(name);
}

void PrintTarget::setPageOrientation(QPageLayout::Orientation orientation)
{
    device().setPageOrientation(orientation);
}

void PrintTarget::finish()
{
    if (!pdf)
        return;
    pdfBytes->close();
    disk::CreateFile(pdfPath, pdfBytes->data());
}

PrintTarget OpenPrintTarget(const QString& folder, const QString& name, bool pdfOnly)
{
    PrintTarget target;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!pdfOnly && !info.isNull()) {
        target.printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        target.printerName = info.printerName();
        return target;
    }
    target.pdfPath = NewPdfPath(folder, name);
    // The page a PDF printer would give: its size, margins and resolution.
    QPrinter layout(QPrinter::HighResolution);
    layout.setOutputFormat(QPrinter::PdfFormat);
    target.pdfBytes = std::make_unique<QBuffer>();
    target.pdfBytes->open(QIODevice::WriteOnly);
    target.pdf = std::make_unique<QPdfWriter>(target.pdfBytes.get());
    target.pdf->setResolution(layout.resolution());
    target.pdf->setPageLayout(layout.pageLayout());
    target.pdf->setCreator(QStringLiteral("Quillomat"));
    return target;
}
