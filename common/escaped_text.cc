#include "common/escaped_text.h"

namespace kc {
namespace {

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 character at `p` (RFC 3629: no overlong forms, no
// surrogates, nothing past U+10FFFF), or 0.
size_t Utf8CharacterLength(const unsigned char* p) {
  if (p[0] < 0x80) return 1;
  if (p[0] >= 0xC2 && p[0] <= 0xDF) return IsContinuation(p[1]) ? 2 : 0;
  if (p[0] >= 0xE0 && p[0] <= 0xEF) {
    if (!IsContinuation(p[1]) || !IsContinuation(p[2])) return 0;
    if (p[0] == 0xE0 && p[1] < 0xA0) return 0;   // overlong
    if (p[0] == 0xED && p[1] >= 0xA0) return 0;  // a surrogate
    return 3;
  }
  if (p[0] >= 0xF0 && p[0] <= 0xF4) {
    if (!IsContinuation(p[1]) || !IsContinuation(p[2]) || !IsContinuation(p[3])) return 0;
    if (p[0] == 0xF0 && p[1] < 0x90) return 0;   // overlong
    if (p[0] == 0xF4 && p[1] >= 0x90) return 0;  // past U+10FFFF
    return 4;
  }
  return 0;
}

// Characters some readers take for a line end: C1 controls (NEL, U+0085, among them) and the
// line and paragraph separators U+2028 and U+2029.
bool BreaksLines(const unsigned char* p, size_t length) {
  if (length == 2) return p[0] == 0xC2 && p[1] < 0xA0;
  return length == 3 && p[0] == 0xE2 && p[1] == 0x80 && (p[2] == 0xA8 || p[2] == 0xA9);
}

// `quotes`: '"' and '%' too, for a field of the log.
std::string EscapedUtf8(const char* text, bool quotes) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0;) {
    const size_t length = Utf8CharacterLength(p);
    const bool special = length == 1 && (IsControl(*p) || (quotes && (*p == '"' || *p == '%')));
    if (length == 0 || special || BreaksLines(p, length)) {
      // Each byte of it: a broken sequence must not swallow the quote or line end after it.
      const size_t bytes = length == 0 ? 1 : length;
      for (size_t i = 0; i < bytes; ++i) AppendPercentEscape(out, p[i]);
      p += bytes;
      continue;
    }
    out.append(reinterpret_cast<const char*>(p), length);
    p += length;
  }
  return out;
}

}  // namespace

void AppendPercentEscape(std::string& out, unsigned char byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  out += '%';
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

std::string EscapedText(const char* text, EscapeFor use) { return EscapedUtf8(text, use == EscapeFor::kLogField); }

}  // namespace kc
