#pragma once
// The built-in named values of both project types, the name tables and the
// table of commands that may be sent at once.
void BuildRcxObjects();
void BuildJoystickObjects();
// Fills the name tables and ImmediateCommands; done once at start-up.
void FillNameTables();
