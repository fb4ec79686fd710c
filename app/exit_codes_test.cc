// Which exit code a finished removal or preview gives, when outcomes and a failed log meet.
#include "app/exit_codes.h"

#include <gtest/gtest.h>

namespace kc {
namespace {

TEST(ExitCodeTest, FontsLeftOutweighAFailedLogWhichOutweighsSuccess) {
  struct Case {
    RemovalTally tally;
    bool logWritten;
    int expected;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, true, 0},
      {{6, 6, 0, 0}, true, 0},
      {{6, 5, 1, 0}, true, 3010},
      {{6, 4, 1, 1}, true, 1},
      {{6, 5, 0, 1}, true, 1},
      {{0, 0, 0, 0}, false, 6},
      {{6, 5, 1, 0}, false, 6},
      {{6, 5, 0, 1}, false, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, RemovalExitCode(c.tally, c.logWritten))
        << c.tally.found << " found, " << c.tally.removed << " removed, " << c.tally.atRestart << " at restart, "
        << c.tally.stillOnDisk << " left, log " << (c.logWritten ? "written" : "failed");
  }
  EXPECT_EQ(0, PreviewExitCode(0, true));
  EXPECT_EQ(10, PreviewExitCode(3, true));
  EXPECT_EQ(6, PreviewExitCode(3, false));
  EXPECT_EQ(6, PreviewExitCode(0, false));
}

TEST(ExitCodeTest, AReportIsDoneOnlyWhenEveryLogIs) {
  // clean, at restart, fonts left, not done, not a log
  EXPECT_EQ(0, ReportExitCode({}));
  EXPECT_EQ(0, ReportExitCode({5, 0, 0, 0, 0}));
  EXPECT_EQ(3010, ReportExitCode({5, 1, 0, 0, 0}));
  EXPECT_EQ(1, ReportExitCode({5, 1, 1, 0, 0}));
  EXPECT_EQ(1, ReportExitCode({5, 1, 0, 1, 0}));
  EXPECT_EQ(1, ReportExitCode({5, 0, 0, 0, 1}));
}

}  // namespace
}  // namespace kc
