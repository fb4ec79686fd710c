#include "common/own_file-win32.h"

#include <winternl.h>

namespace kc {
namespace {

constexpr DWORD kOwnFileFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
constexpr int kCreateTries = 3;

HANDLE OpenName(const std::string& path, DWORD access, DWORD disposition) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, kOwnFileFlags, nullptr);
}

bool IsLinkOrFolder(const BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
         info.nNumberOfLinks != 1;
}

// Deletes the name the handle was opened by, which for a hard link leaves the file's other name,
// and for a reparse point opened as itself removes the link, not its target.
bool DeleteThroughHandle(HANDLE name) {
  FILE_DISPOSITION_INFORMATION disposition = {};
  disposition.DoDeleteFile = TRUE;
  IO_STATUS_BLOCK io = {};
  return NtSetInformationFile(name, &io, &disposition, sizeof disposition, FileDispositionInformation) >= 0;
}

OwnFile Failed(unsigned long error) {
  OwnFile file;
  file.error = error != 0 ? error : ERROR_ACCESS_DENIED;
  return file;
}

}  // namespace

OwnFile CreateOwnFile(const std::string& path) {
  // Without delete access (a share that grants only writing) a plain file can still be reused.
  ScopedHandle name(OpenName(path, GENERIC_WRITE | DELETE, OPEN_ALWAYS));
  if (!name.valid() && GetLastError() == ERROR_ACCESS_DENIED) name = ScopedHandle(OpenName(path, GENERIC_WRITE, OPEN_ALWAYS));
  if (!name.valid()) return Failed(GetLastError());
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;

  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(name.get(), &info)) return Failed(GetLastError());
  OwnFile file;
  if (!IsLinkOrFolder(info)) {
    if (SetFilePointer(name.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(name.get())) {
      return Failed(GetLastError());
    }
    file.handle = std::move(name);
    file.origin = existed ? OwnFileOrigin::kReused : OwnFileOrigin::kCreated;
    return file;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Failed(ERROR_DIRECTORY);
  if (!DeleteThroughHandle(name.get())) return Failed(ERROR_ACCESS_DENIED);
  name.reset();  // the name goes at this close

  for (int i = 0; i < kCreateTries; ++i) {
    file.handle = ScopedHandle(OpenName(path, GENERIC_WRITE, CREATE_NEW));
    if (file.handle.valid()) {
      file.origin = OwnFileOrigin::kLinkReplaced;
      return file;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return Failed(GetLastError());
}

}  // namespace kc
