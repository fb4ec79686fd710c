#include "common/name_open-win32.h"

namespace kc {
namespace {

// ntstatus.h clashes with <windows.h>'s own few STATUS_ values.
constexpr LONG kStatusNotImplemented = static_cast<LONG>(0xC0000002);
constexpr LONG kStatusInvalidParameter = static_cast<LONG>(0xC000000D);

HANDLE SystemCreateFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  return CreateFileW(path, access, share, nullptr, disposition, flags, nullptr);
}

LONG SystemQueryInformation(HANDLE file, void* buffer, ULONG size, FILE_INFORMATION_CLASS informationClass) {
  IO_STATUS_BLOCK io = {};
  return NtQueryInformationFile(file, &io, buffer, size, informationClass);
}

}  // namespace

const FileSystemCalls& SystemFileSystemCalls() {
  static const FileSystemCalls calls = {SystemCreateFile, SystemQueryInformation};
  return calls;
}

bool ReadNameAttributes(HANDLE file, NameAttributes& out, const FileSystemCalls& calls) {
  FILE_ATTRIBUTE_TAG_INFORMATION tag = {};
  LONG status = calls.queryInformation(file, &tag, sizeof tag, FileAttributeTagInformation);
  if (status >= 0) {
    out.attributes = tag.FileAttributes;
    out.reparseTag = tag.ReparseTag;
    return true;
  }
  // ReactOS's DeleteFileW, written to behave as Windows', takes these two answers for "no reparse
  // point here" as well.
  if (status == kStatusInvalidParameter || status == kStatusNotImplemented) {
    FILE_BASIC_INFORMATION basic = {};
    status = calls.queryInformation(file, &basic, sizeof basic, FileBasicInformation);
    if (status >= 0) {
      out.attributes = basic.FileAttributes;
      out.reparseTag = 0;
      return true;
    }
  }
  SetLastError(RtlNtStatusToDosError(status));
  return false;
}

NameHandle OpenNameItself(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                          const FileSystemCalls& calls, bool mayOpenAsUsual) {
  NameHandle name;
  name.handle =
      ScopedHandle(calls.createFile(path.c_str(), access, share, disposition, flags | FILE_FLAG_OPEN_REPARSE_POINT));
  name.lastError = GetLastError();
  // Which file systems refuse the flag is not documented; they say so with this error, and ReactOS's
  // DeleteFileW opens the name again without the flag then.
  if (!name.handle.valid() && name.lastError == ERROR_INVALID_PARAMETER && mayOpenAsUsual) {
    name.reparseFlagRefused = true;
    name.handle = ScopedHandle(calls.createFile(path.c_str(), access, share, disposition, flags));
    name.lastError = GetLastError();
  }
  return name;
}

ScopedHandle OpenThroughFilter(const std::wstring& path, DWORD access, DWORD share, const FileIdentity& expected,
                               const FileSystemCalls& calls) {
  ScopedHandle file(calls.createFile(path.c_str(), access, share, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
  if (!file.valid()) return file;
  FileIdentity opened;
  if (!ReadOpenFileIdentity(file.get(), opened) || !(opened == expected)) {
    file.reset();
    SetLastError(ERROR_ACCESS_DENIED);  // another file than the one looked at: nobody's to touch
  }
  return file;
}

}  // namespace kc
