#pragma once
// Removing a product font's file for good: now, or, when another process holds it open, by
// Windows itself at the next restart, before any application can hold it again.

#include "discovery/found_fonts.h"

namespace kc {

// Deletes the file at `path` (DeleteTargetFile). When that fails because the file is in use (the
// deletion meets a sharing violation, or is refused while another process holds the file open),
// asks Windows to delete it when the PC next restarts (MoveFileExA with
// MOVEFILE_DELAY_UNTIL_REBOOT, which needs administrator rights), then clears the file's
// read-only attribute, which would make that deletion fail. Returns
//   kRemoved           the file is gone now (or was not there);
//   kRemovedAtRestart  in use, and its deletion at the next restart is scheduled;
//   kStillOnDisk       not deletable for another reason (no right to delete, a missing folder),
//                      or in use and the scheduling failed too.
// Nothing is shown. A scheduling that fails is reported to the removal journal with its error, as
// the deletion's own failure is.
RemovalOutcome DeleteNowOrAtRestart(const char* path);

}  // namespace kc
