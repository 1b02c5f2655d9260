#pragma once
// Where the user's work lives: the data folder that holds the projects
// (Projects) and the subs (Subs). It is ~/.local/share/Quillomat unless the
// environment variable QUILLOMAT_DATA names another folder. The program's own
// files (help, pictures) stay with the program.
#include <QString>

// The data folder, made when it is missing.
QString ChooseDataFolder();

// The folder of the program's own files. In the build folder they lie beside
// the program (programDir); an installed program finds them in the folder
// installedFiles names relative to programDir (../share/quillomat), when that
// folder exists.
QString ChooseProgramFolder(const QString& programDir, const QString& installedFiles);

// On the first start with an empty data folder, the projects and subs found
// beside the program (older versions kept them there) are copied, never
// moved, into the data folder. Returns the number of files copied.
int CopyProjectsOnFirstStart(const QString& programFolder, const QString& dataFolder);
