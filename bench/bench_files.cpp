// Opening and saving a full project, unchanged and changed: 9 tasks and 8 subs of 80 commands each,
// with IF, WHILE and LOOP bodies nested three deep, in a temporary folder.
#include "model/AppState.h"
#include "model/Grid.h"
#include "model/ProjectFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "Floor.h"

#include <QSaveFile>

#include <benchmark/benchmark.h>

namespace {

constexpr int kCommandsPerModule = 80;

std::shared_ptr<clsCommand> makeCommand(const char* key, int x, int y, int n)
{
    auto co = std::make_shared<clsCommand>();
    co->SetKeyText(QString::fromLatin1(key));
    co->x = Integer(x);
    co->y = Integer(y);
    co->Op = Integer(n % 5);
    co->MotorList = QStringLiteral("02");
    co->Param1Source = 9;
    co->Param1Value = Variant(QStringLiteral("Light sensor  3"));
    co->Param2Source = 230;
    co->Param2Value = Variant(QStringLiteral("-5_%1").arg(n));
    co->setPicCaption(0, QStringLiteral("Command %1, caption").arg(n));
    co->setPicCaption(1, QStringLiteral("second line"));
    co->PicIndex = Integer(n);
    co->Speed = 7;
    co->Time = 1.5;
    return co;
}

// Fills a grid with up to `budget` commands, cell by cell; every third row
// holds a block whose body gets a share of the budget. Returns the number used.
int fillGrid(CommandCollection& grid, int budget, int depth, int& serial)
{
    static const char* const blocks[] = {"L_IF", "L_WHILE", "L_LOOP"};
    static const char* const plain[] = {"M_ON", "G_WAIT", "L_VAR", "A_REM", "G_SOUND"};
    int used = 0;
    for (int col = 0; col <= 1 && used < budget; ++col) {
        for (int row = 1; row <= 40 && used < budget; ++row) {
            const bool block = depth < 3 && row % 3 == 0 && budget - used > 2;
            const int n = serial++;
            auto co = makeCommand(block ? blocks[n % 3] : plain[n % 5], col, row, n);
            ++used;
            if (block) {
                co->Commands = std::make_shared<CommandCollection>();
                used += fillGrid(*co->Commands, std::min(8, budget - used), depth + 1, serial);
            }
            grid.Add(co, ColKey(col, row));
        }
    }
    return used;
}

void buildProject(const QString& folder)
{
    ResetApp();
    AppState& app = App();
    app.DataFolder = folder;
    app.SetProjectName(QStringLiteral("Bench"));
    app.ProjectAction = 2;
    app.SetProjectType(ProjectType::Rcx);
    for (int i = 0; i < 3; ++i) {
        app.EditMotor(i, [&](clsMotor& m) { m.setMotorType(1); });
        app.EditSensor(i, [&](clsSensor& s) { s.setSensorType(Long(i + 1)); });
    }
    for (int i = 0; i < 10; ++i) {
        auto o = std::make_shared<clsObject>();
        o->Name = QStringLiteral("Constant %1").arg(i);
        o->Source = 100;
        o->Value = i;
        app.AddObject(o, o->Name);
        auto v = std::make_shared<clsObject>();
        v->Name = QStringLiteral("Variable %1").arg(i);
        v->Number = Integer(i);
        v->Value = -i;
        app.AddObject(v, v->Name);
        app.AddVariableDef(std::make_shared<clsObject>(*v), v->Name);
    }
    int serial = 0;
    for (int t = 1; t <= 9; ++t) {
        auto task = std::make_shared<clsTask>();
        task->Name = QStringLiteral("Task %1").arg(t);
        task->mNumber = Integer(t);
        task->mTitle = QStringLiteral("Task number %1, benchmark").arg(t);
        task->ModulType = 1;
        fillGrid(*task->Commands(), kCommandsPerModule, 0, serial);
        app.AddModule(task);
    }
    for (int s = 1; s <= 8; ++s) {
        auto sub = std::make_shared<clsSub>();
        sub->Name = QStringLiteral("Sub %1").arg(s);
        sub->mNumber = Integer(s);
        sub->mTitle = QStringLiteral("Sub number %1").arg(s);
        sub->ModulType = 5;
        fillGrid(*sub->Commands(), kCommandsPerModule, 0, serial);
        app.AddModule(sub);
    }
}

std::vector<QString> filesBelow(const QString& folder)
{
    std::vector<QString> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.push_back(it.next());
    return files;
}

// The project built in the folder and saved there once, which makes the
// project's folder; false, with the benchmark skipped, when that save fails.
bool savedProject(benchmark::State& state, const QString& folder)
{
    buildProject(folder);
    if (SaveProject())
        return true;
    state.SkipWithError("the first save failed");
    return false;
}

// The bytes of the project's files per iteration, and as the floor every
// file of the project read with no logic.
void reportFilesAndReadFloor(benchmark::State& state, const QString& folder)
{
    const std::vector<QString> files = filesBelow(folder);
    qint64 bytes = 0;
    for (const QString& path : files)
        bytes += QFileInfo(path).size();
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["files_bytes"] = double(bytes);
    bench::Floor(state, [&] {
        for (const QString& path : files) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(f.readAll().data());
        }
    });
}

// Saving a project none of whose files change: each is compared, none written.
void BM_SaveProject(benchmark::State& state)
{
    QTemporaryDir tmp;
    if (!savedProject(state, tmp.path()))
        return;
    for (auto _ : state) {
        if (!SaveProject()) {
            state.SkipWithError("save failed");
            break;
        }
    }
    reportFilesAndReadFloor(state, tmp.path());
    ResetApp();
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

// Saving a project every file of which changes (a title of each module).
void BM_SaveChangedProject(benchmark::State& state)
{
    QTemporaryDir tmp;
    if (!savedProject(state, tmp.path()))
        return;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        App().SetProgramNumber(Integer(round % 5));
        for (const auto& e : App().TaskList())
            e.item->mTitle = QStringLiteral("Task round %1").arg(round);
        for (const auto& e : App().SubList())
            e.item->mTitle = QStringLiteral("Sub round %1").arg(round);
        state.ResumeTiming();
        if (!SaveProject()) {
            state.SkipWithError("save failed");
            break;
        }
    }
    // The floor: the same bytes written into each file, as atomically.
    std::vector<std::pair<QString, QByteArray>> files;
    for (const QString& path : filesBelow(tmp.path())) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files.emplace_back(path, f.readAll());
    }
    bench::Floor(state, [&] {
        for (const auto& [path, bytes] : files) {
            QSaveFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            f.commit();
        }
    });
    ResetApp();
}
BENCHMARK(BM_SaveChangedProject)->Unit(benchmark::kMillisecond);

void BM_OpenProject(benchmark::State& state)
{
    QTemporaryDir tmp;
    if (!savedProject(state, tmp.path()))
        return;
    App().ProjectAction = 1;
    for (auto _ : state) {
        if (!OpenProject()) {
            state.SkipWithError("open failed");
            break;
        }
    }
    if (App().TaskList().Count() != 9 || App().SubList().Count() != 8)
        state.SkipWithError("the project did not come back whole");
    reportFilesAndReadFloor(state, tmp.path());
    ResetApp();
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond);

}  // namespace
