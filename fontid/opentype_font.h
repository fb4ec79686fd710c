#pragma once
// Identifying one .otf file with one open: the signature check (IsOpenTypeCffFile) and the name
// reader (ReadSfntNameInfo) read the same open file, each with its own result as before.

#include <cstdint>
#include <cstdio>

#include "common/result_code.h"
#include "discovery/found_fonts.h"

namespace kc {

// Opens the file named by record.path once, sharing all access, so that a font another process
// holds (Windows or an application using it) is read too; only a file held without read sharing
// cannot be opened. Then runs the signature check and, when it passes, the name reader over that
// open file. Returns false, the record untouched, when the file cannot be opened or does not begin
// with "OTTO" (what IsOpenTypeCffFile answers); true otherwise, with ReadSfntNameInfo's result in
// `nameResult` and the record filled as it fills it. Nothing of the file is held open on return.
bool IdentifyOpenTypeFile(OpenTypeFontRecord& record, ResultCode& nameResult);

// The same over an open stream (any position; it stays open).
bool IdentifyOpenTypeStream(std::FILE* file, OpenTypeFontRecord& record, ResultCode& nameResult);

}  // namespace kc
