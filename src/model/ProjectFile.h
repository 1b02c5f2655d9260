#pragma once
// The project file <project>.dir/<project>.qmd: opening and saving a project.
// OpenProject opens App().RcxSetup->ProjectName (or creates it when the open/new
// dialog asked for a new project); SaveProject writes the project file, then
// every task file, then every sub file.
bool OpenProject();
bool SaveProject();
