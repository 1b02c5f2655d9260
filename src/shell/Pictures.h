#pragma once
// The pictures of the palette, the toolbars and the command grid, by name,
// letter case aside. A command's picture is named as the catalogue says
// (model/CommandCatalogue.h, CommandPictureKey: its key's text, and a picture
// of its own for a motor stopped floating); the others by their own names
// ("OPEN", "RCX" ...).
// Each is 32 x 32 pixels.
#include "model/CommandKey.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

QPixmap CommandPicture(const QString& key);
QIcon CommandIcon(const QString& key);
// The picture of a command.
QIcon CommandIcon(CommandKey key);
