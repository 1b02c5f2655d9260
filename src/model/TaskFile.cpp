#include "model/TaskFile.h"

// Filled in with the task and sub file work.
bool SaveTask(clsTask&) { return false; }
bool SaveSub(clsSub&) { return false; }
bool ReadTask(clsTask&, Integer) { return false; }
bool ReadSub(clsSub&, Integer) { return false; }
