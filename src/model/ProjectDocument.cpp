#include "model/ProjectDocument.h"

#include "model/Notifier.h"

#include <utility>

ProjectDocument::ProjectDocument() : Notifier(std::make_unique<::Notifier>()) {}

ProjectDocument::~ProjectDocument() = default;

// ---- the whole project

void ProjectDocument::ReplaceProject(ProjectContent content)
{
    mTasks = std::move(content.TaskList);
    mSubs = std::move(content.SubList);
    mObjects = std::move(content.ObjectList);
    mVariableDefs = std::move(content.VariableDefs);
    // A port always has its motor and its sensor, if only those of a fresh set-up.
    const clsRcx fresh;
    for (int port = 0; port <= 2; ++port) {
        MotorPtr& motor = content.Motors[size_t(port)];
        SensorPtr& sensor = content.Sensors[size_t(port)];
        mRcx.PortMotor(port) = motor ? std::move(motor) : std::make_shared<clsMotor>(fresh.PortMotor(port));
        mRcx.PortSensor(port) = sensor ? std::move(sensor) : std::make_shared<clsSensor>(fresh.PortSensor(port));
    }
    mRcx.ProgramNumber = content.ProgramNumber;
    mRcx.Dirty = False;
    mType = content.ProjectType;
    mListing.clear();

    // Nothing the windows showed of the project before stays: not its listing,
    // nor its set-up window, nor the explorer's modules.
    Q_EMIT Notifier->ListingDropped();
    Q_EMIT Notifier->SetupReplaced();
    Q_EMIT Notifier->ProjectRenamed(mRcx.ProjectName);
    Q_EMIT Notifier->ProjectReplaced();
    Q_EMIT Notifier->ProjectTypeChanged(mType);
    Q_EMIT Notifier->SetupChanged();
    for (const auto& e : mTasks)
        Q_EMIT Notifier->ModuleAdded(*e.item, ModuleKind::Task);
    for (const auto& e : mSubs)
        Q_EMIT Notifier->ModuleAdded(*e.item, ModuleKind::Sub);
}

void ProjectDocument::TakeOpenChoice(const QString& name, ::ProjectType type, Boolean dirty)
{
    mRcx.ProjectName = name;
    mType = type;
    mRcx.Dirty = dirty;
}

void ProjectDocument::SetProjectName(const QString& name)
{
    mRcx.ProjectName = name;
    Q_EMIT Notifier->ProjectRenamed(name);
}

void ProjectDocument::SetProjectType(::ProjectType type)
{
    mType = type;
    Q_EMIT Notifier->ProjectTypeChanged(type);
}

// ---- modules

void ProjectDocument::AddModule(const TaskPtr& task)
{
    mTasks.Add(task, task->Name);
    Q_EMIT Notifier->ModuleAdded(*task, ModuleKind::Task);
}

void ProjectDocument::AddModule(const SubPtr& sub)
{
    mSubs.Add(sub, sub->Name);
    Q_EMIT Notifier->ModuleAdded(*sub, ModuleKind::Sub);
}

template <class Module>
void ProjectDocument::removeModule(Collection<std::shared_ptr<Module>>& list, const QString& name, Long kind)
{
    const std::shared_ptr<Module> module = list.Item(name);
    const Integer number = module->mNumber;
    for (auto& e : list)
        if (e.item->mNumber > number)
            e.item->mNumber = Integer(e.item->mNumber - 1);
    list.Remove(name);
    mRcx.Dirty = True;
    Q_EMIT Notifier->ModuleRemoved(*module, kind);
}

void ProjectDocument::RemoveTask(const QString& name) { removeModule(mTasks, name, ModuleKind::Task); }

void ProjectDocument::RemoveSub(const QString& name) { removeModule(mSubs, name, ModuleKind::Sub); }

namespace {

// The first module of the list whose name is exactly the one given.
template <class List>
std::shared_ptr<clsModule> firstNamed(const List& list, const QString& name)
{
    for (const auto& e : list)
        if (e.item && e.item->Name == name)
            return e.item;
    return nullptr;
}

}  // namespace

void ProjectDocument::MarkModuleChanged(const QString& name, ModulePart part)
{
    if (const auto task = firstNamed(mTasks, name)) {
        task->Dirty = True;
        tellChanged(task, ModuleKind::Task, part);
    } else if (const auto sub = firstNamed(mSubs, name)) {
        sub->Dirty = True;
        tellChanged(sub, ModuleKind::Sub, part);
    }
}

void ProjectDocument::tellChanged(const std::shared_ptr<clsModule>& module, Long kind, ModulePart part)
{
    if (mBatchDepth == 0) {
        Q_EMIT Notifier->ModuleChanged(*module, kind, part);
        return;
    }
    for (const PendingChange& p : mPending)
        if (p.module == module && p.part == part)
            return;
    mPending.push_back({module, kind, part});
}

ProjectDocument::EditBatch::EditBatch(ProjectDocument& document) : mDocument(document)
{
    ++mDocument.mBatchDepth;
}

ProjectDocument::EditBatch::~EditBatch() { mDocument.endBatch(); }

void ProjectDocument::endBatch()
{
    if (--mBatchDepth > 0)
        return;
    // A slot may edit again: what it marks is told on its own.
    const std::vector<PendingChange> pending = std::exchange(mPending, {});
    for (const PendingChange& p : pending)
        Q_EMIT Notifier->ModuleChanged(*p.module, p.kind, p.part);
}

// ---- the set-up

void ProjectDocument::EditMotor(int port, const std::function<void(clsMotor&)>& edit)
{
    clsMotor& motor = *mRcx.PortMotor(port);
    clsMotor edited = motor;
    edit(edited);
    motor = std::move(edited);
    Q_EMIT Notifier->SetupChanged();
}

void ProjectDocument::EditSensor(int port, const std::function<void(clsSensor&)>& edit)
{
    clsSensor& sensor = *mRcx.PortSensor(port);
    clsSensor edited = sensor;
    edit(edited);
    sensor = std::move(edited);
    Q_EMIT Notifier->SetupChanged();
}

void ProjectDocument::SetProgramNumber(Integer slot)
{
    mRcx.ProgramNumber = slot;
    Q_EMIT Notifier->SetupChanged();
}

void ProjectDocument::SetSetupDirty(Boolean dirty) { mRcx.Dirty = dirty; }

void ProjectDocument::SetRcxInit(Boolean init) { mRcx.IsInit = init; }

// ---- named values

void ProjectDocument::AddObject(const ObjectPtr& object, const QString& key)
{
    mObjects.Add(object, key);
    Q_EMIT Notifier->NamedValuesChanged();
}

void ProjectDocument::RemoveObject(const QString& key)
{
    mObjects.Remove(key);
    Q_EMIT Notifier->NamedValuesChanged();
}

void ProjectDocument::AddVariableDef(const ObjectPtr& def, const QString& key)
{
    mVariableDefs.Add(def, key);
    Q_EMIT Notifier->NamedValuesChanged();
}

void ProjectDocument::RemoveVariableDef(const QString& key)
{
    mVariableDefs.Remove(key);
    Q_EMIT Notifier->NamedValuesChanged();
}

// ---- the listing

void ProjectDocument::KeepListing(const QString& listing, CompileFor purpose)
{
    mListing = listing;
    Q_EMIT Notifier->ListingMade(listing, purpose);
}

void ProjectDocument::DropListing()
{
    mListing.clear();
    Q_EMIT Notifier->ListingDropped();
}
