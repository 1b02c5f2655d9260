#pragma once
// Compiling the whole project, downloading it, and the control's events.
#include "compiler/CompileContext.h"
#include "model/Notifier.h"
#include "model/Phantom.h"

#include <functional>

struct AppState;

// Compiles the set-up and every task and sub; ok when all of them compiled. A
// task or sub that fails stops the compile; the result tells the faulty cell
// and the grid that holds it (the innermost block body, else the module), for
// the window side to show. The project is the one the state holds; the
// compile opens no window.
CompileResult CompileProject(AppState& app);
// After a failed compile: the message box "Error in Program" and the status line.
void CompileErrorReport(AppState& app, const CompileResult& result);
// Keeps the compile's listing as the one PREVIEW shows (LastListing), told as
// made for its purpose (ListingMade); a compile that listed nothing leaves
// the listing before. A failed compile leaves none (ListingDropped).
void KeepListing(AppState& app, const CompileResult& result, CompileFor purpose);
// True when the set-up, every task and every sub were handed to the state's
// brick and none was reported failed. It holds the brick while the modules
// go (link/BrickHold.h): a brick busy with another transfer is told and
// nothing is sent.
bool DownLoad(AppState& app);
// What the window side does with a compile that failed before its report:
// open the faulty grid's window on the faulty cell.
using CompileFaultShower = std::function<void(const CompileResult&)>;
// The DOWNLOAD key: compile, then download, with the status lines and
// progress, and the closing sound after a download that went down whole; a
// failed compile is handed to showFault, then reported.
void DownloadCommand(AppState& app, const CompileFaultShower& showFault);

// The main window's handlers of the control's four events, for the download
// of the project the state holds.
class ControlEventHandler : public IPhantomEvents {
public:
    explicit ControlEventHandler(AppState& app) : mApp(app) {}

    void PB_CommError(const QString& message) override;
    void PB_DownloadStart(Long timeMs, Long size, Long moduleNumber) override;
    void PB_DownloadProgress(Long value) override;
    void PB_DownloadDone(Long errorCode, Long moduleNumber) override;

private:
    // The firmware's done event: the version and the settings after a good
    // transfer, the failure after any other; the bar ends either way.
    void firmwareDone(Long errorCode);

    AppState& mApp;
};
