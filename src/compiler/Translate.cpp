#include "compiler/Translate.h"

#include "compiler/CommandCheck.h"
#include "compiler/CompileContext.h"
#include "model/AppState.h"
#include "model/Grid.h"
#include "model/Messages.h"
#include "model/ModuleManagement.h"
#include "model/Phantom.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr QStringView kFromCompiler(u" 'from Compiler");

double num(const Variant& v) { return v.toDouble(); }

const clsObject* objectOf(const ObjectPtr* o) { return o ? o->get() : nullptr; }

template <class... Fields>
void line(const Fields&... fields)
{
    ListingLine(QString(), fields...);
}

// One loading operation of ResolveOperands.
enum class VarOp { Set, And, Or };

void emitVarLoad(VarOp op, Integer variable, Long source, const Variant& value, Long mode)
{
    if (mode == CompileMode::Download) {
        IBrickDevice& pb = PB();
        const Integer v = value.toInteger();
        switch (op) {
        case VarOp::Set: pb.SetVar(variable, source, v); break;
        case VarOp::And: pb.AndVar(variable, source, v); break;
        case VarOp::Or: pb.OrVar(variable, source, v); break;
        }
    } else if (mode == CompileMode::Listing) {
        const char* word = op == VarOp::Set ? ".SetVar" : op == VarOp::And ? ".AndVar" : ".OrVar";
        line(word, variable, source, listing::FromCompiler{value});
    }
}

// A motor item (its status byte masked) into the scratch variable.
void loadMotorItem(const clsObject& item, Integer variable, bool datalogTag, Long mode)
{
    const Long v = item.Value;
    const Integer p = item.Number;
    emitVarLoad(VarOp::Set, variable, OperandSource::MotorStatus, p, mode);
    emitVarLoad(VarOp::And, variable, OperandSource::Constant, v, mode);
    if (datalogTag) {
        const Long bits = v == 7 ? 0 : v == 8 ? 256 : v == 192 ? 512 : 0;
        emitVarLoad(VarOp::Or, variable, OperandSource::Constant, bits, mode);
        emitVarLoad(VarOp::Or, variable, OperandSource::Constant, 1024 * Long(p), mode);
    }
}

// A source code as a whole number; a value that is none matches no code.
int sourceCode(const Variant& source)
{
    const double s = source.toDouble();
    if (!(s >= -32768 && s <= 32767))
        return std::numeric_limits<int>::min();
    const int code = int(s);
    return double(code) == s ? code : std::numeric_limits<int>::min();
}

bool isInfiniteLoop(const Variant& v)
{
    return v.isText() && IsWord(v.text(), u"Infinite loop");
}

// The owners of the scratch variables, found once for the outermost walk and
// shared by the bodies it walks: the named values don't change while a grid
// is walked.
std::optional<ScratchOwners>* gWalkScratch = nullptr;

// The compile a listing walk writes to; failure 91 outside a compile.
CompileContext& compileContext()
{
    CompileContext* context = CompileContext::current();
    if (!context)
        raiseError(Err::ObjectNotSet);
    return *context;
}

}  // namespace

listing::Line::Line()
{
    CompileContext* context = CompileContext::current();
    if (!context || App().ProjectType == 1)
        return;
    mOut = &context->ListingText;
    for (int i = 0; i < context->BlockDepth; ++i)
        add(u'\t');
}

void listing::Line::add(QStringView s)
{
    if (s.size() > kRoom - mSize) {
        flush();
        if (s.size() > kRoom) {
            mOut->append(s);
            return;
        }
    }
    std::copy(s.utf16(), s.utf16() + s.size(), mBuffer + mSize);
    mSize += s.size();
}

void listing::Line::add(const char* s)
{
    const char* p = s;
    while (*p > 0)  // plain ASCII, as the words of the listing are
        ++p;
    if (*p != 0) {
        add(QStringView(QString::fromUtf8(s)));
        return;
    }
    const qsizetype n = p - s;
    if (n > kRoom - mSize) {
        flush();
        if (n > kRoom) {
            mOut->append(QLatin1String(s, n));
            return;
        }
    }
    std::copy(s, p, mBuffer + mSize);
    mSize += n;
}

void listing::Line::flush()
{
    if (mOut && mSize > 0)
        mOut->append(reinterpret_cast<const QChar*>(mBuffer), mSize);
    mSize = 0;
}

void listing::appendField(Line& out, qint64 n)
{
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, n);
    for (const char* p = buffer; p != r.ptr; ++p)
        out.add(char16_t(*p));
}

void listing::appendField(Line& out, double d)
{
    // The whole numbers numberText writes as digits.
    if (d > -1e15 && d < 1e15) {
        const qint64 n = qint64(d);
        if (double(n) == d) {
            appendField(out, n);
            return;
        }
    }
    out.add(QStringView(vb::numberText(d)));
}

void listing::appendField(Line& out, const FromCompiler& f)
{
    appendField(out, f.value);
    out.add(QStringView(kFromCompiler));
}

void listing::appendField(Line& out, const Variant& v)
{
    switch (v.kind()) {
    case Variant::Kind::Empty: break;
    case Variant::Kind::Number: appendField(out, v.toDouble()); break;
    case Variant::Kind::Text: out.add(QStringView(v.toString())); break;
    }
}

void SendVarOperation(IBrickDevice& pb, Integer op, Integer variable, Long source, Integer value)
{
    switch (op) {
    case 0: pb.SumVar(variable, source, value); break;
    case 1: pb.SubVar(variable, source, value); break;
    case 2: pb.DivVar(variable, source, value); break;
    case 3: pb.MulVar(variable, source, value); break;
    case 4: pb.SgnVar(variable, source, value); break;
    case 5: pb.AbsVar(variable, source, value); break;
    case 6: pb.AndVar(variable, source, value); break;
    case 7: pb.OrVar(variable, source, value); break;
    case 8: pb.SetVar(variable, source, value); break;
    default: break;
    }
}

void ResolveOperands(const clsCommand& command, Variant& P1src, Variant& P1val, Variant& P2src,
                     Variant& P2val, Long mode)
{
    OperandObjects objects(App(), command);
    ResolveOperands(command, P1src, P1val, P2src, P2val, mode, objects);
}

void ResolveOperands(const clsCommand& command, Variant& P1src, Variant& P1val, Variant& P2src,
                     Variant& P2val, Long mode, OperandObjects& objects)
{
    try {
        P1src = command.Param1Source;
        P1val = command.Param1Value;
        P2src = command.Param2Source;
        P2val = command.Param2Value;

        // First operand.
        switch (objects.firstSource()) {
        case OperandSource::MotorStatus:
            if (const clsObject* item = objectOf(objects.first()))
                loadMotorItem(*item, 1, IsWord(command.CommandKey, u"L_DATALOG"), mode);
            P1val = 1;
            P1src = 0;
            break;
        case 0: case 1: case 9: case 10: case 11: case 12: case 13:
            if (const clsObject* o = objectOf(objects.first()))
                P1val = o->Number;
            break;
        case OperandSource::Constant:
            if (isInfiniteLoop(P1val))
                P1val = 0;
            break;
        case OperandSource::Clock:
        case OperandSource::Message:
            P1val = 0;
            break;
        case 100: case 110: case 120: case 130: case 140: case 150: case 210:
            if (const clsObject* o = objectOf(objects.first()))
                P1val = o->Value;
            P1src = 2;
            break;
        default: break;
        }

        // Second operand; a transmit power converts as it does first.
        switch (objects.secondSource()) {
        case OperandSource::MotorStatus:
            if (const clsObject* item = objectOf(objects.second()))
                loadMotorItem(*item, 0, false, mode);
            P2val = 0;
            P2src = 0;
            break;
        case 0: case 1: case 9: case 10: case 11: case 12: case 13:
            if (const clsObject* o = objectOf(objects.second()))
                P2val = o->Number;
            break;
        case OperandSource::Constant:
            if (isInfiniteLoop(P2val))
                P2val = 0;
            break;
        case OperandSource::Clock:
        case OperandSource::Message:
            P2val = 0;
            break;
        case 100: case 110: case 120: case 130: case 140: case 150: case 210:
            if (const clsObject* o = objectOf(objects.second()))
                P2val = o->Value;
            P2src = 2;
            break;
        case OperandSource::NamedRange:
            if (const clsObject* o = objectOf(objects.second()))
                P2val = QString::number(o->Value) + QLatin1Char('_') + QString::number(o->AuxValue);
            P2src = OperandSource::TypedRange;
            break;
        default: break;
        }

        // Arithmetic operations read a brick source through variable 0.
        if (IsWord(command.CommandKey, u"L_VAR") && command.Op != 8) {
            const int s = sourceCode(P2src);
            const bool direct = s == 9 || s == 1 || s == 10 || s == 11 || s == 12 || s == 13 || s == 4;
            const bool clock = s == 15 || s == 14;
            if (direct || clock) {
                emitVarLoad(VarOp::Set, 0, P2src.toLong(), direct ? P2val : Variant(0), mode);
                P2src = 0;
                P2val = 0;
            }
        }
    } catch (const VbError& e) {
        ShowMessage(*objects.app().Presenter, e.description(), MsgStyle::Exclamation);
    }
}

namespace {

struct Walk {
    Long kind;
    Long mode;
    const QString& moduleName;
    AppState& app;
    Integer moduleNumber = 0;  // task or sub number, kept from command to command

    bool download() const { return mode == CompileMode::Download; }
    bool listing() const { return mode == CompileMode::Listing; }

    template <class... Fields>
    void open(const Fields&... fields)
    {
        line(fields...);
        ++compileContext().BlockDepth;
    }
    void close(const char* word)
    {
        --compileContext().BlockDepth;
        line(word);
    }

    // Walks a block's body; on a compile error inside it, the innermost body
    // that holds the error opens its window with the cursor on the faulty cell.
    bool body(clsCommand& block, Long bodyKind, Integer startColumn)
    {
        const bool ok = DLCommands(block.Commands.get(), bodyKind, mode, std::nullopt,
                                   download() ? QString() : moduleName, startColumn);
        if (!ok && listing()) {
            CompileContext& context = compileContext();
            if (!context.ErrorCellSet) {
                OpenCommandWindow(bodyKind, &block, moduleName, block.PicCaption(1));
                if (ICommandWindow* w = app.Shell->ActiveDeskTop())
                    w->setCursorPos(context.ErrorCell);
                context.ErrorCellSet = True;
            }
        }
        return ok;
    }

    void motor(const clsCommand& c, bool (IBrickDevice::*op)(const QString&), const char* word)
    {
        if (download())
            (PB().*op)(c.MotorList);
        else if (listing())
            line(word, c.MotorList);
    }

    Integer numberOfTask(const Variant& name)
    {
        const QString n = name.toString();
        for (const auto& e : app.TaskList)
            if (e.item->Name == n) {
                moduleNumber = e.item->mNumber;
                break;
            }
        return moduleNumber;
    }

    // Emits one command; false when the walk must stop with failure.
    bool command(clsCommand& c)
    {
        OperandObjects objects(app, c, gWalkScratch);
        if (listing()) {
            CompileContext& context = compileContext();
            context.CompileError = CheckCommand(c, kind, objects);
            if (!context.CompileError.isEmpty()) {
                context.CompileFailed = True;
                context.ErrorCell = modMain::ColKey(true, c.x, c.y);
                return false;
            }
        }

        Variant P1src, P1val, P2src, P2val;
        ResolveOperands(c, P1src, P1val, P2src, P2val, mode, objects);

        const QString& key = c.CommandKey;
        if (IsWord(key, u"L_IF")) {
            if (sourceCode(P2src) == OperandSource::TypedRange) {
                const QString range = P2val.toString();
                const int bar = range.indexOf(QLatin1Char('_'));
                if (bar < 0)
                    raiseError(Err::TypeMismatch);
                // Whole numbers, made shorts only where they are sent: a
                // listing that writes nothing (a Joystick & Keyboard
                // project) has no bounds to fail on.
                const double lo = std::nearbyint(vb::Val(range.left(bar)) - 1);
                const double hi = std::nearbyint(vb::Val(range.mid(bar + 1)) + 1);
                if (download()) {
                    PB().If(P1src.toLong(), P1val.toInteger(), 0, 2, vb::CInt(lo));
                    PB().If(P1src.toLong(), P1val.toInteger(), 1, 2, vb::CInt(hi));
                } else if (listing()) {
                    open(".If", P1src, P1val, 0, 2, lo);
                    open(".If", P1src, P1val, 1, 2, hi);
                }
                if (!body(c, ModuleKind::IfBody, 0))
                    return false;
                if (download()) {
                    PB().EndIf();
                    PB().Else();
                } else if (listing()) {
                    close(".EndIf");
                    --compileContext().BlockDepth;
                    line(".Else");
                    ++compileContext().BlockDepth;
                }
                if (!body(c, ModuleKind::IfBody, 1))
                    return false;
                if (download())
                    PB().EndIf();
                else if (listing())
                    close(".EndIf");
            } else {
                if (download())
                    PB().If(P1src.toLong(), P1val.toInteger(), c.Op, P2src.toLong(), P2val.toInteger());
                else if (listing())
                    open(".If", P1src, P1val, c.Op, P2src, P2val);
                if (!body(c, ModuleKind::IfBody, 0))
                    return false;
                if (download())
                    PB().EndIf();
                else if (listing())
                    close(".EndIf");
            }
        } else if (IsWord(key, u"L_WHILE")) {
            if (download())
                PB().While(P1src.toLong(), P1val.toInteger(), c.Op, P2src.toLong(), P2val.toInteger());
            else if (listing())
                open(".While", P1src, P1val, c.Op, P2src, P2val);
            if (!body(c, ModuleKind::WhileBody, 0))
                return false;
            if (download())
                PB().EndWhile();
            else if (listing())
                close(".EndWhile");
        } else if (IsWord(key, u"L_LOOP")) {
            if (download())
                PB().Loop(P1src.toLong(), P1val.toInteger());
            else if (listing())
                open(".Loop", P1src, P1val);
            if (!body(c, ModuleKind::LoopBody, 0))
                return false;
            if (download())
                PB().EndLoop();
            else if (listing())
                close(".EndLoop");
        } else if (IsWord(key, u"A_REM")) {
            if (listing())
                line("'", c.Param1Value);
        } else if (IsWord(key, u"M_ON")) {
            motor(c, &IBrickDevice::On, ".On");
        } else if (IsWord(key, u"M_OFF")) {
            if (c.Op == 1)
                motor(c, &IBrickDevice::Off, ".Off");
            else
                motor(c, &IBrickDevice::Float, ".Float");
        } else if (IsWord(key, u"M_FWD")) {
            motor(c, &IBrickDevice::SetFwd, ".SetFwd");
        } else if (IsWord(key, u"M_RWD")) {
            motor(c, &IBrickDevice::SetRwd, ".SetRwd");
        } else if (IsWord(key, u"M_ALTDIR")) {
            motor(c, &IBrickDevice::AlterDir, ".AlterDir");
        } else if (IsWord(key, u"M_SETPWR")) {
            if (download())
                PB().SetPower(c.MotorList, P2src.toLong(), P2val.toInteger());
            else if (listing())
                line(".SetPower", c.MotorList, P2src, P2val);
        } else if (IsWord(key, u"G_SOUND")) {
            const Long s = objects.speed();
            if (s < 6) {
                if (download())
                    PB().PlaySystemSound(vb::CInt(s));
                else if (listing())
                    line(".PlaySystemSound", s);
            } else {
                const double duration = double(objects.time()) * num(P1val);
                if (download())
                    PB().PlayTone(vb::CInt(s), vb::CInt(duration));
                else if (listing())
                    line(".PlayTone", s, duration);
            }
        } else if (IsWord(key, u"G_TXPOWER")) {
            if (download())
                PB().PBTxPower(P1val.toInteger());
            else if (listing())
                line(".PBTxPower", P1val);
        } else if (IsWord(key, u"L_SUB")) {
            const QString name = c.Param1Value.toString();
            for (const auto& e : app.SubList)
                if (e.item->Name == name) {
                    moduleNumber = e.item->mNumber;
                    break;
                }
            if (download())
                PB().GoSub(moduleNumber);
            else if (listing())
                line(".GoSub", moduleNumber);
        } else if (IsWord(key, u"L_VAR")) {
            const Integer op = c.Op;
            if (op >= 0) {
                if (download()) {
                    IBrickDevice& pb = PB();
                    SendVarOperation(pb, op, P1val.toInteger(), P2src.toLong(), P2val.toInteger());
                } else if (listing()) {
                    if (op >= app.VarOpMethod.size())
                        raiseError(Err::SubscriptOutOfRange);
                    line(app.VarOpMethod[op], P1val, P2src, P2val);
                }
            } else if (listing()) {
                ListingLine(QStringLiteral(" In VAR Command"));
            }
        } else if (IsWord(key, u"L_START")) {
            Integer& n = moduleNumber;
            numberOfTask(c.Param1Value);
            if (download())
                PB().StartTask(n);
            else if (listing())
                line(".StartTask", n);
        } else if (IsWord(key, u"L_STOP")) {
            if (IsWord(c.Param1Value.toString(), u"Stop program")) {
                if (download())
                    PB().StopAllTasks();
                else if (listing())
                    line(".StopAllTasks");
            } else {
                Integer& n = moduleNumber;
                numberOfTask(c.Param1Value);
                if (download())
                    PB().StopTask(n);
                else if (listing())
                    line(".StopTask", n);
            }
        } else if (IsWord(key, u"L_ZERO")) {
            const int s = sourceCode(P1src);
            if (s == OperandSource::SensorValue) {
                if (download())
                    PB().ClearSensorValue(P1val.toInteger());
                else if (listing())
                    line(".ClearSensorValue", P1val);
            } else if (s == OperandSource::Timer) {
                if (download())
                    PB().ClearTimer(P1val.toInteger());
                else if (listing())
                    line(".ClearTimer", P1val);
            } else if (s == OperandSource::Message) {
                if (download())
                    PB().ClearPBMessage();
                else if (listing())
                    line(".ClearPBMessage");
            }
        } else if (IsWord(key, u"L_DATALOG")) {
            if (download())
                PB().DatalogNext(P1src.toLong(), P1val.toInteger());
            else if (listing())
                line(".DatalogNext", P1src, P1val);
        } else if (IsWord(key, u"L_SENDMESS")) {
            if (download())
                PB().SendPBMessage(P1src.toLong(), P1val.toInteger());
            else if (listing())
                line(".SendPBMessage", P1src, P1val);
        } else if (IsWord(key, u"G_WATCH")) {
            if (download())
                PB().SetWatch(P1val.toInteger(), P2val.toInteger());
            else if (listing())
                line(".PB.SetWatch", P1val, P2val);
        } else if (IsWord(key, u"G_PBOFF")) {
            if (download())
                PB().PBTurnOff();
            else if (listing())
                line(".PB.PBTurnOff");
        } else if (IsWord(key, u"G_DISPLAY")) {
            if (download())
                PB().SelectDisplay(P1src.toLong(), P1val.toInteger());
            else if (listing())
                line(".PB.SelectDisplay", P1src, P1val);
        } else if (IsWord(key, u"L_SENTYPE")) {
            if (download())
                PB().SetSensorType(P1val.toInteger(), P2val.toInteger());
            else if (listing())
                line(".PB.SetSensorType", P1val, P2val);
        } else if (IsWord(key, u"L_SENMODE")) {
            if (download())
                PB().SetSensorMode(P1val.toInteger(), P2val.toInteger(), 0);
            else if (listing())
                line(".PB.SetSensorMode", P1val, P2val, "0");
        }

        // The command's duration.
        const Long unit = objects.time();
        if (unit > 0 && (key.startsWith(QLatin1Char('M')) || IsWord(key, u"G_WAIT"))) {
            const int s = sourceCode(P1src);
            Long source = 2;
            Variant value;
            if (s == OperandSource::Variable) {
                source = 0;
                value = P1val;
            } else if (s == OperandSource::Random) {
                source = 4;
                value = P1val;
            } else {
                value = double(unit) * num(P1val);
            }
            if (download())
                PB().Wait(source, value.toInteger());
            else if (listing())
                line(".Wait", source, value);
        }
        return true;
    }
};

}  // namespace

bool DLCommands(CommandCollection* commands, Long kind, Long mode, std::optional<Integer> loopFlag,
                const QString& moduleName, Integer startColumn)
{
    const bool download = mode == CompileMode::Download;
    const bool listing = mode == CompileMode::Listing;
    CompileContext* context = listing ? &compileContext() : nullptr;
    if (context)
        context->CompileError.clear();
    const bool wrapped =
        (kind == ModuleKind::Task || kind == ModuleKind::Sub) && loopFlag.value_or(0) != 0;
    Walk walk{kind, mode, moduleName, App()};
    // The outermost walk keeps the scratch variables' owners for its bodies.
    std::optional<ScratchOwners> scratch;
    struct ScratchScope {
        std::optional<ScratchOwners>* outer = gWalkScratch;
        ~ScratchScope() { gWalkScratch = outer; }
    } scratchScope;
    if (!gWalkScratch)
        gWalkScratch = &scratch;

    // The command being handled, whose cell a failure in a compile points to.
    const clsCommand* current = nullptr;
    auto fail = [&](const VbError& e) {
        const QString text = QStringLiteral("Error: ") + e.description() + QStringLiteral(" in DLCommands");
        ShowMessage(*walk.app.Presenter, text, MsgStyle::Critical);
        if (context) {
            // The compile's error report tells the failure too, and its window
            // opens on the command that failed.
            context->CompileError = text;
            if (current)
                context->ErrorCell = modMain::ColKey(true, current->x, current->y);
        }
        return false;
    };
    // An empty cell ends its column, as does a grid that is not there or a
    // cell that holds nothing; every failure while a command is handled
    // (a control refusing an operation among them) fails the walk, so that
    // nothing after it is left out unnoticed.
    try {
        if (wrapped) {
            if (download) {
                PB().Loop(2, 0);
            } else if (listing) {
                context->BlockDepth = 0;
                line(".LOOP ", 2, 0);
                ++context->BlockDepth;
            }
        }
    } catch (const VbError& e) {
        return fail(e);
    }

    bool elseDone = false;
    auto emitElse = [&] {
        elseDone = true;
        if (download) {
            PB().Else();
        } else if (listing) {
            --context->BlockDepth;
            line(".Else");
            ++context->BlockDepth;
        }
    };

    // The grid's cells, gathered once for both columns.
    std::optional<GridCells> cells;
    if (commands)
        cells.emplace(*commands);
    for (int column = startColumn; column <= 1; ++column) {
        try {
            for (int row = 1; cells && row <= 40; ++row) {
                const auto* cell = cells->at(column, row);
                if (!cell || !*cell)
                    break;
                const std::shared_ptr<clsCommand> command = *cell;
                current = command.get();
                if (!walk.command(*command))
                    return false;
            }
            current = nullptr;
            if (kind == ModuleKind::IfBody && column == 0 && !elseDone)
                emitElse();
        } catch (const VbError& e) {
            return fail(e);
        }
    }

    try {
        if (wrapped) {
            if (download) {
                PB().EndLoop();
            } else if (listing) {
                --context->BlockDepth;
                line(".EndLoop");
            }
        }
    } catch (const VbError& e) {
        return fail(e);
    }

    return !(context && context->CompileFailed);
}

QString modMain::ColKey(bool /*flag*/, Integer mx, Integer my)
{
    return ::ColKey(mx, my);
}
