#include "FakeWindows.h"

#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/VbError.h"

namespace {
QString num(double v) { return vb::numberText(v); }
}

// ---- FakeCommandWindow ----

void FakeCommandWindow::record(const QString& call)
{
    if (onCall)
        onCall(call);
    calls.append(call);
}

int FakeCommandWindow::count(const QString& name) const
{
    int n = 0;
    const QString prefix = name + QLatin1Char('(');
    for (const QString& c : calls)
        if (c.startsWith(prefix))
            ++n;
    return n;
}

void FakeCommandWindow::ZOrder()
{
    record(QStringLiteral("ZOrder()"));
    ++zOrderCount;
    if (mHost)
        mHost->activeDeskTop = this;
}

void FakeCommandWindow::setMyCommandBlock(CommandOwner* o)
{
    record(QStringLiteral("setMyCommandBlock()"));
    owner = o;
}

void FakeCommandWindow::Show()
{
    record(QStringLiteral("Show()"));
    shown = true;
    if (registersWithOwner && owner)
        owner->CommandWindow = this;
}

void FakeCommandWindow::setParentCaption(const QString& c)
{
    record(QStringLiteral("setParentCaption(%1)").arg(c));
    parentCaption = c;
}

void FakeCommandWindow::setFormType(Long kind)
{
    record(QStringLiteral("setFormType(%1)").arg(kind));
    formType = kind;
}

void FakeCommandWindow::setParentTaskName(const QString& name)
{
    record(QStringLiteral("setParentTaskName(%1)").arg(name));
    parentTaskName = name;
}

void FakeCommandWindow::setTaskLoop(Integer value)
{
    record(QStringLiteral("setTaskLoop(%1)").arg(value));
    taskLoop = value;
}

void FakeCommandWindow::setTaskLoopCaption(const QString& text)
{
    record(QStringLiteral("setTaskLoopCaption(%1)").arg(text));
    taskLoopCaption = text;
}

void FakeCommandWindow::setStartOnStartup(Integer value)
{
    record(QStringLiteral("setStartOnStartup(%1)").arg(value));
    startOnStartup = value;
}

void FakeCommandWindow::setStartOnStartupVisible(bool visible)
{
    record(QStringLiteral("setStartOnStartupVisible(%1)").arg(visible ? 1 : 0));
    startOnStartupVisible = visible;
}

void FakeCommandWindow::setTitleText(const QString& text)
{
    record(QStringLiteral("setTitleText(%1)").arg(text));
    titleText = text;
}

void FakeCommandWindow::setCaption(const QString& c)
{
    record(QStringLiteral("setCaption(%1)").arg(c));
    caption = c;
}

void FakeCommandWindow::setCursorPos(const QString& key)
{
    record(QStringLiteral("setCursorPos(%1)").arg(key));
    cursorPos = key;
}

void FakeCommandWindow::Close()
{
    record(QStringLiteral("Close()"));
    closed = true;
    shown = false;
    if (registersWithOwner && owner && owner->CommandWindow == this)
        owner->CommandWindow = nullptr;
    if (mHost && mHost->activeDeskTop == this)
        mHost->activeDeskTop = nullptr;
}

// ---- FakeWindows ----

FakeWindows::~FakeWindows()
{
    for (const QMetaObject::Connection& c : mConnections)
        QObject::disconnect(c);
}

void FakeWindows::Install()
{
    AppState& app = App();
    app.Shell = this;
    for (const QMetaObject::Connection& c : mConnections)
        QObject::disconnect(c);
    mConnections.clear();
    Notifier* n = app.Notifier.get();
    QObject* ctx = &mListener;
    auto on = [&](auto signal, auto slot) { mConnections.append(QObject::connect(n, signal, ctx, slot)); };
    on(&Notifier::ModuleAdded, [this](const QString& name, Long type) {
        log.append(QStringLiteral("ProjExpAddNewModul(%1,%2)").arg(name).arg(type));
        addedModules.append({name, type});
    });
    on(&Notifier::ProjectReplaced, [this] {
        log.append(QStringLiteral("ProjExpUnloadAndShow()"));
        ++projExpUnloadAndShowCount;
    });
    on(&Notifier::ModuleListChanged, [this] {
        log.append(QStringLiteral("MapUnload()"));
        ++mapUnloadCount;
    });
    on(&Notifier::ModuleChanged, [this](const QString& name) {
        log.append(QStringLiteral("MapUpdateNode(%1)").arg(name));
        mapUpdatedNodes.append(name);
    });
    on(&Notifier::SetupReplaced, [this] {
        log.append(QStringLiteral("SetupWindowUnload()"));
        ++setupWindowUnloadCount;
    });
    on(&Notifier::SetupRequested, [this] {
        log.append(QStringLiteral("SetupWindowShowModal()"));
        ++setupWindowShowModalCount;
    });
    on(&Notifier::ProjectTitleChanged, [this](const QString& caption) { captions.append(caption); });
    on(&Notifier::ProjectTypeChanged, [this] { ++projectTypeChangedCount; });
    on(&Notifier::MotorsChanged, [this] { ++motorTipsChangedCount; });
    on(&Notifier::StatusCleared, [this] {
        log.append(QStringLiteral("StatusClear()"));
        ++statusClearCount;
    });
    on(&Notifier::StatusPrinted, [this](const QString& text, int leftTwips, Long color) {
        log.append(QStringLiteral("StatusPrint(%1)").arg(text));
        statusPrints.append({text, leftTwips, color});
    });
    on(&Notifier::BrickDescribed, [this](const QString& text) { brickTexts.append(text); });
    // The bar's calls that a transfer's begin and end once were.
    auto bar = [this](const char* call, const char* what, double v) {
        log.append(QStringLiteral("ProgressSet%1(%2)").arg(QLatin1String(call), num(v)));
        progress.append({QLatin1String(what), v});
    };
    on(&Notifier::TransferBegun, [bar](Long size) {
        bar("Min", "min", 0);
        bar("Max", "max", size);
        bar("Visible", "visible", 1);
    });
    on(&Notifier::TransferAdvanced, [bar](Long v) { bar("Value", "value", v); });
    on(&Notifier::TransferEnded, [bar] { bar("Visible", "visible", 0); });
    on(&Notifier::PointerChanged, [this](int shape) {
        log.append(QStringLiteral("SetPointer(%1)").arg(shape));
        pointers.append(shape);
    });
    auto preview = [this](const QString& listing) {
        log.append(QStringLiteral("ShowPreview()"));
        previews.append(listing);
    };
    on(&Notifier::ListingMade, preview);
    on(&Notifier::ListingRequested, preview);
    on(&Notifier::ListingOutOfDate, [this] { log.append(QStringLiteral("PreviewUnload()")); });
}

QStringList FakeWindows::statusTexts() const
{
    QStringList t;
    for (const auto& p : statusPrints)
        t.append(p.text);
    return t;
}

ICommandWindow* FakeWindows::CreateDeskTop()
{
    log.append(QStringLiteral("CreateDeskTop()"));
    ++createDeskTopCount;
    if (!createWindows)
        return nullptr;
    windows.push_back(std::make_unique<FakeCommandWindow>(this));
    return windows.back().get();
}

void FakeWindows::DoEvents()
{
    log.append(QStringLiteral("DoEvents()"));
    ++doEventsCount;
    if (onDoEvents)
        onDoEvents();
}

OpenChoice FakeWindows::ShowOpenDialog(Long openMode, Long objToOpen)
{
    log.append(QStringLiteral("ShowOpenDialog(%1,%2)").arg(openMode).arg(objToOpen));
    openDialogCalls.append({openMode, objToOpen});
    if (onOpenDialog)
        return onOpenDialog(openMode, objToOpen);
    OpenChoice choice;
    if (openAnswers.isEmpty())
        return choice;
    const OpenDialogAnswer a = openAnswers.takeFirst();
    choice.canceled = a.canceled;
    if (a.canceled)
        return choice;
    choice.name = a.name;
    switch (objToOpen) {
    case 1: choice.projectAction = a.action; break;
    case 2: choice.taskAction = a.action; break;
    case 3: choice.subAction = a.action; break;
    default: break;
    }
    if (a.projectType != -1)
        App().ProjectType = a.projectType;
    return choice;
}

void FakeWindows::CloseProjectWindows()
{
    log.append(QStringLiteral("CloseProjectWindows()"));
    if (onCloseProjectWindows)
        onCloseProjectWindows();
}
