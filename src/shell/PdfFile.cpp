#include "shell/PdfFile.h"

#include <QDir>
#include <QFileInfo>

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
