#pragma once
// The virtual brick as the program talks to it: the software brick, reached
// through the same link as a tower's brick, so a program downloaded to it
// runs there. Its programs, timers and watch run on the clock given, caught
// up before every operation that reaches it.
#include "link/protocol/RcxLink.h"
#include "link/vbrick/InProcessTower.h"
#include "link/vbrick/SoftRcx.h"

namespace vbrick {

// The brick and its tower, made before the link that talks through them.
class VirtualBrickParts {
protected:
    explicit VirtualBrickParts(InProcessTower::Clock clock) : mTower(mBrick, std::move(clock)) {}
    SoftRcx mBrick;
    InProcessTower mTower;
};

class VirtualBrick : private VirtualBrickParts, public RcxLink {
public:
    explicit VirtualBrick(InProcessTower::Clock clock) : VirtualBrickParts(std::move(clock)), RcxLink(mTower) {}

    SoftRcx& brick() { return mBrick; }
    // The bytes its tower has carried to the brick.
    qint64 bytesSent() const { return mTower.bytesSent(); }
    // Lets a module's transfer take about a quarter of the time it takes
    // through a tower, waiting through wait, so that the progress can be
    // followed.
    void setPace(InProcessTower::Waiter wait) { mTower.setPace(std::move(wait)); }
};

}  // namespace vbrick
