#include "link/VirtualBrick.h"

#include "link/CallText.h"
#include "model/VbError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <chrono>

namespace {

constexpr Integer DatalogHeaderSource = 255;
constexpr int MemMapSize = 94;

// Arithmetic on the brick is 16-bit and wraps.
Integer wrap16(qint32 v)
{
    return Integer(quint16(quint32(v)));
}

void requireIndex(int value, int count)
{
    if (value < 0 || value >= count)
        raiseError(Err::InvalidCall);
}

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

}  // namespace

VirtualBrick::VirtualBrick(Clock clock) : mClock(std::move(clock))
{
    if (!mClock) {
        mClock = [] {
            using namespace std::chrono;
            return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
        };
    }
    const qint64 t = now();
    for (qint64& cleared : mTimerCleared)
        cleared = t;
    mWatchSetAt = t;
}

qint64 VirtualBrick::now() const
{
    return mClock();
}

void VirtualBrick::requireOn() const
{
    if (!mOn)
        raiseError(Err::DeviceUnavailable);
}

bool VirtualBrick::argument(bool ok)
{
    if (ok)
        return true;
    if (!mCollecting)
        raiseError(Err::InvalidCall);
    mBadArgument = true;
    return false;
}

bool VirtualBrick::refusal(bool ok)
{
    if (!ok && mCollecting)
        mBadArgument = true;
    return ok;
}

// --- State ---

Integer VirtualBrick::variable(int index) const
{
    requireIndex(index, VariableCount);
    return mVariables[index];
}

void VirtualBrick::setVariable(int index, Integer value)
{
    requireIndex(index, VariableCount);
    mVariables[index] = value;
}

Integer VirtualBrick::timer(int index) const
{
    requireIndex(index, TimerCount);
    const qint64 elapsed = now() - mTimerCleared[index];
    if (elapsed < 0)
        return 0;
    return Integer((elapsed / 100) % 32768);
}

const VirtualBrick::Sensor& VirtualBrick::sensor(int port) const
{
    requireIndex(port, SensorCount);
    return mSensors[port];
}

void VirtualBrick::setSensorValue(int port, Integer value)
{
    requireIndex(port, SensorCount);
    mSensors[port].value = value;
}

void VirtualBrick::setSensorRaw(int port, Integer raw)
{
    requireIndex(port, SensorCount);
    mSensors[port].raw = raw;
}

void VirtualBrick::setSensorBoolean(int port, Integer value)
{
    requireIndex(port, SensorCount);
    mSensors[port].boolean = value;
}

const VirtualBrick::Output& VirtualBrick::output(int port) const
{
    requireIndex(port, OutputCount);
    return mOutputs[port];
}

Integer VirtualBrick::outputStatus(int port) const
{
    const Output& o = output(port);
    return Integer(o.state | (o.forward ? OutputForward : 0) | (o.power & 7));
}

Integer VirtualBrick::watchMinutes() const
{
    const qint64 elapsed = now() - mWatchSetAt;
    const qint64 minutes = mWatchSet + (elapsed > 0 ? elapsed / 60000 : 0);
    return Integer(minutes % 1440);
}

QMap<Long, VirtualBrick::Module> VirtualBrick::program(int slot) const
{
    requireIndex(slot, SlotCount);
    return mPrograms[slot];
}

void VirtualBrick::addDatalogEntry(Integer source, Integer number, Integer value)
{
    if (mDatalog.size() < mDatalogSize)
        mDatalog.append({source, number, value});
}

Integer VirtualBrick::sourceValue(Long source, Integer number)
{
    switch (source) {
    case 0:
        requireIndex(number, VariableCount);
        return mVariables[number];
    case 1:
        return timer(number);
    case 2:
        return number;
    case 3:
        return outputStatus(number);
    case 4:
        return number > 0 ? Integer(mRandom.bounded(int(number) + 1)) : Integer(0);
    case 9:
        return sensor(number).value;
    case 10:
        return sensor(number).type;
    case 11:
        return Integer(sensor(number).mode * 32 + sensor(number).slope);
    case 12:
        return sensor(number).raw;
    case 13:
        return sensor(number).boolean;
    case 14:
        return watchMinutes();
    case 15:
        return mMessage;
    default:
        raiseError(Err::InvalidCall);
    }
}

// --- Collecting modules ---

bool VirtualBrick::collected(const QString& line)
{
    if (!mCollecting)
        return false;
    mModule.operations.append(line);
    return true;
}

void VirtualBrick::openBlock(const QString& line, Block block)
{
    requireOn();
    if (!mCollecting)
        raiseError(Err::InvalidCall);
    collected(line);
    mBlocks.append(block);
}

void VirtualBrick::closeBlock(const QString& line, Block block)
{
    requireOn();
    if (!mCollecting)
        raiseError(Err::InvalidCall);
    collected(line);
    const bool matches = !mBlocks.isEmpty()
                         && (mBlocks.last() == block || (block == Block::If && mBlocks.last() == Block::IfElse));
    if (matches)
        mBlocks.removeLast();
    else
        mUnbalanced = true;
}

void VirtualBrick::beginModule(Long number, bool isSub)
{
    // A module left open (its End never came) is dropped.
    mCollecting = true;
    mCollectingSub = isSub;
    mModule = Module{number, {}};
    mBlocks.clear();
    mUnbalanced = false;
    mBadArgument = false;
    mModuleStarted = now();
}

void VirtualBrick::endModule(bool isSub)
{
    requireOn();
    if (!mCollecting)
        raiseError(Err::InvalidCall);
    mCollecting = false;
    const Module module = mModule;
    const bool balanced = !mUnbalanced && mBlocks.isEmpty() && isSub == mCollectingSub;
    const Long error = !balanced ? UnbalancedBlocks : mBadArgument ? BadArgument : 0;
    mBlocks.clear();
    if (error == 0)
        mPrograms[mSlot].insert(module.number, module);
    const Long size = Long(module.operations.size());
    const Long time = Long(qMax<qint64>(0, now() - mModuleStarted));
    if (mSink)
        mSink->PB_DownloadStart(time, size, module.number);
    if (mPaceMs > 0 && mWait && size > 0) {
        const int pace = qMax(1, qMin(mPaceMs, int(1500 / size)));
        for (Long done = 1; done <= size; ++done) {
            mWait(pace);
            if (mSink)
                mSink->PB_DownloadProgress(done);
        }
    } else if (mSink) {
        mSink->PB_DownloadProgress(size);
    }
    if (mSink)
        mSink->PB_DownloadDone(error, module.number);
}

void VirtualBrick::BeginOfTask(Integer& task)
{
    requireOn();
    beginModule(task, false);
    argument(inRange(task, 0, 9));
}

void VirtualBrick::BeginOfSub(Integer& sub)
{
    requireOn();
    beginModule(10 + sub, true);
    argument(inRange(sub, 1, 8));
}

void VirtualBrick::EndOfTask()
{
    endModule(false);
}

void VirtualBrick::EndOfSub()
{
    endModule(true);
}

void VirtualBrick::Loop(Long source, Integer count)
{
    openBlock(CallText(QStringLiteral("Loop")).lng(source).integer(count).str(), Block::Loop);
}

void VirtualBrick::EndLoop()
{
    closeBlock(QStringLiteral("EndLoop()"), Block::Loop);
}

void VirtualBrick::While(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    openBlock(CallText(QStringLiteral("While")).lng(source1).integer(value1).integer(op).lng(source2).integer(value2).str(),
              Block::While);
}

void VirtualBrick::EndWhile()
{
    closeBlock(QStringLiteral("EndWhile()"), Block::While);
}

void VirtualBrick::If(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    openBlock(CallText(QStringLiteral("If")).lng(source1).integer(value1).integer(op).lng(source2).integer(value2).str(),
              Block::If);
}

void VirtualBrick::Else()
{
    requireOn();
    if (!mCollecting)
        raiseError(Err::InvalidCall);
    collected(QStringLiteral("Else()"));
    if (!mBlocks.isEmpty() && mBlocks.last() == Block::If)
        mBlocks.last() = Block::IfElse;
    else
        mUnbalanced = true;
}

void VirtualBrick::EndIf()
{
    closeBlock(QStringLiteral("EndIf()"), Block::If);
}

// --- Programs ---

void VirtualBrick::SelectPrgm(Integer& slot)
{
    requireOn();
    requireIndex(slot, SlotCount);
    mCollecting = false;  // a module left open is dropped
    mSlot = slot;
}

void VirtualBrick::GoSub(Integer& sub)
{
    requireOn();
    argument(inRange(sub, 1, 8));
    collected(CallText(QStringLiteral("GoSub")).ref(sub).str());
}

void VirtualBrick::StartTask(Integer& task)
{
    requireOn();
    argument(inRange(task, 0, 9));
    if (!collected(CallText(QStringLiteral("StartTask")).ref(task).str()))
        mRunning.insert(task);
}

void VirtualBrick::StopTask(Integer& task)
{
    requireOn();
    argument(inRange(task, 0, 9));
    if (!collected(CallText(QStringLiteral("StopTask")).ref(task).str()))
        mRunning.remove(task);
}

void VirtualBrick::StopAllTasks()
{
    requireOn();
    if (!collected(QStringLiteral("StopAllTasks()")))
        mRunning.clear();
}

// --- Outputs ---

bool VirtualBrick::motorPorts(const QString& motors, QList<int>& ports)
{
    for (QChar c : motors) {
        if (c < QLatin1Char('0') || c > QLatin1Char('2'))
            return false;
        if (!ports.contains(c.unicode() - '0'))
            ports.append(c.unicode() - '0');
    }
    return true;
}

bool VirtualBrick::motorOperation(const QString& name, const QString& motors,
                                  const std::function<void(Output&)>& change)
{
    requireOn();
    QList<int> ports;
    const bool ok = refusal(motorPorts(motors, ports));
    if (collected(CallText(name).text(motors).str()) || !ok)
        return ok;
    for (int p : ports)
        change(mOutputs[p]);
    return true;
}

bool VirtualBrick::On(const QString& motors)
{
    return motorOperation(QStringLiteral("On"), motors, [](Output& o) { o.state = OutputOn; });
}

bool VirtualBrick::Off(const QString& motors)
{
    return motorOperation(QStringLiteral("Off"), motors, [](Output& o) { o.state = OutputOff; });
}

bool VirtualBrick::Float(const QString& motors)
{
    return motorOperation(QStringLiteral("Float"), motors, [](Output& o) { o.state = OutputFloat; });
}

bool VirtualBrick::SetFwd(const QString& motors)
{
    return motorOperation(QStringLiteral("SetFwd"), motors, [](Output& o) { o.forward = true; });
}

bool VirtualBrick::SetRwd(const QString& motors)
{
    return motorOperation(QStringLiteral("SetRwd"), motors, [](Output& o) { o.forward = false; });
}

bool VirtualBrick::AlterDir(const QString& motors)
{
    return motorOperation(QStringLiteral("AlterDir"), motors, [](Output& o) { o.forward = !o.forward; });
}

bool VirtualBrick::SetPower(const QString& motors, Long source, Integer value)
{
    requireOn();
    QList<int> ports;
    const bool ok = refusal(motorPorts(motors, ports));
    if (collected(CallText(QStringLiteral("SetPower")).text(motors).lng(source).integer(value).str()) || !ok)
        return ok;
    const Integer power = Integer(qBound(0, int(sourceValue(source, value)), 7));
    for (int p : ports)
        mOutputs[p].power = power;
    return true;
}

void VirtualBrick::Wait(Long source, Integer value)
{
    // Carried out at once, a wait has nothing to wait for: the brick runs no program.
    requireOn();
    collected(CallText(QStringLiteral("Wait")).lng(source).integer(value).str());
}

// --- Variables ---

void VirtualBrick::variableOperation(const QString& name, Integer variable, Long source, Integer value,
                                     const std::function<Integer(Integer, Integer)>& op)
{
    requireOn();
    argument(inRange(variable, 0, VariableCount - 1));
    if (collected(CallText(name).integer(variable).lng(source).integer(value).str()))
        return;
    const Integer operand = sourceValue(source, value);
    mVariables[variable] = op(mVariables[variable], operand);
}

void VirtualBrick::SetVar(Integer variable, Long source, Integer value)
{
    variableOperation(QStringLiteral("SetVar"), variable, source, value, [](Integer, Integer b) { return b; });
}

void VirtualBrick::SumVar(Integer variable, Long source, Integer value)
{
    variableOperation(QStringLiteral("SumVar"), variable, source, value,
                      [](Integer a, Integer b) { return wrap16(qint32(a) + b); });
}

void VirtualBrick::SubVar(Integer variable, Long source, Integer value)
{
    variableOperation(QStringLiteral("SubVar"), variable, source, value,
                      [](Integer a, Integer b) { return wrap16(qint32(a) - b); });
}

void VirtualBrick::MulVar(Integer variable, Long source, Integer value)
{
    variableOperation(QStringLiteral("MulVar"), variable, source, value,
                      [](Integer a, Integer b) { return wrap16(qint32(a) * b); });
}

void VirtualBrick::DivVar(Integer variable, Long source, Integer value)
{
    // Dividing by zero leaves the variable as it is.
    variableOperation(QStringLiteral("DivVar"), variable, source, value,
                      [](Integer a, Integer b) { return b == 0 ? a : wrap16(qint32(a) / b); });
}

void VirtualBrick::AndVar(Integer variable, Long source, Integer value)
{
    variableOperation(QStringLiteral("AndVar"), variable, source, value,
                      [](Integer a, Integer b) { return Integer(a & b); });
}

void VirtualBrick::OrVar(Integer variable, Long source, Integer value)
{
    variableOperation(QStringLiteral("OrVar"), variable, source, value,
                      [](Integer a, Integer b) { return Integer(a | b); });
}

void VirtualBrick::AbsVar(Integer variable, Long source, Integer value)
{
    variableOperation(QStringLiteral("AbsVar"), variable, source, value,
                      [](Integer, Integer b) { return wrap16(b < 0 ? -qint32(b) : b); });
}

void VirtualBrick::SgnVar(Integer variable, Long source, Integer value)
{
    variableOperation(QStringLiteral("SgnVar"), variable, source, value,
                      [](Integer, Integer b) { return Integer(b > 0 ? 1 : b < 0 ? -1 : 0); });
}

// --- Datalog and readings ---

void VirtualBrick::DatalogNext(Long source, Integer value)
{
    requireOn();
    argument(source == 0 || source == 1 || source == 9 || source == 14);
    if (collected(CallText(QStringLiteral("DatalogNext")).lng(source).integer(value).str()))
        return;
    addDatalogEntry(Integer(source), value, sourceValue(source, value));
}

bool VirtualBrick::SetDatalog(Integer size)
{
    requireOn();
    if (size < 0)
        return false;
    mDatalogSize = size;
    mDatalog.clear();
    return true;
}

QVector<DatalogEntry> VirtualBrick::GetDatalog(Integer from, Integer count)
{
    requireOn();
    if (from < 0 || count < 0)
        raiseError(Err::InvalidCall);
    // Entry 0 is the header, holding the datalog's size.
    QVector<DatalogEntry> reply;
    const int last = qMin(int(from) + int(count), int(mDatalog.size()) + 1);
    for (int i = from; i < last; ++i)
        reply.append(i == 0 ? DatalogEntry{DatalogHeaderSource, 0, mDatalogSize} : mDatalog[i - 1]);
    return reply;
}

QVector<Long> VirtualBrick::GetMemMap()
{
    requireOn();
    QVector<Long> map(MemMapSize, 0);
    map[91] = DatalogStartAddress;
    map[92] = DatalogStartAddress + 3 * (Long(mDatalog.size()) + 1);  // three bytes an entry, header first
    return map;
}

Integer VirtualBrick::PBBattery()
{
    requireOn();
    return mBattery;
}

Integer VirtualBrick::Poll(Long source, Integer& number)
{
    requireOn();
    return sourceValue(source, number);
}

// --- Brick settings and immediate operations ---

void VirtualBrick::ClearPBMessage()
{
    requireOn();
    if (!collected(QStringLiteral("ClearPBMessage()")))
        mMessage = 0;
}

void VirtualBrick::ClearTimer(Integer timer)
{
    requireOn();
    argument(inRange(timer, 0, TimerCount - 1));
    if (!collected(CallText(QStringLiteral("ClearTimer")).integer(timer).str()))
        mTimerCleared[timer] = now();
}

void VirtualBrick::ClearSensorValue(Integer sensor)
{
    requireOn();
    argument(inRange(sensor, 0, SensorCount - 1));
    if (!collected(CallText(QStringLiteral("ClearSensorValue")).integer(sensor).str()))
        mSensors[sensor].value = 0;
}

bool VirtualBrick::PBPowerDownTime(Integer minutes)
{
    requireOn();
    if (minutes < 0 || minutes > 255)
        return false;
    mPowerDown = minutes;
    return true;
}

bool VirtualBrick::PBTurnOff()
{
    requireOn();
    if (!collected(QStringLiteral("PBTurnOff()")))
        mOn = false;
    return true;
}

bool VirtualBrick::PBTxPower(Integer power)
{
    requireOn();
    const bool ok = refusal(power == 0 || power == 1);
    if (!collected(CallText(QStringLiteral("PBTxPower")).integer(power).str()) && ok)
        mTxPower = power;
    return ok;
}

bool VirtualBrick::PlaySystemSound(Integer sound)
{
    requireOn();
    const bool ok = refusal(inRange(sound, 0, 5));
    collected(CallText(QStringLiteral("PlaySystemSound")).integer(sound).str());
    return ok;
}

bool VirtualBrick::PlayTone(Integer frequency, Integer duration)
{
    requireOn();
    const bool ok = refusal(frequency > 0 && duration >= 0);
    collected(CallText(QStringLiteral("PlayTone")).integer(frequency).integer(duration).str());
    return ok;
}

bool VirtualBrick::SelectDisplay(Long source, Integer value)
{
    requireOn();
    if (collected(CallText(QStringLiteral("SelectDisplay")).lng(source).integer(value).str()))
        return true;
    mDisplaySource = source;
    mDisplayValue = value;
    return true;
}

void VirtualBrick::SendPBMessage(Long source, Integer value)
{
    requireOn();
    if (!collected(CallText(QStringLiteral("SendPBMessage")).lng(source).integer(value).str()))
        mSentMessage = sourceValue(source, value);
}

void VirtualBrick::SetWatch(Integer hours, Integer minutes)
{
    requireOn();
    argument(inRange(hours, 0, 23) && inRange(minutes, 0, 59));
    if (collected(CallText(QStringLiteral("SetWatch")).integer(hours).integer(minutes).str()))
        return;
    mWatchSet = Integer(hours * 60 + minutes);
    mWatchSetAt = now();
}

void VirtualBrick::SetSensorMode(Integer sensor, Integer mode, Integer slope)
{
    requireOn();
    argument(inRange(sensor, 0, SensorCount - 1) && inRange(mode, 0, 7) && inRange(slope, 0, 31));
    if (collected(CallText(QStringLiteral("SetSensorMode")).integer(sensor).integer(mode).integer(slope).str()))
        return;
    mSensors[sensor].mode = mode;
    mSensors[sensor].slope = slope;
}

void VirtualBrick::SetSensorType(Integer sensor, Integer type)
{
    requireOn();
    argument(inRange(sensor, 0, SensorCount - 1) && inRange(type, 0, 4));
    if (!collected(CallText(QStringLiteral("SetSensorType")).integer(sensor).integer(type).str()))
        mSensors[sensor].type = type;
}

bool VirtualBrick::DownloadFirmware(const QString& fullPath)
{
    requireOn();
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const Long size = Long(qMin<qint64>(file.size(), 0x7fffffff));
    file.close();
    mCollecting = false;
    mFirmware = QFileInfo(fullPath).completeBaseName();

    // The download goes on after this call has returned, as the caller
    // expects: the events come from the event loop.
    auto raise = [this, size] {
        if (mSink)
            mSink->PB_DownloadStart(0, size, FirmwareModule);
        if (mSink)
            mSink->PB_DownloadProgress(size);
        if (mSink)
            mSink->PB_DownloadDone(0, FirmwareModule);
    };
    if (QCoreApplication::instance())
        QTimer::singleShot(0, &mEventContext, raise);
    else
        raise();
    return true;
}

QString VirtualBrick::FirmwareVersion()
{
    requireOn();
    return mFirmware;
}
