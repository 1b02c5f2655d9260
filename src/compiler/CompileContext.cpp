#include "compiler/CompileContext.h"

namespace {
CompileContext* gCurrent = nullptr;
}  // namespace

CompileContext::CompileContext() : mOuter(gCurrent) { gCurrent = this; }

CompileContext::~CompileContext() { gCurrent = mOuter; }

CompileContext* CompileContext::current() { return gCurrent; }
