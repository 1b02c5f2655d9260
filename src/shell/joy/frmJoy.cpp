#include "shell/joy/frmJoy.h"

#include "model/AppState.h"
#include "model/Messages.h"
#include "model/NamedValues.h"
#include "shell/MainWindow.h"
#include "shell/ScreenPlacement.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

constexpr int kFirstKey = 31;
constexpr int kLastKey = 250;

QString keyName(int code)
{
    switch (code) {
    case 32: return QStringLiteral("Space");
    case 37: return QStringLiteral("Left");
    case 38: return QStringLiteral("Up");
    case 39: return QStringLiteral("Right");
    case 40: return QStringLiteral("Down");
    default: return QString(QChar(ushort(code)));
    }
}

}  // namespace

QString KeyCombinationText(const QList<int>& codes)
{
    QList<int> sorted = codes;
    std::sort(sorted.begin(), sorted.end());
    QStringList names;
    for (int c : sorted)
        names.append(keyName(c));
    return names.join(QLatin1Char('+'));
}

QString AxisText(Long position)
{
    return QString::number(Long(position / 1000) * 1000);
}

frmJoy::frmJoy(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmJoy"));
    setWindowTitle(QStringLiteral("Joystick and keyboard viewer"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* v = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    v->addWidget(SSTab1);

    // Tab 0: the joystick.
    auto* joy = new QWidget;
    auto* jg = new QGridLayout(joy);
    Label1[0] = new QLabel(QStringLiteral("Use the values in this window to program the joystick"), joy);
    Label1[0]->setWordWrap(true);
    jg->addWidget(Label1[0], 0, 0, 1, 2);
    auto value = [joy](const char* name) {
        auto* l = new QLabel(joy);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(70);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    lblLR = value("lblLR");
    lblUD = value("lblUD");
    lblZ = value("lblZ");
    lblR = value("lblR");
    Label8 = new QLabel(QStringLiteral("Z axle"), joy);
    Label10 = new QLabel(QStringLiteral("R axle"), joy);
    jg->addWidget(new QLabel(QStringLiteral("Horizontal axle"), joy), 1, 0);
    jg->addWidget(lblLR, 1, 1);
    jg->addWidget(new QLabel(QStringLiteral("Vertical axle"), joy), 2, 0);
    jg->addWidget(lblUD, 2, 1);
    jg->addWidget(Label8, 3, 0);
    jg->addWidget(lblZ, 3, 1);
    jg->addWidget(Label10, 4, 0);
    jg->addWidget(lblR, 4, 1);
    mButtonArea = new QWidget(joy);
    jg->addWidget(mButtonArea, 5, 0, 1, 2);
    jg->setRowStretch(6, 1);
    auto* first = new QCheckBox(QStringLiteral("Button 1"), mButtonArea);
    first->setObjectName(QStringLiteral("chkButton0"));
    first->setAttribute(Qt::WA_TransparentForMouseEvents);  // shows, takes no clicks
    first->setFocusPolicy(Qt::NoFocus);
    first->adjustSize();
    first->move(0, 0);
    chkButton.append(first);
    SSTab1->addTab(joy, QStringLiteral("Joystick"));

    // Tab 1: the keyboard.
    auto* kb = new QWidget;
    auto* kv = new QVBoxLayout(kb);
    auto* tip = new QLabel(QStringLiteral("Press a Key and watch the value that appears in the window. This value is "
                                          "used to program the keyboard (Tip: use only letters, numbers and arrows)"),
                           kb);
    tip->setWordWrap(true);
    kv->addWidget(tip);
    Label1[1] = new QLabel(QStringLiteral("Use the values in this window to program the keyboard "), kb);
    Label1[1]->setWordWrap(true);
    kv->addWidget(Label1[1]);
    txtKey = new QLineEdit(kb);
    txtKey->setObjectName(QStringLiteral("txtKey"));
    txtKey->setReadOnly(true);  // the keys held write it, not the typing
    kv->addWidget(txtKey);
    auto* vh = new QHBoxLayout;
    vh->addWidget(new QLabel(QStringLiteral("Value"), kb));
    lblValue = value("lblValue");
    lblValue->setParent(kb);
    vh->addWidget(lblValue);
    vh->addStretch(1);
    kv->addLayout(vh);
    cmdAddToConst = new QPushButton(QStringLiteral("Add to Constant list"), kb);
    cmdAddToConst->setObjectName(QStringLiteral("cmdAddToConst"));
    kv->addWidget(cmdAddToConst);
    kv->addStretch(1);
    SSTab1->addTab(kb, QStringLiteral("Keyboard"));

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    bottom->addWidget(cmdClose);
    v->addLayout(bottom);

    tmrJoy = new QTimer(this);
    tmrJoy->setInterval(50);

    int currentTab = 0;
    connect(SSTab1, &QTabWidget::currentChanged, this, [this, currentTab](int) mutable {
        SSTab1_Click(currentTab);
        currentTab = SSTab1->currentIndex();
    });
    connect(cmdAddToConst, &QPushButton::clicked, this, &frmJoy::cmdAddToConst_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmJoy::CmdClose_Click);
    connect(tmrJoy, &QTimer::timeout, this, &frmJoy::tmrJoy_Timer);

    resize(360, 330);
    FitWhenShown(this);
    if (mdiMain::Instance())
        UnloadAtProgramEnd(this);
}

void frmJoy::Form_Load()
{
    mJoystickLive = true;
    mCaps = App().Joystick->GetDevCaps();
    if (!mCaps.ok)
        mCaps = JoystickCaps{false, 8, false, false};
    CreateButtonBoxes(mCaps.buttons);
    mPlaceWhenShown = true;  // once the layout has its final size
    tmrJoy->start();
}

void frmJoy::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!mPlaceWhenShown)
        return;
    mPlaceWhenShown = false;
    // At the bottom right of the main window's client area.
    if (mdiMain* main = mdiMain::Instance()) {
        if (layout())
            layout()->activate();
        resize(size().expandedTo(sizeHint()));
        const QWidget* area = main->MdiArea();
        const QPoint corner = area->mapToGlobal(QPoint(area->width(), area->height()));
        const QMargins frame = WindowFrame(this);
        QRect g(QPoint(), size());
        g.moveBottomRight(corner - QPoint(frame.right() + 1, frame.bottom() + 1));
        PlaceOnScreen(this, g);
    }
}

void frmJoy::CreateButtonBoxes(int count)
{
    const QCheckBox* box0 = chkButton[0];
    constexpr int gapX = 10;  // pixels
    constexpr int gapY = 10;
    for (int i = 1; i < count; ++i) {
        auto* box = new QCheckBox(QStringLiteral("Button %1").arg(i + 1), mButtonArea);
        box->setObjectName(QStringLiteral("chkButton%1").arg(i));
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        box->resize(box0->size());
        if (i % 2 == 1) {
            // Below the box before it.
            box->move(chkButton[i - 1]->x(), box0->y() + box0->height() + gapY);
        } else {
            // In the first row, right of the box two before.
            box->move(chkButton[i - 2]->x() + box0->width() + gapX, box0->y());
        }
        box->setVisible(true);
        chkButton.append(box);
    }
    int right = 0, bottom = 0;
    for (const QCheckBox* b : chkButton) {
        right = std::max(right, b->geometry().right() + 1);
        bottom = std::max(bottom, b->geometry().bottom() + 1);
    }
    mButtonArea->setMinimumSize(right, bottom);
}

void frmJoy::tmrJoy_Timer()
{
    IJoystick& js = *App().Joystick;
    if (mJoystickLive) {
        const JoystickState s = js.GetPos();
        if (s.ok) {
            mState = s;
        } else {
            ShowMessage(QStringLiteral("No joystick connected"), MsgStyle::Exclamation);
            Label1[0]->setText(QStringLiteral("No joystick connected"));
            SSTab1->setTabEnabled(0, false);
            SSTab1->setCurrentIndex(1);
            mJoystickLive = false;
        }
        lblLR->setText(AxisText(mState.x));
        lblUD->setText(AxisText(mState.y));
        Label8->setVisible(mCaps.hasZ);
        lblZ->setVisible(mCaps.hasZ);
        if (mCaps.hasZ)
            lblZ->setText(AxisText(mState.z));
        Label10->setVisible(mCaps.hasR);
        lblR->setVisible(mCaps.hasR);
        if (mCaps.hasR)
            lblR->setText(AxisText(mState.r));
        for (int i = 0; i < chkButton.size(); ++i)
            chkButton[i]->setChecked(i < 32 && (quint32(mState.buttons) >> i) & 1u);
    }

    QList<int> down;
    for (int k = kFirstKey; k <= kLastKey; ++k)
        if (js.KeyDown(k))
            down.append(k);
    if (down.isEmpty())
        return;  // the last combination stays on show
    Long sum = 0;
    for (int k : down)
        sum += k;
    txtKey->setText(KeyCombinationText(down));
    lblValue->setText(QString::number(sum));
}

void frmJoy::SSTab1_Click(int /*previousTab*/)
{
    if (SSTab1->currentIndex() == 1)
        for (int k = 30; k <= kLastKey; ++k)
            App().Joystick->KeyDown(k);  // forget the keys pressed before
    txtKey->clear();
    txtKey->setFocus();
    lblValue->clear();
}

void frmJoy::cmdAddToConst_Click()
{
    if (txtKey->text().isEmpty())
        return;
    AppState& a = App();
    a.SetSetupDirty(True);
    try {
        AddNamedValue(QStringLiteral("Keyboard-") + txtKey->text(), OperandSource::UserConstant,
                      Variant(lblValue->text()).toLong(), 0);
    } catch (const VbError& e) {
        if (e.number() != Err::DuplicateKey)
            throw;
        a.CurrentObject.reset();  // the name is taken: nothing is added
    }
}

void frmJoy::CmdClose_Click()
{
    close();
}

namespace {

// The one viewer while it is loaded.
QPointer<frmJoy>& joySlot()
{
    static QPointer<frmJoy> window;
    return window;
}

}  // namespace

void ShowJoyWindow()
{
    QPointer<frmJoy>& window = joySlot();
    if (!window) {
        window = new frmJoy(mdiMain::Instance());
        window->Form_Load();
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->setFocus();
}

void UnloadJoyWindow()
{
    if (frmJoy* window = joySlot())
        window->close();  // deletes itself; the next show makes a new one
}
