#include <shlobj.h>
#include <windows.h>

#include <cstring>

#include "common/path_buffer.h"
#include "common/path_copy.h"
#include "common/result_code.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

// True when the last character is a backslash. In code page 932 the byte 0x5C is also the second
// byte of characters such as "ソ" or "表", so a path ending in one of those does not end in a
// backslash although its last byte is 0x5C: walk the characters, not the bytes.
bool EndsWithBackslash(const char* path) {
  bool lastIsBackslash = false;
  for (const char* p = path; *p != '\0';) {
    const bool doubleByte = IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0';
    lastIsBackslash = !doubleByte && *p == '\\';
    p += doubleByte ? 2 : 1;
  }
  return lastIsBackslash;
}

ResultCode LookUpFolder(int csidl, ResultCode failure, char* out) {
  std::memset(out, 0, kPathBufferSize);

  char found[kPathBufferSize] = {};
  if (!SHGetSpecialFolderPathA(nullptr, found, csidl, FALSE)) return failure;
  found[kPathBufferSize - 1] = '\0';

  if (found[0] == '\0') return failure;
  // The system hands out at most MAX_PATH bytes; a longer answer is not a path we could use. A
  // refused join leaves the cleared buffer cleared.
  return JoinPath(out, kPathBufferSize, found, EndsWithBackslash(found) ? "" : "\\") ? kOk : failure;
}

}  // namespace

ResultCode GetDesktopFolderPath(char* out) {
  return LookUpFolder(CSIDL_DESKTOPDIRECTORY, kCommonDesktopUnavailable, out);
}

ResultCode GetCommonDesktopFolderPath(char* out) {
  return LookUpFolder(CSIDL_COMMON_DESKTOPDIRECTORY, kCommonDesktopUnavailable, out);
}

ResultCode GetFontsFolderPath(char* out) {
  return LookUpFolder(CSIDL_FONTS, kFontsFolderUnavailable, out);
}

ResultCode GetProgramFilesFolderPath(char* out) {
  return LookUpFolder(CSIDL_PROGRAM_FILES, kFolderUnavailable, out);
}

}  // namespace kc
