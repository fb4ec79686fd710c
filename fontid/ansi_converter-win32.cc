#include <windows.h>

#include <string>

#include "fontid/ansi_converter.h"

namespace kc {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

int ConvertToAnsiCodePage(const char16_t* text, int unitCount, char* out, int outSize) {
  // A zero-terminated copy, so the conversion also ends at a zero unit inside the string.
  std::wstring source(text, text + (unitCount > 0 ? unitCount : 0));
  return WideCharToMultiByte(CP_ACP, 0, source.c_str(), -1, out, out == nullptr ? 0 : outSize,
                             nullptr, nullptr);
}

}  // namespace kc
