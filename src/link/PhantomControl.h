#pragma once
// The communication control the program uses. It numbers five ports by
// ComPortNo: 0 to 3 are infrared towers on device nodes, 4 is the built-in
// virtual brick. Each tower port's device is set in the settings, section
// "com", keys "device0" to "device3"; by default port 0 is the USB tower
// (the node under /dev/usb whose name ends in usbtower0) and ports 1 to 3 the
// serial ports /dev/ttyS0, /dev/ttyS1 and /dev/ttyUSB0. On a tower port the
// three tower checks open the device, wake the tower and ask the brick; a
// brick that does not answer makes PBAlive False and brick operations fail
// with 68 (device unavailable). Port 4 is the virtual brick: the software
// brick, reached through the same link as a tower's brick, so a program
// downloaded to it runs there; its time is the control's clock, caught up
// before every operation; its tower checks always pass. A port outside 0..4
// (a stale setting) has no device, so the port search moves on. A tower
// exchange that needs a second try shows the busy pointer and says so in the
// status strip until it ends.
#include "link/PortScan.h"
#include "link/protocol/RcxLink.h"
#include "link/tower/TowerTransport.h"
#include "link/vbrick/InProcessTower.h"
#include "link/vbrick/SoftRcx.h"

#include <memory>

class PhantomControl : public IPhantomControl {
public:
    static constexpr Long VirtualBrickPort = 4;

    // Milliseconds of a steady clock.
    using Clock = std::function<qint64()>;
    // The virtual brick's programs, timers and watch run on the clock (a steady clock when none).
    explicit PhantomControl(Clock clock = {});

    static constexpr int TowerPorts = 4;

    vbrick::SoftRcx& virtualBrick() { return mBrick; }
    // Lets a module's transfer to the virtual brick take about a quarter of
    // the time it takes through a tower, waiting through wait, so that the
    // progress can be followed.
    void setVirtualPace(vbrick::InProcessTower::Waiter wait) { mBrickTower.setPace(std::move(wait)); }

    // The device node of a tower port, from the settings or the default.
    static QString devicePath(Long port);
    // Puts a device in place of the settings' for this control (a test's own).
    void setDevicePath(Long port, const QString& path);
    // The device a tower port of this control uses.
    QString towerDevice(Long port) const;
    // The clock, pause and wait of the towers opened from now on (a test's own).
    void setTowerTiming(TowerTransport::Timing timing);

    void setEventSink(IPhantomEvents* sink) override;

    Long ComPortNo() override { return mPort; }
    void setComPortNo(Long port) override { mPort = port; }
    bool TowerCheck1() override;
    bool TowerCheck2() override;
    bool TowerCheck3() override;
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

private:
    // The device on the selected port; nullptr where none answers.
    IPhantomControl* device();
    // The same, failing with 68 where none answers.
    IPhantomControl& brick();

    struct Tower {
        std::unique_ptr<TowerTransport> transport;
        std::unique_ptr<RcxLink> link;
        QString fixedPath;
        bool fixed = false;
    };

    Long mPort = 0;
    Clock mClock;
    qint64 mBrickTime = 0;
    vbrick::SoftRcx mBrick;
    vbrick::InProcessTower mBrickTower{mBrick};
    RcxLink mBrickLink{mBrickTower};
    IPhantomEvents* mSink = nullptr;
    TowerTransport::Timing mTowerTiming;
    std::unique_ptr<BrickBusy> mBusy;
    Tower mTowers[TowerPorts];
};
