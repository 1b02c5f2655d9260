#include "compiler/Translate.h"

#include "compiler/CommandCheck.h"
#include "compiler/CompileContext.h"
#include "model/AppState.h"
#include "model/Grid.h"
#include "model/Messages.h"
#include "model/Phantom.h"

#include <cmath>

namespace {

double num(const Variant& v) { return v.toDouble(); }

const clsObject* objectOf(const ObjectPtr* o) { return o ? o->get() : nullptr; }

// One loading operation of ResolveOperands.
enum class VarOp { Set, And, Or };

void emitVarLoad(const AppState& app, CompileContext* context, VarOp op, Integer variable, Long source,
                 const Variant& value, Long mode)
{
    if (mode == CompileMode::Download) {
        IBrickDevice& pb = PB(app);
        const Integer v = value.toInteger();
        switch (op) {
        case VarOp::Set: pb.SetVar(variable, source, v); break;
        case VarOp::And: pb.AndVar(variable, source, v); break;
        case VarOp::Or: pb.OrVar(variable, source, v); break;
        }
    } else if (mode == CompileMode::Listing) {
        const char* word = op == VarOp::Set ? ".SetVar" : op == VarOp::And ? ".AndVar" : ".OrVar";
        ListingLine(ListingOf(context), QString(), word, variable, source, listing::FromCompiler{value});
    }
}

// A motor item (its status byte masked) into the scratch variable.
void loadMotorItem(const AppState& app, CompileContext* context, const clsObject& item, Integer variable,
                   bool datalogTag, Long mode)
{
    using namespace OperandSource;
    const Long v = item.Value;
    const Integer p = item.Number;
    emitVarLoad(app, context, VarOp::Set, variable, MotorStatus, p, mode);
    emitVarLoad(app, context, VarOp::And, variable, Constant, v, mode);
    if (datalogTag) {
        // The datalog tells which item of which port it logged.
        const Long bits = v == MotorItem::Direction ? 256 : v == MotorItem::State ? 512 : 0;
        emitVarLoad(app, context, VarOp::Or, variable, Constant, bits, mode);
        emitVarLoad(app, context, VarOp::Or, variable, Constant, 1024 * Long(p), mode);
    }
}

// One operand as the brick takes it: its source and value from the named
// value it names, a motor item loaded into the scratch variable first.
// Sources that need no named value, or that only one of the two operands
// takes, are left to the caller (false). The named value is looked up only
// for the sources that take one: a typed number names nothing.
bool resolveOperand(const AppState& app, CompileContext* context, int source, OperandObjects& objects,
                    bool firstOperand, Variant& src, Variant& val, Integer scratch, bool datalogTag, Long mode)
{
    using namespace OperandSource;
    const auto named = [&] { return objectOf(firstOperand ? objects.first() : objects.second()); };
    if (source == MotorStatus) {
        if (const clsObject* o = named())
            loadMotorItem(app, context, *o, scratch, datalogTag, mode);
        val = scratch;
        src = Variable;
    } else if (kByNumber.has(source)) {
        if (const clsObject* o = named())
            val = o->Number;
    } else if (source == Constant) {
        if (IsInfiniteLoop(val))
            val = 0;
    } else if (source == Clock || source == Message) {
        val = 0;
    } else if (kConstantGroups.has(source)) {
        if (const clsObject* o = named())
            val = o->Value;
        src = Constant;
    } else {
        return false;
    }
    return true;
}

}  // namespace

void SendVarOperation(IBrickDevice& pb, Integer op, Integer variable, Long source, Integer value)
{
    switch (op) {
    case VarOperation::Add: pb.SumVar(variable, source, value); break;
    case VarOperation::Subtract: pb.SubVar(variable, source, value); break;
    case VarOperation::Divide: pb.DivVar(variable, source, value); break;
    case VarOperation::Multiply: pb.MulVar(variable, source, value); break;
    case VarOperation::Sign: pb.SgnVar(variable, source, value); break;
    case VarOperation::Absolute: pb.AbsVar(variable, source, value); break;
    case VarOperation::And: pb.AndVar(variable, source, value); break;
    case VarOperation::Or: pb.OrVar(variable, source, value); break;
    case VarOperation::SetValue: pb.SetVar(variable, source, value); break;
    default: break;
    }
}

void ResolveOperands(const AppState& app, const clsCommand& command, Variant& P1src, Variant& P1val,
                     Variant& P2src, Variant& P2val, Long mode)
{
    OperandObjects objects(app, command);
    ResolveOperands(command, P1src, P1val, P2src, P2val, mode, objects);
}

void ResolveOperands(const clsCommand& command, Variant& P1src, Variant& P1val, Variant& P2src,
                     Variant& P2val, Long mode, OperandObjects& objects, CompileContext* context)
{
    const AppState& app = objects.app();
    try {
        P1src = command.Param1Source;
        P1val = command.Param1Value;
        P2src = command.Param2Source;
        P2val = command.Param2Value;

        // First operand into scratch variable 1, second into 0.
        resolveOperand(app, context, objects.firstSource(), objects, true, P1src, P1val, 1,
                       command.CommandKey == CommandKey::L_DATALOG, mode);
        if (!resolveOperand(app, context, objects.secondSource(), objects, false, P2src, P2val, 0, false, mode) &&
            objects.secondSource() == OperandSource::NamedRange) {
            if (const clsObject* o = objectOf(objects.second()))
                P2val = QString::number(o->Value) + QLatin1Char('_') + QString::number(o->AuxValue);
            P2src = OperandSource::TypedRange;
        }

        // Arithmetic operations read a brick source through variable 0.
        if (ReadsThroughVariable(command.CommandKey, command.Op, SourceCode(P2src))) {
            const int s = SourceCode(P2src);
            const bool clock = s == OperandSource::Message || s == OperandSource::Clock;
            emitVarLoad(app, context, VarOp::Set, 0, P2src.toLong(), clock ? Variant(0) : P2val, mode);
            P2src = 0;
            P2val = 0;
        }
    } catch (const VbError& e) {
        ShowMessage(*app.Presenter, e.description(), MsgStyle::Exclamation);
    }
}

namespace {

// A command's operands as the brick takes them (ResolveOperands).
struct Operands {
    Variant s1, v1, s2, v2;
};

bool walkGrid(AppState& app, CompileContext* context, std::optional<ScratchOwners>& scratch,
              CommandCollection* commands, Long kind, Long mode, std::optional<Integer> loopFlag,
              const QString& moduleName, Integer startColumn);

struct Walk {
    Long kind;
    Long mode;
    const QString& moduleName;
    AppState& app;
    // The compile a listing walk writes to and tells its failure; null in a download.
    CompileContext* context;
    // The owners of the scratch variables, found once for the outermost walk
    // and shared by the bodies it walks: the named values don't change while
    // a grid is walked.
    std::optional<ScratchOwners>& scratch;
    Integer moduleNumber = 0;  // task or sub number, kept from command to command
    // The command being handled, whose cell a failure in a compile points to.
    std::shared_ptr<clsCommand> current;

    bool download() const { return mode == CompileMode::Download; }
    bool listing() const { return mode == CompileMode::Listing; }

    template <class... Fields>
    void line(const Fields&... fields)
    {
        ListingLine(*context, QString(), fields...);
    }
    // One operation: sent to the brick in a download, listed as the fields in a compile.
    template <class Send, class... Fields>
    void emit(Send send, const Fields&... fields)
    {
        EmitOperation(app, context, mode, send, fields...);
    }
    // A block's opening line, and the lines of its body one level in.
    template <class Send, class... Fields>
    void open(Send send, const Fields&... fields)
    {
        if (download()) {
            send(PB(app));
        } else if (listing()) {
            line(fields...);
            ++context->BlockDepth;
        }
    }
    template <class Send>
    void close(Send send, const char* word)
    {
        if (download()) {
            send(PB(app));
        } else if (listing()) {
            --context->BlockDepth;
            line(word);
        }
    }

    // Walks a block's body; on a compile error inside it, the innermost body
    // that holds the error is where the fault lies.
    bool body(clsCommand& block, Long bodyKind, Integer startColumn)
    {
        const bool ok = walkGrid(app, context, scratch, block.Commands.get(), bodyKind, mode, std::nullopt,
                                 download() ? QString() : moduleName, startColumn);
        if (!ok && listing())
            context->PlaceFault(bodyKind, current, moduleName, block.PicCaption(1));
        return ok;
    }

    // The number of the task or sub of that name; the last one found when
    // there is none.
    template <class List>
    Integer& numberOf(const List& modules, const Variant& name)
    {
        const QString n = name.toString();
        for (const auto& e : modules)
            if (e.item->Name == n) {
                moduleNumber = e.item->mNumber;
                break;
            }
        return moduleNumber;
    }

    // The command's check in a compile; false (the failure noted) when it fails.
    bool passes(const clsCommand& c, OperandObjects& objects)
    {
        if (!listing())
            return true;
        context->CompileError = CheckCommand(c, kind, objects);
        if (context->CompileError.isEmpty())
            return true;
        context->CompileFailed = True;
        context->ErrorCell = modMain::ColKey(true, c.x, c.y);
        return false;
    }

    // Emits one command; false when the walk must stop with failure.
    bool command(clsCommand& c)
    {
        OperandObjects objects(app, c, &scratch);
        if (!passes(c, objects))
            return false;
        Operands o;
        ResolveOperands(c, o.s1, o.v1, o.s2, o.v2, mode, objects, context);
        switch (FamilyOf(c.CommandKey)) {
        case CommandFamily::Logic:
            if (!logic(c, o))
                return false;
            break;
        case CommandFamily::Motor: motor(c, o); break;
        case CommandFamily::General: general(c, o, objects); break;
        case CommandFamily::Remark:
            if (listing())
                line("'", c.Param1Value);
            break;
        case CommandFamily::None: break;
        }
        wait(c, o, objects);
        return true;
    }

    // One column down to its first empty cell; a grid that is not there or a
    // cell that holds nothing ends it too.
    bool column(const std::optional<GridCells>& cells, int column)
    {
        for (int row = 1; cells && row <= GridCells::kRows; ++row) {
            const auto* cell = cells->at(column, row);
            if (!cell || !*cell)
                break;
            current = *cell;  // alive while it is handled
            if (!command(*current))
                return false;
        }
        current.reset();
        return true;
    }

    // A task or sub that runs again and again: its grid inside a loop
    // without a count, the loop's lines the outermost of the module.
    void beginEndless()
    {
        if (listing())
            context->BlockDepth = 0;
        const Long constant = OperandSource::Constant;
        open([constant](IBrickDevice& pb) { pb.Loop(constant, 0); }, ".LOOP ", constant, 0);
    }
    void endEndless()
    {
        close([](IBrickDevice& pb) { pb.EndLoop(); }, ".EndLoop");
    }

    // The ELSE of an IF block, listed one level out from the lines around it.
    void elseLine()
    {
        if (download()) {
            PB(app).Else();
        } else if (listing()) {
            --context->BlockDepth;
            line(".Else");
            ++context->BlockDepth;
        }
    }

    // ---- Blocks

    // A range the brick tests as value > low - 1 and value < high + 1, then
    // the ELSE column on its own.
    bool rangeIf(clsCommand& c, const Operands& o)
    {
        const QString range = o.v2.toString();
        const int bar = range.indexOf(QLatin1Char('_'));
        if (bar < 0)
            raiseError(Err::TypeMismatch);
        // Whole numbers, made shorts only where they are sent: a listing
        // that writes nothing (a Joystick & Keyboard project) has no bounds
        // to fail on.
        const double lo = std::nearbyint(vb::Val(range.left(bar)) - 1);
        const double hi = std::nearbyint(vb::Val(range.mid(bar + 1)) + 1);
        const auto bound = [&](Integer op, double value) {
            const Long constant = OperandSource::Constant;
            open([&](IBrickDevice& pb) { pb.If(o.s1.toLong(), o.v1.toInteger(), op, constant, vb::CInt(value)); },
                 ".If", o.s1, o.v1, op, constant, value);
        };
        bound(Comparison::Greater, lo);
        bound(Comparison::Less, hi);
        if (!body(c, ModuleKind::IfBody, 0))
            return false;
        close([](IBrickDevice& pb) { pb.EndIf(); }, ".EndIf");
        elseLine();
        if (!body(c, ModuleKind::IfBody, 1))
            return false;
        close([](IBrickDevice& pb) { pb.EndIf(); }, ".EndIf");
        return true;
    }

    // A block: its opening, its body, its end.
    template <class Begin, class... Fields>
    bool block(clsCommand& c, Long bodyKind, Begin begin, void (IBrickDevice::*end)(), const char* endWord,
               const Fields&... fields)
    {
        open(begin, fields...);
        if (!body(c, bodyKind, 0))
            return false;
        close([end](IBrickDevice& pb) { (pb.*end)(); }, endWord);
        return true;
    }

    bool ifBlock(clsCommand& c, const Operands& o)
    {
        if (SourceCode(o.s2) == OperandSource::TypedRange)
            return rangeIf(c, o);
        return block(
            c, ModuleKind::IfBody,
            [&](IBrickDevice& pb) { pb.If(o.s1.toLong(), o.v1.toInteger(), c.Op, o.s2.toLong(), o.v2.toInteger()); },
            &IBrickDevice::EndIf, ".EndIf", ".If", o.s1, o.v1, c.Op, o.s2, o.v2);
    }

    bool whileBlock(clsCommand& c, const Operands& o)
    {
        return block(
            c, ModuleKind::WhileBody,
            [&](IBrickDevice& pb) { pb.While(o.s1.toLong(), o.v1.toInteger(), c.Op, o.s2.toLong(), o.v2.toInteger()); },
            &IBrickDevice::EndWhile, ".EndWhile", ".While", o.s1, o.v1, c.Op, o.s2, o.v2);
    }

    bool loopBlock(clsCommand& c, const Operands& o)
    {
        return block(
            c, ModuleKind::LoopBody, [&](IBrickDevice& pb) { pb.Loop(o.s1.toLong(), o.v1.toInteger()); },
            &IBrickDevice::EndLoop, ".EndLoop", ".Loop", o.s1, o.v1);
    }

    // ---- The logic family

    bool logic(clsCommand& c, const Operands& o)
    {
        switch (c.CommandKey) {
        case CommandKey::L_IF: return ifBlock(c, o);
        case CommandKey::L_WHILE: return whileBlock(c, o);
        case CommandKey::L_LOOP: return loopBlock(c, o);
        case CommandKey::L_SUB:
        case CommandKey::L_START:
        case CommandKey::L_STOP: modules(c); break;
        case CommandKey::L_VAR: variable(c, o); break;
        case CommandKey::L_ZERO: zero(o); break;
        default: brickValues(c, o); break;
        }
        return true;
    }

    // Calling a sub, starting and stopping tasks.
    void modules(const clsCommand& c)
    {
        if (c.CommandKey == CommandKey::L_SUB) {
            Integer& n = numberOf(app.SubList(), c.Param1Value);
            emit([&n](IBrickDevice& pb) { pb.GoSub(n); }, ".GoSub", n);
        } else if (c.CommandKey == CommandKey::L_START) {
            Integer& n = numberOf(app.TaskList(), c.Param1Value);
            emit([&n](IBrickDevice& pb) { pb.StartTask(n); }, ".StartTask", n);
        } else if (IsWord(c.Param1Value.toString(), u"Stop program")) {
            emit([](IBrickDevice& pb) { pb.StopAllTasks(); }, ".StopAllTasks");
        } else {
            Integer& n = numberOf(app.TaskList(), c.Param1Value);
            emit([&n](IBrickDevice& pb) { pb.StopTask(n); }, ".StopTask", n);
        }
    }

    void variable(const clsCommand& c, const Operands& o)
    {
        const Integer op = c.Op;
        if (op >= 0) {
            if (download()) {
                SendVarOperation(PB(app), op, o.v1.toInteger(), o.s2.toLong(), o.v2.toInteger());
            } else if (listing()) {
                if (op >= app.VarOpMethod.size())
                    raiseError(Err::SubscriptOutOfRange);
                line(app.VarOpMethod[op], o.v1, o.s2, o.v2);
            }
        } else if (listing()) {
            ListingLine(*context, QStringLiteral(" In VAR Command"));
        }
    }

    void zero(const Operands& o)
    {
        const int s = SourceCode(o.s1);
        if (s == OperandSource::SensorValue)
            emit([&](IBrickDevice& pb) { pb.ClearSensorValue(o.v1.toInteger()); }, ".ClearSensorValue", o.v1);
        else if (s == OperandSource::Timer)
            emit([&](IBrickDevice& pb) { pb.ClearTimer(o.v1.toInteger()); }, ".ClearTimer", o.v1);
        else if (s == OperandSource::Message)
            emit([](IBrickDevice& pb) { pb.ClearPBMessage(); }, ".ClearPBMessage");
    }

    // The datalog, messages and the sensors' set-up.
    void brickValues(const clsCommand& c, const Operands& o)
    {
        switch (c.CommandKey) {
        case CommandKey::L_DATALOG:
            emit([&](IBrickDevice& pb) { pb.DatalogNext(o.s1.toLong(), o.v1.toInteger()); }, ".DatalogNext", o.s1,
                 o.v1);
            break;
        case CommandKey::L_SENDMESS:
            emit([&](IBrickDevice& pb) { pb.SendPBMessage(o.s1.toLong(), o.v1.toInteger()); }, ".SendPBMessage", o.s1,
                 o.v1);
            break;
        case CommandKey::L_SENTYPE:
            emit([&](IBrickDevice& pb) { pb.SetSensorType(o.v1.toInteger(), o.v2.toInteger()); }, ".PB.SetSensorType",
                 o.v1, o.v2);
            break;
        case CommandKey::L_SENMODE:
            emit([&](IBrickDevice& pb) { pb.SetSensorMode(o.v1.toInteger(), o.v2.toInteger(), 0); },
                 ".PB.SetSensorMode", o.v1, o.v2, "0");
            break;
        default: break;
        }
    }

    // ---- The motor family

    void motorList(const clsCommand& c, bool (IBrickDevice::*op)(const QString&), const char* word)
    {
        emit([&](IBrickDevice& pb) { (pb.*op)(c.MotorList); }, word, c.MotorList);
    }

    void motor(const clsCommand& c, const Operands& o)
    {
        switch (c.CommandKey) {
        case CommandKey::M_ON: motorList(c, &IBrickDevice::On, ".On"); break;
        case CommandKey::M_OFF:
            if (c.Op == 1)
                motorList(c, &IBrickDevice::Off, ".Off");
            else
                motorList(c, &IBrickDevice::Float, ".Float");
            break;
        case CommandKey::M_FWD: motorList(c, &IBrickDevice::SetFwd, ".SetFwd"); break;
        case CommandKey::M_RWD: motorList(c, &IBrickDevice::SetRwd, ".SetRwd"); break;
        case CommandKey::M_ALTDIR: motorList(c, &IBrickDevice::AlterDir, ".AlterDir"); break;
        case CommandKey::M_SETPWR:
            emit([&](IBrickDevice& pb) { pb.SetPower(c.MotorList, o.s2.toLong(), o.v2.toInteger()); }, ".SetPower",
                 c.MotorList, o.s2, o.v2);
            break;
        default: break;
        }
    }

    // ---- The general family

    void sound(const Operands& o, OperandObjects& objects)
    {
        const Long s = objects.speed();
        if (!IsTone(s)) {
            emit([s](IBrickDevice& pb) { pb.PlaySystemSound(vb::CInt(s)); }, ".PlaySystemSound", s);
            return;
        }
        const double duration = double(objects.time()) * num(o.v1);
        emit([&](IBrickDevice& pb) { pb.PlayTone(vb::CInt(s), vb::CInt(duration)); }, ".PlayTone", s, duration);
    }

    void general(const clsCommand& c, const Operands& o, OperandObjects& objects)
    {
        switch (c.CommandKey) {
        case CommandKey::G_SOUND: sound(o, objects); break;
        case CommandKey::G_TXPOWER:
            emit([&](IBrickDevice& pb) { pb.PBTxPower(o.v1.toInteger()); }, ".PBTxPower", o.v1);
            break;
        case CommandKey::G_WATCH:
            emit([&](IBrickDevice& pb) { pb.SetWatch(o.v1.toInteger(), o.v2.toInteger()); }, ".PB.SetWatch", o.v1,
                 o.v2);
            break;
        case CommandKey::G_PBOFF: emit([](IBrickDevice& pb) { pb.PBTurnOff(); }, ".PB.PBTurnOff"); break;
        case CommandKey::G_DISPLAY:
            emit([&](IBrickDevice& pb) { pb.SelectDisplay(o.s1.toLong(), o.v1.toInteger()); }, ".PB.SelectDisplay",
                 o.s1, o.v1);
            break;
        default: break;
        }
    }

    // The command's duration: a motor command's or a WAIT's, by a variable,
    // a random limit, or the unit times a constant count.
    void wait(const clsCommand& c, const Operands& o, OperandObjects& objects)
    {
        const Long unit = objects.time();
        if (unit <= 0 || !TakesDuration(c.CommandKey))
            return;
        const int s = SourceCode(o.s1);
        Long source = OperandSource::Constant;
        Variant value;
        if (s == OperandSource::Variable || s == OperandSource::Random) {
            source = s;
            value = o.v1;
        } else {
            value = double(unit) * num(o.v1);
        }
        emit([&](IBrickDevice& pb) { pb.Wait(source, value.toInteger()); }, ".Wait", source, value);
    }

    // A failure while the grid is walked: its message, and in a compile the
    // error report's text and the cell of the command that failed.
    bool failed(const VbError& e)
    {
        const QString text = QStringLiteral("Error: ") + e.description() + QStringLiteral(" in DLCommands");
        ShowMessage(*app.Presenter, text, MsgStyle::Critical);
        if (listing()) {
            context->CompileError = text;
            if (current)
                context->ErrorCell = modMain::ColKey(true, current->x, current->y);
        }
        return false;
    }
};

bool walkGrid(AppState& app, CompileContext* context, std::optional<ScratchOwners>& scratch,
              CommandCollection* commands, Long kind, Long mode, std::optional<Integer> loopFlag,
              const QString& moduleName, Integer startColumn)
{
    if (mode == CompileMode::Listing)
        ListingOf(context).CompileError.clear();
    else
        context = nullptr;  // a download lists nothing and fails no check
    const bool endless = (kind == ModuleKind::Task || kind == ModuleKind::Sub) && loopFlag.value_or(0) != 0;
    Walk walk{kind, mode, moduleName, app, context, scratch};
    // The grid's cells, gathered once for both columns.
    std::optional<GridCells> cells;
    if (commands)
        cells.emplace(*commands);
    // Every failure while a command is handled (a control refusing an
    // operation among them) fails the walk, so that nothing after it is left
    // out unnoticed.
    try {
        if (endless)
            walk.beginEndless();
        for (int column = startColumn; column <= 1; ++column) {
            if (!walk.column(cells, column))
                return false;
            if (kind == ModuleKind::IfBody && column == 0)
                walk.elseLine();
        }
        if (endless)
            walk.endEndless();
    } catch (const VbError& e) {
        return walk.failed(e);
    }
    return !(context && context->CompileFailed);
}

}  // namespace

bool DLCommands(AppState& app, CommandCollection* commands, Long kind, Long mode, std::optional<Integer> loopFlag,
                const QString& moduleName, Integer startColumn, CompileContext* context)
{
    std::optional<ScratchOwners> scratch;
    return walkGrid(app, context, scratch, commands, kind, mode, loopFlag, moduleName, startColumn);
}

QString modMain::ColKey(bool /*flag*/, Integer mx, Integer my)
{
    return ::ColKey(mx, my);
}
