#include "link/PortScan.h"

#include "model/AppState.h"
#include "model/Phantom.h"

namespace {

bool towerAnswers()
{
    IPhantomControl& pb = PB();
    return pb.TowerCheck1() && pb.TowerCheck2() && pb.TowerCheck3();
}

// Tries the ports 0 to 4 and remembers the first that answers.
bool scanPorts()
{
    IPhantomControl& pb = PB();
    for (Long port = 0; port <= 4; ++port) {
        pb.setComPortNo(port);
        if (towerAnswers()) {
            App().Settings->SaveSetting(QStringLiteral("com"), QStringLiteral("comport"),
                                        QString::number(port));
            pb.setComPortNo(port);
            return true;
        }
    }
    return false;
}

}  // namespace

bool VerifyCommPort(Integer& comPort)
{
    AppState& app = App();
    if (app.PortVerified)
        return true;
    bool result = false;
    if (comPort == -1) {
        result = scanPorts();
    } else {
        IPhantomControl& pb = PB();
        pb.setComPortNo(comPort);
        comPort = 0;
        if (towerAnswers()) {
            comPort = Integer(pb.ComPortNo());
            result = true;
        } else {
            result = scanPorts();
        }
    }
    if (result)
        app.PortVerified = True;
    return result;
}

bool ChkCommPort()
{
    return false;
}
