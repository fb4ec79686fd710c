#include "common/own_file-win32.h"

#include <winternl.h>

namespace kc {
namespace {

constexpr DWORD kOwnFileFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr int kCreateTries = 3;

// Write access only, shared for reading: a reader (Notepad, a deployment tool) may open the log
// while the run writes it, as long as the handle holds no delete access.
HANDLE OpenName(const std::string& path, DWORD disposition) {
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, kOwnFileFlags, nullptr);
}

bool IsLink(const BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || info.nNumberOfLinks != 1;
}

// Deletes the name itself when it is a link, through a handle opened on that name: for a hard link
// the file's other name stays, for a reparse point opened as itself the link goes, not its
// target. False, and nothing deleted, when the name is gone, is a folder or is a plain file (one
// that cannot be written is nobody's log to replace).
bool RemoveLinkAtName(const std::string& path) {
  ScopedHandle name(CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                kOwnFileFlags | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!name.valid() || !GetFileInformationByHandle(name.get(), &info)) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsLink(info)) return false;
  FILE_DISPOSITION_INFORMATION disposition = {};
  disposition.DoDeleteFile = TRUE;
  IO_STATUS_BLOCK io = {};
  return NtSetInformationFile(name.get(), &io, &disposition, sizeof disposition, FileDispositionInformation) >= 0;
}  // the name goes at this close

OwnFile Failed(unsigned long error) {
  OwnFile file;
  file.error = error != 0 ? error : ERROR_ACCESS_DENIED;
  return file;
}

}  // namespace

OwnFile CreateOwnFile(const std::string& path) {
  OwnFile file;
  unsigned long error = 0;
  for (int i = 0; i < kCreateTries; ++i) {
    ScopedHandle name(OpenName(path, i == 0 ? OPEN_ALWAYS : CREATE_NEW));
    if (name.valid()) {
      const bool existed = i == 0 && GetLastError() == ERROR_ALREADY_EXISTS;
      BY_HANDLE_FILE_INFORMATION info;
      if (!GetFileInformationByHandle(name.get(), &info)) return Failed(GetLastError());
      if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Failed(ERROR_DIRECTORY);
      if (!IsLink(info)) {
        // Emptied only now, through the handle that was checked.
        if (SetFilePointer(name.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
            !SetEndOfFile(name.get())) {
          return Failed(GetLastError());
        }
        file.handle = std::move(name);
        file.origin = i > 0 ? OwnFileOrigin::kLinkReplaced : existed ? OwnFileOrigin::kReused : OwnFileOrigin::kCreated;
        return file;
      }
      name.reset();
    } else {
      error = GetLastError();
      // Another link put there after the last one was removed: removed again, twice at most.
      if (i > 0 && error != ERROR_FILE_EXISTS) break;
    }
    // A link (or, when the open failed, perhaps a link to a file that cannot be written).
    if (!RemoveLinkAtName(path)) return Failed(error);
  }
  return Failed(error);
}

bool WriteAllBytes(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

}  // namespace kc
