#include <cstring>

#include "common/open_font_file-win32.h"
#include "fontid/opentype_font.h"

namespace kc {

bool IdentifyOpenTypeFile(OpenFontFile& file, OpenTypeFontRecord& record, ResultCode& nameResult) {
  std::FILE* stream = file.Stream();
  return stream != nullptr && IdentifyOpenTypeStream(stream, record, nameResult);
}

bool IdentifyOpenTypeFile(OpenTypeFontRecord& record, ResultCode& nameResult) {
  if (std::memchr(record.path, '\0', sizeof record.path) == nullptr) return false;
  OpenFontFile file(record.path);
  return IdentifyOpenTypeFile(file, record, nameResult);
}

}  // namespace kc
