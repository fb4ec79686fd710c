#include "found_fonts/found_fonts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/result_code.h"
#include "discovery/collection_font_list.h"

namespace kc {
namespace {

CollectionFontRecord MakeRecord(const std::string& fileName, int32_t kind) {
  CollectionFontRecord record;
  InitCollectionFontRecord(record);
  std::string path = "D:\\fonts\\" + fileName + ".ttc";
  std::memcpy(record.path, path.c_str(), path.size());
  std::memcpy(record.fileName, fileName.c_str(), fileName.size());
  record.kind = static_cast<FontKind>(kind);
  return record;
}

class CollectionFontListTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearCollectionFontList(); }
  void TearDown() override { ClearCollectionFontList(); }
};

TEST(CollectionFontRecordTest, InitClearsEveryByteAndMarksNotIdentified) {
  CollectionFontRecord record;
  std::memset(&record, 0xAB, sizeof record);
  EXPECT_EQ(0, InitCollectionFontRecord(record));
  for (char c : record.path) ASSERT_EQ('\0', c);
  for (char c : record.fileName) ASSERT_EQ('\0', c);
  EXPECT_EQ(-1, record.kind);
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, record.outcome) << "nothing counts as removed until it is";
}

TEST_F(CollectionFontListTest, EmptyListRejectsEveryPosition) {
  CollectionFontRecord canary = MakeRecord("canary", 4);
  CollectionFontRecord out = canary;
  EXPECT_EQ(0, GetCollectionFontCount());
  EXPECT_EQ(kCollectionIndexAtEnd, GetCollectionFont(0, out));
  EXPECT_EQ(kCollectionIndexOutOfRange, GetCollectionFont(-1, out));
  EXPECT_EQ(kCollectionIndexOutOfRange, GetCollectionFont(1, out));
  EXPECT_EQ(0, std::memcmp(&canary, &out, sizeof out)) << "a failed lookup must leave the record";
}

TEST_F(CollectionFontListTest, KeepsDiscoveryOrderAndDuplicates) {
  const char* names[] = {"KcGothic", "KcMincho", "KcGothic"};
  for (const char* name : names) ASSERT_EQ(0, AppendCollectionFont(MakeRecord(name, 4)));
  ASSERT_EQ(3, GetCollectionFontCount());
  for (int32_t i = 0; i < 3; ++i) {
    CollectionFontRecord out;
    ASSERT_EQ(0, GetCollectionFont(i, out)) << "position " << i;
    EXPECT_STREQ(names[i], out.fileName) << "position " << i;
    EXPECT_EQ(4, out.kind);
  }
  CollectionFontRecord out;
  EXPECT_EQ(kCollectionIndexAtEnd, GetCollectionFont(3, out));
  EXPECT_EQ(kCollectionIndexOutOfRange, GetCollectionFont(4, out));
  EXPECT_EQ(kCollectionIndexOutOfRange, GetCollectionFont(INT32_MIN, out));
}

TEST_F(CollectionFontListTest, ElementsAreCopiesOfTheWorkingRecord) {
  CollectionFontRecord working = MakeRecord("KcRound", 3);
  ASSERT_EQ(0, AppendCollectionFont(working));
  std::memset(working.fileName, 'x', sizeof working.fileName - 1);
  working.kind = kKindProductCollection;

  CollectionFontRecord out;
  ASSERT_EQ(0, GetCollectionFont(0, out));
  EXPECT_STREQ("KcRound", out.fileName);
  EXPECT_STREQ("D:\\fonts\\KcRound.ttc", out.path);
  EXPECT_EQ(3, out.kind);
}

TEST_F(CollectionFontListTest, ClearEmptiesAndTheNextAppendIsFront) {
  ASSERT_EQ(0, AppendCollectionFont(MakeRecord("first", 4)));
  ASSERT_EQ(0, AppendCollectionFont(MakeRecord("second", 4)));
  ClearCollectionFontList();
  EXPECT_EQ(0, GetCollectionFontCount());
  ASSERT_EQ(0, AppendCollectionFont(MakeRecord("third", 3)));
  CollectionFontRecord out;
  ASSERT_EQ(0, GetCollectionFont(0, out));
  EXPECT_STREQ("third", out.fileName);
}

TEST(OpenTypeFontListTest, AppendCopiesWholeRecordsInOrder) {
  OpenTypeFontList list;
  OpenTypeFontRecord working;
  std::memset(&working, 0, sizeof working);
  std::strcpy(working.fullName, "Kc Gothic M");
  working.kind = kKindProductOpenType;
  list.push_back(working);
  std::strcpy(working.fullName, "Kc Gothic B");
  list.push_back(working);
  ASSERT_EQ(2u, list.size());
  EXPECT_STREQ("Kc Gothic M", list[0].fullName);
  EXPECT_STREQ("Kc Gothic B", list[1].fullName);
}

}  // namespace
}  // namespace kc
