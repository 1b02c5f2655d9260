// The guard around every event handler: a failure escaping a button, a menu,
// a key, a timer, a control event or a dialog is shown once with its number
// and description, and the program goes on handling events.
#include "shell/EventGuard.h"
#include "shell/ShellFixture.h"
#include "support/TestApplication.h"

#include "model/VbError.h"

#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace {

// A widget whose key handler fails.
class FailingKeys : public QWidget {
public:
    std::function<void()> onKey;

protected:
    void keyPressEvent(QKeyEvent*) override { onKey(); }
};

[[noreturn]] void clash()
{
    raiseError(Err::DuplicateKey);
}

}  // namespace

class EventGuardTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        TestApplication::Wrapper = [](const std::function<bool()>& deliver) { return DeliverGuarded(deliver); };
    }
    void TearDown() override
    {
        TestApplication::Wrapper = nullptr;
        ShellFixture::TearDown();
    }
    // The guard showed the duplicate key once, as a critical message.
    void expectShownOnce()
    {
        ASSERT_EQ(presenter.shown.size(), 1);
        EXPECT_EQ(presenter.shown[0].text,
                  QStringLiteral("Error 457: This key is already associated with an element of this collection"));
        EXPECT_EQ(presenter.shown[0].style, 16);
        presenter.shown.clear();
    }
};

TEST_F(EventGuardTest, AFailureInAnyKindOfHandlerIsShownAndTheProgramGoesOn)
{
    int handledAfter = 0;

    // A button.
    QPushButton button(QStringLiteral("Fail"));
    QObject::connect(&button, &QPushButton::clicked, [] { clash(); });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    expectShownOnce();

    // A key.
    FailingKeys keys;
    keys.onKey = [] { clash(); };
    keys.show();
    QTest::keyClick(&keys, Qt::Key_A);
    expectShownOnce();

    // A menu item chosen from its menu.
    QMenu menu;
    QAction* item = menu.addAction(QStringLiteral("Fail"));
    QObject::connect(item, &QAction::triggered, [] { clash(); });
    menu.popup(QPoint(10, 10));
    menu.setActiveAction(item);
    QTest::keyClick(&menu, Qt::Key_Return);
    expectShownOnce();

    // A timer.
    QTimer::singleShot(0, [] { clash(); });
    QCoreApplication::processEvents();
    expectShownOnce();

    // An event of the control, which arrives from the event loop.
    QObject control;
    QMetaObject::invokeMethod(&control, [] { clash(); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    expectShownOnce();

    // A dialog's button.
    QDialog dialog;
    auto* ok = new QPushButton(QStringLiteral("Ok"), &dialog);
    (new QVBoxLayout(&dialog))->addWidget(ok);
    QObject::connect(ok, &QPushButton::clicked, [] { clash(); });
    dialog.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    expectShownOnce();
    EXPECT_TRUE(dialog.isVisible());

    // Events go on being handled.
    QTimer::singleShot(0, [&] { ++handledAfter; });
    QCoreApplication::processEvents();
    EXPECT_EQ(handledAfter, 1);
}

TEST_F(EventGuardTest, OtherFailuresAreShownWithTheirOwnDescription)
{
    QTimer::singleShot(0, [] { throw std::runtime_error("vector too long"); });
    QCoreApplication::processEvents();
    ASSERT_EQ(presenter.shown.size(), 1);
    EXPECT_EQ(presenter.shown[0].text, QStringLiteral("Error 51: vector too long"));
    EXPECT_EQ(presenter.shown[0].style, 16);
}
