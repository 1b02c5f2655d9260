#pragma once
// Whether a command or a typed parameter is acceptable, and what a value
// written as a name stands for.
#include "model/AppState.h"
#include "model/Command.h"
#include "model/NamedValue.h"

#include <algorithm>

#include <optional>

// The named values a command's two operand values name, each looked up when
// first asked for, so that the check and the translation of one command look
// each name up once, in the ObjectList of the AppState the check works on.
// Valid while ObjectList stays as it is.
class OperandObjects {
public:
    OperandObjects(const AppState& app, const clsCommand& command) : mApp(app), mCommand(command) {}
    // The state the command is checked and translated against.
    const AppState& app() const { return mApp; }
    // FindNamedObject of Param1Value and of Param2Value.
    const ObjectPtr* first();
    const ObjectPtr* second();

private:
    const AppState& mApp;
    const clsCommand& mCommand;
    std::optional<const ObjectPtr*> mFirst;
    std::optional<const ObjectPtr*> mSecond;
};

// "" when the command passes, else the error text the user sees. Kind is the
// ModuleKind of the grid that holds the command (5: directly in a sub). The
// first form checks against the process-wide state.
QString CheckCommand(const clsCommand& command, Long kind);
QString CheckCommand(const clsCommand& command, Long kind, OperandObjects& objects);
// A typed number against the range of the command (or "integer") it belongs to.
bool ValidateParam(const Variant& text, const QString& key);
// The Value of the named value of that name, else the operand as a whole
// number (failure 13 for a text that is neither). An empty operand gives 0.
Long ResolveValue(const Variant& operand);
Long ResolveValue(const Collection<ObjectPtr>& objects, const Variant& operand);
// The same as ResolveValue; the compiler reads Time through it.
Long ResolveValueCopy(const Variant& operand);
// The entry of ObjectList an operand names (its text, or a number's digits),
// or nullptr for an empty operand or a name that is not there.
const ObjectPtr* FindNamedObject(const Variant& name);
// The same in the list objects.
const ObjectPtr* FindNamedObject(const Collection<ObjectPtr>& objects, const Variant& name);

// True when the text is the word letter for letter (command keys compare
// exactly in the check and the translation); done in place, as it runs for
// every command.
template <size_t N>
bool IsWord(const QString& text, const char16_t (&word)[N])
{
    return text.size() == qsizetype(N - 1) && std::equal(word, word + N - 1, QStringView(text).utf16());
}
