#include "app/startup_sources-win32.h"

namespace kc {
namespace {

DWORD SystemVersion() { return GetVersion(); }

}  // namespace

StartupSources& CurrentStartupSources() {
  static StartupSources sources = {SystemVersion, nullptr};
  return sources;
}

}  // namespace kc
