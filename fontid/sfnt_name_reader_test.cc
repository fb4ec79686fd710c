#include "fontid/sfnt_name_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/fonts/font_builder.h"
#include "tests/fonts/hostile_fonts.h"
#include "tests/fonts/scratch_dir.h"

namespace kc {
namespace {

using namespace testfonts;

constexpr int16_t kSeekFailed = -102;
constexpr int16_t kCutShort = -103;

const std::string kShiftJisName = "\x83\x4A\x83\x58\x83\x67\x83\x8C\x83\x8B";  // katakana, Shift-JIS

NameRecord MacJapaneseFullName(const std::string& bytes) {
  return MacName(kNameIdFullName, kMacLanguageJapanese, bytes);
}
NameRecord MacDescription(const std::string& bytes) {
  return MacName(kNameIdDescription, kMacLanguageEnglish, bytes);
}

struct ReadOutcome {
  int16_t result;
  std::string fullName;  // up to the first zero byte
  int16_t kind;
  char lastFullNameByte;
  std::string displayName;
};

class SfntNameReaderTest : public ::testing::Test {
 protected:
  ReadOutcome Read(const std::string& bytes) {
    const std::string path = dir_.Path("font.otf");
    EXPECT_TRUE(WriteFontFile(path, bytes));
    OpenTypeFontRecord record;
    std::memset(&record, 0, sizeof record);
    std::strcpy(record.path, path.c_str());
    const int16_t result = ReadSfntNameInfo(record);
    EXPECT_STREQ(path.c_str(), record.path) << "the path is input only";
    return {result, record.fullName, record.kind, record.fullName[kFullNameSize - 1], record.displayName};
  }
  ReadOutcome Read(const FontSpec& font) { return Read(BuildFont(font)); }

  ScratchDir dir_;
};

struct NameCase {
  const char* label;
  std::vector<NameRecord> names;
  std::string fullName;
  int16_t kind;
};

TEST_F(SfntNameReaderTest, TakesTheMacJapaneseFullNameAndTheMacDescriptionTag) {
  const std::string name300(300, 'N');
  const NameCase cases[] = {
      {"product font", {MacJapaneseFullName(kShiftJisName), MacDescription("KCHV licence")},
       kShiftJisName, 2},
      {"other vendor", {MacJapaneseFullName("Name"), MacDescription("Mfvl")}, "Name", 1},
      {"unknown tag", {MacJapaneseFullName("Name"), MacDescription("ABCD")}, "Name", 0},
      {"no names at all", {}, "", 0},
      {"full name only on Windows",
       {WindowsName(kNameIdFullName, u"Name", kWindowsLanguageJaJp), MacDescription("KCHS")}, "", 2},
      {"full name only in Mac English", {MacName(kNameIdFullName, kMacLanguageEnglish, "Name")}, "", 0},
      {"description only on Windows",
       {MacJapaneseFullName("Name"), WindowsName(kNameIdDescription, u"KCHV")}, "Name", 0},
      {"description in Mac Japanese counts too",
       {MacName(kNameIdDescription, kMacLanguageJapanese, "KCPH")}, "", 2},
      {"300-byte full name keeps 255", {MacJapaneseFullName(name300)}, name300.substr(0, 255), 0},
      {"full name ends at a zero byte", {MacJapaneseFullName(std::string("AB\0CD", 5))}, "AB", 0},
      {"long description: its tag counts",
       {MacDescription("KCPL" + std::string(100, 'x'))}, "", 2},
      {"later description decides", {MacDescription("KCHV"), MacDescription("Mfvl")}, "", 1},
      {"later short description changes nothing", {MacDescription("KCHV"), MacDescription("Mf")}, "", 2},
      {"later full name replaces the earlier whole",
       {MacJapaneseFullName("Longer Name"), MacJapaneseFullName("Short")}, "Short", 0},
      {"empty later full name changes nothing",
       {MacJapaneseFullName("Name"), MacJapaneseFullName("")}, "Name", 0},
      {"nameID 13 elsewhere than Mac ignored, other nameIDs ignored",
       {MacName(1, kMacLanguageJapanese, "KCHV"), MacName(14, 0, "KCHV")}, "", 0},
  };
  for (const NameCase& c : cases) {
    FontSpec font;
    font.names = c.names;
    const ReadOutcome outcome = Read(font);
    EXPECT_EQ(0, outcome.result) << c.label;
    EXPECT_EQ(c.fullName, outcome.fullName) << c.label;
    EXPECT_EQ(c.kind, outcome.kind) << c.label;
    EXPECT_EQ('\0', outcome.lastFullNameByte) << c.label;
  }
}

// The Windows Japanese full name, which may hold what code page 932 cannot, becomes the display
// name in UTF-8; it never decides anything, so one cut off by the file's end is only passed over.
TEST_F(SfntNameReaderTest, TheUnicodeJapaneseFullNameIsTheDisplayName) {
  NameRecord cutOff = WindowsName(kNameIdFullName, u"Lost", kWindowsLanguageJaJp);
  cutOff.lengthOverride = 60000;
  const struct {
    const char* label;
    std::vector<NameRecord> names;
    std::string displayName;
  } cases[] = {
      {"accents and Hangul", {WindowsName(kNameIdFullName, u"Caf\u00e9 \uD55C\uAE00", kWindowsLanguageJaJp)},
       "Caf\xC3\xA9 \xED\x95\x9C\xEA\xB8\x80"},
      {"a pair and a lone surrogate", {WindowsName(kNameIdFullName, u"\U0001F600\xD800", kWindowsLanguageJaJp)},
       "\xF0\x9F\x98\x80\xEF\xBF\xBD"},
      {"English only", {WindowsName(kNameIdFullName, u"English")}, ""},
      {"cut off, the Mac name after it still read", {cutOff, MacJapaneseFullName("Mac")}, ""},
  };
  for (const auto& c : cases) {
    FontSpec font;
    font.names = c.names;
    const ReadOutcome outcome = Read(font);
    EXPECT_EQ(0, outcome.result) << c.label;
    EXPECT_EQ(c.displayName, outcome.displayName) << c.label;
  }
  FontSpec both;
  both.names = {cutOff, MacJapaneseFullName("Mac")};
  EXPECT_EQ("Mac", Read(both).fullName);
}

// The tag that decided the kind is kept for the run's log, by the same rule: the last Macintosh
// description of four bytes or more.
TEST_F(SfntNameReaderTest, KeepsTheTagThatDecidedTheKind) {
  struct TagCase {
    const char* label;
    std::vector<NameRecord> names;
    const char* tag;
  };
  const TagCase cases[] = {
      {"product tag, text after it", {MacDescription("KCHV licence")}, "KCHV"},
      {"later description decides", {MacDescription("KCHV"), MacDescription("Mfvl")}, "Mfvl"},
      {"later short description changes nothing", {MacDescription("KCPL"), MacDescription("Mf")}, "KCPL"},
      {"an unknown tag is still the tag read", {MacDescription("ABCD")}, "ABCD"},
      {"description only on Windows", {WindowsName(kNameIdDescription, u"KCHV")}, ""},
  };
  for (const TagCase& c : cases) {
    FontSpec font;
    font.names = c.names;
    const std::string path = dir_.Path("tag.otf");
    ASSERT_TRUE(WriteFontFile(path, BuildFont(font))) << c.label;
    OpenTypeFontRecord record;
    std::memset(&record, 0, sizeof record);
    std::strcpy(record.path, path.c_str());
    EXPECT_EQ(0, ReadSfntNameInfo(record)) << c.label;
    EXPECT_STREQ(c.tag, record.tag) << c.label;
  }
}

TEST_F(SfntNameReaderTest, FontsWithoutANameTableOrOfTheOtherFlavourAreReadAlike) {
  FontSpec noName;
  noName.withNameTable = false;
  ReadOutcome outcome = Read(noName);
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ("", outcome.fullName);
  EXPECT_EQ(0, outcome.kind);

  // The signature check has already judged the flavour; the reader does not look at it.
  FontSpec trueType;
  trueType.sfntVersion = kTrueTypeVersion;
  trueType.names = {MacJapaneseFullName("Name"), MacDescription("KCHX")};
  outcome = Read(trueType);
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ("Name", outcome.fullName);
  EXPECT_EQ(2, outcome.kind);

  // Only the first "name" table counts.
  FontSpec first;
  first.names = {MacJapaneseFullName("Name")};
  std::string bytes = BuildFont(first);
  const size_t thirdRecord = 12 + 16 * 3;
  bytes.replace(thirdRecord, 4, "name");
  PutU32(bytes, thirdRecord + 8, static_cast<uint32_t>(bytes.size()));  // a second one, nowhere
  EXPECT_EQ(0, Read(bytes).result);
}

TEST_F(SfntNameReaderTest, MissingFileAndUnterminatedPathFailToOpen) {
  OpenTypeFontRecord record;
  std::memset(&record, 0, sizeof record);
  std::strcpy(record.path, dir_.Path("absent.otf").c_str());
  EXPECT_EQ(-101, ReadSfntNameInfo(record));

  std::memset(record.path, 'a', sizeof record.path);
  EXPECT_EQ(-101, ReadSfntNameInfo(record));
  EXPECT_EQ('\0', record.fullName[0]);
}

// The name table lies last and ends with a selected string, so every byte up to its end is needed:
// a file cut anywhere short of it must fail with -103, never read past or pass.
TEST_F(SfntNameReaderTest, EveryTruncationIsAShortRead) {
  FontSpec font;
  font.tablesAfterName = 0;
  font.names = {WindowsName(kNameIdFullName, u"Name"), MacJapaneseFullName("Name"),
                MacDescription("KCHV")};
  const std::string bytes = BuildFont(font);
  ASSERT_EQ(0, Read(bytes).result);
  for (size_t length = 0; length < NameTableEnd(bytes); ++length) {
    EXPECT_EQ(kCutShort, Read(bytes.substr(0, length)).result) << "cut at " << length;
  }
}

TEST_F(SfntNameReaderTest, HostileStructuresFailWithTheirCodes) {
  FontSpec font;
  font.names = {MacJapaneseFullName("Name"), MacDescription("KCHV")};
  const std::string good = BuildFont(font);
  const uint32_t nameTable = NameTableOffset(good);
  const size_t firstRecord = nameTable + 6;
  const size_t secondRecord = firstRecord + 12;

  struct Hostile {
    const char* label;
    size_t at;
    uint32_t value;
    bool wide;  // 32-bit field
    int16_t result;
    std::string fullName;
    int16_t kind;
  };
  const Hostile cases[] = {
      {"numTables 65535 in a small file", 4, 0xFFFF, false, kCutShort, "", 0},
      {"name count 65535", nameTable + 2, 0xFFFF, false, kCutShort, "Name", 2},
      {"description string beyond the end", secondRecord + 10, 0xFFF0, false, kCutShort, "Name", 0},
      {"description length beyond the end", secondRecord + 8, 0xFFFF, false, kCutShort, "Name", 0},
      {"full name beyond the end", firstRecord + 10, 0xFFF0, false, kCutShort, "", 0},
      {"stringOffset beyond the end", nameTable + 4, 0xFFFF, false, kCutShort, "", 0},
      {"name table beyond the end", 12 + 16 * 2 + 8, 0x7FFFFFF0, true, kCutShort, "", 0},
  };
  for (const Hostile& c : cases) {
    std::string bytes = good;
    if (c.wide) PutU32(bytes, c.at, c.value); else PutU16(bytes, c.at, static_cast<uint16_t>(c.value));
    const ReadOutcome outcome = Read(bytes);
    EXPECT_EQ(c.result, outcome.result) << c.label;
    EXPECT_EQ(c.fullName, outcome.fullName) << c.label << ": fields written before stay";
    EXPECT_EQ(c.kind, outcome.kind) << c.label;
  }

  // Offsets past 2^31 - 1 cannot be sought with fseek's 32-bit long on Windows; every build
  // answers as Windows does. Up to that limit the seek succeeds and the read comes up short.
  const struct {
    uint32_t nameTable;
    int16_t result;
  } farTables[] = {{0x7FFFFFFF, kCutShort}, {0x80000000, kSeekFailed}, {0xFFFFFFF0, kSeekFailed}};
  for (const auto& far : farTables) {
    std::string bytes = good;
    PutU32(bytes, 12 + 16 * 2 + 8, far.nameTable);
    EXPECT_EQ(far.result, Read(bytes).result) << "name table at " << far.nameTable;
  }
}

// Thousands of records selecting one string read as a record at a time would: every full name in
// turn, the description last.
TEST_F(SfntNameReaderTest, ManyRecordsSelectingOneStringReadLikeFew) {
  const std::string name = "Repeated" + kShiftJisName;
  const ReadOutcome outcome = Read(BuildRepeatedFullNameFont(5000, name, "KCHV"));
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ(name, outcome.fullName);
  EXPECT_EQ(2, outcome.kind);
}

// The full name field holds 255 bytes; a longer Shift-JIS name keeps only whole characters.
TEST_F(SfntNameReaderTest, LongFullNamesAreCutAfterAWholeCharacter) {
  const std::string katakana = "\x83\x89";  // two bytes, lead byte 0x83
  const std::string so = "\x83\x5C";        // a trail byte that is a backslash in ASCII
  std::string katakana130, so130;
  for (int i = 0; i < 130; ++i) katakana130 += katakana, so130 += so;
  const struct {
    const char* label;
    std::string name;
    size_t kept;
  } cases[] = {
      {"130 katakana: 127 whole ones", katakana130, 254},
      {"trail bytes in the ASCII range", so130, 254},
      {"an ASCII letter first: 127 katakana fill 255", "A" + katakana130, 255},
      {"254 ASCII and a katakana", std::string(254, 'a') + katakana, 254},
      {"300 ASCII bytes", std::string(300, 'a'), 255},
      {"300 half-width katakana, a byte each", std::string(300, '\xB1'), 255},
      {"255 bytes fit as they stand, a lone last lead byte too", std::string(254, 'a') + "\x83", 255},
  };
  for (const auto& c : cases) {
    FontSpec font;
    font.names = {MacJapaneseFullName(c.name)};
    const ReadOutcome outcome = Read(font);
    EXPECT_EQ(0, outcome.result) << c.label;
    EXPECT_EQ(c.name.substr(0, c.kept), outcome.fullName) << c.label;
    EXPECT_EQ('\0', outcome.lastFullNameByte) << c.label;
  }

  // A cut name still replaces a longer earlier one whole.
  FontSpec font;
  font.names = {MacJapaneseFullName(std::string(300, 'a')), MacJapaneseFullName(katakana130)};
  EXPECT_EQ(katakana130.substr(0, 254), Read(font).fullName);
}

}  // namespace
}  // namespace kc
