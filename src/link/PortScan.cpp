#include "link/PortScan.h"

#include "link/PortSelector.h"
#include "model/AppState.h"
#include "model/BusyPointer.h"
#include "model/Config.h"
#include "model/Notifier.h"
#include "model/Messages.h"
#include "model/Phantom.h"

namespace {

bool towerAnswers(IPortSelector& ports)
{
    return ports.TowerCheck1() && ports.TowerCheck2() && ports.TowerCheck3();
}

// Tries the tower ports 0 to 3 and remembers the first that answers.
bool scanTowers(AppState& app)
{
    IPortSelector& ports = Ports(app);
    for (Long port = 0; port < PortSelector::TowerPorts; ++port) {
        ports.setComPortNo(port);
        if (towerAnswers(ports)) {
            app.Config->Set(Setting::ComPort, Integer(port));
            ports.setComPortNo(port);
            app.BrickPort = port;
            return true;
        }
    }
    return false;
}

// The virtual brick, never remembered as the port found.
bool useVirtualBrick(AppState& app)
{
    IPortSelector& ports = Ports(app);
    ports.setComPortNo(PortSelector::VirtualBrickPort);
    if (!towerAnswers(ports))
        return false;
    app.BrickPort = PortSelector::VirtualBrickPort;
    return true;
}

void tellVirtualBrick(AppState& app, bool chosen)
{
    if (app.VirtualBrickTold)
        return;
    app.VirtualBrickTold = True;
    const QString how = QStringLiteral("choose \"Look for an IR tower\" in the Preferences "
                                       "(File menu of the RCX set-up window)");
    if (chosen)
        ShowMessage(*app.Presenter,
                    QStringLiteral("Quillomat talks to its virtual brick, as chosen in the Preferences.\r\n"
                                   "To use the RCX through an IR tower, ") +
                        how + QLatin1Char('.'),
                    MsgStyle::Information);
    else
        ShowMessage(*app.Presenter,
                    QStringLiteral("No IR tower answers on any port, so Quillomat talks to its virtual brick.\r\n"
                                   "To use the RCX, connect the tower and ") +
                        how + QStringLiteral(", or start Quillomat again."),
                    MsgStyle::Information);
}

}  // namespace

bool VerifyCommPort(AppState& app, Integer& comPort)
{
    if (app.PortVerified)
        return true;
    const bool chosen = app.Config->Value(Setting::VirtualBrick);
    bool result = false;
    bool virtualBrick = false;
    if (chosen) {
        result = virtualBrick = useVirtualBrick(app);
        if (result)
            app.PortVerified = True;
        ShowBrick(app);
    } else {
        BusyPointer busy(*app.Notifier);
        BrickStatusText looking(app, QStringLiteral("RCX: looking for the IR tower..."));
        if (comPort >= 0 && comPort < PortSelector::TowerPorts) {
            IPortSelector& ports = Ports(app);
            ports.setComPortNo(comPort);
            comPort = 0;
            if (towerAnswers(ports)) {
                comPort = Integer(ports.ComPortNo());
                app.BrickPort = comPort;
                result = true;
            }
        }
        if (!result)
            result = scanTowers(app);
        // No tower on any port: the program still has a brick to talk to.
        if (!result)
            result = virtualBrick = useVirtualBrick(app);
        if (result)
            app.PortVerified = True;
    }
    if (virtualBrick)
        tellVirtualBrick(app, chosen);
    return result;
}

bool ChkCommPort()
{
    return false;
}

bool VerifyCommPort(AppState& app)
{
    Integer port = app.Config->Value(Setting::ComPort);
    return VerifyCommPort(app, port);
}

void ChooseVirtualBrick(AppState& app, bool chosen)
{
    const bool onVirtualBrick = app.BrickPort == PortSelector::VirtualBrickPort;
    if (app.PortVerified && chosen != onVirtualBrick) {
        app.PortVerified = False;
        app.BrickPort = -1;
        app.SetRcxInit(False);
    }
    app.Config->Set(Setting::VirtualBrick, chosen);
    ShowBrick(app);
}

QString BrickDescription(const AppState& app, Long port)
{
    if (port == PortSelector::VirtualBrickPort)
        return QStringLiteral("RCX: virtual brick");
    if (port >= 0 && port < PortSelector::TowerPorts) {
        const auto* control = dynamic_cast<const PortSelector*>(app.Ports);
        return QStringLiteral("RCX: tower on ") +
               (control ? control->towerDevice(port) : PortSelector::devicePath(*app.Config, port));
    }
    return QStringLiteral("RCX: no tower found yet");
}

QString BrickDescription(const AppState& app)
{
    if (app.PortVerified && app.BrickPort >= 0)
        return BrickDescription(app, app.BrickPort);
    return BrickDescription(app, app.Config->Value(Setting::VirtualBrick) ? PortSelector::VirtualBrickPort : -1);
}

void ShowBrick(AppState& app)
{
    Q_EMIT app.Notifier->BrickDescribed(BrickDescription(app));
}

BrickStatusText::BrickStatusText(AppState& app, const QString& text) : mApp(app)
{
    Q_EMIT mApp.Notifier->BrickDescribed(text);
}

BrickStatusText::~BrickStatusText()
{
    ShowBrick(mApp);
}
