#pragma once
// The main window mdiMain: the MDI area that holds the editor windows, the
// command palette TB in its holder picToolBar, the main toolbar TB1 with its
// command dispatcher, the status strip picStatus, the progress bar PBar, and the
// pop-up menus "General", "Help" and "Window list".
//
// Editor windows (frmDeskTop) come from a factory the program registers at
// start-up. A factory returns the window's widget and its ICommandWindow;
// CreateDeskTop() puts the widget into the MDI area when the factory has not
// done so itself and keeps the pair while the widget lives. The window list
// reads Caption(), FormType() and ParentTitle() of every editor window.
// The main window follows what App().Notifier tells in its caption, toolbars,
// status strip and progress bar; the windows outside the shell that its keys
// open listen to its requests (ExplorerShowRequested ...).
//
// Its code by family: MainWindow.cpp (construction, the notifier's slots,
// menus, events), MainPalette.cpp (the palette and its holder), MainToolbar.cpp
// (TB1, its keys and their rules per project type), MainRun.cpp (the PC-side run
// and its timers), MainDeskTops.cpp (editor windows, window list),
// MainProject.cpp (start, open, save, the query before the program ends).
#include "compiler/CompileContext.h"
#include "model/Services.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QScrollBar;
class QTimer;
class QToolBar;
class QToolButton;
class StatusStrip;
class PaletteBar;
class PcRun;
class RunKeys;

// An editor window as its factory makes it: one object seen as a widget and as
// an ICommandWindow.
struct DeskTopWindow {
    QWidget* widget = nullptr;
    ICommandWindow* window = nullptr;
};
using DeskTopFactory = std::function<DeskTopWindow()>;

// The window (or the MDI sub-window that holds it) is deleted when the program
// ends, before the farewell picture goes (Notifier::ProgramEnding).
void UnloadAtProgramEnd(QWidget* window);

// What the dispatcher and the start of the window call in the model and the
// compiler. The defaults are the real operations; tests put their own in.
struct ShellOperations {
    std::function<bool()> OpenProject;
    std::function<bool()> SaveProject;
    std::function<CompileResult()> CompileProject;
    std::function<void()> DownloadCommand;
    std::function<bool(Long)> AddTask;
    std::function<bool(Long)> AddSub;
    std::function<bool()> InitRCX;            // tower check before a PC-side run
    std::function<void()> ResetMotorObjects;  // prepares a PC-side run
    std::function<void()> tmrJoy_Timer;       // one pass of the PC-side run (20 ms)
    std::function<void()> tmrAni_Timer;       // the run button's animation (250 ms)

    static ShellOperations Defaults();
};

class mdiMain : public QMainWindow {
    Q_OBJECT
public:
    explicit mdiMain(QWidget* parent = nullptr);
    ~mdiMain() override;

    // ---------------------------------------------------------------- what the program calls

    // The one main window, or nullptr while there is none.
    static mdiMain* Instance();

    ShellOperations Ops;

    // Start of the window: settings, palette cursor, random seed, centring, the
    // project, showing, palette widths, StopRun. False when the project could
    // not be opened (the program then ends).
    bool MDIForm_Load();

    // Editor windows.
    void setDeskTopFactory(DeskTopFactory factory);
    ICommandWindow* CreateDeskTop();
    QMdiArea* MdiArea() const { return mMdi; }
    ICommandWindow* ActiveDeskTop() const;
    QList<ICommandWindow*> DeskTopWindows() const;
    // The joystick window and every editor window, closed as the project they
    // show gives way to another.
    void CloseProjectWindows();

    // The two toolbars, the palette's current tool, and the main toolbar's
    // dispatcher (as the button's own action, whether it is enabled or not).
    QWidget* TB() const;
    QToolBar* TB1() const { return mTB1; }
    QToolButton* CurButton() const { return mCurButton; }
    QString CurButtonKey() const;
    void TB_ButtonClick(QToolButton* button);
    void TB_ButtonClick(const QString& key);
    void TB1_ButtonClick(const QString& key);

    // ---------------------------------------------------------------- what tests reach

    void GetInitParams();
    // The MDI area's inner size in twips.
    Long ScaleHeight() const;
    Long ScaleWidth() const;

    // Project.
    bool OpenProject();
    bool SaveProject();
    void MDIForm_QueryUnload(bool& cancel);

    // The main toolbar's keys by project type and around a PC-side run.
    QAction* TB1Button(const QString& key) const;
    void EnableProjectCommands(bool enable);
    void SetToolbarsForType();
    void UpdateMotorTips();

    // The palette and its holder.
    QWidget* picToolBar() const { return mPicToolBar; }
    QWidget* picTBTop() const { return mPicTBTop; }
    QToolButton* cmdCloseTB(int index) const { return mCloseTB[index]; }
    // The bar that scrolls the palette's rows where the holder is too short for them.
    QScrollBar* PaletteScrollBar() const;
    QToolButton* PaletteButton(const QString& key) const;
    QList<QToolButton*> PaletteButtons() const;
    void TB_MouseMove(int button, int shift, int x, int y);
    // x and y in twips within picToolBar; screenPos is the pointer's screen position.
    void picToolBar_MouseMove(int button, int shift, int x, int y, QPoint screenPos);
    void picToolBar_MouseUp(int button, int shift, int x, int y);
    void cmdCloseTB_Click(int index);
    void cmdCloseTB_MouseUp(int index);
    Integer PaletteWidth = 0;   // twips
    Integer PaletteMargin = 0;  // twips
    // Where the pointer is put while dragging clamps; QCursor::setPos unless replaced.
    std::function<void(QPoint)> SetCursorPos;
    // Width of picToolBar / TB in twips, and setting it.
    Integer PaletteHolderWidth() const;
    void setPaletteHolderWidth(Integer twips);
    Integer PaletteBarWidth() const;
    // Every width picToolBar took since the last call (twips); for the slide tests.
    QList<Integer> TakeWidthTrace();

    // Status strip and progress bar.
    StatusStrip* picStatus() const { return mStatus; }
    QProgressBar* PBar() const { return mPBar; }

    // Menus and their handlers.
    QMenu* mnuMdi() const { return mMnuMdi; }
    QMenu* mnuHelp() const { return mMnuHelp; }
    QMenu* mnuWinList() const { return mMnuWinList; }
    QAction* mnuStatus() const { return mMnuStatus; }
    QAction* mnuToolBar() const { return mMnuToolBar; }
    // The items of the window list as built by the last WINLIST.
    QList<QAction*> mnuWinDeskList() const { return mWinDeskList; }
    // Pops up a menu; exec() unless replaced (tests record instead).
    std::function<void(QMenu*)> PopupMenu;
    void Image1_Click();
    void mnuAbout_Click();
    void mnuHelpContents_Click();
    void mnuStatus_Click();
    void mnuToolBar_Click();
    void mnuWinDeskList_Click(int index);

    // Timers of the PC-side run.
    QTimer* tmrJoy() const { return mTmrJoy; }
    QTimer* tmrAni() const { return mTmrAni; }
    QTimer* tmrShowLab() const { return mTmrShowLab; }
    void tmrShowLab_Timer();
    // One pass of task 1; when the run ends, the window goes back to its idle state.
    void tmrJoy_Timer();
    // The run button blinks between its two pictures.
    void tmrAni_Timer();
    QString RunImageKey() const { return mRunImageKey; }

Q_SIGNALS:
    // What the keys ask of the windows outside the shell; nothing happens
    // while nobody listens.
    void ExplorerShowRequested();               // show and bring to the front
    void MapShowRequested(const QRect& twips);  // placed, shown, in front
    void DefineVarRequested();                  // the definitions dialog, modal
    void DatalogShowRequested();                // the set-up window's datalog button

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kHeaderHeight = 18;  // picTBTop, pixels

    // Building (MainWindow.cpp, MainPalette.cpp, MainToolbar.cpp).
    void BuildPalette();
    void BuildMainToolbar();
    void BuildMenus();
    void BuildRunTimers();  // MainRun.cpp
    void ConnectNotifier();
    void LayoutPaletteHolder(Integer holderWidth);
    // The palette's view under the title strip and the range of its scroll bar.
    void LayoutPaletteView();

    // The main toolbar (MainToolbar.cpp): each button's key, tooltip and the
    // handler its action triggers, in their order.
    struct MainBarButton {
        const char* key;
        const char* tip;
        void (mdiMain::*click)();
    };
    static const std::vector<MainBarButton>& MainBar();
    // The whole palette and every key of the main toolbar.
    void EnableEveryKey(bool enable);
    void CompileErrorReport(const CompileResult& result);
    void KeyRcx();
    void KeyDefVar();
    void KeyToolbar();
    void KeyProjExp();
    void KeyNewTask();
    void KeyNewSub();
    void KeyDownload();
    void KeySave();
    void KeyShowPreview();
    void KeyJoy();
    void KeyHelp();
    void KeyExit();
    void KeyCompile();
    void KeyMap();
    void KeyOpen();     // MainProject.cpp
    void KeyJoyPlay();  // MainRun.cpp
    void KeyWinList();  // MainDeskTops.cpp

    // Editor windows (MainDeskTops.cpp).
    ICommandWindow* DeskTopOf(QWidget* widget) const;
    // Every editor window within the area again after the area changed size.
    void FitDeskTops();
    // The window's serial number used by the window list.
    int WindowHandle(QWidget* window);

    QMdiArea* mMdi = nullptr;
    QWidget* mPicToolBar = nullptr;
    QWidget* mPicTBTop = nullptr;
    QWidget* mTBView = nullptr;  // shows the part of TB that fits under the title strip
    PaletteBar* mTB = nullptr;
    QScrollBar* mTBScroll = nullptr;
    QToolButton* mCloseTB[2] = {nullptr, nullptr};
    QToolButton* mCurButton = nullptr;
    QPoint LastPointer;   // where the pointer was as the palette's edge was dragged
    QPoint SavedPointer;
    QList<Integer> mWidthTrace;
    QToolBar* mTB1 = nullptr;
    QHash<QString, QAction*> mTB1Buttons;
    QLabel* mImage1 = nullptr;
    StatusStrip* mStatus = nullptr;
    QProgressBar* mPBar = nullptr;
    QWidget* mBottom = nullptr;
    QMenu* mMnuMdi = nullptr;
    QMenu* mMnuHelp = nullptr;
    QMenu* mMnuWinList = nullptr;
    QAction* mMnuStatus = nullptr;
    QAction* mMnuToolBar = nullptr;
    QList<QAction*> mWinDeskList;
    QHash<QString, QPointer<QWidget>>* mWindowListForms = nullptr;
    int mNextHandle = 1;
    QTimer* mTmrJoy = nullptr;
    QTimer* mTmrAni = nullptr;
    QTimer* mTmrShowLab = nullptr;
    std::unique_ptr<PcRun> mRun;
    RunKeys* mRunKeys = nullptr;  // takes the keys from every window while a run is on
    QString mRunImageKey;  // the run button's picture while it blinks
    DeskTopFactory mFactory;
    struct KeptDeskTop {
        QPointer<QWidget> widget;
        ICommandWindow* window;
    };
    QList<KeptDeskTop> mDeskTops;  // editor windows; an entry counts while its widget lives
    bool mClosing = false;
    QPointer<QWidget> mByBy;  // the farewell picture while the program ends
};
