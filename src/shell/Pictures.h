#pragma once
// The pictures of the palette, the toolbars and the command grid, by name,
// letter case aside. A command's picture is named as the catalogue spells its
// key (model/CommandCatalogue.h, CommandPictureKey: also "M_OFF_FLOAT" for a
// motor stopped floating); the others by their own names ("OPEN", "RCX" ...).
// Each is 32 x 32 pixels.
#include "model/CommandKey.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

QPixmap CommandPicture(const QString& key);
QIcon CommandIcon(const QString& key);
// The picture of a command.
QIcon CommandIcon(CommandKey key);
