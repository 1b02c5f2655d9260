#pragma once
// One transfer at a time. A firmware download, a program download or a
// datalog upload holds the brick from its first request to its last; while
// it does, every other brick operation, the tower checks and a change of
// port are refused at once with BrickBusyError, whose text says what the
// brick is busy with ("The RCX is busy: firmware download"), and nothing goes
// to any brick.
//
// A program download or a datalog upload holds the brick with a BrickHold
// for as long as it runs. Its own operations go through while its code runs;
// where it lets the event loop run (the control's events, DoEvents between
// its requests) it yields the brick to nobody: what the events start then is
// refused. A firmware download holds the brick by itself while its blocks go
// from the event loop (RcxLink).
//
// The hold is the port selector's (PortSelector): with another choice of
// brick (a test's fake) nothing is held and nothing refused.
#include <QString>

struct AppState;
class PortSelector;
class VbError;

// The failure of a brick operation refused while the brick is busy.
constexpr int BrickBusyError = 70;

// What a transfer is called in the busy text.
namespace BrickWork {
inline const QString Firmware = QStringLiteral("firmware download");
inline const QString Program = QStringLiteral("program download");
inline const QString Datalog = QStringLiteral("datalog upload");
}

// "The RCX is busy: " and the work.
QString BrickBusyText(const QString& work);
// The work that holds the brick of the state's control; empty when it is free.
QString BrickBusyWith(const AppState& app);
// True for the failure of a brick operation refused while the brick was busy.
bool IsBrickBusy(const VbError& e);
// Where a transfer holds the brick, says so in a box ("The RCX is busy: ...")
// and is true: the caller's brick work is refused and sends nothing.
bool TellWhenBrickBusy(const AppState& app);

class BrickHold {
public:
    // Takes the brick for the work; taken() is false when it is busy already.
    BrickHold(const AppState& app, const QString& work);
    ~BrickHold();
    BrickHold(const BrickHold&) = delete;
    BrickHold& operator=(const BrickHold&) = delete;

    bool taken() const { return mTaken; }

    // While it lives, the holder lets the event loop run: the brick is nobody's.
    class Yield {
    public:
        explicit Yield(const BrickHold& hold);
        ~Yield();
        Yield(const Yield&) = delete;
        Yield& operator=(const Yield&) = delete;

    private:
        PortSelector* mPorts;
    };

private:
    PortSelector* mPorts;
    bool mTaken = false;
};
