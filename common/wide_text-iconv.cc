#include <iconv.h>

#include "common/wide_text.h"

namespace kc {

std::wstring WideFromCp932(const std::string& text) {
  std::wstring wide;
  const iconv_t converter = iconv_open("WCHAR_T", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return wide;
  wide.resize(text.size());  // never more characters than bytes
  std::string in = text;
  char* inPos = &in[0];
  size_t inLeft = in.size();
  char* outPos = reinterpret_cast<char*>(&wide[0]);
  size_t outLeft = wide.size() * sizeof(wchar_t);
  while (inLeft > 0 && iconv(converter, &inPos, &inLeft, &outPos, &outLeft) == static_cast<size_t>(-1)) {
    // A byte that is no character: the code page's default character, as Windows makes it.
    *reinterpret_cast<wchar_t*>(outPos) = L'\x30FB';
    outPos += sizeof(wchar_t);
    outLeft -= sizeof(wchar_t);
    ++inPos;
    --inLeft;
  }
  iconv_close(converter);
  wide.resize(wide.size() - outLeft / sizeof(wchar_t));
  return wide;
}

}  // namespace kc
