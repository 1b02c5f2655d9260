#pragma once
// What the model asks of the shell (App().Shell): editor windows through the
// main window's factory, the active editor window, pending events, the open/new
// dialog, closing the project's windows. Install() also puts up what the shell
// shows for the notifier outside any window: the hourglass pointer and the
// preview window.
#include "model/Notifier.h"
#include "model/Services.h"

#include <QObject>
#include <QPointer>

class mdiMain;
class frmPreview;

class ShellRequests : public QObject, public IShellRequests {
public:
    ShellRequests();
    ~ShellRequests() override;

    // Becomes App().Shell and listens to App().Notifier (again after a ResetApp()).
    void Install();

    // The main window the requests go to; none until it is set.
    void setMainWindow(mdiMain* main);
    mdiMain* MainWindow() const;

    ICommandWindow* CreateDeskTop() override;
    ICommandWindow* ActiveDeskTop() override;
    void DoEvents() override;
    OpenChoice ShowOpenDialog(Long openMode, Long objToOpen) override;
    void CloseProjectWindows() override;

    // The preview window while it is loaded, else nullptr.
    frmPreview* Preview() const;

private:
    void SetPointer(int shape);
    void ListingMade(const QString& listing, CompileFor purpose);
    void ShowPreview(const QString& listing);
    void PreviewUnload();

    QPointer<mdiMain> mMain;
    QPointer<frmPreview> mPreview;
    QMetaObject::Connection mConnections[4];
    bool mBusy = false;
};
