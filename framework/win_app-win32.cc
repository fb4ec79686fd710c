#include "framework/win_app-win32.h"

#include <commctrl.h>

namespace kc {
namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp::CWinApp() { g_pApp = this; }

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return FALSE; }

int CWinApp::ExitInstance() { return 0; }

const CommandMap* CWinApp::GetCommandMap() const { return nullptr; }

BOOL CWinApp::OnCmdMsg(UINT id) {
  const CommandMap* map = GetCommandMap();
  if (map == nullptr) return FALSE;
  for (size_t i = 0; i < map->count; ++i) {
    if (map->entries[i].id == id) {
      (this->*map->entries[i].handler)();
      return TRUE;
    }
  }
  return FALSE;
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_pApp; }

HINSTANCE AfxGetResourceHandle() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_hInstance != nullptr) return app->m_hInstance;
  return GetModuleHandleA(nullptr);
}

void AfxEnableControlContainer() {
  // Loaded here rather than imported: an imported comctl32 starts (and loads what it needs, the
  // theme DLL among them) before the program's first instruction, before the program can keep the
  // DLL search out of its own folder. By name, so that the manifest's dependency redirects it to
  // common controls 6 in the side-by-side store; where nothing redirects it (Windows 2000), the
  // program has loaded it from System32 already (app/dll_search-win32.h), and the name finds that.
  // Kept loaded for the process's life.
  const HMODULE comctl32 = LoadLibraryA("comctl32.dll");
  if (comctl32 == nullptr) return;
  using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  using InitCommonControlsFunction = void(WINAPI*)();
  const auto initEx = reinterpret_cast<InitCommonControlsExFunction>(
      reinterpret_cast<void*>(GetProcAddress(comctl32, "InitCommonControlsEx")));
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (initEx != nullptr && initEx(&classes)) return;
  const auto init = reinterpret_cast<InitCommonControlsFunction>(
      reinterpret_cast<void*>(GetProcAddress(comctl32, "InitCommonControls")));  // older, without the Ex form
  if (init != nullptr) init();
}

int AfxWinMain(HINSTANCE instance) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  app->m_hInstance = instance;
  app->InitInstance();
  return app->ExitInstance();
}

}  // namespace kc
