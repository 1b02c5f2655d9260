#include "model/Notifier.h"

void Notifier::SetPointer(int shape)
{
    mPointer = shape;
    Q_EMIT PointerChanged(shape);
}
