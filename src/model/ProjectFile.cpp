#include "model/ProjectFile.h"

// Filled in with the project file work.
bool OpenProject() { return false; }
bool SaveProject() { return false; }
