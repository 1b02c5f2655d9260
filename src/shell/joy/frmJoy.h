#pragma once
// The joystick and keyboard viewer: the joystick's axis positions and buttons
// and the code sum of the keys held down, live, as a Joystick & Keyboard
// program compares against them; a key combination can become a named constant.
#include "model/Services.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class mdiMain;

// The text of a key combination: the names of the codes in ascending order
// joined by "+" (32 "Space", 37 "Left", 38 "Up", 39 "Right", 40 "Down", any
// other code its character): "Up+A".
QString KeyCombinationText(const QList<int>& codes);
// An axis position as the viewer shows it: rounded down to its thousand.
QString AxisText(Long position);

class frmJoy : public QWidget {
    Q_OBJECT
public:
    explicit frmJoy(QWidget* parent = nullptr);

    // Controls.
    QTabWidget* SSTab1;
    QLabel* Label1[2];
    QLabel* lblLR;
    QLabel* lblUD;
    QLabel* Label8;  // "Z axle"
    QLabel* lblZ;
    QLabel* Label10;  // "R axle"
    QLabel* lblR;
    QList<QCheckBox*> chkButton;
    QLineEdit* txtKey;
    QLabel* lblValue;
    QPushButton* cmdAddToConst;
    QPushButton* cmdClose;
    QTimer* tmrJoy;

    // Handlers.
    void Form_Load();
    void tmrJoy_Timer();
    void SSTab1_Click(int previousTab);
    void cmdAddToConst_Click();
    void CmdClose_Click();

    bool JoystickLive() const { return mJoystickLive; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateButtonBoxes(int count);

    QWidget* mButtonArea = nullptr;
    JoystickCaps mCaps;
    JoystickState mState;  // as last read
    bool mJoystickLive = true;
    bool mPlaceWhenShown = false;
};

// The main window's joystick key: the viewer is created on first use, placed
// at the bottom right of the main window and shown with the focus. Unloaded
// with the project's windows; the next show makes a new one.
void ShowJoyWindow();
void UnloadJoyWindow();
