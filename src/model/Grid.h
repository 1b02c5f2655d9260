#pragma once
// The grid key of a cell: two digits of the column, then two of the row
// ("0105" is column 1, row 5). A value of 0..9 gets a leading "0", a larger one
// its digits, a negative one "-1".
#include <QString>

QString ColKey(int column, int row);
