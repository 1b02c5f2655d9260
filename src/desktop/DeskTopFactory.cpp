#include "desktop/DeskTopFactory.h"

#include "desktop/frmDeskTop.h"

DeskTopWindow CreateDeskTopWindow(QMdiArea* mdiArea)
{
    auto* w = new frmDeskTop(mdiArea);
    return {w, w};
}
