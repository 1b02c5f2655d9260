#include "link/BrickHold.h"

#include "link/PortSelector.h"
#include "model/AppState.h"
#include "model/Messages.h"
#include "model/VbError.h"

namespace {

PortSelector* selectorOf(const AppState& app)
{
    return dynamic_cast<PortSelector*>(app.Ports);
}

}  // namespace

QString BrickBusyText(const QString& work)
{
    return QStringLiteral("The RCX is busy: ") + work;
}

QString BrickBusyWith(const AppState& app)
{
    const PortSelector* ports = selectorOf(app);
    return ports ? ports->busyWith() : QString();
}

bool IsBrickBusy(const VbError& e)
{
    return e.number() == BrickBusyError;
}

bool TellWhenBrickBusy(const AppState& app)
{
    const QString work = BrickBusyWith(app);
    if (work.isEmpty())
        return false;
    ShowMessage(*app.Presenter, BrickBusyText(work), MsgStyle::Exclamation);
    return true;
}

BrickHold::BrickHold(const AppState& app, const QString& work) : mPorts(selectorOf(app))
{
    mTaken = !mPorts || mPorts->hold(work);
}

BrickHold::~BrickHold()
{
    if (mPorts && mTaken)
        mPorts->release();
}

BrickHold::Yield::Yield(const BrickHold& hold) : mPorts(hold.mTaken ? hold.mPorts : nullptr)
{
    if (mPorts)
        mPorts->yieldBrick(true);
}

BrickHold::Yield::~Yield()
{
    if (mPorts)
        mPorts->yieldBrick(false);
}
