#pragma once
// Task files (<project>.dir/<task>.tas) and sub files (Subs/<sub>.sub).
//
// A file is a header record (start-up flag, or 0 for a sub; loop flag; number;
// title) followed by one 15-field record per command of the grid, column 0
// rows 1 to 40, then column 1. The record of an IF, WHILE or LOOP command is
// followed by its body's records and its end marker ("EndIf", "EndWhile",
// "EndLoop"); in an IF body "Else" stands between the columns.
#include "model/Module.h"

class RecordWriter;
class VbError;

// The hourglass is up while SaveTask, SaveSub, ReadTask and ReadSub work on
// the module's file, and down again before a failure is shown (inside work
// that holds it up already, it stays up: model/BusyPointer.h).
//
// Save the module's file (a sub's makes the Subs folder when it is missing);
// one that changed on disk since this copy read or wrote it is replaced only
// when the user says so (model/ProjectLock.h, MayReplace). False after a
// message, the file on disk as it was, or when the user kept the file.
bool SaveTask(clsTask& task);
bool SaveSub(clsSub& sub);
// Reads the module's file into it; with flag 0 (False) the module, which must
// be the one held as App().CurrentTask / App().CurrentSub, is also added to
// TaskList / SubList, then told to the explorer. False when the file could not
// be opened or its header read, or the module could not join its list; True
// otherwise, also when a command record failed (the module is then neither in
// the explorer nor added to its list). A failure in the file is shown naming
// it: as FileFailure for a task, with " while Opening SubFile " and the
// file's path for a sub.
bool ReadTask(clsTask& task, Integer flag);
bool ReadSub(clsSub& sub, Integer flag);
// Read the module's file into it as ReadTask and ReadSub do, showing nothing
// and touching no window: a failure, the first command record's too, goes to
// the caller with a description that names the file ("Type mismatch in
// Drive.tas"; for a sub as ReadSub tells it), and the module keeps what was
// read before it. ReadTaskFile is the project's reading, which has checked
// the project folder's task files for links out of the data folder itself.
void ReadTaskFile(clsTask& task);
void ReadSubFile(clsSub& sub);
// ReadSubFile for each sub of the list in turn.
void ReadSubFiles(const Collection<SubPtr>& subs);
// The description of a failure in a file, with the file's name: "File not
// found: Drive.tas", "Type mismatch in Robot.qmd".
QString FileFailure(const VbError& e, const QString& fileName);

// Writes a grid (kind 1 task, 5 sub, 2 IF body, 3 WHILE body, 4 LOOP body)
// with its nested bodies into an open file. A failure closes the file, shows
// its description and gives False.
bool WriteCommands(RecordWriter& file, const CommandCollectionPtr& grid, Long kind);

// Where the files live, below the user's data folder App().DataFolder: the
// projects' folders in Projects, the subs in Subs. A task, sub or project name
// that holds "/" or is "." or ".." fails with 52 and a description naming it.
QString ProjectsFolderPath();
QString ProjectFolderPath();
QString ProjectFilePath();
QString SubFolderPath();
QString TaskFilePath(const QString& taskName);
// True when a file whose path is the folder, "/", the name and the extension
// (".dir", ".qmd", ".tas", ".sub") fits the file system, and can be saved
// again and again: the file's name in UTF-8 no longer than the longest name
// it allows, the whole path, and that of every file the door makes beside it
// (model/Disk.h), no longer than the longest path.
bool NameFitsFileSystem(const QString& folder, const QString& name, const QString& extension);
// The entry of the folder (file or folder) that a file of the given name would
// meet: the same name, letter case aside, as the program tells names apart
// ("helper.sub" finds "Helper.sub"). Empty when there is none or no folder.
QString EntryLike(const QString& folder, const QString& entryName);
QString SubFilePath(const QString& subName);
// (CheckInDataFolder, the data folder's rule for every path, is in model/Disk.h.)
