#include "datalog/core/DatalogUpload.h"

#include "model/AppState.h"
#include "model/Phantom.h"
#include "model/VbError.h"

namespace {

constexpr int RequestSize = 50;
const QString kSamplesCounter = QStringLiteral("Samples Counter");

QString motorName(int port) { return App().RcxSetup().PortMotor(port).Purpose; }

QString variableName(Integer number)
{
    for (const auto& e : App().ObjectList())
        if (e.item && e.item->Source == 0 && e.item->Number == number)
            return e.item->Name;
    return QString();
}

}  // namespace

void DatalogDecoder::Decode(Integer source, Integer number, Integer value)
{
    const Long slot = Long(mRecords.size());
    if (mProgress)
        mProgress->SetPanel(3, QString::number(slot + 1 - BlockCount) + QStringLiteral(" Items so far"));

    DatalogRecord r;
    switch (source) {
    case 0:
        r.Source = source;
        r.Number = number;
        r.Value = value;
        if (number == 1) {
            const int port = (value & 0xC00) / 1024;
            const int kind = value & 0x300;
            const QString m = motorName(port);
            if (kind == 0) {
                r.Name = m + QStringLiteral(" Speed ");
                r.Value = Integer(value & 7);
            } else if (kind == 0x100) {
                r.Name = m + QStringLiteral(" Direction ");
                r.Value = Integer(value & 8);
            } else if (kind == 0x200) {
                r.Name = m + QStringLiteral(" State ");
                r.Value = Integer(value & 0xC0);
            }
        } else {
            r.Name = variableName(number);
        }
        break;
    case 1:
        r = {source, QStringLiteral("Timer ") + QString::number(number + 1), number, value};
        break;
    case 9:
        r = {source, App().RcxSetup().PortSensor(number).Purpose, number, value};
        break;
    case 14:
        r = {source, QStringLiteral("RCX time"), number, value};
        break;
    default:
        break;  // an unknown source leaves an empty record
    }
    mRecords.append(r);

    if (r.Name == FirstItemName || FirstItemName.isEmpty()) {
        ++BlockCount;
        mRecords.append({-1, kSamplesCounter, 0, vb::CInt(double(BlockCount))});
        FirstItemName = r.Name;
    }
}

QString DatalogValueText(const DatalogRecord& r)
{
    const QString number = QString::number(r.Value);
    if (r.Source != 0 || r.Number != 1)
        return number;
    QString word;
    if (r.Name.contains(QStringLiteral("State"))) {
        if (r.Value == 64)
            word = QStringLiteral("OFF ");
        else if (r.Value == 128)
            word = QStringLiteral("ON ");
        else if (r.Value == 0)
            word = QStringLiteral("FLOAT ");
    } else if (r.Name.contains(QStringLiteral("Direction"))) {
        if (r.Value == 8)
            word = QStringLiteral("FORWARD ");
        else if (r.Value == 0)
            word = QStringLiteral("BACK ");
    }
    return word.isEmpty() ? number : word + QLatin1Char('(') + number + QLatin1Char(')');
}

QStringList DatalogListLines(const QVector<DatalogRecord>& records)
{
    QStringList lines;
    int k = 0;
    for (const DatalogRecord& r : records) {
        if (r.Source == -1)
            continue;
        ++k;
        lines.append(QString::number(k) + QStringLiteral("   ") + r.Name + QStringLiteral(" = ") + DatalogValueText(r));
    }
    return lines;
}

QVector<DatalogRequest> DatalogRequests(Long n, Long first)
{
    QVector<DatalogRequest> requests;
    Long blocks = n / RequestSize;
    const Long rest = n - RequestSize * blocks;
    Long from = first;
    for (;;) {
        Long count = 0;
        if (blocks > 0)
            count = RequestSize;
        else if (rest > 0)
            count = rest;
        else
            break;
        requests.append({vb::CInt(double(from)), vb::CInt(double(count))});
        if (--blocks < 0)
            break;
        from += RequestSize;
    }
    return requests;
}

UploadResult FetchDatalog(IBrickDevice& pb, Long rangeStart, Long rangeSize, QVector<DatalogRecord>& records,
                          IDatalogProgress& progress)
{
    if (!pb.PBAlive())
        return {UploadOutcome::NoCommunication, 0};
    const QVector<Long> map = pb.GetMemMap();
    if (map.size() <= 92)
        raiseError(Err::SubscriptOutOfRange);
    const Long start = map[91];
    const Long end = map[92];
    // Three bytes an entry, the header first. A map that leaves no room for
    // the header counts as empty as well.
    if (end - start <= 3)
        return {UploadOutcome::Empty, 0};

    // Decoded aside: the records in hand (those the list shows) stay until
    // the whole upload has come.
    QVector<DatalogRecord> fetched;
    DatalogDecoder decoder(fetched, &progress);
    Long n = vb::CLng(double(end - start) / 3.0 - 1.0);
    if (rangeSize > 0) {
        if (qint64(n) < qint64(rangeStart) + qint64(rangeSize))
            return {UploadOutcome::RangeTooLarge, n};
        n = rangeSize;
    }
    const QVector<DatalogRequest> requests = DatalogRequests(n, rangeSize > 0 ? rangeStart : 1);
    progress.SetPanel(2, QString::number(n) + QStringLiteral(" Items"));
    progress.DoEvents();
    for (const DatalogRequest& request : requests) {
        const QVector<DatalogEntry> reply = pb.GetDatalog(request.from, request.count);
        if (reply.isEmpty())
            break;
        for (const DatalogEntry& e : reply)
            decoder.Decode(e.source, e.number, e.value);
        progress.DoEvents();
    }
    records = std::move(fetched);
    return {UploadOutcome::Done, n};
}
