#pragma once
// The application object. Without switches it shows the main screen modally, and when that closes
// the program ends; /silent and /preview run without any window (app/unattended_run-win32.h);
// /report: reads the runs' logs (app/fleet_report-win32.h).

#include "framework/win_app-win32.h"

namespace kc {

class CFontListApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  // The exit code: 0 for the dialog program, whatever happened in it; 87 for a bad command line;
  // the outcome of a silent run, a preview or a report (app/exit_codes.h).
  int ExitInstance() override { return m_nExitCode; }

 protected:
  const CommandMap* GetCommandMap() const override { return &kCommandMap; }

 private:
  int m_nExitCode = 0;

  static const CommandMapEntry kCommandEntries[];
  static const CommandMap kCommandMap;
};

}  // namespace kc
