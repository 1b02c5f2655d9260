#include "link/protocol/RcxLink.h"

#include "link/BrickHold.h"
#include "link/protocol/RcxPacket.h"
#include "link/protocol/RcxRequests.h"
#include "model/FirmwareImage.h"
#include "model/VbError.h"

#include <QTimer>

#include <algorithm>
#include <optional>
#include <utility>

using namespace rcx;

namespace {

constexpr Integer DatalogHeaderSource = 255;

// The answer to a begin download or a block: 0 when the brick took it, its
// error otherwise, or NoReply.
Long answerOf(const std::optional<QByteArray>& reply)
{
    if (!reply || reply->isEmpty())
        return RcxLink::NoReply;
    return std::uint8_t(reply->at(0));
}

// The arguments a source takes: the numbers of the variables, timers,
// outputs and sensors the brick has, a short for a constant or a random
// limit (0 up), a byte where the brick reads nothing; nullopt for a number
// that is no source.
std::optional<std::pair<int, int>> argumentsOf(Long source)
{
    switch (source) {
    case Src::Variable: return std::pair(0, VariableCount - 1);
    case Src::Timer: return std::pair(0, TimerCount - 1);
    case Src::Constant: return std::pair(-32768, 32767);
    case Src::OutputStatus: return std::pair(0, OutputCount - 1);
    case Src::Random: return std::pair(0, 32767);
    case Src::SensorValue:
    case Src::SensorType:
    case Src::SensorMode:
    case Src::SensorRaw:
    case Src::SensorBoolean: return std::pair(0, SensorCount - 1);
    case Src::Program:
    case Src::Watch:
    case Src::Message: return std::pair(0, 255);
    default: return std::nullopt;
    }
}

// What a reply carries; a reply too short to carry it is a brick that did not answer (68).
template <typename T>
T decoded(std::optional<T> value)
{
    if (!value)
        raiseError(Err::DeviceUnavailable);
    return *std::move(value);
}

}  // namespace

RcxLink::RcxLink(IRcxTransport& transport) : mTransport(transport) {}

RcxLink::~RcxLink() = default;

void RcxLink::requireFree() const
{
    if (mFirmware.running)
        raiseError(BrickBusyError, BrickBusyText(BrickWork::Firmware));
}

std::optional<QByteArray> RcxLink::ask(const QByteArray& request)
{
    requireFree();
    return mTransport.exchange(request);
}

QByteArray RcxLink::send(const QByteArray& request)
{
    requireFree();
    if (mCollecting) {
        mAssembler.add(request);
        return {};
    }
    const auto reply = ask(request);
    if (!reply)
        raiseError(Err::DeviceUnavailable);
    return *reply;
}

void RcxLink::refuse()
{
    if (mCollecting)
        mModuleRefused = true;
    raiseError(Err::InvalidCall);
}

void RcxLink::requireRange(int value, int low, int high)
{
    if (value < low || value > high)
        refuse();
}

void RcxLink::requireOperand(Long source, int value, std::initializer_list<int> allowed, int low, int high)
{
    if (allowed.size() != 0 && std::find(allowed.begin(), allowed.end(), source) == allowed.end())
        refuse();
    const auto arguments = argumentsOf(source);
    if (!arguments)
        refuse();
    requireRange(value, arguments->first, arguments->second);
    if (source == Src::Constant || source == Src::Random)
        requireRange(value, low, high);
}

std::uint8_t RcxLink::requireMotors(const QString& motors)
{
    const auto mask = motorMask(motors);
    if (!mask)
        refuse();
    return *mask;
}

// --- The tower checks ---

bool RcxLink::TowerCheck1() { return mTransport.open(); }
bool RcxLink::TowerCheck2()
{
    requireFree();
    return mTransport.wake();
}
// The tower, not its brick: a brick switched off or out of range is PBAlive's to tell.
bool RcxLink::TowerCheck3()
{
    requireFree();
    return mTransport.probe();
}
bool RcxLink::PBAlive() { return ask(req::alive()).has_value(); }

// --- Outputs ---

bool RcxLink::motor(const QString& motors, const std::function<QByteArray(std::uint8_t)>& request)
{
    send(request(requireMotors(motors)));
    return true;
}

bool RcxLink::On(const QString& motors)
{
    return motor(motors, [](std::uint8_t m) { return req::outputMode(m, OutFlag::On); });
}
bool RcxLink::Off(const QString& motors)
{
    return motor(motors, [](std::uint8_t m) { return req::outputMode(m, OutFlag::Off); });
}
bool RcxLink::Float(const QString& motors)
{
    return motor(motors, [](std::uint8_t m) { return req::outputMode(m, 0); });
}
bool RcxLink::SetFwd(const QString& motors)
{
    return motor(motors, [](std::uint8_t m) { return req::outputDirection(m, OutFlag::Forward); });
}
bool RcxLink::SetRwd(const QString& motors)
{
    return motor(motors, [](std::uint8_t m) { return req::outputDirection(m, 0); });
}
bool RcxLink::AlterDir(const QString& motors)
{
    return motor(motors, [](std::uint8_t m) { return req::outputDirection(m, OutFlag::Flip); });
}
bool RcxLink::SetPower(const QString& motors, Long source, Integer value)
{
    const std::uint8_t mask = requireMotors(motors);
    requireOperand(source, value, {Src::Variable, Src::Constant, Src::Random}, 0, 7);
    send(req::outputPower(mask, int(source), value));
    return true;
}

void RcxLink::Wait(Long source, Integer value)
{
    requireOperand(source, value, {Src::Variable, Src::Constant, Src::Random});
    // Outside a program a wait has nothing to hold up.
    if (mCollecting)
        mAssembler.add(req::wait(int(source), value));
}

// --- Variables ---

void RcxLink::variable(std::uint8_t op, Integer variable, Long source, Integer value)
{
    requireRange(variable, 0, VariableCount - 1);
    requireOperand(source, value);
    send(req::variable(op, variable, int(source), value));
}

void RcxLink::AbsVar(Integer v, Long s, Integer x) { variable(Op::AbsVar, v, s, x); }
void RcxLink::AndVar(Integer v, Long s, Integer x) { variable(Op::AndVar, v, s, x); }
void RcxLink::DivVar(Integer v, Long s, Integer x) { variable(Op::DivVar, v, s, x); }
void RcxLink::MulVar(Integer v, Long s, Integer x) { variable(Op::MulVar, v, s, x); }
void RcxLink::OrVar(Integer v, Long s, Integer x) { variable(Op::OrVar, v, s, x); }
void RcxLink::SetVar(Integer v, Long s, Integer x) { variable(Op::SetVar, v, s, x); }
void RcxLink::SgnVar(Integer v, Long s, Integer x) { variable(Op::SgnVar, v, s, x); }
void RcxLink::SubVar(Integer v, Long s, Integer x) { variable(Op::SubVar, v, s, x); }
void RcxLink::SumVar(Integer v, Long s, Integer x) { variable(Op::AddVar, v, s, x); }

// --- Datalog and readings ---

void RcxLink::DatalogNext(Long source, Integer value)
{
    requireOperand(source, value, {Src::Variable, Src::Timer, Src::SensorValue, Src::Watch});
    send(req::datalogNext(int(source), value));
}

bool RcxLink::SetDatalog(Integer size)
{
    const QByteArray reply = send(req::setDatalog(size));
    return mCollecting || (!reply.isEmpty() && reply[0] == 0);
}

QVector<DatalogEntry> RcxLink::GetDatalog(Integer from, Integer count)
{
    // Entries are counted in shorts.
    if (from < 0 || count < 0 || int(from) + int(count) > 32768)
        refuse();
    QVector<DatalogEntry> entries;
    for (int first = from; first < from + count;) {
        const int n = qMin(UploadEntriesPerRequest, from + count - first);
        for (const auto& e : decoded(reply::upload(send(req::upload(first, n)), n))) {
            DatalogEntry d;
            d.value = e.value;
            if (e.type == LogType::Size) {
                d.source = DatalogHeaderSource;
            } else if (e.type < LogType::FirstTimer) {
                d.source = Src::Variable;
                d.number = e.type;
            } else if (e.type < LogType::FirstSensor) {
                d.source = Src::Timer;
                d.number = Integer(e.type - LogType::FirstTimer);
            } else if (e.type < LogType::Watch) {
                d.source = Src::SensorValue;
                d.number = Integer(e.type - LogType::FirstSensor);
            } else {
                d.source = Src::Watch;
            }
            entries.append(d);
        }
        first += n;
    }
    return entries;
}

QVector<Long> RcxLink::GetMemMap()
{
    const QVector<int> words = decoded(reply::memoryMap(send(req::memoryMap())));
    // Counted from 1, as the callers read it: 91 the datalog's first address, 92 its next.
    QVector<Long> map(MemMapWords + 1, 0);
    for (int i = 0; i < MemMapWords; ++i)
        map[i + 1] = words[i];
    return map;
}

Integer RcxLink::PBBattery()
{
    return Integer(decoded(reply::shortValue(send(req::battery()))));
}

Integer RcxLink::Poll(Long source, Integer& number)
{
    // Source and argument go as bytes; the brick answers 0 for a number it does not have.
    requireRange(source, 0, 255);
    requireRange(number, 0, 255);
    return Integer(decoded(reply::shortValue(send(req::poll(int(source), number)))));
}

// --- Settings and immediate operations ---

void RcxLink::ClearPBMessage() { send(req::clearMessage()); }
void RcxLink::ClearTimer(Integer timer)
{
    requireRange(timer, 0, TimerCount - 1);
    send(req::clearTimer(timer));
}
void RcxLink::ClearSensorValue(Integer sensor)
{
    requireRange(sensor, 0, SensorCount - 1);
    send(req::clearSensor(sensor));
}
bool RcxLink::PBPowerDownTime(Integer minutes)
{
    requireRange(minutes, 0, 255);
    send(req::powerDownTime(minutes));
    return true;
}
bool RcxLink::PBTurnOff()
{
    send(req::powerOff());
    return true;
}
bool RcxLink::PBTxPower(Integer power)
{
    requireRange(power, 0, 1);
    send(req::transmitterRange(power));
    return true;
}
bool RcxLink::PlaySystemSound(Integer sound)
{
    requireRange(sound, 0, 5);
    send(req::playSound(sound));
    return true;
}
bool RcxLink::PlayTone(Integer frequency, Integer duration)
{
    requireRange(frequency, 0, 32767);
    requireRange(duration, 0, 255);
    send(req::playTone(frequency, duration));
    return true;
}
bool RcxLink::SelectDisplay(Long source, Integer value)
{
    // 0 the watch, 1 to 3 the sensors, 4 to 6 the outputs.
    requireOperand(source, value, {Src::Variable, Src::Constant}, 0, 6);
    send(req::setDisplay(int(source), value));
    return true;
}
void RcxLink::SendPBMessage(Long source, Integer value)
{
    requireOperand(source, value, {Src::Variable, Src::Constant}, 0, 255);
    send(req::sendMessage(int(source), value));
}
void RcxLink::SetWatch(Integer hours, Integer minutes)
{
    requireRange(hours, 0, 23);
    requireRange(minutes, 0, 59);
    send(req::setWatch(hours, minutes));
}
void RcxLink::SetSensorMode(Integer sensor, Integer mode, Integer slope)
{
    requireRange(sensor, 0, SensorCount - 1);
    requireRange(mode, 0, 7);
    requireRange(slope, 0, 31);
    send(req::sensorMode(sensor, mode, slope));
}
void RcxLink::SetSensorType(Integer sensor, Integer type)
{
    requireRange(sensor, 0, SensorCount - 1);
    requireRange(type, 0, 4);
    send(req::sensorType(sensor, type));
}

QString RcxLink::FirmwareVersion()
{
    const reply::Versions v = decoded(reply::versions(send(req::versions())));
    return QStringLiteral("%1.%2").arg(v.firmwareMajor).arg(v.firmwareMinor, 2, 10, QLatin1Char('0'));
}

// --- Programs ---

void RcxLink::SelectPrgm(Integer& slot)
{
    requireRange(slot, 0, SlotCount - 1);
    requireFree();
    mCollecting = false;
    mTransferFailed = false;
    mModuleRefused = false;
    send(req::selectProgram(slot));
    mClearBeforeModule = true;
}

void RcxLink::GoSub(Integer& sub)
{
    requireRange(sub, 1, SubCount);
    send(req::callSub(sub - 1));
}

void RcxLink::StartTask(Integer& task)
{
    requireRange(task, 0, TaskCount - 1);
    send(req::startTask(task));
}

void RcxLink::StopTask(Integer& task)
{
    requireRange(task, 0, TaskCount - 1);
    send(req::stopTask(task));
}

void RcxLink::StopAllTasks() { send(req::stopAll()); }

void RcxLink::beginModule(Long number, bool sub)
{
    requireFree();
    mCollecting = false;
    if (mClearBeforeModule) {
        send(req::stopAll());
        send(req::deleteAllTasks());
        send(req::deleteAllSubs());
        mClearBeforeModule = false;
    }
    mAssembler.clear();
    mModuleRefused = false;
    mModule = number;
    mCollectingSub = sub;
    mCollecting = true;
}

void RcxLink::BeginOfTask(Integer& task)
{
    requireRange(task, 0, TaskCount - 1);
    beginModule(task, false);
}

void RcxLink::BeginOfSub(Integer& sub)
{
    requireRange(sub, 1, SubCount);
    beginModule(10 + sub, true);
}

Long RcxLink::transfer(const QByteArray& begin, const QByteArray& code, int blockBytes, Long module)
{
    qint64 wire = framedSize(begin.size());
    for (int at = 0; at < code.size(); at += blockBytes)
        wire += framedSize(5 + qMin<qsizetype>(blockBytes, code.size() - at) + 1);
    if (mSink)
        mSink->PB_DownloadStart(wireMs(wire), Long(code.size()), module);
    if (const Long error = answerOf(ask(begin)))
        return error;
    int sequence = 1;
    for (int at = 0; at < code.size(); at += blockBytes, ++sequence) {
        const bool last = at + blockBytes >= code.size();
        if (const Long error = answerOf(ask(req::transfer(last ? 0 : sequence, code.mid(at, blockBytes)))))
            return error;
        if (mSink)
            mSink->PB_DownloadProgress(Long(qMin<qsizetype>(at + blockBytes, code.size())));
    }
    return 0;
}

void RcxLink::endModule(bool sub)
{
    if (!mCollecting)
        raiseError(Err::InvalidCall);
    requireFree();
    mCollecting = false;
    Long error = 0;
    if (sub != mCollectingSub || mAssembler.fault() == Assembler::Fault::Unbalanced)
        error = UnbalancedBlocks;
    else if (mAssembler.fault() == Assembler::Fault::TooDeep)
        error = TooDeep;
    const QByteArray code = mAssembler.code();
    mAssembler.clear();
    if (error == 0 && code.size() > 0xFFFF)
        error = TooLong;
    // A module with a refused operation is not what its caller meant to send;
    // the caller has the failure to report.
    if (mModuleRefused) {
        mModuleRefused = false;
        mTransferFailed = true;
    }
    // After a module that failed on the way, the rest of the download is
    // dropped: the failure has been reported once.
    if (mTransferFailed)
        return;
    if (error == 0) {
        const QByteArray begin =
            sub ? req::beginSub(int(mModule) - 11, int(code.size())) : req::beginTask(int(mModule), int(code.size()));
        error = transfer(begin, code, ProgramBlockBytes, mModule);
        mTransferFailed = error != 0;
    } else if (mSink) {
        mSink->PB_DownloadStart(0, Long(code.size()), mModule);
    }
    if (mSink)
        mSink->PB_DownloadDone(error, mModule);
}

void RcxLink::EndOfTask() { endModule(false); }
void RcxLink::EndOfSub() { endModule(true); }

void RcxLink::dropModule()
{
    mCollecting = false;
    mModuleRefused = false;
    mAssembler.clear();
}

rcx::Assembler& RcxLink::program()
{
    if (!mCollecting)
        refuse();
    return mAssembler;
}

void RcxLink::Loop(Long source, Integer count)
{
    program();
    // A constant count of any size goes through a variable; a random limit
    // goes as the counter's byte.
    requireOperand(source, count, {Src::Variable, Src::Constant, Src::Random});
    if (source == Src::Random)
        requireRange(count, 0, 255);
    program().Loop(int(source), count);
}
void RcxLink::EndLoop() { program().EndLoop(); }
void RcxLink::requireCondition(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    program();
    requireRange(op, 0, 3);
    requireOperand(source1, value1);
    requireOperand(source2, value2);
}

void RcxLink::While(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    requireCondition(source1, value1, op, source2, value2);
    program().While(int(source1), value1, op, int(source2), value2);
}
void RcxLink::EndWhile() { program().EndWhile(); }
void RcxLink::If(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    requireCondition(source1, value1, op, source2, value2);
    program().If(int(source1), value1, op, int(source2), value2);
}
void RcxLink::Else() { program().Else(); }
void RcxLink::EndIf() { program().EndIf(); }

// --- Firmware ---

bool RcxLink::DownloadFirmware(const QString& fullPath)
{
    requireFree();
    const FirmwareImage file = FirmwareImage::ReadFile(fullPath);
    if (!file.isValid() || file.image().isEmpty())
        return false;
    if (!PBAlive())
        return false;
    if (!ask(req::deleteFirmware()))
        return false;
    if (answerOf(ask(req::beginFirmware(file.checksum()))) != Dl::Ok)
        return false;
    mFirmware = Firmware{true, file.image(), file.checksum(), 0, 1};
    QTimer::singleShot(0, &mTimerContext, [this] { firmwareStep(); });
    return true;
}

void RcxLink::firmwareDone(Long error)
{
    mFirmware.running = false;
    mFirmware.image.clear();
    if (mSink)
        mSink->PB_DownloadDone(error, FirmwareModule);
}

void RcxLink::firmwareStep()
{
    if (!mFirmware.running)
        return;
    const QByteArray& image = mFirmware.image;
    if (mFirmware.sent == 0 && mSink) {
        const int blocks = int((image.size() + FirmwareBlockBytes - 1) / FirmwareBlockBytes);
        mSink->PB_DownloadStart(wireMs(qint64(blocks) * framedSize(FirmwareBlockBytes + 6)), Long(image.size()),
                                FirmwareModule);
    }
    const bool last = mFirmware.sent + FirmwareBlockBytes >= image.size();
    if (const Long error = answerOf(mTransport.exchange(
            req::transfer(last ? 0 : mFirmware.sequence, image.mid(mFirmware.sent, FirmwareBlockBytes))))) {
        firmwareDone(error);
        return;
    }
    mFirmware.sent = int(qMin<qsizetype>(mFirmware.sent + FirmwareBlockBytes, image.size()));
    ++mFirmware.sequence;
    if (mSink)
        mSink->PB_DownloadProgress(mFirmware.sent);
    if (!last) {
        QTimer::singleShot(0, &mTimerContext, [this] { firmwareStep(); });
        return;
    }
    firmwareDone(firmwareCheck());
}

Long RcxLink::firmwareCheck()
{
    if (!mTransport.exchange(req::unlockFirmware()))
        return NoReply;
    const auto body = mTransport.exchange(req::versions());
    if (!body)
        return NoReply;
    const auto v = reply::versions(*body);
    if (!v)
        return NoReply;
    return v->firmwareMajor == 0 && v->firmwareMinor == 0 ? NoFirmware : 0;
}
