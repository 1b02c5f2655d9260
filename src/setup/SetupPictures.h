#pragma once
// The pictures of the RCX set-up window, drawn here: the brick with its three
// sensor ports above and three output ports below, the palette pictures
// (touch, temperature, light and rotation sensor, motor) and the cover laid
// over palette entries a project may not use.
#include <QPixmap>
#include <QRect>
#include <QString>

// The brick picture of the given size (logical pixels). The port pads lie at
// SensorPortRect / OutputPortRect.
QPixmap BrickPicture(const QSize& size);
QRect SensorPortRect(const QSize& brick, int port);
QRect OutputPortRect(const QSize& brick, int port);
// The place of the program slot's display on the brick.
QRect SlotDisplayRect(const QSize& brick);
// The place of a key below the display: 0 the left one, 1 the right one.
QRect BrickKeyRect(const QSize& brick, int key);

// Palette picture 1..5 (SetupPicture codes).
QPixmap PalettePicture(int index, const QSize& size);
QPixmap CoverPicture(const QSize& size);
// A palette picture on a light tile, as a port shows what is plugged into it.
QPixmap PortPicture(int index, const QSize& size);
// The pictures of the brick tools' buttons by their index: 0 datalog,
// 1 firmware download, 3 battery, 4 power off.
QPixmap ToolPicture(int index, const QSize& size);
// The palette's tool tips.
QString PaletteTip(int index);
