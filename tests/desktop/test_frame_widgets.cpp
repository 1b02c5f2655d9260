// The frame widgets on their own: they show their frame's state, pass what
// the user does with mouse and keys to the frame's handlers, and a command
// edited through them compiles to the values typed.
#include "FrameFixture.h"

#include "FrameInput.h"
#include "desktop/frames/FrameWidgets.h"
#include "model/Twips.h"
#include "desktop/frames/ImageList.h"
#include "support/PrintTexts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTest>

namespace {

class FrameWidgetTest : public FrameTest {
protected:
    // A double click as the platform sends it: press, release, double click, release.
    static void doubleClick(QWidget* w)
    {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        const QPointF global = w->mapToGlobal(at);
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                               QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, at, global, Qt::LeftButton,
                          t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w, &e);
        }
    }
};

TEST_F(FrameWidgetTest, ImageListHoldsEveryKeyAsA32PixelPicture)
{
    const QStringList keys = ILDT().Keys();
    EXPECT_EQ(keys.size(), 28);
    for (const char* k : {"K0", "K1", "K2", "K3", "K4", "K9", "K10", "K11", "K12", "K13", "K14", "K15", "K100",
                          "K110", "K130", "K140", "K150", "K160", "K170", "K180", "K190", "K200", "K210", "K220",
                          "DOT", "TASK", "SUB", "MATH"}) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(ILDT().Exists(QString::fromLatin1(k)));
        const QImage img = ILDT().Picture(QString::fromLatin1(k)).toImage();
        EXPECT_EQ(img.size(), QSize(32, 32));
        // Drawn, not blank: the corner is clear and the middle is painted.
        EXPECT_GT(qAlpha(img.pixel(16, 16)), 0);
    }
    EXPECT_EQ(failureNumber([] { ILDT().Picture(QStringLiteral("K5")); }), 35601);
}

TEST_F(FrameWidgetTest, MotorCommandEditedByMouseAndKeys)
{
    Cmd cmd("M_FWD");
    MotorFrameWidget w(names);
    w.Model.ParentTaskName = QStringLiteral("Main");
    bool closed = false;
    w.OkClicked = [&] { closed = w.Model.cmdOkMotor_Click(); w.Refresh(true); };
    w.Model.Open(cmd.c);
    w.Refresh();
    w.show();
    EXPECT_TRUE(w.chkMotor[0]->isVisible());
    EXPECT_FALSE(w.chkMotor[1]->isVisible());
    EXPECT_FALSE(w.cmbTimeCount->isVisible());
    EXPECT_EQ(w.lblMotor->text(), QStringLiteral("Forward"));

    // Ok without a motor keeps the frame open.
    QTest::mouseClick(w.cmdOkMotor, Qt::LeftButton);
    EXPECT_FALSE(closed);
    EXPECT_EQ(presenter.texts(), QStringList{"No motor selected"});

    QTest::mouseClick(w.chkMotor[2], Qt::LeftButton);
    QTest::mouseClick(w.chkTime, Qt::LeftButton);
    EXPECT_TRUE(w.cmbTimeCount->isVisible());
    EXPECT_TRUE(w.cmbTime->isVisible());
    typeInto(w.cmbTimeCount, "3");
    chooseText(w.cmbTime, "Tenth");
    QTest::mouseClick(w.cmdOkMotor, Qt::LeftButton);
    ASSERT_TRUE(closed) << presenter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(cmd.c->MotorList, QStringLiteral("2"));
    EXPECT_EQ(cmd.c->PicCaption(1), QStringLiteral("C \r\nAnd wait 3 \r\nTenths"));
    EXPECT_EQ(listingOf(cmd.c), QStringList({" .SetFwd 2", " .Wait 2,30"}));
}

TEST_F(FrameWidgetTest, FailedCheckPutsTheFocusOnTheBoxToMend)
{
    Cmd cmd("G_SOUND");
    MotorFrameWidget w(names);
    w.OkClicked = [&] { w.Model.cmdOkMotor_Click(); w.Refresh(true); };
    w.Model.Open(cmd.c);
    w.Refresh();
    w.show();
    w.activateWindow();
    typeInto(w.cmbSound, "19");
    // A typed frequency shows the time boxes.
    EXPECT_TRUE(w.cmbTimeCount->isVisible());
    typeInto(w.cmbTimeCount, "10");
    QTest::mouseClick(w.cmdOkMotor, Qt::LeftButton);
    EXPECT_EQ(presenter.texts(), QStringList{"Frequency must be an integer between 20 to 20000  "});
    EXPECT_EQ(w.Model.Focus, QStringLiteral("cmbSound"));
    EXPECT_TRUE(w.cmbSound->hasFocus() || QApplication::focusWidget() == w.cmbSound->lineEdit() ||
                !QApplication::activeWindow());
    chooseText(w.cmbSound, "Beep");
    EXPECT_FALSE(w.cmbTimeCount->isVisible());
}

TEST_F(FrameWidgetTest, AHeadingIsNeverAValue)
{
    Cmd cmd("L_IF");
    LogicFrameWidget w(names);
    w.Model.Open(cmd.c);
    w.Refresh();
    w.show();
    chooseText(w.cmbParam1, "Sensors");
    EXPECT_EQ(w.cmbParam1->currentText(), QString());
    EXPECT_EQ(w.Model.cmbParam1.Text, QString());
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.cmbParam1->view()->isVisible());
    w.cmbParam1->hidePopup();
}

TEST_F(FrameWidgetTest, LogicCommandEditedByMouseAndKeys)
{
    Cmd cmd("L_IF");
    LogicFrameWidget w(names);
    bool closed = false;
    w.OkClicked = [&] { closed = w.Model.cmdOkLogic_Click(); w.Refresh(true); };
    w.Model.Open(cmd.c);
    w.Refresh();
    w.show();
    EXPECT_EQ(w.lblOperator->text(), QStringLiteral(">"));
    EXPECT_TRUE(w.cmdOkOpenLogic->isVisible());
    chooseText(w.cmbParam1, "Timer 1");
    QTest::mouseClick(w.lblOperator, Qt::LeftButton);
    EXPECT_EQ(w.lblOperator->text(), QStringLiteral("<"));
    // A double click steps twice.
    doubleClick(w.lblOperator);
    EXPECT_EQ(w.lblOperator->text(), QStringLiteral("#"));
    typeInto(w.cmbParam2, "-1");
    QTest::mouseClick(w.cmdOkLogic, Qt::LeftButton);
    ASSERT_TRUE(closed) << presenter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(cmd.c->Param2Source, Variant(2));
    EXPECT_EQ(cmd.c->Param2Value, Variant("-1"));
    EXPECT_EQ(cmd.c->Op, 3);
    EXPECT_EQ(listingOf(cmd.c), QStringList({" .If 1,0,3,2,-1", " .Else", " .EndIf"}));
}

// The operator is drawn in a bold font larger than the frame's: each one,
// the range "{..}" too, is shown whole, and the label keeps its place
// between the two operands.
TEST_F(FrameWidgetTest, EveryOperatorIsShownWhole)
{
    Cmd cmd("L_IF");
    LogicFrameWidget w(names);
    w.Model.Open(cmd.c);
    w.Refresh();
    w.show();
    const QPoint centre = PixRect(2415, 510, 345, 375).center();
    QStringList shown;
    for (int step = 0; step < 5; ++step) {
        const QString text = w.lblOperator->text();
        SCOPED_TRACE(text.toStdString());
        shown.append(text);
        const QFontMetrics fm(w.lblOperator->font());
        const QRect inside = w.lblOperator->contentsRect();
        EXPECT_GE(inside.width(), fm.horizontalAdvance(text));
        EXPECT_GE(inside.height(), fm.height());
        EXPECT_EQ(w.lblOperator->geometry().center(), centre);
        QTest::mouseClick(w.lblOperator, Qt::LeftButton);
    }
    EXPECT_EQ(shown, QStringList({">", "<", "=", "#", "{..}"}));
}

TEST_F(FrameWidgetTest, ClockBoxesSelectTheirTextAndMoveOnFromTheHours)
{
    Cmd cmd("G_WATCH");
    cmd.c->Param1Value = 7;
    cmd.c->Param2Value = 30;
    MotorFrameWidget w(names);
    w.Model.Open(cmd.c);
    w.show();
    w.activateWindow();
    w.Refresh(true);
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), w.txtTime[0]);
    EXPECT_EQ(w.txtTime[0]->selectedText(), QStringLiteral("7"));
    QTest::keyClicks(w.txtTime[0], QStringLiteral("12"));
    EXPECT_EQ(QApplication::focusWidget(), w.txtTime[1]);
    QApplication::processEvents();
    EXPECT_EQ(w.txtTime[1]->selectedText(), QStringLiteral("30"));
    QTest::keyClicks(w.txtTime[1], QStringLiteral("45"));
    ASSERT_TRUE(w.Model.cmdOkMotor_Click());
    EXPECT_EQ(cmd.c->PicCaption(1), QStringLiteral("To 12:45"));
    EXPECT_EQ(cmd.c->Param1Value, Variant(12));
}

// Pictures of both frames as they look, for the eye (QM_GRAB_DIR names a folder).
TEST_F(FrameWidgetTest, GrabFramesToPictures)
{
    const QString dir = qEnvironmentVariable("QM_GRAB_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "QM_GRAB_DIR not set";
    QDir().mkpath(dir);
    const char* motorKeys[] = {"M_SETPWR", "G_SOUND", "G_WAIT", "G_WATCH", "A_REM", "G_DISPLAY", "M_OFF", "G_TXPOWER"};
    for (const char* k : motorKeys) {
        Cmd cmd(k);
        MotorFrameWidget w(names);
        w.Model.Open(cmd.c);
        w.Refresh();
        w.show();
        EXPECT_TRUE(w.grab().save(dir + QStringLiteral("/motor_%1.png").arg(QString::fromLatin1(k))));
    }
    const char* logicKeys[] = {"L_IF", "L_VAR", "L_LOOP", "L_STOP", "L_SENTYPE", "L_ZERO"};
    for (const char* k : logicKeys) {
        Cmd cmd(k);
        LogicFrameWidget w(names);
        w.Model.Open(cmd.c);
        w.Refresh();
        w.show();
        EXPECT_TRUE(w.grab().save(dir + QStringLiteral("/logic_%1.png").arg(QString::fromLatin1(k))));
    }
}

}  // namespace
