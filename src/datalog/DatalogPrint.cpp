#include "datalog/DatalogPrint.h"

#include "datalog/core/DatalogFile.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Twips.h"
#include "model/VbError.h"
#include "shell/PdfFile.h"

#include <QDir>
#include <QPainter>
#include <QPagedPaintDevice>

#include <cmath>

namespace {
bool gAlwaysPdf = false;
}

void setDatalogPrintToPdf(bool always) { gAlwaysPdf = always; }

PrintTarget OpenDatalogPrinter(QPageLayout::Orientation orientation)
{
    const AppState& a = App();
    QString folder = DatalogFolder();
    if (folder.isEmpty())
        folder = QDir::homePath();
    QString project = a.RcxSetup().ProjectName;
    if (project.isEmpty())
        project = QStringLiteral("Quillomat");
    PrintTarget target = OpenPrintTarget(folder, project + QStringLiteral(" datalog"), gAlwaysPdf);
    target.setDocName(QStringLiteral("Quillomat Datalog"));
    target.setPageOrientation(orientation);
    return target;
}

void ReportDatalogPrinted(PrintTarget& target, QPainter& painter)
{
    if (!painter.end())
        raiseError(Err::DeviceUnavailable);
    target.finish();
    if (target.pdfPath.isEmpty())
        return;
    Q_EMIT App().Notifier->StatusCleared();
    Q_EMIT App().Notifier->StatusPrinted(QStringLiteral("No printer installed: the datalog went to ") + target.pdfPath);
}

// The list, page by page under its head.
void PrintDatalogList(const QVector<DatalogRecord>& records)
{
    PrintTarget target = OpenDatalogPrinter(QPageLayout::Portrait);
    QPagedPaintDevice& printer = target.device();
    QPainter painter;
    if (!painter.begin(&printer))
        raiseError(Err::DeviceUnavailable);
    const double dev = target.resolution() / TwipsPerInch;  // device pixels a twip
    const QRectF page = printer.pageLayout().paintRectPixels(target.resolution());
    const double pageWidth = page.width();
    // The largest font up to 10 points that puts the head and 66 lines on a page.
    QFont font = painter.font();
    font.setPointSize(10);
    while (font.pointSize() > 6 &&
           QFontMetricsF(font, &printer).height() * (DatalogLinesPerPage + 11) > page.height())
        font.setPointSize(font.pointSize() - 1);
    QFont bold = font;
    bold.setBold(true);
    const double tabStop = 1000 * dev;
    double y = 0;
    // A line at x, each tab moving on to the next tab stop.
    const auto print = [&](const QString& text, double x) {
        const QFontMetricsF fm(painter.font(), &printer);
        double at = x;
        const QStringList parts = text.split(QLatin1Char('\t'));
        for (int i = 0; i < parts.size(); ++i) {
            if (i > 0)
                at = x + (std::floor((at - x) / tabStop) + 1) * tabStop;
            painter.drawText(QPointF(at, y + fm.ascent()), parts[i]);
            at += fm.horizontalAdvance(parts[i]);
        }
        y += fm.height();
    };
    const auto head = [&] {
        painter.setFont(bold);
        const QFontMetricsF fm(bold, &printer);
        y = 7 * fm.height();
        const QString title = DatalogPrintTitle();
        print(title, (pageWidth - fm.horizontalAdvance(title)) / 2);
        y += fm.height();
        print(DatalogPrintHeader(), 300 * dev);
        painter.setFont(font);
        y += QFontMetricsF(font, &printer).height();
    };
    const QList<QStringList> pages = DatalogPrintPages(records);
    for (int p = 0; p < pages.size(); ++p) {
        if (p > 0)
            printer.newPage();
        head();
        for (const QString& line : pages[p])
            print(line, 300 * dev);
    }
    ReportDatalogPrinted(target, painter);
}
