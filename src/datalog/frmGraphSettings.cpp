#include "datalog/frmGraphSettings.h"

#include "model/Twips.h"
#include "datalog/core/DatalogSet.h"
#include "model/Messages.h"
#include "shell/MainWindow.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

frmGraphSettings::frmGraphSettings(QWidget* parent) : DatalogDialog(parent)
{
    setWindowTitle(QStringLiteral("Graph Settings"));
    setFixedSize(PixX(8280), PixY(3525));

    Label2 = new QLabel(QStringLiteral("Graph title:"), this);
    txtGraphTitle = new QLineEdit(this);
    place(txtGraphTitle, 2610, 60, 3150, 285);
    placeLabel(Label2, 1740, 90, txtGraphTitle);

    Frame1 = new QGroupBox(QStringLiteral("X-axis"), this);
    place(Frame1, 210, 585, 3435, 2355);
    txtXCaption = new QLineEdit(Frame1);
    place(txtXCaption, 825, 225, 2475, 285);
    placeLabel(new QLabel(QStringLiteral("Caption:"), Frame1), 120, 315, txtXCaption);
    cmbX = new QComboBox(Frame1);
    cmbX->setEditable(false);
    place(cmbX, 825, 750, 2475, 315);
    placeLabel(new QLabel(QStringLiteral("Item:"), Frame1), 150, 825, cmbX);

    Frame2 = new QGroupBox(QStringLiteral("Y-axis"), this);
    place(Frame2, 4605, 585, 3435, 2355);
    txtYCaption = new QLineEdit(Frame2);
    place(txtYCaption, 780, 285, 2475, 285);
    placeLabel(new QLabel(QStringLiteral("Caption:"), Frame2), 90, 360, txtYCaption);
    LV1 = new QTreeWidget(Frame2);
    LV1->setColumnCount(1);
    LV1->setHeaderLabels({QStringLiteral("Select graph items")});
    LV1->setRootIsDecorated(false);
    place(LV1, 645, 825, 2640, 1410);
    placeLabel(new QLabel(QStringLiteral("Item(s):"), Frame2), 90, 810, LV1);
    LV1->setColumnWidth(0, LV1->width() - 5);

    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    place(cmdOk, 2370, 3105, 1590, 315);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    place(cmdCancel, 4320, 3105, 1590, 315);
    cmdOk->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    connect(cmbX, &QComboBox::activated, this, [this](int) { cmbX_Click(); });
    connect(LV1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (!mChecking)
            LV1_ItemCheck(item);
    });
    connect(cmdOk, &QPushButton::clicked, this, &frmGraphSettings::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmGraphSettings::cmdCancel_Click);

    if (mdiMain::Instance())
        UnloadAtProgramEnd(this);
}

void frmGraphSettings::place(QWidget* w, int left, int top, int width, int height)
{
    w->move(PixX(left), PixY(top));
    w->resize(PixX(width), PixY(height));
}

void frmGraphSettings::placeLabel(QLabel* label, int left, int top, QWidget* box)
{
    // The label keeps its place unless its text reaches into its box; then it
    // ends just before the box, and where even that leaves no room the box
    // gives up the room on its left.
    label->adjustSize();
    const int x = box->x() - label->width() - 2;
    label->move(qMax(0, qMin(PixX(left), x)), PixY(top));
    if (x < 0) {
        const QRect g = box->geometry();
        box->setGeometry(QRect(QPoint(label->width() + 2, g.top()), g.bottomRight()));
    }
}

void frmGraphSettings::FillItems(const QVector<GraphItem>& items)
{
    const QSignalBlocker block(cmbX);
    mChecking = true;
    cmbX->clear();
    LV1->clear();
    for (const GraphItem& item : items) {
        if (item.Source == -1)
            cmbX->insertItem(0, item.Name);
        else
            cmbX->addItem(item.Name);
        if (item.Source != 1 && item.Source != 14 && item.Source != -1) {
            auto* entry = new QTreeWidgetItem(LV1, {item.Name});
            entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
            entry->setCheckState(0, Qt::Unchecked);
            entry->setData(0, Qt::UserRole, QString::number(item.Source));
        }
    }
    cmbX->setCurrentIndex(-1);
    mChecking = false;
}

Integer frmGraphSettings::sourceOf(const QString& name) const
{
    for (const DatalogRecord& r : CurrentDatalog().DatalogRecords)
        if (r.Name == name)
            return r.Source;
    return 0;
}

QTreeWidgetItem* frmGraphSettings::YEntry(const QString& text) const
{
    for (int i = 0; i < LV1->topLevelItemCount(); ++i)
        if (LV1->topLevelItem(i)->text(0) == text)
            return LV1->topLevelItem(i);
    return nullptr;
}

GraphSettings frmGraphSettings::Settings() const
{
    GraphSettings s;
    s.Title = txtGraphTitle->text();
    s.XItem = cmbX->currentText();
    s.XSource = Integer(cmbX->currentData().toInt());
    s.XCaption = txtXCaption->text();
    s.YCaption = txtYCaption->text();
    for (int i = 0; i < LV1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* e = LV1->topLevelItem(i);
        s.YEntries.append({e->text(0), e->checkState(0) == Qt::Checked, Integer(e->data(0, Qt::UserRole).toInt())});
    }
    return s;
}

void frmGraphSettings::setCheckedQuietly(QTreeWidgetItem* item, bool checked)
{
    mChecking = true;
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    mChecking = false;
}

void frmGraphSettings::cmbX_Click()
{
    const QString x = cmbX->currentText();
    if (cmbX->currentIndex() >= 0)
        cmbX->setItemData(cmbX->currentIndex(), int(sourceOf(x)));
    if (QTreeWidgetItem* entry = YEntry(x))
        setCheckedQuietly(entry, false);
}

void frmGraphSettings::LV1_ItemCheck(QTreeWidgetItem* item)
{
    mChecking = true;
    item->setData(0, Qt::UserRole, QString::number(sourceOf(item->text(0))));
    mChecking = false;
    if (item->checkState(0) == Qt::Checked && item->text(0) == cmbX->currentText()) {
        ShowMessage(QStringLiteral("You can't select the same item for both axis!"), MsgStyle::Exclamation);
        setCheckedQuietly(item, false);
    }
}

void frmGraphSettings::cmdOk_Click()
{
    if (cmbX->currentText().isEmpty()) {
        ShowMessage(QStringLiteral("Please select an item for X-axis"), MsgStyle::Exclamation);
        cmbX->setFocus();
        return;
    }
    bool any = false;
    for (int i = 0; i < LV1->topLevelItemCount(); ++i)
        any = any || LV1->topLevelItem(i)->checkState(0) == Qt::Checked;
    if (!any) {
        ShowMessage(QStringLiteral("Please select one or more items for Y=axis"), MsgStyle::Exclamation);
        LV1->setFocus();
        return;
    }
    mSavedChecks.clear();
    for (int i = 0; i < LV1->topLevelItemCount(); ++i)
        mSavedChecks.append(LV1->topLevelItem(i)->checkState(0) == Qt::Checked);
    mSavedTitle = txtGraphTitle->text();
    mSavedXItem = cmbX->currentText();
    mSavedXCaption = txtXCaption->text();
    mSavedYCaption = txtYCaption->text();
    hide();
    done(QDialog::Accepted);
}

void frmGraphSettings::cmdCancel_Click()
{
    WasCanceled = True;
    {
        const QSignalBlocker block(cmbX);
        cmbX->setCurrentIndex(cmbX->findText(mSavedXItem));
    }
    const bool same = LV1->topLevelItemCount() == mSavedChecks.size();
    for (int i = 0; i < LV1->topLevelItemCount(); ++i)
        setCheckedQuietly(LV1->topLevelItem(i), same && mSavedChecks[i]);
    txtGraphTitle->setText(mSavedTitle);
    txtXCaption->setText(mSavedXCaption);
    txtYCaption->setText(mSavedYCaption);
    hide();
    done(QDialog::Rejected);
}
