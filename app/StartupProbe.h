#pragma once
// How long the program takes to show its first window. With the environment
// variable QUILLOMAT_STARTUP_PROBE set, the first top-level window to be
// painted ends the program (exit code 0) once that paint is done, after one
// line on standard output:
//
//   startup: "Quillo Mat: Open" painted 10.52 ms after the first static initializer (steady clock), 24 ms after process start (/proc/self/stat, 10 ms clock ticks)
//
// The steady-clock figure starts when the program's own static initializers
// run, after the dynamic loader has mapped and relocated the libraries; the
// process-start figure includes that, but the kernel counts the start in whole
// clock ticks, so it may come out up to one tick too long. The start-up
// benchmark times the process from outside, to the microsecond.
// The start-up benchmark's floor program uses the same probe.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace startup_probe {

// Taken while the executable's static objects are made: as early as the program's own code runs.
inline const std::chrono::steady_clock::time_point kFirstStamp = std::chrono::steady_clock::now();

// Milliseconds since the kernel started the process, in clock ticks; negative when unknown.
inline double msSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name is in parentheses and may hold spaces: the fields after the last ')' have none.
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    // Fields 3 to 21 come first; field 22 is the start time.
    std::istringstream fields(text.substr(close + 1));
    std::string skipped;
    for (int field = 3; field < 22; ++field)
        fields >> skipped;
    double startTicks = 0;
    if (!(fields >> startTicks))
        return -1;
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double nowMs = double(boot.tv_sec) * 1e3 + double(boot.tv_nsec) * 1e-6;
    return nowMs - startTicks * 1e3 / double(sysconf(_SC_CLK_TCK));
}

class Probe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!mSeen && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow()) {
                mSeen = true;
                // A window paints its children in the same pass: report after it.
                QMetaObject::invokeMethod(
                    this, [title = widget->windowTitle()] { report(title); }, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    static void report(const QString& title)
    {
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kFirstStamp).count();
        std::printf("startup: \"%s\" painted %.2f ms after the first static initializer (steady clock), "
                    "%.0f ms after process start (/proc/self/stat, %.0f ms clock ticks)\n",
                    qPrintable(title), ms, msSinceProcessStart(), 1e3 / double(sysconf(_SC_CLK_TCK)));
        std::fflush(stdout);
        std::_Exit(0);
    }

    bool mSeen = false;
};

// Watches the application's events when the environment asks for the probe.
inline void InstallIfAsked(QCoreApplication& app)
{
    if (qEnvironmentVariableIsSet("QUILLOMAT_STARTUP_PROBE"))
        app.installEventFilter(new Probe(&app));
}

}  // namespace startup_probe
