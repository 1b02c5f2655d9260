// The datalog window's graph area: the graph with its settings, the pointer's
// coordinates, the bitmap of the graph, and the page of instructions.
#include "datalog/frmDatalog.h"

#include "datalog/core/DatalogHelp.h"
#include "datalog/core/DatalogSet.h"
#include "datalog/DatalogWindowShared.h"
#include "datalog/GraphSurface.h"
#include "datalog/frmGraphSettings.h"
#include "model/Twips.h"
#include "shell/MainWindow.h"
#include "shell/ModalRunner.h"

#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

using namespace datalogwindow;

// ---- The graph area ----

DatalogGraphArea::DatalogGraphArea(frmDatalog* owner, QWidget* parent) : QWidget(parent), mOwner(owner)
{
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void DatalogGraphArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    mOwner->picGraph_Paint(painter);
}

void DatalogGraphArea::mouseMoveEvent(QMouseEvent* event)
{
    mOwner->picGraph_MouseMove(TwipX(qRound(event->position().x())), TwipY(qRound(event->position().y())));
}

// ---- Graph ----

void frmDatalog::ShowGraph()
{
    try {
        if (!listHasData()) {
            ShowMessage(QStringLiteral("No data to display!"), MsgStyle::Exclamation);
            return;
        }
        if (mSettings && !mSettings->cmbX->currentText().isEmpty() && (!ShowingGraph || ShowingHelp)) {
            showGraphArea();
            return;
        }
        const QVector<DatalogRecord>& records = CurrentDatalog().DatalogRecords;
        if (!mSettings || mSettings->cmbX->count() == 0) {
            QVector<GraphItem> items = BuildGraphItems(records);
            if (items.size() == 1) {
                ShowMessage(QStringLiteral("I can't draw a graph based on only one item!"), MsgStyle::Exclamation);
                return;
            }
            if (!mSettings)
                mSettings = new frmGraphSettings(mdiMain::Instance());
            mSettings->FillItems(items);
            Graph.Items = items;
        }
        mSettings->WasCanceled = False;
        RunModal(*mSettings);
        if (mSettings->WasCanceled && !ShowingGraph)
            return;
        Graph.Settings = mSettings->Settings();
        Graph.Prepare(records);
        GraphErrorShown = False;
        showGraphArea();
    } catch (const VbError& e) {
        showFailure(e);
    }
}

void frmDatalog::DrawGraph(IGraphSurface& surface, bool deferMessage)
{
    try {
        Graph.Draw(surface, CurrentDatalog().DatalogRecords, lstData->count(), PixelTwipsX(), PixelTwipsY());
        GraphErrorShown = False;
    } catch (const VbError& e) {
        if (GraphErrorShown)
            return;
        GraphErrorShown = True;
        const QString text = QStringLiteral("Original message: ") + e.description() +
                             QStringLiteral("\r\nCheck Datalog data! for instructions use the help button in the "
                                            "Datalog toolbar.");
        if (deferMessage)
            QTimer::singleShot(0, this, [text] { ShowMessage(text, MsgStyle::Exclamation); });
        else
            ShowMessage(text, MsgStyle::Exclamation);
    }
}

void frmDatalog::picGraph_Paint(QPainter& painter)
{
    if (ShowingGraph) {
        PainterSurface surface(painter, QSizeF(TwipX(picGraph->width()), TwipY(picGraph->height())), PixelTwipsX(),
                               PixelTwipsY(), PixelTwipsX());
        // A message box does not open inside a repaint; it follows at once after it.
        DrawGraph(surface, true);
    } else if (ShowingHelp) {
        ShowDatalogHelp(painter);
    }
}

void frmDatalog::picGraph_MouseMove(double x, double y)
{
    if (ShowingHelp || !ShowingGraph)
        return;
    SetPanel(3, Graph.Coordinates(x, y));
}

QImage frmDatalog::GraphImage()
{
    QImage image(qMax(1, picGraph->width()), qMax(1, picGraph->height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(qRound(TwipsPerInch / PixelTwipsX() / 0.0254));
    image.setDotsPerMeterY(qRound(TwipsPerInch / PixelTwipsY() / 0.0254));
    QPainter painter(&image);
    PainterSurface surface(painter, QSizeF(TwipX(image.width()), TwipY(image.height())), PixelTwipsX(), PixelTwipsY(),
                           PixelTwipsX());
    DrawGraph(surface);
    return image;
}

// ---- The instructions page ----

void frmDatalog::ShowDatalogHelp(QPainter& painter)
{
    const QVector<DatalogHelpLine>& lines = DatalogHelpLines();
    QFont font = painter.font();
    font.setPointSize(10);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(font);
    const QFontMetrics fm(font);
    const int h = fm.height();
    const int left = 20;
    int top = 10;
    for (const DatalogHelpLine& line : lines) {
        if (line.bullet) {
            painter.setPen(QColor(0, 0, 255));
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPointF(12, top + h / 2.0), h / 4.0, h / 4.0);
        }
        painter.setPen(Qt::black);
        int x = left;
        if (line.bold) {
            const QString label = QString::fromUtf8(line.bold);
            painter.setFont(bold);
            painter.drawText(x, top + fm.ascent(), label);
            x += QFontMetrics(bold).horizontalAdvance(label);
            painter.setFont(font);
        }
        painter.drawText(x, top + fm.ascent(), QString::fromUtf8(line.text));
        top += h;
    }
}
