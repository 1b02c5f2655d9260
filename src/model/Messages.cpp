#include "model/Messages.h"

#include "model/AppState.h"

int ShowMessage(IMessagePresenter& presenter, const QString& text, int style)
{
    if (style == MsgStyle::OkOnly)
        style = MsgStyle::Information;
    return presenter.MsgBox(text, style);
}

int ShowMessage(const QString& text, int style)
{
    return ShowMessage(*App().Presenter, text, style);
}
