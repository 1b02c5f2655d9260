#pragma once
// An editor window's controls as a user sees them, found by their names: the
// desk and its command pictures, the bars, the title strip and its controls,
// the parameter frames and the popup menu's items. Each is named for the
// window's own control (picCommand(f, 1) for picCommand(1)). A control that is
// not there is nullptr; a test that needs it says so with ASSERT_NE.
#include "desktop/DeskTitleStrip.h"
#include "desktop/DeskTopWidgets.h"
#include "desktop/frames/FrameWidgets.h"
#include "desktop/frmDeskTop.h"

#include <QAction>
#include <QCheckBox>
#include <QScrollBar>
#include <QString>

namespace desk {

template <class Control>
Control* Named(const QWidget* window, const QString& name)
{
    return window->findChild<Control*>(name);
}

}  // namespace desk

inline DeskTopBox* picDeskTop(const frmDeskTop* f) { return desk::Named<DeskTopBox>(f, "picDeskTop"); }
// The picture of that index loaded now (picture 0 is the template).
inline PicCommandBox* picCommand(const frmDeskTop* f, int index)
{
    return desk::Named<PicCommandBox>(f, QStringLiteral("picCommand(%1)").arg(index));
}
inline QScrollBar* VScroll1(const frmDeskTop* f) { return desk::Named<QScrollBar>(f, "VScroll1"); }
inline QScrollBar* HScroll1(const frmDeskTop* f) { return desk::Named<QScrollBar>(f, "HScroll1"); }
inline DeskTitleStrip* picModulTitle(const frmDeskTop* f) { return desk::Named<DeskTitleStrip>(f, "picModulTitle"); }
inline TitleTextBox* txtTitle(const frmDeskTop* f) { return desk::Named<TitleTextBox>(f, "txtTitle"); }
inline QCheckBox* chkTaskLoop(const frmDeskTop* f) { return desk::Named<QCheckBox>(f, "chkTaskLoop"); }
inline QCheckBox* chkStartOnStartup(const frmDeskTop* f) { return desk::Named<QCheckBox>(f, "chkStartOnStartup"); }
// The Yes (0) and No (1) over the columns of an IF body.
inline PictureBox* PicYesNo(const frmDeskTop* f, int index)
{
    return desk::Named<PictureBox>(f, QStringLiteral("PicYesNo(%1)").arg(index));
}
inline MotorFrameWidget* FraMotor(const frmDeskTop* f) { return desk::Named<MotorFrameWidget>(f, "FraMotor"); }
inline LogicFrameWidget* fraLogic(const frmDeskTop* f) { return desk::Named<LogicFrameWidget>(f, "fraLogic"); }
// An item of the popup menu mnuEdit ("mnuCopy", "mnuUpdate", ...).
inline QAction* MenuItem(const frmDeskTop* f, const char* name) { return desk::Named<QAction>(f, name); }
