#pragma once
// Program modules: tasks and subs.
#include "model/Command.h"

// Module and window kinds.
namespace ModuleKind {
enum : Long { Task = 1, IfBody = 2, WhileBody = 3, LoopBody = 4, Sub = 5 };
}

// What of a module an edit changed: its grid (a command placed, moved, edited
// or taken away, in the module's own grid or a block body inside it), or its
// heading (the title, the loop and start-up flags).
enum class ModulePart { Commands, Heading };

class clsModule : public CommandOwner {
public:
    Boolean Dirty = False;
    Long ModulType = 0;
    QString mTitle;
    Integer mLoop = 0;
    QString Name;
    Integer mNumber = 0;

    // The grid; created empty and kept on first reading.
    CommandCollectionPtr& Commands()
    {
        if (!mCommands)
            mCommands = std::make_shared<CommandCollection>();
        return mCommands;
    }
    void setCommands(CommandCollectionPtr c) { mCommands = std::move(c); }
    bool hasCommands() const { return bool(mCommands); }
    CommandCollectionPtr GetCommands() override { return Commands(); }

private:
    CommandCollectionPtr mCommands;
};

class clsTask : public clsModule {
public:
    Integer StartOnStartup = 0;
};

class clsSub : public clsModule {};

using TaskPtr = std::shared_ptr<clsTask>;
using SubPtr = std::shared_ptr<clsSub>;
