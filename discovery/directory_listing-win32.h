#pragma once
// One folder's entries as the file system stores them (UTF-16 names, attributes, reparse tags),
// read through one open handle of the folder: the handle that is listed is the one whose identity
// the walk reads, so a folder renamed or replaced by a link in between cannot make the walk judge
// one folder and list another. XP and later (NtQueryDirectoryFile).

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

#include "common/scoped_handles-win32.h"

namespace kc {

struct ListedEntry {
  const wchar_t* name;  // not terminated; valid until the next call of Next
  size_t nameLength;
  DWORD attributes;
  DWORD reparseTag;  // with FILE_ATTRIBUTE_REPARSE_POINT, else 0 (Wine gives 0 for its links)
};

class DirectoryListing {
 public:
  DirectoryListing() = default;
  DirectoryListing(DirectoryListing&&) = default;
  DirectoryListing& operator=(DirectoryListing&&) = default;

  // Opens the folder at `path` (extended-length, ending in a backslash), through any link at its
  // name, with `bufferBytes` for each batch of entries. False when it cannot be opened for listing
  // (missing, no right, no medium) or holds no entry at all (as an empty drive root does).
  bool Open(const std::wstring& path, size_t bufferBytes);

  // The folder's handle, for its identity; listing access only.
  HANDLE handle() const { return folder_.get(); }

  // The next entry in the file system's order; false at the end or on any error.
  bool Next(ListedEntry& entry);

 private:
  bool Fetch(bool first);

  ScopedHandle folder_;
  std::unique_ptr<unsigned char[]> buffer_;
  size_t bufferBytes_ = 0;
  size_t offset_ = 0;    // of the next entry in the buffer
  bool pending_ = false;  // the buffer holds an entry not yet handed out
};

}  // namespace kc
