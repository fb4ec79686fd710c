#include "app/exit_codes.h"

namespace kc {

int RemovalExitCode(const RemovalTally& tally, bool logWritten) {
  if (tally.stillOnDisk > 0) return kExitFontsLeft;
  if (!logWritten) return kExitLogUnwritable;
  return tally.atRestart > 0 ? kExitRestartNeeded : kExitDone;
}

int PreviewExitCode(int found, bool logWritten) {
  if (!logWritten) return kExitLogUnwritable;
  return found > 0 ? kExitPreviewFound : kExitDone;
}

int ReportExitCode(const ReportTally& tally) {
  if (tally.fontsLeft > 0 || tally.notDone > 0 || tally.notALog > 0) return kExitFontsLeft;
  return tally.atRestart > 0 ? kExitRestartNeeded : kExitDone;
}

}  // namespace kc
