#pragma once
// The program's command line. Without a switch the program is the dialog program; administrators
// who deploy it to many PCs add
//   /silent     the whole removal with no window at all, the outcome in the exit code
//   /preview    walks and identifies as a removal would, and removes nothing
//   /log:PATH   writes the run's log to PATH
//   /report:FOLDER  reads the runs' logs in FOLDER and writes FOLDER\fleet-report.csv; removes
//               nothing and writes no log (app/fleet_report-win32.h); /silent: no message box
// A switch begins with / or - and ignores letter case; the path keeps its own.

#include <string>
#include <vector>

namespace kc {

enum class RunMode { kDialog, kSilent, kPreview, kReport };

struct CommandLine {
  // /preview wins over /silent: given both, nothing is removed. /report: wins over /silent too.
  RunMode mode = RunMode::kDialog;
  // The texts as given, UTF-8 (app/program_arguments-win32.h); each path is opened by its UTF-16 form.
  std::string logPath;      // empty: no /log given
  std::string reportFolder;  // kReport: the folder of /report:
  bool silent = false;       // /silent was given (for /report:, no message box)
  bool bad = false;         // an argument is unknown or malformed
  std::string badArgument;  // the first such argument, as given
};

// `arguments` are the program's arguments without its own name, as the shell splits them, in UTF-8.
// Bad: an argument that is not a switch, an unknown switch, a value given to a switch that takes
// none (/silent:x), /log without a path (/log, /log:) and a second /log; /report without a folder,
// a second /report, and /report with /preview or /log (a report removes nothing and keeps no
// log: the later of the two is the bad one). The mode and the log path
// are still taken from the good switches, so that a silent run with a bad argument can say so
// without a window.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace kc
