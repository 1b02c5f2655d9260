#pragma once
// One graphical command in a grid cell, and the grid itself.
#include "model/Collection.h"
#include "model/CommandKey.h"
#include "model/Variant.h"

#include <memory>

class clsCommand;
class ICommandWindow;

// A grid of commands keyed by the grid key ("0105": column 1, row 5).
using CommandCollection = Collection<std::shared_ptr<clsCommand>>;
using CommandCollectionPtr = std::shared_ptr<CommandCollection>;

// What owns a grid and may have an editor window open on it: a task, a sub,
// or an IF, WHILE or LOOP command.
class CommandOwner {
public:
    virtual ~CommandOwner() = default;
    ICommandWindow* CommandWindow = nullptr;  // non-owning; cleared when the window closes
    // The owner's grid; for a task or sub created empty on first reading,
    // for a command as it stands (nullptr until set).
    virtual CommandCollectionPtr GetCommands() = 0;
};

// True for the marker of an operand source or value the user has not set yet:
// the number -1 that every newly dropped command holds. A value the user typed
// is kept as its text, so a typed "-1" is the value -1 and never unset.
inline bool IsUnsetOperand(const Variant& v)
{
    return v.isNumber() && v.toDouble() == -1;
}

// The operation of a VAR command (its Op), in the order of the name tables
// VarOpCaption and VarOpMethod.
namespace VarOperation {
enum : Integer { Add = 0, Subtract, Divide, Multiply, Sign, Absolute, And, Or, SetValue };
}

// The comparison of an IF or WHILE command (its Op), in the order of the name
// tables CompareSymbol and CompareCaption.
namespace Comparison {
enum : Integer { Greater = 0, Less, Equal, Different, InRange };
}

class clsCommand : public CommandOwner {
public:
    Integer Op = 0;
    Variant Param2Source;
    Variant Param1Source;
    Variant Param2Value;
    Variant Param1Value;
    CommandCollectionPtr Commands;  // body of L_IF, L_WHILE, L_LOOP; unset otherwise
    Boolean PicSelected = False;
    Variant Time;
    QString MotorList;
    Variant Speed;
    Integer mNumber = 0;
    // Which command this is; CommandKey::None for a key no command has.
    ::CommandKey CommandKey = ::CommandKey::None;
    Integer PicIndex = 0;
    Integer y = 0;
    Integer x = 0;

    // The two caption lines; an index other than 0 or 1 fails with 9.
    const QString& PicCaption(int index) const;
    void setPicCaption(int index, const QString& text);

    // The key's text as the task file holds it: the catalogue's spelling of
    // a known key; for a key no command has, the text last given, so that a
    // save writes back what was read.
    const QString& KeyText() const;
    // Takes the key a file or the palette spells (letter case aside).
    void SetKeyText(const QString& text);

    CommandCollectionPtr GetCommands() override { return Commands; }

private:
    QString mCaption[2];
    QString mUnknownKeyText;
};
