#pragma once
// Reads an OpenType font's name table with buffered standard-library reads and fills the
// record the search keeps for a .otf file: the Macintosh Japanese full name, the kind that the
// description tag (nameID 13, Macintosh platform) gives, with that tag, and the Japanese full name
// of the Windows platform (UTF-16) as UTF-8 in displayName, where the font has one.

#include <cstdint>
#include <cstdio>

#include "common/result_code.h"
#include "found_fonts/found_fonts.h"

namespace kc {

// Reads the font named by record.path (zero-terminated, code page 932). The caller hands the
// record over zero-filled except for path; the reader never clears it, and fields written before
// a failure stay written. A full name longer than 255 bytes keeps its whole characters within
// the first 255 bytes (Shift-JIS lead bytes by code page 932's rule). Returns 0 (also for a font
// without a name table), or
//   kSfntOpenFailed (-101)  the file cannot be opened (or path is not terminated in its buffer);
//   -102                    a seek fails (to the name table, to a string, or back), also one to
//                           an offset past 2^31 - 1 on every system, as fseek's long has 32 bits
//                           on Windows;
//   -103                    a structure or string is cut short by the end of the file, or the
//                           position cannot be obtained;
//   -104                    memory for the name records (at most the file's size) or for the
//                           strings they select (at most about 64 KB) cannot be had.
// The search ignores the result: fullName and kind alone decide.
ResultCode ReadSfntNameInfo(OpenTypeFontRecord& record);

// The same over an open stream positioned anywhere (the fuzzer feeds memory streams). The stream
// stays open.
ResultCode ReadSfntNameInfoFromStream(std::FILE* file, OpenTypeFontRecord& record);

}  // namespace kc
