#pragma once
// What the walk reads from a directory entry's name before it opens anything.

#include <cstddef>

namespace kc {

enum class FontFileType { kNone, kOpenType, kCollection };

// Splits an entry name (the last component of a path) at its last dot: `stemLength` bytes of file
// name, then the extension with its dot (possibly empty); `length` bytes in all. No code page 932 trail byte is a dot
// (0x2E), so the byte search is exact for double-byte names as well.
struct EntryName {
  const char* name;
  size_t stemLength;
  const char* extension;
  size_t length;
};
EntryName SplitEntryName(const char* name);

// Only the lower-case extensions count: ".OTF", ".Ttc" and ".otf2" are other files.
FontFileType FontFileTypeOf(const char* extension);

// Fonts of the ZUSuuji family carry no full name the reader accepts; they are listed under their
// file name. Exactly these seven bytes, case-sensitive, at the start of the file name.
bool IsZusuujiFileName(const char* stem, size_t stemLength);

}  // namespace kc
