#pragma once
// The silent run and the preview of administrators: the same checks and the same run as the
// dialog program, with no window at all, the outcome in the exit code and every event in the log.

#include "app/command_line.h"

namespace kc {

// Runs `line` (its mode is kSilent or kPreview) and returns the exit code (app/exit_codes.h). The
// log goes to the /log path, else to DefaultLogPath(); a log that cannot be written stops nothing
// (kExitLogUnwritable tells of it). No window is ever shown: not for a question, a failure, a
// drive without a medium, nor when memory runs out.
int RunUnattended(const CommandLine& line);

}  // namespace kc
