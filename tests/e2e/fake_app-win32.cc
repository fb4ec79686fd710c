// fake_app.exe: stands in for an application the removal must wait for. Copied under the name
// to imitate (acrotray.exe, acrodist.exe, acrotray2.exe) and started as
//   fake_app closes    a visible and a hidden top-level window, each closing on WM_CLOSE; the
//                      process ends when both are gone
//   fake_app refuses   a visible window that ignores WM_CLOSE until the named event
//                      "fake_app_release" is set
// Every WM_CLOSE received is counted in a line of C:\apps\<exe base name>.closes, so a test can
// tell which programs were asked to close.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool g_refuses = false;
int g_windows = 0;
HANDLE g_release = nullptr;

std::string BaseName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string name = std::strrchr(path, '\\') ? std::strrchr(path, '\\') + 1 : path;
  return name.substr(0, name.rfind('.'));
}

void NoteClose() {
  const std::string log = "C:\\apps\\" + BaseName() + ".closes";
  if (FILE* file = std::fopen(log.c_str(), "a")) {
    std::fputs("WM_CLOSE\n", file);
    std::fclose(file);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      NoteClose();
      if (!g_refuses || WaitForSingleObject(g_release, 0) == WAIT_OBJECT_0) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (--g_windows == 0) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND MakeWindow(const std::string& title, bool visible) {
  HWND window = CreateWindowExA(0, "KcFakeApp", title.c_str(), WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                                10, 10, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window != nullptr) ++g_windows;
  return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  g_refuses = std::strstr(commandLine, "refuses") != nullptr;
  g_release = CreateEventA(nullptr, TRUE, FALSE, "fake_app_release");
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "KcFakeApp";
  RegisterClassA(&windowClass);

  const std::string name = BaseName();
  MakeWindow(name + " visible", true);
  if (!g_refuses) MakeWindow(name + " hidden", false);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
