// The second process the removal tests need, started by them with CreateProcessA:
//   removal_test_helper hold PATH EVENT   opens PATH for reading, sharing only reading, and keeps it
//                                         open
//   removal_test_helper listen EVENT      a hidden top-level window that counts WM_FONTCHANGE; a
//   sent
//                                         kListenerCountMessage returns the count so far
//   removal_test_helper hang EVENT        a top-level window whose thread never pumps again
// EVENT names an event to set once ready. Each mode runs until the test terminates it; exit codes
// 2 (bad arguments) and 3 (set-up failed) tell the test why it did not get ready.
#include <windows.h>

#include <cstring>

#include "tests/removal/helper_process-win32.h"

namespace {

LONG g_fontChanges = 0;

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_FONTCHANGE) {
    ++g_fontChanges;
    return 0;
  }
  if (message == kc::kListenerCountMessage) return g_fontChanges;
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateTopLevelWindow(const char* className, WNDPROC proc) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  if (!RegisterClassA(&windowClass)) return nullptr;
  // Hidden but top-level: a broadcast reaches it, a message-only window it would not.
  return CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}

bool SignalReady(const char* eventName) {
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
  if (ready == nullptr) return false;
  const BOOL set = SetEvent(ready);
  CloseHandle(ready);
  return set != FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "hold") == 0) {
    HANDLE file = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE || !SignalReady(argv[3])) return 3;
    Sleep(INFINITE);
  }
  if (argc == 3 && std::strcmp(argv[1], "listen") == 0) {
    if (CreateTopLevelWindow(kc::kListenerClass, ListenerProc) == nullptr) return 3;
    if (!SignalReady(argv[2])) return 3;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "hang") == 0) {
    if (CreateTopLevelWindow(kc::kHungWindowClass, DefWindowProcA) == nullptr) return 3;
    if (!SignalReady(argv[2])) return 3;
    Sleep(INFINITE);
  }
  return 2;
}
