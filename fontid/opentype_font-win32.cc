#include "common/open_font_file-win32.h"
#include "fontid/opentype_font.h"

namespace kc {

bool IdentifyOpenTypeFile(OpenFontFile& file, OpenTypeFontRecord& record, ResultCode& nameResult) {
  std::FILE* stream = file.Stream();
  return stream != nullptr && IdentifyOpenTypeStream(stream, record, nameResult);
}

bool IdentifyOpenTypeFile(const wchar_t* path, OpenTypeFontRecord& record, ResultCode& nameResult) {
  OpenFontFile file(path);
  return IdentifyOpenTypeFile(file, record, nameResult);
}

}  // namespace kc
