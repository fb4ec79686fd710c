#include "removal/os_version-win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/result_code.h"

namespace kc {
namespace {

// ---- The real GetVersionExA of the Windows version the test bed set up (WINEBED_WINVER). ----

struct ExpectedVersion {
  const char* winver;
  uint32_t major, minor;
  uint16_t servicePack;
  int16_t osKindResult;
  OsKind kind;
};

const ExpectedVersion kExpected[] = {
    {"winxp", 5, 1, 3, kOk, kOsKindWindows5},
    {"win2k", 5, 0, 4, kOk, kOsKindWindows5},
    {"win2003", 5, 2, 2, kUnsupportedVersion, kOsKindWindows5},
    {"vista", 6, 0, 2, kOk, kOsKindVista},
    {"win7", 6, 1, 1, kUnsupportedVersion, kOsKindWindows5},
};

const ExpectedVersion* ExpectedForThisPrefix() {
  const char* winver = std::getenv("WINEBED_WINVER");
  if (winver == nullptr) return nullptr;
  for (const ExpectedVersion& e : kExpected) {
    if (std::strcmp(e.winver, winver) == 0) return &e;
  }
  return nullptr;
}

TEST(OsVersionOnWine, ReadsTheVersionWineImitates) {
  const ExpectedVersion* expected = ExpectedForThisPrefix();
  if (expected == nullptr) GTEST_SKIP() << "run by the test bed with WINEBED_WINVER";

  uint32_t major = 0xdeadbeef, minor = 0xdeadbeef;
  uint16_t servicePack = 0xbeef;
  ASSERT_EQ(kOk, ReadOsVersion(major, minor, servicePack)) << expected->winver;
  EXPECT_EQ(expected->major, major) << expected->winver;
  EXPECT_EQ(expected->minor, minor) << expected->winver;
  EXPECT_EQ(expected->servicePack, servicePack) << expected->winver;

  OsKind kind = static_cast<OsKind>(99);
  EXPECT_EQ(expected->osKindResult, GetOsKind(kind)) << expected->winver;
  EXPECT_EQ(expected->osKindResult == kOk ? expected->kind : static_cast<OsKind>(99), kind)
      << expected->winver;
}

TEST(OsVersionOnWine, ProductTypeIsReadable) {
  EXPECT_TRUE(SystemOsVersionSource().productTypeReadable());
}

// ---- What Wine cannot produce: a refused extended record, an unreadable product type. ----

struct FakeSystem {
  bool acceptExtended = true;
  bool acceptBasic = true;
  DWORD platformId = VER_PLATFORM_WIN32_NT;
  bool productTypeReadable = true;
  std::vector<DWORD> requestedSizes;
  int productTypeReads = 0;
};
FakeSystem* g_fake = nullptr;

BOOL FakeGetVersionEx(OSVERSIONINFOA* info) {
  g_fake->requestedSizes.push_back(info->dwOSVersionInfoSize);
  const bool extended = info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA);
  if (extended ? !g_fake->acceptExtended : !g_fake->acceptBasic) return FALSE;
  info->dwMajorVersion = 5;
  info->dwMinorVersion = 1;
  info->dwPlatformId = g_fake->platformId;
  if (extended) reinterpret_cast<OSVERSIONINFOEXA*>(info)->wServicePackMajor = 3;
  return TRUE;
}

bool FakeProductTypeReadable() {
  ++g_fake->productTypeReads;
  return g_fake->productTypeReadable;
}

class OsVersionSeamTest : public ::testing::Test {
 protected:
  void SetUp() override { g_fake = &fake_; }
  void TearDown() override { g_fake = nullptr; }
  FakeSystem fake_;
  const OsVersionSource source_ = {FakeGetVersionEx, FakeProductTypeReadable};
};

TEST_F(OsVersionSeamTest, ExtendedRecordNeedsNoProductType) {
  uint32_t major = 0, minor = 0;
  uint16_t servicePack = 0;
  ASSERT_EQ(kOk, ReadOsVersion(major, minor, servicePack, source_));
  EXPECT_EQ((std::vector<DWORD>{156}), fake_.requestedSizes);
  EXPECT_EQ(3, servicePack);
  EXPECT_EQ(0, fake_.productTypeReads);
}

TEST_F(OsVersionSeamTest, BasicRecordFallbackHasNoServicePack) {
  fake_.acceptExtended = false;
  uint32_t major = 0, minor = 0;
  uint16_t servicePack = 0xbeef;
  ASSERT_EQ(kOk, ReadOsVersion(major, minor, servicePack, source_));
  EXPECT_EQ((std::vector<DWORD>{156, 148}), fake_.requestedSizes);
  EXPECT_EQ(5u, major);
  EXPECT_EQ(1u, minor);
  EXPECT_EQ(0, servicePack) << "the cleared record's service pack";
  EXPECT_EQ(1, fake_.productTypeReads);

  // XP with service pack 0 is not supported: the basic record alone never gives kind 0 for 5.1.
  OsKind kind = static_cast<OsKind>(99);
  EXPECT_EQ(kUnsupportedVersion, GetOsKind(kind, source_));
  EXPECT_EQ(99, kind);
}

TEST_F(OsVersionSeamTest, BasicRecordWithUnreadableProductTypeFailsOnNtOnly) {
  fake_.acceptExtended = false;
  fake_.productTypeReadable = false;
  uint32_t major = 0, minor = 0;
  uint16_t servicePack = 0;
  EXPECT_EQ(kProductTypeUnreadable, ReadOsVersion(major, minor, servicePack, source_));
  EXPECT_EQ(5u, major) << "numbers are handed out before the product type is read";

  OsKind kind = static_cast<OsKind>(99);
  EXPECT_EQ(kProductTypeUnreadable, GetOsKind(kind, source_));
  EXPECT_EQ(99, kind);

  fake_.platformId = VER_PLATFORM_WIN32_WINDOWS;
  fake_.productTypeReads = 0;
  EXPECT_EQ(kOk, ReadOsVersion(major, minor, servicePack, source_));
  EXPECT_EQ(0, fake_.productTypeReads) << "Windows 9x has no product type to read";
}

TEST_F(OsVersionSeamTest, NoRecordAtAll) {
  fake_.acceptExtended = false;
  fake_.acceptBasic = false;
  uint32_t major = 7, minor = 7;
  uint16_t servicePack = 7;
  EXPECT_EQ(kVersionUnreadable, ReadOsVersion(major, minor, servicePack, source_));
  EXPECT_EQ(7u, major);
  EXPECT_EQ(7u, minor);
  EXPECT_EQ(7, servicePack);

  OsKind kind = kOsKindVista;
  EXPECT_EQ(kVersionUnreadable, GetOsKind(kind, source_));
  EXPECT_EQ(kOsKindVista, kind);
}

}  // namespace
}  // namespace kc
