// The datalog window's files and printouts: the list saved as text or the
// graph as a bitmap, a saved list opened again, the list or the graph printed.
#include "datalog/frmDatalog.h"

#include "datalog/core/DatalogFile.h"
#include "datalog/core/DatalogSet.h"
#include "datalog/DatalogPrint.h"
#include "datalog/DatalogWindowShared.h"
#include "datalog/GraphSurface.h"
#include "model/Twips.h"
#include "model/AppState.h"
#include "model/Disk.h"
#include "shell/FileDialog.h"
#include "shell/ModalRunner.h"

#include <QBuffer>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>

using namespace datalogwindow;

// ---- Files ----

void frmDatalog::SaveDatalog()
{
    if (!listHasData())
        return;
    try {
        const bool graph = ShowingGraph;
        const QString type = graph ? QStringLiteral("bmp") : QStringLiteral("dlg");
        frmFirmware dialog(this);
        dialog.setFullPath(DatalogFolder());
        dialog.cmdOpen->setText(QStringLiteral("Save"));
        dialog.setFileType(type);
        dialog.setWindowTitle(graph ? QStringLiteral("Save datalog graph") : QStringLiteral("Save datalog list"));
        RunModal(dialog);
        if (dialog.WasCanceled)
            return;
        QString name = dialog.FirmFileName();
        if (!name.contains(QLatin1Char('.')))
            name += QLatin1Char('.') + type;
        const QString target = frmFirmware::JoinPath(dialog.FullPath(), name);
        if (disk::EntryAt(target) != disk::Entry::None &&
            App().Presenter->MsgBox(QStringLiteral("Replace existing file?"), MsgStyle::OkCancel | MsgStyle::Question) ==
                MsgResult::Cancel)
            return;
        // The old file is replaced only once the new one is complete.
        if (graph) {
            // Painted into memory: the door writes the bytes, as it writes a list.
            QBuffer bytes;
            bytes.open(QIODevice::WriteOnly);
            if (!GraphImage().save(&bytes, "BMP"))
                raiseError(Err::PathFileAccess);
            disk::ReplaceFile(target, bytes.data());
        } else {
            WriteDatalogFile(target, CurrentDatalog().DatalogRecords);
        }
    } catch (const VbError& e) {
        showFailure(e);
    }
}

void frmDatalog::OpenDatalogFile()
{
    try {
        frmFirmware dialog(this);
        dialog.setFullPath(DatalogFolder());
        dialog.setFileType(QStringLiteral("dlg"));
        dialog.setWindowTitle(QStringLiteral("Open datalog"));
        RunModal(dialog);
        if (dialog.WasCanceled)
            return;
        const QString name = dialog.FirmFileName();
        const QString path = frmFirmware::JoinPath(dialog.FullPath(), name);
        // Only what is not there at all is not found: a FIFO or a folder there
        // is refused by the reading, naming it.
        if (disk::EntryAt(path) == disk::Entry::None) {
            ShowMessage(QStringLiteral("File not found: ") + name, MsgStyle::OkOnly);
            return;
        }
        ReadDatalogFile(path, CurrentDatalog().DatalogRecords);
        GraphErrorShown = False;
        unloadSettings();
        fillList();
        CurrentDatalog().DatalogSource = name;
        SetPanel(1, QStringLiteral("Data source: ") + name);
        SetPanel(2, QString::number(lstData->count()) + QStringLiteral(" items"));
        showList();
    } catch (const VbError& e) {
        showFailure(e);
    }
}

// ---- Printing ----

void frmDatalog::PrintDatalog()
{
    if (ShowingHelp && !ShowingGraph)
        return;
    try {
        if (ShowingGraph) {
            printGraph();
            return;
        }
        if (!listHasData())
            return;
        PrintDatalogList(CurrentDatalog().DatalogRecords);
    } catch (const VbError& e) {
        showFailure(e);
    }
}

// A printout of the graph on a landscape page.
void frmDatalog::printGraph()
{
    PrintTarget target = OpenDatalogPrinter(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&target.device()))
        raiseError(Err::DeviceUnavailable);
    // The graph as it is shown, enlarged to fill the page.
    const double deviceTwips = TwipsPerInch / target.resolution();
    const QSizeF size(TwipX(qMax(1, picGraph->width())), TwipY(qMax(1, picGraph->height())));
    const QRectF page = target.device().pageLayout().paintRectPixels(target.resolution());
    const double scale = qMax(1.0, qMin(page.width() * deviceTwips / size.width(),
                                        page.height() * deviceTwips / size.height()));
    painter.scale(scale, scale);
    PainterSurface surface(painter, size, deviceTwips, deviceTwips, PixelTwipsX());
    DrawGraph(surface);
    ReportDatalogPrinted(target, painter);
}
