#pragma once
// A fresh state with a recording presenter, a scripted dialog runner, the
// shell's requests and a temporary program folder.
#include "support/FakePresenter.h"
#include "support/MemorySettingsStore.h"
#include "model/AppState.h"
#include "model/Twips.h"
#include "shell/MainWindow.h"
#include "shell/ModalRunner.h"
#include "shell/ShellRequests.h"

#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        App().Presenter = &presenter;
        App().Settings = &settings;
        App().ModalRunner = &runner;
        windows.Install();
        SetPixelTwips(15, 15);
        App().ProgramFolder = folder.path();
        App().DataFolder = folder.path();
        App().InitParams = std::make_unique<clsInitParam>(*App().Config, presenter);
        setEndProgramHandler([this](int) { ++programEnded; });
    }
    void TearDown() override
    {
        setEndProgramHandler({});
        ResetApp();
    }

    FakePresenter presenter;
    MemorySettingsStore settings;
    ScriptedRunner runner;
    ShellRequests windows;
    QTemporaryDir folder;
    int programEnded = 0;
};

// The main window on that state: its pop-up menus are recorded by name, and
// opening and saving a project are counted and answer as told.
class MainWindowFixture : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        main = std::make_unique<mdiMain>();
        windows.setMainWindow(main.get());
        main->PopupMenu = [this](QMenu* m) { popups.append(m->objectName()); };
        main->Ops.OpenProject = [this] { ++opens; return openResult; };
        main->Ops.SaveProject = [this] { ++saves; return saveResult; };
    }
    void TearDown() override
    {
        windows.setMainWindow(nullptr);
        main.reset();
        ShellFixture::TearDown();
    }

    std::unique_ptr<mdiMain> main;
    QStringList popups;
    int opens = 0;
    int saves = 0;
    bool openResult = true;
    bool saveResult = true;
};
