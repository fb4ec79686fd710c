#pragma once
// Before any font is touched, the applications that hold the product's fonts open ("acrotray",
// "acrodist") are asked to close every top-level window, and the run waits until none is left.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace kc {

constexpr int kInterferingNameSize = 10;

// Base names of the executables, compared ignoring case; ends with an empty entry.
extern const char InterferingProcessNames[][kInterferingNameSize];

// Windows of listed applications matched in the current enumeration pass.
extern int32_t g_nInterferingWindows;

// Writes the full path of the executable that owns `window` into `path` (at least MAX_PATH
// bytes, cleared by the caller). FALSE when the process cannot be opened or queried.
BOOL GetWindowProcessPath(HWND window, char* path);

// EnumWindows callback: posts WM_CLOSE to every top-level window of a listed application and
// counts it. Always TRUE, so that every window is visited.
BOOL CALLBACK CloseInterferingWindowsProc(HWND window, LPARAM unused);

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
