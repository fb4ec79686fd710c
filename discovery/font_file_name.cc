#include "discovery/font_file_name.h"

#include <cstring>

namespace kc {

EntryName SplitEntryName(const char* name) {
  const char* dot = std::strrchr(name, '.');
  const size_t length = std::strlen(name);
  if (dot == nullptr) return {name, length, name + length, length};
  return {name, static_cast<size_t>(dot - name), dot, length};
}

FontFileType FontFileTypeOf(const char* extension) {
  if (std::strcmp(extension, ".otf") == 0) return FontFileType::kOpenType;
  if (std::strcmp(extension, ".ttc") == 0) return FontFileType::kCollection;
  return FontFileType::kNone;
}

bool IsZusuujiFileName(const char* stem, size_t stemLength) {
  static constexpr char kPrefix[] = "ZUSuuji";
  constexpr size_t kPrefixLength = sizeof kPrefix - 1;
  return stemLength >= kPrefixLength && std::memcmp(stem, kPrefix, kPrefixLength) == 0;
}

}  // namespace kc
