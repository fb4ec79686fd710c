#include "discovery/drive_roots-win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/result_code.h"

namespace kc {
namespace {

std::vector<std::string> Paths(const DriveRootList& roots) {
  std::vector<std::string> paths;
  for (const DriveRoot& root : roots) paths.emplace_back(root.path);
  return paths;
}

TEST(BuildDriveRootListTest, ListsEveryDriveOfThePrefixInLetterOrder) {
  // The test bed maps a:, d:, e: and r: (r: to a missing folder: an empty optical drive).
  DriveRootList roots;
  ASSERT_EQ(kOk, BuildDriveRootList(roots));
  EXPECT_EQ((std::vector<std::string>{"A:\\", "C:\\", "D:\\", "E:\\", "R:\\"}), Paths(roots));
}

unsigned long FailingDriveStrings(unsigned long, char*) { return 0; }

TEST(BuildDriveRootListTest, FailedDriveStringsGiveMinusOneAndNoRoot) {
  DriveRootList roots;
  EXPECT_EQ(kDriveStringsUnreadable, BuildDriveRootList(roots, FailingDriveStrings));
  EXPECT_TRUE(roots.empty());
}

}  // namespace
}  // namespace kc
