#include "discovery/directory_listing-win32.h"

#include <winternl.h>

#include <new>

extern "C" NTSYSAPI NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apcRoutine, PVOID apcContext,
                                                        PIO_STATUS_BLOCK ioStatus, PVOID information, ULONG length,
                                                        FILE_INFORMATION_CLASS informationClass,
                                                        BOOLEAN returnSingleEntry, PUNICODE_STRING fileName,
                                                        BOOLEAN restartScan);

namespace kc {
namespace {

// FILE_FULL_DIR_INFORMATION: the smallest record that carries the reparse tag (in EaSize, for an
// entry that is a reparse point).
struct FullDirectoryInformation {
  ULONG NextEntryOffset;
  ULONG FileIndex;
  LARGE_INTEGER CreationTime;
  LARGE_INTEGER LastAccessTime;
  LARGE_INTEGER LastWriteTime;
  LARGE_INTEGER ChangeTime;
  LARGE_INTEGER EndOfFile;
  LARGE_INTEGER AllocationSize;
  ULONG FileAttributes;
  ULONG FileNameLength;  // bytes
  ULONG EaSize;
  WCHAR FileName[1];
};

constexpr FILE_INFORMATION_CLASS kFullDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(2);

}  // namespace

bool DirectoryListing::Open(const std::wstring& path, size_t bufferBytes) {
  // Backup semantics: the only way to open a folder. Sharing everything: listing takes nothing
  // from anyone else.
  folder_ = ScopedHandle(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder_.valid()) return false;
  buffer_.reset(new (std::nothrow) unsigned char[bufferBytes]);
  if (!buffer_) throw std::bad_alloc();
  bufferBytes_ = bufferBytes;
  return Fetch(true);
}

bool DirectoryListing::Fetch(bool first) {
  IO_STATUS_BLOCK io = {};
  const NTSTATUS status = NtQueryDirectoryFile(folder_.get(), nullptr, nullptr, nullptr, &io, buffer_.get(),
                                               static_cast<ULONG>(bufferBytes_), kFullDirectoryInformation,
                                               FALSE, nullptr, first ? TRUE : FALSE);
  // STATUS_NO_MORE_FILES and STATUS_NO_SUCH_FILE end the listing; so does any error.
  pending_ = status == 0 && io.Information != 0;
  offset_ = 0;
  return pending_;
}

bool DirectoryListing::Next(ListedEntry& entry) {
  if (!pending_ && (!folder_.valid() || !buffer_ || !Fetch(false))) return false;
  const auto* info = reinterpret_cast<const FullDirectoryInformation*>(buffer_.get() + offset_);
  entry.name = info->FileName;
  entry.nameLength = info->FileNameLength / sizeof(WCHAR);
  entry.attributes = info->FileAttributes;
  entry.reparseTag = (info->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? info->EaSize : 0;
  if (info->NextEntryOffset == 0) {
    pending_ = false;
  } else {
    offset_ += info->NextEntryOffset;
  }
  return true;
}

}  // namespace kc
