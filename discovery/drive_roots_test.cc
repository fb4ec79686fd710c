#include "discovery/drive_roots.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/append.h"
#include "common/result_code.h"

namespace kc {
namespace {

// An answer buffer as GetLogicalDriveStringsA leaves it: the given bytes, then zeros.
std::vector<char> Answer(const std::string& bytes) {
  std::vector<char> answer(kDriveStringsBufferSize, '\0');
  std::memcpy(answer.data(), bytes.data(), bytes.size());
  return answer;
}

std::vector<std::string> Paths(const DriveRootList& roots) {
  std::vector<std::string> paths;
  for (const DriveRoot& root : roots) paths.emplace_back(root.path);
  return paths;
}

TEST(DriveRootsTest, KeepsEveryReportedRootInOrderExactly) {
  const auto answer = Answer(std::string("A:\\\0C:\\\0D:\\\0Z:\\\0", 16));
  DriveRootList roots;
  ASSERT_EQ(kOk, AppendDriveRoots(answer.data(), roots));
  EXPECT_EQ((std::vector<std::string>{"A:\\", "C:\\", "D:\\", "Z:\\"}), Paths(roots));
  for (const DriveRoot& root : roots) {
    for (size_t i = 3; i < sizeof root.path; ++i) ASSERT_EQ('\0', root.path[i]) << root.path;
  }
}

TEST(DriveRootsTest, EmptyAnswerGivesNoRoot) {
  // An empty root would make the walk list the current folder ("*.*").
  const auto answer = Answer("");
  DriveRootList roots;
  EXPECT_EQ(kOk, AppendDriveRoots(answer.data(), roots));
  EXPECT_TRUE(roots.empty());
}

TEST(DriveRootsTest, UnterminatedAnswerAtTheBufferEnd) {
  // Non-zero bytes up to the last position: the final string's terminator lies outside.
  std::vector<char> answer(kDriveStringsBufferSize, 'x');
  std::memcpy(answer.data(), "C:\\\0", 4);
  answer[kDriveStringsBufferSize - 1] = '\0';
  DriveRootList roots;
  EXPECT_EQ(kDriveStringsUnreadable, AppendDriveRoots(answer.data(), roots));
  EXPECT_EQ((std::vector<std::string>{"C:\\"}), Paths(roots)) << "roots before the fault stay";

  // No zero byte at all: nothing is appended, and the scan ends at the buffer's end.
  std::vector<char> noZero(kDriveStringsBufferSize, 'x');
  DriveRootList none;
  EXPECT_EQ(kOk, AppendDriveRoots(noZero.data(), none));
  EXPECT_TRUE(none.empty());
}

TEST(DriveRootsTest, RootLongerThanAPathBufferIsUnreadable) {
  // Cut to its buffer, a root would name another folder.
  const std::string longest = "D:\\" + std::string(kPathBufferSize - 4, 'x');
  DriveRootList roots;
  EXPECT_EQ(kOk, AppendDriveRoots(Answer(longest).data(), roots));
  EXPECT_EQ((std::vector<std::string>{longest}), Paths(roots)) << "the longest that fits";

  roots.clear();
  const auto tooLong = Answer(std::string("C:\\\0", 4) + longest + "x");
  EXPECT_EQ(kDriveStringsUnreadable, AppendDriveRoots(tooLong.data(), roots));
  EXPECT_EQ((std::vector<std::string>{"C:\\"}), Paths(roots)) << "roots before the fault stay";
}

TEST(DriveRootsTest, AppendFailureStopsWithOutOfMemoryKeepingEarlierRoots) {
  const auto answer = Answer(std::string("C:\\\0D:\\\0E:\\\0", 12));
  DriveRootList roots;
  ArmAppendFailure(1);
  EXPECT_EQ(kOutOfMemory, AppendDriveRoots(answer.data(), roots));
  DisarmAppendFailure();
  EXPECT_EQ((std::vector<std::string>{"C:\\"}), Paths(roots));
}

}  // namespace
}  // namespace kc
