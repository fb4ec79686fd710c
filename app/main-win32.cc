// FontList.exe: the application object and the entry point.
#include <windows.h>

#include "app/font_list_app-win32.h"

kc::CFontListApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return kc::AfxWinMain(instance); }
