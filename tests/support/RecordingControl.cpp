#include "RecordingControl.h"

#include "CallText.h"
#include "model/VbError.h"

int RecordingControl::count(const QString& operation) const
{
    return int(mOperations.count(operation));
}

void RecordingControl::pushResult(const QString& operation, const QVariant& result)
{
    mResults[operation].append(result);
}

void RecordingControl::pushResults(const QString& operation, const QVariantList& results)
{
    mResults[operation].append(results);
}

void RecordingControl::setDefaultResult(const QString& operation, const QVariant& result)
{
    mDefaults.insert(operation, result);
}

void RecordingControl::pushDatalog(const QVector<DatalogEntry>& reply)
{
    mDatalogReplies.append(reply);
}

void RecordingControl::pushMemMap(const QVector<Long>& map)
{
    mMemMaps.append(map);
}

void RecordingControl::setPollValue(Long source, Integer number, Integer value)
{
    mPollValues.insert(qMakePair(source, number), value);
}

void RecordingControl::failOperation(const QString& operation, int errorNumber, int times)
{
    mFailures.insert(operation, Failure{errorNumber, times});
}

void RecordingControl::clearFailures()
{
    mFailures.clear();
    mFailAll = 0;
}

void RecordingControl::raiseCommError(const QString& message)
{
    if (mSink)
        mSink->PB_CommError(message);
}

void RecordingControl::raiseDownloadStart(Long timeMs, Long size, Long moduleNumber)
{
    if (mSink)
        mSink->PB_DownloadStart(timeMs, size, moduleNumber);
}

void RecordingControl::raiseDownloadProgress(Long value)
{
    if (mSink)
        mSink->PB_DownloadProgress(value);
}

void RecordingControl::raiseDownloadDone(Long errorCode, Long moduleNumber)
{
    if (mSink)
        mSink->PB_DownloadDone(errorCode, moduleNumber);
}

void RecordingControl::record(const CallText& call)
{
    record(call.operation(), call.str());
}

void RecordingControl::record(const QString& operation, QString line)
{
    mCalls.append(std::move(line));
    mOperations.append(operation);
    if (mFailAll)
        raiseError(mFailAll);
    auto it = mFailures.find(operation);
    if (it == mFailures.end())
        return;
    const int number = it->number;
    if (it->times > 0 && --it->times == 0)
        mFailures.erase(it);
    raiseError(number);
}

bool RecordingControl::scripted() const
{
    return !mResults.isEmpty() || !mDefaults.isEmpty();
}

QVariant RecordingControl::nextResult(const QString& operation, const QVariant& fallback)
{
    if (!scripted())
        return fallback;
    auto it = mResults.find(operation);
    if (it != mResults.end() && !it->isEmpty())
        return it->takeFirst();
    return mDefaults.value(operation, fallback);
}

bool RecordingControl::boolResult(const QString& operation)
{
    return !scripted() || nextResult(operation, true).toBool();
}

// --- Port and tower ---

Long RecordingControl::ComPortNo()
{
    record(QStringLiteral("ComPortNo"), QStringLiteral("ComPortNo()"));
    return Long(nextResult(QStringLiteral("ComPortNo"), mPort).toInt());
}

void RecordingControl::setComPortNo(Long port)
{
    record(QStringLiteral("ComPortNo"), CallText::put(QStringLiteral("ComPortNo"), port));
    mPort = port;
}

#define RC_BOOL_NOARGS(name)                                  \
    bool RecordingControl::name()                             \
    {                                                         \
        record(QStringLiteral(#name), QStringLiteral(#name "()")); \
        return boolResult(QStringLiteral(#name));             \
    }

RC_BOOL_NOARGS(TowerCheck1)
RC_BOOL_NOARGS(TowerCheck2)
RC_BOOL_NOARGS(TowerCheck3)
RC_BOOL_NOARGS(PBAlive)
RC_BOOL_NOARGS(PBTurnOff)

// --- Motors ---

#define RC_MOTORS(name)                                                  \
    bool RecordingControl::name(const QString& motors)                   \
    {                                                                    \
        record(CallText(QStringLiteral(#name)).text(motors)); \
        return boolResult(QStringLiteral(#name));                        \
    }

RC_MOTORS(On)
RC_MOTORS(Off)
RC_MOTORS(Float)
RC_MOTORS(SetFwd)
RC_MOTORS(SetRwd)
RC_MOTORS(AlterDir)

bool RecordingControl::SetPower(const QString& motors, Long source, Integer value)
{
    record(CallText(QStringLiteral("SetPower")).text(motors).lng(source).integer(value));
    return boolResult(QStringLiteral("SetPower"));
}

void RecordingControl::Wait(Long source, Integer value)
{
    record(CallText(QStringLiteral("Wait")).lng(source).integer(value));
}

// --- Variables ---

#define RC_VAR(name)                                                                       \
    void RecordingControl::name(Integer variable, Long source, Integer value)              \
    {                                                                                      \
        record(CallText(QStringLiteral(#name)).integer(variable).lng(source).integer(value)); \
    }

RC_VAR(AbsVar)
RC_VAR(AndVar)
RC_VAR(DivVar)
RC_VAR(MulVar)
RC_VAR(OrVar)
RC_VAR(SetVar)
RC_VAR(SgnVar)
RC_VAR(SubVar)
RC_VAR(SumVar)

// --- Datalog and readings ---

void RecordingControl::DatalogNext(Long source, Integer value)
{
    record(CallText(QStringLiteral("DatalogNext")).lng(source).integer(value));
}

bool RecordingControl::SetDatalog(Integer size)
{
    record(CallText(QStringLiteral("SetDatalog")).integer(size));
    return boolResult(QStringLiteral("SetDatalog"));
}

QVector<DatalogEntry> RecordingControl::GetDatalog(Integer from, Integer count)
{
    record(CallText(QStringLiteral("GetDatalog")).integer(from).integer(count));
    if (!mDatalogReplies.isEmpty())
        return mDatalogReplies.takeFirst();
    return {};
}

QVector<Long> RecordingControl::GetMemMap()
{
    record(QStringLiteral("GetMemMap"), QStringLiteral("GetMemMap()"));
    if (!mMemMaps.isEmpty())
        return mMemMaps.takeFirst();
    return mDefaultMemMap;
}

Integer RecordingControl::PBBattery()
{
    record(QStringLiteral("PBBattery"), QStringLiteral("PBBattery()"));
    return Integer(nextResult(QStringLiteral("PBBattery"), 0).toInt());
}

Integer RecordingControl::Poll(Long source, Integer& number)
{
    record(CallText(QStringLiteral("Poll")).lng(source).ref(number));
    const Integer fallback = mPollValues.value(qMakePair(source, number), 0);
    return Integer(nextResult(QStringLiteral("Poll"), fallback).toInt());
}

// --- Brick settings and immediate operations ---

void RecordingControl::ClearPBMessage()
{
    record(QStringLiteral("ClearPBMessage"), QStringLiteral("ClearPBMessage()"));
}

void RecordingControl::ClearTimer(Integer timer)
{
    record(CallText(QStringLiteral("ClearTimer")).integer(timer));
}

void RecordingControl::ClearSensorValue(Integer sensor)
{
    record(CallText(QStringLiteral("ClearSensorValue")).integer(sensor));
}

bool RecordingControl::PBPowerDownTime(Integer minutes)
{
    record(CallText(QStringLiteral("PBPowerDownTime")).integer(minutes));
    return boolResult(QStringLiteral("PBPowerDownTime"));
}

bool RecordingControl::PBTxPower(Integer power)
{
    record(CallText(QStringLiteral("PBTxPower")).integer(power));
    return boolResult(QStringLiteral("PBTxPower"));
}

bool RecordingControl::PlaySystemSound(Integer sound)
{
    record(CallText(QStringLiteral("PlaySystemSound")).integer(sound));
    return boolResult(QStringLiteral("PlaySystemSound"));
}

bool RecordingControl::PlayTone(Integer frequency, Integer duration)
{
    record(CallText(QStringLiteral("PlayTone")).integer(frequency).integer(duration));
    return boolResult(QStringLiteral("PlayTone"));
}

bool RecordingControl::SelectDisplay(Long source, Integer value)
{
    record(CallText(QStringLiteral("SelectDisplay")).lng(source).integer(value));
    return boolResult(QStringLiteral("SelectDisplay"));
}

void RecordingControl::SendPBMessage(Long source, Integer value)
{
    record(CallText(QStringLiteral("SendPBMessage")).lng(source).integer(value));
}

void RecordingControl::SetWatch(Integer hours, Integer minutes)
{
    record(CallText(QStringLiteral("SetWatch")).integer(hours).integer(minutes));
}

void RecordingControl::SetSensorMode(Integer sensor, Integer mode, Integer slope)
{
    record(CallText(QStringLiteral("SetSensorMode")).integer(sensor).integer(mode).integer(slope));
}

void RecordingControl::SetSensorType(Integer sensor, Integer type)
{
    record(CallText(QStringLiteral("SetSensorType")).integer(sensor).integer(type));
}

bool RecordingControl::DownloadFirmware(const QString& fullPath)
{
    record(CallText(QStringLiteral("DownloadFirmware")).text(fullPath));
    const bool ok = boolResult(QStringLiteral("DownloadFirmware"));
    if (ok && mAutoEvents) {
        const Long error = mModuleErrors.isEmpty() ? 0 : mModuleErrors.takeFirst();
        raiseDownloadStart(0, 0, 100);
        raiseDownloadProgress(0);
        raiseDownloadDone(error, 100);
    }
    return ok;
}

QString RecordingControl::FirmwareVersion()
{
    record(QStringLiteral("FirmwareVersion"), QStringLiteral("FirmwareVersion()"));
    return nextResult(QStringLiteral("FirmwareVersion"), QString()).toString();
}

// --- Programs and modules ---

void RecordingControl::SelectPrgm(Integer& slot)
{
    record(CallText(QStringLiteral("SelectPrgm")).ref(slot));
}

void RecordingControl::GoSub(Integer& sub)
{
    record(CallText(QStringLiteral("GoSub")).ref(sub));
}

void RecordingControl::StartTask(Integer& task)
{
    record(CallText(QStringLiteral("StartTask")).ref(task));
}

void RecordingControl::StopTask(Integer& task)
{
    record(CallText(QStringLiteral("StopTask")).ref(task));
}

void RecordingControl::StopAllTasks()
{
    record(QStringLiteral("StopAllTasks"), QStringLiteral("StopAllTasks()"));
}

void RecordingControl::BeginOfTask(Integer& task)
{
    record(CallText(QStringLiteral("BeginOfTask")).ref(task));
    mOpenModule = task;
    mModuleStart = int(mCalls.size());
}

void RecordingControl::BeginOfSub(Integer& sub)
{
    record(CallText(QStringLiteral("BeginOfSub")).ref(sub));
    mOpenModule = 10 + sub;
    mModuleStart = int(mCalls.size());
}

void RecordingControl::EndOfTask()
{
    record(QStringLiteral("EndOfTask"), QStringLiteral("EndOfTask()"));
    endModule();
}

void RecordingControl::EndOfSub()
{
    record(QStringLiteral("EndOfSub"), QStringLiteral("EndOfSub()"));
    endModule();
}

void RecordingControl::endModule()
{
    const Long module = mOpenModule;
    const Long size = Long(mCalls.size() - 1 - mModuleStart);
    mOpenModule = -1;
    if (!mAutoEvents || module < 0)
        return;
    const Long error = mModuleErrors.isEmpty() ? 0 : mModuleErrors.takeFirst();
    raiseDownloadStart(0, size, module);
    raiseDownloadProgress(size);
    raiseDownloadDone(error, module);
}

void RecordingControl::Loop(Long source, Integer count)
{
    record(CallText(QStringLiteral("Loop")).lng(source).integer(count));
}

void RecordingControl::EndLoop()
{
    record(QStringLiteral("EndLoop"), QStringLiteral("EndLoop()"));
}

void RecordingControl::While(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    record(CallText(QStringLiteral("While")).lng(source1).integer(value1).integer(op).lng(source2).integer(value2));
}

void RecordingControl::EndWhile()
{
    record(QStringLiteral("EndWhile"), QStringLiteral("EndWhile()"));
}

void RecordingControl::If(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    record(CallText(QStringLiteral("If")).lng(source1).integer(value1).integer(op).lng(source2).integer(value2));
}

void RecordingControl::Else()
{
    record(QStringLiteral("Else"), QStringLiteral("Else()"));
}

void RecordingControl::EndIf()
{
    record(QStringLiteral("EndIf"), QStringLiteral("EndIf()"));
}
