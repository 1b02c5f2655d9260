#include "link/PortScan.h"

#include "link/PortSelector.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Messages.h"
#include "model/Phantom.h"
#include "model/SettingsKeys.h"

namespace {

constexpr int kHourglass = PointerShape::Hourglass;
constexpr int kDefaultPointer = PointerShape::Default;

bool towerAnswers()
{
    IPortSelector& ports = Ports();
    return ports.TowerCheck1() && ports.TowerCheck2() && ports.TowerCheck3();
}

// Tries the tower ports 0 to 3 and remembers the first that answers.
bool scanTowers()
{
    IPortSelector& ports = Ports();
    for (Long port = 0; port < PortSelector::TowerPorts; ++port) {
        ports.setComPortNo(port);
        if (towerAnswers()) {
            SettingsKeys::SaveComPort(*App().Settings, port);
            ports.setComPortNo(port);
            App().BrickPort = port;
            return true;
        }
    }
    return false;
}

// The virtual brick, never remembered as the port found.
bool useVirtualBrick()
{
    Ports().setComPortNo(PortSelector::VirtualBrickPort);
    if (!towerAnswers())
        return false;
    App().BrickPort = PortSelector::VirtualBrickPort;
    return true;
}

void tellVirtualBrick(bool chosen)
{
    AppState& app = App();
    if (app.VirtualBrickTold)
        return;
    app.VirtualBrickTold = True;
    const QString how = QStringLiteral("choose \"Look for an IR tower\" in the Preferences "
                                       "(File menu of the RCX set-up window)");
    if (chosen)
        ShowMessage(QStringLiteral("Quillomat talks to its virtual brick, as chosen in the Preferences.\r\n"
                                   "To use the RCX through an IR tower, ") +
                        how + QLatin1Char('.'),
                    MsgStyle::Information);
    else
        ShowMessage(QStringLiteral("No IR tower answers on any port, so Quillomat talks to its virtual brick.\r\n"
                                   "To use the RCX, connect the tower and ") +
                        how + QStringLiteral(", or start Quillomat again."),
                    MsgStyle::Information);
}

}  // namespace

bool VerifyCommPort(Integer& comPort)
{
    AppState& app = App();
    if (app.PortVerified)
        return true;
    const bool chosen = VirtualBrickChosen();
    bool result = false;
    bool virtualBrick = false;
    if (chosen) {
        result = virtualBrick = useVirtualBrick();
        if (result)
            app.PortVerified = True;
        ShowBrick();
    } else {
        BrickBusy busy(QStringLiteral("RCX: looking for the IR tower..."));
        if (comPort >= 0 && comPort < PortSelector::TowerPorts) {
            IPortSelector& ports = Ports();
            ports.setComPortNo(comPort);
            comPort = 0;
            if (towerAnswers()) {
                comPort = Integer(ports.ComPortNo());
                app.BrickPort = comPort;
                result = true;
            }
        }
        if (!result)
            result = scanTowers();
        // No tower on any port: the program still has a brick to talk to.
        if (!result)
            result = virtualBrick = useVirtualBrick();
        if (result)
            app.PortVerified = True;
    }
    if (virtualBrick)
        tellVirtualBrick(chosen);
    return result;
}

bool ChkCommPort()
{
    return false;
}

bool VirtualBrickChosen()
{
    return SettingsKeys::ReadVirtualBrick(*App().Settings);
}

void ChooseVirtualBrick(bool chosen)
{
    AppState& app = App();
    SettingsKeys::SaveVirtualBrick(*app.Settings, chosen);
    const bool onVirtualBrick = app.BrickPort == PortSelector::VirtualBrickPort;
    if (app.PortVerified && chosen != onVirtualBrick) {
        app.PortVerified = False;
        app.BrickPort = -1;
        if (app.RcxSetup)
            app.RcxSetup->IsInit = False;
    }
    ShowBrick();
}

QString BrickDescription(Long port)
{
    if (port == PortSelector::VirtualBrickPort)
        return QStringLiteral("RCX: virtual brick");
    if (port >= 0 && port < PortSelector::TowerPorts) {
        const auto* control = dynamic_cast<const PortSelector*>(App().Ports);
        return QStringLiteral("RCX: tower on ") +
               (control ? control->towerDevice(port) : PortSelector::devicePath(port));
    }
    return QStringLiteral("RCX: no tower found yet");
}

QString BrickDescription()
{
    const AppState& app = App();
    if (app.PortVerified && app.BrickPort >= 0)
        return BrickDescription(app.BrickPort);
    return BrickDescription(VirtualBrickChosen() ? PortSelector::VirtualBrickPort : -1);
}

void ShowBrick()
{
    Q_EMIT App().Notifier->BrickDescribed(BrickDescription());
}

BrickBusy::BrickBusy(const QString& text)
{
    Notifier& notifier = *App().Notifier;
    mSetPointer = notifier.Pointer() != kHourglass;
    if (mSetPointer)
        notifier.SetPointer(kHourglass);
    Q_EMIT notifier.BrickDescribed(text);
}

BrickBusy::~BrickBusy()
{
    Notifier& notifier = *App().Notifier;
    if (mSetPointer)
        notifier.SetPointer(kDefaultPointer);
    Q_EMIT notifier.BrickDescribed(BrickDescription());
}
