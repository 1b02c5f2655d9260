#pragma once
// What one compile works with while it runs, and what it gives back.
#include "model/ModuleManagement.h"
#include "model/Variant.h"

#include <QString>

#include <memory>

struct AppState;

// The outcome of a compile: whether it went through, its first failure and
// where it lies, and the listing as far as it got. The compile only answers:
// the window side opens ErrorWindow with its cursor on ErrorCell.
struct CompileResult {
    bool ok = false;
    explicit operator bool() const { return ok; }
    // The error report's text; empty when there was none or it was shown
    // where it happened.
    QString CompileError;
    // The grid key of the faulty cell.
    QString ErrorCell;
    // The grid that holds the faulty cell: the innermost block body, else
    // the task or sub; not set for a failure that lies in no cell.
    CommandWindowTarget ErrorWindow;
    // True when the compile began a listing of its own: in an RCX project,
    // once the checks of the whole project let it start. A Joystick &
    // Keyboard project is never listed.
    Boolean Listed = False;
    QString ListingText;
};

// The working state of one compile of the project a state holds: the listing
// it writes, the block depth of the line being written, and its first
// failure. The compile makes it and hands it to every step that lists or
// checks.
class CompileContext {
public:
    explicit CompileContext(const AppState& app) : mApp(app) {}
    CompileContext(const CompileContext&) = delete;
    CompileContext& operator=(const CompileContext&) = delete;

    // The state the compile reads.
    const AppState& app() const { return mApp; }

    CompileResult result(bool ok) const { return {ok, CompileError, ErrorCell, ErrorWindow, Listed, ListingText}; }

    // A walk that failed in the grid of owner tells where the fault lies; the
    // innermost grid tells first, and the grids around it leave it so.
    void PlaceFault(Long kind, std::weak_ptr<CommandOwner> owner, const QString& parentTaskName = QString(),
                    const QString& parentCaption = QString())
    {
        if (!ErrorWindow.isSet())
            ErrorWindow = {kind, std::move(owner), parentTaskName, parentCaption};
    }

    Boolean Listed = False;
    QString ListingText;
    Integer BlockDepth = 0;
    QString CompileError;
    QString ErrorCell;
    CommandWindowTarget ErrorWindow;
    // A check of the module being compiled failed.
    Boolean CompileFailed = False;

private:
    const AppState& mApp;
};
