// The object polling column of the set-up window: the filter boxes, the
// rows of the polling panel with their value boxes, single and timed
// polling and the interval.
#include "setup/frmMain.h"

#include "model/Twips.h"
#include "setup/SetupLayout.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

namespace {

const char* const kRowStyle = "background-color: #FFFFC0;";

}  // namespace

// ------------------------------------------------------------------ building

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

// ------------------------------------------------------------------ events

// The wheel over the rows goes to the scroll bar; the value boxes have their
// own keys and focus.
bool frmMain::PollRowEvent(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!txtPollValue.contains(box))
        box = nullptr;
    const bool row = box || watched == picMainPanel || watched == picPanel ||
                     chkPollSensor.contains(qobject_cast<QCheckBox*>(watched));
    if (!row)
        return false;
    if (event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(VScroll1, event);
        return true;
    }
    return box && PollValueEvent(box, event);
}

bool frmMain::PollValueEvent(QLineEdit* box, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        // Enter ends here: a variable's box sends its value, any other does nothing.
        if (!box->isReadOnly())
            txtPollValue_KeyPress(int(txtPollValue.indexOf(box)));
        return true;
    }
    case QEvent::FocusIn:
        if (!box->isReadOnly())
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        return false;
    case QEvent::FocusOut:
        box->deselect();
        return false;
    default:
        return false;
    }
}
