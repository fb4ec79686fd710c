#pragma once
// What the walk reads from a directory entry's name, as Windows stores it (UTF-16), before it
// opens anything.

#include <cstddef>

namespace kc {

enum class FontFileType { kNone, kOpenType, kCollection };

// Splits an entry name (the last component of a path, `length` units) at its last dot:
// `stemLength` units of file name, then the extension with its dot (possibly empty).
struct EntryName {
  const wchar_t* name;
  size_t stemLength;
  const wchar_t* extension;
  size_t length;
};
EntryName SplitEntryName(const wchar_t* name, size_t length);

// Only the lower-case extensions count: ".OTF", ".Ttc" and ".otf2" are other files, and so is a
// look-alike such as a full-width ".ｏｔｆ".
FontFileType FontFileTypeOf(const wchar_t* extension, size_t length);

// Fonts of the ZUSuuji family carry no full name the reader accepts; they are listed under their
// file name. Exactly these seven characters, case-sensitive, at the start of the file name.
bool IsZusuujiFileName(const wchar_t* stem, size_t stemLength);

}  // namespace kc
