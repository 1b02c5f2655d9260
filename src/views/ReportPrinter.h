#pragma once
// Prints the project report: on the system's default printer, or, when no
// printer is installed, into a new PDF file named after the project in the
// user's data folder. The status strip says where it went.
#include "views/core/ProjectMap.h"

enum class ReportTarget { DefaultPrinter, Pdf };

// Prints the lines; false after a failure, which is shown with style 48.
// DefaultPrinter falls back to the PDF when there is no printer. The PDF is a
// new file <data folder>/<project> <date> <time>.pdf, with a counter when that
// file exists (NewPdfPath).
bool PrintProjectReport(const std::vector<ReportLine>& lines, ReportTarget target = ReportTarget::DefaultPrinter);
