#pragma once
// Carrying out commands at once on the PC: the interpreter that walks a grid,
// evaluates conditions, loops and variables against the project's named values
// and sends the brick only what it carries out on the spot; the preparation of
// a Joystick & Keyboard run and one tick of that run.
//
// Its inputs are the Joystick (joystick 0 and the keys) and the ObjectList of
// the AppState it is handed, the brick on its port selector, and two seams: the wait of a
// command and the yield to the event loop. Tests script the joystick and
// record the waits.
#include "model/AppState.h"
#include "model/Command.h"

#include <functional>

struct ImmediateSeams {
    // Blocks for a command's wait, in milliseconds.
    std::function<void(Long ms)> Sleep;
    // Lets pending events run once.
    std::function<void()> Yield;

    // Sleep for ms (rounded to whole milliseconds) and Yield, each doing
    // nothing when its seam is not set.
    void sleepFor(double ms) const;
    void yield() const;

    // The thread really sleeps; the yield goes through the app's Shell.
    static ImmediateSeams Real(AppState& app);
};

class VbError;

// A number in [0, 1) from the program's random sequence (seeded with 1 at start).
double Rnd();
// A failure while commands are carried out: the pointer back to the default
// and "Error: " with the number and the description, OK only, no icon; told
// through the state's notifier and presenter.
void ShowImmediateFailure(AppState& app, const VbError& e);

// What the interpreter answers for "no joystick".
constexpr Long kJoystickUnplugged = 167;

class ImmediateRunner {
public:
    explicit ImmediateRunner(AppState& app) : ImmediateRunner(app, ImmediateSeams::Real(app)) {}
    ImmediateRunner(AppState& app, ImmediateSeams seams) : mApp(app), mSeams(std::move(seams)) {}
    AppState& app() const { return mApp; }

    // Walks the grid: columns 2 both, 1 the ELSE column only, anything else
    // column 0. Gap mode False (a run): an empty cell ends a column; True (a
    // transmitted selection): empty cells are skipped. True when the walk
    // reached its end; False when stopped, cancelled, refused or failed.
    bool RunImmediate(CommandCollection* commands, Integer columns, bool gapMode);

    // The operands as the PC sees them: S1, V1, S2, V2 by reference.
    void ResolveOperandsImmediate(const clsCommand& command, Variant& s1, Variant& v1, Variant& s2,
                                  Variant& v2);

    // Source 180: the sum of the codes of the keys down; 170: axis `number`'s
    // position; else the button state (1 when the mask's bits are pressed).
    // -1 (after a message) when the joystick can't be read. The mask is a
    // Long so that buttons 16 to 31 can be asked for too.
    Long ReadJoystickOrKeys(Integer source, Integer number, Long mask);

    // Brings the PC's record of every motor in the command's list in step with
    // it; True when any of them changed (the command must be sent).
    bool UpdateMotorState(const clsCommand& command, const Variant& value);

private:
    bool walk(CommandCollection* commands, Integer columns, bool gapMode);
    // Carries out one command; false ends the walk with False.
    bool carryOut(const clsCommand& c, Variant& s1, Variant& v1, Variant& s2, Variant& v2, bool gapMode,
                  bool& answered);
    class Sender;
    // An IF, WHILE or LOOP carried out on the PC, its body walked as it says.
    bool block(const clsCommand& c, Variant& s1, Variant& v1, Variant& s2, Variant& v2, bool gapMode);
    // A motor command: sent when it changes the PC's record of a motor.
    void motor(const clsCommand& c, const Variant& s2, const Variant& v2, Sender& send);
    // A VAR command worked out on the PC's copy of the variable.
    void variable(const clsCommand& c, const Variant& v1, const Variant& v2);
    bool condition(const clsCommand& c, const Variant& v1, const Variant& v2, bool rangeAllowed);
    void wait(const clsCommand& c, const Variant& s1, const Variant& v1);

    AppState& mApp;
    ImmediateSeams mSeams;
};

// Prepares a run: variables back to their initial values, the set-up motors
// switched as set up, and the PC's record of each motor read from the brick.
void ResetMotorObjects(AppState& app);

// The PC-side run of a Joystick & Keyboard project, one pass of task 1 a tick.
class PcRun {
public:
    // The run of the project the state holds.
    explicit PcRun(AppState& app) : mRunner(app) {}
    PcRun(AppState& app, ImmediateSeams seams) : mRunner(app, std::move(seams)) {}

    enum class Tick {
        Skipped,  // a set-up window is waiting, or the previous pass is still going
        Passed,   // one pass of task 1 went through
        Ended,    // the run ended: every motor switched off, StopRun True
    };
    // The run timer's tick.
    Tick tmrJoy_Timer();

private:
    ImmediateRunner mRunner;
    bool mBusy = false;
};
