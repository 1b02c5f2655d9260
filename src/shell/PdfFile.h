#pragma once
// The PDF file a printout goes to when no printer is installed. Each printout
// gets a file of its own: the date and time are part of its name, and a
// counter is added when that name is taken, so no printout replaces another.
#include <QDateTime>
#include <QString>

#include <functional>

// "<folder>/<name> <yyyy-MM-dd hh.mm.ss>.pdf", or with " (2)", " (3)" ... before
// ".pdf" when that file exists already. The folder is made when it is missing.
QString NewPdfPath(const QString& folder, const QString& name);
// The clock of the names: the local time unless tests set their own; an empty
// function brings back the local time.
void SetPdfClock(std::function<QDateTime()> clock);
