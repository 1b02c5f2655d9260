#pragma once
// The printer of the datalog printouts (OpenPrintTarget): the system's default
// printer, or, when no printer is installed, a new PDF file in the user's data
// folder named after the project and the time, which the status strip then
// names.
#include "datalog/core/DatalogSet.h"
#include "shell/PdfFile.h"

#include <QPageLayout>

class QPainter;

PrintTarget OpenDatalogPrinter(QPageLayout::Orientation orientation);
// Prints the datalog list on the printer of the printouts and tells where it
// went; a printer that cannot be drawn on fails as DeviceUnavailable.
void PrintDatalogList(const QVector<DatalogRecord>& records);
// Ends the printout's painter and the printout (a PDF is written to its file,
// failing naming it) and tells the status strip where a PDF went (nothing for
// a real printer). A painter that can't finish the printout fails as
// DeviceUnavailable, and nothing is said to have been printed.
void ReportDatalogPrinted(PrintTarget& target, QPainter& painter);
// Tests send every printout to the PDF file, printer or not.
void setDatalogPrintToPdf(bool always);
