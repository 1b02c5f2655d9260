#pragma once
// The hourglass while the program works: set when the BusyPointer
// is made, the default pointer put back when it goes, on every way out.
// Restore() puts the default back before then, where a message or a window
// that follows must not show the hourglass.
#include "model/AppState.h"
#include "model/Services.h"

class BusyPointer {
public:
    BusyPointer() : BusyPointer(*App().Windows) {}
    explicit BusyPointer(IWindowServices& windows) : mWindows(windows)
    {
        mWindows.SetPointer(PointerShape::Hourglass);
    }
    ~BusyPointer() { Restore(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    void Restore()
    {
        if (!mBusy)
            return;
        mBusy = false;
        mWindows.SetPointer(PointerShape::Default);
    }

private:
    IWindowServices& mWindows;
    bool mBusy = true;
};
