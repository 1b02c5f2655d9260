#pragma once
// A communication control for tests, both its sides: the choice of the port
// and the one brick it gives on every port. It writes every call, to either
// side, as one line of text in one log, with its arguments showing their
// widths (CallText: 7 Integer, L2 Long, &3 by reference, "0" text), answers
// from scripted results, fails named operations on request and raises the
// control's four events to its sink.
//
//   RecordingControl pb;
//   App().Ports = &pb;
//   pb.pushResult("TowerCheck1", false);          // next TowerCheck1 gives False
//   pb.failOperation("PBAlive", Err::DeviceUnavailable);
//   ... code under test ...
//   EXPECT_EQ(pb.calls(), (QStringList{"ComPortNo = L0", "TowerCheck1()"}));
//
// A failing call is written to the log first and then throws VbError.
#include "model/Phantom.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

class CallText;

class RecordingControl : public IPortSelector, public IBrickDevice {
public:
    // --- The log ---
    QStringList calls() const { return mCalls; }
    void clearCalls()
    {
        mCalls.clear();
        mOperations.clear();
        mModuleStart = 0;
    }
    // How often the operation was called (by its name, e.g. "Poll").
    int count(const QString& operation) const;

    // --- Scripted results ---
    // Each operation has a queue of results, taken one per call; when it is
    // empty the operation's default answers: Booleans True, numbers 0 (Poll,
    // PBBattery), FirmwareVersion "", GetDatalog and GetMemMap empty, and
    // ComPortNo the last port put into it (0 at first).
    // A result is a bool, a number or a text, as the operation returns it.
    void pushResult(const QString& operation, const QVariant& result);
    void pushResults(const QString& operation, const QVariantList& results);
    // Changes the default answer of an operation (used when its queue is empty).
    void setDefaultResult(const QString& operation, const QVariant& result);
    void pushDatalog(const QVector<DatalogEntry>& reply);
    void pushMemMap(const QVector<Long>& map);
    void setDefaultMemMap(const QVector<Long>& map) { mDefaultMemMap = map; }
    // Poll answers by source and number, used when Poll's queue is empty.
    void setPollValue(Long source, Integer number, Integer value);

    // --- Failures ---
    // The operation fails with the error number (68 or 91 ...) on its next
    // `times` calls, or on every call when times is -1.
    void failOperation(const QString& operation, int errorNumber, int times = -1);
    // Every operation fails with the error number.
    void failEverything(int errorNumber) { mFailAll = errorNumber; }
    void clearFailures();

    // --- Events ---
    IPhantomEvents* eventSink() const { return mSink; }
    void raiseCommError(const QString& message);
    void raiseDownloadStart(Long timeMs, Long size, Long moduleNumber);
    void raiseDownloadProgress(Long value);
    void raiseDownloadDone(Long errorCode, Long moduleNumber);
    // When on, EndOfTask and EndOfSub raise DownloadStart(0, size, module),
    // DownloadProgress(size) and DownloadDone(error, module) as the control
    // does: module is the task's number, or 10 + the sub's number; size is the
    // number of calls since the Begin; error is the next pushed module error,
    // else 0. A successful DownloadFirmware raises the same with module 100.
    void setAutoDownloadEvents(bool on) { mAutoEvents = on; }
    void pushModuleError(Long errorCode) { mModuleErrors.append(errorCode); }

    // --- The control ---
    void setEventSink(IPhantomEvents* sink) override { mSink = sink; }

    Long ComPortNo() override;
    void setComPortNo(Long port) override;
    bool TowerCheck1() override;
    bool TowerCheck2() override;
    bool TowerCheck3() override;
    IBrickDevice& device() override { return *this; }

    bool PBAlive() override;

    bool On(const QString& motors) override;
    bool Off(const QString& motors) override;
    bool Float(const QString& motors) override;
    bool SetFwd(const QString& motors) override;
    bool SetRwd(const QString& motors) override;
    bool AlterDir(const QString& motors) override;
    bool SetPower(const QString& motors, Long source, Integer value) override;
    void Wait(Long source, Integer value) override;

    void AbsVar(Integer variable, Long source, Integer value) override;
    void AndVar(Integer variable, Long source, Integer value) override;
    void DivVar(Integer variable, Long source, Integer value) override;
    void MulVar(Integer variable, Long source, Integer value) override;
    void OrVar(Integer variable, Long source, Integer value) override;
    void SetVar(Integer variable, Long source, Integer value) override;
    void SgnVar(Integer variable, Long source, Integer value) override;
    void SubVar(Integer variable, Long source, Integer value) override;
    void SumVar(Integer variable, Long source, Integer value) override;

    void DatalogNext(Long source, Integer value) override;
    bool SetDatalog(Integer size) override;
    QVector<DatalogEntry> GetDatalog(Integer from, Integer count) override;
    QVector<Long> GetMemMap() override;
    Integer PBBattery() override;
    Integer Poll(Long source, Integer& number) override;

    void ClearPBMessage() override;
    void ClearTimer(Integer timer) override;
    void ClearSensorValue(Integer sensor) override;
    bool PBPowerDownTime(Integer minutes) override;
    bool PBTurnOff() override;
    bool PBTxPower(Integer power) override;
    bool PlaySystemSound(Integer sound) override;
    bool PlayTone(Integer frequency, Integer duration) override;
    bool SelectDisplay(Long source, Integer value) override;
    void SendPBMessage(Long source, Integer value) override;
    void SetWatch(Integer hours, Integer minutes) override;
    void SetSensorMode(Integer sensor, Integer mode, Integer slope) override;
    void SetSensorType(Integer sensor, Integer type) override;
    bool DownloadFirmware(const QString& fullPath) override;
    QString FirmwareVersion() override;

    void SelectPrgm(Integer& slot) override;
    void GoSub(Integer& sub) override;
    void StartTask(Integer& task) override;
    void StopTask(Integer& task) override;
    void StopAllTasks() override;
    void BeginOfTask(Integer& task) override;
    void EndOfTask() override;
    void BeginOfSub(Integer& sub) override;
    void EndOfSub() override;
    void Loop(Long source, Integer count) override;
    void EndLoop() override;
    void While(Long source1, Integer value1, Integer op, Long source2, Integer value2) override;
    void EndWhile() override;
    void If(Long source1, Integer value1, Integer op, Long source2, Integer value2) override;
    void Else() override;
    void EndIf() override;

private:
    struct Failure {
        int number = 0;
        int times = -1;
    };
    // Writes the line and throws when the operation is told to fail.
    void record(const QString& operation, QString line);
    void record(const CallText& call);
    // Whether any result or default has been given (else every answer is the default one).
    bool scripted() const;
    QVariant nextResult(const QString& operation, const QVariant& fallback);
    bool boolResult(const QString& operation);
    void endModule();

    QStringList mCalls;
    QStringList mOperations;  // the operation of each line of mCalls
    QHash<QString, QList<QVariant>> mResults;
    QHash<QString, QVariant> mDefaults;
    QList<QVector<DatalogEntry>> mDatalogReplies;
    QList<QVector<Long>> mMemMaps;
    QVector<Long> mDefaultMemMap;
    QHash<QPair<Long, Integer>, Integer> mPollValues;
    QHash<QString, Failure> mFailures;
    int mFailAll = 0;
    IPhantomEvents* mSink = nullptr;
    bool mAutoEvents = false;
    QList<Long> mModuleErrors;
    Long mPort = 0;
    Long mOpenModule = -1;  // module number between a Begin and its End
    int mModuleStart = 0;   // index in mCalls of the Begin
};
