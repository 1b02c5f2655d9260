#pragma once
// Task files (<project>.dir/<task>.tas) and sub files (Subs/<sub>.sub).
#include "model/Module.h"

bool SaveTask(clsTask& task);
bool SaveSub(clsSub& sub);
bool ReadTask(clsTask& task, Integer flag);
bool ReadSub(clsSub& sub, Integer flag);
