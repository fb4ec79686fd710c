#pragma once
// The tests build their fixtures with ANSI paths (code page 932 in the bed); the program takes
// names as Windows stores them. These convert between the two through the system's code page, for
// the tests' own use only: every name a test passes this way can be spelled in that code page.

#include <windows.h>

#include <string>

namespace kc::testsupport {

inline std::wstring WideOf(const std::string& ansi) {
  if (ansi.empty()) return std::wstring();
  const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], units);
  return wide;
}

inline std::string AnsiOf(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &ansi[0], bytes, nullptr, nullptr);
  return ansi;
}

// UTF-8 (the log's, the journal's) in the system's code page.
inline std::string AnsiOfUtf8(const std::string& utf8) {
  if (utf8.empty()) return std::string();
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], units);
  return AnsiOf(wide);
}

}  // namespace kc::testsupport
