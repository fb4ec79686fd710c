#include "discovery/result_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kc {
namespace {

OpenTypeFontRecord OpenType(const char* fullName, bool removed) {
  OpenTypeFontRecord record;
  std::memset(&record, 0, sizeof record);
  std::strcpy(record.fullName, fullName);
  record.kind = kKindProductOpenType;
  record.removed = removed;
  return record;
}

void AddCollection(const char* fileName, bool removed) {
  CollectionFontRecord record;
  InitCollectionFontRecord(record);
  std::strcpy(record.fileName, fileName);
  record.kind = kKindProductCollection;
  record.removed = removed;
  AppendCollectionFont(record);
}

class ResultTextTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearCollectionFontList(); }
  void TearDown() override { ClearCollectionFontList(); }
};

TEST_F(ResultTextTest, EverythingRemovedGivesThePlainList) {
  const OpenTypeFontList fonts = {OpenType("Kc Gothic M", true), OpenType("Kc Gothic M", true),
                                  OpenType("\x83\x53\x83\x56\x83\x62\x83\x4E", true)};
  AddCollection("KcCollection", true);
  EXPECT_EQ("Kc Gothic M\r\nKc Gothic M\r\n\x83\x53\x83\x56\x83\x62\x83\x4E\r\nKcCollection\r\n",
            BuildResultText(fonts, "HEADING"));
}

TEST_F(ResultTextTest, NothingFoundGivesAnEmptyText) {
  EXPECT_EQ("", BuildResultText({}, "HEADING"));
}

TEST_F(ResultTextTest, FontsStillOnDiskAreListedApart) {
  const OpenTypeFontList fonts = {OpenType("Removed A", true), OpenType("Locked B", false),
                                  OpenType("Removed C", true)};
  AddCollection("LockedColl", false);
  AddCollection("RemovedColl", true);
  EXPECT_EQ("Removed A\r\nRemoved C\r\nRemovedColl\r\n\r\nHEADING\r\nLocked B\r\nLockedColl\r\n",
            BuildResultText(fonts, "HEADING"));
}

TEST_F(ResultTextTest, OnlyFailuresStartWithTheHeading) {
  const OpenTypeFontList fonts = {OpenType("Locked B", false)};
  EXPECT_EQ("HEADING\r\nLocked B\r\n", BuildResultText(fonts, "HEADING"));
}

}  // namespace
}  // namespace kc
