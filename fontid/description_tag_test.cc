#include "fontid/description_tag.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/result_code.h"

namespace kc {
namespace {

constexpr int16_t kUnset = 77;  // a canary: "left unchanged" is visible

struct TagCase {
  const char* description;
  int16_t openTypeKind;     // kUnset: must stay unchanged
  int32_t collectionResult;
};

const TagCase kTagCases[] = {
    // Tags shared by both sets: kind 2 in an OpenType file, kind 4 in a collection.
    {"KCHV", 2, 4},
    {"KCPL licence text follows", 2, 4},
    {"KCPH", 2, 4},
    // OpenType-only and collection-only tags.
    {"KCHS", 2, kUnknownCollectionTag},
    {"KCHX", 2, kUnknownCollectionTag},
    {"KCOV", 0, 3},
    {"KCOV and more", 0, 3},
    {"KCVT", 0, 4}, {"KCHB", 0, 4}, {"SLH1", 0, 4}, {"SLH3", 0, 4}, {"SLH5", 0, 4},
    {"MSTB", 0, 4}, {"MST1", 0, 4}, {"MST2", 0, 4}, {"MST4", 0, 4}, {"MVST", 0, 4},
    // Other vendors' tags are recognised in OpenType files and never removed.
    {"Mfvl", 1, kUnknownCollectionTag},
    {"Ncvl something", 1, kUnknownCollectionTag},
    // Exact bytes: case matters, a near miss is nothing.
    {"kchv", 0, kUnknownCollectionTag},
    {"kcov", 0, kUnknownCollectionTag},
    {"KCH", kUnset, kUnknownCollectionTag},
    {"KCHW", 0, kUnknownCollectionTag},
    {" KCHV", 0, kUnknownCollectionTag},
    {"", kUnset, kUnknownCollectionTag},
};

TEST(DescriptionTagTest, ClassifiesEveryTagInBothSets) {
  for (const TagCase& c : kTagCases) {
    FontKind kind = static_cast<FontKind>(kUnset);
    EXPECT_EQ(0, ClassifyDescriptionTag(c.description, kind)) << c.description;
    EXPECT_EQ(c.openTypeKind, kind) << "OpenType \"" << c.description << "\"";
    EXPECT_EQ(c.collectionResult, ClassifyCollectionTag(c.description))
        << "collection \"" << c.description << "\"";
  }
}

TEST(DescriptionTagTest, ShortDescriptionKeepsAnEarlierAnswer) {
  FontKind kind = kKindNone;
  ClassifyDescriptionTag("KCHV", kind);
  ASSERT_EQ(2, kind);
  ClassifyDescriptionTag("Mf", kind);
  EXPECT_EQ(2, kind) << "a later short description must not change the kind";
  ClassifyDescriptionTag("Mfvl", kind);
  EXPECT_EQ(1, kind) << "a later full tag decides";
  ClassifyDescriptionTag("none", kind);
  EXPECT_EQ(0, kind);
}

TEST(DescriptionTagTest, ReadsNoFurtherThanTheDescriptionLimit) {
  // A description is at most 64 bytes and need not be terminated; it is read in a buffer of
  // exactly that size, so a sanitizer sees any read past it.
  char* exact = new char[kDescriptionMax];
  std::memset(exact, 'x', kDescriptionMax);
  std::memcpy(exact, "KCHX", 4);
  FontKind kind = kKindNone;
  ClassifyDescriptionTag(exact, kind);
  EXPECT_EQ(2, kind);
  std::memcpy(exact, "KCOV", 4);
  EXPECT_EQ(3, ClassifyCollectionTag(exact));
  delete[] exact;

  // Bytes after an embedded zero play no part.
  const char withZero[] = {'K', 'C', '\0', 'V', 'x'};
  EXPECT_EQ(kUnknownCollectionTag, ClassifyCollectionTag(withZero));
  kind = static_cast<FontKind>(kUnset);
  ClassifyDescriptionTag(withZero, kind);
  EXPECT_EQ(kUnset, kind);
}

TEST(DescriptionTagTest, ShiftJisTextAfterTheTagIsIgnored) {
  // "KCPL" followed by code page 932 bytes (a trail byte 0x5C included).
  const std::string description = std::string("KCPL") + "\x83\x5C\x83\x74\x83\x67";
  FontKind kind = kKindNone;
  ClassifyDescriptionTag(description.c_str(), kind);
  EXPECT_EQ(2, kind);
  EXPECT_EQ(4, ClassifyCollectionTag(description.c_str()));
}

}  // namespace
}  // namespace kc
