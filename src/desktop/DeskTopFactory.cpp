#include "desktop/DeskTopFactory.h"

#include "desktop/frmDeskTop.h"

ICommandWindow* CreateDeskTopWindow(QMdiArea* mdiArea)
{
    return new frmDeskTop(mdiArea);
}
