#include "datalog/core/DatalogSet.h"

#include "model/AppState.h"

DatalogSet& CurrentDatalog() { return AppScoped<DatalogSet>(); }
