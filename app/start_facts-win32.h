#pragma once
// What the first line of a run's log says about the program and the machine.

#include "app/command_line.h"
#include "app/run_log_text.h"
#include "discovery/drive_roots.h"

namespace kc {

// The program's file name and version, the mode, the Windows version, the user and computer, and
// the drives to be searched. A fact the system does not give is "?".
StartFacts CurrentStartFacts(RunMode mode, const DriveRootList& drives);

}  // namespace kc
