#pragma once
// Tasks, subs and the set-up writing themselves into the listing and sending
// themselves to the brick, the one-time tower check and the sensor port check.
#include "model/AppState.h"
#include "model/Module.h"
#include "model/RcxSetup.h"

class CompileContext;

// The module of the project the state holds into the compile's listing: its
// header lines, its grid, its end line.
bool Compile(AppState& app, clsTask& task, CompileContext& context);
bool Compile(AppState& app, clsSub& sub, CompileContext& context);
// The module to the state's brick, between its begin and end operations.
bool DownLoad(AppState& app, clsTask& task);
bool DownLoad(AppState& app, clsSub& sub);

// Checks the tower of the state's port selector once per program run; false
// (after a message) when it does not answer, so that the next call checks again,
// and while a transfer holds the brick ("The RCX is busy: ...").
bool InitRCX(AppState& app);
// The start-up task 0 of the project the state holds: action 1 sends it,
// action 3 lists it into the compile (emptying its listing first in an RCX
// project; failure 91 without a compile); any other action does nothing.
bool DownLoad(AppState& app, const clsRcx& rcx, Long action, CompileContext* context = nullptr);
// Brings a sensor port of the state's brick in line with the type and mode chosen.
void UpdateSensor(AppState& app, Integer sensorIndex, Integer lType, Integer lMode);

