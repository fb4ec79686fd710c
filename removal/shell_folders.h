#pragma once
// The Windows special folders the removal needs. Each lookup clears the caller's buffer of
// kPathBufferSize bytes, then writes the folder path ending in exactly one backslash, ready for a
// file or folder name to be appended. A folder that does not exist is never created; the lookup
// fails instead and leaves the buffer empty (all zero).

#include <cstdint>

namespace kc {

// The current user's desktop directory (CSIDL_DESKTOPDIRECTORY). 0 or kCommonDesktopUnavailable.
int16_t GetDesktopFolderPath(char* out);

// The desktop directory shared by all users (CSIDL_COMMON_DESKTOPDIRECTORY). 0 or
// kCommonDesktopUnavailable (the same code as the user's desktop).
int16_t GetCommonDesktopFolderPath(char* out);

// The Windows Fonts folder (CSIDL_FONTS). 0 or kFontsFolderUnavailable.
int16_t GetFontsFolderPath(char* out);

// The program-files folder (CSIDL_PROGRAM_FILES). 0 or kFolderUnavailable.
int16_t GetProgramFilesFolderPath(char* out);

}  // namespace kc
