#pragma once
// What one compile works with while it runs, and what it gives back.
#include "model/Variant.h"

#include <QString>

// The outcome of a compile: whether it went through, its first failure, and
// the listing as far as it got.
struct CompileResult {
    bool ok = false;
    explicit operator bool() const { return ok; }
    // The error report's text; empty when there was none or it was shown
    // where it happened.
    QString CompileError;
    // The grid key of the faulty cell.
    QString ErrorCell;
    // True once the innermost block body that holds the faulty cell has opened
    // its window on it.
    Boolean ErrorCellSet = False;
    // True when the compile began a listing of its own: in an RCX project,
    // once the checks of the whole project let it start. A Joystick &
    // Keyboard project is never listed.
    Boolean Listed = False;
    QString ListingText;
};

// The working state of one compile: the listing it writes, the block depth of
// the line being written, and its first failure. The compile owns it; while it
// lives it is the one the listing lines and the command checks write to, and
// the one it replaced comes back when it ends.
class CompileContext {
public:
    CompileContext();
    ~CompileContext();
    CompileContext(const CompileContext&) = delete;
    CompileContext& operator=(const CompileContext&) = delete;

    // The compile running now; nullptr outside a compile.
    static CompileContext* current();

    CompileResult result(bool ok) const { return {ok, CompileError, ErrorCell, ErrorCellSet, Listed, ListingText}; }

    Boolean Listed = False;
    QString ListingText;
    Integer BlockDepth = 0;
    QString CompileError;
    QString ErrorCell;
    Boolean ErrorCellSet = False;
    // A check of the module being compiled failed.
    Boolean CompileFailed = False;

private:
    CompileContext* mOuter;
};
