// Compiling and downloading a full-sized project: 9 tasks and 8 subs, each
// grid filled with 80 commands, some of them blocks with nested bodies.
#include "compiler/ModuleCompile.h"
#include "compiler/ProjectCompile.h"
#include "model/AppState.h"
#include "model/Grid.h"
#include "model/NamedValues.h"

#include "Floor.h"
#include "BenchCommands.h"
#include "RecordingControl.h"

#include <QStringList>

#include <benchmark/benchmark.h>

namespace {

using bench::command;

// A plain command of the kind the row picks.
std::shared_ptr<clsCommand> simple(int column, int row)
{
    std::shared_ptr<clsCommand> c;
    switch (row % 6) {
    case 0:
        c = command("M_ON", column, row);
        c->MotorList = QStringLiteral("02");
        c->Param1Source = 2;
        c->Param1Value = 3;
        c->Time = QStringLiteral("Tenth");
        break;
    case 1:
        c = command("L_VAR", column, row);
        c->Op = 0;
        c->Param1Source = 0;
        c->Param1Value = QStringLiteral("Count");
        c->Param2Source = 9;
        c->Param2Value = QStringLiteral("Eye");
        break;
    case 2:
        c = command("L_DATALOG", column, row);
        c->Param1Source = 3;
        c->Param1Value = QStringLiteral("Motor speed C");
        break;
    case 3:
        c = command("G_SOUND", column, row);
        c->Speed = QStringLiteral("Beep");
        break;
    case 4:
        c = command("M_SETPWR", column, row);
        c->MotorList = QStringLiteral("0");
        c->Param2Source = 100;
        c->Param2Value = QStringLiteral("Limit");
        break;
    default:
        c = command("G_WAIT", column, row);
        c->Param1Source = 0;
        c->Param1Value = QStringLiteral("Count");
        c->Time = QStringLiteral("Hundredth");
        break;
    }
    return c;
}

// A range IF whose THEN column holds a WHILE with a body, and an ELSE column.
std::shared_ptr<clsCommand> block(int column, int row)
{
    auto c = command("L_IF", column, row);
    c->Op = 4;
    c->Param1Source = 9;
    c->Param1Value = QStringLiteral("Eye");
    c->Param2Source = 220;
    c->Param2Value = QStringLiteral("Band");
    c->Commands = std::make_shared<CommandCollection>();
    auto loop = command("L_WHILE", 0, 1);
    loop->Op = 1;
    loop->Param1Source = 1;
    loop->Param1Value = QStringLiteral("Timer 1");
    loop->Param2Source = 100;
    loop->Param2Value = QStringLiteral("Limit");
    loop->Commands = std::make_shared<CommandCollection>();
    for (int r = 1; r <= 4; ++r)
        loop->Commands->Add(simple(0, r), ColKey(0, r));
    c->Commands->Add(loop, ColKey(0, 1));
    for (int r = 2; r <= 4; ++r)
        c->Commands->Add(simple(0, r), ColKey(0, r));
    for (int r = 1; r <= 4; ++r)
        c->Commands->Add(simple(1, r), ColKey(1, r));
    return c;
}

void fillGrid(CommandCollection& grid)
{
    for (int column = 0; column <= 1; ++column)
        for (int row = 1; row <= 40; ++row)
            grid.Add(row % 10 == 0 ? block(column, row) : simple(column, row), ColKey(column, row));
}

void addObject(const char* name, int source, Long value, int number, Long aux = 0)
{
    AddNamedValue(QString::fromLatin1(name), Integer(source), value, Integer(number))->AuxValue = aux;
}

void buildProject()
{
    ResetApp();
    FillNameTables();
    BuildRcxObjects();
    AppState& app = App();
    for (int i = 0; i < 3; ++i)
        app.EditMotor(i, [&](clsMotor& m) { m.setMotorType(1); });
    addObject("Count", 0, 1, 2);
    addObject("Limit", 100, 5, 0);
    addObject("Band", 220, 10, 0, 20);
    addObject("Eye", 9, 0, 1);
    addObject("Motor speed C", 3, 7, 2);
    for (int i = 1; i <= 9; ++i) {
        auto t = std::make_shared<clsTask>();
        t->Name = QStringLiteral("Task %1").arg(i);
        t->mNumber = Integer(i);
        t->mLoop = Integer(i % 2);
        fillGrid(*t->Commands());
        app.AddModule(t);
    }
    for (int i = 1; i <= 8; ++i) {
        auto s = std::make_shared<clsSub>();
        s->Name = QStringLiteral("Sub %1").arg(i);
        s->mNumber = Integer(i);
        fillGrid(*s->Commands());
        app.AddModule(s);
    }
}

void BM_CompileProject(benchmark::State& state)
{
    buildProject();
    size_t bytes = 0;
    QString listing;
    for (auto _ : state) {
        const CompileResult compiled = CompileProject(App());
        if (!compiled)
            state.SkipWithError("compile failed");
        listing = compiled.ListingText;
        bytes = size_t(listing.size());
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["listing_chars"] = double(bytes);
    // The floor: the same listing written line by line into a text.
    const QStringList lines = listing.split(QStringLiteral("\r\n"));
    bench::Floor(state, [&] {
        QString out;
        for (const QString& l : lines) {
            out += l;
            out += QLatin1String("\r\n");
        }
        benchmark::DoNotOptimize(out.data());
    });
    ResetApp();
}
BENCHMARK(BM_CompileProject)->Unit(benchmark::kMillisecond);

// The same project sent module by module to the recording control, which
// writes every call down as its line of text.
void BM_DownloadProject(benchmark::State& state)
{
    buildProject();
    RecordingControl pb;
    App().Ports = &pb;
    for (auto _ : state) {
        pb.clearCalls();
        bool ok = DownLoad(App(), App().RcxSetup(), 1);
        for (const auto& e : App().TaskList())
            ok = ok && DownLoad(App(), *e.item);
        for (const auto& e : App().SubList())
            ok = ok && DownLoad(App(), *e.item);
        if (!ok)
            state.SkipWithError("download failed");
    }
    state.counters["modules"] = double(pb.count(QStringLiteral("BeginOfTask")) + pb.count(QStringLiteral("BeginOfSub")));
    state.counters["calls"] = double(pb.calls().size());
    // The floor: the control's record of the same operations copied in anew.
    const QStringList calls = pb.calls();
    bench::Floor(state, [&] {
        QStringList copy;
        for (const QString& call : calls)
            copy.append(QString(call.constData(), call.size()));
        benchmark::DoNotOptimize(copy.data());
    });
    App().Ports = nullptr;
    ResetApp();
}
BENCHMARK(BM_DownloadProject)->Unit(benchmark::kMillisecond);

}  // namespace
