// UninstallFont against the real font table, Fonts folder and window list of the test prefix, with
// a second process that holds a font open, listens for WM_FONTCHANGE or owns a hung window.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ansi_wide-win32.h"
#include "common/result_code.h"
#include "removal/font_uninstall.h"
#include "removal/font_uninstall_hooks-win32.h"
#include "tests/removal/helper_process-win32.h"
#include "tests/removal/journal_recorder.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

struct FontValue {
  std::string name;
  std::string data;
  bool removed;  // expected
};

class UninstallFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fonts_ = ExpectedFolder(CSIDL_FONTS);
    ASSERT_TRUE(MakeFolders(kOtherFolder));
  }
  void TearDown() override {
    for (const FontValue& v : values_)
      DeleteRegistryValue(HKEY_LOCAL_MACHINE, kFontTableKeyPath, v.name);
  }

  void AddValues(const std::vector<FontValue>& values) {
    for (const FontValue& v : values) {
      ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kFontTableKeyPath, v.name, v.data))
          << v.name;
      values_.push_back(v);
    }
  }
  static bool ValuePresent(const std::string& name) {
    std::string data;
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kFontTableKeyPath, name, data);
  }
  void ExpectValues() {
    for (const FontValue& v : values_) {
      EXPECT_EQ(!v.removed, ValuePresent(v.name)) << "\"" << v.name << "\" = \"" << v.data << "\"";
    }
  }

  const std::string kOtherFolder = "C:\\kc-other-fonts\\";
  std::string fonts_;
  std::vector<FontValue> values_;
};

DWORD TimedUninstall(const std::string& file) {
  const std::string path = ExpectedFolder(CSIDL_FONTS) + file;
  EXPECT_TRUE(MakeFile(path)) << path;
  const DWORD start = GetTickCount();
  EXPECT_EQ(kOk, UninstallFont(testsupport::WideOf(file).c_str()));
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_FALSE(FileExists(path));
  return elapsed;
}

// ---- Which values go ----

TEST_F(UninstallFontTest, RemovesEveryValueNamingTheFileAndNoOther) {
  const std::string file = "KcTest-Regular.otf";
  ASSERT_TRUE(MakeFile(fonts_ + file));
  ASSERT_TRUE(MakeFile(kOtherFolder + file));
  std::string upperFonts = fonts_;
  for (char& c : upperFonts) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  // Names sort in this order, so matches follow each other in the enumeration.
  AddValues({
      {"KcTest 1 (OpenType)", "KCTEST-REGULAR.OTF", true},
      {"KcTest 2", "kctest-regular.otf", true},
      {"KcTest 3", fonts_ + file, true},
      {"KcTest 4", upperFonts + "KCTEST-Regular.OTF", true},
      {"KcTest 5 same name, other folder", kOtherFolder + file, false},
      {"KcTest 6 longer", file + ".bak", false},
      {"KcTest 7 prefixed", "x" + file, false},
      {"KcTest 8 hyphen is a character", "KcTestRegular.otf", false},
      {"KcTest 9 subfolder", fonts_ + "sub\\" + file, false},
      {"KcTest 9z last", file, true},
  });
  HelperProcess listener("listen");
  ASSERT_TRUE(listener.ready()) << listener.failure();

  // A preview names the values that would go and changes nothing, the broadcast included.
  std::vector<std::string> wouldGo;
  {
    JournalRecorder journal;
    EXPECT_EQ(kOk, PreviewUninstallFont(testsupport::WideOf(file).c_str()));
    wouldGo = journal.lines;
  }
  for (const FontValue& v : values_) EXPECT_TRUE(ValuePresent(v.name)) << v.name;
  EXPECT_TRUE(FileExists(fonts_ + file));
  EXPECT_EQ(0, ListenerFontChanges());

  JournalRecorder journal;
  EXPECT_EQ(kOk, UninstallFont(testsupport::WideOf(file).c_str()));
  ExpectValues();
  EXPECT_FALSE(FileExists(fonts_ + file));
  EXPECT_TRUE(FileExists(kOtherFolder + file)) << "the same name in another folder is not ours";
  EXPECT_EQ(1, ListenerFontChanges());

  // The journal names each value removed with its data, in the table's order, then the file.
  std::vector<std::string> expected, expectedPreview;
  for (const FontValue& v : values_) {
    if (!v.removed) continue;
    expected.push_back("value removed|" + v.name + "|" + v.data + "|0");
    expectedPreview.push_back("would remove value|" + v.name + "|" + v.data + "|0");
  }
  expected.push_back("deleted|" + fonts_ + file + "||0");
  EXPECT_EQ(expected, journal.lines);
  EXPECT_EQ(expectedPreview, wouldGo);
}

// In code page 932 "ア" is 0x83 0x41 and "ヂ" 0x83 0x61: the second bytes differ only as 'A' and
// 'a' would, yet they are different letters.
TEST_F(UninstallFontTest, DoubleByteNamesAreComparedByCharacter) {
  const std::string file = "KcTest\x83\x41.otf";
  ASSERT_TRUE(MakeFile(fonts_ + file));
  AddValues({
      {"KcTest J1", "KCTEST\x83\x41.OTF", true},
      {"KcTest J2", "KcTest\x83\x61.otf", false},
  });
  EXPECT_EQ(kOk, UninstallFont(testsupport::WideOf(file).c_str()));
  ExpectValues();
  EXPECT_FALSE(FileExists(fonts_ + file));
}

// A value too long for the 2048-byte buffers must not end the examination early.
TEST_F(UninstallFontTest, OversizedValueDoesNotHideTheOnesAfterIt) {
  const std::string file = "KcTest-Long.otf";
  ASSERT_TRUE(MakeFile(fonts_ + file));
  AddValues({
      {"KcTest L1 oversized", std::string(3000, 'x'), false},
      {"KcTest L2", file, true},
  });
  EXPECT_EQ(kOk, UninstallFont(testsupport::WideOf(file).c_str()));
  ExpectValues();
}

// ---- File and broadcast ----

TEST_F(UninstallFontTest, UnregisteredFileIsStillDeletedAndAnnounced) {
  const std::string file = "KcTest-Unregistered.otf";
  ASSERT_TRUE(MakeFile(fonts_ + file, FILE_ATTRIBUTE_READONLY));
  AddValues({{"KcTest U bystander", "KcTest-Other.otf", false}});
  HelperProcess listener("listen");
  ASSERT_TRUE(listener.ready()) << listener.failure();

  EXPECT_EQ(kOk, UninstallFont(testsupport::WideOf(file).c_str()));
  ExpectValues();
  EXPECT_FALSE(FileExists(fonts_ + file));
  EXPECT_EQ(1, ListenerFontChanges());
}

TEST_F(UninstallFontTest, MissingFileCountsAsDeleted) {
  const std::string file = "KcTest-Gone.otf";
  AddValues({{"KcTest G", file, true}});
  HelperProcess listener("listen");
  ASSERT_TRUE(listener.ready()) << listener.failure();

  EXPECT_EQ(kOk, UninstallFont(testsupport::WideOf(file).c_str()));
  ExpectValues();
  EXPECT_EQ(1, ListenerFontChanges());
}

TEST_F(UninstallFontTest, HeldOpenFileIsUnregisteredNowAndLeftToTheRestart) {
  const std::string file = "KcTest-Held.otf";
  ASSERT_TRUE(MakeFile(fonts_ + file));
  AddValues({{"KcTest H1", file, true}, {"KcTest H2", fonts_ + file, true}});
  HelperProcess listener("listen");
  ASSERT_TRUE(listener.ready()) << listener.failure();
  HelperProcess holder(HoldArguments(fonts_ + file));
  ASSERT_TRUE(holder.ready()) << holder.failure();

  RemovalOutcome outcome = RemovalOutcome::kRemoved;
  EXPECT_EQ(kFontFileDeleteFailed, UninstallFont(testsupport::WideOf(file).c_str(), outcome)) << "the file could not go now";
  EXPECT_EQ(RemovalOutcome::kRemovedAtRestart, outcome);
  ExpectValues();
  EXPECT_TRUE(FileExists(fonts_ + file));
  EXPECT_EQ(std::vector<std::string>{"\\??\\" + fonts_ + file}, PendingDeletions());
  EXPECT_EQ(1, ListenerFontChanges()) << "unloaded and unregistered: the windows are told";
}

// A window whose thread stops pumping must not stall the removal, nor keep the others from hearing
// of the change: while it may still be busy each of its windows gets a bounded wait, and once it
// counts as hung (5 s without pumping) it is skipped at once.
TEST_F(UninstallFontTest, HungWindowDoesNotStallTheBroadcast) {
  HelperProcess hung("hang");
  ASSERT_TRUE(hung.ready()) << hung.failure();
  HelperProcess listener("listen");
  ASSERT_TRUE(listener.ready()) << listener.failure();

  const DWORD justStopped = TimedUninstall("KcTest-Hung1.otf");
  // The hung thread owns two top-level windows: its own and its input-method window.
  EXPECT_LT(justStopped, 2 * kFontChangeTimeoutPerWindowMs + 2000) << "milliseconds";
  Sleep(justStopped > 5500 ? 0 : 5500 - justStopped);
  const DWORD longHung = TimedUninstall("KcTest-Hung2.otf");
  EXPECT_LT(longHung, 1000u) << "milliseconds";
  EXPECT_EQ(2, ListenerFontChanges());
  std::printf("broadcast with a window hung just now: %lu ms, hung for 5 s: %lu ms\n",
              static_cast<unsigned long>(justStopped), static_cast<unsigned long>(longHung));
}

// ---- A value that cannot be deleted (Wine lets every process delete any value: a seam) ----

std::string g_undeletable;
LONG DeleteUnlessUndeletable(HKEY key, const wchar_t* valueName) {
  if (testsupport::WideOf(g_undeletable) == valueName) return ERROR_ACCESS_DENIED;
  return RegDeleteValueW(key, valueName);
}

TEST_F(UninstallFontTest, UndeletableValueStopsEverythingAfterIt) {
  const std::string file = "KcTest-Locked.otf";
  ASSERT_TRUE(MakeFile(fonts_ + file));
  AddValues(
      {{"KcTest K1", file, true}, {"KcTest K2 locked", file, false}, {"KcTest K3", file, false}});
  g_undeletable = "KcTest K2 locked";
  HelperProcess listener("listen");
  ASSERT_TRUE(listener.ready()) << listener.failure();

  const FontUninstallHooks hooks = {DeleteUnlessUndeletable};
  JournalRecorder journal;
  EXPECT_EQ(kFontTableUnavailable, UninstallFont(testsupport::WideOf(file).c_str(), hooks));
  ExpectValues();
  EXPECT_EQ((std::vector<std::string>{"value removed|KcTest K1|" + file + "|0",
                                      "value remove failed|KcTest K2 locked|" + file + "|5"}),
            journal.lines);
  EXPECT_TRUE(FileExists(fonts_ + file));
  EXPECT_EQ(0, ListenerFontChanges());
  DeleteFileA((fonts_ + file).c_str());
}

// ---- Each in a prefix of its own: the Fonts folder or the font table is gone for good ----

TEST_F(UninstallFontTest, NoFontsFolder) {
  const std::string file = "KcTest-NoFolder.otf";
  ASSERT_TRUE(MakeFile(fonts_ + file));
  AddValues({{"KcTest N", file, false}});
  HelperProcess listener("listen");
  ASSERT_TRUE(listener.ready()) << listener.failure();
  const std::string folder = fonts_.substr(0, fonts_.size() - 1);
  ASSERT_TRUE(MoveFileA(folder.c_str(), (folder + "-away").c_str())) << GetLastError();

  EXPECT_EQ(kFontsFolderUnavailable, UninstallFont(testsupport::WideOf(file).c_str()));
  ExpectValues();
  EXPECT_TRUE(FileExists(folder + "-away\\" + file));
  EXPECT_EQ(0, ListenerFontChanges());
}

TEST_F(UninstallFontTest, NoFontTable) {
  const std::string file = "KcTest-NoTable.otf";
  ASSERT_TRUE(MakeFile(fonts_ + file));
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFontTableKeyPath));
  HelperProcess listener("listen");
  ASSERT_TRUE(listener.ready()) << listener.failure();

  JournalRecorder journal;
  EXPECT_EQ(kFontTableUnavailable, UninstallFont(testsupport::WideOf(file).c_str()));
  EXPECT_TRUE(FileExists(fonts_ + file));
  EXPECT_EQ(0, ListenerFontChanges());
  EXPECT_EQ((std::vector<std::string>{"no font table|" + file + "||2"}), journal.lines);
  EXPECT_EQ(kFontTableUnavailable, PreviewUninstallFont(testsupport::WideOf(file).c_str()));
}

}  // namespace
}  // namespace kc
