#include "model/Command.h"

const QString& clsCommand::PicCaption(int index) const
{
    if (index < 0 || index > 1)
        raiseError(Err::SubscriptOutOfRange);
    return mCaption[index];
}

void clsCommand::setPicCaption(int index, const QString& text)
{
    if (index < 0 || index > 1)
        raiseError(Err::SubscriptOutOfRange);
    mCaption[index] = text;
}
