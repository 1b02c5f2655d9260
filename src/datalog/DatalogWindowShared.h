#pragma once
// What the datalog window's files share: the list's text when the datalog is
// empty and the way a failure is shown.
#include "model/Messages.h"
#include "model/Services.h"
#include "model/VbError.h"

#include <QString>

namespace datalogwindow {

inline const QString kEmpty = QStringLiteral("Datalog is empty!");

inline void showFailure(const VbError& e) { ShowMessage(e.description(), MsgStyle::Exclamation); }

}  // namespace datalogwindow
