#pragma once
// Tasks, subs and the set-up writing themselves into the listing and sending
// themselves to the brick, the one-time tower check and the sensor port check.
#include "model/Module.h"
#include "model/RcxSetup.h"

// The module's listing: its header lines, its grid, its end line.
bool Compile(clsTask& task);
bool Compile(clsSub& sub);
// The module through the control, between its begin and end operations.
bool DownLoad(clsTask& task);
bool DownLoad(clsSub& sub);

// Checks the tower once per program run; false (after a message) when it
// does not answer, so that the next call checks again.
bool InitRCX(clsRcx& rcx);
// The start-up task 0: action 1 sends it, action 3 lists it (emptying the
// listing first in an RCX project); any other action does nothing.
bool DownLoad(clsRcx& rcx, Long action);
// Brings a sensor port of the brick in line with the type and mode chosen.
void UpdateSensor(clsRcx& rcx, Integer sensorIndex, Integer lType, Integer lMode);
