#pragma once
// The one message routine of the system.
#include "model/Services.h"

#include <QString>

// Shows a message box with the text and the style (MsgStyle; OkOnly with no
// icon is shown with the information icon) through the presenter and returns
// the pressed button (MsgResult).
int ShowMessage(IMessagePresenter& presenter, const QString& text, int style = MsgStyle::OkOnly);
// The same through the presenter of the process-wide state.
int ShowMessage(const QString& text, int style = MsgStyle::OkOnly);
