#pragma once
// The choice of the brick the program talks to. It numbers five ports by
// ComPortNo: 0 to 3 are infrared towers on device nodes, 4 is the built-in
// virtual brick. Each tower port's device is set in the settings, section
// "com", keys "device0" to "device3"; by default port 0 is the USB tower
// (the node under /dev/usb whose name ends in usbtower0) and ports 1 to 3 the
// serial ports /dev/ttyS0, /dev/ttyS1 and /dev/ttyUSB0. On a tower port the
// three tower checks open the device, wake the tower and probe for it; its
// device is the brick's link through that tower, and a brick that does not
// answer makes PBAlive False and brick operations fail with 68 (device
// unavailable). Port 4 is the virtual brick (vbrick::VirtualBrick), its time
// the selector's clock; its tower checks always pass. A port outside 0..4
// (a stale setting) has no device: its tower checks fail, PBAlive is False
// and every operation fails with 68, so the port search moves on. A tower
// exchange that needs a second try shows the busy pointer and says so in the
// status strip until it ends. The selector works for the program state it is
// made with: its settings give the devices, its notifier the pointer and the strip.
//
// It keeps the one transfer at a time (link/BrickHold.h): while a transfer
// holds the brick and lets the events run, or while a firmware download runs
// on any of its bricks, device() gives a brick whose every operation fails
// with BrickBusyError, and the tower checks and a change of port fail the
// same way. The events of its bricks reach the sink through it: while a
// transfer holds the brick, they are where the event loop runs. When a
// transfer lets go of the brick, a module its bricks were still assembling is
// dropped.
#include "link/PortScan.h"
#include "link/protocol/RcxLink.h"
#include "link/tower/TowerTransport.h"
#include "link/vbrick/VirtualBrick.h"
#include "model/BusyPointer.h"

#include <memory>

class Config;

class PortSelector : public IPortSelector {
public:
    static constexpr Long VirtualBrickPort = 4;
    static constexpr int TowerPorts = 4;

    // Milliseconds of a steady clock.
    using Clock = vbrick::InProcessTower::Clock;
    // The virtual brick's programs, timers and watch run on the clock (a steady clock when none).
    explicit PortSelector(AppState& app, Clock clock = {});

    // The device on port 4, and its software brick.
    vbrick::VirtualBrick& virtualDevice() { return mVirtual; }
    vbrick::SoftRcx& virtualBrick() { return mVirtual.brick(); }

    // The device node of a tower port, from the settings or the default.
    static QString devicePath(const Config& config, Long port);
    // Puts a device in place of the settings' for this selector (a test's own).
    void setDevicePath(Long port, const QString& path);
    // The device a tower port of this selector uses.
    QString towerDevice(Long port) const;
    // The clock, pause and wait of the towers opened from now on (a test's own).
    void setTowerTiming(TowerTransport::Timing timing);

    void setEventSink(IPhantomEvents* sink) override;

    Long ComPortNo() override { return mPort; }
    void setComPortNo(Long port) override;
    bool TowerCheck1() override;
    bool TowerCheck2() override;
    bool TowerCheck3() override;

    IBrickDevice& device() override;

    // The work that holds the brick (BrickWork); empty when it is free.
    QString busyWith() const;

private:
    friend class BrickHold;
    // The link on the selected port; nullptr outside 0..4.
    RcxLink* link();
    // The work while nobody may use the brick now: a firmware download
    // running, or a transfer that holds the brick and lets the events run.
    QString refusedWork() const;
    // Fails with BrickBusyError when refusedWork() is not empty.
    void requireFree() const;
    bool hold(const QString& work);
    void release();
    void yieldBrick(bool away) { mYields += away ? 1 : -1; }

    // The links' events on their way to the sink.
    class Events : public IPhantomEvents {
    public:
        explicit Events(PortSelector& ports) : mPorts(ports) {}
        void PB_CommError(const QString& message) override;
        void PB_DownloadStart(Long timeMs, Long size, Long moduleNumber) override;
        void PB_DownloadProgress(Long value) override;
        void PB_DownloadDone(Long errorCode, Long moduleNumber) override;

    private:
        template <class F>
        void forward(F f);
        PortSelector& mPorts;
    };

    struct Tower {
        std::unique_ptr<TowerTransport> transport;
        std::unique_ptr<RcxLink> link;
        QString fixedPath;
        bool fixed = false;
    };

    AppState& mApp;
    Long mPort = 0;
    vbrick::VirtualBrick mVirtual;
    IPhantomEvents* mSink = nullptr;
    Events mEvents{*this};
    QString mHeldBy;
    int mYields = 0;
    TowerTransport::Timing mTowerTiming;
    // While a tower exchange takes a second try.
    std::unique_ptr<BusyPointer> mBusy;
    std::unique_ptr<BrickStatusText> mWaiting;
    Tower mTowers[TowerPorts];
};
