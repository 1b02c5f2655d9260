#pragma once
// The grid key of a cell: two digits of the column, then two of the row
// ("0105" is column 1, row 5). A value of 0..9 gets a leading "0", a larger one
// its digits, a negative one "-1".
#include "model/Command.h"

#include <QString>

#include <array>

QString ColKey(int column, int row);

// The cells of a grid's two columns of 40 rows, gathered in one pass over its
// keys, so that walking the grid builds no key: at(column, row) is the item
// held under ColKey(column, row), or nullptr when the grid holds no such key.
class GridCells {
public:
    static constexpr int kColumns = 2;
    static constexpr int kRows = 40;

    explicit GridCells(const CommandCollection& grid);
    const std::shared_ptr<clsCommand>* at(int column, int row) const
    {
        if (column < 0 || column >= kColumns || row < 1 || row > kRows)
            return nullptr;
        return mCells[size_t(column * kRows + row - 1)];
    }

private:
    std::array<const std::shared_ptr<clsCommand>*, kColumns * kRows> mCells{};
};
