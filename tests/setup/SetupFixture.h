#pragma once
// A fresh RCX project with the fakes in place, and either the virtual brick
// (through the control's port 4) or the recording control as PB.
#include "support/FakePresenter.h"
#include "support/FakeWindows.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingControl.h"

#include "link/PortSelector.h"
#include "model/AppState.h"
#include "model/NamedValues.h"
#include "setup/core/SetupService.h"

#include <gtest/gtest.h>

#include <memory>

class SetupFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        AppState& a = App();
        a.Presenter = &presenter;
        a.Settings = &settings;
        windows.Install();
        a.InitParams = std::make_unique<clsInitParam>(*App().Config, presenter);
        FillNameTables();
        BuildRcxObjects();
        for (int i = 1; i <= 4; ++i)
            PollState().PollFilter[i] = 1;
        presenter.shown.clear();
    }
    void TearDown() override { ResetApp(); }

    // The virtual brick answers on port 4; its state is the software brick's.
    vbrick::SoftRcx& useBrick()
    {
        App().Ports = &control;
        // Chosen by the user, who has been told: no tower is looked for.
        settings.values.insert(QStringLiteral("com/virtualbrick"), QStringLiteral("1"));
        App().VirtualBrickTold = True;
        return control.virtualBrick();
    }
    // The recording control, the tower taken as checked.
    RecordingControl& useRecorder()
    {
        App().Ports = &pb;
        App().SetRcxInit(True);
        return pb;
    }
    const clsRcx& rcx() { return App().RcxSetup(); }
    ObjectPtr object(const QString& name)
    {
        return App().ObjectList().Exists(name) ? App().ObjectList().Item(name) : ObjectPtr();
    }

    FakePresenter presenter;
    MemorySettingsStore settings;
    FakeWindows windows;
    PortSelector control{App()};
    RecordingControl pb;
};
