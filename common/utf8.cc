#include "common/utf8.h"

namespace kc {
namespace {

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void AppendUtf16(std::wstring& out, uint32_t code) {
  if (code < 0x10000) {
    out += static_cast<wchar_t>(code);
    return;
  }
  code -= 0x10000;
  out += static_cast<wchar_t>(0xD800 + (code >> 10));
  out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
}

}  // namespace

std::wstring WideFromUtf8(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  for (size_t i = 0; i < size;) {
    const unsigned char lead = p[i];
    size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= size || !IsContinuation(p[i + k])) {
        length = 0;
        break;
      }
      code = code << 6 | (p[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no characters either.
    const bool wellFormed = length != 0 && !(length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) &&
                            !(length == 4 && (code < 0x10000 || code > 0x10FFFF));
    if (!wellFormed) {
      out += static_cast<wchar_t>(0xFFFD);
      ++i;
      continue;
    }
    AppendUtf16(out, code);
    i += length;
  }
  return out;
}

std::string Utf8FromUtf16(const char16_t* units, size_t count) {
  std::string out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    uint32_t code = units[i];
    if (IsHighSurrogate(code) && i + 1 < count && IsLowSurrogate(units[i + 1])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
      ++i;
    } else if (IsHighSurrogate(code) || IsLowSurrogate(code)) {
      code = 0xFFFD;
    }
    AppendUtf8(out, code);
  }
  return out;
}

}  // namespace kc
