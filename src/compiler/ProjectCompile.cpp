#include "compiler/ProjectCompile.h"

#include "compiler/ModuleCompile.h"
#include "compiler/Translate.h"
#include "link/BrickHold.h"
#include "link/PortScan.h"
#include "model/AppState.h"
#include "model/Config.h"
#include "model/Notifier.h"
#include "model/BusyPointer.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"


namespace {

constexpr int kStatusLeft = 700;
constexpr Long kBlack = 0;
constexpr Long kRed = 255;
constexpr int kHourglass = PointerShape::Hourglass;
constexpr int kDefaultPointer = PointerShape::Default;
constexpr Long kFirmware = 100;

void status(const AppState& app, const QString& text, Long color = kBlack)
{
    Q_EMIT app.Notifier->StatusPrinted(text, kStatusLeft, color);
}

// A run-time failure nothing below has handled; returns the text shown.
QString reportFailure(const AppState& app, const VbError& e, const char* where)
{
    const QString text = QStringLiteral("Error: ") + e.description() + QStringLiteral(" in ") + QLatin1String(where);
    ShowMessage(*app.Presenter, text, MsgStyle::Critical);
    return text;
}

// Each task, then each sub, handed to step with its kind, until a step fails;
// true when every one went through. The compile and the download go through
// the modules in this one order and stop at the first that fails.
template <class Step>
bool forEachModule(const AppState& app, Step step)
{
    for (const auto& e : app.TaskList())
        if (!step(e.item, ModuleKind::Task))
            return false;
    for (const auto& e : app.SubList())
        if (!step(e.item, ModuleKind::Sub))
            return false;
    return true;
}

// Every task and sub into the compile's listing; a module that fails is where
// the fault lies, unless a block body inside it has told so already.
bool compileModules(AppState& app, CompileContext& context)
{
    return forEachModule(app, [&](const auto& module, Long kind) {
        context.CompileFailed = False;
        if (Compile(app, *module, context))
            return true;
        context.PlaceFault(kind, module);
        return false;
    });
}

// The download's hourglass outlives DownLoad: the brick reports each module
// done later, through the control's events, and only the report of the last
// one, or a failure, ends the download. A tower slow to answer meanwhile
// nests its busy pointer in it.
void beginDownloadHourglass(const AppState& app) { app.Notifier->SetPointer(kHourglass); }
void endDownloadHourglass(const AppState& app) { app.Notifier->SetPointer(kDefaultPointer); }

// The error text of a project holding more tasks or subs than one program
// slot of the brick takes, or empty. The editor adds no more than that, but a
// project file edited by hand can hold more.
QString moduleLimitError(const AppState& app)
{
    if (app.TaskList().Count() > MaxTasks)
        return QStringLiteral(" -> ERROR: Too many tasks, at most ") + QString::number(MaxTasks) +
               QStringLiteral(" !");
    if (app.SubList().Count() > MaxSubs)
        return QStringLiteral(" -> ERROR: Too many subs, at most ") + QString::number(MaxSubs) +
               QStringLiteral(" !");
    return {};
}

// A module that could not be handed to the control stops the download; the
// strip must not go on showing an earlier module's "Download Finished.".
void downloadFailed(const AppState& app)
{
    endDownloadHourglass(app);
    Q_EMIT app.Notifier->StatusCleared();
    status(app, QStringLiteral("Download Failed"), kRed);
}

// A module or the firmware that the control reports failed: the red status
// line with its error and the message box.
void reportFailedModule(const AppState& app, Long errorCode)
{
    status(app, QStringLiteral("Download Failed: Error=") + QString::number(errorCode), kRed);
    // The download has failed: the pointer is not left busy behind the message.
    endDownloadHourglass(app);
    ShowMessage(*app.Presenter, QStringLiteral("Download fail"), MsgStyle::Critical);
}

}  // namespace

CompileResult CompileProject(AppState& app)
{
    CompileContext context(app);
    context.CompileError = moduleLimitError(app);
    if (!context.CompileError.isEmpty())
        return context.result(false);
    bool result = true;
    // A failed compile always has a text for its error report: the set-up's
    // failure is kept for it while the modules compile.
    QString setupFailure;
    BusyPointer busy(*app.Notifier);
    try {
        try {
            if (!DownLoad(app, app.RcxSetup(), CompileMode::Listing, &context))
                result = false;
        } catch (const VbError& e) {
            // The set-up's failure does not keep the modules from compiling.
            setupFailure = reportFailure(app, e, "DownLoad");
            result = false;
        }
        ListingLine(context, QStringLiteral(" "));
        if (!compileModules(app, context))
            return context.result(false);
    } catch (const VbError& e) {
        busy.Restore();
        context.CompileError = reportFailure(app, e, "CompileProject");
        return context.result(false);
    }
    busy.Restore();
    if (!result && context.CompileError.isEmpty())
        context.CompileError = setupFailure;
    return context.result(result);
}

void CompileErrorReport(AppState& app, const CompileResult& result)
{
    Q_EMIT app.Notifier->StatusCleared();
    // A failure without a text has been shown where it happened; an empty box
    // would tell nothing.
    if (!result.CompileError.isEmpty())
        app.Presenter->MsgBox(result.CompileError, MsgStyle::Exclamation, QStringLiteral("Error in Program"));
    status(app, QStringLiteral("Compiling ") + result.CompileError);
}

void KeepListing(AppState& app, const CompileResult& result, CompileFor purpose)
{
    if (!result) {
        // Neither the part listed before the failure nor the listing of an
        // earlier compile stays on view as if it were the project's now.
        app.DropListing();
        return;
    }
    if (result.Listed)
        app.KeepListing(result.ListingText, purpose);
}

namespace {

// The set-up, every task and every sub through the control, the brick held
// for them; false at the first that was not handed over or that the control
// reported failed (its report is the one the user sees).
bool sendModules(AppState& app)
{
    BrickHold hold(app, BrickWork::Program);
    if (!hold.taken()) {
        endDownloadHourglass(app);
        TellWhenBrickBusy(app);
        return false;
    }
    // A download that stopped part way must not count towards this one.
    app.FinishedModuleCount = 0;
    app.ModuleFailed = False;
    const bool ok = DownLoad(app, app.RcxSetup(), CompileMode::Download) && !app.ModuleFailed &&
                    forEachModule(app, [&](const auto& module, Long) {
                        return DownLoad(app, *module) && !app.ModuleFailed;
                    });
    if (!ok && !app.ModuleFailed)
        downloadFailed(app);
    return ok;
}

}  // namespace

bool DownLoad(AppState& app)
{
    if (!InitRCX(app))
        return false;
    try {
        if (app.InitParams && app.InitParams->ConfirmDownload() == 1) {
            const int answer =
                ShowMessage(*app.Presenter, QStringLiteral("Make sure the RCX is on and in range of the IR tower"),
                            MsgStyle::OkCancel | MsgStyle::Exclamation);
            if (answer == MsgResult::Cancel)
                return false;
        }
        while (!PB(app).PBAlive()) {
            const int answer = ShowMessage(*app.Presenter, QStringLiteral("No response from the RCX!"),
                                           MsgStyle::RetryCancel | MsgStyle::Question);
            if (answer == MsgResult::Cancel)
                return false;
        }

        beginDownloadHourglass(app);
        // The pointer stays busy until the control reports the last module.
        return sendModules(app);
    } catch (const VbError& e) {
        endDownloadHourglass(app);
        reportFailure(app, e, "DownLoad");
        return false;
    }
}

void DownloadCommand(AppState& app, const CompileFaultShower& showFault)
{
    // The transfer that holds the brick keeps its status line and its bar.
    if (TellWhenBrickBusy(app))
        return;
    Q_EMIT app.Notifier->StatusCleared();
    status(app, QStringLiteral("Compiling..."));
    app.Shell->DoEvents();

    const CompileResult compiled = CompileProject(app);
    KeepListing(app, compiled, CompileFor::Download);
    if (!compiled) {
        if (showFault)
            showFault(compiled);
        CompileErrorReport(app, compiled);
        return;
    }
    Q_EMIT app.Notifier->StatusCleared();
    status(app, QStringLiteral("Compile OK!"));

    // The closing sound tells at the brick that the program arrived: after a
    // download that did not (canceled, refused, failed) nothing more is sent.
    if (DownLoad(app)) {
        try {
            PB(app).PlaySystemSound(5);
        } catch (const VbError&) {
            // The closing sound is a courtesy; a brick that can't play it has
            // already been reported.
        }
    }
    Q_EMIT app.Notifier->TransferEnded();
}

void ControlEventHandler::PB_CommError(const QString& message)
{
    try {
        ShowMessage(*mApp.Presenter, message + QStringLiteral("\r\nMake sure the RCX is ON and in range!"),
                    MsgStyle::Exclamation);
        Q_EMIT mApp.Notifier->StatusCleared();
    } catch (const VbError& e) {
        reportFailure(mApp, e, "CommError");
    }
}

void ControlEventHandler::PB_DownloadStart(Long timeMs, Long size, Long moduleNumber)
{
    try {
        if (moduleNumber != kFirmware)
            Q_EMIT mApp.Notifier->StatusCleared();
        const QString head = QStringLiteral("Time=") + vb::numberText(timeMs / 1000.0) +
                             QStringLiteral("  size=") + QString::number(size);
        if (moduleNumber == kFirmware)
            status(mApp, head + QStringLiteral("  Downloading Firmware ") + mApp.Config->Value(Setting::FirmwareName));
        else if (moduleNumber <= 10)
            status(mApp, head + QStringLiteral("  Task Number=") + QString::number(moduleNumber));
        else
            status(mApp, head + QStringLiteral("  Sub Number=") + QString::number(moduleNumber));
        Q_EMIT mApp.Notifier->TransferBegun(size);
    } catch (const VbError& e) {
        reportFailure(mApp, e, "DownloadStart");
    }
}

void ControlEventHandler::PB_DownloadProgress(Long value)
{
    try {
        Q_EMIT mApp.Notifier->TransferAdvanced(value);
        mApp.Shell->DoEvents();
    } catch (const VbError& e) {
        reportFailure(mApp, e, "DownloadProgress");
    }
}

void ControlEventHandler::firmwareDone(Long errorCode)
{
    AppState& app = mApp;
    // However it ends, the transfer's bar ends with it.
    const auto endBar = qScopeGuard([&app] { Q_EMIT app.Notifier->TransferEnded(); });
    Q_EMIT app.Notifier->StatusCleared();
    if (errorCode != 0) {
        // The brick refused the image, stopped answering or was left
        // without firmware: there is no new firmware to name, and nothing
        // more is sent to it.
        reportFailedModule(app, errorCode);
        return;
    }
    status(app, QStringLiteral("Download finished. Firmware Version: ") + PB(app).FirmwareVersion());
    PB(app).PBPowerDownTime(vb::CInt(app.InitParams ? app.InitParams->TimeToShutDown() : 0));
    const bool longPower =
        app.InitParams && app.InitParams->TransmitPower().compare(QLatin1String("Long"), Qt::CaseInsensitive) == 0;
    PB(app).PBTxPower(longPower ? 1 : 0);
}

void ControlEventHandler::PB_DownloadDone(Long errorCode, Long moduleNumber)
{
    AppState& app = mApp;
    try {
        if (moduleNumber == kFirmware) {
            firmwareDone(errorCode);
            return;
        }
        Q_EMIT app.Notifier->StatusCleared();
        ++app.FinishedModuleCount;
        if (errorCode != 0) {
            // The download learns of it: what it returns is the failure too.
            app.ModuleFailed = True;
            reportFailedModule(app, errorCode);
            app.FinishedModuleCount = 0;
            return;
        }
        status(app, QStringLiteral("Download Finished."));
        if (app.FinishedModuleCount == app.TaskList().Count() + app.SubList().Count() + 1) {
            endDownloadHourglass(app);
            app.FinishedModuleCount = 0;
        }
    } catch (const VbError& e) {
        reportFailure(mApp, e, "DownloadDone");
    }
}
