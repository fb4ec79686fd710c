// DeleteNowOrAtRestart on real files of the test prefix, one held open by a second process, and
// through its seam for what Wine cannot produce (a held file refusing deletion as "access denied",
// a scheduling that fails).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/result_code.h"
#include "removal/restart_deletion.h"
#include "removal/restart_deletion_hooks-win32.h"
#include "tests/removal/helper_process-win32.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

const std::string kFolder = "C:\\kc-restart\\";

class DeleteNowOrAtRestartTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(MakeFolders(kFolder)); }
};

TEST_F(DeleteNowOrAtRestartTest, FilesNobodyHoldsGoNowAndNothingIsScheduled) {
  const std::string plain = kFolder + "plain.otf";
  const std::string readOnly = kFolder + "read-only.ttc";
  ASSERT_TRUE(MakeFile(plain));
  ASSERT_TRUE(MakeFile(readOnly, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

  EXPECT_EQ(RemovalOutcome::kRemoved, DeleteNowOrAtRestart(plain.c_str()));
  EXPECT_EQ(RemovalOutcome::kRemoved, DeleteNowOrAtRestart(readOnly.c_str()));
  EXPECT_EQ(RemovalOutcome::kRemoved, DeleteNowOrAtRestart((kFolder + "absent.otf").c_str()));
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, DeleteNowOrAtRestart((kFolder + "no-folder\\absent.otf").c_str()))
      << "a missing folder is no file in use";
  EXPECT_FALSE(FileExists(plain));
  EXPECT_FALSE(FileExists(readOnly));
  EXPECT_TRUE(PendingDeletions().empty());
}

TEST_F(DeleteNowOrAtRestartTest, FileHeldOpenIsScheduledAndLosesOnlyItsReadOnlyAttribute) {
  const std::string path = kFolder + "held.otf";
  ASSERT_TRUE(MakeFile(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  {
    HelperProcess holder(HoldArguments(path));
    ASSERT_TRUE(holder.ready()) << holder.failure();
    EXPECT_EQ(RemovalOutcome::kRemovedAtRestart, DeleteNowOrAtRestart(path.c_str()));
    EXPECT_TRUE(FileExists(path));
  }
  EXPECT_EQ(std::vector<std::string>{"\\??\\" + path}, PendingDeletions());
  // Read-only would make the deletion at restart fail; the rest is left as it was.
  EXPECT_EQ(DWORD{FILE_ATTRIBUTE_HIDDEN},
            Attributes(path) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

// ---- The decision, through the seam ----

DeletionFailure g_failure;
int g_scheduled = 0;
bool g_scheduleSucceeds = true;

ResultCode FailingDelete(const char* path, DeletionFailure& failure) {
  failure = g_failure;
  return kDeleteFailed;
}
BOOL CountingSchedule(const char* path) {
  ++g_scheduled;
  return g_scheduleSucceeds ? TRUE : FALSE;
}

TEST(RestartDeletionDecision, OnlyAFileInUseIsScheduledAndAFailedScheduleLeavesItOnDisk) {
  struct Case {
    const char* label;
    bool heldOpen;
    DWORD deleteError;
    bool scheduleSucceeds;
    RemovalOutcome expected;
    int schedules;
  };
  const Case cases[] = {
      {"sharing violation", true, ERROR_SHARING_VIOLATION, true, RemovalOutcome::kRemovedAtRestart, 1},
      {"sharing violation, probe passed", false, ERROR_SHARING_VIOLATION, true, RemovalOutcome::kRemovedAtRestart, 1},
      {"access denied while held (a mapped file)", true, ERROR_ACCESS_DENIED, true,
       RemovalOutcome::kRemovedAtRestart, 1},
      {"access denied, nobody holds it: no right", false, ERROR_ACCESS_DENIED, true, RemovalOutcome::kStillOnDisk, 0},
      {"missing folder", false, ERROR_PATH_NOT_FOUND, true, RemovalOutcome::kStillOnDisk, 0},
      {"in use, and the scheduling fails", true, ERROR_SHARING_VIOLATION, false, RemovalOutcome::kStillOnDisk, 1},
  };
  const RestartDeletionHooks hooks = {FailingDelete, CountingSchedule};
  for (const Case& c : cases) {
    g_failure.heldOpen = c.heldOpen;
    g_failure.deleteError = c.deleteError;
    g_scheduleSucceeds = c.scheduleSucceeds;
    g_scheduled = 0;
    EXPECT_EQ(c.expected, DeleteNowOrAtRestart("C:\\kc-restart\\absent.otf", hooks)) << c.label;
    EXPECT_EQ(c.schedules, g_scheduled) << c.label;
  }
}

}  // namespace
}  // namespace kc
