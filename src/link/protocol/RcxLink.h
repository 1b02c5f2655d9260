#pragma once
// The control's operations on a real brick's protocol. The tower checks open
// the device, wake the tower and probe for it; they pass with the brick off.
// Immediate operations become one request each through the transport; a brick
// that does not answer makes PBAlive False and other operations fail with 68. Between
// BeginOfTask/BeginOfSub and EndOfTask/EndOfSub the operations are assembled
// into brick code, which the end sends in blocks of 20 bytes with the
// download events: DownloadStart(estimated wire time in ms, size in bytes,
// module), DownloadProgress(bytes sent), DownloadDone(error, module); module
// is the task's number 0..9 or 10 + the sub's number 1..8. A download that
// fails part way (the tower is gone, the brick refuses) ends with a non-zero
// error and leaves nothing half-run: the brick keeps no partial module. The
// modules after it, up to the next SelectPrgm, are dropped without events, so
// the failure is reported once.
//
// No operand is ever cut to fit: a number the brick does not have (a task,
// a sensor, a source) or a value outside what the brick takes in its place
// (a byte, a power of 0 to 7, an hour of 0 to 23 ...) fails with 5 and sends
// nothing. Refused inside a module, it spoils the module: its end sends
// nothing and raises no event (the caller has the failure to report), and
// the rest of the download is dropped as after a failed transfer.
//
// The first module after SelectPrgm stops the brick's tasks and deletes the
// slot's tasks and subs, so a download replaces the program.
//
// A firmware download checks the file first, then runs from the event loop
// one block at a time, raising the events with module 100. It ends with the
// brick asked for its versions: a brick that has no firmware then (0.0) has
// not taken the image, and the download fails with NoFirmware. While it
// runs, it holds the brick: every other operation (a second firmware
// download too) fails with BrickBusyError and sends nothing.
#include "link/protocol/RcxAssembler.h"
#include "link/protocol/RcxBrick.h"
#include "link/protocol/RcxPacket.h"
#include "link/protocol/RcxTransport.h"
#include "model/Phantom.h"

#include <QObject>

#include <functional>
#include <initializer_list>

class RcxLink : public IBrickDevice {
public:
    static constexpr Long FirmwareModule = 100;
    // DownloadDone's error for a module whose blocks don't pair up, and for
    // one whose loops nest deeper than the brick's four counters.
    static constexpr Long UnbalancedBlocks = 1;
    static constexpr Long TooDeep = 2;
    // DownloadDone's error when the brick stopped answering.
    static constexpr Long NoReply = 68;
    // DownloadDone's error for a module longer than a begin can announce:
    // the brick's own answer for a module it has no room for.
    static constexpr Long TooLong = rcx::Dl::NoMemory;
    // DownloadDone's error for a firmware download after which the brick has no firmware.
    static constexpr Long NoFirmware = 5;

    explicit RcxLink(IRcxTransport& transport);
    ~RcxLink() override;

    // Milliseconds on the wire for a number of bytes at 2400 baud, 11 bits a byte.
    static Long wireMs(qint64 bytes) { return Long(rcx::wireMs(bytes)); }

    // Where the events go; nullptr drops them.
    void setEventSink(IPhantomEvents* sink) { mSink = sink; }

    bool TowerCheck1();
    bool TowerCheck2();
    bool TowerCheck3();
    bool PBAlive() override;

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

    // The firmware download going on from the event loop, if any.
    bool firmwareRunning() const { return mFirmware.running; }
    // Sends the firmware download's next step; the event loop calls it, tests may too.
    void firmwareStep();

    // Drops the module being assembled, if any, without a word: the download
    // it belonged to has ended without its end.
    void dropModule();

private:
    // Fails with BrickBusyError while the firmware download holds the brick.
    void requireFree() const;
    // Into the module being assembled, or sent at once (68 when no reply).
    QByteArray send(const QByteArray& request);
    // Sent at once whatever the state, unless the brick is held; nullopt when no reply.
    std::optional<QByteArray> ask(const QByteArray& request);
    bool motor(const QString& motors, const std::function<QByteArray(std::uint8_t)>& request);
    void variable(std::uint8_t op, Integer variable, Long source, Integer value);
    // Fails with 5; inside a module the module is spoiled.
    [[noreturn]] void refuse();
    void requireRange(int value, int low, int high);
    // The source is one of those allowed (no list: any of the brick's) and
    // its argument one the brick has: a variable, timer, output or sensor
    // that exists, a constant or random limit within [low, high].
    void requireOperand(Long source, int value, std::initializer_list<int> allowed = {}, int low = -32768,
                        int high = 32767);
    // The mask of a motor list that holds only the ports 0 to 2.
    std::uint8_t requireMotors(const QString& motors);
    // An If or a While inside a module: a relation 0 to 3 between two operands.
    void requireCondition(Long source1, Integer value1, Integer op, Long source2, Integer value2);
    // The module being assembled; blocks outside one fail with 5.
    rcx::Assembler& program();
    void beginModule(Long number, bool sub);
    void endModule(bool sub);
    // The module's code in blocks; 0 or the error DownloadDone reports.
    Long transfer(const QByteArray& begin, const QByteArray& code, int blockBytes, Long module);
    void firmwareDone(Long error);
    // The firmware download's end: unlocked, and the versions show firmware.
    Long firmwareCheck();

    IRcxTransport& mTransport;
    IPhantomEvents* mSink = nullptr;
    bool mClearBeforeModule = false;
    bool mTransferFailed = false;
    bool mModuleRefused = false;

    bool mCollecting = false;
    bool mCollectingSub = false;
    Long mModule = 0;
    rcx::Assembler mAssembler;

    struct Firmware {
        bool running = false;
        QByteArray image;
        quint16 checksum = 0;
        int sent = 0;
        int sequence = 0;
    } mFirmware;
    QObject mTimerContext;
};
