#pragma once
// The built-in named values of both project types, the name tables and the
// table of commands that may be sent at once.
#include "model/NamedValue.h"
#include "model/Variant.h"

#include <QString>

// Makes a named value through App().CurrentObject and adds it to ObjectList
// under its name (failure 457 when the name is there already); returns it.
ObjectPtr AddNamedValue(const QString& name, Integer source, Long value, Integer number);

// The name a sensor's value object gets when nobody named it: the type word
// with its trailing blank, then the port number 1..3 after a blank for its
// sign ("Touch sensor  1"); empty for a type other than 1..4.
QString SensorValueName(Long type, int port);

void BuildRcxObjects();
void BuildJoystickObjects();
// Fills the name tables and ImmediateCommands; done once at start-up.
void FillNameTables();
