// dialog_host.exe: opens one of the program's dialogs the way the removal run does, so that the
// end-to-end tests can look at it and press its buttons through kcui. The exit code is the dialog's
// result (DoModal), or 0 for the progress window.
//   dialog_host confirm
//   dialog_host error ID
//   dialog_host success empty|lines N
//   dialog_host process N    a run over N drives: range 0..N+3, preparing, N drives, cleaned up
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/message_pump-win32.h"
#include "framework/string_resource-win32.h"
#include "framework/win_app-win32.h"
#include "res/resource.h"
#include "ui/confirm_dialog-win32.h"
#include "ui/error_dialog-win32.h"
#include "ui/process_dialog-win32.h"
#include "ui/success_dialog-win32.h"

namespace {

// Holds each state of the progress window long enough for an outside sampler to see it, while
// answering the sampler's messages.
void PumpFor(HWND dialog, DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    kc::PumpMessages(dialog);
    Sleep(10);
  }
}

int RunProcess(int drives) {
  constexpr DWORD kHoldMs = 500;
  kc::CProcessDialog progress(nullptr);
  progress.Start();
  progress.SetRange(0, drives + 3);
  progress.SetStep(1);
  std::wstring status;
  kc::LoadResourceString(IDS_STATUS_PREPARING, status);
  progress.SetStatus(status.c_str(), L"");
  progress.StepIt();
  PumpFor(progress.m_hWnd, kHoldMs);
  kc::LoadResourceString(IDS_STATUS_SEARCHING, status);
  for (int i = 0; i < drives; ++i) {
    wchar_t root[] = L"C:\\";
    root[0] = static_cast<wchar_t>(L'C' + i);
    progress.SetStatus(status.c_str(), root);
    PumpFor(progress.m_hWnd, kHoldMs);
    progress.StepIt();
  }
  progress.StepIt();
  progress.SetStatus(L"", L"");
  PumpFor(progress.m_hWnd, kHoldMs);
  progress.Finish();
  return 0;
}

std::wstring Lines(int count) {
  std::wstring text;
  for (int i = 1; i <= count; ++i) {
    wchar_t line[64];
    std::swprintf(line, 64, L"KC Sample Mincho %02d\r\n", i);
    text += line;
  }
  return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kc::CWinApp app;
  app.m_hInstance = instance;
  kc::AfxEnableControlContainer();
  if (__argc < 2) return 100;
  const std::string which = __argv[1];
  if (which == "confirm") {
    kc::confirmDialog confirm(nullptr);
    return static_cast<int>(confirm.DoModal());
  }
  if (which == "error" && __argc >= 3) {
    kc::CErrorDialog error(nullptr);
    return static_cast<int>(error.ShowMessage(static_cast<UINT>(std::atoi(__argv[2]))));
  }
  if (which == "success" && __argc >= 3) {
    kc::CSuccessDialog success(nullptr);
    const std::wstring text = std::strcmp(__argv[2], "lines") == 0 && __argc >= 4
                                  ? Lines(std::atoi(__argv[3]))
                                  : std::wstring();
    return static_cast<int>(success.ShowResult(text));
  }
  if (which == "process" && __argc >= 3) return RunProcess(std::atoi(__argv[2]));
  return 100;
}
