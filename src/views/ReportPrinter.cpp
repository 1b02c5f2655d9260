#include "views/ReportPrinter.h"

#include "model/BusyPointer.h"
#include "model/Messages.h"
#include "model/Notifier.h"
#include "model/VbError.h"
#include "shell/PdfFile.h"

#include <QDir>
#include <QFontDatabase>
#include <QPainter>
#include <QPagedPaintDevice>

namespace {

QString reportFolder()
{
    const AppState& a = App();
    return a.DataFolder.isEmpty() ? QDir::currentPath() : a.DataFolder;
}

QString reportName()
{
    const AppState& a = App();
    QString name = a.RcxSetup().ProjectName;
    if (name.isEmpty())
        name = QStringLiteral("Project");
    return name;
}

}  // namespace

bool PrintProjectReport(const std::vector<ReportLine>& lines, ReportTarget to)
{
    AppState& a = App();
    BusyPointer busy(*a.Notifier);
    a.Shell->DoEvents();
    PrintTarget target;
    try {
        target = OpenPrintTarget(reportFolder(), reportName(), to == ReportTarget::Pdf);
    } catch (const VbError& e) {
        busy.Restore();
        ShowMessage(e.description(), MsgStyle::Exclamation);
        return false;
    }
    QPagedPaintDevice& printer = target.device();
    const QString where = target.pdfPath.isEmpty()
                              ? QStringLiteral("Project report sent to the printer ") + target.printerName
                              : QStringLiteral("Project report saved as ") + target.pdfPath;
    target.setDocName(a.RcxSetup().ProjectName);

    QPainter p;
    if (!p.begin(&printer)) {
        busy.Restore();
        ShowMessage(QStringLiteral("The project report could not be printed"), MsgStyle::Exclamation);
        return false;
    }
    // Blanks indent the report, so the letters all take the same width.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    QFont boldFont = font;
    boldFont.setBold(true);
    p.setFont(font);
    const QRect page = p.viewport();
    const int step = p.fontMetrics().lineSpacing();
    int y = step;
    for (const ReportLine& line : lines) {
        if (y > page.height() - step) {
            printer.newPage();
            y = step;
        }
        p.setFont(line.bold ? boldFont : font);
        const Long c = line.color;
        p.setPen(QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)));
        if (!line.text.isEmpty())
            p.drawText(0, y, line.text);
        y += step;
    }
    const bool ok = p.end();
    QString failure;
    try {
        if (ok)
            target.finish();
    } catch (const VbError& e) {
        failure = e.description();
    }
    busy.Restore();
    if (!ok || !failure.isEmpty()) {
        ShowMessage(failure.isEmpty() ? QStringLiteral("The project report could not be printed")
                                      : QStringLiteral("The project report could not be saved: ") + failure,
                    MsgStyle::Exclamation);
        return false;
    }
    Q_EMIT a.Notifier->StatusCleared();
    Q_EMIT a.Notifier->StatusPrinted(where);
    return true;
}
