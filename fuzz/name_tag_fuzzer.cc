// libFuzzer target: the walk over a mapped collection (or single OpenType font) and the
// classification of what it finds. The bytes are copied to a buffer of exactly their size, so
// AddressSanitizer sees any read past the end of the "view".

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/result_code.h"
#include "fontid/ansi_converter.h"
#include "fontid/description_tag.h"
#include "fontid/name_tag_ctrl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  std::unique_ptr<unsigned char[]> view(new unsigned char[size == 0 ? 1 : size]);
  if (size > 0) std::memcpy(view.get(), data, size);

  char nameTag[kc::kDescriptionMax + 1] = {};
  const char kCanary = 0x5A;
  nameTag[kc::kDescriptionMax] = kCanary;
  kc::CNameTagCtrl control(kc::ConvertToAnsiCodePage);
  if (control.ReadNameTag(static_cast<int32_t>(size), view.get(), nameTag)) {
    const int32_t kind = kc::ClassifyCollectionTag(nameTag);
    if (kind != 3 && kind != 4 && kind != kc::kUnknownCollectionTag) std::abort();
  }
  if (nameTag[kc::kDescriptionMax] != kCanary) std::abort();
  return 0;
}
