#include "discovery/result_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "discovery/collection_font_list.h"

namespace kc {
namespace {

constexpr RemovalOutcome kGone = RemovalOutcome::kRemoved;
constexpr RemovalOutcome kAtRestart = RemovalOutcome::kRemovedAtRestart;
constexpr RemovalOutcome kStays = RemovalOutcome::kStillOnDisk;

// The list shows a record's display name (UTF-8: u8 literals, whatever the build's narrow texts).
OpenTypeFontRecord OpenType(const char* displayName, RemovalOutcome outcome) {
  OpenTypeFontRecord record;
  std::memset(&record, 0, sizeof record);
  std::strcpy(record.fullName, "?");
  std::strcpy(record.displayName, displayName);
  record.kind = kKindProductOpenType;
  record.outcome = outcome;
  return record;
}

void AddCollection(const char* displayName, RemovalOutcome outcome) {
  CollectionFontRecord record;
  InitCollectionFontRecord(record);
  std::strcpy(record.fileName, "?");
  std::strcpy(record.displayName, displayName);
  record.kind = kKindProductCollection;
  AppendCollectionFont(record);
  SetLastCollectionFontOutcome(outcome);
}

class ResultTextTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearCollectionFontList(); }
  void TearDown() override { ClearCollectionFontList(); }

  static std::wstring Build(const OpenTypeFontList& fonts) { return BuildResultText(fonts, L"RESTART", L"STAYS"); }
};

TEST_F(ResultTextTest, EverythingRemovedGivesThePlainList) {
  const OpenTypeFontList fonts = {OpenType("Kc Gothic M", kGone), OpenType("Kc Gothic M", kGone),
                                  OpenType(u8"ゴシック", kGone), OpenType(u8"Kc Maru Jos\u00e9", kGone)};
  AddCollection(u8"Kc\uD55C\uAE00", kGone);
  // Whole, a name code page 932 cannot spell too, whatever the system's code page.
  EXPECT_EQ(L"Kc Gothic M\r\nKc Gothic M\r\nゴシック\r\nKc Maru Jos\u00e9\r\nKc\uD55C\uAE00\r\n", Build(fonts));
}

TEST_F(ResultTextTest, ANameWithLineBreaksStaysOnItsLine) {
  AddCollection("Coll\r\nSTAYS", kGone);
  EXPECT_EQ(L"Kc%0D%0AFake%09B \"q\"\r\nColl%0D%0ASTAYS\r\n", Build({OpenType("Kc\r\nFake\tB \"q\"", kGone)}));
}

TEST_F(ResultTextTest, NothingFoundGivesAnEmptyText) { EXPECT_EQ(L"", Build({})); }

TEST_F(ResultTextTest, FontsStillOnDiskAreListedApart) {
  const OpenTypeFontList fonts = {OpenType("Removed A", kGone), OpenType("Locked B", kStays),
                                  OpenType("Removed C", kGone)};
  AddCollection("LockedColl", kStays);
  AddCollection("RemovedColl", kGone);
  EXPECT_EQ(L"Removed A\r\nRemoved C\r\nRemovedColl\r\n\r\nSTAYS\r\nLocked B\r\nLockedColl\r\n", Build(fonts));
}

TEST_F(ResultTextTest, ThreePartsInOrderEachOpenTypeBeforeCollections) {
  const OpenTypeFontList fonts = {OpenType("Stays A", kStays), OpenType("Restart B", kAtRestart),
                                  OpenType("Gone C", kGone), OpenType("Restart D", kAtRestart)};
  AddCollection("RestartColl", kAtRestart);
  AddCollection("GoneColl", kGone);
  AddCollection("StaysColl", kStays);
  EXPECT_EQ(L"Gone C\r\nGoneColl\r\n"
            L"\r\nRESTART\r\nRestart B\r\nRestart D\r\nRestartColl\r\n"
            L"\r\nSTAYS\r\nStays A\r\nStaysColl\r\n",
            Build(fonts));
}

TEST_F(ResultTextTest, APartWithoutFontsIsLeftOutAndTheFirstHeadingStartsTheText) {
  EXPECT_EQ(L"STAYS\r\nLocked B\r\n", Build({OpenType("Locked B", kStays)}));
  EXPECT_EQ(L"RESTART\r\nIn Use B\r\n", Build({OpenType("In Use B", kAtRestart)}));
  AddCollection("InUseColl", kAtRestart);
  EXPECT_EQ(L"Gone A\r\n\r\nRESTART\r\nInUseColl\r\n", Build({OpenType("Gone A", kGone)}));
}

}  // namespace
}  // namespace kc
