#pragma once
// Where a printout goes: the system's default printer, else the PDF file it
// goes to when no printer is installed. Each printout gets a file of its own:
// the date and time are part of its name, and a counter is added when that
// name is taken, so no printout replaces another.
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;

// "<folder>/<name> <yyyy-MM-dd hh.mm.ss>.pdf", or with " (2)", " (3)" ... before
// ".pdf" when that file exists already. The folder is made when it is missing.
QString NewPdfPath(const QString& folder, const QString& name);
// The clock of the names: the local time unless tests set their own; an empty
// function brings back the local time.
void SetPdfClock(std::function<QDateTime()> clock);

// A printer for one printout (high resolution).
struct PrintTarget {
    std::unique_ptr<QPrinter> printer;
    QString printerName;  // the default printer's name; empty for a PDF file
    QString pdfPath;      // the PDF file; empty for a printer
    PrintTarget();
    ~PrintTarget();
    PrintTarget(PrintTarget&&) noexcept;
};
// The system's default printer; when there is none, or pdfOnly is set, a new
// PDF file at NewPdfPath(folder, name).
PrintTarget OpenPrintTarget(const QString& folder, const QString& name, bool pdfOnly = false);
