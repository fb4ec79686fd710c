#pragma once
// A file the program writes for itself (the run's log) at a path where somebody else may have put
// a link first: a hard link, or a symbolic link or junction, named like the file and leading to a
// file of the system. Opening such a name with CREATE_ALWAYS would empty and rewrite that other
// file with the program's rights, so the name is opened as it stands (never what it leads to),
// checked through that handle before a byte changes, and only then emptied.

#include <string>

#include "common/name_open-win32.h"
#include "common/scoped_handles-win32.h"

namespace kc {

enum class OwnFileOrigin {
  kCreated,       // nothing was there
  kReused,        // a plain file of one name was there (the last run's): emptied
  kLinkReplaced,  // a link was there: that name was removed and a new file made in its place
};

struct OwnFile {
  ScopedHandle handle;  // write access, shared for reading; invalid when the file cannot be had
  OwnFileOrigin origin = OwnFileOrigin::kCreated;
  unsigned long error = 0;  // why the handle is invalid
  // The file system refused to open the name as itself (common/name_open-win32.h): it was opened
  // as usual, with no check for a symbolic link or junction there (hard links are still checked).
  bool reparseFlagRefused = false;
};

// Opens `path` (UTF-16, as CreateFileW takes it) for writing as an empty file that is the program's
// own: a file of one name, not a link. Only a reparse point whose tag stands for another name is a
// link (common/reparse_tag.h); a file a filter serves (a synced folder's placeholder, a compressed
// or deduplicated file) is the last run's log, opened again through its filter to be emptied and
// written. A link at the name is never written through: the name itself is deleted through
// a handle on it (the file it led to keeps every byte) and a new file is created with CREATE_NEW,
// which fails rather than follow anything put there in between (then tried again, twice). Fails
// when the name cannot be opened, or is a folder, or its link cannot be removed (a hard link to a
// read-only file: the attribute is the file's, and clearing it would change the other file).
OwnFile CreateOwnFile(const std::wstring& path, const FileSystemCalls& calls = SystemFileSystemCalls());

// Writes every byte to `file`; false when the write fails or falls short.
bool WriteAllBytes(HANDLE file, const std::string& bytes);

}  // namespace kc
