#pragma once
// The RCX set-up window frmMain ("VER Ize"): the brick of the open project
// with its ports and the palette of motors and sensors to drag onto them, the
// program slot, and in the advanced width the object polling panel and the
// brick tools. What the window decides lives in SetupService.h; the handlers
// here route the widgets' events to it and show the result. Every handler is
// callable from tests, and so are the controls.
//
// One file per family: frmMain.cpp (the frame, menus, loading, the event
// routing), frmMainPorts.cpp (palette and ports), frmMainBrickKeys.cpp (slot
// box, Run and Stop), frmMainPolling.cpp, frmMainTools.cpp.
#include "model/SettingsKeys.h"
#include "setup/core/SetupService.h"

#include <QDialog>
#include <QPixmap>
#include <QVector>

#include <functional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;
class QSlider;
class QTimer;
class mdiMain;

// The mime type of a palette picture being dragged; the data is its index.
extern const char* const kPictureMime;

class frmMain : public QDialog {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The window while it is loaded, else nullptr.
    static frmMain* Current();

    // --- The window ---
    bool FormLoading = false;
    int FullWidth = 0;  // pixels: the advanced width
    int NarrowWidth() const;
    void Form_Load();
    void Form_QueryUnload();
    void CmdClose_Click();
    void mnuPref_Click();
    void mnuAdvanced_Click();
    void mnuAdvAllwaise_Click();

    QMenuBar* menuBar;
    QAction* mnuPref;
    QAction* mnuClose;
    QAction* mnuAdvanced;
    QAction* mnuAdvAllwaise;
    QAction* mnuShowFirmVer;
    QPushButton* CmdClose;

    // --- Palette and ports (drag and drop, pop-up menu, dialogs) ---
    void picBrick_StartDrag(int index);
    void imgOutput_DragOver(int index, int picture);
    void imgSensor_DragOver(int index, int picture);
    void picRcx_DragOver();
    void imgOutput_DragDrop(int index, int picture);
    void imgSensor_DragDrop(int index, int picture);
    void imgOutput_MouseDown(int index, int button);
    void imgSensor_MouseDown(int index, int button);
    void imgOutput_MouseUp(int index, int button, int x, int y);
    void imgSensor_MouseUp(int index, int button, int x, int y);
    void mnuOpenProp_Click();
    void mnuDel_Click();
    // Pops up the ports' menu; exec() at the pointer unless replaced (tests record).
    std::function<void(QMenu*)> PopupMenu;
    // The port images' border highlight.
    bool OutputHighlighted(int index) const;
    bool SensorHighlighted(int index) const;

    QGroupBox* Frame2;
    QWidget* pictools;
    QLabel* picBrick[6] = {};  // 1..5
    QLabel* Label2;
    QLabel* picRcx;
    QLabel* imgOutput[3];
    QLabel* imgSensor[3];
    QMenu* mnuEdit;
    QAction* mnuDel;
    QAction* mnuOpenProp;

    // --- The program slot and the virtual brick's keys ---
    // A key typed in the slot box; true when it was taken.
    bool txtProgNumber_KeyPress(QChar key);
    // While the control's brick is the virtual one, the brick's picture has
    // Run and Stop, as a real brick has its keys: Run starts the program in
    // the selected slot, Stop stops all its tasks. A tower's brick has its own.
    void cmdRun_Click();
    void cmdStop_Click();

    QLineEdit* txtProgNumber;
    QPushButton* cmdRun;
    QPushButton* cmdStop;

    // --- Polling panel ---
    PollPanel Panel;
    void BuildPollPanel();
    void chkOrder_Click(int index);
    void chkPollSensor_Click(int index);
    void cmdClean_Click();
    void cmdPollOnce_Click();
    void cmdStopPollSensor_Click();
    void tmrPoll_Timer();
    void sldInterval_Change(int value);
    void txtPollValue_KeyPress(int index);  // Enter
    void VScroll1_Change(int value);

    QGroupBox* Frame1;
    QCheckBox* chkOrder[5];
    QWidget* picMainPanel;
    QWidget* picPanel;
    QScrollBar* VScroll1;
    QVector<QCheckBox*> chkPollSensor;
    QVector<QLineEdit*> txtPollValue;
    QPushButton* cmdClean;
    QPushButton* cmdPollOnce;
    QPushButton* cmdStopPollSensor;
    QSlider* sldInterval;
    QLabel* lblTime;
    QLabel* Label1;
    QTimer* tmrPoll;

    // --- Brick tools ---
    BrickTools Tools;
    void cmdDataLog_Click(int index);
    void cmdFirmDialog_Click();
    void mnuShowFirmVer_Click();

    QPushButton* cmdDataLog[5] = {};  // 0, 1, 3, 4
    QLabel* picBatPower;
    QPushButton* cmdFirmDialog;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;

private:
    // The window.
    void BuildMenus();
    void SettingChanged(SettingId which);
    // "Always open in advanced mode" follows its setting; turned on, it widens the window.
    void ShowAdvancedMode();
    bool mAdvancedOn = false;
    bool mAlwaysOn = false;

    // Palette and ports.
    void BuildBrickColumn();
    void ShowPorts();
    void setHighlight(QLabel* port, bool on);
    void PortMouseDown(QLabel* port, int index, int button, const QString& removeCaption, const QString& tag);
    bool PortMouseUp(QLabel* port, int button, int x, int y);
    bool PaletteEvent(QObject* watched, QEvent* event);
    bool PortEvent(QObject* watched, QEvent* event);
    bool BrickEvent(QObject* watched, QEvent* event);
    int mRememberedPort = 0;
    QString mDelTag;

    // The program slot and the virtual brick's keys. Run and Stop show when
    // the virtual brick is in use; the port can change with any exchange that
    // checks the tower, and with the settings of the brick chosen.
    void ShowBrickKeys();
    bool SlotBoxEvent(QObject* watched, QEvent* event);

    // Polling panel.
    void BuildPollColumn();
    void ShowPollRows();
    void ShowPollValue(int row);
    int PollValueWidth() const;
    void UpdatePollButtons();
    void ShowPollingState();
    bool PollRowEvent(QObject* watched, QEvent* event);
    bool PollValueEvent(QLineEdit* box, QEvent* event);
    bool mPanelBuilding = false;
    int mRowHeight = 18;

    // Brick tools.
    void BuildToolColumn();
    void ShowBattery(const BatteryReading& reading);
    FirmwareChoice ChooseFirmware(const QString& folder, const QString& name);
    bool BatteryEvent(QObject* watched, QEvent* event);
};

// The set-up window shows modally and unloads as App().Notifier tells, for as
// long as the main window lives.
void ConnectSetupWindows(mdiMain& main);
// Unloads the set-up window while it is loaded.
void UnloadSetupWindow();
// Loads the set-up window, shows it modally and releases it.
void ShowSetupWindowModal();
