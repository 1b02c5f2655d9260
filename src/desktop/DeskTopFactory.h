#pragma once
// Makes the editor windows that the main window asks for.
class ICommandWindow;
class QMdiArea;

// A new editor window frmDeskTop in the MDI area, hidden until its Show().
// It is both a QWidget (the sub-window's widget) and an ICommandWindow.
ICommandWindow* CreateDeskTopWindow(QMdiArea* mdiArea);
