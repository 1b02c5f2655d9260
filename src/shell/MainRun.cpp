// The PC-side run of a Joystick & Keyboard project: the key that starts and
// stops it, the 20 ms pass of task 1, the run button's blinking, and the wait for
// the end of a cycle before the set-up window shows.
#include "shell/MainWindow.h"

#include "compiler/Immediate.h"
#include "compiler/ProjectCompile.h"
#include "model/AppState.h"
#include "model/Messages.h"
#include "model/Notifier.h"
#include "shell/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

// While a run is on, the keys drive the run and nothing else: no text box,
// grid or shortcut of any window gets them, so nothing the user typed before
// changes. Every key still passes the application's other filters (the key
// tracker the run reads among them): the filter takes a key from the control
// it was meant for and hands it to itself instead. A modal box or a pop-up
// menu shown during the run keeps its keys.
class RunKeys : public QObject {
public:
    using QObject::QObject;

    void Install()
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->installEventFilter(this);
    }
    void Remove()
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type t = event->type();
        const bool key = t == QEvent::KeyPress || t == QEvent::KeyRelease;
        if (watched == this || !(key || t == QEvent::ShortcutOverride || t == QEvent::InputMethod))
            return false;
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
            return false;
        if (key)
            QCoreApplication::sendEvent(this, event);
        // A taken shortcut override keeps the key from firing a shortcut.
        event->accept();
        return true;
    }
};

void mdiMain::BuildRunTimers()
{
    mTmrJoy = new QTimer(this);
    mTmrJoy->setInterval(20);
    connect(mTmrJoy, &QTimer::timeout, this, [this] { if (Ops.tmrJoy_Timer) Ops.tmrJoy_Timer(); });
    mTmrAni = new QTimer(this);
    mTmrAni->setInterval(250);
    connect(mTmrAni, &QTimer::timeout, this, [this] { if (Ops.tmrAni_Timer) Ops.tmrAni_Timer(); });
    mRun = std::make_unique<PcRun>(App());
    mRunKeys = new RunKeys(this);
    mTmrShowLab = new QTimer(this);
    mTmrShowLab->setInterval(15);
    connect(mTmrShowLab, &QTimer::timeout, this, &mdiMain::tmrShowLab_Timer);
}

void mdiMain::KeyJoyPlay()
{
    AppState& a = App();
    QAction* play = TB1Button(QStringLiteral("JOY_PLAY"));
    if (a.StopRun == False) {
        a.StopRun = True;
        EnableProjectCommands(true);
        play->setToolTip(QStringLiteral("Run program"));
        return;
    }
    const CompileResult compiled = Ops.CompileProject ? Ops.CompileProject() : CompileResult();
    KeepListing(a, compiled, CompileFor::Run);
    if (!compiled) {
        CompileErrorReport(compiled);
        return;
    }
    for (int k = 32; k <= 250; ++k)
        a.Joystick->KeyDown(k);
    if (Ops.InitRCX && !Ops.InitRCX())
        return;
    if (!PB().PBAlive()) {
        ShowMessage(QStringLiteral("No communication with the RCX"), MsgStyle::Exclamation);
        return;
    }
    if (Ops.ResetMotorObjects)
        Ops.ResetMotorObjects();
    a.StopRun = False;
    EnableProjectCommands(false);
    play->setToolTip(QStringLiteral("Stop running"));
    mRunKeys->Install();
    mTmrJoy->start();
    mTmrAni->start();
}

void mdiMain::tmrJoy_Timer()
{
    if (mRun->tmrJoy_Timer() != PcRun::Tick::Ended)
        return;
    // A run puts up no hourglass of its own (the tower exchanges of its passes
    // hold theirs in scoped busy pointers); its end takes down one that other
    // work left on past its own scope, as a download does until the brick
    // reports its last module. So the pointer is put back by hand, not by a scope.
    App().Notifier->SetPointer(PointerShape::Default);
    mTmrJoy->stop();
    mTmrAni->stop();
    mRunKeys->Remove();
    App().StopRun = True;
    EnableProjectCommands(true);
    // The button shows again what it does when idle: start a run.
    QAction* play = TB1Button(QStringLiteral("JOY_PLAY"));
    play->setIcon(CommandIcon(QStringLiteral("JOY_PLAY")));
    play->setToolTip(QStringLiteral("Run program"));
    mRunImageKey.clear();
}

void mdiMain::tmrAni_Timer()
{
    mRunImageKey = mRunImageKey.compare(QLatin1String("JOY_STOP"), Qt::CaseInsensitive) == 0
                       ? QStringLiteral("JOY_PLAY")
                       : QStringLiteral("JOY_STOP");
    TB1Button(QStringLiteral("JOY_PLAY"))->setIcon(CommandIcon(mRunImageKey));
}

void mdiMain::tmrShowLab_Timer()
{
    if (App().RunCycleEnded == False)
        return;
    mTmrShowLab->stop();
    Q_EMIT App().Notifier->SetupRequested();
}
