#include "app/platform_kind-win32.h"

#include "app/startup_sources-win32.h"

namespace kc {

PlatformKind PlatformKindFromVersion(DWORD version) {
  if (version < 0x80000000u) return PLATFORM_NT;
  const DWORD major = version & 0xFF;
  return major < 4 ? PLATFORM_WIN32S : PLATFORM_WIN9X;
}

PlatformKind GetPlatformKind() { return PlatformKindFromVersion(CurrentStartupSources().getVersion()); }

}  // namespace kc
