// The editor windows in the MDI area: making them through the factory, finding
// the active one, and the window list that brings one to the front.
#include "shell/MainWindow.h"
#include "shell/ScreenPlacement.h"

#include "model/Module.h"
#include "model/Twips.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <algorithm>

// ---------------------------------------------------------------- editor windows

void mdiMain::setDeskTopFactory(DeskTopFactory factory)
{
    mFactory = std::move(factory);
}

ICommandWindow* mdiMain::CreateDeskTop()
{
    if (!mFactory)
        return nullptr;
    const DeskTopWindow made = mFactory();
    if (!made.window || !made.widget)
        return made.window;
    QWidget* w = made.widget;
    if (!qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
        QMdiSubWindow* sub = mMdi->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
    }
    WindowHandle(w);
    // Windows whose widget has gone are dropped as new ones come.
    mDeskTops.erase(std::remove_if(mDeskTops.begin(), mDeskTops.end(),
                                   [](const KeptDeskTop& d) { return d.widget.isNull(); }),
                    mDeskTops.end());
    mDeskTops.append({w, made.window});
    return made.window;
}

ICommandWindow* mdiMain::DeskTopOf(QWidget* widget) const
{
    for (const KeptDeskTop& d : mDeskTops)
        if (d.widget && d.widget == widget)
            return d.window;
    return nullptr;
}

ICommandWindow* mdiMain::ActiveDeskTop() const
{
    QMdiSubWindow* sub = mMdi->currentSubWindow();
    if (!sub)
        sub = mMdi->activeSubWindow();
    if (!sub) {
        const auto list = mMdi->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (!list.isEmpty())
            sub = list.last();
    }
    return sub ? DeskTopOf(sub->widget()) : nullptr;
}

QList<ICommandWindow*> mdiMain::DeskTopWindows() const
{
    QList<ICommandWindow*> list;
    for (QMdiSubWindow* sub : mMdi->subWindowList(QMdiArea::CreationOrder))
        if (ICommandWindow* w = DeskTopOf(sub->widget()))
            list.append(w);
    return list;
}

void mdiMain::FitDeskTops()
{
    // An editor window takes the area's height as it opens; when the area
    // shrinks, every editor window is made to fit again, its scroll bars and
    // last rows in view: moved up and left as far as needed, and no taller than
    // the area. What still can't fit (a window wider than the area, or one at
    // its smallest) the area's own scroll bars reach.
    const QRect area = mMdi->viewport()->rect();
    for (QMdiSubWindow* sub : mMdi->subWindowList()) {
        if (!DeskTopOf(sub->widget()) || sub->isMaximized() || sub->isMinimized())
            continue;
        // The width stays as it is: the area's scroll bars reach what is wider.
        const QSize keep(sub->width(), sub->minimumSizeHint().height());
        const QRect g = FitInside(sub->geometry(), area, {}, keep);
        if (g != sub->geometry())
            sub->setGeometry(g);
    }
}

Long mdiMain::ScaleHeight() const
{
    return Long(TwipY(mMdi->viewport()->height()));
}

Long mdiMain::ScaleWidth() const
{
    return Long(TwipX(mMdi->viewport()->width()));
}

int mdiMain::WindowHandle(QWidget* window)
{
    // The serial number is kept on the window itself, so it goes with it.
    const QVariant kept = window->property("qmWindowHandle");
    if (kept.isValid())
        return kept.toInt();
    const int h = mNextHandle++;
    window->setProperty("qmWindowHandle", h);
    return h;
}

// ---------------------------------------------------------------- window list

void mdiMain::KeyWinList()
{
    // Items 1 to the last go; item 0 stays and is filled again.
    while (mWinDeskList.size() > 1) {
        QAction* act = mWinDeskList.takeLast();
        mMnuWinList->removeAction(act);
        delete act;
    }
    delete mWindowListForms;
    mWindowListForms = new QHash<QString, QPointer<QWidget>>;

    struct Entry {
        QString text;
        int handle;
        QString caption;
    };
    QList<Entry> entries;
    for (QMdiSubWindow* sub : mMdi->subWindowList(QMdiArea::CreationOrder)) {
        QWidget* w = sub->widget();
        ICommandWindow* desk = DeskTopOf(w);
        if (!desk)
            continue;
        const int h = WindowHandle(w);
        mWindowListForms->insert(QString::number(h), QPointer<QWidget>(w));
        const Long kind = desk->FormType();
        const bool module = kind == ModuleKind::Task || kind == ModuleKind::Sub;
        entries.append({desk->Caption() + QLatin1Char(' ') + desk->ParentTitle(), module ? -h : h,
                        desk->Caption()});
    }
    if (mWindowListForms->isEmpty()) {
        delete mWindowListForms;
        mWindowListForms = nullptr;
        return;
    }
    // The sorted list box orders its entries without regard to letter case.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
        return x.text.compare(y.text, Qt::CaseInsensitive) < 0;
    });

    auto loadItem = [this](int j) {
        while (mWinDeskList.size() <= j) {
            const int index = int(mWinDeskList.size());
            QAction* act = mMnuWinList->addAction(QString());
            connect(act, &QAction::triggered, this, [this, index] { mnuWinDeskList_Click(index); });
            mWinDeskList.append(act);
        }
        return mWinDeskList[j];
    };
    int j = 0;
    for (int i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        QAction* item = loadItem(j);
        if (e.handle < 0) {
            item->setText(e.text);
        } else {
            const bool underPrevious = j != 0 && i > 0 && e.text.startsWith(entries[i - 1].caption);
            if (!underPrevious) {
                item->setText(e.caption);
                item->setVisible(true);
                item->setData(QString());
                item->setEnabled(false);
                ++j;
                item = loadItem(j);
            }
            item->setText(QStringLiteral("    ") + e.text);
        }
        item->setVisible(true);
        item->setData(QString::number(qAbs(e.handle)));
        item->setEnabled(true);
        ++j;
    }
    PopupMenu(mMnuWinList);
}

void mdiMain::mnuWinDeskList_Click(int index)
{
    if (index >= 0 && index < mWinDeskList.size() && mWindowListForms) {
        const QString tag = mWinDeskList[index]->data().toString();
        if (!tag.isEmpty()) {
            QPointer<QWidget> w = mWindowListForms->value(tag);
            if (w) {
                if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
                    mMdi->setActiveSubWindow(sub);
                w->setFocus();
            }
        }
    }
    delete mWindowListForms;
    mWindowListForms = nullptr;
}
