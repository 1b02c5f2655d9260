#pragma once
// Makes the editor windows that the main window asks for.
#include "shell/MainWindow.h"

class QMdiArea;

// A new editor window frmDeskTop in the MDI area, hidden until its Show().
DeskTopWindow CreateDeskTopWindow(QMdiArea* mdiArea);
