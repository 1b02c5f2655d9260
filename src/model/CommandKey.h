#pragma once
// The command keys: the one table of every command the program knows, and
// the typed key made from it. Code compares keys as CommandKey values; the
// key's text ("M_ON") is what the task file and the palette hold, made from
// the same table (model/CommandCatalogue.h gives it and the rest of a row).
//
// Each row: the key, its default caption (also the palette's tool tip), the
// ModuleKind of the body it owns (0 for none), whether its "Open command
// window" opens something, whether a Joystick & Keyboard project may use it,
// and whether it may be sent to the brick at once (ImmediateCommands).
// The rows stand in the palette's order.
#include <QtGlobal>

#define QM_COMMAND_TABLE(X)                                        \
    X(M_ON, "Start motor", 0, false, true, 1)                      \
    X(M_OFF, "Stop motor", 0, false, true, 1)                      \
    X(M_RWD, "Backward", 0, false, true, 1)                        \
    X(M_FWD, "Forward", 0, false, true, 1)                         \
    X(M_ALTDIR, "Alt motor direction", 0, false, true, 1)          \
    X(M_SETPWR, "Motor speed", 0, false, true, 1)                  \
    X(G_WAIT, "Wait", 0, false, true, 1)                           \
    X(G_SOUND, "Sound", 0, false, true, 1)                         \
    X(L_ZERO, "Zero sensor", 0, false, false, 1)                   \
    X(L_DATALOG, "Write to log", 0, false, false, 0)               \
    X(L_SENMODE, "Sensor mode", 0, false, false, 1)                \
    X(L_SENTYPE, "Sensor type", 0, false, false, 1)                \
    X(L_IF, "IF", ModuleKind::IfBody, true, true, 0)               \
    X(L_WHILE, "WHILE", ModuleKind::WhileBody, true, true, 0)      \
    X(L_LOOP, "LOOP", ModuleKind::LoopBody, true, true, 0)         \
    X(L_SUB, "Call sub", 0, true, false, 0)                        \
    X(L_VAR, "Variables", 0, false, true, 1)                       \
    X(L_SENDMESS, "Send message", 0, false, false, 0)              \
    X(L_STOP, "Stop task", 0, true, false, 1)                      \
    X(L_START, "Start task", 0, true, false, 1)                    \
    X(G_TXPOWER, "Transmit power", 0, false, true, 1)              \
    X(G_WATCH, "Set clock", 0, false, false, 1)                    \
    X(G_PBOFF, "RCX power down", 0, false, true, 1)                \
    X(G_DISPLAY, "Select display", 0, false, true, 1)              \
    X(A_REM, "Comment", 0, false, true, 1)

// A command's key; None for no key, or a text that names no command.
enum class CommandKey : quint8 {
    None,
#define QM_COMMAND_KEY_VALUE(key, ...) key,
    QM_COMMAND_TABLE(QM_COMMAND_KEY_VALUE)
#undef QM_COMMAND_KEY_VALUE
};

// The first letter of a key: M motor, G general, L logic, A remark.
enum class CommandFamily { Motor, General, Logic, Remark, None };

namespace command_key_detail {
constexpr CommandFamily familyOfLetter(char letter)
{
    return letter == 'M'   ? CommandFamily::Motor
           : letter == 'G' ? CommandFamily::General
           : letter == 'L' ? CommandFamily::Logic
                           : CommandFamily::Remark;
}
}  // namespace command_key_detail

// The family of a key; None for CommandKey::None.
constexpr CommandFamily FamilyOf(CommandKey key)
{
    switch (key) {
#define QM_COMMAND_KEY_FAMILY(key, ...) \
    case CommandKey::key: return command_key_detail::familyOfLetter(#key[0]);
        QM_COMMAND_TABLE(QM_COMMAND_KEY_FAMILY)
#undef QM_COMMAND_KEY_FAMILY
    case CommandKey::None: break;
    }
    return CommandFamily::None;
}

// True for the commands that wait after they are carried out: the motor
// commands and WAIT (the command's Time names the unit, its first operand the
// count).
constexpr bool TakesDuration(CommandKey key)
{
    return FamilyOf(key) == CommandFamily::Motor || key == CommandKey::G_WAIT;
}
