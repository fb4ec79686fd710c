#include "app/interfering_apps-win32.h"

#include <psapi.h>

#include <cstring>
#include <set>

#include "common/path_buffer.h"
#include "common/path_split.h"
#include "common/scoped_win32.h"

namespace kc {

const char InterferingProcessNames[][kInterferingNameSize] = {"acrotray", "acrodist", ""};

int32_t g_nInterferingWindows = 0;

namespace {

// Executable names of the windows matched in the current pass, for telling the user.
std::set<std::string>& MatchedExecutables() {
  static std::set<std::string> names;
  return names;
}

bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

BOOL GetWindowProcessPath(HWND window, char* path) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (process.get() == nullptr) return FALSE;
  HMODULE executable = nullptr;
  DWORD needed = 0;
  if (!EnumProcessModules(process.get(), &executable, sizeof executable, &needed)) return FALSE;
  return GetModuleFileNameExA(process.get(), executable, path, MAX_PATH) != 0;
}

BOOL CALLBACK CloseInterferingWindowsProc(HWND window, LPARAM) {
  char path[kPathBufferSize] = {};
  GetWindowProcessPath(window, path);  // on failure the path stays empty and matches nothing
  const BaseName base = BaseNameOf(path, IsSystemLeadByte);
  const std::string baseName(base.start, base.length);
  for (int i = 0; InterferingProcessNames[i][0] != '\0'; ++i) {
    if (_stricmp(baseName.c_str(), InterferingProcessNames[i]) == 0) {
      ++g_nInterferingWindows;
      PostMessageA(window, WM_CLOSE, 0, 0);
      MatchedExecutables().insert(std::string(base.start));
      break;
    }
  }
  return TRUE;
}

namespace {

void CountingPass() {
  g_nInterferingWindows = 0;
  MatchedExecutables().clear();
  EnumWindows(CloseInterferingWindowsProc, 0);
}

std::string MatchedExecutableList() {
  std::string list;
  for (const std::string& name : MatchedExecutables()) list += name + "\r\n";
  return list;
}

}  // namespace

bool WaitForInterferingApplications(const InterferenceWait& wait) {
  MatchedExecutables().clear();
  EnumWindows(CloseInterferingWindowsProc, 0);  // the first requests; their count is not looked at
  if (wait.closeRequested && !MatchedExecutables().empty()) wait.closeRequested(MatchedExecutableList());
  DWORD waitingSince = GetTickCount();
  for (;;) {
    CountingPass();
    if (wait.pumpMessages) wait.pumpMessages();
    if (g_nInterferingWindows == 0) return true;
    if (GetTickCount() - waitingSince >= wait.askAfterMs && wait.askUser) {
      if (wait.askUser(MatchedExecutableList()) == StillOpenChoice::kEndProgram) return false;
      waitingSince = GetTickCount();
    }
    Sleep(wait.pauseBetweenPassesMs);
  }
}

}  // namespace kc
