#pragma once
// Telling files and folders apart by what they are, not by how a path spells them: the same folder
// reached through a junction, a symbolic link or a mount point has one identity.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_set>

namespace kc {

// The volume's serial number and the file's index on it, as GetFileInformationByHandle reports.
struct FileIdentity {
  uint32_t volumeSerial = 0;
  uint32_t indexHigh = 0;
  uint32_t indexLow = 0;

  bool operator==(const FileIdentity& other) const {
    return volumeSerial == other.volumeSerial && indexHigh == other.indexHigh && indexLow == other.indexLow;
  }
};

struct FileIdentityHash {
  size_t operator()(const FileIdentity& id) const {
    const uint64_t index = static_cast<uint64_t>(id.indexHigh) << 32 | id.indexLow;
    return std::hash<uint64_t>()(index * 0x9E3779B97F4A7C15ull ^ id.volumeSerial);
  }
};

using FileIdentitySet = std::unordered_set<FileIdentity, FileIdentityHash>;

// Reads the identity of what `path` leads to, through any link: a file, or a folder (its path may
// end in a backslash). Opens with no access to the data and sharing everything, so a file another
// process holds without sharing is read too. False when the path cannot be opened (missing, a link
// whose target is missing or unreachable, no right to read attributes) or the file system gives no
// index (reported as 0, as some network file systems do): then nothing tells it apart.
// `path` is a full UTF-16 path (common/wide_text-win32.h: the extended-length form reaches any).
bool ReadFileIdentity(const wchar_t* path, FileIdentity& identity);

// The same for a file or folder already open: `handle` is a Win32 file handle (any access).
bool ReadOpenFileIdentity(void* handle, FileIdentity& identity);

}  // namespace kc
