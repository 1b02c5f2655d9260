#include "model/DataFolder.h"

#include "model/Disk.h"
#include "model/VbError.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

QString ChooseDataFolder()
{
    QString folder = qEnvironmentVariable("QUILLOMAT_DATA");
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (folder.isEmpty())
            folder = QDir::homePath() + QStringLiteral("/.local/share");
        folder += QStringLiteral("/Quillomat");
    }
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    try {
        disk::MakeFolders(folder);
    } catch (const VbError&) {  // the saves tell why they can't write there
    }
    return folder;
}

QString ChooseProgramFolder(const QString& programDir, const QString& installedFiles)
{
    if (!installedFiles.isEmpty()) {
        const QString installed = QDir::cleanPath(QDir(programDir).absoluteFilePath(installedFiles));
        if (QFileInfo(installed).isDir())
            return installed;
    }
    return programDir;
}

namespace {

// Copies every file below a folder into the same place below another. Only
// regular files are copied: a link to a device (listed among the files)
// would be copied without end.
int copyTree(const QString& from, const QString& to)
{
    int copied = 0;
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        if (!QFileInfo(source).isFile())
            continue;
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        try {
            disk::MakeFolders(QFileInfo(target).path());
        } catch (const VbError&) {
            continue;
        }
        if (disk::EntryAt(target) == disk::Entry::None && disk::CopyFile(source, target))
            ++copied;
    }
    return copied;
}

}  // namespace

int CopyProjectsOnFirstStart(const QString& programFolder, const QString& dataFolder)
{
    if (programFolder.isEmpty() || QDir(programFolder) == QDir(dataFolder))
        return 0;
    const QDir data(dataFolder);
    if (!data.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
        return 0;
    const QDir program(programFolder);
    int copied = 0;
    for (const QFileInfo& dir : program.entryInfoList({QStringLiteral("*.dir")}, QDir::Dirs | QDir::NoDotAndDotDot))
        copied += copyTree(dir.filePath(), dataFolder + QStringLiteral("/Projects/") + dir.fileName());
    if (program.exists(QStringLiteral("Subs")))
        copied += copyTree(program.filePath(QStringLiteral("Subs")), dataFolder + QStringLiteral("/Subs"));
    return copied;
}
