#pragma once
// Finding the port on which the tower and the brick answer.
#include "model/Variant.h"

// The tower answers on ComPort (may change it to the port that answered).
// Once it has answered, later calls return True without asking again. With
// ComPort -1, or when the port given does not answer, the ports 0 to 4 are
// tried in turn and the first that answers is kept in the settings
// (section "com", key "comport").
bool VerifyCommPort(Integer& comPort);
bool ChkCommPort();
