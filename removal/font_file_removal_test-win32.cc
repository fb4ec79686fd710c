// RemoveFontFile's decision on real files of the test prefix, through its seam for what Wine cannot
// produce (a mapped file refusing its disposition, a scheduling that fails, a file the close
// keeps); a restart is never left to delete another file of the name. Deletion now and fonts held
// in and outside the Fonts folder are driven end to end (tests/e2e, the walk's tests).
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/ansi_wide-win32.h"
#include "common/open_font_file-win32.h"
#include "removal/font_file_removal.h"
#include "removal/font_file_removal_hooks-win32.h"
#include "tests/removal/journal_recorder.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

const std::string kFolder = "C:\\kc-removal\\";

class RemoveFontFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeFolders(kFolder));
    fonts_ = ExpectedFolder(CSIDL_FONTS);
  }
  std::string fonts_;
};

// ---- The decision, through the seam ----

unsigned long g_markError = 0;
int g_scheduled = 0;
bool g_scheduleSucceeds = true;

unsigned long FailingMark(OpenFontFile&) { return g_markError; }
BOOL CountingSchedule(const wchar_t*) {
  ++g_scheduled;
  return g_scheduleSucceeds ? TRUE : FALSE;
}

TEST_F(RemoveFontFileTest, OnlyAFileInUseInTheFontsFolderIsScheduledAndOnlyByItsOwnPath) {
  ASSERT_TRUE(MakeFile(fonts_ + "KcSeam.otf"));
  // Claimed to lie in the Fonts folder, where the file of that name is another one.
  ASSERT_TRUE(MakeFile(kFolder + "KcSeam.otf"));
  const struct {
    const char* label;
    std::string path;
    unsigned long markError;
    bool inFontsFolder;
    bool scheduleSucceeds;
    RemovalOutcome expected;
    int schedules;
    const char* journaled;
  } cases[] = {
      {"mapped by another process (Windows: access denied)", fonts_ + "KcSeam.otf", ERROR_ACCESS_DENIED, true, true,
       RemovalOutcome::kRemovedAtRestart, 1, ""},
      {"mapped, outside the Fonts folder", fonts_ + "KcSeam.otf", ERROR_ACCESS_DENIED, false, true,
       RemovalOutcome::kStillOnDisk, 0, "in use"},
      {"in use, but the Fonts folder's file of its name is another", kFolder + "KcSeam.otf", ERROR_ACCESS_DENIED,
       true, true, RemovalOutcome::kStillOnDisk, 0, "restart deletion failed"},
      {"read-only and its attribute cannot be cleared", fonts_ + "KcSeam.otf", ERROR_FILE_READ_ONLY, true, true,
       RemovalOutcome::kStillOnDisk, 0, "delete failed"},
      {"in use, and the scheduling fails", fonts_ + "KcSeam.otf", ERROR_ACCESS_DENIED, true, false,
       RemovalOutcome::kStillOnDisk, 1, "restart deletion failed"},
      // The disposition accepted, yet the file kept by the close (Wine in a folder it may not write).
      {"marked, and still there after the close", fonts_ + "KcSeam.otf", 0, false, true, RemovalOutcome::kStillOnDisk,
       0, "delete failed"},
  };
  const FontFileRemovalHooks hooks = {FailingMark, CountingSchedule};
  for (const auto& c : cases) {
    g_markError = c.markError;
    g_scheduleSucceeds = c.scheduleSucceeds;
    g_scheduled = 0;
    JournalRecorder journal;
    OpenFontFile file(testsupport::WideOf(c.path).c_str());
    ASSERT_EQ(OpenFontFile::Access::kRemovable, file.access()) << c.label;
    EXPECT_EQ(c.expected, RemoveFontFile(file, testsupport::WideOf(c.path), c.inFontsFolder ? L"KcSeam.otf" : nullptr,
                                         InUseBy::kAProgram, hooks))
        << c.label;
    EXPECT_FALSE(file.IsOpen()) << c.label;
    EXPECT_EQ(c.schedules, g_scheduled) << c.label;
    const std::string first = journal.lines.empty() ? "" : journal.lines[0].substr(0, journal.lines[0].find('|'));
    EXPECT_EQ(c.journaled, first) << c.label;
  }
  EXPECT_TRUE(FileExists(fonts_ + "KcSeam.otf") && FileExists(kFolder + "KcSeam.otf")) << "nothing was deleted";
}

}  // namespace
}  // namespace kc
