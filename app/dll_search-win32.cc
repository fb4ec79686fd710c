#include "app/dll_search-win32.h"

#include <windows.h>

#include "common/system_library-win32.h"

namespace kc {
namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// DLLs that Windows and its DLLs load by name, after the program has started, into a dialog
// program like this one (common controls 6, an input method on a Japanese system, the shell's
// folders, security queries): the lists installers keep for the same purpose, and what a trace of
// this program under Wine shows (uxtheme, msimg32). One that a version lacks (dwmapi before Vista)
// fails to load, which is what loading it by name would do too.
const char* const kLateLoadedDlls[] = {
    "uxtheme.dll", "dwmapi.dll",  "msimg32.dll", "imm32.dll",   "msctf.dll",   "version.dll",
    "userenv.dll", "profapi.dll", "apphelp.dll", "propsys.dll", "setupapi.dll", "cryptbase.dll",
    "sspicli.dll", "ntmarta.dll", "oleacc.dll",  "clbcatq.dll",
};

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
using FindActCtxSectionStringFunction = BOOL(WINAPI*)(DWORD, const GUID*, ULONG, LPCWSTR,
                                                     ACTCTX_SECTION_KEYED_DATA*);

template <typename Function>
Function Kernel32Function(const char* name) {
  const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  return kernel32 == nullptr ? nullptr : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel32, name)));
}

// The search looks in the thread's active context, then in the process's default one, the
// manifest's (ReactOS's and Wine's RtlFindActivationContextSectionString do the same).
bool SystemRedirectsCommonControls() {
  const auto find = Kernel32Function<FindActCtxSectionStringFunction>("FindActCtxSectionStringW");
  if (find == nullptr) return false;
  ACTCTX_SECTION_KEYED_DATA data = {};
  data.cbSize = sizeof data;
  return find(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data) != FALSE;
}

}  // namespace

const CommonControlsSource& SystemCommonControlsSource() {
  static const CommonControlsSource source = {SystemRedirectsCommonControls, LoadSystemLibrary};
  return source;
}

bool PreloadUnredirectedCommonControls(const CommonControlsSource& source) {
  return !source.redirected() && source.loadSystemLibrary("comctl32.dll") != nullptr;
}

DllSearch RestrictDllSearch(bool useDefaultDllDirectories) {
  const auto setDefault = useDefaultDllDirectories
                              ? Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories")
                              : nullptr;
  DllSearch search = DllSearch::kSystem32Only;
  if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    search = DllSearch::kCurrentFolderLeftOut;
    // XP SP1 and later; on 2000 the current folder stays in the search, the preloads still hold.
    const auto setDllDirectory = Kernel32Function<SetDllDirectoryFunction>("SetDllDirectoryA");
    if (setDllDirectory != nullptr) setDllDirectory("");
  }
  // The preloads serve even where the search is restricted: a loader that resolves a system DLL's
  // delay-loaded import by the process's search path (Wine's does) finds the DLL loaded already.
  // A DLL that is missing or cannot start shows no box: the load by name would fail the same way.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  for (const char* name : kLateLoadedDlls) LoadSystemLibrary(name);  // kept loaded for the process's life
  PreloadUnredirectedCommonControls();
  SetErrorMode(oldMode);
  return search;
}

}  // namespace kc
