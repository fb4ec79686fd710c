#include "common/own_file-win32.h"

#include <winternl.h>

#include "common/reparse_tag.h"

namespace kc {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr int kCreateTries = 3;

// Write access only, shared for reading: a reader (Notepad, a deployment tool) may open the log
// while the run writes it, as long as the handle holds no delete access.
constexpr DWORD kOwnAccess = GENERIC_WRITE;
constexpr DWORD kOwnShare = FILE_SHARE_READ;

// What a handle on the name shows: a folder, a link (a second name, or a reparse point that
// stands for another name), or a file a filter serves (a reparse point of another kind).
struct NameLook {
  bool folder = false;
  bool link = false;
  bool servedByFilter = false;
  FileIdentity identity;
};

bool LookAt(HANDLE name, NameLook& look, const FileSystemCalls& calls) {
  BY_HANDLE_FILE_INFORMATION info;
  NameAttributes attributes;
  if (!GetFileInformationByHandle(name, &info) || !ReadNameAttributes(name, attributes, calls)) return false;
  look.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  look.link = info.nNumberOfLinks != 1 || IsNameSurrogateLink(attributes.attributes, attributes.reparseTag);
  look.servedByFilter = !look.link && (attributes.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  look.identity.volumeSerial = info.dwVolumeSerialNumber;
  look.identity.indexHigh = info.nFileIndexHigh;
  look.identity.indexLow = info.nFileIndexLow;
  return true;
}

// Deletes the name itself when it is a link, through a handle opened on that name: for a hard link
// the file's other name stays, for a reparse point opened as itself the link goes, not its
// target. False, and nothing deleted, when the name is gone, is a folder or is a plain file (one
// that cannot be written is nobody's log to replace), or cannot be opened as itself.
bool RemoveLinkAtName(const std::wstring& path, const FileSystemCalls& calls) {
  const NameHandle name = OpenNameItself(path, DELETE | FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, calls, false);
  NameLook look;
  if (!name.handle.valid() || !LookAt(name.handle.get(), look, calls) || look.folder || !look.link) return false;
  FILE_DISPOSITION_INFORMATION disposition = {};
  disposition.DoDeleteFile = TRUE;
  IO_STATUS_BLOCK io = {};
  return NtSetInformationFile(name.handle.get(), &io, &disposition, sizeof disposition,
                              FileDispositionInformation) >= 0;
}  // the name goes at this close

OwnFile Failed(unsigned long error) {
  OwnFile file;
  file.error = error != 0 ? error : ERROR_ACCESS_DENIED;
  return file;
}

}  // namespace

OwnFile CreateOwnFile(const std::wstring& path, const FileSystemCalls& calls) {
  OwnFile file;
  unsigned long error = 0;
  for (int i = 0; i < kCreateTries; ++i) {
    NameHandle name = OpenNameItself(path, kOwnAccess, kOwnShare, i == 0 ? OPEN_ALWAYS : CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, calls);
    file.reparseFlagRefused = file.reparseFlagRefused || name.reparseFlagRefused;
    if (name.handle.valid()) {
      const bool existed = i == 0 && name.lastError == ERROR_ALREADY_EXISTS;
      NameLook look;
      if (!LookAt(name.handle.get(), look, calls)) return Failed(GetLastError());
      if (look.folder) return Failed(ERROR_DIRECTORY);
      if (!look.link) {
        ScopedHandle own = std::move(name.handle);
        if (look.servedByFilter) {
          own.reset();  // its sharing would refuse a second writer
          own = OpenThroughFilter(path, kOwnAccess, kOwnShare, look.identity, calls);
          if (!own.valid()) return Failed(GetLastError());
        }
        // Emptied only now, through the handle that was checked.
        if (SetFilePointer(own.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(own.get())) {
          return Failed(GetLastError());
        }
        file.handle = std::move(own);
        file.origin = i > 0 ? OwnFileOrigin::kLinkReplaced : existed ? OwnFileOrigin::kReused : OwnFileOrigin::kCreated;
        return file;
      }
      name.handle.reset();
    } else {
      error = name.lastError;
      // Another link put there after the last one was removed: removed again, twice at most.
      if (i > 0 && error != ERROR_FILE_EXISTS) break;
    }
    // A link (or, when the open failed, perhaps a link to a file that cannot be written). Where the
    // name could not be opened as itself, a handle on it may be what a link leads to: nothing goes.
    if (name.reparseFlagRefused || !RemoveLinkAtName(path, calls)) return Failed(error);
  }
  return Failed(error);
}

bool WriteAllBytes(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

}  // namespace kc
