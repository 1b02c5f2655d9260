#pragma once
// A test's fresh start of the open project's lists, through the document's
// own changes (model/ProjectDocument.h): every task, sub or named value taken
// out, each told as the program tells it.
#include "model/AppState.h"

inline void RemoveAllTasks()
{
    while (!App().TaskList().isEmpty())
        App().RemoveTask(App().TaskList().KeyAt(1));
}

inline void RemoveAllSubs()
{
    while (!App().SubList().isEmpty())
        App().RemoveSub(App().SubList().KeyAt(1));
}

inline void RemoveAllObjects()
{
    while (!App().ObjectList().isEmpty())
        App().RemoveObject(App().ObjectList().KeyAt(1));
}
