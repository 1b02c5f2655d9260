// The editor window's Transmit sends the commands selected in it.
#include "DeskTopFixture.h"
#include "support/RecordingControl.h"

#include "desktop/frmDeskTop.h"
#include "model/NamedValues.h"
#include "model/RcxSetup.h"

#include <QTest>

namespace {

TEST_F(DeskTopTest, TransmitSendsTheSelectedCommandsOnly)
{
    RecordingControl pb;
    App().Ports = &pb;
    FillNameTables();
    App().SetRcxInit(True);
    App().EditMotor(0, [&](clsMotor& m) { m.setMotorType(1); });
    auto t = AddTask(QStringLiteral("Main"));
    auto first = Command(QStringLiteral("M_ON"), 0, 1, 1);
    first->MotorList = QStringLiteral("0");
    auto second = Command(QStringLiteral("M_FWD"), 0, 2, 2);
    second->MotorList = QStringLiteral("0");
    Put(*t->Commands(), first);
    Put(*t->Commands(), second);
    frmDeskTop* w = OpenTask(t);
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(picCommand(w, 2), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    MenuItem(w, "mnuTransmit")->trigger();
    EXPECT_EQ(pb.calls(), (QStringList{"PBAlive()", "SetFwd(\"0\")"}));
    EXPECT_EQ(presenter.texts(), QStringList{"End of transmission"});
    App().Ports = nullptr;
}

}  // namespace
