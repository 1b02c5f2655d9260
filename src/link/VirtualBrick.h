#pragma once
// A brick in software at the level of the control's operations, always in
// range of its own tower: the brick of the tests and benchmarks that look at
// operations rather than bytes. (The program's own virtual brick on port 4 is
// the software brick of link/vbrick, which speaks the byte protocol.) It keeps the state a
// brick has (variables, timers, sensors, outputs, message, clock, program
// slots, datalog, battery, firmware, power-down time, transmit power), changes
// it by the immediate operations and reads it back through Poll.
//
// Between BeginOfTask/BeginOfSub and EndOfTask/EndOfSub the program
// operations are not carried out but collected into the module, their blocks
// checked for balance. At the end the module is stored in the selected
// program slot and the download events are raised at once, on the calling
// thread: DownloadStart(time, size, module), DownloadProgress(size),
// DownloadDone(error, module); module is the task's number 0..9 or 10 + the
// sub's number 1..8, size the module's count of operations, error 0,
// UnbalancedBlocks or BadArgument (the module is then not stored). There is no interpreter:
// a stored program is its list of operations. A firmware download raises the
// same events with module 100 from the event loop, after DownloadFirmware has
// returned True, as a download that goes on inside the control.
//
// While the brick is off (setOn(false), or PBTurnOff) PBAlive is False and
// every brick operation fails with 68.
#include "model/Phantom.h"

#include <QMap>
#include <QObject>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

#include <functional>

class VirtualBrick : public IPhantomControl {
public:
    // Milliseconds of a steady clock; the timers and the watch run on it.
    using Clock = std::function<qint64()>;

    // The error code of DownloadDone for a module whose If/Else/EndIf,
    // While/EndWhile or Loop/EndLoop don't pair up.
    static constexpr Long UnbalancedBlocks = 1;
    // The error code of DownloadDone for a module holding a number the brick
    // does not have (task 0..9, sub 1..8, variable 0..31, sensor 0..2, ...).
    // Outside a module such an argument fails with 5 at once.
    static constexpr Long BadArgument = 2;
    // The module number of a firmware download.
    static constexpr Long FirmwareModule = 100;

    static constexpr int VariableCount = 32;
    static constexpr int TimerCount = 4;
    static constexpr int SensorCount = 3;
    static constexpr int OutputCount = 3;
    static constexpr int SlotCount = 5;
    // Output status bits.
    static constexpr Integer OutputOn = 128, OutputOff = 64, OutputFloat = 0, OutputForward = 8;
    // Where the datalog lies in the memory map; GetMemMap's elements 91 and 92.
    static constexpr Long DatalogStartAddress = 0xC000;

    struct Sensor {
        Integer type = 0;   // 0 none .. 4 rotation
        Integer mode = 0;   // 0 raw .. 7 rotation
        Integer slope = 0;
        Integer value = 0;
        Integer raw = 1023;
        Integer boolean = 0;
    };
    struct Module {
        Long number = 0;          // 0..9 tasks, 10 + n subs
        QStringList operations;   // CallText lines
    };
    struct Output {
        Integer state = OutputFloat;  // OutputOn, OutputOff or OutputFloat
        bool forward = true;
        Integer power = 7;
    };

    explicit VirtualBrick(Clock clock = {});

    // --- The switch and the state, for the set-up tools and the tests ---
    bool isOn() const { return mOn; }
    void setOn(bool on) { mOn = on; }

    Integer variable(int index) const;
    void setVariable(int index, Integer value);
    Integer timer(int index) const;  // tenths of a second since cleared
    const Sensor& sensor(int port) const;
    void setSensorValue(int port, Integer value);
    void setSensorRaw(int port, Integer raw);
    void setSensorBoolean(int port, Integer value);
    const Output& output(int port) const;
    Integer outputStatus(int port) const;  // state | direction | power
    Integer message() const { return mMessage; }
    void setMessage(Integer value) { mMessage = value; }  // a message received
    Integer sentMessage() const { return mSentMessage; }
    Integer watchMinutes() const;  // minutes since midnight on the brick's clock
    Long displaySource() const { return mDisplaySource; }
    Integer displayValue() const { return mDisplayValue; }
    Integer selectedSlot() const { return mSlot; }
    // The modules stored in a program slot, by module number.
    QMap<Long, Module> program(int slot) const;
    bool collecting() const { return mCollecting; }
    QSet<Integer> runningTasks() const { return mRunning; }
    Integer datalogSize() const { return mDatalogSize; }
    QVector<DatalogEntry> datalogEntries() const { return mDatalog; }
    void addDatalogEntry(Integer source, Integer number, Integer value);
    Integer batteryMilliVolts() const { return mBattery; }
    void setBatteryMilliVolts(Integer mv) { mBattery = mv; }
    QString firmwareVersion() const { return mFirmware; }
    void setFirmwareVersion(const QString& version) { mFirmware = version; }
    Integer powerDownTime() const { return mPowerDown; }
    Integer transmitPower() const { return mTxPower; }

    // --- The control ---
    void setEventSink(IPhantomEvents* sink) override { mSink = sink; }

    // Makes a module's transfer take time as it does through the tower: each
    // operation is reported by its own DownloadProgress after waiting
    // msPerOperation (at most 1.5 s a module) through wait. Without pacing the
    // whole module is reported at once.
    using Waiter = std::function<void(int ms)>;
    void setTransferPace(int msPerOperation, Waiter wait)
    {
        mPaceMs = msPerOperation;
        mWait = std::move(wait);
    }

    Long ComPortNo() override { return mPort; }
    void setComPortNo(Long port) override { mPort = port; }
    bool TowerCheck1() override { return true; }
    bool TowerCheck2() override { return true; }
    bool TowerCheck3() override { return true; }
    bool PBAlive() override { return mOn; }

    bool On(const QString& motors) override;
    bool Off(const QString& motors) override;
    bool Float(const QString& motors) override;
    bool SetFwd(const QString& motors) override;
    bool SetRwd(const QString& motors) override;
    bool AlterDir(const QString& motors) override;
    bool SetPower(const QString& motors, Long source, Integer value) override;
    void Wait(Long source, Integer value) override;

    void AbsVar(Integer variable, Long source, Integer value) override;
    void AndVar(Integer variable, Long source, Integer value) override;
    void DivVar(Integer variable, Long source, Integer value) override;
    void MulVar(Integer variable, Long source, Integer value) override;
    void OrVar(Integer variable, Long source, Integer value) override;
    void SetVar(Integer variable, Long source, Integer value) override;
    void SgnVar(Integer variable, Long source, Integer value) override;
    void SubVar(Integer variable, Long source, Integer value) override;
    void SumVar(Integer variable, Long source, Integer value) override;

    void DatalogNext(Long source, Integer value) override;
    bool SetDatalog(Integer size) override;
    QVector<DatalogEntry> GetDatalog(Integer from, Integer count) override;
    QVector<Long> GetMemMap() override;
    Integer PBBattery() override;
    Integer Poll(Long source, Integer& number) override;

    void ClearPBMessage() override;
    void ClearTimer(Integer timer) override;
    void ClearSensorValue(Integer sensor) override;
    bool PBPowerDownTime(Integer minutes) override;
    bool PBTurnOff() override;
    bool PBTxPower(Integer power) override;
    bool PlaySystemSound(Integer sound) override;
    bool PlayTone(Integer frequency, Integer duration) override;
    bool SelectDisplay(Long source, Integer value) override;
    void SendPBMessage(Long source, Integer value) override;
    void SetWatch(Integer hours, Integer minutes) override;
    void SetSensorMode(Integer sensor, Integer mode, Integer slope) override;
    void SetSensorType(Integer sensor, Integer type) override;
    bool DownloadFirmware(const QString& fullPath) override;
    QString FirmwareVersion() override;

    void SelectPrgm(Integer& slot) override;
    void GoSub(Integer& sub) override;
    void StartTask(Integer& task) override;
    void StopTask(Integer& task) override;
    void StopAllTasks() override;
    void BeginOfTask(Integer& task) override;
    void EndOfTask() override;
    void BeginOfSub(Integer& sub) override;
    void EndOfSub() override;
    void Loop(Long source, Integer count) override;
    void EndLoop() override;
    void While(Long source1, Integer value1, Integer op, Long source2, Integer value2) override;
    void EndWhile() override;
    void If(Long source1, Integer value1, Integer op, Long source2, Integer value2) override;
    void Else() override;
    void EndIf() override;

private:
    enum class Block { If, IfElse, While, Loop };

    qint64 now() const;
    // Fails with 68 while the brick is off.
    void requireOn() const;
    // An argument check: a bad argument fails with 5 outside a module and
    // marks the module being collected (it then fails its download).
    bool argument(bool ok);
    // A check whose failure the operation answers with False; inside a module
    // it marks the module as well.
    bool refusal(bool ok);
    // True when the operation went into the module being collected.
    bool collected(const QString& line);
    void openBlock(const QString& line, Block block);
    void closeBlock(const QString& line, Block block);
    void beginModule(Long number, bool isSub);
    void endModule(bool isSub);
    // The value of a brick source, as Poll reads it; 5 for a source or number
    // the brick does not have.
    Integer sourceValue(Long source, Integer number);
    // The ports of a motor list; false when it holds anything but 0, 1, 2.
    static bool motorPorts(const QString& motors, QList<int>& ports);
    bool motorOperation(const QString& name, const QString& motors, const std::function<void(Output&)>& change);
    void variableOperation(const QString& name, Integer variable, Long source, Integer value,
                           const std::function<Integer(Integer current, Integer operand)>& op);

    Clock mClock;
    int mPaceMs = 0;
    Waiter mWait;
    IPhantomEvents* mSink = nullptr;
    QObject mEventContext;  // the firmware download's pending events die with the brick
    Long mPort = 4;
    bool mOn = true;

    Integer mVariables[VariableCount] = {};
    qint64 mTimerCleared[TimerCount] = {};
    Sensor mSensors[SensorCount];
    Output mOutputs[OutputCount];
    Integer mMessage = 0;
    Integer mSentMessage = 0;
    Integer mWatchSet = 0;       // minutes since midnight when set
    qint64 mWatchSetAt = 0;      // clock time of setting
    Long mDisplaySource = 2;
    Integer mDisplayValue = 0;
    Integer mSlot = 0;
    QMap<Long, Module> mPrograms[SlotCount];
    QSet<Integer> mRunning;
    Integer mDatalogSize = 0;
    QVector<DatalogEntry> mDatalog;
    Integer mBattery = 8800;
    QString mFirmware = QStringLiteral("Virtual 1.0");
    Integer mPowerDown = 15;
    Integer mTxPower = 0;
    QRandomGenerator mRandom{1};

    // The module being collected.
    bool mCollecting = false;
    bool mCollectingSub = false;
    Module mModule;
    QList<Block> mBlocks;
    bool mUnbalanced = false;
    bool mBadArgument = false;
    qint64 mModuleStarted = 0;
};
