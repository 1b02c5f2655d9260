#pragma once
// The communication control through which every exchange with the tower and
// the brick passes. It has two sides: the brick the program talks to
// (IBrickDevice, reached by the rest of the system as PB()) and the choice of
// that brick (IPortSelector, reached as Ports()): the port, its tower checks
// and where the events go. Operations are typed as the control takes them:
// Integer (16-bit) unless the control wants a Long (32-bit). A failing call
// throws VbError (68 when the device is not available, 91 when there is no
// control).
#include "model/Variant.h"

#include <QString>
#include <QVector>

// Dispatch numbers of the control's members.
namespace PBDispatch {
enum : int {
    ComPortNo = 1, TowerCheck1 = 4, PBAlive = 9, TowerCheck3 = 10, TowerCheck2 = 11,
    AlterDir = 12, Float = 15, Off = 16, On = 17, SetFwd = 20, SetPower = 21, SetRwd = 22,
    Wait = 23, AbsVar = 24, AndVar = 25, DivVar = 26, MulVar = 27, OrVar = 28, SetVar = 29,
    SgnVar = 30, SubVar = 31, SumVar = 32, DatalogNext = 33, SetDatalog = 34, GetDatalog = 35,
    GetMemMap = 38, PBBattery = 39, Poll = 40, ClearPBMessage = 42, ClearTimer = 43,
    PBPowerDownTime = 44, PBTurnOff = 45, PBTxPower = 46, PlaySystemSound = 47, PlayTone = 48,
    SelectDisplay = 49, SendPBMessage = 50, SetWatch = 51, ClearSensorValue = 52,
    SetSensorMode = 53, SetSensorType = 54, DownloadFirmware = 55, FirmwareVersion = 57,
    SelectPrgm = 62, GoSub = 63, StartTask = 64, StopAllTasks = 65, StopTask = 66,
    BeginOfTask = 67, EndOfTask = 69, BeginOfSub = 70, EndOfSub = 71, Loop = 73, EndLoop = 74,
    While = 75, EndWhile = 76, If = 77, Else = 78, EndIf = 79,
};
}

// The control's four events; the main window handles them.
class IPhantomEvents {
public:
    virtual ~IPhantomEvents() = default;
    virtual void PB_CommError(const QString& message) = 0;
    virtual void PB_DownloadStart(Long timeMs, Long size, Long moduleNumber) = 0;
    virtual void PB_DownloadProgress(Long value) = 0;
    virtual void PB_DownloadDone(Long errorCode, Long moduleNumber) = 0;
};

// One datalog entry as the control hands it over (a column of its 3 x count array).
struct DatalogEntry {
    Integer source = 0;
    Integer number = 0;
    Integer value = 0;
};

// The brick on the selected port: every operation goes to it.
class IBrickDevice {
public:
    virtual ~IBrickDevice() = default;

    // True when the brick answers.
    virtual bool PBAlive() = 0;

    virtual bool On(const QString& motors) = 0;
    virtual bool Off(const QString& motors) = 0;
    virtual bool Float(const QString& motors) = 0;
    virtual bool SetFwd(const QString& motors) = 0;
    virtual bool SetRwd(const QString& motors) = 0;
    virtual bool AlterDir(const QString& motors) = 0;
    virtual bool SetPower(const QString& motors, Long source, Integer value) = 0;
    virtual void Wait(Long source, Integer value) = 0;

    virtual void AbsVar(Integer variable, Long source, Integer value) = 0;
    virtual void AndVar(Integer variable, Long source, Integer value) = 0;
    virtual void DivVar(Integer variable, Long source, Integer value) = 0;
    virtual void MulVar(Integer variable, Long source, Integer value) = 0;
    virtual void OrVar(Integer variable, Long source, Integer value) = 0;
    virtual void SetVar(Integer variable, Long source, Integer value) = 0;
    virtual void SgnVar(Integer variable, Long source, Integer value) = 0;
    virtual void SubVar(Integer variable, Long source, Integer value) = 0;
    virtual void SumVar(Integer variable, Long source, Integer value) = 0;

    virtual void DatalogNext(Long source, Integer value) = 0;
    virtual bool SetDatalog(Integer size) = 0;
    virtual QVector<DatalogEntry> GetDatalog(Integer from, Integer count) = 0;
    // The brick's memory map; addresses reach beyond 32767, so they are Longs.
    // Elements 91 and 92 are the datalog's start and end.
    virtual QVector<Long> GetMemMap() = 0;
    virtual Integer PBBattery() = 0;
    virtual Integer Poll(Long source, Integer& number) = 0;

    virtual void ClearPBMessage() = 0;
    virtual void ClearTimer(Integer timer) = 0;
    virtual void ClearSensorValue(Integer sensor) = 0;
    virtual bool PBPowerDownTime(Integer minutes) = 0;
    virtual bool PBTurnOff() = 0;
    virtual bool PBTxPower(Integer power) = 0;
    virtual bool PlaySystemSound(Integer sound) = 0;
    virtual bool PlayTone(Integer frequency, Integer duration) = 0;
    virtual bool SelectDisplay(Long source, Integer value) = 0;
    virtual void SendPBMessage(Long source, Integer value) = 0;
    virtual void SetWatch(Integer hours, Integer minutes) = 0;
    virtual void SetSensorMode(Integer sensor, Integer mode, Integer slope) = 0;
    virtual void SetSensorType(Integer sensor, Integer type) = 0;
    virtual bool DownloadFirmware(const QString& fullPath) = 0;
    virtual QString FirmwareVersion() = 0;

    virtual void SelectPrgm(Integer& slot) = 0;
    virtual void GoSub(Integer& sub) = 0;
    virtual void StartTask(Integer& task) = 0;
    virtual void StopTask(Integer& task) = 0;
    virtual void StopAllTasks() = 0;
    virtual void BeginOfTask(Integer& task) = 0;
    virtual void EndOfTask() = 0;
    virtual void BeginOfSub(Integer& sub) = 0;
    virtual void EndOfSub() = 0;
    virtual void Loop(Long source, Integer count) = 0;
    virtual void EndLoop() = 0;
    virtual void While(Long source1, Integer value1, Integer op, Long source2, Integer value2) = 0;
    virtual void EndWhile() = 0;
    virtual void If(Long source1, Integer value1, Integer op, Long source2, Integer value2) = 0;
    virtual void Else() = 0;
    virtual void EndIf() = 0;
};

// Which brick PB() gives: the port (ComPortNo), the tower checks on it, and
// where the events of every brick go.
class IPortSelector {
public:
    virtual ~IPortSelector() = default;

    // Where the events go; nullptr drops them.
    virtual void setEventSink(IPhantomEvents* sink) = 0;

    virtual Long ComPortNo() = 0;
    virtual void setComPortNo(Long port) = 0;
    virtual bool TowerCheck1() = 0;
    virtual bool TowerCheck2() = 0;
    virtual bool TowerCheck3() = 0;

    // The brick on the selected port.
    virtual IBrickDevice& device() = 0;
};
