#pragma once
// The built-in named values of both project types, the name tables and the
// table of commands that may be sent at once.
#include "model/NamedValue.h"
#include "model/Variant.h"

#include <QString>

// Makes a named value through App().CurrentObject and adds it to ObjectList
// under its name (failure 457 when the name is there already); returns it.
ObjectPtr AddNamedValue(const QString& name, Integer source, Long value, Integer number);

void BuildRcxObjects();
void BuildJoystickObjects();
// Fills the name tables and ImmediateCommands; done once at start-up.
void FillNameTables();
