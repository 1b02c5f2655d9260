#pragma once
// The tower driver's time for tests: a clock that moves only as the driver
// waits. A pause moves it on by its length; a wait for the device that times
// out moves it on by the whole wait. The wait looks at the device for a short
// real moment only, long enough for a responder thread on a pseudo-terminal to
// answer, so a silent device costs little real time whatever its timeouts.
//
//   TowerTime time;
//   TowerTransport tower(responder.devicePath(), time.timing());
//   ... time.now is the driver's milliseconds
//
// A responder thread may read the clock (clock()) while the driver runs.
#include "link/tower/TowerTransport.h"

#include <atomic>
#include <poll.h>

struct TowerTime {
    std::atomic<qint64> now{0};
    // The real milliseconds a wait gives the device before it counts as timed out.
    static constexpr int RealMs = 50;

    TowerTransport::Timing timing()
    {
        return {clock(), [this](int ms) { now += ms; },
                [this](pollfd* device, int ms) {
                    const int r = ::poll(device, 1, ms < RealMs ? ms : RealMs);
                    if (r == 0)
                        now += ms;
                    return r;
                }};
    }
    TowerTransport::Clock clock()
    {
        return [this] { return now.load(); };
    }
};
