// Start-up to the open dialog: the built program is launched offscreen with a
// data folder and a settings folder of its own, and timed from the launch to
// the probe's line (app/StartupProbe.h), which it prints once the dialog is
// painted before it ends. Each launch of the program is followed by one of the
// floor, a Qt Widgets program that shows one empty dialog, so that both see
// the same machine; the counters give the medians and their ratio. The data
// folder starts empty (a first start) or with a number of copies of a test
// project, which the dialog lists.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Launch {
    double wallMs = 0;     // from posix_spawn to the probe's line
    double insideMs = 0;   // the probe's own steady-clock figure
    std::string title;     // the window it saw first
};

// The environment of this process with the probe's and the folders' settings on top.
std::vector<std::string> probeEnvironment(const QString& folder)
{
    const std::vector<std::string> set = {
        "QT_QPA_PLATFORM=offscreen",
        "QUILLOMAT_STARTUP_PROBE=1",
        "QUILLOMAT_DATA=" + QDir(folder).filePath(QStringLiteral("data")).toStdString(),
        "XDG_CONFIG_HOME=" + QDir(folder).filePath(QStringLiteral("config")).toStdString(),
        "XDG_RUNTIME_DIR=" + folder.toStdString(),
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('=') + 1);
        if (std::none_of(set.begin(), set.end(), [&](const std::string& s) { return s.rfind(name, 0) == 0; }))
            env.push_back(entry);
    }
    env.insert(env.end(), set.begin(), set.end());
    return env;
}

// Runs the program to its probe's line; nothing when it ends without one.
std::optional<Launch> launch(const char* program, std::vector<std::string>& env)
{
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    std::optional<double> wallMs;
    char buffer[512];
    ssize_t n = 0;
    while (spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, size_t(n));
        if (!wallMs && text.find('\n') != std::string::npos)
            wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    close(out[0]);
    int status = 0;
    if (spawned == 0)
        waitpid(pid, &status, 0);
    if (spawned != 0 || !wallMs || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;

    Launch l;
    l.wallMs = *wallMs;
    const auto open = text.find('"');
    const auto close = text.find('"', open + 1);
    if (open != std::string::npos && close != std::string::npos) {
        l.title = text.substr(open + 1, close - open - 1);
        l.insideMs = std::strtod(text.c_str() + close + 1 + std::string(" painted").size(), nullptr);
    }
    return l;
}

// Copies of the test project Robot in the data folder's projects, Robot1 ... RobotN.
bool addProjects(const QString& folder, int count)
{
    const QDir source(QStringLiteral(QM_SOURCE_DIR "/tests/data/files/Projects/Robot.dir"));
    for (int i = 1; i <= count; ++i) {
        const QString name = QStringLiteral("Robot%1").arg(i);
        const QString target = QDir(folder).filePath(QStringLiteral("data/Projects/") + name + QStringLiteral(".dir"));
        if (!QDir().mkpath(target))
            return false;
        for (const QString& file : source.entryList(QDir::Files)) {
            const QString copy = file == QStringLiteral("Robot.qmd") ? name + QStringLiteral(".qmd") : file;
            if (!QFile::copy(source.filePath(file), QDir(target).filePath(copy)))
                return false;
        }
    }
    return true;
}

double median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

void BM_StartupToOpenDialog(benchmark::State& state)
{
    QTemporaryDir folder;
    if (!addProjects(folder.path(), int(state.range(0)))) {
        state.SkipWithError("the test project could not be copied");
        return;
    }
    auto env = probeEnvironment(folder.path());
    // The first launch makes the folders; it is not counted.
    for (const char* program : {QM_PROGRAM_PATH, QM_STARTUP_FLOOR_PATH}) {
        if (!launch(program, env)) {
            state.SkipWithError("the program ended without showing a window");
            return;
        }
    }
    std::vector<double> wall, inside, floor;
    for (auto _ : state) {
        const auto program = launch(QM_PROGRAM_PATH, env);
        const auto bare = launch(QM_STARTUP_FLOOR_PATH, env);
        if (!program || !bare || program->title != "Quillo Mat: Open") {
            state.SkipWithError("the first window was not the open dialog");
            return;
        }
        state.SetIterationTime(program->wallMs * 1e-3);
        wall.push_back(program->wallMs);
        inside.push_back(program->insideMs);
        floor.push_back(bare->wallMs);
    }
    state.counters["median_ms"] = median(wall);
    state.counters["in_program_ms"] = median(inside);
    state.counters["floor_ms"] = median(floor);
    state.counters["x_floor"] = median(wall) / median(floor);
    // The goal for start-up to the open dialog, offscreen.
    state.counters["limit_ms"] = 80;
}

}  // namespace

BENCHMARK(BM_StartupToOpenDialog)
    ->ArgName("projects")
    ->Arg(0)
    ->Arg(40)
    ->UseManualTime()
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);
