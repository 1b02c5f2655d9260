#pragma once
// The About box and the farewell picture.
#include <QDialog>
#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Starts a system information program found on the PATH, or says that
    // there is none.
    void StartSysInfo();
    // The programs looked for, in order.
    static QStringList SysInfoPrograms();

    QLabel* lblVersion;
    QLabel* lblTitle;
    QLabel* lblPhantom;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPushButton* cmdSysInfo;
    QPushButton* cmdOk;
};

// A borderless window holding one picture, shown while the program ends.
class frmByBy : public QWidget {
    Q_OBJECT
public:
    explicit frmByBy(QWidget* parent = nullptr);
    QLabel* Picture1;
    QLabel* Label1;
};
