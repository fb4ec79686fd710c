#pragma once
// Timings of a removal run. The program uses the defaults; its test build shortens them.

#include <windows.h>

namespace kc {

struct RunOptions {
  // How long listed applications may keep their windows before the user is asked what to do.
  DWORD askAboutOpenApplicationsAfterMs = 10000;
  // How long a silent run waits for listed applications to close before it ends, removing
  // nothing: nobody is there to be asked.
  DWORD unattendedWaitForApplicationsMs = 60000;
  // A pause after every step of the progress bar, so that a test watching from outside sees each
  // state of a run that would otherwise pass in milliseconds. None in the program.
  DWORD pauseAfterProgressStepMs = 0;
};

RunOptions& CurrentRunOptions();

}  // namespace kc
