#include <shlobj.h>
#include <windows.h>

#include <cstring>

#include "common/path_buffer.h"
#include "common/path_copy.h"
#include "common/path_split.h"
#include "common/result_code.h"
#include "common/system_lead_byte-win32.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

ResultCode LookUpFolder(int csidl, ResultCode failure, char* out) {
  std::memset(out, 0, kPathBufferSize);

  char found[kPathBufferSize] = {};
  if (!SHGetSpecialFolderPathA(nullptr, found, csidl, FALSE)) return failure;
  found[kPathBufferSize - 1] = '\0';

  if (found[0] == '\0') return failure;
  // The system hands out at most MAX_PATH bytes; a longer answer is not a path we could use. A
  // refused join leaves the cleared buffer cleared.
  return JoinPath(out, kPathBufferSize, found, EndsWithSeparator(found, IsSystemLeadByte) ? "" : "\\") ? kOk : failure;
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
