#include "discovery/drive_roots.h"

#include <cstring>
#include <exception>

#include "common/append.h"
#include "common/path_copy.h"
#include "common/result_code.h"

namespace kc {

ResultCode AppendDriveRoots(const char* answer, DriveRootList& roots) {
  DriveRoot element;
  int start = 0;
  for (int i = 0; i < kDriveStringsBufferSize; ++i) {
    if (answer[i] != '\0') continue;
    if (i + 1 >= kDriveStringsBufferSize) return kDriveStringsUnreadable;
    const bool last = answer[i + 1] == '\0';
    // An empty first string is an answer without drives, not a root: searched as a root it would
    // walk the current folder.
    if (i == start && last) return kOk;
    std::memset(element.path, 0, sizeof element.path);
    // Cut to the buffer, a root would name another folder.
    if (!CopyPath(element.path, sizeof element.path, answer + start, static_cast<size_t>(i - start))) {
      return kDriveStringsUnreadable;
    }
    try {
      AppendCopy(roots, element);
    } catch (const std::exception&) {
      return kOutOfMemory;
    }
    if (last) return kOk;
    start = i + 1;
  }
  return kOk;
}

}  // namespace kc
