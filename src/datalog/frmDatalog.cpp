// The datalog window's frame: the toolbar and its routing, the status strip,
// the list and the graph area in turn, hiding instead of closing. The
// operations live in frmDatalogBrick.cpp (reset, size, upload),
// frmDatalogGraph.cpp (graph, instructions) and frmDatalogFiles.cpp
// (save, open, print).
#include "datalog/frmDatalog.h"

#include "datalog/core/DatalogSet.h"
#include "datalog/DatalogWindowShared.h"
#include "datalog/GraphSurface.h"
#include "datalog/frmGraphSettings.h"
#include "model/Twips.h"
#include "model/AppState.h"
#include "shell/EventGuard.h"
#include "shell/MainWindow.h"
#include "shell/ModalRunner.h"
#include "shell/Pictures.h"
#include "shell/ScreenPlacement.h"
#include "shell/ShellRequests.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

using namespace datalogwindow;

namespace {

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

}  // namespace

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
    FitWhenShown(this);
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

frmGraphSettings* frmDatalog::GraphSettings() const { return mSettings.data(); }
