#pragma once
// Transmit: the commands selected in an editor window carried out at once on
// the brick. In an RCX project every selected command must be an immediate one
// and pass the command check, then each goes down as one or two operations; in
// a Joystick & Keyboard project the selection is handed to the PC-side
// interpreter, so conditions, loops and variables are evaluated on the PC.
#include "compiler/Immediate.h"
#include "model/Command.h"

// The window's grid of the project the state holds; a command is selected
// when its PicSelected is True. Without seams the real ones.
void TransmitCommands(AppState& app, CommandCollection& commands);
void TransmitCommands(AppState& app, CommandCollection& commands, const ImmediateSeams& seams);
