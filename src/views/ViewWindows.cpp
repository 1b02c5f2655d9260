#include "views/ViewWindows.h"

#include "model/AppState.h"
#include "model/Twips.h"
#include "model/Notifier.h"
#include "shell/EventGuard.h"
#include "shell/MainWindow.h"
#include "shell/ScreenPlacement.h"
#include "views/DefineVarDialog.h"
#include "views/ExplorerWindow.h"
#include "views/MapWindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace {

// The one map and the one explorer while they are loaded.
QPointer<frmMap>& mapSlot()
{
    static QPointer<frmMap> map;
    return map;
}

QPointer<frmProjExp>& explorerSlot()
{
    static QPointer<frmProjExp> explorer;
    return explorer;
}

void showMap(const QRect& twips)
{
    QPointer<frmMap>& map = mapSlot();
    if (!map)
        map = new frmMap;
    const QRect px(PixXCut(twips.left()), PixYCut(twips.top()), PixXCut(twips.width()), PixYCut(twips.height()));
    if (QMdiSubWindow* sub = map->SubWindow()) {
        PlaceInArea(sub, px);
        sub->show();
        sub->raise();
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    } else {
        PlaceOnScreen(map, px);
        map->show();
        map->raise();
    }
}

// A slot runs inside a signal's emission: a failure is shown here and goes no
// further.
template <class... Args>
auto guarded(void (*f)(Args...))
{
    return [f](Args... args) { DeliverGuarded([&] { f(args...); return true; }); };
}

void showExplorer()
{
    ProjectExplorerWindow()->ShowInFront();
}

void addToExplorer(const clsModule& module, Long kind)
{
    ProjectExplorerWindow()->AddNewModul(module.Name, kind);
}

void rebuildExplorer()
{
    if (frmProjExp* explorer = ExplorerWindow())
        explorer->Unload();
    ProjectExplorerWindow()->ShowInFront();
}

}  // namespace

frmMap* MapWindow()
{
    return mapSlot();
}

frmProjExp* ExplorerWindow()
{
    return explorerSlot();
}

frmProjExp* ProjectExplorerWindow()
{
    QPointer<frmProjExp>& explorer = explorerSlot();
    if (!explorer)
        explorer = new frmProjExp;
    return explorer;
}

void ConnectViewWindows(mdiMain& main)
{
    QObject::connect(&main, &mdiMain::MapShowRequested, &main, guarded(showMap));
    QObject::connect(&main, &mdiMain::ExplorerShowRequested, &main, guarded(showExplorer));
    QObject::connect(&main, &mdiMain::DefineVarRequested, &main, guarded(ShowDefineVarModal));
    // A module added and a project replaced make the explorer when none is
    // loaded, so they are heard here rather than by the explorer; what a loaded
    // map or explorer hears besides, it connects itself as it is made.
    Notifier* n = App().Notifier.get();
    QObject::connect(n, &Notifier::ModuleAdded, &main, guarded(addToExplorer));
    QObject::connect(n, &Notifier::ProjectReplaced, &main, guarded(rebuildExplorer));
}
