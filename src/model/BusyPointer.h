#pragma once
// The hourglass while the program works: set when the BusyPointer
// is made, the default pointer put back when it goes, on every way out.
// Restore() puts the default back before then, where a message or a window
// that follows must not show the hourglass.
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Services.h"

class BusyPointer {
public:
    BusyPointer() : BusyPointer(*App().Notifier) {}
    explicit BusyPointer(Notifier& notifier) : mNotifier(notifier)
    {
        mNotifier.SetPointer(PointerShape::Hourglass);
    }
    ~BusyPointer() { Restore(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    void Restore()
    {
        if (!mBusy)
            return;
        mBusy = false;
        mNotifier.SetPointer(PointerShape::Default);
    }

private:
    Notifier& mNotifier;
    bool mBusy = true;
};
