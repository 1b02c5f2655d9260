#pragma once
// The window services of the program (App().Windows): the open/new dialog,
// the status strip, progress bar and pointer of the main window, the preview
// window, the editor windows through the main window's factory, and hooks for
// the windows other parts of the program bring (project explorer, map, set-up
// window, definitions dialog, joystick viewer). An unset hook does nothing.
#include "model/Services.h"

#include <QPointer>
#include <QRect>

#include <functional>

class mdiMain;
class frmPreview;

struct WindowHooks {
    std::function<void(const QString& name, Long type)> ProjExpAddNewModul;
    std::function<void()> ProjExpUnloadAndShow;
    std::function<void()> ProjExpShow;          // show and bring to the front
    std::function<void(const QRect& twips)> MapShow;  // placed, shown, in front
    std::function<void()> MapUnload;
    std::function<void(const QString& moduleName)> MapUpdateNode;
    std::function<void()> SetupWindowUnload;
    std::function<void()> SetupWindowShowModal;
    std::function<void()> DefineVarShowModal;
    std::function<void()> JoyShow;              // show and give the focus
    std::function<void()> JoyUnload;
    std::function<void()> DatalogShow;          // the set-up window's datalog button
};

class ShellWindows : public IWindowServices {
public:
    ShellWindows();
    ~ShellWindows() override;

    WindowHooks Hooks;
    void setMainWindow(mdiMain* main);
    mdiMain* MainWindow() const;

    ICommandWindow* CreateDeskTop() override;
    ICommandWindow* ActiveDeskTop() override;
    void DoEvents() override;
    void ShowOpenDialog(Long openMode, Long objToOpen) override;
    void CloseProjectWindows() override;

    void ProjExpAddNewModul(const QString& name, Long type) override;
    void ProjExpUnloadAndShow() override;
    void MapUnload() override;
    void MapUpdateNode(const QString& moduleName) override;
    void SetupWindowUnload() override;
    void SetupWindowShowModal() override;
    void SetMainCaption(const QString& caption) override;
    void SetToolbarsForType() override;
    void UpdateMotorTips() override;

    void StatusClear() override;
    void StatusPrint(const QString& text, int leftTwips = 700, Long color = 0) override;
    void StatusBrick(const QString& text) override;
    void ProgressSetMin(double v) override;
    void ProgressSetMax(double v) override;
    void ProgressSetValue(double v) override;
    void ProgressSetVisible(bool visible) override;
    void SetPointer(int shape) override;
    int Pointer() const override { return mBusy ? 11 : 0; }
    void ShowPreview(const QString& listing) override;
    void PreviewUnload() override;

    // The preview window while it is loaded, else nullptr.
    frmPreview* Preview() const;

private:
    QPointer<mdiMain> mMain;
    QPointer<frmPreview> mPreview;
    bool mBusy = false;
};
