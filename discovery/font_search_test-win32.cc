// The walk of a drive on real files of a throwaway prefix: what is recorded, what is removed,
// what is left alone, in which order, and what each failure gives.
#include "common/wide_text-win32.h"
#include "tests/support/ansi_wide-win32.h"
#include "discovery/font_search-win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/append.h"
#include "common/result_code.h"
#include "discovery/collection_font_list.h"
#include "tests/fonts/font_builder.h"
#include "tests/removal/removal_fixtures-win32.h"
#include "tests/support/file_tree-win32.h"

namespace kc {
namespace {

using testfonts::BuildFont;
using testfonts::FontSpec;
using testfonts::MacName;
using testfonts::WindowsName;

// ---- Fixture files ----

std::string ProductOpenType(const std::string& fullName, const std::string& tag = "KCHV") {
  return testfonts::BuildTaggedOpenType(fullName, tag);
}

std::string ProductCollection(const std::string& tag = "KCOV") { return testfonts::BuildTaggedCollection(tag); }

void WriteFixture(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(testfonts::WriteFontFile(path, bytes)) << path;
}

void MakeDirectory(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Drain {
  int calls = 0;
  void operator()() { ++calls; }
};

class FontSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearCollectionFontList();
    testsupport::EmptyDirectory("D:\\");
  }
  void TearDown() override {
    DisarmAppendFailure();
    ClearCollectionFontList();
    testsupport::EmptyDirectory("D:\\");
  }

  int16_t Search(const char* directory) {
    FontSearch search{openType_, [this] { ++drains_; }};
    return SearchFontFiles(testsupport::WideOf(directory), search);
  }

  std::vector<std::string> OpenTypePaths() const {
    std::vector<std::string> paths;
    for (const auto& record : openType_) paths.emplace_back(record.path);
    return paths;
  }
  std::vector<std::string> CollectionPaths() const {
    std::vector<std::string> paths;
    for (int32_t i = 0; i < GetCollectionFontCount(); ++i) {
      CollectionFontRecord record;
      GetCollectionFont(i, record);
      paths.emplace_back(record.path);
    }
    return paths;
  }

  OpenTypeFontList openType_;
  int drains_ = 0;
};

// Notes every call of the walk's observer as a line; approves removals unless told otherwise.
class Watcher : public FontSearchObserver {
 public:
  explicit Watcher(bool approve) : approve_(approve) {}
  bool BeforeRemoval(const ProductFont& font) override {
    calls.push_back(std::string("before ") + (font.type == FontFileType::kOpenType ? "otf " : "ttc ") +
                    testsupport::AnsiOf(OrdinaryPath(font.path)) + " \"" + testsupport::AnsiOfUtf8(font.name) + "\" " +
                    font.tag + (font.uninstall ? " uninstall " : " delete ") + testsupport::AnsiOf(font.fileName));
    return approve_;
  }
  void AfterRemoval(const ProductFont& font, RemovalOutcome outcome) override {
    const char* said = outcome == RemovalOutcome::kRemoved            ? " removed"
                       : outcome == RemovalOutcome::kRemovedAtRestart ? " at restart"
                                                                      : " still there";
    calls.push_back(std::string("after ") + testsupport::AnsiOf(OrdinaryPath(font.path)) + said);
  }
  std::vector<std::string> calls;

 private:
  bool approve_;
};

// ---- The decision table on a drive outside the Fonts folder ----

TEST_F(FontSearchTest, RemovesExactlyTheProductFontsOfATree) {
  const std::string product = ProductOpenType("Kc Gothic M");
  MakeDirectory("D:\\a");
  MakeDirectory("D:\\a\\b");
  MakeDirectory("D:\\named.otf");  // a folder named like a font: entered, never opened
  WriteFixture("D:\\a\\Product-M.otf", product);
  WriteFixture("D:\\a\\b\\Product-B.otf", ProductOpenType("Kc Gothic B", "KCPH"));
  WriteFixture("D:\\named.otf\\Inner.otf", ProductOpenType("Kc Inner", "KCHS"));
  WriteFixture("D:\\Coll.ttc", ProductCollection("KCOV"));
  WriteFixture("D:\\a\\Coll4.ttc", ProductCollection("SLH3"));
  // Left alone: other vendors, no tag, wrong extension case, TrueType flavour, unknown collection.
  const std::vector<std::pair<std::string, std::string>> kept = {
      {"D:\\a\\OtherVendor.otf", ProductOpenType("Other", "Mfvl")},
      {"D:\\a\\NoTag.otf", ProductOpenType("Untagged", "none")},
      {"D:\\Upper.OTF", product},
      {"D:\\Mixed.Ttc", ProductCollection()},
      {"D:\\Two.otf2", product},
      {"D:\\NoExtension", product},
      {"D:\\a\\b\\TrueType.otf", [] {
         FontSpec font;
         font.sfntVersion = testfonts::kTrueTypeVersion;
         font.names = {MacName(4, 11, "TT"), MacName(13, 0, "KCHV")};
         return BuildFont(font);
       }()},
      {"D:\\UnknownTag.ttc", ProductCollection("KCHS")},
      {"D:\\Garbage.otf", "OTTO and then nothing useful"},
      {"D:\\Empty.ttc", ""},
  };
  for (const auto& [path, bytes] : kept) WriteFixture(path, bytes);

  const std::vector<std::string> expectedOpenType =
      testsupport::ListFilesDepthFirst("D:\\", [](const std::string& n) {
        return n == "Product-M.otf" || n == "Product-B.otf" || n == "Inner.otf";
      });
  const std::vector<std::string> expectedCollections = testsupport::ListFilesDepthFirst(
      "D:\\", [](const std::string& n) { return n == "Coll.ttc" || n == "Coll4.ttc"; });

  ASSERT_EQ(kOk, Search("D:\\"));

  EXPECT_EQ(expectedOpenType, OpenTypePaths()) << "recorded in depth-first listing order";
  EXPECT_EQ(expectedCollections, CollectionPaths());
  for (const auto& record : openType_) {
    EXPECT_EQ(kKindProductOpenType, record.kind) << record.path;
    EXPECT_EQ(RemovalOutcome::kRemoved, record.outcome) << record.path;
    EXPECT_FALSE(Exists(record.path)) << record.path;
  }
  for (int32_t i = 0; i < GetCollectionFontCount(); ++i) {
    CollectionFontRecord record;
    ASSERT_EQ(kOk, GetCollectionFont(i, record));
    EXPECT_EQ(RemovalOutcome::kRemoved, record.outcome) << record.path;
    EXPECT_FALSE(Exists(record.path)) << record.path;
    EXPECT_TRUE(std::string(record.fileName) == "Coll" || std::string(record.fileName) == "Coll4");
  }
  for (const auto& [path, bytes] : kept) EXPECT_TRUE(Exists(path)) << path << " must stay";
  EXPECT_TRUE(Exists("D:\\named.otf")) << "a folder is never deleted";
}

TEST_F(FontSearchTest, ZusuujiFontsAreListedUnderTheirFileName) {
  FontSpec nameless;  // a product tag but no Macintosh Japanese full name
  nameless.names = {MacName(13, 0, "KCHX"), WindowsName(4, u"ZUSuuji Regular")};
  const std::string bytes = BuildFont(nameless);
  WriteFixture("D:\\ZUSuuji-R.otf", bytes);
  WriteFixture("D:\\zusuuji-B.otf", bytes);  // the family name is case-sensitive
  WriteFixture("D:\\Other-R.otf", bytes);

  ASSERT_EQ(kOk, Search("D:\\"));
  ASSERT_EQ(1u, openType_.size());
  EXPECT_STREQ("ZUSuuji-R", openType_[0].fullName);
  EXPECT_FALSE(Exists("D:\\ZUSuuji-R.otf"));
  EXPECT_TRUE(Exists("D:\\zusuuji-B.otf"));
  EXPECT_TRUE(Exists("D:\\Other-R.otf"));
}

TEST_F(FontSearchTest, ProductFontsInUseOutsideTheFontsFolderAreIdentifiedAndLeftInPlace) {
  WriteFixture("D:\\Locked-M.otf", ProductOpenType("Kc Locked"));
  WriteFixture("D:\\Free-M.otf", ProductOpenType("Kc Free"));
  WriteFixture("D:\\Locked.ttc", ProductCollection());
  WriteFixture("D:\\Sealed.ttc", ProductCollection());
  // Held the way an application or Windows using a font holds it: readable, not deletable. The
  // walk's open for deletion fails on these; a shared one reads them.
  HANDLE otf = CreateFileA("D:\\Locked-M.otf", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE ttc = CreateFileA("D:\\Locked.ttc", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  // Held sharing nothing: nobody can read it, so it stays unidentified and untouched.
  HANDLE sealed = CreateFileA("D:\\Sealed.ttc", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, otf);
  ASSERT_NE(INVALID_HANDLE_VALUE, ttc);
  ASSERT_NE(INVALID_HANDLE_VALUE, sealed);
  const size_t pendingBefore = PendingDeletions().size();

  const int16_t result = Search("D:\\");
  CloseHandle(otf);
  CloseHandle(ttc);
  CloseHandle(sealed);
  ASSERT_EQ(kOk, result);

  ASSERT_EQ(2u, openType_.size());
  for (const auto& record : openType_) {
    const bool locked = std::strcmp(record.fullName, "Kc Locked") == 0;
    EXPECT_EQ(locked ? RemovalOutcome::kStillOnDisk : RemovalOutcome::kRemoved, record.outcome) << record.fullName;
    EXPECT_EQ(locked, Exists(record.path)) << record.path;
  }
  EXPECT_EQ((std::vector<std::string>{"D:\\Locked.ttc"}), CollectionPaths());
  CollectionFontRecord collection;
  ASSERT_EQ(kOk, GetCollectionFont(0, collection));
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, collection.outcome);
  EXPECT_TRUE(Exists("D:\\Locked.ttc"));
  EXPECT_TRUE(Exists("D:\\Sealed.ttc"));
  EXPECT_EQ(pendingBefore, PendingDeletions().size()) << "nothing outside the Fonts folder is left to the restart";
}

// ---- The walk's observer: told of each product font around its removal; a preview refuses ----

TEST_F(FontSearchTest, ObserverHearsEachProductFontAroundItsRemoval) {
  MakeDirectory("D:\\a");
  WriteFixture("D:\\a\\Gothic-M.otf", ProductOpenType("Kc Gothic M", "KCPL"));
  WriteFixture("D:\\a\\Locked-M.otf", ProductOpenType("Kc Locked M", "KCHS"));
  WriteFixture("D:\\Coll.ttc", ProductCollection("MST2"));
  WriteFixture("D:\\Other.otf", ProductOpenType("Other", "Mfvl"));
  HANDLE holder = CreateFileA("D:\\a\\Locked-M.otf", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  const auto order = testsupport::ListFilesDepthFirst("D:\\");

  Watcher watcher(true);
  FontSearch search{openType_, nullptr};
  search.observer = &watcher;
  const int16_t result = SearchFontFiles(testsupport::WideOf("D:\\"), search);
  CloseHandle(holder);
  ASSERT_EQ(kOk, result);

  std::vector<std::string> expected;
  for (const std::string& path : order) {
    if (path == "D:\\a\\Gothic-M.otf") {
      expected.push_back("before otf D:\\a\\Gothic-M.otf \"Kc Gothic M\" KCPL delete Gothic-M.otf");
      expected.push_back("after D:\\a\\Gothic-M.otf removed");
    } else if (path == "D:\\a\\Locked-M.otf") {
      expected.push_back("before otf D:\\a\\Locked-M.otf \"Kc Locked M\" KCHS delete Locked-M.otf");
      expected.push_back("after D:\\a\\Locked-M.otf still there");  // in use, outside the Fonts folder
    } else if (path == "D:\\Coll.ttc") {
      expected.push_back("before ttc D:\\Coll.ttc \"Coll\" MST2 delete Coll.ttc");
      expected.push_back("after D:\\Coll.ttc removed");
    }
  }
  EXPECT_EQ(expected, watcher.calls);
}

TEST_F(FontSearchTest, RefusedRemovalsLeaveEveryFileAndRecordTheFontsAsNotRemoved) {
  WriteFixture("D:\\Gothic-M.otf", ProductOpenType("Kc Gothic M"));
  WriteFixture("D:\\Coll.ttc", ProductCollection());
  const auto before = testsupport::SnapshotFiles("D:\\");

  Watcher preview(false);
  FontSearch search{openType_, nullptr};
  search.observer = &preview;
  ASSERT_EQ(kOk, SearchFontFiles(testsupport::WideOf("D:\\"), search));

  EXPECT_EQ(before, testsupport::SnapshotFiles("D:\\"));
  ASSERT_EQ(1u, openType_.size());
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, openType_[0].outcome);
  CollectionFontRecord collection;
  ASSERT_EQ(kOk, GetCollectionFont(0, collection));
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, collection.outcome);
  EXPECT_EQ(2u, preview.calls.size()) << "no font is removed, so none is reported done";
}

// ---- Drives that cannot be walked ----

TEST_F(FontSearchTest, UnlistableAndEmptyRootsGiveMinusTen) {
  EXPECT_EQ(kRootNotListable, Search("R:\\")) << "a drive letter whose medium is missing";
  EXPECT_EQ(kRootNotListable, Search("E:\\")) << "an empty root fails to list";
  EXPECT_EQ(kRootNotListable, Search("D:\\no such folder\\"));
  EXPECT_TRUE(openType_.empty());
}

TEST_F(FontSearchTest, NamesOutsideCodePage932AreFoundAndRemoved) {
  // "é" has no code page 932 form: the walk lists and opens the name as it is; only the record's
  // code page 932 spelling shows "?" in its place.
  const std::string product = ProductOpenType("Kc Accent");
  ASSERT_TRUE(testfonts::WriteFontFile("D:\\plain.otf", product));
  HANDLE file = CreateFileW(L"D:\\caf\u00e9.otf", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, product.data(), static_cast<DWORD>(product.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(CreateDirectoryW(L"D:\\dir\u00e9", nullptr));
  file = CreateFileW(L"D:\\dir\u00e9\\inner.otf", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  WriteFile(file, product.data(), static_cast<DWORD>(product.size()), &written, nullptr);
  CloseHandle(file);

  ASSERT_EQ(kOk, Search("D:\\"));
  std::vector<std::string> paths = OpenTypePaths();
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ((std::vector<std::string>{"D:\\caf?.otf", "D:\\dir?\\inner.otf", "D:\\plain.otf"}), paths);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"D:\\caf\u00e9.otf"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"D:\\dir\u00e9\\inner.otf"));
}

// ---- Memory failure while recording ----

TEST_F(FontSearchTest, AppendFailureStopsTheDirectoryWithMinusNine) {
  MakeDirectory("D:\\sub");
  WriteFixture("D:\\sub\\One.otf", ProductOpenType("Kc One"));
  WriteFixture("D:\\sub\\Two.otf", ProductOpenType("Kc Two"));
  WriteFixture("D:\\sub\\Three.ttc", ProductCollection());

  ArmAppendFailure(1);  // the first font is recorded; the second append throws
  EXPECT_EQ(kOk, Search("D:\\")) << "a subdirectory's -9 does not stop its parent";
  DisarmAppendFailure();
  EXPECT_EQ(1u, openType_.size() + static_cast<size_t>(GetCollectionFontCount()));
  int remaining = 0;
  for (const char* path : {"D:\\sub\\One.otf", "D:\\sub\\Two.otf", "D:\\sub\\Three.ttc"}) {
    remaining += Exists(path) ? 1 : 0;
  }
  EXPECT_EQ(2, remaining) << "only the recorded font was removed";

  // At the top level the code reaches the caller.
  WriteFixture("D:\\Top.otf", ProductOpenType("Kc Top"));
  ArmAppendFailure(0);
  EXPECT_EQ(kOutOfMemory, Search("D:\\sub\\"));
  DisarmAppendFailure();
}

// ---- Deep and long paths ----

DWORD WINAPI SearchOnThread(LPVOID parameter) {
  auto* call = static_cast<std::function<void()>*>(parameter);
  (*call)();
  return 0;
}

TEST_F(FontSearchTest, DeepTreeOnADefaultStackThread) {
  // One-letter folders as deep as the file system lets us go: the ANSI functions stop at 259
  // bytes (128 levels); the wide ones with a \\?\ prefix go on, and so may the walk.
  std::wstring wideDirectory = L"\\\\?\\D:\\";
  std::string directory = "D:\\";
  std::vector<std::string> placed;
  int depth = 0;
  for (; depth < 200; ++depth) {
    wideDirectory += L"d\\";
    directory += "d\\";
    if (!CreateDirectoryW(wideDirectory.c_str(), nullptr)) break;
    if (depth % 40 == 39 && directory.size() + 5 < MAX_PATH) {
      WriteFixture(directory + "P.otf", ProductOpenType("Kc Deep"));
      placed.push_back(directory + "P.otf");
    }
  }
  ASSERT_GT(depth, 150) << "the tree must be deep to mean anything";

  int16_t result = -1;
  std::function<void()> call = [&] { result = Search("D:\\"); };
  HANDLE thread = CreateThread(nullptr, 0, SearchOnThread, &call, 0, nullptr);  // default stack
  ASSERT_NE(nullptr, thread);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 120000));
  DWORD exitCode = 1;
  GetExitCodeThread(thread, &exitCode);
  CloseHandle(thread);
  EXPECT_EQ(0u, exitCode);
  EXPECT_EQ(kOk, result);
  // Every font within the ANSI path limit is removed and recorded with its whole path; the order
  // among depths follows the listing, so compare as sets.
  std::vector<std::string> recorded = OpenTypePaths();
  std::sort(recorded.begin(), recorded.end());
  std::sort(placed.begin(), placed.end());
  EXPECT_EQ(placed, recorded);
  for (const std::string& font : placed) EXPECT_FALSE(Exists(font)) << font;
}

TEST_F(FontSearchTest, PathLongerThan256BytesIsHeldWhole) {
  const std::string folder = "D:\\" + std::string(230, 'L');
  MakeDirectory(folder);
  const std::string font = folder + "\\Long-Product-Font-Name.otf";  // 260 bytes
  ASSERT_GT(font.size(), 256u);
  WriteFixture(font, ProductOpenType("Kc Long"));

  ASSERT_EQ(kOk, Search("D:\\"));
  ASSERT_EQ(1u, openType_.size());
  EXPECT_EQ(font, openType_[0].path);
  EXPECT_STREQ("Kc Long", openType_[0].fullName) << "the reader got the whole path";
  EXPECT_FALSE(Exists(font));
}

// ---- Windows stay responsive ----

TEST_F(FontSearchTest, DrainsMessagesDuringALongWalk) {
  // Enough entries that the walk takes several drain intervals.
  for (int folder = 0; folder < 20; ++folder) {
    const std::string directory = "D:\\f" + std::to_string(folder) + "\\";
    MakeDirectory(directory);
    for (int file = 0; file < 100; ++file) {
      const std::string path = directory + "file" + std::to_string(file) + ".txt";
      HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      ASSERT_NE(INVALID_HANDLE_VALUE, h);
      CloseHandle(h);
    }
  }
  const DWORD start = GetTickCount();
  ASSERT_EQ(kOk, Search("D:\\"));
  const DWORD elapsed = GetTickCount() - start;
  if (elapsed >= 3 * kDrainIntervalMs) {
    EXPECT_GE(drains_, 1) << elapsed << " ms without a drain";
  }
  EXPECT_LE(drains_, static_cast<int>(elapsed / kDrainIntervalMs) + 1) << "drains are throttled";
}

}  // namespace
}  // namespace kc
