#include <windows.h>

#include <algorithm>
#include <string>

#include "fontid/ansi_converter.h"

namespace kc {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

namespace {

// Descriptions are short: a copy on the stack spares the allocation that a file of many records
// would repeat for each.
constexpr int kStackUnits = 256;

// WideCharToMultiByte with the text's explicit length, which gives the same bytes as a
// zero-terminated source without the terminating zero. Code page 932 itself, whatever the
// system's: a tag is decided alike on every Windows (code page 1252's best fit would make the
// full-width "ＫＣＯＶ" a product tag on an English one). A Windows without that code page (XP
// without East Asian support) converts with its own.
int ConvertUnits(const wchar_t* source, int length, char* out, int outSize) {
  const int bytes = WideCharToMultiByte(932, 0, source, length, out, outSize, nullptr, nullptr);
  if (bytes != 0 || GetLastError() != ERROR_INVALID_PARAMETER) return bytes;
  return WideCharToMultiByte(CP_ACP, 0, source, length, out, outSize, nullptr, nullptr);
}

}  // namespace

int ConvertToAnsiCodePage(const char16_t* text, int unitCount, char* out, int outSize) {
  int length = 0;
  while (length < unitCount && text[length] != 0) ++length;
  if (out != nullptr && outSize <= 0) return 0;
  // WideCharToMultiByte refuses a length of 0; an empty text is its terminating zero alone.
  if (length == 0) {
    if (out != nullptr) out[0] = '\0';
    return 1;
  }
  // Room for at least one byte besides the zero: an output size of 0 would make
  // WideCharToMultiByte answer the size needed instead of writing.
  if (out != nullptr && outSize < 2) return 0;

  wchar_t stackCopy[kStackUnits];
  std::wstring heapCopy;
  const wchar_t* source = stackCopy;
  if (length <= kStackUnits) {
    std::copy(text, text + length, stackCopy);
  } else {
    heapCopy.assign(text, text + length);
    source = heapCopy.c_str();
  }
  const int bytes = ConvertUnits(source, length, out, out == nullptr ? 0 : outSize - 1);
  if (bytes <= 0) return 0;
  if (out != nullptr) out[bytes] = '\0';
  return bytes + 1;
}

}  // namespace kc
