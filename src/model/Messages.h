#pragma once
// The one message routine of the system.
#include <QString>

// Shows a message box with the text and the style (style 0 is shown as 64,
// the information icon) and returns the pressed button.
int ShowMessage(const QString& text, int style = 0);
