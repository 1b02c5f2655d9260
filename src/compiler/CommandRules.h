#pragma once
// The limits a command's operands keep, each in one place: the check refuses
// a command that breaks one, and the parameter frames refuse an entry that
// would, in the same words.
//
//   if (!CommandRule::MotorSpeed.contains(value))
//       refuse(CommandRule::MotorSpeedRefusal);

// A closed range of values.
struct ValueRange {
    double low;
    double high;
    constexpr bool contains(double v) const { return v >= low && v <= high; }
};

namespace CommandRule {
// A motor's speed (M_SETPWR): typed, named, or a random number's upper limit.
inline constexpr ValueRange MotorSpeed{0, 7};
inline constexpr char MotorSpeedRefusal[] = "Speed must be between 0 to 7";
// The display the brick shows (G_DISPLAY).
inline constexpr ValueRange Display{0, 6};
inline constexpr char DisplayRefusal[] = "RCX display must be between 0 to 6";
// What goes to the brick as a byte: a message (L_SENDMESS), a loop's random count.
inline constexpr ValueRange Byte{0, 255};
// What the brick holds in a short.
inline constexpr ValueRange Short{-32768, 32767};
// The brick's clock (G_WATCH).
inline constexpr ValueRange Hours{0, 23};
inline constexpr ValueRange Minutes{0, 59};
// A command's wait in hundredths of a second, a short; also a random wait's
// upper limit.
inline constexpr double MaxWait = 32767;
inline constexpr char TooMuchTime[] = "Too much time";
inline constexpr char NegativeTime[] = "Time can't be negative!";
// A tone's duration goes as a byte of hundredths.
inline constexpr double MaxToneDuration = 255;
inline constexpr char ToneTooLong[] = "Sound duration can't be more then 2.55 seconds";
}  // namespace CommandRule
