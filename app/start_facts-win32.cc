#include "app/start_facts-win32.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "common/wide_text-win32.h"
#include "res/version.h"

namespace kc {
namespace {

// The texts as Windows stores them, UTF-8 for the log: a program saved as "FontList (é).exe", or
// a user named José, is named as they are on any code page.
std::string ProgramName() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "?";
  const wchar_t* slash = std::wcsrchr(path, L'\\');
  return Utf8FromWide(slash != nullptr ? slash + 1 : path);
}

// "6.0.6002 Service Pack 2": numbers and service pack as the version record gives them.
std::string WindowsVersion() {
  OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);  // systems that know only the basic record
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return "?";
  }
  char text[64];
  // Windows 95/98/Me keep more than the build number in the field's high word.
  const DWORD build = info.dwPlatformId == VER_PLATFORM_WIN32_NT ? info.dwBuildNumber : info.dwBuildNumber & 0xFFFF;
  std::snprintf(text, sizeof text, "%lu.%lu.%lu", static_cast<unsigned long>(info.dwMajorVersion),
                static_cast<unsigned long>(info.dwMinorVersion), static_cast<unsigned long>(build));
  std::string version = text;
  const void* end = std::memchr(info.szCSDVersion, '\0', sizeof info.szCSDVersion);
  const size_t servicePackLength =
      end != nullptr ? static_cast<const char*>(end) - info.szCSDVersion : sizeof info.szCSDVersion;
  if (servicePackLength > 0) version += " " + std::string(info.szCSDVersion, servicePackLength);
  return version;
}

// The version ntdll's RtlGetVersion reports, which no compatibility shim lowers: "10.0.22631".
// Looked up at run time, as a function the program does not import.
std::string ActualWindowsVersion() {
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const auto rtlGetVersion =
      ntdll != nullptr ? reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                       : nullptr;
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (rtlGetVersion == nullptr || rtlGetVersion(&info) < 0) return "?";
  char text[64];
  std::snprintf(text, sizeof text, "%lu.%lu.%lu", static_cast<unsigned long>(info.dwMajorVersion),
                static_cast<unsigned long>(info.dwMinorVersion), static_cast<unsigned long>(info.dwBuildNumber));
  return text;
}

std::string UserName() {
  wchar_t name[257] = {};  // UNLEN + 1
  DWORD size = 257;
  return GetUserNameW(name, &size) ? Utf8FromWide(name) : "?";
}

std::string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &size) ? Utf8FromWide(name) : "?";
}

const char* ModeName(RunMode mode) {
  switch (mode) {
    case RunMode::kDialog: return "dialog";
    case RunMode::kSilent: return "silent";
    case RunMode::kPreview: return "preview";
    case RunMode::kReport: return "report";
  }
  return "?";
}

}  // namespace

StartFacts CurrentStartFacts(RunMode mode, const DriveRootList& drives) {
  StartFacts facts;
  facts.program = ProgramName();
  facts.version = KC_VERSION_TEXT;
  facts.mode = ModeName(mode);
  facts.windows = WindowsVersion();
  facts.actualWindows = ActualWindowsVersion();
  facts.user = UserName();
  facts.computer = ComputerName();
  for (const DriveRoot& drive : drives) facts.drives.emplace_back(drive.path);
  return facts;
}

}  // namespace kc
