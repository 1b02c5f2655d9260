#pragma once
// A named value offered as a command operand, and the operand source codes.
#include "model/Variant.h"

#include <memory>

namespace OperandSource {
enum : Integer {
    Variable = 0, Timer = 1, Constant = 2, MotorStatus = 3, Random = 4,
    SensorValue = 9, SensorType = 10, SensorMode = 11, SensorRaw = 12, SensorBoolean = 13,
    Clock = 14, Message = 15,
    UserConstant = 100, SystemConstant = 110, UntitledConstant = 120, Display = 130, SensorTypeName = 140,
    SensorModeName = 150, JoystickButton = 160, JoystickAxis = 170, KeyboardKey = 180,
    TimeUnit = 190, Sound = 200, TransmitPower = 210, NamedRange = 220, TypedRange = 230,
};
}

// A command's sound: the brick's system sounds are numbered 0 to 5 (the named
// values of source Sound); a higher number is a tone of that frequency.
constexpr Long SystemSoundCount = 6;
constexpr bool IsTone(Long sound) { return sound >= SystemSoundCount; }

// What a motor item (source MotorStatus) keeps in its Value: the bits of the
// output status byte of its port that it stands for.
namespace MotorItem {
enum : Long { Speed = 7, Direction = 8, State = 192 };
}

class clsObject {
public:
    QString Name;
    Integer Source = 0;
    Long Value = 0;
    Integer Number = 0;
    Integer PollCheck = 0;
    Long AuxValue = 0;
};

using ObjectPtr = std::shared_ptr<clsObject>;
