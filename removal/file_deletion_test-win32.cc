// DeleteTargetFile on real files of the test prefix, one held open by a second process, and what
// it tells the removal journal.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ansi_wide-win32.h"
#include "common/result_code.h"
#include "removal/file_deletion.h"
#include "tests/removal/helper_process-win32.h"
#include "tests/removal/journal_recorder.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

const std::string kFolder = "C:\\kc-deletion\\";

class DeleteTargetFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(MakeFolders(kFolder)); }
};

struct UnheldCase {
  const char* label;
  const char* path;  // below kFolder
  bool create;       // make the file first
  DWORD attributes;  // of the file made
  int16_t expected;
};

const UnheldCase kUnheldCases[] = {
    {"missing file: counts as removed", "absent.otf", false, 0, kOk},
    {"missing folder: error 3 is a failure", "no-such-folder\\absent.otf", false, 0, kDeleteFailed},
    {"plain file", "plain.otf", true, FILE_ATTRIBUTE_NORMAL, kOk},
    {"read-only file", "read-only.otf", true, FILE_ATTRIBUTE_READONLY, kOk},
    {"hidden file", "hidden.otf", true, FILE_ATTRIBUTE_HIDDEN, kOk},
    {"system file", "system.ttc", true, FILE_ATTRIBUTE_SYSTEM, kOk},
    {"read-only, hidden and system", "all.ttc", true,
     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, kOk},
};

TEST_F(DeleteTargetFileTest, FilesNobodyHolds) {
  for (const UnheldCase& c : kUnheldCases) {
    const std::string path = kFolder + c.path;
    if (c.create) {
      ASSERT_TRUE(MakeFile(path, c.attributes)) << c.label;
      const DWORD special = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
      ASSERT_EQ(c.attributes & special, Attributes(path) & special) << c.label;
    }

    SetLastError(0xdeadbeef);
    EXPECT_EQ(c.expected, DeleteTargetFile(testsupport::WideOf(path))) << c.label;
    EXPECT_FALSE(FileExists(path)) << c.label;
  }
  EXPECT_FALSE(FolderExists(kFolder + "no-such-folder")) << "a missing folder is not made";
}

TEST_F(DeleteTargetFileTest, FileHeldOpenWithoutSharingKeepsItsAttributes) {
  const DWORD attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  const std::string path = kFolder + "held.otf";
  ASSERT_TRUE(MakeFile(path, attributes));
  {
    HelperProcess holder(HoldArguments(path));
    ASSERT_TRUE(holder.ready()) << holder.failure();

    EXPECT_EQ(kDeleteFailed, DeleteTargetFile(testsupport::WideOf(path)));
    EXPECT_EQ(DWORD{ERROR_SHARING_VIOLATION}, GetLastError());
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(attributes, Attributes(path) & (attributes | FILE_ATTRIBUTE_NORMAL))
        << "the probe failed, so the attributes must stay as they were";
  }
  // Once released, the same file goes.
  EXPECT_EQ(kOk, DeleteTargetFile(testsupport::WideOf(path)));
  EXPECT_FALSE(FileExists(path));
}

// The journal hears of a file that went and of a failure with its error; a file or folder that
// was not there is no event. The caller still finds the failure's error afterwards.
TEST_F(DeleteTargetFileTest, DeletionsAndFailuresAreJournaled) {
  const std::string plain = kFolder + "journaled.otf";
  const std::string held = kFolder + "journaled-held.otf";
  ASSERT_TRUE(MakeFile(plain));
  ASSERT_TRUE(MakeFile(held));
  JournalRecorder journal;
  HelperProcess holder(HoldArguments(held));
  ASSERT_TRUE(holder.ready()) << holder.failure();

  EXPECT_EQ(kOk, DeleteTargetFile(testsupport::WideOf(plain)));
  EXPECT_EQ(kOk, DeleteTargetFile(testsupport::WideOf((kFolder + "absent.otf"))));
  EXPECT_EQ(kDeleteFailed, DeleteTargetFile(testsupport::WideOf((kFolder + "no-such-folder\\absent.otf"))));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(kDeleteFailed, DeleteTargetFile(testsupport::WideOf(held)));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());

  EXPECT_EQ((std::vector<std::string>{"deleted|" + plain + "||0", "delete failed|" + held + "||32"}),
            journal.lines);
}

}  // namespace
}  // namespace kc
