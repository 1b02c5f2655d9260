#include "FakeWindows.h"

#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/VbError.h"

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
    auto event = [this](const QString& text) { log.append(text); };

    // The project.
    on(&Notifier::ModuleAdded, [this, event](const clsModule& module, Long kind) {
        event(QStringLiteral("ModuleAdded(%1,%2)").arg(module.Name).arg(kind));
        addedModules.append({module.Name, kind});
    });
    on(&Notifier::ModuleRemoved, [this, event](const clsModule& module, Long kind) {
        event(QStringLiteral("ModuleRemoved(%1,%2)").arg(module.Name).arg(kind));
        removedModules.append({module.Name, kind});
    });
    on(&Notifier::ModuleChanged, [event](const clsModule& module, Long kind, ModulePart part) {
        const char* what = part == ModulePart::Commands ? "commands" : "heading";
        event(QStringLiteral("ModuleChanged(%1,%2,%3)").arg(module.Name).arg(kind).arg(QLatin1String(what)));
    });
    on(&Notifier::ProjectReplaced, [this, event] {
        event(QStringLiteral("ProjectReplaced()"));
        ++projectReplacedCount;
    });
    on(&Notifier::ProjectRenamed, [event](const QString& name) {
        event(QStringLiteral("ProjectRenamed(%1)").arg(name));
    });
    on(&Notifier::ProjectTypeChanged, [event](ProjectType type) {
        event(QStringLiteral("ProjectTypeChanged(%1)").arg(ProjectTypeNumber(type)));
    });
    on(&Notifier::SetupReplaced, [this, event] {
        event(QStringLiteral("SetupReplaced()"));
        ++setupReplacedCount;
    });
    on(&Notifier::SetupChanged, [this, event] {
        event(QStringLiteral("SetupChanged()"));
        ++setupChangedCount;
    });
    on(&Notifier::ListingMade, [event](const QString&, CompileFor purpose) {
        const char* what = purpose == CompileFor::Listing ? "listing" : purpose == CompileFor::Download ? "download" : "run";
        event(QStringLiteral("ListingMade(%1)").arg(QLatin1String(what)));
    });
    on(&Notifier::ListingDropped, [event] {
        event(QStringLiteral("ListingDropped()"));
    });

    // What one window asks of another.
    on(&Notifier::SetupRequested, [this, event] {
        event(QStringLiteral("SetupRequested()"));
        ++setupRequestedCount;
    });
    on(&Notifier::ListingRequested, [event](const QString&) {
        event(QStringLiteral("ListingRequested()"));
    });
    on(&Notifier::MapUpdateRequested, [event](const clsModule& module, Long kind) {
        event(QStringLiteral("MapUpdateRequested(%1,%2)").arg(module.Name).arg(kind));
    });

    // The status strip, the transfers and the pointer.
    on(&Notifier::StatusCleared, [this, event] {
        event(QStringLiteral("StatusCleared()"));
        ++statusClearedCount;
    });
    on(&Notifier::StatusPrinted, [this, event](const QString& text, int leftTwips, Long color) {
        event(QStringLiteral("StatusPrinted(%1)").arg(text));
        statusPrints.append({text, leftTwips, color});
    });
    on(&Notifier::BrickDescribed, [this](const QString& text) { brickTexts.append(text); });
    on(&Notifier::TransferBegun, [this, event](Long size) {
        event(QStringLiteral("TransferBegun(%1)").arg(size));
        transfers.append({QStringLiteral("begun"), double(size)});
    });
    on(&Notifier::TransferAdvanced, [this, event](Long v) {
        event(QStringLiteral("TransferAdvanced(%1)").arg(v));
        transfers.append({QStringLiteral("advanced"), double(v)});
    });
    on(&Notifier::TransferEnded, [this, event] {
        event(QStringLiteral("TransferEnded()"));
        transfers.append({QStringLiteral("ended"), 0});
    });
    on(&Notifier::PointerChanged, [this, event](int shape) {
        event(QStringLiteral("PointerChanged(%1)").arg(shape));
        pointers.append(shape);
    });
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
    choice.projectType = a.projectType;
    return choice;
}

void FakeWindows::CloseProjectWindows()
{
    log.append(QStringLiteral("CloseProjectWindows()"));
    if (onCloseProjectWindows)
        onCloseProjectWindows();
}
