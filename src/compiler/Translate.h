#pragma once
// Turning a command grid into control operations (download) or into listing
// lines (compile), and the operand resolution both share.
#include "model/Command.h"

#include <optional>
#include <vector>

// What DLCommands and ResolveOperands emit.
namespace CompileMode {
enum : Long { Download = 1, Listing = 3 };
}

// Appends one line to ListingText: BlockDepth tabs, the prefix, then each
// field after a blank (first and second field) or a comma (every later one),
// then CR LF. Writes nothing in a Joystick & Keyboard project.
void AppendListingLine(const Variant& prefix, const std::vector<Variant>& fields = {});

// The same line built in place from its fields as they stand: a text, a
// Variant, or a number, each written as the Variant holding it would be.
namespace listing {
// ListingText with the line's tabs written, or nullptr when nothing is listed.
QString* beginLine();
void appendField(QString& out, const Variant& v);
void appendField(QString& out, const QString& s);
void appendField(QString& out, const char* s);
void appendField(QString& out, double d);
void appendField(QString& out, qint64 n);
inline void appendField(QString& out, int n) { appendField(out, qint64(n)); }
inline void appendField(QString& out, qint16 n) { appendField(out, qint64(n)); }
// A value the compiler loads on its own, marked so in the listing.
struct FromCompiler {
    const Variant& value;
};
void appendField(QString& out, const FromCompiler& f);
}  // namespace listing

template <class Prefix, class... Fields>
void ListingLine(const Prefix& prefix, const Fields&... fields)
{
    QString* out = listing::beginLine();
    if (!out)
        return;
    listing::appendField(*out, prefix);
    int i = 0;
    ((out->append(i++ < 2 ? QLatin1Char(' ') : QLatin1Char(',')), listing::appendField(*out, fields)), ...);
    out->append(QLatin1String("\r\n"));
}

class IPhantomControl;

// The variable operation of a VAR command (0 ADD ... 8 SET VALUE) through the
// control; another operation sends nothing.
void SendVarOperation(IPhantomControl& pb, Integer op, Integer variable, Long source, Integer value);

// Turns the command's operands into the brick's sources and values; motor
// items and the second operand of an arithmetic VAR operation are first loaded
// into the scratch variables 1 and 0 (sent in mode 1, listed in mode 3).
void ResolveOperands(const clsCommand& command, Variant& P1src, Variant& P1val, Variant& P2src,
                     Variant& P2val, Long mode);

// Walks one grid, column by column, each column down to its first empty cell:
// mode 1 sends it to the control, mode 3 checks every command and lists it.
// The loop flag counts only for tasks (kind 1) and subs (kind 5); block bodies
// pass none. ModuleName names the owning task or sub (opens a block's window
// on a compile error). StartColumn 1 walks only the ELSE column.
bool DLCommands(CommandCollection* commands, Long kind, Long mode, std::optional<Integer> loopFlag,
                const QString& moduleName, Integer startColumn);

namespace modMain {
// The grid key of column mx and row my; callers pass flag True.
QString ColKey(bool flag, Integer mx, Integer my);
}  // namespace modMain
