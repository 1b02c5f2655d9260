#pragma once
// Placing the set-up window's and its dialogs' controls by their twips
// rectangles.
#include "model/Twips.h"

// Gives a control the pixel rectangle of a twips rectangle; returns it.
template <class W>
W* place(W* w, double left, double top, double width, double height)
{
    w->setGeometry(PixRect(left, top, width, height));
    return w;
}
