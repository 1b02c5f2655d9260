#pragma once
// A brick in software that speaks the byte protocol: it answers requests as
// the brick does, keeps downloaded tasks and subs in five program slots and
// runs them. Time is whatever advance() is told, so tests drive it step by
// step and the program drives it from a timer.
//
// What it keeps: 32 variables, 4 timers (tenths of a second), 3 sensors whose
// readings the owner sets, 3 outputs, the message, the watch, the datalog,
// the memory map, the sounds played (as events with their time), the
// battery, the firmware (deleted, downloaded, unlocked) and the transmitter
// range and power-down time.
#include "link/protocol/RcxBrick.h"

#include <QByteArray>
#include <QList>
#include <QVector>

#include <array>
#include <cstdint>
#include <optional>

namespace vbrick {

class SoftRcx {
public:
    struct Output {
        std::uint8_t mode = 0;     // OutFlag::On, OutFlag::Off or 0 (float)
        bool forward = true;
        int power = 7;
    };
    struct Sensor {
        int type = 0;
        std::uint8_t mode = 0;     // mode << 5 | slope
        int value = 0;
        int raw = 1023;
        int boolean = 0;
    };
    struct Sound {
        qint64 atMs = 0;
        int sound = -1;            // a system sound 0..5, or -1 for a tone
        int frequency = 0;
        int duration = 0;          // 1/100 s
    };
    struct LogEntry {
        std::uint8_t type = 0;
        std::int16_t value = 0;
    };

    SoftRcx();

    // Handles one request (opcode and parameters); the reply's data (reply
    // opcode first), or nullopt when the brick sends none (set message, or off).
    std::optional<QByteArray> handle(const QByteArray& request);

    // Lets time pass for the running tasks.
    void advance(qint64 ms);
    qint64 now() const { return mNow; }

    // --- State, for the tests and the tools ---
    void setOn(bool on) { mOn = on; }
    std::int16_t variable(int i) const { return mVariables[i]; }
    void setVariable(int i, std::int16_t v) { mVariables[i] = v; }
    int timer(int i) const { return int((mNow - mTimerCleared[i]) / 100 % 32768); }
    const Output& output(int i) const { return mOutputs[i]; }
    Sensor& sensor(int i) { return mSensors[i]; }
    std::int16_t message() const { return mMessage; }
    void setMessage(std::int16_t m) { mMessage = m; }
    std::int16_t sentMessage() const { return mSentMessage; }
    int slot() const { return mSlot; }
    int display() const { return mDisplay; }  // the display's reading when it was chosen
    const QList<Sound>& sounds() const { return mSounds; }
    const QVector<LogEntry>& datalog() const { return mLog; }
    int datalogSize() const { return mLogSize; }
    int battery() const { return mBattery; }
    void setBattery(int mv) { mBattery = mv; }
    bool hasFirmware() const { return mFirmware; }
    int powerDownMinutes() const { return mPowerDown; }
    int transmitterRange() const { return mRange; }
    // The code of a task (0..9) or sub (0..7) in a slot; empty when none.
    QByteArray taskCode(int slot, int task) const { return mSlots[slot].tasks[task]; }
    QByteArray subCode(int slot, int sub) const { return mSlots[slot].subs[sub]; }
    bool running(int task) const { return mTasks[task].running; }
    // The value of a source as Poll reads it.
    int sourceValue(int source, int argument);

private:
    struct Slot {
        std::array<QByteArray, rcx::TaskCount> tasks;
        std::array<QByteArray, rcx::SubCount> subs;
    };
    struct Task {
        bool running = false;
        const QByteArray* code = nullptr;  // the task's or the called sub's code
        int pc = 0;
        int returnPc = -1;                 // into the task's code while in a sub
        qint64 waitUntil = 0;
        QVector<int> loops;
    };
    struct Download {
        enum Kind { None, Task, Sub, Firmware } kind = None;
        int index = 0;
        int length = 0;
        int nextSequence = 1;
        int checksum = 0;
        QByteArray data;
    };

    // Carries out an operation both requests and program code have; the reply body.
    QByteArray apply(const QByteArray& op);
    // The families of operations apply hands an opcode (its twin bit cleared)
    // to, each with its request; nullopt for an opcode not of the family.
    std::optional<QByteArray> applyQuery(std::uint8_t op, const QByteArray& in);     // alive, poll, battery, versions, memory map
    std::optional<QByteArray> applyVariable(std::uint8_t op, const QByteArray& in);  // the arithmetic on variables
    std::optional<QByteArray> applyOutput(std::uint8_t op, const QByteArray& in);    // mode, direction, power
    std::optional<QByteArray> applyInput(std::uint8_t op, const QByteArray& in);     // timers and sensors
    std::optional<QByteArray> applyBrick(std::uint8_t op, const QByteArray& in);     // watch, sounds, display, range, power
    std::optional<QByteArray> applyProgram(std::uint8_t op, const QByteArray& in);   // slot, tasks running, deleting code
    std::optional<QByteArray> applyDatalog(std::uint8_t op, const QByteArray& in);
    std::optional<QByteArray> applyMessage(std::uint8_t op, const QByteArray& in);
    std::optional<QByteArray> applyDownload(std::uint8_t op, const QByteArray& in);  // tasks, subs, firmware
    QByteArray memoryMap() const;
    QByteArray beginDownload(bool task, const QByteArray& in);
    QByteArray transfer(const QByteArray& in);
    QByteArray finishDownload(const Download& done);
    void stopAll();
    void log(int source, int argument);
    int usedBytes() const;
    void start(int task);
    // Runs a task until it waits, ends or has used its share of steps.
    void run(int taskIndex);
    void jumpTo(Task& t, int offsetAt, int distance);

    bool mOn = true;
    qint64 mNow = 0;
    std::int16_t mVariables[rcx::VariableCount] = {};
    qint64 mTimerCleared[rcx::TimerCount] = {};
    Output mOutputs[rcx::OutputCount];
    Sensor mSensors[rcx::SensorCount];
    std::int16_t mMessage = 0;
    std::int16_t mSentMessage = 0;
    int mWatch = 0;            // minutes since midnight when set
    qint64 mWatchSetAt = 0;
    int mDisplay = 0;
    int mSlot = 0;
    Slot mSlots[rcx::SlotCount];
    Task mTasks[rcx::TaskCount];
    int mLogSize = 0;
    QVector<LogEntry> mLog;
    QList<Sound> mSounds;
    int mBattery = 9300;
    bool mFirmware = true;
    int mPowerDown = 15;
    int mRange = 0;
    quint32 mRandom = 1;
    Download mDownload;
};

}  // namespace vbrick
