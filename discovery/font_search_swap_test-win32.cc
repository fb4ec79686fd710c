// What an ordinary user who can rename folders can make of the walk: plant a product font named
// like another vendor's font that lies elsewhere, then swap the folders so that the planted font's
// path leads to the other one. The walk removes the file it identified, through the handle it
// identified it by, so the other vendor's font survives: swapped between identification and
// removal (the walk's observer is the seam), and swapped after the run for a font in use, across
// a restart of the prefix (CMakeLists.txt runs the second case after the restart).
#include "tests/support/ansi_wide-win32.h"
#include "discovery/font_search-win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/result_code.h"
#include "discovery/collection_font_list.h"
#include "tests/fonts/font_builder.h"
#include "tests/removal/removal_fixtures-win32.h"
#include "tests/support/file_tree-win32.h"

namespace kc {
namespace {

const std::string kPlanted = "D:\\planted\\";
const std::string kAway = "D:\\planted-away\\";
const std::string kOther = "D:\\other\\";

std::string Planted(bool collection) {
  return collection ? testfonts::BuildTaggedCollection("KCOV") : testfonts::BuildTaggedOpenType("Kc Planted", "KCHV");
}
// The other vendor's font: no product tag, so nothing may ever remove it.
std::string OtherVendors(bool collection) {
  return collection ? testfonts::BuildTaggedCollection("none") : testfonts::BuildTaggedOpenType("Other", "Mfvl");
}

// The file's bytes; "" when there is none.
std::string Contents(const std::string& path) { return testsupport::ReadWholeFile(path); }

void Seed(const std::string& name, bool collection) {
  ASSERT_TRUE(MakeFolders(kPlanted) && MakeFolders(kOther));
  ASSERT_TRUE(testfonts::WriteFontFile(kPlanted + name, Planted(collection)));
  ASSERT_TRUE(testfonts::WriteFontFile(kOther + name, OtherVendors(collection)));
}

// The planted font's folder renamed away, the other vendor's renamed into its place. The second
// rename is tried only after the first succeeded, so a refused swap changes nothing.
bool SwapFolders() {
  return MoveFileA("D:\\planted", "D:\\planted-away") && MoveFileA("D:\\other", "D:\\planted");
}

// Where the planted font went, and where the other vendor's font now lies, after a swap.
struct Swapped {
  std::string planted;
  std::string other;
};

// During the walk, Wine refuses to rename a folder the walk is listing (it opens a listing without
// sharing deletion; Windows shares it). Then the planted file itself is renamed away and the other
// vendor's moved in under its name: what an identification closed before the removal allows.
struct SwapBeforeRemoval : FontSearchObserver {
  explicit SwapBeforeRemoval(const std::string& name) : name(name) {}
  bool BeforeRemoval(const ProductFont&) override {
    if (SwapFolders()) {
      result = {kAway + name, kPlanted + name};
    } else if (MoveFileA((kPlanted + name).c_str(), (kPlanted + name + ".away").c_str())) {
      result = {kPlanted + name + ".away", kPlanted + name};
      if (!MoveFileA((kOther + name).c_str(), (kPlanted + name).c_str())) result.other = kOther + name;
    }
    return true;
  }
  void AfterRemoval(const ProductFont&, RemovalOutcome) override {}
  const std::string name;
  Swapped result = {kPlanted + name, kOther + name};  // nothing could be swapped
};

TEST(Swap, BetweenIdentificationAndRemovalTheOtherVendorsFontSurvives) {
  for (const bool collection : {false, true}) {
    const std::string name = collection ? "KcSwap.ttc" : "KcSwap-M.otf";
    SCOPED_TRACE(name);
    Seed(name, collection);
    ClearCollectionFontList();
    OpenTypeFontList openType;
    SwapBeforeRemoval swap(name);
    FontSearch search{openType, nullptr};
    search.observer = &swap;
    ASSERT_EQ(kOk, SearchFontFiles(testsupport::WideOf("D:\\"), search));
    ASSERT_EQ(1u, openType.size() + static_cast<size_t>(GetCollectionFontCount())) << "the planted font was found";
    ClearCollectionFontList();

    // While the walk holds the planted font, nobody can rename or delete it: then nothing was
    // swapped and it is gone. Swapped, the other vendor's font lies at the planted path.
    EXPECT_EQ(OtherVendors(collection), Contents(swap.result.other)) << "the other vendor's font, untouched";
    // The planted font: gone (Windows deletes a moved file through its handle) or still where it
    // was moved to (Wine deletes nothing once the path it opened leads elsewhere).
    const std::string planted = Contents(swap.result.planted);
    EXPECT_TRUE(planted == "" || (swap.result.planted != kPlanted + name && planted == Planted(collection)))
        << swap.result.planted;

    for (const std::string& folder : {kPlanted, kAway, kOther}) {
      for (const std::string& file : {name, name + ".away"}) DeleteFileA((folder + file).c_str());
      RemoveDirectoryA(folder.c_str());
    }
  }
}

// ---- Across a restart: a font in use, the folders swapped after the run ----

constexpr char kSwapName[] = "KcHeldSwap-M.otf";

TEST(SwapAcrossRestart, ARunLeavesAHeldFontInPlaceAndTheFoldersAreSwappedAfterIt) {
  Seed(kSwapName, false);
  HANDLE holder = CreateFileA((kPlanted + kSwapName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  const std::vector<std::string> pendingBefore = PendingDeletions();
  OpenTypeFontList openType;
  FontSearch search{openType, nullptr};
  const ResultCode result = SearchFontFiles(testsupport::WideOf(kPlanted.c_str()), search);
  ASSERT_EQ(kOk, result);
  ASSERT_EQ(1u, openType.size());
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, openType[0].outcome) << "in use, outside the Fonts folder";
  EXPECT_EQ(pendingBefore, PendingDeletions()) << "nothing left for the restart to resolve by path";

  // What the user does once the run is over, still holding the planted font.
  ASSERT_TRUE(SwapFolders());
  CloseHandle(holder);
}

TEST(SwapAcrossRestart, AfterTheRestartTheOtherVendorsFontIsThere) {
  EXPECT_EQ(OtherVendors(false), Contents(kPlanted + kSwapName));
  EXPECT_EQ(testfonts::BuildTaggedOpenType("Kc Planted", "KCHV"), Contents(kAway + kSwapName))
      << "a font in use outside the Fonts folder stays for a run after it is closed";
}

}  // namespace
}  // namespace kc
