// libFuzzer target: the OpenType name reader over arbitrary bytes, read through a memory stream.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fontid/sfnt_name_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;
  kc::OpenTypeFontRecord record;
  std::memset(&record, 0, sizeof record);
  const int16_t result = kc::ReadSfntNameInfoFromStream(file, record);
  std::fclose(file);

  // What the search relies on, whatever the bytes.
  if (result != 0 && result != -102 && result != -103 && result != -104) std::abort();
  if (record.fullName[kc::kFullNameSize - 1] != '\0') std::abort();
  if (record.kind < 0 || record.kind > 2) std::abort();
  for (char c : record.path) {
    if (c != '\0') std::abort();
  }
  return 0;
}
