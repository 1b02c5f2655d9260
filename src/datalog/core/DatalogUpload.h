#pragma once
// The datalog's way from the brick into records: the requests of 50 entries,
// the decoding of each entry into a named record with a Samples Counter record
// at the start of every block, and the numbered lines of the datalog list.
// No widgets: the datalog window shows what this reports.
#include "model/Datalog.h"

#include <QStringList>
#include <QVector>

class IBrickDevice;

// What an upload tells the window while it runs: status panels 1 to 3.
class IDatalogProgress {
public:
    virtual ~IDatalogProgress() = default;
    virtual void SetPanel(int panel, const QString& text) = 0;
    // Lets pending events run (repaints, the panels).
    virtual void DoEvents() = 0;
};

// Turns entries into records (DecodeDatalogEntry), appending to the records given.
class DatalogDecoder {
public:
    explicit DatalogDecoder(QVector<DatalogRecord>& records, IDatalogProgress* progress = nullptr)
        : mRecords(records), mProgress(progress) {}

    // Appends the entry's record and, when it opens a block, a Samples Counter
    // record after it. A motor entry of a port past C fails with 9.
    void Decode(Integer source, Integer number, Integer value);

    QString FirstItemName;
    Long BlockCount = 0;

private:
    QVector<DatalogRecord>& mRecords;
    IDatalogProgress* mProgress;
};

// The record's value as the list shows it: motor states and directions as
// words with the number in brackets ("OFF (64)"), else the number.
QString DatalogValueText(const DatalogRecord& record);
// The list: one numbered line per record but the Samples Counter records,
// "1   Timer 1 = 30".
QStringList DatalogListLines(const QVector<DatalogRecord>& records);

struct DatalogRequest {
    Integer from = 0;
    Integer count = 0;
    bool operator==(const DatalogRequest&) const = default;
};
// The requests that fetch n entries from the first entry given: 50 at a time,
// the rest last.
QVector<DatalogRequest> DatalogRequests(Long n, Long first);

enum class UploadOutcome {
    NoCommunication,  // the brick does not answer
    Empty,            // only the datalog's header
    RangeTooLarge,    // start + size beyond the entries; entryCount says how many there are
    Done,
};
struct UploadResult {
    UploadOutcome outcome = UploadOutcome::Done;
    Long entryCount = 0;  // the entries in the datalog (RangeTooLarge) or fetched (Done)
};

// Asks the brick, reads the memory map and fetches the entries (all of them
// from entry 1 when rangeSize is 0, else rangeSize from rangeStart), decoding
// them into records, which the upload replaces once it is complete (Done).
// Refused (RangeTooLarge), empty or failed, the records stay as they were:
// failures of the control and of the conversions come out as VbError.
UploadResult FetchDatalog(IBrickDevice& pb, Long rangeStart, Long rangeSize, QVector<DatalogRecord>& records,
                          IDatalogProgress& progress);
