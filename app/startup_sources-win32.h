#pragma once
// What start-up asks of the system. The program always uses the system's answers; a test build of
// the program substitutes answers Wine cannot give (Win32s, an unreadable drive list).

#include <windows.h>

#include "discovery/drive_roots-win32.h"

namespace kc {

struct StartupSources {
  DWORD (*getVersion)();             // GetVersion
  GetDriveStringsFn getDriveStrings;  // null: GetLogicalDriveStringsA
};

StartupSources& CurrentStartupSources();

}  // namespace kc
