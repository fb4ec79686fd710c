#pragma once
// The Windows special folders the removal needs. Each lookup clears the caller's buffer of
// kPathBufferSize bytes, then writes the folder path ending in exactly one backslash, ready for a
// file or folder name to be appended. A folder that does not exist is never created; the lookup
// fails instead and leaves the buffer empty (all zero).

#include <cstdint>

#include "common/result_code.h"

namespace kc {

// The current user's desktop directory (CSIDL_DESKTOPDIRECTORY). 0 or kCommonDesktopUnavailable.
ResultCode GetDesktopFolderPath(char* out);

// The desktop directory shared by all users (CSIDL_COMMON_DESKTOPDIRECTORY). 0 or
// kCommonDesktopUnavailable (the same code as the user's desktop).
ResultCode GetCommonDesktopFolderPath(char* out);

// The Windows Fonts folder (CSIDL_FONTS). 0 or kFontsFolderUnavailable.
ResultCode GetFontsFolderPath(char* out);

// The program-files folder (CSIDL_PROGRAM_FILES). 0 or kFolderUnavailable.
ResultCode GetProgramFilesFolderPath(char* out);

}  // namespace kc
