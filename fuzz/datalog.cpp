// The datalog list file as the datalog window opens it: whatever the bytes,
// reading either gives records or fails with a failure number, and records
// read, written and read again come back the same.
#include "datalog/core/DatalogFile.h"
#include "model/VbError.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.dlg"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    QVector<DatalogRecord> records;
    try {
        ReadDatalogFile(path, records);
    } catch (const VbError&) {
        return 0;  // refused; what was read before the fault is kept, as the reader says
    }
    // A record's name is written as it stands: one with a comma or a line end
    // does not come back whole, as in the file the program writes.
    for (const DatalogRecord& r : records)
        if (r.Name.contains(QLatin1Char(',')) || r.Name.contains(QLatin1Char('\r')) ||
            r.Name.contains(QLatin1Char('\n')))
            return 0;
    try {
        WriteDatalogFile(path, records);
        QVector<DatalogRecord> back;
        ReadDatalogFile(path, back);
        if (back != records) {
            std::fprintf(stderr, "datalog records changed on a write and a read\n");
            std::abort();
        }
    } catch (const VbError& e) {
        std::fprintf(stderr, "records read could not be written and read back: %d\n", e.number());
        std::abort();
    }
    return 0;
}
