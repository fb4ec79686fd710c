// The Start button of the main screen: the removal run, from the confirmation to the result.
#include <cstring>
#include <string>

#include "app/font_list_dlg-win32.h"
#include "app/interfering_apps-win32.h"
#include "framework/message_pump-win32.h"
#include "discovery/result_text.h"
#include "app/run_options-win32.h"
#include "common/path_buffer.h"
#include "common/result_code.h"
#include "discovery/font_search-win32.h"
#include "framework/string_resource-win32.h"
#include "removal/product_tools.h"
#include "res/resource.h"
#include "ui/confirm_dialog-win32.h"
#include "ui/error_dialog-win32.h"
#include "ui/process_dialog-win32.h"
#include "ui/success_dialog-win32.h"

namespace kc {

RunOptions& CurrentRunOptions() {
  static RunOptions options;
  return options;
}

namespace {

// The wait cursor of a run, and the cursor it replaced, which is put back exactly once: early
// when a drive fails, else when the run is done (or on any way out).
class WaitCursor {
 public:
  WaitCursor() : saved_(SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)))) {}  // IDC_WAIT
  ~WaitCursor() { Restore(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

  void Restore() {
    if (restored_) return;
    SetCursor(saved_);
    restored_ = true;
  }

 private:
  HCURSOR saved_;
  bool restored_ = false;
};

// Advances the bar by one step, then pauses where a test asked for it (answering messages, so
// that the windows can be read from outside meanwhile).
void Step(CProcessDialog& progress, HWND mainDialog) {
  progress.StepIt();
  const DWORD pause = CurrentRunOptions().pauseAfterProgressStepMs;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < pause; Sleep(5)) {
    PumpMessages(mainDialog);
  }
}

std::string LoadText(UINT id) {
  std::string text;
  LoadResourceString(id, text);
  return text;
}

// Asks the user, in a message box over the hidden main screen, to close the listed applications.
StillOpenChoice AskAboutOpenApplications(HWND mainDialog, const std::string& applications) {
  char title[256] = {};
  GetWindowTextA(mainDialog, title, sizeof title);
  const std::string message = LoadText(IDS_APPS_STILL_OPEN) + applications;
  const int answer = MessageBoxA(nullptr, message.c_str(), title,
                                 MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND);
  return answer == IDCANCEL ? StillOpenChoice::kEndProgram : StillOpenChoice::kRetry;
}

}  // namespace

void CFontListDlg::OnOK() {
  ShowWindow(m_hWnd, SW_HIDE);  // never shown again: no second run can start

  CSuccessDialog success(nullptr);
  CProcessDialog progress(m_hWnd);
  confirmDialog confirm(nullptr);
  const int driveCount = static_cast<int>(m_driveRootList.size());

  if (confirm.DoModal() != IDCANCEL && WaitForApplications()) {
    progress.Start();
    progress.SetRange(0, driveCount + 3);
    progress.SetStep(1);
    WaitCursor cursor;

    std::string status = LoadText(IDS_STATUS_PREPARING);
    progress.SetStatus(status.c_str(), "");
    Step(progress, m_hWnd);
    status = LoadText(IDS_STATUS_SEARCHING);

    FontSearch search{m_openTypeFontList, [this] { PumpMessages(m_hWnd); }};
    char root[kPathBufferSize];
    for (const DriveRoot& drive : m_driveRootList) {
      PumpMessages(m_hWnd);
      std::memset(root, 0, sizeof root);
      std::memcpy(root, drive.path, sizeof root - 1);
      progress.SetStatus(status.c_str(), root);
      const int16_t result = SearchFontFiles(root, search);
      if (result != kOk) {
        cursor.Restore();
        if (result == kOutOfMemory) {
          // Fonts removed so far stay removed; the tools stay and no result is shown.
          CErrorDialog error(nullptr);
          error.ShowMessage(IDS_OUT_OF_MEMORY);
          EndDialog(-1);
          return;
        }
        // Any other code (no medium, no Fonts folder) leaves this drive done.
      }
      Step(progress, m_hWnd);
    }

    RemoveProductTools();
    const std::string resultText = BuildResultText(m_openTypeFontList, LoadText(IDS_FONTS_NOT_REMOVED));

    Step(progress, m_hWnd);
    progress.SetStatus("", "");
    cursor.Restore();
    progress.Finish();
    success.ShowResult(resultText);
  }

  m_driveRootList.clear();
  m_openTypeFontList.clear();
  CDialog::OnOK();
}

bool CFontListDlg::WaitForApplications() {
  InterferenceWait wait;
  wait.pumpMessages = [this] { PumpMessages(m_hWnd); };
  wait.askUser = [this](const std::string& applications) {
    return AskAboutOpenApplications(m_hWnd, applications);
  };
  wait.askAfterMs = CurrentRunOptions().askAboutOpenApplicationsAfterMs;
  return WaitForInterferingApplications(wait);
}

}  // namespace kc
