#include "shell/ShellRequests.h"

#include "model/AppState.h"
#include "model/Notifier.h"
#include "shell/MainWindow.h"
#include "shell/OpenDialog.h"
#include "shell/Preview.h"

#include <QApplication>
#include <QPlainTextEdit>

ShellRequests::ShellRequests() = default;

ShellRequests::~ShellRequests()
{
    delete mPreview.data();
    if (mBusy)
        QApplication::restoreOverrideCursor();
}

void ShellRequests::Install()
{
    AppState& a = App();
    a.Shell = this;
    for (QMetaObject::Connection& c : mConnections)
        disconnect(c);
    Notifier* n = a.Notifier.get();
    mConnections[0] = connect(n, &Notifier::PointerChanged, this, &ShellRequests::SetPointer);
    mConnections[1] = connect(n, &Notifier::ListingMade, this, &ShellRequests::ListingMade);
    mConnections[2] = connect(n, &Notifier::ListingDropped, this, &ShellRequests::PreviewUnload);
    mConnections[3] = connect(n, &Notifier::ListingRequested, this, &ShellRequests::ShowPreview);
}

void ShellRequests::setMainWindow(mdiMain* main)
{
    mMain = main;
}

mdiMain* ShellRequests::MainWindow() const
{
    return mMain;
}

frmPreview* ShellRequests::Preview() const
{
    return mPreview;
}

ICommandWindow* ShellRequests::CreateDeskTop()
{
    return mMain ? mMain->CreateDeskTop() : nullptr;
}

ICommandWindow* ShellRequests::ActiveDeskTop()
{
    return mMain ? mMain->ActiveDeskTop() : nullptr;
}

void ShellRequests::DoEvents()
{
    QCoreApplication::processEvents();
}

OpenChoice ShellRequests::ShowOpenDialog(Long openMode, Long objToOpen)
{
    return ::ShowOpenDialog(openMode, objToOpen);
}

void ShellRequests::CloseProjectWindows()
{
    if (mMain)
        mMain->CloseProjectWindows();
}

void ShellRequests::SetPointer(int shape)
{
    if (shape == PointerShape::Hourglass) {
        if (!mBusy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            mBusy = true;
        }
    } else if (mBusy) {
        QApplication::restoreOverrideCursor();
        mBusy = false;
    }
}

void ShellRequests::ShowPreview(const QString& listing)
{
    if (!mPreview)
        mPreview = new frmPreview;
    mPreview->txtPreview->setPlainText(listing);
    mPreview->show();
    mPreview->raise();
    mPreview->activateWindow();
    mPreview->txtPreview->setFocus();
}

void ShellRequests::ListingMade(const QString& listing, CompileFor purpose)
{
    // COMPILE shows the listing; a download's leaves no preview open, the
    // listing it made shown or not (PREVIEW shows it again).
    if (purpose == CompileFor::Listing)
        ShowPreview(listing);
    else if (purpose == CompileFor::Download)
        PreviewUnload();
}

void ShellRequests::PreviewUnload()
{
    if (mPreview) {
        frmPreview* p = mPreview;
        mPreview = nullptr;
        p->Unload();
    }
}
