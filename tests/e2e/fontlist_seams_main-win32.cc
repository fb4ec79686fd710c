// FontListSeams.exe: FontList.exe itself, with start-up answers that Wine cannot give, chosen on the
// command line; every other argument (/silent, /log:...) goes to the program as it stands:
//   win32s             GetVersion answers Windows 3.1 with Win32s
//   win98              GetVersion answers Windows 98 (no administrator check at all)
//   drives-unreadable  GetLogicalDriveStringsA fails
//   drives-no-memory   storing the first drive root throws std::bad_alloc
//   drives-none        GetLogicalDriveStringsA answers with no drive at all
//   fail-append=N      the append after N successful ones (drive roots and found fonts) throws
//   ask-after-ms=N     listed applications may keep their windows N ms before the user is asked
//   step-pause-ms=N    a pause of N ms after every step of the progress bar, for watchers
//   silent-wait-ms=N   a silent run waits N ms (not 60 s) for listed applications to close
//   dll-preload        the DLL search is restricted as on Windows without SetDefaultDllDirectories
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/dll_search-win32.h"
#include "app/font_list_app-win32.h"
#include "app/program_arguments-win32.h"
#include "app/run_options-win32.h"
#include "app/startup_sources-win32.h"
#include "common/append.h"

kc::CFontListApp theApp;

namespace {

DWORD Win32sVersion() { return 0x80000003; }    // top bit set, major version 3
DWORD Windows98Version() { return 0xC0000A04; }  // top bit set, major version 4, minor 10
unsigned long FailingDriveStrings(unsigned long, char*) { return 0; }
unsigned long NoDriveStrings(unsigned long, char* buffer) {
  buffer[0] = buffer[1] = '\0';
  return 1;
}

// The number after "NAME=" in `argument`, or -1 when the argument is not NAME=...
long NumberAfter(const char* argument, const char* name) {
  const size_t length = std::strlen(name);
  if (std::strncmp(argument, name, length) != 0 || argument[length] != '=') return -1;
  return std::strtol(argument + length + 1, nullptr, 10);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // First, as in the program: reading the arguments loads nothing.
  std::vector<std::string>& programArguments = kc::ProgramArguments();
  const std::vector<std::string> given = programArguments;
  bool preload = false;
  for (const std::string& argument : given) preload = preload || argument == "dll-preload";
  kc::RestrictDllSearch(!preload);
  kc::StartupSources& sources = kc::CurrentStartupSources();
  kc::RunOptions& options = kc::CurrentRunOptions();
  programArguments.clear();
  for (const std::string& argument : given) {
    const char* seam = argument.c_str();
    if (std::strcmp(seam, "dll-preload") == 0) {
      continue;
    } else if (std::strcmp(seam, "win32s") == 0) {
      sources.getVersion = Win32sVersion;
    } else if (std::strcmp(seam, "win98") == 0) {
      sources.getVersion = Windows98Version;
    } else if (std::strcmp(seam, "drives-unreadable") == 0) {
      sources.getDriveStrings = FailingDriveStrings;
    } else if (std::strcmp(seam, "drives-no-memory") == 0) {
      kc::ArmAppendFailure(0);
    } else if (std::strcmp(seam, "drives-none") == 0) {
      sources.getDriveStrings = NoDriveStrings;
    } else if (NumberAfter(seam, "fail-append") >= 0) {
      kc::ArmAppendFailure(NumberAfter(seam, "fail-append"));
    } else if (NumberAfter(seam, "step-pause-ms") >= 0) {
      options.pauseAfterProgressStepMs = static_cast<DWORD>(NumberAfter(seam, "step-pause-ms"));
    } else if (NumberAfter(seam, "ask-after-ms") >= 0) {
      options.askAboutOpenApplicationsAfterMs = static_cast<DWORD>(NumberAfter(seam, "ask-after-ms"));
    } else if (NumberAfter(seam, "silent-wait-ms") >= 0) {
      options.unattendedWaitForApplicationsMs = static_cast<DWORD>(NumberAfter(seam, "silent-wait-ms"));
    } else {
      programArguments.push_back(argument);
    }
  }
  return kc::AfxWinMain(instance);
}
