#include "model/Messages.h"

#include "model/AppState.h"

int ShowMessage(const QString& text, int style)
{
    if (style == 0)
        style = MsgStyle::Information;
    return App().Presenter->MsgBox(text, style);
}
