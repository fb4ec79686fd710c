#pragma once
// Deleting one file, the primitive every removal rests on.

#include <cstdint>

#include "common/result_code.h"

namespace kc {

// Deletes the file at `path` (full ANSI path). A file that nobody holds open has its read-only,
// hidden and system attributes cleared first; one that cannot be opened without sharing keeps its
// attributes and the deletion is tried as it is. Returns 0 when the file is gone afterwards (also
// when it was not there: error 2), kDeleteFailed (-1071) otherwise, a missing folder (error 3)
// included. No retry, no wait, nothing deferred to a restart; nothing is shown. The deletion and
// a failure (other than a missing file or folder) are reported to the removal journal; the last
// error after a failure is the deletion's.
ResultCode DeleteTargetFile(const char* path);

// Why DeleteTargetFile failed, for a caller that acts on the reason.
struct DeletionFailure {
  bool heldOpen = false;         // the probe met a sharing violation: another process holds the file
  unsigned long deleteError = 0; // GetLastError of the failed DeleteFileA
};

// DeleteTargetFile, filling `failure` when it returns kDeleteFailed (left as it was on 0).
ResultCode DeleteTargetFile(const char* path, DeletionFailure& failure);

}  // namespace kc
