// FontListSeams.exe: FontList.exe itself, with start-up answers that Wine cannot give, chosen on the
// command line (the real program takes no arguments):
//   win32s             GetVersion answers Windows 3.1 with Win32s
//   win98              GetVersion answers Windows 98 (no administrator check at all)
//   drives-unreadable  GetLogicalDriveStringsA fails
//   drives-no-memory   storing the first drive root throws std::bad_alloc
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/font_list_app-win32.h"
#include "app/startup_sources-win32.h"
#include "common/append.h"

kc::CFontListApp theApp;

namespace {

DWORD Win32sVersion() { return 0x80000003; }    // top bit set, major version 3
DWORD Windows98Version() { return 0xC0000A04; }  // top bit set, major version 4, minor 10
unsigned long FailingDriveStrings(unsigned long, char*) { return 0; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kc::StartupSources& sources = kc::CurrentStartupSources();
  for (int i = 1; i < __argc; ++i) {
    const char* seam = __argv[i];
    if (std::strcmp(seam, "win32s") == 0) sources.getVersion = Win32sVersion;
    if (std::strcmp(seam, "win98") == 0) sources.getVersion = Windows98Version;
    if (std::strcmp(seam, "drives-unreadable") == 0) sources.getDriveStrings = FailingDriveStrings;
    if (std::strcmp(seam, "drives-no-memory") == 0) kc::ArmAppendFailure(0);
  }
  return kc::AfxWinMain(instance);
}
