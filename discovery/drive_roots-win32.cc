#include <windows.h>

#include "common/result_code.h"
#include "discovery/drive_roots-win32.h"

namespace kc {
namespace {

unsigned long SystemDriveStrings(unsigned long length, char* buffer) {
  return GetLogicalDriveStringsA(length, buffer);
}

}  // namespace

ResultCode BuildDriveRootList(DriveRootList& roots, GetDriveStringsFn getDriveStrings) {
  if (getDriveStrings == nullptr) getDriveStrings = SystemDriveStrings;
  char answer[kDriveStringsBufferSize] = {};
  if (getDriveStrings(kDriveStringsBufferSize, answer) == 0) return kDriveStringsUnreadable;
  return AppendDriveRoots(answer, roots);
}

}  // namespace kc
