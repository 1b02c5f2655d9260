#pragma once
// The test programs' application. A test may route every event delivery
// through a wrapper of its own (the program's event guard, say) while it runs.
#include <QApplication>

#include <functional>

using DeliveryWrapper = std::function<bool(const std::function<bool()>& deliver)>;

class TestApplication : public QApplication {
public:
    TestApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (Wrapper)
            return Wrapper([&] { return QApplication::notify(receiver, event); });
        return QApplication::notify(receiver, event);
    }
    static inline DeliveryWrapper Wrapper;
};
