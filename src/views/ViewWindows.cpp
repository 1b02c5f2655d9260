#include "views/ViewWindows.h"

#include "model/AppState.h"
#include "shell/ShellWindows.h"
#include "views/DefineVarDialog.h"
#include "views/ExplorerWindow.h"
#include "views/MapWindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace {

QPointer<frmMap> gMap;
QPointer<frmProjExp> gExplorer;

void unloadMap()
{
    if (!gMap)
        return;
    if (QMdiSubWindow* sub = gMap->SubWindow())
        delete sub;
    else
        delete gMap.data();
}

void showMap(const QRect& twips)
{
    if (!gMap)
        gMap = new frmMap;
    const double tx = App().TwipsX, ty = App().TwipsY;
    const QRect px(int(twips.left() / tx), int(twips.top() / ty), int(twips.width() / tx),
                   int(twips.height() / ty));
    if (QMdiSubWindow* sub = gMap->SubWindow()) {
        sub->setGeometry(px);
        sub->show();
        sub->raise();
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    } else {
        gMap->setGeometry(px);
        gMap->show();
        gMap->raise();
    }
}

void updateMapNode(const QString& name)
{
    if (!gMap)
        return;
    // The branch of a task when there is one of that name, else of the sub.
    const Long kind = App().TaskList.Exists(name) ? ModuleKind::Task : ModuleKind::Sub;
    gMap->UpdateNodeOnly(name, kind);
}

}  // namespace

frmMap* MapWindow()
{
    return gMap;
}

frmProjExp* ExplorerWindow()
{
    return gExplorer;
}

frmProjExp* ProjectExplorerWindow()
{
    if (!gExplorer)
        gExplorer = new frmProjExp;
    return gExplorer;
}

void RegisterViewWindows(ShellWindows& windows)
{
    WindowHooks& h = windows.Hooks;
    h.MapShow = showMap;
    h.MapUnload = unloadMap;
    h.MapUpdateNode = updateMapNode;
    h.ProjExpShow = [] { ProjectExplorerWindow()->ShowInFront(); };
    h.ProjExpAddNewModul = [](const QString& name, Long type) { ProjectExplorerWindow()->AddNewModul(name, type); };
    h.ProjExpUnloadAndShow = [] {
        if (gExplorer)
            gExplorer->Unload();
        ProjectExplorerWindow()->ShowInFront();
    };
    h.DefineVarShowModal = ShowDefineVarModal;
}
