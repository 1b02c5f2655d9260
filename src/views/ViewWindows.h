#pragma once
// The project map, the project explorer and the Define Variables dialog as the
// shell reaches them: RegisterViewWindows fills their hooks once at start-up.
class ShellWindows;
class frmMap;
class frmProjExp;

void RegisterViewWindows(ShellWindows& windows);

// The map window while it is loaded, else nullptr.
frmMap* MapWindow();
// The explorer window while it is loaded, else nullptr; ProjectExplorerWindow
// loads it first.
frmProjExp* ExplorerWindow();
frmProjExp* ProjectExplorerWindow();
