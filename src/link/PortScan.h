#pragma once
// Finding the brick the program talks to: the brick behind a tower on one of
// the ports 0 to 3, or the virtual brick on port 4 (PortSelector).
#include "model/Variant.h"

#include <QString>

struct AppState;

// Settles the brick the program talks to, through the app's port selector;
// True when one is there to talk to. Once settled, later calls return True
// without asking again.
//
// With the virtual brick chosen (Setting::VirtualBrick) that is port 4. Else a
// tower port: ComPort when it is one of 0 to 3 and its tower answers (ComPort
// then becomes the port read back); otherwise the ports 0 to 3 in turn, and
// the first whose tower answers is kept in the settings (Setting::ComPort).
// A tower answers with its brick off or out of range as well: that the brick
// does not is PBAlive's to tell. When no tower answers on any
// port, the virtual brick, which is never kept as the port found, so the next
// start looks for a tower again. The user is told once in a process that the
// program talks to its virtual brick. While it looks for a tower the pointer
// is busy and the status strip says so; after, the strip names the brick.
bool VerifyCommPort(AppState& app, Integer& comPort);
// The same with the port the settings hold (Setting::ComPort).
bool VerifyCommPort(AppState& app);
bool ChkCommPort();

// Keeps the user's choice of the virtual brick over a tower
// (Setting::VirtualBrick). When it changes the brick in use, the next brick
// operation settles it again (the search included).
void ChooseVirtualBrick(AppState& app, bool chosen);

// The brick the program talks to, as the status strip names it: the tower's
// device, "virtual brick", or none found yet. Of a port, or the one in use.
QString BrickDescription(const AppState& app, Long port);
QString BrickDescription(const AppState& app);
// Puts BrickDescription() into the status strip.
void ShowBrick(AppState& app);

// While it lives, a text in the status strip's brick field; after, the brick
// in use. The busy pointer that goes with the work is a BusyPointer of its own.
class BrickStatusText {
public:
    BrickStatusText(AppState& app, const QString& text);
    ~BrickStatusText();
    BrickStatusText(const BrickStatusText&) = delete;
    BrickStatusText& operator=(const BrickStatusText&) = delete;

private:
    AppState& mApp;
};
