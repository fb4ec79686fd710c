#include "discovery/font_file_name.h"

#include <cwchar>

namespace kc {
namespace {

bool SameUnits(const wchar_t* text, size_t length, const wchar_t* wanted) {
  const size_t wantedLength = std::wcslen(wanted);
  return length == wantedLength && std::wmemcmp(text, wanted, length) == 0;
}

}  // namespace

EntryName SplitEntryName(const wchar_t* name, size_t length) {
  size_t dot = length;
  while (dot > 0 && name[dot - 1] != L'.') --dot;
  if (dot == 0) return {name, length, name + length, length};
  return {name, dot - 1, name + dot - 1, length};
}

FontFileType FontFileTypeOf(const wchar_t* extension, size_t length) {
  if (SameUnits(extension, length, L".otf")) return FontFileType::kOpenType;
  if (SameUnits(extension, length, L".ttc")) return FontFileType::kCollection;
  return FontFileType::kNone;
}

bool IsZusuujiFileName(const wchar_t* stem, size_t stemLength) {
  static constexpr wchar_t kPrefix[] = L"ZUSuuji";
  constexpr size_t kPrefixLength = sizeof kPrefix / sizeof kPrefix[0] - 1;
  return stemLength >= kPrefixLength && std::wmemcmp(stem, kPrefix, kPrefixLength) == 0;
}

}  // namespace kc
