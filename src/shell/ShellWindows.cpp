#include "shell/ShellWindows.h"

#include "model/AppState.h"
#include "shell/MainWindow.h"
#include "shell/OpenDialog.h"
#include "shell/Preview.h"
#include "shell/StatusStrip.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>

ShellWindows::ShellWindows() = default;

ShellWindows::~ShellWindows()
{
    delete mPreview.data();
    if (mBusy)
        QApplication::restoreOverrideCursor();
}

void ShellWindows::setMainWindow(mdiMain* main)
{
    if (mMain)
        mMain->setHooks(nullptr);
    mMain = main;
    if (mMain)
        mMain->setHooks(&Hooks);
}

mdiMain* ShellWindows::MainWindow() const
{
    return mMain;
}

frmPreview* ShellWindows::Preview() const
{
    return mPreview;
}

ICommandWindow* ShellWindows::CreateDeskTop()
{
    return mMain ? mMain->CreateDeskTop() : nullptr;
}

ICommandWindow* ShellWindows::ActiveDeskTop()
{
    return mMain ? mMain->ActiveDeskTop() : nullptr;
}

void ShellWindows::DoEvents()
{
    QCoreApplication::processEvents();
}

void ShellWindows::ShowOpenDialog(Long openMode, Long objToOpen)
{
    ::ShowOpenDialog(openMode, objToOpen);
}

void ShellWindows::CloseProjectWindows()
{
    if (mMain)
        mMain->CloseProjectWindows();
}

void ShellWindows::ProjExpAddNewModul(const QString& name, Long type)
{
    if (Hooks.ProjExpAddNewModul)
        Hooks.ProjExpAddNewModul(name, type);
}

void ShellWindows::ProjExpUnloadAndShow()
{
    if (Hooks.ProjExpUnloadAndShow)
        Hooks.ProjExpUnloadAndShow();
}

void ShellWindows::MapUnload()
{
    if (Hooks.MapUnload)
        Hooks.MapUnload();
}

void ShellWindows::MapUpdateNode(const QString& moduleName)
{
    if (Hooks.MapUpdateNode)
        Hooks.MapUpdateNode(moduleName);
}

void ShellWindows::SetupWindowUnload()
{
    if (Hooks.SetupWindowUnload)
        Hooks.SetupWindowUnload();
}

void ShellWindows::SetupWindowShowModal()
{
    if (Hooks.SetupWindowShowModal)
        Hooks.SetupWindowShowModal();
}

void ShellWindows::SetMainCaption(const QString& caption)
{
    if (mMain)
        mMain->setWindowTitle(caption);
}

void ShellWindows::SetToolbarsForType()
{
    if (mMain)
        mMain->SetToolbarsForType();
}

void ShellWindows::UpdateMotorTips()
{
    if (mMain)
        mMain->UpdateMotorTips();
}

void ShellWindows::StatusClear()
{
    if (mMain)
        mMain->picStatus()->Cls();
}

void ShellWindows::StatusPrint(const QString& text, int leftTwips, Long color)
{
    if (mMain)
        mMain->picStatus()->Print(text, leftTwips, color);
}

void ShellWindows::StatusBrick(const QString& text)
{
    if (mMain)
        mMain->picStatus()->setBrick(text);
}

void ShellWindows::ProgressSetMin(double v)
{
    if (mMain)
        mMain->PBar()->setMinimum(int(v));
}

void ShellWindows::ProgressSetMax(double v)
{
    if (mMain)
        mMain->PBar()->setMaximum(int(v));
}

void ShellWindows::ProgressSetValue(double v)
{
    if (!mMain)
        return;
    QProgressBar* bar = mMain->PBar();
    bar->setValue(qBound(bar->minimum(), int(v), bar->maximum()));
}

void ShellWindows::ProgressSetVisible(bool visible)
{
    if (mMain)
        mMain->PBar()->setVisible(visible);
}

void ShellWindows::SetPointer(int shape)
{
    if (shape == 11) {
        if (!mBusy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            mBusy = true;
        }
    } else if (mBusy) {
        QApplication::restoreOverrideCursor();
        mBusy = false;
    }
}

void ShellWindows::ShowPreview(const QString& listing)
{
    if (!mPreview)
        mPreview = new frmPreview;
    mPreview->txtPreview->setPlainText(listing);
    mPreview->show();
    mPreview->raise();
    mPreview->activateWindow();
    mPreview->txtPreview->setFocus();
}

void ShellWindows::PreviewUnload()
{
    if (mPreview) {
        frmPreview* p = mPreview;
        mPreview = nullptr;
        p->Unload();
    }
}
