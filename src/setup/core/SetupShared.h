#pragma once
// What the set-up core's files share: the brick of the project, the named
// values of a port and the one poll of the brick. Not for the windows.
#include "model/AppState.h"
#include "model/NamedValues.h"
#include "model/Phantom.h"

#include <QString>

#include <initializer_list>

namespace setupcore {

inline const QString kNoCommunication = QStringLiteral("No communication with the RCX");

// The open project's set-up, to read; it changes through the project's
// document (App().EditMotor, EditSensor ...).
inline const clsRcx& Rcx() { return App().RcxSetup(); }

inline QChar PortLetter(int port) { return QChar(QLatin1Char('A').unicode() + port); }

// Removes every named value of one of the sources whose number is the port.
void RemoveObjects(int port, std::initializer_list<Integer> sources);

// Removes the value, type, mode, raw and boolean objects of a sensor port.
void RemoveSensorObjects(int port);

inline ObjectPtr FindObject(const QString& name)
{
    const Collection<ObjectPtr>& list = App().ObjectList();
    return list.Exists(name) ? list.Item(name) : ObjectPtr();
}

inline Integer PollBrick(Long source, Integer number)
{
    Integer n = number;
    return PB().Poll(source, n);
}

}  // namespace setupcore
