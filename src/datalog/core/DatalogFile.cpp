#include "datalog/core/DatalogFile.h"

#include "model/AppState.h"
#include "model/Records.h"
#include "model/TaskFile.h"
#include "model/VbError.h"

#include <algorithm>

QString DatalogFolder()
{
    const AppState& a = App();
    return a.DataFolder.isEmpty() ? a.ProgramFolder : a.DataFolder;
}

void WriteDatalogFile(const QString& path, const QVector<DatalogRecord>& records)
{
    RecordWriter w;
    w.open(path);
    for (const DatalogRecord& r : records) {
        w.number(r.Number).number(r.Source).bareText(r.Name).number(r.Value);
        w.endRecord();
    }
    w.commit();
}

void ReadDatalogFile(const QString& path, QVector<DatalogRecord>& records)
{
    // A failure names the file, and the line (counted from 1, blank lines
    // too) when it lies in one.
    int lineNo = 0;
    auto named = [&](const VbError& e) {
        raiseError(e.number(), lineNo ? FileFailure(e, path) + QStringLiteral(" at line %1").arg(lineNo)
                                      : FileFailure(e, path));
    };
    RecordReader reader;
    try {
        reader.open(path, FileKind::DatalogList);
    } catch (const VbError& e) {
        named(e);
    }
    // Read aside: the records in hand stay until the whole file has been read.
    QVector<DatalogRecord> read;
    while (!reader.atEnd()) {
        const QString line = reader.line();
        ++lineNo;
        if (std::all_of(line.begin(), line.end(), [](QChar c) { return c == u' ' || c == u'\t'; }))
            continue;  // a blank line, as an editor may leave one
        try {
            const QStringList fields = line.split(QLatin1Char(','));
            if (fields.size() < 4)
                raiseError(Err::SubscriptOutOfRange);
            DatalogRecord r;
            r.Number = vb::CInt(fields[0]);
            r.Source = vb::CInt(fields[1]);
            r.Name = fields[2];
            r.Value = vb::CInt(fields[3]);
            read.append(r);
        } catch (const VbError& e) {
            named(e);
        }
    }
    reader.close();
    records = std::move(read);
}

QString DatalogPrintTitle() { return QStringLiteral("Quillomat - Datalog List"); }

QString DatalogPrintHeader()
{
    return QStringLiteral("Item #\tSource\tNumber\t\tValue\t\tName");
}

QList<QStringList> DatalogPrintPages(const QVector<DatalogRecord>& records)
{
    QList<QStringList> pages;
    QStringList page;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const DatalogRecord& r = records[i];
        page.append(QString::number(i) + QLatin1Char('\t') + QString::number(r.Source) + QLatin1Char('\t') +
                    QString::number(r.Number) + QStringLiteral("\t\t") + QString::number(r.Value) +
                    QStringLiteral("\t\t") + r.Name);
        if (page.size() == DatalogLinesPerPage) {
            pages.append(page);
            page.clear();
        }
    }
    if (!page.isEmpty() || pages.isEmpty())
        pages.append(page);
    return pages;
}
