#include <windows.h>

#include "common/result_code.h"
#include "removal/file_deletion.h"
#include "removal/removal_journal.h"
#include "common/scoped_handles-win32.h"

namespace kc {

ResultCode DeleteTargetFile(const std::wstring& path) {
  if (path.empty()) return kDeleteFailed;

  // The probe opens without sharing: only a file nobody else holds may have its attributes reset,
  // so a file in use keeps them even when its deletion then fails.
  ScopedHandle probe(
      CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (probe.valid()) {
    probe.reset();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // clears read-only, hidden and system
  }

  if (DeleteFileW(path.c_str())) {  // GetLastError may still read 2 after success: not read here
    ReportRemoval(RemovalEventKind::kFileDeleted, path);
    return kOk;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND) return kOk;
  // A missing folder fails the deletion, but there was no file to remove either: no event.
  if (error != ERROR_PATH_NOT_FOUND) ReportRemoval(RemovalEventKind::kFileDeleteFailed, path, L"", error);
  return kDeleteFailed;
}

}  // namespace kc
