#pragma once
// Which reparse points are links. A reparse point is a file or folder that a file system filter
// serves: symbolic links, junctions and mount points stand for another name (the tag's
// name-surrogate bit says so), but cloud placeholders, files compressed by `compact /exe` and
// deduplicated files are the files themselves, their data kept elsewhere by their filter. Portable
// (no <windows.h>): the tag comes from a handle (FileAttributeTagInformation) or from a listing
// (WIN32_FIND_DATA's dwReserved0, meaningful when the attributes hold the reparse point).

#include <cstdint>

namespace kc {

constexpr uint32_t kReparsePointAttribute = 0x400;          // FILE_ATTRIBUTE_REPARSE_POINT
constexpr uint32_t kNameSurrogateTagBit = 0x20000000;       // IsReparseTagNameSurrogate

// True for a reparse point that stands for another name: its tag has the name-surrogate bit
// (IO_REPARSE_TAG_SYMLINK, _MOUNT_POINT for junctions and mount points, _LX_SYMLINK), or its tag
// is 0, which no reparse point carries (the value is reserved): a file system that tells the
// attribute but not the tag (Wine's listing, a FAT volume's fallback) is taken to show a link, the
// safe side. False for anything that is no reparse point, and for every other tag (IO_REPARSE_TAG_
// CLOUD_*, _WOF, _DEDUP, _APPEXECLINK...): a file, to be opened through its filter.
inline bool IsNameSurrogateLink(uint32_t attributes, uint32_t reparseTag) {
  return (attributes & kReparsePointAttribute) != 0 && (reparseTag == 0 || (reparseTag & kNameSurrogateTagBit) != 0);
}

}  // namespace kc
