// A program that calls GetTickCount64, which Windows XP lacks: the import gate must refuse it.
// Linked like FontList.exe, so that this one call is its only import newer than XP SP3.
#include <windows.h>

// Declared here: the headers offer it only to programs that target Vista and later.
extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64(void);

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return GetTickCount64() == 0 ? 1 : 0; }
