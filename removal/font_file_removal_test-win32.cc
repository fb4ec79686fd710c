// RemoveFontFile on real files of the test prefix: a restart never left to delete another file of
// the name, and, through its seam, what Wine cannot produce (a mapped file refusing its
// disposition, a scheduling that fails, a file the close keeps). Deletion now and a font in use
// in and outside the Fonts folder are driven end to end (tests/e2e, the walk's tests).
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "common/open_font_file-win32.h"
#include "common/scoped_handles-win32.h"
#include "removal/font_file_removal.h"
#include "removal/font_file_removal_hooks-win32.h"
#include "tests/removal/journal_recorder.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

const std::string kFolder = "C:\\kc-removal\\";

// Held as an application using a font holds it: reading, sharing only reading.
ScopedHandle Hold(const std::string& path) {
  return ScopedHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

RemovalOutcome Remove(const std::string& path, const char* fontsFolderFileName = nullptr) {
  OpenFontFile file(path.c_str());
  return RemoveFontFile(file, path.c_str(), fontsFolderFileName);
}

class RemoveFontFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeFolders(kFolder));
    fonts_ = ExpectedFolder(CSIDL_FONTS);
  }
  std::string fonts_;
};

TEST_F(RemoveFontFileTest, ARestartNeverDeletesAnotherFileOfTheSameNameInTheFontsFolder) {
  // Claimed to lie in the Fonts folder, but the Fonts folder's file of that name is another one.
  const std::string held = kFolder + "KcSame-Name.otf";
  ASSERT_TRUE(MakeFile(held));
  ASSERT_TRUE(MakeFile(fonts_ + "KcSame-Name.otf"));
  const std::vector<std::string> pendingBefore = PendingDeletions();
  JournalRecorder journal;
  {
    const ScopedHandle holder = Hold(held);
    ASSERT_TRUE(holder.valid());
    EXPECT_EQ(RemovalOutcome::kStillOnDisk, Remove(held, "KcSame-Name.otf"));
  }
  EXPECT_EQ(pendingBefore, PendingDeletions());
  EXPECT_TRUE(FileExists(fonts_ + "KcSame-Name.otf"));
  EXPECT_EQ(std::vector<std::string>{"restart deletion failed|" + fonts_ + "KcSame-Name.otf||1006"}, journal.lines);
}

// ---- The decision, through the seam ----

unsigned long g_markError = 0;
int g_scheduled = 0;
bool g_scheduleSucceeds = true;

unsigned long FailingMark(OpenFontFile&) { return g_markError; }
BOOL CountingSchedule(const char*) {
  ++g_scheduled;
  return g_scheduleSucceeds ? TRUE : FALSE;
}

TEST_F(RemoveFontFileTest, OnlyAFileInUseInTheFontsFolderIsScheduled) {
  const std::string path = fonts_ + "KcSeam.otf";
  ASSERT_TRUE(MakeFile(path));
  const struct {
    const char* label;
    unsigned long markError;
    bool inFontsFolder;
    bool scheduleSucceeds;
    RemovalOutcome expected;
    int schedules;
    const char* journaled;
  } cases[] = {
      {"mapped by another process (Windows: access denied)", ERROR_ACCESS_DENIED, true, true,
       RemovalOutcome::kRemovedAtRestart, 1, ""},
      {"mapped, outside the Fonts folder", ERROR_ACCESS_DENIED, false, true, RemovalOutcome::kStillOnDisk, 0,
       "in use"},
      {"read-only and its attribute cannot be cleared", ERROR_FILE_READ_ONLY, true, true,
       RemovalOutcome::kStillOnDisk, 0, "delete failed"},
      {"in use, and the scheduling fails", ERROR_ACCESS_DENIED, true, false, RemovalOutcome::kStillOnDisk, 1,
       "restart deletion failed"},
      // The disposition accepted, yet the file kept by the close (Wine in a folder it may not write).
      {"marked, and still there after the close", 0, false, true, RemovalOutcome::kStillOnDisk, 0, "delete failed"},
  };
  const FontFileRemovalHooks hooks = {FailingMark, CountingSchedule};
  for (const auto& c : cases) {
    g_markError = c.markError;
    g_scheduleSucceeds = c.scheduleSucceeds;
    g_scheduled = 0;
    JournalRecorder journal;
    OpenFontFile file(path.c_str());
    ASSERT_EQ(OpenFontFile::Access::kRemovable, file.access()) << c.label;
    EXPECT_EQ(c.expected, RemoveFontFile(file, path.c_str(), c.inFontsFolder ? "KcSeam.otf" : nullptr, InUseBy::kAProgram, hooks))
        << c.label;
    EXPECT_FALSE(file.IsOpen()) << c.label;
    EXPECT_EQ(c.schedules, g_scheduled) << c.label;
    const std::string first = journal.lines.empty() ? "" : journal.lines[0].substr(0, journal.lines[0].find('|'));
    EXPECT_EQ(c.journaled, first) << c.label;
  }
  EXPECT_TRUE(FileExists(path)) << "nothing was really deleted";
}

}  // namespace
}  // namespace kc
