#include "removal/os_kind.h"

#include <gtest/gtest.h>

#include "common/result_code.h"

namespace kc {
namespace {

struct VersionCase {
  uint32_t major, minor;
  uint16_t servicePack;
  int16_t result;
  OsKind kind;  // meaningful when result is 0
};

TEST(ClassifyOsVersionTest, SupportedVersionsAndServicePackThresholds) {
  const VersionCase cases[] = {
      {5, 0, 3, kUnsupportedVersion, kOsKindWindows5},  // Windows 2000 SP3
      {5, 0, 4, kOk, kOsKindWindows5},
      {5, 0, 6, kOk, kOsKindWindows5},
      {5, 1, 0, kUnsupportedVersion, kOsKindWindows5},  // XP SP1 and earlier
      {5, 1, 1, kUnsupportedVersion, kOsKindWindows5},
      {5, 1, 2, kOk, kOsKindWindows5},
      {5, 1, 3, kOk, kOsKindWindows5},
      {5, 2, 2, kUnsupportedVersion, kOsKindWindows5},  // Server 2003, any service pack
      {5, 2, 9, kUnsupportedVersion, kOsKindWindows5},
      {6, 0, 0, kOk, kOsKindVista},
      {6, 0, 2, kOk, kOsKindVista},
      {6, 1, 1, kUnsupportedVersion, kOsKindWindows5},  // Windows 7
      {4, 0, 6, kUnsupportedVersion, kOsKindWindows5},
      {10, 0, 0, kUnsupportedVersion, kOsKindWindows5},
  };
  for (const VersionCase& c : cases) {
    // The canary is an invalid kind, so a write on failure shows.
    OsKind kind = static_cast<OsKind>(99);
    EXPECT_EQ(c.result, ClassifyOsVersion(c.major, c.minor, c.servicePack, kind))
        << c.major << "." << c.minor << " SP" << c.servicePack;
    if (c.result == kOk) {
      EXPECT_EQ(c.kind, kind) << c.major << "." << c.minor << " SP" << c.servicePack;
    } else {
      EXPECT_EQ(99, kind) << "kind must be left as it was on failure";
    }
  }
}

}  // namespace
}  // namespace kc
