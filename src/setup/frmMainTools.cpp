// The brick tools column of the set-up window: auto power off, the battery
// and its bar, the datalog, and the firmware download with its file dialog.
#include "setup/frmMain.h"

#include "model/Twips.h"
#include "setup/PropertyDialogs.h"
#include "setup/SetupLayout.h"
#include "setup/SetupPictures.h"
#include "shell/FileDialog.h"
#include "shell/MainWindow.h"
#include "shell/ModalRunner.h"

#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

// ------------------------------------------------------------------ building

void frmMain::BuildToolColumn()
{
    QWidget* body = CmdClose->parentWidget();
    const struct {
        int index;
        const char* caption;
        double top;
    } tools[] = {{4, "RCX auto power off", 1552}, {3, "Battery state ", 2759}, {0, "RCX Datalog...", 3966},
                 {1, "Firmware download", 5175}};
    for (const auto& t : tools) {
        auto* b = place(new QPushButton(QLatin1String(t.caption), body), 8340, t.top, 2400, 1020);
        const int index = t.index;
        b->setIcon(QIcon(ToolPicture(index, QSize(28, 28))));
        b->setIconSize(QSize(28, 28));
        connect(b, &QPushButton::clicked, this, [this, index] { cmdDataLog_Click(index); });
        cmdDataLog[t.index] = b;
    }
    picBatPower = place(new QLabel(body), 8445, 3390, 2175, 120);
    picBatPower->setVisible(false);
    picBatPower->installEventFilter(this);
    picBatPower->raise();
    cmdFirmDialog = place(new QPushButton(QStringLiteral("..."), body), 10245, 5265, 375, 300);
    cmdFirmDialog->setToolTip(QStringLiteral("Search Firmware File"));
    cmdFirmDialog->raise();
    connect(cmdFirmDialog, &QPushButton::clicked, this, &frmMain::cmdFirmDialog_Click);
}

// ------------------------------------------------------------------ brick tools

void frmMain::cmdDataLog_Click(int index)
{
    switch (index) {
    case 0:
        if (mdiMain* main = mdiMain::Instance())
            Q_EMIT main->DatalogShowRequested();
        break;
    case 1:
        Tools.FirmwareDownload();
        break;
    case 3:
        ShowBattery(Tools.Battery());
        break;
    case 4:
        Tools.PowerOff();
        break;
    default:
        break;
    }
    ShowBrickKeys();
}

void frmMain::ShowBattery(const BatteryReading& reading)
{
    if (!reading.shown)
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap bar(picBatPower->size() * ratio);
    bar.setDevicePixelRatio(ratio);
    bar.fill(Qt::white);
    QPainter p(&bar);
    p.fillRect(QRectF(0, 0, picBatPower->width() * reading.fill, picBatPower->height()), QColor(0, 255, 0));
    p.setPen(QColor(90, 90, 90));
    p.drawRect(QRectF(0, 0, picBatPower->width() - 1, picBatPower->height() - 1));
    p.end();
    picBatPower->setPixmap(bar);
    picBatPower->setVisible(true);
    // The bar shows the charge now; the caption needs the room of the picture.
    cmdDataLog[3]->setIcon(QIcon());
    cmdDataLog[3]->setText(reading.caption);
}

void frmMain::cmdFirmDialog_Click()
{
    Tools.ChooseFirmwareFile();
}

void frmMain::mnuShowFirmVer_Click()
{
    Tools.ShowFirmwareVersion();
    ShowBrickKeys();
}

FirmwareChoice frmMain::ChooseFirmware(const QString& folder, const QString& name)
{
    frmFirmware dialog(this);
    dialog.setFileType(QStringLiteral("lgo"));
    // A folder that is not on this computer (the first default) opens the home folder.
    dialog.setFullPath(QDir(folder).exists() ? folder : QDir::homePath());
    dialog.setFirmFileName(name);
    RunModal(dialog);
    FirmwareChoice choice;
    choice.canceled = dialog.WasCanceled != 0;
    choice.folder = dialog.FullPath();
    choice.name = dialog.FirmFileName();
    choice.makeDefault = dialog.DefaultFirm != 0;
    return choice;
}

// A click on the battery bar reads the battery again.
bool frmMain::BatteryEvent(QObject* watched, QEvent* event)
{
    if (watched != picBatPower || event->type() != QEvent::MouseButtonRelease)
        return false;
    cmdDataLog_Click(3);
    return true;
}
