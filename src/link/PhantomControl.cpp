#include "link/PhantomControl.h"

#include "model/AppState.h"
#include "model/SettingsKeys.h"
#include "model/VbError.h"

PhantomControl::PhantomControl(Clock clock) : mClock(std::move(clock))
{
    if (!mClock)
        mClock = &TowerTransport::steadyMs;
    mBrickTime = mClock();
    mBrickLink.setComPortNo(VirtualBrickPort);
}

void PhantomControl::setEventSink(IPhantomEvents* sink)
{
    mSink = sink;
    mBrickLink.setEventSink(sink);
    for (Tower& t : mTowers)
        if (t.link)
            t.link->setEventSink(sink);
}

QString PhantomControl::devicePath(Long port)
{
    static const char* const serial[] = {nullptr, "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"};
    if (port < 0 || port >= TowerPorts)
        return {};
    const QString fallback = port == 0 ? TowerTransport::findUsbTower() : QString::fromLatin1(serial[port]);
    ISettingsStore* settings = App().Settings;
    if (!settings)
        return fallback;
    return SettingsKeys::ReadDevicePath(*settings, port, fallback);
}

void PhantomControl::setDevicePath(Long port, const QString& path)
{
    if (port < 0 || port >= TowerPorts)
        return;
    mTowers[port].fixedPath = path;
    mTowers[port].fixed = true;
}

QString PhantomControl::towerDevice(Long port) const
{
    if (port < 0 || port >= TowerPorts)
        return {};
    const Tower& tower = mTowers[port];
    return tower.fixed ? tower.fixedPath : devicePath(port);
}

void PhantomControl::setTowerTiming(TowerTransport::Timing timing)
{
    mTowerTiming = std::move(timing);
    for (Tower& t : mTowers) {
        t.link.reset();
        t.transport.reset();
    }
}

IPhantomControl* PhantomControl::device()
{
    if (mPort == VirtualBrickPort) {
        const qint64 now = mClock();
        if (now > mBrickTime)
            mBrick.advance(now - mBrickTime);
        mBrickTime = now;
        return &mBrickLink;
    }
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
                if (busy)
                    mBusy = std::make_unique<BrickBusy>(QStringLiteral("RCX: waiting for an answer on ") + path +
                                                        QStringLiteral("..."));
                else
                    mBusy.reset();
            });
            tower.link = std::make_unique<RcxLink>(*tower.transport);
            tower.link->setComPortNo(mPort);
            tower.link->setEventSink(mSink);
        }
    }
    return tower.link.get();
}

IPhantomControl& PhantomControl::brick()
{
    IPhantomControl* d = device();
    if (!d)
        raiseError(Err::DeviceUnavailable);
    return *d;
}

bool PhantomControl::TowerCheck1()
{
    IPhantomControl* d = device();
    return d && d->TowerCheck1();
}

bool PhantomControl::TowerCheck2()
{
    IPhantomControl* d = device();
    return d && d->TowerCheck2();
}

bool PhantomControl::TowerCheck3()
{
    // The virtual brick's tower is always there, whether the brick is on or not.
    if (mPort == VirtualBrickPort)
        return true;
    IPhantomControl* d = device();
    return d && d->TowerCheck3();
}

bool PhantomControl::PBAlive()
{
    IPhantomControl* d = device();
    return d && d->PBAlive();
}

bool PhantomControl::On(const QString& motors) { return brick().On(motors); }
bool PhantomControl::Off(const QString& motors) { return brick().Off(motors); }
bool PhantomControl::Float(const QString& motors) { return brick().Float(motors); }
bool PhantomControl::SetFwd(const QString& motors) { return brick().SetFwd(motors); }
bool PhantomControl::SetRwd(const QString& motors) { return brick().SetRwd(motors); }
bool PhantomControl::AlterDir(const QString& motors) { return brick().AlterDir(motors); }
bool PhantomControl::SetPower(const QString& motors, Long source, Integer value)
{
    return brick().SetPower(motors, source, value);
}
void PhantomControl::Wait(Long source, Integer value) { brick().Wait(source, value); }

void PhantomControl::AbsVar(Integer variable, Long source, Integer value) { brick().AbsVar(variable, source, value); }
void PhantomControl::AndVar(Integer variable, Long source, Integer value) { brick().AndVar(variable, source, value); }
void PhantomControl::DivVar(Integer variable, Long source, Integer value) { brick().DivVar(variable, source, value); }
void PhantomControl::MulVar(Integer variable, Long source, Integer value) { brick().MulVar(variable, source, value); }
void PhantomControl::OrVar(Integer variable, Long source, Integer value) { brick().OrVar(variable, source, value); }
void PhantomControl::SetVar(Integer variable, Long source, Integer value) { brick().SetVar(variable, source, value); }
void PhantomControl::SgnVar(Integer variable, Long source, Integer value) { brick().SgnVar(variable, source, value); }
void PhantomControl::SubVar(Integer variable, Long source, Integer value) { brick().SubVar(variable, source, value); }
void PhantomControl::SumVar(Integer variable, Long source, Integer value) { brick().SumVar(variable, source, value); }

void PhantomControl::DatalogNext(Long source, Integer value) { brick().DatalogNext(source, value); }
bool PhantomControl::SetDatalog(Integer size) { return brick().SetDatalog(size); }
QVector<DatalogEntry> PhantomControl::GetDatalog(Integer from, Integer count)
{
    return brick().GetDatalog(from, count);
}
QVector<Long> PhantomControl::GetMemMap() { return brick().GetMemMap(); }
Integer PhantomControl::PBBattery() { return brick().PBBattery(); }
Integer PhantomControl::Poll(Long source, Integer& number) { return brick().Poll(source, number); }

void PhantomControl::ClearPBMessage() { brick().ClearPBMessage(); }
void PhantomControl::ClearTimer(Integer timer) { brick().ClearTimer(timer); }
void PhantomControl::ClearSensorValue(Integer sensor) { brick().ClearSensorValue(sensor); }
bool PhantomControl::PBPowerDownTime(Integer minutes) { return brick().PBPowerDownTime(minutes); }
bool PhantomControl::PBTurnOff() { return brick().PBTurnOff(); }
bool PhantomControl::PBTxPower(Integer power) { return brick().PBTxPower(power); }
bool PhantomControl::PlaySystemSound(Integer sound) { return brick().PlaySystemSound(sound); }
bool PhantomControl::PlayTone(Integer frequency, Integer duration) { return brick().PlayTone(frequency, duration); }
bool PhantomControl::SelectDisplay(Long source, Integer value) { return brick().SelectDisplay(source, value); }
void PhantomControl::SendPBMessage(Long source, Integer value) { brick().SendPBMessage(source, value); }
void PhantomControl::SetWatch(Integer hours, Integer minutes) { brick().SetWatch(hours, minutes); }
void PhantomControl::SetSensorMode(Integer sensor, Integer mode, Integer slope)
{
    brick().SetSensorMode(sensor, mode, slope);
}
void PhantomControl::SetSensorType(Integer sensor, Integer type) { brick().SetSensorType(sensor, type); }
bool PhantomControl::DownloadFirmware(const QString& fullPath) { return brick().DownloadFirmware(fullPath); }
QString PhantomControl::FirmwareVersion() { return brick().FirmwareVersion(); }

void PhantomControl::SelectPrgm(Integer& slot) { brick().SelectPrgm(slot); }
void PhantomControl::GoSub(Integer& sub) { brick().GoSub(sub); }
void PhantomControl::StartTask(Integer& task) { brick().StartTask(task); }
void PhantomControl::StopTask(Integer& task) { brick().StopTask(task); }
void PhantomControl::StopAllTasks() { brick().StopAllTasks(); }
void PhantomControl::BeginOfTask(Integer& task) { brick().BeginOfTask(task); }
void PhantomControl::EndOfTask() { brick().EndOfTask(); }
void PhantomControl::BeginOfSub(Integer& sub) { brick().BeginOfSub(sub); }
void PhantomControl::EndOfSub() { brick().EndOfSub(); }
void PhantomControl::Loop(Long source, Integer count) { brick().Loop(source, count); }
void PhantomControl::EndLoop() { brick().EndLoop(); }
void PhantomControl::While(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    brick().While(source1, value1, op, source2, value2);
}
void PhantomControl::EndWhile() { brick().EndWhile(); }
void PhantomControl::If(Long source1, Integer value1, Integer op, Long source2, Integer value2)
{
    brick().If(source1, value1, op, source2, value2);
}
void PhantomControl::Else() { brick().Else(); }
void PhantomControl::EndIf() { brick().EndIf(); }
