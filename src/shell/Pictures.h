#pragma once
// The pictures of the palette, the toolbars and the command grid, by key
// ("M_ON", "L_IF", "M_OFF_FLOAT", "OPEN" ...). Each is 32 x 32 pixels.
#include <QIcon>
#include <QPixmap>
#include <QString>

QPixmap CommandPicture(const QString& key);
QIcon CommandIcon(const QString& key);
