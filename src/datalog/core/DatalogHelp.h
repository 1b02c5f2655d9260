#pragma once
// The datalog window's page of instructions, line by line: a line may start
// with a bullet and a bold label before its text.
#include <QVector>

struct DatalogHelpLine {
    bool bullet;
    const char* bold;  // nullptr: none
    const char* text;
};

const QVector<DatalogHelpLine>& DatalogHelpLines();
