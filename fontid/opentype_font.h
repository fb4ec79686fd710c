#pragma once
// Identifying one .otf file with one open: the signature check (IsOpenTypeCffFile) and the name
// reader (ReadSfntNameInfo) read the same open file, each with its own result as before. The walk
// hands over the file it opened (common/open_font_file-win32.h), and removes through that open
// what is identified here.

#include <cstdint>
#include <cstdio>

#include "common/result_code.h"
#include "found_fonts/found_fonts.h"

namespace kc {

class OpenFontFile;

// Runs the signature check and, when it passes, the name reader over `file`, read from its start
// through the file's own stream (OpenFontFile::Stream). Returns false, the record untouched, when
// the file is not open or does not begin with "OTTO" (what IsOpenTypeCffFile answers); true
// otherwise, with ReadSfntNameInfo's result in `nameResult` and the record filled as it fills it.
// The file stays open.
bool IdentifyOpenTypeFile(OpenFontFile& file, OpenTypeFontRecord& record, ResultCode& nameResult);

// The same for the file at `path` (UTF-16), opened as the walk opens it and closed on return (a
// font another process holds is read too; one held without read sharing cannot be).
bool IdentifyOpenTypeFile(const wchar_t* path, OpenTypeFontRecord& record, ResultCode& nameResult);

// The same over an open stream (any position; it stays open).
bool IdentifyOpenTypeStream(std::FILE* file, OpenTypeFontRecord& record, ResultCode& nameResult);

}  // namespace kc
