#pragma once
// The hourglass while the program works: set when the BusyPointer is made,
// the default pointer put back when it goes, on every way out. Restore()
// puts the default back before then, where a message or a window that
// follows must not show the hourglass.
//
// Busy pointers nest: one made while the pointer is busy already (an outer
// BusyPointer, or work that keeps the pointer busy on purpose, such as a
// download waiting for the brick to report its last module) leaves the
// pointer alone, so the pointer stays busy until the outer work ends. Only
// the pointer is its business; a status text that goes with the work is told
// by the work itself.
#include "model/Notifier.h"
#include "model/Services.h"

class BusyPointer {
public:
    explicit BusyPointer(Notifier& notifier)
        : mNotifier(notifier), mBusy(notifier.Pointer() != PointerShape::Hourglass)
    {
        if (mBusy)
            mNotifier.SetPointer(PointerShape::Hourglass);
    }
    ~BusyPointer() { Restore(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    // Ends this busy pointer early; one nested in another leaves the pointer
    // to the outer.
    void Restore()
    {
        if (!mBusy)
            return;
        mBusy = false;
        mNotifier.SetPointer(PointerShape::Default);
    }

private:
    Notifier& mNotifier;
    bool mBusy;  // this one set the hourglass and puts the default back
};
