#include <shlobj.h>
#include <windows.h>

#include "common/result_code.h"
#include "removal/shell_folders.h"

namespace kc {
namespace {

ResultCode LookUpFolder(int csidl, ResultCode failure, std::wstring& out) {
  out.clear();
  wchar_t found[MAX_PATH + 1] = {};  // the shell hands out at most MAX_PATH characters
  if (!SHGetSpecialFolderPathW(nullptr, found, csidl, FALSE) || found[0] == L'\0') return failure;
  found[MAX_PATH] = L'\0';
  out = found;
  // A root such as D:\ comes with its backslash. UTF-16 has no trail byte that looks like one.
  if (out.back() != L'\\') out += L'\\';
  return kOk;
}

}  // namespace

ResultCode GetDesktopFolderPath(std::wstring& out) {
  return LookUpFolder(CSIDL_DESKTOPDIRECTORY, kCommonDesktopUnavailable, out);
}

ResultCode GetCommonDesktopFolderPath(std::wstring& out) {
  return LookUpFolder(CSIDL_COMMON_DESKTOPDIRECTORY, kCommonDesktopUnavailable, out);
}

ResultCode GetFontsFolderPath(std::wstring& out) { return LookUpFolder(CSIDL_FONTS, kFontsFolderUnavailable, out); }

ResultCode GetProgramFilesFolderPath(std::wstring& out) {
  return LookUpFolder(CSIDL_PROGRAM_FILES, kFolderUnavailable, out);
}

}  // namespace kc
