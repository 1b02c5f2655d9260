#include "link/vbrick/SoftRcx.h"

#include "link/protocol/RcxPacket.h"

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

constexpr int MemoryBase = 0x8000 + FirmwareImageBytes;  // program memory above the firmware
constexpr int StepsPerAdvance = 2000;
const char UnlockText[] = "Virtual brick, unlocked.";  // 24 characters and a NUL: 25 bytes

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
        return mOutputs[a].mode | (mOutputs[a].forward ? 0x08 : 0) | (mOutputs[a].power & 7);
    case Src::Random:
        mRandom = mRandom * 1103515245u + 12345u;
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
    const std::uint8_t op = u8(in, 0) & 0xF7;
    auto outputs = [&](auto change) {
        for (int i = 0; i < OutputCount; ++i)
            if (u8(in, 1) & (1 << i))
                change(mOutputs[i]);
    };
    auto var = [&](auto f) {
        const int v = u8(in, 1);
        if (v < VariableCount)
            mVariables[v] = wrap(f(mVariables[v], sourceValue(u8(in, 2), s16(in, 3))));
    };
    switch (op) {
    case Op::Alive: return {};
    case Op::Poll: return littleShort(sourceValue(u8(in, 1), u8(in, 2)));
    case Op::Battery: return littleShort(mBattery);
    case Op::Versions:
        return bigShort(3) + bigShort(1) + bigShort(mFirmware ? 3 : 0) + bigShort(mFirmware ? 9 : 0);
    case Op::MemMap: {
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
    case Op::SetVar: var([](int, int b) { return b; }); return {};
    case Op::AddVar: var([](int a, int b) { return a + b; }); return {};
    case Op::SubVar: var([](int a, int b) { return a - b; }); return {};
    case Op::MulVar: var([](int a, int b) { return a * b; }); return {};
    case Op::DivVar: var([](int a, int b) { return b == 0 ? a : a / b; }); return {};
    case Op::SgnVar: var([](int, int b) { return b > 0 ? 1 : b < 0 ? -1 : 0; }); return {};
    case Op::AbsVar: var([](int, int b) { return b < 0 ? -b : b; }); return {};
    case Op::AndVar: var([](int a, int b) { return a & b; }); return {};
    case Op::OrVar: var([](int a, int b) { return a | b; }); return {};
    case Op::OutputMode:
        outputs([&](Output& o) { o.mode = u8(in, 1) & 0xC0; });
        return {};
    case Op::OutputDir:
        outputs([&](Output& o) {
            if (u8(in, 1) & OutFlag::Forward)
                o.forward = true;
            else if (u8(in, 1) & OutFlag::Flip)
                o.forward = !o.forward;
            else
                o.forward = false;
        });
        return {};
    case Op::SetPower: {
        const int power = qBound(0, sourceValue(u8(in, 2), u8(in, 3)), 7);
        outputs([&](Output& o) { o.power = power; });
        return {};
    }
    case Op::SetWatch:
        mWatch = (u8(in, 1) % 24) * 60 + u8(in, 2) % 60;
        mWatchSetAt = mNow;
        return {};
    case Op::PlayTone: mSounds.append({mNow, -1, s16(in, 1), u8(in, 3)}); return {};
    case Op::PlaySound: mSounds.append({mNow, u8(in, 1), 0, 0}); return {};
    case Op::SetDisplay: mDisplay = sourceValue(u8(in, 1), s16(in, 2)); return {};
    case Op::TxRange: mRange = u8(in, 1); return {};
    case Op::PowerDown: mPowerDown = u8(in, 1); return {};
    case Op::PowerOff: mOn = false; return {};
    case Op::ClearTimer:
        if (u8(in, 1) < TimerCount)
            mTimerCleared[u8(in, 1)] = mNow;
        return {};
    case Op::ClearSensor:
        if (u8(in, 1) < SensorCount)
            mSensors[u8(in, 1)].value = 0;
        return {};
    case Op::SensorType:
        if (u8(in, 1) < SensorCount) {
            static const std::uint8_t usualMode[] = {0x00, 0x20, 0xA0, 0x80, 0xE0};
            Sensor& s = mSensors[u8(in, 1)];
            s.type = u8(in, 2);
            s.mode = usualMode[qMin<int>(s.type, 4)];
        }
        return {};
    case Op::SensorMode:
        if (u8(in, 1) < SensorCount) {
            // Counts and angles start again; a reading is the input's, read again at once.
            Sensor& s = mSensors[u8(in, 1)];
            s.mode = u8(in, 2);
            const int kind = s.mode & 0xE0;
            if (kind == 0x40 || kind == 0x60 || kind == 0xE0)
                s.value = 0;
        }
        return {};
    case Op::SelectProgram:
        if (u8(in, 1) < SlotCount)
            mSlot = u8(in, 1);
        return {};
    case Op::StartTask: start(u8(in, 1)); return {};
    case Op::StopTask:
        if (u8(in, 1) < TaskCount)
            mTasks[u8(in, 1)].running = false;
        return {};
    case Op::StopAll:
        for (Task& t : mTasks)
            t.running = false;
        return {};
    case Op::DeleteTask:
        if (u8(in, 1) < TaskCount)
            mSlots[mSlot].tasks[u8(in, 1)].clear();
        return {};
    case Op::DeleteAllTasks:
        for (QByteArray& c : mSlots[mSlot].tasks)
            c.clear();
        return {};
    case Op::DeleteSub:
        if (u8(in, 1) < SubCount)
            mSlots[mSlot].subs[u8(in, 1)].clear();
        return {};
    case Op::DeleteAllSubs:
        for (QByteArray& c : mSlots[mSlot].subs)
            c.clear();
        return {};
    case Op::SetDatalog: {
        const int size = s16(in, 1);
        const int free = ProgramMemoryBytes - (usedBytes() - DatalogEntryBytes * (mLogSize + 1));
        if (size < 0 || DatalogEntryBytes * (size + 1) > free)
            return QByteArray(1, char(1));
        mLogSize = size;
        mLog.clear();
        return QByteArray(1, char(0));
    }
    case Op::DatalogNext: {
        const bool full = int(mLog.size()) >= mLogSize;
        log(u8(in, 1), u8(in, 2));
        return QByteArray(1, char(full ? 1 : 0));
    }
    case Op::Upload: {
        QByteArray out;
        const int first = s16(in, 1);
        const int count = s16(in, 3);
        for (int i = first; i < first + count; ++i) {
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
    case Op::SetMessage: mMessage = u8(in, 1); return {};
    case Op::SendMessage: mSentMessage = std::int16_t(sourceValue(u8(in, 1), u8(in, 2))); return {};
    case Op::ClearMessage: mMessage = 0; return {};
    case Op::BeginTask:
    case Op::BeginSub: {
        const bool task = op == Op::BeginTask;
        const int index = s16(in, 2);
        const int length = s16(in, 4);
        if (index < 0 || index >= (task ? TaskCount : SubCount))
            return QByteArray(1, char(Dl::BadIndex));
        const QByteArray& old = task ? mSlots[mSlot].tasks[index] : mSlots[mSlot].subs[index];
        if (length < 0 || usedBytes() - old.size() + length > ProgramMemoryBytes)
            return QByteArray(1, char(Dl::NoMemory));
        mDownload = Download{task ? Download::Task : Download::Sub, index, length, 1, 0, {}};
        return QByteArray(1, char(Dl::Ok));
    }
    case Op::DeleteFirmware:
        if (in.mid(1) == QByteArray(reinterpret_cast<const char*>(VersionKey), 5)) {
            mFirmware = false;
            for (Task& t : mTasks)
                t.running = false;
        }
        return {};
    case Op::BeginFirmware:
        mDownload = Download{Download::Firmware, 0, FirmwareImageBytes, 1, s16(in, 3) & 0xFFFF, {}};
        return QByteArray(1, char(Dl::Ok));
    case Op::Transfer: {
        const int sequence = s16(in, 1);
        const int length = s16(in, 3);
        const QByteArray data = in.mid(5, length);
        if (mDownload.kind == Download::None)
            return QByteArray(1, char(Dl::NotBegun));
        if (data.size() != length || checksum(data) != u8(in, 5 + length))
            return QByteArray(1, char(Dl::BlockChecksum));
        if (sequence != 0 && sequence != mDownload.nextSequence)
            return QByteArray(1, char(Dl::BlockChecksum));
        mDownload.data += data;
        ++mDownload.nextSequence;
        if (sequence != 0)
            return QByteArray(1, char(Dl::Ok));
        const Download done = mDownload;
        mDownload = Download{};
        if (done.kind == Download::Firmware) {
            int sum = 0;
            for (int i = 0; i < qMin<int>(int(done.data.size()), FirmwareChecksumBytes); ++i)
                sum = (sum + std::uint8_t(done.data[i])) & 0xFFFF;
            return QByteArray(1, char(sum == done.checksum ? Dl::Ok : Dl::FirmwareChecksum));
        }
        if (done.data.size() != done.length)
            return QByteArray(1, char(Dl::BlockChecksum));
        if (done.kind == Download::Task)
            mSlots[mSlot].tasks[done.index] = done.data;
        else
            mSlots[mSlot].subs[done.index] = done.data;
        return QByteArray(1, char(Dl::Ok));
    }
    case Op::Unlock:
        mFirmware = true;
        return QByteArray(UnlockText, sizeof UnlockText);
    default: return {};
    }
}

std::optional<QByteArray> SoftRcx::handle(const QByteArray& request)
{
    if (!mOn || request.isEmpty())
        return std::nullopt;
    // Without firmware the brick's boot code answers only what a firmware download needs.
    const std::uint8_t op = u8(request, 0) & 0xF7;
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
        switch (u8(in, 0) & 0xF7) {
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
                jumpTo(t, pc + 6, (u8(in, 0) & 0xF7) == Op::TestNear ? u8(in, 6) : s16(in, 6));
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
                jumpTo(t, pc + 1, (u8(in, 0) & 0xF7) == Op::DecLoopNear ? u8(in, 1) : s16(in, 1));
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
