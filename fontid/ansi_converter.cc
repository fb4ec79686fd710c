#include "fontid/ansi_converter.h"

namespace kc {

int ConvertToAsciiStandIn(const char16_t* text, int unitCount, char* out, int outSize) {
  int length = 0;
  while (length < unitCount && text[length] != 0) ++length;
  const int needed = length + 1;
  if (out == nullptr) return needed;
  if (outSize < needed) return 0;
  for (int i = 0; i < length; ++i) out[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
  out[length] = '\0';
  return needed;
}

}  // namespace kc
