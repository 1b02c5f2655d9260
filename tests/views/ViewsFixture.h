#pragma once
// A fresh project state for the map, explorer and definitions tests: a
// recording presenter, recording shell requests and notifier signals, a temporary data folder,
// and small builders for tasks, subs and commands.
#include "support/FakePresenter.h"
#include "support/FakeWindows.h"
#include "support/PrintTexts.h"
#include "model/AppState.h"
#include "model/Grid.h"
#include "shell/ModalRunner.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class ViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        App().Presenter = &presenter;
        windows.Install();
        App().ModalRunner = &runner;
        App().DataFolder = folder.path();
        App().ProgramFolder = folder.path();
        App().SetProjectName(QStringLiteral("Demo"));
    }
    void TearDown() override { ResetApp(); }

    static std::shared_ptr<clsCommand> Cmd(const QString& key, int x, int y, const QString& cap0 = QString(),
                                           const QString& cap1 = QString())
    {
        auto c = std::make_shared<clsCommand>();
        c->SetKeyText(key);
        c->x = Integer(x);
        c->y = Integer(y);
        c->setPicCaption(0, cap0.isEmpty() ? key : cap0);
        c->setPicCaption(1, cap1);
        return c;
    }
    // Puts a command into a grid at its own cell and returns it.
    static std::shared_ptr<clsCommand> Put(CommandCollection& grid, std::shared_ptr<clsCommand> c)
    {
        grid.Add(c, ColKey(c->x, c->y));
        return c;
    }
    static std::shared_ptr<clsCommand> PutBody(const std::shared_ptr<clsCommand>& block,
                                               std::shared_ptr<clsCommand> c)
    {
        if (!block->Commands)
            block->Commands = std::make_shared<CommandCollection>();
        return Put(*block->Commands, std::move(c));
    }
    static TaskPtr AddTaskNamed(const QString& name) { return AddModuleNamed<clsTask>(App().TaskList(), name, 1); }
    static SubPtr AddSubNamed(const QString& name) { return AddModuleNamed<clsSub>(App().SubList(), name, 5); }
    // A task (type 1) or sub (5) numbered after the last one of its list.
    template <class M>
    static std::shared_ptr<M> AddModuleNamed(const Collection<std::shared_ptr<M>>& list, const QString& name,
                                             int type)
    {
        auto m = std::make_shared<M>();
        m->Name = name;
        m->ModulType = type;
        m->mNumber = Integer(list.Count() + 1);
        App().AddModule(m);
        return m;
    }

    FakePresenter presenter;
    FakeWindows windows;
    ScriptedRunner runner;
    QTemporaryDir folder;
};
