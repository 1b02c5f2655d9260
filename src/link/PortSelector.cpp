#include "link/PortSelector.h"

#include "link/BrickHold.h"
#include "model/AppState.h"
#include "model/Config.h"
#include "model/VbError.h"

#include <QScopeGuard>

namespace {

// A device every operation of which fails: the device of a port that has
// none (68, and the brick never answers), or the brick while it is busy.
class RefusingDevice : public IBrickDevice {
public:
    explicit RefusingDevice(int number) : mNumber(number) {}
    void setText(const QString& text) { mText = text; }

    // A busy brick is there, but can't be asked.
    bool PBAlive() override
    {
        if (mNumber != Err::DeviceUnavailable)
            fail();
        return false;
    }
    bool On(const QString&) override { fail(); }
    bool Off(const QString&) override { fail(); }
    bool Float(const QString&) override { fail(); }
    bool SetFwd(const QString&) override { fail(); }
    bool SetRwd(const QString&) override { fail(); }
    bool AlterDir(const QString&) override { fail(); }
    bool SetPower(const QString&, Long, Integer) override { fail(); }
    void Wait(Long, Integer) override { fail(); }
    void AbsVar(Integer, Long, Integer) override { fail(); }
    void AndVar(Integer, Long, Integer) override { fail(); }
    void DivVar(Integer, Long, Integer) override { fail(); }
    void MulVar(Integer, Long, Integer) override { fail(); }
    void OrVar(Integer, Long, Integer) override { fail(); }
    void SetVar(Integer, Long, Integer) override { fail(); }
    void SgnVar(Integer, Long, Integer) override { fail(); }
    void SubVar(Integer, Long, Integer) override { fail(); }
    void SumVar(Integer, Long, Integer) override { fail(); }
    void DatalogNext(Long, Integer) override { fail(); }
    bool SetDatalog(Integer) override { fail(); }
    QVector<DatalogEntry> GetDatalog(Integer, Integer) override { fail(); }
    QVector<Long> GetMemMap() override { fail(); }
    Integer PBBattery() override { fail(); }
    Integer Poll(Long, Integer&) override { fail(); }
    void ClearPBMessage() override { fail(); }
    void ClearTimer(Integer) override { fail(); }
    void ClearSensorValue(Integer) override { fail(); }
    bool PBPowerDownTime(Integer) override { fail(); }
    bool PBTurnOff() override { fail(); }
    bool PBTxPower(Integer) override { fail(); }
    bool PlaySystemSound(Integer) override { fail(); }
    bool PlayTone(Integer, Integer) override { fail(); }
    bool SelectDisplay(Long, Integer) override { fail(); }
    void SendPBMessage(Long, Integer) override { fail(); }
    void SetWatch(Integer, Integer) override { fail(); }
    void SetSensorMode(Integer, Integer, Integer) override { fail(); }
    void SetSensorType(Integer, Integer) override { fail(); }
    bool DownloadFirmware(const QString&) override { fail(); }
    QString FirmwareVersion() override { fail(); }
    void SelectPrgm(Integer&) override { fail(); }
    void GoSub(Integer&) override { fail(); }
    void StartTask(Integer&) override { fail(); }
    void StopTask(Integer&) override { fail(); }
    void StopAllTasks() override { fail(); }
    void BeginOfTask(Integer&) override { fail(); }
    void EndOfTask() override { fail(); }
    void BeginOfSub(Integer&) override { fail(); }
    void EndOfSub() override { fail(); }
    void Loop(Long, Integer) override { fail(); }
    void EndLoop() override { fail(); }
    void While(Long, Integer, Integer, Long, Integer) override { fail(); }
    void EndWhile() override { fail(); }
    void If(Long, Integer, Integer, Long, Integer) override { fail(); }
    void Else() override { fail(); }
    void EndIf() override { fail(); }

private:
    [[noreturn]] void fail() const { raiseError(mNumber, mText); }
    int mNumber;
    QString mText;
};

}  // namespace

PortSelector::PortSelector(AppState& app, Clock clock)
    : mApp(app), mVirtual(clock ? std::move(clock) : Clock(&TowerTransport::steadyMs))
{
    mVirtual.setEventSink(&mEvents);
}

void PortSelector::setEventSink(IPhantomEvents* sink)
{
    mSink = sink;
}

template <class F>
void PortSelector::Events::forward(F f)
{
    // While a transfer holds the brick, its events are where the event loop runs.
    const bool held = !mPorts.mHeldBy.isEmpty();
    if (held)
        mPorts.yieldBrick(true);
    const auto back = qScopeGuard([&] {
        if (held)
            mPorts.yieldBrick(false);
    });
    if (mPorts.mSink)
        f(*mPorts.mSink);
}

void PortSelector::Events::PB_CommError(const QString& message)
{
    forward([&](IPhantomEvents& sink) { sink.PB_CommError(message); });
}
void PortSelector::Events::PB_DownloadStart(Long timeMs, Long size, Long moduleNumber)
{
    forward([&](IPhantomEvents& sink) { sink.PB_DownloadStart(timeMs, size, moduleNumber); });
}
void PortSelector::Events::PB_DownloadProgress(Long value)
{
    forward([&](IPhantomEvents& sink) { sink.PB_DownloadProgress(value); });
}
void PortSelector::Events::PB_DownloadDone(Long errorCode, Long moduleNumber)
{
    forward([&](IPhantomEvents& sink) { sink.PB_DownloadDone(errorCode, moduleNumber); });
}

QString PortSelector::busyWith() const
{
    if (mVirtual.firmwareRunning())
        return BrickWork::Firmware;
    for (const Tower& t : mTowers)
        if (t.link && t.link->firmwareRunning())
            return BrickWork::Firmware;
    return mHeldBy;
}

QString PortSelector::refusedWork() const
{
    const QString work = busyWith();
    if (work == BrickWork::Firmware || (!work.isEmpty() && mYields > 0))
        return work;
    return {};
}

void PortSelector::requireFree() const
{
    if (const QString work = refusedWork(); !work.isEmpty())
        raiseError(BrickBusyError, BrickBusyText(work));
}

bool PortSelector::hold(const QString& work)
{
    if (!busyWith().isEmpty())
        return false;
    mHeldBy = work;
    return true;
}

void PortSelector::release()
{
    mHeldBy.clear();
    mVirtual.dropModule();
    for (Tower& t : mTowers)
        if (t.link)
            t.link->dropModule();
}

QString PortSelector::devicePath(const Config& config, Long port)
{
    static const char* const serial[] = {nullptr, "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"};
    if (port < 0 || port >= TowerPorts)
        return {};
    const QString fallback = port == 0 ? TowerTransport::findUsbTower() : QString::fromLatin1(serial[port]);
    return config.TowerDevice(port, fallback);
}

void PortSelector::setDevicePath(Long port, const QString& path)
{
    if (port < 0 || port >= TowerPorts)
        return;
    mTowers[port].fixedPath = path;
    mTowers[port].fixed = true;
}

QString PortSelector::towerDevice(Long port) const
{
    if (port < 0 || port >= TowerPorts)
        return {};
    const Tower& tower = mTowers[port];
    return tower.fixed ? tower.fixedPath : devicePath(*mApp.Config, port);
}

void PortSelector::setTowerTiming(TowerTransport::Timing timing)
{
    mTowerTiming = std::move(timing);
    for (Tower& t : mTowers) {
        t.link.reset();
        t.transport.reset();
    }
}

RcxLink* PortSelector::link()
{
    if (mPort == VirtualBrickPort)
        return &mVirtual;
    if (mPort < 0 || mPort >= TowerPorts)
        return nullptr;
    Tower& tower = mTowers[mPort];
    // A closed tower takes up the device set now; an open one stays as it is.
    if (!tower.transport || !tower.transport->isOpen()) {
        const QString path = towerDevice(mPort);
        if (!tower.transport || tower.transport->path() != path) {
            tower.link.reset();
            tower.transport = std::make_unique<TowerTransport>(path, mTowerTiming);
            tower.transport->setBusy([this, path](bool busy) {
                // Inside another busy pointer (a download's, the port search's) the pointer stays busy.
                if (busy) {
                    mBusy = std::make_unique<BusyPointer>(*mApp.Notifier);
                    mWaiting = std::make_unique<BrickStatusText>(
                        mApp, QStringLiteral("RCX: waiting for an answer on ") + path + QStringLiteral("..."));
                } else {
                    mBusy.reset();
                    mWaiting.reset();
                }
            });
            tower.link = std::make_unique<RcxLink>(*tower.transport);
            tower.link->setEventSink(&mEvents);
        }
    }
    return tower.link.get();
}

void PortSelector::setComPortNo(Long port)
{
    requireFree();
    mPort = port;
}

bool PortSelector::TowerCheck1()
{
    requireFree();
    RcxLink* l = link();
    return l && l->TowerCheck1();
}

bool PortSelector::TowerCheck2()
{
    requireFree();
    RcxLink* l = link();
    return l && l->TowerCheck2();
}

// The virtual brick's tower is always there, whether the brick is on or not.
bool PortSelector::TowerCheck3()
{
    requireFree();
    RcxLink* l = link();
    return l && l->TowerCheck3();
}

IBrickDevice& PortSelector::device()
{
    static RefusingDevice none(Err::DeviceUnavailable);
    static RefusingDevice busy(BrickBusyError);
    if (const QString work = refusedWork(); !work.isEmpty()) {
        busy.setText(BrickBusyText(work));
        return busy;
    }
    RcxLink* l = link();
    return l ? static_cast<IBrickDevice&>(*l) : none;
}
