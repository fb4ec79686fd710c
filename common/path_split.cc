#include "common/path_split.h"

namespace kc {

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

BaseName BaseNameOf(const char* path, LeadByteTest isLeadByte) {
  const char* component = path;
  const char* dot = nullptr;
  const char* p = path;
  while (*p != '\0') {
    const unsigned char byte = static_cast<unsigned char>(*p);
    if (isLeadByte(byte) && p[1] != '\0') {
      p += 2;
      continue;
    }
    if (byte == '\\' || byte == '/' || byte == ':') {
      component = p + 1;
      dot = nullptr;
    } else if (byte == '.') {
      dot = p;
    }
    ++p;
  }
  const char* end = dot != nullptr ? dot : p;
  return {component, static_cast<size_t>(end - component)};
}

bool EndsWithSeparator(const char* path, LeadByteTest isLeadByte) {
  bool separator = false;
  for (const char* p = path; *p != '\0';) {
    const unsigned char byte = static_cast<unsigned char>(*p);
    const bool doubleByte = isLeadByte(byte) && p[1] != '\0';
    separator = !doubleByte && (byte == '\\' || byte == '/');
    p += doubleByte ? 2 : 1;
  }
  return separator;
}

}  // namespace kc
