#pragma once
// Before any font is touched, the applications that hold the product's fonts open ("acrotray",
// "acrodist") are asked to close every top-level window, and the run waits until none is left.

#include <windows.h>

#include <functional>
#include <string>

namespace kc {

enum class StillOpenChoice { kRetry, kEndProgram };

struct InterferenceWait {
  // Lets this program's own window messages through between passes.
  std::function<void()> pumpMessages;
  // Asked when listed applications still have windows after `askAfterMs`; gets their executable
  // names, one per line. Nothing has been touched yet, so ending the program then is safe.
  std::function<StillOpenChoice(const std::string& applications)> askUser;
  // Told once, after the first requests, which applications were asked to close (executable
  // names, one per line); not called when none was running.
  std::function<void(const std::string& applications)> closeRequested;
  DWORD askAfterMs = 10000;
  DWORD pauseBetweenPassesMs = 50;  // a pass is cheap, but spinning would hold a core for nothing
};

// Asks the windows to close and waits until one pass finds none: true. False when the user chose
// to end the program instead.
bool WaitForInterferingApplications(const InterferenceWait& wait);

}  // namespace kc
