#pragma once
// The program runs elevated, often straight from a Downloads folder. Windows looks for a DLL that
// is loaded by name first in the program's folder and in the current folder, so a DLL planted
// there under a system DLL's name would run with administrator rights. The first thing the
// program does, before any window, is to take both folders out of the search.

#include <windows.h>

namespace kc {

// How far the search itself could be restricted; the late DLLs are preloaded either way.
enum class DllSearch {
  kSystem32Only,          // SetDefaultDllDirectories (8 and later; 7 and Vista with KB2533623)
  kCurrentFolderLeftOut,  // older: SetDllDirectoryA(""), where kernel32 has it (XP SP1 and later)
};

// Where kernel32 has SetDefaultDllDirectories (looked up at run time), every later load by name
// searches System32 only; elsewhere SetDllDirectoryA("") takes the current folder out. Either way
// the DLLs that Windows itself loads by name after start-up (themes, the desktop window manager,
// the input method, ...) are then loaded from System32 by full path, so that the later loads by
// name find them loaded, whatever search path they go by. The DLLs the program imports are resolved before its first instruction: see
// the README ("What the program trusts") for why each is safe. `useDefaultDllDirectories` false
// takes the older way wherever the program runs (the test build shows it under Wine, which has
// SetDefaultDllDirectories).
DllSearch RestrictDllSearch(bool useDefaultDllDirectories = true);

// What finding common controls asks of the system; tests replace it (Wine always has activation
// contexts, and the manifest's redirection).
struct CommonControlsSource {
  // True when the process's activation context (the manifest's dependency on common controls 6)
  // redirects comctl32.dll; false without one, and on Windows 2000, which has no activation
  // contexts at all (FindActCtxSectionStringW is looked up at run time).
  bool (*redirected)();
  HMODULE (*loadSystemLibrary)(const char* name);  // common/system_library-win32.h
};
const CommonControlsSource& SystemCommonControlsSource();

// The framework loads comctl32.dll by its bare name, which the manifest's redirection needs. Where
// nothing redirects it, that name would be looked for in the program's folder first (on 2000, with
// no SetDllDirectory, in the current folder too): there it is loaded now from System32 by its full
// path, so that the later load by name finds it loaded. True when it was loaded so.
bool PreloadUnredirectedCommonControls(const CommonControlsSource& source = SystemCommonControlsSource());

}  // namespace kc
