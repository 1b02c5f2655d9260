#include "link/protocol/RcxRequests.h"

#include "link/protocol/RcxPacket.h"

namespace rcx {

std::optional<std::uint8_t> motorMask(const QString& motors)
{
    std::uint8_t mask = 0;
    for (QChar c : motors) {
        if (c < QLatin1Char('0') || c > QLatin1Char('2'))
            return std::nullopt;
        mask |= std::uint8_t(1 << (c.unicode() - '0'));
    }
    return mask;
}

namespace req {

QByteArray alive() { return Bytes(Op::Alive); }
QByteArray poll(int source, int argument) { return Bytes(Op::Poll).byte(source).byte(argument); }
QByteArray battery() { return Bytes(Op::Battery); }
QByteArray versions()
{
    return Bytes(Op::Versions).bytes(QByteArray(reinterpret_cast<const char*>(VersionKey), 5));
}
QByteArray memoryMap() { return Bytes(Op::MemMap); }
QByteArray variable(std::uint8_t op, int variable, int source, int value)
{
    return Bytes(op).byte(variable).byte(source).shortLE(value);
}
QByteArray outputMode(std::uint8_t mask, std::uint8_t mode) { return Bytes(Op::OutputMode).byte(mask | mode); }
QByteArray outputDirection(std::uint8_t mask, std::uint8_t direction)
{
    return Bytes(Op::OutputDir).byte(mask | direction);
}
QByteArray outputPower(std::uint8_t mask, int source, int value)
{
    return Bytes(Op::SetPower).byte(mask).byte(source).byte(value);
}
QByteArray wait(int source, int value) { return Bytes(Op::Wait).byte(source).shortLE(value); }
QByteArray setWatch(int hours, int minutes) { return Bytes(Op::SetWatch).byte(hours).byte(minutes); }
QByteArray playTone(int frequency, int duration)
{
    return Bytes(Op::PlayTone).shortLE(frequency).byte(duration);
}
QByteArray playSound(int sound) { return Bytes(Op::PlaySound).byte(sound); }
QByteArray setDisplay(int source, int value) { return Bytes(Op::SetDisplay).byte(source).shortLE(value); }
QByteArray transmitterRange(int range) { return Bytes(Op::TxRange).byte(range); }
QByteArray powerDownTime(int minutes) { return Bytes(Op::PowerDown).byte(minutes); }
QByteArray powerOff() { return Bytes(Op::PowerOff); }
QByteArray clearTimer(int timer) { return Bytes(Op::ClearTimer).byte(timer); }
QByteArray clearSensor(int sensor) { return Bytes(Op::ClearSensor).byte(sensor); }
QByteArray sensorType(int sensor, int type) { return Bytes(Op::SensorType).byte(sensor).byte(type); }
QByteArray sensorMode(int sensor, int mode, int slope)
{
    return Bytes(Op::SensorMode).byte(sensor).byte((mode << 5) | (slope & 0x1F));
}
QByteArray selectProgram(int slot) { return Bytes(Op::SelectProgram).byte(slot); }
QByteArray startTask(int task) { return Bytes(Op::StartTask).byte(task); }
QByteArray stopTask(int task) { return Bytes(Op::StopTask).byte(task); }
QByteArray stopAll() { return Bytes(Op::StopAll); }
QByteArray deleteAllTasks() { return Bytes(Op::DeleteAllTasks); }
QByteArray deleteAllSubs() { return Bytes(Op::DeleteAllSubs); }
QByteArray callSub(int sub) { return Bytes(Op::CallSub).byte(sub); }
QByteArray setDatalog(int size) { return Bytes(Op::SetDatalog).shortLE(size); }
QByteArray datalogNext(int source, int argument) { return Bytes(Op::DatalogNext).byte(source).byte(argument); }
QByteArray upload(int first, int count) { return Bytes(Op::Upload).shortLE(first).shortLE(count); }
QByteArray sendMessage(int source, int argument) { return Bytes(Op::SendMessage).byte(source).byte(argument); }
QByteArray clearMessage() { return Bytes(Op::ClearMessage); }
QByteArray beginTask(int task, int length) { return Bytes(Op::BeginTask).byte(0).shortLE(task).shortLE(length); }
QByteArray beginSub(int sub, int length) { return Bytes(Op::BeginSub).byte(0).shortLE(sub).shortLE(length); }
QByteArray transfer(int sequence, const QByteArray& data)
{
    return Bytes(Op::Transfer).shortLE(sequence).shortLE(int(data.size())).bytes(data).byte(checksum(data));
}
QByteArray deleteFirmware()
{
    return Bytes(Op::DeleteFirmware).bytes(QByteArray(reinterpret_cast<const char*>(VersionKey), 5));
}
QByteArray beginFirmware(std::uint16_t sum)
{
    return Bytes(Op::BeginFirmware).shortLE(FirmwareEntry).shortLE(sum).byte(0);
}
QByteArray unlockFirmware()
{
    return Bytes(Op::Unlock).bytes(QByteArray(reinterpret_cast<const char*>(UnlockKey), 5));
}

}  // namespace req

namespace reply {

std::optional<std::int16_t> shortValue(const QByteArray& body)
{
    if (body.size() < 2)
        return std::nullopt;
    return shortAt(body, 0);
}

std::optional<Versions> versions(const QByteArray& body)
{
    if (body.size() < 8)
        return std::nullopt;
    return Versions{bigShortAt(body, 0), bigShortAt(body, 2), bigShortAt(body, 4), bigShortAt(body, 6)};
}

std::optional<QVector<int>> memoryMap(const QByteArray& body)
{
    if (body.size() < 2 * MemMapWords)
        return std::nullopt;
    QVector<int> words(MemMapWords);
    for (int i = 0; i < MemMapWords; ++i)
        words[i] = bigShortAt(body, 2 * i);
    return words;
}

std::optional<QVector<LogEntry>> upload(const QByteArray& body, int count)
{
    if (count < 0 || body.size() < DatalogEntryBytes * count)
        return std::nullopt;
    QVector<LogEntry> entries(count);
    for (int i = 0; i < count; ++i)
        entries[i] = {std::uint8_t(body[3 * i]), shortAt(body, 3 * i + 1)};
    return entries;
}

}  // namespace reply

}  // namespace rcx
