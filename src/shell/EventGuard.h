#pragma once
// The one guard around every event handler of the program: buttons, menus,
// keys, timers, the control's events and dialogs are all reached through the
// application's event delivery, so a failure that no handler took is caught
// there, shown with its number and description (style 16), and the program
// goes on.
#include <QApplication>

// Shows the failure being handled; call it only inside a catch block.
void ShowCaughtFailure();

// Runs one delivery; a failure that escapes it is shown and false returned.
// A template, so that the delivery of every event is not wrapped in a
// std::function (which would allocate for each one).
template <class Deliver>
bool DeliverGuarded(Deliver&& deliver)
{
    try {
        return deliver();
    } catch (...) {
        ShowCaughtFailure();
    }
    return false;
}

// The failure's text as the guard shows it: "Error 457: This key is already ...".
QString GuardMessage(int number, const QString& description);

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};
