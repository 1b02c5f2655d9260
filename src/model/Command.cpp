#include "model/Command.h"

#include "model/CommandCatalogue.h"

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

const QString& clsCommand::KeyText() const
{
    return CommandKey == ::CommandKey::None ? mUnknownKeyText : CommandKeyText(CommandKey);
}

void clsCommand::SetKeyText(const QString& text)
{
    CommandKey = CommandKeyOf(text);
    if (CommandKey == ::CommandKey::None)
        mUnknownKeyText = text;
    else
        mUnknownKeyText.clear();
}
