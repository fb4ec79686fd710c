#pragma once
// The one way the program loads a DLL itself: from the system folder by its full path, never by a
// bare name, which Windows would look for first in the program's folder (a Downloads folder,
// where anybody may have put a DLL of that name) and in the current folder.

#include <windows.h>

namespace kc {

// LoadLibraryExA of <System32>\<name>; the DLL's own imports are looked for beside it
// (LOAD_WITH_ALTERED_SEARCH_PATH), not beside the program. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

}  // namespace kc
