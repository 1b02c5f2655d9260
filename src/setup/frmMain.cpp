#include "setup/frmMain.h"

#include "model/Twips.h"
#include "link/PortSelector.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Messages.h"
#include "model/SettingsKeys.h"
#include "model/VbError.h"
#include "setup/PropertyDialogs.h"
#include "setup/SetupLayout.h"
#include "setup/SetupPictures.h"
#include "shell/FileDialog.h"
#include "shell/EventGuard.h"
#include "shell/MainWindow.h"
#include "shell/ModalRunner.h"
#include "shell/Preferences.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

const char* const kPictureMime = "application/x-quillomat-setup-picture";

namespace {

QPointer<frmMain>& current()
{
    static QPointer<frmMain> window;
    return window;
}

const char* const kRowStyle = "background-color: #FFFFC0;";
const char* const kPortProperty = "setupPort";

// The palette index a drag carries, or 0.
int pictureOf(const QMimeData* mime)
{
    if (!mime || !mime->hasFormat(QLatin1String(kPictureMime)))
        return 0;
    return mime->data(QLatin1String(kPictureMime)).toInt();
}

// True when the control's brick is the virtual one.
bool virtualBrickInUse()
{
    IPortSelector* ports = App().Ports;
    if (!ports)
        return false;
    try {
        return ports->ComPortNo() == PortSelector::VirtualBrickPort;
    } catch (const VbError&) {
        return false;
    }
}

// The height of the window's body (the three columns).
constexpr double kBodyHeightTwips = 240 + 5955 + 240;
constexpr double kFullWidthTwips = 8340 + 2400 + 195;
constexpr double kFrame1Left = 3705;

}  // namespace

frmMain* frmMain::Current() { return current(); }

frmMain::frmMain(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("VER Ize"));
    current() = this;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildMenus();
    layout->setMenuBar(menuBar);
    auto* body = new QWidget(this);
    body->setFixedSize(PixX(kFullWidthTwips), PixY(kBodyHeightTwips));
    layout->addWidget(body, 0, Qt::AlignLeft | Qt::AlignTop);
    Frame2 = place(new QGroupBox(QStringLiteral("RCX"), body), 180, 240, 3360, 5955);
    Frame1 = place(new QGroupBox(QStringLiteral("Object polling"), body), kFrame1Left, 240, 4320, 5955);
    BuildBrickColumn();
    BuildPollColumn();
    CmdClose = place(new QPushButton(QStringLiteral("Close"), body), 8340, 345, 2400, 1020);
    connect(CmdClose, &QPushButton::clicked, this, &frmMain::CmdClose_Click);
    BuildToolColumn();
    FullWidth = PixX(kFullWidthTwips);
    setFixedSize(FullWidth, menuBar->sizeHint().height() + body->height());
    // No button is pressed by an Enter typed elsewhere: in a polling box it
    // sends a variable's value or does nothing, in a check box nothing.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);

    PopupMenu = [](QMenu* menu) { menu->exec(QCursor::pos()); };
    Tools.Chooser = [this](const QString& folder, const QString& name) { return ChooseFirmware(folder, name); };
    Panel.PollingChanged = [this] { ShowPollingState(); };
}

frmMain::~frmMain()
{
    if (current() == this)
        current() = nullptr;
}

// ------------------------------------------------------------------ building

void frmMain::BuildMenus()
{
    menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(QStringLiteral("File"));
    mnuPref = file->addAction(QStringLiteral("Preferences..."));
    file->addSeparator();
    mnuClose = file->addAction(QStringLiteral("Close"));
    QMenu* view = menuBar->addMenu(QStringLiteral("View"));
    mnuAdvanced = view->addAction(QStringLiteral("Advanced options"));
    mnuAdvanced->setCheckable(true);
    mnuAdvAllwaise = view->addAction(QStringLiteral("Always open in advanced mode"));
    mnuAdvAllwaise->setCheckable(true);
    mnuShowFirmVer = view->addAction(QStringLiteral("Show current firmware version"));
    // The ports' pop-up menu; not on the menu bar.
    mnuEdit = new QMenu(QStringLiteral("Edit"), this);
    mnuDel = mnuEdit->addAction(QStringLiteral("Remove"));
    mnuOpenProp = mnuEdit->addAction(QStringLiteral("Open properties window"));

    connect(mnuPref, &QAction::triggered, this, &frmMain::mnuPref_Click);
    connect(mnuClose, &QAction::triggered, this, &frmMain::CmdClose_Click);
    connect(mnuAdvanced, &QAction::triggered, this, [this] { mnuAdvanced_Click(); });
    connect(mnuAdvAllwaise, &QAction::triggered, this, [this] { mnuAdvAllwaise_Click(); });
    connect(mnuShowFirmVer, &QAction::triggered, this, &frmMain::mnuShowFirmVer_Click);
    connect(mnuDel, &QAction::triggered, this, &frmMain::mnuDel_Click);
    connect(mnuOpenProp, &QAction::triggered, this, &frmMain::mnuOpenProp_Click);
}

void frmMain::BuildBrickColumn()
{
    pictools = place(new QWidget(Frame2), 120, 315, 3120, 1515);
    const int pic = PixX(540);
    for (int i = 1; i <= 5; ++i) {
        auto* p = new QLabel(pictools);
        p->setGeometry(PixX(60) + (i - 1) * (pic + PixX(90)), PixY(60), pic, pic);
        p->setPixmap(PalettePicture(i, p->size()));
        p->setToolTip(PaletteTip(i));
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
        p->setCursor(Qt::OpenHandCursor);
        p->setProperty(kPortProperty, i);
        p->installEventFilter(this);
        picBrick[i] = p;
    }
    Label2 = place(new QLabel(QStringLiteral("Drag an object and drop it on the appropriate place."), pictools),
                   60, 720, 3000, 700);
    Label2->setWordWrap(true);

    picRcx = place(new QLabel(Frame2), 120, 1935, 3120, 3900);
    picRcx->setPixmap(BrickPicture(picRcx->size()));
    picRcx->setAcceptDrops(true);
    picRcx->installEventFilter(this);
    for (int i = 0; i < 3; ++i) {
        imgSensor[i] = new QLabel(picRcx);
        imgSensor[i]->setGeometry(SensorPortRect(picRcx->size(), i));
        imgOutput[i] = new QLabel(picRcx);
        imgOutput[i]->setGeometry(OutputPortRect(picRcx->size(), i));
        for (QLabel* port : {imgSensor[i], imgOutput[i]}) {
            port->setAcceptDrops(true);
            port->setProperty(kPortProperty, i);
            port->installEventFilter(this);
            port->setLineWidth(2);
        }
    }
    txtProgNumber = new QLineEdit(Frame2);
    const QRect display = SlotDisplayRect(picRcx->size()).translated(picRcx->pos());
    txtProgNumber->setGeometry(display.right() - PixX(420), display.center().y() - PixY(285) / 2, PixX(360), PixY(285));
    txtProgNumber->setAlignment(Qt::AlignCenter);
    txtProgNumber->setMaxLength(1);
    // The box shows the stored slot only: its text changes through a typed
    // digit (txtProgNumber_KeyPress) and nothing else, so no pop-up menu, no
    // paste and no dropped text.
    txtProgNumber->setReadOnly(true);
    txtProgNumber->setContextMenuPolicy(Qt::NoContextMenu);
    txtProgNumber->setToolTip(QStringLiteral("Program slot 1 to 5"));
    txtProgNumber->installEventFilter(this);
    txtProgNumber->raise();

    cmdRun = new QPushButton(QStringLiteral("Run"), picRcx);
    cmdRun->setGeometry(BrickKeyRect(picRcx->size(), 0));
    cmdRun->setToolTip(QStringLiteral("Run the program in the slot"));
    cmdStop = new QPushButton(QStringLiteral("Stop"), picRcx);
    cmdStop->setGeometry(BrickKeyRect(picRcx->size(), 1));
    cmdStop->setToolTip(QStringLiteral("Stop all tasks"));
    for (QPushButton* key : {cmdRun, cmdStop}) {
        QFont f = key->font();
        f.setPixelSize(qMax(8, key->height() / 2));
        key->setFont(f);
        key->setFocusPolicy(Qt::NoFocus);
        key->setVisible(false);
    }
    connect(cmdRun, &QPushButton::clicked, this, &frmMain::cmdRun_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmMain::cmdStop_Click);
}

void frmMain::BuildPollColumn()
{
    chkOrder[0] = place(new QCheckBox(QStringLiteral("Show selected only"), Frame1), 150, 300, 2400, 300);
    const char* names[] = {nullptr, "Motors ", "Sensors", "Variables", "Timers"};
    for (int i = 1; i <= 4; ++i)
        chkOrder[i] = place(new QCheckBox(QLatin1String(names[i]), Frame1), 150 + ((i - 1) % 2) * 2000,
                            4500 + ((i - 1) / 2) * 270, 1900, 270);
    for (int i = 0; i < 5; ++i)
        connect(chkOrder[i], &QCheckBox::clicked, this, [this, i] { chkOrder_Click(i); });

    picMainPanel = place(new QWidget(Frame1), 150, 660, 4005, 3795);
    picMainPanel->setAutoFillBackground(true);
    QPalette pal = picMainPanel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    picMainPanel->setPalette(pal);
    VScroll1 = new QScrollBar(Qt::Vertical, picMainPanel);
    VScroll1->setGeometry(picMainPanel->width() - PixX(240), 0, PixX(240), picMainPanel->height());
    picPanel = new QWidget(picMainPanel);
    picPanel->setGeometry(0, 0, picMainPanel->width() - VScroll1->width(), picMainPanel->height());
    // The wheel over the rows goes to the scroll bar.
    picMainPanel->installEventFilter(this);
    picPanel->installEventFilter(this);
    connect(VScroll1, &QScrollBar::valueChanged, this, &frmMain::VScroll1_Change);
    mRowHeight = PixY(270);

    cmdClean = place(new QPushButton(QStringLiteral("Unselect all objects"), Frame1), 150, 5070, 1800, 360);
    cmdPollOnce = place(new QPushButton(QStringLiteral("Single Poll"), Frame1), 2010, 5070, 1000, 360);
    cmdStopPollSensor = place(new QPushButton(QStringLiteral("Start polling"), Frame1), 3070, 5070, 1085, 360);
    connect(cmdClean, &QPushButton::clicked, this, &frmMain::cmdClean_Click);
    connect(cmdPollOnce, &QPushButton::clicked, this, &frmMain::cmdPollOnce_Click);
    connect(cmdStopPollSensor, &QPushButton::clicked, this, &frmMain::cmdStopPollSensor_Click);

    Label1 = place(new QLabel(QStringLiteral("Poll interval"), Frame1), 150, 5520, 1100, 300);
    sldInterval = place(new QSlider(Qt::Horizontal, Frame1), 1250, 5520, 1300, 300);
    sldInterval->setRange(20, 5000);
    sldInterval->setSingleStep(10);
    sldInterval->setPageStep(100);
    lblTime = place(new QLabel(Frame1), 2600, 5520, 1650, 300);
    tmrPoll = new QTimer(this);
    connect(sldInterval, &QSlider::valueChanged, this, &frmMain::sldInterval_Change);
    connect(sldInterval, &QSlider::sliderReleased, this, [this] { pictools->setFocus(); });
    connect(tmrPoll, &QTimer::timeout, this, &frmMain::tmrPoll_Timer);
}

void frmMain::BuildToolColumn()
{
    QWidget* body = CmdClose->parentWidget();
    const struct {
        int index;
        const char* caption;
        double top;
    } tools[] = {{4, "RCX auto power off", 1552}, {3, "Battery state ", 2759}, {0, "RCX Datalog...", 3966},
                 {1, "Firmware download", 5175}};
    for (const auto& t : tools) {
        auto* b = place(new QPushButton(QLatin1String(t.caption), body), 8340, t.top, 2400, 1020);
        const int index = t.index;
        b->setIcon(QIcon(ToolPicture(index, QSize(28, 28))));
        b->setIconSize(QSize(28, 28));
        connect(b, &QPushButton::clicked, this, [this, index] { cmdDataLog_Click(index); });
        cmdDataLog[t.index] = b;
    }
    picBatPower = place(new QLabel(body), 8445, 3390, 2175, 120);
    picBatPower->setVisible(false);
    picBatPower->installEventFilter(this);
    picBatPower->raise();
    cmdFirmDialog = place(new QPushButton(QStringLiteral("..."), body), 10245, 5265, 375, 300);
    cmdFirmDialog->setToolTip(QStringLiteral("Search Firmware File"));
    cmdFirmDialog->raise();
    connect(cmdFirmDialog, &QPushButton::clicked, this, &frmMain::cmdFirmDialog_Click);
}

// ------------------------------------------------------------------ the window

int frmMain::NarrowWidth() const { return PixX(kFrame1Left); }

void frmMain::Form_Load()
{
    AppState& a = App();
    FormLoading = true;
    FullWidth = PixX(kFullWidthTwips);
    mAdvancedOn = a.ShowAdvanced != 0;
    mAlwaysOn = false;
    mnuAdvanced->setEnabled(true);
    if (mAdvancedOn) {
        if (a.AdvancedAlways) {
            mnuAdvanced->setEnabled(false);
            mAlwaysOn = true;
        }
        setFixedWidth(FullWidth);
    } else {
        setFixedWidth(NarrowWidth());
    }
    mnuAdvanced->setChecked(mAdvancedOn);
    mnuAdvAllwaise->setChecked(mAlwaysOn);

    sldInterval->setValue(int(PollState().PollInterval));
    sldInterval_Change(sldInterval->value());

    const bool rcxProject = a.ProjectType == 0;
    txtProgNumber->setEnabled(rcxProject);
    cmdRun->setEnabled(rcxProject);
    cmdStop->setEnabled(rcxProject);
    ShowBrickKeys();
    for (int i = 1; i <= 4; ++i) {
        picBrick[i]->setEnabled(rcxProject);
        picBrick[i]->setPixmap(rcxProject ? PalettePicture(i, picBrick[i]->size()) : CoverPicture(picBrick[i]->size()));
        picBrick[i]->setCursor(rcxProject ? Qt::OpenHandCursor : Qt::ArrowCursor);
    }
    ShowPorts();
    txtProgNumber->setText(QString::number(a.RcxSetup->ProgramNumber + 1));
    for (int i = 0; i < 5; ++i)
        chkOrder[i]->setChecked(PollState().PollFilter[i] != 0);
    BuildPollPanel();
    FormLoading = false;
    a.RcxWindowRequested = False;
    Q_EMIT a.Notifier->StatusCleared();
}

void frmMain::ShowPorts()
{
    clsRcx& rcx = *App().RcxSetup;
    for (int i = 0; i < 3; ++i) {
        const clsSensor& s = *rcx.PortSensor(i);
        if (s.SensorType() != 0) {
            imgSensor[i]->setPixmap(PortPicture(int(s.SensorType()), imgSensor[i]->size()));
            imgSensor[i]->setToolTip(s.Purpose);
        } else {
            imgSensor[i]->setPixmap(QPixmap());
            imgSensor[i]->setToolTip(QString());
        }
        const clsMotor& m = *rcx.PortMotor(i);
        if (m.MotorType() != 0) {
            imgOutput[i]->setPixmap(PortPicture(SetupPicture::Motor, imgOutput[i]->size()));
            imgOutput[i]->setToolTip(m.Purpose);
        } else {
            imgOutput[i]->setPixmap(QPixmap());
            imgOutput[i]->setToolTip(QString());
        }
    }
}

void frmMain::Form_QueryUnload()
{
    App().RcxSetup->IsInit = False;
    if (Panel.Polling()) {
        tmrPoll->stop();
        Panel.PollingChanged = nullptr;
        Panel.TogglePolling();
        Panel.PollingChanged = [this] { ShowPollingState(); };
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    QDialog::closeEvent(event);
}

void frmMain::reject()
{
    Form_QueryUnload();
    QDialog::reject();
}

void frmMain::CmdClose_Click()
{
    Form_QueryUnload();
    done(QDialog::Accepted);
}

void frmMain::mnuPref_Click()
{
    ShowPreferences(this);
    ShowBrickKeys();
}

void frmMain::mnuAdvanced_Click()
{
    AppState& a = App();
    if (mAdvancedOn) {
        mAdvancedOn = false;
        setFixedWidth(NarrowWidth());
        a.ShowAdvanced = False;
    } else {
        mAdvancedOn = true;
        setFixedWidth(FullWidth);
        if (QScreen* s = screen()) {
            const int screenWidth = s->geometry().width();
            if (x() + width() > screenWidth)
                move((screenWidth - width()) / 2, y());
        }
        a.ShowAdvanced = True;
    }
    mnuAdvanced->setChecked(mAdvancedOn);
}

void frmMain::mnuAdvAllwaise_Click()
{
    AppState& a = App();
    if (mAlwaysOn) {
        mAlwaysOn = false;
        a.AdvancedAlways = False;
        mnuAdvanced->setEnabled(true);
    } else {
        mAlwaysOn = true;
        a.AdvancedAlways = True;
        mnuAdvanced->setEnabled(false);
        if (!mAdvancedOn)
            mnuAdvanced_Click();
    }
    mnuAdvAllwaise->setChecked(mAlwaysOn);
    SettingsKeys::SaveAdvancedMode(*a.Settings, mAlwaysOn);
}

bool frmMain::txtProgNumber_KeyPress(QChar key)
{
    if (!ProgramSlotKey(key))
        return false;
    txtProgNumber->setText(QString(key));
    return true;
}

// ------------------------------------------------------------------ the virtual brick's keys

void frmMain::ShowBrickKeys()
{
    const bool shown = virtualBrickInUse();
    cmdRun->setVisible(shown);
    cmdStop->setVisible(shown);
}

void frmMain::cmdRun_Click()
{
    try {
        Integer slot = App().RcxSetup->ProgramNumber;
        PB().SelectPrgm(slot);
        Integer setupTask = 0;
        PB().StartTask(setupTask);
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}

void frmMain::cmdStop_Click()
{
    try {
        PB().StopAllTasks();
    } catch (const VbError& e) {
        ShowMessage(SetupFailureText(e), MsgStyle::Exclamation);
    }
}

// ------------------------------------------------------------------ events

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    const int index = widget ? widget->property(kPortProperty).toInt() : 0;
    auto isOne = [&](QLabel* const* array, int n) {
        for (int i = 0; i < n; ++i)
            if (array[i] == watched)
                return true;
        return false;
    };
    const bool output = isOne(imgOutput, 3);
    const bool sensor = isOne(imgSensor, 3);
    const bool palette = isOne(picBrick + 1, 5);

    switch (event->type()) {
    case QEvent::MouseMove:
        if (palette && static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton && widget->isEnabled()) {
            picBrick_StartDrag(index);
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (output || sensor) {
            const auto* me = static_cast<QMouseEvent*>(event);
            const int button = me->button() == Qt::RightButton ? 2 : me->button() == Qt::LeftButton ? 1 : 4;
            if (output)
                imgOutput_MouseDown(index, button);
            else
                imgSensor_MouseDown(index, button);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        const auto* me = static_cast<QMouseEvent*>(event);
        const int button = me->button() == Qt::RightButton ? 2 : me->button() == Qt::LeftButton ? 1 : 4;
        const QPoint p = me->position().toPoint();
        if (output) {
            imgOutput_MouseUp(index, button, p.x(), p.y());
            return true;
        }
        if (sensor) {
            imgSensor_MouseUp(index, button, p.x(), p.y());
            return true;
        }
        if (watched == picBatPower) {
            cmdDataLog_Click(3);
            return true;
        }
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* de = static_cast<QDragMoveEvent*>(event);
        const int picture = pictureOf(de->mimeData());
        if (picture == 0)
            break;
        if (output)
            imgOutput_DragOver(index, picture);
        else if (sensor)
            imgSensor_DragOver(index, picture);
        else if (watched == picRcx)
            picRcx_DragOver();
        else
            break;
        de->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(event);
        const int picture = pictureOf(de->mimeData());
        if (picture == 0 || !(output || sensor || watched == picRcx))
            break;
        de->acceptProposedAction();
        if (output)
            imgOutput_DragDrop(index, picture);
        else if (sensor)
            imgSensor_DragDrop(index, picture);
        else
            picRcx_DragOver();
        return true;
    }
    case QEvent::DragLeave:
        if (watched == picRcx)
            picRcx_DragOver();
        break;
    case QEvent::Wheel:
        if (watched == picMainPanel || watched == picPanel ||
            chkPollSensor.contains(qobject_cast<QCheckBox*>(watched)) ||
            txtPollValue.contains(qobject_cast<QLineEdit*>(watched))) {
            QCoreApplication::sendEvent(VScroll1, event);
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (auto* box = qobject_cast<QLineEdit*>(watched); box && txtPollValue.contains(box)) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key != Qt::Key_Return && key != Qt::Key_Enter)
                break;
            // Enter ends here: a variable's box sends its value, any other does nothing.
            if (!box->isReadOnly())
                txtPollValue_KeyPress(int(txtPollValue.indexOf(box)));
            return true;
        }
        if (watched == txtProgNumber) {
            auto* ke = static_cast<QKeyEvent*>(event);
            if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab)
                break;
            if (!ke->text().isEmpty())
                txtProgNumber_KeyPress(ke->text()[0]);
            return true;  // every other key is discarded
        }
        break;
    case QEvent::FocusIn:
        if (watched == txtProgNumber) {
            QTimer::singleShot(0, txtProgNumber, [this] { txtProgNumber->setSelection(0, 2); });
        } else if (auto* box = qobject_cast<QLineEdit*>(watched); box && txtPollValue.contains(box)) {
            if (!box->isReadOnly())
                QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
        break;
    case QEvent::FocusOut:
        if (auto* box = qobject_cast<QLineEdit*>(watched); box && txtPollValue.contains(box))
            box->deselect();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmMain::dragLeaveEvent(QDragLeaveEvent* event)
{
    picRcx_DragOver();
    QDialog::dragLeaveEvent(event);
}

// ------------------------------------------------------------------ ports

void frmMain::picBrick_StartDrag(int index)
{
    if (index < 1 || index > 5 || !picBrick[index]->isEnabled())
        return;
    auto* drag = new QDrag(picBrick[index]);
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(kPictureMime), QByteArray::number(index));
    drag->setMimeData(mime);
    const QPixmap pm = PalettePicture(index, picBrick[index]->size());
    drag->setPixmap(pm);
    drag->setHotSpot(QPoint(pm.width() / 2, pm.height() / 2) / pm.devicePixelRatio());
    drag->exec(Qt::CopyAction);
    picRcx_DragOver();
}

void frmMain::setHighlight(QLabel* port, bool on)
{
    port->setFrameStyle(on ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    QPalette pal = port->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 90, 220));
    port->setPalette(pal);
}

bool frmMain::OutputHighlighted(int index) const { return imgOutput[index]->frameShape() == QFrame::Box; }
bool frmMain::SensorHighlighted(int index) const { return imgSensor[index]->frameShape() == QFrame::Box; }

void frmMain::imgOutput_DragOver(int index, int picture)
{
    if (picture != SetupPicture::Motor)
        return;
    for (int i = 0; i < 3; ++i)
        setHighlight(imgOutput[i], i == index);
}

void frmMain::imgSensor_DragOver(int index, int picture)
{
    if (picture == SetupPicture::Motor)
        return;
    for (int i = 0; i < 3; ++i)
        setHighlight(imgSensor[i], i == index);
}

void frmMain::picRcx_DragOver()
{
    for (int i = 0; i < 3; ++i) {
        setHighlight(imgSensor[i], false);
        setHighlight(imgOutput[i], false);
    }
}

void frmMain::imgOutput_DragDrop(int index, int picture)
{
    setHighlight(imgOutput[index], false);
    if (!DropOnOutput(index, picture))
        return;
    ShowPorts();
    BuildPollPanel();
}

void frmMain::imgSensor_DragDrop(int index, int picture)
{
    setHighlight(imgSensor[index], false);
    if (!DropOnSensor(index, picture))
        return;
    ShowPorts();
    // A fresh sensor's tip names its kind.
    if (picture >= 1 && picture < App().SensorTypeName.size())
        imgSensor[index]->setToolTip(App().SensorTypeName[picture]);
    BuildPollPanel();
}

// A button pressed on a filled port: the left one lights it, the right one
// pops up the ports' menu for it.
void frmMain::PortMouseDown(QLabel* port, int index, int button, const QString& removeCaption, const QString& tag)
{
    if (button == 1) {
        setHighlight(port, true);
    } else if (button == 2) {
        mRememberedPort = index;
        mnuDel->setText(removeCaption);
        mDelTag = tag;
        if (PopupMenu)
            PopupMenu(mnuEdit);
    }
}

// A button let go on a filled port: its light goes off; true when it was the
// left button inside the port, which opens the port's dialog.
bool frmMain::PortMouseUp(QLabel* port, int button, int x, int y)
{
    setHighlight(port, false);
    return x > -1 && y > -1 && x < port->width() && y < port->height() && button == 1;
}

void frmMain::imgOutput_MouseDown(int index, int button)
{
    if (App().RcxSetup->PortMotor(index)->MotorType() != 0)
        PortMouseDown(imgOutput[index], index, button, QStringLiteral("Remove motor"), QStringLiteral("2"));
}

void frmMain::imgSensor_MouseDown(int index, int button)
{
    if (App().RcxSetup->PortSensor(index)->SensorType() != 0)
        PortMouseDown(imgSensor[index], index, button, QStringLiteral("Remove sensor"), QStringLiteral("1"));
}

void frmMain::imgOutput_MouseUp(int index, int button, int x, int y)
{
    if (App().RcxSetup->PortMotor(index)->MotorType() == 0 || !PortMouseUp(imgOutput[index], button, x, y))
        return;
    auto dialog = std::make_unique<frmMotorProp>(index, this);
    dialog->Form_Load();
    RunModal(*dialog);
    imgOutput[index]->setToolTip(App().RcxSetup->PortMotor(index)->Purpose);
}

void frmMain::imgSensor_MouseUp(int index, int button, int x, int y)
{
    if (App().RcxSetup->PortSensor(index)->SensorType() == 0 || !PortMouseUp(imgSensor[index], button, x, y))
        return;
    auto dialog = std::make_unique<frmSensorProp>(index, this);
    dialog->Form_Load();
    RunModal(*dialog);
    App().Shell->DoEvents();
    if (!dialog->WasCanceled()) {
        imgSensor[index]->setToolTip(App().RcxSetup->PortSensor(index)->Purpose);
        BuildPollPanel();
    }
}

void frmMain::mnuOpenProp_Click()
{
    if (mDelTag.toInt() != 1)
        imgOutput_MouseUp(mRememberedPort, 1, 0, 0);
    else
        imgSensor_MouseUp(mRememberedPort, 1, 0, 0);
}

void frmMain::mnuDel_Click()
{
    if (mDelTag != QLatin1String("1")) {
        RemoveMotor(mRememberedPort);
    } else {
        RemoveSensor(mRememberedPort);
    }
    ShowPorts();
    BuildPollPanel();
}

// ------------------------------------------------------------------ polling panel

void frmMain::BuildPollPanel()
{
    mPanelBuilding = true;
    Panel.Build();
    ShowPollRows();
    mPanelBuilding = false;
    UpdatePollButtons();
}

void frmMain::ShowPollRows()
{
    for (QCheckBox* c : chkPollSensor)
        delete c;
    for (QLineEdit* t : txtPollValue)
        delete t;
    chkPollSensor.clear();
    txtPollValue.clear();
    picPanel->move(0, 0);
    picPanel->resize(picMainPanel->width() - VScroll1->width(), picMainPanel->height());
    VScroll1->setEnabled(false);
    VScroll1->setRange(0, 0);

    int bottom = 0;
    for (int n = 0; n < Panel.Rows.size(); ++n) {
        const PollRow& row = Panel.Rows[n];
        auto* chk = new QCheckBox(row.Caption, picPanel);
        chk->setStyleSheet(QLatin1String(kRowStyle));
        chk->setChecked(row.Tick != 0);
        auto* box = new QLineEdit(picPanel);
        box->setReadOnly(!row.Editable);
        box->setFrame(row.Editable);
        box->setStyleSheet(QStringLiteral("QLineEdit { background-color: #FFFFC0; } "
                                          "QLineEdit:focus { background-color: %1; }")
                               .arg(row.Editable ? QStringLiteral("white") : QStringLiteral("#FFFFC0")));
        if (row.Editable)
            box->setToolTip(QStringLiteral("Type a number and press ENTER to update the RCX."));
        box->installEventFilter(this);
        chk->installEventFilter(this);
        connect(chk, &QCheckBox::clicked, this, [this, n] { chkPollSensor_Click(n); });
        chkPollSensor.append(chk);
        txtPollValue.append(box);
    }
    const int valueWidth = PollValueWidth();
    const int checkWidth = picPanel->width() - 5 - valueWidth;
    for (int n = 0; n < chkPollSensor.size(); ++n) {
        chkPollSensor[n]->setGeometry(2, n * (mRowHeight + 1) + 1, checkWidth, mRowHeight);
        QLineEdit* box = txtPollValue[n];
        box->setGeometry(2 + checkWidth + 1, n * (mRowHeight + 1) + 1, valueWidth, mRowHeight);
        chkPollSensor[n]->show();
        box->show();
        ShowPollValue(n);
        bottom = box->geometry().bottom() + 1;
    }
    if (bottom > picPanel->height()) {
        picPanel->resize(picPanel->width(), bottom);
        VScroll1->setEnabled(true);
        VScroll1->setRange(0, picPanel->height() - picMainPanel->height() + 4);
        VScroll1->setSingleStep(mRowHeight + 1);
        VScroll1->setPageStep(12 * (mRowHeight + 1));
    }
    VScroll1->setValue(0);
}

void frmMain::UpdatePollButtons()
{
    const bool any = Panel.AnyTicked();
    cmdPollOnce->setEnabled(any);
    cmdStopPollSensor->setEnabled(any || Panel.Polling());
}

void frmMain::VScroll1_Change(int value)
{
    picPanel->move(0, -value);
}

void frmMain::chkOrder_Click(int index)
{
    PollState().PollFilter[index] = chkOrder[index]->isChecked() ? 1 : 0;
    if (!FormLoading)
        BuildPollPanel();
    UpdatePollButtons();
}

void frmMain::chkPollSensor_Click(int index)
{
    if (mPanelBuilding || index < 0 || index >= chkPollSensor.size())
        return;
    Panel.SetTick(index, chkPollSensor[index]->isChecked() ? 1 : 0);
    if (!chkPollSensor[index]->isChecked())
        ShowPollValue(index);  // emptied
    UpdatePollButtons();
}

void frmMain::cmdClean_Click()
{
    for (int i = 0; i < chkPollSensor.size(); ++i)
        if (chkPollSensor[i]->isChecked()) {
            chkPollSensor[i]->setChecked(false);
            Panel.SetTick(i, 0);
            ShowPollValue(i);  // emptied
        }
    Panel.UnselectAll();
    UpdatePollButtons();
}

// The width of the value boxes: the longest text a row can be given, as far
// as the widest name beside it leaves room, and never below 1290 twips.
int frmMain::PollValueWidth() const
{
    const int least = PixX(1290);
    int needed = 0;
    int names = 0;
    for (int n = 0; n < txtPollValue.size() && n < Panel.Rows.size(); ++n) {
        QLineEdit* box = txtPollValue[n];
        const QFontMetrics fm(box->font());
        // What the box needs besides its text, as its size hint counts it.
        const int edges = box->sizeHint().width() - 17 * fm.horizontalAdvance(QLatin1Char('x')) + 1;
        for (const QString& text : PollPanel::PossibleTexts(Panel.Rows[n]))
            needed = qMax(needed, fm.horizontalAdvance(text) + edges);
        names = qMax(names, chkPollSensor[n]->sizeHint().width());
    }
    const int room = picPanel->width() - 5 - 2 - names;
    return qMax(least, qMin(needed, room));
}

// A row's value box takes the row's text. A text longer than the box shows
// its start; the whole text is the tool tip (a variable's box keeps its hint).
void frmMain::ShowPollValue(int row)
{
    if (row < 0 || row >= txtPollValue.size() || row >= Panel.Rows.size())
        return;
    QLineEdit* box = txtPollValue[row];
    const QString& text = Panel.Rows[row].Value;
    box->setText(text);
    box->setCursorPosition(0);
    if (!Panel.Rows[row].Editable)
        box->setToolTip(text);
}

void frmMain::cmdPollOnce_Click()
{
    // Only the rows read change: a number typed into another row stays.
    for (int row : Panel.PollOnce())
        ShowPollValue(row);
    ShowBrickKeys();
}

void frmMain::cmdStopPollSensor_Click()
{
    Panel.TogglePolling();
    ShowBrickKeys();
}

void frmMain::ShowPollingState()
{
    cmdStopPollSensor->setText(Panel.PollButtonCaption());
    if (Panel.Polling())
        tmrPoll->start(int(PollState().PollInterval));
    else
        tmrPoll->stop();
    UpdatePollButtons();
}

void frmMain::tmrPoll_Timer()
{
    // No further tick while a failure message is open.
    tmrPoll->stop();
    // A variable's box being typed into keeps what is typed.
    for (int row : Panel.PollPass())
        if (row < txtPollValue.size() && !(txtPollValue[row]->hasFocus() && !txtPollValue[row]->isReadOnly()))
            ShowPollValue(row);
    ShowBrickKeys();
    if (Panel.Polling())
        tmrPoll->start(int(PollState().PollInterval));
}

void frmMain::sldInterval_Change(int value)
{
    lblTime->setText(QString::number(value) + QStringLiteral(" Thousandths "));
    tmrPoll->setInterval(value);
    PollState().PollInterval = value;
}

void frmMain::txtPollValue_KeyPress(int index)
{
    if (index < 0 || index >= txtPollValue.size())
        return;
    Panel.WriteVariable(index, txtPollValue[index]->text());
}

// ------------------------------------------------------------------ brick tools

void frmMain::cmdDataLog_Click(int index)
{
    switch (index) {
    case 0:
        if (mdiMain* main = mdiMain::Instance())
            Q_EMIT main->DatalogShowRequested();
        break;
    case 1:
        Tools.FirmwareDownload();
        break;
    case 3:
        ShowBattery(Tools.Battery());
        break;
    case 4:
        Tools.PowerOff();
        break;
    default:
        break;
    }
    ShowBrickKeys();
}

void frmMain::ShowBattery(const BatteryReading& reading)
{
    if (!reading.shown)
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap bar(picBatPower->size() * ratio);
    bar.setDevicePixelRatio(ratio);
    bar.fill(Qt::white);
    QPainter p(&bar);
    p.fillRect(QRectF(0, 0, picBatPower->width() * reading.fill, picBatPower->height()), QColor(0, 255, 0));
    p.setPen(QColor(90, 90, 90));
    p.drawRect(QRectF(0, 0, picBatPower->width() - 1, picBatPower->height() - 1));
    p.end();
    picBatPower->setPixmap(bar);
    picBatPower->setVisible(true);
    // The bar shows the charge now; the caption needs the room of the picture.
    cmdDataLog[3]->setIcon(QIcon());
    cmdDataLog[3]->setText(reading.caption);
}

void frmMain::cmdFirmDialog_Click()
{
    Tools.ChooseFirmwareFile();
}

void frmMain::mnuShowFirmVer_Click()
{
    Tools.ShowFirmwareVersion();
    ShowBrickKeys();
}

FirmwareChoice frmMain::ChooseFirmware(const QString& folder, const QString& name)
{
    frmFirmware dialog(this);
    dialog.setFileType(QStringLiteral("lgo"));
    // A folder that is not on this computer (the first default) opens the home folder.
    dialog.setFullPath(QDir(folder).exists() ? folder : QDir::homePath());
    dialog.setFirmFileName(name);
    RunModal(dialog);
    FirmwareChoice choice;
    choice.canceled = dialog.WasCanceled != 0;
    choice.folder = dialog.FullPath();
    choice.name = dialog.FirmFileName();
    choice.makeDefault = dialog.DefaultFirm != 0;
    return choice;
}

// ------------------------------------------------------------------ shell

void ShowSetupWindowModal()
{
    if (frmMain* open = frmMain::Current()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto window = std::make_unique<frmMain>(mdiMain::Instance());
    window->Form_Load();
    RunModal(*window);
}

void UnloadSetupWindow()
{
    if (frmMain* open = frmMain::Current()) {
        open->Form_QueryUnload();
        open->done(QDialog::Rejected);
    }
}

void ConnectSetupWindows(mdiMain& main)
{
    Notifier* n = App().Notifier.get();
    // The slots run inside the emission: a failure is shown here and goes no further.
    QObject::connect(n, &Notifier::SetupWindowShowModal, &main,
                     [] { DeliverGuarded([] { ShowSetupWindowModal(); return true; }); });
    // The set-up window goes when another project is opened; the polling
    // panel shows every kind of row again for it.
    QObject::connect(n, &Notifier::SetupWindowUnload, &main, [] {
        PollState().ProjectOpened();
        DeliverGuarded([] { UnloadSetupWindow(); return true; });
    });
}
