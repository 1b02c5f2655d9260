#pragma once
// What the program knows about each command key, in one table
// (model/CommandKey.h): its family, the picture it shows, its default caption
// (also the palette's tool tip), which parameter frame edits it, whether it
// owns a block body (and of which kind), whether its "Open command window"
// opens something, whether a Joystick & Keyboard project may use it, and
// whether it can be sent to the brick at once.
//
// Code compares keys as CommandKey values. A key's text is read without regard
// to letter case, as the editor window, the palette and the file reader
// always have; it is written as the table spells it.
//
//   const CommandInfo* info = FindCommand(CommandKey::L_IF);
//   if (info && info->bodyKind) ...      // ModuleKind::IfBody
//   CommandKeyOf(QStringLiteral("l_if"))  -> CommandKey::L_IF
//   for (const CommandInfo& c : CommandCatalogue()) ...   // palette order
#include "model/CommandKey.h"
#include "model/Variant.h"

#include <QString>

#include <vector>

// The parameter frame that edits a command: the motor and general frame for
// M, G and A keys, the logic frame for L keys.
enum class CommandFrame { MotorGeneral, Logic };

struct CommandInfo {
    CommandKey id;
    QString key;           // "M_ON": the key's text; also the name of its palette button and picture
    CommandFamily family;
    QString caption;       // default first caption line and palette tool tip ("Start motor")
    CommandFrame frame;
    Long bodyKind;         // ModuleKind of its body (IF, WHILE, LOOP), 0 for none
    bool opensWindow;      // "Open command window" applies (blocks, sub calls, start/stop task)
    bool joystick;         // a Joystick & Keyboard project may use it
    Integer immediate;     // 1: may be sent to the brick at once (ImmediateCommands)
};

// Every command key, in the palette's order (25 keys).
const std::vector<CommandInfo>& CommandCatalogue();

// The entry of a key, or nullptr for CommandKey::None.
const CommandInfo* FindCommand(CommandKey key);
// The entry of a key's text (letter case ignored), or nullptr for an unknown key.
const CommandInfo* FindCommand(const QString& key);

// The key a text names (letter case ignored); CommandKey::None for a text
// that names no command.
CommandKey CommandKeyOf(const QString& text);
// The key's text as the table spells it; empty for CommandKey::None.
const QString& CommandKeyText(CommandKey key);

// The ModuleKind of the body a key owns, 0 for none.
Long BodyKindOf(CommandKey key);
// The same for a key's text, letter case ignored.
Long BodyKindOf(const QString& key);
// True for a key that owns a block body (IF, WHILE, LOOP).
inline bool OpensBlock(CommandKey key) { return BodyKindOf(key) != 0; }
inline bool OpensBlock(const QString& key) { return BodyKindOf(key) != 0; }

// The picture a command shows: its key's text, but "M_OFF_FLOAT" for an
// "M_OFF" whose operator is 0 (float instead of brake).
QString CommandPictureKey(CommandKey key, Integer op);
// The same for a key's text (an unknown one is its own picture name).
QString CommandPictureKey(const QString& key, Integer op);

// True when both texts name the same command (letter case ignored).
bool SameCommandKey(const QString& a, const QString& b);
