#include "shell/About.h"

#include "model/AppState.h"
#include "shell/MessagePresenter.h"
#include "shell/Pictures.h"
#include "shell/ScreenPlacement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {
constexpr int kMajor = 0;
constexpr int kMinor = 1;
constexpr int kRevision = 0;
}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + AppTitle());

    auto* top = new QHBoxLayout;
    auto* logo = new QLabel(this);
    logo->setPixmap(CommandPicture(QStringLiteral("LOGO")));
    logo->setAlignment(Qt::AlignTop);
    top->addWidget(logo);
    auto* texts = new QVBoxLayout;
    lblTitle = new QLabel(AppTitle() + QStringLiteral(" - ") + QStringLiteral("RCX Programming Environment"), this);
    QFont f = lblTitle->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    lblTitle->setFont(f);
    lblVersion = new QLabel(QStringLiteral("Version %1.%2.%3").arg(kMajor).arg(kMinor).arg(kRevision) +
                                QStringLiteral("  With USB IR Tower support."),
                            this);
    lblPhantom = new QLabel(QStringLiteral("Brick communication: the Quillomat brick link, for the serial and the "
                                           "USB IR tower, with a built-in virtual brick."),
                            this);
    lblPhantom->setWordWrap(true);
    lblDescription = new QLabel(
        QStringLiteral("Quillomat lets you program the RCX brick with pictures: tasks and subs are built from "
                       "commands placed on a grid, checked, compiled into a listing and downloaded into one of "
                       "the brick's five program slots. Joystick & Keyboard projects run on the PC and drive the "
                       "brick directly.\n\nWritten by the Quillomat developers."),
        this);
    lblDescription->setWordWrap(true);
    lblDisclaimer = new QLabel(QStringLiteral("This software is provided as is, without warranty of any kind. "
                                              "Use it at your own risk."),
                               this);
    lblDisclaimer->setWordWrap(true);
    for (QLabel* l : {lblTitle, lblVersion, lblPhantom, lblDescription})
        texts->addWidget(l);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblDisclaimer, 1);
    auto* col = new QVBoxLayout;
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    col->addWidget(cmdOk);
    col->addWidget(cmdSysInfo);
    buttons->addLayout(col);
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addSpacing(8);
    v->addLayout(buttons);
    setFixedWidth(520);
    adjustSize();
    CentreOnScreen(this, screen());
    FitWhenShown(this);
}

QStringList frmAbout::SysInfoPrograms()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("gnome-system-monitor"), QStringLiteral("ksysguard"),
            QStringLiteral("xfce4-taskmanager")};
}

void frmAbout::StartSysInfo()
{
    for (const QString& name : SysInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (path.isEmpty())
            continue;
        if (QProcess::startDetached(path, {}))
            return;
        break;
    }
    App().Presenter->MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), MsgStyle::OkOnly);
}

frmByBy::frmByBy(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmByBy"));
    QPixmap pm(121, 30);
    pm.fill(QColor(0xFF, 0xD7, 0x00));
    {
        QPainter p(&pm);
        p.setPen(QColor(0x80, 0x60, 0x00));
        p.drawRect(0, 0, 120, 29);
    }
    Picture1 = new QLabel(this);
    Picture1->setPixmap(pm);
    Picture1->move(0, 0);
    Picture1->resize(pm.size());
    Label1 = new QLabel(QStringLiteral("LOVE YOU BYE BYE"), Picture1);
    QFont f(QStringLiteral("Times New Roman"));
    f.setStyleHint(QFont::Serif);
    f.setBold(true);
    // The words fit the picture whatever serif font stands in for Times New Roman.
    for (int size = 13; size > 6; --size) {
        f.setPixelSize(size);
        if (QFontMetrics(f).horizontalAdvance(Label1->text()) <= pm.width() - 6)
            break;
    }
    Label1->setFont(f);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(0, 0, 121, 30);
    setFixedSize(pm.size());
    CentreOnScreen(this, screen());
    FitWhenShown(this);
}
