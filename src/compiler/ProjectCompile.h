#pragma once
// Compiling the whole project, downloading it, and the control's events.
#include "compiler/CompileContext.h"
#include "model/Phantom.h"

// Compiles the set-up and every task and sub; ok when all of them compiled. A
// task or sub that fails stops the compile and opens its window with the
// cursor on the faulty cell (unless the body that holds it has already opened
// its own).
CompileResult CompileProject();
// After a failed compile: the message box "Error in Program" and the status line.
void CompileErrorReport(const CompileResult& result);
// Keeps the compile's listing as the one PREVIEW shows (AppState::LastListing);
// a compile that listed nothing leaves the listing before. A failed compile
// leaves none and unloads the preview window.
void KeepListing(const CompileResult& result);
// True when the set-up, every task and every sub were handed to the control.
bool DownLoad();
// The DOWNLOAD key: compile, then download, with the status lines and progress.
void DownloadCommand();

// The main window's handlers of the control's four events.
class ControlEventHandler : public IPhantomEvents {
public:
    void PB_CommError(const QString& message) override;
    void PB_DownloadStart(Long timeMs, Long size, Long moduleNumber) override;
    void PB_DownloadProgress(Long value) override;
    void PB_DownloadDone(Long errorCode, Long moduleNumber) override;
};
