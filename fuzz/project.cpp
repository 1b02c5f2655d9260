// The project folder as the program reads it: the project file, its task files
// and the subs it names. Whatever the bytes, opening must either succeed or be
// refused; a project that opens must compile (or fail to) and go down to the
// virtual brick without harm, and once saved, opening the saved files and
// saving again must give the same bytes, so nothing is lost on the way.
#include "FuzzFolder.h"

#include "compiler/ModuleCompile.h"
#include "compiler/ProjectCompile.h"
#include "link/VirtualBrick.h"
#include "model/AppState.h"
#include "model/NamedValues.h"
#include "model/ProjectFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

bool openFolder(const QString& folder, const QString& project)
{
    ResetApp();
    AppState& app = App();
    app.DataFolder = folder;
    FillNameTables();
    app.RcxSetup->ProjectName = project;
    app.ProjectAction = 1;
    return OpenProject();
}

void compileAndSend()
{
    CompileProject();
    VirtualBrick brick([] { return qint64(0); });
    App().PB = &brick;
    DownLoad(*App().RcxSetup, 1);
    for (const auto& e : App().TaskList)
        DownLoad(*e.item);
    for (const auto& e : App().SubList)
        DownLoad(*e.item);
    App().PB = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzFolder folder;
    const QString project = folder.fill(SplitFuzzInput(reinterpret_cast<const char*>(data), size));
    if (project.isEmpty())
        return 0;
    if (!openFolder(folder.path(), project)) {
        ResetApp();
        return 0;
    }
    compileAndSend();

    if (!SaveProject()) {
        ResetApp();
        return 0;
    }
    // The first save may still drop what the format can't hold (a double
    // quote ends a text, whatever follows it is lost); from the second on,
    // what is saved must read back as it was.
    if (!openFolder(folder.path(), project) || !SaveProject()) {
        std::fprintf(stderr, "a project saved by the program did not open and save again\n");
        std::abort();
    }
    const auto first = folder.snapshot();
    if (!openFolder(folder.path(), project) || !SaveProject()) {
        std::fprintf(stderr, "a project saved by the program did not open and save again\n");
        std::abort();
    }
    const auto second = folder.snapshot();
    if (second != first) {
        std::fprintf(stderr, "saving a reopened project changed its files\n");
        for (size_t i = 0; i < std::max(first.size(), second.size()); ++i) {
            const auto* a = i < first.size() ? &first[i] : nullptr;
            const auto* b = i < second.size() ? &second[i] : nullptr;
            if (a && b && *a == *b)
                continue;
            std::fprintf(stderr, "--- first save: %s\n%s\n--- second save: %s\n%s\n",
                         a ? qPrintable(a->first) : "(none)", a ? a->second.constData() : "",
                         b ? qPrintable(b->first) : "(none)", b ? b->second.constData() : "");
            break;
        }
        std::abort();
    }
    ResetApp();
    return 0;
}
