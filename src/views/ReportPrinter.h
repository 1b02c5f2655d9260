#pragma once
// Prints the project report: on the system's default printer, or, when no
// printer is installed, into a PDF file named after the project in the user's
// data folder. The status strip says where it went.
#include "views/ProjectMap.h"

enum class ReportTarget { DefaultPrinter, Pdf };

// The PDF file of the report: <data folder>/<project>.pdf.
QString ReportPdfPath();
// Prints the lines; false after a failure, which is shown with style 48.
// DefaultPrinter falls back to the PDF when there is no printer.
bool PrintProjectReport(const std::vector<ReportLine>& lines, ReportTarget target = ReportTarget::DefaultPrinter);
