#pragma once
// What the tower driver, the byte protocol and the virtual brick agree on about
// the brick: its opcodes, its sources, its limits and the answers of its
// download operations. One place, so the three cannot drift apart.
#include <cstdint>

namespace rcx {

// Request opcodes. The reply's opcode is the complement; every opcode has a
// twin differing in bit 08 (sent when the same opcode goes out twice in a row).
namespace Op {
enum : std::uint8_t {
    Alive = 0x10, Poll = 0x12, SetPower = 0x13, SetVar = 0x14, Versions = 0x15, CallSub = 0x17,
    MemMap = 0x20, OutputMode = 0x21, SetWatch = 0x22, PlayTone = 0x23, AddVar = 0x24,
    BeginTask = 0x25, JumpNear = 0x27,
    Battery = 0x30, TxRange = 0x31, SensorType = 0x32, SetDisplay = 0x33, SubVar = 0x34,
    BeginSub = 0x35, DecLoopNear = 0x37,
    DeleteAllTasks = 0x40, SensorMode = 0x42, Wait = 0x43, DivVar = 0x44, Transfer = 0x45,
    StopAll = 0x50, PlaySound = 0x51, SetDatalog = 0x52, MulVar = 0x54,
    DeleteTask = 0x61, DatalogNext = 0x62, SgnVar = 0x64, DeleteFirmware = 0x65,
    DeleteAllSubs = 0x70, StartTask = 0x71, JumpFar = 0x72, AbsVar = 0x74, BeginFirmware = 0x75,
    StopTask = 0x81, SetLoop = 0x82, AndVar = 0x84, TestNear = 0x85,
    ClearMessage = 0x90, SelectProgram = 0x91, DecLoopFar = 0x92, OrVar = 0x94, TestFar = 0x95,
    ClearTimer = 0xA1, Upload = 0xA4, Unlock = 0xA5,
    PowerDown = 0xB1, SendMessage = 0xB2,
    DeleteSub = 0xC1,
    ClearSensor = 0xD1,
    OutputDir = 0xE1,
    Return = 0xF6, SetMessage = 0xF7,
    PowerOff = 0x60,
};
}

// Operand sources.
namespace Src {
enum : std::uint8_t {
    Variable = 0, Timer = 1, Constant = 2, OutputStatus = 3, Random = 4, Program = 8,
    SensorValue = 9, SensorType = 10, SensorMode = 11, SensorRaw = 12, SensorBoolean = 13,
    Watch = 14, Message = 15,
};
}

// Relations of the test-and-branch instructions; the branch is taken when it holds.
namespace Rel {
enum : std::uint8_t { LessOrEqual = 0, GreaterOrEqual = 1, NotEqual = 2, Equal = 3 };
}

// True when a relation holds between a and b.
constexpr bool holds(int relation, int a, int b)
{
    switch (relation) {
    case Rel::LessOrEqual: return a <= b;
    case Rel::GreaterOrEqual: return a >= b;
    case Rel::NotEqual: return a != b;
    default: return a == b;
    }
}

// Output mode and direction flags beside the motor mask.
namespace OutFlag {
enum : std::uint8_t { On = 0x80, Off = 0x40, Forward = 0x80, Flip = 0x40 };
}

// Answers of begin download (25, 35, 75) and transfer data (45).
namespace Dl {
enum : std::uint8_t {
    Ok = 0, NoMemory = 1, BadIndex = 2, BlockChecksum = 3, FirmwareChecksum = 4, NotBegun = 6,
};
}

// Datalog entry types.
namespace LogType {
enum : std::uint8_t { FirstVariable = 0x00, FirstTimer = 0x20, FirstSensor = 0x40, Watch = 0x80, Size = 0xFF };
}

constexpr int VariableCount = 32;
constexpr int TimerCount = 4;
constexpr int SensorCount = 3;
constexpr int OutputCount = 3;
constexpr int TaskCount = 10;
constexpr int SubCount = 8;
constexpr int SlotCount = 5;
constexpr int LoopDepth = 4;
constexpr int MemMapWords = 94;
// Program memory: tasks, subs and the datalog share it.
constexpr int ProgramMemoryBytes = 6 * 1024;
constexpr int DatalogEntryBytes = 3;
// The firmware image's place and the unlock key.
constexpr std::uint16_t FirmwareEntry = 0x8000;
constexpr int FirmwareImageBytes = 0x4000;
constexpr int FirmwareChecksumBytes = 0x4C00;
constexpr std::uint8_t VersionKey[5] = {1, 3, 5, 7, 11};
constexpr std::uint8_t UnlockKey[5] = {0x4C, 0x45, 0x47, 0x4F, 0xAE};
// Bytes of data in one transfer block.
constexpr int ProgramBlockBytes = 20;
constexpr int FirmwareBlockBytes = 200;
// Datalog entries asked for in one upload request (the reply stays under 256 bytes).
constexpr int UploadEntriesPerRequest = 78;

}  // namespace rcx
