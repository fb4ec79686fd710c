#include <windows.h>

#include "common/file_identity.h"
#include "common/open_font_file-win32.h"
#include "common/scoped_handles-win32.h"
#include "common/wide_text-win32.h"
#include "removal/font_file_removal.h"
#include "removal/font_file_removal_hooks-win32.h"
#include "removal/removal_journal.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

unsigned long SystemMarkForDeletion(OpenFontFile& file) { return file.MarkForDeletion(); }

BOOL SystemScheduleDeletion(const wchar_t* path) {
  // No target: deletion. Windows keeps the request in PendingFileRenameOperations and carries it
  // out early in the next start, before any application can open the file again.
  return MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The file at `path` when it is the one identified: opened for its attributes only (which no
// holder's share mode refuses), so that the check and the clearing of its read-only attribute go
// through one handle. Wine refuses attribute-writing access to a read-only file but lets any
// handle change attributes; Windows grants that access to an administrator.
ScopedHandle OpenSameFileForAttributes(const std::wstring& path, const FileIdentity& identity) {
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  for (const DWORD access : {DWORD{FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES}, DWORD{FILE_READ_ATTRIBUTES}}) {
    ScopedHandle file(CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      if (GetLastError() == ERROR_ACCESS_DENIED) continue;
      break;
    }
    FileIdentity there;
    if (ReadOpenFileIdentity(file.get(), there) && there == identity) return file;
    break;
  }
  return ScopedHandle();
}

// A file in use, directly in the Fonts folder: left to Windows at the next restart, by the Fonts
// folder's own path, once that path is known to lead to this file.
RemovalOutcome ScheduleAtRestart(OpenFontFile& file, const wchar_t* fileName, const FontFileRemovalHooks& hooks) {
  std::wstring fontsFolder;
  if (GetFontsFolderPath(fontsFolder) != kOk) {
    ReportRemoval(RemovalEventKind::kRestartDeletionFailed, fileName, L"", ERROR_PATH_NOT_FOUND);
    return RemovalOutcome::kStillOnDisk;
  }
  // The name as the Fonts folder's listing gave it, reaching the file system as it stands.
  const std::wstring fontsPath = ExtendedLengthPath(fontsFolder + fileName);
  FileIdentity identity;
  const ScopedHandle there = file.Identity(identity) ? OpenSameFileForAttributes(fontsPath, identity) : ScopedHandle();
  if (!there.valid()) {
    // The Fonts folder's file of that name is another one (or none): scheduling it would delete that.
    ReportRemoval(RemovalEventKind::kRestartDeletionFailed, fontsPath, L"", ERROR_FILE_INVALID);
    return RemovalOutcome::kStillOnDisk;
  }
  if (!hooks.scheduleDeletion(fontsPath.c_str())) {
    ReportRemoval(RemovalEventKind::kRestartDeletionFailed, fontsPath, L"", GetLastError());
    return RemovalOutcome::kStillOnDisk;
  }
  // The deletion at restart, like DeleteFileW, fails on a read-only file; the file is going anyway.
  bool wasReadOnly = false;
  ClearReadOnlyAttribute(there.get(), wasReadOnly);
  return RemovalOutcome::kRemovedAtRestart;
}

// Closes a file marked for deletion, which deletes it. A system may accept the disposition and
// still keep the file (Wine, in a folder its user may not write, fails the deletion at the close
// in silence): a file of that identity still at `path` stayed. Only asked, never acted on, by
// path: a path that leads elsewhere now says nothing of the file, which Windows deleted.
RemovalOutcome CloseMarkedFile(OpenFontFile& file, const std::wstring& path) {
  FileIdentity identity;
  const bool identified = file.Identity(identity);
  file.Close();
  FileIdentity there;
  if (identified && ReadFileIdentity(path.c_str(), there) && there == identity) {
    ReportRemoval(RemovalEventKind::kFileDeleteFailed, path, L"", ERROR_ACCESS_DENIED);
    return RemovalOutcome::kStillOnDisk;
  }
  ReportRemoval(RemovalEventKind::kFileDeleted, path);
  return RemovalOutcome::kRemoved;
}

}  // namespace

const FontFileRemovalHooks& SystemFontFileRemovalHooks() {
  static const FontFileRemovalHooks hooks = {SystemMarkForDeletion, SystemScheduleDeletion};
  return hooks;
}

RemovalOutcome RemoveFontFile(OpenFontFile& file, const std::wstring& path, const wchar_t* fontsFolderFileName,
                              InUseBy inUseBy) {
  return RemoveFontFile(file, path, fontsFolderFileName, inUseBy, SystemFontFileRemovalHooks());
}

RemovalOutcome RemoveFontFile(OpenFontFile& file, const std::wstring& path, const wchar_t* fontsFolderFileName,
                              InUseBy inUseBy, const FontFileRemovalHooks& hooks) {
  if (!file.IsOpen()) {
    // A file that is not there counts as removed; one that could not be opened at all was never
    // identified and is not the walk's to remove.
    if (file.removalOpenError() == ERROR_FILE_NOT_FOUND) return RemovalOutcome::kRemoved;
    ReportRemoval(RemovalEventKind::kFileDeleteFailed, path, L"", ERROR_INVALID_HANDLE);
    return RemovalOutcome::kStillOnDisk;
  }
  RemovalOutcome outcome = RemovalOutcome::kStillOnDisk;
  unsigned long error = file.removalOpenError();
  // In use: another process holds the file so that it cannot be opened for deletion, or it is
  // mapped (a font loaded by the system), which refuses the disposition as "access denied".
  bool inUse = file.access() == OpenFontFile::Access::kHeldElsewhere;
  if (file.access() == OpenFontFile::Access::kRemovable) {
    error = hooks.markForDeletion(file);
    if (error == 0) return CloseMarkedFile(file, path);
    inUse = error == ERROR_ACCESS_DENIED;
  }
  if (inUse && fontsFolderFileName != nullptr) {
    outcome = ScheduleAtRestart(file, fontsFolderFileName, hooks);
  } else if (inUse) {
    const RemovalEventKind kind =
        inUseBy == InUseBy::kAUserSession ? RemovalEventKind::kFileInUserSession : RemovalEventKind::kFileInUse;
    ReportRemoval(kind, path, L"", error);
  } else {
    ReportRemoval(RemovalEventKind::kFileDeleteFailed, path, L"", error);
  }
  file.Close();
  return outcome;
}

}  // namespace kc
