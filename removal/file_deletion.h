#pragma once
// Deleting one file by its path: the product's tools (removal/product_tools.h), which lie only
// where administrators or the user running the program can change anything. A product font found
// by the walk is never deleted by its path: it goes through the open that identified it
// (removal/font_file_removal.h).

#include <string>

#include "common/result_code.h"

namespace kc {

// Deletes the file at `path` (a full UTF-16 path). A file that nobody holds open has its
// read-only, hidden and system attributes cleared first; one that cannot be opened without sharing
// keeps its attributes and the deletion is tried as it is. Returns 0 when the file is gone
// afterwards (also when it was not there: error 2), kDeleteFailed (-1071) otherwise, a missing
// folder (error 3) included. No retry, no wait, nothing deferred to a restart; nothing is shown.
// The deletion and a failure (other than a missing file or folder) are reported to the removal
// journal; the last error after a failure is the deletion's.
ResultCode DeleteTargetFile(const std::wstring& path);

}  // namespace kc
