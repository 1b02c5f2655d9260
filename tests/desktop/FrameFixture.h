#pragma once
// A project for the parameter frame tests: the built-in named values of an
// RCX project, motors on A and C, a few user values, two tasks and a sub;
// and a way to compile one command into its listing lines.
#include "../compiler/CompilerFixture.h"

#include "compiler/CompileContext.h"
#include "compiler/Translate.h"
#include "desktop/core/FrameControls.h"
#include "support/Failures.h"

class FrameTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        names = StandardSourceNames();
        connectMotor(0);
        connectMotor(2);
        App().EditMotor(0, [&](clsMotor& m) { m.Purpose = QStringLiteral("Left wheel"); });
        App().EditMotor(2, [&](clsMotor& m) { m.Purpose = QStringLiteral("Right wheel"); });
        addObject("Count", 0, 3, 4);
        addObject("Delay", 0, 0, 5);
        addObject("Limit", 100, 50);
        addObject("Nine", 100, 9);
        addObject("Big", 100, 400);
        addObject("Minus", 100, -2);
        addObject("Eye", 9, 0, 1);
        addObject("Band", 220, 10, 0, 20);
        addTask("Main", 1);
        addTask("Second", 2);
        addSub("Blink", 1);
    }

    // The listing lines of a task holding only this command (the task's
    // header and end lines left out).
    QStringList listingOf(const std::shared_ptr<clsCommand>& c)
    {
        CommandCollection grid;
        c->x = 0;
        c->y = 1;
        grid.Add(c, ColKey(0, 1));
        CompileContext compile(App());
        compiled = DLCommands(App(), &grid, ModuleKind::Task, CompileMode::Listing, 0, QStringLiteral("Main"), 0,
                              &compile);
        compileError = compile.CompileError;
        QStringList lines = compile.ListingText.split(QStringLiteral("\r\n"));
        lines.removeAll(QString());
        return lines;
    }

    SourceNameTable names;
    bool compiled = false;
    QString compileError;  // the last listing's check failure
};
