#pragma once
// The drive roots the removal searches: every drive letter Windows reports, in its order
// (ascending by letter), whatever the drive's type or state. A drive that cannot be read is
// dealt with by the search, not here.

#include <cstdint>
#include <vector>

#include "common/path_buffer.h"
#include "common/result_code.h"

namespace kc {

// One root exactly as Windows reports it, such as "C:\" (the trailing backslash matters: the
// search appends names to it directly), followed by zero bytes.
struct DriveRoot {
  char path[kPathBufferSize];
};

using DriveRootList = std::vector<DriveRoot>;

constexpr int kDriveStringsBufferSize = 2048;

// Parses the answer of GetLogicalDriveStringsA (zero-terminated roots, then one more zero) from a
// buffer of kDriveStringsBufferSize bytes and appends one element per root (an answer that starts
// with the double zero holds no root). Returns 0; kOutOfMemory
// when an append throws (roots appended before it stay); kDriveStringsUnreadable when a root's
// terminating empty string would lie outside the buffer, or a root would not fit a DriveRoot
// (roots before it stay).
ResultCode AppendDriveRoots(const char* answer, DriveRootList& roots);

}  // namespace kc

