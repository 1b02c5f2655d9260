#include "model/ModuleManagement.h"

// Filled in with the module management work.
bool AddTask(Long) { return false; }
bool AddSub(Long) { return false; }
bool IsValidModuleName(const QString&) { return false; }
bool ModuleNameExists(const Collection<TaskPtr>&, const QString&, Long) { return false; }
bool ModuleNameExists(const Collection<SubPtr>&, const QString&, Long) { return false; }
bool IsDirty(Long) { return false; }
void MarkModuleDirty(const QString&) {}
void OpenCommandWindow(Long, CommandOwner*, const QString&, const QString&) {}
QString ReplaceCrLf(const QString& text) { return text; }
