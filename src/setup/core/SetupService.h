#pragma once
// What the RCX set-up window decides, without a widget: which object sits on
// which port and the named values each makes and removes, the program slot,
// the object polling rows and their texts, and the brick tools (battery,
// power-off time, firmware version and download). The window and its dialogs
// present it; tests drive it against the virtual brick and the recording
// control. Messages go through ShowMessage; brick traffic through PB().
#include "model/Variant.h"

#include <QString>
#include <QVector>

#include <functional>

class Config;
class VbError;

namespace SetupPicture {
// The palette pictures; a sensor picture's index is its sensor type code.
enum : int { Touch = 1, Temperature = 2, Light = 3, Rotation = 4, Motor = 5 };
}

// The words of a failure for the brick tools and the polling panel:
// "No communication with the RCX" for 68, the busy text for a brick busy with
// a transfer, else "Error: ", the number after a blank, a blank and the
// description.
QString SetupFailureText(const VbError& e);

// ------------------------------------------------------------------ ports

// Motor dropped on output port 0..2; any other picture: "Only Motors here!".
// True when the port changed.
bool DropOnOutput(int port, int picture);
// Sensor picture 1..4 dropped on sensor port 0..2; the motor: "Only Sensors here".
bool DropOnSensor(int port, int picture);
void RemoveMotor(int port);
void RemoveSensor(int port);
// A key typed in the program slot box: "1".."5" sets the slot; true when taken.
bool ProgramSlotKey(QChar key);

// ------------------------------------------------------------------ the window's width

// Whether the set-up window shows its advanced width: as the setting "Always
// open in advanced mode" says until the user widens or narrows the window,
// then as the user chose, the window open or closed, while the program runs.
bool AdvancedShown(const Config& config);
void SetAdvancedShown(bool shown);

// ------------------------------------------------------------------ polling

// What the polling panel keeps while the program runs, the window open or
// closed: the interval, the filter boxes (0 "Show selected only", then
// motors, sensors, variables, timers) and the ticks of the four timer rows.
struct PollingState {
    Long PollInterval = 300;  // milliseconds
    Integer PollFilter[5] = {0, 0, 0, 0, 0};
    Integer TimerPollCheck[4] = {0, 0, 0, 0};

    // Another project is opened: every kind of row shows again; "Show
    // selected only" stays as it was.
    void ProjectOpened();
};
// The one polling state; it starts again with the app (ResetApp).
PollingState& PollState();

struct PollRow {
    QString Caption;
    QString Tag;          // kind letter, then the key
    Integer Tick = 0;
    QString Value;
    bool Editable = false;  // a variable's row
};

class PollPanel {
public:
    QVector<PollRow> Rows;

    // The rows by the filters PollState().PollFilter, ticks from the model.
    void Build();
    // A row's check box clicked: an unticked row's value is emptied, every
    // row's tick goes back to the model.
    void SetTick(int row, Integer tick);
    bool AnyTicked() const;
    // "Unselect all objects".
    void UnselectAll();
    // A filter box clicked: stores it and builds the rows again.
    void SetFilter(int index, Integer value);

    bool Polling() const { return mPolling; }
    // "Single Poll": the sensor set-up, then one pass; the rows it read.
    QVector<int> PollOnce();
    // "Start polling" / "Stop polling".
    void TogglePolling();
    // One pass of the timer; a failing read stops polling with one message.
    // Gives the rows whose text the pass set, in order: the ticked rows up to
    // a failing one. Every other row keeps its text. While a transfer holds
    // the brick a pass reads nothing and says nothing.
    QVector<int> PollPass();
    // Enter in a variable's value box.
    void WriteVariable(int row, const QString& text);

    // The texts a pass can write into the row (the longest of each shape),
    // so its box can be made wide enough.
    static QStringList PossibleTexts(const PollRow& row);

    // The poll button's caption for the state.
    QString PollButtonCaption() const;

    // Runs after polling was switched on or off, so the window can run its timer.
    std::function<void()> PollingChanged;

private:
    void AddRow(const QString& caption, const QString& tag, Integer tick, bool editable = false);
    void SensorSetup();
    void StopAfterFailure();
    QString RowText(const PollRow& row, const QString& old);
    bool mPolling = false;
};

// ------------------------------------------------------------------ brick tools

struct BatteryReading {
    bool shown = false;
    double volts = 0;
    double fill = 0;  // 0..1 of the bar
    QString caption;
};

// A firmware file chosen in the file dialog.
struct FirmwareChoice {
    bool canceled = true;
    QString folder;
    QString name;
    bool makeDefault = false;
};
// Shows the file dialog on the folder and name given; the file type is "lgo".
using FirmwareChooser = std::function<FirmwareChoice(const QString& folder, const QString& name)>;

class BrickTools {
public:
    FirmwareChooser Chooser;

    // "..." beside the download button: true when a file was chosen.
    bool ChooseFirmwareFile();
    // "Firmware download".
    void FirmwareDownload();
    // "Battery state ".
    BatteryReading Battery();
    // "RCX auto power off".
    void PowerOff();
    // "Show current firmware version".
    void ShowFirmwareVersion();

    // The caption of a battery reading ("Battery state: 8.7 Volt").
    static QString BatteryCaption(double volts);
};

// ------------------------------------------------------------------ dialogs

// The sensor properties dialog without its widgets.
class SensorProperties {
public:
    explicit SensorProperties(int sensorIndex);

    int SensorIndex;
    bool WasCanceled = false;
    bool Changed = false;
    bool Polling = false;
    QString SensorValue;  // txtSensorValue

    // Texts of the dialog: the type, "Port number: 1", the mode, the purpose.
    QString TypeCaption() const;
    QString PortCaption() const;
    Long Mode() const;
    QString Purpose() const;
    static QStringList ModeNames();

    // The mode or the purpose edited (not while loading): changed, polling stops.
    void Edited(Long mode);
    // "Update": true when the dialog closes.
    bool Update(Long mode, const QString& purpose);
    void Cancel();
    // "Poll sensor value" / "Stop polling"; mode is the one chosen in the list.
    void TogglePoll(Long mode);
    QString PollCaption() const;
    // One reading of the 50 ms timer; none while a transfer holds the brick.
    void PollTick();
    // Closed in any way.
    void Closing(Long mode);
};

// The motor properties dialog without its widgets.
class MotorProperties {
public:
    explicit MotorProperties(int motorIndex);

    int MotorIndex;
    bool Changed = false;
    bool Running = false;

    // The controls' values, loaded from the port.
    Integer Speed = 7;
    Long Direction = 1;
    Long StartState = 1;
    QString Purpose;
    QString FwdMeaning;
    QString RwdMeaning;

    QString Title() const;  // "Motor A"
    QString MotorList() const { return QString::number(MotorIndex); }
    QString DirectionCaption() const;
    QString MeaningCaption() const;
    QString StartCaption() const;
    QString TestCaption() const;

    void setSpeed(Integer value);
    void setDirection(Long value);
    void setStartState(Long value);
    void setPurpose(const QString& text);

    // "Update": true when the dialog closes.
    bool Update();
    // "Start motor" / "Stop motor".
    void TestMotor();
    // Closed in any way: a running motor is switched off.
    void Closing();

private:
    bool mLoading = true;
};
