// The project folder as the program reads it: the project file, its task files
// and the subs it names. Whatever the bytes, opening must either succeed or be
// refused; a project that opens must compile (or fail to) and go down to the
// virtual brick without harm, and once saved, opening the saved files and
// saving again must give the same bytes, so nothing is lost on the way.
#include "FuzzFolder.h"

#include "compiler/ModuleCompile.h"
#include "compiler/ProjectCompile.h"
#include "link/PortSelector.h"
#include "model/AppState.h"
#include "model/NamedValues.h"
#include "model/ProjectFile.h"
#include "model/VbError.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Keeps the messages the program shows, to tell what went wrong in a finding.
class KeptMessages : public IMessagePresenter {
public:
    int MsgBox(const QString& text, int, const QString&) override
    {
        shown.append(text);
        return 1;  // OK
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return QString(); }
    QStringList shown;
};
KeptMessages gMessages;
FuzzFolder* gFolder = nullptr;

[[noreturn]] void fault(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    for (const QString& m : gMessages.shown)
        std::fprintf(stderr, "  shown: %s\n", qPrintable(m));
    if (gFolder)
        for (const auto& [name, bytes] : gFolder->snapshot())
            std::fprintf(stderr, "--- %s\n%s\n", qPrintable(name), bytes.constData());
    std::abort();
}

// A text holding a double quote can't be stored: the format escapes nothing,
// so such a text does not survive a save and a read, and two names that
// differ only after their quotes would meet. A project that holds one (read
// from a broken file) is not held to the round trip.
bool quoted(const QString& s) { return s.contains(QLatin1Char('"')); }
bool quoted(const Variant& v) { return v.isText() && quoted(v.toString()); }

bool gridHoldsQuote(const CommandCollection* grid, int depth = 0)
{
    if (!grid || depth > 1100)
        return false;
    for (const auto& e : *grid) {
        const clsCommand* c = e.item.get();
        if (!c)
            continue;
        if (quoted(c->KeyText()) || quoted(c->MotorList) || quoted(c->PicCaption(0)) || quoted(c->PicCaption(1)) ||
            quoted(c->Param1Source) || quoted(c->Param1Value) || quoted(c->Param2Source) ||
            quoted(c->Param2Value) || quoted(c->Speed) || quoted(c->Time) ||
            gridHoldsQuote(c->Commands.get(), depth + 1))
            return true;
    }
    return false;
}

bool projectHoldsQuote()
{
    AppState& app = App();
    for (const auto& e : app.TaskList())
        if (quoted(e.item->Name) || quoted(e.item->mTitle) || gridHoldsQuote(e.item->Commands().get()))
            return true;
    for (const auto& e : app.SubList())
        if (quoted(e.item->Name) || quoted(e.item->mTitle) || gridHoldsQuote(e.item->Commands().get()))
            return true;
    for (const auto* list : {&app.ObjectList(), &app.VariableDefs()})
        for (const auto& e : *list)
            if (quoted(e.item->Name))
                return true;
    return false;
}

bool openFolder(const QString& folder, const QString& project)
{
    ResetApp();
    AppState& app = App();
    gMessages.shown.clear();
    app.Presenter = &gMessages;
    app.DataFolder = folder;
    FillNameTables();
    app.SetProjectName(project);
    app.ProjectAction = 1;
    return OpenProject();
}

void compileAndSend()
{
    CompileProject(App());
    // The program's virtual brick: the modules are put into brick code and
    // sent down as to a brick behind a tower.
    PortSelector brick(App(), [] { return qint64(0); });
    brick.setComPortNo(PortSelector::VirtualBrickPort);
    App().Ports = &brick;
    // As the program's download does: the set-up's failures reach its caller,
    // which shows them; the modules show their own.
    try {
        bool ok = DownLoad(App(), App().RcxSetup(), 1);
        for (const auto& e : App().TaskList())
            ok = ok && DownLoad(App(), *e.item);
        for (const auto& e : App().SubList())
            ok = ok && DownLoad(App(), *e.item);
    } catch (const VbError&) {
    }
    App().Ports = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzFolder folder;
    gFolder = &folder;
    const QString project = folder.fill(SplitFuzzInput(reinterpret_cast<const char*>(data), size));
    if (project.isEmpty())
        return 0;
    if (!openFolder(folder.path(), project)) {
        ResetApp();
        return 0;
    }
    compileAndSend();
    gMessages.shown.clear();
    if (projectHoldsQuote()) {
        ResetApp();
        return 0;
    }

    if (!SaveProject()) {
        ResetApp();
        return 0;
    }
    // Saved once, the project must open again and save to the same bytes.
    const auto first = folder.snapshot();
    if (!openFolder(folder.path(), project))
        fault("a project saved by the program did not open again");
    if (!SaveProject())
        fault("a project saved by the program, opened again, did not save");
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
