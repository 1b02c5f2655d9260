#include "model/Grid.h"

static QString keyPart(int v)
{
    if (v < 0)
        return QStringLiteral("-1");
    if (v <= 9)
        return QLatin1Char('0') + QString::number(v);
    return QString::number(v);
}

static QString fourDigitKey(int column, int row)
{
    const QChar key[4] = {QLatin1Char(char('0' + column / 10)), QLatin1Char(char('0' + column % 10)),
                          QLatin1Char(char('0' + row / 10)), QLatin1Char(char('0' + row % 10))};
    return QString(key, 4);
}

QString ColKey(int column, int row)
{
    // The keys of the grid's own cells are made once and handed out shared.
    static const auto cellKeys = [] {
        std::array<QString, GridCells::kColumns * GridCells::kRows> keys;
        for (int c = 0; c < GridCells::kColumns; ++c)
            for (int r = 1; r <= GridCells::kRows; ++r)
                keys[size_t(c * GridCells::kRows + r - 1)] = fourDigitKey(c, r);
        return keys;
    }();
    if (column >= 0 && column < GridCells::kColumns && row >= 1 && row <= GridCells::kRows)
        return cellKeys[size_t(column * GridCells::kRows + row - 1)];
    if (column >= 0 && column <= 99 && row >= 0 && row <= 99)  // four digits
        return fourDigitKey(column, row);
    return keyPart(column) + keyPart(row);
}

GridCells::GridCells(const CommandCollection& grid)
{
    auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : -1; };
    for (const auto& e : grid) {
        // Keys of the cells are four digits: "00" or "01", then "01" to "40".
        const QString& key = e.key;
        if (key.size() != 4)
            continue;
        const int d[4] = {digit(key[0]), digit(key[1]), digit(key[2]), digit(key[3])};
        if (d[0] != 0 || d[1] < 0 || d[1] >= kColumns || d[2] < 0 || d[3] < 0)
            continue;
        const int row = d[2] * 10 + d[3];
        if (row < 1 || row > kRows)
            continue;
        mCells[size_t(d[1] * kRows + row - 1)] = &e.item;
    }
}
