#pragma once
// Opening a name as itself, and telling what is there, on every file system the program meets:
// NTFS, FAT and exFAT sticks and cards, shares, and folders a sync client keeps. Where a file system
// answers otherwise than NTFS does, the program reads the same facts another way. Wine answers all
// of these calls the same on every file system, so they go through a seam that tests replace (the
// log writer's and the report's callers take it with the system's calls as default).

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <string>

#include "common/file_identity.h"
#include "common/scoped_handles-win32.h"

namespace kc {

struct FileSystemCalls {
  // CreateFileW without security attributes or template; the last error as CreateFileW sets it.
  HANDLE (*createFile)(const wchar_t* path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
  // NtQueryInformationFile; returns its NTSTATUS.
  LONG (*queryInformation)(HANDLE file, void* buffer, ULONG size, FILE_INFORMATION_CLASS informationClass);
};

const FileSystemCalls& SystemFileSystemCalls();

struct NameAttributes {
  uint32_t attributes = 0;  // FILE_ATTRIBUTE_*
  uint32_t reparseTag = 0;  // meaningful with FILE_ATTRIBUTE_REPARSE_POINT; 0 when not told
};

// The attributes and the reparse tag of the file open as `file`, from FileAttributeTagInformation.
// FAT and exFAT refuse that query (their driver knows no such class: STATUS_INVALID_PARAMETER;
// STATUS_NOT_IMPLEMENTED from others): there the attributes come from FileBasicInformation and the
// tag is 0 (such a volume holds no reparse point; one that showed the attribute would count as a
// link, common/reparse_tag.h). False, with the last error set, on any other failure.
bool ReadNameAttributes(HANDLE file, NameAttributes& out, const FileSystemCalls& calls);

struct NameHandle {
  ScopedHandle handle;
  // The file system refused FILE_FLAG_OPEN_REPARSE_POINT (ERROR_INVALID_PARAMETER) and the name was
  // opened as usual, which follows a link if that file system has any.
  bool reparseFlagRefused = false;
  DWORD lastError = 0;  // CreateFileW's last error, also after success (ERROR_ALREADY_EXISTS)
};

// CreateFileW of `path` with FILE_FLAG_OPEN_REPARSE_POINT added to `flags`: a link is opened as
// itself, never followed. Where the file system refuses that flag, and `mayOpenAsUsual` says the
// open is only to look at the name (the caller checks what it opened, or knows from a listing that
// no reparse point is there), the name is opened again without it.
NameHandle OpenNameItself(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                          const FileSystemCalls& calls, bool mayOpenAsUsual = true);

// A reparse point that is no link (a cloud placeholder, a file of `compact /exe`, a deduplicated
// file) opened as itself shows the bytes its filter keeps there, not the file's: `path` opened again
// without FILE_FLAG_OPEN_REPARSE_POINT, through that filter. Invalid (last error set) unless what it
// opened is the file `expected` identifies, so that a link put at the name in between is not read
// or written through.
ScopedHandle OpenThroughFilter(const std::wstring& path, DWORD access, DWORD share, const FileIdentity& expected,
                               const FileSystemCalls& calls);

}  // namespace kc
