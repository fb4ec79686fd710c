#pragma once
// Which removal an OpenType product font gets depends on the Windows version: on Windows 6.0
// a font in the Fonts folder is uninstalled, on the supported 5.x systems it is deleted.

#include <cstdint>

#include "common/result_code.h"

namespace kc {

enum OsKind : int {
  kOsKindWindows5 = 0,  // 2000 SP4 or later, XP SP2 or later
  kOsKindVista = 1,     // 6.0, any service pack
};

// Maps version numbers to a kind. Returns 0 and writes `kind`, or kUnsupportedVersion and leaves
// `kind` as it was.
ResultCode ClassifyOsVersion(uint32_t major, uint32_t minor, uint16_t servicePackMajor, OsKind& kind);

}  // namespace kc
