#pragma once
// The main window with every window of the program answering its requests,
// the real message boxes and a brick that answers: the shell's state of
// ShellFixture, a fresh recording control and the keyboard as the run reads
// it. Whatever the test opens is closed again when it ends.
#include "../shell/ShellFixture.h"

#include "datalog/frmDatalog.h"
#include "desktop/DeskTopFactory.h"
#include "model/NamedValues.h"
#include "setup/frmMain.h"
#include "shell/Help.h"
#include "shell/KeyTracker.h"
#include "shell/MessagePresenter.h"
#include "shell/Preview.h"
#include "shell/joy/frmJoy.h"
#include "support/RecordingControl.h"
#include "views/ViewWindows.h"

#include <QCoreApplication>
#include <QEvent>

#include <memory>

class ProgramFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        AppState& a = App();
        a.Presenter = &shell;
        a.ModalRunner = nullptr;
        pb = std::make_unique<RecordingControl>();
        a.Ports = pb.get();
        a.Joystick = &tracker;
        FillNameTables();
        main->setDeskTopFactory([this] { return CreateDeskTopWindow(main->MdiArea()); });
        ConnectViewWindows(*main);
        ConnectSetupWindows(*main);
        ConnectDatalogWindows(*main);
    }
    void TearDown() override
    {
        UnloadJoyWindow();
        CloseHelp();
        if (frmPreview* preview = windows.Preview())
            preview->Unload();
        Flush();
        App().Joystick = nullptr;
        MainWindowFixture::TearDown();
        Flush();
    }

    // Runs pending events, deferred deletions included.
    static void Flush()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    ShellPresenter shell;
    std::unique_ptr<RecordingControl> pb;  // made afresh for each test
    KeyTracker tracker;
};
