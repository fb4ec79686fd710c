#include "fontid/name_tag_ctrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/fonts/font_builder.h"
#include "tests/fonts/hostile_fonts.h"

namespace kc {
namespace {

using namespace testfonts;

constexpr char kCanary = 0x5A;

struct WalkOutcome {
  bool read;
  std::string description;  // up to the first zero byte
};

// Walks a copy of `bytes` in a buffer of exactly their size, so the sanitizers see any read past
// the end; checks that nothing beyond the 64 bytes of the caller's buffer is written.
WalkOutcome Walk(const std::string& bytes, AnsiConverter toAnsi = ConvertToAnsiCodePage) {
  std::unique_ptr<unsigned char[]> view(new unsigned char[bytes.size() + (bytes.empty() ? 1 : 0)]);
  std::memcpy(view.get(), bytes.data(), bytes.size());
  char nameTag[kDescriptionMax + 8];
  std::memset(nameTag, 0, kDescriptionMax);
  std::memset(nameTag + kDescriptionMax, kCanary, 8);
  CNameTagCtrl control(toAnsi);
  const bool read = control.ReadNameTag(static_cast<int32_t>(bytes.size()), view.get(), nameTag);
  for (int i = kDescriptionMax; i < kDescriptionMax + 8; ++i) EXPECT_EQ(kCanary, nameTag[i]);
  nameTag[kDescriptionMax] = '\0';
  return {read, nameTag};
}


NameRecord FullName() { return WindowsName(kNameIdFullName, u"Some Font"); }

struct WalkCase {
  const char* label;
  std::string bytes;
  bool read;
  std::string description;
};

TEST(NameTagCtrlTest, ReadsTheLastDescriptionOfTheCollection) {
  FontSpec noNameTable;
  noNameTable.withNameTable = false;
  FontSpec trueTypeFont = FontWith({WindowsDescription(u"KCOV")});
  trueTypeFont.sfntVersion = kTrueTypeVersion;
  const std::string mac64(64, 'M');
  const std::u16string uni64(64, u'U');

  const WalkCase cases[] = {
      {"only the second of three fonts has one",
       BuildCollection({FontWith({FullName()}), FontWith({FullName(), WindowsDescription(u"KCOV licence")}),
                        FontWith({FullName()})}),
       true, "KCOV licence"},
      {"no font has one", BuildCollection({FontWith({FullName()}), FontWith({})}), true, ""},
      {"the last font's text wins",
       BuildCollection({FontWith({WindowsDescription(u"KCOV")}), FontWith({MacDescription("KCHV")})}), true,
       "KCHV"},
      {"a later font without one keeps the earlier text",
       BuildCollection({FontWith({WindowsDescription(u"KCOV")}), FontWith({FullName()})}), true, "KCOV"},
      {"the last record of a font wins",
       BuildCollection({FontWith({WindowsDescription(u"KCOV"), MacDescription("SLH1")})}), true, "SLH1"},
      {"records of every platform and language count",
       BuildCollection({FontWith({WindowsName(kNameIdDescription, u"MST4", kWindowsLanguageJaJp)})}), true,
       "MST4"},
      {"one font without a name table fails the file",
       BuildCollection({FontWith({WindowsDescription(u"KCOV")}), noNameTable}), false, ""},
      {"numFonts 0", BuildCollection({}), true, ""},
      {"numFonts negative", BuildCollection({FontWith({WindowsDescription(u"KCOV")})}, 0x80000000u), true, ""},
      {"Mac text of 64 bytes", BuildCollection({FontWith({MacDescription(mac64)})}), true, mac64},
      {"Mac text of 65 bytes anywhere fails the file",
       BuildCollection({FontWith({MacDescription(mac64 + "M")}), FontWith({WindowsDescription(u"KCOV")})}), false,
       ""},
      {"Unicode text of 64 bytes", BuildCollection({FontWith({WindowsDescription(uni64)})}), true,
       std::string(64, 'U')},
      {"Unicode text of 65 bytes fails the file",
       BuildCollection({FontWith({WindowsDescription(uni64 + u"U")})}), false, ""},
      {"Unicode text ends at a zero unit", BuildCollection({FontWith({WindowsDescription(std::u16string(u"KC\0OV", 5) + uni64)})}),
       true, "KC"},
      {"odd Unicode length drops the last byte", [] {
         NameRecord odd = WindowsDescription(u"KCOV");
         odd.bytes += 'X';
         return BuildCollection({FontWith({odd})});
       }(), true, "KCOV"},
      {"Unicode text becomes code page 932", BuildCollection({FontWith({WindowsDescription(u"KCOV\u30E9")})}),
       true, "KCOV\x83\x89"},
      {"best fit, as Windows converts", BuildCollection({FontWith({WindowsDescription(u"KC\u00D2V")})}), true,
       "KCOV"},
      {"a single OpenType font", BuildFont(FontWith({WindowsDescription(u"KCPH")})), true, "KCPH"},
      {"a single font without the description", BuildFont(FontWith({FullName()})), true, ""},
      {"a TrueType font", BuildFont(trueTypeFont), false, ""},
      {"3 bytes", "ttc", false, ""},
      {"empty", "", false, ""},
      {"signature only", "ttcf", false, ""},
      {"lower-case otto is not a signature here", "otto" + BuildFont(FontWith({})).substr(4), false, ""},
  };
  for (const WalkCase& c : cases) {
    const WalkOutcome outcome = Walk(c.bytes);
    EXPECT_EQ(c.read, outcome.read) << c.label;
    EXPECT_EQ(c.description, outcome.description) << c.label;
  }
}

// Every structure must fit in the file: each lie below ends the read with false.
TEST(NameTagCtrlTest, StructuresThatDoNotFitFailTheRead) {
  const std::string good = BuildCollection(
      {FontWith({FullName(), WindowsDescription(u"KCOV")}), FontWith({MacDescription("KCHV"), FullName()})});
  ASSERT_TRUE(Walk(good).read);
  const uint32_t font0 = CollectionFontOffset(good, 0);
  const uint32_t font1 = CollectionFontOffset(good, 1);
  const uint32_t name0 = NameTableOffset(good, font0);
  const uint32_t name1 = NameTableOffset(good, font1);
  const uint32_t size = static_cast<uint32_t>(good.size());
  const size_t nameDirEntry1 = font1 + 12 + 16 * 2;  // two tables precede "name"

  struct Lie {
    const char* label;
    size_t at;
    uint32_t value;
    bool wide;
  };
  const Lie lies[] = {
      {"numFonts 2^31-1 in a small file", 8, 0x7FFFFFFF, true},
      {"numFonts one more than the offsets", 8, 3, true},
      {"font offset at the end", 12, size, true},
      {"font offset past the end", 16, 0xFFFFFFFF, true},
      {"font offset 8 bytes before the end", 16, size - 8, true},
      {"numTables 0", font0 + 4, 0, false},
      {"numTables beyond the end, no name table among the real ones", nameDirEntry1, 0x41414141, true},
      {"name table offset past the end", nameDirEntry1 + 8, 0xFFFFFFF0, true},
      {"name header cut by the end", nameDirEntry1 + 8, size - 4, true},
      {"name count beyond the end", name0 + 2, 0xFFFF, false},
      {"stringOffset past the end", name0 + 4, 0xFFFF, false},
      {"Unicode string past the end", name0 + 6 + 12 + 10, 0xFFFF, false},
      {"Unicode length past the end", name0 + 6 + 12 + 8, 0xFFFE, false},
      {"Mac string past the end", name1 + 6 + 10, 0xFFF0, false},
  };
  for (const Lie& lie : lies) {
    std::string bytes = good;
    if (lie.wide) PutU32(bytes, lie.at, lie.value); else PutU16(bytes, lie.at, static_cast<uint16_t>(lie.value));
    EXPECT_FALSE(Walk(bytes).read) << lie.label;
  }

  // A record that is never examined (not nameID 13) may lie without harm.
  std::string bytes = good;
  PutU16(bytes, name0 + 6 + 10, 0xFFFF);  // the full name's offset
  EXPECT_TRUE(Walk(bytes).read);
}

// The last font's name table lies last and ends with its description, so every byte up to the
// table's end is needed.
TEST(NameTagCtrlTest, EveryTruncationFailsTheRead) {
  FontSpec last = FontWith({FullName(), WindowsDescription(u"KCOV")});
  last.tablesAfterName = 0;
  const std::string bytes = BuildCollection({FontWith({MacDescription("KCHV")}), last});
  ASSERT_TRUE(Walk(bytes).read);
  const uint32_t end = NameTableEnd(bytes, CollectionFontOffset(bytes, 1));
  for (size_t length = 0; length < end; ++length) {
    EXPECT_FALSE(Walk(bytes.substr(0, length)).read) << "cut at " << length;
  }
}

// Descriptions are measured in code page 932, where a katakana takes two bytes: "KCOV" and 30 of
// them fill the 64 bytes, and one byte more fails the file, as it does under Windows.
TEST(NameTagCtrlTest, UnicodeTextsAreMeasuredInCodePage932) {
  const std::u16string kcov30 = u"KCOV" + std::u16string(30, u'\u30E9');
  std::string kcov30Bytes = "KCOV";
  for (int i = 0; i < 30; ++i) kcov30Bytes += "\x83\x89";
  const WalkCase cases[] = {
      {"64 bytes", BuildCollection({FontWith({WindowsDescription(kcov30)})}), true, kcov30Bytes},
      {"65 bytes", BuildCollection({FontWith({WindowsDescription(kcov30 + u"x")})}), false, ""},
      {"66 bytes", BuildCollection({FontWith({WindowsDescription(kcov30 + u"\u30E9")})}), false, ""},
      {"66 bytes in an earlier font",
       BuildCollection({FontWith({WindowsDescription(kcov30 + u"\u30E9")}), FontWith({WindowsDescription(u"KCOV")})}),
       false, ""},
      {"a surrogate pair is two '?'",
       BuildCollection({FontWith({WindowsDescription(u"KCOV" + std::u16string(29, u'\u30E9') + u"\U0001F600")})}),
       true, kcov30Bytes.substr(0, 62) + "??"},
      {"64 half-width katakana, a byte each",
       BuildCollection({FontWith({WindowsDescription(std::u16string(64, u'\uFF71'))})}), true,
       std::string(64, '\xB1')},
      {"64 units without a mapping", BuildCollection({FontWith({WindowsDescription(std::u16string(64, u'\u0101'))})}),
       true, std::string(64, '?')},
      {"65 units without a mapping",
       BuildCollection({FontWith({WindowsDescription(std::u16string(65, u'\u0101'))})}), false, ""},
      {"a long text fails however it goes on",
       BuildCollection({FontWith({WindowsDescription(u"KCOV" + std::u16string(20000, u'x'))})}), false, ""},
      {"a zero unit ends a long string early",
       BuildCollection({FontWith({WindowsDescription(std::u16string(u"KCOV\0", 5) + std::u16string(20000, u'\u30E9'))})}),
       true, "KCOV"},
  };
  for (const WalkCase& c : cases) {
    const WalkOutcome outcome = Walk(c.bytes);
    EXPECT_EQ(c.read, outcome.read) << c.label;
    EXPECT_EQ(c.description, outcome.description) << c.label;
  }
  EXPECT_EQ(3, ClassifyCollectionTag(Walk(cases[0].bytes).description.c_str()));
}

// Reading a font again could only give the same outcome, so the walk reads each once; the text
// must still be that of the last font in header order that has one.
TEST(NameTagCtrlTest, RepeatedFontsAndSharedNameTablesKeepTheLastFontsText) {
  FontSpec noNameTable;
  noNameTable.withNameTable = false;
  // A "KCOV", B "KCHV", C no description, D no name table; a fifth font leaves room for headers
  // of five entries.
  const std::string fonts = BuildCollection({FontWith({FullName(), WindowsDescription(u"KCOV")}),
                                             FontWith({MacDescription("KCHV")}), FontWith({FullName()}),
                                             noNameTable, FontWith({})});
  uint32_t offset[4];
  for (uint32_t i = 0; i < 4; ++i) offset[i] = CollectionFontOffset(fonts, i);
  // E: font C with its directory pointing at A's name table.
  std::string shared = fonts;
  const size_t cNameRecord = offset[2] + 12 + 16 * 2;
  ASSERT_EQ(0, shared.compare(cNameRecord, 4, "name"));
  PutU32(shared, cNameRecord + 8, NameTableOffset(fonts, offset[0]));

  struct Order {
    const char* header;  // letters A to E, in header order
    bool read;
    std::string description;
  };
  const Order orders[] = {
      {"ABA", true, "KCOV"},   {"ABAB", true, "KCHV"}, {"BACAC", true, "KCOV"}, {"AC", true, "KCOV"},
      {"CC", true, ""},        {"ADA", false, ""},     {"AAAAD", false, ""},    {"BE", true, "KCOV"},
      {"EB", true, "KCHV"},    {"AEB", true, "KCHV"},  {"BAE", true, "KCOV"},   {"EBA", true, "KCOV"},
  };
  for (const Order& order : orders) {
    const std::string header = order.header;
    std::string bytes = header.find('E') == std::string::npos ? fonts : shared;
    PutU32(bytes, 8, static_cast<uint32_t>(header.size()));
    for (size_t i = 0; i < header.size(); ++i) {
      PutU32(bytes, 12 + 4 * i, offset[header[i] == 'E' ? 2 : header[i] - 'A']);
    }
    const WalkOutcome outcome = Walk(bytes);
    EXPECT_EQ(order.read, outcome.read) << order.header;
    EXPECT_EQ(order.description, outcome.description) << order.header;
  }
}

// The conversions a read asks for: the cost that grows with a file's description records.
int g_conversions = 0;
int CountingConverter(const char16_t* text, int unitCount, char* out, int outSize) {
  ++g_conversions;
  return ConvertToAnsiCodePage(text, unitCount, out, outSize);
}

TEST(NameTagCtrlTest, HostileCollectionsCostWorkInProportionToTheirSize) {
  const std::u16string ascii64 = u"KCOV" + std::u16string(60, u'x');
  const std::u16string katakana64 = u"KCOV" + std::u16string(30, u'\u30E9');
  struct Hostile {
    const char* label;
    std::string bytes;
    bool read;
    std::string descriptionStart;
  };
  const Hostile files[] = {
      {"840 entries for one font of 5000 descriptions", BuildRepeatedFontCollection(840, 5000, ascii64), true,
       "KCOVxxxx"},
      {"the same in katakana", BuildRepeatedFontCollection(840, 5000, katakana64), true, "KCOV\x83\x89"},
      // Here the strings cannot lie past the records: the 16-bit offsets reach into the records.
      {"100 entries for one font of 65535 descriptions", BuildRepeatedFontCollection(100, 65535, ascii64), true,
       ""},
      {"2000 fonts whose name tables overlap", BuildOverlappingNameTables(2000, 5000), false, ""},
      {"6000 fonts whose directories overlap", BuildOverlappingDirectories(6000), false, ""},
  };
  for (const Hostile& file : files) {
    g_conversions = 0;
    const WalkOutcome outcome = Walk(file.bytes, CountingConverter);
    EXPECT_EQ(file.read, outcome.read) << file.label;
    EXPECT_EQ(file.descriptionStart, outcome.description.substr(0, file.descriptionStart.size())) << file.label;
    // Each description record of the file is measured at most once, the winner converted once more.
    EXPECT_LE(g_conversions, static_cast<int>(file.bytes.size() / 12) + 2) << file.label;
  }

  // Read without overlap, the same numbers of fonts and records are well within the file's means.
  FontSpec manyRecords = FontWith({});
  manyRecords.names.assign(0xFFFF, FullName());
  manyRecords.names.back() = WindowsDescription(u"KCOV");
  EXPECT_TRUE(Walk(BuildCollection({manyRecords})).read) << "one font of 65535 records";
  std::vector<FontSpec> manyFonts(2000, FontWith({FullName(), FullName()}));
  manyFonts.back() = FontWith({WindowsDescription(u"KCHV")});
  EXPECT_EQ("KCHV", Walk(BuildCollection(manyFonts)).description) << "2000 fonts";

  // A header claiming 2^31 - 1 fonts in 20 bytes answers at once and allocates nothing.
  std::string claim = "ttcf";
  claim.append(16, '\0');
  PutU32(claim, 8, 0x7FFFFFFF);
  EXPECT_FALSE(Walk(claim).read);
}

TEST(NameTagCtrlTest, SizeBelowTheBytesLimitsTheRead) {
  FontSpec font = FontWith({WindowsDescription(u"KCOV")});
  font.tablesAfterName = 0;
  const std::string bytes = BuildCollection({font});
  const int32_t end = static_cast<int32_t>(NameTableEnd(bytes, CollectionFontOffset(bytes, 0)));
  std::vector<unsigned char> view(bytes.begin(), bytes.end());
  char nameTag[kDescriptionMax] = {};
  CNameTagCtrl control(ConvertToAnsiCodePage);
  EXPECT_TRUE(control.ReadNameTag(end, view.data(), nameTag));
  EXPECT_FALSE(control.ReadNameTag(end - 1, view.data(), nameTag));
  EXPECT_FALSE(control.ReadNameTag(-1, view.data(), nameTag));
  EXPECT_FALSE(control.ReadNameTag(0, view.data(), nameTag));
}

}  // namespace
}  // namespace kc
