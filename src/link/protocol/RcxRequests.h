#pragma once
// The data bytes of each brick operation (opcode and parameters, before
// framing) and the decoding of the replies that carry something. The same
// bytes are program instructions where the brick runs them from code.
#include "link/protocol/RcxBrick.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>
#include <optional>

namespace rcx {

// Builds one instruction or request.
class Bytes {
public:
    explicit Bytes(std::uint8_t op) { mData.append(char(op)); }
    Bytes& byte(int v)
    {
        mData.append(char(v & 0xFF));
        return *this;
    }
    Bytes& shortLE(int v) { return byte(v).byte(v >> 8); }
    Bytes& bytes(const QByteArray& b)
    {
        mData.append(b);
        return *this;
    }
    operator QByteArray() const { return mData; }
    const QByteArray& data() const { return mData; }

private:
    QByteArray mData;
};

// The motor mask of a motor list ("0".."2", any order); nullopt when it holds
// anything else.
std::optional<std::uint8_t> motorMask(const QString& motors);

namespace req {
QByteArray alive();
QByteArray poll(int source, int argument);
QByteArray battery();
QByteArray versions();
QByteArray memoryMap();
// op one of Op::SetVar, AddVar, SubVar, DivVar, MulVar, SgnVar, AbsVar, AndVar, OrVar.
QByteArray variable(std::uint8_t op, int variable, int source, int value);
QByteArray outputMode(std::uint8_t mask, std::uint8_t mode);
QByteArray outputDirection(std::uint8_t mask, std::uint8_t direction);
QByteArray outputPower(std::uint8_t mask, int source, int value);
QByteArray wait(int source, int value);
QByteArray setWatch(int hours, int minutes);
QByteArray playTone(int frequency, int duration);
QByteArray playSound(int sound);
QByteArray setDisplay(int source, int value);
QByteArray transmitterRange(int range);
QByteArray powerDownTime(int minutes);
QByteArray powerOff();
QByteArray clearTimer(int timer);
QByteArray clearSensor(int sensor);
QByteArray sensorType(int sensor, int type);
QByteArray sensorMode(int sensor, int mode, int slope);
QByteArray selectProgram(int slot);
QByteArray startTask(int task);
QByteArray stopTask(int task);
QByteArray stopAll();
QByteArray deleteAllTasks();
QByteArray deleteAllSubs();
QByteArray callSub(int sub);
QByteArray setDatalog(int size);
QByteArray datalogNext(int source, int argument);
QByteArray upload(int first, int count);
QByteArray sendMessage(int source, int argument);
QByteArray clearMessage();
QByteArray beginTask(int task, int length);
QByteArray beginSub(int sub, int length);
// One block of a download: sequence 1.., the last block 0.
QByteArray transfer(int sequence, const QByteArray& data);
QByteArray deleteFirmware();
QByteArray beginFirmware(std::uint16_t checksum);
QByteArray unlockFirmware();
}  // namespace req

namespace reply {
// The reply body (after the reply opcode) as a signed short; nullopt when too short.
std::optional<std::int16_t> shortValue(const QByteArray& body);
// "ROM a.b, firmware c.d" parts: four big-endian shorts.
struct Versions {
    int romMajor = 0, romMinor = 0, firmwareMajor = 0, firmwareMinor = 0;
};
std::optional<Versions> versions(const QByteArray& body);
// The memory map's 94 words.
std::optional<QVector<int>> memoryMap(const QByteArray& body);
// Upload entries: type byte and value.
struct LogEntry {
    std::uint8_t type = 0;
    std::int16_t value = 0;
};
std::optional<QVector<LogEntry>> upload(const QByteArray& body, int count);
}  // namespace reply

}  // namespace rcx
