#include "model/NamedValues.h"

// Filled in with the named values work.
void BuildRcxObjects() {}
void BuildJoystickObjects() {}
void FillNameTables() {}
