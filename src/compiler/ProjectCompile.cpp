#include "compiler/ProjectCompile.h"

// Filled in with the compiler work.
bool CompileProject() { return false; }
bool DownLoad() { return false; }
void DownloadCommand() {}
bool VerifyCommPort(Integer&) { return false; }
bool ChkCommPort() { return false; }
void ControlEventHandler::PB_CommError(const QString&) {}
void ControlEventHandler::PB_DownloadStart(Long, Long, Long) {}
void ControlEventHandler::PB_DownloadProgress(Long) {}
void ControlEventHandler::PB_DownloadDone(Long, Long) {}
