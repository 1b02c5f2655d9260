#include "FuzzFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>

namespace {

constexpr int kMaxFiles = 24;

bool usableName(const QString& base)
{
    return !base.isEmpty() && !base.contains(QLatin1Char('/')) && !base.contains(QChar(0)) &&
           base != QLatin1String(".") && base != QLatin1String("..");
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

}  // namespace

std::vector<FuzzFile> SplitFuzzInput(const char* data, size_t size)
{
    const QByteArray in = QByteArray::fromRawData(data, qsizetype(size));
    const QByteArray tag("#FILE ");
    std::vector<FuzzFile> files;
    if (!in.startsWith(tag))
        return files;
    qsizetype pos = 0;
    while (pos >= 0 && int(files.size()) < kMaxFiles) {
        const qsizetype nameStart = pos + tag.size();
        qsizetype nameEnd = in.indexOf('\n', nameStart);
        if (nameEnd < 0)
            nameEnd = in.size();
        const qsizetype next = in.indexOf("\n" + tag, nameEnd);
        const qsizetype bodyStart = std::min(nameEnd + 1, in.size());
        const qsizetype bodyEnd = next < 0 ? in.size() : next;
        files.push_back({QString::fromLatin1(in.mid(nameStart, nameEnd - nameStart)),
                         QByteArray(in.constData() + bodyStart, std::max<qsizetype>(0, bodyEnd - bodyStart))});
        pos = next < 0 ? -1 : next + 1;
    }
    return files;
}

FuzzFolder::FuzzFolder()
    : mDir((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
           QStringLiteral("/quillomat-fuzz-XXXXXX"))
{
}

QString FuzzFolder::fill(const std::vector<FuzzFile>& files)
{
    const QDir root(path());
    QDir(root.filePath(QStringLiteral("Projects"))).removeRecursively();
    QDir(root.filePath(QStringLiteral("Subs"))).removeRecursively();
    root.mkpath(QStringLiteral("Subs"));

    QString project;
    for (const FuzzFile& f : files)
        if (f.name.endsWith(QLatin1String(".qmd")) && project.isEmpty() && usableName(f.name.chopped(4)))
            project = f.name.chopped(4);
    if (project.isEmpty())
        return project;
    const QString projectDir = QStringLiteral("Projects/") + project + QStringLiteral(".dir");
    root.mkpath(projectDir);
    for (const FuzzFile& f : files) {
        if (!usableName(f.name))
            continue;
        if (f.name == project + QLatin1String(".qmd") || f.name.endsWith(QLatin1String(".tas")))
            write(root.filePath(projectDir + QLatin1Char('/') + f.name), f.bytes);
        else if (f.name.endsWith(QLatin1String(".sub")))
            write(root.filePath(QStringLiteral("Subs/") + f.name), f.bytes);
    }
    return project;
}

std::vector<std::pair<QString, QByteArray>> FuzzFolder::snapshot() const
{
    std::vector<std::pair<QString, QByteArray>> files;
    const QDir root(path());
    QDirIterator it(path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        files.emplace_back(root.relativeFilePath(file), f.readAll());
    }
    std::sort(files.begin(), files.end());
    return files;
}
