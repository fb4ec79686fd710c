#include "app/interfering_apps-win32.h"

#include <cstdint>
#include <cstring>
#include <set>

#include "common/path_buffer.h"
#include "common/path_split.h"
#include "common/scoped_handles-win32.h"
#include "common/system_lead_byte-win32.h"
#include "common/system_library-win32.h"

namespace kc {
namespace {

constexpr int kInterferingNameSize = 10;

// Base names of the executables, compared ignoring case; ends with an empty entry.
const char InterferingProcessNames[][kInterferingNameSize] = {"acrotray", "acrodist", ""};

// What one enumeration pass finds. EnumWindows hands it to the callback through its LPARAM, so
// that nothing of a pass outlives it.
struct InterferencePass {
  int32_t nInterferingWindows = 0;    // windows of listed applications matched in this pass
  std::set<std::string> executables;  // their executable names, for telling the user
};

// psapi.dll is no KnownDLL before Windows 7: imported, it would be looked for in the program's
// folder first. Its two functions are taken from System32's copy instead, once.
struct ProcessStatusFunctions {
  using EnumProcessModulesFunction = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);
  using GetModuleFileNameExFunction = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
  EnumProcessModulesFunction enumProcessModules = nullptr;
  GetModuleFileNameExFunction getModuleFileNameEx = nullptr;

  ProcessStatusFunctions() {
    const HMODULE psapi = LoadSystemLibrary("psapi.dll");
    if (psapi == nullptr) return;
    enumProcessModules = reinterpret_cast<EnumProcessModulesFunction>(
        reinterpret_cast<void*>(GetProcAddress(psapi, "EnumProcessModules")));
    getModuleFileNameEx = reinterpret_cast<GetModuleFileNameExFunction>(
        reinterpret_cast<void*>(GetProcAddress(psapi, "GetModuleFileNameExA")));
  }
};

const ProcessStatusFunctions& ProcessStatus() {
  static const ProcessStatusFunctions functions;
  return functions;
}

// Writes the full path of the executable that owns `window` into `path` (at least MAX_PATH
// bytes, cleared by the caller). FALSE when the process cannot be opened or queried.
BOOL GetWindowProcessPath(HWND window, char* path) {
  const ProcessStatusFunctions& psapi = ProcessStatus();
  if (psapi.enumProcessModules == nullptr || psapi.getModuleFileNameEx == nullptr) return FALSE;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (process.get() == nullptr) return FALSE;
  HMODULE executable = nullptr;
  DWORD needed = 0;
  if (!psapi.enumProcessModules(process.get(), &executable, sizeof executable, &needed)) return FALSE;
  return psapi.getModuleFileNameEx(process.get(), executable, path, MAX_PATH) != 0;
}

// EnumWindows callback; `passState` is the InterferencePass of the enumeration. Posts WM_CLOSE to
// every top-level window of a listed application and counts it. Always TRUE, so that every window
// is visited.
BOOL CALLBACK CloseInterferingWindowsProc(HWND window, LPARAM passState) {
  InterferencePass& pass = *reinterpret_cast<InterferencePass*>(passState);
  char path[kPathBufferSize] = {};
  GetWindowProcessPath(window, path);  // on failure the path stays empty and matches nothing
  const BaseName base = BaseNameOf(path, IsSystemLeadByte);
  const std::string baseName(base.start, base.length);
  for (int i = 0; InterferingProcessNames[i][0] != '\0'; ++i) {
    if (_stricmp(baseName.c_str(), InterferingProcessNames[i]) == 0) {
      ++pass.nInterferingWindows;
      PostMessageA(window, WM_CLOSE, 0, 0);
      pass.executables.insert(std::string(base.start));
      break;
    }
  }
  return TRUE;
}

// One pass over the top-level windows: every window of a listed application is asked to close.
InterferencePass AskToClose() {
  InterferencePass pass;
  EnumWindows(CloseInterferingWindowsProc, reinterpret_cast<LPARAM>(&pass));
  return pass;
}

std::string ExecutableList(const InterferencePass& pass) {
  std::string list;
  for (const std::string& name : pass.executables) list += name + "\r\n";
  return list;
}

}  // namespace

bool WaitForInterferingApplications(const InterferenceWait& wait) {
  const InterferencePass first = AskToClose();  // the first requests; their count is not looked at
  if (wait.closeRequested && !first.executables.empty()) wait.closeRequested(ExecutableList(first));
  DWORD waitingSince = GetTickCount();
  for (;;) {
    const InterferencePass pass = AskToClose();
    if (wait.pumpMessages) wait.pumpMessages();
    if (pass.nInterferingWindows == 0) return true;
    if (GetTickCount() - waitingSince >= wait.askAfterMs && wait.askUser) {
      if (wait.askUser(ExecutableList(pass)) == StillOpenChoice::kEndProgram) return false;
      waitingSince = GetTickCount();
    }
    Sleep(wait.pauseBetweenPassesMs);
  }
}

}  // namespace kc
