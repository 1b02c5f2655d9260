#pragma once
// Where a printout goes: the system's default printer, else the PDF file it
// goes to when no printer is installed. Each printout gets a file of its own:
// the date and time are part of its name, and a counter is added when that
// name is taken (by anything at all, a link too), so no printout replaces
// another. A PDF is painted into memory and written through the door
// (model/Disk.h) as a new file when it is finished: never through a link, and
// never over a file that came to its name meanwhile.
#include <QDateTime>
#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>

class QBuffer;
class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

// "<folder>/<name> <yyyy-MM-dd hh.mm.ss>.pdf", or with " (2)", " (3)" ... before
// ".pdf" when that name is taken already. The folder is made when it is missing.
QString NewPdfPath(const QString& folder, const QString& name);
// The clock of the names: the local time unless tests set their own; an empty
// function brings back the local time.
void SetPdfClock(std::function<QDateTime()> clock);

// A device for one printout (high resolution).
struct PrintTarget {
    QString printerName;  // the default printer's name; empty for a PDF file
    QString pdfPath;      // the PDF file; empty for a printer

    PrintTarget();
    ~PrintTarget();
    PrintTarget(PrintTarget&&) noexcept;
    PrintTarget& operator=(PrintTarget&&) noexcept;

    // What the printout is painted on, and at how many dots an inch.
    QPagedPaintDevice& device() const;
    int resolution() const;
    void setDocName(const QString& name);
    void setPageOrientation(QPageLayout::Orientation orientation);
    // Ends the printout once its painter has ended: a PDF is written to its
    // file, failure 58 or 75 naming it when that can't be done.
    void finish();

    std::unique_ptr<QPrinter> printer;  // for a printer
    std::unique_ptr<QBuffer> pdfBytes;  // for a PDF
    std::unique_ptr<QPdfWriter> pdf;
};
// The system's default printer; when there is none, or pdfOnly is set, a new
// PDF file at NewPdfPath(folder, name).
PrintTarget OpenPrintTarget(const QString& folder, const QString& name, bool pdfOnly = false);
