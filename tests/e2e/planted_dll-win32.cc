// A DLL planted beside the program under a system DLL's name, as somebody would in a Downloads
// folder. Whichever process loads it leaves C:\planted-ran\<its name>-by-<program>.txt and refuses
// to load, so a test sees who ran it and the program goes on as if the load had failed.
#include <windows.h>

#include <string>

namespace {

std::string BaseName(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, sizeof path);
  const std::string full(path);
  return full.substr(full.find_last_of('\\') + 1);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  CreateDirectoryA("C:\\planted-ran", nullptr);
  const std::string mark = "C:\\planted-ran\\" + BaseName(self) + "-by-" + BaseName(nullptr) + ".txt";
  const HANDLE file = CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return FALSE;
}
