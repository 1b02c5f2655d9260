#pragma once
// One decoded entry of the brick's datalog, as the datalog window lists,
// saves, reads back and draws it.
#include "model/Variant.h"

#include <QString>

struct DatalogRecord {
    Integer Source = 0;  // the brick source: 0 variable, 1 timer, 9 sensor, 14 clock; -1 Samples Counter
    QString Name;        // the item's display name; empty when the source is not known
    Integer Number = 0;  // variable slot, timer, sensor port; 0 in a Samples Counter record
    Integer Value = 0;   // the logged value, or the block count of a Samples Counter record

    bool operator==(const DatalogRecord&) const = default;
};
