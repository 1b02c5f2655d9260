#include "link/PortSelector.h"

#include "model/AppState.h"
#include "model/SettingsKeys.h"
#include "model/VbError.h"

namespace {

// The device of a port that has none: the brick never answers, every
// operation fails with 68.
class NoDevice : public IBrickDevice {
public:
    bool PBAlive() override { return false; }
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
    [[noreturn]] static void fail() { raiseError(Err::DeviceUnavailable); }
};

}  // namespace

PortSelector::PortSelector(AppState& app, Clock clock)
    : mApp(app), mVirtual(clock ? std::move(clock) : Clock(&TowerTransport::steadyMs))
{}

void PortSelector::setEventSink(IPhantomEvents* sink)
{
    mSink = sink;
    mVirtual.setEventSink(sink);
    for (Tower& t : mTowers)
        if (t.link)
            t.link->setEventSink(sink);
}

QString PortSelector::devicePath(ISettingsStore& settings, Long port)
{
    static const char* const serial[] = {nullptr, "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"};
    if (port < 0 || port >= TowerPorts)
        return {};
    const QString fallback = port == 0 ? TowerTransport::findUsbTower() : QString::fromLatin1(serial[port]);
    return SettingsKeys::ReadDevicePath(settings, port, fallback);
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
    return tower.fixed ? tower.fixedPath : devicePath(*mApp.Settings, port);
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
            tower.link->setEventSink(mSink);
        }
    }
    return tower.link.get();
}

bool PortSelector::TowerCheck1()
{
    RcxLink* l = link();
    return l && l->TowerCheck1();
}

bool PortSelector::TowerCheck2()
{
    RcxLink* l = link();
    return l && l->TowerCheck2();
}

// The virtual brick's tower is always there, whether the brick is on or not.
bool PortSelector::TowerCheck3()
{
    RcxLink* l = link();
    return l && l->TowerCheck3();
}

IBrickDevice& PortSelector::device()
{
    static NoDevice none;
    RcxLink* l = link();
    return l ? static_cast<IBrickDevice&>(*l) : none;
}
