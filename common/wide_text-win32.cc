#include "common/wide_text-win32.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>

#include "common/utf8.h"

extern "C" NTSYSAPI WCHAR NTAPI RtlUpcaseUnicodeChar(WCHAR source);

namespace kc {
namespace {

constexpr UINT kCp932 = 932;
constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";
constexpr size_t kExtendedPrefixLength = 4;
constexpr size_t kExtendedUncPrefixLength = 8;

bool StartsWith(const std::wstring& text, const wchar_t* prefix, size_t length) {
  return text.size() >= length && text.compare(0, length, prefix) == 0;
}

}  // namespace

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

std::string Utf8FromWide(const wchar_t* text, size_t length) {
  // By hand rather than WideCharToMultiByte: XP turns a lone surrogate into three bytes that are
  // not UTF-8, and a name may hold one (NTFS stores any 16-bit units).
  return Utf8FromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

std::string Utf8FromWide(const wchar_t* text) { return text == nullptr ? std::string() : Utf8FromWide(text, wcslen(text)); }

std::wstring WideFromSystemAnsi(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, &out[0], units);
  return out;
}

std::wstring WideFromCp932(const char* text, size_t length) {
  std::wstring out;
  if (length == 0) return out;
  const int size = static_cast<int>(length);
  const int units = MultiByteToWideChar(kCp932, 0, text, size, nullptr, 0);
  if (units > 0) {
    out.resize(static_cast<size_t>(units));
    MultiByteToWideChar(kCp932, 0, text, size, &out[0], units);
    return out;
  }
  // No code page 932 on this system: what can be read for certain, and nothing made up.
  for (size_t i = 0; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    out += byte < 0x80 ? static_cast<wchar_t>(byte) : L'?';
  }
  return out;
}

void Cp932SpellingOf(const wchar_t* text, size_t length, char* out, size_t capacity) {
  std::memset(out, 0, capacity);
  size_t used = 0;
  for (size_t i = 0; i < length && used + 1 < capacity; ++i) {
    char bytes[4] = {};
    BOOL lossy = FALSE;
    int count = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, &text[i], 1, bytes, sizeof bytes, "?", &lossy);
    if (count <= 0 || lossy) {
      bytes[0] = '?';
      count = 1;
    }
    if (used + static_cast<size_t>(count) + 1 > capacity) break;  // whole characters only
    std::memcpy(out + used, bytes, static_cast<size_t>(count));
    used += static_cast<size_t>(count);
  }
}

bool SameWideNameIgnoringCase(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength) {
  if (aLength != bLength) return false;
  for (size_t i = 0; i < aLength; ++i) {
    if (a[i] != b[i] && RtlUpcaseUnicodeChar(a[i]) != RtlUpcaseUnicodeChar(b[i])) return false;
  }
  return true;
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
  if (StartsWith(path, kExtendedPrefix, kExtendedPrefixLength)) return path;
  if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') return kExtendedUncPrefix + path.substr(2);
  return kExtendedPrefix + path;
}

std::wstring OrdinaryPath(const std::wstring& path) {
  if (StartsWith(path, kExtendedUncPrefix, kExtendedUncPrefixLength)) return L"\\\\" + path.substr(kExtendedUncPrefixLength);
  if (StartsWith(path, kExtendedPrefix, kExtendedPrefixLength)) return path.substr(kExtendedPrefixLength);
  return path;
}

}  // namespace kc
