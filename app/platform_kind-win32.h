#pragma once
// Which Windows family the program runs on. Only Win32s is refused.

#include <windows.h>

#include <cstdint>

namespace kc {

enum PlatformKind : int16_t {
  PLATFORM_NT = 0,     // NT, 2000, XP, Vista and later
  PLATFORM_WIN9X = 1,  // Windows 95, 98, Me
  PLATFORM_WIN32S = 2  // Win32s on 16-bit Windows 3.x
};

// From the value of GetVersion: top bit clear is NT; otherwise a major version below 4 is Win32s.
PlatformKind PlatformKindFromVersion(DWORD version);

// Asks the start-up version source (GetVersion) once.
PlatformKind GetPlatformKind();

}  // namespace kc
