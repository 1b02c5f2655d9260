#pragma once
// What the program knows about each command key, in one table: its family,
// the picture it shows, its default caption (also the palette's tool tip),
// which parameter frame edits it, whether it owns a block body (and of which
// kind), whether its "Open command window" opens something, whether a
// Joystick & Keyboard project may use it, and whether it can be sent to the
// brick at once.
//
// Keys are found without regard to letter case, as the editor window, the
// palette and the file reader compare them. The translation compares keys
// exactly and keeps doing so.
//
//   const CommandInfo* info = FindCommand(QStringLiteral("l_if"));
//   if (info && info->bodyKind) ...      // ModuleKind::IfBody
//   for (const CommandInfo& c : CommandCatalogue()) ...   // palette order
#include "model/Variant.h"

#include <QString>

#include <vector>

// The first letter of a key.
enum class CommandFamily { Motor, General, Logic, Remark };

// The parameter frame that edits a command: the motor and general frame for
// M, G and A keys, the logic frame for L keys.
enum class CommandFrame { MotorGeneral, Logic };

struct CommandInfo {
    QString key;           // "M_ON"; also the name of its palette button and picture
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

// The entry of a key (letter case ignored), or nullptr for an unknown key.
const CommandInfo* FindCommand(const QString& key);

// The ModuleKind of the body a key owns, 0 for none; letter case is ignored
// unless asked for (the task file's writer compares block keys exactly).
Long BodyKindOf(const QString& key, Qt::CaseSensitivity cs = Qt::CaseInsensitive);
// True for a key that owns a block body (IF, WHILE, LOOP).
inline bool OpensBlock(const QString& key) { return BodyKindOf(key) != 0; }

// The picture a command shows: its key, but "M_OFF_FLOAT" for an "M_OFF"
// whose operator is 0 (float instead of brake).
QString CommandPictureKey(const QString& key, Integer op);

// True when both keys name the same command (letter case ignored).
bool SameCommandKey(const QString& a, const QString& b);
