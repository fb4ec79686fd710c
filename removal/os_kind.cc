#include "removal/os_kind.h"

#include "common/result_code.h"

namespace kc {

ResultCode ClassifyOsVersion(uint32_t major, uint32_t minor, uint16_t servicePackMajor, OsKind& kind) {
  const bool windows2000Sp4 = major == 5 && minor == 0 && servicePackMajor >= 4;
  const bool windowsXpSp2 = major == 5 && minor == 1 && servicePackMajor >= 2;
  if (windows2000Sp4 || windowsXpSp2) {
    kind = kOsKindWindows5;
    return kOk;
  }
  if (major == 6 && minor == 0) {
    kind = kOsKindVista;
    return kOk;
  }
  return kUnsupportedVersion;
}

}  // namespace kc
