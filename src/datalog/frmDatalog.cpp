#include "datalog/frmDatalog.h"

#include "compiler/ModuleCompile.h"
#include "datalog/core/DatalogFile.h"
#include "datalog/core/DatalogSet.h"
#include "datalog/DatalogPrint.h"
#include "datalog/GraphSurface.h"
#include "datalog/frmDatalogRange.h"
#include "datalog/frmGraphSettings.h"
#include "model/Twips.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Messages.h"
#include "model/Phantom.h"
#include "model/VbError.h"
#include "shell/FileDialog.h"
#include "shell/EventGuard.h"
#include "shell/MainWindow.h"
#include "shell/ModalRunner.h"
#include "shell/Pictures.h"
#include "shell/ScreenPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QPushButton>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QRadioButton>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QScopeGuard>

#include <cmath>

namespace {

const QString kEmpty = QStringLiteral("Datalog is empty!");
const QString kNoCommunication = QStringLiteral("No communication with the RCX");
const QString kShowList = QStringLiteral("Show datalog list");
const QString kUpload = QStringLiteral("Upload datalog");
const QString kShowGraph = QStringLiteral("Display datalog as graph");
const QString kGraphSettings = QStringLiteral("Open graph settings window");

QPointer<frmDatalog> gInstance;

struct ButtonDef {
    const char* key;
    const char* tip;
};
const ButtonDef kButtons[] = {
    {"EXIT", "Exit"}, {nullptr, nullptr}, {"RESET", "Reset datalog (size=0)"},
    {"DATASIZE", "Set datalog size"}, {nullptr, nullptr}, {"SHOWDATA", "Upload datalog"},
    {"SHOWGRAPH", "Display datalog as graph"}, {nullptr, nullptr}, {"SAVEDATA", "Save datalog to file"},
    {"OPENDATA", "Open datalog file (text only)"}, {"PRINT", "Print"}, {nullptr, nullptr},
    {"HELP", "Datalog Instructions"},
};

void showFailure(const VbError& e) { ShowMessage(e.description(), MsgStyle::Exclamation); }

}  // namespace

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

// ---- The window ----

frmDatalog::frmDatalog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Quillomat Datalog"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);

    TB1 = new QToolBar(this);
    TB1->setIconSize(QSize(16, 16));
    for (const ButtonDef& b : kButtons) {
        if (!b.key) {
            TB1->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction* action = TB1->addAction(QString::fromLatin1(b.tip));
        action->setObjectName(key);
        action->setToolTip(QString::fromLatin1(b.tip));
        connect(action, &QAction::triggered, this, [this, key] { TB1_ButtonClick(key); });
    }
    lstData = new QListWidget(this);
    picGraph = new DatalogGraphArea(this, this);
    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        SB1[i] = new QLabel(this);
        SB1[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->addWidget(SB1[i], i == 2 ? 2 : 1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TB1);
    layout->addStretch(1);
    layout->addWidget(status);
    resize(PixX(10500), PixY(7200));

    // Form_Load: centred on the screen, the toolbar's pictures.
    CentreOnScreen(this);
    SetToolbarImages();
    lstData->raise();

    if (mdiMain::Instance())
        UnloadAtProgramEnd(this);
}

frmDatalog::~frmDatalog()
{
    // The main window's end deletes the settings dialog itself, after this window.
    if (mSettings && !mSettings->parent())
        delete mSettings.data();
}

frmDatalog* frmDatalog::Instance()
{
    if (!gInstance)
        gInstance = new frmDatalog(mdiMain::Instance());
    return gInstance;
}

void frmDatalog::ShowDatalog()
{
    frmDatalog* w = Instance();
    w->setModal(true);
    RunModal(*w);
}

void ConnectDatalogWindows(mdiMain& main)
{
    QObject::connect(&main, &mdiMain::DatalogShowRequested, &main,
                     [] { DeliverGuarded([] { frmDatalog::ShowDatalog(); return true; }); });
}

QAction* frmDatalog::Button(const QString& key) const { return TB1->findChild<QAction*>(key); }

QString frmDatalog::Panel(int panel) const { return SB1[panel - 1]->text(); }

void frmDatalog::SetPanel(int panel, const QString& text) { SB1[panel - 1]->setText(text); }

void frmDatalog::DoEvents() { App().Shell->DoEvents(); }

void frmDatalog::SetToolbarImages()
{
    for (QAction* a : TB1->actions()) {
        const QString key = a->objectName();
        if (key == QLatin1String("EXIT") || key == QLatin1String("HELP"))
            a->setIcon(CommandIcon(key));
        else if (!key.isEmpty())
            a->setIcon(QIcon(QStringLiteral(":/datalog/") + key + QStringLiteral(".svg")));
    }
}

void frmDatalog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmDatalog::Form_Resize()
{
    const int top = TB1->geometry().bottom() + 1;
    const int statusHeight = SB1[0]->parentWidget()->height();
    const QRect area(0, top, width(), qMax(0, height() - top - statusHeight));
    lstData->setGeometry(area);
    picGraph->setGeometry(area);
    if (ShowingGraph || ShowingHelp)
        picGraph->update();
}

void frmDatalog::closeEvent(QCloseEvent* event)
{
    // A close asked for by the user only hides the window; the program's end deletes it.
    event->ignore();
    hide();
}

void frmDatalog::keyPressEvent(QKeyEvent* event)
{
    // Escape hides the window as its close box does; it does not close it.
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmDatalog::setTips(const QString& showData, const QString& showGraph)
{
    Button(QStringLiteral("SHOWDATA"))->setToolTip(showData);
    Button(QStringLiteral("SHOWGRAPH"))->setToolTip(showGraph);
}

void frmDatalog::showList()
{
    ShowingGraph = False;
    ShowingHelp = False;
    setTips(kUpload, kShowGraph);
    lstData->raise();
}

void frmDatalog::showGraphArea()
{
    ShowingGraph = True;
    ShowingHelp = False;
    setTips(kShowList, kGraphSettings);
    picGraph->raise();
    picGraph->update();
}

void frmDatalog::unloadSettings()
{
    delete mSettings.data();
    mSettings.clear();
    Graph = DatalogGraph();
}

bool frmDatalog::listHasData() const
{
    return lstData->count() > 0 && lstData->item(0)->text() != kEmpty;
}

void frmDatalog::fillList()
{
    lstData->clear();
    lstData->addItems(DatalogListLines(CurrentDatalog().DatalogRecords));
}

void frmDatalog::TB1_ButtonClick(const QString& key)
{
    if (key == QLatin1String("RESET")) {
        ResetDatalog();
    } else if (key == QLatin1String("DATASIZE")) {
        SetDatalogSize();
    } else if (key == QLatin1String("SHOWDATA")) {
        UploadDatalog();
    } else if (key == QLatin1String("SAVEDATA")) {
        SaveDatalog();
    } else if (key == QLatin1String("OPENDATA")) {
        OpenDatalogFile();
    } else if (key == QLatin1String("SHOWGRAPH")) {
        ShowGraph();
    } else if (key == QLatin1String("PRINT")) {
        PrintDatalog();
    } else if (key == QLatin1String("EXIT")) {
        hide();
    } else if (key == QLatin1String("HELP")) {
        ShowHelp();
    }
}

void frmDatalog::ShowHelp()
{
    setTips(kShowList, kShowGraph);
    ShowingHelp = True;
    ShowingGraph = False;
    SetPanel(3, QString());
    picGraph->raise();
    picGraph->update();
}

// ---- Reset and size ----

bool frmDatalog::eraseBrickDatalog()
{
    if (!InitRCX(*App().RcxSetup))
        return false;
    if (!PB().PBAlive()) {
        ShowMessage(kNoCommunication, MsgStyle::Exclamation);
        return false;
    }
    if (!PB().SetDatalog(0)) {
        ShowMessage(QStringLiteral("Can't reset datalog"), MsgStyle::Exclamation);
        return false;
    }
    return true;
}

void frmDatalog::ResetDatalog()
{
    try {
        if (eraseBrickDatalog())
            PB().PlayTone(3000, 40);
    } catch (const VbError& e) {
        showFailure(e);
    }
}

void frmDatalog::SetDatalogSize()
{
    try {
        const QString answer =
            App().Presenter->InputBox(QStringLiteral("Enter the size of datalog (1 to ~2000)"),
                                      QStringLiteral("Quillomat - Set Datalog size"), QString::number(LastDatalogSize))
                .trimmed();
        if (answer.isEmpty())
            return;
        const Integer size = vb::CInt(answer);
        if (size == 0 || !eraseBrickDatalog())
            return;
        LastDatalogSize = size;
        DoEvents();
        if (PB().SetDatalog(LastDatalogSize))
            PB().PlayTone(3000, 40);
        else
            ShowMessage(QStringLiteral("Can't set datalog to this size: ") + QString::number(LastDatalogSize),
                        MsgStyle::Exclamation);
    } catch (const VbError& e) {
        showFailure(e);
    }
}

// ---- Upload ----

void frmDatalog::UploadDatalog()
{
    if (ShowingGraph || ShowingHelp) {
        showList();
        return;
    }
    Notifier& notifier = *App().Notifier;
    // The toolbar waits while the brick is read: the events let between the
    // replies must not start another upload or change the list.
    TB1->setEnabled(false);
    const auto enable = qScopeGuard([this] { TB1->setEnabled(true); });
    try {
        {
            frmDatalogRange range(this);
            range.optRange[RangeMode == 1 ? 1 : 0]->setChecked(true);
            range.txtSize->setText(QString::number(RangeSize));
            range.txtStart->setText(QString::number(RangeStart));
            range.WasCanceled = False;
            RunModal(range);
            if (range.WasCanceled)
                return;
            if (range.optRange[0]->isChecked()) {
                RangeMode = 0;
                RangeStart = 1;
                RangeSize = 0;
            } else {
                RangeMode = 1;
                RangeSize = vb::CLng(range.txtSize->text());
                RangeStart = vb::CLng(range.txtStart->text());
            }
        }
        notifier.SetPointer(11);
        SetPanel(3, QStringLiteral("Uploading datalog..."));
        DoEvents();
        if (!InitRCX(*App().RcxSetup)) {
            notifier.SetPointer(0);
            SetPanel(3, QString());
            return;
        }
        const UploadResult result = FetchDatalog(PB(), RangeStart, RangeSize, CurrentDatalog().DatalogRecords, *this);
        if (result.outcome != UploadOutcome::NoCommunication)
            GraphErrorShown = False;
        switch (result.outcome) {
        case UploadOutcome::NoCommunication:
            notifier.SetPointer(0);
            ShowMessage(kNoCommunication, MsgStyle::Exclamation);
            SetPanel(3, QString());
            return;
        case UploadOutcome::Empty:
            lstData->clear();
            lstData->addItem(kEmpty);
            for (int i = 1; i <= 3; ++i)
                SetPanel(i, QString());
            notifier.SetPointer(0);
            return;
        case UploadOutcome::RangeTooLarge:
            SetPanel(3, QString());
            notifier.SetPointer(0);
            ShowMessage(QStringLiteral("Current datalog size is ") + QString::number(result.entryCount) +
                            QStringLiteral("\r\nStarting point + Size is greater than the datalog size"),
                        MsgStyle::Exclamation);
            return;
        case UploadOutcome::Done:
            break;
        }
        unloadSettings();
        fillList();
        CurrentDatalog().DatalogSource = QStringLiteral("RCX");
        QString source = QStringLiteral("data source: ") + CurrentDatalog().DatalogSource;
        if (RangeSize > 0)
            source += QStringLiteral(" Start:") + QString::number(RangeStart) + QStringLiteral(" Size:") +
                      QString::number(RangeSize);
        SetPanel(1, source);
        SetPanel(2, QString::number(lstData->count()) + QStringLiteral(" items"));
        PB().PlayTone(3000, 40);
        SetPanel(3, QString());
        showList();
        notifier.SetPointer(0);
    } catch (const VbError& e) {
        notifier.SetPointer(0);
        SetPanel(3, QString());
        showFailure(e);
    }
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
    struct HelpLine {
        bool bullet;
        const char* bold;
        const char* text;
    };
    static const HelpLine lines[] = {
        {true, nullptr, "Before you can use the datalog in your program you must make some room"},
        {false, nullptr, "for all the items you need to log."},
        {false, nullptr, "To calculate the amount of datalog space you need, multiply the number of items by"},
        {false, nullptr, "the number of iterations (loops), for example if your program loops 30 times and"},
        {false, nullptr, "write 4 items to the gatalog: you need 30 x 4 = 120 datalog points."},
        {false, nullptr, "If you are not sure its better to set up more points because writing to a full datalog"},
        {false, nullptr, "has no effect."},
        {false, nullptr, ""},
        {true, nullptr, "In order to draw graph you need to make sure that the datalog list is arranged"},
        {false, nullptr, "in repeated blocks: [Item 1,Item 2,Item 3] [Item 1,Item 2,Item 3] and so on."},
        {false, nullptr, "Quillomat allow any time item (timers & clock) to be assigned only to the X-axis"},
        {false, nullptr, "and will not let you assign the same item to both axis, THE REST IS UP TO YOU."},
        {false, "Note: 'Samples Counter' ", "is automatically added to X-axis options to count the number of 'blocks'."},
        {false, nullptr, ""},
        {true, "The Toolbar:", ""},
        {false, nullptr, ""},
        {false, "Exit: ", "hides datalog window."},
        {false, "Reset datalog: ", "erase the datalog and set it to size 0 (making room for big programs)."},
        {false, "Set datalog size: ", "let you set the size of the datalog between 1 to approximately 2000."},
        {false, "Show datalog list/Upload datalog: ", "if you are viewing the graph or this help it will"},
        {false, nullptr, "show the list again. When already viewing the list it will attempt to upload new list from the RCX."},
        {false, "Show graph/Graph settings: ", "show the graph. Behave like the Show datalog button."},
        {false, "Save: ", "what you see is what you save: the list is saved as text and the graph as bitmap."},
        {false, "Open: ", "open a previously saved datalog list."},
        {false, "Print: ", "what you see is what you print."},
    };
    QFont font = painter.font();
    font.setPointSize(10);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(font);
    const QFontMetrics fm(font);
    const int h = fm.height();
    const int left = 20;
    int top = 10;
    for (const HelpLine& line : lines) {
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
        if (QFileInfo::exists(target) &&
            App().Presenter->MsgBox(QStringLiteral("Replace existing file?"), MsgStyle::OkCancel | MsgStyle::Question) ==
                MsgResult::Cancel)
            return;
        // The old file is replaced only once the new one is complete.
        if (graph) {
            if (!GraphImage().save(target, "BMP"))
                raiseError(Err::PathFileAccess);
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
        if (!QFileInfo(path).isFile()) {
            ShowMessage(QStringLiteral("File not found: ") + name, 0);
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
            PrintTarget target = OpenDatalogPrinter(QPageLayout::Landscape);
            QPainter painter;
            if (!painter.begin(target.printer.get()))
                raiseError(Err::DeviceUnavailable);
            // The graph as it is shown, enlarged to fill the page.
            const double deviceTwips = TwipsPerInch / target.printer->resolution();
            const QSizeF size(TwipX(qMax(1, picGraph->width())), TwipY(qMax(1, picGraph->height())));
            const QRectF page = target.printer->pageLayout().paintRectPixels(target.printer->resolution());
            const double scale = qMax(1.0, qMin(page.width() * deviceTwips / size.width(),
                                                page.height() * deviceTwips / size.height()));
            painter.scale(scale, scale);
            PainterSurface surface(painter, size, deviceTwips, deviceTwips, PixelTwipsX());
            DrawGraph(surface);
            painter.end();
            ReportDatalogPrinted(target);
            return;
        }
        if (!listHasData())
            return;
        PrintTarget target = OpenDatalogPrinter(QPageLayout::Portrait);
        QPrinter& printer = *target.printer;
        QPainter painter;
        if (!painter.begin(&printer))
            raiseError(Err::DeviceUnavailable);
        const double dev = printer.resolution() / TwipsPerInch;  // device pixels a twip
        const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
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
        const QList<QStringList> pages = DatalogPrintPages(CurrentDatalog().DatalogRecords);
        for (int p = 0; p < pages.size(); ++p) {
            if (p > 0)
                printer.newPage();
            head();
            for (const QString& line : pages[p])
                print(line, 300 * dev);
        }
        painter.end();
        ReportDatalogPrinted(target);
    } catch (const VbError& e) {
        showFailure(e);
    }
}
frmGraphSettings* frmDatalog::GraphSettings() const { return mSettings.data(); }
