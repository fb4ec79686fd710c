#pragma once
// The Windows special folders the removal needs, as Windows stores their paths (UTF-16). Each
// lookup writes the folder path ending in exactly one backslash, ready for a file or folder name
// to be appended. A folder that does not exist is never created; the lookup fails instead and
// leaves `out` empty.

#include <string>

#include "common/result_code.h"

namespace kc {

// The current user's desktop directory (CSIDL_DESKTOPDIRECTORY). 0 or kCommonDesktopUnavailable.
ResultCode GetDesktopFolderPath(std::wstring& out);

// The desktop directory shared by all users (CSIDL_COMMON_DESKTOPDIRECTORY). 0 or
// kCommonDesktopUnavailable (the same code as the user's desktop).
ResultCode GetCommonDesktopFolderPath(std::wstring& out);

// The Windows Fonts folder (CSIDL_FONTS). 0 or kFontsFolderUnavailable.
ResultCode GetFontsFolderPath(std::wstring& out);

// The program-files folder (CSIDL_PROGRAM_FILES). 0 or kFolderUnavailable.
ResultCode GetProgramFilesFolderPath(std::wstring& out);

}  // namespace kc
