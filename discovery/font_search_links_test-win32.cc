// The walk through links, on real Unix symbolic links of the test prefix, which Wine lists as
// folders carrying FILE_ATTRIBUTE_REPARSE_POINT (0x410) and follows as Windows follows junctions.
// The links are made by the test bed before the program starts (WINEBED_LINKS in CMakeLists.txt);
// each test works in a folder of its own, and the walk never leaves it except through a link.
#include "tests/support/ansi_wide-win32.h"
#include "discovery/font_search-win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/result_code.h"
#include "discovery/collection_font_list.h"
#include "removal/shell_folders.h"
#include "tests/fonts/font_builder.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

// What each test's folder holds, made by the test bed (see CMakeLists.txt):
//   D:\loops\a\self -> D:\loops\a        D:\loops\a\b\up2 -> D:\loops
//   D:\loops\a\b\c\up1 -> D:\loops\a\b    D:\loops\a\b\c\toA -> D:\loops\a
//   D:\chain\cN\one, D:\chain\cN\two -> D:\chain\cN+1 (N = 0..23)
//   D:\fontslink\fonts -> C:\windows\Fonts
//   D:\missing\gone -> D:\missing\nowhere (absent), D:\missing\sealed -> D:\missing\closed (mode 000)
//   D:\deep\a\...\a (110 levels)\back -> D:\deep, ...\a (110 levels)\mid -> D:\deep\a (50 levels)
//   D:\twice\a\toB, D:\twice\c\toB -> D:\twice\b
constexpr int kChainLength = 24;
constexpr int kDeepLevels = 110;

std::string ProductOpenType(const std::string& fullName) { return testfonts::BuildTaggedOpenType(fullName, "KCHV"); }
std::string ProductCollection() { return testfonts::BuildTaggedCollection("KCOV"); }

void Put(const std::string& path, const std::string& bytes) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  ASSERT_TRUE(testfonts::WriteFontFile(path, bytes)) << path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string DeepFolder(int levels) {
  std::string folder = "D:\\deep\\";
  for (int i = 0; i < levels; ++i) folder += "a\\";
  return folder;
}

// Holds a file the way an application using the font does: readable, not deletable.
class Held {
 public:
  explicit Held(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~Held() { Release(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Release() {
    if (valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

struct Walk {
  int16_t result = -1;
  DWORD milliseconds = 0;
  // Every recorded font, by listed name, with how often it was recorded and its last outcome.
  std::map<std::string, int> timesRecorded;
  std::map<std::string, RemovalOutcome> outcome;
};

Walk Search(const char* directory) {
  ClearCollectionFontList();
  OpenTypeFontList openType;
  FontSearch search{openType, nullptr};
  Walk walk;
  const DWORD start = GetTickCount();
  walk.result = SearchFontFiles(testsupport::WideOf(directory), search);
  walk.milliseconds = GetTickCount() - start;
  for (const OpenTypeFontRecord& record : openType) {
    ++walk.timesRecorded[record.fullName];
    walk.outcome[record.fullName] = record.outcome;
  }
  for (int32_t i = 0; i < GetCollectionFontCount(); ++i) {
    CollectionFontRecord record;
    GetCollectionFont(i, record);
    ++walk.timesRecorded[record.fileName];
    walk.outcome[record.fileName] = record.outcome;
  }
  ClearCollectionFontList();
  return walk;
}

// A walk that went round a loop would take minutes or forever; a correct one, milliseconds.
constexpr DWORD kEndsWithinMs = 20000;

// ---- What Wine gives for a folder's identity ----

TEST(FolderIdentity, TheSameFolderThroughALinkIsOneFolder) {
  ASSERT_TRUE(IsLink("D:\\loops\\a\\self")) << "the test bed made no link";
  FileIdentity a, self, selfSlash, loops, up2, fontsLink, fonts;
  ASSERT_TRUE(ReadFileIdentity(L"D:\\loops\\a", a));
  ASSERT_TRUE(ReadFileIdentity(L"D:\\loops\\a\\self", self));
  ASSERT_TRUE(ReadFileIdentity(L"D:\\loops\\a\\self\\", selfSlash));
  ASSERT_TRUE(ReadFileIdentity(L"D:\\loops\\", loops));
  ASSERT_TRUE(ReadFileIdentity(L"D:\\loops\\a\\b\\up2\\", up2));
  EXPECT_TRUE(a == self);
  EXPECT_TRUE(a == selfSlash);
  EXPECT_TRUE(loops == up2);
  EXPECT_FALSE(a == loops);

  std::wstring fontsFolder;
  ASSERT_EQ(kOk, GetFontsFolderPath(fontsFolder));
  ASSERT_TRUE(ReadFileIdentity(L"D:\\fontslink\\fonts\\", fontsLink));
  ASSERT_TRUE(ReadFileIdentity(fontsFolder.c_str(), fonts));
  EXPECT_TRUE(fontsLink == fonts) << "the volume serial follows the target's drive, not the link's";

  FileIdentity none;
  EXPECT_FALSE(ReadFileIdentity(L"D:\\missing\\sealed\\", none)) << "a target nobody can open";
  EXPECT_FALSE(ReadFileIdentity(L"D:\\missing\\gone\\", none)) << "a missing target";
}

// ---- Loops ----

TEST(WalkThroughLinks, LinksBackToAncestorsAndToItsOwnFolderEndAndListEachFontOnce) {
  ASSERT_TRUE(IsLink("D:\\loops\\a\\b\\up2"));
  Put("D:\\loops\\L0.otf", ProductOpenType("Kc Loop 0"));
  Put("D:\\loops\\a\\L1.ttc", ProductCollection());
  Put("D:\\loops\\a\\b\\L2.otf", ProductOpenType("Kc Loop 2"));
  Put("D:\\loops\\a\\b\\c\\L3.otf", ProductOpenType("Kc Loop 3"));
  Put("D:\\loops\\a\\b\\c\\Other.otf", testfonts::BuildTaggedOpenType("Other", "Mfvl"));
  // In use: it stays on disk, so every way round a loop would meet it again.
  Held held("D:\\loops\\a\\b\\L2.otf");
  ASSERT_TRUE(held.valid());

  const Walk walk = Search("D:\\loops\\");
  held.Release();
  EXPECT_EQ(kOk, walk.result);
  EXPECT_LT(walk.milliseconds, kEndsWithinMs);
  const std::map<std::string, int> once = {{"Kc Loop 0", 1}, {"L1", 1}, {"Kc Loop 2", 1}, {"Kc Loop 3", 1}};
  EXPECT_EQ(once, walk.timesRecorded);
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, walk.outcome.at("Kc Loop 2")) << "in use, outside the Fonts folder";
  EXPECT_EQ(RemovalOutcome::kRemoved, walk.outcome.at("Kc Loop 3"));
  for (const char* gone : {"D:\\loops\\L0.otf", "D:\\loops\\a\\L1.ttc", "D:\\loops\\a\\b\\c\\L3.otf"}) {
    EXPECT_FALSE(Exists(gone)) << gone;
  }
  EXPECT_TRUE(Exists("D:\\loops\\a\\b\\c\\Other.otf"));
  EXPECT_TRUE(Exists("D:\\loops\\a\\b\\L2.otf")) << "left in place";
  EXPECT_TRUE(IsLink("D:\\loops\\a\\self")) << "links are walked through, never removed";
}

TEST(WalkThroughLinks, AChainOfFoldersEachWithTwoLinksToTheNextIsNotWalkedExponentially) {
  // 2^24 ways down the chain; each folder, and each font, once.
  std::map<std::string, int> once;
  for (int n = 0; n <= kChainLength; ++n) {
    const std::string name = "Kc Chain " + std::to_string(n);
    Put("D:\\chain\\c" + std::to_string(n) + "\\P.otf", ProductOpenType(name));
    once[name] = 1;
  }
  ASSERT_TRUE(IsLink("D:\\chain\\c0\\one") && IsLink("D:\\chain\\c0\\two"));

  const Walk walk = Search("D:\\chain\\");
  EXPECT_EQ(kOk, walk.result);
  EXPECT_LT(walk.milliseconds, kEndsWithinMs);
  EXPECT_EQ(once, walk.timesRecorded);
}

TEST(WalkThroughLinks, ALinkOnAPathDeeperThanAHundredLevelsIsKnownForALoop) {
  const std::string bottom = DeepFolder(kDeepLevels);
  ASSERT_TRUE(IsLink(bottom + "back")) << bottom;
  Put("D:\\deep\\Top.otf", ProductOpenType("Kc Top"));
  Put(DeepFolder(50) + "Middle.ttc", ProductCollection());
  Put(bottom + "Bottom.otf", ProductOpenType("Kc Bottom"));
  Held held(bottom + "Bottom.otf");
  ASSERT_TRUE(held.valid());

  const Walk walk = Search("D:\\deep\\");
  held.Release();
  EXPECT_EQ(kOk, walk.result);
  EXPECT_LT(walk.milliseconds, kEndsWithinMs);
  EXPECT_EQ((std::map<std::string, int>{{"Kc Top", 1}, {"Middle", 1}, {"Kc Bottom", 1}}), walk.timesRecorded);
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, walk.outcome.at("Kc Bottom"));
}

// ---- One folder, several ways in ----

TEST(WalkThroughLinks, TwoLinksToOneFolderBesideItsPlainPathRecordItsFontsOnce) {
  Put("D:\\twice\\b\\Held.otf", ProductOpenType("Kc Twice Held"));
  Put("D:\\twice\\b\\Free.ttc", ProductCollection());
  ASSERT_TRUE(IsLink("D:\\twice\\a\\toB") && IsLink("D:\\twice\\c\\toB")) << "b exists: the links lead somewhere";
  Held held("D:\\twice\\b\\Held.otf");
  ASSERT_TRUE(held.valid());
  const size_t pendingBefore = PendingDeletions().size();

  // Listing order: a (a link in), then b itself, then c (another link in).
  const Walk walk = Search("D:\\twice\\");
  held.Release();
  EXPECT_EQ(kOk, walk.result);
  EXPECT_EQ((std::map<std::string, int>{{"Kc Twice Held", 1}, {"Free", 1}}), walk.timesRecorded);
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, walk.outcome.at("Kc Twice Held"));
  EXPECT_EQ(RemovalOutcome::kRemoved, walk.outcome.at("Free"));
  EXPECT_EQ(pendingBefore, PendingDeletions().size()) << "in use outside the Fonts folder: never left to the restart";
  EXPECT_FALSE(Exists("D:\\twice\\b\\Free.ttc"));
}

// A preview leaves every font where it is, yet names each once, as a removal would: the removal
// takes a font the first time, so it is never met through the other ways in.
TEST(WalkThroughLinks, APreviewThroughTwoLinksNamesEachFontOnce) {
  Put("D:\\twice\\b\\Preview.otf", ProductOpenType("Kc Twice Preview"));
  Put("D:\\twice\\b\\Preview.ttc", ProductCollection());
  struct Preview : FontSearchObserver {
    bool BeforeRemoval(const ProductFont& font) override {
      ++byName[font.name];
      return false;
    }
    void AfterRemoval(const ProductFont&, RemovalOutcome) override { ++done; }
    std::map<std::string, int> byName;
    int done = 0;
  } preview;
  ClearCollectionFontList();
  OpenTypeFontList openType;
  FontSearch search{openType, nullptr};
  search.observer = &preview;
  EXPECT_EQ(kOk, SearchFontFiles(testsupport::WideOf("D:\\twice\\"), search));
  ClearCollectionFontList();
  // (The font in use that the test before left in place is still there, and named once too.)
  EXPECT_EQ(1, preview.byName["Kc Twice Preview"]);
  EXPECT_EQ(1, preview.byName["Preview"]);
  for (const auto& [name, times] : preview.byName) EXPECT_EQ(1, times) << name;
  EXPECT_EQ(0, preview.done);
  EXPECT_TRUE(Exists("D:\\twice\\b\\Preview.otf"));
  EXPECT_TRUE(Exists("D:\\twice\\b\\Preview.ttc"));
}

// ---- Links that lead nowhere ----

TEST(WalkThroughLinks, LinksToAMissingOrUnreadableTargetAreSkipped) {
  ASSERT_TRUE(IsLink("D:\\missing\\sealed"));
  Put("D:\\missing\\Beside.otf", ProductOpenType("Kc Beside"));

  const Walk walk = Search("D:\\missing\\");
  EXPECT_EQ(kOk, walk.result);
  EXPECT_EQ((std::map<std::string, int>{{"Kc Beside", 1}}), walk.timesRecorded);
  EXPECT_FALSE(Exists("D:\\missing\\Beside.otf"));
}

// ---- The Fonts folder reached through a link ----

bool IsVista() {
  const char* winver = std::getenv("WINEBED_WINVER");
  return winver != nullptr && std::strcmp(winver, "vista") == 0;
}

void SetFontValue(const std::string& name, const std::string& data) {
  ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kFontTableKeyPath, name, data)) << name;
}

bool HasFontValue(const std::string& name) {
  std::string data;
  return ReadRegistryString(HKEY_LOCAL_MACHINE, kFontTableKeyPath, name, data);
}

TEST(WalkThroughLinks, AFontReachedThroughALinkIntoTheFontsFolderIsUninstalled) {
  std::wstring wideFonts;
  ASSERT_EQ(kOk, GetFontsFolderPath(wideFonts));
  const std::string fonts = testsupport::AnsiOf(wideFonts);
  ASSERT_TRUE(IsLink("D:\\fontslink\\fonts"));
  Put(std::string(fonts) + "KcLinked-M.otf", ProductOpenType("Kc Linked M"));
  Put(std::string(fonts) + "KcLinked.ttc", ProductCollection());
  Put(std::string(fonts) + "KcLinkedHeld.ttc", ProductCollection());
  SetFontValue("Kc Linked M (OpenType)", "KcLinked-M.otf");
  SetFontValue("Kc Linked (TrueType)", std::string(fonts) + "KcLinked.ttc");
  Held held(std::string(fonts) + "KcLinkedHeld.ttc");
  ASSERT_TRUE(held.valid());
  const std::vector<std::string> pendingBefore = PendingDeletions();

  const Walk walk = Search("D:\\fontslink\\");
  held.Release();
  EXPECT_EQ(kOk, walk.result);
  EXPECT_EQ((std::map<std::string, int>{{"Kc Linked M", 1}, {"KcLinked", 1}, {"KcLinkedHeld", 1}}),
            walk.timesRecorded);
  // In use, it is left to the restart by the Fonts folder's own path, never by the link's.
  EXPECT_EQ(RemovalOutcome::kRemovedAtRestart, walk.outcome.at("KcLinkedHeld"));
  std::vector<std::string> expectedPending = pendingBefore;
  expectedPending.push_back("\\??\\" + std::string(fonts) + "KcLinkedHeld.ttc");
  EXPECT_EQ(expectedPending, PendingDeletions());
  EXPECT_FALSE(Exists(std::string(fonts) + "KcLinked-M.otf"));
  EXPECT_FALSE(Exists(std::string(fonts) + "KcLinked.ttc"));
  // Uninstalled, as in the Fonts folder itself: collections always, OpenType fonts on Vista only.
  EXPECT_FALSE(HasFontValue("Kc Linked (TrueType)"));
  EXPECT_EQ(!IsVista(), HasFontValue("Kc Linked M (OpenType)"));
}

}  // namespace
}  // namespace kc
