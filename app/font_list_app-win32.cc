#include "app/font_list_app-win32.h"

#include <string>

#include "app/command_line.h"
#include "app/exit_codes.h"
#include "app/fleet_report-win32.h"
#include "app/font_list_dlg-win32.h"
#include "app/program_arguments-win32.h"
#include "app/run_log-win32.h"
#include "app/run_log_text.h"
#include "app/start_facts-win32.h"
#include "app/unattended_run-win32.h"
#include "common/wide_text-win32.h"
#include "framework/string_resource-win32.h"
#include "res/resource.h"

namespace kc {

const CommandMapEntry CFontListApp::kCommandEntries[] = {
    {ID_HELP, &CWinApp::OnHelp},
};
const CommandMap CFontListApp::kCommandMap = {kCommandEntries, 1};

BOOL CFontListApp::InitInstance() {
  const CommandLine line = ParseCommandLine(ProgramArguments());
  if (line.mode == RunMode::kReport) {
    m_nExitCode = RunFleetReport(line);
    return FALSE;
  }
  if (line.mode != RunMode::kDialog) {
    m_nExitCode = RunUnattended(line);
    return FALSE;
  }

  // The dialog program keeps a log only when asked to.
  RunLog log;
  if (!line.logPath.empty()) log.Open(WideFromUtf8(line.logPath));
  if (line.bad) {
    log.Start(CurrentStartFacts(line.mode, DriveRootList()));
    log.Line(BadArgumentText(line.badArgument));  // UTF-8 as the log is
    log.Line(ExitCodeText(kExitBadCommandLine));
    const std::wstring message = LoadResourceTextW(IDS_BAD_COMMAND_LINE) + WideFromUtf8(line.badArgument);
    MessageBoxW(nullptr, message.c_str(), LoadResourceTextW(IDS_PROGRAM_TITLE).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    m_nExitCode = kExitBadCommandLine;
    return FALSE;
  }

  AfxEnableControlContainer();
  CFontListDlg dialog(nullptr);
  if (log.IsOpen()) dialog.m_pRunLog = &log;
  m_pMainWnd = &dialog;
  dialog.DoModal();  // the result does not matter: the program ends either way
  m_pMainWnd = nullptr;
  log.Line(ExitCodeText(m_nExitCode));
  return FALSE;
}

}  // namespace kc
