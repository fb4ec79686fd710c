// FontList.exe: the application object and the entry point.
#include <windows.h>

#include "app/dll_search-win32.h"
#include "app/font_list_app-win32.h"

kc::CFontListApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kc::RestrictDllSearch();  // before anything can load a DLL by name
  return kc::AfxWinMain(instance);
}
