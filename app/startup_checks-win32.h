#pragma once
// The checks of start-up, shared by the main screen (which shows each failure in a message) and
// the silent run and preview (which end with an exit code): the platform, the user's
// administrator rights and the list of drives.

#include <windows.h>

#include "app/run_log_text.h"
#include "discovery/drive_roots.h"

namespace kc {

struct StartupChecks {
  StartupFailure failures[3];  // in the order found; at most one per check
  int count = 0;
};

// Runs every check, whatever the one before found, and fills `drives`. Allocates nothing but the
// drive list (whose failure is one of the results).
StartupChecks CheckStartup(DriveRootList& drives);

// TRUE when the user may run the removal: always on Windows 95/98/Me and Win32s, else the
// administrators' access check.
BOOL HasAdministratorRights();

// The string-table message the main screen shows for a failure, and a silent run's exit code.
UINT StartupFailureMessage(StartupFailure failure);
int StartupFailureExitCode(StartupFailure failure);

}  // namespace kc
