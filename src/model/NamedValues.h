#pragma once
// The built-in named values of both project types, the name tables and the
// table of commands that may be sent at once.
#include "model/Collection.h"
#include "model/NamedValue.h"
#include "model/ProjectType.h"
#include "model/Variant.h"

#include <QString>

// Makes a named value through App().CurrentObject and adds it to the open
// project's ObjectList under its name (failure 457 when the name is there
// already); returns it. With a list: adds it there (a project being read).
ObjectPtr AddNamedValue(const QString& name, Integer source, Long value, Integer number);
ObjectPtr AddNamedValue(Collection<ObjectPtr>& list, const QString& name, Integer source, Long value, Integer number);

// The name a sensor's value object gets when nobody named it: the type word
// with its trailing blank, then the port number 1..3 after a blank for its
// sign ("Touch sensor  1"); empty for a type other than 1..4.
QString SensorValueName(Long type, int port);

// A sensor port's four status objects (type, mode, boolean, raw value), added
// in that order with Number = the port index 0..2. Dropping a sensor on its
// port and reading a project both make them here, so they carry one name.
void AddSensorStatusObjects(int port);
void AddSensorStatusObjects(Collection<ObjectPtr>& list, int port);
// The name of one of them: "S. Type ", "S. Mode ", "S. Boolean " or
// "S. Raw value " and the port number 1..3; empty for any other source.
QString SensorStatusName(Integer source, int port);
// An operand name of a stored command in the spelling today's objects carry:
// a raw value named "S. raw val " and the port number (any letter case), as
// projects read by earlier versions named it, becomes SensorStatusName(12, ..).
// Any other operand comes back as it is.
Variant CurrentOperandName(const Variant& source, const Variant& name);

// The built-in named values of an RCX project and of a Joystick & Keyboard
// project (its buttons and axes those of the joystick attached), into the
// open project or into a list; of the type's set.
void BuildRcxObjects();
void BuildJoystickObjects();
void BuildRcxObjects(Collection<ObjectPtr>& list);
void BuildJoystickObjects(Collection<ObjectPtr>& list);
void BuildBuiltInObjects(Collection<ObjectPtr>& list, ProjectType type);
// Fills the name tables and ImmediateCommands; done once at start-up.
void FillNameTables();
