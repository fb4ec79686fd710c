#pragma once
// Names as Windows stores them: UTF-16. The program lists, opens, compares and deletes by these;
// it converts only to show or to log a name (UTF-8), or to fill the records' code page 932 fields,
// and never decides anything, or opens anything, by a converted spelling.

#include <cstddef>
#include <string>

#include "common/utf8.h"

namespace kc {

// UTF-16 as UTF-8. A lone surrogate becomes U+FFFD, as Windows Vista and later convert it.
std::string Utf8FromWide(const wchar_t* text, size_t length);
inline std::string Utf8FromWide(const std::wstring& text) { return Utf8FromWide(text.data(), text.size()); }
std::string Utf8FromWide(const wchar_t* text);

// UTF-8 as UTF-16: WideFromUtf8 in common/utf8.h.

// Text an A function gave (a process's path from GetModuleFileNameExA), which is in the system's
// code page, as UTF-16.
std::wstring WideFromSystemAnsi(const std::string& text);

// Code page 932 bytes (the Macintosh Japanese names of fonts, the program's own Japanese texts) as
// UTF-16, with code page 932 itself whatever the system's code page is. A Windows without that
// code page (XP without East Asian support) gives ASCII as it stands and '?' for every other byte.
std::wstring WideFromCp932(const char* text, size_t length);
inline std::wstring WideFromCp932(const std::string& text) { return WideFromCp932(text.data(), text.size()); }

// The code page 932 spelling of a name, for the records' fields only: a character the code page
// lacks is '?' (no best fit: '¥' must not become a backslash). Cut, at a whole character, to
// `capacity` - 1 bytes and terminated; `capacity` is at least 1.
void Cp932SpellingOf(const wchar_t* text, size_t length, char* out, size_t capacity);

// Whether two names (or paths) are the same for the file system: whole strings, letter case aside
// by Windows' own upper-case table (RtlUpcaseUnicodeChar), no linguistic rules, no code page.
bool SameWideNameIgnoringCase(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength);
inline bool SameWideNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return SameWideNameIgnoringCase(a.data(), a.size(), b.data(), b.size());
}

// A full path ("C:\x", "\\server\share\x") in the form that reaches the file system as it stands:
// "\\?\C:\x", "\\?\UNC\server\share\x" (no folding of "." and "..", no trailing dots dropped, up
// to 32,767 characters). A path already in that form is returned unchanged.
std::wstring ExtendedLengthPath(const std::wstring& path);
// The usual spelling of such a path, to show and to log: "\\?\UNC\" becomes "\\", "\\?\" goes.
std::wstring OrdinaryPath(const std::wstring& path);

}  // namespace kc
