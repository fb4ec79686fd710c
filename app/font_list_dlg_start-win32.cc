// The Start button of the main screen: the removal run with the dialogs as its face, from the
// confirmation to the result.
#include <optional>
#include <string>

#include "app/font_list_dlg-win32.h"
#include "app/removal_run-win32.h"
#include "app/run_options-win32.h"
#include "common/wide_text-win32.h"
#include "discovery/result_text.h"
#include "framework/message_pump-win32.h"
#include "framework/string_resource-win32.h"
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

// The run as the user sees it: the confirmation, a question when applications stay open, the
// progress window and the wait cursor over the hidden main screen.
class DialogRunFace : public RunFace {
 public:
  DialogRunFace(HWND mainDialog, confirmDialog& confirm, CProcessDialog& progress)
      : mainDialog_(mainDialog), confirm_(confirm), progress_(progress) {}

  bool ConfirmRemoval() override { return confirm_.DoModal() != IDCANCEL; }

  // Asks the user, in a message box over the hidden main screen, to close the listed applications
  // (their executables' names, as the system's ANSI functions gave them).
  StillOpenChoice ApplicationsStillOpen(const std::string& applications) override {
    wchar_t title[256] = {};
    GetWindowTextW(mainDialog_, title, 256);
    const std::wstring message = LoadResourceTextW(IDS_APPS_STILL_OPEN) + WideFromSystemAnsi(applications);
    const int answer = MessageBoxW(nullptr, message.c_str(), title, MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND);
    return answer == IDCANCEL ? StillOpenChoice::kEndProgram : StillOpenChoice::kRetry;
  }
  DWORD StillOpenQuestionAfterMs() const override { return CurrentRunOptions().askAboutOpenApplicationsAfterMs; }
  HWND PumpWindow() const override { return mainDialog_; }

  void ProgressBegins(int driveCount) override {
    progress_.Start();
    progress_.SetRange(0, driveCount + 3);
    progress_.SetStep(1);
    cursor_.emplace();
  }
  void ProgressStatus(const std::wstring& line1, const char* line2) override {
    progress_.SetStatus(line1.c_str(), WideFromSystemAnsi(line2).c_str());
  }
  // Advances the bar by one step, then pauses where a test asked for it (answering messages, so
  // that the windows can be read from outside meanwhile).
  void ProgressStep() override {
    progress_.StepIt();
    const DWORD pause = CurrentRunOptions().pauseAfterProgressStepMs;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < pause; Sleep(5)) {
      PumpMessages(mainDialog_);
    }
  }
  void DriveNotSearched() override { cursor_->Restore(); }
  void ProgressEnds() override {
    cursor_->Restore();
    progress_.Finish();
  }

 private:
  HWND mainDialog_;
  confirmDialog& confirm_;
  CProcessDialog& progress_;
  std::optional<WaitCursor> cursor_;
};

}  // namespace

void CFontListDlg::OnOK() {
  ShowWindow(m_hWnd, SW_HIDE);  // never shown again: no second run can start

  CSuccessDialog success(nullptr);
  CProcessDialog progress(m_hWnd);
  confirmDialog confirm(nullptr);
  DialogRunFace face(m_hWnd, confirm, progress);
  RunLog noLog;
  RemovalRun run(m_driveRootList, m_openTypeFontList, face, m_pRunLog != nullptr ? *m_pRunLog : noLog, false);

  const RunEnd end = run.Run();
  if (end == RunEnd::kOutOfMemory) {
    // Fonts removed so far stay removed; the tools stay and no result is shown. The progress
    // window goes with its object, after the message.
    CErrorDialog error(nullptr);
    error.ShowMessage(IDS_OUT_OF_MEMORY);
    EndDialog(-1);
    return;
  }
  if (end == RunEnd::kCompleted) {
    success.ShowResult(BuildResultText(m_openTypeFontList, LoadResourceTextW(IDS_FONTS_REMOVED_AT_RESTART),
                                       LoadResourceTextW(IDS_FONTS_NOT_REMOVED)));
  }

  m_driveRootList.clear();
  m_openTypeFontList.clear();
  CDialog::OnOK();
}

}  // namespace kc
