#pragma once
// Names as Windows stores them: UTF-16. The program lists and opens by these; it converts only to
// show or to log a name (UTF-8), and never opens anything by a converted spelling.

#include <cstddef>
#include <string>

namespace kc {

// UTF-16 as UTF-8. A lone surrogate becomes U+FFFD, as Windows Vista and later convert it.
std::string Utf8FromWide(const wchar_t* text, size_t length);
inline std::string Utf8FromWide(const std::wstring& text) { return Utf8FromWide(text.data(), text.size()); }
std::string Utf8FromWide(const wchar_t* text);

// UTF-8 as UTF-16 (invalid bytes become U+FFFD).
std::wstring WideFromUtf8(const std::string& text);

// UTF-16 in the system's code page, best fit and '?' as WideCharToMultiByte(CP_ACP) gives it: only
// for a text shown or logged through the ANSI functions, never to open anything.
std::string AnsiFromWide(const std::wstring& text);

// A full path ("C:\x", "\\server\share\x") in the form that reaches the file system as it stands:
// "\\?\C:\x", "\\?\UNC\server\share\x" (no folding of "." and "..", no trailing dots dropped, up
// to 32,767 characters). A path already in that form is returned unchanged.
std::wstring ExtendedLengthPath(const std::wstring& path);
// The usual spelling of such a path, to show and to log: "\\?\UNC\" becomes "\\", "\\?\" goes.
std::wstring OrdinaryPath(const std::wstring& path);

}  // namespace kc
