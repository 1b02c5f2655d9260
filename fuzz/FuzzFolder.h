#pragma once
// Turns one fuzz input into a data folder of files. The input is a sequence of
// files, each started by a line "#FILE <name>" (the first at the very start,
// every later one after a line feed that belongs to the separator):
//
//   #FILE Robot.qmd
//   <bytes of the project file>
//   #FILE Drive.tas
//   <bytes of a task file>
//   #FILE Blink.sub
//   ...
//
// A .qmd file names the project (its base name) and goes into
// Projects/<project>.dir, a .tas file beside it, a .sub file into Subs. Other
// names, and names that would leave their folder, are skipped.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <utility>
#include <vector>

struct FuzzFile {
    QString name;
    QByteArray bytes;
};

// The files of one input, in their order.
std::vector<FuzzFile> SplitFuzzInput(const char* data, size_t size);

class FuzzFolder {
public:
    FuzzFolder();  // a fresh folder, in memory-backed storage where there is one
    QString path() const { return mDir.path(); }
    // Empties the folder and writes the files; gives the project's name ("" when
    // the input has no project file).
    QString fill(const std::vector<FuzzFile>& files);
    // Every file below the folder, by its path below it, with its bytes, sorted.
    std::vector<std::pair<QString, QByteArray>> snapshot() const;

private:
    QTemporaryDir mDir;
};
