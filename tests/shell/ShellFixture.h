#pragma once
// A fresh state with a recording presenter, a scripted dialog runner, the
// program's window services and a temporary program folder.
#include "support/FakePresenter.h"
#include "support/MemorySettingsStore.h"
#include "model/AppState.h"
#include "shell/ModalRunner.h"
#include "shell/ShellWindows.h"

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
        App().Windows = &windows;
        App().TwipsX = 15;
        App().TwipsY = 15;
        App().ProgramFolder = folder.path();
        App().DataFolder = folder.path();
        App().InitParams = std::make_unique<clsInitParam>(settings, presenter);
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
    ShellWindows windows;
    QTemporaryDir folder;
    int programEnded = 0;
};
