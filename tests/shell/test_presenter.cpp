// The message box built for each style the system uses, and the answer read
// back from the button pressed.
#include "shell/ShellFixture.h"
#include "shell/MessagePresenter.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QMessageBox>

namespace {

struct StyleCase {
    int style;
    QMessageBox::Icon icon;
    QList<QMessageBox::StandardButton> buttons;
    int closedWithoutButton;  // the answer when the box is closed by its close box
};

const StyleCase kStyles[] = {
    {16, QMessageBox::Critical, {QMessageBox::Ok}, MsgResult::OK},
    {32, QMessageBox::Question, {QMessageBox::Ok}, MsgResult::OK},
    {48, QMessageBox::Warning, {QMessageBox::Ok}, MsgResult::OK},
    {64, QMessageBox::Information, {QMessageBox::Ok}, MsgResult::OK},
    {0, QMessageBox::NoIcon, {QMessageBox::Ok}, MsgResult::OK},
    {35, QMessageBox::Question, {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, MsgResult::Cancel},
    {49, QMessageBox::Warning, {QMessageBox::Ok, QMessageBox::Cancel}, MsgResult::Cancel},
    {37, QMessageBox::Question, {QMessageBox::Retry, QMessageBox::Cancel}, MsgResult::Cancel},
    {21, QMessageBox::Critical, {QMessageBox::Retry, QMessageBox::Cancel}, MsgResult::Cancel},
};

}  // namespace

TEST(MessageBoxStyles, IconButtonsAndEscapeFollowTheStyle)
{
    for (const StyleCase& c : kStyles) {
        SCOPED_TRACE(c.style);
        auto box = BuildMessageBox(QStringLiteral("Text"), c.style);
        EXPECT_EQ(box->icon(), c.icon);
        QList<QMessageBox::StandardButton> got;
        for (QAbstractButton* b : box->buttons())
            got.append(box->standardButton(b));
        for (auto b : c.buttons)
            EXPECT_TRUE(got.contains(b)) << int(b);
        EXPECT_EQ(got.size(), c.buttons.size());
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Quillomat"));
        EXPECT_EQ(MessageBoxResult(*box, c.style), c.closedWithoutButton);
    }
}

TEST(MessageBoxStyles, CrLfIsShownAsOneLineBreakAndTheTitleIsKept)
{
    auto box = BuildMessageBox(QStringLiteral("a\r\nb"), 48, QStringLiteral("Error in Program"));
    EXPECT_EQ(box->text(), QStringLiteral("a\nb"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Error in Program"));
}

class PresenterTest : public ShellFixture {};

TEST_F(PresenterTest, ThePressedButtonIsTheAnswer)
{
    struct Case {
        int style;
        QMessageBox::StandardButton press;
        int answer;
    };
    const Case cases[] = {
        {35, QMessageBox::Yes, MsgResult::Yes},   {35, QMessageBox::No, MsgResult::No},
        {35, QMessageBox::Cancel, MsgResult::Cancel}, {49, QMessageBox::Ok, MsgResult::OK},
        {37, QMessageBox::Retry, MsgResult::Retry}, {21, QMessageBox::Cancel, MsgResult::Cancel},
    };
    ShellPresenter shell;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        runner.script = [&](QDialog& d) {
            auto& box = static_cast<QMessageBox&>(d);
            box.button(c.press)->click();
        };
        EXPECT_EQ(shell.MsgBox(QStringLiteral("Save project"), c.style), c.answer);
    }
    EXPECT_EQ(runner.shown.size(), 6);
}

TEST_F(PresenterTest, InputBoxGivesTheTextOrEmptyWhenCancelled)
{
    ShellPresenter shell;
    runner.script = [](QDialog& d) {
        auto& in = static_cast<QInputDialog&>(d);
        EXPECT_EQ(in.textValue(), QStringLiteral("start"));
        in.setTextValue(QStringLiteral("typed"));
        in.accept();
    };
    EXPECT_EQ(shell.InputBox(QStringLiteral("Name?"), QString(), QStringLiteral("start")), QStringLiteral("typed"));
    runner.script = [](QDialog& d) {
        static_cast<QInputDialog&>(d).setTextValue(QStringLiteral("typed"));
        d.reject();
    };
    EXPECT_EQ(shell.InputBox(QStringLiteral("Name?")), QString());
}
