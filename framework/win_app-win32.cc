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
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&classes)) InitCommonControls();  // older comctl32 without the Ex form
}

int AfxWinMain(HINSTANCE instance) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  app->m_hInstance = instance;
  app->InitInstance();
  return app->ExitInstance();
}

}  // namespace kc
