#pragma once
// Turning a command grid into control operations (download) or into listing
// lines (compile), and the operand resolution both share.
#include "compiler/Listing.h"
#include "model/AppState.h"
#include "model/Command.h"

#include <optional>

// What DLCommands and ResolveOperands emit.
namespace CompileMode {
enum : Long { Download = 1, Listing = 3 };
}

class IBrickDevice;
class OperandObjects;

// One operation: sent to the state's brick in mode 1, listed as the fields
// (after an empty prefix) into the compile in mode 3; nothing in any other mode.
template <class Send, class... Fields>
void EmitOperation(const AppState& app, CompileContext* context, Long mode, Send send, const Fields&... fields)
{
    if (mode == CompileMode::Download)
        send(PB(app));
    else if (mode == CompileMode::Listing)
        ListingLine(ListingOf(context), QString(), fields...);
}

// The variable operation of a VAR command (0 ADD ... 8 SET VALUE) through the
// control; another operation sends nothing.
void SendVarOperation(IBrickDevice& pb, Integer op, Integer variable, Long source, Integer value);

// Turns the command's operands into the brick's sources and values; motor
// items and the second operand of an arithmetic VAR operation are first loaded
// into the scratch variables 1 and 0 (sent to the state's brick in mode 1,
// listed into the compile in mode 3). The named values are those of the
// state's ObjectList.
void ResolveOperands(const AppState& app, const clsCommand& command, Variant& P1src, Variant& P1val, Variant& P2src,
                     Variant& P2val, Long mode);
// The same with the named values the command's check has already looked up.
void ResolveOperands(const clsCommand& command, Variant& P1src, Variant& P1val, Variant& P2src,
                     Variant& P2val, Long mode, OperandObjects& objects, CompileContext* context = nullptr);

// Walks one grid of the project the state holds, column by column, each
// column down to its first empty cell: mode 1 sends it to the state's brick,
// mode 3 checks every command and lists it into the compile (failure 91
// without one), which learns the first failure and where it lies.
// The loop flag counts only for tasks (kind 1) and subs (kind 5); block bodies
// pass none. ModuleName names the owning task or sub (the parent of a block's
// window that shows a compile error). StartColumn 1 walks only the ELSE column.
bool DLCommands(AppState& app, CommandCollection* commands, Long kind, Long mode, std::optional<Integer> loopFlag,
                const QString& moduleName, Integer startColumn, CompileContext* context = nullptr);

namespace modMain {
// The grid key of column mx and row my; callers pass flag True.
QString ColKey(bool flag, Integer mx, Integer my);
}  // namespace modMain
