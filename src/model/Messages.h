#pragma once
// The one message routine of the system.
#include <QString>

class IMessagePresenter;

// Shows a message box with the text and the style (style 0 is shown as 64,
// the information icon) through the presenter and returns the pressed button.
int ShowMessage(IMessagePresenter& presenter, const QString& text, int style = 0);
// The same through the presenter of the process-wide state.
int ShowMessage(const QString& text, int style = 0);
