#pragma once
// The project file <project>.dir/<project>.qmd: opening and saving a project.
// OpenProject opens App().RcxSetup().ProjectName (or creates it when the open/new
// dialog asked for a new project); SaveProject writes every task file, then
// every sub file, and the project file last: a save that fails or stops part
// way leaves the project file before, whose modules' files are all there, and
// the project opens. A new project whose first save fails leaves no folder
// behind (the save made it, and takes it and its task files away again).
//
// An existing project is read whole before it replaces the open one: when any
// of its files is broken, OpenProject shows a message naming the file and
// gives False, and the project open before stays as it was, windows and all.
// True means the project asked for is the open one (a window that failed to
// show it has had its message). A new project's first task is asked for
// before anything of the open project changes: when it is cancelled,
// OpenProject gives False and the project open before stays as it was, its
// windows too.
//
// The file: the project type; the program slot; three motor lines (direction,
// port, start state, type, power, purpose, forward and backward meanings);
// three sensor lines (dark, mode, port, type, purpose); the constants, ranges
// ("from_to") and variables (name, number, value, source) up to
// "EndVarDef",0,0,0; the tasks (name, number) up to "EndTaskDef",0; the subs
// up to "EndSubDef",0.
//
// A project is opened by one copy of the program at a time: the copy that
// opens it holds a lock file in its folder until it opens another project or
// ends (a lock no living copy holds is taken over). A copy that opens a
// project another copy holds is told so, naming its process and computer,
// and opens it read-only: it saves nothing of it; so does one whose lock file
// is no regular file, or was made on another computer (model/ProjectLock.h).
// Before each save the copy checks that it still holds the lock (the lock
// file there, and its own); where it does not (the file was removed), it
// takes the lock again when it is free and the project, task and sub files
// on disk are still those it last read or wrote, and otherwise refuses the
// save saying why. A project whose folder has gone (removed or renamed) is
// saved whole into it again, since every module of the open project is in
// memory, with a message naming the folder.
//
// Every file a save writes is looked at before the first is written: each
// must be a regular file or nothing, inside the data folder (model/Disk.h);
// one that changed on disk since this copy read or wrote it (another copy's
// save, of a sub two projects share too) is replaced only when the user,
// asked naming it, says so. A project whose folder, project, task or sub
// files, or whose Subs folder, lead out of the data folder through a link is
// refused with a message naming the file.
#include "model/Services.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The project the open/new dialog chose (not cancelled) becomes the one
// OpenProject opens: its name, and ProjectAction (1 existing, 2 new) where
// the choice names one; a new project also its type and its changed flag.
// What it was before comes back with UndoProjectChoice, for a project chosen
// that could not be opened: the open project then stays as it was.
struct ProjectChoiceBefore {
    QString name;
    Integer action = 0;
    ProjectType type = ProjectType::Rcx;
    Boolean dirty = False;
};
ProjectChoiceBefore TakeProjectChoice(const OpenChoice& choice);
void UndoProjectChoice(const ProjectChoiceBefore& before);
bool OpenProject();
bool SaveProject();

// True, after a message saying so, when the open project is read-only (it was
// opened while another copy of the program had it open): the saves ask first.
bool RefuseReadOnlySave();

// Splits a port line at its commas into at most eight fields, each trimmed of
// blanks; a double quote counts as a blank. Field 1 comes back in line itself.
// Text for a ninth field fails with 9.
void SplitProjectLine(QString& line, QString& f2, QString& f3, QString& f4, QString& f5, QString& f6,
                      QString& f7, QString& f8);
