#pragma once
// The printer of the datalog printouts: the system's default printer, or,
// when no printer is installed, a new PDF file in the user's data folder named
// after the project and the time (NewPdfPath), which the status strip then
// names.
#include <QPageLayout>
#include <QString>

#include <memory>

class QPrinter;

struct DatalogPrinter {
    std::unique_ptr<QPrinter> printer;
    QString pdfPath;  // empty when the output goes to a printer
    DatalogPrinter();
    ~DatalogPrinter();
    DatalogPrinter(DatalogPrinter&&) noexcept;
};

DatalogPrinter OpenDatalogPrinter(QPageLayout::Orientation orientation);
// Tells the status strip where a PDF went (nothing for a real printer).
void ReportDatalogPrinted(const DatalogPrinter& target);
// Tests send every printout to the PDF file, printer or not.
void setDatalogPrintToPdf(bool always);
