#include <windows.h>

#include "common/result_code.h"
#include "removal/restart_deletion.h"
#include "removal/restart_deletion_hooks-win32.h"
#include "removal/removal_journal.h"

namespace kc {
namespace {

ResultCode SystemDeleteFile(const char* path, DeletionFailure& failure) { return DeleteTargetFile(path, failure); }

BOOL SystemScheduleDeletion(const char* path) {
  // No target: deletion. Windows keeps the request in PendingFileRenameOperations and carries it
  // out early in the next start, before any application can open the file again.
  return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// In use: another process holds the file. Most refuse deletion by their share mode; a file that
// is mapped (a font loaded by the system, a running program) refuses it as "access denied" while
// the probe shows it held. Access denied on a file nobody holds is a matter of rights, which a
// restart does not change.
bool InUse(const DeletionFailure& failure) {
  return failure.deleteError == ERROR_SHARING_VIOLATION ||
         (failure.deleteError == ERROR_ACCESS_DENIED && failure.heldOpen);
}

}  // namespace

const RestartDeletionHooks& SystemRestartDeletionHooks() {
  static const RestartDeletionHooks hooks = {SystemDeleteFile, SystemScheduleDeletion};
  return hooks;
}

RemovalOutcome DeleteNowOrAtRestart(const char* path) { return DeleteNowOrAtRestart(path, SystemRestartDeletionHooks()); }

RemovalOutcome DeleteNowOrAtRestart(const char* path, const RestartDeletionHooks& hooks) {
  if (path == nullptr) return RemovalOutcome::kStillOnDisk;
  DeletionFailure failure;
  if (hooks.deleteFile(path, failure) == kOk) return RemovalOutcome::kRemoved;
  if (!InUse(failure)) return RemovalOutcome::kStillOnDisk;
  if (!hooks.scheduleDeletion(path)) {
    ReportRemoval(RemovalEventKind::kRestartDeletionFailed, path, "", GetLastError());
    return RemovalOutcome::kStillOnDisk;
  }

  // The deletion at restart, like DeleteFileA, fails on a read-only file. Changing only this one
  // attribute is allowed while the file is held, and the file is going anyway.
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    const DWORD rest = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(path, rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL);
  }
  return RemovalOutcome::kRemovedAtRestart;
}

}  // namespace kc
