#pragma once
// The drive list from the running system.

#include <cstdint>

#include "discovery/drive_roots.h"

namespace kc {

// Source of the drive strings; the system's GetLogicalDriveStringsA unless a test substitutes one.
using GetDriveStringsFn = unsigned long (*)(unsigned long length, char* buffer);

// Fills `roots` from GetLogicalDriveStringsA with a kDriveStringsBufferSize answer. Returns 0,
// kDriveStringsUnreadable (the call failed, or its answer was not terminated inside the buffer)
// or kOutOfMemory (an append threw; earlier roots stay).
ResultCode BuildDriveRootList(DriveRootList& roots, GetDriveStringsFn getDriveStrings = nullptr);

}  // namespace kc
