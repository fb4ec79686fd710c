#include "common/escaped_text.h"

#include "common/path_split.h"

namespace kc {
namespace {

// Code page 932: the bytes that may end a double-byte character. No byte below 0x40 is a trail
// byte, so a control character, '"' or '%' is never half of a character.
bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

void AppendPercentEscape(std::string& out, unsigned char byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  out += '%';
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

std::string EscapedText(const char* text, EscapeFor use) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (IsCp932LeadByte(*p)) {
      if (IsTrailByte(p[1])) {
        out += static_cast<char>(p[0]);
        out += static_cast<char>(p[1]);
        ++p;
      } else {
        AppendPercentEscape(out, *p);
      }
      continue;
    }
    const bool special = use == EscapeFor::kLogField && (*p == '"' || *p == '%');
    if (IsControl(*p) || special) {
      AppendPercentEscape(out, *p);
    } else {
      out += static_cast<char>(*p);
    }
  }
  return out;
}

}  // namespace kc
