// The removal run without a dialog: what it asks and shows its face, in which order, what a
// preview leaves, and where a declined confirmation or exhausted memory stops it. Whole runs of
// the program with either face are the end-to-end tests' (tests/e2e).
#include "app/removal_run-win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/append.h"
#include "discovery/collection_font_list.h"
#include "discovery/drive_roots.h"
#include "tests/fonts/font_builder.h"
#include "tests/support/file_tree-win32.h"

namespace kc {
namespace {

const char kLogPath[] = "C:\\kc-run.log";

// Notes each call as a line; its answers are set by the test.
class RecordingFace : public RunFace {
 public:
  bool ConfirmRemoval() override {
    calls.push_back("confirm");
    return confirm;
  }
  StillOpenChoice ApplicationsStillOpen(const std::string&) override {
    calls.push_back("applications still open");
    return StillOpenChoice::kEndProgram;
  }
  DWORD StillOpenQuestionAfterMs() const override { return 1000; }
  HWND PumpWindow() const override { return nullptr; }
  void ProgressBegins(int driveCount) override { calls.push_back("begins " + std::to_string(driveCount)); }
  void ProgressStatus(const std::wstring& line1, const char* line2) override {
    // The first line is a two-line text of the string table: its first line is enough here, noted
    // in code page 932 like this file's literals.
    char first[256] = {};
    WideCharToMultiByte(932, 0, line1.substr(0, line1.find(L'\n')).c_str(), -1, first, sizeof first, nullptr, nullptr);
    calls.push_back(std::string("status ") + first + "|" + line2);
  }
  void ProgressStep() override { calls.push_back("step"); }
  void DriveNotSearched() override { calls.push_back("drive not searched"); }
  void ProgressEnds() override { calls.push_back("ends"); }

  bool confirm = true;
  std::vector<std::string> calls;
};

DriveRootList Roots(std::initializer_list<const char*> roots) {
  DriveRootList list;
  for (const char* root : roots) {
    DriveRoot drive = {};
    std::strcpy(drive.path, root);
    list.push_back(drive);
  }
  return list;
}

// The log's lines without their times.
std::vector<std::string> LogEvents() {
  std::vector<std::string> events;
  const std::string text = testsupport::ReadWholeFile(kLogPath);
  size_t start = 3;  // after the byte-order mark
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    events.push_back(text.substr(start + 24, end - start - 24));  // "YYYY-MM-DD hh:mm:ss.mmm "
    start = end + 2;
  }
  return events;
}

class RemovalRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearCollectionFontList();
    testsupport::EmptyDirectory("D:\\");
    CreateDirectoryA("D:\\fonts", nullptr);
    ASSERT_TRUE(testfonts::WriteFontFile("D:\\fonts\\Kc-M.otf", testfonts::BuildTaggedOpenType("Kc M", "KCHV")));
    ASSERT_TRUE(testfonts::WriteFontFile("D:\\Kc.ttc", testfonts::BuildTaggedCollection("KCOV")));
    ASSERT_TRUE(testfonts::WriteFontFile("D:\\fonts\\Other.otf", testfonts::BuildTaggedOpenType("Other", "Mfvl")));
    ASSERT_TRUE(log_.Open(L"C:\\kc-run.log"));
  }
  void TearDown() override {
    DisarmAppendFailure();
    ClearCollectionFontList();
  }

  RunEnd Run(const DriveRootList& drives, bool preview) {
    RemovalRun run(drives, openType_, face_, log_, preview);
    const RunEnd end = run.Run();
    tally_ = run.Tally();
    return end;
  }

  RecordingFace face_;
  RunLog log_;
  OpenTypeFontList openType_;
  RemovalTally tally_;
};

TEST_F(RemovalRunTest, EveryFaceSeesTheSameSequence) {
  ASSERT_EQ(RunEnd::kCompleted, Run(Roots({"D:\\", "R:\\"}), false));
  const std::string searching = "status フォントファイル検索中|";
  EXPECT_EQ((std::vector<std::string>{"confirm", "begins 2", "status 初期化処理中|", "step", searching + "D:\\",
                                      "step", searching + "R:\\", "drive not searched", "step", "step", "status |",
                                      "ends"}),
            face_.calls);
  EXPECT_EQ(2, tally_.found);
  EXPECT_EQ(2, tally_.removed);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("D:\\fonts\\Kc-M.otf"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("D:\\Kc.ttc"));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("D:\\fonts\\Other.otf"));
  const std::vector<std::string> events = LogEvents();
  EXPECT_EQ("summary: 2 product fonts found: 2 removed, 0 to be removed at the next restart, 0 still on disk",
            events.back());
}

TEST_F(RemovalRunTest, APreviewAsksNothingAndLeavesEveryFile) {
  const auto before = testsupport::SnapshotFiles("D:\\");
  ASSERT_EQ(RunEnd::kCompleted, Run(Roots({"D:\\"}), true));
  EXPECT_EQ(before, testsupport::SnapshotFiles("D:\\"));
  EXPECT_EQ("begins 1", face_.calls.front()) << "no confirmation";
  EXPECT_EQ(2, tally_.found);
  EXPECT_EQ(0, tally_.removed);

  // In the walk's order: found, then what a removal would do to it.
  std::vector<std::string> expected = {"searching D:\\"};
  for (const std::string& path : testsupport::ListFilesDepthFirst("D:\\")) {
    if (path == "D:\\Kc.ttc") expected.push_back("found \"D:\\Kc.ttc\": collection, tag KCOV, name \"Kc\"");
    if (path == "D:\\fonts\\Kc-M.otf") {
      expected.push_back("found \"D:\\fonts\\Kc-M.otf\": OpenType, tag KCHV, name \"Kc M\"");
    }
    if (path != "D:\\fonts\\Other.otf") expected.push_back("would delete \"" + path + "\"");
  }
  expected.push_back("summary: 2 product fonts found; a preview removes nothing");
  EXPECT_EQ(expected, LogEvents());
}

TEST_F(RemovalRunTest, DeclinedTouchesNothing) {
  face_.confirm = false;
  const auto before = testsupport::SnapshotFiles("D:\\");
  EXPECT_EQ(RunEnd::kDeclined, Run(Roots({"D:\\"}), false));
  EXPECT_EQ(std::vector<std::string>{"confirm"}, face_.calls);
  EXPECT_EQ(before, testsupport::SnapshotFiles("D:\\"));
  EXPECT_EQ(std::vector<std::string>{"declined: the user did not confirm the removal; nothing was touched"},
            LogEvents());
}

TEST_F(RemovalRunTest, OutOfMemoryStopsTheRunBeforeTheTools) {
  // Memory runs out recording the font in the drive's root (a subfolder's failure would not
  // reach the run): appends before it succeed.
  int before = 0;
  for (const std::string& path : testsupport::ListFilesDepthFirst("D:\\")) {
    if (path == "D:\\Kc.ttc") break;
    if (path == "D:\\fonts\\Kc-M.otf") ++before;
  }
  ArmAppendFailure(before);
  EXPECT_EQ(RunEnd::kOutOfMemory, Run(Roots({"D:\\", "R:\\"}), false));
  EXPECT_EQ("drive not searched", face_.calls.back()) << "no more steps, and the progress is not ended";
  const std::vector<std::string> events = LogEvents();
  EXPECT_EQ(0u, events.back().find("out of memory while recording a font on D:\\")) << events.back();
}

}  // namespace
}  // namespace kc
