#pragma once
// Builds commands, grids and projects in code for the compiler tests, and the
// fixture that puts the fakes in place.
#include "support/FakePresenter.h"
#include "support/FakeWindows.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingControl.h"

#include "model/AppState.h"
#include "model/Grid.h"
#include "model/NamedValues.h"

#include <gtest/gtest.h>

#include <QFile>

#include <memory>
#include <vector>

// One command as the editor leaves it: unset operands are -1.
class Cmd {
public:
    explicit Cmd(const char* key) : c(std::make_shared<clsCommand>())
    {
        c->SetKeyText(QString::fromLatin1(key));
        c->Op = QString::fromLatin1(key).startsWith(QLatin1Char('L')) ? -1 : 0;
        c->Param1Source = -1;
        c->Param1Value = -1;
        c->Param2Source = -1;
        c->Param2Value = -1;
        if (key[0] == 'L' && (QByteArray(key) == "L_IF" || QByteArray(key) == "L_WHILE" ||
                              QByteArray(key) == "L_LOOP"))
            c->Commands = std::make_shared<CommandCollection>();
    }
    Cmd& motors(const char* list) { c->MotorList = QString::fromLatin1(list); return *this; }
    Cmd& op(int v) { c->Op = Integer(v); return *this; }
    Cmd& p1(int source, const Variant& value) { c->Param1Source = source; c->Param1Value = value; return *this; }
    Cmd& p2(int source, const Variant& value) { c->Param2Source = source; c->Param2Value = value; return *this; }
    Cmd& time(const Variant& unit) { c->Time = unit; return *this; }
    Cmd& speed(const Variant& s) { c->Speed = s; return *this; }
    Cmd& caption(const char* text) { c->setPicCaption(1, QString::fromLatin1(text)); return *this; }
    // Column 0 of the body (the THEN branch of an IF).
    Cmd& body(const std::vector<Cmd>& cmds) { place(*c->Commands, 0, cmds); return *this; }
    // Column 1 of the body (the ELSE branch of an IF).
    Cmd& orElse(const std::vector<Cmd>& cmds) { place(*c->Commands, 1, cmds); return *this; }
    Cmd& noBody() { c->Commands.reset(); return *this; }

    // Puts the commands into a grid column, from row 1 down.
    static void place(CommandCollection& grid, int column, const std::vector<Cmd>& cmds, int firstRow = 1)
    {
        int row = firstRow;
        for (const Cmd& cmd : cmds) {
            cmd.c->x = Integer(column);
            cmd.c->y = Integer(row);
            grid.Add(cmd.c, ColKey(column, row));
            ++row;
        }
    }

    std::shared_ptr<clsCommand> c;
};

inline ObjectPtr addObject(const char* name, int source, Long value, int number = 0, Long aux = 0)
{
    ObjectPtr o = AddNamedValue(QString::fromLatin1(name), Integer(source), value, Integer(number));
    o->AuxValue = aux;
    return o;
}

inline TaskPtr addTask(const char* name, int number, int loop = 0, int startOnStartup = 0)
{
    auto t = std::make_shared<clsTask>();
    t->Name = QString::fromLatin1(name);
    t->mNumber = Integer(number);
    t->mLoop = Integer(loop);
    t->StartOnStartup = Integer(startOnStartup);
    t->ModulType = 1;
    App().AddModule(t);
    return t;
}

inline SubPtr addSub(const char* name, int number, int loop = 0)
{
    auto s = std::make_shared<clsSub>();
    s->Name = QString::fromLatin1(name);
    s->mNumber = Integer(number);
    s->mLoop = Integer(loop);
    s->ModulType = 5;
    App().AddModule(s);
    return s;
}

inline void connectMotor(int port, int power = 7, int direction = 1, int startState = 1)
{
    App().EditMotor(port, [&](clsMotor& m) {
        m.setMotorType(1);
        m.Power = Integer(power);
        m.MotorDirection = direction;
        m.MotorStartState = startState;
    });
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

class CompilerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        AppState& app = App();
        app.Presenter = &presenter;
        windows.Install();
        app.Settings = &settings;
        app.Ports = &pb;
        FillNameTables();
        BuildRcxObjects();
        app.InitParams = std::make_unique<clsInitParam>(*App().Config, presenter);
    }
    void TearDown() override { ResetApp(); }

    FakePresenter presenter;
    FakeWindows windows;
    MemorySettingsStore settings;
    RecordingControl pb;
};
