#include "views/DefineVarDialog.h"

#include "shell/ModalRunner.h"
#include "shell/ScreenPlacement.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QWidget* makeTab(QListWidget*& list, const QString& listLabel, QList<QLineEdit**> boxes, QStringList labels)
{
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    g->addWidget(new QLabel(listLabel), 0, 0);
    list = new QListWidget;
    g->addWidget(list, 1, 0, 2 * int(boxes.size()) + 1, 1);
    for (int i = 0; i < boxes.size(); ++i) {
        g->addWidget(new QLabel(labels[i]), 2 * i, 1);
        *boxes[i] = new QLineEdit;
        g->addWidget(*boxes[i], 2 * i + 1, 1);
    }
    g->setRowStretch(2 * int(boxes.size()), 1);
    g->setColumnStretch(0, 3);
    g->setColumnStretch(1, 2);
    return page;
}

}  // namespace

frmDefineVar::frmDefineVar(QWidget* parent) : QDialog(parent), Logic(App())
{
    setObjectName(QStringLiteral("frmDefineVar"));
    setWindowTitle(QStringLiteral("Define Variables"));
    auto* v = new QVBoxLayout(this);
    tabVar = new QTabWidget(this);
    tabVar->addTab(makeTab(lstVarName, QStringLiteral("Variable List"), {&txtDescription, &txtValue},
                           {QStringLiteral("Name"), QStringLiteral("Value")}),
                   QStringLiteral("Variables"));
    tabVar->addTab(makeTab(lstConsts, QStringLiteral("Constant List"), {&txtConstDescription, &txtConstValue},
                           {QStringLiteral("Name"), QStringLiteral("Value")}),
                   QStringLiteral("Constants"));
    tabVar->addTab(makeTab(lstRange, QStringLiteral("Range List"), {&txtRangeName, &txtRangeFrom, &txtRangeTo},
                           {QStringLiteral("Name"), QStringLiteral("From"), QStringLiteral("To")}),
                   QStringLiteral("Range"));
    v->addWidget(tabVar);
    auto* row = new QHBoxLayout;
    const char* captions[4] = {"Add", "Delete", "Close", "Update"};
    for (int i = 0; i < 4; ++i) {
        cmdAction[i] = new QPushButton(QString::fromLatin1(captions[i]), this);
        cmdAction[i]->setAutoDefault(false);
        connect(cmdAction[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
        row->addWidget(cmdAction[i]);
    }
    v->addLayout(row);

    for (int tab = 0; tab < 3; ++tab) {
        QListWidget* l = list(tab);
        connect(l, &QListWidget::currentRowChanged, this, [this, tab](int r) {
            toLogic();
            Logic.Select(tab, r);
            fromLogic();
        });
        l->installEventFilter(this);
        for (int i = 0; i < (tab == 2 ? 3 : 2); ++i)
            box(tab, i)->installEventFilter(this);
    }
    connect(tabVar, &QTabWidget::currentChanged, this, [this](int tab) { box(tab, 0)->setFocus(); });

    Logic.Load();
    fromLogic();
    tabVar->setCurrentIndex(0);
    txtDescription->setFocus();
    resize(520, 300);
    CentreOnScreen(this);
    FitWhenShown(this);
}

QListWidget* frmDefineVar::list(int tab) const
{
    return tab == 0 ? lstVarName : tab == 1 ? lstConsts : lstRange;
}

QLineEdit* frmDefineVar::box(int tab, int index) const
{
    if (tab == 0)
        return index == 0 ? txtDescription : txtValue;
    if (tab == 1)
        return index == 0 ? txtConstDescription : txtConstValue;
    return index == 0 ? txtRangeName : index == 1 ? txtRangeFrom : txtRangeTo;
}

void frmDefineVar::toLogic()
{
    for (int tab = 0; tab < 3; ++tab) {
        for (int i = 0; i < (tab == 2 ? 3 : 2); ++i)
            Logic.Box[tab][i] = box(tab, i)->text();
        Logic.Selected[tab] = list(tab)->currentRow();
    }
}

void frmDefineVar::fromLogic()
{
    for (int tab = 0; tab < 3; ++tab) {
        QListWidget* l = list(tab);
        const QSignalBlocker block(l);
        if (l->count() != Logic.List[tab].size() || [&] {
                for (int r = 0; r < l->count(); ++r)
                    if (l->item(r)->text() != Logic.List[tab][r])
                        return true;
                return false;
            }()) {
            l->clear();
            l->addItems(Logic.List[tab]);
        }
        l->setCurrentRow(Logic.Selected[tab]);
        for (int i = 0; i < (tab == 2 ? 3 : 2); ++i)
            box(tab, i)->setText(Logic.Box[tab][i]);
    }
}

void frmDefineVar::cmdAction_Click(int index)
{
    const int tab = tabVar->currentIndex();
    if (index == 2) {
        accept();
        return;
    }
    toLogic();
    Logic.FocusTab = -1;
    switch (index) {
    case 0: Logic.Add(tab); break;
    case 1: Logic.Delete(tab); break;
    case 3: Logic.Update(tab); break;
    default: break;
    }
    fromLogic();
    if (Logic.FocusTab == tab)
        box(tab, Logic.FocusBox)->setFocus();
}

bool frmDefineVar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Delete in the variable and constant lists deletes; Enter in their boxes adds.
        if (key == Qt::Key_Delete && (watched == lstVarName || watched == lstConsts)) {
            cmdAction_Click(1);
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            (watched == txtDescription || watched == txtValue || watched == txtConstDescription ||
             watched == txtConstValue)) {
            cmdAction_Click(0);
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn)
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void ShowDefineVarModal()
{
    frmDefineVar dialog;
    RunModal(dialog);
}
