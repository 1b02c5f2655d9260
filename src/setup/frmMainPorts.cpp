// The brick column of the set-up window: the palette to drag from, the
// brick's ports with their pop-up menu and dialogs; the column also holds
// the slot box and Run and Stop (frmMainBrickKeys.cpp).
#include "setup/frmMain.h"

#include "model/Twips.h"
#include "model/AppState.h"
#include "setup/PropertyDialogs.h"
#include "setup/SetupLayout.h"
#include "setup/SetupPictures.h"
#include "shell/ModalRunner.h"
#include "shell/ShellRequests.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace {

const char* const kPortProperty = "setupPort";

// The palette index a drag carries, or 0.
int pictureOf(const QMimeData* mime)
{
    if (!mime || !mime->hasFormat(QLatin1String(kPictureMime)))
        return 0;
    return mime->data(QLatin1String(kPictureMime)).toInt();
}

}  // namespace

// ------------------------------------------------------------------ building

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

void frmMain::ShowPorts()
{
    const clsRcx& rcx = App().RcxSetup();
    for (int i = 0; i < 3; ++i) {
        const clsSensor& s = rcx.PortSensor(i);
        if (s.SensorType() != 0) {
            imgSensor[i]->setPixmap(PortPicture(int(s.SensorType()), imgSensor[i]->size()));
            imgSensor[i]->setToolTip(s.Purpose);
        } else {
            imgSensor[i]->setPixmap(QPixmap());
            imgSensor[i]->setToolTip(QString());
        }
        const clsMotor& m = rcx.PortMotor(i);
        if (m.MotorType() != 0) {
            imgOutput[i]->setPixmap(PortPicture(SetupPicture::Motor, imgOutput[i]->size()));
            imgOutput[i]->setToolTip(m.Purpose);
        } else {
            imgOutput[i]->setPixmap(QPixmap());
            imgOutput[i]->setToolTip(QString());
        }
    }
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
    if (App().RcxSetup().PortMotor(index).MotorType() != 0)
        PortMouseDown(imgOutput[index], index, button, QStringLiteral("Remove motor"), QStringLiteral("2"));
}

void frmMain::imgSensor_MouseDown(int index, int button)
{
    if (App().RcxSetup().PortSensor(index).SensorType() != 0)
        PortMouseDown(imgSensor[index], index, button, QStringLiteral("Remove sensor"), QStringLiteral("1"));
}

void frmMain::imgOutput_MouseUp(int index, int button, int x, int y)
{
    if (App().RcxSetup().PortMotor(index).MotorType() == 0 || !PortMouseUp(imgOutput[index], button, x, y))
        return;
    auto dialog = std::make_unique<frmMotorProp>(index, this);
    dialog->Form_Load();
    RunModal(*dialog);
    imgOutput[index]->setToolTip(App().RcxSetup().PortMotor(index).Purpose);
}

void frmMain::imgSensor_MouseUp(int index, int button, int x, int y)
{
    if (App().RcxSetup().PortSensor(index).SensorType() == 0 || !PortMouseUp(imgSensor[index], button, x, y))
        return;
    auto dialog = std::make_unique<frmSensorProp>(index, this);
    dialog->Form_Load();
    RunModal(*dialog);
    App().Shell->DoEvents();
    if (!dialog->WasCanceled()) {
        imgSensor[index]->setToolTip(App().RcxSetup().PortSensor(index).Purpose);
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

// ------------------------------------------------------------------ events

namespace {

// The button as the port handlers count it: 1 left, 2 right, 4 any other.
int buttonOf(const QMouseEvent* me)
{
    return me->button() == Qt::RightButton ? 2 : me->button() == Qt::LeftButton ? 1 : 4;
}

template <int N>
bool isOne(QLabel* const (&array)[N], const QObject* watched, int first = 0)
{
    for (int i = first; i < N; ++i)
        if (array[i] == watched)
            return true;
    return false;
}

}  // namespace

// A button moved over a palette picture starts its drag.
bool frmMain::PaletteEvent(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove || !isOne(picBrick, watched, 1))
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton || !widget->isEnabled())
        return false;
    picBrick_StartDrag(widget->property(kPortProperty).toInt());
    return true;
}

// The ports take the buttons and a dragged palette picture.
bool frmMain::PortEvent(QObject* watched, QEvent* event)
{
    const bool output = isOne(imgOutput, watched);
    if (!output && !isOne(imgSensor, watched))
        return false;
    const int index = static_cast<QWidget*>(watched)->property(kPortProperty).toInt();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const int button = buttonOf(static_cast<QMouseEvent*>(event));
        if (output)
            imgOutput_MouseDown(index, button);
        else
            imgSensor_MouseDown(index, button);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* me = static_cast<QMouseEvent*>(event);
        const QPoint p = me->position().toPoint();
        if (output)
            imgOutput_MouseUp(index, buttonOf(me), p.x(), p.y());
        else
            imgSensor_MouseUp(index, buttonOf(me), p.x(), p.y());
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* de = static_cast<QDragMoveEvent*>(event);
        const int picture = pictureOf(de->mimeData());
        if (picture == 0)
            return false;
        if (output)
            imgOutput_DragOver(index, picture);
        else
            imgSensor_DragOver(index, picture);
        de->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(event);
        const int picture = pictureOf(de->mimeData());
        if (picture == 0)
            return false;
        de->acceptProposedAction();
        if (output)
            imgOutput_DragDrop(index, picture);
        else
            imgSensor_DragDrop(index, picture);
        return true;
    }
    default:
        return false;
    }
}

// A palette picture dragged over the brick, beside the ports, lights none;
// leaving the brick puts every light out and goes on.
bool frmMain::BrickEvent(QObject* watched, QEvent* event)
{
    if (watched != picRcx)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(event);
        if (pictureOf(de->mimeData()) == 0)
            return false;
        picRcx_DragOver();
        de->acceptProposedAction();
        return true;
    }
    case QEvent::DragLeave:
        picRcx_DragOver();
        return false;
    default:
        return false;
    }
}
