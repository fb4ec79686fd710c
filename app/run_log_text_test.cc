// The log's lines where they carry a rule: what each phase says of the same action, errors with
// and without the system's message, lists, and a time stamp's padding.
#include "app/run_log_text.h"

#include <gtest/gtest.h>

namespace kc {
namespace {

TEST(RunLogTextTest, AProductFontsDeletionIsToldByItsOutcomeAToolsByItsOwnLine) {
  const RemovalEvent deleted{RemovalEventKind::kFileDeleted, "C:\\x\\A.otf", "", 0};
  EXPECT_EQ("", RemovalEventText(deleted, RemovalPhase::kFonts, ""));
  EXPECT_EQ("tool deleted \"C:\\x\\A.otf\"", RemovalEventText(deleted, RemovalPhase::kTools, ""));
  EXPECT_EQ("deleted \"C:\\x\\A.otf\"", FontOutcomeText(RemovalOutcome::kRemoved, false, "C:\\x\\A.otf"));
  EXPECT_EQ("uninstalled \"C:\\x\\A.otf\"", FontOutcomeText(RemovalOutcome::kRemoved, true, "C:\\x\\A.otf"));

  const RemovalEvent failed{RemovalEventKind::kFileDeleteFailed, "D:\\B.otf", "", 32};
  EXPECT_EQ("failed to delete \"D:\\B.otf\": error 32: in use",
            RemovalEventText(failed, RemovalPhase::kFonts, "in use"));
  EXPECT_EQ("failed to delete tool \"D:\\B.otf\": error 32", RemovalEventText(failed, RemovalPhase::kTools, ""));

  const RemovalEvent value{RemovalEventKind::kFontTableValueRemoved, "Kc (OpenType)", "Kc.otf", 0};
  EXPECT_EQ("registry value \"Kc (OpenType)\" removed (data \"Kc.otf\")",
            RemovalEventText(value, RemovalPhase::kFonts, ""));
  const RemovalEvent wouldGo{RemovalEventKind::kFontTableValueWouldBeRemoved, "Kc (OpenType)", "Kc.otf", 0};
  EXPECT_EQ("would remove registry value \"Kc (OpenType)\" (data \"Kc.otf\")",
            RemovalEventText(wouldGo, RemovalPhase::kFonts, ""));
}

TEST(RunLogTextTest, ListsStartAndTime) {
  EXPECT_EQ("applications asked to close: acrodist.exe, acrotray.exe",
            ApplicationsAskedText("acrodist.exe\r\nacrotray.exe\r\n"));
  EXPECT_EQ("applications still open after 60 s: acrodist.exe; nothing was removed",
            ApplicationsStillOpenText("acrodist.exe\r\n", 60400));

  // Without a compatibility manifest Windows 10 tells GetVersionExA it is 6.2; RtlGetVersion tells.
  StartFacts facts{"FontList (1).exe", "1.1.0.0", "silent", "6.2.9200", "10.0.19045", "Jo \"Ad\" on x", "PC-7",
                   {"C:\\", "D:\\"}};
  EXPECT_EQ("start \"FontList (1).exe\" 1.1.0.0, silent mode; Windows 6.2.9200 (RtlGetVersion: 10.0.19045); user "
            "\"Jo %22Ad%22 on x\" on \"PC-7\"; drives C:\\ D:\\",
            StartText(facts));
  facts.drives.clear();
  EXPECT_NE(std::string::npos, StartText(facts).find("drives (none listed)"));

  EXPECT_EQ("2024-03-05 07:08:09.012", TimeStampText(2024, 3, 5, 7, 8, 9, 12));
}

}  // namespace
}  // namespace kc
