#include "app/unattended_run-win32.h"

#include <windows.h>

#include <cstdlib>
#include <exception>

#include "app/exit_codes.h"
#include "app/program_arguments-win32.h"
#include "app/removal_run-win32.h"
#include "app/run_log-win32.h"
#include "app/run_log_text.h"
#include "app/run_options-win32.h"
#include "app/start_facts-win32.h"
#include "app/startup_checks-win32.h"
#include "common/wide_text-win32.h"
#include "discovery/collection_font_list.h"

namespace kc {
namespace {

// Nobody is there to answer: the run goes ahead, and listed applications that keep their windows
// end it once the wait is over.
class UnattendedFace : public RunFace {
 public:
  bool ConfirmRemoval() override { return true; }
  StillOpenChoice ApplicationsStillOpen(const std::string&) override { return StillOpenChoice::kEndProgram; }
  DWORD StillOpenQuestionAfterMs() const override { return CurrentRunOptions().unattendedWaitForApplicationsMs; }
  HWND PumpWindow() const override { return nullptr; }
  void ProgressBegins(int) override {}
  void ProgressStatus(const std::wstring&, const char*) override {}
  void ProgressStep() override {}
  void DriveNotSearched() override {}
  void ProgressEnds() override {}
};

// An exception that nothing caught (memory, in all likelihood) would end in the C runtime's abort
// message box: end quietly with the out-of-memory code instead.
[[noreturn]] void EndWithoutAWindow() { ExitProcess(kExitOutOfMemory); }

int Run(const CommandLine& line, RunLog& log) {
  DriveRootList drives;
  const StartupChecks checks = CheckStartup(drives);
  log.Start(CurrentStartFacts(line.mode, drives));
  if (line.bad) {
    log.Line(BadArgumentText(line.badArgument));  // UTF-8 as the log is
    return kExitBadCommandLine;
  }
  for (int i = 0; i < checks.count; ++i) log.Line(StartupFailureText(checks.failures[i]));
  if (checks.count > 0) return StartupFailureExitCode(checks.failures[0]);

  const bool preview = line.mode == RunMode::kPreview;
  OpenTypeFontList openTypeFonts;
  UnattendedFace face;
  RemovalRun run(drives, openTypeFonts, face, log, preview);
  switch (run.Run()) {
    case RunEnd::kCompleted: break;
    case RunEnd::kOutOfMemory: return kExitOutOfMemory;
    case RunEnd::kApplicationsStillOpen:
    case RunEnd::kDeclined: return kExitApplicationsOpen;
  }
  const RemovalTally tally = run.Tally();
  return preview ? PreviewExitCode(tally.found, !log.Failed()) : RemovalExitCode(tally, !log.Failed());
}

}  // namespace

int RunUnattended(const CommandLine& line) {
  // No system box either: none for a drive without a medium, none for a crash, and the C
  // runtime's own error messages go to the (absent) standard error instead of a message box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  _set_error_mode(_OUT_TO_STDERR);
  std::set_terminate(EndWithoutAWindow);

  RunLog log;
  if (line.logPath.empty()) CreateDefaultLogFolders();
  log.Open(line.logPath.empty() ? DefaultLogPath() : WideFromUtf8(line.logPath));
  int exitCode = kExitOutOfMemory;
  try {
    exitCode = Run(line, log);
  } catch (const std::exception&) {
    log.Line(OutOfMemoryText());
  }
  log.Line(ExitCodeText(exitCode));
  ClearCollectionFontList();
  return exitCode;
}

}  // namespace kc
