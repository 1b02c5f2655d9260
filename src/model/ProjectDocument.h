#pragma once
// The open project as a document: its tasks and subs, its named values, its
// set-up and its type, and the listing of its last compile. They are read
// through the functions that carry the system's names (TaskList(), SubList(),
// ObjectList(), VariableDefs(), RcxSetup(), ProjectType()) and changed only
// through the functions below, each of which tells the notifier what changed,
// with it (model/Notifier.h). Windows connect to the notifier and decide.
//
// A module's own members (its grid, its title and flags) are changed by its
// editor window, which tells each change through MarkModuleDirty
// (model/ModuleManagement.h); the changes of one user action, made inside an
// EditBatch, are told once.
//
//   App().AddModule(task);                  // ModuleAdded(*task, ModuleKind::Task)
//   App().EditMotor(0, [](clsMotor& m) { m.Purpose = "Left"; });   // SetupChanged()
//   for (const auto& e : App().TaskList()) ...
#include "model/Collection.h"
#include "model/Module.h"
#include "model/NamedValue.h"
#include "model/ProjectType.h"
#include "model/RcxSetup.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class Notifier;
enum class CompileFor;

// What a project is made of as its files are read (model/ProjectFile.h),
// before it takes the open project's place: its lists, its ports and slot, its
// type. The motors and sensors are the set-up's own objects once it does.
struct ProjectContent {
    Collection<TaskPtr> TaskList;
    Collection<SubPtr> SubList;
    Collection<ObjectPtr> ObjectList;
    Collection<ObjectPtr> VariableDefs;
    std::array<MotorPtr, 3> Motors;
    std::array<SensorPtr, 3> Sensors;
    Integer ProgramNumber = 0;
    ::ProjectType ProjectType = ::ProjectType::Rcx;
};

class ProjectDocument {
public:
    ProjectDocument();
    ~ProjectDocument();
    ProjectDocument(const ProjectDocument&) = delete;
    ProjectDocument& operator=(const ProjectDocument&) = delete;

    // What the model tells the windows; never null, fresh with every ResetApp().
    const std::unique_ptr<::Notifier> Notifier;

    // ---- reading
    const Collection<TaskPtr>& TaskList() const { return mTasks; }
    const Collection<SubPtr>& SubList() const { return mSubs; }
    const Collection<ObjectPtr>& ObjectList() const { return mObjects; }
    const Collection<ObjectPtr>& VariableDefs() const { return mVariableDefs; }
    const clsRcx& RcxSetup() const { return mRcx; }
    ::ProjectType ProjectType() const { return mType; }
    // The listing of the last compile of an RCX project, which PREVIEW shows
    // (a compile's own working state is its own: compiler/CompileContext.h).
    const QString& LastListing() const { return mListing; }

    // ---- the whole project
    // The content takes the open project's place, which goes with the listing
    // kept; the set-up's name stays (it is the project's, OpenProject's
    // choice), so does the tower's state. Tells, in this order:
    // ListingDropped, SetupReplaced, ProjectRenamed, ProjectReplaced,
    // ProjectTypeChanged, SetupChanged, then ModuleAdded for each task, then
    // each sub.
    void ReplaceProject(ProjectContent content);
    // The project the open/new dialog chose takes its place at once as the
    // one to open: its name, and a new project's type and changed flag (the
    // dialog for a new project's first task reads them). Nothing is told of
    // it: the open tells its name and type once the project is open, and what
    // was before comes back through TakeOpenChoice when it is not.
    void TakeOpenChoice(const QString& name, ::ProjectType type, Boolean dirty);
    // The project's name (ProjectRenamed) and type (ProjectTypeChanged).
    void SetProjectName(const QString& name);
    void SetProjectType(::ProjectType type);

    // ---- modules
    // A task or sub joins its list under its name (failure 457 when a module
    // of the list has it, letter case aside): ModuleAdded.
    void AddModule(const TaskPtr& task);
    void AddModule(const SubPtr& sub);
    // Takes the task or sub of that name out of its list (failure 5 when
    // there is none), the numbers above its own one lower each; the project
    // counts as changed. ModuleRemoved with the module, which is out of
    // its list by then.
    void RemoveTask(const QString& name);
    void RemoveSub(const QString& name);
    // Marks the first task of exactly that name changed, else the first such
    // sub, and tells ModuleChanged; an unknown name changes nothing.
    void MarkModuleChanged(const QString& name, ModulePart part);

    // While one lives, the changes marked are told as it ends, once for each
    // module and part, in the order first marked; batches inside it count as
    // part of it.
    class EditBatch {
    public:
        explicit EditBatch(ProjectDocument& document);
        ~EditBatch();
        EditBatch(const EditBatch&) = delete;
        EditBatch& operator=(const EditBatch&) = delete;

    private:
        ProjectDocument& mDocument;
    };

    // ---- the set-up
    // The port's motor or sensor (0..2; another fails with 9) as the edit
    // leaves it: SetupChanged. The program slot 0..4 likewise.
    void EditMotor(int port, const std::function<void(clsMotor&)>& edit);
    void EditSensor(int port, const std::function<void(clsSensor&)>& edit);
    void SetProgramNumber(Integer slot);
    // Whether the project file has changes to save (IsDirty(1)); told nowhere.
    void SetSetupDirty(Boolean dirty);
    // Whether the tower has answered since the port was chosen (InitRCX).
    void SetRcxInit(Boolean init);

    // ---- named values: NamedValuesChanged
    // Adds under the key (457 when it is there); removes the one of the key (5
    // when there is none).
    void AddObject(const ObjectPtr& object, const QString& key);
    void RemoveObject(const QString& key);
    void AddVariableDef(const ObjectPtr& def, const QString& key);
    void RemoveVariableDef(const QString& key);

    // ---- the listing
    // A compile's listing kept for PREVIEW (ListingMade); the listing kept
    // gone (ListingDropped).
    void KeepListing(const QString& listing, CompileFor purpose);
    void DropListing();

private:
    template <class Module>
    void removeModule(Collection<std::shared_ptr<Module>>& list, const QString& name, Long kind);
    void tellChanged(const std::shared_ptr<clsModule>& module, Long kind, ModulePart part);
    void endBatch();

    Collection<TaskPtr> mTasks;
    Collection<SubPtr> mSubs;
    Collection<ObjectPtr> mObjects;
    Collection<ObjectPtr> mVariableDefs;
    clsRcx mRcx;
    ::ProjectType mType = ::ProjectType::Rcx;
    QString mListing;

    struct PendingChange {
        std::shared_ptr<clsModule> module;
        Long kind;
        ModulePart part;
    };
    int mBatchDepth = 0;
    std::vector<PendingChange> mPending;
};
