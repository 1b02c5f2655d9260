#pragma once
// Whether a command or a typed parameter is acceptable, and what a value
// written as a name stands for.
#include "compiler/CommandRules.h"
#include "model/AppState.h"
#include "model/Command.h"
#include "model/NamedValue.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>

// The first user variables numbered 0 and 1 in ObjectList (nullptr for
// none), with their places in it: the compiler's scratch variables would
// overwrite them.
struct ScratchOwners {
    const clsObject* owner[2] = {nullptr, nullptr};
    qsizetype at[2] = {0, 0};
};
ScratchOwners FindScratchOwners(const AppState& app);

// What the check and the translation of one command both read, each worked
// out when first asked for and then kept: the named values its two operand
// values name (looked up in the ObjectList of the AppState the check works
// on), its source codes, and the values its Time and Speed stand for. The
// scratch variables' owners may be shared by the commands of one walk.
// Valid while ObjectList stays as it is.
class OperandObjects {
public:
    OperandObjects(const AppState& app, const clsCommand& command,
                   std::optional<ScratchOwners>* scratch = nullptr)
        : mApp(app), mCommand(command), mScratch(scratch ? scratch : &mOwnScratch)
    {
    }
    OperandObjects(const OperandObjects&) = delete;
    OperandObjects& operator=(const OperandObjects&) = delete;
    // The state the command is checked and translated against.
    const AppState& app() const { return mApp; }
    // FindNamedObject of Param1Value and of Param2Value.
    const ObjectPtr* first();
    const ObjectPtr* second();
    // Param1Source and Param2Source as whole numbers; a value that is none
    // matches no source code.
    int firstSource() { return mFirstSource ? *mFirstSource : readFirstSource(); }
    int secondSource() { return mSecondSource ? *mSecondSource : readSecondSource(); }
    // ResolveValue of Time and of Speed; a value that can't be read fails
    // each time it is asked for.
    Long time();
    Long speed();
    const ScratchOwners& scratchOwners();

private:
    int readFirstSource();
    int readSecondSource();

    const AppState& mApp;
    const clsCommand& mCommand;
    std::optional<const ObjectPtr*> mFirst;
    std::optional<const ObjectPtr*> mSecond;
    std::optional<int> mFirstSource;
    std::optional<int> mSecondSource;
    std::optional<Long> mTime;
    std::optional<Long> mSpeed;
    std::optional<ScratchOwners> mOwnScratch;
    std::optional<ScratchOwners>* mScratch;
};

// A set of source codes (0 to 255), tested in one step.
class SourceSet {
public:
    constexpr SourceSet(std::initializer_list<int> codes)
    {
        for (int c : codes)
            mBits[c >> 6] |= std::uint64_t(1) << (c & 63);
    }
    constexpr bool has(int code) const
    {
        return code >= 0 && code < 256 && ((mBits[code >> 6] >> (code & 63)) & 1) != 0;
    }

private:
    std::uint64_t mBits[4] = {};
};

// A source code as a whole number; a value that is none matches no code.
int SourceCode(const Variant& source);

// The named constant groups: the translation hands such an operand to the
// brick as the constant its named value holds.
inline constexpr SourceSet kConstantGroups{
    OperandSource::UserConstant, OperandSource::SystemConstant, OperandSource::UntitledConstant,
    OperandSource::Display,      OperandSource::SensorTypeName, OperandSource::SensorModeName,
    OperandSource::TransmitPower};
// The sources the translation hands the brick as the Number of the named value.
inline constexpr SourceSet kByNumber{OperandSource::Variable,   OperandSource::Timer,
                                     OperandSource::SensorValue, OperandSource::SensorType,
                                     OperandSource::SensorMode,  OperandSource::SensorRaw,
                                     OperandSource::SensorBoolean};
// The brick sources an arithmetic VAR operation reads through variable 0.
inline constexpr SourceSet kReadThroughVariable{
    OperandSource::SensorValue, OperandSource::Timer,     OperandSource::SensorType,
    OperandSource::SensorMode,  OperandSource::SensorRaw, OperandSource::SensorBoolean,
    OperandSource::Random,      OperandSource::Message,   OperandSource::Clock};
// True when the translation loads a command's second operand into variable 0
// first: an arithmetic VAR operation on a brick source.
inline bool ReadsThroughVariable(CommandKey key, Integer op, int secondSource)
{
    return key == CommandKey::L_VAR && op != VarOperation::SetValue && kReadThroughVariable.has(secondSource);
}

// "" when the command passes, else the error text the user sees. Kind is the
// ModuleKind of the grid that holds the command (5: directly in a sub). The
// first form checks against the state handed in.
QString CheckCommand(const AppState& app, const clsCommand& command, Long kind);
QString CheckCommand(const clsCommand& command, Long kind, OperandObjects& objects);
// A typed number against the range of the command it belongs to, in the
// project the state holds; CommandKey::None takes any whole number.
bool ValidateParam(const AppState& app, const Variant& text, CommandKey key);
// The same by the key's text, or "integer" for a whole number the brick takes
// in a short (from -32767).
bool ValidateParam(const AppState& app, const Variant& text, const QString& key);
// The Value of the named value of that name in the list objects (an
// ObjectList), else the operand as a whole number (failure 13 for a text that
// is neither). An empty operand gives 0.
Long ResolveValue(const Collection<ObjectPtr>& objects, const Variant& operand);
// The entry of the list objects (an ObjectList) an operand names (its text, or
// a number's digits), or nullptr for an empty operand or a name that is not there.
const ObjectPtr* FindNamedObject(const Collection<ObjectPtr>& objects, const Variant& name);

// True when the text is the word letter for letter; done in place, as it runs
// for every command.
template <size_t N>
bool IsWord(const QString& text, const char16_t (&word)[N])
{
    return text.size() == qsizetype(N - 1) && std::equal(word, word + N - 1, QStringView(text).utf16());
}

// The named value "Infinite loop" a LOOP counts with stands for the constant
// 0, a loop without end.
inline bool IsInfiniteLoop(const Variant& v)
{
    return v.isText() && IsWord(v.text(), u"Infinite loop");
}
