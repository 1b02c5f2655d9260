#pragma once
// The window side's answer to a failed compile, as the main window gives it:
// the grid that holds the fault opened with its cursor on the faulty cell.
#include "compiler/CompileContext.h"
#include "model/ModuleManagement.h"

inline void ShowFaultInItsWindow(const CompileResult& result)
{
    OpenCommandWindow(result.ErrorWindow, result.ErrorCell);
}
