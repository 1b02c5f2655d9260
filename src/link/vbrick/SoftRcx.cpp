#include "link/vbrick/SoftRcx.h"

#include "link/protocol/RcxPacket.h"

#include <iterator>

using namespace rcx;

namespace vbrick {

namespace {

std::uint8_t u8(const QByteArray& b, int i) { return i < b.size() ? std::uint8_t(b[i]) : 0; }
int s16(const QByteArray& b, int i) { return i + 1 < b.size() ? shortAt(b, i) : 0; }
QByteArray bigShort(int v)
{
    QByteArray out;
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
    return out;
}
QByteArray littleShort(int v)
{
    QByteArray out;
    putShort(out, v);
    return out;
}
std::int16_t wrap(qint32 v) { return std::int16_t(std::uint16_t(quint32(v))); }
// A one-byte reply: the answer of a download or datalog operation.
QByteArray status(std::uint8_t answer) { return QByteArray(1, char(answer)); }

constexpr int MemoryBase = FirmwareEntry + FirmwareImageBytes;  // program memory above the firmware
constexpr int StepsPerAdvance = 2000;
// The random source's linear congruential sequence.
constexpr quint32 RandomMultiplier = 1103515245u;
constexpr quint32 RandomIncrement = 12345u;
const char UnlockText[] = "Virtual brick, unlocked.";  // 24 characters and a NUL: 25 bytes

// The versions the brick reports: its ROM's, and the firmware's while it has one.
struct Version {
    int major = 0;
    int minor = 0;
};
constexpr Version RomVersion{3, 1};
constexpr Version FirmwareVersion{3, 9};

constexpr int MaxPower = 7;
constexpr int OutputForward = 0x08;  // the direction bit of an output's status
constexpr int HoursPerDay = 24;
constexpr int MinutesPerHour = 60;

// Answers of set datalog and datalog next.
constexpr std::uint8_t DatalogDone = 0;
constexpr std::uint8_t DatalogRefused = 1;  // no room for the size asked, or the datalog is full

// A sensor's mode byte: the kind in the top three bits, the slope below.
namespace Mode {
enum : std::uint8_t {
    Raw = 0x00, Boolean = 0x20, Transitions = 0x40, Periods = 0x60, Percent = 0x80, Celsius = 0xA0,
    Angle = 0xE0, KindMask = 0xE0,
};
}

}  // namespace

SoftRcx::SoftRcx() = default;

int SoftRcx::sourceValue(int source, int a)
{
    switch (source) {
    case Src::Variable: return a >= 0 && a < VariableCount ? mVariables[a] : 0;
    case Src::Timer: return a >= 0 && a < TimerCount ? timer(a) : 0;
    case Src::Constant: return std::int16_t(a);
    case Src::OutputStatus:
        if (a < 0 || a >= OutputCount)
            return 0;
        return mOutputs[a].mode | (mOutputs[a].forward ? OutputForward : 0) | (mOutputs[a].power & MaxPower);
    case Src::Random:
        mRandom = mRandom * RandomMultiplier + RandomIncrement;
        return a > 0 ? int((mRandom >> 16) % quint32(a + 1)) : 0;
    case Src::Program: return mSlot;
    case Src::SensorValue: return a >= 0 && a < SensorCount ? mSensors[a].value : 0;
    case Src::SensorType: return a >= 0 && a < SensorCount ? mSensors[a].type : 0;
    case Src::SensorMode: return a >= 0 && a < SensorCount ? mSensors[a].mode : 0;
    case Src::SensorRaw: return a >= 0 && a < SensorCount ? mSensors[a].raw : 0;
    case Src::SensorBoolean: return a >= 0 && a < SensorCount ? mSensors[a].boolean : 0;
    case Src::Watch: return int((mWatch + (mNow - mWatchSetAt) / 60000) % 1440);
    case Src::Message: return mMessage;
    default: return 0;
    }
}

int SoftRcx::usedBytes() const
{
    int used = 0;
    for (const Slot& s : mSlots) {
        for (const QByteArray& c : s.tasks)
            used += int(c.size());
        for (const QByteArray& c : s.subs)
            used += int(c.size());
    }
    return used + DatalogEntryBytes * (mLogSize + 1);
}

void SoftRcx::log(int source, int a)
{
    if (int(mLog.size()) >= mLogSize)
        return;
    std::uint8_t type = LogType::Watch;
    if (source == Src::Variable)
        type = std::uint8_t(LogType::FirstVariable + (a & 0x1F));
    else if (source == Src::Timer)
        type = std::uint8_t(LogType::FirstTimer + (a & 3));
    else if (source == Src::SensorValue)
        type = std::uint8_t(LogType::FirstSensor + qBound(0, a, 2));
    else if (source != Src::Watch)
        return;
    mLog.append({type, std::int16_t(sourceValue(source, a))});
}

void SoftRcx::start(int task)
{
    if (task < 0 || task >= TaskCount || mSlots[mSlot].tasks[task].isEmpty())
        return;
    Task& t = mTasks[task];
    t = Task{};
    t.running = true;
    t.code = &mSlots[mSlot].tasks[task];
    t.waitUntil = mNow;
}

QByteArray SoftRcx::apply(const QByteArray& in)
{
    using Family = std::optional<QByteArray> (SoftRcx::*)(std::uint8_t, const QByteArray&);
    static constexpr Family families[] = {
        &SoftRcx::applyQuery,  &SoftRcx::applyVariable, &SoftRcx::applyOutput,
        &SoftRcx::applyInput,  &SoftRcx::applyBrick,    &SoftRcx::applyProgram,
        &SoftRcx::applyDatalog, &SoftRcx::applyMessage, &SoftRcx::applyDownload,
    };
    const std::uint8_t op = baseOp(u8(in, 0));
    for (Family family : families)
        if (std::optional<QByteArray> reply = (this->*family)(op, in))
            return *reply;
    return {};
}

std::optional<QByteArray> SoftRcx::applyQuery(std::uint8_t op, const QByteArray& in)
{
    switch (op) {
    case Op::Alive: return QByteArray();
    case Op::Poll: return littleShort(sourceValue(u8(in, 1), u8(in, 2)));
    case Op::Battery: return littleShort(mBattery);
    case Op::Versions: {
        const Version firmware = mFirmware ? FirmwareVersion : Version{};
        return bigShort(RomVersion.major) + bigShort(RomVersion.minor) + bigShort(firmware.major) +
               bigShort(firmware.minor);
    }
    case Op::MemMap: return memoryMap();
    default: return std::nullopt;
    }
}

QByteArray SoftRcx::memoryMap() const
{
    QByteArray out;
    int at = MemoryBase;
    for (int s = 0; s < SlotCount; ++s)
        for (const QByteArray& c : mSlots[s].subs) {
            out += bigShort(at);
            at += int(c.size());
        }
    for (int s = 0; s < SlotCount; ++s)
        for (const QByteArray& c : mSlots[s].tasks) {
            out += bigShort(at);
            at += int(c.size());
        }
    out += bigShort(at);                                              // datalog's first address
    out += bigShort(at + DatalogEntryBytes * (int(mLog.size()) + 1));  // its next
    out += bigShort(at + DatalogEntryBytes * (mLogSize + 1));          // first free
    out += bigShort(MemoryBase + ProgramMemoryBytes - 1);
    return out;
}

std::optional<QByteArray> SoftRcx::applyVariable(std::uint8_t op, const QByteArray& in)
{
    int (*f)(int, int) = nullptr;
    switch (op) {
    case Op::SetVar: f = [](int, int b) { return b; }; break;
    case Op::AddVar: f = [](int a, int b) { return a + b; }; break;
    case Op::SubVar: f = [](int a, int b) { return a - b; }; break;
    case Op::MulVar: f = [](int a, int b) { return a * b; }; break;
    case Op::DivVar: f = [](int a, int b) { return b == 0 ? a : a / b; }; break;
    case Op::SgnVar: f = [](int, int b) { return b > 0 ? 1 : b < 0 ? -1 : 0; }; break;
    case Op::AbsVar: f = [](int, int b) { return b < 0 ? -b : b; }; break;
    case Op::AndVar: f = [](int a, int b) { return a & b; }; break;
    case Op::OrVar: f = [](int a, int b) { return a | b; }; break;
    default: return std::nullopt;
    }
    const int v = u8(in, 1);
    if (v < VariableCount)
        mVariables[v] = wrap(f(mVariables[v], sourceValue(u8(in, 2), s16(in, 3))));
    return QByteArray();
}

std::optional<QByteArray> SoftRcx::applyOutput(std::uint8_t op, const QByteArray& in)
{
    // The low bits of the first parameter choose the outputs; its high bits are the flags.
    const std::uint8_t flags = u8(in, 1);
    auto outputs = [&](auto change) {
        for (int i = 0; i < OutputCount; ++i)
            if (flags & (1 << i))
                change(mOutputs[i]);
    };
    switch (op) {
    case Op::OutputMode:
        outputs([&](Output& o) { o.mode = flags & (OutFlag::On | OutFlag::Off); });
        return QByteArray();
    case Op::OutputDir:
        outputs([&](Output& o) {
            if (flags & OutFlag::Forward)
                o.forward = true;
            else if (flags & OutFlag::Flip)
                o.forward = !o.forward;
            else
                o.forward = false;
        });
        return QByteArray();
    case Op::SetPower: {
        const int power = qBound(0, sourceValue(u8(in, 2), u8(in, 3)), MaxPower);
        outputs([&](Output& o) { o.power = power; });
        return QByteArray();
    }
    default: return std::nullopt;
    }
}

std::optional<QByteArray> SoftRcx::applyInput(std::uint8_t op, const QByteArray& in)
{
    const std::uint8_t index = u8(in, 1);
    switch (op) {
    case Op::ClearTimer:
        if (index < TimerCount)
            mTimerCleared[index] = mNow;
        return QByteArray();
    case Op::ClearSensor:
        if (index < SensorCount)
            mSensors[index].value = 0;
        return QByteArray();
    case Op::SensorType:
        if (index < SensorCount) {
            // A type brings its usual mode: none, touch, temperature, light, rotation.
            static constexpr std::uint8_t usualMode[] = {Mode::Raw, Mode::Boolean, Mode::Celsius, Mode::Percent,
                                                     Mode::Angle};
            constexpr int lastTyped = int(std::size(usualMode)) - 1;
            Sensor& s = mSensors[index];
            s.type = u8(in, 2);
            s.mode = usualMode[qMin<int>(s.type, lastTyped)];
        }
        return QByteArray();
    case Op::SensorMode:
        if (index < SensorCount) {
            // Counts and angles start again; a reading is the input's, read again at once.
            Sensor& s = mSensors[index];
            s.mode = u8(in, 2);
            const int kind = s.mode & Mode::KindMask;
            if (kind == Mode::Transitions || kind == Mode::Periods || kind == Mode::Angle)
                s.value = 0;
        }
        return QByteArray();
    default: return std::nullopt;
    }
}

std::optional<QByteArray> SoftRcx::applyBrick(std::uint8_t op, const QByteArray& in)
{
    switch (op) {
    case Op::SetWatch:
        mWatch = (u8(in, 1) % HoursPerDay) * MinutesPerHour + u8(in, 2) % MinutesPerHour;
        mWatchSetAt = mNow;
        return QByteArray();
    case Op::PlayTone: mSounds.append({mNow, -1, s16(in, 1), u8(in, 3)}); return QByteArray();
    case Op::PlaySound: mSounds.append({mNow, u8(in, 1), 0, 0}); return QByteArray();
    case Op::SetDisplay: mDisplay = sourceValue(u8(in, 1), s16(in, 2)); return QByteArray();
    case Op::TxRange: mRange = u8(in, 1); return QByteArray();
    case Op::PowerDown: mPowerDown = u8(in, 1); return QByteArray();
    case Op::PowerOff: mOn = false; return QByteArray();
    default: return std::nullopt;
    }
}

std::optional<QByteArray> SoftRcx::applyProgram(std::uint8_t op, const QByteArray& in)
{
    const std::uint8_t index = u8(in, 1);
    Slot& slot = mSlots[mSlot];
    switch (op) {
    case Op::SelectProgram:
        if (index < SlotCount)
            mSlot = index;
        return QByteArray();
    case Op::StartTask: start(index); return QByteArray();
    case Op::StopTask:
        if (index < TaskCount)
            mTasks[index].running = false;
        return QByteArray();
    case Op::StopAll:
        stopAll();
        return QByteArray();
    case Op::DeleteTask:
        if (index < TaskCount)
            slot.tasks[index].clear();
        return QByteArray();
    case Op::DeleteAllTasks:
        for (QByteArray& c : slot.tasks)
            c.clear();
        return QByteArray();
    case Op::DeleteSub:
        if (index < SubCount)
            slot.subs[index].clear();
        return QByteArray();
    case Op::DeleteAllSubs:
        for (QByteArray& c : slot.subs)
            c.clear();
        return QByteArray();
    default: return std::nullopt;
    }
}

std::optional<QByteArray> SoftRcx::applyDatalog(std::uint8_t op, const QByteArray& in)
{
    switch (op) {
    case Op::SetDatalog: {
        const int size = s16(in, 1);
        const int free = ProgramMemoryBytes - (usedBytes() - DatalogEntryBytes * (mLogSize + 1));
        if (size < 0 || DatalogEntryBytes * (size + 1) > free)
            return status(DatalogRefused);
        mLogSize = size;
        mLog.clear();
        return status(DatalogDone);
    }
    case Op::DatalogNext: {
        const bool full = int(mLog.size()) >= mLogSize;
        log(u8(in, 1), u8(in, 2));
        return status(full ? DatalogRefused : DatalogDone);
    }
    case Op::Upload: {
        QByteArray out;
        const int first = s16(in, 1);
        const int count = s16(in, 3);
        for (int i = first; i < first + count; ++i) {
            // Entry 0 holds the count of entries, itself included.
            LogEntry e;
            if (i == 0)
                e = {LogType::Size, std::int16_t(mLog.size() + 1)};
            else if (i - 1 < mLog.size())
                e = mLog[i - 1];
            out.append(char(e.type));
            out += littleShort(e.value);
        }
        return out;
    }
    default: return std::nullopt;
    }
}

std::optional<QByteArray> SoftRcx::applyMessage(std::uint8_t op, const QByteArray& in)
{
    switch (op) {
    case Op::SetMessage: mMessage = u8(in, 1); return QByteArray();
    case Op::SendMessage: mSentMessage = std::int16_t(sourceValue(u8(in, 1), u8(in, 2))); return QByteArray();
    case Op::ClearMessage: mMessage = 0; return QByteArray();
    default: return std::nullopt;
    }
}

std::optional<QByteArray> SoftRcx::applyDownload(std::uint8_t op, const QByteArray& in)
{
    switch (op) {
    case Op::BeginTask:
    case Op::BeginSub: return beginDownload(op == Op::BeginTask, in);
    case Op::DeleteFirmware:
        if (in.mid(1) == QByteArray(reinterpret_cast<const char*>(VersionKey), sizeof VersionKey)) {
            mFirmware = false;
            stopAll();
        }
        return QByteArray();
    case Op::BeginFirmware:
        mDownload = Download{Download::Firmware, 0, FirmwareImageBytes, 1, s16(in, 3) & 0xFFFF, {}};
        return status(Dl::Ok);
    case Op::Transfer: return transfer(in);
    case Op::Unlock:
        // The boot code answers whatever the key; only the right one starts the firmware.
        if (in.mid(1) == QByteArray(reinterpret_cast<const char*>(UnlockKey), sizeof UnlockKey))
            mFirmware = true;
        return QByteArray(UnlockText, sizeof UnlockText);
    default: return std::nullopt;
    }
}

QByteArray SoftRcx::beginDownload(bool task, const QByteArray& in)
{
    const int index = s16(in, 2);
    const int length = s16(in, 4);
    if (index < 0 || index >= (task ? TaskCount : SubCount))
        return status(Dl::BadIndex);
    const QByteArray& old = task ? mSlots[mSlot].tasks[index] : mSlots[mSlot].subs[index];
    if (length < 0 || usedBytes() - old.size() + length > ProgramMemoryBytes)
        return status(Dl::NoMemory);
    mDownload = Download{task ? Download::Task : Download::Sub, index, length, 1, 0, {}};
    return status(Dl::Ok);
}

// One block: sequence and length, the data, its checksum. Sequence 0 is the last block.
QByteArray SoftRcx::transfer(const QByteArray& in)
{
    constexpr int DataAt = 5;
    const int sequence = s16(in, 1);
    const int length = s16(in, 3);
    const QByteArray data = in.mid(DataAt, length);
    if (mDownload.kind == Download::None)
        return status(Dl::NotBegun);
    if (data.size() != length || checksum(data) != u8(in, DataAt + length))
        return status(Dl::BlockChecksum);
    if (sequence != 0 && sequence != mDownload.nextSequence)
        return status(Dl::BlockChecksum);
    mDownload.data += data;
    ++mDownload.nextSequence;
    if (sequence != 0)
        return status(Dl::Ok);
    const Download done = mDownload;
    mDownload = Download{};
    return finishDownload(done);
}

QByteArray SoftRcx::finishDownload(const Download& done)
{
    if (done.kind == Download::Firmware) {
        int sum = 0;
        for (int i = 0; i < qMin<int>(int(done.data.size()), FirmwareChecksumBytes); ++i)
            sum = (sum + std::uint8_t(done.data[i])) & 0xFFFF;
        return status(sum == done.checksum ? Dl::Ok : Dl::FirmwareChecksum);
    }
    if (done.data.size() != done.length)
        return status(Dl::BlockChecksum);
    if (done.kind == Download::Task)
        mSlots[mSlot].tasks[done.index] = done.data;
    else
        mSlots[mSlot].subs[done.index] = done.data;
    return status(Dl::Ok);
}

void SoftRcx::stopAll()
{
    for (Task& t : mTasks)
        t.running = false;
}

std::optional<QByteArray> SoftRcx::handle(const QByteArray& request)
{
    if (!mOn || request.isEmpty())
        return std::nullopt;
    // Without firmware the brick's boot code answers only what a firmware download needs.
    const std::uint8_t op = baseOp(u8(request, 0));
    if (!mFirmware && op != Op::Alive && op != Op::Versions && op != Op::DeleteFirmware &&
        op != Op::BeginFirmware && op != Op::Transfer && op != Op::Unlock && op != Op::Battery)
        return std::nullopt;
    const QByteArray body = apply(request);
    if (op == Op::SetMessage)
        return std::nullopt;
    return QByteArray(1, char(~std::uint8_t(request[0]))) + body;
}

void SoftRcx::advance(qint64 ms)
{
    // A wait that ends inside the interval resumes at its end, so events keep their times.
    const qint64 until = mNow + ms;
    while (true) {
        for (int i = 0; i < TaskCount; ++i)
            if (mTasks[i].running && mTasks[i].waitUntil <= mNow)
                run(i);
        qint64 next = until + 1;
        for (const Task& t : mTasks)
            if (t.running && t.waitUntil > mNow && t.waitUntil < next)
                next = t.waitUntil;
        if (next > until)
            break;
        mNow = next;
    }
    mNow = until;
}

void SoftRcx::jumpTo(Task& t, int offsetAt, int distance)
{
    t.pc = offsetAt + distance;
}

void SoftRcx::run(int index)
{
    Task& t = mTasks[index];
    for (int steps = 0; steps < StepsPerAdvance && t.running && t.waitUntil <= mNow; ++steps) {
        const QByteArray& code = *t.code;
        const int length = instructionLength(reinterpret_cast<const std::uint8_t*>(code.constData()) + t.pc,
                                             int(code.size()) - t.pc);
        if (t.pc < 0 || length == 0) {
            // The end of the code: a sub returns, a task ends.
            if (t.returnPc >= 0) {
                t.code = &mSlots[mSlot].tasks[index];
                t.pc = t.returnPc;
                t.returnPc = -1;
                continue;
            }
            t.running = false;
            break;
        }
        const QByteArray in = code.mid(t.pc, length);
        const int pc = t.pc;
        t.pc += length;
        switch (baseOp(u8(in, 0))) {
        case Op::Wait:
            t.waitUntil = mNow + 10 * qMax(0, sourceValue(u8(in, 1), s16(in, 2)));
            break;
        case Op::JumpNear: {
            const int d = u8(in, 1) & 0x7F;
            jumpTo(t, pc + 1, (u8(in, 1) & 0x80) ? -d : d);
            break;
        }
        case Op::JumpFar: {
            const int d = (u8(in, 1) & 0x7F) + 128 * u8(in, 2);
            jumpTo(t, pc + 1, (u8(in, 1) & 0x80) ? -d : d);
            break;
        }
        case Op::TestNear:
        case Op::TestFar: {
            const int rel = u8(in, 1) >> 6;
            const int a = sourceValue(u8(in, 1) & 0x3F, s16(in, 3));
            const int b = sourceValue(u8(in, 2), u8(in, 5));
            if (holds(rel, a, b))
                jumpTo(t, pc + 6, baseOp(u8(in, 0)) == Op::TestNear ? u8(in, 6) : s16(in, 6));
            break;
        }
        case Op::SetLoop:
            if (t.loops.size() < LoopDepth)
                t.loops.append(sourceValue(u8(in, 1), u8(in, 2)));
            break;
        case Op::DecLoopNear:
        case Op::DecLoopFar:
            if (!t.loops.isEmpty() && --t.loops.last() < 0) {
                t.loops.removeLast();
                jumpTo(t, pc + 1, baseOp(u8(in, 0)) == Op::DecLoopNear ? u8(in, 1) : s16(in, 1));
            }
            break;
        case Op::CallSub:
            if (t.returnPc < 0 && u8(in, 1) < SubCount && !mSlots[mSlot].subs[u8(in, 1)].isEmpty()) {
                t.returnPc = t.pc;
                t.code = &mSlots[mSlot].subs[u8(in, 1)];
                t.pc = 0;
            }
            break;
        case Op::Return:
            if (t.returnPc >= 0)
                t.pc = int(code.size());  // the end of the sub returns above
            break;
        default:
            apply(in);
            break;
        }
    }
}

}  // namespace vbrick
