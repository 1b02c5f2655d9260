#pragma once
// The datalog last uploaded or opened: its records and where they came from.
// It stays while the program runs, the datalog window open or closed, and
// starts again with the app (ResetApp).
#include "model/Datalog.h"

#include <QString>
#include <QVector>

struct DatalogSet {
    QVector<DatalogRecord> DatalogRecords;
    // "RCX" after an upload, else the name of the list file opened.
    QString DatalogSource;
};

// The one datalog.
DatalogSet& CurrentDatalog();
