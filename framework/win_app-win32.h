#pragma once
// The application object: one per program, constructed as a global before WinMain. AfxWinMain runs
// its InitInstance; when InitInstance returns FALSE the program ends (the dialog-based program does
// all its work inside InitInstance).

#include <windows.h>

#include <cstddef>

namespace kc {

class CDialog;
class CWinApp;

// The framework's help command.
constexpr UINT ID_HELP = 57670;

// One row of an application's command map: a command id and the member that handles it.
struct CommandMapEntry {
  UINT id;
  void (CWinApp::*handler)();
};

struct CommandMap {
  const CommandMapEntry* entries;
  size_t count;
};

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Returns FALSE to end the program when it returns, TRUE to run a message loop (this framework
  // has none: TRUE also ends the program).
  virtual BOOL InitInstance();

  // Called when InitInstance has returned; the result is the process's exit code (0 by default).
  virtual int ExitInstance();

  // The route of a command that no dialog handled: the command map's handler, if it has one.
  // Returns TRUE when a handler ran.
  BOOL OnCmdMsg(UINT id);

  // Default help: the program ships no help file, so there is nothing to open.
  void OnHelp();

  // The main dialog while it exists. Not owned: it lives on InitInstance's stack.
  CDialog* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;

 protected:
  // The commands this application handles; none unless a derived class says so.
  virtual const CommandMap* GetCommandMap() const;
};

// The application object, or null before it is constructed.
CWinApp* AfxGetApp();

// The module whose resources the program loads (the executable).
HINSTANCE AfxGetResourceHandle();

// Makes the common-control window classes that the dialog templates use (the progress bar)
// available, as the framework's control-container support does for its controls.
void AfxEnableControlContainer();

// Runs the application object's InitInstance, then its ExitInstance; returns the latter's result,
// the process exit code.
int AfxWinMain(HINSTANCE instance);

}  // namespace kc
