#include "app/startup_checks-win32.h"

#include "app/admin_access-win32.h"
#include "app/exit_codes.h"
#include "app/platform_kind-win32.h"
#include "app/startup_sources-win32.h"
#include "common/result_code.h"
#include "discovery/drive_roots-win32.h"
#include "res/resource.h"

namespace kc {

BOOL HasAdministratorRights() {
  if (GetPlatformKind() != PLATFORM_NT) return TRUE;
  return CheckAdminAccess();
}

StartupChecks CheckStartup(DriveRootList& drives) {
  StartupChecks checks;
  if (GetPlatformKind() == PLATFORM_WIN32S) checks.failures[checks.count++] = StartupFailure::kPlatformRefused;
  if (!HasAdministratorRights()) checks.failures[checks.count++] = StartupFailure::kNotAdministrator;
  const ResultCode built = BuildDriveRootList(drives, CurrentStartupSources().getDriveStrings);
  if (built == kOutOfMemory) {
    checks.failures[checks.count++] = StartupFailure::kDrivesOutOfMemory;
  } else if (built != kOk) {
    checks.failures[checks.count++] = StartupFailure::kDrivesUnreadable;
  }
  return checks;
}

UINT StartupFailureMessage(StartupFailure failure) {
  switch (failure) {
    case StartupFailure::kPlatformRefused: return IDS_PLATFORM_REFUSED;
    case StartupFailure::kNotAdministrator: return IDS_NOT_ADMINISTRATOR;
    case StartupFailure::kDrivesOutOfMemory: return IDS_OUT_OF_MEMORY;
    case StartupFailure::kDrivesUnreadable: return IDS_UNEXPECTED_ERROR;
  }
  return IDS_UNEXPECTED_ERROR;
}

int StartupFailureExitCode(StartupFailure failure) {
  switch (failure) {
    case StartupFailure::kPlatformRefused: return kExitWindowsUnsupported;
    case StartupFailure::kNotAdministrator: return kExitNotAdministrator;
    case StartupFailure::kDrivesOutOfMemory: return kExitOutOfMemory;
    case StartupFailure::kDrivesUnreadable: return kExitDrivesUnreadable;
  }
  return kExitDrivesUnreadable;
}

}  // namespace kc
