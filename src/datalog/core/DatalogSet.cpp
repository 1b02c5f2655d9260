#include "datalog/core/DatalogSet.h"

#include "model/AppState.h"

DatalogSet& CurrentDatalog()
{
    static DatalogSet datalog;
    static const bool resetWithTheApp = [] {
        AtResetApp([] { datalog = DatalogSet(); });
        return true;
    }();
    (void)resetWithTheApp;
    return datalog;
}
