#include "shell/EventGuard.h"

#include "model/Messages.h"
#include "model/Services.h"
#include "model/VbError.h"

#include <exception>
#include <new>

QString GuardMessage(int number, const QString& description)
{
    return QStringLiteral("Error %1: %2").arg(number).arg(description);
}

namespace {

// A failure shown while another is being shown is not shown again: the
// message box runs events of its own.
bool gShowing = false;

void show(int number, const QString& description)
{
    if (gShowing)
        return;
    gShowing = true;
    try {
        ShowMessage(GuardMessage(number, description), MsgStyle::Critical);
    } catch (...) {
    }
    gShowing = false;
}

}  // namespace

void ShowCaughtFailure()
{
    try {
        throw;
    } catch (const VbError& e) {
        show(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        show(Err::OutOfMemory, errorDescription(Err::OutOfMemory));
    } catch (const std::exception& e) {
        show(Err::InternalError, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        show(Err::InternalError, errorDescription(Err::InternalError));
    }
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    return DeliverGuarded([&] { return QApplication::notify(receiver, event); });
}
