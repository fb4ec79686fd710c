#include "fontid/opentype_font.h"

#include "fontid/opentype_signature.h"
#include "fontid/sfnt_name_reader.h"

namespace kc {

bool IdentifyOpenTypeStream(std::FILE* file, OpenTypeFontRecord& record, ResultCode& nameResult) {
  if (!IsOpenTypeCffStream(file)) return false;
  nameResult = ReadSfntNameInfoFromStream(file, record);  // measures the file from its start
  return true;
}

}  // namespace kc
