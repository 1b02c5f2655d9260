#pragma once
// The project map, the project explorer and the Define Variables dialog as the
// rest of the program reaches them: ConnectViewWindows makes them answer the
// main window's keys, and makes the explorer for a module added or a project
// replaced, for as long as that main window lives.
class mdiMain;
class frmMap;
class frmProjExp;

void ConnectViewWindows(mdiMain& main);

// The map window while it is loaded, else nullptr.
frmMap* MapWindow();
// The explorer window while it is loaded, else nullptr; ProjectExplorerWindow
// loads it first.
frmProjExp* ExplorerWindow();
frmProjExp* ProjectExplorerWindow();
