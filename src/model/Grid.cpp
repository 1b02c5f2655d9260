#include "model/Grid.h"

static QString keyPart(int v)
{
    if (v < 0)
        return QStringLiteral("-1");
    if (v <= 9)
        return QLatin1Char('0') + QString::number(v);
    return QString::number(v);
}

QString ColKey(int column, int row)
{
    return keyPart(column) + keyPart(row);
}
