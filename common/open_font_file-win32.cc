#include "common/open_font_file-win32.h"

#include <winternl.h>

#include <fcntl.h>
#include <io.h>

#include <utility>

namespace kc {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenExisting(const wchar_t* path, DWORD access, DWORD share) {
  return CreateFileW(path, access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// 0 for success, else the Win32 form of the status.
unsigned long SetInformation(HANDLE file, void* information, ULONG size, FILE_INFORMATION_CLASS kind) {
  IO_STATUS_BLOCK io = {};
  const NTSTATUS status = NtSetInformationFile(file, &io, information, size, kind);
  return status >= 0 ? 0 : RtlNtStatusToDosError(status);
}

// Only the attributes: zero times leave the file's times as they are.
unsigned long SetAttributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFORMATION basic = {};
  basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;  // 0 would change nothing
  return SetInformation(file, &basic, sizeof basic, FileBasicInformation);
}

}  // namespace

OpenFontFile::OpenFontFile(const wchar_t* path) {
  if (path == nullptr) return;
  // Writing attributes is asked for too, so that a read-only file can be deleted; a system that
  // refuses it (Wine does for a read-only file) may still allow reading and deletion.
  for (const DWORD access : {GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES, GENERIC_READ | DELETE}) {
    file_ = ScopedHandle(OpenExisting(path, access, FILE_SHARE_READ));
    if (file_.valid()) {
      handle_ = file_.get();
      access_ = Access::kRemovable;
      return;
    }
    removalOpenError_ = GetLastError();
    if (removalOpenError_ == ERROR_SHARING_VIOLATION || removalOpenError_ == ERROR_FILE_NOT_FOUND) break;
  }
  // A font in use (an application or Windows showing it), or one this run may not delete (no right,
  // a medium that cannot be written), is still identified, so that it is listed; reading it
  // changes nothing for its holder.
  file_ = ScopedHandle(OpenExisting(path, GENERIC_READ, kShareAll));
  if (!file_.valid()) return;
  handle_ = file_.get();
  access_ = removalOpenError_ == ERROR_SHARING_VIOLATION ? Access::kHeldElsewhere : Access::kNotDeletable;
}

OpenFontFile& OpenFontFile::operator=(OpenFontFile&& other) noexcept {
  if (this != &other) {
    Close();
    file_ = std::move(other.file_);
    stream_ = std::move(other.stream_);
    handle_ = std::exchange(other.handle_, nullptr);
    access_ = std::exchange(other.access_, Access::kNone);
    removalOpenError_ = other.removalOpenError_;
    identityRead_ = other.identityRead_;
    identityKnown_ = other.identityKnown_;
    identity_ = other.identity_;
  }
  return *this;
}

std::FILE* OpenFontFile::Stream() {
  if (stream_ || !IsOpen()) return stream_.get();
  // The C runtime takes the handle itself, not a duplicate: one open, and no second handle to make
  // and close for every font of a drive.
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle_), _O_RDONLY | _O_BINARY);
  if (descriptor == -1) return nullptr;
  file_.release();
  stream_.reset(_fdopen(descriptor, "rb"));
  if (!stream_) {
    _close(descriptor);  // closes the handle: nothing of the file is held any more
    handle_ = nullptr;
    access_ = Access::kNone;
  }
  return stream_.get();
}

bool OpenFontFile::Identity(FileIdentity& identity) const {
  if (!identityRead_ && IsOpen()) {
    identityRead_ = true;
    identityKnown_ = ReadOpenFileIdentity(handle_, identity_);
  }
  if (identityKnown_) identity = identity_;
  return identityKnown_;
}

unsigned long ClearReadOnlyAttribute(HANDLE file, bool& wasReadOnly) {
  wasReadOnly = false;
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file, &information)) return GetLastError();
  const DWORD attributes = information.dwFileAttributes;
  if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return 0;
  wasReadOnly = true;
  return SetAttributes(file, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

unsigned long OpenFontFile::MarkForDeletion() {
  if (access_ != Access::kRemovable) return ERROR_ACCESS_DENIED;
  // A read-only file refuses the disposition, as it refuses DeleteFileW.
  bool wasReadOnly = false;
  if (ClearReadOnlyAttribute(handle_, wasReadOnly) != 0) return ERROR_FILE_READ_ONLY;
  FILE_DISPOSITION_INFORMATION disposition = {};
  disposition.DoDeleteFile = TRUE;
  const unsigned long marked = SetInformation(handle_, &disposition, sizeof disposition, FileDispositionInformation);
  // A file that stays keeps its attribute: nothing about it changes.
  if (marked != 0 && wasReadOnly) {
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(handle_, &information)) {
      const DWORD others = information.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
      SetAttributes(handle_, others | FILE_ATTRIBUTE_READONLY);
    }
  }
  return marked;
}

bool OpenFontFile::ReopenRemovable(const wchar_t* path) {
  FileIdentity mine;
  if (!Identity(mine)) return false;
  OpenFontFile again(path);
  FileIdentity theirs;
  if (again.access_ != Access::kRemovable || !again.Identity(theirs) || !(theirs == mine)) return false;
  *this = std::move(again);
  return true;
}

void OpenFontFile::Close() {
  stream_.reset();
  file_.reset();
  handle_ = nullptr;
  access_ = Access::kNone;
}

}  // namespace kc
