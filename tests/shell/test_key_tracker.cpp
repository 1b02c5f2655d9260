// The keyboard as a run reads it: key codes, keys held, and the latch that
// keeps a short press until it has been asked for.
#include "shell/KeyTracker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(KeyTracker, QtKeysBecomeTheProjectsKeyCodes)
{
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        quint32 native;
        int code;
    } cases[] = {
        {Qt::Key_Left, {}, 0, 37},         {Qt::Key_Up, {}, 0, 38},          {Qt::Key_Right, {}, 0, 39},
        {Qt::Key_Down, {}, 0, 40},         {Qt::Key_Space, {}, 0, 32},       {Qt::Key_A, {}, 0, 65},
        {Qt::Key_Z, Qt::ShiftModifier, 0, 90}, {Qt::Key_0, {}, 0, 48},     {Qt::Key_9, {}, 0, 57},
        {Qt::Key_Exclam, Qt::ShiftModifier, 0, 49}, {Qt::Key_5, Qt::KeypadModifier, 0, 101},
        {Qt::Key_F1, {}, 0, 112},          {Qt::Key_Shift, {}, 0xffe1, 160}, {Qt::Key_Shift, {}, 0xffe2, 161},
        {Qt::Key_Control, {}, 0xffe3, 162}, {Qt::Key_Alt, {}, 0xffe9, 164}, {Qt::Key_Minus, {}, 0, 189},
        {Qt::Key_Return, {}, 0, 13},       {Qt::Key_unknown, {}, 0, 0},
        // The keypad's plus and times, and the main keyboard's shifted 8 and =.
        {Qt::Key_Asterisk, Qt::KeypadModifier, 0, 106}, {Qt::Key_Plus, Qt::KeypadModifier, 0, 107},
        {Qt::Key_Asterisk, Qt::ShiftModifier, 0, 56},   {Qt::Key_Plus, Qt::ShiftModifier, 0, 187},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VirtualKeyCode(c.key, c.mods, c.native), c.code) << c.key;
}

TEST(KeyTracker, AShortPressCountsOnceAfterItsRelease)
{
    KeyTracker keys;
    EXPECT_FALSE(keys.KeyDown(65));
    keys.Press(65);
    EXPECT_TRUE(keys.KeyDown(65));
    EXPECT_TRUE(keys.KeyDown(65));  // still held
    keys.Release(65);
    EXPECT_FALSE(keys.KeyDown(65));

    keys.Press(38);
    keys.Release(38);  // pressed and let go between two questions
    EXPECT_TRUE(keys.KeyDown(38));
    EXPECT_FALSE(keys.KeyDown(38));
    EXPECT_FALSE(keys.KeyDown(-1));
    EXPECT_FALSE(keys.KeyDown(300));
}

TEST(KeyTracker, SeesTheKeysOfEveryWindowAndForgetsThemWhenTheFocusGoes)
{
    KeyTracker keys;
    keys.Install();
    QWidget w;
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&w, &up);
    QApplication::sendEvent(&w, &a);
    EXPECT_TRUE(keys.KeyDown(38));
    EXPECT_TRUE(keys.KeyDown(65));
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&w, &repeatUp);
    EXPECT_TRUE(keys.KeyDown(38));  // an auto-repeat is no release
    QKeyEvent releaseUp(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(&w, &releaseUp);
    EXPECT_FALSE(keys.KeyDown(38));

    QEvent away(QEvent::ApplicationDeactivate);
    QApplication::sendEvent(qApp, &away);
    EXPECT_FALSE(keys.KeyDown(65));
}

}  // namespace
